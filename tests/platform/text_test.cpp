// Fonts and text: what is measured is what is drawn; the fixed metrics; the
// Windows-1252 converter.
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "platform/cp1252.h"
#include "platform/fixed_metrics_canvas.h"
#include "platform/font.h"
#include "platform/qt_canvas.h"
#include "platform/screen_canvas.h"
#include "platform/small_callback.h"

namespace kiv {
namespace {

// Leftmost and rightmost columns holding a pixel that is not white.
std::pair<int, int> InkColumns(const QImage& img) {
  int left = img.width(), right = -1;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      if (img.pixel(x, y) != qRgb(255, 255, 255)) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
  }
  return {left, right};
}

QImage WhiteImage(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  return img;
}

TEST(FontFaceTest, CoreFontsResolveToMetricCompatibleFaces) {
  Font f;
  f.SetName("Times New Roman");
  EXPECT_EQ(f.Face().ResolvedFamily(), "Liberation Serif");
  f.SetName("Courier New");
  EXPECT_EQ(f.Face().ResolvedFamily(), "Liberation Mono");
  f.SetSize(12);
  EXPECT_EQ(f.PixelSize(), 16);
  // A monospaced face advances every printable byte alike.
  EXPECT_EQ(f.Face().Advance('i'), f.Face().Advance('W'));
}

TEST(FontFaceTest, MeasuredWidthIsTheDrawnAdvance) {
  // Drawing "X" after a run of text puts its left ink exactly at the run's
  // measured extent (plus the X's own side bearing, measured alone).
  for (const char* face : {"Times New Roman", "Courier New", "Arial"}) {
    for (int size : {8, 12, 17}) {
      Font font;
      font.SetName(face);
      font.SetSize(size);
      const std::string prefix = "The quick brown fox, jumps! 1234 ";
      QImage alone = WhiteImage(200, 60);
      QImage after = WhiteImage(800, 60);
      {
        QtCanvas c(&alone);
        c.SelectFont(font);
        c.SetBkMode(BkMode::Transparent);
        c.TextOut(10, 5, "X", 1);
      }
      int width = 0;
      {
        QtCanvas c(&after);
        c.SelectFont(font);
        c.SetBkMode(BkMode::Transparent);
        width = c.TextExtent(prefix.data(), static_cast<int>(prefix.size())).cx;
        c.TextOut(10 + width, 5, "X", 1);
        // Ink of the prefix alone must end before the X begins.
      }
      QImage xOnly = after.copy(10 + width, 0, 200, 60);
      int bearing = InkColumns(alone).first - 10;
      EXPECT_EQ(InkColumns(xOnly).first, bearing) << face << " " << size;
      // And the extent is the sum of per-byte advances.
      int sum = 0;
      for (char ch : prefix) sum += font.Face().Advance(static_cast<unsigned char>(ch));
      EXPECT_EQ(width, sum);
    }
  }
}

TEST(FontFaceTest, EachTextDrawsOnlyItsOwnGlyphsColourAndClip) {
  Font font;
  font.SetName("Arial");
  font.SetSize(12);
  const auto draw = [&](QtCanvas& c, int y, const char* text, TColor color) {
    c.SetTextColor(color);
    c.TextOut(10, y, text, static_cast<int>(std::strlen(text)));
  };
  QImage shared = WhiteImage(300, 90);
  QImage alone = WhiteImage(300, 90);
  {
    QtCanvas c(&shared);
    c.SelectFont(font);
    c.SetBkMode(BkMode::Transparent);
    draw(c, 0, "WWWWWWWWWWWWWWWWWWWW", clRed);
    // A shorter text after a longer one on the same canvas: its own glyphs
    // in its own colour, nothing left over from the text before.
    draw(c, 30, "ab", clBlue);
    // A clipped text keeps to its rectangle, and the clip ends with it.
    c.SetTextColor(clBlack);
    const TRect clip{10, 60, 20, 90};
    c.ExtTextOut(10, 60, ETO_CLIPPED, &clip, "MMMM", 4);
    c.FillRect({100, 60, 110, 70}, clGreen);
  }
  // The same two texts, each through a canvas of its own.
  for (const auto& [y, text, color] :
       {std::tuple{0, "WWWWWWWWWWWWWWWWWWWW", clRed}, std::tuple{30, "ab", clBlue}}) {
    QtCanvas c(&alone);
    c.SelectFont(font);
    c.SetBkMode(BkMode::Transparent);
    draw(c, y, text, color);
  }
  EXPECT_EQ(shared.copy(0, 0, 300, 60), alone.copy(0, 0, 300, 60));
  int clippedInk = 0;
  for (int y = 60; y < 90; ++y) {
    for (int x = 0; x < 100; ++x) {
      if (shared.pixel(x, y) == qRgb(255, 255, 255)) continue;
      EXPECT_TRUE(x >= 10 && x < 20) << "ink outside the clip at " << x << "," << y;
      ++clippedInk;
    }
  }
  EXPECT_GT(clippedInk, 0);
  EXPECT_EQ(shared.pixel(105, 65), qRgb(0, 128, 0));
}

TEST(FontFaceTest, MetricsAreConsistent) {
  Font f;
  f.SetSize(12);
  QtCanvas c;
  c.SelectFont(f);
  TextMetrics tm = c.GetTextMetrics();
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_GT(tm.tmAscent, tm.tmDescent);
  EXPECT_GE(tm.tmHeight, 14);
  EXPECT_LE(tm.tmHeight, 22);
  f.SetStyle(fsBold);
  c.SelectFont(f);
  EXPECT_GE(c.TextExtent("mmmm", 4).cx, QtCanvas().TextExtent("mmmm", 4).cx);
}

TEST(FontTest, ChangeNotificationRunsOnEveryPropertyChange) {
  Font f;
  int changes = 0;
  f.OnChange = [&] { ++changes; };
  f.SetSize(14);
  f.SetName("Arial");
  f.SetStyle(fsItalic);
  f.SetColor(clRed);
  f.SetSize(14);  // no change, no notification
  EXPECT_EQ(changes, 4);
  Font other;
  other.SetSize(30);
  f.Assign(other);
  EXPECT_EQ(changes, 5);
  EXPECT_EQ(f.Size(), 30);
  EXPECT_EQ(f.Face().PixelSize(), 40);
}

TEST(FontTest, NotificationKeepsItsTargetAndCopiesLeaveItBehind) {
  struct Counter {
    int calls = 0;
    void Hook(Font& f) {
      f.OnChange = [this] { ++calls; };
    }
  } counter;
  Font f;
  EXPECT_FALSE(f.OnChange);
  f.OnChange();  // none set: nothing happens
  counter.Hook(f);
  ASSERT_TRUE(f.OnChange);
  f.SetSize(20);
  const SmallCallback copy = f.OnChange;
  copy();
  EXPECT_EQ(counter.calls, 2);
  Font copied(f);
  EXPECT_FALSE(copied.OnChange);
  copied.SetSize(9);
  EXPECT_EQ(counter.calls, 2);
  f.OnChange = nullptr;
  f.SetSize(21);
  EXPECT_EQ(counter.calls, 2);
}

// Fonts share one copy of each face name.
TEST(FontTest, NamesAreSharedAndKeepTheirText) {
  Font a, b;
  EXPECT_EQ(a.Name(), "Times New Roman");
  EXPECT_EQ(&a.Name(), &b.Name());
  a.SetName("Arial");
  b.SetName(std::string("Ari") + "al");
  EXPECT_EQ(&a.Name(), &b.Name());
  EXPECT_EQ(b.Name(), "Arial");
  Font c(a);
  c.SetName("Courier New");
  EXPECT_EQ(a.Name(), "Arial");
  EXPECT_EQ(c.Name(), "Courier New");
  c = a;
  EXPECT_EQ(&c.Name(), &a.Name());
}

// Measuring a font without selecting it gives what selecting it would, and
// leaves the selected font alone.
TEST(FontTest, MetricsOfAFontMatchThoseOfTheSelectedFont) {
  QtCanvas screen;
  FixedMetricsCanvas fixed;
  for (Canvas* canvas : {static_cast<Canvas*>(&screen), static_cast<Canvas*>(&fixed)}) {
    Font selected;
    selected.SetSize(9);
    canvas->SelectFont(selected);
    for (int size : {8, 12, 20}) {
      for (std::uint8_t style : {std::uint8_t{0}, std::uint8_t{fsBold | fsItalic}}) {
        Font f;
        f.SetName("Arial");
        f.SetSize(size);
        f.SetStyle(style);
        const TextMetrics measured = canvas->MetricsOf(f);
        EXPECT_EQ(canvas->CurrentFont().Size(), 9);
        canvas->SelectFont(f);
        const TextMetrics tm = canvas->GetTextMetrics();
        canvas->SelectFont(selected);
        EXPECT_EQ(measured.tmHeight, tm.tmHeight) << size;
        EXPECT_EQ(measured.tmDescent, tm.tmDescent) << size;
        EXPECT_EQ(measured.tmExternalLeading, tm.tmExternalLeading) << size;
        EXPECT_EQ(measured.tmOverhang, tm.tmOverhang) << size;
      }
    }
  }
}

// The one-pass measuring of a text and its widest word agrees with measuring
// the whole and each word apart.
TEST(FontTest, WordsMeasuredInOnePassAsOneByOne) {
  QtCanvas screen;
  FixedMetricsCanvas fixed;
  Font f;
  f.SetName("Arial");
  f.SetSize(11);
  screen.SelectFont(f);
  fixed.SelectFont(f);
  const char sep = 4;
  for (const std::string& text :
       {std::string("Windows help"), std::string("  lead and trail  "), std::string("one"),
        std::string("   "), std::string("a\x04" "bcd\x04\x04" "e"), std::string("\x04"),
        std::string("iiii WWWW mm"), std::string("x\x01y \xE9t\xE9")}) {
    const int n = static_cast<int>(text.size());
    int widest = 0, expectedWidest = 0;
    const int width = screen.MeasureWords(text.data(), n, sep, widest);
    const int expected = screen.Canvas::MeasureWords(text.data(), n, sep, expectedWidest);
    EXPECT_EQ(width, expected) << text;
    EXPECT_EQ(widest, expectedWidest) << text;
    EXPECT_EQ(width, screen.TextExtent(text.data(), n).cx) << text;
    const bool hasWord = text.find_first_not_of(std::string(" ") + sep) != std::string::npos;
    EXPECT_EQ(widest >= 0, hasWord) << text;
  }
  int widest = 0;
  EXPECT_EQ(screen.MeasureWords("", 0, sep, widest), 0);
  EXPECT_EQ(widest, -1);
  fixed.MeasureWords("ab cdef g", 9, sep, widest);
  EXPECT_EQ(widest, 4 * FixedMetricsCanvas::MetricsFor(11).tmAveCharWidth);
}

TEST(FontTest, AbsurdSizesAreClamped) {
  Font f;
  f.SetSize(0);
  EXPECT_GE(f.PixelSize(), 1);
  f.SetSize(1000000);
  EXPECT_LE(f.PixelSize(), 2000);
  f.SetSize(-5);
  EXPECT_GE(f.PixelSize(), 1);
}

TEST(FixedMetricsCanvasTest, MetricsFollowThePointSize) {
  FixedMetricsCanvas c;
  Font f;
  f.SetSize(12);
  c.SelectFont(f);
  TextMetrics tm = c.GetTextMetrics();
  EXPECT_EQ(tm.tmAscent, 16);
  EXPECT_EQ(tm.tmDescent, 4);
  EXPECT_EQ(tm.tmHeight, 20);
  EXPECT_EQ(tm.tmAveCharWidth, 8);
  EXPECT_EQ(c.TextExtent("hello", 5).cx, 40);
  f.SetSize(9);  // 12 px: ascent 12, descent 3, advance 6
  c.SelectFont(f);
  EXPECT_EQ(c.GetTextMetrics().tmHeight, 15);
  EXPECT_EQ(c.TextExtent("ab", 2).cx, 12);
}

TEST(FixedMetricsCanvasTest, DrawsOneBlockPerVisibleByte) {
  QImage img = WhiteImage(100, 40);
  {
    FixedMetricsCanvas c(&img);
    Font f;
    f.SetSize(12);
    c.SelectFont(f);
    c.SetBkMode(BkMode::Transparent);
    c.SetTextColor(clBlack);
    c.TextOut(10, 0, "a b", 3);
  }
  // 'a' covers x 10..16, the space draws nothing, 'b' covers 26..32.
  EXPECT_EQ(img.pixel(10, 15), qRgb(0, 0, 0));
  EXPECT_EQ(img.pixel(16, 15), qRgb(0, 0, 0));
  EXPECT_EQ(img.pixel(17, 15), qRgb(255, 255, 255));
  EXPECT_EQ(img.pixel(20, 15), qRgb(255, 255, 255));
  EXPECT_EQ(img.pixel(26, 15), qRgb(0, 0, 0));
  // Nothing below the baseline (top 0 + ascent 16).
  EXPECT_EQ(img.pixel(12, 16), qRgb(255, 255, 255));
}

TEST(ScreenCanvasTest, CanBeSwappedForAScope) {
  Canvas* original = &ScreenCanvas();
  FixedMetricsCanvas fixed;
  {
    ScopedScreenCanvas swap(&fixed);
    EXPECT_EQ(&ScreenCanvas(), &fixed);
  }
  EXPECT_EQ(&ScreenCanvas(), original);
}

TEST(Cp1252Test, HighControlRangeRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
  EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
  EXPECT_EQ(Cp1252ToCodePoint(0x80), U'\u20AC');
  EXPECT_EQ(Cp1252ToCodePoint(0x99), U'\u2122');
  EXPECT_EQ(Cp1252ToCodePoint(0x9F), U'\u0178');
  EXPECT_EQ(Cp1252ToCodePoint(0x81), U'\u0081');
  EXPECT_EQ(Cp1252ToUtf8("\x93q\x94"), "\u201Cq\u201D");
}

TEST(Cp1252Test, UnmappableAndInvalidInputBecomeQuestionMarks) {
  bool lossless = true;
  EXPECT_EQ(Utf8ToCp1252("a\u4E2Db", &lossless), "a?b");
  EXPECT_FALSE(lossless);
  EXPECT_EQ(Utf8ToCp1252("x\xE2\x82", &lossless), "x??");  // truncated sequence
  EXPECT_EQ(Utf8ToCp1252("\xFF", &lossless), "?");
  EXPECT_EQ(Utf8ToCp1252("caf\xC3\xA9", &lossless), "caf\xE9");
  EXPECT_TRUE(lossless);
  EXPECT_EQ(Utf16ToCp1252(u"\U0001F600", &lossless), "?");  // one surrogate pair, one '?'
}

}  // namespace
}  // namespace kiv
