// TEditFormControlObj: a single-line edit ("INPUT" of type text, password or
// any type the viewer does not know). Its keys go to the form: Enter submits
// a form of one field, the page keys scroll the document.
#pragma once

#include <string>

#include "layout/form_control.h"

namespace kiv {

// Width of an edit in characters when "SIZE" does not say.
constexpr int DefaultEditSize = 20;
// Size of an edit window before its first layout, and its height always.
constexpr int EditWindowWidth = 120;
constexpr int EditWindowHeight = 20;

class TEditFormControlObj : public TFormControlObj {
 public:
  TEditFormControlObj(TSectionList& owner, ThtmlForm& form, const TAttributeList& attributes,
                      int pos, const std::string& type);

  void ResetToInitial() override;
  bool SubmissionEntry(int index, std::string& s) override;
  void SizeForLayout(Canvas& canvas) override;
  std::string_view KindName() const override { return password_ ? "password" : "text"; }

  int EditSize;  // "SIZE": the width in characters

 private:
  bool password_;
};

}  // namespace kiv
