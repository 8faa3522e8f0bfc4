// TRadioButtonFormControlObj: a radio button in a borderless panel of its
// own, so the window system does not group it; the form groups radio buttons
// by name, ignoring case. Checked, it submits its name and value.
#pragma once

#include "layout/form_control.h"

namespace kiv {

// Size of the panel that holds a radio button.
constexpr int RadioPanelWidth = 13;
constexpr int RadioPanelHeight = 14;

class TRadioButtonFormControlObj : public TFormControlObj {
 public:
  TRadioButtonFormControlObj(TSectionList& owner, ThtmlForm& form, const TAttributeList& attributes,
                             int pos);

  void ResetToInitial() override;
  bool SubmissionEntry(int index, std::string& s) override;
  std::string_view KindName() const override { return "radio"; }
  bool IsRadio() const override { return true; }
  void ShowControl() override;

  bool Checked() const { return Control->Checked(); }
  void SetChecked(bool checked) { Control->SetChecked(checked); }

  bool InitiallyChecked;
};

}  // namespace kiv
