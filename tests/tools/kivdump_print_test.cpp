// kivdump print: pages of a page into a PDF file, read back with the poppler
// tools.
#include <QFile>

#include <gtest/gtest.h>

#include "run_tool.h"
#include "support/test_files.h"
#include "viewer/print_test_support.h"

namespace kiv {
namespace {

using namespace kiv::testing;

std::string FivePages() {
  std::string html = "<title>Five</title>";
  for (int k = 1; k <= 5; ++k) {
    html += "<h1>Part " + std::to_string(k) + "</h1><p>Text of part " + std::to_string(k) + "</p>";
    if (k < 5) html += "<page>";
  }
  return html;
}

TEST(KivdumpPrint, PrintsTheRangeAskedFor) {
  TempDir dir;
  const std::string page = dir.Write("five.html", FivePages());
  const std::string pdf = dir.File("five.pdf");

  ToolResult some = RunTool("kivdump", {"print", page, "--out", pdf, "--from", "2", "--to", "3"});
  ASSERT_EQ(some.exitCode, 0) << some.err;
  const std::vector<PrintedPage> pages = ReadPrintedPages(pdf);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].Text(), "Part 2 Text of part 2");
  EXPECT_EQ(pages[1].Text(), "Part 3 Text of part 3");

  // Past the end: nothing printed, no file, success.
  const std::string none = dir.File("none.pdf");
  ToolResult past = RunTool("kivdump", {"print", page, "--out", none, "--from", "7", "--to", "9"});
  EXPECT_EQ(past.exitCode, 0) << past.err;
  EXPECT_FALSE(QFile::exists(QString::fromStdString(none)));
}

TEST(KivdumpPrint, RefusesWhatItCannotDo) {
  TempDir dir;
  const std::string page = dir.Write("p.html", "<p>Hello</p>");
  EXPECT_EQ(RunTool("kivdump", {"print", page}).exitCode, 2);
  EXPECT_EQ(RunTool("kivdump", {"print", page, "--out", dir.File("p.pdf"), "--to", "x"}).exitCode,
            2);
  ToolResult nowhere = RunTool("kivdump", {"print", page, "--out", dir.File("no/dir/p.pdf")});
  EXPECT_EQ(nowhere.exitCode, 1);
  EXPECT_NE(nowhere.err.find("Printer selected is not valid"), std::string::npos) << nowhere.err;
  EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.File("p.pdf"))));
}

}  // namespace
}  // namespace kiv
