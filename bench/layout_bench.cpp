// Text layout: a document root of 2000 text sections of 60 words each, with
// mixed runs (bold, italic, links, larger text) and a few inline and floating
// images, laid out with screen fonts at 600 pixels, and laid out again at 450.
#include <benchmark/benchmark.h>

#include "text_document.h"

#include <memory>
#include <string>

#include "layout/fonts.h"
#include "layout/section_list.h"
#include "layout/text_section.h"
#include "platform/bitmap.h"
#include "platform/qt_canvas.h"
#include "reader/attributes.h"

namespace {

using namespace kiv;

TSectionList& Document() {
  static std::unique_ptr<TSectionList> doc = kiv::bench::MakeTextDocument();
  return *doc;
}

int LayoutAt(TSectionList& doc, Canvas& canvas, int width) {
  int maxWidth = 0, charIndex = 0;
  return doc.Layout(canvas, 0, width, maxWidth, charIndex);
}

void LayoutText_2000Sections_600(benchmark::State& state) {
  TSectionList& doc = Document();
  QtCanvas canvas;
  for (auto _ : state) benchmark::DoNotOptimize(LayoutAt(doc, canvas, 600));
  state.counters["height"] = LayoutAt(doc, canvas, 600);
}

void RelayoutText_2000Sections_450(benchmark::State& state) {
  TSectionList& doc = Document();
  QtCanvas canvas;
  for (auto _ : state) {
    state.PauseTiming();
    LayoutAt(doc, canvas, 600);
    state.ResumeTiming();
    benchmark::DoNotOptimize(LayoutAt(doc, canvas, 450));
  }
  state.counters["height"] = LayoutAt(doc, canvas, 450);
}

BENCHMARK(LayoutText_2000Sections_600)->Unit(benchmark::kMillisecond);
BENCHMARK(RelayoutText_2000Sections_450)->Unit(benchmark::kMillisecond);

}  // namespace
