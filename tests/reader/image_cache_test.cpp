// The image cache's keys and ageing, transparency masks, drawing through a
// mask, device-independent bits, the GIF transparency probe and file loading.
#include <QImage>

#include <gtest/gtest.h>

#include <string>

#include "platform/bitmap.h"
#include "platform/fixed_metrics_canvas.h"
#include "platform/qt_canvas.h"
#include "platform/screen_canvas.h"
#include "reader/bitmap_routines.h"
#include "reader/halftone_palette.h"
#include "reader/image_cache.h"
#include "reader/image_file.h"
#include "support/test_files.h"

namespace kiv {
namespace {

std::unique_ptr<TBitmapItem> Item(int width = 2) {
  return std::make_unique<TBitmapItem>(Bitmap::CreateRgb(width, 1), nullptr, NotTransparent);
}

TEST(ImageCacheTest, KeysAreSortedAndFoundWhateverTheCase) {
  EXPECT_EQ(ImageCacheKey(" \timages/Logo.gif\r\n"), "IMAGES/LOGO.GIF");
  TStringBitmapList cache;
  EXPECT_EQ(cache.MaxAge, 4);
  for (const char* name : {"b.gif", "D.GIF", "a.gif", "C.gif"})
    cache.AddObject(ImageCacheKey(name), Item());
  ASSERT_EQ(cache.Count(), 4);
  EXPECT_EQ(cache.Strings(0), "A.GIF");
  EXPECT_EQ(cache.Strings(3), "D.GIF");
  EXPECT_EQ(cache.IndexOf("c.GIF"), 2);
  EXPECT_EQ(cache.IndexOf("e.gif"), -1);
  EXPECT_EQ(cache.AddObject("B.GIF", Item()), -1);  // one entry per key
  EXPECT_EQ(cache.Count(), 4);
}

TEST(ImageCacheTest, WithMaxAgeZeroEveryImageGoesAtTheNextLoad) {
  TStringBitmapList cache;
  cache.SetMaxAge(0);
  cache.AddObject("A", Item());
  cache.AgeAll();
  EXPECT_EQ(cache.Count(), 0);
}

TEST(ImageCacheTest, WithMaxAgeTwoAnImageUnusedForThreeLoadsGoes) {
  TStringBitmapList cache;
  cache.SetMaxAge(2);
  cache.AddObject("USED", Item());
  cache.AddObject("UNUSED", Item());
  cache.AgeAll();
  cache.AgeAll();
  EXPECT_EQ(cache.Count(), 2);
  // A use resets the age.
  EXPECT_NE(cache.BitmapAt(cache.IndexOf("USED")), nullptr);
  cache.AgeAll();
  EXPECT_EQ(cache.Count(), 1);
  EXPECT_EQ(cache.Strings(0), "USED");
  cache.AgeAll();
  EXPECT_EQ(cache.Count(), 1);
  cache.AgeAll();
  EXPECT_EQ(cache.Count(), 0);
}

TEST(ImageCacheTest, LoweringMaxAgeDropsOlderEntriesAtOnce) {
  TStringBitmapList cache;
  cache.AddObject("OLD", Item());
  cache.AgeAll();
  cache.AgeAll();
  cache.AddObject("NEW", Item());
  cache.AgeAll();
  cache.SetMaxAge(1);
  ASSERT_EQ(cache.Count(), 1);
  EXPECT_EQ(cache.Strings(0), "NEW");
  EXPECT_EQ(cache.MaxAge, 1);
  cache.Clear();
  EXPECT_EQ(cache.Count(), 0);
}

// A 3 x 2 indexed picture: palette red, green, blue; bottom-left pixel blue.
std::unique_ptr<Bitmap> IndexedPicture() {
  auto b = Bitmap::CreateIndexed(3, 2, {clRed, clLime, clBlue});
  const std::uint8_t rows[2][3] = {{0, 1, 2}, {2, 0, 1}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) b->ScanLine(y)[x] = rows[y][x];
  return b;
}

TEST(MaskTest, BottomLeftOrGivenColourBecomesWhite) {
  auto picture = IndexedPicture();
  auto automatic = MakeMask(*picture, false, clRed);  // colour ignored
  ASSERT_NE(automatic, nullptr);
  EXPECT_TRUE(automatic->IsWhite(0, 1));
  EXPECT_TRUE(automatic->IsWhite(2, 0));
  EXPECT_FALSE(automatic->IsWhite(0, 0));
  EXPECT_FALSE(automatic->IsWhite(1, 1));
  auto given = MakeMask(*picture, true, PaletteRelative(clLime));
  ASSERT_NE(given, nullptr);
  EXPECT_TRUE(given->IsWhite(1, 0));
  EXPECT_TRUE(given->IsWhite(2, 1));
  EXPECT_FALSE(given->IsWhite(0, 1));
}

TEST(MaskTest, DrawTransparentLeavesMaskedPixelsAlone) {
  auto picture = IndexedPicture();
  auto mask = MakeMask(*picture, false, 0);  // blue is transparent
  QImage image(8, 6, QImage::Format_RGB32);
  image.fill(QColor(255, 255, 255));
  {
    QtCanvas canvas(&image);
    // Stretched to twice the size at (1, 1).
    DrawTransparent(canvas, *picture, *mask, 1, 1, 6, 4);
  }
  EXPECT_EQ(image.pixel(1, 1), qRgb(255, 0, 0));      // red
  EXPECT_EQ(image.pixel(3, 2), qRgb(0, 255, 0));      // green
  EXPECT_EQ(image.pixel(5, 1), qRgb(255, 255, 255));  // blue: transparent
  EXPECT_EQ(image.pixel(1, 4), qRgb(255, 255, 255));  // bottom-left blue
  EXPECT_EQ(image.pixel(3, 4), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));  // outside the target
  EXPECT_EQ(image.pixel(7, 5), qRgb(255, 255, 255));

