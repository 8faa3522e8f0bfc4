#include "platform/local_channel.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
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

// A message on the wire: a tag, wParam and lParam, the data's length (all
// little-endian), then the data.
constexpr char kTag[4] = {'K', 'H', 'M', '2'};
constexpr std::size_t kHeaderSize = 4 + 8 + 8 + 4;

void PutInt(char* out, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint64_t GetInt(const char* in, int bytes) {
  std::uint64_t u = 0;
  for (int i = 0; i < bytes; ++i)
    u |= static_cast<std::uint64_t>(static_cast<unsigned char>(in[i])) << (8 * i);
  return u;
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

// A descriptor of the runtime folder, kept for the life of the process, so
// that a socket in a folder with a long path has a short name through it.
int FolderDescriptor(const std::string& dir) {
  static std::string opened;
  static int fd = -1;
  if (fd >= 0 && opened == dir) return fd;
  if (fd >= 0) ::close(fd);
  fd = ::open(dir.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  opened = dir;
  return fd;
}

bool FillAddress(const std::string& path, sockaddr_un& addr) {
  addr = {};
  addr.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// Reads whole messages from one connection and posts each. A connection
// that sends anything else, or more than a sender has reason to, is dropped.
void ServeConnection(QLocalSocket* socket, std::uint32_t messageId) {
  if (!PeerIsThisUser(static_cast<int>(socket->socketDescriptor()))) {
    socket->abort();
    socket->deleteLater();
    return;
  }
  auto buffer = std::make_shared<QByteArray>();
  auto readFrames = [socket, buffer, messageId] {
    buffer->append(socket->readAll());
    while (static_cast<std::size_t>(buffer->size()) >= kHeaderSize) {
      const char* head = buffer->constData();
      const std::uint64_t length = GetInt(head + 20, 4);
      if (std::memcmp(head, kTag, 4) != 0 || length > MaxChannelData) {
        buffer->clear();
        socket->abort();
        return;
      }
      if (static_cast<std::size_t>(buffer->size()) < kHeaderSize + length) break;
      TMsg msg;
      msg.Message = messageId;
      msg.WParam = static_cast<std::int64_t>(GetInt(head + 4, 8));
      msg.LParam = static_cast<std::int64_t>(GetInt(head + 12, 8));
      msg.Data.assign(head + kHeaderSize, static_cast<std::size_t>(length));
      buffer->remove(0, static_cast<qsizetype>(kHeaderSize + length));
      PostApplicationMessage(msg);
    }
    if (static_cast<std::size_t>(buffer->size()) > 4 * (kHeaderSize + MaxChannelData))
      socket->abort();
  };
  QObject::connect(socket, &QLocalSocket::readyRead, socket, readFrames);
  QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  readFrames();
}

}  // namespace

std::string LocalChannelPath(const std::string& channelName) {
  if (!IsPlainWord(channelName)) return {};
  const std::string dir = UserRuntimeDir();
  if (dir.empty()) return {};
  const std::string path = dir + "/" + channelName;
  if (path.size() < sizeof(sockaddr_un::sun_path)) return path;
  const int fd = FolderDescriptor(dir);
  if (fd < 0) return {};
  const std::string shorter = "/proc/self/fd/" + std::to_string(fd) + "/" + channelName;
  return shorter.size() < sizeof(sockaddr_un::sun_path) ? shorter : std::string();
}

LocalChannelServer::LocalChannelServer(const std::string& channelName,
                                       const std::string& messageName)
    : channelName_(channelName), messageName_(messageName) {}

LocalChannelServer::~LocalChannelServer() {
  if (!server_) return;
  server_->close();
  ::unlink(path_.c_str());
}

bool LocalChannelServer::Listen(std::string* error) {
  auto fail = [error](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  path_ = LocalChannelPath(channelName_);
  if (path_.empty()) return fail("no private runtime folder for the channel " + channelName_);
  sockaddr_un addr{};
  FillAddress(path_, addr);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return fail(std::string("socket: ") + std::strerror(errno));
  // A channel left by an ended instance is replaced (the caller holds the
  // lock, so nobody live listens there).
  ::unlink(path_.c_str());
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(fd, 16) != 0) {
    const std::string why = std::strerror(errno);
    ::close(fd);
    return fail(path_ + ": " + why);
  }
  server_ = std::make_unique<QLocalServer>();
  if (!server_->listen(static_cast<qintptr>(fd))) {
    server_.reset();
    ::close(fd);
    ::unlink(path_.c_str());
    return fail(path_ + ": the toolkit does not take the socket");
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

ChannelPostResult PostChannelMessage(const std::string& channelName, std::int64_t wParam,
                                     std::int64_t lParam, std::string_view data) {
  if (data.size() > MaxChannelData) return ChannelPostResult::Failed;
  const std::string path = LocalChannelPath(channelName);
  sockaddr_un addr{};
  if (!FillAddress(path, addr)) return ChannelPostResult::Failed;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return ChannelPostResult::Failed;
  struct timeval timeout {
    1, 0
  };
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
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
  std::string frame(kHeaderSize, '\0');
  std::memcpy(frame.data(), kTag, 4);
  PutInt(frame.data() + 4, static_cast<std::uint64_t>(wParam), 8);
  PutInt(frame.data() + 12, static_cast<std::uint64_t>(lParam), 8);
  PutInt(frame.data() + 20, data.size(), 4);
  frame.append(data);
  std::size_t sent = 0;
  while (sent < frame.size()) {
    const ssize_t n = ::send(fd, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return sent == frame.size() ? ChannelPostResult::Posted : ChannelPostResult::Failed;
}

}  // namespace kiv
