// Writing a picture of at most 256 colours as a GIF89a file: one frame, a
// global colour table, an optional transparent colour, LZW-compressed pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kiv {

struct GifPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> palette;  // 0xRRGGBB, 1 to 256 colours
  std::vector<std::uint8_t> pixels;    // palette indices, row-major, width x height
  int transparentIndex = -1;           // the fully transparent colour, or -1
};

// The file's bytes; empty when the picture is malformed (no colours, more than
// 256, a size outside 1 to 65535, pixels of the wrong count or an index past
// the palette).
std::string EncodeGif(const GifPicture& picture);

// The LZW code stream of the indices with the given minimum code size (2 to
// 8), packed least significant bit first, without sub-block framing; the
// table restarts with a clear code when it is full.
std::string LzwCompress(const std::vector<std::uint8_t>& indices, int minCodeSize);

}  // namespace kiv
