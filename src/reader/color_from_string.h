// The colour parser used for every colour attribute of a document.
#pragma once

#include <string_view>

#include "platform/color.h"

namespace kiv {

// One of the 16 colour names (any case), or a hexadecimal RRGGBB with or
// without "#", as a colour reference 0x00BBGGRR. False for empty text and
// for text that is neither. "#F00" reads as the number 0xF00.
bool ColorFromString(std::string_view text, TColor& color);

}  // namespace kiv
