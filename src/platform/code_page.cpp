#include "platform/code_page.h"

#include <algorithm>
#include <array>

#include "platform/code_page_tables.h"
#include "platform/utf8_decoder.h"

namespace kiv {

namespace {

const CodePageTable& Table(CodePage page) {
  switch (page) {
    case CodePage::Windows1250:
      return kCodePageTables[0];
    case CodePage::Windows1251:
      return kCodePageTables[1];
    case CodePage::Windows1253:
      return kCodePageTables[3];
    case CodePage::Windows1254:
      return kCodePageTables[4];
    case CodePage::Windows1257:
      return kCodePageTables[5];
    case CodePage::Windows1252:
      break;
  }
  return kCodePageTables[2];
}

void AppendByte(const CodePageTable& table, std::string& out, char32_t cp, bool& lossless) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
    return;
  }
  const auto* end = table.reverse + 128;
  const auto* it = std::lower_bound(
      table.reverse, end, cp,
      [](const CodePageTable::Pair& p, char32_t value) { return p.codePoint < value; });
  if (it != end && it->codePoint == cp) {
    out += static_cast<char>(it->byte);
  } else {
    out += '?';
    lossless = false;
  }
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string CodePageName(CodePage page) {
  return "windows-" + std::to_string(static_cast<int>(page));
}

std::optional<CodePage> CodePageOfCharsetName(std::string_view name) {
  std::string n;
  for (char c : name) n += LowerAscii(c);
  struct Alias {
    std::string_view name;
    CodePage page;
  };
  static constexpr Alias kAliases[] = {
      {"windows-1250", CodePage::Windows1250}, {"cp1250", CodePage::Windows1250},
      {"x-cp1250", CodePage::Windows1250},     {"iso-8859-2", CodePage::Windows1250},
      {"iso8859-2", CodePage::Windows1250},    {"iso_8859-2", CodePage::Windows1250},
      {"latin2", CodePage::Windows1250},       {"l2", CodePage::Windows1250},
      {"windows-1251", CodePage::Windows1251}, {"cp1251", CodePage::Windows1251},
      {"x-cp1251", CodePage::Windows1251},     {"iso-8859-5", CodePage::Windows1251},
      {"iso8859-5", CodePage::Windows1251},    {"iso_8859-5", CodePage::Windows1251},
      {"cyrillic", CodePage::Windows1251},     {"koi8-r", CodePage::Windows1251},
      {"koi8r", CodePage::Windows1251},        {"koi8-u", CodePage::Windows1251},
      {"windows-1252", CodePage::Windows1252}, {"cp1252", CodePage::Windows1252},
      {"x-cp1252", CodePage::Windows1252},     {"iso-8859-1", CodePage::Windows1252},
      {"iso8859-1", CodePage::Windows1252},    {"iso_8859-1", CodePage::Windows1252},
      {"latin1", CodePage::Windows1252},       {"l1", CodePage::Windows1252},
      {"iso-8859-15", CodePage::Windows1252},  {"us-ascii", CodePage::Windows1252},
      {"ascii", CodePage::Windows1252},        {"windows-1253", CodePage::Windows1253},
      {"cp1253", CodePage::Windows1253},       {"iso-8859-7", CodePage::Windows1253},
      {"iso8859-7", CodePage::Windows1253},    {"iso_8859-7", CodePage::Windows1253},
      {"greek", CodePage::Windows1253},        {"windows-1254", CodePage::Windows1254},
      {"cp1254", CodePage::Windows1254},       {"iso-8859-9", CodePage::Windows1254},
      {"iso8859-9", CodePage::Windows1254},    {"iso_8859-9", CodePage::Windows1254},
      {"latin5", CodePage::Windows1254},       {"l5", CodePage::Windows1254},
      {"windows-1257", CodePage::Windows1257}, {"cp1257", CodePage::Windows1257},
      {"iso-8859-13", CodePage::Windows1257},  {"iso8859-13", CodePage::Windows1257},
      {"iso_8859-13", CodePage::Windows1257},  {"latin7", CodePage::Windows1257},
  };
  for (const Alias& a : kAliases)
    if (a.name == n) return a.page;
  return std::nullopt;
}

int CharsetOfCodePage(CodePage page) {
  switch (page) {
    case CodePage::Windows1250:
      return 238;  // EASTEUROPE_CHARSET
    case CodePage::Windows1251:
      return 204;  // RUSSIAN_CHARSET
    case CodePage::Windows1253:
      return 161;  // GREEK_CHARSET
    case CodePage::Windows1254:
      return 162;  // TURKISH_CHARSET
    case CodePage::Windows1257:
      return 186;  // BALTIC_CHARSET
    case CodePage::Windows1252:
      break;
  }
  return 0;  // ANSI_CHARSET
}

CodePage CodePageOfCharset(int charset) {
  switch (charset) {
    case 238:
      return CodePage::Windows1250;
    case 204:
      return CodePage::Windows1251;
    case 161:
      return CodePage::Windows1253;
    case 162:
      return CodePage::Windows1254;
    case 186:
      return CodePage::Windows1257;
    default:
      return CodePage::Windows1252;
  }
}

char32_t ByteToCodePoint(CodePage page, unsigned char byte) {
  return byte < 0x80 ? byte : Table(page).high[byte - 0x80];
}

bool CodePointToByte(CodePage page, char32_t cp, unsigned char& byte) {
  bool lossless = true;
  std::string out;
  AppendByte(Table(page), out, cp, lossless);
  if (lossless) byte = static_cast<unsigned char>(out[0]);
  return lossless;
}

std::u16string CodePageToUtf16(CodePage page, std::string_view text) {
  const CodePageTable& table = Table(page);
  std::u16string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    out += b < 0x80 ? static_cast<char16_t>(b) : table.high[b - 0x80];
  }
  return out;
}

