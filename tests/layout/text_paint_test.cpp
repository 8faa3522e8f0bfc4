// Painting of text sections, checked on small images drawn with fixed
// metrics (12 points: advance 8, each character a block of 7 columns on rows
// baseline - 12 to baseline - 1): selection inversion, printing colours,
// sub- and superscript shifts, preformatted clipping, pagination, list
// markers, controls and the clip band.
#include <gtest/gtest.h>

#include <vector>

#include "layout/control_list.h"
#include "layout/form_control_base.h"
#include "layout/list_items.h"
#include "paint_test_support.h"

namespace kiv {
namespace {

const QRgb White = qRgb(255, 255, 255);
const QRgb Black = qRgb(0, 0, 0);
const QRgb Navy = qRgb(0, 0, 128);

// First and last row of column x that is not white; (-1, -1) when none.
std::pair<int, int> InkedRows(const QImage& image, int x) {
  int first = -1, last = -1;
  for (int y = 0; y < image.height(); ++y)
    if (image.pixel(x, y) != White) {
      if (first < 0) first = y;
      last = y;
    }
  return {first, last};
}

// First and last column of row y that is not white.
std::pair<int, int> InkedColumns(const QImage& image, int y) {
  int first = -1, last = -1;
  for (int x = 0; x < image.width(); ++x)
    if (image.pixel(x, y) != White) {
      if (first < 0) first = x;
      last = x;
    }
  return {first, last};
}

class TextPaintTest : public testing::TextDocTest {};

TEST_F(TextPaintTest, SelectedTextIsDrawnInThePageColourOnItsOwnColour) {
  font.SetColor(clNavy);
  Add("abcd");
  doc.SelStart = 1;
  doc.SelEnd = 3;
  Layout();
  QImage image = Paint(40, 20);
  EXPECT_EQ(image.pixel(3, 10), Navy);    // "a": unselected text
  EXPECT_EQ(image.pixel(7, 10), White);   // the page between "a" and "b"
  EXPECT_EQ(image.pixel(11, 10), White);  // "b": text in the page's colour
  EXPECT_EQ(image.pixel(15, 10), Navy);   // the field behind it
  EXPECT_EQ(image.pixel(11, 1), Navy);    // the field spans the character cell
  EXPECT_EQ(image.pixel(19, 19), Navy);
  EXPECT_EQ(image.pixel(23, 10), Navy);  // after "c", still the field
  EXPECT_EQ(image.pixel(27, 10), Navy);  // "d": unselected again
  EXPECT_EQ(image.pixel(31, 10), White);
  EXPECT_EQ(image.pixel(27, 1), White);
}

TEST_F(TextPaintTest, PrintingShowsNoSelectionAndBlackText) {
  font.SetColor(clRed);
  TSection* s = Add("ab");
  AddLink(*s, "cd", "x.htm");
  doc.SelStart = 0;
  doc.SelEnd = 4;
  doc.Printing = true;
  Layout();
  QImage image = Paint(40, 20);
  EXPECT_EQ(image.pixel(3, 10), Black);
  EXPECT_EQ(image.pixel(19, 10), Black);
  EXPECT_EQ(image.pixel(7, 10), White);
  EXPECT_EQ(image.pixel(3, 1), White);
}

TEST_F(TextPaintTest, SuperscriptIsRaisedAndSubscriptLowered) {
  TSection* s = Add("ab");
  AddShifted(*s, "cd", ShiftSuperscript);  // 9 points: advance 6, line 15, descent 3
  AddShifted(*s, "ef", ShiftSubscript);
  Layout();
  QImage image = Paint(60, 30);
  // The line's baseline is at row 16.
  EXPECT_EQ(InkedRows(image, 1), std::make_pair(4, 15));
  // Raised by 15 / 3 = 5: baseline 11, a 9-point block from row 11 - 12 + 3.
  EXPECT_EQ(InkedRows(image, 17), std::make_pair(2, 10));
  // Lowered by 3 / 2 + 1 = 2: baseline 18.
  EXPECT_EQ(InkedRows(image, 16 + 12 + 1), std::make_pair(9, 17));
}

TEST_F(TextPaintTest, PreformattedTextIsClippedToTheClipWidth) {
  Add<TPreFormated>("abcdefghij");
  Add("abcdefghij");
  Layout();
  QImage image = Paint(120, 40, 10, 36);
  EXPECT_EQ(InkedColumns(image, 10), std::make_pair(10, 45));
  EXPECT_EQ(InkedColumns(image, 30), std::make_pair(10, 10 + 79 - 1));
}

TEST_F(TextPaintTest, PrintedLineThatWouldCrossThePageEndMovesToTheNextPage) {
  TSection* s = Add("aaaa bbbb cccc dddd");
  doc.Printing = true;
  Layout(40);
  ASSERT_EQ(s->Lines.size(), 4u);
  QImage image = Paint(60, 50);
  EXPECT_EQ(doc.PageBottom, 40);
  EXPECT_NE(InkedColumns(image, 30).first, -1);
  for (int y = 40; y < 50; ++y) EXPECT_EQ(InkedColumns(image, y).first, -1) << y;

  // Lines taller than the whole page are painted where they are.
  Paint(60, 15);
  EXPECT_EQ(doc.PageBottom, 15);
}

TEST_F(TextPaintTest, SectionsOutsideTheClipBandAreNotTouched) {
  TSection* top = Add("top");
  TSection* below = Add("below");
  Layout();
  Paint(100, 40, 10);
  ASSERT_EQ(below->Lines[0].PaintX, 10);
  Paint(100, 20, 30);  // only the first section's band
  EXPECT_EQ(top->Lines[0].PaintX, 30);
  EXPECT_EQ(below->Lines[0].PaintX, 10);
  EXPECT_EQ(below->Lines[0].PaintY, 20);
  doc.SetScrollY(20);
  Paint(100, 20, 30);
  EXPECT_EQ(top->Lines[0].PaintX, 30);
  EXPECT_EQ(below->Lines[0].PaintX, 30);
  EXPECT_EQ(below->Lines[0].PaintY, 0);
}

TEST_F(TextPaintTest, FirstLineOfAListItemCarriesItsMarker) {
  testing::AddTo(doc, std::make_unique<TOListItem>(1, nullptr, font, 3));
  static_cast<TSection*>(doc[0])->AddText("aaaa bbbb");
  Layout(35 + 40);
  QImage image = Paint(100, 40);
  // "3." ends 5 pixels before the text at 35; the second line has none.
  EXPECT_EQ(InkedColumns(image, 10), std::make_pair(35 - 5 - 16, 35 + 30));
  EXPECT_EQ(InkedColumns(image, 30), std::make_pair(35, 35 + 30));
}

TEST_F(TextPaintTest, FloatingPicturesStandAtTheirSide) {
  TSection* s = Add("");
  TImageObj* right = AddImage(*s, "40x30", {{AlignSy, "right"}});
  s->AddText("text ");
  TImageObj* later = AddImage(*s, "20x10", {{AlignSy, "left"}});
  Layout(200);
  Paint(300, 80, 10);
  // Met first: at the right boundary, its top at the line's top.
  EXPECT_EQ(right->PaintX, 10 + 200 - 40);
  EXPECT_EQ(right->PaintDocY, 0);
  // Met after text: hangs from the bottom of the text band.
  EXPECT_EQ(later->PaintX, 10);
  EXPECT_EQ(later->PaintDocY, 20);
}

// One control of fixed size at every control placeholder.
class FakeControl : public TFormControlBase {
 public:
  FakeControl(int pos, bool radio) : pos_(pos), radio_(radio) {}
  int ControlWidth() const override { return 30; }
  int ControlHeight() const override { return 24; }
  bool IsRadio() const override { return radio_; }
  void MoveControl(int left, int top) override {
    this->left = left;
    this->top = top;
  }
  void ShowControl() override { ++shown; }
  int Pos() const { return pos_; }

