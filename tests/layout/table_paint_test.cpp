// Painting tables (etched frames, cell backgrounds, the border-colour region,
// print copies and the page-break rule) and finding what lies under a point
// or at an index inside cells and captions.
#include <gtest/gtest.h>

#include <QImage>

#include "paint_test_support.h"
#include "reader/text_sink.h"
#include "table_test_support.h"

namespace kiv {
namespace {

using testing::Rgb;

class TablePaintTest : public testing::TablePageTest {
 protected:
  QImage PaintOn(TSectionList& d, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    FixedMetricsCanvas painter(&image);
    d.Paint(painter, Rect(0, 0, width, height), 1300, 0, 0);
    return image;
  }
  static constexpr const char* kColoured =
      "<table border=1 cellspacing=4 cellpadding=2 bordercolor=red bgcolor=yellow>"
      "<tr><td>a</td><td bgcolor=lime>b</td><td></td></tr></table>";
};

TEST_F(TablePaintTest, FramesBackgroundsAndTheBorderColour) {
  ThtmlTable& t = Load(kColoured, 300);
  const QImage image = PaintOn(doc, 300, 100);
  ASSERT_EQ(t.PaintX, 0);
  const int s = t.CellSpacing;  // 5
  const int w0 = t.ColumnWidths[0], w1 = t.ColumnWidths[1];
  const int mid = t.Rows[0]->RowHeight / 2;
  // Backgrounds: the table's colour in a cell without its own.
  EXPECT_EQ(image.pixel(s + 1, s + 1), Rgb(clYellow));
  EXPECT_EQ(image.pixel(w0 + s + 1, s + 1), Rgb(clLime));
  // The border colour between the cells, above them, and through the empty
  // cell, which paints nothing and is not cut out.
  EXPECT_EQ(image.pixel(w0 + 2, mid), Rgb(clRed));
  EXPECT_EQ(image.pixel(3, 2), Rgb(clRed));
  EXPECT_EQ(image.pixel(w0 + w1 + s + 3, mid), Rgb(clRed));
  // The table is raised (light left, dark right), its cells sunken; on a
  // white page the light colour is silver.
  EXPECT_EQ(image.pixel(0, mid), Rgb(clSilver));
  EXPECT_EQ(image.pixel(t.BodyWidth, mid), Rgb(clBtnShadow));
  EXPECT_EQ(image.pixel(s, mid), Rgb(clBtnShadow));
  EXPECT_EQ(image.pixel(w0, mid), Rgb(clSilver));
  EXPECT_EQ(image.pixel(mid, t.Rows[0]->RowHeight + s), Rgb(clBtnShadow));  // outline bottom
  // Nothing outside the outline.
  EXPECT_EQ(image.pixel(t.BodyWidth + 2, mid), qRgb(255, 255, 255));
}

TEST_F(TablePaintTest, PrintCopiesShowFramesWithoutColours) {
  doc.SetBackgroundColor(clBtnFace);
  ThtmlTable& t = Load(kColoured, 300);
  const QImage screen = PaintOn(doc, 300, 100);
  const int mid = t.Rows[0]->RowHeight / 2;
  EXPECT_EQ(screen.pixel(0, mid), Rgb(clBtnHighlight));

  auto copy = TSectionList::CreateCopy(doc);
  copy->Printing = true;
  int maxWidth = 0, charIndex = 0;
  copy->Layout(canvas, 0, 300, maxWidth, charIndex);
  const QImage printed = PaintOn(*copy, 300, 100);
  const int s = t.CellSpacing, w0 = t.ColumnWidths[0];
  EXPECT_EQ(printed.pixel(s + 1, s + 1), qRgb(255, 255, 255));
  EXPECT_EQ(printed.pixel(w0 + 2, mid), qRgb(255, 255, 255));
  EXPECT_EQ(printed.pixel(0, mid), Rgb(clSilver));
  EXPECT_EQ(printed.pixel(s, mid), Rgb(clBtnShadow));
  // The copy keeps the source's grid and its text.
  const ThtmlTable* table = nullptr;
  for (const auto& section : *copy)
    if (auto* found = dynamic_cast<ThtmlTable*>(section.get())) table = found;
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->ColumnCount, 3);
  EXPECT_FALSE(table->HasBorderColor);
  EXPECT_EQ(TextIn(*CellOf(*table, 0, 1).Content).Buffer.substr(0, 1), "b");
}

TEST_F(TablePaintTest, APrintedTableThatWouldCrossThePageEndStartsTheNextPage) {
  Load("a<br>b<br>c<br>d<br>e<br>f<br>g<br>h<table border=1><tr><td>x<tr><td>y</table>");
  const ThtmlTable& t = Table();
  ASSERT_EQ(t.Top, 160);
  auto copy = TSectionList::CreateCopy(doc);
  copy->Printing = true;
  int maxWidth = 0, charIndex = 0;
  copy->Layout(canvas, 0, 300, maxWidth, charIndex);
  const QImage page = PaintOn(*copy, 300, 200);
  EXPECT_EQ(copy->PageBottom, 160);
  EXPECT_EQ(page.pixel(2, 170), qRgb(255, 255, 255));  // no frame on this page
  // On a page that starts at the table it paints.
  copy->ScrollY = 160;
  const QImage next = PaintOn(*copy, 300, 200);
  EXPECT_EQ(next.pixel(0, 10), Rgb(clSilver));
}

class Capture : public TTextSink {
 public:
  explicit Capture(std::string& out) : out_(out) {}
  void AddChars(const char* text, int count) override { out_.append(text, count); }
  int Terminate() override { return static_cast<int>(out_.size()); }

