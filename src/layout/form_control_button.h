// TButtonFormControlObj: a submit or reset button. A click on a reset button
// puts every field of its form back to the page's state; a submit button
// submits the form, adding its own name and value when it has a name.
#pragma once

#include <string>

#include "layout/form_control.h"

namespace kiv {

class TButtonFormControlObj : public TFormControlObj {
 public:
  TButtonFormControlObj(TSectionList& owner, ThtmlForm& form, const TAttributeList& attributes,
                        int pos, const std::string& type);

  void SizeForLayout(Canvas& canvas) override;
  std::string_view KindName() const override { return IsReset ? "reset" : "submit"; }
  // What a click does.
  void Click();

  bool IsReset;
};

}  // namespace kiv
