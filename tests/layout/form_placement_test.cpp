// Form controls in the layout: the room their windows take on a line, where
// painting puts the windows, and how scrolling moves or hides them.
#include "form_test_support.h"
#include "layout/form_control_list.h"
#include "layout/text_section.h"

namespace kiv {
namespace {

class FormPlacementTest : public testing::FormTest {};

TEST_F(FormPlacementTest, WindowsAreSizedFromTheirFontBeforeLayout) {
  Parse(
      "<input name=a size=5><input type=checkbox><input type=radio>"
      "<select name=s><option>abcdefgh</select><textarea rows=2 cols=4></textarea>"
      "<textarea rows=2 cols=14></textarea>");
  LayOut();
  // 10-point fixed metrics: "A" is 6 wide and 16 high.
  EXPECT_EQ(Control(0)->ControlWidth(), 6 * 5 + 5);
  EXPECT_EQ(Control(0)->ControlHeight(), 20);
  EXPECT_EQ(Control(1)->ControlWidth(), 13);
  EXPECT_EQ(Control(2)->ControlHeight(), 14);
  // A drop-down list is measured in the screen's default font (12 points: 8 wide).
  const QWidget* combo = WidgetOf(*Control(3)->Control);
  EXPECT_GE(combo->width(), 8 * 8 + 30);
  EXPECT_LE(combo->width(), 8 * 8 + 30 + 8);
  EXPECT_EQ(Control(5)->ControlWidth() - Control(4)->ControlWidth(), 10 * 6);
  EXPECT_EQ(Control(5)->ControlHeight(), Control(4)->ControlHeight());
}

TEST_F(FormPlacementTest, ControlsWidenAndRaiseTheirLine) {
  Parse("<p>ab<input name=a size=30>cd</p><p>x<textarea rows=3></textarea></p>");
  LayOut();
  std::vector<const TSection*> texts;
  for (const auto& s : doc)
    if (auto* t = dynamic_cast<const TSection*>(s.get()); t && t->Length > 0) texts.push_back(t);
  ASSERT_EQ(texts.size(), 2u);
  const TSection* section = texts[0];
  ASSERT_NE(section, nullptr);
  ASSERT_EQ(section->Length, 5);
  EXPECT_EQ(section->Buffer[2], ControlPlaceholder);
  ASSERT_EQ(section->Lines.size(), 1u);
  // The edit (20 high) is as high as the 12-point text band: nothing above.
  EXPECT_EQ(section->Lines[0].SpaceBefore, 0);
  const TSection* tall = texts[1];
  ASSERT_EQ(tall->Lines.size(), 1u);
  EXPECT_EQ(tall->Lines[0].SpaceBefore, Control(1)->ControlHeight() - 20);
}

TEST_F(FormPlacementTest, PaintShowsControlsInViewAndScrollingMovesOrHidesThem) {
  std::string page = "ab<input name=a size=5> <input type=checkbox name=c>";
  for (int i = 0; i < 60; ++i) page += "<p>filler line " + std::to_string(i);
  page += "<p><input name=z>";
  Parse(page);
  const int height = LayOut();
  Paint();
  QWidget* edit = WidgetOf(*Control(0)->Control);
  QWidget* box = WidgetOf(*Control(1)->Control);
  QWidget* last = WidgetOf(*Control(2)->Control);
  EXPECT_FALSE(edit->isHidden());
  EXPECT_EQ(edit->x(), 16);
  EXPECT_EQ(edit->y(), 0);
  // The check box stands on the baseline, after the edit and a space.
  EXPECT_EQ(box->x(), 16 + 35 + 8);
  EXPECT_EQ(box->y(), 20 - 4 - 13);
  EXPECT_TRUE(last->isHidden());

  doc.SetScrollY(7);
  Paint();
  EXPECT_EQ(edit->y(), -7);
  EXPECT_EQ(box->y(), 20 - 4 - 13 - 7);
  EXPECT_FALSE(edit->isHidden());

  doc.SetScrollY(height - 100);
  Paint();
  EXPECT_TRUE(edit->isHidden());
  EXPECT_TRUE(box->isHidden());
  EXPECT_FALSE(last->isHidden());
  EXPECT_EQ(last->x(), 0);

  // The same scroll position again marks nothing for hiding.
  doc.SetScrollY(height - 100);
  EXPECT_TRUE(Control(2)->Placed);
}

TEST_F(FormPlacementTest, APrintCopyDrawsOutlinesAndLeavesTheWindowsAlone) {
  Parse("ab<input name=a size=5> <input type=radio name=r>");
  LayOut();
  Paint();
  QWidget* edit = WidgetOf(*Control(0)->Control);
  const QPoint onScreen = edit->pos();
  auto copy = TSectionList::CreateCopy(doc);
  copy->Printing = true;
  FixedMetricsCanvas measure;
  int maxWidth = 0, charIndex = 0;
  copy->Layout(measure, 0, 600, maxWidth, charIndex);
  QImage image(600, 40, QImage::Format_RGB32);
  image.fill(qRgb(255, 255, 255));
  {
    FixedMetricsCanvas canvas(&image);
    copy->Paint(canvas, Rect(0, 0, 600, 40), 600, 0, 0);
  }
  EXPECT_EQ(edit->pos(), onScreen);
  const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
  // The edit: a 35 x 20 rectangle after "ab".
  EXPECT_EQ(image.pixel(16, 10), black);
  EXPECT_EQ(image.pixel(16 + 34, 10), black);
  EXPECT_EQ(image.pixel(30, 10), white);
  // The radio button: an ellipse on the baseline after a space, open at its corners.
  const int left = 16 + 35 + 8, top = 20 - 4 - 14;
  EXPECT_EQ(image.pixel(left, top + 7), black);
  EXPECT_EQ(image.pixel(left, top), white);
  EXPECT_EQ(image.pixel(left + 6, top + 7), white);
}

TEST_F(FormPlacementTest, TabOrderFollowsTheDocument) {
  Parse(
      "<form><input name=a><input type=checkbox><input type=radio><select><option>x</select>"
      "<textarea></textarea><input type=submit></form>");
  LayOut();
  Paint();
  viewer_.show();
  // The widgets that Tab visits, in chain order from the first control.
  std::vector<QWidget*> chain;
  QWidget* w = Input(Control(0));
  for (int steps = 0; chain.size() < 6 && steps < 100; ++steps, w = w->nextInFocusChain())
    if (w->focusPolicy() & Qt::TabFocus) chain.push_back(w);
  ASSERT_EQ(chain.size(), 6u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(chain[i], Input(Control(i))) << i;
}

}  // namespace
}  // namespace kiv
