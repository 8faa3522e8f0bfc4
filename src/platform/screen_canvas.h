// The process-wide screen device context, used to measure before any window
// exists (font runs' metrics, form controls' sizes). Tests and the dump tool's
// "--metrics fixed" swap it for a FixedMetricsCanvas.
#pragma once

#include "platform/canvas.h"

namespace kiv {

Canvas& ScreenCanvas();

// Makes canvas the screen canvas (not owned; null restores the default) and
// returns the previous one.
Canvas* SetScreenCanvas(Canvas* canvas);

// Swaps the screen canvas for a scope.
class ScopedScreenCanvas {
 public:
  explicit ScopedScreenCanvas(Canvas* canvas) : previous_(SetScreenCanvas(canvas)) {}
  ~ScopedScreenCanvas() { SetScreenCanvas(previous_); }
  ScopedScreenCanvas(const ScopedScreenCanvas&) = delete;
  ScopedScreenCanvas& operator=(const ScopedScreenCanvas&) = delete;

 private:
  Canvas* previous_;
};

// Colour depth of the display. A palette display (256 colours) is chosen by
// an explicit flag so that its code paths can be reached on any machine.
bool PaletteDisplay();
void SetPaletteDisplay(bool on);
int ScreenBitsPerPixel();

}  // namespace kiv
