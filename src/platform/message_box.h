// Message boxes. Every box the program shows goes through here, so tests and
// headless tools redirect them instead of blocking on a dialog.
#pragma once

#include <functional>
#include <string>

namespace kiv {

enum MessageBoxButtons { MB_OK = 0, MB_OKCANCEL = 1, MB_YESNO = 4 };
enum MessageBoxResult { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Receives (text, caption, buttons) and returns the button chosen.
using MessageBoxHandler =
    std::function<int(const std::string& text, const std::string& caption, int buttons)>;

// Installs a handler (an empty one restores the default) and returns the
// previous handler. The default shows a dialog when a window system is up
// and otherwise writes the text to standard error and answers OK.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Texts are Windows-1252 bytes.
int ShowMessageBox(const std::string& text, const std::string& caption, int buttons);
void ShowErrorBox(const std::string& text);

}  // namespace kiv
