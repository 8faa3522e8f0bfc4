// The toolbar glyphs: sharp at every device ratio, outlined so that they
// stand out on light and dark toolbars alike; and the toolbar's label and
// size box keep room for their text.
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QSpinBox>

#include <gtest/gtest.h>

#include "app/toolbar_glyphs.h"
#include "app_test_support.h"
#include "platform/color_contrast.h"
#include "platform/paths.h"

namespace kiv {
namespace {

using namespace kiv::testing;

constexpr TToolbarGlyph kAll[] = {TToolbarGlyph::Contents, TToolbarGlyph::Back,
                                  TToolbarGlyph::Forward,  TToolbarGlyph::Print,
                                  TToolbarGlyph::Copy,     TToolbarGlyph::OK};

TColor ToTColor(QRgb c) {
  return RGB(qRed(c), qGreen(c), qBlue(c));
}

// Share of the silhouette's pixels (mostly opaque ones touching a mostly
// transparent one) that keep the glyph contrast against background.
double VisibleSilhouette(const QImage& img, const QColor& background) {
  const TColor bg = RGB(background.red(), background.green(), background.blue());
  int edge = 0, visible = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      if (qAlpha(img.pixel(x, y)) < 128) continue;
      bool touches = false;
      for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        const int nx = x + dx, ny = y + dy;
        touches |= nx < 0 || ny < 0 || nx >= img.width() || ny >= img.height() ||
                   qAlpha(img.pixel(nx, ny)) < 128;
      }
      if (!touches) continue;
      ++edge;
      if (ContrastRatio(ToTColor(img.pixel(x, y)), bg) >= ToolbarGlyphContrast) ++visible;
    }
  return edge ? static_cast<double>(visible) / edge : 0.0;
}

TEST(ToolbarGlyphs, OutlinesStandOutOnLightAndDarkToolbars) {
  for (const QColor& bar :
       {QColor(240, 240, 240), QColor(212, 208, 200), QColor(49, 54, 59), QColor(30, 30, 30)}) {
    for (TToolbarGlyph glyph : kAll) {
      for (int pixels : {16, 24, 32}) {
        const QImage img = DrawToolbarGlyph(glyph, pixels, bar);
        // The tick is a smoothed stroke: most, not all, of its edge is solid.
        EXPECT_GE(VisibleSilhouette(img, bar), glyph == TToolbarGlyph::OK ? 0.5 : 0.9)
            << static_cast<int>(glyph) << " at " << pixels << " on " << bar.name().toStdString();
      }
    }
  }
}

TEST(ToolbarGlyphs, RectangularGlyphsAreSharpAtEveryRatio) {
  for (TToolbarGlyph glyph : {TToolbarGlyph::Contents, TToolbarGlyph::Print, TToolbarGlyph::Copy}) {
    for (int pixels : {16, 20, 24, 32, 48}) {
      const QImage img = DrawToolbarGlyph(glyph, pixels, QColor(240, 240, 240));
      int partial = 0;
      for (int y = 0; y < pixels; ++y)
        for (int x = 0; x < pixels; ++x) {
          const int a = qAlpha(img.pixel(x, y));
          partial += a != 0 && a != 255;
        }
      EXPECT_EQ(partial, 0) << static_cast<int>(glyph) << " at " << pixels;
    }
  }
}

TEST(ToolbarGlyphs, IconsGiveDevicePixelsForTheRatioAsked) {
  const QIcon icon = ToolbarGlyph(TToolbarGlyph::Back);
  for (double ratio : {1.0, 1.5, 2.0, 3.0}) {
    const QPixmap pm = icon.pixmap(QSize(ToolbarGlyphSize, ToolbarGlyphSize), ratio);
    EXPECT_EQ(pm.width(), static_cast<int>(ToolbarGlyphSize * ratio)) << ratio;
    EXPECT_DOUBLE_EQ(pm.devicePixelRatio(), ratio);
  }
  // Disabled, the glyph is still drawn (greyed by the style).
  EXPECT_FALSE(icon.pixmap(QSize(16, 16), 1.0, QIcon::Disabled).isNull());
}

class ToolbarFitTest : public ::testing::Test {
 protected:
  void SetUp() override { SetExecutableDirForTesting(dir.Path()); }
  void TearDown() override {
    SetExecutableDirForTesting("");
    TakeMessageBoxes();
  }
  PrivateRuntimeDir runtime;
  TempDir dir;
};

TEST_F(ToolbarFitTest, FontSizeLabelAndBoxHaveRoomForTheirText) {
  const std::string package =
      dir.Write("kivmap.hpm", MakePackage({{"contents.html", "<title>C</title>c"}}));
  auto shown = ShownHelpWindow(package);
  TKivHelpWindow& window = *shown;
  QLabel* label = nullptr;
  for (QLabel* l : window.findChildren<QLabel*>())
    if (l->text() == "Font Size") label = l;
  ASSERT_NE(label, nullptr);
  QSpinBox* box = window.FontSizeBox();
  EXPECT_GE(label->width(), label->sizeHint().width());
  EXPECT_GE(box->width(), box->minimumSizeHint().width());
  EXPECT_LE(label->geometry().right(), box->x());  // side by side, not over each other
  for (QWidget* w : label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (w == box || w == label || !w->isVisibleTo(&window) || w->x() < box->x()) continue;
    EXPECT_GT(w->x(), box->geometry().right()) << w->metaObject()->className();
  }
}

}  // namespace
}  // namespace kiv
