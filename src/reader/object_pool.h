// The pool of a document's small objects (sections, font runs, cells, rows,
// images). A page makes and frees thousands of them; the pool keeps each
// freed block in a list for its size and hands it to the next object of that
// size, so that loading and clearing a page cost a few instructions per object
// instead of a trip through the general allocator each. Blocks stay with the
// pool for the life of the process: the next page reuses those of the last.
// Like the reader itself, the pool serves one thread: documents are built,
// laid out and freed on the viewer's thread.
#pragma once

#include <cstddef>
#include <new>

namespace kiv {

// Under AddressSanitizer every object keeps its own allocation, so that a use
// after free or an overflow is still reported where it happens.
#if defined(__SANITIZE_ADDRESS__)
#define KIV_POOL_BYPASS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KIV_POOL_BYPASS 1
#endif
#endif

namespace pool_internal {

// Blocks come in sizes of multiples of kGrain up to kLargestPooled; larger
// objects go to the general allocator.
constexpr std::size_t kGrain = 16;
constexpr std::size_t kLargestPooled = 1024;
constexpr std::size_t kSizeClasses = kLargestPooled / kGrain;

struct FreeBlock {
  FreeBlock* next;
};

// What taking and giving back a block touch, kept apart from the chunks so
// that both stay a few instructions inline. Trivially destructible: blocks
// of static documents may come back after every other static object is gone.
struct HotState {
  FreeBlock* free[kSizeClasses];  // a list of given-back blocks per size class
  std::byte* next;                // where the next new block is cut
  std::byte* chunkEnd;            // end of the chunk next cuts from
  std::size_t inUse;              // bytes of the blocks handed out
};
inline constinit HotState hot{};

inline std::size_t SizeClassOf(std::size_t size) {
  return size == 0 ? 0 : (size - 1) / kGrain;
}

// A block of the given size class's bytes from a chunk after the current one.
void* AllocateFromNextChunk(std::size_t bytes);
// Every block is back: the next ones are cut from the first chunk again.
void StartOver() noexcept;

}  // namespace pool_internal

// A block of at least size bytes, aligned for any ordinary object.
inline void* PoolAllocate(std::size_t size) {
#ifndef KIV_POOL_BYPASS
  namespace pool = pool_internal;
  if (size <= pool::kLargestPooled) {
    const std::size_t sizeClass = pool::SizeClassOf(size);
    const std::size_t bytes = (sizeClass + 1) * pool::kGrain;
    if (pool::FreeBlock* block = pool::hot.free[sizeClass]) {
      pool::hot.free[sizeClass] = block->next;
      pool::hot.inUse += bytes;
      return block;
    }
    if (static_cast<std::size_t>(pool::hot.chunkEnd - pool::hot.next) < bytes)
      return pool::AllocateFromNextChunk(bytes);
    void* block = pool::hot.next;
    pool::hot.next += bytes;
    pool::hot.inUse += bytes;
    return block;
  }
#endif
  return ::operator new(size);
}

// Gives back a block PoolAllocate returned for the same size.
inline void PoolFree(void* block, [[maybe_unused]] std::size_t size) noexcept {
  if (!block) return;
#ifndef KIV_POOL_BYPASS
  namespace pool = pool_internal;
  if (size <= pool::kLargestPooled) {
    const std::size_t sizeClass = pool::SizeClassOf(size);
    pool::hot.inUse -= (sizeClass + 1) * pool::kGrain;
    if (pool::hot.inUse == 0) {
      // Every block is back (a page was cleared and no other is alive): the
      // next page is cut from the chunks' start again, in order, instead of
      // from free lists threaded through memory that has gone cold.
      pool::StartOver();
      return;
    }
    auto* freed = static_cast<pool::FreeBlock*>(block);
    freed->next = pool::hot.free[sizeClass];
    pool::hot.free[sizeClass] = freed;
    return;
  }
#endif
  ::operator delete(block);
}

// Bytes of the blocks handed out and not given back: what the living pooled
// objects hold.
inline std::size_t PoolBytesInUse() noexcept {
  return pool_internal::hot.inUse;
}
// Bytes the pool has taken from the general allocator (its chunks).
std::size_t PoolBytesReserved() noexcept;

// Base of the pooled classes: new and delete of them and of every class
// derived from them go through the pool.
class TPooledObject {
 public:
  static void* operator new(std::size_t size) { return PoolAllocate(size); }
  static void operator delete(void* block, std::size_t size) noexcept { PoolFree(block, size); }
};

// An allocator over the pool, for the small arrays the pooled objects keep
// (a section's runs, a cell's sections, a row's cells).
template <class T>
class PoolAllocator {
 public:
  using value_type = T;

  PoolAllocator() = default;
  template <class U>
  PoolAllocator(const PoolAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(PoolAllocate(n * sizeof(T)));
  }
  void deallocate(T* block, std::size_t n) noexcept { PoolFree(block, n * sizeof(T)); }

  template <class U>
  bool operator==(const PoolAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace kiv
