// List items: kinds and numbers, clones keep their class and Plain, and the
// markers: numbers right-aligned before the text, bullets by level filled on
// plain pages and outlined on coloured ones, none for Plain or definitions.
#include <gtest/gtest.h>

#include "layout/line_rec.h"
#include "layout/list_items.h"
#include "paint_test_support.h"
#include "platform/screen_canvas.h"

namespace kiv {
namespace {

using testing::AddTo;
using testing::Rgb;

class ListMarkerTest : public ::testing::Test {
 protected:
  ListMarkerTest() : screen_(&fixed_) {
    doc.SetDefaults("Times New Roman", "Courier New", 12, clBlack, clBlue, clWhite);
    line.LineHt = 20;
    line.Descent = 4;
  }

  template <class T>
  T* Item(std::unique_ptr<T> item) {
    T* raw = AddTo(doc, std::move(item));
    raw->MarkerX = 40;  // the item's text starts 40 pixels into the cell
    return raw;
  }

  // Paints item's marker with the cell at window X 10 and the bottom of the
  // first line's text band at document Y 30, on a page of background fill.
  QImage Paint(const TUListItem& item, QRgb fill = qRgb(255, 255, 255)) {
    QImage image(80, 40, QImage::Format_RGB32);
    image.fill(fill);
    FixedMetricsCanvas canvas(&image);
    item.PaintMarker(canvas, 10, 30, line);
    return image;
  }

  // Columns of row y whose pixel is not fill.
  static std::pair<int, int> Inked(const QImage& image, int y, QRgb fill) {
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != fill) {
        if (first < 0) first = x;
        last = x;
      }
    return {first, last};
  }

