#include "app/help_package.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/file_error.h"
#include "support/test_files.h"

namespace kiv {
namespace {

using testing::TempDir;

struct Range {
  std::int32_t start, end;
  friend bool operator==(const Range&, const Range&) = default;
  friend std::ostream& operator<<(std::ostream& o, const Range& r) {
    return o << r.start << ".." << r.end;
  }
};

Range Lookup(const std::string& pkg, const std::string& name) {
  Range r{0, 0};
  FindPackageEntry(pkg, name, r.start, r.end);
  return r;
}

std::string Page(const THelpPackage& p) { return std::string(p.PageBuffer(), p.PageLength()); }

TEST(FindPackageEntryTest, BaseAndNextLineGiveTheRange) {
  TempDir dir;
  std::string pkg =
      dir.Write("kivmap.hpm", "START,100\r\ncontents.html,0\r\nintro.html,5000\r\n******\r\n");
  EXPECT_EQ(Lookup(pkg, "Contents.HTML"), (Range{100, 5100}));
  EXPECT_EQ(Lookup(pkg, "intro.html"), (Range{5100, 100 + 128000}));
  EXPECT_EQ(Lookup(pkg, "missing.html"), (Range{-1, 128000}));
}

TEST(FindPackageEntryTest, IndexLineRules) {
  TempDir dir;
  std::string pkg = dir.Write("kivmap.hpm",
                              "first.html,10\r\n"
                              " CONTENTS.HTML , 12 \r\n"
                              "bad.html,xyz\r\n"
                              "START,1000\r\n"
                              "after.html,5,extra,fields\r\n"
                              "dup.html,7\r\n"
                              "dup.html,9\r\n"
                              "START\r\n"
                              "zero.html,3\r\n"
                              "last.html,20");
  EXPECT_EQ(Lookup(pkg, "first.html"), (Range{10, 12}));  // before START: base 0
  EXPECT_EQ(Lookup(pkg, "contents.html"), (Range{12, 128000}));  // next field unreadable
  EXPECT_EQ(Lookup(pkg, "bad.html"), (Range{-1, 1000}));  // own field unreadable: base - 1
  EXPECT_EQ(Lookup(pkg, "after.html"), (Range{1005, 1007}));
  EXPECT_EQ(Lookup(pkg, "dup.html"), (Range{1007, 1009}));  // first match wins
  EXPECT_EQ(Lookup(pkg, "zero.html"), (Range{3, 20}));  // START without a number: base 0
  EXPECT_EQ(Lookup(pkg, "last.html"), (Range{20, 128000}));  // last line of the file
  EXPECT_EQ(Lookup(pkg, "start"), (Range{2000, 1005}));  // START is itself a candidate
}

TEST(FindPackageEntryTest, NameFieldRules) {
  TempDir dir;
  std::string pkg = dir.Write("kivmap.hpm",
                              "\tTab.html,1\r\n"
                              "   ,2\r\n"
                              "\xC9t\xE9.html,3\r\n"
                              "con,4\r\n"
                              "contents.html  ,5\r\n"
                              "******,9\r\n");
  EXPECT_EQ(Lookup(pkg, "tab.html"), (Range{-1, 128000}));  // only spaces are trimmed
  EXPECT_EQ(Lookup(pkg, "\tTAB.HTML"), (Range{1, 2}));
  EXPECT_EQ(Lookup(pkg, ""), (Range{2, 3}));  // a blank name field reads as empty
  EXPECT_EQ(Lookup(pkg, "\xC9T\xE9.HTML"), (Range{3, 4}));  // letters beyond ASCII as they are
  EXPECT_EQ(Lookup(pkg, "\xE9t\xE9.html"), (Range{-1, 128000}));
  EXPECT_EQ(Lookup(pkg, "CONTENTS.html"), (Range{5, 9}));  // not the shorter "con"
  EXPECT_EQ(Lookup(pkg, "contents.htm"), (Range{-1, 128000}));
}

TEST(FindPackageEntryTest, NothingAfterTheEndLineIsRead) {
  TempDir dir;
  std::string pkg = dir.Write("kivmap.hpm", "a.html,0\n******,4\nhidden.html,4\n");
  EXPECT_EQ(Lookup(pkg, "a.html"), (Range{0, 4}));  // LF-only lines are accepted
  EXPECT_EQ(Lookup(pkg, "hidden.html"), (Range{-1, 128000}));
}

TEST(FindPackageEntryTest, GarbageNeverFails) {
  TempDir dir;
  EXPECT_EQ(Lookup(dir.Write("empty.hpm", ""), "a"), (Range{-1, 128000}));
  std::string junk;
  for (unsigned i = 0; i < 300000; ++i) junk += static_cast<char>((i * 7919u) % 256u);
  EXPECT_EQ(Lookup(dir.Write("junk.hpm", junk), "a.html"), (Range{-1, 128000}));
  // A megabyte-long line, then a real entry.
  std::string longLine(1 << 20, 'x');
  std::string pkg = dir.Write("long.hpm", longLine + ",5\r\nreal.html,7\r\n******,9\r\n");
  EXPECT_EQ(Lookup(pkg, "real.html"), (Range{7, 9}));
  // Offsets that would overflow saturate instead of wrapping.
  pkg = dir.Write("big.hpm", "START,2147483647\r\nx.html,2147483647\r\n******,5\r\n");
  EXPECT_EQ(Lookup(pkg, "x.html"), (Range{2147483647, 2147483647}));
}

TEST(FindPackageEntryTest, MissingPackageRaisesInputOutputError) {
  TempDir dir;
  try {
    Lookup(dir.File("kivmap.hpm"), "a.html");
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(std::string(e.what()), "Can't locate file: " + dir.File("kivmap.hpm"));
  }
}

class LoadPageTest : public ::testing::Test {
 protected:
  // An index whose data starts at byte 64: a START line, the lines, padding.
  static std::string Index(const std::string& lines) {
    std::string index = "START,64\r\n" + lines;
    index.resize(64, ' ');
    return index;
  }
  std::string MakePackage(const std::string& index, const std::string& data) {
    return dir.Write("kivmap.hpm", index + data);
  }
  TempDir dir;
};

TEST_F(LoadPageTest, ReadsTheRangeAndDropsAnyPath) {
  std::string index = "START,40\r\na.html,0\r\nb.html,5\r\n******,12\r\n";
  index.resize(40, ' ');
  THelpPackage p(MakePackage(index, "HelloWorld!!"));
  p.LoadPage("a.html");
  EXPECT_EQ(Page(p), "Hello");
  EXPECT_EQ(p.ImageSource(), "");
  p.LoadPage("C:\\Help\\B.HTML");
  EXPECT_EQ(Page(p), "World!!");
}

TEST_F(LoadPageTest, UnknownNameKeepsThePreviousPage) {
  THelpPackage p(MakePackage(Index("a.html,0\r\n******,3\r\n"), "abc"));
  p.LoadPage("a.html");
  EXPECT_EQ(Page(p), "abc");
  p.LoadPage("missing.html");
  EXPECT_EQ(Page(p), "abc");
}

TEST_F(LoadPageTest, RangePastTheEndGivesWhatWasRead) {
  THelpPackage p(MakePackage(Index("a.html,0\r\n******,500\r\n"), "abc"));
  p.LoadPage("a.html");
  EXPECT_EQ(Page(p), "abc");
  THelpPackage q(MakePackage(Index("a.html,9999\r\n******,10005\r\n"), "abc"));
  q.LoadPage("a.html");
  EXPECT_EQ(q.PageLength(), 0);
}

TEST_F(LoadPageTest, BadRangesAreRefusedAndKeepThePage) {
  THelpPackage p(MakePackage("a.html,40\r\nrev.html,45\r\nneg.html,-9\r\n******,41\r\n",
                             "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"));
  p.LoadPage("a.html");
  std::string before = Page(p);
  EXPECT_THROW(p.LoadPage("rev.html"), EInOutError);
  EXPECT_THROW(p.LoadPage("neg.html"), EInOutError);
  EXPECT_EQ(Page(p), before);
}

TEST_F(LoadPageTest, RangeLongerThanTheBufferReadsItsFirst128000Bytes) {
  std::string data(200000, 'q');
  data[127999] = 'E';
  data[128000] = 'X';
  THelpPackage p(MakePackage(Index("big.html,0\r\n******,200000\r\n"), data));
  p.LoadPage("big.html");
  ASSERT_EQ(p.PageLength(), 128000);
  EXPECT_EQ(p.PageBuffer()[127999], 'E');
}

TEST_F(LoadPageTest, StartupPageComesFromDisk) {
  THelpPackage p(MakePackage(Index("startup.html,0\r\n******,3\r\n"), "pkg"));
  std::string path = dir.Write("disk/STARTUP.HTML", "<p>from disk");
  p.LoadPage(dir.Path() + "\\Disk\\startup.html", true);
  EXPECT_EQ(Page(p), "<p>from disk");
  EXPECT_EQ(p.ImageSource(), "startup");
  p.LoadPage("x.html");  // not in the package: nothing changes, but the origin is reset
  EXPECT_EQ(p.ImageSource(), "");
  EXPECT_THROW(p.LoadPage(dir.Path() + "/none/startup.html", true), EInOutError);
  EXPECT_EQ(Page(p), "<p>from disk");
  // Not a show request (a link): the package's entry, never the disk.
  p.LoadPage(dir.Path() + "\\Disk\\startup.html");
  EXPECT_EQ(Page(p), "pkg");
  EXPECT_EQ(p.ImageSource(), "");
}

TEST_F(LoadPageTest, BufferIsExactly128000Bytes) {
  EXPECT_EQ(PageBufferSize, 128000);
  THelpPackage p(dir.File("kivmap.hpm"));
  EXPECT_EQ(p.PageLength(), 0);
  EXPECT_THROW(p.LoadPage("a.html"), EInOutError);
}

}  // namespace
}  // namespace kiv
