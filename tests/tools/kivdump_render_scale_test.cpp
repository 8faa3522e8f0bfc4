// kivdump render --scale: the page painted at a device pixel ratio is sharp
// (not a doubled 1x picture), its ink lies where the 1x ink lies scaled, the
// layout dump is the same at every ratio, and ratios out of range are refused.
#include <QImage>

#include <cmath>
#include <functional>

#include <gtest/gtest.h>

#include "run_tool.h"
#include "support/sharpness.h"
#include "support/test_files.h"

namespace kiv {
namespace {

using namespace kiv::testing;

constexpr int kWidth = 320;
constexpr int kHeight = 90;

// The page area of a render: inside the frame, left of the scroll bar room.
QRect PageArea(double ratio) {
  return QRect(static_cast<int>(std::ceil(2 * ratio)), static_cast<int>(std::ceil(2 * ratio)),
               static_cast<int>((kWidth - 20) * ratio), static_cast<int>((kHeight - 4) * ratio));
}

QRect InkBox(const QImage& img, const QRect& area) {
  QRect box;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (Ink(img.pixel(x, y))) box |= QRect(x, y, 1, 1);
  return box;
}

class KivdumpRenderScale : public ::testing::Test {
 protected:
  QImage Render(const std::string& scale) {
    const std::string out = dir.File("page-" + scale + ".png");
    ToolResult r =
        RunTool("kivdump", {"render", page, "--out", out, "--width", std::to_string(kWidth),
                            "--height", std::to_string(kHeight), "--scale", scale});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return QImage(QString::fromStdString(out));
  }

  TempDir dir;
  const std::string page = dir.Write(
      "line.html", "<body bgcolor=white><p>Crisp help text, <b>bold</b> and <i>italic</i>.</p>");
};

TEST_F(KivdumpRenderScale, TextIsSharpAndWhereThe1xTextIs) {
  const QImage one = Render("1");
  ASSERT_EQ(one.size(), QSize(kWidth, kHeight));
  const QRect box1 = InkBox(one, PageArea(1));
  ASSERT_FALSE(box1.isEmpty());
  for (const auto& [scale, ratio] : {std::pair{"1.5", 1.5}, std::pair{"2", 2.0}}) {
    const QImage img = Render(scale);
    ASSERT_EQ(img.size(), QSize(static_cast<int>(std::ceil(kWidth * ratio)),
                                static_cast<int>(std::ceil(kHeight * ratio))))
        << scale;
    const QRect box = InkBox(img, PageArea(ratio));
    // At 2x the ink is the 1x ink scaled, within one device pixel. At 1.5x
    // the 24-pixel glyphs are hinted to another grid than the 16-pixel ones,
    // which moves an edge by up to a logical pixel more.
    const double slack = ratio == 2.0 ? 1.0 : 1.0 + ratio;
    EXPECT_NEAR(box.left(), box1.left() * ratio, slack) << scale;
    EXPECT_NEAR(box.right() + 1, (box1.right() + 1) * ratio, slack) << scale;
    EXPECT_NEAR(box.top(), box1.top() * ratio, slack) << scale;
    EXPECT_NEAR(box.bottom() + 1, (box1.bottom() + 1) * ratio, slack) << scale;
    if (ratio == 2.0) {
      EXPECT_LT(UniformInkBlocks(img, PageArea(ratio)), 0.5);
    }
  }
}

TEST_F(KivdumpRenderScale, LayoutIsTheSameAtEveryRatio) {
  const std::string html = dir.Write(
      "page.html",
      "<h1>Title</h1><p>Words <a href=x.html>link</a></p><table border=1><tr><td>a<td>b</table>");
  std::string first;
  for (const char* factor : {"1", "1.5", "2", "3"}) {
    qputenv("QT_SCALE_FACTOR", factor);
    ToolResult r = RunTool("kivdump", {"sections", html});
    qunsetenv("QT_SCALE_FACTOR");
    ASSERT_EQ(r.exitCode, 0) << factor << r.err;
    if (first.empty()) first = r.out;
    EXPECT_EQ(r.out, first) << factor;
  }
  EXPECT_NE(first.find("\"class\""), std::string::npos);
}

TEST_F(KivdumpRenderScale, RatiosOutOfRangeAreRefusedClearly) {
  for (const char* bad : {"0", "-1", "0.1", "7", "nan", "2x"}) {
    const std::string out = dir.File(std::string("bad") + bad + ".png");
    ToolResult r = RunTool("kivdump", {"render", page, "--out", out, "--scale", bad});
    EXPECT_EQ(r.exitCode, 2) << bad;
    EXPECT_NE(r.err.find("--scale"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("1 to 4"), std::string::npos) << r.err;
    EXPECT_FALSE(QImage(QString::fromStdString(out)).width() > 0) << bad;
  }
  for (const char* bad : {"0", "nan", "7"}) {
    qputenv("QT_SCALE_FACTOR", bad);
    ToolResult r = RunTool("kivdump", {"render", page, "--out", dir.File("env.png")});
    qunsetenv("QT_SCALE_FACTOR");
    EXPECT_EQ(r.exitCode, 2) << bad;
    EXPECT_NE(r.err.find("QT_SCALE_FACTOR"), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace kiv
