// The tags of a page as bytes: where each tag starts and ends, what the
// viewer's tag table makes of its name, and where each attribute's value
// lies, so that the packer can cut a page and rewrite its references without
// changing a byte it does not mean to. Comments are skipped as the viewer's
// reader skips them, and a SCRIPT's content is passed over whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "reader/symbols.h"

namespace kiv {

struct PageAttribute {
  std::string name;  // upper case
  std::size_t valueStart = 0;
  std::size_t valueEnd = 0;  // the value without its quotes; empty without "="
  bool hasValue = false;
  bool quoted = false;  // written between quotes
};

struct PageTag {
  std::size_t start = 0;  // the "<"
  std::size_t end = 0;    // past the ">" (the end of the page for a tag left open)
  std::string name;       // upper case, without "/"
  bool endTag = false;
  // The viewer's symbol: the start symbol of a known tag, its end symbol for
  // "</NAME>" (UnknownTagSymbol for a tag without one), else UnknownTagSymbol.
  // "H1" to "H6" are HSy and HEndSy.
  Symbol sym = UnknownTagSymbol;
  std::vector<PageAttribute> attributes;

  // The first attribute named upperName, or nullptr.
  const PageAttribute* Find(std::string_view upperName) const;
};

// Reads the tags of a page one after another.
class PageTagScanner {
 public:
  explicit PageTagScanner(std::string_view page) : page_(page) {}
  // The next tag; false at the end of the page.
  bool Next(PageTag& tag);
  // Where the text after the last tag read begins.
  std::size_t Position() const { return pos_; }

 private:
  std::size_t SkipComment(std::size_t at) const;
  void ReadAttributes(PageTag& tag, std::size_t& p) const;

  std::string_view page_;
  std::size_t pos_ = 0;
};

// The text of an attribute value as it stands on the page.
inline std::string_view AttributeText(std::string_view page, const PageAttribute& a) {
  return page.substr(a.valueStart, a.valueEnd - a.valueStart);
}

// The value as the viewer's reader takes it: a quoted value with its
// character entities decoded ("&lt;" is "<"), line ends dropped, tabs read
// as spaces and blanks trimmed at both ends; an unquoted one as written. Anchors and
// references are compared by this text.
std::string AttributeValue(std::string_view page, const PageAttribute& a);

// The line (from 1) that holds byte offset.
int LineAt(std::string_view page, std::size_t offset);

}  // namespace kiv
