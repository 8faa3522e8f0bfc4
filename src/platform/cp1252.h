// The engine's default code page, Windows-1252: the names the edges use for
// text that is always in it (names in the package, the index, file names,
// messages). Page text may be in another code page; see code_page.h.
#pragma once

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace kiv {

inline char32_t Cp1252ToCodePoint(unsigned char byte) {
  return ByteToCodePoint(CodePage::Windows1252, byte);
}
inline bool CodePointToCp1252(char32_t cp, unsigned char& byte) {
  return CodePointToByte(CodePage::Windows1252, cp, byte);
}
inline std::u16string Cp1252ToUtf16(std::string_view text) {
  return CodePageToUtf16(CodePage::Windows1252, text);
}
inline std::string Cp1252ToUtf8(std::string_view text) {
  return CodePageToUtf8(CodePage::Windows1252, text);
}
inline std::string Utf16ToCp1252(std::u16string_view text, bool* lossless = nullptr) {
  return Utf16ToCodePage(CodePage::Windows1252, text, lossless);
}
inline std::string Utf8ToCp1252(std::string_view text, bool* lossless = nullptr) {
  return Utf8ToCodePage(CodePage::Windows1252, text, lossless);
}

}  // namespace kiv
