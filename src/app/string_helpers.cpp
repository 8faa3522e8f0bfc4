#include "app/string_helpers.h"

#include <limits>

#include "platform/paths.h"

namespace kiv {

namespace {

// The text of field n (up to its comma), or false when s has fewer fields.
bool FieldText(std::string_view s, int n, std::string_view& field) {
  int counter = 1;
  for (int i = 1; i < n; ++i) {
    std::size_t comma = s.find(',');
    if (comma == std::string_view::npos) break;
    s.remove_prefix(comma + 1);
    ++counter;
  }
  if (counter != n) return false;
  field = s.substr(0, s.find(','));
  return true;
}

}  // namespace

std::string UpperText(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string ExeDir() {
  std::string dir = ExecutableDir();
  if (dir.size() > 1 && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
  return dir;
}

std::string TrimLeftBlanks(std::string_view s) {
  std::size_t b = s.find_first_not_of(' ');
  return b == std::string_view::npos ? std::string() : std::string(s.substr(b));
}

std::string TrimRightBlanks(std::string_view s) {
  std::size_t e = s.find_last_not_of(' ');
  return e == std::string_view::npos ? std::string() : std::string(s.substr(0, e + 1));
}

std::string TrimBlanks(std::string_view s) { return TrimRightBlanks(TrimLeftBlanks(s)); }

bool IsBlank(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

std::string CsvField(std::string_view s, int n, const std::string& defaultValue) {
  std::string_view field;
  if (!FieldText(s, n, field) || field.empty()) return defaultValue;
  return TrimBlanks(field);
}

std::int32_t CsvIntField(std::string_view s, int n, std::int32_t defaultValue) {
  std::string_view field;
  if (!FieldText(s, n, field) || field.empty()) return defaultValue;
  std::string text(field);
  for (char& c : text) {
    if (c != '+' && c != '-' && (c < '0' || c > '9')) c = ' ';
  }
  text = TrimBlanks(text);
  if (text.empty()) return defaultValue;
  std::size_t i = 0;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    i = 1;
  }
  if (i >= text.size()) return defaultValue;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return defaultValue;  // a space or sign inside
    value = value * 10 + (c - '0');
    if (value > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1)
      return defaultValue;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max() ||
      value < std::numeric_limits<std::int32_t>::min())
    return defaultValue;
  return static_cast<std::int32_t>(value);
}

}  // namespace kiv
