// The first difference between two JSON Lines dumps, told by line and by the
// path of the field inside it, for golden tests whose lines are too long to
// read in a plain diff.
#pragma once

#include <string>

namespace kiv::testing {

// Empty when expected and actual hold the same JSON values line by line.
// Otherwise, for the first line that differs: which line it is (the first of
// a "kivdump sections" dump is its header, the others its sections, with the
// section's class and the start of its text), then the first field that
// differs by path and both values, as in
//   section 3 (TSection "Some text"): rows[2][0].sections[1].lines[0].lineHt: 20 → 24
// Colours are shown in hex. A line that is not JSON is compared as text.
// Ends with the number of lines that differ.
std::string FirstJsonLinesDifference(const std::string& expected, const std::string& actual);

}  // namespace kiv::testing
