// Letter case in the default ANSI code page (Windows-1252), as the window
// system's character case mapping does it: ASCII letters, the accented Latin
// letters and the few letters of the 0x80 row (Š, Œ, Ž, Ÿ). Bytes without a
// case partner in the code page map to themselves. Text in another code page
// uses UpperIn, LowerIn and SameTextIn of code_page.h.
#pragma once

#include <string_view>

#include "platform/code_page.h"

namespace kiv {

inline char AnsiUpper(char c) {
  return UpperIn(CodePage::Windows1252, c);
}
inline char AnsiLower(char c) {
  return LowerIn(CodePage::Windows1252, c);
}

// Equal ignoring letter case, byte for byte.
inline bool AnsiSameText(std::string_view a, std::string_view b) {
  return SameTextIn(CodePage::Windows1252, a, b);
}

}  // namespace kiv
