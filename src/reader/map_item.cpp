#include "reader/map_item.h"

#include <cstdint>

#include "reader/string_routines.h"

namespace kiv {

namespace {

enum class Shape { Rect, Circle, Polygon };

Shape ShapeOf(const std::string& text) {
  std::string head = text.substr(0, 4);
  for (char& c : head)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (head == "circ") return Shape::Circle;
  if (head == "poly") return Shape::Polygon;
  return Shape::Rect;
}

// Splits at commas from the left; each piece (at most 15 characters kept,
// white space trimmed) is an integer or 0. Stops at the first empty piece
// or after 201 values.
std::vector<std::int32_t> ReadCoords(const std::string& text) {
  std::vector<std::int32_t> coords;
  std::size_t pos = 0;
  while (pos <= text.size() && static_cast<int>(coords.size()) < MaxAreaCoords) {
    std::size_t comma = text.find(',', pos);
    if (comma == std::string::npos) comma = text.size();
    std::string piece = TrimWhite(std::string_view(text).substr(pos, comma - pos));
    if (piece.empty()) break;
    coords.push_back(StrToIntOrZero(std::string_view(piece).substr(0, MaxCoordChars)));
    pos = comma + 1;
  }
  return coords;
}

// Coordinates are clamped into the 32-bit range after the "+ 1" of the
// inclusive edges; the region then refuses anything beyond its limit.
int Add(std::int64_t a, std::int64_t b) {
  std::int64_t s = a + b;
  if (s > INT32_MAX) return INT32_MAX;
  if (s < INT32_MIN) return INT32_MIN;
  return static_cast<int>(s);
}

}  // namespace

void TMapItem::AddArea(const TAttributeList& attributes) {
  std::string url;
  std::string target;
  std::string alt;
  Shape shape = Shape::Rect;
  std::vector<std::int32_t> c;
  for (const auto& a : attributes) {
    switch (a->Id) {
      case HrefSy:
        url = a->Text;
        break;
      case NoHrefSy:
        url.clear();
        break;
      case ShapeSy:
        shape = ShapeOf(a->Text);
        break;
      case CoordsSy:
        c = ReadCoords(a->Text);
        break;
      case TargetSy:
        target = a->Text;
        break;
      case AltSy:
        alt = a->Text;
        break;
      default:
        break;
    }
  }
  const std::size_t n = c.size();
  std::optional<TRegion> region;
  switch (shape) {
    case Shape::Rect:  // the given right and bottom are inclusive
      if (n >= 4) region = TRegion::CreateRect(c[0], c[1], Add(c[2], 1), Add(c[3], 1));
      break;
    case Shape::Circle:  // x, y, r
      if (n >= 3)
        region = TRegion::CreateEllipse(
            Add(c[0], -std::int64_t{c[2]}), Add(c[1], -std::int64_t{c[2]}),
            Add(c[0], std::int64_t{c[2]} + 1), Add(c[1], std::int64_t{c[2]} + 1));
      break;
    case Shape::Polygon:  // a trailing odd value is ignored
      if (n >= 6) {
        std::vector<TPoint> points;
        for (std::size_t i = 0; i + 1 < n; i += 2) points.push_back({c[i], c[i + 1]});
        region = TRegion::CreatePolygon(std::move(points), PolyFillMode::Winding);
      }
      break;
  }
  if (!region) return;
  Areas.push_back({std::move(url), std::move(target), std::move(*region), std::move(alt)});
}

bool TMapItem::UrlAt(int x, int y, std::unique_ptr<TUrlTarget>& target) const {
  for (const TArea& area : Areas) {
    if (!area.Region.Contains(x, y)) continue;
    if (area.Url.empty()) return false;  // a NOHREF area hides later ones
    target = std::make_unique<TUrlTarget>(area.Url, area.Target);
    return true;
  }
  return false;
}

}  // namespace kiv
