// Fuzz target: the help package index. Each input is written to one scratch
// file of this process and read as a package: a few names are looked up and
// loaded as pages. A loaded page must be exactly the package's bytes in the
// range its index gives (at most one page buffer), and a name that is
// missing or a range that is refused must leave the page before it in place.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/help_package.h"
#include "fuzz_support.h"
#include "platform/file_error.h"

using namespace kiv;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::SilenceMessageBoxes();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFile file(".hpm");
  file.Write(data, size);

  // Names as pages refer to them; the last one is looked up as "index.html".
  static const char* const kNames[] = {"index.html", "INDEX.HTML", "images/logo.gif",
                                       "start",      "******",     "",
                                       "a,b",        "missing",    "c:\\help\\index.html"};
  THelpPackage package(file.Path());
  std::string shown;  // the page the buffer must hold
  for (const char* name : kNames) {
    const std::string full(name);
    const std::size_t sep = full.find_last_of("\\:");
    const std::string entry = sep == std::string::npos ? full : full.substr(sep + 1);
    std::int32_t start = 0, end = 0;
    FindPackageEntry(file.Path(), entry, start, end);
    try {
      package.LoadPage(full);
      if (start >= 0 && end >= start) {
        const std::int64_t from = std::min<std::int64_t>(start, size);
        const std::int64_t to = std::min<std::int64_t>(
            {static_cast<std::int64_t>(end), static_cast<std::int64_t>(start) + PageBufferSize,
             static_cast<std::int64_t>(size)});
        shown.assign(reinterpret_cast<const char*>(data) + from,
                     static_cast<std::size_t>(std::max<std::int64_t>(0, to - from)));
      } else if (start != -1) {
        __builtin_trap();  // a refused range was read
      }
    } catch (const EInOutError&) {
      if (start == -1 || (start >= 0 && end >= start)) __builtin_trap();  // a good range failed
    }
    if (package.PageLength() != static_cast<std::int32_t>(shown.size()) ||
        std::memcmp(package.PageBuffer(), shown.data(), shown.size()) != 0) {
      __builtin_trap();
    }
  }
  return 0;
}
