#include "platform/local_channel.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>

#include <cerrno>
#include <cstring>

#include "platform/app_message.h"
#include "platform/user_runtime_dir.h"

namespace kiv {

namespace {

// A message on the wire: a tag, then wParam and lParam, little-endian.
constexpr char kTag[4] = {'K', 'H', 'M', '1'};
constexpr int kFrameSize = 4 + 8 + 8;

void PutInt64(char* out, std::int64_t v) {
  auto u = static_cast<std::uint64_t>(v);
  for (int i = 0; i < 8; ++i) out[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

std::int64_t GetInt64(const char* in) {
  std::uint64_t u = 0;
  for (int i = 0; i < 8; ++i)
    u |= static_cast<std::uint64_t>(static_cast<unsigned char>(in[i])) << (8 * i);
  return static_cast<std::int64_t>(u);
}

bool IsPlainWord(const std::string& name) {
  if (name.empty() || name.size() > 64) return false;
  for (char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '_';
    if (!ok) return false;
  }
  return true;
}

// The peer of a connected local socket runs as this user.
bool PeerIsThisUser(int fd) {
  struct ucred cred {};
  socklen_t len = sizeof cred;
  if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0) return false;
  return cred.uid == ::getuid();
}

// Reads whole frames from one connection and posts each as a message. A
// connection that sends anything else is dropped.
void ServeConnection(QLocalSocket* socket, std::uint32_t messageId) {
  if (!PeerIsThisUser(static_cast<int>(socket->socketDescriptor()))) {
    socket->abort();
    socket->deleteLater();
    return;
  }
  auto buffer = std::make_shared<QByteArray>();
  auto readFrames = [socket, buffer, messageId] {
    buffer->append(socket->readAll());
    while (buffer->size() >= kFrameSize) {
      if (std::memcmp(buffer->constData(), kTag, 4) != 0) {
        buffer->clear();
        socket->abort();
        return;
      }
      TMsg msg;
      msg.Message = messageId;
      msg.WParam = GetInt64(buffer->constData() + 4);
      msg.LParam = GetInt64(buffer->constData() + 12);
      buffer->remove(0, kFrameSize);
      PostApplicationMessage(msg);
    }
    // A sender has no reason to queue more than a few messages unread.
    if (buffer->size() > 64 * kFrameSize) socket->abort();
  };
  QObject::connect(socket, &QLocalSocket::readyRead, socket, readFrames);
  QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  readFrames();
}

}  // namespace

std::string LocalChannelPath(const std::string& messageName) {
  if (!IsPlainWord(messageName)) return {};
  const std::string dir = UserRuntimeDir();
  if (dir.empty()) return {};
  std::string path = dir + "/" + messageName;
  if (path.size() >= sizeof(sockaddr_un::sun_path)) return {};
  return path;
}

LocalChannelServer::LocalChannelServer(const std::string& messageName)
    : messageName_(messageName) {}

LocalChannelServer::~LocalChannelServer() {
  if (server_) server_->close();  // also removes the socket file
}

bool LocalChannelServer::Listen() {
  const std::string path = LocalChannelPath(messageName_);
  if (path.empty()) return false;
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  const QString qpath = QString::fromStdString(path);
  QLocalServer::removeServer(qpath);
  if (!server_->listen(qpath)) {
    server_.reset();
    return false;
  }
  const std::uint32_t messageId = RegisterWindowMessage(messageName_);
  QLocalServer* server = server_.get();
  QObject::connect(server, &QLocalServer::newConnection, server, [server, messageId] {
    while (QLocalSocket* socket = server->nextPendingConnection()) {
      ServeConnection(socket, messageId);
    }
  });
  return true;
}

bool LocalChannelServer::IsListening() const {
  return server_ && server_->isListening();
}

ChannelPostResult PostChannelMessage(const std::string& messageName, std::int64_t wParam,
                                     std::int64_t lParam) {
  const std::string path = LocalChannelPath(messageName);
  if (path.empty()) return ChannelPostResult::Failed;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return ChannelPostResult::Failed;
  struct timeval timeout {
    1, 0
  };
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  int rc;
  do {
    rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const int error = errno;
    ::close(fd);
    return error == ENOENT || error == ECONNREFUSED ? ChannelPostResult::NoReceiver
                                                    : ChannelPostResult::Failed;
  }
  char frame[kFrameSize];
  std::memcpy(frame, kTag, 4);
  PutInt64(frame + 4, wParam);
  PutInt64(frame + 12, lParam);
  std::size_t sent = 0;
  while (sent < sizeof frame) {
    const ssize_t n = ::send(fd, frame + sent, sizeof frame - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return sent == sizeof frame ? ChannelPostResult::Posted : ChannelPostResult::Failed;
}

}  // namespace kiv
