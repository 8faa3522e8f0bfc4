// Pictures that are small on disk and huge once decoded: data that ends long
// before the declared size, JPEG files of very many scans, and the allowance
// the image cache gives each decode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/gif_test_support.h"
#include "imaging/jpeg_loader.h"
#include "imaging/jpeg_writer.h"
#include "support/test_files.h"

namespace kiv {
namespace {

using namespace kiv::testing;

// A w x h GIF (one frame covering the screen) with dataBytes of image data:
// a clear code, then code 0 again and again.
std::string BareGif(int w, int h, std::size_t dataBytes) {
  GifFrame f = MakeFrame(w, h, {}, 2);
  std::string data(dataBytes, '\0');
  if (!data.empty()) data[0] = 0x04;
  return GifHeader(w, h, DistinctPalette(4)) + FrameDescriptor(f) + static_cast<char>(2) +
         SubBlocks(data) + ";";
}

TEST(PictureBomb, GifDataEndingLongBeforeItsPictureIsRefused) {
  // 40 bytes claiming 8192 x 8192: no full-size empty picture.
  EXPECT_EQ(GifError(BareGif(8192, 8192, 3)), sGIFPrematureEnd);
  EXPECT_EQ(GifError(BareGif(4096, 4096, 200)), sGIFPrematureEnd);
  // Data that could hold the picture is decoded (what it lacks is fill).
  EXPECT_EQ(GifError(BareGif(512, 512, 20)), "");
  EXPECT_EQ(GifError(BareGif(64, 64, 1)), "");
}

TEST(PictureBomb, DecodersKeepToThePictureAllowance) {
  const std::string gif = BareGif(200, 100, 50);
  {
    PictureAllowanceScope allowance(200 * 100 - 1);
    EXPECT_EQ(GifError(gif), sGIFImageTooLarge);
    EXPECT_EQ(Bitmap::CreateIndexed(200, 100, {}), nullptr);
    EXPECT_EQ(Bitmap::CreateRgb(100, 50), nullptr) << "four bytes a pixel";
    EXPECT_NE(Bitmap::CreateRgb(70, 70), nullptr);
    {
      PictureAllowanceScope wider(1 << 30);  // a scope never widens the one around it
      EXPECT_EQ(PictureByteAllowance(), 200 * 100 - 1);
    }
  }
  EXPECT_EQ(GifError(gif), "");

  TempDir dir;
  const std::string path = dir.File("a.jpg");
  ASSERT_TRUE(WriteJpeg(path, 64, 64, true, PhotoPixel));
  {
    PictureAllowanceScope allowance(64 * 64 - 1);
    EXPECT_EQ(LoadJpegBitmap(path, false), nullptr);
  }
  EXPECT_NE(LoadJpegBitmap(path, false), nullptr);
  EXPECT_TRUE(TakeMessageBoxes().empty()) << "a picture beyond the allowance raises no box";
}

// The segments of a JPEG file: each starts at a marker; a scan's segment
// runs to the next marker that is not a stuffed byte or a restart.
std::vector<std::string> Segments(const std::string& jpeg) {
  std::vector<std::string> out;
  std::size_t i = 2;
  while (i + 4 <= jpeg.size()) {
    const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
    if (marker == 0xD9) break;
    const std::size_t length =
        (static_cast<unsigned char>(jpeg[i + 2]) << 8) | static_cast<unsigned char>(jpeg[i + 3]);
    std::size_t end = i + 2 + length;
    if (marker == 0xDA) {
      while (end + 1 < jpeg.size()) {
        const auto next = static_cast<unsigned char>(jpeg[end + 1]);
        if (jpeg[end] == '\xFF' && next != 0 && (next < 0xD0 || next > 0xD7)) break;
        ++end;
      }
    }
    out.push_back(jpeg.substr(i, end - i));
    i = end;
  }
  return out;
}

// A progressive greyscale JPEG of the picture with its last scan repeated
// until the file holds scans scans.
std::string ManyScans(int w, int h, int scans, const TempDir& dir) {
  const std::string path = dir.File("progressive.jpg");
  EXPECT_TRUE(WriteJpeg(path, w, h, true, PhotoPixel, 75, true));
  const std::string jpeg = ReadFile(path);
  std::vector<std::string> segments = Segments(jpeg);
  int have = 0;
  for (const std::string& s : segments) have += s[1] == '\xDA';
  std::string out = jpeg.substr(0, 2);
  for (const std::string& s : segments) out += s;
  for (int i = have; i < scans; ++i) out += segments.back();
  return out + "\xFF\xD9";
}

TEST(PictureBomb, JpegScansAreBoundedByTheLimitAndTheFilesSize) {
  TempDir dir;
  // A real progressive file decodes; its last scan repeated (libjpeg warns
  // and decodes it again) a few times still does.
  const std::string normal = ManyScans(96, 64, 0, dir);
  EXPECT_NE(LoadJpegBitmap(normal.data(), normal.size(), false), nullptr);
  const std::string few = ManyScans(96, 64, 14, dir);
  EXPECT_NE(LoadJpegBitmap(few.data(), few.size(), false), nullptr);
  // More than the limit: refused however small the picture.
  const std::string many = ManyScans(16, 16, JpegMaxScans + 1, dir);
  EXPECT_EQ(LoadJpegBitmap(many.data(), many.size(), false), nullptr);
  const std::string limit = ManyScans(16, 16, JpegMaxScans, dir);
  EXPECT_NE(LoadJpegBitmap(limit.data(), limit.size(), false), nullptr);
  // A thousand scans over a large picture: each would take a pass over
  // every block; the file's bytes pay for few of them, so it stops early.
  const std::string bomb = ManyScans(2048, 2048, 1000, dir);
  EXPECT_EQ(LoadJpegBitmap(bomb.data(), bomb.size(), false), nullptr);
  dir.Write("bomb.jpg", bomb);
  EXPECT_EQ(LoadJpegBitmap(dir.File("bomb.jpg"), false), nullptr);
  EXPECT_TRUE(TakeMessageBoxes().empty());
}

TEST(PictureBomb, JpegDataEndingBeforeThePictureIsCoveredIsRefused) {
  TempDir dir;
  const std::string path = dir.File("photo.jpg");
  ASSERT_TRUE(WriteJpeg(path, 1024, 1024, false, PhotoPixel));
  const std::string jpeg = ReadFile(path);
  ASSERT_GT(jpeg.size(), 20000u);
  const std::string head = jpeg.substr(0, 2000);
  EXPECT_EQ(LoadJpegBitmap(head.data(), head.size(), false), nullptr);
  // Only the end marker missing: the picture is whole.
  const std::string noEnd = jpeg.substr(0, jpeg.size() - 2);
  EXPECT_NE(LoadJpegBitmap(noEnd.data(), noEnd.size(), false), nullptr);
  // A progressive file cut after its first scans is a whole, coarser picture.
  const std::string progressive = ManyScans(256, 256, 0, dir);
  std::vector<std::string> segments = Segments(progressive);
  std::string firstScans = progressive.substr(0, 2);
  int scans = 0;
  for (const std::string& s : segments) {
    if (s[1] == '\xDA' && ++scans > 2) break;
    firstScans += s;
  }
  EXPECT_NE(LoadJpegBitmap(firstScans.data(), firstScans.size(), false), nullptr);
}

}  // namespace
}  // namespace kiv
