// TvwPrinter: job states and their errors, the printer that cannot be used,
// and jobs that end without output.
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "layout/section_list.h"
#include "support/test_files.h"
#include "viewer/document_printer.h"
#include "viewer/print_test_support.h"
#include "viewer/vw_printer.h"

namespace kiv {
namespace {

using namespace kiv::testing;

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EPrinterError& e) {
    return e.what();
  }
  return "no error";
}

class PrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = SelectedPrinter();
    SelectedPrinter() = TPrinterSelection{};
    SelectedPrinter().OutputFileName = QString::fromStdString(pdf_);
  }
  void TearDown() override { SelectedPrinter() = saved_; }

  QStringList Files() const {
    return QDir(QString::fromStdString(dir_.Path())).entryList(QDir::Files);
  }

  TempDir dir_;
  std::string pdf_ = dir_.File("job.pdf");
  TPrinterSelection saved_;
};

TEST_F(PrinterTest, JobStatesAreChecked) {
  TvwPrinter printer;
  EXPECT_EQ(ErrorOf([&] { printer.NewPage(); }), "Printer is not currently printing");
  EXPECT_EQ(ErrorOf([&] { printer.EndDocument(); }), "Printer is not currently printing");
  EXPECT_EQ(ErrorOf([&] { printer.AbortDocument(); }), "Printer is not currently printing");
  // Measuring needs no job, drawing does.
  EXPECT_EQ(printer.DpiX(), 600);
  EXPECT_EQ(printer.DeviceState(), InformationContext);
  EXPECT_EQ(ErrorOf([&] {
              printer.PrinterCanvas().FillRect({0, 0, 10, 10}, clBlack);
            }),
            "Printer is not currently printing");

  printer.BeginDocument();
  EXPECT_EQ(printer.DeviceState(), PrintingDeviceContext);
  EXPECT_TRUE(printer.IsPrinting());
  EXPECT_EQ(printer.PageNumber(), 1);
  EXPECT_EQ(ErrorOf([&] { printer.BeginDocument(); }), "Printing in progress");
  EXPECT_EQ(ErrorOf([&] { printer.SetDeviceState(NoDeviceContext); }), "Printing in progress");
  printer.PrinterCanvas().FillRect({0, 0, 10, 10}, clBlack);
  printer.NewPage();
  EXPECT_EQ(printer.PageNumber(), 2);
  // The file appears when the job ends, not before.
  EXPECT_FALSE(QFile::exists(QString::fromStdString(pdf_)));
  printer.EndDocument();
  EXPECT_FALSE(printer.IsPrinting());
  EXPECT_EQ(printer.PageNumber(), 0);
  EXPECT_EQ(PrintedPageCount(pdf_), 2);
  EXPECT_EQ(Files(), QStringList{"job.pdf"});
}

TEST_F(PrinterTest, AnAbortedJobLeavesNothing) {
  dir_.Write("job.pdf", "kept");
  {
    TvwPrinter printer;
    printer.BeginDocument();
    printer.NewPage();
    printer.AbortDocument();
    EXPECT_FALSE(printer.IsPrinting());
    EXPECT_FALSE(printer.Aborted());
  }
  EXPECT_EQ(ReadFile(pdf_), "kept");
  EXPECT_EQ(Files(), QStringList{"job.pdf"});

  // A printer freed in the middle of a job ends it.
  {
    TvwPrinter printer;
    printer.BeginDocument();
  }
  EXPECT_EQ(PrintedPageCount(pdf_), 1);
}

TEST_F(PrinterTest, APrinterThatCannotBeUsedIsReported) {
  const char* const notValid = "Printer selected is not valid";
  SelectedPrinter().OutputFileName.clear();
  SelectedPrinter().PrinterName = "No such printer anywhere";
  TvwPrinter printer;
  EXPECT_EQ(ErrorOf([&] { printer.BeginDocument(); }), notValid);
  EXPECT_FALSE(printer.IsPrinting());
  EXPECT_EQ(ErrorOf([&] { printer.PageWidth(); }), notValid);

  // A file in a folder that does not exist.
  SelectedPrinter().OutputFileName = QString::fromStdString(dir_.File("none/job.pdf"));
  TSectionList document;
  TvwPrinter* before = SetCurrentPrinter(nullptr);
  EXPECT_EQ(ErrorOf([&] { PrintDocumentRange(document, {}, 1, 9999); }), notValid);
  // The print job's printer is no longer the current one.
  EXPECT_EQ(SetCurrentPrinter(before), nullptr);
  EXPECT_TRUE(Files().isEmpty());
}

}  // namespace
}  // namespace kiv
