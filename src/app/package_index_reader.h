// Reading a help package's index: the package file held open for one
// lookup, its index read line by line, and offsets added without overflow.
// The page lookup and the search over the whole help read the index the same
// way through these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kiv {

// Index lines longer than this keep only their head: no real entry comes near
// it, and a garbage package cannot make a lookup hold megabytes.
constexpr std::size_t MaxIndexLine = 4096;
// A lookup reads no further than this much index text or this many lines:
// entries beyond are not found, so a huge index cannot make each lookup slow.
constexpr std::size_t MaxIndexBytes = 16u << 20;
constexpr std::size_t MaxIndexLines = 200000;

// A file opened for binary reading (a native path), closed when it goes.
// Not "PackageFile": kivpack's file list entry has that name in the same
// namespace, and two classes of one name in a program let the linker give
// one the other's destructor.
class PackageFileHandle {
 public:
  explicit PackageFileHandle(const std::string& nativePath);
  ~PackageFileHandle();
  PackageFileHandle(const PackageFileHandle&) = delete;
  PackageFileHandle& operator=(const PackageFileHandle&) = delete;
  std::FILE* get() const { return f_; }

 private:
  std::FILE* f_;
};

// Reads the index text line by line; a line ends at LF, with or without CR.
class IndexLineReader {
 public:
  explicit IndexLineReader(std::FILE* f) : f_(f), buf_(16384) {}

  // The next line without its line end, cut to MaxIndexLine; false at the
  // end of the file and once MaxIndexBytes or MaxIndexLines have been read.
  // A read error raises an input/output error.
  bool Next(std::string& line);

 private:
  std::FILE* f_;
  std::vector<char> buf_;
  std::size_t pos_ = 0;
  std::size_t len_ = 0;
  std::size_t bytesRead_ = 0;
  std::size_t linesRead_ = 0;
};

// a + b, saturated to the 32-bit range: a garbage index cannot overflow; such
// ranges are refused when the page is read.
std::int32_t AddOffsets(std::int32_t a, std::int32_t b);

}  // namespace kiv
