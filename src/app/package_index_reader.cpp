#include "app/package_index_reader.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/file_error.h"

namespace kiv {

PackageFileHandle::PackageFileHandle(const std::string& nativePath)
    : f_(std::fopen(nativePath.c_str(), "rb")) {}

PackageFileHandle::~PackageFileHandle() {
  if (f_) std::fclose(f_);
}

bool IndexLineReader::Next(std::string& line) {
  line.clear();
  if (linesRead_ >= MaxIndexLines || bytesRead_ >= MaxIndexBytes) return false;
  ++linesRead_;
  bool any = false;
  for (;;) {
    if (pos_ == len_) {
      if (bytesRead_ >= MaxIndexBytes) break;
      len_ = std::fread(buf_.data(), 1, std::min(buf_.size(), MaxIndexBytes - bytesRead_), f_);
      bytesRead_ += len_;
      pos_ = 0;
      if (len_ == 0) {
        if (std::ferror(f_)) throw EInOutError("Read error in help package");
        break;
      }
    }
    any = true;
    const char* begin = buf_.data() + pos_;
    const char* nl = static_cast<const char*>(std::memchr(begin, '\n', len_ - pos_));
    const std::size_t take = nl ? static_cast<std::size_t>(nl - begin) : len_ - pos_;
    if (line.size() < MaxIndexLine) line.append(begin, std::min(take, MaxIndexLine - line.size()));
    pos_ += take;
    if (nl) {
      ++pos_;
      break;
    }
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

std::int32_t AddOffsets(std::int32_t a, std::int32_t b) {
  const std::int64_t s = static_cast<std::int64_t>(a) + b;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(s, INT32_MIN, INT32_MAX));
}

}  // namespace kiv
