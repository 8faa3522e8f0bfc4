#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>

#include <cctype>
#include <vector>

namespace kiv {

namespace {

std::string g_exeDirOverride;

bool EqualsIgnoreCase(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return i == a.size() && b[i] == 0;
}

bool Exists(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0;
}

// The entry of dir whose name equals name ignoring case; empty when none.
std::string FindIgnoringCase(const std::string& dir, const std::string& name) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string found;
  while (dirent* e = ::readdir(d)) {
    if (EqualsIgnoreCase(name, e->d_name)) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

}  // namespace

std::string ExecutableDir() {
  if (!g_exeDirOverride.empty()) return g_exeDirOverride;
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath().toStdString();
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string exe(buf, static_cast<std::size_t>(n));
  std::size_t slash = exe.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : exe.substr(0, slash));
}

void SetExecutableDirForTesting(const std::string& dir) { g_exeDirOverride = dir; }

bool FileExists(const std::string& nativePath) { return Exists(nativePath); }

std::string NativePath(const std::string& path) {
  std::string p = path;
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  if (p.empty() || Exists(p)) return p;

  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= p.size()) {
    std::size_t slash = p.find('/', start);
    if (slash == std::string::npos) slash = p.size();
    parts.push_back(p.substr(start, slash - start));
    start = slash + 1;
  }
  std::string out = p[0] == '/' ? "/" : "";
  bool first = true;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    if (part.empty()) {
      if (i == 0) continue;  // the root's separator is already there
      if (i + 1 == parts.size() && !first) out += '/';  // keep a trailing separator
      continue;
    }
    std::string candidate = out + (first || out.back() == '/' ? "" : "/") + part;
    if (!Exists(candidate) && part != "." && part != "..") {
      std::string dir = out.empty() ? "." : out;
      std::string match = FindIgnoringCase(dir, part);
      if (!match.empty()) candidate = out + (first || out.back() == '/' ? "" : "/") + match;
    }
    out = candidate;
    first = false;
  }
  return out;
}

}  // namespace kiv
