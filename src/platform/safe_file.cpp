#include "platform/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <vector>

namespace kiv {

namespace {

// The permissions a new file gets: what the user's umask leaves of 0666, as
// for a file created the ordinary way (mkstemp alone would make it 0600).
mode_t NewFileMode() {
  static const mode_t mode = [] {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

bool WriteAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool ReplaceFileSafely(const std::string& nativePath, std::string_view bytes) {
  if (nativePath.empty() || nativePath.back() == '/') return false;
  const std::size_t slash = nativePath.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".")
                             : slash == 0               ? std::string("/")
                                                        : nativePath.substr(0, slash);
  // mkstemp opens with O_CREAT | O_EXCL, which never follows a link; the
  // dot keeps the half-written file out of ordinary listings.
  std::string temp = folder + "/." +
                     (slash == std::string::npos ? nativePath : nativePath.substr(slash + 1)) +
                     ".XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return false;
  temp.assign(name.data());
  bool ok = ::fchmod(fd, NewFileMode()) == 0 && WriteAll(fd, bytes);
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(temp.c_str(), nativePath.c_str()) == 0) return true;
  ::unlink(temp.c_str());
  return false;
}

namespace {

SafeRead ReadChecked(const std::string& nativePath, std::size_t maxBytes, bool head,
                     std::string& bytes) {
  bytes.clear();
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  const int fd = ::open(nativePath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return SafeRead::Missing;
    // ELOOP: the name is a link; ENXIO: a socket, or a device with nothing
    // behind it. Neither is a regular file.
    return errno == ELOOP || errno == ENXIO ? SafeRead::Refused : SafeRead::Failed;
  }
  struct stat st {};
  SafeRead result = SafeRead::Read;
  if (::fstat(fd, &st) != 0) {
    result = SafeRead::Failed;
  } else if (!S_ISREG(st.st_mode) || (st.st_uid != ::getuid() && st.st_uid != 0)) {
    result = SafeRead::Refused;
  } else if (!head && static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    result = SafeRead::TooLarge;
  } else {
    // What the size said, no more: a file that grows meanwhile cannot push
    // the read past the bound.
    bytes.resize(std::min<std::uint64_t>(static_cast<std::uint64_t>(st.st_size), maxBytes));
    std::size_t got = 0;
    while (got < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) result = SafeRead::Failed;
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    bytes.resize(result == SafeRead::Read ? got : 0);
  }
  ::close(fd);
  return result;
}

}  // namespace

SafeRead ReadFileSafely(const std::string& nativePath, std::size_t maxBytes, std::string& bytes) {
  return ReadChecked(nativePath, maxBytes, false, bytes);
}

SafeRead ReadFileHeadSafely(const std::string& nativePath, std::size_t maxBytes,
                            std::string& bytes) {
  return ReadChecked(nativePath, maxBytes, true, bytes);
}

}  // namespace kiv
