// Tokenizing the 128000-byte reference page (or the page KIV_BENCH_PAGE
// names) from a memory buffer.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_page.h"
#include "reader/tokenizer.h"

namespace {

const std::string& ReferencePage() {
  return kiv::bench::BenchPage();
}

// One reader for every iteration, as the viewer keeps one per parse: its
// token and attribute storage is reused from symbol to symbol.
void Tokenize(benchmark::State& state) {
  const std::string& page = ReferencePage();
  kiv::ReaderState reader;
  std::int64_t symbols = 0;
  for (auto _ : state) {
    reader.StartBuffer(page.data(), page.size());
    reader.NextChar();
    do {
      reader.Next();
      ++symbols;
    } while (reader.Sym != kiv::EndOfInputSymbol);
    benchmark::DoNotOptimize(reader.Sym);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
  state.counters["symbols"] =
      benchmark::Counter(static_cast<double>(symbols) / static_cast<double>(state.iterations()));
}

BENCHMARK(Tokenize)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
