// The clipboard in plain-text format. Text is Windows-1252 bytes; it is
// converted to Unicode on the way out and back on the way in.
#pragma once

#include <string>

namespace kiv {

void SetClipboardText(const std::string& cp1252);
std::string ClipboardText();

}  // namespace kiv
