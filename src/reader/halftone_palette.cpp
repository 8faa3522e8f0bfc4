#include "reader/halftone_palette.h"

#include <array>

#include "platform/screen_canvas.h"

namespace kiv {

namespace {

constexpr int PaletteSize = 256;
constexpr int CubeStart = 10;
constexpr int GreyStart = 226;
constexpr int GreyCount = 24;
constexpr std::array<int, 6> CubeLevels = {55, 115, 165, 205, 235, 255};

// The static colours of the system palette: the first ten and the last ten
// entries; the entries between are black.
std::vector<TColor> SystemPalette() {
  std::vector<TColor> p(PaletteSize, clBlack);
  const std::array<TColor, 10> low = {RGB(0, 0, 0),      RGB(128, 0, 0),     RGB(0, 128, 0),
                                      RGB(128, 128, 0),  RGB(0, 0, 128),     RGB(128, 0, 128),
                                      RGB(0, 128, 128),  RGB(192, 192, 192), RGB(192, 220, 192),
                                      RGB(166, 202, 240)};
  const std::array<TColor, 10> high = {RGB(255, 251, 240), RGB(160, 160, 164), RGB(128, 128, 128),
                                       RGB(255, 0, 0),     RGB(0, 255, 0),     RGB(255, 255, 0),
                                       RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),
                                       RGB(255, 255, 255)};
  for (int i = 0; i < 10; ++i) {
    p[static_cast<std::size_t>(i)] = low[static_cast<std::size_t>(i)];
    p[static_cast<std::size_t>(PaletteSize - 10 + i)] = high[static_cast<std::size_t>(i)];
  }
  return p;
}

}  // namespace

std::uint8_t DepthClassFor(int bitsPerPixel) {
  if (bitsPerPixel <= 4) return 4;
  if (bitsPerPixel <= 15) return 8;
  return 24;
}

std::uint8_t ScreenDepthClass() {
  return DepthClassFor(ScreenBitsPerPixel());
}

std::vector<TColor> MakeHalftonePalette() {
  std::vector<TColor> p = SystemPalette();
  int i = CubeStart;
  for (int b : CubeLevels)
    for (int g : CubeLevels)
      for (int r : CubeLevels) p[static_cast<std::size_t>(i++)] = RGB(r, g, b);
  for (int k = 0; k < GreyCount; ++k) {
    const int v = 135 + 5 * k;
    p[static_cast<std::size_t>(GreyStart + k)] = RGB(v, v, v);
  }
  return p;
}

const std::vector<TColor>* HalftonePalette() {
  static const std::vector<TColor> palette = MakeHalftonePalette();
  return ScreenDepthClass() == 8 ? &palette : nullptr;
}

}  // namespace kiv
