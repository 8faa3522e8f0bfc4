// Decoding a photo-like 1024x768 GIF of 256 colours, made here with the
// tests' GIF writer: smooth gradients with grain, quantised to 8x8x4 levels.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "../tests/imaging/gif_writer.h"
#include "imaging/gif_image.h"
#include "imaging/read_stream.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

const std::string& PhotoGif() {
  static const std::string gif = [] {
    std::vector<kiv::TColor> palette;
    for (int r = 0; r < 8; ++r)
      for (int g = 0; g < 8; ++g)
        for (int b = 0; b < 4; ++b) palette.push_back(kiv::RGB(r * 36, g * 36, b * 85));
    std::mt19937 rng(42);
    std::normal_distribution<double> grain(0.0, 6.0);
    kiv::testing::GifFrame f;
    f.width = kWidth;
    f.height = kHeight;
    f.pixels.resize(static_cast<std::size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        double r = 128 + 100 * std::sin(x / 97.0) * std::cos(y / 61.0) + grain(rng);
        double g = 40 + x * 150.0 / kWidth + 30 * std::sin((x + y) / 41.0) + grain(rng);
        double b = 200 - y * 160.0 / kHeight + grain(rng);
        auto level = [](double v, int levels) {
          int l = static_cast<int>(v * levels / 256.0);
          return l < 0 ? 0 : l >= levels ? levels - 1 : l;
        };
        f.pixels[static_cast<std::size_t>(y) * kWidth + x] =
            static_cast<std::uint8_t>(level(r, 8) * 32 + level(g, 8) * 4 + level(b, 4));
      }
    return kiv::testing::SimpleGif(f, palette);
  }();
  return gif;
}

void GifDecode_Photo1024x768(benchmark::State& state) {
  const std::string& gif = PhotoGif();
  for (auto _ : state) {
    kiv::MemoryReadStream stream(gif);
    std::unique_ptr<kiv::Bitmap> bitmap;
    kiv::LoadGifStream(stream, bitmap);
    benchmark::DoNotOptimize(bitmap.get());
  }
  state.counters["file_bytes"] = static_cast<double>(gif.size());
}

BENCHMARK(GifDecode_Photo1024x768)->Unit(benchmark::kMillisecond);

}  // namespace
