// What readers without a mouse or without sight cost on the reference page:
// collecting the page's reading text and its links with their names (what
// an assistive technology's first look at the page asks for), and one Tab
// to the next link (focus, frame, scroll into view).
#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>

#include "bench_page.h"
#include "viewer/html_viewer.h"
#include "viewer/page_reading_text.h"
#include "viewer/page_stops.h"
#include "viewer/paint_panel.h"

namespace {

std::unique_ptr<kiv::THTMLViewer> ReferenceViewer() {
  static const std::string& page = kiv::bench::BenchPage();
  auto viewer = std::make_unique<kiv::THTMLViewer>();
  viewer->setAttribute(Qt::WA_DontShowOnScreen);
  viewer->SetDefBackground(kiv::clWhite);
  viewer->resize(800, 600);
  viewer->show();
  viewer->LoadDocumentBuffer(page.data(), page.size());
  viewer->PaintPanel()->repaint();
  QCoreApplication::processEvents();
  return viewer;
}

void A11y_ReadingTextAndLinks(benchmark::State& state) {
  auto viewer = ReferenceViewer();
  std::size_t characters = 0;
  int links = 0;
  for (auto _ : state) {
    kiv::TPageReadingText text;
    text.Build(viewer->Document());
    kiv::TPageStops stops;
    stops.Build(viewer->Document());
    std::size_t names = 0;
    for (int i = 0; i < stops.Count(); ++i) names += stops.NameOf(i).size();
    benchmark::DoNotOptimize(names);
    characters = static_cast<std::size_t>(text.Length());
    links = stops.Count();
  }
  state.counters["characters"] = static_cast<double>(characters);
  state.counters["links"] = links;
}

void A11y_TabToNextLink(benchmark::State& state) {
  auto viewer = ReferenceViewer();
  viewer->setFocus();
  viewer->Stops();  // collected once per page, on the first Tab
  for (auto _ : state) {
    if (!viewer->FocusNextStop(true)) viewer->FocusNextStop(true);
  }
  state.counters["stops"] = viewer->Stops().Count();
}

BENCHMARK(A11y_ReadingTextAndLinks)->Unit(benchmark::kMillisecond);
BENCHMARK(A11y_TabToNextLink)->Unit(benchmark::kMicrosecond);

}  // namespace
