#include "reader/bitmap_routines.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>

#include "platform/canvas.h"

namespace kiv {

namespace {

// Colours of an indexed bitmap's palette indexes; black beyond the palette.
std::array<TColor, 256> IndexColors(const Bitmap& bitmap) {
  std::array<TColor, 256> colors{};
  const std::vector<TColor> palette = bitmap.Palette();
  for (std::size_t i = 0; i < palette.size() && i < colors.size(); ++i)
    colors[i] = palette[i] & 0xFFFFFF;
  return colors;
}

// The colour of pixel x of a row.
TColor RowPixel(const Bitmap& bitmap, const std::uint8_t* row, int x,
                const std::array<TColor, 256>& indexColors) {
  if (bitmap.IsIndexed()) return indexColors[row[x]];
  const std::uint8_t* p = row + 4 * x;  // B, G, R, x
  return RGB(p[2], p[1], p[0]);
}

int DibBitCount(const Bitmap& bitmap) {
  return bitmap.IsIndexed() ? 8 : 24;
}

}  // namespace

std::unique_ptr<Mask> MakeMask(const Bitmap& bitmap, bool useGivenColor, TColor color) {
  const int width = bitmap.Width();
  const int height = bitmap.Height();
  if (width <= 0 || height <= 0) return nullptr;
  if (!useGivenColor) color = bitmap.Pixel(0, height - 1);
  const TColor key = ColorToRGB(color & ~PaletteRelativeFlag);
  std::unique_ptr<Mask> mask = Mask::Create(width, height);
  if (!mask) return nullptr;
  const std::array<TColor, 256> indexColors =
      bitmap.IsIndexed() ? IndexColors(bitmap) : std::array<TColor, 256>{};
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < width; ++x)
      if (RowPixel(bitmap, row, x, indexColors) == key) mask->SetWhite(x, y, true);
  }
  return mask;
}

void DrawTransparent(Canvas& canvas, const Bitmap& bitmap, const Mask& mask, int x, int y,
                     int width, int height) {
  if (canvas.IsMonochrome()) return;
  const TRect dest = Rect(x, y, x + width, y + height);
  if (dest.IsEmpty()) return;
  // The picture with its transparent pixels black, so that OR-ing it onto the
  // holes the mask cut leaves the background there untouched.
  const int w = bitmap.Width();
  const int h = bitmap.Height();
  std::unique_ptr<Bitmap> opaque = Bitmap::CreateRgb(w, h);
  if (!opaque) return;
  const std::array<TColor, 256> indexColors =
      bitmap.IsIndexed() ? IndexColors(bitmap) : std::array<TColor, 256>{};
  const int maskWidth = mask.Width();
  const int maskHeight = mask.Height();
  for (int row = 0; row < h; ++row) {
    const std::uint8_t* src = bitmap.ScanLine(row);
    std::uint8_t* out = opaque->ScanLine(row);
    for (int col = 0; col < w; ++col) {
      const bool transparent = col < maskWidth && row < maskHeight && mask.IsWhite(col, row);
      const TColor c = transparent ? clBlack : RowPixel(bitmap, src, col, indexColors);
      out[4 * col] = static_cast<std::uint8_t>(GetBValue(c));
      out[4 * col + 1] = static_cast<std::uint8_t>(GetGValue(c));
      out[4 * col + 2] = static_cast<std::uint8_t>(GetRValue(c));
    }
  }
  // Opaque pixels of the destination go black, transparent ones keep theirs.
  canvas.StretchMask(dest, mask, RasterOp::And);
  canvas.StretchBitmap(dest, *opaque, RasterOp::Or);
}

int BytesPerScanline(std::int64_t bits) {
  if (bits <= 0) return 0;
  const std::int64_t bytes = ((bits + 31) / 32) * 4;
  return bytes > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                 : static_cast<int>(bytes);
}

void InitBitmapInfoHeader(const Bitmap& bitmap, TBitmapInfoHeader& header) {
  header = TBitmapInfoHeader{};
  header.biWidth = bitmap.Width();
  header.biHeight = bitmap.Height();
  header.biPlanes = 1;
  header.biBitCount = static_cast<std::uint16_t>(DibBitCount(bitmap));
  const std::int64_t size = static_cast<std::int64_t>(BytesPerScanline(
                                static_cast<std::int64_t>(header.biWidth) * header.biBitCount)) *
                            header.biHeight;
  header.biSizeImage = static_cast<std::uint32_t>(
      std::min<std::int64_t>(size, std::numeric_limits<std::uint32_t>::max()));
}