  FixedMetricsCanvas fixed_;
  ScopedScreenCanvas screen_;
  TSectionList doc;
  TMyFont font;
  LineRec line;
};

TEST_F(ListMarkerTest, KindsAndClonesKeepTheirClassNumberAndPlain) {
  auto* numbered = AddTo(doc, std::make_unique<TOListItem>(2, nullptr, font, 7));
  auto* bullet = AddTo(doc, std::make_unique<TUListItem>(1, nullptr, font));
  bullet->Plain = true;
  auto* definition = AddTo(doc, std::make_unique<TDListItem>(0, nullptr, font));
  EXPECT_EQ(numbered->ListType, TSection::NumberedItem);
  EXPECT_EQ(numbered->ListNumber, 7);
  EXPECT_EQ(numbered->Indent, 70);
  EXPECT_EQ(bullet->ListType, TSection::BulletedItem);
  EXPECT_EQ(definition->ListType, TSection::DefinitionItem);
  EXPECT_EQ(numbered->Justify, TSection::JustifyLeft);

  auto copy = TSectionList::CreateCopy(doc);
  auto* n2 = dynamic_cast<TOListItem*>((*copy)[0]);
  auto* b2 = dynamic_cast<TUListItem*>((*copy)[1]);
  ASSERT_NE(n2, nullptr);
  ASSERT_NE(b2, nullptr);
  EXPECT_EQ(n2->ListNumber, 7);
  EXPECT_TRUE(b2->Plain);
  EXPECT_NE(dynamic_cast<TDListItem*>((*copy)[2]), nullptr);
}

TEST_F(ListMarkerTest, NumberIsRightAlignedFivePixelsBeforeTheText) {
  auto* item = Item(std::make_unique<TOListItem>(1, nullptr, font, 12));
  QImage image = Paint(*item);
  // "12." is 3 x 8 pixels: from 50 - 5 - 24 = 21; the last block ends one
  // pixel before its advance, at 43. Its baseline is row 30 - 4 = 26.
  EXPECT_EQ(Inked(image, 25, qRgb(255, 255, 255)), std::make_pair(21, 43));
  EXPECT_EQ(Inked(image, 26, qRgb(255, 255, 255)).first, -1);
  EXPECT_EQ(image.pixel(21, 25), qRgb(0, 0, 0));
}

// The number is drawn in the item's first font as built, which follows the
// document's font size, in the item and in its copies.
TEST_F(ListMarkerTest, NumberFontFollowsTheBaseSizeAndIsCopied) {
  font.SetSize(12);
  auto* item = Item(std::make_unique<TOListItem>(1, nullptr, font, 12));
  font.SetSize(20);  // later changes of the builder's font are not the item's
  EXPECT_EQ(item->BaseFont.Size(), 12);
  doc.BaseFontSize = 24;
  doc.FontsChanged();
  EXPECT_EQ(item->BaseFont.Size(), 24);
  // "12." is now three 16-pixel blocks ending 5 pixels before the text.
  item->MarkerX = 70;
  QImage image = Paint(*item);
  EXPECT_EQ(Inked(image, 25, qRgb(255, 255, 255)), std::make_pair(80 - 5 - 48, 73));
  auto copy = TSectionList::CreateCopy(doc);
  auto* copied = dynamic_cast<TOListItem*>((*copy)[0]);
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(copied->BaseFont.Size(), 24);
}

TEST_F(ListMarkerTest, LongNumbersAreCutToSevenCharacters) {
  auto* item = Item(std::make_unique<TOListItem>(1, nullptr, font, 123456789));
  item->MarkerX = 70;
  QImage image = Paint(*item);
  // "1234567" is 56 pixels wide and ends 5 pixels before X 80.
  EXPECT_EQ(Inked(image, 25, qRgb(255, 255, 255)), std::make_pair(80 - 5 - 56, 73));
}

TEST_F(ListMarkerTest, BulletColourFollowsTheLevelOnPlainPages) {
  const struct {
    int level;
    TColor page;
    QRgb colour;
  } cases[] = {{0, clWhite, qRgb(255, 0, 0)},
               {1, clWhite, qRgb(0, 0, 128)},
               {2, clSilver, qRgb(128, 0, 0)},
               {3, clBtnFace, qRgb(255, 0, 0)},
               {4, PaletteRelative(clWhite), qRgb(0, 0, 128)}};
  for (const auto& c : cases) {
    doc.Clear();
    doc.SetBackgroundColor(c.page);
    auto* item = Item(std::make_unique<TUListItem>(c.level, nullptr, font));
    QImage image = Paint(*item, qRgb(9, 9, 9));
    // Centre at (50 - 8, 30 - 10) = (42, 20); a 5-pixel disc.
    EXPECT_EQ(image.pixel(42, 20), c.colour) << c.level;
    EXPECT_EQ(image.pixel(40, 20), c.colour) << c.level;
    EXPECT_EQ(image.pixel(42, 18), c.colour) << c.level;
    EXPECT_EQ(image.pixel(42, 23), qRgb(9, 9, 9)) << c.level;
    EXPECT_EQ(image.pixel(39, 20), qRgb(9, 9, 9)) << c.level;
  }
}

TEST_F(ListMarkerTest, BulletIsOutlinedInTheTextColourOnColouredPages) {
  doc.SetBackgroundColor(clYellow);
  doc.FontColor = clGreen;
  auto* item = Item(std::make_unique<TUListItem>(1, nullptr, font));
  QImage image = Paint(*item, qRgb(255, 255, 0));
  EXPECT_EQ(image.pixel(42, 20), qRgb(255, 255, 0));  // hollow
  EXPECT_EQ(image.pixel(40, 20), qRgb(0, 128, 0));
  EXPECT_EQ(image.pixel(42, 18), qRgb(0, 128, 0));
}

TEST_F(ListMarkerTest, PlainBulletsAndDefinitionsDrawNothing) {
  auto* plain = Item(std::make_unique<TUListItem>(1, nullptr, font));
  plain->Plain = true;
  auto* definition = Item(std::make_unique<TDListItem>(1, nullptr, font));
  for (const TUListItem* item :
       {static_cast<const TUListItem*>(plain), static_cast<const TUListItem*>(definition)}) {
    QImage image = Paint(*item);
    for (int y = 0; y < image.height(); ++y)
      EXPECT_EQ(Inked(image, y, qRgb(255, 255, 255)).first, -1) << y;
  }
}

}  // namespace
}  // namespace kiv
