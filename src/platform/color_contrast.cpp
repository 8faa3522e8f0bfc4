#include "platform/color_contrast.h"

#include <algorithm>
#include <cmath>

namespace kiv {

namespace {

double Channel(int v) {
  const double c = v / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(TColor c) {
  const TColor rgb = ColorToRGB(c);
  return 0.2126 * Channel(GetRValue(rgb)) + 0.7152 * Channel(GetGValue(rgb)) +
         0.0722 * Channel(GetBValue(rgb));
}

}  // namespace

double ContrastRatio(TColor a, TColor b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TColor ContrastingInk(TColor background) {
  return ContrastRatio(clBlack, background) >= ContrastRatio(clWhite, background) ? clBlack
                                                                                  : clWhite;
}

TColor WithContrast(TColor c, TColor background, double minimum) {
  const TColor from = ColorToRGB(c);
  const TColor ink = ContrastingInk(background);
  for (int step = 0; step <= 10; ++step) {
    const auto mix = [&](int a, int b) { return a + (b - a) * step / 10; };
    const TColor mixed =
        RGB(mix(GetRValue(from), GetRValue(ink)), mix(GetGValue(from), GetGValue(ink)),
            mix(GetBValue(from), GetBValue(ink)));
    if (ContrastRatio(mixed, background) >= minimum) return mixed;
  }
  return ink;
}

}  // namespace kiv
