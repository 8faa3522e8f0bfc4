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

// A block of at least size bytes, aligned for any ordinary object.
void* PoolAllocate(std::size_t size);
// Gives back a block PoolAllocate returned for the same size.
void PoolFree(void* block, std::size_t size) noexcept;

// Bytes of the blocks handed out and not given back: what the living pooled
// objects hold.
std::size_t PoolBytesInUse() noexcept;
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
