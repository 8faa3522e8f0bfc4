#include "layout/form_control_list_box.h"

#include <algorithm>

#include "platform/screen_canvas.h"

namespace kiv {

TListBoxFormControlObj::TListBoxFormControlObj(TSectionList& owner, ThtmlForm& form,
                                               const TAttributeList& attributes, int pos)
    : TListBoxFormControlObj(owner, form, attributes, pos, WindowKind::ListBox) {}

TListBoxFormControlObj::TListBoxFormControlObj(TSectionList& owner, ThtmlForm& form,
                                               const TAttributeList& attributes, int pos,
                                               WindowKind kind)
    : TFormControlObj(owner, form, attributes, pos),
      VisibleRows(-1),
      LongestOption(MinLongestOption) {
  if (const TAttribute* size = attributes.Find(SizeSy)) VisibleRows = size->Value;
  CreateWindow(kind, true);
  Control->SetMultiSelect(kind == WindowKind::ListBox && attributes.Find(MultipleSy) != nullptr);
}

void TListBoxFormControlObj::AddOption(std::string_view text, std::string_view value,
                                       bool selected) {
  TOptionObj option;
  option.OptionValue = std::string(value);
  option.IsSelected = selected;
  Options.emplace_back(std::string(text), std::move(option));
  LongestOption = std::max(
      LongestOption, static_cast<int>(std::min<std::size_t>(text.size(), MaxWindowControlSide)));
}

void TListBoxFormControlObj::ResetToInitial() {
  WindowControl& w = *Control;
  w.ClearItems();
  for (const auto& option : Options) w.AddItem(option.first);
  const bool multi = w.MultiSelect();
  for (std::size_t i = 0; i < Options.size(); ++i) {
    const int index = static_cast<int>(i);
    if (multi)
      w.SetItemSelected(index, Options[i].second.IsSelected);
    else if (Options[i].second.IsSelected)
      w.SetItemIndex(index);  // the last selected option wins
  }
  if (w.ItemIndex() < 0 && w.ItemCount() > 0) w.SetItemIndex(0);
  w.SetTopIndex(0);
}

bool TListBoxFormControlObj::SubmissionEntry(int index, std::string& s) {
  const WindowControl& w = *Control;
  if (index < 0 || index >= w.ItemCount()) return false;
  s.clear();
  const bool selected = w.MultiSelect() ? w.ItemSelected(index) : w.ItemIndex() == index;
  if (!selected) return true;
  const std::string& value =
      index < static_cast<int>(Options.size()) ? Options[index].second.OptionValue : std::string();
  s = FieldName + "=" + (value.empty() ? w.ItemText(index) : value);
  return true;
}

void TListBoxFormControlObj::SizeForLayout(Canvas& canvas) {
  const CharCell a = MeasureA(canvas, WindowFont());
  int rows = VisibleRows;
  if (rows < 1) rows = std::max(1, std::min(MaxDefaultListRows, static_cast<int>(Options.size())));
  Control->SetItemHeight(a.height);
  Control->SetClientSize(ControlSide(a.width, LongestOption, 15), ControlSide(rows, a.height, 0));
}

TComboFormControlObj::TComboFormControlObj(TSectionList& owner, ThtmlForm& form,
                                           const TAttributeList& attributes, int pos)
    : TListBoxFormControlObj(owner, form, attributes, pos, WindowKind::ComboBox) {}

void TComboFormControlObj::SizeForLayout(Canvas& canvas) {
  // The width is measured on the screen in its default font, as the
  // drop-down list's is; the height follows the list's own font, as a
  // button's follows its caption's.
  const CharCell screenA = MeasureA(ScreenCanvas(), Font());
  const CharCell ownA = MeasureA(canvas, WindowFont());
  Control->SetClientSize(ControlSide(screenA.width, LongestOption, 30), -1);
  Control->SetSize(Control->Width(), ControlSide(ownA.height, 1, 8));
}

}  // namespace kiv
