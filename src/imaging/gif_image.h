// The GIF image model: header with the logical screen and global colour
// table, frames with their local colour tables, extensions and decoded
// colour indices, and the trailer. LoadGifStream turns a GIF into a bitmap
// of its first frame.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "imaging/gif_common.h"
#include "imaging/gif_extension.h"
#include "imaging/read_stream.h"
#include "platform/bitmap.h"
#include "platform/color.h"

namespace kiv {

class TGIFImage;

// Decoded frames of one image hold at most this many pixels together; a
// frame beyond it keeps its descriptor but no pixels. A single frame or a
// logical screen beyond it raises sGIFImageTooLarge.
constexpr std::int64_t GIFMaxPixels = MaxBitmapPixels;
// The most pixels one byte of image data can stand for: codes are at least
// 2 bits wide and none stands for more than 4096 pixels.
constexpr std::int64_t GIFMaxPixelsPerDataByte = 4 * 4096;

class TGIFColorMap {
 public:
  static constexpr int MaxColors = 256;
  int Count() const { return count_; }
  void Clear() { count_ = 0; }
  // Reads count entries of red, green, blue.
  void LoadFromStream(ReadStream& stream, int count);
  // Colour of entry i; black beyond the table.
  TColor Color(int i) const;
  std::vector<TColor> AsPalette() const;

 private:
  std::array<std::uint8_t, 3 * MaxColors> data_{};
  int count_ = 0;
};

class TGIFGlobalColorMap : public TGIFColorMap {};
class TGIFLocalColorMap : public TGIFColorMap {};

class TGIFItem {
 public:
  explicit TGIFItem(TGIFImage* image) : image_(image) {}
  virtual ~TGIFItem() = default;
  TGIFItem(const TGIFItem&) = delete;
  TGIFItem& operator=(const TGIFItem&) = delete;
  TGIFImage* Image() const { return image_; }

 private:
  TGIFImage* image_;  // not owned: the image this item belongs to
};

struct TLogicalScreenDescriptor {
  std::uint16_t ScreenWidth = 0;
  std::uint16_t ScreenHeight = 0;
  std::uint8_t PackedFields = 0;
  std::uint8_t BackgroundColorIndex = 0;
  std::uint8_t AspectRatio = 0;
};

class TGIFHeader : public TGIFItem {
 public:
  using TGIFItem::TGIFItem;
  void Clear();
  // Signature (tolerating 4 bytes of other data in front), logical screen
  // descriptor and global colour table.
  void LoadFromStream(ReadStream& stream);

  TLogicalScreenDescriptor Descriptor;
  TGIFGlobalColorMap ColorMap;
  std::array<std::uint8_t, 6> Signature{};
  int Width() const { return Descriptor.ScreenWidth; }
  int Height() const { return Descriptor.ScreenHeight; }
};

struct TImageDescriptor {
  std::uint8_t Separator = 0;
  std::uint16_t Left = 0;
  std::uint16_t Top = 0;
  std::uint16_t Width = 0;
  std::uint16_t Height = 0;
  std::uint8_t PackedFields = 0;
};

class TGIFSubImage : public TGIFItem {
 public:
  using TGIFItem::TGIFItem;
  // Extensions, image descriptor, local colour table and image data.
  void LoadFromStream(ReadStream& stream);

  TImageDescriptor Descriptor;
  TGIFLocalColorMap ColorMap;
  TGIFExtensionList Extensions;
  // Width x height colour indices, row-major.
  std::vector<std::uint8_t> PixelIndices;
  bool IsTransparent = false;
  // The frame reached beyond the logical screen: Descriptor's rectangle is
  // now its visible part, and it is drawn onto the screen like any frame of
  // another size.
  bool ClippedToScreen = false;
  // The first graphic control extension of this frame; owned by Extensions.
  TGIFGraphicControlExtension* FrameGce = nullptr;

  int Left() const { return Descriptor.Left; }
  int Top() const { return Descriptor.Top; }
  int Width() const { return Descriptor.Width; }
  int Height() const { return Descriptor.Height; }
  bool Interlaced() const { return (Descriptor.PackedFields & 0x40) != 0; }
  bool Empty() const { return PixelIndices.empty() || Width() == 0 || Height() == 0; }

  // The frame as a bitmap (made on first use, kept); null for a frame with a
  // zero side.
  const Bitmap* FrameBitmap();
  std::vector<TColor> FramePalette();
  // Set where a transparent frame's pixel is the transparent index.
  const Mask* TransparencyMask() const { return mask_.get(); }
  // Hands over the frame bitmap (made first when needed); a later
  // FrameBitmap makes it again.
  std::unique_ptr<Bitmap> TakeFrameBitmap();

 private:
  void DecodeImageData(ReadStream& stream);
  std::unique_ptr<Bitmap> DitheredBitmap();

  std::unique_ptr<Bitmap> bitmap_;
  std::optional<std::vector<TColor>> palette_;
  std::unique_ptr<Mask> mask_;
};

class TGIFTrailer : public TGIFItem {
 public:
  using TGIFItem::TGIFItem;
  // Reads the trailer byte; anything else is warned about.
  void LoadFromStream(ReadStream& stream);
};

class TGIFImage {
 public:
  TGIFImage();
  ~TGIFImage();
  TGIFImage(const TGIFImage&) = delete;
  TGIFImage& operator=(const TGIFImage&) = delete;

  void Clear();
  // Reads the whole GIF; the stream is left behind the trailer. On failure
  // the stream is put back where it was and the exception passes on.
  void LoadFromStream(ReadStream& stream);

  TGIFHeader& Header() { return *header_; }
  int Width() const { return header_->Width(); }
  int Height() const { return header_->Height(); }
  int FrameCount() const { return static_cast<int>(images_.size()); }
  TGIFSubImage& Frame(int i) { return *images_[static_cast<std::size_t>(i)]; }

  std::vector<TColor> ImagePalette();
  // The first frame on the logical screen (made on first use, kept); null
  // when there are no frames.
  const Bitmap* ComposeBitmap();
  // Hands over the composed bitmap (null when there is none).
  std::unique_ptr<Bitmap> TakeComposedBitmap();

  // Optional; nothing in the program sets it.
  TGIFWarningHandler WarningHandler;
  void Warning(TGIFSeverity severity, const char* message) const;

  // Pixels still allowed for decoded frames.
  std::int64_t PixelBudget = GIFMaxPixels;

 private:
  // The first frame covers the logical screen exactly.
  bool FirstFrameFillsScreen() const;

  std::unique_ptr<TGIFHeader> header_;
  std::vector<std::unique_ptr<TGIFSubImage>> images_;
  std::unique_ptr<TGIFTrailer> trailer_;
  std::optional<std::vector<TColor>> palette_;
  std::unique_ptr<Bitmap> bitmap_;
  bool askingPalette_ = false;  // ImagePalette is running (guards re-entry)
};

// The 216-colour palette of palette displays: red, green and blue in the six
// levels 0, 51, ..., 255, red varying slowest.
std::vector<TColor> WebPalette();

// Reads a GIF from the stream and sets bitmap to a copy of its composed
// first frame (left empty when the GIF has no frames). Always true; failures
// raise GIFException.
bool LoadGifStream(ReadStream& stream, std::unique_ptr<Bitmap>& bitmap);

}  // namespace kiv
