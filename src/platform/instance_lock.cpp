#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/user_runtime_dir.h"

namespace kiv {

InstanceLock::InstanceLock(const std::string& name) {
  const std::string dir = UserRuntimeDir();
  if (dir.empty() || name.empty() || name.find('/') != std::string::npos) return;
  const std::string path = dir + "/" + name + ".lock";
  // O_CLOEXEC: a program this one starts must not inherit, and so keep, the lock.
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd_ < 0) return;
  int rc;
  do {
    rc = ::flock(fd_, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc == 0) {
    state_ = Created;
    return;
  }
  state_ = errno == EWOULDBLOCK ? AlreadyExists : Failed;
  ::close(fd_);
  fd_ = -1;
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the lock
}

}  // namespace kiv
