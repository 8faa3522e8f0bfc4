// JPEG loading through libjpeg: a file becomes an 8-bit bitmap whose palette
// is the colour map libjpeg's two-pass quantiser chose for the picture.
#pragma once

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

// Decodes fileName (a native path, or one written with "\") into a bitmap of
// up to 215 colours (64 with fewColours). Null when the file cannot be
// opened or its data is corrupt. A picture larger than MaxBitmapPixels shows
// the system's error box about the bitmap handle and gives null.
std::unique_ptr<Bitmap> LoadJpegBitmap(const std::string& fileName, bool fewColours);

}  // namespace kiv