  int left = -1, top = -1, shown = 0;

 private:
  int pos_;
  bool radio_;
};

class FakeControls : public TControlList {
 public:
  explicit FakeControls(FakeControl* control) : control_(control) {}
  int Count() const override { return 1; }
  int WidthOfIndex(int) const override { return control_->ControlWidth(); }
  int DistanceToNext(int offset) const override {
    return offset <= control_->Pos() ? control_->Pos() - offset : NoNextObject;
  }
  int WidthAt(int offset) const override {
    return offset == control_->Pos() ? control_->ControlWidth() : -1;
  }
  int HeightAt(int offset, bool& onBaseline) const override {
    onBaseline = control_->OnBaseline;
    return offset == control_->Pos() ? control_->ControlHeight() : -1;
  }
  TFormControlBase* ControlAt(int offset) const override {
    return offset == control_->Pos() ? control_ : nullptr;
  }

 private:
  FakeControl* control_;
};

class ControlPaintTest : public TextPaintTest {
 protected:
  QImage PaintWithControl(bool onBaseline, bool radio, bool printing) {
    control = std::make_unique<FakeControl>(2, radio);
    control->OnBaseline = onBaseline;
    TSection* s = Add(std::string("ab\x02") + "cd");
    s->Controls = std::make_unique<FakeControls>(control.get());
    doc.Printing = printing;
    Layout();
    return Paint(100, 40, 10);
  }
  std::unique_ptr<FakeControl> control;
};

TEST_F(ControlPaintTest, ControlWindowIsPlacedOnItsLineAndShown) {
  for (bool onBaseline : {false, true}) {
    doc.Clear();
    QImage image = PaintWithControl(onBaseline, false, false);
    EXPECT_TRUE(control->Placed);
    EXPECT_EQ(control->shown, 1);
    EXPECT_EQ(control->left, 10 + 16);
    // Band bottom 24 (4 above the text), or 28 on the baseline (8 above).
    EXPECT_EQ(control->top, 0) << onBaseline;
    EXPECT_EQ(image.pixel(26, 10), White);  // the window, not the document, shows it
    const int textRow = onBaseline ? 20 : 16;
    EXPECT_EQ(InkedColumns(image, textRow), std::make_pair(10, 10 + 16 + 30 + 14)) << onBaseline;
  }
}

TEST_F(ControlPaintTest, PrintedControlsAreOutlined) {
  QImage box = PaintWithControl(false, false, true);
  EXPECT_EQ(control->shown, 0);
  EXPECT_TRUE(control->Placed);
  EXPECT_EQ(box.pixel(26, 0), Black);
  EXPECT_EQ(box.pixel(26 + 29, 23), Black);
  EXPECT_EQ(box.pixel(40, 10), White);
  doc.Clear();
  QImage radio = PaintWithControl(false, true, true);
  EXPECT_EQ(radio.pixel(26, 0), White);  // an ellipse leaves the corners
  EXPECT_EQ(radio.pixel(26 + 15, 0), Black);
}

}  // namespace
}  // namespace kiv
