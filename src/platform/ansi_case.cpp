#include "platform/ansi_case.h"

#include <QChar>

#include <array>

#include "platform/cp1252.h"

namespace kiv {

namespace {

struct CaseTables {
  std::array<unsigned char, 256> upper{};
  std::array<unsigned char, 256> lower{};

  CaseTables() {
    for (int i = 0; i < 256; ++i) {
      const auto byte = static_cast<unsigned char>(i);
      const char32_t cp = Cp1252ToCodePoint(byte);
      upper[i] = Map(byte, QChar::toUpper(cp));
      lower[i] = Map(byte, QChar::toLower(cp));
    }
  }
  // The code page's byte for mapped, or byte itself when it has none.
  static unsigned char Map(unsigned char byte, char32_t mapped) {
    unsigned char result = byte;
    return CodePointToCp1252(mapped, result) ? result : byte;
  }
};

const CaseTables& Tables() {
  static const CaseTables tables;
  return tables;
}

}  // namespace

char AnsiUpper(char c) {
  return static_cast<char>(Tables().upper[static_cast<unsigned char>(c)]);
}

char AnsiLower(char c) {
  return static_cast<char>(Tables().lower[static_cast<unsigned char>(c)]);
}

bool AnsiSameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const auto& lower = Tables().lower;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower[static_cast<unsigned char>(a[i])] != lower[static_cast<unsigned char>(b[i])])
      return false;
  return true;
}

}  // namespace kiv
