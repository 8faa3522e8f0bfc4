// Looking names up in a help package of 2000 entries.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/help_package.h"

namespace {

constexpr int kEntries = 2000;

std::string EntryName(int i) { return "topic_" + std::to_string(i) + ".html"; }

// A package shaped like the packer's output: START line, entries, "******".
const std::string& PackagePath() {
  static const std::string path = [] {
    std::string p = (std::filesystem::temp_directory_path() / "kivbench-2000.hpm").string();
    std::string index = "START,0\r\n";
    for (int i = 0; i < kEntries; ++i) index += EntryName(i) + "," + std::to_string(i * 3000) + "\r\n";
    index += "******," + std::to_string(kEntries * 3000) + "\r\n";
    std::ofstream(p, std::ios::binary) << index;
    return p;
  }();
  return path;
}

void Lookup(benchmark::State& state, const std::string& name) {
  const std::string& path = PackagePath();
  std::int32_t start = 0, end = 0;
  for (auto _ : state) {
    kiv::FindPackageEntry(path, name, start, end);
    benchmark::DoNotOptimize(start);
    benchmark::DoNotOptimize(end);
  }
}

void FindPackageEntry_First(benchmark::State& s) { Lookup(s, EntryName(0)); }
void FindPackageEntry_Middle(benchmark::State& s) { Lookup(s, EntryName(kEntries / 2)); }
void FindPackageEntry_Last(benchmark::State& s) { Lookup(s, EntryName(kEntries - 1)); }
void FindPackageEntry_Missing(benchmark::State& s) { Lookup(s, "no_such_page.html"); }

BENCHMARK(FindPackageEntry_First)->Unit(benchmark::kMicrosecond);
BENCHMARK(FindPackageEntry_Middle)->Unit(benchmark::kMicrosecond);
BENCHMARK(FindPackageEntry_Last)->Unit(benchmark::kMicrosecond);
BENCHMARK(FindPackageEntry_Missing)->Unit(benchmark::kMicrosecond);

}  // namespace
