// THTMLViewer::PrintRange: the shown document printed with the viewer's
// margins, the view left as it was.
#include <QFile>

#include <gtest/gtest.h>

#include <string>

#include "support/test_files.h"
#include "viewer/html_viewer.h"
#include "viewer/print_test_support.h"
#include "viewer/vw_printer.h"

namespace kiv {
namespace {

using namespace kiv::testing;

class ViewerPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = SelectedPrinter();
    SelectedPrinter() = TPrinterSelection{};
    SelectedPrinter().OutputFileName = QString::fromStdString(pdf_);
    viewer_.SetDefBackground(clWhite);
    viewer_.resize(500, 300);
    std::string html;
    for (int i = 1; i <= 120; ++i) html += "<p>Para" + std::to_string(i) + " text</p>";
    viewer_.LoadDocumentBuffer(html.data(), html.size());
  }
  void TearDown() override { SelectedPrinter() = saved_; }
  bool Printed() const { return QFile::exists(QString::fromStdString(pdf_)); }

  TempDir dir_;
  std::string pdf_ = dir_.File("view.pdf");
  TPrinterSelection saved_;
  THTMLViewer viewer_;
};

TEST_F(ViewerPrintTest, PrintsFromTheTopWithItsMarginsAndLeavesTheViewAlone) {
  viewer_.ScrollToY(700);
  const int scrolled = viewer_.Document().ScrollY;
  ASSERT_GT(scrolled, 0);
  viewer_.SetPrintMarginLeft(4.0);
  viewer_.SetPrintMarginTop(5.0);
  viewer_.PrintRange(1, 1);

  const std::vector<PrintedPage> pages = ReadPrintedPages(pdf_);
  ASSERT_EQ(pages.size(), 1u);
  ASSERT_FALSE(pages[0].words.empty());
  const PrintedWord& first = pages[0].words.front();
  EXPECT_EQ(first.text, "Para1");
  const double pointsPerCm = 72 / 2.54;
  EXPECT_NEAR(first.xMin, 4.0 * pointsPerCm, 1.5);
  EXPECT_GT(first.yMin, 5.0 * pointsPerCm);
  EXPECT_LT(first.yMin, 5.0 * pointsPerCm + 30);

  EXPECT_EQ(viewer_.Document().ScrollY, scrolled);
  EXPECT_FALSE(viewer_.Document().Printing);
}

TEST_F(ViewerPrintTest, EmptyRangesAndBusyViewersPrintNothing) {
  viewer_.PrintRange(0, -1);
  viewer_.PrintRange(5, 2);
  viewer_.PrintRange(50, 60);
  EXPECT_FALSE(Printed());
  viewer_.SetProcessing(true);
  viewer_.PrintRange(1, 9999);
  viewer_.SetProcessing(false);
  EXPECT_FALSE(Printed());
  viewer_.PrintRange(2, 2);
  EXPECT_EQ(PrintedPageCount(pdf_), 1);
}

}  // namespace
}  // namespace kiv
