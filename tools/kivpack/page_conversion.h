// Converting a page into the single-byte code page the viewer reads it in.
// A page written in UTF-8 (or declared in an ISO-8859 or KOI8 character set)
// is written again in the first code page that holds all its characters
// (Windows-1252, 1250, 1251, 1253, 1254, then 1257), and its declarations then
// name that code page; a page with none gets one unless it is in Windows-1252,
// which the viewer reads a page in that declares nothing. Characters without a
// visible form are dropped. A visible character no code page of the page
// holds is a problem, or with substitution its closest plain text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

namespace kiv {

struct PageConversionOptions {
  bool substitute = false;  // write the closest text instead of refusing
};

struct PageConversion {
  bool converted = false;  // bytes hold the page to pack; otherwise it stays as it is
  std::string bytes;
  CodePage codePage = CodePage::Windows1252;  // the page's code page after packing
  std::string from;                           // what it was written in: "UTF-8", "koi8-r", ...
  std::vector<std::string> problems;          // "line L, column C: ..." (columns count characters)
  int problemCount = 0;                       // all of them; problems keeps the first few
  // "line L, column C: U+2192 "→" written as "->"", every one of them.
  std::vector<std::string> substitutions;
  int dropped = 0;                 // characters without a visible form left out
  std::vector<std::string> notes;  // what the packer says about the page
};

PageConversion ConvertPage(std::string_view bytes, const PageConversionOptions& options = {});

}  // namespace kiv
