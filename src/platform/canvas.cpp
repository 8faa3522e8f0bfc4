#include "platform/canvas.h"

namespace kiv {

Canvas::~Canvas() = default;

void Canvas::SelectFont(const Font& font) { font_.Assign(font); }

void Canvas::FillRegion(const std::vector<TRect>& rects, TColor color) {
  for (const TRect& r : rects) FillRect(r, color);
}

}  // namespace kiv
