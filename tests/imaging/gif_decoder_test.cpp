// The GIF decoder: LZW data, interlacing, blocks and extensions, palettes,
// composing, and bad input.
#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include <algorithm>

#include "imaging/gif_test_support.h"
#include "platform/screen_canvas.h"

namespace kiv {
namespace {

using namespace kiv::testing;

// Records the furthest byte read, to prove what is never read.
class RecordingStream : public MemoryReadStream {
 public:
  using MemoryReadStream::MemoryReadStream;
  std::size_t Read(void* buffer, std::size_t count) override {
    std::size_t n = MemoryReadStream::Read(buffer, count);
    if (n > 0) furthest = std::max<std::int64_t>(furthest, Position());
    return n;
  }
  std::int64_t furthest = 0;
};

class PaletteDisplayScope {
 public:
  explicit PaletteDisplayScope(bool on) : previous_(PaletteDisplay()) { SetPaletteDisplay(on); }
  ~PaletteDisplayScope() { SetPaletteDisplay(previous_); }

 private:
  bool previous_;
};

TEST(GifDecoder, RoundTripsAcrossSubBlockSizesCodeSizesAndTableResets) {
  struct Case {
    int w, h, colors, minCode;
    std::size_t block;
    bool clearWhenFull;
  };
  // Noise fills the 4096-entry table many times over; without clear codes
  // the full table must stop growing and keep decoding at 12 bits.
  for (Case c :
       {Case{37, 23, 256, 8, 255, true}, Case{37, 23, 4, 2, 1, true}, Case{64, 64, 16, 4, 7, true},
        Case{300, 200, 256, 8, 255, true}, Case{300, 200, 256, 8, 254, false},
        Case{120, 90, 2, 2, 3, false}, Case{5, 3, 2, 2, 255, true}}) {
    SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h << " m=" << c.minCode);
    GifFrame f = MakeFrame(c.w, c.h, NoisePixels(c.w * c.h, c.colors, c.w), c.minCode);
    f.blockSize = c.block;
    f.lzw.clearWhenFull = c.clearWhenFull;
    auto g = LoadGif(SimpleGif(f, DistinctPalette(c.colors)));
    ASSERT_EQ(g->image->FrameCount(), 1);
    EXPECT_EQ(g->image->Frame(0).PixelIndices, f.pixels);
    EXPECT_TRUE(g->warnings.empty()) << g->warnings.front();
    const Bitmap* b = g->image->ComposeBitmap();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(BitmapIndices(*b), f.pixels);
  }
}

TEST(GifDecoder, AgreesWithTheToolkitsGifReader) {
  const int w = 61, h = 40;
  std::vector<std::uint8_t> px(w * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px[y * w + x] = static_cast<std::uint8_t>((x * 3 + y * 5) % 200);
  for (bool interlaced : {false, true}) {
    GifFrame f = MakeFrame(w, h, px);
    f.interlaced = interlaced;
    std::string bytes = SimpleGif(f, DistinctPalette(200));
    MemoryReadStream stream(bytes);
    std::unique_ptr<Bitmap> ours;
    ASSERT_TRUE(LoadGifStream(stream, ours));
    ASSERT_NE(ours, nullptr);

    QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    QImage theirs = reader.read();
    ASSERT_FALSE(theirs.isNull()) << reader.errorString().toStdString();
    ASSERT_EQ(theirs.width(), w);
    ASSERT_EQ(theirs.height(), h);
    int differences = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        QRgb q = theirs.pixel(x, y);
        if (ours->Pixel(x, y) != RGB(qRed(q), qGreen(q), qBlue(q))) ++differences;
      }
    EXPECT_EQ(differences, 0) << "interlaced " << interlaced;
  }
}

TEST(GifDecoder, InterlacedImagesOfEveryHeightDecodeAllRows) {
  for (int h = 1; h <= 17; ++h) {
    SCOPED_TRACE(h);
    std::vector<std::uint8_t> px;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < 3; ++x) px.push_back(static_cast<std::uint8_t>(y + 1));
    GifFrame f = MakeFrame(3, h, px, 5);
    f.interlaced = true;
    auto g = LoadGif(SimpleGif(f, DistinctPalette(32)));
    EXPECT_EQ(g->image->Frame(0).PixelIndices, px);
  }
}

