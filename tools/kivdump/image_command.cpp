// kivdump image FILE [--png OUT]: decodes a GIF, JPEG or Windows bitmap
// through the program's own loaders and prints its size, palette and a hash
// of its pixels as one JSON object.
#include <QByteArray>
#include <QCommandLineParser>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "common/tool_command_line.h"
#include "imaging/gif_image.h"
#include "imaging/jpeg_loader.h"
#include "imaging/read_stream.h"
#include "kivdump/commands.h"
#include "platform/bitmap.h"
#include "platform/paths.h"
#include "platform/screen_canvas.h"

namespace kiv::dump {

namespace {

enum class Format { Gif, Jpeg, Bmp, Unknown };

// By extension as the help window decides, else by the first bytes.
Format DetectFormat(const QString& name, const QByteArray& bytes) {
  const QString ext = QFileInfo(name).suffix().toLower();
  if (ext == "gif") return Format::Gif;
  if (ext == "jpg" || ext == "jpeg") return Format::Jpeg;
  if (ext == "bmp") return Format::Bmp;
  if (bytes.startsWith("GIF") || bytes.mid(4).startsWith("GIF")) return Format::Gif;
  if (bytes.startsWith("\xFF\xD8")) return Format::Jpeg;
  if (bytes.startsWith("BM")) return Format::Bmp;
  return Format::Unknown;
}

int Emit(const QJsonObject& o, int status) {
  QByteArray line = QJsonDocument(o).toJson(QJsonDocument::Compact);
  std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
  std::fputc('\n', stdout);
  return std::fflush(stdout) == 0 ? status : 1;
}

int Fail(const std::string& message) {
  return Emit(QJsonObject{{"error", QString::fromLatin1(message.c_str())}}, 1);
}

// Palette indices (or R, G, B for true colour), top row first, no padding.
QByteArray PixelBytes(const Bitmap& b) {
  QByteArray out;
  const bool indexed = b.IsIndexed();
  out.reserve(static_cast<qsizetype>(b.Width()) * b.Height() * (indexed ? 1 : 3));
  for (int y = 0; y < b.Height(); ++y) {
    const std::uint8_t* row = b.ScanLine(y);
    if (indexed) {
      out.append(reinterpret_cast<const char*>(row), b.Width());
    } else {
      for (int x = 0; x < b.Width(); ++x) {
        out.append(static_cast<char>(row[4 * x + 2]));
        out.append(static_cast<char>(row[4 * x + 1]));
        out.append(static_cast<char>(row[4 * x]));
      }
    }
  }
  return out;
}

QJsonObject Describe(const Bitmap& b) {
  QJsonObject o;
  o["width"] = b.Width();
  o["height"] = b.Height();
  o["bits"] = b.BitsPerPixel();
  QJsonArray palette;
  for (TColor c : b.Palette()) palette.append(QJsonArray{GetRValue(c), GetGValue(c), GetBValue(c)});
  o["colors"] = static_cast<int>(palette.size());
  o["palette"] = palette;
  o["pixels_sha256"] = QString::fromLatin1(
      QCryptographicHash::hash(PixelBytes(b), QCryptographicHash::Sha256).toHex());
  return o;
}

int RunImage(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Decodes a GIF, JPEG or BMP picture and describes it as JSON.");
  tool::AddStandardOptions(parser);
  parser.addPositionalArgument("FILE", "The picture.");
  QCommandLineOption pngOption("png", "Also write the picture as a PNG file.", "OUT");
  QCommandLineOption paletteOption("palette-display",
                                   "Decode as for a 256-colour display (GIF dithering).");
  parser.addOption(pngOption);
  parser.addOption(paletteOption);
  if (int code = tool::ParseCommandLine(parser, args, "kivdump image", "kivdump");
      code != tool::Proceed)
    return code;
  const QStringList files = parser.positionalArguments();
  if (files.size() != 1)
    return tool::Complain("kivdump image",
                          "usage: kivdump image FILE [--png OUT] [--palette-display]",
                          tool::ExitUsage);
  const std::string fileName = files[0].toStdString();
  if (tool::IsFolder(files[0])) return Fail(fileName + " is a folder");
  const std::string path = NativePath(fileName);
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return Fail("Can't locate file: " + fileName);
  const QByteArray bytes = file.readAll();
  file.close();
  if (parser.isSet(paletteOption)) SetPaletteDisplay(true);

  std::unique_ptr<Bitmap> bitmap;
  switch (DetectFormat(files[0], bytes)) {
    case Format::Gif:
      try {
        MemoryReadStream stream(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        LoadGifStream(stream, bitmap);
      } catch (const GIFException& e) {
        return Fail(e.what());
      }
      if (!bitmap) return Fail("The GIF holds no picture");
      break;
    case Format::Jpeg:
      bitmap = LoadJpegBitmap(path, false);
      if (!bitmap) return Fail("The JPEG data could not be decoded");
      break;
    case Format::Bmp:
      bitmap = Bitmap::FromFile(path);
      if (!bitmap) return Fail("The bitmap could not be read");
      break;
    case Format::Unknown:
      return Fail("Not a GIF, JPEG or BMP picture");
  }

  if (parser.isSet(pngOption)) {
    const std::string out = NativePath(parser.value(pngOption).toStdString());
    if (!bitmap->SaveFile(out)) return Fail("Can't write file: " + out);
  }
  return Emit(Describe(*bitmap), 0);
}

}  // namespace

KIVDUMP_COMMAND(image, "image", "decode a picture through the viewer's decoders (JSON)", RunImage);

}  // namespace kiv::dump
