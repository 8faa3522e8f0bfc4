// TFormControlList: the form controls of one text section, each at its
// placeholder, in ascending position. The controls belong to their forms.
#pragma once

#include <memory>
#include <vector>

#include "layout/control_list.h"

namespace kiv {

class TFormControlObj;

class TFormControlList : public TControlList {
 public:
  // Appends a control placed after every control already held.
  void Add(TFormControlObj* control);

  int Count() const override { return static_cast<int>(controls_.size()); }
  TFormControlObj* Items(int index) const { return controls_[static_cast<std::size_t>(index)]; }
  int WidthOfIndex(int index) const override;
  int DistanceToNext(int offset) const override;
  int WidthAt(int offset) const override;
  int HeightAt(int offset, bool& onBaseline) const override;
  TFormControlBase* ControlAt(int offset) const override;
  // The control whose position is offset, or null.
  TFormControlObj* FormControlAt(int offset) const;
  std::unique_ptr<TControlList> CloneForPrinting() const override;

 private:
  // The first control at or after offset.
  std::vector<TFormControlObj*>::const_iterator FirstFrom(int offset) const;

  std::vector<TFormControlObj*> controls_;  // not owned
};

}  // namespace kiv
