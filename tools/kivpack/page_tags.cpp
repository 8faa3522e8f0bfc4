#include "kivpack/page_tags.h"

#include <algorithm>
#include <cctype>

#include "reader/entities.h"

namespace kiv {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':' ||
         c == '.';
}

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

Symbol TagSymbol(const std::string& upper, bool endTag) {
  Symbol start = UnknownTagSymbol;
  if (upper.size() == 2 && upper[0] == 'H' && upper[1] >= '1' && upper[1] <= '6') {
    start = HSy;
  } else {
    start = LookupTag(upper);
  }
  if (!endTag) return start;
  return start == UnknownTagSymbol ? UnknownTagSymbol : EndSymbolOf(start);
}

// The position of "</NAME" (any case) at or after from, else the page's end.
std::size_t FindEndTag(std::string_view page, std::size_t from, std::string_view upperName) {
  for (std::size_t p = page.find("</", from); p != std::string_view::npos;
       p = page.find("</", p + 2)) {
    std::size_t i = 0;
    while (i < upperName.size() && p + 2 + i < page.size() &&
           Upper(page[p + 2 + i]) == upperName[i])
      ++i;
    if (i == upperName.size()) return p;
  }
  return page.size();
}

}  // namespace

const PageAttribute* PageTag::Find(std::string_view upperName) const {
  for (const PageAttribute& a : attributes)
    if (a.name == upperName) return &a;
  return nullptr;
}

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The entity at text[at] == '&', as the reader decodes it: appends its text
// to out and returns the position after what it took.
std::size_t DecodeEntity(std::string_view text, std::size_t at, std::string& out) {
  std::size_t p = at + 1;
  if (p < text.size() && text[p] == '#') {
    ++p;
    const std::size_t digits = p;
    while (p < text.size() && IsDigit(text[p]) && p - digits < 4) ++p;
    const std::string_view number = text.substr(digits, p - digits);
    if (p < text.size() && IsDigit(text[p])) {  // a fifth digit: literal text
      out += "&#";
      out += number;
      return p;
    }
    const bool semicolon = p < text.size() && text[p] == ';';
    if (semicolon) ++p;
    int value = 0;
    for (char c : number) value = value * 10 + (c - '0');
    if (!number.empty() && value <= 255 && (value == 9 || value == 10 || value > 31)) {
      out += value == 9 ? ' ' : static_cast<char>(value);
    } else {
      out += "&#";
      out += number;
      if (semicolon) out += ';';
    }
    return p;
  }
  const std::size_t name = p;
  while (p < text.size() && std::isalnum(static_cast<unsigned char>(text[p])) &&
         p - name < static_cast<std::size_t>(MaxEntityNameLength))
    ++p;
  const std::string_view word = text.substr(name, p - name);
  if (p < text.size() && std::isalnum(static_cast<unsigned char>(text[p]))) {
    out += '&';
    out += word;
    return p;
  }
  const bool semicolon = p < text.size() && text[p] == ';';
  if (semicolon) ++p;
  unsigned char ch = 0;
  if (LookupEntity(word, ch)) {
    out += static_cast<char>(ch);
  } else {
    out += '&';
    out += word;
    if (semicolon) out += ';';
  }
  return p;
}

}  // namespace

