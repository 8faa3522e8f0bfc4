// Loading the 128000-byte reference help page (or the page KIV_BENCH_PAGE
// names): build, full load, relayout and painting one screen, each beside
// QTextDocument doing the same on the same page so the ratio holds on a busy
// machine. The load reports its allocations and the memory a loaded page
// holds.
#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include "alloc_counter.h"
#include "bench_page.h"
#include "builder/document_builder.h"
#include "layout/section_list.h"
#include "platform/bitmap.h"
#include "platform/cp1252.h"
#include "platform/qt_canvas.h"
#include "reader/image_cache.h"
#include "viewer/document_painter.h"

namespace {

const QByteArray& ReferencePage() {
  static const QByteArray page = QByteArray::fromStdString(kiv::bench::BenchPage());
  return page;
}

QString ReferencePageText() {
  const QByteArray& page = ReferencePage();
  return QString::fromStdU16String(kiv::Cp1252ToUtf16(
      std::string_view(page.constData(), static_cast<std::size_t>(page.size()))));
}

// Pictures on, read from the page's folder; the document's image cache
// keeps them decoded from one load to the next, as the viewer's does.
void Defaults(kiv::TSectionList& doc) {
  doc.SetDefaults("Times New Roman", "Courier New", 12, kiv::clBtnText, kiv::clBlue, kiv::clWhite);
  doc.ShowImages = true;
  doc.ImageFileName = kiv::bench::BenchImagePath;
}

// What the viewer does before each load.
void PrepareLoad(kiv::TSectionList& doc) {
  doc.Clear();
  if (doc.ImageCache) doc.ImageCache->AgeAll();
}

// QTextDocument finds the same pictures beside the page.
void SetBase(QTextDocument& doc) {
  doc.setBaseUrl(QUrl::fromLocalFile(QString::fromStdString(kiv::bench::BenchPagePath())));
}

// Pixel bytes of the decoded pictures (bitmaps and masks) a cache keeps.
double PictureBytes(const kiv::TStringBitmapList& cache) {
  double bytes = 0;
  for (int i = 0; i < cache.Count(); ++i) {
    const kiv::TBitmapItem* item = cache.Objects(i);
    if (item->Bitmap)
      bytes += static_cast<double>(item->Bitmap->BytesPerLine()) * item->Bitmap->Height();
    if (item->Mask) bytes += static_cast<double>(item->Mask->Image().sizeInBytes());
  }
  return bytes;
}

void Build(benchmark::State& state) {
  const QByteArray& page = ReferencePage();
  kiv::TSectionList doc;
  Defaults(doc);
  for (auto _ : state) {
    PrepareLoad(doc);
    kiv::TAnchorList anchors;
    kiv::ParseHtmlBuffer(doc, anchors, page.constData(), static_cast<std::size_t>(page.size()));
    benchmark::DoNotOptimize(doc.Count());
  }
  state.SetBytesProcessed(state.iterations() * page.size());
}

void Load_Kiv(benchmark::State& state) {
  const QByteArray& page = ReferencePage();
  kiv::TSectionList doc;
  Defaults(doc);
  kiv::QtCanvas canvas;
  const kiv::bench::AllocCounts before = kiv::bench::CurrentAllocCounts();
  for (auto _ : state) {
    PrepareLoad(doc);
    kiv::TAnchorList anchors;
    kiv::ParseHtmlBuffer(doc, anchors, page.constData(), static_cast<std::size_t>(page.size()));
    int maxWidth = 0, charIndex = 0;
    benchmark::DoNotOptimize(doc.Layout(canvas, 0, 600, maxWidth, charIndex));
  }
  kiv::bench::ReportAllocsPerIteration(state, before, kiv::bench::CurrentAllocCounts());
  // What one loaded page holds beyond an empty document, the shared caches
  // being warm by now: the fonts' faces and the image cache, which the viewer
  // keeps from one page to the next. The cache's pictures are reported apart.
  kiv::TSectionList fresh;
  Defaults(fresh);
  fresh.ImageCache = std::move(doc.ImageCache);
  const std::int64_t empty = kiv::bench::HeldBytes();
  kiv::TAnchorList anchors;
  kiv::ParseHtmlBuffer(fresh, anchors, page.constData(), static_cast<std::size_t>(page.size()));
  int maxWidth = 0, charIndex = 0;
  fresh.Layout(canvas, 0, 600, maxWidth, charIndex);
  state.counters["held_bytes"] = static_cast<double>(kiv::bench::HeldBytes() - empty);
  state.counters["picture_bytes"] = fresh.ImageCache ? PictureBytes(*fresh.ImageCache) : 0;
}

void Load_QTextDocument(benchmark::State& state) {
  const QString html = ReferencePageText();
  for (auto _ : state) {
    QTextDocument doc;
    SetBase(doc);
    doc.setHtml(html);
    doc.setTextWidth(600);
    benchmark::DoNotOptimize(doc.size());
  }
}

void Relayout_Kiv(benchmark::State& state) {
  const QByteArray& page = ReferencePage();
  kiv::TSectionList doc;
  Defaults(doc);
  kiv::TAnchorList anchors;
  kiv::ParseHtmlBuffer(doc, anchors, page.constData(), static_cast<std::size_t>(page.size()));
  kiv::QtCanvas canvas;
  int maxWidth = 0, charIndex = 0;
  doc.Layout(canvas, 0, 600, maxWidth, charIndex);
  bool narrow = true;
  for (auto _ : state) {
    charIndex = 0;
    benchmark::DoNotOptimize(doc.Layout(canvas, 0, narrow ? 450 : 600, maxWidth, charIndex));
    narrow = !narrow;
  }
}

void Relayout_QTextDocument(benchmark::State& state) {
  QTextDocument doc;
  SetBase(doc);
  doc.setHtml(ReferencePageText());
  doc.setTextWidth(600);
  doc.size();
  bool narrow = true;
  for (auto _ : state) {
    doc.setTextWidth(narrow ? 450 : 600);
    benchmark::DoNotOptimize(doc.size());
    narrow = !narrow;
  }
}

// One 800 x 600 logical screen of the reference page, halfway down, painted
// onto a surface of ratio device pixels per logical pixel, as the viewer
// paints it on a screen of that ratio.
void PaintScreenAt(benchmark::State& state, double ratio) {
  const QByteArray& page = ReferencePage();
  kiv::TSectionList doc;
  Defaults(doc);
  kiv::TAnchorList anchors;
  kiv::ParseHtmlBuffer(doc, anchors, page.constData(), static_cast<std::size_t>(page.size()));
  QImage image(static_cast<int>(800 * ratio), static_cast<int>(600 * ratio), QImage::Format_RGB32);
  kiv::QtCanvas canvas(&image);
  canvas.SetDevicePixelRatio(ratio);
  int maxWidth = 0;
  const int height = kiv::LayoutForViewer(doc, canvas, 800, maxWidth);
  const int scroll = height / 2;
  for (auto _ : state) {
    kiv::PaintForViewer(doc, canvas, 800, 600, scroll, 0);
    benchmark::ClobberMemory();
  }
  state.counters["devicePixels"] = image.width() * image.height();
}

void PaintScreen_Kiv(benchmark::State& state) {
  PaintScreenAt(state, 1);
}
void PaintScreen_Kiv_1_5x(benchmark::State& state) {
  PaintScreenAt(state, 1.5);
}
void PaintScreen_Kiv_2x(benchmark::State& state) {
  PaintScreenAt(state, 2);
}

void PaintScreen_QTextDocument(benchmark::State& state) {
  QTextDocument doc;
  SetBase(doc);
  doc.setHtml(ReferencePageText());
  doc.setTextWidth(800 - kiv::ViewerScrollBarWidth - 20);
  const int scroll = static_cast<int>(doc.size().height()) / 2;
  QImage image(800, 600, QImage::Format_RGB32);
  QPainter painter(&image);
  for (auto _ : state) {
    painter.fillRect(QRect(0, 0, 800, 600), Qt::white);
    painter.save();
    painter.translate(10, -scroll);
    doc.drawContents(&painter, QRectF(0, scroll, 800, 600));
    painter.restore();
    benchmark::ClobberMemory();
  }
}

BENCHMARK(Build)->Unit(benchmark::kMillisecond);
BENCHMARK(Load_Kiv)->Unit(benchmark::kMillisecond);
BENCHMARK(Load_QTextDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(Relayout_Kiv)->Unit(benchmark::kMillisecond);
BENCHMARK(Relayout_QTextDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(PaintScreen_Kiv)->Unit(benchmark::kMillisecond);
BENCHMARK(PaintScreen_Kiv_1_5x)->Unit(benchmark::kMillisecond);
BENCHMARK(PaintScreen_Kiv_2x)->Unit(benchmark::kMillisecond);
BENCHMARK(PaintScreen_QTextDocument)->Unit(benchmark::kMillisecond);

}  // namespace
