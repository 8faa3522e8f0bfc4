// The Windows ANSI code pages the engine's single-byte text can be in. A
// page's bytes are in one of them (Windows-1252 unless the page declares
// another); these convert at the edges (drawing, clipboard, captions, file
// names) and fold letter case, all from one set of generated tables.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kiv {

enum class CodePage : std::uint16_t {
  Windows1250 = 1250,  // Central European (Polish, Czech, Hungarian, ...)
  Windows1251 = 1251,  // Cyrillic
  Windows1252 = 1252,  // Western European, the default
  Windows1253 = 1253,  // Greek
  Windows1254 = 1254,  // Turkish
  Windows1257 = 1257,  // Baltic
};

// Every code page, in the order a packer tries them for a page.
inline constexpr CodePage kCodePagesInPackingOrder[] = {
    CodePage::Windows1252, CodePage::Windows1250, CodePage::Windows1251,
    CodePage::Windows1253, CodePage::Windows1254, CodePage::Windows1257};

// "windows-1251" and so on: the name a page's declaration uses.
std::string CodePageName(CodePage page);

// The code page a declared charset name selects: the windows-125x names
// (also "cp125x"), and ISO-8859-1/2/5/7/9/13, KOI8-R and their usual aliases
// mapped to the nearest code page. Letter case is ignored. Nothing for UTF-8
// and for names it does not know.
std::optional<CodePage> CodePageOfCharsetName(std::string_view name);

// The font character set of a code page (EASTEUROPE_CHARSET for 1250, ...)
// and back; the default and ANSI character sets, and any other, give 1252.
int CharsetOfCodePage(CodePage page);
CodePage CodePageOfCharset(int charset);

// The Unicode code point of a byte. Bytes the code page leaves undefined map
// to code points of their own (the control code point of the same value for
// 0x80 to 0x9F), so every byte round-trips.
char32_t ByteToCodePoint(CodePage page, unsigned char byte);
// The byte for a code point; false when the code page has none.
bool CodePointToByte(CodePage page, char32_t cp, unsigned char& byte);

std::u16string CodePageToUtf16(CodePage page, std::string_view text);
std::string CodePageToUtf8(CodePage page, std::string_view text);

// Characters without a byte in the code page become '?'. Invalid UTF-8
// sequences become '?' too. When lossless is given it tells whether nothing
// was replaced.
std::string Utf16ToCodePage(CodePage page, std::u16string_view text, bool* lossless = nullptr);
std::string Utf8ToCodePage(CodePage page, std::string_view text, bool* lossless = nullptr);

// Letter case within the code page, byte to byte: a letter maps to its
// partner when the code page holds it, every other byte to itself.
char UpperIn(CodePage page, char c);
char LowerIn(CodePage page, char c);
// The form case-blind comparison uses (upper, then lower), so that the Greek
// final sigma matches the other small sigma and capital.
char FoldIn(CodePage page, char c);
// The whole fold table of a code page, for scanners that fold many bytes.
const std::uint8_t* FoldTable(CodePage page);

// Equal ignoring letter case, byte for byte.
bool SameTextIn(CodePage page, std::string_view a, std::string_view b);

}  // namespace kiv
