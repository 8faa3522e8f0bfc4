#include "platform/utf8_decoder.h"

namespace kiv {

Utf8Sequence DecodeUtf8At(std::string_view text, std::size_t pos, char32_t& cp,
                          std::size_t& length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  length = 1;
  cp = lead;
  if (lead < 0x80) return Utf8Sequence::Ascii;
  std::size_t extra = 0;
  char32_t value = 0;
  char32_t least = 0;  // the smallest value this length may carry
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    value = lead & 0x1F;
    least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    value = lead & 0x0F;
    least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    value = lead & 0x07;
    least = 0x10000;
  } else {
    return Utf8Sequence::Invalid;  // continuation byte, C0/C1 overlong lead, F5..FF
  }
  if (text.size() - pos <= extra) return Utf8Sequence::Invalid;
  for (std::size_t k = 1; k <= extra; ++k) {
    const unsigned char cont = byte(pos + k);
    if ((cont & 0xC0) != 0x80) return Utf8Sequence::Invalid;
    value = (value << 6) | (cont & 0x3F);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return Utf8Sequence::Invalid;
  cp = value;
  length = extra + 1;
  return Utf8Sequence::MultiByte;
}

bool HasUtf8Bom(std::string_view text) {
  return text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
         static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace kiv
