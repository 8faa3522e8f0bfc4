// Letter case in the ANSI code page (Windows-1252), as the window system's
// character case mapping does it: ASCII letters, the accented Latin letters
// and the few letters of the 0x80 row (Š, Œ, Ž, Ÿ). Bytes without a case
// partner in the code page map to themselves.
#pragma once

#include <string_view>

namespace kiv {

char AnsiUpper(char c);
char AnsiLower(char c);

// Equal ignoring letter case, byte for byte.
bool AnsiSameText(std::string_view a, std::string_view b);

}  // namespace kiv
