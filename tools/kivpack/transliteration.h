// The closest plain text for a character a page's code page lacks, as
// `kivpack build --substitute` writes it: arrows and relations as their ASCII
// spellings ("→" "->", "≠" "!="), letters with marks as the letter when the
// code page holds it, and "?" for anything else.
#pragma once

#include <string>

#include "platform/code_page.h"

namespace kiv {

// The replacement in page's code page (never empty).
std::string Transliterate(char32_t cp, CodePage page);

// Characters with no visible form (zero-width space and joiners, soft
// hyphen, byte-order mark, word joiner, direction marks, variation
// selectors): the packer drops them.
bool IsInvisibleCharacter(char32_t cp);

}  // namespace kiv
