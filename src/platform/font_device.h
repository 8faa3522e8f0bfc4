// Toolkit side of a FontFace; included only by the platform's drawing code.
#pragma once

#include <QFont>
#include <QRawFont>

#include <array>

#include "platform/font_face.h"

namespace kiv {

struct FontFace::Device {
  QFont font;
  QRawFont raw;
  std::array<quint32, 256> glyphs{};
};

}  // namespace kiv
