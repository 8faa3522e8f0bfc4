// How sharp a painted picture is: a page painted at ratio 2 from a 1x picture
// doubled pixel by pixel has every 2 x 2 block of device pixels uniform; text
// rasterised at device resolution has fewer than half of them uniform.
#pragma once

#include <QImage>
#include <QRect>

namespace kiv::testing {

// A pixel that is not (nearly) white.
inline bool Ink(QRgb p) {
  return qGray(p) < 250;
}

// Share of the 2 x 2 blocks of area holding ink whose four pixels are equal.
inline double UniformInkBlocks(const QImage& img, const QRect& area) {
  int inked = 0, uniform = 0;
  for (int y = area.top(); y + 1 <= area.bottom(); y += 2)
    for (int x = area.left(); x + 1 <= area.right(); x += 2) {
      const QRgb a = img.pixel(x, y), b = img.pixel(x + 1, y), c = img.pixel(x, y + 1),
                 d = img.pixel(x + 1, y + 1);
      if (!Ink(a) && !Ink(b) && !Ink(c) && !Ink(d)) continue;
      ++inked;
      if (a == b && b == c && c == d) ++uniform;
    }
  return inked ? static_cast<double>(uniform) / inked : 1.0;
}

}  // namespace kiv::testing
