// kivpack build --split on trees with pages over the page buffer: the parts,
// the moved anchors and the links sent to them, verify, and the package
// read through the help window's own code.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_test_support.h"
#include "app/help_package.h"
#include "platform/paths.h"
#include "run_tool.h"
#include "support/test_files.h"
#include "viewer/html_viewer.h"

namespace kiv {
namespace {

using testing::RunTool;
using testing::TempDir;

// A page of about bytes bytes: sections with a heading and an anchor each,
// and links back to the first and on to the next section.
std::string LongPage(int sections) {
  std::string body;
  for (int i = 0; i < sections; ++i) {
    body +=
        "<h2><a name=\"s" + std::to_string(i) + "\">Section " + std::to_string(i) + "</a></h2>\n";
    for (int j = 0; j < 12; ++j)
      body += "<p>" + std::string(300, 'w') + " <a href=\"#s0\">top</a> <a href=\"#s" +
              std::to_string(i + 1) + "\">next</a></p>\n";
  }
  return "<html><head><title>Long</title></head><body>" + body + "</body></html>";
}

TEST(KivpackSplit, WithoutSplitABigPageIsRefusedNamingTheOption) {
  TempDir src, out;
  src.Write("long.html", LongPage(40));
  const std::string pkg = out.File("kivmap.hpm");
  auto r = RunTool("kivpack", {"build", src.Path(), "-o", pkg});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("long.html; kivpack build --split cuts it into parts"), std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(pkg));
  EXPECT_NE(RunTool("kivpack", {"--help"}).out.find("--split"), std::string::npos);
}

TEST(KivpackSplit, PartsLinksAndTheAnchorMapWorkInTheHelpWindow) {
  TempDir src, out;
  src.Write("long.html", LongPage(80));
  src.Write("contents.html",
            "<html><head><title>Contents</title></head><body><a href=\"long.html#s70\">70</a> "
            "<a href=\"long.html#s1\">1</a> <a href=\"long.html#nowhere\">gone</a></body></html>");
  const std::string pkg = out.File("kivmap.hpm");
  auto r = RunTool("kivpack", {"build", src.Path(), "-o", pkg, "--split"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("moved anchor long.html#s70 -> long-3.html"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("moved anchor long.html#s1 "), std::string::npos);
  EXPECT_NE(r.err.find("contents.html: line 1: link to an anchor no part of long.html holds: "
                       "\"long.html#nowhere\""),
            std::string::npos)
      << r.err;

  auto contents = RunTool("kivpack", {"extract", pkg, "contents.html"});
  EXPECT_NE(contents.out.find("<a href=\"long-3.html#s70\">"), std::string::npos) << contents.out;
  EXPECT_NE(contents.out.find("<a href=\"long.html#s1\">"), std::string::npos);
  auto part = RunTool("kivpack", {"extract", pkg, "long-2.html"});
  EXPECT_NE(part.out.find("<a href=\"long.html#s0\">top</a>"), std::string::npos)
      << "in-page links of a part go to the part that holds the anchor";
  EXPECT_LE(part.out.size(), static_cast<std::size_t>(PageBufferSize));

  // Only the link to the anchor that no part holds is left broken.
  auto v = RunTool("kivpack", {"verify", pkg});
  EXPECT_NE(v.out.find("contents.html: broken anchor HREF \"long.html#nowhere\""),
            std::string::npos)
      << v.out;
  EXPECT_NE(v.out.find(", 1 problems"), std::string::npos) << v.out;

  // The help window opens the part holding an anchor asked for by the old name.
  SetExecutableDirForTesting(out.Path());
  testing::TakeMessageBoxes();
  {
    auto w = testing::ShownHelpWindow(pkg);
    w->ShowHelpPage("h", "long.html", true, "#s75");
    EXPECT_EQ(w->windowTitle().toStdString(), "Long (3/4)");
    EXPECT_GT(w->Viewer()->Document().ScrollY, 0);
    bool handled = false;
    w->ViewerHotSpotClick(w->Viewer(), "long.html#s40", handled);
    EXPECT_EQ(w->windowTitle().toStdString(), "Long (2/4)");
    w->ViewerHotSpotClick(w->Viewer(), "long-2.html", handled);
    EXPECT_EQ(w->windowTitle().toStdString(), "Long (2/4)");
  }
  SetExecutableDirForTesting("");
}

TEST(KivpackSplit, BadInputIsRefusedClearlyAndNothingIsWritten) {
  struct Case {
    std::string page, message;
  };
  const std::string row = "<tr><td>" + std::string(1000, 'c') + "</td></tr>\n";
  std::string table = "<table border=1>\n";
  while (table.size() < 200000) table += row;
  std::vector<Case> cases = {
      {std::string(10 * 1024 * 1024, 'x'), "text with no block boundary (line 1)"},
      {"<body><table><tr><td>\n" + std::string(200000, 'x') + "</td></tr></table>",
       "one table cell (line 1)"},
      {"<body><ul><li>\n" + std::string(200000, 'x') + "<li>b</ul>", "one list item (line 1)"},
  };
  for (const Case& c : cases) {
    TempDir src, out;
    src.Write("big.html", c.page);
    src.Write("small.html", "<p>small");
    const std::string pkg = out.File("kivmap.hpm");
    auto r = RunTool("kivpack", {"build", src.Path(), "-o", pkg, "--split"});
    EXPECT_EQ(r.exitCode, 1) << c.message;
    EXPECT_NE(r.err.find("big.html: page of " + std::to_string(c.page.size()) +
                         " bytes cannot be cut into parts of 128000: " + c.message),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("nothing was written"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(pkg));
  }

  // A page that is one table of many rows is cut between them.
  TempDir src, out;
  src.Write("table.html", "<body>" + table + "</table>");
  src.Write("kivmap.anchors", "mine");
  const std::string pkg = out.File("kivmap.hpm");
  auto r = RunTool("kivpack", {"build", src.Path(), "-o", pkg, "--split"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("name is reserved by the package index: kivmap.anchors"), std::string::npos)
      << r.err;
  std::filesystem::remove(src.File("kivmap.anchors"));
  src.Write("table-2.html", "<p>taken");
  r = RunTool("kivpack", {"build", src.Path(), "-o", pkg, "--split"});
  EXPECT_NE(r.err.find("table.html: cannot be cut into parts: the folder already holds "
                       "table-2.html"),
            std::string::npos)
      << r.err;
  std::filesystem::remove(src.File("table-2.html"));
  r = RunTool("kivpack", {"build", src.Path(), "-o", pkg, "--split"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(
      r.err.find("table.html: " + std::to_string(table.size() + 14) + " bytes cut into 2 parts"),
      std::string::npos)
      << r.err;
  auto second = RunTool("kivpack", {"extract", pkg, "table-2.html"});
  EXPECT_NE(second.out.find("</A></P>\r\n<table border=1><tr><td>"), std::string::npos);
  EXPECT_EQ(RunTool("kivpack", {"verify", pkg}).exitCode, 0);
}

}  // namespace
}  // namespace kiv
