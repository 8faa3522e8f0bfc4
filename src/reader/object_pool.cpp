#include "reader/object_pool.h"

#include <memory>
#include <new>
#include <vector>

namespace kiv::pool_internal {

namespace {

// New blocks are cut from chunks of this size.
constexpr std::size_t kChunkSize = 64 * 1024;

// The chunks blocks are cut from; taken once and kept for the process.
struct Chunks {
  std::vector<std::unique_ptr<std::byte[]>> list;
  std::size_t current = static_cast<std::size_t>(-1);  // the chunk hot.next cuts from; none yet
  std::size_t reserved = 0;
};

// Never destroyed, as the hot state: see there.
Chunks& TheChunks() {
  static Chunks* const chunks = new Chunks;
  return *chunks;
}

}  // namespace

void* AllocateFromNextChunk(std::size_t bytes) {
  // Moves on to the next chunk, taking a new one after the last. The end of
  // the previous chunk, too small for this block, stays unused.
  Chunks& chunks = TheChunks();
  if (chunks.current + 1 >= chunks.list.size()) {
    std::unique_ptr<std::byte[]> chunk(new std::byte[kChunkSize]);
    chunks.list.push_back(std::move(chunk));
    chunks.reserved += kChunkSize;
    chunks.current = chunks.list.size() - 1;
  } else {
    ++chunks.current;
  }
  hot.next = chunks.list[chunks.current].get();
  hot.chunkEnd = hot.next + kChunkSize;
  void* block = hot.next;
  hot.next += bytes;
  hot.inUse += bytes;
  return block;
}

void StartOver() noexcept {
  Chunks& chunks = TheChunks();
  for (FreeBlock*& list : hot.free) list = nullptr;
  chunks.current = 0;
  hot.next = chunks.list.empty() ? nullptr : chunks.list.front().get();
  hot.chunkEnd = hot.next ? hot.next + kChunkSize : nullptr;
}

}  // namespace kiv::pool_internal

namespace kiv {

std::size_t PoolBytesReserved() noexcept {
  return pool_internal::TheChunks().reserved;
}

}  // namespace kiv
