#include "kivpack/picture_conversion.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>

#include <unordered_map>
#include <vector>

#include "kivpack/gif_writer.h"

namespace kiv {

namespace {

std::string UpperExtension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  const std::size_t slash = name.find_last_of("/\\");
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  std::string ext(name.substr(dot));
  for (char& c : ext) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  return ext;
}

std::string SizeText(int w, int h) {
  return std::to_string(w) + " x " + std::to_string(h);
}

// The SVG without what could run or reach out: scripts, event handlers, and
// every reference that is not to the picture itself or a data: URI (images,
// style sheets, fonts, other SVG files), so rendering fetches nothing.
QByteArray WithoutScriptsAndExternals(const QByteArray& svg) {
  QString text = QString::fromUtf8(svg);
  static const QRegularExpression script(
      "<script\\b.*?(</script\\s*>|/>)",
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
  static const QRegularExpression entities("<!ENTITY[^>]*>",
                                           QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression handler("\\son[a-z]+\\s*=\\s*(\"[^\"]*\"|'[^']*')",
                                          QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression href(
      "((?:xlink:)?href)\\s*=\\s*(\"(?!#|data:)[^\"]*\"|'(?!#|data:)[^']*')",
      QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression url("url\\(\\s*['\"]?(?!#|data:)[^)]*\\)",
                                      QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression import("@import[^;]*;",
                                         QRegularExpression::CaseInsensitiveOption);
  text.replace(script, QString());
  text.replace(entities, QString());
  text.replace(handler, QString());
  text.replace(href, "\\1=\"#\"");
  text.replace(url, "none");
  text.replace(import, QString());
  return text.toUtf8();
}

bool RenderSvg(const QByteArray& bytes, QImage& image, std::string& error) {
  QSvgRenderer renderer(WithoutScriptsAndExternals(bytes));
  if (!renderer.isValid()) {
    error = "not a readable SVG picture";
    return false;
  }
  const QSize size = renderer.defaultSize();
  if (size.width() < 1 || size.height() < 1) {
    error = "the SVG picture declares no size";
    return false;
  }
  if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide) {
    error = "the SVG picture is " + SizeText(size.width(), size.height()) + ", over the " +
            SizeText(kMaxPictureSide, kMaxPictureSide) + " limit";
    return false;
  }
  image = QImage(size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter);
  return true;
}

bool ReadRaster(const QByteArray& bytes, QImage& image, std::string& error) {
  QByteArray data = bytes;
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  reader.setAutoTransform(true);
  const QSize size = reader.size();
  if (size.isValid() && (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)) {
    error = "the picture is " + SizeText(size.width(), size.height()) + ", over the " +
            SizeText(kMaxPictureSide, kMaxPictureSide) + " limit";
    return false;
  }
  if (!reader.canRead()) {
    error = "not a picture the packer can read (damaged, or of an unknown kind)";
    return false;
  }
  if (!reader.read(&image) || image.isNull()) {
    error = "damaged picture: " + reader.errorString().toStdString();
    return false;
  }
  if (image.width() > kMaxPictureSide || image.height() > kMaxPictureSide) {
    error = "the picture is " + SizeText(image.width(), image.height()) + ", over the " +
            SizeText(kMaxPictureSide, kMaxPictureSide) + " limit";
    return false;
  }
  return true;
}

void PutWord(std::string& s, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A GIF of the picture when it has few enough colours; empty otherwise.
std::string AsGif(const QImage& image) {
  GifPicture gif;
  gif.width = image.width();
  gif.height = image.height();
  gif.pixels.resize(static_cast<std::size_t>(gif.width) * static_cast<std::size_t>(gif.height));
  std::unordered_map<std::uint32_t, std::uint8_t> index;
  std::size_t at = 0;
  for (int y = 0; y < gif.height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < gif.width; ++x) {
      const QRgb p = line[x];
      const int alpha = qAlpha(p);
      if (alpha != 0 && alpha != 255) return {};  // partly transparent: no GIF form
      // Every fully transparent pixel is the one transparent colour.
      const std::uint32_t key = alpha == 0 ? 0xFF000000u : (p & 0xFFFFFFu);
      auto it = index.find(key);
      if (it == index.end()) {
        if (index.size() == 256) return {};
        const auto i = static_cast<std::uint8_t>(index.size());
        it = index.emplace(key, i).first;
        if (alpha == 0) {
          gif.transparentIndex = i;
          gif.palette.push_back(0xFFFFFF);
        } else {
          gif.palette.push_back(key);
        }
      }
      gif.pixels[at++] = it->second;
    }
  }
  return EncodeGif(gif);
}

}  // namespace

bool ViewerShowsPictureName(std::string_view name) {
  const std::string ext = UpperExtension(name);
  return ext == ".BMP" || ext == ".GIF" || ext == ".JPG";
}

bool ConvertiblePictureName(std::string_view name) {
  const std::string ext = UpperExtension(name);
  return ext == ".PNG" || ext == ".JPEG" || ext == ".JPE" || ext == ".SVG" || ext == ".WEBP";
}

std::string EncodeBmp24(int width, int height, const std::uint32_t* pixels) {
  const std::uint32_t row = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t dataSize = row * static_cast<std::uint32_t>(height);
  std::string s = "BM";
  PutWord(s, 54 + dataSize, 4);
  PutWord(s, 0, 4);
  PutWord(s, 54, 4);
  PutWord(s, 40, 4);  // BITMAPINFOHEADER
  PutWord(s, static_cast<std::uint32_t>(width), 4);
  PutWord(s, static_cast<std::uint32_t>(height), 4);
  PutWord(s, 1, 2);
  PutWord(s, 24, 2);
  PutWord(s, 0, 4);  // no compression
  PutWord(s, dataSize, 4);
  PutWord(s, 2835, 4);  // 72 dots per inch
  PutWord(s, 2835, 4);
  PutWord(s, 0, 4);
  PutWord(s, 0, 4);
  s.reserve(s.size() + dataSize);
  for (int y = height - 1; y >= 0; --y) {
    const std::uint32_t* line =
        pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (int x = 0; x < width; ++x) {
      s += static_cast<char>(line[x] & 0xFF);
      s += static_cast<char>((line[x] >> 8) & 0xFF);
      s += static_cast<char>((line[x] >> 16) & 0xFF);
    }
    for (std::uint32_t pad = static_cast<std::uint32_t>(width) * 3; pad < row; ++pad) s += '\0';
  }
  return s;
}

PictureConversion ConvertPicture(std::string_view name, const QByteArray& bytes) {
  PictureConversion result;
  QImage image;
  const bool svg = UpperExtension(name) == ".SVG";
  if (!(svg ? RenderSvg(bytes, image, result.error) : ReadRaster(bytes, image, result.error)))
    return result;
  image = image.convertToFormat(QImage::Format_ARGB32);
  result.bytes = AsGif(image);
  if (!result.bytes.empty()) {
    result.gif = true;
    return result;
  }
  // Too many colours or partial transparency: true colour over white.
  QImage flat(image.size(), QImage::Format_RGB32);
  flat.fill(Qt::white);
  {
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
  }
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(flat.width()) *
                                    static_cast<std::size_t>(flat.height()));
  for (int y = 0; y < flat.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(flat.constScanLine(y));
    for (int x = 0; x < flat.width(); ++x)
      pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(flat.width()) +
             static_cast<std::size_t>(x)] = line[x] & 0xFFFFFFu;
  }
  result.bytes = EncodeBmp24(flat.width(), flat.height(), pixels.data());
  return result;
}

}  // namespace kiv