TEST(GifDecoder, SignatureMayFollowFourBytesButNotFive) {
  std::string gif = SimpleGif(MakeFrame(2, 2, {1, 0, 0, 1}, 2), DistinctPalette(4));
  EXPECT_EQ(GifError(gif), "");
  EXPECT_EQ(GifError("abcd" + gif), "");
  EXPECT_EQ(GifError("abcde" + gif), sGIFInvalidSignature);
  std::string lower = gif;
  lower.replace(0, 3, "gif");
  EXPECT_EQ(GifError(lower), "");
  // The stream is put back where it stood when loading fails.
  std::string bad = "xxxx" + gif.substr(0, 20);
  MemoryReadStream stream(bad);
  stream.Seek(2);
  TGIFImage image;
  EXPECT_THROW(image.LoadFromStream(stream), GIFException);
  EXPECT_EQ(stream.Position(), 2);
}

TEST(GifDecoder, ZeroBytesBetweenBlocksAreSkippedAndDataAfterTheTrailerIsNotRead) {
  GifFrame a = MakeFrame(4, 2, {1, 2, 3, 0, 0, 3, 2, 1}, 2);
  GifFrame b = MakeFrame(4, 2, {3, 3, 3, 3, 0, 0, 0, 0}, 2);
  std::string gif = GifHeader(4, 2, DistinctPalette(4)) + std::string(3, '\0') + EncodeFrame(a) +
                    std::string(2, '\0') + GraphicControl(false, 0) + EncodeFrame(b) + '\0' + ";";
  const std::int64_t trailerEnd = static_cast<std::int64_t>(gif.size());
  std::string package = gif + "next package entry";
  RecordingStream stream(package);
  std::unique_ptr<Bitmap> bmp;
  ASSERT_TRUE(LoadGifStream(stream, bmp));
  EXPECT_EQ(stream.furthest, trailerEnd);
  EXPECT_EQ(stream.Position(), trailerEnd);
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(BitmapIndices(*bmp), a.pixels);

  auto g = LoadGif(gif);
  ASSERT_EQ(g->image->FrameCount(), 2);
  EXPECT_EQ(g->image->Frame(1).PixelIndices, b.pixels);
  EXPECT_EQ(g->image->Frame(1).Extensions.Count(), 1);
  EXPECT_NE(g->image->Frame(1).FrameGce, nullptr);
  EXPECT_TRUE(g->warnings.empty());
}

