// ThtmlForm: a "FORM" of a page (or the form made for fields outside any
// "FORM"). It owns its controls in document order, resets them, groups its
// radio buttons by name, reacts to the keys of its edits and text areas, and
// hands its name=value entries to the document root's submission callback.
#pragma once

#include <memory>
#include <string>

#include "layout/form_control.h"
#include "layout/html_form_base.h"
#include "reader/attributes.h"
#include "reader/free_list.h"

namespace kiv {

class TRadioButtonFormControlObj;
class TSectionList;

// Characters of "METHOD" that are kept.
constexpr std::size_t MaxMethodLength = 4;

class ThtmlForm : public ThtmlFormBase {
 public:
  // A form of owner, which keeps it in Forms; attributes may be null.
  ThtmlForm(TSectionList& owner, const TAttributeList* attributes);
  // Creates a form and adds it to owner's Forms, which owns it.
  static ThtmlForm* Create(TSectionList& owner, const TAttributeList* attributes);

  // Takes control into FormControls; returns it.
  TFormControlObj* AttachControl(std::unique_ptr<TFormControlObj> control);
  // Every control back to the page's state.
  void ResetControls();
  // Collects the entries of every control in order, extra (when not null)
  // last, and passes them to the document root's submission callback.
  // Nothing happens while the root has none.
  void SubmitForm(const std::string* extra);
  // Unchecks every other radio button of this form with radio's name,
  // compared ignoring case.
  void RadioClicked(TRadioButtonFormControlObj* radio);
  // A key went down in an edit or text area: Enter in the only field of a
  // form submits it; the page keys scroll the document as well.
  void ControlKeyDown(TFormControlObj* sender, int& key);

  void PrepareControls(Canvas& canvas) override;
  void ClearPlacedMarks() override;
  void HideUnplacedControls() override;

  TSectionList* Owner;  // not owned
  std::string Method = "Get";
  std::string Action;
  TFreeList<TFormControlObj> FormControls;
  int NonHiddenCount = 0;
};

}  // namespace kiv
