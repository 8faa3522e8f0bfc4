#include "layout/html_form.h"

#include <utility>
#include <vector>

#include "layout/form_control_edit.h"
#include "layout/form_control_radio.h"
#include "layout/section_list.h"
#include "platform/ansi_case.h"

namespace kiv {

ThtmlForm::ThtmlForm(TSectionList& owner, const TAttributeList* attributes) : Owner(&owner) {
  if (!attributes) return;
  if (const TAttribute* method = attributes->Find(MethodSy))
    Method = method->Text.substr(0, MaxMethodLength);
  if (const TAttribute* action = attributes->Find(ActionSy)) Action = action->Text;
}

ThtmlForm* ThtmlForm::Create(TSectionList& owner, const TAttributeList* attributes) {
  auto form = std::make_unique<ThtmlForm>(owner, attributes);
  ThtmlForm* raw = form.get();
  owner.Forms.Add(std::move(form));
  return raw;
}

TFormControlObj* ThtmlForm::AttachControl(std::unique_ptr<TFormControlObj> control) {
  TFormControlObj* raw = control.get();
  if (!raw->IsHidden()) ++NonHiddenCount;
  FormControls.Add(std::move(control));
  return raw;
}

void ThtmlForm::ResetControls() {
  for (const auto& control : FormControls) control->ResetToInitial();
}

void ThtmlForm::SubmitForm(const std::string* extra) {
  if (!Owner->FormSubmitHandler) return;
  std::vector<std::string> results;
  std::string entry;
  for (const auto& control : FormControls) {
    for (int index = 0;; ++index) {
      entry.clear();
      if (!control->SubmissionEntry(index, entry)) break;
      if (!entry.empty()) results.push_back(entry);
    }
  }
  if (extra) results.push_back(*extra);
  Owner->FormSubmitHandler(Owner->Viewer, Action, std::move(results), Method);
}

void ThtmlForm::RadioClicked(TRadioButtonFormControlObj* radio) {
  for (const auto& control : FormControls) {
    if (control.get() == radio || !control->IsRadio()) continue;
    auto* other = static_cast<TRadioButtonFormControlObj*>(control.get());
    if (AnsiSameText(other->FieldName, radio->FieldName)) other->SetChecked(false);
  }
}

void ThtmlForm::ControlKeyDown(TFormControlObj* sender, int& key) {
  if (key == WindowKey::Return && NonHiddenCount == 1 &&
      dynamic_cast<TEditFormControlObj*>(sender)) {
    SubmitForm(nullptr);
  } else if (key >= WindowKey::PageUp && key <= WindowKey::Home) {
    PostKeyDownToViewer(Owner->PaintPanel, key);
  }
}

void ThtmlForm::PrepareControls(Canvas& canvas) {
  for (const auto& control : FormControls) control->SizeForLayout(canvas);
}

void ThtmlForm::ClearPlacedMarks() {
  for (const auto& control : FormControls) control->Placed = false;
}

void ThtmlForm::HideUnplacedControls() {
  for (const auto& control : FormControls)
    if (!control->Placed) control->HideControl();
}

}  // namespace kiv
