// The table reader: rows, cells and captions read into a table section, what
// it inherits and gives back to its surroundings, anchors inside it, and
// pages that nest or break tables on purpose.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "builder/document_builder.h"
#include "layout/section_list.h"
#include "layout/table.h"
#include "layout/text_section.h"
#include "platform/fixed_metrics_canvas.h"
#include "platform/message_box.h"
#include "platform/screen_canvas.h"
#include "support/test_files.h"

namespace kiv {
namespace {

class TableReaderTest : public ::testing::Test {
 protected:
  TableReaderTest() : swap_(&fixed_) {
    doc.SetDefaults("Times New Roman", "Courier New", 12, clBlack, clBlue, clWhite);
    previous_ = SetMessageBoxHandler([this](const std::string& text, const std::string&, int) {
      boxes.push_back(text);
      return 1;
    });
  }
  ~TableReaderTest() override { SetMessageBoxHandler(previous_); }

  void Parse(const std::string& html) { ParseHtmlBuffer(doc, anchors, html.data(), html.size()); }
  int LayOut(int width = 600) {
    int maxWidth = 0, charIndex = 0;
    return doc.Layout(fixed_, 0, width, maxWidth, charIndex);
  }
  // The n-th table section of a cell (the document by default).
  ThtmlTable& TableIn(const TCell& cell, int n = 0) {
    for (const auto& s : cell)
      if (auto* t = dynamic_cast<ThtmlTable*>(s.get()); t && n-- == 0) return *t;
    throw std::runtime_error("no such table");
  }
  ThtmlTable& Table(int n = 0) { return TableIn(doc, n); }
  // The text of the sections of a cell, joined by "|", empty ones left out.
  static std::string Texts(const TCell& cell) {
    std::string out;
    for (const auto& s : cell)
      if (auto* t = dynamic_cast<const TSection*>(s.get()); t && t->Length > 0)
        out += (out.empty() ? "" : "|") + t->Buffer.substr(0, static_cast<std::size_t>(t->Length));
    return out;
  }
  static const TSection& FirstText(const TCell& cell) {
    for (const auto& s : cell)
      if (auto* t = dynamic_cast<const TSection*>(s.get()); t && t->Length > 0) return *t;
    throw std::runtime_error("no text");
  }
  std::map<std::string, TSectionBase*> Named() const {
    std::map<std::string, TSectionBase*> named;
    for (const auto& [name, section] : anchors) named[name] = section;
    return named;
  }

