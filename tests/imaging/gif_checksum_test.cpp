// Decoded pictures stay the same, to the bit, whatever is done to the
// decoder's speed: every outcome (pixels of every frame, descriptors as kept,
// warnings, where the stream was left, the composed bitmap, or the error) is
// folded into a digest and compared with the digest of the decoder as it was
// when these were recorded. Clean images, interlaced and transparent frames,
// several frames, full tables with and without clear codes, truncated data,
// stray codes, and thousands of corrupted files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "imaging/gif_test_support.h"

namespace kiv {
namespace {

using namespace kiv::testing;

class Digest {
 public:
  void Add(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i) {
      h_ ^= p[i];
      h_ *= 1099511628211ull;
    }
  }
  void Add(std::int64_t v) { Add(&v, sizeof v); }
  void Add(const std::string& s) {
    Add(static_cast<std::int64_t>(s.size()));
    Add(s.data(), s.size());
  }
  std::uint64_t Value() const { return h_; }

 private:
  std::uint64_t h_ = 14695981039346656037ull;
};

void AddOutcome(Digest& d, const std::string& bytes) {
  TGIFImage image;
  image.WarningHandler = [&d](TGIFSeverity, const std::string& m) { d.Add("warn " + m); };
  MemoryReadStream stream(bytes);
  try {
    image.LoadFromStream(stream);
    d.Add(stream.Position());
    d.Add(image.FrameCount());
    for (int i = 0; i < image.FrameCount(); ++i) {
      TGIFSubImage& f = image.Frame(i);
      for (int v : {f.Left(), f.Top(), f.Width(), f.Height(), int{f.Descriptor.PackedFields},
                    int{f.IsTransparent}, int{f.ClippedToScreen}})
        d.Add(v);
      d.Add(static_cast<std::int64_t>(f.PixelIndices.size()));
      d.Add(f.PixelIndices.data(), f.PixelIndices.size());
    }
    const Bitmap* b = image.ComposeBitmap();
    d.Add(b ? b->Width() : -1);
    if (b) {
      d.Add(b->Height());
      const std::vector<std::uint8_t> px = BitmapIndices(*b);
      d.Add(px.data(), px.size());
    }
  } catch (const GIFException& e) {
    d.Add(std::string("error ") + e.what());
    d.Add(stream.Position());
  }
}

std::uint64_t OutcomeDigest(const std::string& bytes) {
  Digest d;
  AddOutcome(d, bytes);
  return d.Value();
}

// Smooth colour with grain, as a scanned photo quantised to 256 colours.
std::vector<std::uint8_t> PhotoPixels(int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> px(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int grain = static_cast<int>(rng() % 24) - 12;
      const int r = std::clamp((x * 255) / w + grain, 0, 255) >> 5;
      const int g = std::clamp(((x + y) * 200) / (w + h) + grain, 0, 255) >> 5;
      const int b = std::clamp(255 - (y * 255) / h + grain, 0, 255) >> 6;
      px[static_cast<std::size_t>(y * w + x)] = static_cast<std::uint8_t>(r * 32 + g * 4 + b);
    }
  return px;
}

// Long runs of one colour: long strings and many codes that name the entry
// being made.
std::vector<std::uint8_t> RunPixels(int count, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> px;
  while (static_cast<int>(px.size()) < count) {
    const std::size_t run = 1 + rng() % 300;
    px.insert(px.end(), run, static_cast<std::uint8_t>(rng() % 3));
  }
  px.resize(static_cast<std::size_t>(count));
  return px;
}

std::string MultiFrameGif() {
  GifFrame a = MakeFrame(40, 30, PhotoPixels(40, 30, 11));
  GifFrame b = MakeFrame(25, 17, RunPixels(25 * 17, 12), 2);
  b.left = 5;
  b.top = 4;
  b.interlaced = true;
  b.local = DistinctPalette(4);
  GifFrame c = MakeFrame(30, 20, NoisePixels(600, 16, 13), 4);
  c.left = 20;
  c.top = 15;  // reaches beyond the screen
  c.interlaced = true;
  c.blockSize = 17;
  return GifHeader(40, 30, DistinctPalette(256)) + GraphicControl(true, 7) + EncodeFrame(a) +
         GraphicControl(true, 2) + EncodeFrame(b) + EncodeFrame(c) + ";";
}

TEST(GifDecoderChecksums, CleanImagesOfEveryKind) {
  std::vector<std::string> gifs;
  for (bool interlaced : {false, true}) {
    GifFrame f = MakeFrame(160, 120, PhotoPixels(160, 120, 1));
    f.interlaced = interlaced;
    gifs.push_back(SimpleGif(f, DistinctPalette(256)));
  }
  {
    GifFrame f = MakeFrame(200, 100, RunPixels(20000, 2), 2);
    gifs.push_back(SimpleGif(f, DistinctPalette(4)));
    f.lzw.clearWhenFull = false;
    f.blockSize = 1;
    gifs.push_back(SimpleGif(f, DistinctPalette(4)));
  }
  for (int minCode : {8, 2}) {  // a full table kept without clear codes
    GifFrame f = MakeFrame(300, 200, NoisePixels(60000, minCode == 8 ? 256 : 4, 3), minCode);
    f.lzw.clearWhenFull = false;
    gifs.push_back(SimpleGif(f, DistinctPalette(minCode == 8 ? 256 : 4)));
  }
  {  // no end code, and extra sub-blocks behind the end code
    GifFrame f = MakeFrame(33, 9, PhotoPixels(33, 9, 4));
    f.lzw.endCode = false;
    gifs.push_back(SimpleGif(f, DistinctPalette(256)));
    f.lzw.endCode = true;
    const std::string codes = FrameCodes(f) + "garbage behind the end code";
    gifs.push_back(GifHeader(33, 9, DistinctPalette(256)) + FrameDescriptor(f) + '\x08' +
                   SubBlocks(codes, 10) + ";");
  }
  gifs.push_back(MultiFrameGif());
  const std::uint64_t want[] = {
      0xa5b76c56198ec01bull, 0x09331ed387f22720ull, 0xfe7d558a2784c8b8ull,
      0x0dab7da0cbebd93bull, 0xc8aef8c45e82b565ull, 0xf13acef5041c69c1ull,
      0x2f431e7371a53b27ull, 0x01790b9834af7aacull, 0xcc2625116f2ac0abull,
  };
  ASSERT_EQ(gifs.size(), std::size(want));
  for (std::size_t i = 0; i < gifs.size(); ++i)
    EXPECT_EQ(OutcomeDigest(gifs[i]), want[i])
        << "image " << i << std::hex << " digest 0x" << OutcomeDigest(gifs[i]);
}

TEST(GifDecoderChecksums, TruncatedAndStrayCodes) {
  Digest all;
  // Cut anywhere: inside sub-blocks, at size bytes, in the middle of a code.
  for (bool transparent : {false, true}) {
    GifFrame f = MakeFrame(64, 48, PhotoPixels(64, 48, 5));
    const std::string gif = GifHeader(64, 48, DistinctPalette(256)) +
                            (transparent ? GraphicControl(true, 9) : "") + EncodeFrame(f);
    for (std::size_t n = gif.size() - 900; n < gif.size(); n += 7)
      AddOutcome(all, gif.substr(0, n));
  }
  // Hand-made code streams: codes beyond the next free entry, stray codes
  // after a clear code, repeated clears, a clear as the last code.
  const std::string head = GifHeader(6, 5, DistinctPalette(4));
  const std::string desc = FrameDescriptor(MakeFrame(6, 5, {}, 2));
  const std::vector<std::vector<std::pair<int, int>>> streams = {
      {{4, 3}, {1, 3}, {7, 3}, {6, 3}, {5, 4}},
      {{4, 3}, {1, 3}, {2, 3}, {7, 3}, {3, 3}, {11, 4}, {9, 4}, {0, 4}, {12, 4}, {5, 4}},
      {{4, 3}, {6, 3}, {1, 3}, {7, 3}, {4, 3}, {7, 3}, {2, 3}, {6, 3}, {5, 3}},
      {{4, 3}, {4, 3}, {4, 3}, {2, 3}, {2, 3}, {6, 3}, {4, 3}, {3, 3}, {7, 3}, {4, 3}},
      {{4, 3}, {3, 3}, {6, 3}, {6, 3}, {8, 4}, {9, 4}, {10, 4}, {11, 4}, {12, 4}, {15, 4}},
      {{4, 3},
       {0, 3},
       {1, 3},
       {2, 3},
       {3, 3},
       {6, 3},
       {8, 4},
       {10, 4},
       {11, 4},
       {13, 4},
       {14, 4},
       {15, 4},
       {16, 5},
       {17, 5},
       {30, 5}},
      {{4, 3},
       {1, 3},
       {1, 3},
       {6, 3},
       {7, 3},
       {8, 4},
       {9, 4},
       {10, 4},
       {11, 4},
       {12, 4},
       {13, 4},
       {14, 4},
       {15, 4},
       {16, 5},
       {17, 5},
       {18, 5},
       {19, 5},
       {20, 5}},
      {{4, 3}, {2, 3}, {3, 3}, {4, 3}},
  };
  for (const auto& codes : streams) {
    AddOutcome(all, head + desc + '\x02' + SubBlocks(PackCodes(codes)) + ";");
    AddOutcome(
        all, head + GraphicControl(true, 3) + desc + '\x02' + SubBlocks(PackCodes(codes), 1) + ";");
  }
  EXPECT_EQ(all.Value(), 0x42cdc88d3c4fc8fcull) << std::hex << "0x" << all.Value();
}

TEST(GifDecoderChecksums, CorruptedFiles) {
  // Each file with the length of its header and global colour table: the
  // bytes behind them, mostly code streams, are corrupted.
  const std::pair<std::string, std::size_t> gifs[] = {
      {MultiFrameGif(), 13 + 3 * 256},
      {SimpleGif(MakeFrame(48, 20, RunPixels(960, 21), 2), DistinctPalette(4)), 13 + 3 * 4}};
  Digest all;
  std::mt19937 rng(99);
  for (const auto& [gif, head] : gifs) {
    for (int round = 0; round < 1500; ++round) {
      std::string bad = gif;
      for (int k = 0; k < 2; ++k) {
        const std::size_t at = head + rng() % (bad.size() - head);
        bad[at] = static_cast<char>(rng());
      }
      AddOutcome(all, bad);
    }
  }
  EXPECT_EQ(all.Value(), 0xbd3510d38beae9efull) << std::hex << "0x" << all.Value();
}

}  // namespace
}  // namespace kiv
