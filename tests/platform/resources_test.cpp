// The program's own pictures and the link cursor.
#include <QCursor>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <set>

#include "platform/bitmap.h"
#include "platform/resources.h"

namespace kiv {
namespace {

std::set<TColor> ColoursOf(const Bitmap& b) {
  std::set<TColor> colours;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) colours.insert(b.Pixel(x, y));
  return colours;
}

TEST(ResourcesTest, BrokenImageIsAnExclamationMarkOnAYellowTile) {
  Bitmap* b = BrokenImagePicture();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(BrokenImagePicture(), b);  // made once
  EXPECT_EQ(b->Width(), 27);
  EXPECT_EQ(b->Height(), 30);
  EXPECT_TRUE(b->IsIndexed());
  EXPECT_LE(ColoursOf(*b).size(), 16u);
  EXPECT_EQ(b->Pixel(4, 15), clYellow);
  EXPECT_EQ(b->Pixel(13, 8), clBlack);   // the bar
  EXPECT_EQ(b->Pixel(13, 23), clBlack);  // the dot
  EXPECT_EQ(b->Pixel(13, 21), clYellow);
}

TEST(ResourcesTest, ImagesOffIsAGlobeOnGrey) {
  Bitmap* b = ImagesOffPicture();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Width(), 32);
  EXPECT_EQ(b->Height(), 32);
  EXPECT_LE(ColoursOf(*b).size(), 16u);
  EXPECT_EQ(b->Pixel(0, 0), clSilver);
  EXPECT_EQ(b->Pixel(31, 31), clSilver);
  const std::set<TColor> colours = ColoursOf(*b);
  EXPECT_TRUE(colours.count(clBlue));
  EXPECT_TRUE(colours.count(clGreen));
}

TEST(ResourcesTest, LinkCursorIsAHandWithItsHotSpotAtTheFingerTip) {
  QCursor cursor = LinkCursor();
  EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
  EXPECT_EQ(cursor.hotSpot(), QPoint(LinkCursorHotX, LinkCursorHotY));
  QImage image = cursor.pixmap().toImage();
  ASSERT_FALSE(image.isNull());
  EXPECT_GT(qAlpha(image.pixel(LinkCursorHotX, LinkCursorHotY)), 0);
  EXPECT_EQ(qAlpha(image.pixel(30, 30)), 0);
}

}  // namespace
}  // namespace kiv
