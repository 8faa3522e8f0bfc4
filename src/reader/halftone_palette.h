// Screen colour depth and the halftone palette used on 256-colour displays.
// Both follow the platform's palette-display flag.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/color.h"

namespace kiv {

// 4 for up to 4 bits per pixel, 8 for 5 to 15, 24 for 16 and more.
std::uint8_t DepthClassFor(int bitsPerPixel);
// The class of the screen's depth.
std::uint8_t ScreenDepthClass();

// The 256 entries: the system colours, a 6 x 6 x 6 colour cube at 10..225
// and 24 greys at 226..249.
std::vector<TColor> MakeHalftonePalette();
// The shared halftone palette; null unless the screen's depth class is 8.
const std::vector<TColor>* HalftonePalette();

}  // namespace kiv
