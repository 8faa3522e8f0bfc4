// Device-independent pictures: Bitmap (8-bit indexed with its palette, or
// true colour) and Mask (monochrome; white marks transparent pixels).
// Rows are padded to 4 bytes as in the window system's bitmaps.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/color.h"

class QImage;

namespace kiv {

// Largest picture the program accepts, in pixels. A declared size beyond it is
// refused instead of allocating gigabytes for a file from anywhere.
constexpr std::int64_t MaxBitmapPixels = 64LL * 1024 * 1024;

// Bytes of picture memory that new bitmaps may still take (one a pixel when
// indexed, four when true colour); a bitmap beyond it is refused as one too
// large is. Unbounded unless a PictureAllowanceScope is open: the image cache
// opens one around each decode, so that the pictures of a page and its cache
// keep within one budget. Decoders ask it before they do any work.
std::int64_t PictureByteAllowance();
class PictureAllowanceScope {
 public:
  explicit PictureAllowanceScope(std::int64_t bytes);
  ~PictureAllowanceScope();
  PictureAllowanceScope(const PictureAllowanceScope&) = delete;
  PictureAllowanceScope& operator=(const PictureAllowanceScope&) = delete;

 private:
  std::int64_t previous_;
};

class Bitmap {
 public:
  // An 8-bit indexed bitmap with the given palette (at most 256 entries),
  // all pixels index 0. Null when the size is not positive or too large.
  static std::unique_ptr<Bitmap> CreateIndexed(int width, int height,
                                               const std::vector<TColor>& palette);
  // A true-colour bitmap, all pixels black. Null when the size is refused.
  static std::unique_ptr<Bitmap> CreateRgb(int width, int height);
  // Decodes a picture file held in memory (Windows bitmap, GIF, JPEG, PNG)
  // with the toolkit's readers. Null when it cannot be read.
  static std::unique_ptr<Bitmap> FromFileData(const void* data, std::size_t size);
  // Same for a file on disk (native path).
  static std::unique_ptr<Bitmap> FromFile(const std::string& nativePath);
  static std::unique_ptr<Bitmap> FromImage(const QImage& image);

  ~Bitmap();
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  std::unique_ptr<Bitmap> Clone() const;

  int Width() const;
  int Height() const;
  // 8 for indexed bitmaps, 24 for true colour.
  int BitsPerPixel() const;
  bool IsIndexed() const { return BitsPerPixel() == 8; }

  std::vector<TColor> Palette() const;
  void SetPalette(const std::vector<TColor>& palette);

  // Row y (0 = top): one byte per pixel when indexed, 4 bytes (B, G, R, x)
  // per pixel when true colour.
  std::uint8_t* ScanLine(int y);
  const std::uint8_t* ScanLine(int y) const;
  int BytesPerLine() const;
  // The picture memory it takes, as PictureByteAllowance counts it.
  std::int64_t PictureBytes() const;

  // Colour of a pixel (0x00BBGGRR); black outside the bitmap.
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);

  bool SaveFile(const std::string& nativePath) const;

  QImage& Image();
  const QImage& Image() const;

 private:
  Bitmap();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

class Mask {
 public:
  // A mask of the given size, all black (opaque). Null when refused.
  static std::unique_ptr<Mask> Create(int width, int height);
  ~Mask();
  Mask(const Mask&) = delete;
  Mask& operator=(const Mask&) = delete;

  int Width() const;
  int Height() const;
  bool IsWhite(int x, int y) const;
  void SetWhite(int x, int y, bool white);
  // A copy with white and black swapped.
  std::unique_ptr<Mask> Inverted() const;

  QImage& Image();
  const QImage& Image() const;

 private:
  Mask();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kiv
