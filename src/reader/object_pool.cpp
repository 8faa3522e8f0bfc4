#include "reader/object_pool.h"

#include <array>
#include <memory>
#include <new>
#include <vector>

// Under AddressSanitizer every object keeps its own allocation, so that a use
// after free or an overflow is still reported where it happens.
#if defined(__SANITIZE_ADDRESS__)
#define KIV_POOL_BYPASS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KIV_POOL_BYPASS 1
#endif
#endif

namespace kiv {

namespace {

// Blocks come in sizes of multiples of kGrain up to kLargestPooled; larger
// objects go to the general allocator.
constexpr std::size_t kGrain = 16;
constexpr std::size_t kLargestPooled = 1024;
constexpr std::size_t kSizeClasses = kLargestPooled / kGrain;
// New blocks are cut from chunks of this size.
constexpr std::size_t kChunkSize = 64 * 1024;

class ObjectPool {
 public:
  void* Allocate(std::size_t size) {
    const std::size_t sizeClass = SizeClassOf(size);
    const std::size_t bytes = (sizeClass + 1) * kGrain;
    inUse_ += bytes;
    if (FreeBlock* block = free_[sizeClass]) {
      free_[sizeClass] = block->next;
      return block;
    }
    if (static_cast<std::size_t>(chunkEnd_ - next_) < bytes) NewChunk();
    void* block = next_;
    next_ += bytes;
    return block;
  }

  void Free(void* block, std::size_t size) noexcept {
    const std::size_t sizeClass = SizeClassOf(size);
    inUse_ -= (sizeClass + 1) * kGrain;
    if (inUse_ == 0) {
      // Every block is back (a page was cleared and no other is alive): the
      // next page is cut from the chunks' start again, in order, instead of
      // from free lists threaded through memory that has gone cold.
      StartOver();
      return;
    }
    auto* freed = static_cast<FreeBlock*>(block);
    freed->next = free_[sizeClass];
    free_[sizeClass] = freed;
  }

  std::size_t InUse() const { return inUse_; }
  std::size_t Reserved() const { return reserved_; }

 private:
  struct FreeBlock {
    FreeBlock* next;
  };

  static std::size_t SizeClassOf(std::size_t size) { return size == 0 ? 0 : (size - 1) / kGrain; }

  // Moves on to the next chunk, taking a new one after the last. The end of
  // the previous chunk, too small for this block, stays unused. Kept out of
  // line, as StartOver, so that the frequent paths stay short.
  [[gnu::noinline]] void NewChunk() {
    if (chunk_ + 1 >= chunks_.size()) {
      chunks_.emplace_back(new std::byte[kChunkSize]);
      reserved_ += kChunkSize;
      chunk_ = chunks_.size() - 1;
    } else {
      ++chunk_;
    }
    next_ = chunks_[chunk_].get();
    chunkEnd_ = next_ + kChunkSize;
  }

  [[gnu::noinline]] void StartOver() {
    free_ = {};
    chunk_ = 0;
    next_ = chunks_.empty() ? nullptr : chunks_.front().get();
    chunkEnd_ = next_ ? next_ + kChunkSize : nullptr;
  }

  std::array<FreeBlock*, kSizeClasses> free_{};
  std::byte* next_ = nullptr;
  std::byte* chunkEnd_ = nullptr;
  std::vector<std::unique_ptr<std::byte[]>> chunks_;
  std::size_t chunk_ = static_cast<std::size_t>(-1);  // the chunk next_ cuts from; none yet
  std::size_t inUse_ = 0;
  std::size_t reserved_ = 0;
};

// Never destroyed: objects of static documents may be freed after every
// other static object is gone.
ObjectPool& ThePool() {
  static ObjectPool* const pool = new ObjectPool;
  return *pool;
}

}  // namespace

void* PoolAllocate(std::size_t size) {
#ifndef KIV_POOL_BYPASS
  if (size <= kLargestPooled) return ThePool().Allocate(size);
#endif
  return ::operator new(size);
}

void PoolFree(void* block, [[maybe_unused]] std::size_t size) noexcept {
  if (!block) return;
#ifndef KIV_POOL_BYPASS
  if (size <= kLargestPooled) {
    ThePool().Free(block, size);
    return;
  }
#endif
  ::operator delete(block);
}

std::size_t PoolBytesInUse() noexcept {
  return ThePool().InUse();
}

std::size_t PoolBytesReserved() noexcept {
  return ThePool().Reserved();
}

}  // namespace kiv
