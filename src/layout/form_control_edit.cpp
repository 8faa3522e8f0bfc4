#include "layout/form_control_edit.h"

#include "layout/html_form.h"

namespace kiv {

TEditFormControlObj::TEditFormControlObj(TSectionList& owner, ThtmlForm& form,
                                         const TAttributeList& attributes, int pos,
                                         const std::string& type)
    : TFormControlObj(owner, form, attributes, pos),
      EditSize(PositiveAttribute(attributes, SizeSy, DefaultEditSize)),
      password_(type == "password") {
  CreateWindow(password_ ? WindowKind::Password : WindowKind::Edit, true);
  Control->SetSize(EditWindowWidth, EditWindowHeight);
  if (const TAttribute* maxLength = attributes.Find(MaxLengthSy))
    Control->SetMaxLength(maxLength->Value);
  Control->SetText(FieldValue);
  Control->OnKeyDown = [this](int& key) { Form->ControlKeyDown(this, key); };
}

void TEditFormControlObj::ResetToInitial() {
  Control->SetText(FieldValue);
}

bool TEditFormControlObj::SubmissionEntry(int index, std::string& s) {
  if (index != 0) return false;
  s = FieldName + "=" + Control->Text();
  return true;
}

void TEditFormControlObj::SizeForLayout(Canvas& canvas) {
  const CharCell a = MeasureA(canvas, WindowFont());
  Control->SetSize(ControlSide(a.width, EditSize, 5), EditWindowHeight);
}

}  // namespace kiv
