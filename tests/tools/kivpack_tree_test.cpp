// A small help tree written as help authors write today (UTF-8 pages in four
// scripts, PNG and SVG pictures, a name already ending ".png.gif") packed by
// kivpack and read back through the help window itself: every page in its
// script, every picture supplied, every converted picture's reference renamed.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include "app/app_test_support.h"
#include "app/page_image_supply.h"
#include "imaging/read_stream.h"
#include "kivpack/gif_writer.h"
#include "platform/code_page.h"
#include "platform/paths.h"
#include "run_tool.h"
#include "support/test_files.h"
#include "viewer/html_viewer.h"

namespace kiv {
namespace {

using testing::RunTool;
using testing::TempDir;

std::string Png(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

std::string Page(const std::string& title, const std::string& body) {
  return "<html><head><meta charset=\"utf-8\"><title>" + title + "</title></head><body>" + body +
         "</body></html>";
}

class KivpackTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QImage palette(16, 16, QImage::Format_ARGB32);
    palette.fill(qRgba(0, 0, 0, 0));
    palette.setPixel(3, 3, qRgb(200, 0, 0));
    QImage photo(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) photo.setPixel(x, y, qRgb(x * 4, y * 4, (x * y) & 255));
    src.Write(
        "contents.html",
        Page("\xD0\xA1\xD0\xBE\xD0\xB4\xD0\xB5\xD1\x80\xD0\xB6\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB5",
             "<p>\xD0\xAF \xD0\xB8 \xD1\x8F\xE2\x80\x8B</p><img src=\"images/prev.png\">"
             "<img src=\"images/photo.png\"><img src=images/prev.png.gif>"
             "<a href=\"greek.html\">\xD0\x93</a>"));
    src.Write(
        "greek.html",
        "<html><head><meta charset=\"utf-8\"><title>\xCE\x91</title></head>"
        "<body background=\"images/diagram.svg\"><p>\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1</p>"
        "</body></html>");
    src.Write("polish.html", Page("P", "<p>\xC5\x81\xC3\xB3\x64\xC5\xBA</p>"));
    src.Write("images/prev.png", Png(palette));
    src.Write("images/photo.png", Png(photo));
    // Already a GIF of that name: the converted prev.png must not take it.
    GifPicture dot;
    dot.width = dot.height = 1;
    dot.palette = {0x0000FF};
    dot.pixels = {0};
    src.Write("images/prev.png.gif", EncodeGif(dot));
    src.Write("images/diagram.svg",
              "<svg xmlns='http://www.w3.org/2000/svg' width='30' height='20'>"
              "<rect width='30' height='20' fill='#00ff00'/></svg>");
  }
  std::string Pkg() const { return out.File("kivmap.hpm"); }
  std::string Extract(const std::string& name) {
    return RunTool("kivpack", {"extract", Pkg(), name}).out;
  }
  TempDir src;
  TempDir out;
};

TEST_F(KivpackTreeTest, PagesReadInTheirScriptAndPicturesShowInTheHelpWindow) {
  const auto built = RunTool("kivpack", {"build", src.Path(), "-o", Pkg()});
  ASSERT_EQ(built.exitCode, 0) << built.err;
  EXPECT_NE(built.err.find("contents.html: converted from UTF-8 to windows-1251, 1 invisible"),
            std::string::npos)
      << built.err;
  EXPECT_NE(built.err.find("images/prev.png: converted to GIF as images/prev.png-2.gif"),
            std::string::npos)
      << built.err;
  EXPECT_NE(built.err.find("images/photo.png: converted to a 24-bit bitmap over white as "
                           "images/photo.png.bmp"),
            std::string::npos)
      << built.err;
  const std::string contents = Extract("contents.html");
  EXPECT_NE(contents.find("src=\"images/prev.png-2.gif\""), std::string::npos) << contents;
  EXPECT_NE(contents.find("src=\"images/photo.png.bmp\""), std::string::npos);
  EXPECT_NE(contents.find("src=images/prev.png.gif>"), std::string::npos);
  EXPECT_NE(Extract("greek.html").find("background=\"images/diagram.svg.gif\""), std::string::npos);
  const auto verified = RunTool("kivpack", {"verify", Pkg()});
  EXPECT_EQ(verified.exitCode, 0) << verified.out;

  testing::PrivateRuntimeDir runtime;
  auto window = testing::ShownHelpWindow(Pkg());
  THTMLViewer& viewer = *window->Viewer();
  // The contents page: caption and Copy All in Cyrillic.
  EXPECT_EQ(viewer.TextCodePage(), CodePage::Windows1251);
  EXPECT_EQ(window->windowTitle().toStdString(),
            "\xD0\xA1\xD0\xBE\xD0\xB4\xD0\xB5\xD1\x80\xD0\xB6\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB5");
  viewer.SelectAllText();
  viewer.CopySelection();
  EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(
      QString::fromUtf8("\xD0\xAF \xD0\xB8 \xD1\x8F")))
      << QGuiApplication::clipboard()->text().toStdString();
  EXPECT_EQ(viewer.FindText(0, "\xFF", false), viewer.FindText(0, "\xDF", true));  // я finds Я
  window->ShowHelpPage("h", "greek.html", true, "");
  EXPECT_EQ(viewer.TextCodePage(), CodePage::Windows1253);
  window->ShowHelpPage("h", "polish.html", true, "");
  EXPECT_EQ(viewer.TextCodePage(), CodePage::Windows1250);

