#include "platform/canvas.h"

namespace kiv {

Canvas::~Canvas() = default;

void Canvas::SelectFont(const Font& font) { font_.Assign(font); }

int Canvas::TextFit(const char* text, int n, int maxExtent, int& extent) const {
  extent = 0;
  if (!text || n <= 0) return 0;
  int low = 0, high = n;  // extent(low) fits; the answer is in low..high
  if (TextExtent(text, 0).cx > maxExtent) return 0;
  while (low < high) {
    int mid = low + (high - low + 1) / 2;
    if (TextExtent(text, mid).cx > maxExtent)
      high = mid - 1;
    else
      low = mid;
  }
  extent = TextExtent(text, low).cx;
  return low;
}

void Canvas::FillRegion(const std::vector<TRect>& rects, TColor color) {
  for (const TRect& r : rects) FillRect(r, color);
}

}  // namespace kiv
