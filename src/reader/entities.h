// The character entity table of the HTML reader: "amp", "lt", "gt", "quot"
// and the ISO 8859-1 names of the codes 160 to 255.
#pragma once

#include <string_view>

namespace kiv {

// Longest entity name the reader collects after "&".
constexpr int MaxEntityNameLength = 7;

// The character of a named entity (exact, case-sensitive); false when the
// name is not in the table (the empty name included).
bool LookupEntity(std::string_view name, unsigned char& ch);

}  // namespace kiv
