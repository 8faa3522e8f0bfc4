// The fit count of text: the most leading bytes whose extent stays within a
// width, on the screen canvas and on the fixed-metrics canvas, and the
// default search over text extents.
#include <gtest/gtest.h>

#include <string>

#include "platform/fixed_metrics_canvas.h"
#include "platform/font.h"
#include "platform/qt_canvas.h"

namespace kiv {
namespace {

// The fixed-metrics canvas answering through the base class's search.
class SearchingCanvas : public FixedMetricsCanvas {
 public:
  int TextFit(const char* text, int n, int maxExtent, int& extent) const override {
    return Canvas::TextFit(text, n, maxExtent, extent);
  }
};

// The largest m whose extent fits, by measuring every prefix.
int FitByPrefixes(const Canvas& canvas, const std::string& s, int maxExtent) {
  int m = 0;
  for (int i = 1; i <= static_cast<int>(s.size()); ++i)
    if (canvas.TextExtent(s.data(), i).cx <= maxExtent) m = i;
  return m;
}

void ExpectFitsAgree(Canvas& canvas) {
  const std::string text = "Wide and narrow: iiii WWWW, tabs\tand \xE9\xE8 accents.";
  Font font;
  for (int style : {0, int(fsBold), int(fsItalic)}) {
    font.SetStyle(static_cast<std::uint8_t>(style));
    canvas.SelectFont(font);
    const int full = canvas.TextExtent(text.data(), static_cast<int>(text.size())).cx;
    for (int max : {-5, 0, 1, 7, 8, 9, 50, 123, full - 1, full, full + 40}) {
      int extent = -1;
      const int m = canvas.TextFit(text.data(), static_cast<int>(text.size()), max, extent);
      EXPECT_EQ(m, FitByPrefixes(canvas, text, max)) << "style " << style << " width " << max;
      EXPECT_EQ(extent, canvas.TextExtent(text.data(), m).cx) << "width " << max;
    }
    int extent = -1;
    EXPECT_EQ(canvas.TextFit(text.data(), 0, 100, extent), 0);
    EXPECT_EQ(extent, 0);
    EXPECT_EQ(canvas.TextFit(nullptr, 5, 100, extent), 0);
  }
}

TEST(TextFit, ScreenFontsAgreeWithTheirExtents) {
  QtCanvas canvas;
  ExpectFitsAgree(canvas);
}

TEST(TextFit, FixedMetricsAgreeWithTheirExtents) {
  FixedMetricsCanvas canvas;
  ExpectFitsAgree(canvas);
  Font font;
  canvas.SelectFont(font);
  int extent = 0;
  EXPECT_EQ(canvas.TextFit("abcdef", 6, 23, extent), 2);  // advance 8 at 12 points
  EXPECT_EQ(extent, 16);
}

TEST(TextFit, TheDefaultSearchAgreesWithTheExtents) {
  SearchingCanvas canvas;
  ExpectFitsAgree(canvas);
}

}  // namespace
}  // namespace kiv
