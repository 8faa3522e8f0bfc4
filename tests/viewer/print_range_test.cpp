// Printing documents into PDF files and reading the pages back: page ranges,
// pagination that never cuts a line, and the printable area.
#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>

#include "builder/document_builder.h"
#include "layout/section_list.h"
#include "platform/qt_canvas.h"
#include "support/test_files.h"
#include "viewer/document_painter.h"
#include "viewer/document_printer.h"
#include "viewer/print_test_support.h"
#include "viewer/vw_printer.h"

namespace kiv {
namespace {

using namespace kiv::testing;

constexpr double PointsPerCm = 72 / 2.54;

// Prints into a PDF file of a fresh folder; the selection is restored after.
class PrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = SelectedPrinter();
    SelectedPrinter() = TPrinterSelection{};
    SelectedPrinter().OutputFileName = QString::fromStdString(pdf_);
  }
  void TearDown() override { SelectedPrinter() = saved_; }

  // The document as the viewer shows it before printing.
  static std::unique_ptr<TSectionList> Shown(const std::string& html) {
    auto doc = std::make_unique<TSectionList>();
    doc->SetDefaults("Times New Roman", "Courier New", 12, clBtnText, clBlue, clWhite);
    TAnchorList anchors;
    ParseHtmlBuffer(*doc, anchors, html.data(), html.size());
    QtCanvas screen;
    int maxWidth = 0;
    LayoutForViewer(*doc, screen, 600, maxWidth);
    return doc;
  }

  bool PdfWritten() const { return QFile::exists(QString::fromStdString(pdf_)); }

  TempDir dir_;
  std::string pdf_ = dir_.File("out.pdf");
  TPrinterSelection saved_;
};

// Five pages, each ended by a page break and naming itself on every line.
std::string FivePages() {
  std::string html = "<title>Five</title>";
  for (int k = 1; k <= 5; ++k) {
    const std::string name = "Chunk" + std::to_string(k);
    html += "<p>" + name + " opens</p><p>" + name + " closes</p>";
    if (k < 5) html += "<page>";
  }
  return html;
}

// Paragraphs of many lengths and sizes, numbered word by word (W0001, ...).
std::string FlowingText(int& words) {
  std::string html;
  words = 0;
  for (int p = 0; p < 60; ++p) {
    const int count = 3 + (p * 37) % 70;
    std::string text;
    for (int i = 0; i < count; ++i) {
      char word[16];
      std::snprintf(word, sizeof word, "W%04d", ++words);
      text += std::string(word) + " ";
    }
    if (p % 9 == 4)
      html += "<h2>" + text + "</h2>";
    else if (p % 7 == 3)
      html += "<p><font size=6>" + text + "</font></p>";
    else
      html += "<p>" + text + "</p>";
  }
  return html;
}

TEST_F(PrintTest, RangesPrintTheirPagesAndRangesPastTheEndPrintNothing) {
  auto doc = Shown(FivePages());

  EXPECT_EQ(PrintDocumentRange(*doc, {}, 1, 9999), 5);
  std::vector<PrintedPage> pages = ReadPrintedPages(pdf_);
  ASSERT_EQ(pages.size(), 5u);
  for (int k = 1; k <= 5; ++k) {
    EXPECT_EQ(pages[k - 1].Text(),
              "Chunk" + std::to_string(k) + " opens Chunk" + std::to_string(k) + " closes");
  }

  ASSERT_TRUE(QFile::remove(QString::fromStdString(pdf_)));
  EXPECT_EQ(PrintDocumentRange(*doc, {}, 2, 3), 2);
  pages = ReadPrintedPages(pdf_);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].Text(), "Chunk2 opens Chunk2 closes");
  EXPECT_EQ(pages[1].Text(), "Chunk3 opens Chunk3 closes");

  // A range past the end: no sheet, no file, no error; an earlier file stays.
  ASSERT_TRUE(QFile::remove(QString::fromStdString(pdf_)));
  EXPECT_EQ(PrintDocumentRange(*doc, {}, 6, 9), 0);
  EXPECT_FALSE(PdfWritten());
  dir_.Write("out.pdf", "earlier printout");
  EXPECT_EQ(PrintDocumentRange(*doc, {}, 7, 9), 0);
  EXPECT_EQ(ReadFile(pdf_), "earlier printout");

  // One page, and no empty sheet after it.
  EXPECT_EQ(PrintDocumentRange(*Shown("<p>Alone on its page</p>"), {}, 1, 9999), 1);
  EXPECT_EQ(PrintedPageCount(pdf_), 1);
}

