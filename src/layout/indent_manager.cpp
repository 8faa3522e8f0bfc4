#include "layout/indent_manager.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "layout/image_obj.h"
#include "layout/layout_limits.h"

namespace kiv {

namespace {

// a + b held within the range of int, so a tall float far down a long page
// cannot wrap its bottom around.
int SatAdd(int a, int b) {
  std::int64_t s = static_cast<std::int64_t>(a) + b;
  s = std::clamp<std::int64_t>(s, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  return static_cast<int>(s);
}

bool Covers(const IndentRec& r, int y) {
  return r.TopY <= y && y < r.BottomY;
}

}  // namespace

void IndentManager::Clear() {
  LeftFloats.ClearAndFree();
  RightFloats.ClearAndFree();
}

void IndentManager::Reset(int left, int right) {
  LeftEdge = left;
  RightEdge = right;
  ListLevel = 0;
}

int IndentManager::LeftAt(int y) const {
  int x = 0;
  bool any = false;
  for (const auto& r : LeftFloats) {
    if (Covers(*r, y) && (!any || r->Offset > x)) {
      x = r->Offset;
      any = true;
    }
  }
  return SatAdd(x, LeftEdge);
}

int IndentManager::RightAt(int y) const {
  int x = 0;
  bool any = false;
  for (const auto& r : RightFloats) {
    if (Covers(*r, y) && (!any || r->Offset < x)) {
      x = r->Offset;
      any = true;
    }
  }
  return SatAdd(x, RightEdge);
}

void IndentManager::AddFloat(int y, TImageObj* image) {
  if (!image) return;
  int h = image->ImageHeight;
  int w = SatAdd(image->ImageWidth, image->HSpace);
  if (image->Align == TImageObj::AlignFloatLeft) {
    int l = LeftAt(y) - LeftEdge;
    image->FloatX = l;
    LeftFloats.Emplace(SatAdd(l, w), y, SatAdd(y, h), 0);
  } else if (image->Align == TImageObj::AlignFloatRight) {
    int r = RightAt(y);
    RightFloats.Emplace(r - RightEdge - w, y, SatAdd(y, h), 0);
    image->FloatX = r - image->ImageWidth;
  }
}

int IndentManager::FloatsBottom() const {
  int bottom = 0;
  for (const auto* list : {&LeftFloats, &RightFloats})
    for (const auto& r : *list)
      if (r->Level == 0) bottom = std::max(bottom, r->BottomY);
  return bottom;
}

void IndentManager::ClearPositions(int& leftY, int& rightY) const {
  auto below = [](const TFreeList<IndentRec, PoolAllocator>& list) {
    int bottom = -1;
    for (const auto& r : list)
      if (r->Level == 0) bottom = std::max(bottom, r->BottomY);
    return SatAdd(bottom, 1);
  };
  leftY = below(LeftFloats);
  rightY = below(RightFloats);
}

int IndentManager::ListIndentBottom() const {
  int a = 0;
  for (const auto& r : LeftFloats)
    if (r->Level == ListLevel) a = r->Offset;
  int bottom = 0;
  for (const auto& r : LeftFloats)
    if (r->Offset > a) bottom = std::max(bottom, r->BottomY);
  return SatAdd(bottom, 1);
}

void IndentManager::SetListLevel(int y, int level) {
  level = std::clamp(level, 0, MaxListLevel);
  if (level > ListLevel) {
    // Each new level starts one indent right of the boundary in force at Y,
    // which includes the level added just before it.
    int base = LeftAt(y) - LeftEdge;
    for (int d = ListLevel + 1; d <= level; ++d) {
      base = SatAdd(base, ListIndentWidth);
      LeftFloats.Emplace(base, y, OpenListBottom, d);
    }
  } else if (level < ListLevel && ListLevel > 0) {
    for (const auto& r : LeftFloats) {
      if (r->Level > level) {
        r->Level = 0;
        r->BottomY = y - 1;
      }
    }
  }
  ListLevel = level;
}

}  // namespace kiv