TEST(GifDecoder, ExtensionsAreReadOrRefused) {
  const std::string head = GifHeader(2, 1, DistinctPalette(4));
  const std::string frame = EncodeFrame(MakeFrame(2, 1, {3, 1}, 2));
  auto load = [&](const std::string& ext) { return LoadGif(head + ext + frame + ";"); };

  std::string comment = "\x21\xFE" + SubBlocks("hello");
  std::string text = std::string("\x21\x01\x0C", 3) + std::string(12, '\x01') + SubBlocks("ab");
  std::string loop = "\x21\xFF\x0BNETSCAPE2.0" + std::string("\x03\x01\x05\x00\x00", 5);
  std::string unknownApp = "\x21\xFF\x0BXMP DataXMP" + SubBlocks("abc", 2);
  auto g = load(comment + text + loop + unknownApp);
  TGIFSubImage& f = g->image->Frame(0);
  ASSERT_EQ(f.Extensions.Count(), 4);
  EXPECT_EQ(dynamic_cast<TGIFCommentExtension&>(*f.Extensions[0]).Text,
            std::vector<std::string>{"hello"});
  EXPECT_EQ(dynamic_cast<TGIFTextExtension&>(*f.Extensions[1]).Text,
            std::vector<std::string>{"ab"});
  EXPECT_EQ(dynamic_cast<TGIFAppExtNSLoop&>(*f.Extensions[2]).Loops, 5);
  auto& unknown = dynamic_cast<TGIFUnknownAppExtension&>(*f.Extensions[3]);
  ASSERT_EQ(unknown.Blocks.size(), 2u);
  EXPECT_EQ(unknown.Blocks[0].Data, "ab");
  EXPECT_EQ(unknown.Blocks[1].Size, 1);
  EXPECT_EQ(f.PixelIndices, (std::vector<std::uint8_t>{3, 1}));

  // ANIMEXTS shares the loop class; a buffer-size sub-block is read too.
  std::string anim =
      "\x21\xFF\x0B"
      "ANIMEXTS1.0" +
      std::string("\x05\x02\x10\x00\x00\x00\x00", 7);
  auto a = load(anim);
  EXPECT_EQ(dynamic_cast<TGIFAppExtNSLoop&>(*a->image->Frame(0).Extensions[0]).BufferSize, 16u);
  // A 10-byte application block is consumed exactly and kept as unknown.
  std::string ten =
      "\x21\xFF\x0A"
      "ABCDEFGHIJ" +
      SubBlocks("z");
  auto t = load(ten);
  EXPECT_NE(dynamic_cast<TGIFUnknownAppExtension*>(t->image->Frame(0).Extensions[0]), nullptr);
  EXPECT_EQ(t->image->Frame(0).PixelIndices, (std::vector<std::uint8_t>{3, 1}));
  // A longer block is skipped past its identifier, its data sub-blocks too.
  std::string longer = "\x21\xFF\x0DOTHERAPP1.0xy" + SubBlocks("data");
  EXPECT_EQ(load(longer)->image->Frame(0).PixelIndices, (std::vector<std::uint8_t>{3, 1}));

  EXPECT_EQ(GifError(head + "\x21\xFA\x00" + frame + ";"), sGIFUnknownExtension);
  EXPECT_EQ(
      GifError(head + "\x21\xFF\x0BNETSCAPE2.0" + std::string("\x02\x01\x05\x00", 4) + frame + ";"),
      sGIFInvalidData);
  EXPECT_EQ(GifError(head + "\x21\xFF\x0BNETSCAPE2.0" + std::string("\x04\x02\x05\x00\x00\x00", 6) +
                     frame + ";"),
            sGIFInvalidData);
  EXPECT_EQ(GifError(head +
                     "\x21\xFF\x05"
                     "ABCDE" +
                     frame + ";"),
            sGIFUnsupportedAppBlockSize);
}

TEST(GifDecoder, TruncatedDataKeepsTheFillValue) {
  const int w = 16, h = 16;
  std::vector<std::uint8_t> px = NoisePixels(w * h, 8, 3);
  for (bool transparent : {false, true}) {
    SCOPED_TRACE(transparent);
    GifFrame f = MakeFrame(w, h, px, 3);
    std::string codes = FrameCodes(f);
    // The last sub-block declares more bytes than the stream holds.
    std::string data = SubBlocks(codes.substr(0, 40), 255, false);
    data += static_cast<char>(200);
    data += codes.substr(40, 10);
    std::string gif = GifHeader(w, h, DistinctPalette(8)) +
                      (transparent ? GraphicControl(true, 6) : "") + FrameDescriptor(f) +
                      static_cast<char>(3) + data;
    auto g = LoadGif(gif);
    ASSERT_EQ(g->image->FrameCount(), 1);
    const auto& got = g->image->Frame(0).PixelIndices;
    // A prefix decodes right; the rest keeps the fill value.
    std::size_t same = 0;
    while (same < got.size() && got[same] == px[same]) ++same;
    EXPECT_GT(same, 40u);
    EXPECT_LT(same, px.size());
    EXPECT_EQ(got.back(), transparent ? 6 : 0);
    EXPECT_NE(std::find(g->warnings.begin(), g->warnings.end(), sGIFPrematureEnd),
              g->warnings.end());
    EXPECT_EQ(g->image->Frame(0).IsTransparent, transparent);
    if (transparent) {
      const Bitmap* b = g->image->Frame(0).FrameBitmap();
      ASSERT_NE(b, nullptr);
      const Mask* m = g->image->Frame(0).TransparencyMask();
      ASSERT_NE(m, nullptr);
      EXPECT_TRUE(m->IsWhite(w - 1, h - 1));
      for (int i = 0; i < w * h; ++i) EXPECT_EQ(m->IsWhite(i % w, i / w), got[i] == 6);
    }
  }
}

