// Small string helpers of the help application. Strings are 8-bit text; a
// blank is the space character 0x20 only (not a tab).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kiv {

// Copy of s with a to z changed to A to Z; other bytes unchanged.
std::string UpperText(std::string_view s);

// Directory of the executable, with one trailing backslash or slash removed.
std::string ExeDir();

std::string TrimLeftBlanks(std::string_view s);
std::string TrimRightBlanks(std::string_view s);
std::string TrimBlanks(std::string_view s);
bool IsBlank(std::string_view s);

// The n-th comma-separated field of s (n counts from 1), trimmed of blanks;
// defaultValue when s has fewer fields or the field is empty. A field made
// only of blanks gives the empty string.
std::string CsvField(std::string_view s, int n, const std::string& defaultValue);

// The n-th field as a signed 32-bit integer: characters other than "+", "-"
// and digits become blanks, the rest is trimmed and converted; defaultValue
// when there is no such field, it is empty, or it does not convert.
std::int32_t CsvIntField(std::string_view s, int n, std::int32_t defaultValue);

}  // namespace kiv
