// Counts the heap allocations kivbench makes through operator new: calls,
// bytes asked for, and bytes held at the moment. Global operator new and
// delete are replaced in the kivbench executable only. Memory taken with
// malloc directly (as the toolkit does for its own strings and images) is
// not seen.
#pragma once

#include <cstdint>

#include <benchmark/benchmark.h>

namespace kiv::bench {

// The counts of the calling thread since it started.
struct AllocCounts {
  std::uint64_t calls = 0;  // operator new calls
  std::uint64_t bytes = 0;  // bytes asked for by them
  std::int64_t live = 0;    // bytes held now (allocator block sizes)
};

AllocCounts CurrentAllocCounts();

// Bytes held now by the calling thread's objects: the live bytes, with the
// document object pool's chunks counted by the blocks its living objects use
// rather than by their size.
std::int64_t HeldBytes();

// Reports, per iteration, the allocations and bytes allocated between two
// counts taken around a benchmark loop: counters "allocs" and "alloc_bytes".
void ReportAllocsPerIteration(benchmark::State& state, const AllocCounts& before,
                              const AllocCounts& after);

}  // namespace kiv::bench
