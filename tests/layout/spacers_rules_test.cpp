// Paragraph and heading spacers and horizontal rules: heights from the base
// font size, rule attributes, where the etched rule is drawn and in which
// colours, narrowing by floats, printing cut-off, line breaks when copied.
#include <gtest/gtest.h>

#include "layout/heading_space.h"
#include "layout/horz_line.h"
#include "layout/indent_manager.h"
#include "layout/page.h"
#include "layout/paragraph_space.h"
#include "paint_test_support.h"
#include "reader/attributes.h"

namespace kiv {
namespace {

using testing::AddTo;
using testing::LayOut;
using testing::PaintDocument;
using testing::Rgb;

TAttributeList Attrs(std::initializer_list<std::pair<Symbol, std::string>> list) {
  TAttributeList attributes;
  for (const auto& [id, text] : list) attributes.AddReused(id, text, std::atoi(text.c_str()));
  return attributes;
}

TEST(SpacerHeightTest, HeightsFollowTheBaseFontSize) {
  TSectionList doc;
  auto* p = AddTo(doc, std::make_unique<TParagraphSpace>());
  auto* h1 = AddTo(doc, std::make_unique<THeadingSpace>(1));
  auto* h6 = AddTo(doc, std::make_unique<THeadingSpace>(6));
  auto* h9 = AddTo(doc, std::make_unique<THeadingSpace>(9));
  auto* rule = AddTo(doc, std::make_unique<THorzLine>(Attrs({})));
  auto* thick = AddTo(doc, std::make_unique<THorzLine>(Attrs({{SizeSy, "5"}})));
  EXPECT_EQ(p->Height, 14);
  EXPECT_EQ(h1->Height, 16);
  EXPECT_EQ(h6->Height, 4);
  EXPECT_EQ(h9->Height, 8);
  EXPECT_EQ(rule->Height, 20);
  EXPECT_EQ(thick->Height, 23);

  doc.SetDefaults("Times New Roman", "Courier New", 16, clBlack, clBlue, clWhite);
  EXPECT_EQ(p->Height, 19);
  EXPECT_EQ(h1->Height, MulDiv(16, 16, 12));
  EXPECT_EQ(rule->Height, MulDiv(20, 16, 12));
  EXPECT_EQ(thick->Height, MulDiv(20, 16, 12) + 3);
  EXPECT_EQ(LayOut(doc), 19 + 21 + 5 + 11 + 27 + 30);

  auto copy = TSectionList::CreateCopy(doc);
  EXPECT_EQ(dynamic_cast<THeadingSpace&>(*(*copy)[1]).HeadingLevel, 1);
  EXPECT_EQ(dynamic_cast<THorzLine&>(*(*copy)[5]).RuleSize, 5);
  EXPECT_EQ((*copy)[5]->Height, 30);
}

TEST(RuleAttributeTest, SizeAndWidthAreReadWithinTheirLimits) {
  EXPECT_EQ(THorzLine(Attrs({{SizeSy, "0"}})).RuleSize, 2);
  EXPECT_EQ(THorzLine(Attrs({{SizeSy, "21"}})).RuleSize, 2);
  EXPECT_EQ(THorzLine(Attrs({{SizeSy, "20"}})).RuleSize, 20);

  THorzLine half(Attrs({{WidthSy, "50%"}}));
  EXPECT_TRUE(half.Percent);
  EXPECT_EQ(half.RuleWidth, 50);
  THorzLine tooWide(Attrs({{WidthSy, "150%"}}));
  EXPECT_TRUE(tooWide.Percent);
  EXPECT_EQ(tooWide.RuleWidth, -1);
  THorzLine pixels(Attrs({{WidthSy, "120"}}));
  EXPECT_FALSE(pixels.Percent);
  EXPECT_EQ(pixels.RuleWidth, 120);
  EXPECT_EQ(THorzLine(Attrs({{WidthSy, "-40"}})).RuleWidth, -1);
  EXPECT_EQ(THorzLine(Attrs({{WidthSy, "2000000000"}})).RuleWidth, MaxRuleWidth);
}

// Paints one rule alone in a 600-pixel document (its top row is row 0) and
// returns the image, rows 0 to 29.
class RulePaintTest : public ::testing::Test {
 protected:
  QImage PaintRule(const TAttributeList& attributes, TColor background = clWhite,
                   int floatOffset = 0) {
    doc.SetBackgroundColor(background);
    AddTo(doc, std::make_unique<THorzLine>(attributes));
    LayOut(doc);
    if (floatOffset > 0)
      doc.Indents->LeftFloats.Add(std::make_unique<IndentRec>(floatOffset, 0, 100, 0));
    return PaintDocument(doc, 620, 30, 0, qRgb(1, 2, 3));
  }
  // First and last column of row y in the colour c.
  static std::pair<int, int> Span(const QImage& image, int y, QRgb c) {
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) == c) {
        if (first < 0) first = x;
        last = x;
      }
    return {first, last};
  }

