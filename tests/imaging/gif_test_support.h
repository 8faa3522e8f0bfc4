// Helpers of the GIF tests: palettes, pixel patterns and loading from bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "imaging/gif_image.h"
#include "imaging/gif_writer.h"
#include "imaging/read_stream.h"

namespace kiv::testing {

inline std::vector<TColor> DistinctPalette(int n) {
  std::vector<TColor> p;
  for (int i = 0; i < n; ++i) p.push_back(RGB(i, (i * 7) & 0xFF, 255 - i));
  return p;
}

inline std::vector<std::uint8_t> NoisePixels(int count, int colors, unsigned seed = 1) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> v(static_cast<std::size_t>(count));
  for (auto& p : v) p = static_cast<std::uint8_t>(rng() % static_cast<unsigned>(colors));
  return v;
}

inline GifFrame MakeFrame(int w, int h, std::vector<std::uint8_t> pixels, int minCodeSize = 8) {
  GifFrame f;
  f.width = w;
  f.height = h;
  f.pixels = std::move(pixels);
  f.minCodeSize = minCodeSize;
  return f;
}

// Loads bytes into an image, collecting warnings.
struct LoadedGif {
  std::unique_ptr<TGIFImage> image = std::make_unique<TGIFImage>();
  std::vector<std::string> warnings;
};

inline std::unique_ptr<LoadedGif> LoadGif(const std::string& bytes) {
  auto r = std::make_unique<LoadedGif>();
  LoadedGif* raw = r.get();
  r->image->WarningHandler = [raw](TGIFSeverity, const std::string& m) {
    raw->warnings.push_back(m);
  };
  MemoryReadStream stream(bytes);
  r->image->LoadFromStream(stream);
  return r;
}

// The message of the GIFException LoadGifStream raises, or "" when none.
inline std::string GifError(const std::string& bytes) {
  MemoryReadStream stream(bytes);
  std::unique_ptr<Bitmap> bmp;
  try {
    LoadGifStream(stream, bmp);
  } catch (const GIFException& e) {
    return e.what();
  }
  return "";
}

inline std::vector<std::uint8_t> BitmapIndices(const Bitmap& b) {
  std::vector<std::uint8_t> v;
  for (int y = 0; y < b.Height(); ++y) v.insert(v.end(), b.ScanLine(y), b.ScanLine(y) + b.Width());
  return v;
}

}  // namespace kiv::testing
