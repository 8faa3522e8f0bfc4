// TListBoxFormControlObj: a list box ("SELECT" with "MULTIPLE" or a "SIZE"
// above 1); TComboFormControlObj: a drop-down list that takes no typing (any
// other "SELECT"). Both keep the page's options with their values and initial
// selection, and submit one name=value entry per selected option.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "layout/form_control.h"

namespace kiv {

// Rows a list box shows without "SIZE": as many as it has options, from 1 to 8.
constexpr int MaxDefaultListRows = 8;
// Characters the narrowest list is made wide for.
constexpr int MinLongestOption = 3;

class TOptionObj {
 public:
  std::string OptionValue;  // "VALUE" of the option, may be empty
  bool IsSelected = false;  // "SELECTED" given
};

class TListBoxFormControlObj : public TFormControlObj {
 public:
  TListBoxFormControlObj(TSectionList& owner, ThtmlForm& form, const TAttributeList& attributes,
                         int pos);

  void AddOption(std::string_view text, std::string_view value, bool selected) override;
  void ResetToInitial() override;
  bool SubmissionEntry(int index, std::string& s) override;
  void SizeForLayout(Canvas& canvas) override;
  std::string_view KindName() const override { return "listbox"; }

  int VisibleRows;    // "SIZE", -1 when absent
  int LongestOption;  // characters of the longest option text, at least 3
  // The option texts, each with its value and initial selection.
  std::vector<std::pair<std::string, TOptionObj>> Options;

 protected:
  // Made as a list box whose window is then replaced by one of kind.
  TListBoxFormControlObj(TSectionList& owner, ThtmlForm& form, const TAttributeList& attributes,
                         int pos, WindowKind kind);
};

class TComboFormControlObj : public TListBoxFormControlObj {
 public:
  TComboFormControlObj(TSectionList& owner, ThtmlForm& form, const TAttributeList& attributes,
                       int pos);

  void SizeForLayout(Canvas& canvas) override;
  std::string_view KindName() const override { return "combobox"; }
};

}  // namespace kiv
