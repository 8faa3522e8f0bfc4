#include "app/page_text.h"

#include <algorithm>
#include <string_view>

#include "app/help_package.h"
#include "reader/tokenizer.h"

namespace kiv {

namespace {

// Tags that change only how text looks: words on either side of them belong
// together ("bold<B>face</B>" is one word). Every other tag, known or not,
// separates words.
bool IsInlineTag(Symbol s) {
  if (IsEndSymbol(s)) s = static_cast<Symbol>(s - EndSymbolOffset);
  switch (s) {
    case BSy:
    case ISy:
    case USy:
    case EmSy:
    case StrongSy:
    case CiteSy:
    case VarSy:
    case TtSy:
    case CodeSy:
    case KbdSy:
    case SampSy:
    case ASy:
    case FontSy:
    case SubSy:
    case SupSy:
    case BigSy:
    case SmallSy:
    case BaseFontSy:
      return true;
    default:
      return false;
  }
}

bool IsBlankByte(char c) {
  return c == ' ' || c == '\r' || c == '\n' || c == '\t';
}

// Appends text with every run of white space folded to one space; no space
// at the start of out.
void AppendFolded(std::string& out, std::string_view text) {
  for (char c : text) {
    if (IsBlankByte(c)) {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
}

void Separate(std::string& out) {
  if (!out.empty() && out.back() != ' ') out += ' ';
}

void TrimEnd(std::string& s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
}

// Skips symbols up to and including the end symbol (or the end of input).
void SkipTo(ReaderState& reader, Symbol end) {
  while (reader.Sym != end && reader.Sym != EndOfInputSymbol) reader.Next();
}

}  // namespace

PageText ExtractPageText(const char* data, std::size_t length) {
  PageText page;
  page.text.reserve(std::min<std::size_t>(length, PageBufferSize) / 2);
  ReaderState reader;
  reader.StartBuffer(data, std::min<std::size_t>(length, PageBufferSize));
  try {
    reader.NextChar();
    reader.Next();
    while (reader.Sym != EndOfInputSymbol) {
      switch (reader.Sym) {
        case TextSymbol:
          AppendFolded(page.text, reader.Token());
          break;
        case StrayCharSymbol:
          break;  // never shown
        case TitleSy:
          // The title's text runs up to the first tag; it is not page text.
          Separate(page.title);
          reader.Next();
          while (reader.Sym == TextSymbol) {
            AppendFolded(page.title, reader.Token());
            reader.Next();
          }
          continue;
        case ScriptSy:
          SkipTo(reader, ScriptEndSy);
          break;
        case TextAreaSy:
          SkipTo(reader, TextAreaEndSy);
          break;
        default:
          if (!IsInlineTag(reader.Sym)) Separate(page.text);
          break;
      }
      if (reader.Sym == EndOfInputSymbol) break;
      reader.Next();
    }
  } catch (const EParseError&) {
    page.complete = false;
  }
  TrimEnd(page.text);
  TrimEnd(page.title);
  if (!page.title.empty() && page.title.front() == ' ') page.title.erase(0, 1);
  return page;
}

}  // namespace kiv
