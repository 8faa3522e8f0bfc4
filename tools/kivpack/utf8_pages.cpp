#include "kivpack/utf8_pages.h"

#include "platform/cp1252.h"
#include "platform/utf8_decoder.h"
#include "reader/charset_declaration.h"

namespace kiv {

PageEncodingEvidence InspectPageEncoding(std::string_view bytes) {
  PageEncodingEvidence e;
  e.byteOrderMark = HasUtf8Bom(bytes);
  const std::vector<CharsetDeclaration> declarations = FindCharsetDeclarations(bytes);
  for (const CharsetDeclaration& d : declarations)
    e.declared = e.declared || IsUtf8CharsetName(d.name);
  e.declaredOther = !declarations.empty() && !IsUtf8CharsetName(declarations.front().name);
  std::size_t pos = e.byteOrderMark ? 3 : 0;
  while (pos < bytes.size()) {
    // Runs of ASCII, most of any page, are passed over at once.
    if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
      ++pos;
      continue;
    }
    char32_t cp = 0;
    std::size_t length = 1;
    switch (DecodeUtf8At(bytes, pos, cp, length)) {
      case Utf8Sequence::Ascii:
        break;
      case Utf8Sequence::MultiByte: {
        ++e.multiByte;
        unsigned char b = 0;
        if (!CodePointToCp1252(cp, b)) ++e.unmappable;
        break;
      }
      case Utf8Sequence::Invalid:
        ++e.invalid;
        break;
    }
    pos += length;
  }
  return e;
}

bool IsUtf8Page(const PageEncodingEvidence& e) {
  if (e.byteOrderMark) return true;
  if (e.declaredOther) return false;
  return (e.declared || e.multiByte > 0) && e.invalid == 0;
}

bool BytesLookLikeUtf8(const PageEncodingEvidence& e) {
  if (e.byteOrderMark) return true;
  return !e.declaredOther && e.multiByte > 0 && e.invalid == 0 && e.unmappable == 0;
}

}  // namespace kiv
