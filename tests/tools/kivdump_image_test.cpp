// kivdump image on GIF, JPEG and BMP files.
#include <QCryptographicHash>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "imaging/gif_writer.h"
#include "imaging/jpeg_writer.h"
#include "run_tool.h"
#include "support/test_files.h"

namespace kiv {
namespace {

using namespace kiv::testing;

QJsonObject Json(const ToolResult& r) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
}

std::string Sha256(const std::string& bytes) {
  return QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256)
      .toHex()
      .toStdString();
}

TEST(KivdumpImage, DescribesAGifByItsIndicesAndPalette) {
  TempDir dir;
  GifFrame f;
  f.width = 5;
  f.height = 3;
  f.minCodeSize = 2;
  f.pixels = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2};
  const std::string gif = SimpleGif(f, {clRed, clLime, clBlue, clWhite});
  const std::string path = dir.Write("pic.gif", gif);
  const std::string png = dir.File("pic.png");
  ToolResult r = RunTool("kivdump", {"image", path, "--png", png});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  QJsonObject o = Json(r);
  EXPECT_EQ(o["width"].toInt(), 5);
  EXPECT_EQ(o["height"].toInt(), 3);
  EXPECT_EQ(o["bits"].toInt(), 8);
  QJsonArray palette = o["palette"].toArray();
  ASSERT_GE(palette.size(), 4);
  EXPECT_EQ(palette[1].toArray(), (QJsonArray{0, 255, 0}));
  EXPECT_EQ(palette[2].toArray(), (QJsonArray{0, 0, 255}));
  EXPECT_EQ(o["colors"].toInt(), palette.size());
  std::string indices(f.pixels.begin(), f.pixels.end());
  EXPECT_EQ(o["pixels_sha256"].toString().toStdString(), Sha256(indices));
  QImage written(QString::fromStdString(png));
  ASSERT_FALSE(written.isNull());
  EXPECT_EQ(written.pixel(2, 0), qRgb(0, 0, 255));

  // The same picture behind 4 bytes of other data, with no extension.
  const std::string prefixed = dir.Write("prefixed", "abcd" + gif);
  ToolResult p = RunTool("kivdump", {"image", prefixed});
  ASSERT_EQ(p.exitCode, 0) << p.out;
  EXPECT_EQ(Json(p)["pixels_sha256"], o["pixels_sha256"]);
}

TEST(KivdumpImage, DescribesJpegAndBmpFiles) {
  TempDir dir;
  const std::string jpg = dir.File("photo.jpg");
  ASSERT_TRUE(WriteJpeg(jpg, 30, 20, false, PhotoPixel));
  ToolResult j = RunTool("kivdump", {"image", jpg});
  ASSERT_EQ(j.exitCode, 0) << j.err;
  QJsonObject jo = Json(j);
  EXPECT_EQ(jo["width"].toInt(), 30);
  EXPECT_EQ(jo["bits"].toInt(), 8);
  EXPECT_EQ(jo["palette"].toArray().size(), 256);

  QImage image(4, 2, QImage::Format_RGB32);
  image.fill(qRgb(10, 20, 30));
  image.setPixel(3, 1, qRgb(200, 100, 50));
  const std::string bmp = dir.File("true.bmp");
  ASSERT_TRUE(image.save(QString::fromStdString(bmp), "BMP"));
  ToolResult b = RunTool("kivdump", {"image", bmp});
  ASSERT_EQ(b.exitCode, 0) << b.err;
  QJsonObject bo = Json(b);
  EXPECT_EQ(bo["bits"].toInt(), 24);
  std::string rgb;
  for (int i = 0; i < 7; ++i) rgb += std::string{10, 20, 30};
  rgb += std::string{static_cast<char>(200), 100, 50};
  EXPECT_EQ(bo["pixels_sha256"].toString().toStdString(), Sha256(rgb));
}

TEST(KivdumpImage, ReportsFailuresAsJson) {
  TempDir dir;
  ToolResult bad = RunTool("kivdump", {"image", dir.Write("bad.gif", "GIX89a and more bytes")});
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_EQ(Json(bad)["error"].toString(), "Invalid GIF signature");
  ToolResult missing = RunTool("kivdump", {"image", dir.File("none.gif")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(Json(missing)["error"].toString().startsWith("Can't locate file: "));
  ToolResult jpeg = RunTool("kivdump", {"image", dir.Write("bad.jpg", "\xFF\xD8garbage")});
  EXPECT_EQ(jpeg.exitCode, 1);
  EXPECT_FALSE(Json(jpeg)["error"].toString().isEmpty());
}

}  // namespace
}  // namespace kiv
