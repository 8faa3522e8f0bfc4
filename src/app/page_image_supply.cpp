#include "app/page_image_supply.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstdio>
#include <string_view>
#include <vector>

#include "app/help_package.h"
#include "app/string_helpers.h"
#include "imaging/gif_image.h"
#include "imaging/jpeg_loader.h"
#include "platform/paths.h"
#include "platform/safe_file.h"

namespace kiv {

namespace {

// The bytes of the entry [start, end): fewer when the package ends first.
std::vector<char> ReadEntry(ReadStream& stream, std::int32_t start, std::int32_t end) {
  const std::int64_t size =
      std::min<std::int64_t>(static_cast<std::int64_t>(end) - start, MaxImageEntrySize);
  std::vector<char> bytes(static_cast<std::size_t>(size));
  stream.Seek(start);
  bytes.resize(stream.Read(bytes.data(), bytes.size()));
  return bytes;
}

// A Windows bitmap file through the toolkit's bitmap reader; an entry that is
// not a bitmap file, whatever its name says, gives nothing.
std::unique_ptr<Bitmap> DecodeBmp(const std::vector<char>& bytes) {
  if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') return nullptr;
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "bmp");
  reader.setDecideFormatFromContent(false);
  const QSize size = reader.size();
  const std::int64_t pixels = static_cast<std::int64_t>(size.width()) * size.height();
  if (!size.isValid() || pixels > MaxBitmapPixels || pixels > PictureByteAllowance()) {
    return nullptr;
  }
  QImage image;
  if (!reader.read(&image) || image.isNull()) return nullptr;
  return Bitmap::FromImage(image);
}

std::unique_ptr<Bitmap> DecodeGif(const std::vector<char>& bytes) {
  MemoryReadStream stream(bytes.data(), bytes.size());
  std::unique_ptr<Bitmap> bitmap;
  LoadGifStream(stream, bitmap);
  return bitmap;
}

// The entry goes to the temporary file first, as the host may expect to
// find the last picture there; it is written through a new file (never
// following a link planted at its name) and decoded from the bytes in hand,
// which nobody else can change meanwhile.
std::unique_ptr<Bitmap> DecodeJpeg(const std::vector<char>& bytes, const std::string& tempPath) {
  if (!ReplaceFileSafely(NativePath(tempPath), std::string_view(bytes.data(), bytes.size())))
    return nullptr;
  return LoadJpegBitmap(bytes.data(), bytes.size(), false);
}

}  // namespace

std::string TempJpegPath() {
  return ExeDir() + "\\temp.jpg";
}

std::unique_ptr<Bitmap> SupplyPageImage(const std::string& packagePath, ReadStream& packageStream,
                                        const std::string& imageSource, const std::string& src,
                                        const std::string& tempJpegPath) {
  if (imageSource == "startup") return nullptr;
  const std::size_t dot = src.rfind('.');
  const std::string ext = dot == std::string::npos ? std::string() : UpperText(src.substr(dot));
  if (ext != ".BMP" && ext != ".GIF" && ext != ".JPG") return nullptr;
  try {
    std::int32_t start = 0, end = 0;
    FindPackageEntry(packagePath, src, start, end);
    if (start < 0 || end <= start) return nullptr;
    const std::vector<char> bytes = ReadEntry(packageStream, start, end);
    if (bytes.empty()) return nullptr;
    if (ext == ".BMP") return DecodeBmp(bytes);
    if (ext == ".GIF") return DecodeGif(bytes);
    return DecodeJpeg(bytes, tempJpegPath);
  } catch (...) {
    // An unreadable package, a damaged picture or a full disk: no picture.
    return nullptr;
  }
}

}  // namespace kiv
