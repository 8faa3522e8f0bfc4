#include "platform/color.h"

#include <array>

namespace kiv {

namespace {

// The classic system colour scheme; the viewer's looks follow it so that
// pages and controls render the same on every desktop.
constexpr std::array<TColor, 25> kSystemColors = {
    RGB(212, 208, 200),  // scroll bar
    RGB(58, 110, 165),   // desktop
    RGB(10, 36, 106),    // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(212, 208, 200),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(212, 208, 200),  // active border
    RGB(212, 208, 200),  // inactive border
    RGB(128, 128, 128),  // application work space
    RGB(10, 36, 106),    // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(212, 208, 200),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(212, 208, 200),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(64, 64, 64),     // 3D dark shadow
    RGB(212, 208, 200),  // 3D light
    RGB(0, 0, 0),        // info text
    RGB(255, 255, 225),  // info background
};

}  // namespace

bool IsSystemColor(TColor c) { return (c & 0xFF000000) == SystemColorBase; }

TColor ColorToRGB(TColor c) {
  if (IsSystemColor(c)) {
    TColor index = c & 0x00FFFFFF;
    return index < kSystemColors.size() ? kSystemColors[index] : clBlack;
  }
  if (c == clNone) return clBlack;
  return c & 0x00FFFFFF;
}

}  // namespace kiv
