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
  // Appended whole, then runs of white space folded in place.
  std::size_t write = out.size();
  out.append(text);
  char* p = out.data();
  bool blank = write > 0 && p[write - 1] == ' ';
  for (std::size_t read = write; read < out.size(); ++read) {
    const char c = p[read];
    if (IsBlankByte(c)) {
      if (!blank && write > 0) p[write++] = ' ';
      blank = true;
    } else {
      p[write++] = c;
      blank = false;
    }
  }
  out.resize(write);
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

// Anchors and headings kept of one page: a page of nothing else cannot make
// the text's side lists outgrow the text.
constexpr std::size_t MaxPageAnchors = 10000;
constexpr std::size_t MaxPageHeadings = 10000;

struct OpenHeading {
  bool open = false;
  std::size_t begin = 0;
  int level = 1;
  std::size_t firstAnchor = 0;  // anchors from this index on stand inside it
};

// Ends the heading being read, if any: a heading without text is left out.
void EndHeading(PageText& page, OpenHeading& heading) {
  if (!heading.open) return;
  heading.open = false;
  std::size_t end = page.text.size();
  while (end > heading.begin && page.text[end - 1] == ' ') --end;
  if (end == heading.begin || page.headings.size() >= MaxPageHeadings) return;
  PageHeading h;
  h.begin = heading.begin;
  h.end = end;
  h.level = heading.level;
  if (heading.firstAnchor < page.anchors.size())
    h.anchor = page.anchors[heading.firstAnchor].name;
  else if (heading.firstAnchor > 0)
    h.anchor = page.anchors[heading.firstAnchor - 1].name;
  page.headings.push_back(std::move(h));
}

}  // namespace

PageText ExtractPageText(const char* data, std::size_t length) {
  PageText page;
  page.text.reserve(std::min<std::size_t>(length, PageBufferSize) / 2);
  OpenHeading heading;
  ReaderState reader;
  reader.StartBuffer(data, std::min<std::size_t>(length, PageBufferSize));
  try {
    reader.NextChar();
    reader.Next();
    // Element IDs name places as A NAME does.
    auto takeIds = [&] {
      for (std::string& id : reader.ElementIds)
        if (page.anchors.size() < MaxPageAnchors)
          page.anchors.push_back({std::move(id), page.text.size()});
      reader.ElementIds.clear();
    };
    while (reader.Sym != EndOfInputSymbol) {
      // A heading's own ID stands inside it: it is taken below.
      if (reader.Sym != HSy) takeIds();
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
        case HSy:
          Separate(page.text);
          EndHeading(page, heading);
          heading.begin = page.text.size();
          heading.level = reader.HeadingLevel;
          heading.open = true;
          heading.firstAnchor = page.anchors.size();
          takeIds();
          break;
        case HEndSy:
          EndHeading(page, heading);
          Separate(page.text);
          break;
        case ASy:
          if (const TAttribute* name = reader.Attributes.Find(NameSy);
              name && !name->Text.empty() && page.anchors.size() < MaxPageAnchors) {
            page.anchors.push_back({name->Text, page.text.size()});
          }
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
  EndHeading(page, heading);
  TrimEnd(page.text);
  // Offsets past the trimmed end point at its end.
  for (PageAnchor& a : page.anchors) a.offset = std::min(a.offset, page.text.size());
  TrimEnd(page.title);
  if (!page.title.empty() && page.title.front() == ' ') page.title.erase(0, 1);
  return page;
}

}  // namespace kiv