std::string AttributeValue(std::string_view page, const PageAttribute& a) {
  const std::string_view raw = AttributeText(page, a);
  if (!a.quoted) return std::string(raw);
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size();) {
    if (raw[i] == '&') {
      i = DecodeEntity(raw, i, out);
    } else {
      // Line ends are dropped and a tab read as a space, as the reader does.
      if (raw[i] != '\r' && raw[i] != '\n') out += raw[i] == '\t' ? ' ' : raw[i];
      ++i;
    }
  }
  std::size_t first = 0, last = out.size();
  while (first < last && static_cast<unsigned char>(out[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(out[last - 1]) <= 32) --last;
  return out.substr(first, last - first);
}

int LineAt(std::string_view page, std::size_t offset) {
  offset = std::min(offset, page.size());
  return 1 +
         static_cast<int>(std::count(page.begin(), page.begin() + static_cast<long>(offset), '\n'));
}

// "<!--" runs to "--", further dashes and white space, then ">"; any other
// "<!" to the next ">". Returns the position past the comment.
std::size_t PageTagScanner::SkipComment(std::size_t at) const {
  const std::size_t n = page_.size();
  if (page_.compare(at, 4, "<!--") != 0) {
    std::size_t gt = page_.find('>', at);
    return gt == std::string_view::npos ? n : gt + 1;
  }
  std::size_t p = at + 4;
  for (;;) {
    p = page_.find("--", p);
    if (p == std::string_view::npos) return n;
    std::size_t q = p;
    while (q < n && page_[q] == '-') ++q;
    while (q < n && (page_[q] == ' ' || page_[q] == '\r' || page_[q] == '\n')) ++q;
    if (q < n && page_[q] == '>') return q + 1;
    p = q;
  }
}

void PageTagScanner::ReadAttributes(PageTag& tag, std::size_t& p) const {
  const std::size_t n = page_.size();
  for (;;) {
    while (p < n && (IsSpace(page_[p]) || page_[p] == '/')) ++p;
    if (p >= n) return;
    if (page_[p] == '>') {
      ++p;
      return;
    }
    PageAttribute a;
    const std::size_t nameStart = p;
    while (p < n && !IsSpace(page_[p]) && page_[p] != '=' && page_[p] != '>') {
      a.name += Upper(page_[p]);
      ++p;
    }
    if (p == nameStart) ++p;  // a stray "=": step over it
    std::size_t q = p;
    while (q < n && IsSpace(page_[q])) ++q;
    if (q < n && page_[q] == '=') {
      ++q;
      while (q < n && IsSpace(page_[q])) ++q;
      a.hasValue = true;
      if (q < n && (page_[q] == '"' || page_[q] == '\'')) {
        const char quote = page_[q];
        std::size_t close = page_.find(quote, q + 1);
        if (close == std::string_view::npos) close = n;
        a.valueStart = q + 1;
        a.valueEnd = close;
        a.quoted = true;
        p = std::min(close + 1, n);
      } else {
        a.valueStart = q;
        while (q < n && !IsSpace(page_[q]) && page_[q] != '>') ++q;
        a.valueEnd = q;
        p = q;
      }
    } else {
      a.valueStart = a.valueEnd = p;
    }
    if (!a.name.empty()) tag.attributes.push_back(std::move(a));
  }
}

bool PageTagScanner::Next(PageTag& tag) {
  const std::size_t n = page_.size();
  while (pos_ < n) {
    std::size_t lt = page_.find('<', pos_);
    if (lt == std::string_view::npos || lt + 1 >= n) {
      pos_ = n;
      return false;
    }
    if (page_[lt + 1] == '!') {
      pos_ = SkipComment(lt);
      continue;
    }
    const bool endTag = page_[lt + 1] == '/';
    std::size_t p = lt + (endTag ? 2 : 1);
    if (p >= n || !std::isalpha(static_cast<unsigned char>(page_[p]))) {
      pos_ = lt + 1;  // a "<" that starts no tag is text
      continue;
    }
    tag = PageTag();
    tag.start = lt;
    tag.endTag = endTag;
    while (p < n && IsNameChar(page_[p])) tag.name += Upper(page_[p++]);
    tag.sym = TagSymbol(tag.name, endTag);
    ReadAttributes(tag, p);
    tag.end = p;
    pos_ = p;
    // A script's (or style sheet's) content is no markup.
    if (!endTag && (tag.sym == ScriptSy || tag.name == "STYLE"))
      pos_ = FindEndTag(page_, p, tag.name);
    return true;
  }
  return false;
}

}  // namespace kiv
