#include "platform/region_geometry.h"

#include <algorithm>
#include <cstdint>

namespace kiv {

namespace {

bool InLimit(int v) {
  return v >= -RegionCoordinateLimit && v <= RegionCoordinateLimit;
}

TRect Ordered(int left, int top, int right, int bottom) {
  return {std::min(left, right), std::min(top, bottom), std::max(left, right),
          std::max(top, bottom)};
}

}  // namespace

bool PointInRect(const TRect& r, int x, int y) {
  return r.Contains(x, y);
}

bool PointInEllipse(const TRect& box, int x, int y) {
  if (!box.Contains(x, y)) return false;
  // In doubled coordinates the pixel centre is (2x + 1, 2y + 1), the
  // ellipse's centre (l + r, t + b) and its radii r - l and b - t:
  // inside when (dx / rx)^2 + (dy / ry)^2 <= 1.
  // Long double keeps the squares of the largest boxes from overflowing.
  using F = long double;
  const F rx = static_cast<F>(box.Right) - box.Left;
  const F ry = static_cast<F>(box.Bottom) - box.Top;
  const F dx = 2 * static_cast<F>(x) + 1 - box.Left - box.Right;
  const F dy = 2 * static_cast<F>(y) + 1 - box.Top - box.Bottom;
  const F lhs = dx * dx * ry * ry + dy * dy * rx * rx;
  const F rhs = rx * rx * ry * ry;
  return lhs <= rhs;
}

bool PointInPolygon(const std::vector<TPoint>& points, int x, int y, PolyFillMode mode) {
  const std::size_t n = points.size();
  if (n < 3) return false;
  // Doubled coordinates: the pixel centre has odd coordinates and every
  // vertex even ones, so the test line never passes through a vertex.
  const std::int64_t px = 2 * static_cast<std::int64_t>(x) + 1;
  const std::int64_t py = 2 * static_cast<std::int64_t>(y) + 1;
  int winding = 0;
  int crossings = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const TPoint& a = points[i];
    const TPoint& b = points[(i + 1) % n];
    const std::int64_t ax = 2 * static_cast<std::int64_t>(a.X),
                       ay = 2 * static_cast<std::int64_t>(a.Y);
    const std::int64_t bx = 2 * static_cast<std::int64_t>(b.X),
                       by = 2 * static_cast<std::int64_t>(b.Y);
    const bool upward = ay < py && by > py;
    const bool downward = ay > py && by < py;
    if (!upward && !downward) continue;
    // Which side of the edge a -> b the point lies on.
    const __int128 side =
        static_cast<__int128>(bx - ax) * (py - ay) - static_cast<__int128>(px - ax) * (by - ay);
    if (upward && side > 0) {
      ++winding;
      ++crossings;
    } else if (downward && side < 0) {
      --winding;
      ++crossings;
    }
  }
  return mode == PolyFillMode::Winding ? winding != 0 : (crossings & 1) != 0;
}

std::optional<TRegion> TRegion::CreateRect(int left, int top, int right, int bottom) {
  if (!InLimit(left) || !InLimit(top) || !InLimit(right) || !InLimit(bottom)) return std::nullopt;
  TRegion r;
  r.kind_ = Kind::Rect;
  r.box_ = Ordered(left, top, right, bottom);
  return r;
}

std::optional<TRegion> TRegion::CreateEllipse(int left, int top, int right, int bottom) {
  if (!InLimit(left) || !InLimit(top) || !InLimit(right) || !InLimit(bottom)) return std::nullopt;
  TRegion r;
  r.kind_ = Kind::Ellipse;
  r.box_ = Ordered(left, top, right, bottom);
  return r;
}

std::optional<TRegion> TRegion::CreatePolygon(std::vector<TPoint> points, PolyFillMode mode) {
  if (points.size() < 3) return std::nullopt;
  TRect box{RegionCoordinateLimit, RegionCoordinateLimit, -RegionCoordinateLimit,
            -RegionCoordinateLimit};
  for (const TPoint& p : points) {
    if (!InLimit(p.X) || !InLimit(p.Y)) return std::nullopt;
    box.Left = std::min(box.Left, p.X);
    box.Top = std::min(box.Top, p.Y);
    box.Right = std::max(box.Right, p.X);
    box.Bottom = std::max(box.Bottom, p.Y);
  }
  TRegion r;
  r.kind_ = Kind::Polygon;
  r.box_ = box;
  r.points_ = std::move(points);
  r.mode_ = mode;
  return r;
}

bool TRegion::Contains(int x, int y) const {
  switch (kind_) {
    case Kind::Rect:
      return PointInRect(box_, x, y);
    case Kind::Ellipse:
      return PointInEllipse(box_, x, y);
    case Kind::Polygon:
      return box_.Contains(x, y) && PointInPolygon(points_, x, y, mode_);
  }
  return false;
}

}  // namespace kiv
