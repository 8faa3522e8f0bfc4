// Tokenizing the 128000-byte reference page from a memory buffer.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "reader/tokenizer.h"

namespace {

const std::string& ReferencePage() {
  static const std::string page = [] {
    std::ifstream in(KIV_SOURCE_DIR "/bench/pages/reference.html", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) throw std::runtime_error("bench/pages/reference.html is missing");
    return bytes;
  }();
  return page;
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
