// TFormControlOutline: what a printed page keeps of a form control — its
// place, its window's size and shape — so that the line keeps the room and
// painting draws its outline. TControlOutlineList: the outlines of one text
// section in ascending position, owned by the section's print copy.
#pragma once

#include <memory>
#include <vector>

#include "layout/control_list.h"
#include "layout/form_control_base.h"

namespace kiv {

class TFormControlOutline : public TFormControlBase {
 public:
  TFormControlOutline(const TFormControlBase& control, int pos);

  int ControlWidth() const override { return width_; }
  int ControlHeight() const override { return height_; }
  bool IsRadio() const override { return radio_; }
  // There is no window to move or show.
  void MoveControl(int, int) override {}
  void ShowControl() override {}

  int Pos;

 private:
  int width_;
  int height_;
  bool radio_;
};

class TControlOutlineList : public TControlList {
 public:
  // Appends an outline of control, placed after every one already held.
  void Add(const TFormControlBase& control, int pos);

  int Count() const override { return static_cast<int>(outlines_.size()); }
  int WidthOfIndex(int index) const override;
  int DistanceToNext(int offset) const override;
  int WidthAt(int offset) const override;
  int HeightAt(int offset, bool& onBaseline) const override;
  TFormControlBase* ControlAt(int offset) const override;

 private:
  TFormControlOutline* OutlineAt(int offset) const;
  std::vector<std::unique_ptr<TFormControlOutline>>::const_iterator FirstFrom(int offset) const;

  std::vector<std::unique_ptr<TFormControlOutline>> outlines_;
};

}  // namespace kiv
