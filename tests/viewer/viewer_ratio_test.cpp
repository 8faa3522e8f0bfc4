// The viewer painting at device pixel ratios: the off-screen surface follows
// the ratio of whatever it paints on, areas painted apart meet without seams,
// and a change of ratio repaints without laying the page out again.
#include <QImage>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/color_contrast.h"
#include "support/sharpness.h"
#include "viewer_test_support.h"

namespace kiv {
namespace {

const QRgb kUnpainted = qRgb(255, 0, 255);

// The panel painted part by part onto a surface of the given ratio; the
// picture's device pixels.
QImage PaintedAt(TPaintPanel& panel, double ratio, const std::vector<QRect>& parts) {
  QImage img(static_cast<int>(std::ceil(panel.width() * ratio)),
             static_cast<int>(std::ceil(panel.height() * ratio)), QImage::Format_RGB32);
  img.fill(kUnpainted);
  img.setDevicePixelRatio(ratio);
  for (const QRect& r : parts) panel.PaintRect(img, r);
  img.setDevicePixelRatio(1.0);
  return img;
}

// Largest difference of a colour channel between two pictures of one size.
int LargestDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return 256;
  int largest = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q))});
    }
  return largest;
}

// Glyphs cut by an area's edge may be smoothed a level differently; a seam
// (a row left unpainted or painted off by a pixel) differs by far more.
constexpr int kRasterSlack = 2;

std::vector<QRect> Strips(const QRect& whole, int height) {
  std::vector<QRect> out;
  for (int y = whole.top(); y <= whole.bottom(); y += height)
    out.emplace_back(whole.left(), y, whole.width(), std::min(height, whole.bottom() + 1 - y));
  return out;
}

class ViewerRatioTest : public ViewerTest {
 protected:
  void LoadSample() {
    LoadHtml(
        "<table border=3 cellspacing=2 bordercolor=red><tr><td>one<td bgcolor=yellow>two"
        "<tr><td colspan=2>three</table><hr size=3><pre>fixed text</pre>"
        "<h2>Painted at every ratio</h2>" +
        Paragraphs(12));
    PaintNow();
  }
  void LoadText() {
    LoadHtml("<h3>Text only</h3>" + Paragraphs(12));
    PaintNow();
  }
};

TEST_F(ViewerRatioTest, AreasPaintedApartMeetTheWholePaintWithoutSeams) {
  LoadSample();
  TPaintPanel& panel = *viewer->PaintPanel();
  for (double ratio : {1.0, 1.25, 1.5, 2.0, 3.0}) {
    const QImage whole = PaintedAt(panel, ratio, {panel.rect()});
    for (int y = 0; y < whole.height(); ++y)
      for (int x = 0; x < whole.width(); ++x)
        ASSERT_NE(whole.pixel(x, y), kUnpainted) << ratio << " at " << x << "," << y;
    // Odd strip heights put strip edges inside device pixels at 1.5.
    EXPECT_LE(LargestDifference(PaintedAt(panel, ratio, Strips(panel.rect(), 7)), whole),
              kRasterSlack)
        << ratio;
    const int half = panel.width() / 2 + 1;
    EXPECT_LE(LargestDifference(PaintedAt(panel, ratio,
                                          {QRect(0, 0, half, panel.height()),
                                           QRect(half, 0, panel.width() - half, panel.height())}),
                                whole),
              kRasterSlack)
        << ratio;
  }
}

TEST_F(ViewerRatioTest, ANewRatioRepaintsSharpWithoutRelayout) {
  LoadText();
  TPaintPanel& panel = *viewer->PaintPanel();
  const int height = viewer->DocHeight();
  const int third = viewer->Document().TopOfSection(3);
  const QImage before = PaintedAt(panel, 1, {panel.rect()});
  const QImage doubled = PaintedAt(panel, 2, {panel.rect()});
  const QImage after = PaintedAt(panel, 1, {panel.rect()});
  EXPECT_EQ(before, after);
  EXPECT_EQ(doubled.size(), before.size() * 2);
  EXPECT_EQ(viewer->DocHeight(), height);
  EXPECT_EQ(viewer->Document().TopOfSection(3), third);
  EXPECT_LT(testing::UniformInkBlocks(doubled, doubled.rect()), 0.5);
}

TEST_F(ViewerRatioTest, TheFocusFrameStandsOutOnADarkTheme) {
  LoadText();
  const QColor bar(49, 54, 59);
  QPalette dark = viewer->palette();
  dark.setColor(QPalette::Window, bar);
  dark.setColor(QPalette::WindowText, QColor(239, 240, 241));
  viewer->setPalette(dark);
  viewer->setFocus();
  PaintNow();
  ASSERT_TRUE(viewer->hasFocus());
  const QImage img = viewer->grab().toImage();
  const QRgb frame = img.pixel(0, img.height() / 2);
  EXPECT_GE(ContrastRatio(RGB(qRed(frame), qGreen(frame), qBlue(frame)),
                          RGB(bar.red(), bar.green(), bar.blue())),
            3.0);
  // The page keeps its own colours.
  TPaintPanel& panel = *viewer->PaintPanel();
  EXPECT_EQ(img.pixel(panel.x() + panel.width() - 5, panel.y() + panel.height() - 5),
            qRgb(255, 255, 255));
}

}  // namespace
}  // namespace kiv
