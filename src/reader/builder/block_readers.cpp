// The block readers of the document builder: tables, text areas, selection
// lists, image maps and scripts. Each consumes its construct with its own
// loop and leaves the builder's state as it found it.
#include <algorithm>
#include <string>

#include "layout/cell.h"
#include "layout/form_content.h"
#include "layout/section_list.h"
#include "layout/text_section.h"
#include "reader/builder/document_builder.h"
#include "reader/map_item.h"
#include "reader/string_routines.h"

namespace kiv {

namespace {

// Option texts and values keep at most this many characters.
constexpr std::size_t kMaxOptionLength = 80;

const std::vector<Symbol>& CellTerminators() {
  static const std::vector<Symbol> set = {TableEndSy, TDSy,      TDEndSy,  TRSy,
                                          THSy,       THEndSy,   CaptionSy, CaptionEndSy};
  return set;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

// Tables: the cells are read with the cell terminating set into cells of
// their own. Until the table sections exist, each cell's content is read
// exactly as it will be and then let go, so that what surrounds a table
// builds the same as it will with the table in place.
void THtmlBuilder::ReadTable() {
  CloseSection();
  TCell* const outerCell = currentCell_;
  const std::uint8_t outerAlignment = runAlignment_;
  const std::uint8_t outerStyle = styleFlags_;
  currentCell_ = nullptr;
  ++tableNesting_;

  std::unique_ptr<TCell> cell;  // the cell or caption being read, once its tag opened it
  std::size_t cellAnchors = 0;  // anchors named before that cell opened
  bool firstRow = true;
  int rowAlign = 0;
  auto alignOf = [](std::string_view text) {
    std::string a = TrimWhite(text);
    for (char& c : a) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return a == "left" ? 1 : a == "center" ? 2 : a == "right" ? 3 : 0;
  };
  auto openCell = [&] {
    cell = std::make_unique<TCell>(&document_);
    currentCell_ = cell.get();
    cellAnchors = anchorNames_.size();
  };
  auto finishCell = [&] {
    if (currentCell_) {
      CloseSection();
      ForgetAnchorsIn(*cell, cellAnchors);
      cell.reset();
      currentCell_ = nullptr;
    }
  };
  auto restore = [&] {
    --tableNesting_;
    currentCell_ = outerCell;
    styleFlags_ = outerStyle;
    runAlignment_ = outerAlignment;
  };

  try {
    Reader.Next();
    while (Reader.Sym != TableEndSy && Reader.Sym != EndOfInputSymbol) {
      const Symbol sym = Reader.Sym;
      if (sym == TextSymbol) {
        // Stray text between cells stands before the table.
        currentCell_ = outerCell;
        ReadBody(CellTerminators());
        CloseSection();
        currentCell_ = cell.get();
      } else if (sym == TDSy || sym == THSy) {
        finishCell();
        runAlignment_ = static_cast<std::uint8_t>(rowAlign != 0 ? rowAlign : (sym == THSy ? 2 : 1));
        if (sym == THSy) {
          styleFlags_ |= fsBold;
        } else {
          styleFlags_ &= static_cast<std::uint8_t>(~fsBold);
        }
        if (const TAttribute* a = Reader.Attributes.Find(AlignSy); a && alignOf(a->Text) != 0)
          runAlignment_ = static_cast<std::uint8_t>(alignOf(a->Text));
        openCell();
        Reader.Next();
        if (tableNesting_ <= MaxTableNesting) {
          ReadBody(CellTerminators());
        }
        firstRow = false;
      } else if (sym == TDEndSy || sym == THEndSy) {
        finishCell();
        Reader.Next();
      } else if (sym == TRSy) {
        if (firstRow) {
          firstRow = false;
        } else {
          finishCell();
        }
        const TAttribute* a = Reader.Attributes.Find(AlignSy);
        rowAlign = a ? alignOf(a->Text) : 0;
        Reader.Next();
      } else if (sym == CaptionSy) {
        finishCell();
        openCell();
        runAlignment_ = 2;
        Reader.Next();
        ReadBody(CellTerminators());
        finishCell();
        if (Reader.Sym == CaptionEndSy) Reader.Next();
      } else {
        Reader.Next();
      }
    }
    finishCell();
  } catch (...) {
    // A parse error inside the table: the open cell goes with its section as
    // at its end, and the builder is left as the table found it, so the
    // parse's cleanup closes the open section into a live cell.
    if (currentCell_ != cell.get()) CloseSection();
    currentCell_ = cell.get();
    finishCell();
    restore();
    throw;
  }
  restore();
  Reader.Next();
}

// Anchors name sections by address: those named since the cell opened (from
// index first on) that name one of its sections lose their section before the
// cell is let go, as for any section dropped.
void THtmlBuilder::ForgetAnchorsIn(const TCell& cell, std::size_t first) {
  for (std::size_t i = first; i < anchorNames_.size(); ++i) {
    TSectionBase*& section = anchorNames_[i].second;
    if (section &&
        std::any_of(cell.begin(), cell.end(), [&](const auto& s) { return s.get() == section; }))
      section = nullptr;
  }
}

// --- text areas ---------------------------------------------------------------------

// The token reader of text areas and scripts: line ends, tags read as
// literal text, and runs of up to 100 characters with spaces kept and no
// entity decoding. A text area's tag text stops before a space or ">"; a
// script's takes its ">".
void THtmlBuilder::NextRawToken(bool script) {
  Reader.ClearToken();
  const unsigned char ch = Reader.Ch;
  if (ch == EndOfInputChar) {
    Reader.Sym = EndOfInputSymbol;
  } else if (ch == '\r') {
    Reader.Sym = LineEndSymbol;
    Reader.NextChar();
  } else if (ch == '<') {
    Reader.AppendToken('<');
    Reader.NextChar();
    while (Reader.Ch != '\r' && Reader.Ch != EndOfInputChar) {
      const unsigned char c = Reader.Ch;
      if (!script && (c == ' ' || c == '>')) break;
      Reader.AppendToken(static_cast<char>(c));
      Reader.NextChar();
      if (script && c == '>') break;
    }
    if (script) {
      Reader.Sym = EqualsIgnoringCase(Reader.Token(), "</script>") ? ScriptEndSymbol
                                                                    : UnknownTagSymbol;
    } else {
      Reader.Sym = EqualsIgnoringCase(Reader.Token(), "</textarea") ? TextAreaEndSymbol
                                                                     : UnknownTagSymbol;
    }
  } else {
    int n = 0;
    while (Reader.Ch != '\r' && Reader.Ch != EndOfInputChar && Reader.Ch != '<' &&
           n < TextRunLength) {
      Reader.AppendToken(static_cast<char>(Reader.Ch));
      Reader.NextChar();
      ++n;
    }
    Reader.Sym = TextSymbol;
  }
}

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

// --- image maps ----------------------------------------------------------------------------

void THtmlBuilder::ReadMap() {
  auto map = std::make_unique<TMapItem>();
  if (const TAttribute* name = Reader.Attributes.Find(NameSy)) {
    map->Name = name->Text;
    for (char& c : map->Name) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
  }
  Reader.Next();
  while (Reader.Sym != MapEndSy && Reader.Sym != EndOfInputSymbol) {
    if (Reader.Sym == AreaSy) map->AddArea(Reader.Attributes);
    Reader.Next();
  }
  if (Reader.Sym == MapEndSy) document_.ImageMaps.Add(std::move(map));
  Reader.Next();
}

// --- scripts --------------------------------------------------------------------------------

void THtmlBuilder::ReadScript() {
  if (!document_.ScriptHandler) {
    // Nobody receives scripts: everything up to "/SCRIPT" vanishes.
    while (Reader.Sym != ScriptEndSymbol && Reader.Sym != EndOfInputSymbol) Reader.Next();
    return;
  }
  struct ModeOff {
    ReaderState& r;
    ~ModeOff() { r.ScriptMode = false; }
  } modeOff{Reader};
  Reader.ScriptMode = true;
  const TAttribute* lang = Reader.Attributes.Find(LanguageSy);
  std::string language = lang ? lang->Text : std::string();
  std::string buffer;
  buffer.reserve(32500);
  NextRawToken(true);
  while (Reader.Sym != ScriptEndSymbol && Reader.Sym != EndOfInputSymbol) {
    if (Reader.Sym == LineEndSymbol) {
      buffer += "\r\n";
    } else {
      buffer += Reader.Token();
    }
    NextRawToken(true);
  }
  document_.ScriptHandler(document_, language, buffer);
}

}  // namespace kiv
