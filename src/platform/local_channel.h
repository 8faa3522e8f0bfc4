// The per-user local channel that carries a registered message from one
// process of the user to another: a local socket in the user's runtime folder
// named after the message. Only processes of the same user can connect, and
// the receiver also drops connections from any other user.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class QLocalServer;

namespace kiv {

// Where the channel for a message name lives; empty when the name is not a
// plain word of letters, digits, "-" and "_", or there is no private folder.
std::string LocalChannelPath(const std::string& messageName);

// Receives on the channel of messageName. Each message that arrives is posted
// to the application (PostApplicationMessage) numbered
// RegisterWindowMessage(messageName). Needs the toolkit's application object.
class LocalChannelServer {
 public:
  explicit LocalChannelServer(const std::string& messageName);
  ~LocalChannelServer();
  LocalChannelServer(const LocalChannelServer&) = delete;
  LocalChannelServer& operator=(const LocalChannelServer&) = delete;

  // Starts listening, replacing a channel left behind by a process that has
  // ended. Call it only while holding the instance lock, so a live receiver
  // is never displaced. False when the channel cannot be made.
  bool Listen();
  bool IsListening() const;

 private:
  std::string messageName_;
  std::unique_ptr<QLocalServer> server_;
};

enum class ChannelPostResult {
  Posted,      // the message was handed to a receiver
  NoReceiver,  // nobody listens on the channel (yet)
  Failed       // the channel cannot be used
};

// Sends one message on the channel of messageName, waiting at most about a
// second for the receiver to take it. Works without the toolkit.
ChannelPostResult PostChannelMessage(const std::string& messageName, std::int64_t wParam,
                                     std::int64_t lParam);

}  // namespace kiv
