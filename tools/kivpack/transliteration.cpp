#include "kivpack/transliteration.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <iterator>
#include <string_view>

namespace kiv {

namespace {

struct Spelling {
  char32_t cp;
  std::string_view text;
};

// Sorted by code point; ASCII only, so every code page holds them.
constexpr Spelling kSpellings[] = {
    {0x2010, "-"},   {0x2011, "-"},   {0x2012, "-"},     {0x2015, "-"},   {0x2032, "'"},
    {0x2033, "\""},  {0x2035, "`"},   {0x2043, "-"},     {0x2044, "/"},   {0x204E, "*"},
    {0x2190, "<-"},  {0x2191, "^"},   {0x2192, "->"},    {0x2193, "v"},   {0x2194, "<->"},
    {0x21D0, "<="},  {0x21D2, "=>"},  {0x21D4, "<=>"},   {0x2212, "-"},   {0x2215, "/"},
    {0x2217, "*"},   {0x221E, "inf"}, {0x2223, "|"},     {0x2227, "and"}, {0x2228, "or"},
    {0x2248, "~"},   {0x2260, "!="},  {0x2261, "=="},    {0x2264, "<="},  {0x2265, ">="},
    {0x226A, "<<"},  {0x226B, ">>"},  {0x22C5, "."},     {0x22EF, "..."}, {0x2303, "^"},
    {0x2318, "Cmd"}, {0x2325, "Alt"}, {0x23CE, "Enter"}, {0x2500, "-"},   {0x2502, "|"},
    {0x250C, "+"},   {0x2510, "+"},   {0x2514, "+"},     {0x2518, "+"},   {0x251C, "+"},
    {0x2524, "+"},   {0x252C, "+"},   {0x2534, "+"},     {0x253C, "+"},   {0x25B2, "^"},
    {0x25B6, ">"},   {0x25B8, ">"},   {0x25BA, ">"},     {0x25BC, "v"},   {0x25C0, "<"},
    {0x25C2, "<"},   {0x25C4, "<"},   {0x25CF, "*"},     {0x2605, "*"},   {0x2713, "v"},
    {0x2714, "v"},   {0x2717, "x"},   {0x2718, "x"},     {0x27E8, "<"},   {0x27E9, ">"},
    {0x3003, "\""},  {0xFF08, "("},   {0xFF09, ")"},     {0xFF0C, ","},   {0xFF1A, ":"},
};

}  // namespace

bool IsInvisibleCharacter(char32_t cp) {
  return cp == 0x00AD || (cp >= 0x200B && cp <= 0x200F) || cp == 0x2060 || cp == 0xFEFF ||
         (cp >= 0xFE00 && cp <= 0xFE0F) || (cp >= 0xE0100 && cp <= 0xE01EF) || cp == 0x180E;
}

std::string Transliterate(char32_t cp, CodePage page) {
  const auto* end = kSpellings + std::size(kSpellings);
  const auto* it = std::lower_bound(kSpellings, end, cp,
                                    [](const Spelling& s, char32_t value) { return s.cp < value; });
  if (it != end && it->cp == cp) return std::string(it->text);
  // A letter with marks: its decomposition without the marks, when the code
  // page holds all of it ("ő" stays "o" in Windows-1251, say).
  const char32_t one[1] = {cp};
  const QString decomposed = QString::fromUcs4(one, 1).normalized(QString::NormalizationForm_KD);
  std::string out;
  bool ok = !decomposed.isEmpty();
  for (const char32_t part : decomposed.toUcs4()) {
    if (QChar::category(part) == QChar::Mark_NonSpacing) continue;
    unsigned char b = 0;
    if (part == cp || !CodePointToByte(page, part, b) || b < 0x20) {
      ok = false;
      break;
    }
    out += static_cast<char>(b);
  }
  return ok && !out.empty() ? out : std::string("?");
}

}  // namespace kiv