  QImage untouched(8, 6, QImage::Format_RGB32);
  untouched.fill(QColor(10, 20, 30));
  {
    QtCanvas mono(&untouched);
    mono.SetMonochrome(true);
    DrawTransparent(mono, *picture, *mask, 0, 0, 8, 6);
  }
  EXPECT_EQ(untouched.pixel(0, 0), qRgb(10, 20, 30));
  EXPECT_EQ(untouched.pixel(4, 3), qRgb(10, 20, 30));
}

TEST(DibTest, BitsRoundTripBottomUpWithPaddedRows) {
  EXPECT_EQ(BytesPerScanline(1), 4);
  EXPECT_EQ(BytesPerScanline(32), 4);
  EXPECT_EQ(BytesPerScanline(33), 8);
  EXPECT_EQ(BytesPerScanline(3 * 24), 12);
  EXPECT_EQ(BytesPerScanline(0), 0);

  FixedMetricsCanvas canvas;
  auto picture = IndexedPicture();
  std::unique_ptr<TBitmapInfo> info;
  std::unique_ptr<AllocRec> bits;
  int infoSize = 0;
  GetBitmapDIB(canvas, *picture, info, infoSize, bits);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->Header.biBitCount, 8);
  EXPECT_EQ(info->Header.biSizeImage, 8u);
  EXPECT_EQ(infoSize, 40 + 4 * static_cast<int>(picture->Palette().size()));
  EXPECT_EQ(bits->Data[0], 2);  // first stored row is the bottom one
  EXPECT_EQ(bits->Data[4], 0);
  auto back = BitmapFromDIB(*bits, *info);
  ASSERT_NE(back, nullptr);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(back->Pixel(x, y), picture->Pixel(x, y));

  auto rgb = Bitmap::CreateRgb(3, 1);
  rgb->SetPixel(2, 0, RGB(1, 2, 3));
  GetBitmapDIB(canvas, *rgb, info, infoSize, bits);
  EXPECT_EQ(info->Header.biBitCount, 24);
  EXPECT_EQ(info->Header.biSizeImage, 12u);
  EXPECT_EQ(bits->Data[6], 3);  // blue, green, red
  EXPECT_EQ(bits->Data[8], 1);

  QImage image(6, 2, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QtCanvas target(&image);
    StretchDIB(target, 0, 0, RasterOp::Copy, *bits, *info, 2, 6);
  }
  EXPECT_EQ(image.pixel(5, 1), qRgb(1, 2, 3));
  EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));

  // A header that claims more rows than the bits hold describes nothing.
  info->Header.biHeight = 50;
  EXPECT_EQ(BitmapFromDIB(*bits, *info), nullptr);
}

// A 2 x 1 GIF89a: red and green, green transparent when transparent is set.
std::string TinyGif(const std::string& version = "89a", bool transparent = true) {
  std::string g = "GIF" + version;
  g += std::string("\x02\x00\x01\x00\x80\x00\x00", 7);  // 2 x 1, 2-colour global table
  g += std::string("\xFF\x00\x00\x00\xFF\x00", 6);      // red, green
  g += std::string("\x21\xF9\x04", 3);
  g += transparent ? '\x01' : '\x00';
  g += std::string("\x00\x00\x01\x00", 4);  // delay, transparent index 1
  g += std::string("\x2C\x00\x00\x00\x00\x02\x00\x01\x00\x00", 10);
  g += std::string("\x02\x02\x44\x0A\x00\x3B", 6);  // LZW: clear, 0, 1, end
  return g;
}