  // Every picture the pages name comes through the window's own supply.
  FileReadStream stream(NativePath(Pkg()));
  const std::string jpeg = out.File("temp.jpg");
  for (const char* name : {"images/prev.png-2.gif", "images/photo.png.bmp", "images/prev.png.gif",
                           "images/diagram.svg.gif"}) {
    auto bitmap = SupplyPageImage(Pkg(), stream, "h", name, jpeg);
    ASSERT_TRUE(bitmap) << name;
    EXPECT_GT(bitmap->Width(), 0) << name;
  }
  EXPECT_FALSE(SupplyPageImage(Pkg(), stream, "h", "images/prev.png", jpeg));
}

TEST_F(KivpackTreeTest, ADamagedPictureIsRefusedByNameAndNothingIsWritten) {
  src.Write("images/broken.png", "\x89PNG\r\n\x1A\n broken");
  const auto built = RunTool("kivpack", {"build", src.Path(), "-o", Pkg()});
  EXPECT_NE(built.exitCode, 0);
  EXPECT_NE(built.err.find("images/broken.png: "), std::string::npos) << built.err;
  EXPECT_NE(built.err.find("nothing was written"), std::string::npos);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Pkg())));
}

TEST_F(KivpackTreeTest, AnSvgWithTextIsDrawnWithItsFonts) {
  // Text in an SVG needs the toolkit's fonts (diagrams in real manuals carry
  // labels); the packer must not stop for it.
  src.Write("images/diagram.svg",
            "<svg xmlns='http://www.w3.org/2000/svg' width='120' height='30'>"
            "<rect width='120' height='30' fill='white'/>"
            "<text x='4' y='22' font-family='sans-serif' font-size='20'>Label</text></svg>");
  const auto built = RunTool("kivpack", {"build", src.Path(), "-o", Pkg()});
  ASSERT_EQ(built.exitCode, 0) << built.err;
  EXPECT_NE(built.err.find("images/diagram.svg: converted to GIF as images/diagram.svg.gif"),
            std::string::npos)
      << built.err;
  const std::string gif = Extract("images/diagram.svg.gif");
  QImage drawn;
  ASSERT_TRUE(drawn.loadFromData(QByteArray::fromStdString(gif), "GIF"));
  EXPECT_EQ(drawn.size(), QSize(120, 30));
  int dark = 0;
  for (int y = 0; y < drawn.height(); ++y)
    for (int x = 0; x < drawn.width(); ++x) dark += qGray(drawn.pixel(x, y)) < 128;
  EXPECT_GT(dark, 20) << "the label is drawn";

  // A packer needs no display, whatever platform the environment names.
  const auto headless = RunTool("kivpack", {"build", src.Path(), "-o", Pkg()},
                                {"QT_QPA_PLATFORM=xcb", "DISPLAY", "WAYLAND_DISPLAY"});
  EXPECT_EQ(headless.exitCode, 0) << headless.err;
  EXPECT_EQ(Extract("images/diagram.svg.gif"), gif);
}

}  // namespace
}  // namespace kiv
