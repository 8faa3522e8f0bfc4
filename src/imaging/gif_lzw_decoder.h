// The variable-code-length LZW decoder of GIF image data.
#pragma once

#include <cstdint>

#include "imaging/gif_common.h"

namespace kiv {

// Where decoded colour indices go. The image is Width x Height pixels; only
// the kept window (KeptLeft, KeptTop, KeptWidth x KeptHeight, inside the
// image) is stored, row-major, in Pixels. A window of zero width stands for
// the whole image. The buffer holds Fill everywhere when decoding starts, and
// pixels the data never reaches keep it.
struct TGIFPixelTarget {
  std::uint8_t* Pixels = nullptr;
  std::uint8_t Fill = 0;
  int Width = 0;
  int Height = 0;
  bool Interlaced = false;
  int KeptLeft = 0;
  int KeptTop = 0;
  int KeptWidth = 0;
  int KeptHeight = 0;
};

// Decodes the data sub-blocks that follow the minimum code size byte
// (already read) and leaves the stream behind the image's zero-size
// terminator, or at the end of the stream. Raises "Invalid GIF data" for a
// code size beyond 12 bits and "Circular decoder table entry" for a prefix
// chain that loops.
void DecodeGifImageData(ReadStream& stream, int minCodeSize, const TGIFPixelTarget& target,
                        const TGIFWarningHandler& warn);

// Skips data sub-blocks through the zero-size terminator (or to the end of
// the stream).
void SkipSubBlocks(ReadStream& stream);

}  // namespace kiv
