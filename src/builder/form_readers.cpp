// The form-content readers of the document builder: the text of a text area
// and the options of a selection list, handed to their control.
#include <string>

#include "layout/form_content.h"
#include "builder/document_builder.h"
#include "reader/string_routines.h"

namespace kiv {

namespace {

// Option texts and values keep at most this many characters.
constexpr std::size_t kMaxOptionLength = 80;

}  // namespace

void THtmlBuilder::ReadTextArea(TFormControlContent* control) {
  std::string line;
  NextRawToken(false);
  while (Reader.Sym != TextAreaEndSymbol && Reader.Sym != EndOfInputSymbol) {
    if (Reader.Sym == LineEndSymbol) {
      if (control) control->AddLine(line);
      line.clear();
    } else {
      line += Reader.Token();
    }
    NextRawToken(false);
  }
  while (Reader.Ch != '>' && Reader.Ch != EndOfInputChar) Reader.NextChar();
  if (Reader.Ch == '>') Reader.NextChar();
  if (control) {
    if (!line.empty()) control->AddLine(line);
    control->ResetToInitial();
  }
}

// --- selection lists ---------------------------------------------------------------------

void THtmlBuilder::ReadOptions(TFormControlContent* control) {
  std::string text, value;
  bool selected = false, inOption = false;
  Reader.Next();
  while (Reader.Sym != SelectEndSy && Reader.Sym != EndOfInputSymbol) {
    if (Reader.Sym == TextSymbol) {
      if (inOption && text.size() < kMaxOptionLength) {
        text += Reader.Token().substr(0, kMaxOptionLength - text.size());
      }
    } else if (Reader.Sym == OptionSy || Reader.Sym == OptionEndSy) {
      std::string trimmed = TrimWhite(text);
      if (!trimmed.empty()) {
        if (inOption && control) control->AddOption(trimmed, value, selected);
        text.clear();
        value.clear();
        selected = false;
      }
      inOption = Reader.Sym == OptionSy;
      if (Reader.Sym == OptionSy) {
        selected = Reader.Attributes.Find(SelectedSy) != nullptr;
        if (const TAttribute* v = Reader.Attributes.Find(ValueSy))
          value = v->Text.substr(0, kMaxOptionLength);
      }
    }
    Reader.Next();
  }
  if (inOption) {
    std::string trimmed = TrimWhite(text);
    if (!trimmed.empty() && control) control->AddOption(trimmed, value, selected);
  }
  if (control) control->ResetToInitial();
}

}  // namespace kiv
