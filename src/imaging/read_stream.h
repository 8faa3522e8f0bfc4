// Byte sources the image decoders read from: a stream with a position that
// can be moved back and forth, as the package stream and memory blocks are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace kiv {

class ReadStream {
 public:
  virtual ~ReadStream() = default;
  // Reads up to count bytes and returns how many were read (fewer only at the end).
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  virtual std::int64_t Position() const = 0;
  // Moves to position (clamped at 0). A position past the end is allowed;
  // reads there yield nothing.
  virtual void Seek(std::int64_t position) = 0;
  // The number of bytes the stream holds; -1 when it is not known.
  virtual std::int64_t Length() const { return -1; }

  // The next byte, or -1 at the end.
  int ReadByte() {
    std::uint8_t b;
    return Read(&b, 1) == 1 ? b : -1;
  }
  void Skip(std::int64_t count) { Seek(Position() + count); }
};

// Reads a block of memory that the caller keeps alive.
class MemoryReadStream : public ReadStream {
 public:
  MemoryReadStream(const void* data, std::size_t size)
      : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}
  explicit MemoryReadStream(const std::string& bytes)
      : MemoryReadStream(bytes.data(), bytes.size()) {}
  // The stream does not keep the bytes: a temporary would dangle.
  explicit MemoryReadStream(std::string&&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override;
  std::int64_t Position() const override { return position_; }
  void Seek(std::int64_t position) override { position_ = position < 0 ? 0 : position; }
  std::size_t Size() const { return size_; }
  std::int64_t Length() const override { return static_cast<std::int64_t>(size_); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::int64_t position_ = 0;
};

// Reads a file on disk (native path).
class FileReadStream : public ReadStream {
 public:
  explicit FileReadStream(const std::string& nativePath);
  ~FileReadStream() override;
  FileReadStream(const FileReadStream&) = delete;
  FileReadStream& operator=(const FileReadStream&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  std::size_t Read(void* buffer, std::size_t count) override;
  std::int64_t Position() const override { return position_; }
  void Seek(std::int64_t position) override;

 private:
  std::FILE* file_ = nullptr;
  std::int64_t position_ = 0;
  std::int64_t filePosition_ = 0;  // where the FILE stands; -1 when unknown
};

}  // namespace kiv
