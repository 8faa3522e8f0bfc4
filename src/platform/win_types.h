// Small value types of the window system: rectangles, points, sizes and the
// multiply-divide used for every proportional size.
#pragma once

#include <cstdint>

namespace kiv {

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// Right and bottom are exclusive, as in the window system.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }

// a * b / c with a 64-bit intermediate, rounded to the nearest integer (halves
// away from zero); -1 when c is 0, as the window system's MulDiv answers.
int MulDiv(int a, int b, int c);

}  // namespace kiv
