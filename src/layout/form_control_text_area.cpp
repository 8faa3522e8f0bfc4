#include "layout/form_control_text_area.h"

#include "layout/html_form.h"

namespace kiv {

TTextAreaFormControlObj::TTextAreaFormControlObj(TSectionList& owner, ThtmlForm& form,
                                                 const TAttributeList& attributes, int pos)
    : TFormControlObj(owner, form, attributes, pos),
      TextRows(PositiveAttribute(attributes, RowsSy, DefaultTextRows)),
      TextCols(PositiveAttribute(attributes, ColsSy, DefaultTextCols)) {
  CreateWindow(WindowKind::Memo, true);
  Control->OnKeyDown = [this](int& key) { Form->ControlKeyDown(this, key); };
}

void TTextAreaFormControlObj::AddLine(std::string_view line) {
  InitialLines.emplace_back(line);
}

void TTextAreaFormControlObj::ResetToInitial() {
  Control->SetLines(InitialLines);
  Control->SetCaretToStart();
}

bool TTextAreaFormControlObj::SubmissionEntry(int index, std::string& s) {
  if (index < 0 || index >= Control->LineCount()) return false;
  s = FieldName + "=" + Control->Line(index);
  return true;
}

void TTextAreaFormControlObj::SizeForLayout(Canvas& canvas) {
  const CharCell a = MeasureA(canvas, WindowFont());
  Control->SetClientSize(ControlSide(a.width, TextCols, 5), ControlSide(a.height, TextRows, 5));
}

}  // namespace kiv
