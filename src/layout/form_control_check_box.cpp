#include "layout/form_control_check_box.h"

namespace kiv {

TCheckBoxFormControlObj::TCheckBoxFormControlObj(TSectionList& owner, ThtmlForm& form,
                                                 const TAttributeList& attributes, int pos)
    : TFormControlObj(owner, form, attributes, pos),
      InitiallyChecked(attributes.Find(CheckedSy) != nullptr) {
  if (FieldValue.empty()) FieldValue = "On";
  OnBaseline = true;
  CreateWindow(WindowKind::CheckBox, false);
  Control->SetSize(CheckBoxSide, CheckBoxSide);
  Control->SetChecked(InitiallyChecked);
}

void TCheckBoxFormControlObj::ResetToInitial() {
  Control->SetChecked(InitiallyChecked);
}

bool TCheckBoxFormControlObj::SubmissionEntry(int index, std::string& s) {
  if (index != 0 || !Control->Checked()) return false;
  s = FieldName + "=" + FieldValue;
  return true;
}

}  // namespace kiv
