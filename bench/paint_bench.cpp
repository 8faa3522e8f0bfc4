// Painting one 800 x 600 screen of a laid-out document of 2000 text sections
// of 60 words (mixed runs, links, inline and floating pictures; the layout
// benchmark's document) into an off-screen image with screen fonts, at the
// top and in the middle of the document, and with a selection across the
// screen.
#include <benchmark/benchmark.h>

#include "text_document.h"
#include "viewer/document_painter.h"

#include <QImage>

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

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;

// The benchmark document laid out as the viewer lays it out at the screen's width.
std::unique_ptr<TSectionList> MakeDocument() {
  std::unique_ptr<TSectionList> doc = kiv::bench::MakeTextDocument();
  QtCanvas canvas;
  int maxWidth = 0, charIndex = 0;
  doc->Layout(canvas, 0, kScreenWidth - 2 * ViewerLeftMargin, maxWidth, charIndex);
  return doc;
}

TSectionList& Document() {
  static std::unique_ptr<TSectionList> doc = MakeDocument();
  return *doc;
}

// Paints the screen whose top is at document Y scrollY, as the viewer does:
// clear the off-screen image, paint the document through a canvas on it.
void PaintScreen(benchmark::State& state, int scrollY, int selStart, int selEnd) {
  TSectionList& doc = Document();
  doc.SetScrollY(scrollY);
  doc.SelStart = selStart;
  doc.SelEnd = selEnd;
  QImage image(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QtCanvas canvas(&image);
    benchmark::DoNotOptimize(doc.Paint(canvas, Rect(0, 0, kScreenWidth, kScreenHeight),
                                       ViewerClipWidth, ViewerLeftMargin, 0));
  }
  // Rows of the screen that received ink, as evidence that text was drawn.
  int inkedRows = 0;
  for (int y = 0; y < kScreenHeight; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < kScreenWidth; ++x)
      if (row[x] != qRgb(255, 255, 255)) {
        ++inkedRows;
        break;
      }
  }
  state.counters["inkedRows"] = inkedRows;
  doc.SelStart = doc.SelEnd = 0;
}

int Middle() {
  TSectionList& doc = Document();
  return doc.TopOfSection(doc.Count() / 2);
}

void PaintScreen_2000Sections_Top(benchmark::State& state) {
  PaintScreen(state, 0, 0, 0);
}

void PaintScreen_2000Sections_Middle(benchmark::State& state) {
  PaintScreen(state, Middle(), 0, 0);
}

void PaintScreen_2000Sections_MiddleSelected(benchmark::State& state) {
  const int middle = Document().Count() / 2;
  const int start = Document()[middle]->StartIndex + 100;
  PaintScreen(state, Middle(), start, start + 2000);
}

BENCHMARK(PaintScreen_2000Sections_Top)->Unit(benchmark::kMillisecond);
BENCHMARK(PaintScreen_2000Sections_Middle)->Unit(benchmark::kMillisecond);
BENCHMARK(PaintScreen_2000Sections_MiddleSelected)->Unit(benchmark::kMillisecond);

}  // namespace
