// Regions of the window system for hit tests and painting: a rectangle, an
// ellipse inscribed in a box, or a polygon, with right and bottom exclusive
// as in the window system. Pixel (x, y) belongs to a region when its centre
// (x + 0.5, y + 0.5) lies inside the shape.
#pragma once

#include <optional>
#include <vector>

#include "platform/win_types.h"

namespace kiv {

// Coordinates a region may hold, as the window system limits them; larger
// ones are refused, which also keeps every computation below from overflowing.
constexpr int RegionCoordinateLimit = (1 << 27) - 1;

enum class PolyFillMode { Alternate, Winding };

bool PointInRect(const TRect& r, int x, int y);
// The ellipse inscribed in box (right and bottom exclusive).
bool PointInEllipse(const TRect& box, int x, int y);
// A closed polygon through points, filled by mode.
bool PointInPolygon(const std::vector<TPoint>& points, int x, int y, PolyFillMode mode);

class TRegion {
 public:
  enum class Kind { Rect, Ellipse, Polygon };

  // Corners in any order are put in order, as the window system does. No
  // region (nullopt) when a coordinate lies outside the limit or, for a
  // polygon, there are fewer than 3 points.
  static std::optional<TRegion> CreateRect(int left, int top, int right, int bottom);
  static std::optional<TRegion> CreateEllipse(int left, int top, int right, int bottom);
  static std::optional<TRegion> CreatePolygon(std::vector<TPoint> points, PolyFillMode mode);

  bool Contains(int x, int y) const;

  Kind GetKind() const { return kind_; }
  // The rectangle or the ellipse's box; for a polygon, its bounding box.
  const TRect& Box() const { return box_; }
  const std::vector<TPoint>& Points() const { return points_; }
  PolyFillMode FillMode() const { return mode_; }

 private:
  TRegion() = default;
  Kind kind_ = Kind::Rect;
  TRect box_;
  std::vector<TPoint> points_;
  PolyFillMode mode_ = PolyFillMode::Winding;
};

}  // namespace kiv
