// The per-user local channel that carries a registered message, with a
// record of data, from one process of the user to another: a local socket in
// the user's runtime folder. Only processes of the same user can connect, and
// the receiver also drops connections from any other user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class QLocalServer;

namespace kiv {

// The most data one message carries.
constexpr std::size_t MaxChannelData = 1 << 20;

// Where the channel named channelName lives; empty when the name is not a
// plain word of letters, digits, "-" and "_", or there is no private folder.
// When the folder's path is too long for a socket address, the path goes
// through this process's descriptor of the folder (/proc/self/fd/N/name):
// the same socket, a shorter name.
std::string LocalChannelPath(const std::string& channelName);

// Receives on the channel channelName. Each message that arrives is posted
// to the application (PostApplicationMessage) numbered
// RegisterWindowMessage(messageName), its data in TMsg::Data. Needs the
// toolkit's application object.
class LocalChannelServer {
 public:
  LocalChannelServer(const std::string& channelName, const std::string& messageName);
  ~LocalChannelServer();
  LocalChannelServer(const LocalChannelServer&) = delete;
  LocalChannelServer& operator=(const LocalChannelServer&) = delete;

  // Starts listening, replacing a channel left behind by a process that has
  // ended. Call it only while holding the instance lock, so a live receiver
  // is never displaced. False when the channel cannot be made; error then
  // says why.
  bool Listen(std::string* error = nullptr);
  bool IsListening() const;

 private:
  std::string channelName_;
  std::string messageName_;
  std::string path_;  // the socket's path while listening
  std::unique_ptr<QLocalServer> server_;
};

enum class ChannelPostResult {
  Posted,      // the message was handed to a receiver
  NoReceiver,  // nobody listens on the channel (yet)
  Failed       // the channel cannot be used
};

// Sends one message with data (at most MaxChannelData bytes) on the channel,
// waiting at most about a second for the receiver to take it. Works without
// the toolkit.
ChannelPostResult PostChannelMessage(const std::string& channelName, std::int64_t wParam,
                                     std::int64_t lParam, std::string_view data = {});

}  // namespace kiv
