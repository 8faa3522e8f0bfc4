#include "layout/form_control.h"

#include <algorithm>

#include "layout/form_control_button.h"
#include "layout/form_control_check_box.h"
#include "layout/form_control_edit.h"
#include "layout/form_control_list_box.h"
#include "layout/form_control_radio.h"
#include "layout/form_control_text_area.h"
#include "layout/html_form.h"
#include "layout/section_list.h"
#include "platform/canvas.h"

namespace kiv {

namespace {

// Point size of the preformatted face in edits, lists and text areas.
constexpr int ControlFontSize = 10;

}  // namespace

TFormControlObj::TFormControlObj(TSectionList& owner, ThtmlForm& form,
                                 const TAttributeList& attributes, int pos)
    : Pos(pos), Owner(&owner), Form(&form) {
  if (const TAttribute* value = attributes.Find(ValueSy)) FieldValue = value->Text;
  if (const TAttribute* name = attributes.Find(NameSy)) FieldName = name->Text;
}

TFormControlObj::~TFormControlObj() = default;

bool TFormControlObj::SubmissionEntry(int, std::string&) {
  return false;
}

void TFormControlObj::SizeForLayout(Canvas&) {}

void TFormControlObj::CreateWindow(WindowKind kind, bool ownFont) {
  Control = WindowControl::Create(kind, Owner->PaintPanel);
  Control->Move(0, UnplacedControlTop);
  if (ownFont) {
    ownFont_.SetName(Owner->PreFontName);
    ownFont_.SetSize(ControlFontSize);
    hasOwnFont_ = true;
    Control->SetFont(ownFont_);
  }
}

Font TFormControlObj::WindowFont() const {
  if (hasOwnFont_) return ownFont_;
  return Control ? Control->ShownFont() : Font();
}

void TFormControlObj::MoveControl(int left, int top) {
  if (Control) Control->Move(left, top);
}

void TFormControlObj::ShowControl() {
  if (Control) Control->SetVisible(true);
}

void TFormControlObj::HideControl() {
  if (Control) Control->SetVisible(false);
}

bool THiddenFormControlObj::SubmissionEntry(int index, std::string& s) {
  if (index != 0) return false;
  s = FieldName + "=" + FieldValue;
  return true;
}

CharCell MeasureA(Canvas& canvas, const Font& font) {
  const Font saved = canvas.CurrentFont();
  canvas.SelectFont(font);
  CharCell cell{canvas.TextExtent("A", 1).cx, canvas.GetTextMetrics().tmHeight};
  canvas.SelectFont(saved);
  return cell;
}

int ControlSide(long long a, long long b, long long c) {
  const long long side = a * b + c;
  return static_cast<int>(std::clamp<long long>(side, 0, MaxWindowControlSide));
}

int PositiveAttribute(const TAttributeList& attributes, Symbol id, int fallback) {
  const TAttribute* attribute = attributes.Find(id);
  return attribute && attribute->Value >= 1 ? attribute->Value : fallback;
}

bool IsHiddenInput(Symbol tag, const TAttributeList& attributes) {
  return tag == InputSy && InputType(attributes) == "hidden";
}

std::string InputType(const TAttributeList& attributes) {
  const TAttribute* type = attributes.Find(TypeSy);
  if (!type) return {};
  std::string text = type->Text.substr(0, MaxInputTypeLength);
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

TFormControlObj* CreateFormControl(Symbol tag, TSectionList& document,
                                   const TAttributeList& attributes, int pos,
                                   ThtmlForm*& currentForm) {
  if (tag != InputSy && tag != SelectSy && tag != TextAreaSy) return nullptr;
  if (!currentForm) currentForm = ThtmlForm::Create(document, nullptr);
  ThtmlForm& form = *currentForm;
  std::unique_ptr<TFormControlObj> control;
  if (tag == SelectSy) {
    const TAttribute* size = attributes.Find(SizeSy);
    if (attributes.Find(MultipleSy) || (size && size->Value > 1))
      control = std::make_unique<TListBoxFormControlObj>(document, form, attributes, pos);
    else
      control = std::make_unique<TComboFormControlObj>(document, form, attributes, pos);
  } else if (tag == TextAreaSy) {
    control = std::make_unique<TTextAreaFormControlObj>(document, form, attributes, pos);
  } else {
    const std::string type = InputType(attributes);
    if (type == "submit" || type == "reset")
      control = std::make_unique<TButtonFormControlObj>(document, form, attributes, pos, type);
    else if (type == "radio")
      control = std::make_unique<TRadioButtonFormControlObj>(document, form, attributes, pos);
    else if (type == "checkbox")
      control = std::make_unique<TCheckBoxFormControlObj>(document, form, attributes, pos);
    else if (type == "hidden")
      control = std::make_unique<THiddenFormControlObj>(document, form, attributes, pos);
    else
      control = std::make_unique<TEditFormControlObj>(document, form, attributes, pos, type);
  }
  return form.AttachControl(std::move(control));
}

}  // namespace kiv
