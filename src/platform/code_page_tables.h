// The generated tables behind code_page.h: for each code page, the code
// point of every byte from 0x80 up, the same pairs sorted by code point, and
// the byte-to-byte letter-case maps. Made by tools/codegen/make_code_pages.py.
#pragma once

#include <cstdint>

namespace kiv {

constexpr int kCodePageCount = 6;

struct CodePageTable {
  struct Pair {
    char16_t codePoint;
    std::uint8_t byte;
  };
  int number;          // 1250, 1251, 1252, 1253, 1254 or 1257
  char16_t high[128];  // bytes 0x80 to 0xFF
  Pair reverse[128];   // high, sorted by code point
  std::uint8_t upper[256];
  std::uint8_t lower[256];
  std::uint8_t fold[256];  // upper then lower: the form case-blind comparison uses
};

extern const CodePageTable kCodePageTables[kCodePageCount];

}  // namespace kiv
