// Helpers for the form tests: a page with forms built into a document whose
// painting panel is a real widget inside a stand-in viewer window, with
// fixed metrics, and real keys and clicks sent to the control windows.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder/document_builder.h"
#include "layout/form_control.h"
#include "layout/html_form.h"
#include "layout/section_list.h"
#include "platform/fixed_metrics_canvas.h"
#include "platform/qt_window_control.h"
#include "platform/screen_canvas.h"

namespace kiv::testing {

// The window that owns the painting panel; it records the keys it gets.
class ViewerStandIn : public QWidget {
 public:
  std::vector<int> keys;

 protected:
  void keyPressEvent(QKeyEvent* e) override { keys.push_back(e->key()); }
};

struct Submission {
  std::string action;
  std::string method;
  std::vector<std::string> results;
};

class FormTest : public ::testing::Test {
 protected:
  FormTest()
      : screen_(&fixed_), panel_(new QWidget(&viewer_)), doc(nullptr, ControlParentHandle(panel_)) {
    viewer_.resize(600, 400);
    panel_->resize(600, 400);
    doc.SetDefaults("Times New Roman", "Courier New", 12, clBlack, clBlue, clWhite);
    doc.FormSubmitHandler = [this](THTMLViewer*, const std::string& action,
                                   std::vector<std::string> results, const std::string& method) {
      submissions.push_back({action, method, std::move(results)});
    };
  }

  void Parse(const std::string& html) {
    TAnchorList anchors;
    ParseHtmlBuffer(doc, anchors, html.data(), html.size());
  }

  // Lays the document out at width 600 with fixed metrics.
  int LayOut() {
    FixedMetricsCanvas canvas;
    int maxWidth = 0, charIndex = 0;
    return doc.Layout(canvas, 0, 600, maxWidth, charIndex);
  }

  // Paints a 600 x 400 window of the document at its scroll position.
  void Paint() {
    QImage image(600, 400, QImage::Format_RGB32);
    FixedMetricsCanvas canvas(&image);
    doc.Paint(canvas, Rect(0, 0, 600, 400), 600, 0, 0);
  }

  // The index-th control of the page in document order (forms in order).
  template <class T = TFormControlObj>
  T* Control(int index) {
    for (const auto& form : doc.Forms) {
      auto& f = static_cast<ThtmlForm&>(*form);
      if (index < f.FormControls.Count()) return dynamic_cast<T*>(f.FormControls[index]);
      index -= f.FormControls.Count();
    }
    return nullptr;
  }
  ThtmlForm& Form(int index) { return static_cast<ThtmlForm&>(*doc.Forms[index]); }

  static QWidget* Input(const TFormControlObj* control) { return InputWidgetOf(*control->Control); }

  static void Key(QWidget* w, Qt::Key key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
  }
  static void Type(QWidget* w, const std::string& text) {
    for (char c : text) {
      const QString s(QChar::fromLatin1(c));
      Key(w, c == '\r' ? Qt::Key_Return : static_cast<Qt::Key>(s.toUpper().at(0).unicode()),
          c == '\r' ? QString() : s);
    }
  }
  static void Click(QWidget* w) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    const QPointF global = w->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
  }

  // Submits form index as a click on an unnamed submit button would.
  std::vector<std::string> Submit(int form = 0) {
    Form(form).SubmitForm(nullptr);
    return submissions.empty() ? std::vector<std::string>{} : submissions.back().results;
  }

  FixedMetricsCanvas fixed_;
  ScopedScreenCanvas screen_;
  ViewerStandIn viewer_;
  QWidget* panel_;  // owned by viewer_
  TSectionList doc;
  std::vector<Submission> submissions;
};

}  // namespace kiv::testing