  // Every pixel of row y from x1 to x2 is c.
  static bool Covers(const QImage& image, int y, int x1, int x2, QRgb c) {
    for (int x = x1; x <= x2; ++x)
      if (image.pixel(x, y) != c) return false;
    return true;
  }

  TSectionList doc;
  const QRgb dark = Rgb(clBtnShadow);
  const QRgb silver = qRgb(192, 192, 192);
};

TEST_F(RulePaintTest, FullWidthRuleLeavesTenPixelsAtEachEnd) {
  QImage image = PaintRule(Attrs({}));
  // Height 20, thickness 2: the top edge on row 9, the bottom edge on row 11.
  EXPECT_EQ(Span(image, 9, dark), std::make_pair(10, 589));
  // The bottom edge runs back from the right end; its corner pixels depend on
  // the canvas's end-point rule, its inside does not.
  EXPECT_TRUE(Covers(image, 11, 11, 589, silver));
  EXPECT_FALSE(Covers(image, 11, 9, 9, silver));
  EXPECT_FALSE(Covers(image, 11, 591, 591, silver));
  EXPECT_EQ(image.pixel(10, 10), dark);     // left end
  EXPECT_EQ(image.pixel(590, 10), silver);  // right end
  EXPECT_EQ(Span(image, 8, dark).first, -1);
  EXPECT_EQ(Span(image, 12, silver).first, -1);
}

TEST_F(RulePaintTest, PercentRuleIsCentred) {
  QImage image = PaintRule(Attrs({{WidthSy, "50%"}}));
  EXPECT_EQ(Span(image, 9, dark), std::make_pair(150, 449));
}

TEST_F(RulePaintTest, ThickRuleSpansItsSize) {
  QImage image = PaintRule(Attrs({{SizeSy, "6"}, {WidthSy, "100"}}));
  // Height 24: top edge at row 9, bottom edge at row 15.
  EXPECT_EQ(Span(image, 9, dark), std::make_pair(250, 349));
  EXPECT_TRUE(Covers(image, 15, 251, 349, silver));
  EXPECT_EQ(image.pixel(250, 14), dark);
}

TEST_F(RulePaintTest, FloatAtTheRuleNarrowsAndRecentresIt) {
  QImage image = PaintRule(Attrs({{WidthSy, "50%"}}), clWhite, 200);
  EXPECT_EQ(Span(image, 9, dark), std::make_pair(300, 499));
}

TEST_F(RulePaintTest, LightEdgeIsSilverOnWhiteAndHighlightOnGrey) {
  QImage white = PaintRule(Attrs({}), clWhite);
  EXPECT_EQ(white.pixel(300, 11), silver);
  doc.Clear();
  QImage grey = PaintRule(Attrs({}), clBtnFace);
  EXPECT_EQ(grey.pixel(300, 11), Rgb(clBtnHighlight));
  EXPECT_EQ(grey.pixel(300, 9), dark);
}

TEST(RulePrintingTest, RuleAtOrBelowThePageBottomIsNotDrawn) {
  for (bool withBreak : {false, true}) {
    TSectionList doc;
    doc.Printing = true;
    doc.SetBackgroundColor(clWhite);
    AddTo(doc, std::make_unique<TParagraphSpace>());
    if (withBreak) AddTo(doc, std::make_unique<TPage>());
    AddTo(doc, std::make_unique<THorzLine>(TAttributeList()));
    LayOut(doc);
    QImage image = PaintDocument(doc, 600, 60);
    const QRgb dark = Rgb(clBtnShadow);
    EXPECT_EQ(image.pixel(300, 14 + 9) == dark, !withBreak) << withBreak;
  }
}

}  // namespace
}  // namespace kiv
