// Pages written in UTF-8. The viewer reads every page as Windows-1252, so a
// UTF-8 page would show "Â" before every non-breaking space and two or three
// odd characters for every accented letter. The packer converts such pages
// when every character has a Windows-1252 byte, and refuses them otherwise.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kiv {

// What the bytes of a page say about their encoding.
struct PageEncodingEvidence {
  bool byteOrderMark = false;  // starts with EF BB BF
  bool declared = false;       // a META or XML declaration names UTF-8
  int multiByte = 0;           // valid sequences of two to four bytes
  int invalid = 0;             // bytes of 0x80 and above that are not such a sequence
  int unmappable = 0;          // of the valid sequences, those without a Windows-1252 byte
};

PageEncodingEvidence InspectPageEncoding(std::string_view bytes);

// Written in UTF-8: a byte-order mark, or a declaration or multi-byte
// sequences with no byte that is not valid UTF-8.
bool IsUtf8Page(const PageEncodingEvidence& e);
// The bytes themselves look like UTF-8 that the viewer shows wrongly: a
// byte-order mark, or valid multi-byte sequences only, each a character
// Windows-1252 has. A declaration alone does not count, nor do sequences of
// characters it lacks: Windows-1252 text can pair up into those by chance
// ("é" followed by two symbols reads as one CJK character).
// What a package's page should never hold.
bool BytesLookLikeUtf8(const PageEncodingEvidence& e);

struct Utf8Conversion {
  std::string bytes;                  // the page in Windows-1252, when problems is empty
  std::vector<std::string> problems;  // "line L, column C: ..." (columns count characters)
  int problemCount = 0;               // all of them; problems keeps the first few
};

// Converts a UTF-8 page to Windows-1252: the byte-order mark goes, a
// declaration of UTF-8 is changed to name windows-1252, and every character
// becomes its Windows-1252 byte. Invalid sequences and characters without a
// Windows-1252 byte are problems, and then bytes is left empty.
Utf8Conversion ConvertUtf8Page(std::string_view bytes);

}  // namespace kiv
