#include "reader/string_routines.h"

namespace kiv {

std::string TrimWhite(std::string_view s) {
  std::size_t first = 0;
  std::size_t last = s.size();
  while (first < last && static_cast<unsigned char>(s[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(s[last - 1]) <= 32) --last;
  return std::string(s.substr(first, last - first));
}

std::string UrlToFilePath(std::string_view s) {
  if (s.find('/') == std::string_view::npos) return std::string(s);
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (std::size_t at = r.find("file:///"); at != std::string::npos) {
    r.erase(at, 8);
  } else if (std::size_t at7 = r.find("file://"); at7 != std::string::npos) {
    r.erase(at7, 7);
  }
  for (char& c : r) {
    if (c == '|')
      c = ':';
    else if (c == '/')
      c = '\\';
  }
  return r;
}

bool TryStrToInt(std::string_view s, std::int32_t& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i == s.size()) return false;
  std::int64_t n = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    n = n * 10 + (s[i] - '0');
    if (n > std::int64_t{INT32_MAX} + 1) return false;
  }
  if (negative) n = -n;
  if (n > INT32_MAX || n < INT32_MIN) return false;
  value = static_cast<std::int32_t>(n);
  return true;
}

std::int32_t StrToIntOrZero(std::string_view s) {
  std::int32_t v = 0;
  return TryStrToInt(s, v) ? v : 0;
}

}  // namespace kiv
