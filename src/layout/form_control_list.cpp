#include "layout/form_control_list.h"

#include <algorithm>

#include "layout/form_control.h"
#include "layout/form_control_outline.h"
#include "layout/layout_limits.h"

namespace kiv {

void TFormControlList::Add(TFormControlObj* control) {
  controls_.push_back(control);
}

int TFormControlList::WidthOfIndex(int index) const {
  if (index < 0 || index >= Count()) return 0;
  return Items(index)->ControlWidth();
}

std::vector<TFormControlObj*>::const_iterator TFormControlList::FirstFrom(int offset) const {
  // Sections may hold thousands of controls: positions ascend, so search.
  return std::lower_bound(controls_.begin(), controls_.end(), offset,
                          [](const TFormControlObj* c, int o) { return c->Pos < o; });
}

int TFormControlList::DistanceToNext(int offset) const {
  const auto it = FirstFrom(offset);
  return it == controls_.end() ? NoNextObject : (*it)->Pos - offset;
}

TFormControlObj* TFormControlList::FormControlAt(int offset) const {
  const auto it = FirstFrom(offset);
  return it != controls_.end() && (*it)->Pos == offset ? *it : nullptr;
}

TFormControlBase* TFormControlList::ControlAt(int offset) const {
  return FormControlAt(offset);
}

int TFormControlList::WidthAt(int offset) const {
  const TFormControlObj* control = FormControlAt(offset);
  return control ? control->ControlWidth() : -1;
}

int TFormControlList::HeightAt(int offset, bool& onBaseline) const {
  const TFormControlObj* control = FormControlAt(offset);
  onBaseline = control && control->OnBaseline;
  return control ? control->ControlHeight() : -1;
}

std::unique_ptr<TControlList> TFormControlList::CloneForPrinting() const {
  auto outlines = std::make_unique<TControlOutlineList>();
  for (const TFormControlObj* control : controls_) outlines->Add(*control, control->Pos);
  return outlines;
}

}  // namespace kiv
