// Pictures converted for the viewer, read back with the viewer's own GIF
// decoder: palette pictures and their transparency as GIF, true colour and
// partial transparency as a bitmap over white, SVG at its declared size with
// nothing outside it fetched, and damaged or oversized pictures refused.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <random>

#include "imaging/gif_image.h"
#include "imaging/read_stream.h"
#include "kivpack/gif_writer.h"
#include "kivpack/picture_conversion.h"

namespace kiv {
namespace {

QByteArray Png(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

// The CRC-32 that closes a PNG chunk.
std::uint32_t Crc32(const QByteArray& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc ^ 0xFFFFFFFFu;
}

struct DecodedGif {
  int width = 0, height = 0;
  std::vector<std::uint8_t> indices;
  std::vector<TColor> palette;
  bool transparent = false;
  int transparentIndex = -1;
};

DecodedGif DecodeGif(const std::string& bytes) {
  MemoryReadStream stream(bytes);
  TGIFImage gif;
  gif.LoadFromStream(stream);
  DecodedGif d;
  d.width = gif.Width();
  d.height = gif.Height();
  if (gif.FrameCount() > 0) {
    TGIFSubImage& frame = gif.Frame(0);
    d.indices = frame.PixelIndices;
    d.palette = gif.ImagePalette();
    d.transparent = frame.IsTransparent;
    if (frame.FrameGce) d.transparentIndex = frame.FrameGce->TransparentColorIndex;
  }
  return d;
}

TEST(GifWriterTest, EveryPixelComesBackThroughTheViewersDecoder) {
  // Noise over 200 colours makes the string table fill and restart many
  // times; a two-colour picture uses the smallest code size.
  for (int colours : {2, 5, 200, 256}) {
    GifPicture picture;
    picture.width = 173;
    picture.height = 91;
    for (int i = 0; i < colours; ++i)
      picture.palette.push_back(static_cast<std::uint32_t>(i * 65793));
    std::mt19937 random(colours);
    for (int i = 0; i < picture.width * picture.height; ++i)
      picture.pixels.push_back(static_cast<std::uint8_t>(random() % colours));
    const std::string file = EncodeGif(picture);
    ASSERT_FALSE(file.empty());
    const DecodedGif back = DecodeGif(file);
    EXPECT_EQ(back.width, 173);
    EXPECT_EQ(back.height, 91);
    EXPECT_EQ(back.indices, picture.pixels) << colours << " colours";
  }
  GifPicture bad;
  bad.width = 2;
  bad.height = 1;
  bad.palette = {0, 1};
  bad.pixels = {0, 2};  // an index past the palette
  EXPECT_TRUE(EncodeGif(bad).empty());
  bad.pixels = {0};
  EXPECT_TRUE(EncodeGif(bad).empty());
}

TEST(PictureConversionTest, FewColoursBecomeAGifAndKeepTheirTransparency) {
  QImage image(30, 20, QImage::Format_ARGB32);
  image.fill(qRgba(0, 0, 0, 0));
  for (int x = 0; x < 10; ++x) image.setPixel(x, 5, qRgb(255, 0, 0));
  for (int x = 10; x < 20; ++x) image.setPixel(x, 6, qRgb(0, 0, 255));
  const PictureConversion r = ConvertPicture("images/prev.png", Png(image));
  ASSERT_TRUE(r.gif) << r.error;
  const DecodedGif back = DecodeGif(r.bytes);
  ASSERT_EQ(back.width, 30);
  ASSERT_TRUE(back.transparent);
  const int clear = back.indices[0];
  EXPECT_EQ(clear, back.transparentIndex);
  EXPECT_EQ(back.palette[back.indices[5 * 30 + 3]], RGB(255, 0, 0));
  EXPECT_EQ(back.palette[back.indices[6 * 30 + 12]], RGB(0, 0, 255));
  EXPECT_EQ(back.indices[19 * 30 + 29], clear);
}

TEST(PictureConversionTest, TrueColourAndPartialTransparencyBecomeABitmapOverWhite) {
  QImage image(20, 20, QImage::Format_ARGB32);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) image.setPixel(x, y, qRgba(x * 12, y * 12, 77, 255));
  image.setPixel(0, 0, qRgba(0, 0, 0, 0));    // fully transparent: white
  image.setPixel(1, 0, qRgba(0, 0, 0, 128));  // half: grey over white
  const PictureConversion r = ConvertPicture("photo.webp.png", Png(image));
  ASSERT_FALSE(r.bytes.empty()) << r.error;
  EXPECT_FALSE(r.gif);
  ASSERT_EQ(r.bytes.substr(0, 2), "BM");
  QImage back;
  ASSERT_TRUE(
      back.loadFromData(QByteArray(r.bytes.data(), static_cast<qsizetype>(r.bytes.size())), "BMP"));
  EXPECT_EQ(back.depth(), 32);  // read into 32 bits from the 24-bit file
  EXPECT_EQ(back.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_NEAR(qRed(back.pixel(1, 0)), 127, 2);
  EXPECT_EQ(back.pixel(19, 7) & 0xFFFFFF, static_cast<unsigned>(qRgb(228, 84, 77)) & 0xFFFFFF);
  EXPECT_EQ(static_cast<unsigned char>(r.bytes[28]), 24);  // bits per pixel
}

TEST(PictureConversionTest, SvgRendersAtItsSizeWithoutScriptsOrOutsideFiles) {
  QTemporaryDir dir;
  QImage red(8, 8, QImage::Format_RGB32);
  red.fill(qRgb(255, 0, 0));
  ASSERT_TRUE(red.save(dir.filePath("red.png")));
  const std::string outside = dir.filePath("red.png").toStdString();
  const std::string svg =
      "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
      "width='40' height='24' onload='alert(1)'>"
      "<script>document.write('x')</script>"
      "<rect x='0' y='0' width='20' height='24' fill='#0000ff'/>"
      "<image x='20' y='0' width='20' height='24' xlink:href='file://" +
      outside +
      "'/>"
      "<image x='20' y='0' width='20' height='24' href='" +
      outside + "'/></svg>";
  const PictureConversion r = ConvertPicture("diagram.svg", QByteArray::fromStdString(svg));
  ASSERT_TRUE(r.gif) << r.error;
  const DecodedGif back = DecodeGif(r.bytes);
  EXPECT_EQ(back.width, 40);
  EXPECT_EQ(back.height, 24);
  EXPECT_EQ(back.palette[back.indices[5 * 40 + 5]], RGB(0, 0, 255));
  // Where the outside picture would be: transparent, never red.
  const int right = back.indices[5 * 40 + 30];
  EXPECT_TRUE(back.transparent && right == back.transparentIndex);

  const PictureConversion big = ConvertPicture(
      "huge.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='5000' height='10'/>");
  EXPECT_TRUE(big.bytes.empty());
  EXPECT_NE(big.error.find("5000 x 10, over the 2000 x 2000 limit"), std::string::npos);
}

TEST(PictureConversionTest, DamagedAndOversizedPicturesAreRefused) {
  QByteArray png = Png(QImage(4, 4, QImage::Format_RGB32));
  png.truncate(png.size() / 2);
  const PictureConversion cut = ConvertPicture("cut.png", png);
  EXPECT_TRUE(cut.bytes.empty());
  EXPECT_FALSE(cut.error.empty());
  EXPECT_TRUE(ConvertPicture("junk.png", "not a picture at all").bytes.empty());
  // 20000 x 20000 is refused from the header alone, without decoding it.
  QByteArray header = Png(QImage(1, 1, QImage::Format_RGB32));
  for (int at : {16, 20}) {  // the width and height of the IHDR chunk
    header[at] = 0;
    header[at + 1] = 0;
    header[at + 2] = static_cast<char>(0x4E);
    header[at + 3] = static_cast<char>(0x20);
  }
  const std::uint32_t crc = Crc32(header.mid(12, 17));  // the chunk's type and data
  for (int i = 0; i < 4; ++i) header[29 + i] = static_cast<char>((crc >> (24 - 8 * i)) & 0xFF);
  const PictureConversion huge = ConvertPicture("huge.png", header);
  EXPECT_TRUE(huge.bytes.empty());
  EXPECT_NE(huge.error.find("20000 x 20000, over the 2000 x 2000 limit"), std::string::npos)
      << huge.error;
}

}  // namespace
}  // namespace kiv
