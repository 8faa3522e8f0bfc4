// The block readers of the document builder: the raw token reader of text
// areas and scripts, image maps and scripts. Each consumes its construct with
// its own loop and leaves the builder's state as it found it. Tables are read
// in table_reader.cpp, text areas and options in form_readers.cpp.
#include <string>

#include "layout/section_list.h"
#include "builder/document_builder.h"
#include "reader/map_item.h"
#include "reader/string_routines.h"

namespace kiv {

namespace {

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
