// Writes JPEG files with libjpeg's compressor, for tests and benchmarks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace kiv::testing {

// pixel(x, y) gives 0x00RRGGBB; greyscale files take the low byte.
inline bool WriteJpeg(const std::string& path, int width, int height, bool grey,
                      const std::function<std::uint32_t(int, int)>& pixel, int quality = 90,
                      bool progressive = false) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, f);
  c.image_width = static_cast<JDIMENSION>(width);
  c.image_height = static_cast<JDIMENSION>(height);
  c.input_components = grey ? 1 : 3;
  c.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * (grey ? 1 : 3));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint32_t p = pixel(x, y);
      if (grey) {
        row[static_cast<std::size_t>(x)] = static_cast<JSAMPLE>(p & 0xFF);
      } else {
        row[static_cast<std::size_t>(x) * 3] = static_cast<JSAMPLE>((p >> 16) & 0xFF);
        row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<JSAMPLE>((p >> 8) & 0xFF);
        row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<JSAMPLE>(p & 0xFF);
      }
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::fclose(f);
  return true;
}

// A smooth, photo-like test picture.
inline std::uint32_t PhotoPixel(int x, int y) {
  int r = (x * 255 / 640 + y / 3) & 0xFF;
  int g = ((x ^ y) / 4 + y / 2) & 0xFF;
  int b = (255 - (x + y) / 5) & 0xFF;
  return static_cast<std::uint32_t>((r << 16) | (g << 8) | b);
}

}  // namespace kiv::testing
