// JPEG loading through libjpeg: a file becomes an 8-bit bitmap whose palette
// is the colour map libjpeg's two-pass quantiser chose for the picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/bitmap.h"

namespace kiv {

constexpr int JpegColors = 215;    // the usual palette size
constexpr int JpegFewColors = 64;  // with fewColours
// libjpeg's own working memory for one picture (the quantiser's first pass
// keeps the whole picture); more than this fails the load.
constexpr long JpegMaxWorkingMemory = 1024L * 1024 * 1024;
// A file of more scans than this is refused (a real one has about ten).
constexpr int JpegMaxScans = 100;
// Scans beyond this many must be paid for by the file's bytes: each scan
// costs a pass over every block of the picture, so a small file of many
// scans over a large picture would take minutes. Beyond it, each further
// scan needs a byte for every JpegBlocksPerByte blocks of the picture.
constexpr int JpegFreeScans = 16;
constexpr int JpegBlocksPerByte = 8;

// Decodes fileName (a native path, or one written with "\") into a bitmap of
// up to 215 colours (64 with fewColours). Null when the file cannot be
// opened, its data is corrupt, it ends before its picture has been covered
// once, it holds too many scans for its size, or the picture would pass
// PictureByteAllowance. A picture larger than MaxBitmapPixels shows the
// system's error box about the bitmap handle and gives null.
std::unique_ptr<Bitmap> LoadJpegBitmap(const std::string& fileName, bool fewColours);
// The same for a JPEG file's bytes in memory.
std::unique_ptr<Bitmap> LoadJpegBitmap(const void* data, std::size_t size, bool fewColours);

}  // namespace kiv
