// Forms in the viewer control: a click on a submit button raises the
// viewer's submit event once the click is over, the page keys typed in an
// edit scroll the page, and the controls move with the page as it scrolls.
#include <QLineEdit>
#include <QPushButton>

#include "layout/form_control.h"
#include "layout/html_form.h"
#include "platform/qt_window_control.h"
#include "viewer/scroll_bar_32.h"
#include "viewer/viewer_test_support.h"

namespace kiv {
namespace {

class FormViewerTest : public ViewerTest {
 protected:
  TFormControlObj* Control(int form, int index) {
    return static_cast<ThtmlForm&>(*viewer->Document().Forms[form]).FormControls[index];
  }
  static void Click(QWidget* w) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
  }
};

TEST_F(FormViewerTest, ASubmitClickIsDeliveredAfterTheClick) {
  std::vector<std::string> seen;
  viewer->OnFormSubmit = [&](THTMLViewer* sender, const std::string& action,
                             const std::string& method, const std::vector<std::string>& results) {
    EXPECT_EQ(sender, viewer.get());
    std::string all = action + " " + method;
    for (const auto& r : results) all += " " + r;
    seen.push_back(all);
  };
  LoadHtml("<form action=go method=post><input name=q value=a> <input type=submit name=s>");
  PaintNow();
  auto* edit = qobject_cast<QLineEdit*>(InputWidgetOf(*Control(0, 0)->Control));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->parentWidget(), viewer->PaintPanel());
  EXPECT_TRUE(edit->isVisible());
  edit->setText("help me");
  Click(InputWidgetOf(*Control(0, 1)->Control));
  EXPECT_TRUE(seen.empty());
  PaintNow();
  EXPECT_EQ(seen, (std::vector<std::string>{"go post q=help me s=Submit"}));
}

TEST_F(FormViewerTest, PageDownInAnEditScrollsThePageAndControlsMoveWithIt) {
  LoadHtml("<p>Find <input name=q><input type=checkbox name=c>" + Lines(200) + "<input name=last>");
  PaintNow();
  QWidget* edit = InputWidgetOf(*Control(0, 0)->Control);
  QWidget* box = InputWidgetOf(*Control(0, 1)->Control);
  QWidget* last = InputWidgetOf(*Control(0, 2)->Control);
  const QPoint editAt = edit->pos(), boxAt = box->pos();
  EXPECT_TRUE(edit->isVisible());
  EXPECT_FALSE(last->isVisible());

  viewer->ScrollToY(16);
  PaintNow();
  EXPECT_EQ(edit->pos(), editAt - QPoint(0, 16));
  EXPECT_EQ(box->pos(), boxAt - QPoint(0, 16));

  edit->setFocus();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
  QCoreApplication::sendEvent(edit, &press);
  PaintNow();
  const int paged = viewer->Document().ScrollY;
  EXPECT_EQ(paged, 16 + viewer->VScrollBar()->LargeChange());  // one page, once
  EXPECT_FALSE(edit->isVisible());

  QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
  QCoreApplication::sendEvent(box, &end);  // a check box keeps its keys to itself
  PaintNow();
  EXPECT_EQ(viewer->Document().ScrollY, paged);
  viewer->ScrollToY(viewer->DocHeight());
  PaintNow();
  EXPECT_TRUE(last->isVisible());
}

}  // namespace
}  // namespace kiv
