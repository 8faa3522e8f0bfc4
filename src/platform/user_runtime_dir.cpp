#include "platform/user_runtime_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace kiv {

namespace {

// A folder that only this user can list, enter or write.
bool IsPrivateFolder(const std::string& dir) {
  struct stat st;
  if (dir.empty() || ::lstat(dir.c_str(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 0077) == 0;
}

}  // namespace

std::string UserRuntimeDir() {
  if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && IsPrivateFolder(xdg)) return xdg;
  const std::string dir = "/tmp/kivhelp-" + std::to_string(::getuid());
  ::mkdir(dir.c_str(), 0700);
  return IsPrivateFolder(dir) ? dir : std::string();
}

}  // namespace kiv
