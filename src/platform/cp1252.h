// The engine's text is single-byte Windows-1252. These convert at the edges
// (drawing, clipboard, captions, file names); one table serves them all.
#pragma once

#include <string>
#include <string_view>

namespace kiv {

// The Unicode code point of a Windows-1252 byte. The five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control code
// points of the same value, so every byte round-trips.
char32_t Cp1252ToCodePoint(unsigned char byte);

// The Windows-1252 byte for a code point; false when the code page has none.
bool CodePointToCp1252(char32_t cp, unsigned char& byte);

std::u16string Cp1252ToUtf16(std::string_view text);
std::string Cp1252ToUtf8(std::string_view text);

// Characters without a Windows-1252 byte become '?'. Invalid UTF-8 sequences
// become '?' too. When lossless is given it tells whether nothing was replaced.
std::string Utf16ToCp1252(std::u16string_view text, bool* lossless = nullptr);
std::string Utf8ToCp1252(std::string_view text, bool* lossless = nullptr);

}  // namespace kiv
