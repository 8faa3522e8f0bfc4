// Font runs: sizes in twelfths of the base size, metrics cached per run and
// refreshed on change, re-applying the document's defaults, position
// look-ups and run creation at the end of the text.
#include <gtest/gtest.h>

#include "layout/fonts.h"
#include "layout/section_list.h"
#include "platform/fixed_metrics_canvas.h"
#include "platform/screen_canvas.h"

namespace kiv {
namespace {

class FontsTest : public ::testing::Test {
 protected:
  FontsTest() : swap_(&fixed_) {
    doc.SetDefaults("Times New Roman", "Courier New", 12, clBlack, clBlue, clWhite);
  }

  TMyFont FontOf(int twelfths, std::uint8_t style = 0) {
    TMyFont f;
    f.SetStyle(style);
    f.SetScaled(doc, twelfths);
    return f;
  }

  FixedMetricsCanvas fixed_;
  ScopedScreenCanvas swap_;
  TSectionList doc;
};

TEST_F(FontsTest, HtmlSizesScaleWithTheBaseSize) {
  const int twelfths[] = {8, 10, 12, 14, 18, 24, 36};
  const int at12[] = {8, 10, 12, 14, 18, 24, 36};
  const int at16[] = {11, 13, 16, 19, 24, 32, 48};
  for (int i = 0; i < 7; ++i) {
    doc.BaseFontSize = 12;
    EXPECT_EQ(FontOf(twelfths[i]).Size(), at12[i]);
    doc.BaseFontSize = 16;
    EXPECT_EQ(FontOf(twelfths[i]).Size(), at16[i]);
  }
}

TEST_F(FontsTest, RunMeasuresItsFontOnTheScreenAndFollowsChanges) {
  TFontObj run(std::make_unique<TMyFont>(FontOf(12)), 0);
  EXPECT_EQ(run.TextHeight, 20);
  EXPECT_EQ(run.LineHeight, 20);
  EXPECT_EQ(run.Descent, 4);
  EXPECT_EQ(run.Overhang, 0);
  run.Font->SetSize(24);
  EXPECT_EQ(run.TextHeight, 40);
  EXPECT_EQ(run.Descent, 8);
  // Measuring leaves the screen canvas's font alone.
  EXPECT_EQ(ScreenCanvas().CurrentFont().Size(), Font().Size());

  // A clone has its own font: changing it does not reach the source.
  run.Link.Url = "a.htm";
  TFontObj clone(run);
  clone.Font->SetSize(12);
  EXPECT_EQ(clone.TextHeight, 20);
  EXPECT_EQ(run.TextHeight, 40);
  EXPECT_EQ(clone.Link.Url, "a.htm");
  EXPECT_EQ(clone.Font->SizeTwelfths, 12);
}

TEST_F(FontsTest, SuperscriptRunTakesThreeQuartersOfTheSize) {
  TFontList runs;
  runs.StartRuns(FontOf(12), 0, nullptr);
  runs.ChangeFont(doc, FontOf(12), 5, 0, ShiftSuperscript);
  ASSERT_EQ(runs.Count(), 2);
  EXPECT_EQ(runs[1]->Font->SizeTwelfths, 9);
  EXPECT_EQ(runs[1]->Font->Size(), 9);
  EXPECT_EQ(runs[1]->Shift, ShiftSuperscript);
  EXPECT_EQ(runs[1]->TextHeight, FixedMetricsCanvas::MetricsFor(9).tmHeight);
  runs.ChangeFont(doc, FontOf(12), 8, 0, ShiftNone);
  EXPECT_EQ(runs[2]->Font->SizeTwelfths, 12);
}

TEST_F(FontsTest, FontChangeWithNoTextBetweenReusesTheRun) {
  TFontList runs;
  runs.StartRuns(FontOf(12), fsItalic, nullptr);
  EXPECT_TRUE(runs[0]->Font->Italic());
  runs.ChangeFont(doc, FontOf(24, fsBold), 0, 0, ShiftNone);
  ASSERT_EQ(runs.Count(), 1);
  EXPECT_TRUE(runs[0]->Font->Bold());
  EXPECT_FALSE(runs[0]->Font->Italic());  // the run took the new font
  EXPECT_EQ(runs[0]->TextHeight, 40);
  runs.ChangeFont(doc, FontOf(12), 4, fsUnderline, ShiftNone);
  runs.ChangeFont(doc, FontOf(10), 4, 0, ShiftNone);
  ASSERT_EQ(runs.Count(), 2);
  EXPECT_EQ(runs[1]->Font->SizeTwelfths, 10);
  EXPECT_FALSE(runs[1]->Font->Underline());
}

TEST_F(FontsTest, LinksStartEndAndCarryOverToNewRuns) {
  TFontList runs;
  TUrlTarget link("page.htm", "main");
  runs.StartRuns(FontOf(12), 0, nullptr);
  runs.ChangeFontAndLink(true, doc, &link, FontOf(12, fsUnderline), 3, 0, ShiftNone);
  runs.ChangeFont(doc, FontOf(12, fsBold | fsUnderline), 6, 0, ShiftNone);
  runs.ChangeFontAndLink(false, doc, nullptr, FontOf(12), 9, 0, ShiftNone);
  ASSERT_EQ(runs.Count(), 4);
  EXPECT_FALSE(runs[0]->IsLink());
  EXPECT_EQ(runs[1]->Link.Url, "page.htm");
  EXPECT_EQ(runs[1]->Link.Target, "main");
  EXPECT_EQ(runs[2]->Link.Url, "page.htm");  // inherited inside the link
  EXPECT_FALSE(runs[3]->IsLink());
  EXPECT_EQ(runs[3]->Link.Target, "");
}

TEST_F(FontsTest, FontsChangedRescalesKeepsStylesAndColoursLinks) {
  TFontList runs;
  TUrlTarget link("x.htm", "");
  TMyFont page = FontOf(12, fsBold | fsItalic);
  page.SetName("Arial");
  page.SetColor(clRed);
  runs.StartRuns(page, 0, nullptr);
  runs.ChangeFontAndLink(true, doc, &link, FontOf(24), 4, fsUnderline, ShiftNone);
  TMyFont code = FontOf(10);
  code.Fixed = true;
  runs.ChangeFontAndLink(false, doc, nullptr, code, 8, 0, ShiftNone);

  doc.SetDefaults("Georgia", "Mono Sans", 16, clGreen, clPurple, clWhite);
  runs.FontsChanged(doc);
  const TMyFont& first = *runs[0]->Font;
  EXPECT_TRUE(first.Bold());
  EXPECT_TRUE(first.Italic());
  EXPECT_EQ(first.Size(), 16);
  EXPECT_EQ(first.Name(), "Georgia");
  EXPECT_EQ(first.Color(), PaletteRelative(clGreen));
  EXPECT_EQ(runs[0]->TextHeight, FixedMetricsCanvas::MetricsFor(16).tmHeight);
  EXPECT_EQ(runs[1]->Font->Color(), PaletteRelative(clPurple));
  EXPECT_TRUE(runs[1]->Font->Underline());
  EXPECT_EQ(runs[1]->Font->Size(), 32);
  EXPECT_EQ(runs[1]->TextHeight, FixedMetricsCanvas::MetricsFor(32).tmHeight);
  EXPECT_EQ(runs[2]->Font->Name(), "Mono Sans");
  EXPECT_EQ(runs[2]->Font->Size(), 13);
}

TEST_F(FontsTest, LookUpsByPosition) {
  TFontList runs;
  runs.StartRuns(FontOf(12), 0, nullptr);
  runs.ChangeFont(doc, FontOf(24), 5, 0, ShiftNone);
  runs.ChangeFont(doc, FontOf(8), 9, 0, ShiftNone);
  int index = -1;
  EXPECT_EQ(runs.RunAt(0, index), runs[0]);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(runs.RunAt(4, index), runs[0]);
  EXPECT_EQ(runs.RunAt(5, index), runs[1]);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(runs.RunAt(100, index), runs[2]);
  int overhang = -1;
  EXPECT_EQ(runs.FontAt(7, overhang), runs[1]->Font.get());
  EXPECT_EQ(overhang, 0);
  EXPECT_EQ(runs.CountAt(0, 20), 5);
  EXPECT_EQ(runs.CountAt(6, 20), 3);
  EXPECT_EQ(runs.CountAt(9, 20), 11);  // the last run: what is left of the section
  EXPECT_EQ(runs.CountAt(15, 20), 5);
  int lineHeight = 0;
  int descent = 0;
  runs.LineMetrics(6, lineHeight, descent);
  EXPECT_EQ(lineHeight, 40);
  EXPECT_EQ(descent, 8);

  TFontList copy(runs);
  ASSERT_EQ(copy.Count(), 3);
  EXPECT_EQ(copy[2]->Pos, 9);
  EXPECT_NE(copy[2]->Font.get(), runs[2]->Font.get());
}

TEST_F(FontsTest, AssignCopiesTheScaleOnlyFromScaledFonts) {
  TMyFont target = FontOf(18);
  TMyFont source = FontOf(7);
  source.Fixed = true;
  target.Assign(source);
  EXPECT_EQ(target.SizeTwelfths, 7);
  EXPECT_TRUE(target.Fixed);
  Font plain;
  plain.SetSize(30);
  target.Assign(plain);
  EXPECT_EQ(target.Size(), 30);
  EXPECT_EQ(target.SizeTwelfths, 7);
}

}  // namespace
}  // namespace kiv