std::string CodePageToUtf8(CodePage page, std::string_view text) {
  const CodePageTable& table = Table(page);
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80)
      out += c;
    else
      AppendUtf8(out, table.high[b - 0x80]);
  }
  return out;
}

std::string Utf16ToCodePage(CodePage page, std::u16string_view text, bool* lossless) {
  const CodePageTable& table = Table(page);
  std::string out;
  out.reserve(text.size());
  bool ok = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    AppendByte(table, out, cp, ok);
  }
  if (lossless) *lossless = ok;
  return out;
}

std::string Utf8ToCodePage(CodePage page, std::string_view text, bool* lossless) {
  const CodePageTable& table = Table(page);
  std::string out;
  out.reserve(text.size());
  bool ok = true;
  std::size_t i = 0;
  while (i < text.size()) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    char32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool valid = extra >= 0;
    if (valid) {
      for (int k = 1; k <= extra; ++k) {
        if (i + k >= text.size()) {
          valid = false;
          break;
        }
        unsigned char cont = static_cast<unsigned char>(text[i + k]);
        if ((cont & 0xC0) != 0x80) {
          valid = false;
          break;
        }
        cp = (cp << 6) | (cont & 0x3F);
      }
    }
    if (!valid) {
      out += '?';
      ok = false;
      ++i;
      continue;
    }
    AppendByte(table, out, cp, ok);
    i += extra + 1;
  }
  if (lossless) *lossless = ok;
  return out;
}

char UpperIn(CodePage page, char c) {
  return static_cast<char>(Table(page).upper[static_cast<unsigned char>(c)]);
}

char LowerIn(CodePage page, char c) {
  return static_cast<char>(Table(page).lower[static_cast<unsigned char>(c)]);
}

char FoldIn(CodePage page, char c) {
  return static_cast<char>(Table(page).fold[static_cast<unsigned char>(c)]);
}

const std::uint8_t* FoldTable(CodePage page) {
  return Table(page).fold;
}

bool SameTextIn(CodePage page, std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const std::uint8_t* fold = Table(page).fold;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (fold[static_cast<unsigned char>(a[i])] != fold[static_cast<unsigned char>(b[i])])
      return false;
  return true;
}

}  // namespace kiv
