// Strict UTF-8 decoding, one sequence at a time, for telling UTF-8 text from
// Windows-1252 and converting it. A sequence is valid only in its shortest
// form, outside the surrogate range and at most U+10FFFF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kiv {

enum class Utf8Sequence {
  Ascii,      // one byte below 0x80
  MultiByte,  // a valid sequence of two to four bytes
  Invalid,    // a stray continuation byte, a cut-off sequence, an overlong
              // form, a surrogate or a value past U+10FFFF
};

// Decodes the sequence at text[pos]: sets cp and length (the bytes it takes;
// 1 for an invalid byte, which is skipped alone). pos must be inside text.
Utf8Sequence DecodeUtf8At(std::string_view text, std::size_t pos, char32_t& cp,
                          std::size_t& length);

// Appends the UTF-8 form of cp (any value up to U+10FFFF, including ones no
// code page holds).
void AppendUtf8(std::string& out, char32_t cp);

// The UTF-8 byte-order mark at the start of text.
bool HasUtf8Bom(std::string_view text);

}  // namespace kiv