TEST_F(PrintTest, NoLineIsCutBetweenPagesAndTextStaysInsideTheMargins) {
  int words = 0;
  auto doc = Shown(FlowingText(words));
  const int sheets = PrintDocumentRange(*doc, {}, 1, 9999);
  const std::vector<PrintedPage> pages = ReadPrintedPages(pdf_);
  ASSERT_GE(sheets, 3);
  ASSERT_EQ(pages.size(), static_cast<std::size_t>(sheets));

  std::map<std::string, int> seen;
  for (std::size_t p = 0; p < pages.size(); ++p) {
    const PrintedPage& page = pages[p];
    const double top = 2 * PointsPerCm - 1;
    const double bottom = page.height - 2 * PointsPerCm + 1;
    const double left = 2 * PointsPerCm - 1;
    const double right = page.width - 2 * PointsPerCm + 1;
    for (const PrintedWord& w : page.words) {
      EXPECT_TRUE(w.yMin >= top && w.yMax <= bottom && w.xMin >= left && w.xMax <= right)
          << w.text << " on page " << p + 1 << " at " << w.xMin << "," << w.yMin << " - " << w.xMax
          << "," << w.yMax;
      ++seen[w.text];
    }
  }
  // Every word printed once: no line lost at a page's end, none repeated at
  // the next page's start.
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(words));
  for (const auto& [text, count] : seen) EXPECT_EQ(count, 1) << text;
}

TEST_F(PrintTest, UnprintableEdgesOfTheDeviceDoNotMoveTheText) {
  int words = 0;
  auto doc = Shown(FlowingText(words));
  PrintDocumentRange(*doc, {}, 1, 2);
  const std::vector<PrintedPage> plain = ReadPrintedPages(pdf_);

  // A device that cannot print the outer sixth of an inch (100 dots at 600
  // dots per inch) reports a smaller printable area and its offset.
  SelectedPrinter().PageLayout.setUnits(QPageLayout::Inch);
  SelectedPrinter().PageLayout.setMargins(QMarginsF(1.0 / 6, 1.0 / 6, 1.0 / 6, 1.0 / 6));
  TvwPrinter printer;
  EXPECT_EQ(printer.PrintingOffset().X, 100);
  EXPECT_EQ(printer.PhysicalPageSize().cx - printer.PageWidth(), 200);
  PrintDocumentRange(*doc, {}, 1, 2);
  const std::vector<PrintedPage> edged = ReadPrintedPages(pdf_);

  ASSERT_EQ(plain.size(), 2u);
  ASSERT_EQ(edged.size(), 2u);
  for (std::size_t p = 0; p < 2; ++p) {
    ASSERT_EQ(plain[p].words.size(), edged[p].words.size()) << "page " << p + 1;
    for (std::size_t i = 0; i < plain[p].words.size(); ++i) {
      EXPECT_EQ(plain[p].words[i].text, edged[p].words[i].text);
      EXPECT_NEAR(plain[p].words[i].xMin, edged[p].words[i].xMin, 0.05);
      EXPECT_NEAR(plain[p].words[i].yMin, edged[p].words[i].yMin, 0.05);
    }
  }
}

TEST(PrintArea, MarginsAreMeasuredFromThePaperEdges) {
  // 600 dots per inch, paper 5100 x 6600 dots, printable 4900 x 6400 from
  // (100, 100): 2 cm is 472 dots from the paper's edge.
  TPrinterMetrics m{4900, 6400, 600, 600, 5100, 6600, 100, 100};
  TPrintArea a = ComputePrintArea(m, {}, 96);
  EXPECT_EQ(a.Left, 372);
  EXPECT_EQ(a.Top, 372);
  EXPECT_EQ(a.Width, 4900 + 100 - 472 - 372);
  EXPECT_EQ(a.Height, 6400 + 100 - 472 - 372);
  EXPECT_EQ(a.LeftL, 59);
  EXPECT_EQ(a.WidthL, 664 - 20);
  EXPECT_EQ(a.HeightL, 904);

  // A device that reports neither its paper nor its offset: no bands.
  m.PhysicalWidth = m.PhysicalHeight = -1;
  m.OffsetX = m.OffsetY = 0;
  a = ComputePrintArea(m, {}, 96);
  EXPECT_EQ(a.Left, 472);
  EXPECT_EQ(a.Width, 4900 - 472 - 472);
  EXPECT_EQ(a.Height, 6400 - 472 - 472);
}

}  // namespace
}  // namespace kiv