TEST(GifDecoder, FrameSizesAgainstTheLogicalScreen) {
  const std::vector<TColor> pal = DistinctPalette(4);
  {  // A zero width takes the logical screen's size.
    GifFrame f = MakeFrame(3, 2, {1, 2, 3, 3, 2, 1}, 2);
    std::string gif = GifHeader(3, 2, pal) + FrameDescriptor(MakeFrame(0, 2, {}, 2)) +
                      static_cast<char>(2) + SubBlocks(FrameCodes(f)) + ";";
    auto g = LoadGif(gif);
    EXPECT_EQ(g->image->Frame(0).Width(), 3);
    EXPECT_EQ(g->image->Frame(0).Height(), 2);
    EXPECT_EQ(g->image->Frame(0).PixelIndices, f.pixels);
    EXPECT_EQ(g->warnings, std::vector<std::string>{sGIFImageExceedsScreen});
  }
  {  // A smaller frame lands at its offset on a screen-sized bitmap.
    GifFrame f = MakeFrame(2, 2, {1, 2, 3, 1}, 2);
    f.left = 3;
    f.top = 1;
    auto g = LoadGif(GifHeader(6, 4, pal) + EncodeFrame(f) + ";");
    const Bitmap* b = g->image->ComposeBitmap();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Width(), 6);
    EXPECT_EQ(b->Height(), 4);
    std::vector<std::uint8_t> want(24, 0);
    want[1 * 6 + 3] = 1;
    want[1 * 6 + 4] = 2;
    want[2 * 6 + 3] = 3;
    want[2 * 6 + 4] = 1;
    EXPECT_EQ(BitmapIndices(*b), want);
  }
  {  // A frame reaching beyond the screen is clipped; a local table's colours are kept.
    GifFrame f = MakeFrame(3, 3, {0, 1, 2, 3, 0, 1, 2, 3, 0}, 2);
    f.left = 2;
    f.top = 2;
    f.local = {RGB(pal[2] & 0xFF, 0, 0), pal[1], pal[0], pal[3]};
    f.local[0] = pal[3];
    auto g = LoadGif(GifHeader(4, 4, pal) + EncodeFrame(f) + ";");
    const Bitmap* b = g->image->ComposeBitmap();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Pixel(2, 2), pal[3]);  // local 0
    EXPECT_EQ(b->Pixel(3, 2), pal[1]);  // local 1
    EXPECT_EQ(b->Pixel(2, 3), pal[3]);  // local 3
    EXPECT_EQ(b->Pixel(3, 3), pal[3]);  // local 0
    EXPECT_EQ(b->Pixel(0, 0), pal[0]);
  }
  {  // A frame entirely off the screen leaves the screen as it was made.
    GifFrame f = MakeFrame(2, 2, {1, 1, 1, 1}, 2);
    f.left = 60000;
    f.top = 60000;
    auto g = LoadGif(GifHeader(4, 4, pal) + EncodeFrame(f) + ";");
    const Bitmap* b = g->image->ComposeBitmap();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(BitmapIndices(*b), std::vector<std::uint8_t>(16, 0));
  }
}

