#include "imaging/read_stream.h"

#include <cstring>

namespace kiv {

std::size_t MemoryReadStream::Read(void* buffer, std::size_t count) {
  if (position_ >= static_cast<std::int64_t>(size_)) return 0;
  std::size_t left = size_ - static_cast<std::size_t>(position_);
  std::size_t n = count < left ? count : left;
  if (n > 0) std::memcpy(buffer, data_ + position_, n);
  position_ += static_cast<std::int64_t>(n);
  return n;
}

FileReadStream::FileReadStream(const std::string& nativePath)
    : file_(std::fopen(nativePath.c_str(), "rb")) {}

FileReadStream::~FileReadStream() {
  if (file_) std::fclose(file_);
}

std::size_t FileReadStream::Read(void* buffer, std::size_t count) {
  if (!file_ || count == 0) return 0;
  // Seek only when position_ was moved, so sequential reads keep the buffer.
  if (filePosition_ != position_) {
    if (fseeko(file_, static_cast<off_t>(position_), SEEK_SET) != 0) return 0;
    filePosition_ = position_;
  }
  std::size_t n = std::fread(buffer, 1, count, file_);
  position_ += static_cast<std::int64_t>(n);
  filePosition_ = n < count ? -1 : position_;
  return n;
}

void FileReadStream::Seek(std::int64_t position) {
  position_ = position < 0 ? 0 : position;
}

}  // namespace kiv
