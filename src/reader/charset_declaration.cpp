#include "reader/charset_declaration.h"

#include <cstring>

namespace kiv {

namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringCase(std::string_view text, std::size_t pos, std::string_view word) {
  if (pos > text.size() || text.size() - pos < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (LowerAscii(text[pos + i]) != word[i]) return false;
  return true;
}

bool IsNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.' || c == ':';
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The first "key=value" of the tag text whose key is the whole word key.
bool FindValue(std::string_view tag, std::string_view key, CharsetDeclaration& found,
               std::size_t tagPos) {
  for (std::size_t k = 0; k + key.size() <= tag.size(); ++k) {
    if (!StartsWithIgnoringCase(tag, k, key)) continue;
    if (k > 0 && IsNameByte(tag[k - 1])) continue;
    std::size_t v = k + key.size();
    while (v < tag.size() && IsBlank(tag[v])) ++v;
    if (v >= tag.size() || tag[v] != '=') continue;
    ++v;
    while (v < tag.size() && (IsBlank(tag[v]) || tag[v] == '"' || tag[v] == '\'')) ++v;
    std::size_t e = v;
    while (e < tag.size() && IsNameByte(tag[e])) ++e;
    if (e == v) continue;
    found.pos = tagPos + v;
    found.length = e - v;
    found.name = tag.substr(v, e - v);
    return true;
  }
  return false;
}

}  // namespace

std::vector<CharsetDeclaration> FindCharsetDeclarations(std::string_view text) {
  std::vector<CharsetDeclaration> result;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const void* hit = std::memchr(text.data() + pos, '<', text.size() - pos);
    if (!hit) break;
    pos = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
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
    CharsetDeclaration found;
    if (FindValue(tag, key, found, pos)) result.push_back(found);
    if (close == std::string_view::npos) break;
    pos = close + 1;
  }
  return result;
}

bool IsUtf8CharsetName(std::string_view name) {
  return (name.size() == 5 && StartsWithIgnoringCase(name, 0, "utf-8")) ||
         (name.size() == 4 && StartsWithIgnoringCase(name, 0, "utf8"));
}

std::optional<CodePage> DeclaredCodePage(std::string_view page) {
  const std::vector<CharsetDeclaration> found = FindCharsetDeclarations(page);
  if (found.empty()) return std::nullopt;
  return CodePageOfCharsetName(found.front().name);
}

CodePage CodePageOfPage(std::string_view page) {
  return DeclaredCodePage(page).value_or(CodePage::Windows1252);
}

}  // namespace kiv
