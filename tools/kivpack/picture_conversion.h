// Pictures the viewer does not show (PNG, JPEG under another extension, SVG,
// WebP) made into ones it shows: a GIF when the picture has at most 256
// colours and at most one fully transparent colour (kept transparent), else a
// 24-bit Windows bitmap composed over white.
#pragma once

#include <QByteArray>

#include <string>
#include <string_view>

namespace kiv {

// The largest picture converted, in either direction.
constexpr int kMaxPictureSide = 2000;

// Names the viewer's image supply decodes: ".bmp", ".gif", ".jpg".
bool ViewerShowsPictureName(std::string_view name);
// Names the packer converts: ".png", ".jpeg", ".jpe", ".svg", ".webp".
bool ConvertiblePictureName(std::string_view name);

struct PictureConversion {
  std::string bytes;  // the new file, empty on failure
  bool gif = false;   // else a bitmap
  std::string error;  // why it could not be converted
};

// Decodes bytes (its kind told by name's extension and by its content) and
// writes it again. An SVG is rendered at its declared size without its
// scripts and without fetching anything it names.
PictureConversion ConvertPicture(std::string_view name, const QByteArray& bytes);

// A 24-bit bottom-up Windows bitmap file of the pixels (0xRRGGBB, row-major).
std::string EncodeBmp24(int width, int height, const std::uint32_t* pixels);

}  // namespace kiv