// Frames reaching beyond a small logical screen keep only their visible part:
// the same picture as drawing the whole frame clipped, plain or interlaced,
// and no allocation or fill proportional to the declared frame size.
TEST(GifDecoder, FramesAreClippedToTheScreenBeforeAnythingIsAllocated) {
  const std::vector<TColor> pal = DistinctPalette(4);
  for (bool interlaced : {false, true}) {
    GifFrame f = MakeFrame(10, 9, NoisePixels(90, 4, interlaced ? 7 : 3), 2);
    f.left = 1;
    f.top = 2;
    f.interlaced = interlaced;
    auto g = LoadGif(GifHeader(5, 6, pal) + EncodeFrame(f) + ";");
    const TGIFSubImage& frame = g->image->Frame(0);
    EXPECT_EQ(frame.Left(), 1);
    EXPECT_EQ(frame.Top(), 2);
    EXPECT_EQ(frame.Width(), 4);
    EXPECT_EQ(frame.Height(), 4);
    EXPECT_EQ(frame.PixelIndices.size(), 16u);
    const Bitmap* b = g->image->ComposeBitmap();
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->Width(), 5);
    ASSERT_EQ(b->Height(), 6);
    const std::vector<std::uint8_t> got = BitmapIndices(*b);
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 5; ++x) {
        const std::uint8_t want =
            x >= 1 && y >= 2 ? f.pixels[static_cast<std::size_t>((y - 2) * 10 + (x - 1))] : 0;
        EXPECT_EQ(got[static_cast<std::size_t>(y * 5 + x)], want) << x << "," << y;
      }
    }
  }
  {  // The data ends inside a kept row: what was decoded of it is kept.
    GifFrame f = MakeFrame(8, 3, {1, 2, 3, 1, 2, 3, 1, 2, 2, 1, 3, 3, 3, 3, 3, 3}, 2);
    f.pixels.resize(24, 0);
    std::string codes =
        LzwEncode(std::vector<std::uint8_t>(f.pixels.begin(), f.pixels.begin() + 11), 2,
                  LzwOptions{false, true});
    auto g = LoadGif(GifHeader(4, 4, pal) + FrameDescriptor(f) + static_cast<char>(2) +
                     SubBlocks(codes) + ";");
    const std::vector<std::uint8_t>& kept = g->image->Frame(0).PixelIndices;
    ASSERT_EQ(kept.size(), 12u);
    EXPECT_EQ(kept[4], 2u);  // (0,1) = pixel 8
    EXPECT_EQ(kept[5], 1u);  // (1,1) = pixel 9
    EXPECT_EQ(kept[6], 3u);  // (2,1) = pixel 10
    EXPECT_EQ(kept[7], 0u);  // never reached
  }
  {  // Thirty frames declared 65535 x 1000 on a 1 x 1 screen keep one pixel each.
    std::string gif = GifHeader(1, 1, pal);
    GifFrame huge = MakeFrame(65535, 1000, {}, 2);
    for (int i = 0; i < 30; ++i)
      gif += FrameDescriptor(huge) + static_cast<char>(2) + SubBlocks(PackCodes({{4, 3}, {1, 3}}));
    auto g = LoadGif(gif + ";");
    ASSERT_EQ(g->image->FrameCount(), 30);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(g->image->Frame(i).PixelIndices.size(), 1u);
    const Bitmap* b = g->image->ComposeBitmap();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(BitmapIndices(*b), std::vector<std::uint8_t>{1});
  }
}

TEST(GifDecoder, ColorTables) {
  GifFrame f = MakeFrame(2, 2, {0, 1, 1, 0}, 2);
  // Neither table: composing fails.
  EXPECT_EQ(GifError(GifHeader(2, 2, {}) + EncodeFrame(f) + ";"), sGIFNoColorTable);
  // A local table alone serves as the picture's palette.
  f.local = {clRed, clLime};
  const std::string localOnly = GifHeader(2, 2, {}) + EncodeFrame(f) + ";";
  MemoryReadStream s(localOnly);
  std::unique_ptr<Bitmap> bmp;
  LoadGifStream(s, bmp);
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(bmp->Pixel(0, 0), clRed);
  EXPECT_EQ(bmp->Pixel(1, 0), clLime);
  // No frames at all: no bitmap.
  const std::string noFrames = GifHeader(2, 2, {clRed}) + ";";
  MemoryReadStream empty(noFrames);
  bmp = Bitmap::CreateRgb(1, 1);
  EXPECT_TRUE(LoadGifStream(empty, bmp));
  EXPECT_EQ(bmp, nullptr);
}

