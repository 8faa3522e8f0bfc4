// Colour values of the window system: 0x00BBGGRR, system colours as
// 0x80000000 + index, and the palette-relative flag 0x02000000.
#pragma once

#include <cstdint>

namespace kiv {

using TColor = std::uint32_t;

constexpr TColor RGB(int r, int g, int b) {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }

constexpr TColor PaletteRelativeFlag = 0x02000000;
constexpr TColor PaletteRelative(TColor c) { return c | PaletteRelativeFlag; }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;

constexpr TColor SystemColorBase = 0x80000000;
constexpr TColor clScrollBar = SystemColorBase + 0;
constexpr TColor clBackground = SystemColorBase + 1;
constexpr TColor clActiveCaption = SystemColorBase + 2;
constexpr TColor clInactiveCaption = SystemColorBase + 3;
constexpr TColor clMenu = SystemColorBase + 4;
constexpr TColor clWindow = SystemColorBase + 5;
constexpr TColor clWindowFrame = SystemColorBase + 6;
constexpr TColor clMenuText = SystemColorBase + 7;
constexpr TColor clWindowText = SystemColorBase + 8;
constexpr TColor clCaptionText = SystemColorBase + 9;
constexpr TColor clActiveBorder = SystemColorBase + 10;
constexpr TColor clInactiveBorder = SystemColorBase + 11;
constexpr TColor clAppWorkSpace = SystemColorBase + 12;
constexpr TColor clHighlight = SystemColorBase + 13;
constexpr TColor clHighlightText = SystemColorBase + 14;
constexpr TColor clBtnFace = SystemColorBase + 15;
constexpr TColor clBtnShadow = SystemColorBase + 16;
constexpr TColor clGrayText = SystemColorBase + 17;
constexpr TColor clBtnText = SystemColorBase + 18;
constexpr TColor clInactiveCaptionText = SystemColorBase + 19;
constexpr TColor clBtnHighlight = SystemColorBase + 20;
constexpr TColor cl3DDkShadow = SystemColorBase + 21;
constexpr TColor cl3DLight = SystemColorBase + 22;
constexpr TColor clInfoText = SystemColorBase + 23;
constexpr TColor clInfoBk = SystemColorBase + 24;

bool IsSystemColor(TColor c);

// The plain 0x00BBGGRR value of any colour: system colours are looked up in
// the system colour table, the palette-relative flag is dropped. clNone and
// out-of-range system colours give black.
TColor ColorToRGB(TColor c);

}  // namespace kiv
