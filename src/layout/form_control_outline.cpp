#include "layout/form_control_outline.h"

#include <algorithm>

#include "layout/layout_limits.h"

namespace kiv {

TFormControlOutline::TFormControlOutline(const TFormControlBase& control, int pos)
    : Pos(pos),
      width_(control.ControlWidth()),
      height_(control.ControlHeight()),
      radio_(control.IsRadio()) {
  OnBaseline = control.OnBaseline;
}

void TControlOutlineList::Add(const TFormControlBase& control, int pos) {
  outlines_.push_back(std::make_unique<TFormControlOutline>(control, pos));
}

int TControlOutlineList::WidthOfIndex(int index) const {
  if (index < 0 || index >= Count()) return 0;
  return outlines_[static_cast<std::size_t>(index)]->ControlWidth();
}

std::vector<std::unique_ptr<TFormControlOutline>>::const_iterator TControlOutlineList::FirstFrom(
    int offset) const {
  return std::lower_bound(
      outlines_.begin(), outlines_.end(), offset,
      [](const std::unique_ptr<TFormControlOutline>& c, int o) { return c->Pos < o; });
}

int TControlOutlineList::DistanceToNext(int offset) const {
  const auto it = FirstFrom(offset);
  return it == outlines_.end() ? NoNextObject : (*it)->Pos - offset;
}

TFormControlOutline* TControlOutlineList::OutlineAt(int offset) const {
  const auto it = FirstFrom(offset);
  return it != outlines_.end() && (*it)->Pos == offset ? it->get() : nullptr;
}

int TControlOutlineList::WidthAt(int offset) const {
  const TFormControlOutline* outline = OutlineAt(offset);
  return outline ? outline->ControlWidth() : -1;
}

int TControlOutlineList::HeightAt(int offset, bool& onBaseline) const {
  const TFormControlOutline* outline = OutlineAt(offset);
  onBaseline = outline && outline->OnBaseline;
  return outline ? outline->ControlHeight() : -1;
}

TFormControlBase* TControlOutlineList::ControlAt(int offset) const {
  return OutlineAt(offset);
}

}  // namespace kiv
