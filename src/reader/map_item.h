// TMapItem: one client-side image map (a "MAP" element) with its areas.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/region_geometry.h"
#include "reader/attributes.h"
#include "reader/url_target.h"

namespace kiv {

// Most "COORDS" values an area reads, and the characters kept of each.
constexpr int MaxAreaCoords = 201;
constexpr int MaxCoordChars = 15;

class TMapItem {
 public:
  // One accepted area. Url is empty for a NOHREF area; Target is the
  // area's TARGET text; the region belongs to the map. Alt is the area's ALT
  // text, its name for a reader who cannot see the picture.
  struct TArea {
    std::string Url;
    std::string Target;
    TRegion Region;
    std::string Alt;
  };

  // Reads one "AREA" tag's attributes and appends the area; an area with too
  // few coordinates, or a region the platform refuses, is dropped silently.
  void AddArea(const TAttributeList& attributes);

  // The link of the first area, in document order, that holds (x, y)
  // (relative to the image's top-left corner). False when no area holds it
  // or that area is a NOHREF area; otherwise target is a new record the
  // caller owns.
  bool UrlAt(int x, int y, std::unique_ptr<TUrlTarget>& target) const;

  std::string Name;  // the map's NAME in upper case
  std::vector<TArea> Areas;
};

}  // namespace kiv
