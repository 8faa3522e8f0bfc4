// A show request for NAME#anchor where the anchor moved to a part of a cut
// page, against one for a page that holds its anchor: the package of 1200
// pages carries a map of 5000 moved anchors as its last entry.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/anchor_map.h"
#include "app/help_package.h"

namespace {

constexpr int kPages = 1200;
constexpr int kMoved = 5000;

std::string PageName(int i) {
  return "page_" + std::to_string(i) + ".html";
}

const std::string& PackagePath() {
  static const std::string path = [] {
    std::vector<std::pair<std::string, std::string>> entries;
    const std::string page =
        "<html><head><title>T</title></head><body>" + std::string(14000, 'x') + "</body></html>";
    for (int i = 0; i < kPages; ++i) entries.emplace_back(PageName(i), page);
    kiv::TAnchorMap map;
    for (int i = 0; i < kMoved; ++i)
      map.Add(PageName(i % 40), "anchor_" + std::to_string(i),
              "page_" + std::to_string(i % 40) + "-2.html");
    entries.emplace_back(std::string(kiv::AnchorMapEntryName), map.Text());
    std::string index, data;
    for (const auto& [name, bytes] : entries) {
      index += name + "," + std::to_string(data.size()) + "\r\n";
      data += bytes;
    }
    index += "******," + std::to_string(data.size()) + "\r\n";
    // The base is the index's length, written with a fixed width.
    const std::size_t base = 18 + index.size();
    char start[32];
    std::snprintf(start, sizeof start, "START,%010zu\r\n", base);
    std::string p = (std::filesystem::temp_directory_path() / "kivbench-anchors.hpm").string();
    std::ofstream(p, std::ios::binary) << start << index << data;
    return p;
  }();
  return path;
}

// What a show request adds to loading the page: the map lookup (the map
// read once, as the window keeps it), then loading the part.
void AnchorMap_ShowDirect(benchmark::State& state) {
  kiv::THelpPackage package(PackagePath());
  for (auto _ : state) {
    package.LoadPage("page_20.html");
    benchmark::DoNotOptimize(package.PageLength());
  }
}

void AnchorMap_ShowThroughMap(benchmark::State& state) {
  kiv::THelpPackage package(PackagePath());
  for (auto _ : state) {
    package.LoadPage(package.PageHoldingAnchor("page_20.html", "#anchor_4980"));
    benchmark::DoNotOptimize(package.PageLength());
  }
}

// The first request after the package changed reads the map again.
void AnchorMap_FirstRequest(benchmark::State& state) {
  for (auto _ : state) {
    kiv::THelpPackage package(PackagePath());
    benchmark::DoNotOptimize(package.PageHoldingAnchor("page_20.html", "#anchor_4980"));
  }
}

BENCHMARK(AnchorMap_ShowDirect)->Unit(benchmark::kMicrosecond);
BENCHMARK(AnchorMap_ShowThroughMap)->Unit(benchmark::kMicrosecond);
BENCHMARK(AnchorMap_FirstRequest)->Unit(benchmark::kMicrosecond);

}  // namespace
