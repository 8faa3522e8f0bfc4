// TFormControlObj: a form field of a page ("INPUT", "SELECT", "TEXTAREA"). It
// belongs to a form and owns the window control that shows it, a child of the
// viewer's painting panel; in its text section it is one placeholder
// character. THiddenFormControlObj: a hidden input, with no window and no
// placeholder, that only submits its name and value.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "layout/form_content.h"
#include "layout/form_control_base.h"
#include "platform/font.h"
#include "platform/window_control.h"
#include "reader/attributes.h"

namespace kiv {

class Canvas;
class TSectionList;
class ThtmlForm;

// Top of a control window until a paint places it: out of sight.
constexpr int UnplacedControlTop = -400;

class TFormControlObj : public TFormControlBase, public TFormControlContent {
 public:
  // Reads "VALUE" and "NAME". The control joins form with the form's
  // AttachControl, made by CreateFormControl.
  TFormControlObj(TSectionList& owner, ThtmlForm& form, const TAttributeList& attributes, int pos);
  ~TFormControlObj() override;

  // Back to the page's state.
  void ResetToInitial() override {}
  // Entry index of the submission; false when there are no more. s may be
  // left empty for an entry that submits nothing.
  virtual bool SubmissionEntry(int index, std::string& s);
  // Sizes the window for the coming layout.
  virtual void SizeForLayout(Canvas& canvas);
  // What the page asked for: "hidden", "text", "password", "submit",
  // "reset", "radio", "checkbox", "listbox", "combobox" or "textarea".
  virtual std::string_view KindName() const = 0;
  virtual bool IsHidden() const { return false; }

  // Content of "SELECT" and "TEXTAREA"; others ignore it.
  void AddLine(std::string_view) override {}
  void AddOption(std::string_view, std::string_view, bool) override {}

  // What painting needs.
  int ControlWidth() const override { return Control ? Control->Width() : 0; }
  int ControlHeight() const override { return Control ? Control->Height() : 0; }
  void MoveControl(int left, int top) override;
  void ShowControl() override;
  void HideControl();

  int Pos;              // offset of the placeholder in the text section
  TSectionList* Owner;  // not owned: the document root
  ThtmlForm* Form;      // not owned: the form owns the control
  std::string FieldValue;
  std::string FieldName;
  std::unique_ptr<WindowControl> Control;  // null for hidden inputs

 protected:
  // Makes Control: a window of kind in the painting panel, out of sight.
  // With ownFont the window shows the document's preformatted face at size 10.
  void CreateWindow(WindowKind kind, bool ownFont);
  // The font the window shows: its own, or the panel's.
  Font WindowFont() const;

  Font ownFont_;
  bool hasOwnFont_ = false;
};

class THiddenFormControlObj : public TFormControlObj {
 public:
  using TFormControlObj::TFormControlObj;
  bool SubmissionEntry(int index, std::string& s) override;
  std::string_view KindName() const override { return "hidden"; }
  bool IsHidden() const override { return true; }
};

// Width and height of "A" in font, measured on canvas (whose font is kept).
struct CharCell {
  int width = 0;
  int height = 0;
};
CharCell MeasureA(Canvas& canvas, const Font& font);

// A window side computed from a measurement: a * b + c held between 0 and
// the largest window side, without overflow.
int ControlSide(long long a, long long b, long long c);

// The integer of attribute id, or fallback when it is absent or below 1.
int PositiveAttribute(const TAttributeList& attributes, Symbol id, int fallback);

// Characters of "TYPE" that are read.
constexpr std::size_t MaxInputTypeLength = 20;

// The "TYPE" of an "INPUT" in lower case, empty when absent.
std::string InputType(const TAttributeList& attributes);

// True for an "INPUT" of "TYPE" hidden.
bool IsHiddenInput(Symbol tag, const TAttributeList& attributes);

// Creates the control for tag ("INPUT", "SELECT" or "TEXTAREA") at pos in a
// text section of document. It joins currentForm; when there is none, a form
// without attributes is made and becomes currentForm. The form owns the
// control. Null for any other tag.
TFormControlObj* CreateFormControl(Symbol tag, TSectionList& document,
                                   const TAttributeList& attributes, int pos,
                                   ThtmlForm*& currentForm);

}  // namespace kiv
