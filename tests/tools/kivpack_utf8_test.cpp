// kivpack and pages written in UTF-8: converted when every character has a
// Windows-1252 byte, refused with the place of the first problems otherwise,
// and reported by verify when a package holds them unconverted.
#include <gtest/gtest.h>
#include <QFile>

#include "run_tool.h"
#include "support/test_files.h"

namespace kiv {
namespace {

using testing::RunTool;
using testing::TempDir;

const std::string kBom = "\xEF\xBB\xBF";

class KivpackUtf8Test : public ::testing::Test {
 protected:
  std::string Pkg() const { return out.File("kivmap.hpm"); }
  testing::ToolResult Build() { return RunTool("kivpack", {"build", src.Path(), "-o", Pkg()}); }
  std::string Extract(const std::string& name) {
    return RunTool("kivpack", {"extract", Pkg(), name}).out;
  }
  TempDir src;
  TempDir out;
};

TEST_F(KivpackUtf8Test, PagesWrittenInUtf8AreConvertedOthersKeptAsTheyAre) {
  // By byte-order mark: the mark goes, "Â" never appears before the space.
  src.Write("bom.html", kBom + "<P>caf\xC3\xA9\xC2\xA0\xE2\x82\xAC 5</P>");
  // By declaration, which then names what the page holds.
  src.Write("declared.html",
            "<HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; Charset=UTF-8\">"
            "</HEAD><P>charset=utf-8 in the text stays</P>");
  // By valid multi-byte sequences alone.
  src.Write("plain.html", "<P>\xE2\x80\x9Cquoted\xE2\x80\x9D na\xC3\xAFve</P>");
  // Windows-1252 already: bytes that are no UTF-8, kept even when declared.
  src.Write("ansi.html", "<P>caf\xE9 \x80 5</P>");
  src.Write("misdeclared.html", "<META CHARSET=\"utf-8\"><P>caf\xE9</P>");
  // Not pages: pictures keep every byte.
  src.Write("images/pic.gif", kBom + "\xC3\xA9");
  // A UTF-8 page over the limit that fits once converted.
  std::string big = "<P>";
  while (big.size() < 130000) big += "\xC3\xA9";
  src.Write("big.html", big);

  auto built = Build();
  ASSERT_EQ(built.exitCode, 0) << built.err;
  EXPECT_EQ(Extract("bom.html"), "<P>caf\xE9\xA0\x80 5</P>");
  EXPECT_EQ(Extract("declared.html"),
            "<HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; Charset=windows-1252\">"
            "</HEAD><P>charset=utf-8 in the text stays</P>");
  EXPECT_EQ(Extract("plain.html"), "<P>\x93quoted\x94 na\xEFve</P>");
  EXPECT_EQ(Extract("ansi.html"), "<P>caf\xE9 \x80 5</P>");
  EXPECT_EQ(Extract("misdeclared.html"), "<META CHARSET=\"utf-8\"><P>caf\xE9</P>");
  EXPECT_EQ(Extract("images/pic.gif"), kBom + "\xC3\xA9");
  EXPECT_EQ(Extract("big.html").size(), 3 + (big.size() - 3) / 2);
  EXPECT_NE(built.err.find("bom.html: converted from UTF-8"), std::string::npos) << built.err;
  EXPECT_NE(built.err.find("misdeclared.html: declares UTF-8 but is not written in it"),
            std::string::npos)
      << built.err;
  EXPECT_EQ(built.err.find("ansi.html"), std::string::npos);

  auto verified = RunTool("kivpack", {"verify", Pkg()});
  EXPECT_EQ(verified.exitCode, 0) << verified.out;
}

TEST_F(KivpackUtf8Test, PagesThatCannotBeConvertedAreRefusedWithTheirPlace) {
  src.Write("ok.html", "<P>fine</P>");
  src.Write("check.html", "<P>line one\r\n  ab\xE2\x9C\x93 done \xF0\x9F\x98\x80</P>");
  auto r = Build();
  EXPECT_NE(r.exitCode, 0);
  EXPECT_NE(r.err.find("check.html: line 2, column 5: character U+2713 \"\xE2\x9C\x93\""),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("line 2, column 12: character U+1F600"), std::string::npos) << r.err;
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Pkg())));
}

TEST_F(KivpackUtf8Test, BadUtf8IsRefusedAndALoneMarkIsAnEmptyPage) {
  // Marked as UTF-8 but holding an overlong "/", a surrogate and a sequence
  // cut off at the end.
  src.Write("bad.html", kBom + "a\xC0\xAF\nb\xED\xA0\x80\nc\xE2\x82");
  auto bad = Build();
  EXPECT_NE(bad.exitCode, 0);
  EXPECT_NE(bad.err.find("bad.html: line 1, column 2: byte 0xC0 is not valid UTF-8"),
            std::string::npos)
      << bad.err;
  EXPECT_NE(bad.err.find("line 2, column 2: byte 0xED"), std::string::npos) << bad.err;
  EXPECT_NE(bad.err.find("line 3, column 2: byte 0xE2"), std::string::npos) << bad.err;
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Pkg())));

  TempDir lone;
  lone.Write("lone.html", kBom);
  ASSERT_EQ(RunTool("kivpack", {"build", lone.Path(), "-o", Pkg()}).exitCode, 0);
  EXPECT_EQ(RunTool("kivpack", {"lookup", Pkg(), "lone.html"}).out.substr(0, 2) != "-1", true);
  EXPECT_EQ(Extract("lone.html"), "");
}

TEST_F(KivpackUtf8Test, VerifyReportsPagesWhoseBytesLookLikeUtf8) {
  // Packed by hand, as an older packer would have: bytes as written.
  const std::string pages[] = {"<P>caf\xC3\xA9</P>", kBom + "<P>x</P>", "<P>caf\xE9</P>"};
  std::string index = "START,0000000000\r\nutf8.html,0\r\nbom.html,";
  index += std::to_string(pages[0].size()) + "\r\nansi.html," +
           std::to_string(pages[0].size() + pages[1].size()) + "\r\n******," +
           std::to_string(pages[0].size() + pages[1].size() + pages[2].size()) + "\r\n";
  std::string base = std::to_string(index.size());
  index.replace(16 - base.size(), base.size(), base);
  const std::string pkg = out.Write("old.hpm", index + pages[0] + pages[1] + pages[2]);

  auto r = RunTool("kivpack", {"verify", pkg});
  EXPECT_EQ(r.exitCode, 1) << r.out;
  EXPECT_NE(r.out.find("utf8.html: bytes look like UTF-8 (1 multi-byte"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("bom.html: bytes look like UTF-8 (a byte-order mark"), std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("ansi.html"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("3 entries, 2 problems"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace kiv
