#include "platform/canvas.h"

#include <algorithm>

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

namespace {

bool Divides(char c, char separator) {
  return c == ' ' || c == separator;
}

}  // namespace

int Canvas::MeasureWords(const char* text, int n, char separator, int& widestWord) const {
  widestWord = -1;
  if (!text || n <= 0) return 0;
  for (int i = 0; i < n;) {
    while (i < n && Divides(text[i], separator)) ++i;
    const int start = i;
    while (i < n && !Divides(text[i], separator)) ++i;
    if (i > start) widestWord = std::max(widestWord, TextExtent(text + start, i - start).cx);
  }
  return TextExtent(text, n).cx;
}

void Canvas::FillRegion(const std::vector<TRect>& rects, TColor color) {
  for (const TRect& r : rects) FillRect(r, color);
}

}  // namespace kiv
