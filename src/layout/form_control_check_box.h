// TCheckBoxFormControlObj: a check box. Checked, it submits its name and its
// value ("On" when the page gives none); unchecked, nothing.
#pragma once

#include "layout/form_control.h"

namespace kiv {

// Side of a check box window.
constexpr int CheckBoxSide = 13;

class TCheckBoxFormControlObj : public TFormControlObj {
 public:
  TCheckBoxFormControlObj(TSectionList& owner, ThtmlForm& form, const TAttributeList& attributes,
                          int pos);

  void ResetToInitial() override;
  bool SubmissionEntry(int index, std::string& s) override;
  std::string_view KindName() const override { return "checkbox"; }

  bool InitiallyChecked;
};

}  // namespace kiv