 private:
  std::string& out_;
};

TEST_F(TablePaintTest, LinksCharactersSearchAndCopyReachIntoCellsAndCaptions) {
  ThtmlTable& t = Load(
      "<table cellspacing=2><caption align=bottom>cap <a href=c.html>clink</a></caption>"
      "<tr><td>plain text<td valign=bottom><a href=x.html>link</a><tr><td>one<br>two<td>three</table>",
      400);
  PaintOn(doc, 400, 200);
  TSection& linked = TextIn(*CellOf(t, 0, 1).Content);
  TSection& caption = TextIn(*t.Caption->Content);
  TUrlTarget target;
  const int lx = linked.Lines[0].PaintX;
  EXPECT_TRUE(doc.LinkAt(canvas, lx + 4, linked.Top + 5, target));
  EXPECT_EQ(target.Url, "x.html");
  EXPECT_FALSE(doc.LinkAt(canvas, 10, linked.Top + 5, target));       // the plain cell
  EXPECT_FALSE(doc.LinkAt(canvas, lx + 4, linked.Top - 15, target));  // above the text
  EXPECT_FALSE(doc.LinkAt(canvas, t.BodyWidth + 5, linked.Top + 5, target));
  EXPECT_TRUE(doc.LinkAt(canvas, caption.Lines[0].PaintX + 4 * 8 + 4, caption.Top + 5, target));
  EXPECT_EQ(target.Url, "c.html");

  // The character under a point, with the caret in document Y.
  int caretX = 0, caretY = 0, caretHeight = 0;
  TCell* cell = nullptr;
  EXPECT_EQ(doc.CharIndexAt(canvas, lx, linked.Top + 5, caretX, caretY, caretHeight, cell),
            linked.StartIndex);
  EXPECT_EQ(caretY, linked.Top);
  EXPECT_EQ(caretX, lx);
  EXPECT_EQ(cell, CellOf(t, 0, 1).Content.get());
  cell = nullptr;
  EXPECT_EQ(doc.CharIndexAt(canvas, caption.Lines[0].PaintX + 1, caption.Top + 5, caretX, caretY,
                            caretHeight, cell),
            caption.StartIndex);
  EXPECT_EQ(caretY, caption.Top);
  EXPECT_EQ(cell, t.Caption->Content.get());
  int x = -1, y = -1;
  EXPECT_TRUE(doc.CaretPointOf(canvas, linked.StartIndex + 2, x, y));
  EXPECT_EQ(x, 16);
  EXPECT_EQ(y, linked.Top);

  // Document order: the cells row by row, then a caption at the bottom.
  EXPECT_EQ(doc.FindText(0, "link", true), linked.StartIndex);
  EXPECT_EQ(doc.FindText(linked.StartIndex + 1, "link", true), caption.StartIndex + 5);
  EXPECT_EQ(t.StartIndex + t.Length, caption.StartIndex + caption.Length);
  std::string copied;
  doc.ClipboardSinkFactory = [&copied] { return std::make_unique<Capture>(copied); };
  doc.SelStart = 0;
  doc.SelEnd = t.StartIndex + t.Length;
  doc.CopySelectionToClipboard();
  const auto at = [&copied](const char* s) { return copied.find(s); };
  EXPECT_LT(at("plain text"), at("link"));
  EXPECT_LT(at("link"), at("one"));
  EXPECT_LT(at("one"), at("two"));
  EXPECT_LT(at("two"), at("three"));
  EXPECT_LT(at("three"), at("cap clink"));
  EXPECT_NE(at("cap clink"), std::string::npos);
}

}  // namespace
}  // namespace kiv