TEST(GifTransparencyTest, ProbeReadsTheColourAfterTheGlobalTable) {
  testing::TempDir dir;
  TColor color = 0;
  EXPECT_TRUE(GifTransparentColor(dir.Write("t.gif", TinyGif()), color));
  EXPECT_EQ(color, RGB(0, 255, 0));
  EXPECT_FALSE(GifTransparentColor(dir.Write("87.gif", TinyGif("87a")), color));
  EXPECT_FALSE(GifTransparentColor(dir.Write("opaque.gif", TinyGif("89a", false)), color));
  EXPECT_FALSE(GifTransparentColor(dir.Write("short.gif", TinyGif().substr(0, 24)), color));
  EXPECT_FALSE(GifTransparentColor(dir.Write("empty.gif", ""), color));
  EXPECT_FALSE(GifTransparentColor(dir.File("absent.gif"), color));
  // A transparent index beyond the bytes read is no answer, not a wild read.
  std::string far = TinyGif();
  far[10] = '\x07';  // table of 768 bytes claimed; the file ends long before
  EXPECT_FALSE(GifTransparentColor(dir.Write("far.gif", far), color));
}

TEST(ImageFileTest, GifWithItsOwnColourLoadsWithAMask) {
  testing::TempDir dir;
  const std::string file = dir.Write("Pic.GIF", TinyGif());
  int transparent = 0;
  std::unique_ptr<Mask> mask;
  auto bitmap = LoadImageWithMask(file, transparent, mask);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(transparent, 2);
  EXPECT_EQ(bitmap->Pixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(bitmap->Pixel(1, 0), RGB(0, 255, 0));
  ASSERT_NE(mask, nullptr);
  EXPECT_FALSE(mask->IsWhite(0, 0));
  EXPECT_TRUE(mask->IsWhite(1, 0));
}

TEST(ImageFileTest, DecodesByExtensionAndRefusesTheRest) {
  testing::TempDir dir;
  auto picture = IndexedPicture();
  ASSERT_TRUE(picture->SaveFile(dir.File("p.bmp")));
  ASSERT_TRUE(picture->SaveFile(dir.File("p.png")));
  auto bmp = DecodeImageFile(dir.File("p.bmp"));
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(bmp->Pixel(0, 1), clBlue);
  EXPECT_NE(DecodeImageFile(dir.File("p.png")), nullptr);
  EXPECT_NE(DecodeImageFile(dir.Write("g.gif", TinyGif())), nullptr);
  EXPECT_EQ(DecodeImageFile(dir.Write("p.txt", "hello")), nullptr);
  EXPECT_EQ(DecodeImageFile(dir.Write("bad.gif", "GIF89a junk")), nullptr);
  EXPECT_EQ(DecodeImageFile(dir.Write("bad.jpg", "not a jpeg")), nullptr);
  EXPECT_EQ(DecodeImageFile(dir.File("absent.bmp")), nullptr);

  // "TRANSP" on a bitmap file: the mask comes from its bottom-left pixel.
  int transparent = 1;
  std::unique_ptr<Mask> mask;
  auto masked = LoadImageWithMask(dir.File("p.bmp"), transparent, mask);
  ASSERT_NE(masked, nullptr);
  EXPECT_EQ(transparent, 1);
  ASSERT_NE(mask, nullptr);
  EXPECT_TRUE(mask->IsWhite(2, 0));
  EXPECT_FALSE(mask->IsWhite(1, 0));
  transparent = 0;
  EXPECT_NE(LoadImageWithMask(dir.File("p.bmp"), transparent, mask), nullptr);
  EXPECT_EQ(mask, nullptr);
  EXPECT_EQ(LoadImageWithMask(dir.File("absent.gif"), transparent, mask), nullptr);
}

TEST(HalftoneTest, DepthClassesAndPaletteFollowTheDisplay) {
  EXPECT_EQ(DepthClassFor(1), 4);
  EXPECT_EQ(DepthClassFor(4), 4);
  EXPECT_EQ(DepthClassFor(5), 8);
  EXPECT_EQ(DepthClassFor(15), 8);
  EXPECT_EQ(DepthClassFor(16), 24);
  EXPECT_EQ(ScreenDepthClass(), 24);
  EXPECT_EQ(HalftonePalette(), nullptr);
  SetPaletteDisplay(true);
  EXPECT_EQ(ScreenDepthClass(), 8);
  const std::vector<TColor>* palette = HalftonePalette();
  SetPaletteDisplay(false);
  ASSERT_NE(palette, nullptr);
  ASSERT_EQ(palette->size(), 256u);
  EXPECT_EQ((*palette)[10], RGB(55, 55, 55));
  EXPECT_EQ((*palette)[11], RGB(115, 55, 55));  // red varies fastest
  EXPECT_EQ((*palette)[16], RGB(55, 115, 55));
  EXPECT_EQ((*palette)[225], RGB(255, 255, 255));
  EXPECT_EQ((*palette)[226], RGB(135, 135, 135));
  EXPECT_EQ((*palette)[249], RGB(250, 250, 250));
  EXPECT_EQ((*palette)[7], RGB(192, 192, 192));  // system colours kept
  EXPECT_EQ((*palette)[255], RGB(255, 255, 255));
}

}  // namespace
}  // namespace kiv
