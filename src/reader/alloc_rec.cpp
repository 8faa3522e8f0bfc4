#include "reader/alloc_rec.h"

#include <new>

namespace kiv {

AllocRec::AllocRec(std::int32_t size) : Size(size) {
  if (size < 0) throw std::bad_alloc();
  // At least one byte, so Data is never null even for an empty block.
  bytes_ = std::make_unique<std::uint8_t[]>(size > 0 ? static_cast<std::size_t>(size) : 1);
  Data = bytes_.get();
}

std::unique_ptr<AllocRec> AllocBlock(std::int32_t size) {
  return std::make_unique<AllocRec>(size);
}

void FreeBlock(std::unique_ptr<AllocRec> block) {
  block.reset();
}

}  // namespace kiv