void GetDIB(Canvas&, const Bitmap& bitmap, const std::vector<TColor>*,
            std::unique_ptr<AllocRec>& bits, TBitmapInfoHeader& header) {
  // The palette matters only to devices that map colours through one; the
  // bits of our bitmaps are read as they are.
  InitBitmapInfoHeader(bitmap, header);
  const int rowBytes =
      BytesPerScanline(static_cast<std::int64_t>(header.biWidth) * header.biBitCount);
  const std::int64_t size = static_cast<std::int64_t>(rowBytes) * header.biHeight;
  if (size <= 0 || size > std::numeric_limits<std::int32_t>::max()) throw std::bad_alloc();
  bits = AllocBlock(static_cast<std::int32_t>(size));
  const int width = header.biWidth;
  for (int r = 0; r < header.biHeight; ++r) {
    const std::uint8_t* src = bitmap.ScanLine(header.biHeight - 1 - r);  // rows bottom-up
    std::uint8_t* out = bits->Data + static_cast<std::size_t>(r) * rowBytes;
    if (header.biBitCount == 8) {
      std::memcpy(out, src, static_cast<std::size_t>(width));
    } else {
      for (int x = 0; x < width; ++x) {
        out[3 * x] = src[4 * x];
        out[3 * x + 1] = src[4 * x + 1];
        out[3 * x + 2] = src[4 * x + 2];
      }
    }
  }
}

void GetBitmapDIB(Canvas& canvas, const Bitmap& bitmap, std::unique_ptr<TBitmapInfo>& info,
                  int& infoSize, std::unique_ptr<AllocRec>& bits) {
  auto made = std::make_unique<TBitmapInfo>();
  if (bitmap.IsIndexed()) made->Colors = bitmap.Palette();
  const std::vector<TColor>* palette = bitmap.IsIndexed() ? &made->Colors : nullptr;
  GetDIB(canvas, bitmap, palette, bits, made->Header);
  made->Header.biClrUsed = static_cast<std::uint32_t>(made->Colors.size());
  infoSize = static_cast<int>(sizeof(TBitmapInfoHeader) + 4 * made->Colors.size());
  info = std::move(made);
}

std::unique_ptr<Bitmap> BitmapFromDIB(const AllocRec& bits, const TBitmapInfo& info) {
  const TBitmapInfoHeader& h = info.Header;
  if (h.biWidth <= 0 || h.biHeight <= 0 || (h.biBitCount != 8 && h.biBitCount != 24))
    return nullptr;
  const int rowBytes = BytesPerScanline(static_cast<std::int64_t>(h.biWidth) * h.biBitCount);
  if (static_cast<std::int64_t>(rowBytes) * h.biHeight > bits.Size) return nullptr;
  std::unique_ptr<Bitmap> bitmap = h.biBitCount == 8
                                       ? Bitmap::CreateIndexed(h.biWidth, h.biHeight, info.Colors)
                                       : Bitmap::CreateRgb(h.biWidth, h.biHeight);
  if (!bitmap) return nullptr;
  for (int r = 0; r < h.biHeight; ++r) {
    const std::uint8_t* src = bits.Data + static_cast<std::size_t>(r) * rowBytes;
    std::uint8_t* out = bitmap->ScanLine(h.biHeight - 1 - r);
    if (h.biBitCount == 8) {
      std::memcpy(out, src, static_cast<std::size_t>(h.biWidth));
    } else {
      for (int x = 0; x < h.biWidth; ++x) {
        out[4 * x] = src[3 * x];
        out[4 * x + 1] = src[3 * x + 1];
        out[4 * x + 2] = src[3 * x + 2];
      }
    }
  }
  return bitmap;
}

void StretchDIB(Canvas& canvas, int x, int y, RasterOp rop, const AllocRec& bits,
                const TBitmapInfo& info, int height, int width) {
  std::unique_ptr<Bitmap> bitmap = BitmapFromDIB(bits, info);
  if (!bitmap) return;
  canvas.StretchBitmap(Rect(x, y, x + width, y + height), *bitmap, rop);
}

}  // namespace kiv
