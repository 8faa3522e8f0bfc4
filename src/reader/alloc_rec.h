// AllocRec: one large memory block, used for the bits of device-independent
// bitmaps. Every size comes from the ordinary heap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kiv {

class AllocRec {
 public:
  explicit AllocRec(std::int32_t size);

  std::uint8_t* Data = nullptr;  // Size bytes, owned by the record (zero-filled)
  std::int32_t Size = 0;

 private:
  std::unique_ptr<std::uint8_t[]> bytes_;
};

// A block of size bytes; raises std::bad_alloc when it cannot be had
// (a negative size included).
std::unique_ptr<AllocRec> AllocBlock(std::int32_t size);
// Releases the bytes, then the record.
void FreeBlock(std::unique_ptr<AllocRec> block);

}  // namespace kiv
