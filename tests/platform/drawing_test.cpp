// Shapes, colours and bitmaps on the canvas, checked pixel by pixel.
#include <QImage>

#include <gtest/gtest.h>

#include "platform/bitmap.h"
#include "platform/color.h"
#include "platform/qt_canvas.h"
#include "platform/win_types.h"

namespace kiv {
namespace {

QImage White(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  return img;
}

TEST(MulDivTest, RoundsToNearestAndRefusesZero) {
  EXPECT_EQ(MulDiv(12, 96, 72), 16);
  EXPECT_EQ(MulDiv(16, 8, 12), 11);  // 10.67
  EXPECT_EQ(MulDiv(10, 1, 4), 3);    // 2.5 rounds away from zero
  EXPECT_EQ(MulDiv(-10, 1, 4), -3);
  EXPECT_EQ(MulDiv(7, 3, 0), -1);
  EXPECT_EQ(MulDiv(2000000000, 2000000000, 2000000000), 2000000000);  // no overflow
}

TEST(ColorTest, SystemAndPaletteRelativeColoursResolve) {
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
  EXPECT_EQ(ColorToRGB(clWindow), clWhite);
  EXPECT_EQ(ColorToRGB(PaletteRelative(clRed)), clRed);
  EXPECT_EQ(ColorToRGB(SystemColorBase + 999), clBlack);
  EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
  EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
}

TEST(CanvasShapesTest, RectangleExcludesRightAndBottom) {
  QImage img = White(20, 20);
  {
    QtCanvas c(&img);
    c.SetPen(clRed);
    c.SetBrush(clBlue);
    c.Rectangle(2, 3, 10, 8);
  }
  EXPECT_EQ(img.pixel(2, 3), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(9, 7), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(10, 7), qRgb(255, 255, 255));
  EXPECT_EQ(img.pixel(9, 8), qRgb(255, 255, 255));
  EXPECT_EQ(img.pixel(5, 5), qRgb(0, 0, 255));
}

TEST(CanvasShapesTest, LineToExcludesItsEndPoint) {
  QImage img = White(20, 20);
  {
    QtCanvas c(&img);
    c.SetPen(clBlack);
    c.MoveTo(2, 5);
    c.LineTo(8, 5);
    c.MoveTo(12, 2);
    c.LineTo(12, 9);
  }
  EXPECT_EQ(img.pixel(2, 5), qRgb(0, 0, 0));
  EXPECT_EQ(img.pixel(7, 5), qRgb(0, 0, 0));
  EXPECT_EQ(img.pixel(8, 5), qRgb(255, 255, 255));
  EXPECT_EQ(img.pixel(12, 8), qRgb(0, 0, 0));
  EXPECT_EQ(img.pixel(12, 9), qRgb(255, 255, 255));
}

TEST(CanvasShapesTest, LinesDrawnBackwardsAlsoExcludeTheirEndPoint) {
  QImage img = White(20, 20);
  {
    QtCanvas c(&img);
    c.SetPen(clBlack);
    c.MoveTo(8, 5);
    c.LineTo(2, 5);  // leftward: 8 down to 3
    c.MoveTo(12, 9);
    c.LineTo(12, 2);  // upward: 9 up to 3
  }
  EXPECT_EQ(img.pixel(8, 5), qRgb(0, 0, 0));
  EXPECT_EQ(img.pixel(3, 5), qRgb(0, 0, 0));
  EXPECT_EQ(img.pixel(2, 5), qRgb(255, 255, 255));
  EXPECT_EQ(img.pixel(12, 9), qRgb(0, 0, 0));
  EXPECT_EQ(img.pixel(12, 3), qRgb(0, 0, 0));
  EXPECT_EQ(img.pixel(12, 2), qRgb(255, 255, 255));
}

TEST(CanvasShapesTest, WindowOriginAndScaleMapLogicalToDevice) {
  QImage img = White(40, 40);
  {
    QtCanvas c(&img);
    c.SetWindowOrg(0, 100);
    c.SetScale(2, 1, 2, 1);
    c.FillRect({5, 105, 6, 106}, clBlack);  // device (10,10)-(12,12)
  }
  EXPECT_EQ(img.pixel(10, 10), qRgb(0, 0, 0));
  EXPECT_EQ(img.pixel(11, 11), qRgb(0, 0, 0));
  EXPECT_EQ(img.pixel(12, 12), qRgb(255, 255, 255));
  EXPECT_EQ(img.pixel(9, 9), qRgb(255, 255, 255));
}

TEST(CanvasShapesTest, ClippingLimitsFills) {
  QImage img = White(20, 20);
  {
    QtCanvas c(&img);
    c.IntersectClipRect({0, 0, 10, 10});
    c.IntersectClipRect({5, 5, 20, 20});
    EXPECT_EQ(c.ClipBox(), (TRect{5, 5, 10, 10}));
    c.FillRect({0, 0, 20, 20}, clBlack);
  }
  EXPECT_EQ(img.pixel(5, 5), qRgb(0, 0, 0));
  EXPECT_EQ(img.pixel(4, 4), qRgb(255, 255, 255));
  EXPECT_EQ(img.pixel(10, 10), qRgb(255, 255, 255));
}

TEST(BitmapTest, IndexedBitmapsKeepPaletteAndPaddedRows) {
  auto b = Bitmap::CreateIndexed(3, 2, {clRed, clLime});
  ASSERT_TRUE(b);
  EXPECT_EQ(b->BitsPerPixel(), 8);
  EXPECT_EQ(b->BytesPerLine(), 4);  // 3 pixels padded to 4 bytes
  b->ScanLine(1)[2] = 1;
  EXPECT_EQ(b->Pixel(2, 1), clLime);
  EXPECT_EQ(b->Pixel(0, 0), clRed);
  EXPECT_EQ(b->Pixel(5, 5), clBlack);  // outside
  EXPECT_EQ(b->Palette()[1], clLime);
}

TEST(BitmapTest, RefusesSizesThatCannotBeHonoured) {
  EXPECT_FALSE(Bitmap::CreateIndexed(0, 5, {}));
  EXPECT_FALSE(Bitmap::CreateIndexed(65535, 65535, {}));
  EXPECT_FALSE(Bitmap::CreateRgb(-1, 10));
  EXPECT_FALSE(Mask::Create(100000, 100000));
  EXPECT_FALSE(Bitmap::FromFileData("not a picture", 13));
  EXPECT_FALSE(Bitmap::FromFileData(nullptr, 0));
}

TEST(BitmapTest, MaskBlitsCombineWithRasterOps) {
  // AND a mask (white = keep) over a red background: black where the mask is
  // black; then OR a blue bitmap: blue shows only where the AND made black.
  QImage img(4, 1, QImage::Format_RGB32);
  img.fill(qRgb(255, 0, 0));
  auto mask = Mask::Create(4, 1);
  mask->SetWhite(0, 0, true);
  mask->SetWhite(1, 0, true);
  auto blue = Bitmap::CreateRgb(4, 1);
  for (int x = 0; x < 4; ++x) blue->SetPixel(x, 0, x < 2 ? clBlack : clBlue);
  {
    QtCanvas c(&img);
    c.StretchMask({0, 0, 4, 1}, *mask, RasterOp::And);
    c.StretchBitmap({0, 0, 4, 1}, *blue, RasterOp::Or);
  }
  EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(1, 0), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(2, 0), qRgb(0, 0, 255));
  EXPECT_EQ(img.pixel(3, 0), qRgb(0, 0, 255));
  auto inverted = mask->Inverted();
  EXPECT_FALSE(inverted->IsWhite(0, 0));
  EXPECT_TRUE(inverted->IsWhite(3, 0));
}

}  // namespace
}  // namespace kiv
