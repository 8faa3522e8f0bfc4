// The viewer tests' fixture: a shown viewer on the offscreen platform with
// the fixed metrics as the screen canvas, and helpers to feed it pages and
// synthetic events.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/fixed_metrics_canvas.h"
#include "platform/screen_canvas.h"
#include "reader/url_target.h"
#include "support/test_files.h"
#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"

namespace kiv {

inline std::string Lines(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "line " + std::to_string(i) + "<br>";
  return s;
}

inline std::string Paragraphs(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "<p>Paragraph " + std::to_string(i) + " holds some words.</p>";
  return s;
}

inline std::string PreLines(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "pre line " + std::to_string(i) + "\n";
  return s;
}

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    viewer = std::make_unique<THTMLViewer>();
    viewer->SetDefBackground(clWhite);
    viewer->SetDefFontColor(clBlack);
    viewer->resize(400, 300);
    viewer->show();
    viewer->activateWindow();
    Wait(20);
  }
  void TearDown() override { viewer.reset(); }

  void LoadHtml(const std::string& html) { viewer->LoadDocumentBuffer(html.data(), html.size()); }

  static void Wait(int ms) {
    QElapsedTimer clock;
    clock.start();
    do {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (clock.elapsed() < ms);
  }

  // Lets every pending paint and posted event run.
  static void PaintNow() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  void Key(int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(viewer.get(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(viewer.get(), &release);
  }

  // A mouse event on the painting panel at (x, y) in its coordinates.
  void Mouse(QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons held) {
    const QPointF local(x, y);
    QMouseEvent e(type, local, viewer->PaintPanel()->mapToGlobal(local), button, held,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(viewer->PaintPanel(), &e);
  }
  void Press(int x, int y) {
    Mouse(QEvent::MouseButtonPress, x, y, Qt::LeftButton, Qt::LeftButton);
  }
  void Drag(int x, int y) { Mouse(QEvent::MouseMove, x, y, Qt::NoButton, Qt::LeftButton); }
  void Hover(int x, int y) { Mouse(QEvent::MouseMove, x, y, Qt::NoButton, Qt::NoButton); }
  void Release(int x, int y) {
    Mouse(QEvent::MouseButtonRelease, x, y, Qt::LeftButton, Qt::NoButton);
  }

  // A point of the panel over the link to url (found by asking the document).
  QPoint LinkPoint(const std::string& url) {
    PaintNow();
    for (int y = 0; y < viewer->PaintPanel()->height(); y += 2) {
      for (int x = 0; x < viewer->PaintPanel()->width(); x += 4) {
        TUrlTarget target;
        if (viewer->Document().LinkAt(ScreenCanvas(), x, y + viewer->Document().ScrollY, target) &&
            target.Url == url)
          return {x, y};
      }
    }
    ADD_FAILURE() << "no link to " << url;
    return {-1, -1};
  }

  // What the screen shows of the painting panel.
  QImage ScreenShot() {
    QWidget* panel = viewer->PaintPanel();
    const QPoint at = panel->mapTo(viewer.get(), QPoint(0, 0));
    return viewer->screen()
        ->grabWindow(viewer->winId(), at.x(), at.y(), panel->width(), panel->height())
        .toImage();
  }

  FixedMetricsCanvas fixed;
  ScopedScreenCanvas screenCanvas{&fixed};
  testing::TempDir dir;
  std::unique_ptr<THTMLViewer> viewer;
};

}  // namespace kiv
