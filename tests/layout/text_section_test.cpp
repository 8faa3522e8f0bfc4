// Text sections laid out on the fixed-metrics canvas (12 points: advance 8,
// line height 20, descent 4), so every position can be worked out by hand.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "layout/indent_manager.h"
#include "layout/layout_limits.h"
#include "layout/section_list.h"
#include "layout/text_section.h"
#include "platform/bitmap.h"
#include "platform/fixed_metrics_canvas.h"
#include "platform/screen_canvas.h"
#include "reader/attributes.h"

namespace kiv {
namespace {

using Breaks = std::vector<std::pair<int, int>>;  // (start, count) of each line

Breaks LinesOf(const TSection& s) {
  Breaks out;
  for (const LineRec& line : s.Lines) out.emplace_back(line.Start, line.Count);
  return out;
}

std::vector<int> IndentsOf(const TSection& s) {
  std::vector<int> out;
  for (const LineRec& line : s.Lines) out.push_back(line.LineIndent);
  return out;
}

class TextSectionTest : public ::testing::Test {
 protected:
  TextSectionTest() {
    // Pictures named "WxH" come at that size.
    doc.ImageRequest = [](THTMLViewer*, const std::string& name, std::unique_ptr<Bitmap>& bitmap,
                          TColor&) {
      int w = 0, h = 0;
      if (std::sscanf(name.c_str(), "%dx%d", &w, &h) == 2) bitmap = Bitmap::CreateRgb(w, h);
    };
  }

  template <class T = TSection>
  T* Add(const std::string& text, int justify = TSection::JustifyLeft, int listLevel = 0) {
    auto s = std::make_unique<T>(listLevel, justify, nullptr, font);
    s->AddText(text);
    return static_cast<T*>(doc.Add(std::move(s)));
  }
  static TImageObj* Image(TSection& s, const std::string& src, const std::string& align = "") {
    TAttributeList attrs;
    attrs.Emplace(SrcSy, src, 0);
    if (!align.empty()) attrs.Emplace(AlignSy, align, 0);
    return s.AddImage(attrs);
  }
  // Builds a section piece by piece: text, and images written as [src] or [src:align].
  TSection* Build(const std::vector<std::string>& pieces, int justify = TSection::JustifyLeft) {
    auto s = std::make_unique<TSection>(0, justify, nullptr, font);
    for (const std::string& piece : pieces) {
      if (piece.size() > 2 && piece.front() == '[' && piece.back() == ']') {
        std::string inner = piece.substr(1, piece.size() - 2);
        std::size_t colon = inner.find(':');
        Image(*s, inner.substr(0, colon),
              colon == std::string::npos ? "" : inner.substr(colon + 1));
      } else {
        s->AddText(piece);
      }
    }
    return static_cast<TSection*>(doc.Add(std::move(s)));
  }
  int Layout(int width) {
    int charIndex = 0;
    maxWidth = 0;
    return doc.Layout(canvas, 0, width, maxWidth, charIndex);
  }

