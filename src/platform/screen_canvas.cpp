#include "platform/screen_canvas.h"

#include "platform/qt_canvas.h"

namespace kiv {

namespace {

Canvas* g_override = nullptr;  // not owned
bool g_paletteDisplay = false;

}  // namespace

Canvas& ScreenCanvas() {
  if (g_override) return *g_override;
  static QtCanvas* screen = new QtCanvas();  // process lifetime
  return *screen;
}

Canvas* SetScreenCanvas(Canvas* canvas) {
  Canvas* previous = g_override;
  g_override = canvas;
  return previous;
}

bool PaletteDisplay() { return g_paletteDisplay; }
void SetPaletteDisplay(bool on) { g_paletteDisplay = on; }
int ScreenBitsPerPixel() { return g_paletteDisplay ? 8 : 24; }

}  // namespace kiv
