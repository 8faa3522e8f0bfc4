// The clipboard in plain-text format. Text is single-byte in a code page
// (Windows-1252 unless the caller names another); it is converted to Unicode
// on the way out and back on the way in.
#pragma once

#include <string>

#include "platform/code_page.h"

namespace kiv {

void SetClipboardText(const std::string& text, CodePage page = CodePage::Windows1252);
std::string ClipboardText(CodePage page = CodePage::Windows1252);

}  // namespace kiv
