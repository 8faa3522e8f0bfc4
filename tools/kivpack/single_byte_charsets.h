// The single-byte character sets other than the Windows code pages that help
// pages declare (ISO-8859-2, -5, -7, -9, -13, -15, KOI8-R, KOI8-U; ISO-8859-1 is read as
// Windows-1252): their bytes are not those of the nearest code page, so the packer decodes them and
// writes the page again in a code page. The tables are made by tools/codegen/make_code_pages.py.
#pragma once

#include <string_view>

namespace kiv {

constexpr int kSingleByteCharsetCount = 8;

struct SingleByteCharset {
  const char* name;    // as declared, lower case
  char16_t high[128];  // code points of bytes 0x80 to 0xFF; U+FFFD where undefined
};

extern const SingleByteCharset kSingleByteCharsets[kSingleByteCharsetCount];

// The character set a declared name stands for (letter case and the usual
// spellings "iso8859-5", "iso_8859-5", "koi8r" accepted); null for others.
const SingleByteCharset* FindSingleByteCharset(std::string_view name);

}  // namespace kiv
