// Pages written in UTF-8. The viewer reads every page in a single-byte code
// page, so a UTF-8 page would show "Â" before every non-breaking space and
// two or three odd characters for every accented letter. These tell such
// pages apart; kivpack/page_conversion.h converts them.
#pragma once

#include <string_view>

namespace kiv {

// What the bytes of a page say about their encoding.
struct PageEncodingEvidence {
  bool byteOrderMark = false;  // starts with EF BB BF
  bool declared = false;       // a META or XML declaration names UTF-8
  bool declaredOther = false;  // the first declaration names another character set
  int multiByte = 0;           // valid sequences of two to four bytes
  int invalid = 0;             // bytes of 0x80 and above that are not such a sequence
  int unmappable = 0;          // of the valid sequences, those without a Windows-1252 byte
};

PageEncodingEvidence InspectPageEncoding(std::string_view bytes);

// Written in UTF-8: a byte-order mark, or a declaration or multi-byte
// sequences with no byte that is not valid UTF-8, unless the page declares
// another character set.
bool IsUtf8Page(const PageEncodingEvidence& e);
// The bytes themselves look like UTF-8 that the viewer shows wrongly: a
// byte-order mark, or valid multi-byte sequences only, each a character
// Windows-1252 has, on a page that declares no other character set. A
// declaration alone does not count, nor do sequences of characters it lacks:
// Windows-1252 text can pair up into those by chance ("é" followed by two
// symbols reads as one CJK character). What a package's page should never
// hold.
bool BytesLookLikeUtf8(const PageEncodingEvidence& e);

}  // namespace kiv
