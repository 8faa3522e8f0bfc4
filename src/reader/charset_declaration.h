// Where a page states the character set its bytes are in: a "charset=" in a
// META tag (http-equiv Content-Type or the short META charset form) or an
// "encoding=" in an XML declaration. Text outside those tags never counts, so
// a page that talks about charset=utf-8 is not taken for one.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

namespace kiv {

struct CharsetDeclaration {
  std::size_t pos = 0;     // of the name in the page's bytes
  std::size_t length = 0;  // of the name
  std::string_view name;   // as written, quotes excluded
};

// Every declaration of the page, in order of position.
std::vector<CharsetDeclaration> FindCharsetDeclarations(std::string_view page);

// The code page a page's first declaration selects; nothing when it declares
// none, declares UTF-8, or names a character set no code page stands for.
std::optional<CodePage> DeclaredCodePage(std::string_view page);

// The code page the viewer reads the page's text in: the declared one, else
// Windows-1252.
CodePage CodePageOfPage(std::string_view page);

// True for "utf-8" and "utf8", ignoring letter case.
bool IsUtf8CharsetName(std::string_view name);

}  // namespace kiv
