#include "kivpack/utf8_pages.h"

#include <cstdio>

#include "platform/cp1252.h"
#include "platform/utf8_decoder.h"

namespace kiv {

namespace {

// Problems listed for one page; the rest are only counted.
constexpr int kProblemsListed = 10;

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringCase(std::string_view text, std::size_t pos, std::string_view word) {
  if (text.size() - pos < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (LowerAscii(text[pos + i]) != word[i]) return false;
  return true;
}

bool IsNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
}

struct Span {
  std::size_t pos = std::string_view::npos;
  std::size_t length = 0;
};

// The value "utf-8" (or "utf8") of a "charset=" in a META tag or an
// "encoding=" in an XML declaration, where the page states its encoding.
// Text outside those tags never counts, so a page that talks about
// charset=utf-8 is not taken for one.
Span FindUtf8Declaration(std::string_view text) {
  std::size_t pos = 0;
  while ((pos = text.find('<', pos)) != std::string_view::npos) {
    std::string_view key;
    if (StartsWithIgnoringCase(text, pos + 1, "meta") && pos + 5 < text.size() &&
        !IsNameByte(text[pos + 5])) {
      key = "charset";
    } else if (StartsWithIgnoringCase(text, pos + 1, "?xml")) {
      key = "encoding";
    } else {
      ++pos;
      continue;
    }
    const std::size_t close = text.find('>', pos);
    const std::string_view tag =
        text.substr(pos, close == std::string_view::npos ? std::string_view::npos : close - pos);
    for (std::size_t k = 0; k + key.size() <= tag.size(); ++k) {
      if (!StartsWithIgnoringCase(tag, k, key)) continue;
      std::size_t v = k + key.size();
      while (v < tag.size() &&
             (tag[v] == ' ' || tag[v] == '\t' || tag[v] == '\r' || tag[v] == '\n'))
        ++v;
      if (v >= tag.size() || tag[v] != '=') continue;
      ++v;
      while (v < tag.size() && (tag[v] == ' ' || tag[v] == '\t' || tag[v] == '\r' ||
                                tag[v] == '\n' || tag[v] == '"' || tag[v] == '\''))
        ++v;
      for (std::string_view name : {std::string_view("utf-8"), std::string_view("utf8")}) {
        if (StartsWithIgnoringCase(tag, v, name) &&
            (v + name.size() == tag.size() || !IsNameByte(tag[v + name.size()]))) {
          return {pos + v, name.size()};
        }
      }
    }
    if (close == std::string_view::npos) break;
    pos = close + 1;
  }
  return {};
}

std::string Hex(unsigned value, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*X", digits, value);
  return buf;
}

}  // namespace

PageEncodingEvidence InspectPageEncoding(std::string_view bytes) {
  PageEncodingEvidence e;
  e.byteOrderMark = HasUtf8Bom(bytes);
  e.declared = FindUtf8Declaration(bytes).pos != std::string_view::npos;
  std::size_t pos = e.byteOrderMark ? 3 : 0;
  while (pos < bytes.size()) {
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
  // A declaration over bytes that are not UTF-8 is a mistake of the page's
  // editor: its bytes are what the viewer has always shown, so they stay.
  return e.byteOrderMark || ((e.declared || e.multiByte > 0) && e.invalid == 0);
}

bool BytesLookLikeUtf8(const PageEncodingEvidence& e) {
  return e.byteOrderMark || (e.multiByte > 0 && e.invalid == 0 && e.unmappable == 0);
}

Utf8Conversion ConvertUtf8Page(std::string_view bytes) {
  Utf8Conversion result;
  const std::size_t skip = HasUtf8Bom(bytes) ? 3 : 0;
  const Span declaration = FindUtf8Declaration(bytes);
  std::string out;
  out.reserve(bytes.size());
  int line = 1;
  int column = 1;
  auto problem = [&](const std::string& text) {
    if (result.problemCount++ < kProblemsListed)
      result.problems.push_back("line " + std::to_string(line) + ", column " +
                                std::to_string(column) + ": " + text);
  };
  std::size_t pos = skip;
  while (pos < bytes.size()) {
    if (pos == declaration.pos) {
      out += "windows-1252";
      pos += declaration.length;
      column += static_cast<int>(declaration.length);
      continue;
    }
    char32_t cp = 0;
    std::size_t length = 1;
    const Utf8Sequence kind = DecodeUtf8At(bytes, pos, cp, length);
    if (kind == Utf8Sequence::Invalid) {
      problem("byte 0x" + Hex(static_cast<unsigned char>(bytes[pos]), 2) +
              " is not valid UTF-8 (a cut-off, overlong or stray sequence)");
    } else if (unsigned char b = 0; CodePointToCp1252(cp, b)) {
      out += static_cast<char>(b);
    } else {
      problem("character U+" + Hex(static_cast<unsigned>(cp), 4) + " \"" +
              std::string(bytes.substr(pos, length)) +
              "\" has no Windows-1252 form and cannot be shown");
    }
    // A line ends at LF, at CR LF, or at a CR alone.
    if (bytes[pos] == '\n' ||
        (bytes[pos] == '\r' && (pos + 1 == bytes.size() || bytes[pos + 1] != '\n'))) {
      ++line;
      column = 1;
    } else if (bytes[pos] != '\r') {
      ++column;
    }
    pos += length;
  }
  if (result.problemCount > kProblemsListed) {
    result.problems.push_back("and " + std::to_string(result.problemCount - kProblemsListed) +
                              " more");
  }
  if (result.problemCount == 0) result.bytes = std::move(out);
  return result;
}

}  // namespace kiv