  FixedMetricsCanvas fixed_;
  ScopedScreenCanvas swap_;
  MessageBoxHandler previous_;
  TSectionList doc;
  TAnchorList anchors;
  std::vector<std::string> boxes;
};

TEST_F(TableReaderTest, RowsCellsAndStrayText) {
  // Cells before the first "TR" form the first row; a "TR" there adds none.
  Parse("<table>lost? no: <td>a<td>b<tr><td>c</td>between<td>d</table>after");
  const ThtmlTable& t = Table();
  ASSERT_EQ(t.Rows.Count(), 2);
  ASSERT_EQ(t.Rows[0]->Count(), 2);
  ASSERT_EQ(t.Rows[1]->Count(), 2);
  EXPECT_EQ(Texts(*(*t.Rows[0])[1]->Content), "b");
  EXPECT_EQ(Texts(*(*t.Rows[1])[1]->Content), "d");
  // Stray text stands before the table, in the enclosing cell.
  EXPECT_EQ(Texts(doc), "lost? no: |between|after");
  EXPECT_LT(doc.IndexOf(&FirstText(doc)), doc.IndexOf(&t));

  doc.Clear();
  Parse("<table><tr><td>x</table>");
  EXPECT_EQ(Table().Rows.Count(), 1);
}

TEST_F(TableReaderTest, HeaderAndDataCellsTakeAlignmentFromRowAndCell) {
  Parse(
      "<center><table><tr><th>h<td>d<th align=left>hl<td align=RIGHT>dr"
      "<tr align=right valign=bottom><th>rh<td valign=top>rt</table>x<b>y");
  const ThtmlTable& t = Table();
  auto cell = [&](int r, int c) -> const TCellObj& { return *(*t.Rows[r])[c]; };
  auto justify = [&](int r, int c) { return FirstText(*cell(r, c).Content).Justify; };
  EXPECT_EQ(justify(0, 0), 2);
  EXPECT_EQ(justify(0, 1), 1);
  EXPECT_EQ(justify(0, 2), 1);
  EXPECT_EQ(justify(0, 3), 3);
  EXPECT_EQ(justify(1, 0), 3);
  EXPECT_EQ(justify(1, 1), 3);
  EXPECT_TRUE(FirstText(*cell(0, 0).Content).Fonts[0]->Font->Bold());
  EXPECT_FALSE(FirstText(*cell(0, 1).Content).Fonts[0]->Font->Bold());
  EXPECT_EQ(cell(0, 0).VerticalAlign, VAlignMiddle);
  EXPECT_EQ(cell(1, 0).VerticalAlign, VAlignBottom);
  EXPECT_EQ(cell(1, 1).VerticalAlign, VAlignTop);
  // The table inherits the paragraph's alignment; after it the outer
  // alignment and style come back: "TH" bold does not leak.
  EXPECT_EQ(t.Justify, 2);
  const TSection& after = FirstText(doc);
  EXPECT_EQ(after.Justify, 2);
  EXPECT_FALSE(after.Fonts[0]->Font->Bold());
}

TEST_F(TableReaderTest, CaptionsAboveOrBelow) {
  Parse(
      "<table><caption align=bottom>under</caption><tr><td>c</table>"
      "<table><caption align=left>over<tr><td>c</table>"
      "<table><caption>only a caption</table>");
  EXPECT_FALSE(Table(0).CaptionOnTop);
  EXPECT_EQ(Texts(*Table(0).Caption->Content), "under");
  EXPECT_TRUE(Table(1).CaptionOnTop);
  EXPECT_EQ(Texts(*Table(1).Caption->Content), "over");
  EXPECT_EQ(FirstText(*Table(1).Caption->Content).Justify, 2);
  ASSERT_EQ(Table(1).Rows[0]->Count(), 1);
  // A caption with no body: one empty row. The table is as narrow as its
  // body, so the caption folds to its narrowest width.
  ThtmlTable& lone = Table(2);
  EXPECT_EQ(lone.Rows.Count(), 1);
  EXPECT_EQ(lone.Rows[0]->Count(), 0);
  LayOut();
  EXPECT_EQ(lone.TotalWidth, 7 * 8);
  EXPECT_EQ(lone.CaptionHeight, 40);
  EXPECT_EQ(lone.Height, 40 + lone.BodyHeight);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(TableReaderTest, AnchorsInCellsAndCaptionsNameTheirSections) {
  Parse(
      "<a name=top>a</a><table><caption><a name=cap>c</a></caption><tr>"
      "stray <a name=stray>s</a><td><a name=cell>x</a><table><tr><td><a name=inner>y"
      "</table><a name=late>w</td></tr></table>b <a name=after>z");
  auto named = Named();
  ASSERT_EQ(named.size(), 7u);
  const ThtmlTable& t = Table();
  const TCell& cell = *(*t.Rows[0])[0]->Content;
  EXPECT_EQ(named["CAP"], &FirstText(*t.Caption->Content));
  EXPECT_EQ(named["CELL"], &FirstText(cell));
  EXPECT_EQ(named["INNER"], &FirstText(*(*TableIn(cell).Rows[0])[0]->Content));
  EXPECT_EQ(Texts(cell), "x|w");
  for (const char* name : {"TOP", "STRAY", "AFTER"})
    EXPECT_EQ(doc.IndexOf(named[name]) >= 0, true) << name;
  // After layout the anchors' sections hold their places on the page.
  LayOut();
  EXPECT_GT(named["INNER"]->Top, named["CELL"]->Top);
  EXPECT_GT(named["AFTER"]->Top, named["INNER"]->Top);
  EXPECT_GT(named["CELL"]->Top, t.Top);
}

TEST_F(TableReaderTest, ATableLayoutWillRefuseTakesItsAnchorsAlong) {
  std::string wide = "<table><tr>";
  for (int i = 0; i < 31; ++i) wide += "<td>c";
  wide += "</table>";
  Parse("<a name=before>a</a><table><tr><td><a name=outer>o</a>" + wide +
        "</table><table><tr><td><a name=kept>k</a></table>" + wide + "<a name=end>e</a>");
  auto named = Named();
  EXPECT_EQ(named["OUTER"], nullptr);  // its table holds a too-wide one
  EXPECT_NE(named["BEFORE"], nullptr);
  EXPECT_NE(named["KEPT"], nullptr);
  EXPECT_NE(named["END"], nullptr);
  LayOut();
  // Both refused tables are dropped, each with its message once; the rest stays.
  EXPECT_EQ(boxes, std::vector<std::string>(2, "Table has too many Columns"));
  int tables = 0;
  for (const auto& s : doc) tables += dynamic_cast<ThtmlTable*>(s.get()) != nullptr;
  EXPECT_EQ(tables, 1);
  EXPECT_EQ(Texts(doc), "a|e");
  boxes.clear();
  LayOut();
  EXPECT_TRUE(boxes.empty());
}

TEST_F(TableReaderTest, AParseErrorInACellKeepsWhatWasRead) {
  EXPECT_THROW(Parse("a<table><tr><td>b <a name=n>c <table><tr><td>d <!-- never closed"),
               EParseError);
  ASSERT_EQ(anchors.size(), 1u);
  const ThtmlTable& t = Table();
  const TCell& cell = *(*t.Rows[0])[0]->Content;
  EXPECT_EQ(anchors[0].second, &FirstText(cell));
  // The text cut by the error is lost; the inner table and its cell stay.
  EXPECT_EQ(TableIn(cell).Rows[0]->Count(), 1);
  EXPECT_GT(LayOut(), 0);
  // A file parse keeps what was built and goes on with the document root.
  testing::TempDir dir;
  TSectionList fromFile;
  TAnchorList a;
  EXPECT_NO_THROW(ParseHtmlFile(fromFile, a, dir.Write("t.html", "a<table><caption>b <!-- x")));
  EXPECT_EQ(Texts(fromFile), "a");
  EXPECT_EQ(TableIn(fromFile).Rows.Count(), 1);
}

TEST_F(TableReaderTest, HostileNestingIsBoundedAndStillLaysOut) {
  // Nested cells, and tables started from stray text (which stand before
  // their table, not in it): no page nests the reader deeper than it allows,
  // and the page still lays out.
  for (const std::string unit : {"<table><tr><td>x", "<table>x", "<table><tr><td><ul><li>"}) {
    std::string page;
    while (page.size() + unit.size() < 128000) page += unit;
    doc.Clear();
    anchors.clear();
    Parse(page);
    int depth = 0;
    const TCell* cell = &doc;
    for (;;) {
      const ThtmlTable* inner = nullptr;
      for (const auto& s : *cell)
        if (auto* t = dynamic_cast<const ThtmlTable*>(s.get())) inner = t;
      if (!inner) break;
      ++depth;
      cell = inner->Rows.Count() > 0 && inner->Rows[0]->Count() > 0
                 ? (*inner->Rows[0])[0]->Content.get()
                 : inner->Caption->Content.get();
    }
    EXPECT_EQ(depth, unit == "<table>x" ? 1 : MaxTableNesting) << unit;
    EXPECT_GT(LayOut(), 0) << unit;
  }
  EXPECT_TRUE(boxes.empty());
}

TEST_F(TableReaderTest, CellTagsOutsideATableAreIgnored) {
  Parse("<td>a<tr>b</td></tr><caption>c</caption>");
  EXPECT_EQ(Texts(doc), "abc");
  EXPECT_THROW(Table(), std::runtime_error);
}

}  // namespace
}  // namespace kiv
