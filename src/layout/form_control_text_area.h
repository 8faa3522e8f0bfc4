// TTextAreaFormControlObj: a multi-line edit with both scroll bars
// ("TEXTAREA"). It submits one name=value entry per line of its text.
#pragma once

#include <string>
#include <vector>

#include "layout/form_control.h"

namespace kiv {

// Rows and columns of a text area when "ROWS" and "COLS" do not say.
constexpr int DefaultTextRows = 5;
constexpr int DefaultTextCols = 30;

class TTextAreaFormControlObj : public TFormControlObj {
 public:
  TTextAreaFormControlObj(TSectionList& owner, ThtmlForm& form, const TAttributeList& attributes,
                          int pos);

  void AddLine(std::string_view line) override;
  void ResetToInitial() override;
  bool SubmissionEntry(int index, std::string& s) override;
  void SizeForLayout(Canvas& canvas) override;
  std::string_view KindName() const override { return "textarea"; }

  int TextRows;
  int TextCols;
  std::vector<std::string> InitialLines;
};

}  // namespace kiv