  FixedMetricsCanvas canvas;
  ScopedScreenCanvas screen{&canvas};
  TSectionList doc;
  TMyFont font;
  int maxWidth = 0;
};

TEST_F(TextSectionTest, SpacesAtABreakStayOnTheLineTheyFollow) {
  TSection* a = Add("aaaa bbbb cccc");
  TSection* b = Add("aaaaaaaaaaa   bbb");
  EXPECT_EQ(Layout(100), 80);
  EXPECT_EQ(LinesOf(*a), (Breaks{{0, 10}, {10, 4}}));
  EXPECT_EQ(LinesOf(*b), (Breaks{{0, 14}, {14, 3}}));
  EXPECT_EQ(a->Height, 40);
  EXPECT_EQ(b->Top, 40);
  EXPECT_EQ(b->StartIndex, 14);
  EXPECT_EQ(a->Lines[0].LineHt, 20);
  EXPECT_EQ(a->Lines[0].Descent, 4);
  EXPECT_EQ(maxWidth, 100);
}

TEST_F(TextSectionTest, AWordWiderThanTheLineOverflowsWithTheSpacesAfterIt) {
  TSection* left = Add(std::string(20, 'x') + "  yy zz");
  TSection* right = Add(std::string(15, 'x'), TSection::JustifyRight);
  TSection* center = Add(std::string(15, 'x'), TSection::JustifyCenter);
  Layout(100);
  EXPECT_EQ(LinesOf(*left), (Breaks{{0, 22}, {22, 5}}));
  EXPECT_EQ(IndentsOf(*right), std::vector<int>{-20});  // starts left of the boundary
  EXPECT_EQ(IndentsOf(*center), std::vector<int>{0});   // a centred one never does
}

TEST_F(TextSectionTest, ALineEndsBeforeAnObjectThatDoesNotFit) {
  TSection* s = Build({std::string(12, 'a'), "[10x10]", "b"});
  Layout(100);
  EXPECT_EQ(LinesOf(*s), (Breaks{{0, 12}, {12, 2}}));
  EXPECT_EQ(s->Lines[1].SpaceBefore, 0);  // 10 + 4 - 20 is no extra room
}

TEST_F(TextSectionTest, LinesAlignBetweenTheBoundariesWithoutTrailingSpaces) {
  TSection* c = Add("abc ", TSection::JustifyCenter);
  TSection* r = Add("abc ", TSection::JustifyRight);
  TSection* other = Add("abc", 7);
  Layout(100);
  EXPECT_EQ(IndentsOf(*c), std::vector<int>{38});
  EXPECT_EQ(IndentsOf(*r), std::vector<int>{76});
  EXPECT_EQ(IndentsOf(*other), std::vector<int>{76});  // unknown codes align right
}

TEST_F(TextSectionTest, ImagesMakeRoomByTheirAlignment) {
  TSection* bottom = Build({"ab", "[5x30]"});
  TSection* middleEven = Build({"ab", "[5x30:middle]"});
  TSection* middleOdd = Build({"ab", "[5x31:middle]"});
  TSection* top = Build({"ab", "[5x30:top]"});
  TSection* onlyImage = Build({"[5x30]"});
  Layout(300);
  EXPECT_EQ(bottom->Lines[0].SpaceBefore, 14);  // stands on the baseline: 30 + 4 - 20
  EXPECT_EQ(bottom->Lines[0].SpaceAfter, 0);
  EXPECT_EQ(bottom->Height, 34);
  EXPECT_EQ(middleEven->Lines[0].SpaceBefore, 5);
  EXPECT_EQ(middleEven->Lines[0].SpaceAfter, 5);
  EXPECT_EQ(middleOdd->Lines[0].SpaceBefore, 6);  // the larger half above
  EXPECT_EQ(middleOdd->Lines[0].SpaceAfter, 5);
  EXPECT_EQ(top->Lines[0].SpaceAfter, 10);
  EXPECT_EQ(top->Lines[0].DrawHeight, 30);
  EXPECT_EQ(onlyImage->Lines[0].LineHt, 0);
  EXPECT_EQ(onlyImage->Height, 30);
  EXPECT_EQ(top->Top, 34 + 30 + 31);
}

TEST_F(TextSectionTest, AFloatFirstOnALineNarrowsItAtOnce) {
  TSection* s = Build({"[100x50:left]", "aaaa bbbb cccc dddd"});
  TSection* next = Add("eeee");
  TSection* third = Add("ffff");
  TSection* below = Add("gggg");
  Layout(300);
  EXPECT_EQ(LinesOf(*s), (Breaks{{0, 20}}));
  EXPECT_EQ(IndentsOf(*s), std::vector<int>{105});
  EXPECT_EQ(s->Images.First()->FloatX, 0);
  EXPECT_EQ(s->Lines[0].DrawHeight, 50);
  EXPECT_EQ(s->Height, 20);
  EXPECT_EQ(s->DrawHeight, 50);
  EXPECT_EQ(IndentsOf(*next), std::vector<int>{105});
  EXPECT_EQ(IndentsOf(*third), std::vector<int>{105});
  EXPECT_EQ(IndentsOf(*below), std::vector<int>{0});

  // Right float first: the line ends at its left side.
  doc.ClearAndFree();
  TSection* r = Build({"[100x50:right]", "aaaa bbbb cccc dddd"}, TSection::JustifyRight);
  Layout(300);
  EXPECT_EQ(r->Images.First()->FloatX, 200);
  EXPECT_EQ(IndentsOf(*r), std::vector<int>{195 - 19 * 8});
}

TEST_F(TextSectionTest, AFloatMetAfterTextNarrowsTheFollowingLines) {
  TSection* s = Build({"aaaa ", "[100x50:left]", "bbbb cccc dddd eeee ffff"});
  Layout(120);
  EXPECT_EQ(LinesOf(*s), (Breaks{{0, 16}, {16, 5}, {21, 5}, {26, 4}}));
  EXPECT_EQ(IndentsOf(*s), (std::vector<int>{0, 105, 105, 105}));
  EXPECT_EQ(s->Lines[0].DrawHeight, 70);  // its band plus the float below it
  EXPECT_EQ(s->Height, 80);
  EXPECT_EQ(s->DrawHeight, 80);
  EXPECT_EQ(doc.Indents->FloatsBottom(), 70);
}

TEST_F(TextSectionTest, AFloatTallerThanTheTextHangsBelowTheDocument) {
  TSection* s = Build({"[10x10000:right]", "a"});
  EXPECT_EQ(Layout(300), 10000);
  EXPECT_EQ(s->Height, 20);
  EXPECT_EQ(s->DrawHeight, 10000);
  EXPECT_EQ(s->Lines[0].DrawHeight, 10000);
}

TEST_F(TextSectionTest, FloatsThatDoNotFitBesideEachOtherAreRegisteredOnce) {
  TSection* s = Build({"[100x20:left]", "[100x20:left]", "abc"});
  Layout(150);
  EXPECT_EQ(doc.Indents->LeftFloats.Count(), 2);
  EXPECT_EQ(s->Images[0]->FloatX, 0);
  EXPECT_EQ(s->Images[1]->FloatX, 105);
  EXPECT_EQ(LinesOf(*s).front(), std::make_pair(0, 1));
}

TEST_F(TextSectionTest, ClearMovesTheFirstLineBelowTheFloatsOnThatSide) {
  Build({"[100x50:left]", "aaaa"});
  auto clearSection = [this](const std::string& value) {
    auto s = std::make_unique<TSection>(0, TSection::JustifyLeft, nullptr, font);
    TAttributeList attrs;
    attrs.Emplace(ClearSy, value, 0);
    s->SetClear(attrs);
    s->AddText("bbbb");
    return static_cast<TSection*>(doc.Add(std::move(s)));
  };
  TSection* right = clearSection("Right");
  TSection* left = clearSection("LEFT");
  Layout(300);
  EXPECT_EQ(right->ClearAttr, 2);
  EXPECT_EQ(right->Lines[0].SpaceBefore, 0);
  EXPECT_EQ(IndentsOf(*right), std::vector<int>{105});
  EXPECT_EQ(left->ClearAttr, 1);
  EXPECT_EQ(left->Lines[0].SpaceBefore, 10);  // from Y 40 to the float's bottom at 50
  EXPECT_EQ(left->Height, 30);
  EXPECT_EQ(IndentsOf(*left), std::vector<int>{0});

  doc.ClearAndFree();
  Build({"[100x50:left]", "aaaa"});
  TSection* both = clearSection("all");
  Layout(300);
  EXPECT_EQ(both->ClearAttr, 3);
  EXPECT_EQ(both->Lines[0].SpaceBefore, 30);

  // Without "CLEAR" the attribute stays as it was.
  TAttributeList none;
  both->SetClear(none);
  EXPECT_EQ(both->ClearAttr, 3);
}

TEST_F(TextSectionTest, AnEmptySectionIsItsClearSpaceAlone) {
  Build({"[100x50:left]", "aaaa"});
  auto s = std::make_unique<TSection>(0, TSection::JustifyLeft, nullptr, font);
  TAttributeList attrs;
  attrs.Emplace(ClearSy, "left", 0);
  s->SetClear(attrs);
  TSection* empty = static_cast<TSection*>(doc.Add(std::move(s)));
  TSection* after = Add("c");
  Layout(300);
  EXPECT_EQ(empty->Height, 30);  // from Y 20 to the float's bottom at 50
  EXPECT_TRUE(empty->Lines.empty());
  EXPECT_EQ(after->Top, 50);
}

TEST_F(TextSectionTest, ListLevelsIndentTheLinesAndFloatsInsideKeepTheItemOpen) {
  TSection* item = Add("aaaa", TSection::JustifyLeft, 2);
  TSection* outside = Add("bbbb");
  auto floatItem = std::make_unique<TSection>(1, TSection::JustifyLeft, nullptr, font);
  Image(*floatItem, "20x100", "left");
  floatItem->AddText("c");
  TSection* f = static_cast<TSection*>(doc.Add(std::move(floatItem)));
  Layout(300);
  EXPECT_EQ(item->MarkerX, 70);
  EXPECT_EQ(IndentsOf(*item), std::vector<int>{70});
  EXPECT_EQ(item->Indent, 70);
  EXPECT_EQ(IndentsOf(*outside), std::vector<int>{0});
  EXPECT_EQ(f->Images.First()->FloatX, 35);
  EXPECT_EQ(IndentsOf(*f), std::vector<int>{35 + 25});
  EXPECT_EQ(f->Height, 101);

  int minW = 0, maxW = 0;
  item->MeasureWidths(canvas, minW, maxW);
  EXPECT_EQ(minW, 32 + 70);
  EXPECT_EQ(maxW, 32 + 70);
}

TEST_F(TextSectionTest, FontsChangedRescalesEveryRunAndKeepsStyles) {
  font.SetStyle(fsBold);
  TSection* s = Add("aaaa bbbb cccc");
  Layout(100);
  ASSERT_EQ(s->Lines.size(), 2u);
  doc.SetDefaults("Arial", "Courier New", 24, clBlack, clBlue, clWhite);
  EXPECT_EQ(s->Fonts.First()->Font->Size(), 24);
  EXPECT_TRUE(s->Fonts.First()->Font->Bold());
  EXPECT_EQ(s->Fonts.First()->LineHeight, 40);
  Layout(100);
  EXPECT_EQ(LinesOf(*s), (Breaks{{0, 5}, {5, 5}, {10, 4}}));
  EXPECT_EQ(s->Lines[0].LineHt, 40);
  EXPECT_EQ(s->Lines[0].Descent, 8);
  EXPECT_EQ(s->Height, 120);
}

TEST_F(TextSectionTest, TheTallestRunSetsTheLineAndItsDescent) {
  auto s = std::make_unique<TSection>(0, TSection::JustifyLeft, nullptr, font);
  s->AddText("ab ");
  TMyFont big = font;
  big.SetScaled(doc, 24);
  s->ChangeFont(doc, big);
  s->AddText("CD ");
  s->ChangeFont(doc, font);
  s->AddText("ef");
  TSection* added = static_cast<TSection*>(doc.Add(std::move(s)));
  Layout(600);
  ASSERT_EQ(added->Lines.size(), 1u);
  EXPECT_EQ(added->Lines[0].LineHt, 40);
  EXPECT_EQ(added->Lines[0].Descent, 8);
  // Widths by run: 3 * 8 + 3 * 16 + 2 * 8.
  EXPECT_EQ(added->TextWidth(canvas, 0, added->Length, false), 88);
  EXPECT_EQ(added->TextWidth(canvas, 0, 6, true), 56);

  // Fitting crosses runs: at 60 pixels "ab " and "CD" (56) fit, the break is after "ab ".
  Layout(60);
  EXPECT_EQ(LinesOf(*added), (Breaks{{0, 3}, {3, 3}, {6, 2}}));
  EXPECT_EQ(added->Lines[0].LineHt, 20);
}

TEST_F(TextSectionTest, WidthMeasurement) {
  TSection* s = Build({"aa bbbb ", "[10x10:left]", "c"});
  int minW = 0, maxW = 0;
  s->MeasureWidths(canvas, minW, maxW);
  EXPECT_EQ(minW, 32 + 15);
  EXPECT_EQ(maxW, 15 + 9 * 8);

  TPreFormated* pre = Add<TPreFormated>(std::string(100, 'p'));
  pre->MeasureWidths(canvas, minW, maxW);
  EXPECT_EQ(maxW, 800);
  EXPECT_EQ(minW, 500);
}

TEST_F(TextSectionTest, PreformattedLinesNeverWrap) {
  std::string longLine;
  for (int i = 0; i < 1000; ++i) longLine += "word ";  // 40000 pixels
  TPreFormated* pre = Add<TPreFormated>("  " + longLine);
  TPreFormated* empty = Add<TPreFormated>("");
  Layout(100);
  EXPECT_EQ(pre->Length, 5002);  // leading spaces kept
  EXPECT_EQ(LinesOf(*pre), (Breaks{{0, 5002}}));
  EXPECT_EQ(maxWidth, 5002 * 8);
  EXPECT_EQ(doc.Indents->Width, 100);
  EXPECT_EQ(empty->Buffer, " ");
  EXPECT_EQ(empty->Height, 20);
}

TEST_F(TextSectionTest, AddingTextFoldsOnlyASpaceAfterASpaceOrFloats) {
  auto s = std::make_unique<TSection>(0, TSection::JustifyLeft, nullptr, font);
  s->AddText(" lead ");
  s->AddText(" x");
  s->AddText("");
  EXPECT_EQ(s->Buffer, "lead x");
  EXPECT_EQ(s->Length, 6);

  auto floats = std::make_unique<TSection>(0, TSection::JustifyLeft, nullptr, font);
  Image(*floats, "1x1", "left");
  Image(*floats, "1x1", "right");
  floats->AddText(" y");
  EXPECT_EQ(floats->Buffer, std::string("\4\4y"));

  auto inlineImage = std::make_unique<TSection>(0, TSection::JustifyLeft, nullptr, font);
  Image(*inlineImage, "1x1");
  inlineImage->AddText(" y");
  EXPECT_EQ(inlineImage->Buffer, std::string("\4 y"));

  auto ensured = std::make_unique<TSection>(0, TSection::JustifyCenter, nullptr, font);
  EXPECT_EQ(ensured->EnsureText(), TSection::JustifyCenter);
  EXPECT_EQ(ensured->Buffer, " ");
  ensured->EnsureText();
  EXPECT_EQ(ensured->Length, 1);
}

TEST_F(TextSectionTest, ASectionStopsTakingTextPastItsCapacity) {
  auto s = std::make_unique<TSection>(0, TSection::JustifyLeft, nullptr, font);
  const std::string piece(99, 'w');
  for (int i = 0; i < 300; ++i) s->AddText(piece + " ");
  EXPECT_EQ(s->Length, (MaxSectionText / 100 + 1) * 100);
  EXPECT_GE(s->Capacity, s->Length + 1);
  EXPECT_EQ(Image(*s, "1x1"), nullptr);
  EXPECT_EQ(s->Images.Count(), 0);

  TSection* added = static_cast<TSection*>(doc.Add(std::move(s)));
  Layout(600);
  EXPECT_EQ(added->Lines.size(), 201u);  // one 100-character word per line
  EXPECT_EQ(added->Height, 201 * 20);
}

TEST_F(TextSectionTest, NarrowAndNegativeWidthsPutOneWordOnEachLine) {
  TSection* s = Add("aa bb cc");
  TSection* word = Add(std::string(MaxSectionText, 'z'));
  for (int width : {0, -50, 1}) {
    Layout(width);
    EXPECT_EQ(LinesOf(*s), (Breaks{{0, 3}, {3, 3}, {6, 2}})) << width;
    EXPECT_EQ(LinesOf(*word), (Breaks{{0, MaxSectionText}})) << width;
  }

  // A level nested beyond the page still lays out, one word per line.
  doc.ClearAndFree();
  TSection* deep = Add("aa bb", TSection::JustifyLeft, 1000);
  Layout(600);
  EXPECT_EQ(LinesOf(*deep), (Breaks{{0, 3}, {3, 2}}));
  EXPECT_EQ(IndentsOf(*deep), (std::vector<int>{35000, 35000}));
}

TEST_F(TextSectionTest, CloneKeepsTextRunsAndImagesAndLaysOutAlike) {
  TSection* s = Build({"aaaa ", "[100x50:left]", "bbbb cccc dddd eeee ffff"});
  TAttributeList attrs;
  attrs.Emplace(ClearSy, "left", 0);
  s->SetClear(attrs);
  s->ListNumber = 4;
  s->ChangeFont(doc, font);
  Layout(120);
  auto copy = TSectionList::CreateCopy(doc);
  auto* c = static_cast<TSection*>(copy->First());
  EXPECT_EQ(c->Buffer, s->Buffer);
  EXPECT_EQ(c->Fonts.Count(), s->Fonts.Count());
  EXPECT_EQ(c->Images.Count(), 1);
  EXPECT_EQ(c->ListNumber, 4);
  EXPECT_EQ(c->ClearAttr, 1);
  EXPECT_TRUE(c->Lines.empty());
  int charIndex = 0, w = 0;
  copy->Layout(canvas, 0, 120, w, charIndex);
  EXPECT_EQ(LinesOf(*c), LinesOf(*s));
  EXPECT_EQ(c->Height, s->Height);
  EXPECT_EQ(charIndex, s->Length);
}

}  // namespace
}  // namespace kiv
