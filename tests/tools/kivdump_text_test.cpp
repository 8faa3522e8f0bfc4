// kivdump text: the text Copy All of the help window copies, in UTF-8, from a
// page read as kivpack build packs it; and the previews' notes for a page
// that would be packed in parts.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include "run_tool.h"
#include "support/test_files.h"

namespace kiv {
namespace {

using testing::RunTool;
using testing::TempDir;

TEST(KivdumpText, APageReadsInItsOwnScript) {
  TempDir dir;
  // UTF-8, converted as packed: Windows-1251.
  const std::string utf8 = dir.Write(
      "ru.html",
      "<html><head><meta charset=\"utf-8\"><title>\xD0\x92\xD0\xBE\xD0\xBF\xD1\x80\xD0\xBE\xD1\x81"
      "</title></head><body><p>\xD0\xA7\xD1\x82\xD0\xBE \xD1\x82\xD0\xB0\xD0\xBA\xD0\xBE\xD0\xB5 "
      "Debian?</p></body></html>");
  auto r = RunTool("kivdump", {"text", utf8});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("\xD0\xA7\xD1\x82\xD0\xBE \xD1\x82\xD0\xB0\xD0\xBA\xD0\xBE\xD0\xB5 Debian?"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.err.find("converted from UTF-8 to windows-1251"), std::string::npos) << r.err;

  // Already in a code page, declared in the old way: read in it.
  const std::string cp1251 = dir.Write(
      "koi.html",
      "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
      "</head><body><p>\xDF \xE8 \xFF</p></body></html>");
  r = RunTool("kivdump", {"text", cp1251});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("\xD0\xAF \xD0\xB8 \xD1\x8F"), std::string::npos) << r.out;
}

TEST(KivdumpText, APageOverThePageBufferNamesThePartsItIsPackedAs) {
  TempDir dir;
  std::string body;
  int sections = 0;
  for (; body.size() < 200000; ++sections)
    body += "<h2>Section " + std::to_string(sections) + "</h2><p>" + std::string(900, 'w') +
            "</p>\n";
  const std::string page = dir.Write("guide.html", "<title>G</title><body>" + body);
  for (const char* command : {"text", "sections"}) {
    auto r = RunTool("kivdump", {command, page});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("kivdump " + std::string(command) + ": guide.html: " +
                         std::to_string(22 + body.size()) +
                         " bytes, over the 128000 a page may hold; kivpack build --split packs it "
                         "as 2 parts (shown whole here): guide.html ("),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("), guide-2.html ("), std::string::npos) << r.err;
  }
  // The whole page is laid out: its last section is there.
  EXPECT_NE(RunTool("kivdump", {"sections", page})
                .out.find("Section " + std::to_string(sections - 1)),
            std::string::npos);

  const std::string uncut = dir.Write("one.html", "<body><p>" + std::string(130000, 'x'));
  auto r = RunTool("kivdump", {"text", uncut});
  EXPECT_NE(r.err.find("one.html: 130009 bytes, over the 128000 a page may hold; kivpack build "
                       "refuses it, also with --split: text with no block boundary (line 1)"),
            std::string::npos)
      << r.err;
}

TEST(KivdumpPreview, APageInASubfolderTakesItsPicturesAsThePackageNamesThem) {
  TempDir src, out;
  QImage red(40, 40, QImage::Format_RGB32);
  red.fill(qRgb(255, 0, 0));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  red.save(&buffer, "PNG");
  src.Write("html/images/dot.png", png.toStdString());
  const std::string page =
      src.Write("html/page.html", "<body bgcolor=white><p><img src=\"images/dot.png\"></p>");
  src.Write("index.html", "<a href=\"html/page.html\">page</a>");
  const std::string pkg = out.File("kivmap.hpm");
  ASSERT_EQ(RunTool("kivpack", {"build", src.Path(), "-o", pkg}).exitCode, 0);
  const std::string shot = out.File("page.png");
  const auto r = RunTool("kivdump", {"render", page, "--package", pkg, "--out", shot, "--width",
                                     "200", "--height", "100"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  QImage painted(QString::fromStdString(shot));
  ASSERT_FALSE(painted.isNull());
  int reds = 0;
  for (int y = 0; y < painted.height(); ++y)
    for (int x = 0; x < painted.width(); ++x) reds += painted.pixel(x, y) == qRgb(255, 0, 0);
  EXPECT_GE(reds, 30 * 30) << "the converted picture, images/dot.png in html/, is shown";
}

}  // namespace
}  // namespace kiv
