#include "platform/user_runtime_dir.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace kiv {

namespace {

// A folder itself (lstat: a link to one does not count), owned by this user,
// that only this user can list, enter or write.
bool IsPrivateFolder(const std::string& dir) {
  struct stat st {};
  if (dir.empty() || dir[0] != '/' || ::lstat(dir.c_str(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 0777) == 0700;
}

// A folder no other user can put anything into: owned by this user or root
// and writable by nobody else. Links are followed here: a home or cache
// folder may well be a link to another disk of the user's.
bool IsTrustedParent(const std::string& dir) {
  struct stat st {};
  if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return (st.st_uid == ::getuid() || st.st_uid == 0) && (st.st_mode & 0022) == 0;
}

std::string HomeDir() {
  if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
    return pw->pw_dir;
  return {};
}

// parent/name as a private folder, made when missing; a folder of this
// user's with looser permissions is tightened.
std::string PrivateFolderIn(const std::string& parent, const std::string& name) {
  if (!IsTrustedParent(parent)) return {};
  const std::string dir = parent + "/" + name;
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return {};
  struct stat st {};
  if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return {};
  if ((st.st_mode & 0777) != 0700 && ::chmod(dir.c_str(), 0700) != 0) return {};
  return IsPrivateFolder(dir) ? dir : std::string();
}

std::string FallbackRuntimeDir() {
  std::string home = HomeDir();
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  if (home.empty()) return {};
  const std::string cache = home + "/.cache";
  if (::mkdir(cache.c_str(), 0700) != 0 && errno != EEXIST) return {};
  return PrivateFolderIn(cache, "kivhelp");
}

}  // namespace

std::string UserRuntimeDir() {
  if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && IsPrivateFolder(xdg)) return xdg;
  return FallbackRuntimeDir();
}

}  // namespace kiv
