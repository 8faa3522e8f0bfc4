// Bitmap routines of the image cache: transparency masks, drawing through a
// mask, and the device-independent form of a bitmap (bottom-up rows padded to
// 4 bytes, with a colour table for indexed bitmaps).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/color.h"
#include "reader/alloc_rec.h"

namespace kiv {

// The bitmap-info header of a device-independent bitmap.
struct TBitmapInfoHeader {
  std::uint32_t biSize = 40;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;  // positive: rows bottom-up
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 0;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};

// Header plus colour table (indexed bitmaps only).
struct TBitmapInfo {
  TBitmapInfoHeader Header;
  std::vector<TColor> Colors;
};

// A mask the size of bitmap: white where the pixel has the colour (the given
// one, else the bottom-left pixel's), black elsewhere. Null on failure.
std::unique_ptr<Mask> MakeMask(const Bitmap& bitmap, bool useGivenColor, TColor color);

// Draws bitmap stretched to width x height at (x, y), leaving the pixels
// where the mask is white untouched. Nothing is drawn on a monochrome canvas.
void DrawTransparent(Canvas& canvas, const Bitmap& bitmap, const Mask& mask, int x, int y,
                     int width, int height);

// Bytes of a row of bits, padded to 4 bytes.
int BytesPerScanline(std::int64_t bits);
void InitBitmapInfoHeader(const Bitmap& bitmap, TBitmapInfoHeader& header);
// Reads the bitmap's bits in its device-independent form. The palette, when
// given, replaces the bitmap's own colours. Raises std::bad_alloc when
// nothing could be read.
void GetDIB(Canvas& canvas, const Bitmap& bitmap, const std::vector<TColor>* palette,
            std::unique_ptr<AllocRec>& bits, TBitmapInfoHeader& header);
// Header and colour table in info (infoSize bytes as the window system counts
// them), the bits in bits.
void GetBitmapDIB(Canvas& canvas, const Bitmap& bitmap, std::unique_ptr<TBitmapInfo>& info,
                  int& infoSize, std::unique_ptr<AllocRec>& bits);
// Stretches the whole device-independent bitmap onto the rectangle at (x, y)
// of the given height and width with the raster operation.
void StretchDIB(Canvas& canvas, int x, int y, RasterOp rop, const AllocRec& bits,
                const TBitmapInfo& info, int height, int width);
// The bitmap a device-independent bitmap describes; null when it does not hold one.
std::unique_ptr<Bitmap> BitmapFromDIB(const AllocRec& bits, const TBitmapInfo& info);

}  // namespace kiv
