#include "reader/image_file.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>

#include "imaging/gif_image.h"
#include "imaging/jpeg_loader.h"
#include "imaging/read_stream.h"
#include "platform/paths.h"
#include "reader/bitmap_routines.h"

namespace kiv {

namespace {

// Longest extension compared, dot included (".jpeg").
constexpr std::size_t MaxExtensionLength = 5;
// Bytes of a GIF read to find its transparent colour: header, logical screen,
// the largest global colour table and a graphic control extension.
constexpr std::size_t GifProbeBytes = 789;

std::string LowerExtension(const std::string& fileName) {
  const std::size_t slash = fileName.find_last_of("/\\");
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = fileName.substr(dot, MaxExtensionLength);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

std::unique_ptr<Bitmap> DecodeGif(const std::string& path) {
  FileReadStream stream(path);
  if (!stream.IsOpen()) return nullptr;
  std::unique_ptr<Bitmap> bitmap;
  LoadGifStream(stream, bitmap);
  return bitmap;
}

}  // namespace

std::unique_ptr<Bitmap> DecodeImageFile(const std::string& fileName) {
  const std::string path = NativePath(fileName);
  if (!FileExists(path)) return nullptr;
  const std::string ext = LowerExtension(fileName);
  try {
    if (ext == ".gif") return DecodeGif(path);
    if (ext == ".jpg" || ext == ".jpeg") return LoadJpegBitmap(path, false);
    if (ext == ".bmp" || ext == ".png") return Bitmap::FromFile(path);
  } catch (const std::exception&) {
    // An undecodable file is no image; whatever was made is freed.
  }
  return nullptr;
}

std::unique_ptr<Bitmap> LoadImageWithMask(const std::string& fileName, int& transparent,
                                          std::unique_ptr<Mask>& mask) {
  mask.reset();
  const std::string path = NativePath(fileName);
  if (!FileExists(path)) return nullptr;
  TColor color = 0;
  if (LowerExtension(fileName) == ".gif" && GifTransparentColor(path, color)) transparent = 2;
  if (transparent == 0) return DecodeImageFile(path);
  // Our decoders take no palette, so the picture decoded for the mask is the
  // one returned.
  std::unique_ptr<Bitmap> bitmap = DecodeImageFile(path);
  if (!bitmap) return nullptr;
  mask = MakeMask(*bitmap, transparent == 2, color);
  if (!mask) return nullptr;
  return bitmap;
}

bool GifTransparentColor(const std::string& fileName, TColor& color) {
  FileReadStream stream(NativePath(fileName));
  if (!stream.IsOpen()) return false;
  std::array<std::uint8_t, GifProbeBytes> buf{};
  std::size_t count = 0;
  try {
    count = stream.Read(buf.data(), buf.size());
  } catch (const std::exception&) {
    return false;
  }
  constexpr std::size_t TableStart = 13;
  if (count <= 10 || buf[4] != '9') return false;
  const std::size_t tableBytes = 3u << ((buf[10] & 7) + 1);
  const std::size_t ext = TableStart + tableBytes;
  if (ext + 6 >= count) return false;
  if (buf[ext] != 0x21 || buf[ext + 1] != 0xF9 || (buf[ext + 3] & 1) == 0) return false;
  const std::size_t entry = TableStart + 3u * buf[ext + 6];
  if (entry + 2 >= count) return false;
  color = RGB(buf[entry], buf[entry + 1], buf[entry + 2]);
  return true;
}

}  // namespace kiv