TEST(GifDecoder, PaletteDisplayDithersOntoTheWebPalette) {
  PaletteDisplayScope palette(true);
  const int w = 40, h = 40;
  // Left half a web colour, right half mid grey.
  std::vector<std::uint8_t> px(w * h);
  for (int i = 0; i < w * h; ++i) px[i] = (i % w) < w / 2 ? 0 : 1;
  std::vector<TColor> pal = {RGB(51, 102, 153), RGB(128, 128, 128)};
  auto g = LoadGif(SimpleGif(MakeFrame(w, h, px, 2), pal));
  const Bitmap* b = g->image->ComposeBitmap();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Palette().size(), 256u);
  EXPECT_EQ(b->Palette()[51], RGB(51, 102, 153));
  EXPECT_EQ(b->Palette()[215], clWhite);
  long sum = 0;
  int greyCount = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int idx = b->ScanLine(y)[x];
      if (x < w / 2 - 1) {
        EXPECT_EQ(idx, 51) << x << "," << y;
      }
      if (x >= w / 2 + 1) {
        TColor c = b->Palette()[static_cast<std::size_t>(idx)];
        EXPECT_EQ(GetRValue(c), GetGValue(c));
        sum += GetRValue(c);
        ++greyCount;
      }
    }
  // Diffusion keeps the average: 128 is made of 102s and 153s.
  EXPECT_NEAR(static_cast<double>(sum) / greyCount, 128.0, 3.0);
  // No colour table is no error on a palette display.
  EXPECT_EQ(GifError(GifHeader(2, 2, {}) + EncodeFrame(MakeFrame(2, 2, {0, 1, 1, 0}, 2)) + ";"),
            "");
}

TEST(GifDecoder, CorruptCodeStreamsAreRefused) {
  const std::string head = GifHeader(8, 8, DistinctPalette(4));
  const std::string desc = FrameDescriptor(MakeFrame(8, 8, {}, 2));
  auto withCodes = [&](int minCode, const std::vector<std::pair<int, int>>& codes) {
    return head + desc + static_cast<char>(minCode) + SubBlocks(PackCodes(codes)) + ";";
  };
  // An entry made its own prefix.
  EXPECT_EQ(GifError(withCodes(2, {{4, 3}, {0, 3}, {7, 3}, {7, 3}, {7, 4}})), sGIFCircularTable);
  // Two entries that are each other's prefix.
  EXPECT_EQ(GifError(withCodes(2, {{4, 3}, {7, 3}, {6, 3}, {0, 3}, {7, 4}})), sGIFCircularTable);
  // Root codes too wide for the table.
  EXPECT_EQ(GifError(head + desc + static_cast<char>(12) + SubBlocks("abc") + ";"),
            sGIFInvalidData);
  // Codes beyond the table but no loop: decoded without harm.
  EXPECT_EQ(GifError(withCodes(2, {{4, 3}, {1, 3}, {7, 3}, {6, 3}, {5, 4}})), "");
}

