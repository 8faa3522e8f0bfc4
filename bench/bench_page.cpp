#include "bench_page.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/paths.h"

namespace kiv::bench {

const std::string& BenchPagePath() {
  static const std::string path = [] {
    const char* chosen = std::getenv("KIV_BENCH_PAGE");
    return chosen && *chosen ? std::string(chosen)
                             : std::string(KIV_SOURCE_DIR "/bench/pages/reference.html");
  }();
  return path;
}

std::string BenchImagePath(const std::string& name) {
  const std::string& page = BenchPagePath();
  const std::size_t slash = page.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : page.substr(0, slash);
  return NativePath(folder + "/" + name);
}

const std::string& BenchPage() {
  static const std::string page = [] {
    const std::string& path = BenchPagePath();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::string bytes;
    int error = f ? 0 : errno;
    if (f) {
      char buffer[65536];
      std::size_t n;
      while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
      if (std::ferror(f)) error = errno ? errno : EIO;
      std::fclose(f);
    }
    if (error != 0) {
      std::fprintf(stderr, "kivbench: cannot read the page %s (KIV_BENCH_PAGE): %s\n", path.c_str(),
                   std::strerror(error));
      std::exit(1);
    }
    return bytes;
  }();
  return page;
}

}  // namespace kiv::bench
