// The viewer control on the reference page (or the page KIV_BENCH_PAGE
// names), as the user works it: one-line
// scroll steps (pixels moved, the strip painted), width changes (relayout and
// a full repaint), a full repaint of an 800 x 600 view, and a drag of the
// thumb through the whole page (which must never lay out again); and a
// one-line scroll step of a full-screen viewer on a 4K screen (ratio 2).
#include <QApplication>
#include <QImage>
#include <QKeyEvent>

#include <cstring>

#include <benchmark/benchmark.h>

#include <memory>

#include "bench_page.h"
#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"
#include "viewer/scroll_bar_32.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

const QByteArray& Page() {
  static const QByteArray page = QByteArray::fromStdString(kiv::bench::BenchPage());
  return page;
}

// A viewer with the help window's settings, shown off screen, the
// reference page loaded and painted once.
std::unique_ptr<kiv::THTMLViewer> ShownViewer() {
  auto viewer = std::make_unique<kiv::THTMLViewer>();
  viewer->setAttribute(Qt::WA_DontShowOnScreen);
  viewer->SetDefBackground(kiv::clWhite);
  viewer->resize(kWidth, kHeight);
  viewer->show();
  viewer->LoadDocumentBuffer(Page().constData(), static_cast<std::size_t>(Page().size()));
  viewer->PaintPanel()->repaint();
  QCoreApplication::processEvents();
  return viewer;
}

void SendKey(kiv::THTMLViewer& viewer, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(&viewer, &press);
}

void Viewer_LineScroll(benchmark::State& state) {
  auto viewer = ShownViewer();
  const long paintsBefore = viewer->PaintPanel()->PaintCount();
  const int end = viewer->DocHeight() - viewer->PaintPanel()->height();
  for (auto _ : state) {
    if (viewer->Document().ScrollY >= end) {
      state.PauseTiming();
      viewer->ScrollToY(0);
      viewer->PaintPanel()->repaint();
      state.ResumeTiming();
    }
    SendKey(*viewer, Qt::Key_Down);  // scrolls, paints the 16-pixel strip at once
  }
  state.counters["paints"] =
      benchmark::Counter(static_cast<double>(viewer->PaintPanel()->PaintCount() - paintsBefore),
                         benchmark::Counter::kAvgIterations);
}

void Viewer_WidthChange(benchmark::State& state) {
  auto viewer = ShownViewer();
  int layouts = 0;
  viewer->OnProcessing = [&](kiv::THTMLViewer*, bool on) { layouts += on; };
  bool narrow = false;
  for (auto _ : state) {
    narrow = !narrow;
    viewer->resize(narrow ? kWidth - 10 : kWidth, kHeight);
    viewer->PaintPanel()->repaint();
  }
  state.counters["layouts"] =
      benchmark::Counter(static_cast<double>(layouts), benchmark::Counter::kAvgIterations);
}

void Viewer_PaintScreen(benchmark::State& state) {
  auto viewer = ShownViewer();
  viewer->ScrollToY(viewer->DocHeight() / 2);
  for (auto _ : state) viewer->PaintPanel()->repaint();
}

void Viewer_ThumbThroughPage(benchmark::State& state) {
  auto viewer = ShownViewer();
  int layouts = 0;
  viewer->OnProcessing = [&](kiv::THTMLViewer*, bool on) { layouts += on; };
  kiv::T32ScrollBar* bar = viewer->VScrollBar();
  const int step = viewer->PaintPanel()->height();
  for (auto _ : state) {
    for (int y = 0; y <= bar->maximum(); y += step) {
      bar->setSliderPosition(y);
      viewer->PaintPanel()->repaint();
    }
  }
  state.counters["layouts"] = layouts;
}

// A 1920 x 1080 logical viewer on a 3840 x 2160 screen: each step scrolls the
// page one line, moves the screen's pixels up as the window system does,
// and paints the uncovered strip at ratio 2 through the viewer's surface.
void Viewer_ScrollStep_4K(benchmark::State& state) {
  constexpr int kLogicalWidth = 1920, kLogicalHeight = 1080;
  constexpr double kRatio = 2;
  auto viewer = ShownViewer();
  viewer->resize(kLogicalWidth, kLogicalHeight);
  QCoreApplication::processEvents();
  kiv::TPaintPanel& panel = *viewer->PaintPanel();
  QImage screen(static_cast<int>(panel.width() * kRatio), static_cast<int>(panel.height() * kRatio),
                QImage::Format_RGB32);
  screen.setDevicePixelRatio(kRatio);
  panel.PaintRect(screen, panel.rect());
  const int line = kiv::VScrollSmallChange;
  const int moved = static_cast<int>(line * kRatio);
  const int end = viewer->DocHeight() - panel.height();
  for (auto _ : state) {
    if (viewer->Document().ScrollY + line > end) {
      state.PauseTiming();
      viewer->ScrollToY(0);
      panel.PaintRect(screen, panel.rect());
      state.ResumeTiming();
    }
    viewer->ScrollToY(viewer->Document().ScrollY + line);
    std::memmove(screen.bits(), screen.constScanLine(moved),
                 static_cast<std::size_t>(screen.bytesPerLine()) * (screen.height() - moved));
    panel.PaintRect(screen, QRect(0, panel.height() - line, panel.width(), line));
    benchmark::ClobberMemory();
  }
  state.counters["surfaceBytes"] = static_cast<double>(panel.SurfaceBytes());
}

BENCHMARK(Viewer_LineScroll)->Unit(benchmark::kMillisecond);
BENCHMARK(Viewer_ScrollStep_4K)->Unit(benchmark::kMillisecond);
BENCHMARK(Viewer_WidthChange)->Unit(benchmark::kMillisecond);
BENCHMARK(Viewer_PaintScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(Viewer_ThumbThroughPage)->Unit(benchmark::kMillisecond);

}  // namespace