TEST(GifDecoder, HugeDeclaredSizesAreRefusedWithoutAllocating) {
  const std::vector<TColor> pal = DistinctPalette(4);
  GifFrame f = MakeFrame(65535, 65535, {}, 2);
  std::string frameOnly =
      FrameDescriptor(f) + static_cast<char>(2) + SubBlocks(PackCodes({{4, 3}, {5, 3}}));
  EXPECT_EQ(GifError(GifHeader(65535, 65535, pal) + frameOnly + ";"), sGIFImageTooLarge);
  // A huge screen with a small frame: the screen bitmap is refused.
  EXPECT_EQ(GifError(GifHeader(65535, 65535, pal) + EncodeFrame(MakeFrame(1, 1, {1}, 2)) + ";"),
            sGIFImageTooLarge);
  // Many large frames: those beyond the pixel budget keep no pixels. (Their
  // data is long enough to stand for such a frame.)
  GifFrame big = MakeFrame(8192, 4096, {}, 2);
  std::string bigFrame = FrameDescriptor(big) + static_cast<char>(2) +
                         SubBlocks(PackCodes({{4, 3}, {5, 3}}) + std::string(3000, '\0'));
  std::string gif = GifHeader(8192, 4096, pal);
  for (int i = 0; i < 3; ++i) gif += bigFrame;
  auto g = LoadGif(gif + ";");
  ASSERT_EQ(g->image->FrameCount(), 3);
  EXPECT_EQ(g->image->Frame(0).PixelIndices.size(), 8192u * 4096u);
  EXPECT_EQ(g->image->Frame(1).PixelIndices.size(), 8192u * 4096u);
  EXPECT_TRUE(g->image->Frame(2).PixelIndices.empty());
}

TEST(GifDecoder, EveryTruncationAndCorruptionFailsSafely) {
  GifFrame a = MakeFrame(9, 7, NoisePixels(63, 16, 5), 4);
  a.interlaced = true;
  GifFrame b = MakeFrame(4, 4, NoisePixels(16, 4, 6), 2);
  b.left = 7;
  b.top = 5;
  b.local = DistinctPalette(4);
  const std::string gif = GifHeader(9, 7, DistinctPalette(16)) + "\x21\xFE" + SubBlocks("c") +
                          GraphicControl(true, 2) + EncodeFrame(a) + "\x21\xFF\x0BNETSCAPE2.0" +
                          std::string("\x03\x01\x00\x00\x00", 5) + EncodeFrame(b) + ";";
  ASSERT_EQ(GifError(gif), "");
  for (std::size_t n = 0; n < gif.size(); ++n) {
    std::string cut = gif.substr(0, n);
    RecordingStream stream(cut);
    std::unique_ptr<Bitmap> bmp;
    try {
      LoadGifStream(stream, bmp);
    } catch (const GIFException&) {
    }
    EXPECT_LE(stream.furthest, static_cast<std::int64_t>(n));
  }
  std::mt19937 rng(7);
  for (int round = 0; round < 3000; ++round) {
    std::string bad = gif;
    for (int k = 0; k < 3; ++k) bad[rng() % bad.size()] = static_cast<char>(rng());
    std::unique_ptr<Bitmap> bmp;
    MemoryReadStream stream(bad);
    try {
      LoadGifStream(stream, bmp);
    } catch (const GIFException&) {
    }
  }
}

TEST(GifDecoder, ReadersOfBlocks) {
  const std::string blocks{'\x02', 'a', 'b', '\x01', 'c', '\x00', 'r'};
  MemoryReadStream s(blocks);
  EXPECT_EQ(ReadSubBlocks(s), (std::vector<std::string>{"ab", "c"}));
  EXPECT_EQ(s.Position(), 6);
  const std::string unterminated{'\x02', 'a', 'b'};  // end of stream at a size byte
  MemoryReadStream open(unterminated);
  EXPECT_EQ(ReadSubBlocks(open), std::vector<std::string>{"ab"});
  const std::string truncated{'\x05', 'a', 'b'};
  MemoryReadStream shortBlock(truncated);
  EXPECT_THROW(ReadSubBlocks(shortBlock), GIFException);
  char buf[4];
  const std::string abc = "abc";
  MemoryReadStream three(abc);
  try {
    ReadExact(three, buf, 4);
    FAIL();
  } catch (const GIFException& e) {
    EXPECT_STREQ(e.what(), sGIFPrematureEnd);
  }
}

}  // namespace
}  // namespace kiv
