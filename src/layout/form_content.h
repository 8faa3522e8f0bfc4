// What the block readers hand a form control while reading its content: the
// lines of a "TEXTAREA" and the options of a "SELECT". The form controls
// implement it.
#pragma once

#include <string_view>

namespace kiv {

class TFormControlContent {
 public:
  virtual ~TFormControlContent() = default;
  // One line of a text area's initial text.
  virtual void AddLine(std::string_view line) = 0;
  // One option of a selection list.
  virtual void AddOption(std::string_view text, std::string_view value, bool selected) = 0;
  // The content is complete: the control takes it as its initial state.
  virtual void ResetToInitial() = 0;
};

}  // namespace kiv
