// Loading JPEG files: quantised palettes, greyscale, row layout, and bad files.
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "imaging/jpeg_loader.h"
#include "imaging/jpeg_writer.h"
#include "support/test_files.h"

namespace kiv {
namespace {

using namespace kiv::testing;

int MaxIndex(const Bitmap& b) {
  int m = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) m = std::max<int>(m, b.ScanLine(y)[x]);
  return m;
}

TEST(JpegLoader, ColourPicturesAreQuantisedTopRowFirst) {
  TempDir dir;
  const std::string path = dir.File("photo.jpg");
  // Top half red-ish, bottom half a blue gradient.
  ASSERT_TRUE(WriteJpeg(path, 96, 64, false, [](int x, int y) -> std::uint32_t {
    return y < 32 ? 0xD02010u : static_cast<std::uint32_t>(0x1020 << 8 | (x * 2 + 60));
  }));
  QImage reference(QString::fromStdString(path));
  ASSERT_FALSE(reference.isNull());
  for (bool few : {false, true}) {
    std::unique_ptr<Bitmap> b = LoadJpegBitmap(path, few);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Width(), 96);
    EXPECT_EQ(b->Height(), 64);
    EXPECT_EQ(b->BitsPerPixel(), 8);
    EXPECT_LT(MaxIndex(*b), few ? JpegFewColors : JpegColors);
    EXPECT_EQ(GetRValue(b->Pixel(5, 2)) > 150, true);
    EXPECT_EQ(GetBValue(b->Pixel(5, 60)) > 60, true);
    EXPECT_LT(GetRValue(b->Pixel(5, 60)), 60);
    // Close to the toolkit's own decoding of the same file.
    long error = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 96; ++x) {
        QRgb q = reference.pixel(x, y);
        TColor c = b->Pixel(x, y);
        error += std::abs(qRed(q) - GetRValue(c)) + std::abs(qGreen(q) - GetGValue(c)) +
                 std::abs(qBlue(q) - GetBValue(c));
      }
    EXPECT_LT(static_cast<double>(error) / (96 * 64 * 3), few ? 8.0 : 5.0);
  }
  EXPECT_TRUE(TakeMessageBoxes().empty());
}

TEST(JpegLoader, GreyscalePicturesGetAGreyPalette) {
  TempDir dir;
  const std::string path = dir.File("grey.jpg");
  ASSERT_TRUE(
      WriteJpeg(path, 50, 30, true, [](int x, int) { return static_cast<std::uint32_t>(x * 5); }));
  std::unique_ptr<Bitmap> b = LoadJpegBitmap(path, false);
  ASSERT_NE(b, nullptr);
  std::vector<TColor> palette = b->Palette();
  ASSERT_EQ(palette.size(), 256u);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 50; ++x) {
      TColor c = palette[b->ScanLine(y)[x]];
      ASSERT_EQ(GetRValue(c), GetGValue(c));
      ASSERT_EQ(GetGValue(c), GetBValue(c));
    }
  EXPECT_NEAR(GetRValue(b->Pixel(0, 10)), 0, 8);
  EXPECT_NEAR(GetRValue(b->Pixel(49, 10)), 245, 8);
}

TEST(JpegLoader, RowsOfWidthThreeArePaddedAndBackslashPathsWork) {
  TempDir dir;
  const std::string path = dir.File("narrow.jpg");
  ASSERT_TRUE(WriteJpeg(
      path, 3, 5, false,
      [](int x, int) -> std::uint32_t {
        return x == 0 ? 0xFF0000u : x == 1 ? 0x00FF00u : 0x0000FFu;
      },
      100));
  std::string windowsPath = path;
  std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
  std::unique_ptr<Bitmap> b = LoadJpegBitmap(windowsPath, false);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Width(), 3);
  EXPECT_EQ(b->BytesPerLine(), 4);
  EXPECT_EQ(b->Height(), 5);
  QImage reference(QString::fromStdString(path));
  ASSERT_EQ(reference.width(), 3);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 3; ++x) {
      QRgb q = reference.pixel(x, y);
      TColor c = b->Pixel(x, y);
      EXPECT_NEAR(GetRValue(c), qRed(q), 24) << x << "," << y;
      EXPECT_NEAR(GetGValue(c), qGreen(q), 24) << x << "," << y;
      EXPECT_NEAR(GetBValue(c), qBlue(q), 24) << x << "," << y;
    }
}

TEST(JpegLoader, MissingCorruptTruncatedAndHugeFilesGiveNoBitmap) {
  TempDir dir;
  EXPECT_EQ(LoadJpegBitmap(dir.File("none.jpg"), false), nullptr);
  EXPECT_EQ(LoadJpegBitmap(dir.Write("garbage.jpg", std::string(500, 'x')), false), nullptr);
  EXPECT_EQ(LoadJpegBitmap(dir.Write("empty.jpg", ""), false), nullptr);
  EXPECT_TRUE(TakeMessageBoxes().empty());

  const std::string good = dir.File("good.jpg");
  ASSERT_TRUE(WriteJpeg(good, 40, 24, false, PhotoPixel));
  const std::string bytes = ReadFile(good);
  // Cut inside the headers: no picture. Cut inside the scan: libjpeg pads
  // the missing rows and the picture keeps its size. Never a crash.
  std::size_t sos = bytes.find("\xFF\xDA");
  ASSERT_NE(sos, std::string::npos);
  for (std::size_t n = 0; n < bytes.size(); n += (n < sos + 20 ? 1 : 7)) {
    std::string path = dir.Write("cut.jpg", bytes.substr(0, n));
    std::unique_ptr<Bitmap> b = LoadJpegBitmap(path, false);
    if (n <= sos) {
      EXPECT_EQ(b, nullptr) << n;
    } else if (b) {
      EXPECT_EQ(b->Width(), 40);
      EXPECT_EQ(b->Height(), 24);
    }
  }
  // Corrupt bytes inside the file.
  for (int seed = 1; seed < 200; ++seed) {
    std::string bad = bytes;
    std::srand(static_cast<unsigned>(seed));
    for (int k = 0; k < 4; ++k)
      bad[static_cast<std::size_t>(std::rand()) % bad.size()] = static_cast<char>(std::rand());
    std::unique_ptr<Bitmap> b = LoadJpegBitmap(dir.Write("bad.jpg", bad), false);
    if (b) {
      EXPECT_EQ(b->BitsPerPixel(), 8);
    }
  }
  TakeMessageBoxes();

  // A declared size beyond the largest picture: the bitmap error, no picture.
  std::string huge = bytes;
  std::size_t sof = huge.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  huge[sof + 5] = '\xEA';  // height 60000
  huge[sof + 6] = '\x60';
  huge[sof + 7] = '\xEA';  // width 60000
  huge[sof + 8] = '\x60';
  EXPECT_EQ(LoadJpegBitmap(dir.Write("huge.jpg", huge), false), nullptr);
  EXPECT_EQ(TakeMessageBoxes(),
            std::vector<std::string>{"Win32 Error # 8 - Bitmap Handle could not be Assigned - "
                                     "Possibly insufficient virtual memory"});
}

}  // namespace
}  // namespace kiv
