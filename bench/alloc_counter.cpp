#include "alloc_counter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

#include "reader/object_pool.h"

namespace kiv::bench {

namespace {

// Per thread, so counting costs no locked instruction; the benchmarks run
// on the main thread, and a block freed on another thread than the one that
// took it only moves that thread's live count.
thread_local std::uint64_t tCalls = 0;
thread_local std::uint64_t tBytes = 0;
thread_local std::int64_t tLive = 0;

void* Counted(void* p, std::size_t size) {
  if (p) {
    ++tCalls;
    tBytes += size;
    tLive += static_cast<std::int64_t>(malloc_usable_size(p));
  }
  return p;
}

void* Allocate(std::size_t size) {
  if (size == 0) size = 1;
  for (;;) {
    if (void* p = std::malloc(size)) return Counted(p, size);
    std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();
  }
}

void* AllocateAligned(std::size_t size, std::align_val_t align) {
  if (size == 0) size = 1;
  const auto a = static_cast<std::size_t>(align);
  for (;;) {
    void* p = nullptr;
    if (posix_memalign(&p, a < sizeof(void*) ? sizeof(void*) : a, size) == 0)
      return Counted(p, size);
    std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();
  }
}

void Release(void* p) noexcept {
  if (!p) return;
  tLive -= static_cast<std::int64_t>(malloc_usable_size(p));
  std::free(p);
}

}  // namespace

AllocCounts CurrentAllocCounts() {
  return {tCalls, tBytes, tLive};
}

std::int64_t HeldBytes() {
  return tLive - static_cast<std::int64_t>(PoolBytesReserved()) +
         static_cast<std::int64_t>(PoolBytesInUse());
}

void ReportAllocsPerIteration(benchmark::State& state, const AllocCounts& before,
                              const AllocCounts& after) {
  const double n = state.iterations() > 0 ? static_cast<double>(state.iterations()) : 1.0;
  state.counters["allocs"] = static_cast<double>(after.calls - before.calls) / n;
  state.counters["alloc_bytes"] = static_cast<double>(after.bytes - before.bytes) / n;
}

}  // namespace kiv::bench

using kiv::bench::Allocate;
using kiv::bench::AllocateAligned;
using kiv::bench::Release;

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new(std::size_t size, std::align_val_t align) {
  return AllocateAligned(size, align);
}
void* operator new[](std::size_t size, std::align_val_t align) {
  return AllocateAligned(size, align);
}
void* operator new(std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
  try {
    return AllocateAligned(size, align);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
  try {
    return AllocateAligned(size, align);
  } catch (...) {
    return nullptr;
  }
}

void operator delete(void* p) noexcept {
  Release(p);
}
void operator delete[](void* p) noexcept {
  Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
  Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  Release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  Release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  Release(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
  Release(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
  Release(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
  Release(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
  Release(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
  Release(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
  Release(p);
}
