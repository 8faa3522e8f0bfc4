#include "imaging/gif_image.h"

#include <algorithm>
#include <cstring>

#include "imaging/gif_lzw_decoder.h"
#include "platform/screen_canvas.h"

namespace kiv {

namespace {

// Reads the next byte, passing over zero bytes between blocks; -1 at the end.
int ReadSkippingZeros(ReadStream& stream) {
  int b;
  do {
    b = stream.ReadByte();
  } while (b == 0);
  return b;
}

bool IsGifSignature(const std::uint8_t* s) {
  return (s[0] == 'G' || s[0] == 'g') && (s[1] == 'I' || s[1] == 'i') &&
         (s[2] == 'F' || s[2] == 'f');
}

int ColorTableSize(std::uint8_t packed) {
  return 2 << (packed & 7);
}

// Index of the palette colour nearest to c (first of equals).
std::uint8_t NearestIndex(TColor c, const std::vector<TColor>& palette) {
  int best = 0;
  long bestDistance = -1;
  for (std::size_t i = 0; i < palette.size() && i < 256; ++i) {
    long dr = GetRValue(c) - GetRValue(palette[i]);
    long dg = GetGValue(c) - GetGValue(palette[i]);
    long db = GetBValue(c) - GetBValue(palette[i]);
    long d = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || d < bestDistance) {
      best = static_cast<int>(i);
      bestDistance = d;
      if (d == 0) break;
    }
  }
  return static_cast<std::uint8_t>(best);
}

// Copies the frame into the screen bitmap at (left, top), clipped to the
// screen. Colours are kept: indices are translated when the palettes differ.
void DrawFrame(Bitmap& screen, const Bitmap& frame, int left, int top) {
  const std::vector<TColor> from = frame.Palette();
  const std::vector<TColor> to = screen.Palette();
  std::uint8_t map[256];
  for (int i = 0; i < 256; ++i) {
    bool same = static_cast<std::size_t>(i) < from.size() &&
                static_cast<std::size_t>(i) < to.size() &&
                from[static_cast<std::size_t>(i)] == to[static_cast<std::size_t>(i)];
    TColor c =
        static_cast<std::size_t>(i) < from.size() ? from[static_cast<std::size_t>(i)] : clBlack;
    map[i] = same ? static_cast<std::uint8_t>(i) : NearestIndex(c, to);
  }
  const int x0 = std::max(0, left);
  const int x1 = std::min(screen.Width(), left + frame.Width());
  const int y0 = std::max(0, top);
  const int y1 = std::min(screen.Height(), top + frame.Height());
  for (int y = y0; y < y1; ++y) {
    const std::uint8_t* src = frame.ScanLine(y - top);
    std::uint8_t* dst = screen.ScanLine(y);
    for (int x = x0; x < x1; ++x) dst[x] = map[src[x - left]];
  }
}

// Resets a flag when a scope ends, also by an exception.
class FlagGuard {
 public:
  explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagGuard() { flag_ = false; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void ReadExact(ReadStream& stream, void* buffer, std::size_t count) {
  if (stream.Read(buffer, count) != count) throw GIFException(sGIFPrematureEnd);
}

std::vector<std::string> ReadSubBlocks(ReadStream& stream) {
  std::vector<std::string> lines;
  int size = stream.ReadByte();
  while (size > 0) {
    std::string line(static_cast<std::size_t>(size), '\0');
    ReadExact(stream, line.data(), line.size());
    lines.push_back(std::move(line));
    size = stream.ReadByte();
  }
  return lines;
}

std::vector<TColor> WebPalette() {
  std::vector<TColor> p;
  p.reserve(216);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) p.push_back(RGB(r * 51, g * 51, b * 51));
  return p;
}

// ---- Colour maps

void TGIFColorMap::LoadFromStream(ReadStream& stream, int count) {
  count = std::clamp(count, 0, MaxColors);
  count_ = 0;
  ReadExact(stream, data_.data(), static_cast<std::size_t>(3 * count));
  count_ = count;
}

TColor TGIFColorMap::Color(int i) const {
  if (i < 0 || i >= count_) return clBlack;
  const std::uint8_t* e = &data_[static_cast<std::size_t>(3 * i)];
  return RGB(e[0], e[1], e[2]);
}

std::vector<TColor> TGIFColorMap::AsPalette() const {
  std::vector<TColor> p;
  p.reserve(static_cast<std::size_t>(count_));
  for (int i = 0; i < count_; ++i) p.push_back(Color(i));
  return p;
}

// ---- Header

void TGIFHeader::Clear() {
  Descriptor = TLogicalScreenDescriptor();
  ColorMap.Clear();
  Signature.fill(0);
}

void TGIFHeader::LoadFromStream(ReadStream& stream) {
  const std::int64_t start = stream.Position();
  ReadExact(stream, Signature.data(), Signature.size());
  if (!IsGifSignature(Signature.data())) {
    // Tolerate 4 bytes of other data in front of the signature.
    stream.Seek(start + 4);
    ReadExact(stream, Signature.data(), Signature.size());
    if (!IsGifSignature(Signature.data())) throw GIFException(sGIFInvalidSignature);
  }
  std::uint8_t d[7];
  ReadExact(stream, d, sizeof d);
  Descriptor.ScreenWidth = ReadWordLE(d);
  Descriptor.ScreenHeight = ReadWordLE(d + 2);
  Descriptor.PackedFields = d[4];
  Descriptor.BackgroundColorIndex = d[5];
  Descriptor.AspectRatio = d[6];
  ColorMap.Clear();
  if (Descriptor.PackedFields & 0x80) {
    ColorMap.LoadFromStream(stream, ColorTableSize(Descriptor.PackedFields));
  }
}

// ---- Frames

void TGIFSubImage::LoadFromStream(ReadStream& stream) {
  Extensions.LoadFromStream(stream, this);
  int b = stream.ReadByte();
  if (b < 0 || b == 0) return;  // no descriptor: the frame stays empty
  stream.Skip(-1);
  if (b == bsTrailer) return;  // left for the trailer; nothing behind it is read

  std::uint8_t d[10];
  ReadExact(stream, d, sizeof d);
  Descriptor.Separator = d[0];
  Descriptor.Left = ReadWordLE(d + 1);
  Descriptor.Top = ReadWordLE(d + 3);
  Descriptor.Width = ReadWordLE(d + 5);
  Descriptor.Height = ReadWordLE(d + 7);
  Descriptor.PackedFields = d[9];
  if (Descriptor.Width == 0 || Descriptor.Height == 0) {
    Descriptor.Height = static_cast<std::uint16_t>(Image()->Height());
    Descriptor.Width = static_cast<std::uint16_t>(Image()->Width());
    Image()->Warning(TGIFSeverity::Warning, sGIFImageExceedsScreen);
  }
  if (Descriptor.PackedFields & 0x80) {
    ColorMap.LoadFromStream(stream, ColorTableSize(Descriptor.PackedFields));
  }
  DecodeImageData(stream);
}

void TGIFSubImage::DecodeImageData(ReadStream& stream) {
  TGIFImage& image = *Image();
  TGIFPixelTarget target;
  target.Width = Width();
  target.Height = Height();
  target.Interlaced = Interlaced();
  // A frame of another size than the logical screen shows only where it
  // overlaps the screen, so only that part is kept: a tiny file cannot make
  // the decoder allocate and fill a frame far larger than its picture. The
  // frame then stands for its visible part.
  if (Width() != image.Width() || Height() != image.Height()) {
    const int left = std::min(Left(), image.Width());
    const int top = std::min(Top(), image.Height());
    const int right = std::min(Left() + Width(), image.Width());
    const int bottom = std::min(Top() + Height(), image.Height());
    if (left != Left() || top != Top() || right != Left() + Width() || bottom != Top() + Height()) {
      ClippedToScreen = true;
      target.KeptLeft = left - Left();
      target.KeptTop = top - Top();
      target.KeptWidth = std::max(0, right - left);
      target.KeptHeight = std::max(0, bottom - top);
      Descriptor.Left = static_cast<std::uint16_t>(left);
      Descriptor.Top = static_cast<std::uint16_t>(top);
      Descriptor.Width = static_cast<std::uint16_t>(target.KeptWidth);
      Descriptor.Height = static_cast<std::uint16_t>(target.KeptHeight);
      if (target.KeptWidth == 0 || target.KeptHeight == 0) {
        // Nothing of it is visible: its data is passed over.
        if (stream.ReadByte() >= 0) SkipSubBlocks(stream);
        return;
      }
    }
  }
  const std::int64_t count = static_cast<std::int64_t>(Width()) * Height();
  if (count > GIFMaxPixels) throw GIFException(sGIFImageTooLarge);
  // Data that ends long before the frame's pixels could be had is refused
  // rather than filled out to a full-size empty picture.
  if (const std::int64_t length = stream.Length(); length >= 0) {
    const std::int64_t left = std::max<std::int64_t>(0, length - stream.Position());
    if (count > (left + 1) * GIFMaxPixelsPerDataByte) throw GIFException(sGIFPrematureEnd);
  }
  if (count > image.PixelBudget) {
    // Frames together beyond the budget: this one keeps no pixels.
    if (stream.ReadByte() >= 0) SkipSubBlocks(stream);
    return;
  }
  image.PixelBudget -= count;

  std::uint8_t fill = 0;
  if (IsTransparent && FrameGce) fill = FrameGce->TransparentColorIndex;
  PixelIndices.assign(static_cast<std::size_t>(count), fill);

  int minCodeSize = stream.ReadByte();
  if (minCodeSize < 0) return;  // the frame keeps the fill
  target.Pixels = PixelIndices.data();
  target.Fill = fill;
  DecodeGifImageData(stream, minCodeSize, target, image.WarningHandler);
}

std::vector<TColor> TGIFSubImage::FramePalette() {
  if (bitmap_) return bitmap_->Palette();
  if (palette_) return *palette_;
  std::vector<TColor> p;
  if (PaletteDisplay()) {
    p = WebPalette();
  } else if (ColorMap.Count() > 0) {
    p = ColorMap.AsPalette();
  } else {
    p = Image()->ImagePalette();
  }
  palette_ = p;
  return p;
}

// Floyd-Steinberg error diffusion onto the 216-colour palette; the direction
// of travel alternates from row to row. Errors are kept in sixteenths.
std::unique_ptr<Bitmap> TGIFSubImage::DitheredBitmap() {
  const int w = Width();
  const int h = Height();
  std::unique_ptr<Bitmap> bmp = Bitmap::CreateIndexed(w, h, WebPalette());
  if (!bmp) return nullptr;
  const TGIFColorMap& colors = ColorMap.Count() > 0 ? static_cast<const TGIFColorMap&>(ColorMap)
                                                    : Image()->Header().ColorMap;
  int rgb[256][3];
  for (int i = 0; i < 256; ++i) {
    TColor c = colors.Color(i);
    rgb[i][0] = GetRValue(c);
    rgb[i][1] = GetGValue(c);
    rgb[i][2] = GetBValue(c);
  }
  // One guard column on each side, three components per column.
  const std::size_t stride = static_cast<std::size_t>(w + 2) * 3;
  std::vector<int> rows[2] = {std::vector<int>(stride, 0), std::vector<int>(stride, 0)};
  for (int y = 0; y < h; ++y) {
    std::vector<int>& cur = rows[y & 1];
    std::vector<int>& next = rows[(y + 1) & 1];
    std::fill(next.begin(), next.end(), 0);
    const bool leftToRight = (y & 1) == 0;
    const int dir = leftToRight ? 1 : -1;
    const std::uint8_t* src =
        &PixelIndices[static_cast<std::size_t>(y) * static_cast<std::size_t>(w)];
    std::uint8_t* dst = bmp->ScanLine(y);
    for (int i = 0; i < w; ++i) {
      const int x = leftToRight ? i : w - 1 - i;
      const std::size_t here = static_cast<std::size_t>(x + 1) * 3;
      const std::size_t ahead = static_cast<std::size_t>(x + 1 + dir) * 3;
      const std::size_t behind = static_cast<std::size_t>(x + 1 - dir) * 3;
      int level[3];
      for (int k = 0; k < 3; ++k) {
        int v = rgb[src[x]][k] + ((cur[here + k] + 8) >> 4);
        v = std::clamp(v, 0, 255);
        level[k] = (v + 3) / 51;
        const int e = v - level[k] * 51;
        cur[ahead + k] += e * 7;
        next[behind + k] += e * 3;
        next[here + k] += e * 5;
        next[ahead + k] += e;
      }
      dst[x] = static_cast<std::uint8_t>(36 * level[0] + 6 * level[1] + level[2]);
    }
  }
  return bmp;
}

const Bitmap* TGIFSubImage::FrameBitmap() {
  if (bitmap_) return bitmap_.get();
  const int w = Width();
  const int h = Height();
  if (w == 0 || h == 0) return nullptr;
  if (PixelIndices.empty()) {
    bitmap_ = Bitmap::CreateIndexed(w, h, FramePalette());
  } else if (PaletteDisplay()) {
    bitmap_ = DitheredBitmap();
  } else {
    bitmap_ = Bitmap::CreateIndexed(w, h, FramePalette());
    if (bitmap_) {
      for (int y = 0; y < h; ++y) {
        std::memcpy(bitmap_->ScanLine(y),
                    &PixelIndices[static_cast<std::size_t>(y) * static_cast<std::size_t>(w)],
                    static_cast<std::size_t>(w));
      }
    }
  }
  if (!bitmap_) throw GIFException(sGIFImageTooLarge);
  if (IsTransparent && FrameGce && !PixelIndices.empty()) {
    mask_ = Mask::Create(w, h);
    if (mask_) {
      const std::uint8_t t = FrameGce->TransparentColorIndex;
      for (int y = 0; y < h; ++y) {
        const std::uint8_t* row =
            &PixelIndices[static_cast<std::size_t>(y) * static_cast<std::size_t>(w)];
        for (int x = 0; x < w; ++x) {
          if (row[x] == t) mask_->SetWhite(x, y, true);
        }
      }
    }
  }
  return bitmap_.get();
}

std::unique_ptr<Bitmap> TGIFSubImage::TakeFrameBitmap() {
  FrameBitmap();
  return std::move(bitmap_);
}

// ---- Trailer

void TGIFTrailer::LoadFromStream(ReadStream& stream) {
  int b = stream.ReadByte();
  if (b >= 0 && b != bsTrailer) Image()->Warning(TGIFSeverity::Warning, sGIFInvalidTrailer);
}

// ---- Image

TGIFImage::TGIFImage()
    : header_(std::make_unique<TGIFHeader>(this)), trailer_(std::make_unique<TGIFTrailer>(this)) {}

TGIFImage::~TGIFImage() = default;

void TGIFImage::Clear() {
  images_.clear();
  header_->Clear();
  palette_.reset();
  bitmap_.reset();
  PixelBudget = GIFMaxPixels;
}

void TGIFImage::Warning(TGIFSeverity severity, const char* message) const {
  if (WarningHandler) WarningHandler(severity, message);
}

void TGIFImage::LoadFromStream(ReadStream& stream) {
  Clear();
  const std::int64_t start = stream.Position();
  try {
    header_->LoadFromStream(stream);
    // A picture beyond what the pictures in memory leave of their budget is
    // refused before any frame is decoded.
    const std::int64_t allowance = PictureByteAllowance();
    if (static_cast<std::int64_t>(Width()) * Height() > allowance)
      throw GIFException(sGIFImageTooLarge);
    PixelBudget = std::min(PixelBudget, allowance);
    int b = ReadSkippingZeros(stream);
    if (b < 0) return;
    while (b != bsTrailer) {
      stream.Skip(-1);
      if (b != bsExtensionIntroducer && b != bsImageSeparator) {
        Warning(TGIFSeverity::Warning, sGIFUnknownBlockType);
        break;
      }
      auto frame = std::make_unique<TGIFSubImage>(this);
      frame->LoadFromStream(stream);
      images_.push_back(std::move(frame));
      b = ReadSkippingZeros(stream);
      if (b < 0) return;
    }
    if (b == bsTrailer) stream.Skip(-1);
    trailer_->LoadFromStream(stream);
  } catch (...) {
    stream.Seek(start);
    throw;
  }
}

std::vector<TColor> TGIFImage::ImagePalette() {
  // A frame without a local table asks the image, which may ask that frame.
  if (askingPalette_) throw GIFException(sGIFNoColorTable);
  if (bitmap_) return bitmap_->Palette();
  if (palette_) return *palette_;
  std::vector<TColor> p;
  if (PaletteDisplay()) {
    p = WebPalette();
  } else if (header_->ColorMap.Count() > 0) {
    p = header_->ColorMap.AsPalette();
  } else if (!images_.empty()) {
    FlagGuard guard(askingPalette_);
    p = images_.front()->FramePalette();
  }
  palette_ = p;
  return p;
}

bool TGIFImage::FirstFrameFillsScreen() const {
  if (images_.empty()) return false;
  const TGIFSubImage& first = *images_.front();
  return first.Width() == Width() && first.Height() == Height() && !first.ClippedToScreen;
}

const Bitmap* TGIFImage::ComposeBitmap() {
  if (bitmap_) return bitmap_.get();
  if (images_.empty()) return nullptr;
  TGIFSubImage& first = *images_.front();
  if (FirstFrameFillsScreen()) {
    const Bitmap* frame = first.FrameBitmap();
    if (frame) bitmap_ = frame->Clone();
    return bitmap_.get();
  }
  if (static_cast<std::int64_t>(Width()) * Height() > GIFMaxPixels) {
    throw GIFException(sGIFImageTooLarge);
  }
  if (Width() == 0 || Height() == 0) return nullptr;
  std::vector<TColor> palette = ImagePalette();
  std::unique_ptr<Bitmap> screen = Bitmap::CreateIndexed(Width(), Height(), palette);
  if (!screen) throw GIFException(sGIFImageTooLarge);
  if (const Bitmap* frame = first.FrameBitmap())
    DrawFrame(*screen, *frame, first.Left(), first.Top());
  bitmap_ = std::move(screen);
  return bitmap_.get();
}

std::unique_ptr<Bitmap> TGIFImage::TakeComposedBitmap() {
  // The composed bitmap would be a copy of the first frame's: that one is
  // handed over instead of copying a whole picture.
  if (!bitmap_ && FirstFrameFillsScreen()) return images_.front()->TakeFrameBitmap();
  ComposeBitmap();
  return std::move(bitmap_);
}

bool LoadGifStream(ReadStream& stream, std::unique_ptr<Bitmap>& bitmap) {
  TGIFImage image;
  image.LoadFromStream(stream);
  bitmap = image.TakeComposedBitmap();
  return true;
}

}  // namespace kiv
