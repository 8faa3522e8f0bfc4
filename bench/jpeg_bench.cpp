// Loading a 1024x768 JPEG with two-pass quantisation to 215 colours, beside
// libjpeg decoding the same file to RGB without quantisation, so that the
// quantiser's share shows.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "../tests/imaging/jpeg_writer.h"
#include "imaging/jpeg_loader.h"

namespace {

const std::string& PhotoJpeg() {
  static const std::string path = [] {
    std::string p =
        (std::filesystem::temp_directory_path() / "kivbench-photo-1024x768.jpg").string();
    kiv::testing::WriteJpeg(p, 1024, 768, false, kiv::testing::PhotoPixel, 85);
    return p;
  }();
  return path;
}

void JpegLoad_Quantised215(benchmark::State& state) {
  const std::string& path = PhotoJpeg();
  for (auto _ : state) {
    std::unique_ptr<kiv::Bitmap> b = kiv::LoadJpegBitmap(path, false);
    benchmark::DoNotOptimize(b.get());
  }
}

void JpegDecode_LibjpegRgb(benchmark::State& state) {
  const std::string& path = PhotoJpeg();
  std::vector<JSAMPLE> pixels;
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    jpeg_decompress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_decompress(&c);
    jpeg_stdio_src(&c, f);
    jpeg_read_header(&c, TRUE);
    c.dct_method = JDCT_IFAST;
    jpeg_start_decompress(&c);
    const std::size_t stride = static_cast<std::size_t>(c.output_width) * c.output_components;
    pixels.resize(stride * c.output_height);
    while (c.output_scanline < c.output_height) {
      JSAMPROW row = &pixels[stride * c.output_scanline];
      jpeg_read_scanlines(&c, &row, 1);
    }
    jpeg_finish_decompress(&c);
    jpeg_destroy_decompress(&c);
    std::fclose(f);
    benchmark::DoNotOptimize(pixels.data());
  }
}

BENCHMARK(JpegLoad_Quantised215)->Unit(benchmark::kMillisecond);
BENCHMARK(JpegDecode_LibjpegRgb)->Unit(benchmark::kMillisecond);

}  // namespace
