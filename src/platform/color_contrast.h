// Contrast between colours as the eye sees it, so that marks drawn on the
// desktop theme's colours (the focus frame, toolbar glyphs) stay visible on
// light and dark themes alike.
#pragma once

#include "platform/color.h"

namespace kiv {

// The ratio of two colours' relative luminances, each plus 0.05 (1 for equal
// colours, 21 for black on white).
double ContrastRatio(TColor a, TColor b);
// Black or white, whichever stands out more against background (always at
// least 4.5:1).
TColor ContrastingInk(TColor background);
// c itself when it keeps minimum contrast against background; otherwise c
// mixed towards the contrasting ink just far enough that it does.
TColor WithContrast(TColor c, TColor background, double minimum);

}  // namespace kiv
