#include "platform/bitmap.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <climits>

namespace kiv {

namespace {

constexpr std::int64_t kUnbounded = INT64_MAX;
std::int64_t g_allowance = kUnbounded;

bool SizeAccepted(int width, int height, int bytesPerPixel = 0) {
  const std::int64_t pixels = static_cast<std::int64_t>(width) * height;
  return width > 0 && height > 0 && pixels <= MaxBitmapPixels &&
         pixels * bytesPerPixel <= g_allowance;
}

QRgb ToQRgb(TColor c) {
  TColor rgb = ColorToRGB(c);
  return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQRgb(QRgb c) {
  return RGB(qRed(c), qGreen(c), qBlue(c));
}

std::unique_ptr<Bitmap> FromReader(QImageReader& reader) {
  QSize size = reader.size();
  if (size.isValid() && !SizeAccepted(size.width(), size.height(), 1)) return nullptr;
  QImage image;
  if (!reader.read(&image) || image.isNull()) return nullptr;
  return Bitmap::FromImage(image);
}

}  // namespace

std::int64_t PictureByteAllowance() {
  return g_allowance;
}

PictureAllowanceScope::PictureAllowanceScope(std::int64_t bytes) : previous_(g_allowance) {
  g_allowance = std::max<std::int64_t>(0, std::min(bytes, previous_));
}

PictureAllowanceScope::~PictureAllowanceScope() {
  g_allowance = previous_;
}

struct Bitmap::Impl {
  QImage image;
};

Bitmap::Bitmap() : impl_(std::make_unique<Impl>()) {}
Bitmap::~Bitmap() = default;

std::unique_ptr<Bitmap> Bitmap::CreateIndexed(int width, int height,
                                              const std::vector<TColor>& palette) {
  if (!SizeAccepted(width, height, 1) || palette.size() > 256) return nullptr;
  std::unique_ptr<Bitmap> b(new Bitmap());
  b->impl_->image = QImage(width, height, QImage::Format_Indexed8);
  if (b->impl_->image.isNull()) return nullptr;
  b->SetPalette(palette);
  b->impl_->image.fill(0);
  return b;
}

std::unique_ptr<Bitmap> Bitmap::CreateRgb(int width, int height) {
  if (!SizeAccepted(width, height, 4)) return nullptr;
  std::unique_ptr<Bitmap> b(new Bitmap());
  b->impl_->image = QImage(width, height, QImage::Format_RGB32);
  if (b->impl_->image.isNull()) return nullptr;
  b->impl_->image.fill(Qt::black);
  return b;
}

std::unique_ptr<Bitmap> Bitmap::FromImage(const QImage& image) {
  if (image.isNull() ||
      !SizeAccepted(image.width(), image.height(),
                    image.format() == QImage::Format_Indexed8 || image.depth() == 1 ? 1 : 4))
    return nullptr;
  std::unique_ptr<Bitmap> b(new Bitmap());
  if (image.format() == QImage::Format_Indexed8) {
    b->impl_->image = image;
  } else if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB) {
    b->impl_->image = image.convertToFormat(QImage::Format_Indexed8);
  } else {
    b->impl_->image = image.convertToFormat(QImage::Format_RGB32);
  }
  if (b->impl_->image.isNull()) return nullptr;
  return b;
}

std::unique_ptr<Bitmap> Bitmap::FromFileData(const void* data, std::size_t size) {
  if (!data || size == 0 || size > static_cast<std::size_t>(INT32_MAX)) return nullptr;
  QByteArray bytes =
      QByteArray::fromRawData(static_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  return FromReader(reader);
}

std::unique_ptr<Bitmap> Bitmap::FromFile(const std::string& nativePath) {
  QImageReader reader(QString::fromStdString(nativePath));
  return FromReader(reader);
}

std::unique_ptr<Bitmap> Bitmap::Clone() const {
  std::unique_ptr<Bitmap> b(new Bitmap());
  b->impl_->image = impl_->image.copy();
  return b;
}

int Bitmap::Width() const {
  return impl_->image.width();
}
int Bitmap::Height() const {
  return impl_->image.height();
}
int Bitmap::BitsPerPixel() const {
  return impl_->image.format() == QImage::Format_Indexed8 ? 8 : 24;
}

std::vector<TColor> Bitmap::Palette() const {
  std::vector<TColor> out;
  for (QRgb c : impl_->image.colorTable()) out.push_back(FromQRgb(c));
  return out;
}

void Bitmap::SetPalette(const std::vector<TColor>& palette) {
  if (!IsIndexed()) return;
  QList<QRgb> table;
  for (TColor c : palette) table.push_back(ToQRgb(c));
  // Every index a pixel can hold has a colour, so no pixel is undefined.
  while (table.size() < 256) table.push_back(qRgb(0, 0, 0));
  impl_->image.setColorTable(table);
}

std::uint8_t* Bitmap::ScanLine(int y) {
  return impl_->image.scanLine(y);
}
const std::uint8_t* Bitmap::ScanLine(int y) const {
  return impl_->image.constScanLine(y);
}
int Bitmap::BytesPerLine() const {
  return static_cast<int>(impl_->image.bytesPerLine());
}

std::int64_t Bitmap::PictureBytes() const {
  return static_cast<std::int64_t>(Width()) * Height() * (IsIndexed() ? 1 : 4);
}

TColor Bitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return clBlack;
  return FromQRgb(impl_->image.pixel(x, y));
}

void Bitmap::SetPixel(int x, int y, TColor color) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height() || IsIndexed()) return;
  impl_->image.setPixel(x, y, ToQRgb(color));
}

bool Bitmap::SaveFile(const std::string& nativePath) const {
  return impl_->image.save(QString::fromStdString(nativePath));
}

QImage& Bitmap::Image() {
  return impl_->image;
}
const QImage& Bitmap::Image() const {
  return impl_->image;
}

struct Mask::Impl {
  QImage image;
};

Mask::Mask() : impl_(std::make_unique<Impl>()) {}
Mask::~Mask() = default;

std::unique_ptr<Mask> Mask::Create(int width, int height) {
  if (!SizeAccepted(width, height)) return nullptr;
  std::unique_ptr<Mask> m(new Mask());
  m->impl_->image = QImage(width, height, QImage::Format_Mono);
  if (m->impl_->image.isNull()) return nullptr;
  m->impl_->image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  m->impl_->image.fill(0);
  return m;
}

int Mask::Width() const {
  return impl_->image.width();
}
int Mask::Height() const {
  return impl_->image.height();
}

bool Mask::IsWhite(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return false;
  return impl_->image.pixelIndex(x, y) == 1;
}

void Mask::SetWhite(int x, int y, bool white) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  impl_->image.setPixel(x, y, white ? 1 : 0);
}

std::unique_ptr<Mask> Mask::Inverted() const {
  std::unique_ptr<Mask> m(new Mask());
  m->impl_->image = impl_->image.copy();
  m->impl_->image.invertPixels();
  m->impl_->image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  return m;
}

QImage& Mask::Image() {
  return impl_->image;
}
const QImage& Mask::Image() const {
  return impl_->image;
}

}  // namespace kiv
