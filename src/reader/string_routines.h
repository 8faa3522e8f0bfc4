// Free string and number routines of the HTML reader.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kiv {

inline int IntMin(int a, int b) {
  return a < b ? a : b;
}
inline int IntMax(int a, int b) {
  return a > b ? a : b;
}

// s without its leading and trailing characters of codes 0 to 32.
std::string TrimWhite(std::string_view s);

// A link written as a URL turned into a file path: unchanged when it holds
// no "/"; otherwise lower case, without a leading "file:///" or "file://",
// "|" as ":" and "/" as "\".
std::string UrlToFilePath(std::string_view s);

// Reads s as a decimal 32-bit integer with an optional sign and nothing
// else; false (and value untouched) when it is not one or does not fit.
bool TryStrToInt(std::string_view s, std::int32_t& value);
// As TryStrToInt, with 0 for text that is no integer.
std::int32_t StrToIntOrZero(std::string_view s);

}  // namespace kiv
