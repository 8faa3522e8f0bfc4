#include "layout/form_control_radio.h"

#include "layout/html_form.h"

namespace kiv {

TRadioButtonFormControlObj::TRadioButtonFormControlObj(TSectionList& owner, ThtmlForm& form,
                                                       const TAttributeList& attributes, int pos)
    : TFormControlObj(owner, form, attributes, pos),
      InitiallyChecked(attributes.Find(CheckedSy) != nullptr) {
  OnBaseline = true;
  CreateWindow(WindowKind::RadioButton, false);
  Control->SetSize(RadioPanelWidth, RadioPanelHeight);
  Control->SetChecked(InitiallyChecked);
  Control->OnClick = [this] { Form->RadioClicked(this); };
}

void TRadioButtonFormControlObj::ResetToInitial() {
  Control->SetChecked(InitiallyChecked);
}

bool TRadioButtonFormControlObj::SubmissionEntry(int index, std::string& s) {
  if (index != 0 || !Control->Checked()) return false;
  s = FieldName + "=" + FieldValue;
  return true;
}

void TRadioButtonFormControlObj::ShowControl() {
  Control->SetVisible(true);
  Control->Repaint();
}

}  // namespace kiv
