// A page of 500 form controls (edits, check boxes, radio buttons, lists,
// buttons, text areas) in the viewer control: loading it (parse, windows,
// layout, first paint) and scrolling it one line (only the controls in view
// are moved or shown).
#include <QApplication>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"

namespace {

const std::string& FormPage() {
  static const std::string page = [] {
    std::string s = "<html><body><form action=find method=post>";
    for (int i = 0; i < 100; ++i) {
      const std::string n = std::to_string(i);
      s += "<p>Field " + n + " <input name=e" + n + " value=v" + n +
           "> <input type=checkbox name=c" + n + "> <input type=radio name=r value=" + n +
           "> <select name=s" + n +
           "><option>one<option selected>two<option>three</select> <input type=submit name=b" + n +
           ">";
    }
    return s + "</form></body></html>";
  }();
  return page;
}

std::unique_ptr<kiv::THTMLViewer> Viewer() {
  auto viewer = std::make_unique<kiv::THTMLViewer>();
  viewer->setAttribute(Qt::WA_DontShowOnScreen);
  viewer->SetDefBackground(kiv::clWhite);
  viewer->resize(800, 600);
  viewer->show();
  return viewer;
}

void Forms_Load500Controls(benchmark::State& state) {
  auto viewer = Viewer();
  for (auto _ : state) {
    viewer->LoadDocumentBuffer(FormPage().data(), FormPage().size());
    viewer->PaintPanel()->repaint();
  }
}

void Forms_LineScroll500Controls(benchmark::State& state) {
  auto viewer = Viewer();
  viewer->LoadDocumentBuffer(FormPage().data(), FormPage().size());
  viewer->PaintPanel()->repaint();
  QCoreApplication::processEvents();
  const int end = viewer->DocHeight() - viewer->PaintPanel()->height();
  for (auto _ : state) {
    if (viewer->Document().ScrollY >= end) {
      state.PauseTiming();
      viewer->ScrollToY(0);
      viewer->PaintPanel()->repaint();
      state.ResumeTiming();
    }
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(viewer.get(), &press);
  }
}

}  // namespace

BENCHMARK(Forms_Load500Controls)->Unit(benchmark::kMillisecond);
BENCHMARK(Forms_LineScroll500Controls)->Unit(benchmark::kMillisecond);
