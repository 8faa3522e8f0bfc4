// Table normalisation and layout with fixed metrics (advance 8, line 20): the
// grid, the pixel and percentage fits, row spans, placement, and the bounds
// that hold for hostile spans, widths and sizes.
#include <gtest/gtest.h>

#include <tuple>

#include "layout/indent_manager.h"
#include "layout/process_error.h"
#include "table_test_support.h"

namespace kiv {
namespace {

class TableLayoutTest : public testing::TablePageTest {
 protected:
  // The grid as "colSpan/rowSpan" per entry, rows separated by " | ".
  static std::string Grid(const ThtmlTable& t) {
    std::string out;
    for (const auto& row : t.Rows) {
      if (!out.empty()) out += " | ";
      for (int i = 0; i < row->Count(); ++i)
        out.append(i ? " " : "")
            .append(std::to_string((*row)[i]->ColSpan))
            .append("/")
            .append(std::to_string((*row)[i]->RowSpan));
    }
    return out;
  }
};

TEST_F(TableLayoutTest, NormalisationFillsSpansWithPlaceholders) {
  Parse("<table><tr><td colspan=3>a<td rowspan=3>b<tr><td>c<tr><td>d</table>");
  ThtmlTable& t = Table();
  t.Normalize();
  // The short rows get placeholders appended before the covering one.
  EXPECT_EQ(Grid(t), "3/1 0/1 0/1 1/3 | 1/1 0/0 0/0 0/0 | 1/1 0/0 0/0 0/0");
  EXPECT_EQ(t.ColumnCount, 4);
  EXPECT_FALSE(t.FixedWidths);  // no cell asked for a width
  // Spans of 0, 1 or less count as 1; a row span past the last row is clipped.
  doc.Clear();
  Parse("<table><tr><td colspan=0 rowspan=-2>a<td rowspan=2147483647 width=9>b<tr><td>c</table>");
  Table().Normalize();
  EXPECT_EQ(Grid(Table()), "1/1 1/2 | 1/1 0/0");
  EXPECT_TRUE(Table().FixedWidths);
}

TEST_F(TableLayoutTest, EntriesMovedPastTheFirstColumnCountStillEndAtTheLastRow) {
  // Row 1's cell is pushed right by the span above it, beyond the columns
  // that were visited; its span must still stop at the last row.
  Parse("<table><tr><td rowspan=2>a<tr><td rowspan=5>b</table>after");
  ThtmlTable& t = Load("");
  EXPECT_EQ(Grid(t), "1/2 | 0/0 1/1");
  EXPECT_EQ(t.ColumnCount, 2);
  EXPECT_EQ(CellOf(t, 1, 1).BoxHeight, t.Rows[1]->RowHeight);
}

TEST_F(TableLayoutTest, TooManyColumnsRaisesBeforeAHugeSpanIsFilled) {
  std::string thirty = "<table><tr>";
  for (int i = 0; i < 30; ++i) thirty += "<td>c";
  Parse(thirty + "</table><table><tr><td colspan=2000000000>x<tr><td>y</table>");
  Table(0).Normalize();
  EXPECT_EQ(Table(0).ColumnCount, 30);
  ThtmlTable& huge = Table(1);
  EXPECT_THROW(huge.Normalize(), EProcessError);
  EXPECT_LE(huge.Rows[0]->Count(), MaxTableColumns + 1);
  EXPECT_FALSE(huge.Normalized);
  // Asked again (a second layout) it raises again, without growing.
  EXPECT_THROW(huge.Normalize(), EProcessError);
  EXPECT_LE(huge.Rows[0]->Count(), MaxTableColumns + 1);
  LayOut();
  EXPECT_EQ(boxes, std::vector<std::string>{"Table has too many Columns"});
  EXPECT_THROW(Table(1), std::runtime_error);  // dropped
}

TEST_F(TableLayoutTest, PixelModeSpansOverEmptyColumnsShareEvenly) {
  // No column holds a cell of its own: the spanning cell's width is split
  // instead of being divided by the columns' zero sum.
  ThtmlTable& t = Load(
      "<table cellspacing=0 cellpadding=0><tr><td colspan=2 width=100>xyz</td></tr>"
      "<tr><td colspan=3 width=5>12345</td></tr></table>");
  ASSERT_TRUE(t.FixedWidths);
  EXPECT_EQ(t.CellExtra(), 0);
  EXPECT_EQ(Widths(t), (std::vector<int>{20, 20, 0}))
      << "the second span widens the first two columns in proportion";
  doc.Clear();
  ThtmlTable& even =
      Load("<table cellspacing=0 cellpadding=0><tr><td colspan=3 width=1>abcdefg</table>");
  EXPECT_EQ(Widths(even), (std::vector<int>{19, 19, 18}));
}

TEST_F(TableLayoutTest, PercentagesFillTheRequestedWidth) {
  // 25% of 400 for the first column; the rest shared by the others' widths.
  ThtmlTable& t = Load("<table width=403><tr><td width=\"25%\">a<td>bb<td>cccc</table>");
  EXPECT_FALSE(t.FixedWidths);
  EXPECT_EQ(Widths(t), (std::vector<int>{100, 107, 193}));
  EXPECT_EQ(t.BodyWidth, 403);
}

TEST_F(TableLayoutTest, PercentagesOverAHundredShrinkUntilTheColumnsFit) {
  ThtmlTable& t = Load("<table width=303><tr><td width=\"60%\">a<td width=\"70%\">b<td>c</table>");
  EXPECT_EQ(Widths(t), (std::vector<int>{132, 153, 12}));
  EXPECT_EQ(t.ColumnPercents[0], 44);
  EXPECT_EQ(t.ColumnPercents[1], 51);
  // A percentage column too narrow for its content becomes a plain column.
  doc.Clear();
  ThtmlTable& narrow =
      Load("<table width=203><tr><td width=\"5%\">wide_content<td width=\"50%\">b<td>c</table>");
  EXPECT_EQ(narrow.ColumnPercents[0], 0);
  EXPECT_EQ(narrow.ColumnPercents[1], 44);
  EXPECT_EQ(Widths(narrow), (std::vector<int>{100, 88, 12}));
}

TEST_F(TableLayoutTest, RowSpansGrowTheirRowsAndTheTableSitsByItsAlignment) {
  ThtmlTable& t = Load(
      "<table align=right width=300><tr><td rowspan=2>a<br>b<br>c<br>d<td>x<tr><td>y</table>", 500);
  // Rows of 24 each; the spanning cell needs 84: each grows by 36 div 2 + 1.
  EXPECT_EQ(t.Rows[0]->RowHeight, 43);
  EXPECT_EQ(t.Rows[1]->RowHeight, 43);
  EXPECT_EQ(CellOf(t, 0, 0).BoxHeight, 86);
  EXPECT_EQ(t.Rows[0]->SpannedHeight, 86);
  EXPECT_EQ(t.Height, 89);
  EXPECT_EQ(t.AlignOffset, 500 - t.TotalWidth);
  EXPECT_EQ(t.BodyOffset, t.AlignOffset);
  // The middle-aligned single-row cell is centred in its row.
  EXPECT_EQ(CellOf(t, 0, 1).ContentOffsetY, (43 - 20 - 4) / 2);
  doc.Clear();
  ThtmlTable& right = Load("<table align=right width=300><tr><td>x</table>", 500);
  EXPECT_EQ(right.TotalWidth, 300);
  EXPECT_EQ(right.AlignOffset, 200);
  doc.Clear();
  // A target below 20 is raised to 20.
  EXPECT_EQ(Load("<table width=5><tr><td>x</table>").BodyWidth, 23);
}

TEST_F(TableLayoutTest, HugeWidthsStayBounded) {
  ThtmlTable& t = Load(
      "<table width=2147483647 border=1><tr><td width=2147483647>a<td width=99999999>b</table>"
      "<table><tr><td><table width=2147483647><tr><td width=2147483647>c<td width=2147483647>d"
      "</table><td width=2147483647>e</table>");
  EXPECT_EQ(t.BodyWidth, 2 * MaxTableWidth + t.CellSpacing);
  const ThtmlTable& nested = Table(1);
  EXPECT_GT(nested.BodyWidth, 0);
  EXPECT_LE(nested.BodyWidth, MaxTableColumns * MaxTableWidth);
  for (int w : Widths(nested)) EXPECT_GE(w, 0);
}

// A cell's content is laid out once, at Y 0, and then moved into place: what
// it holds must be exactly what a layout at its final place gives.
TEST_F(TableLayoutTest, MovedCellContentEqualsContentLaidOutInPlace) {
  ThtmlTable& t = Load(
      "<p>above<table border=1><caption>c</caption><tr><td valign=bottom>x<br>y<br>z<td>"
      "<img src=none.gif align=left width=40 height=50>beside the float, long enough to wrap "
      "round it twice or more<ul><li>item<li>item</ul><table><tr><td>inner<td>cell</table>"
      "</table><a name=end>after</a>");
  TCell& cell = *CellOf(t, 0, 1).Content;
  using State = std::tuple<int, int, int, int>;
  auto state = [](const TCell& c) {
    std::vector<State> out;
    for (const auto& s : c) out.emplace_back(s->Top, s->Height, s->StartIndex, s->Length);
    for (const auto* side : {&c.Indents->LeftFloats, &c.Indents->RightFloats})
      for (const auto& r : *side) out.emplace_back(r->Offset, r->TopY, r->BottomY, r->Level);
    return out;
  };
  const auto moved = state(cell);
  const int startY = cell.StartY;
  const int startIndex = cell.StartIndex;
  const int textLength = cell.TextLength;
  ASSERT_GT(startY, 40);
  int maxWidth = 0, charIndex = startIndex;
  cell.Layout(canvas, startY, cell.Indents->Width, maxWidth, charIndex);
  EXPECT_EQ(state(cell), moved);
  EXPECT_EQ(charIndex - startIndex, textLength);
  EXPECT_EQ(anchors.at(0).second->StartIndex, t.StartIndex + t.Length);
}

TEST_F(TableLayoutTest, LargeGridsLayOut) {
  std::string page = "<table><tr><td rowspan=10000>spans every row";
  for (int r = 0; r < 10000; ++r) page += "<tr><td>x";
  page += "</table><table>";
  for (int r = 0; r < 200; ++r) {
    page += "<tr>";
    for (int c = 0; c < 30; ++c) page += "<td>" + std::to_string(c);
  }
  ThtmlTable& tall = Load(page + "</table>");
  EXPECT_EQ(tall.Rows.Count(), 10001);
  EXPECT_EQ(CellOf(tall, 0, 0).RowSpan, 10000);
  // Row 0 holds only the spanning cell: its own height is the cell extra.
  EXPECT_EQ(tall.Height, 4 + 10000 * 24 + tall.CellSpacing);
  ThtmlTable& wide = Table(1);
  EXPECT_EQ(wide.ColumnCount, 30);
  EXPECT_EQ(wide.Height, 200 * 24 + wide.CellSpacing);
  EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace kiv
