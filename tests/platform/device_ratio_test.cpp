// Painting at device pixel ratios: the ratios accepted from users and the
// environment, contrast of marks on theme colours, and the canvas covering
// whole device pixels while the engine keeps its logical coordinates.
#include <QImage>

#include <cmath>

#include <gtest/gtest.h>

#include "platform/bitmap.h"
#include "platform/color_contrast.h"
#include "platform/device_ratio.h"
#include "platform/qt_canvas.h"

namespace kiv {
namespace {

QImage WhiteSurface(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  return img;
}

TEST(DeviceRatioTest, UserRatiosFromOneToFourOnly) {
  double r = 0;
  std::string error;
  for (const char* good : {"1", "1.5", "2", " 3 ", "4"}) {
    EXPECT_TRUE(ParseDeviceRatio(good, r, error)) << good;
  }
  EXPECT_TRUE(ParseDeviceRatio("1.25", r, error));
  EXPECT_DOUBLE_EQ(r, 1.25);
  for (const char* bad : {"0", "-2", "0.1", "7", "4.01", "nan", "NaN", "inf", "2x", "", "1,5"}) {
    r = 9;
    error.clear();
    EXPECT_FALSE(ParseDeviceRatio(bad, r, error)) << bad;
    EXPECT_NE(error.find("1 to 4"), std::string::npos) << error;
    EXPECT_EQ(r, 9);  // left as it was
  }
  EXPECT_DOUBLE_EQ(ClampDeviceRatio(7), 4);
  EXPECT_DOUBLE_EQ(ClampDeviceRatio(0.1), 1);
  EXPECT_DOUBLE_EQ(ClampDeviceRatio(-3), 1);
  EXPECT_DOUBLE_EQ(ClampDeviceRatio(std::nan("")), 1);
  EXPECT_DOUBLE_EQ(ClampDeviceRatio(1.5), 1.5);
}

TEST(DeviceRatioTest, EnvironmentFactorsAreHeldOrRefused) {
  struct Case {
    const char* given;
    const char* clamped;
  };
  for (const Case& c : {Case{"7", "4"}, Case{"0", "1"}, Case{"-1", "1"}, Case{"0.1", "1"},
                        Case{"nan", "1"}, Case{"junk", "1"}, Case{"1.5", "1.5"}}) {
    qputenv("QT_SCALE_FACTOR", c.given);
    std::string error;
    EXPECT_EQ(CheckScaleFactorEnvironment(error), std::string(c.clamped) == c.given) << c.given;
    if (std::string(c.clamped) != c.given) {
      EXPECT_NE(error.find("QT_SCALE_FACTOR"), std::string::npos);
    }
    ClampScaleFactorEnvironment();
    EXPECT_EQ(qgetenv("QT_SCALE_FACTOR").toStdString(), c.clamped) << c.given;
  }
  qunsetenv("QT_SCALE_FACTOR");
  qputenv("QT_SCREEN_SCALE_FACTORS", "DP-1=7;HDMI-1=0.1;2;nan");
  std::string error;
  EXPECT_FALSE(CheckScaleFactorEnvironment(error));
  EXPECT_NE(error.find("QT_SCREEN_SCALE_FACTORS"), std::string::npos);
  ClampScaleFactorEnvironment();
  EXPECT_EQ(qgetenv("QT_SCREEN_SCALE_FACTORS").toStdString(), "DP-1=4;HDMI-1=1;2;1");
  EXPECT_TRUE(CheckScaleFactorEnvironment(error));
  qunsetenv("QT_SCREEN_SCALE_FACTORS");
  EXPECT_TRUE(CheckScaleFactorEnvironment(error));
}

TEST(ColorContrastTest, InkAndMixesKeepTheirContrast) {
  EXPECT_NEAR(ContrastRatio(clBlack, clWhite), 21.0, 0.01);
  EXPECT_DOUBLE_EQ(ContrastRatio(clRed, clRed), 1.0);
  const TColor darkToolbar = RGB(49, 54, 59);
  EXPECT_EQ(ContrastingInk(darkToolbar), clWhite);
  EXPECT_EQ(ContrastingInk(RGB(240, 240, 240)), clBlack);
  const TColor navy = RGB(0, 0, 128);
  ASSERT_LT(ContrastRatio(navy, darkToolbar), 3.0);
  const TColor seen = WithContrast(navy, darkToolbar, 3.0);
  EXPECT_GE(ContrastRatio(seen, darkToolbar), 3.0);
  EXPECT_NE(seen, clWhite);  // mixed, not replaced
  EXPECT_EQ(WithContrast(navy, clWhite, 3.0), navy);
}

TEST(CanvasRatioTest, AdjacentCellsLeaveNoDevicePixelUnpainted) {
  for (double ratio : {1.25, 1.5, 1.75, 2.0, 3.0}) {
    QImage img = WhiteSurface(static_cast<int>(std::ceil(41 * ratio)),
                              static_cast<int>(std::ceil(41 * ratio)));
    {
      QtCanvas c(&img);
      c.SetDevicePixelRatio(ratio);
      for (int y = 0; y < 41; y += 3)
        for (int x = 0; x < 41; x += 1)
          c.FillRect({x, y, x + 1, y + 3}, (x + y) % 2 ? clRed : clBlue);
      c.SetPen(clBlack);
      c.SetBrush(clBlack, BrushStyle::Clear);
      c.Rectangle(0, 0, 41, 41);
      // The clip box is the surface in logical pixels.
      const TRect box = c.ClipBox();
      EXPECT_EQ(box.Right, 41 + (std::ceil(41 * ratio) > 41 * ratio ? 1 : 0)) << ratio;
    }
    // Every device pixel wholly inside the 41 x 41 logical cells is painted.
    const int inside = static_cast<int>(std::floor(41 * ratio));
    for (int y = 0; y < inside; ++y)
      for (int x = 0; x < inside; ++x)
        ASSERT_NE(img.pixel(x, y), qRgb(255, 255, 255)) << ratio << " at " << x << "," << y;
  }
}

TEST(CanvasRatioTest, MaskedPicturesStayExactAndOnlyTheirVisiblePartIsUsed) {
  // A picture of two colours whose right half is transparent, drawn the way
  // the engine draws transparent pictures (AND mask, OR picture) at 1.5.
  std::unique_ptr<Bitmap> picture = Bitmap::CreateRgb(8, 8);
  std::unique_ptr<Bitmap> opaque = Bitmap::CreateRgb(8, 8);
  std::unique_ptr<Mask> mask = Mask::Create(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      picture->SetPixel(x, y, (x + y) % 2 ? clRed : clLime);
      opaque->SetPixel(x, y, x < 4 ? picture->Pixel(x, y) : clBlack);
      mask->SetWhite(x, y, x >= 4);
    }
  const auto draw = [&](const TRect* clip) {
    QImage img(60, 60, QImage::Format_RGB32);
    img.fill(qRgb(0, 0, 255));
    QtCanvas c(&img);
    c.SetDevicePixelRatio(1.5);
    if (clip) c.IntersectClipRect(*clip);
    c.StretchMask({4, 4, 36, 36}, *mask, RasterOp::And);
    c.StretchBitmap({4, 4, 36, 36}, *opaque, RasterOp::Or);
    return img;
  };
  const QImage full = draw(nullptr);
  for (int y = 0; y < full.height(); ++y)
    for (int x = 0; x < full.width(); ++x) {
      const QRgb p = full.pixel(x, y);
      // Only the picture's colours and the untouched background: no fringe.
      ASSERT_TRUE(p == qRgb(255, 0, 0) || p == qRgb(0, 255, 0) || p == qRgb(0, 0, 255))
          << x << "," << y << " " << std::hex << p;
    }
  EXPECT_EQ(full.pixel(40, 40), qRgb(0, 0, 255));  // transparent half
  // Clipped to a part, the part matches the whole drawing.
  const TRect part{10, 12, 22, 30};
  const QImage clipped = draw(&part);
  for (int y = 18; y < 45; ++y)
    for (int x = 15; x < 33; ++x) ASSERT_EQ(clipped.pixel(x, y), full.pixel(x, y)) << x << "," << y;
}

}  // namespace
}  // namespace kiv
