// Tables: loading (parse, build and layout at 600 pixels with screen fonts) a
// table of 30 columns and 200 rows, tables nested 32 deep, and relaying out
// each at another width.
#include <benchmark/benchmark.h>

#include <string>

#include "alloc_counter.h"
#include "builder/document_builder.h"
#include "layout/section_list.h"
#include "platform/qt_canvas.h"

namespace {

std::string GridPage() {
  std::string page = "<table border=1 cellpadding=2>";
  for (int r = 0; r < 200; ++r) {
    page += "<tr>";
    for (int c = 0; c < 30; ++c) page += "<td>r" + std::to_string(r) + "c" + std::to_string(c);
  }
  return page + "</table>";
}

std::string NestedPage() {
  std::string page;
  for (int d = 0; d < 32; ++d) page += "<table border=1><tr><td>level " + std::to_string(d) + " ";
  page += "the innermost cell";
  for (int d = 0; d < 32; ++d) page += "</td><td>beside</td></tr></table>";
  return page;
}

void Defaults(kiv::TSectionList& doc) {
  doc.SetDefaults("Times New Roman", "Courier New", 12, kiv::clBtnText, kiv::clBlue, kiv::clWhite);
}

// Also reports the allocations per load and what a loaded page holds beyond
// an empty document.
void LoadPage(benchmark::State& state, const std::string& page) {
  kiv::TSectionList doc;
  Defaults(doc);
  kiv::QtCanvas canvas;
  const kiv::bench::AllocCounts before = kiv::bench::CurrentAllocCounts();
  for (auto _ : state) {
    doc.Clear();
    kiv::TAnchorList anchors;
    kiv::ParseHtmlBuffer(doc, anchors, page.data(), page.size());
    int maxWidth = 0, charIndex = 0;
    benchmark::DoNotOptimize(doc.Layout(canvas, 0, 600, maxWidth, charIndex));
  }
  kiv::bench::ReportAllocsPerIteration(state, before, kiv::bench::CurrentAllocCounts());
  kiv::TSectionList fresh;
  Defaults(fresh);
  const std::int64_t empty = kiv::bench::HeldBytes();
  kiv::TAnchorList anchors;
  kiv::ParseHtmlBuffer(fresh, anchors, page.data(), page.size());
  int maxWidth = 0, charIndex = 0;
  fresh.Layout(canvas, 0, 600, maxWidth, charIndex);
  state.counters["held_bytes"] = static_cast<double>(kiv::bench::HeldBytes() - empty);
}

void RelayoutPage(benchmark::State& state, const std::string& page) {
  kiv::TSectionList doc;
  Defaults(doc);
  kiv::QtCanvas canvas;
  kiv::TAnchorList anchors;
  kiv::ParseHtmlBuffer(doc, anchors, page.data(), page.size());
  int width = 600;
  for (auto _ : state) {
    width = width == 600 ? 500 : 600;
    int maxWidth = 0, charIndex = 0;
    benchmark::DoNotOptimize(doc.Layout(canvas, 0, width, maxWidth, charIndex));
  }
}

void TableLoad_30x200(benchmark::State& state) {
  LoadPage(state, GridPage());
}
void TableLoad_Nested32(benchmark::State& state) {
  LoadPage(state, NestedPage());
}
void TableRelayout_30x200(benchmark::State& state) {
  RelayoutPage(state, GridPage());
}
void TableRelayout_Nested32(benchmark::State& state) {
  RelayoutPage(state, NestedPage());
}

}  // namespace

BENCHMARK(TableLoad_30x200)->Unit(benchmark::kMillisecond);
BENCHMARK(TableLoad_Nested32)->Unit(benchmark::kMillisecond);
BENCHMARK(TableRelayout_30x200)->Unit(benchmark::kMillisecond);
BENCHMARK(TableRelayout_Nested32)->Unit(benchmark::kMillisecond);
