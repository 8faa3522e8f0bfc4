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

// True while a message box is open (its handler runs). A box runs the event
// loop while it waits, so work that must not happen inside one asks this.
bool MessageBoxOpen();
// Runs fn from the event loop once no message box is open: at once (posted)
// when none is, else after the last open box closes. Work deferred so keeps
// its order.
void AfterMessageBoxes(std::function<void()> fn);

// Once on, a box whose caption and text equal one already shown since the
// last ForgetShownMessageBoxes is not shown again (it answers as the first
// one did): one failure repeated many times during a page load raises one
// box. Off by default.
void SetRepeatedMessageBoxesShown(bool shown);
void ForgetShownMessageBoxes();

}  // namespace kiv
