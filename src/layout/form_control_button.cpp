#include "layout/form_control_button.h"

#include "layout/html_form.h"
#include "platform/canvas.h"

namespace kiv {

TButtonFormControlObj::TButtonFormControlObj(TSectionList& owner, ThtmlForm& form,
                                             const TAttributeList& attributes, int pos,
                                             const std::string& type)
    : TFormControlObj(owner, form, attributes, pos), IsReset(type != "submit") {
  if (!IsReset && FieldValue.empty()) FieldValue = "Submit";
  CreateWindow(WindowKind::PushButton, false);
  Control->SetText(FieldValue);
  Control->OnClick = [this] { Click(); };
}

void TButtonFormControlObj::SizeForLayout(Canvas& canvas) {
  const Font font = WindowFont();
  const CharCell a = MeasureA(canvas, font);
  const Font saved = canvas.CurrentFont();
  canvas.SelectFont(font);
  const int caption = canvas.TextExtent(FieldValue.data(), static_cast<int>(FieldValue.size())).cx;
  canvas.SelectFont(saved);
  Control->SetSize(ControlSide(caption, 1, 20), ControlSide(a.height, 1, 8));
}

void TButtonFormControlObj::Click() {
  if (IsReset) {
    Form->ResetControls();
  } else if (FieldName.empty()) {
    Form->SubmitForm(nullptr);
  } else {
    const std::string extra = FieldName + "=" + FieldValue;
    Form->SubmitForm(&extra);
  }
}

}  // namespace kiv
