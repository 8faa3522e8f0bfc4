// kivpack as a help author uses it: build, list, lookup, extract, verify.
#include <QFile>
#include <map>
#include <gtest/gtest.h>

#include <sstream>

#include "app/help_package.h"
#include "run_tool.h"
#include "support/test_files.h"

namespace kiv {
namespace {

using testing::ReadFile;
using testing::RunTool;
using testing::TempDir;

std::string Binary(int seed, int size) {
  std::string s;
  for (int i = 0; i < size; ++i) s += static_cast<char>((seed * 131 + i * 17) & 0xFF);
  return s;
}

class KivpackTest : public ::testing::Test {
 protected:
  std::string Pkg() const { return out.File("kivmap.hpm"); }
  testing::ToolResult Build() { return RunTool("kivpack", {"build", src.Path(), "-o", Pkg()}); }
  TempDir src;
  TempDir out;
};

TEST_F(KivpackTest, EveryFileRoundTripsByteForByte) {
  std::map<std::string, std::string> files = {
      {"contents.html", "<h1>Contents</h1>\r\n<a href=\"sub/Page.html#x\">x</a>"},
      {"sub/Page.html", "<p>page\r\n"},
      {"images/logo.gif", Binary(1, 3000)},
      {"images/photo.jpg", Binary(2, 200000)},  // images may exceed the page limit
      {"empty.txt", ""},
  };
  for (const auto& [name, bytes] : files) src.Write(name, bytes);
  auto built = Build();
  ASSERT_EQ(built.exitCode, 0) << built.err;

  auto listed = RunTool("kivpack", {"list", Pkg()});
  ASSERT_EQ(listed.exitCode, 0);
  std::istringstream lines(listed.out);
  std::string name;
  std::int32_t start, end;
  int count = 0;
  while (lines >> name >> start >> end) {
    ++count;
    ASSERT_TRUE(files.count(name)) << name;
    EXPECT_EQ(end - start, static_cast<std::int32_t>(files[name].size())) << name;
    auto extracted = RunTool("kivpack", {"extract", Pkg(), name});
    EXPECT_EQ(extracted.exitCode, 0);
    EXPECT_EQ(extracted.out, files[name]) << name;
  }
  EXPECT_EQ(count, static_cast<int>(files.size()));

  // The viewer's own page loading reads the same bytes, by any letter case.
  THelpPackage package(Pkg());
  package.LoadPage("SUB/page.HTML");
  EXPECT_EQ(std::string(package.PageBuffer(), package.PageLength()), files["sub/Page.html"]);

  auto toFile = RunTool("kivpack", {"extract", Pkg(), "images/logo.gif", "-o", out.File("l.gif")});
  EXPECT_EQ(toFile.exitCode, 0);
  EXPECT_EQ(ReadFile(out.File("l.gif")), files["images/logo.gif"]);

  auto verified = RunTool("kivpack", {"verify", Pkg()});
  EXPECT_EQ(verified.exitCode, 0) << verified.out;
}

TEST_F(KivpackTest, LookupPrintsExactlyWhatTheViewerFinds) {
  // A hand-written index with a base, a missing field and a last line.
  std::string pkg = out.Write("hand.hpm",
                              "START,100\r\ncontents.html,0\r\nintro.html,5000\r\n******\r\n");
  for (const char* name : {"Contents.HTML", "intro.html", "missing.html", "START"}) {
    std::int32_t s = 0, e = 0;
    FindPackageEntry(pkg, name, s, e);
    auto r = RunTool("kivpack", {"lookup", pkg, name});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, std::to_string(s) + " " + std::to_string(e) + "\n") << name;
  }
  EXPECT_EQ(RunTool("kivpack", {"lookup", pkg, "Contents.HTML"}).out, "100 5100\n");
  EXPECT_EQ(RunTool("kivpack", {"lookup", pkg, "intro.html"}).out, "5100 128100\n");
  EXPECT_EQ(RunTool("kivpack", {"lookup", pkg, "nope"}).out, "-1 128000\n");
}

TEST_F(KivpackTest, BuildRefusesWhatThePackageCannotHold) {
  // Empty folder.
  auto empty = Build();
  EXPECT_NE(empty.exitCode, 0);
  EXPECT_NE(empty.err.find("no files"), std::string::npos);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Pkg())));

  // A page over 128000 bytes.
  src.Write("big.html", std::string(128001, 'a'));
  auto big = Build();
  EXPECT_NE(big.exitCode, 0);
  EXPECT_NE(big.err.find("big.html"), std::string::npos);
  src.Write("big.html", std::string(128000, 'a'));  // exactly the limit is fine
  EXPECT_EQ(Build().exitCode, 0);

  // A comma in a name.
  TempDir comma;
  comma.Write("a,b.html", "x");
  auto c = RunTool("kivpack", {"build", comma.Path(), "-o", out.File("c.hpm")});
  EXPECT_NE(c.exitCode, 0);
  EXPECT_NE(c.err.find("comma"), std::string::npos);

  // A line end in a name.
  TempDir newline;
  newline.Write("a\nb.html", "x");
  EXPECT_NE(RunTool("kivpack", {"build", newline.Path(), "-o", out.File("n.hpm")}).exitCode, 0);

  // Two names equal ignoring case, which the index cannot tell apart: the
  // second gets a name of its own and both are packed.
  TempDir twins;
  twins.Write("Page.html", "1");
  twins.Write("page.HTML", "2");
  auto t = RunTool("kivpack", {"build", twins.Path(), "-o", out.File("t.hpm")});
  EXPECT_EQ(t.exitCode, 0) << t.err;
  EXPECT_NE(t.err.find("Page.html and page.HTML differ only in case, which the help window does "
                       "not tell apart: page.HTML is packed as page_2.HTML"),
            std::string::npos)
      << t.err;
  EXPECT_EQ(RunTool("kivpack", {"extract", out.File("t.hpm"), "Page.html"}).out, "1");
  EXPECT_EQ(RunTool("kivpack", {"extract", out.File("t.hpm"), "page_2.HTML"}).out, "2");

  // A name the index would read as its START line.
  TempDir reserved;
  reserved.Write("start", "x");
  EXPECT_NE(RunTool("kivpack", {"build", reserved.Path(), "-o", out.File("r.hpm")}).exitCode, 0);

  // Not a folder at all.
  EXPECT_NE(RunTool("kivpack", {"build", out.File("none"), "-o", out.File("x.hpm")}).exitCode, 0);
}

TEST_F(KivpackTest, VerifyReportsBrokenRanges) {
  std::string pkg = out.Write("bad.hpm",
                              "START,0\r\na.html,40\r\nb.html,30\r\nc.gif,45\r\n******,9999\r\n"
                              "0123456789");
  auto r = RunTool("kivpack", {"verify", pkg});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("a.html: bad range 40 to 30"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("c.gif: runs past the end"), std::string::npos) << r.out;
  EXPECT_EQ(RunTool("kivpack", {"list", out.File("none.hpm")}).exitCode, 1);
  EXPECT_EQ(RunTool("kivpack", {"frobnicate"}).exitCode, 2);
}

}  // namespace
}  // namespace kiv
