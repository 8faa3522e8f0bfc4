// Bringing a window to the front for another start of the program. On a
// Wayland desktop a program may take the focus only with an activation token
// the compositor gave to whoever started it (xdg-activation): the second
// start finds its token in XDG_ACTIVATION_TOKEN and passes it on, and the
// running instance presents it when it raises its window. Elsewhere (X11)
// the window is raised and activated as usual and the token is not needed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class QWidget;

namespace kiv {

// The environment variable that carries a start's activation token.
inline constexpr const char* ActivationTokenVariable = "XDG_ACTIVATION_TOKEN";

// Longest token passed on. Compositors hand out short strings (a few dozen
// characters); anything longer is not a token.
inline constexpr std::size_t MaxActivationTokenLength = 1024;

// A token worth presenting: 1 to MaxActivationTokenLength printable ASCII
// characters without spaces. Anything else (control bytes, line breaks,
// characters outside ASCII) cannot be a compositor's token.
bool IsUsableActivationToken(std::string_view token);

// This process's token from its environment; empty when there is none or it
// is not usable.
std::string StartupActivationToken();

// Raises window (restoring it when minimised is the caller's part) and asks
// for the focus. With a usable token on a Wayland platform the token is
// presented through the toolkit's xdg-activation support; afterwards it is
// taken out of the environment again, whether the compositor offered the
// protocol or not, so a later activation never presents a stale token and
// no child process inherits it. Returns true when the token was presented.
bool ActivateWindow(QWidget& window, const std::string& token);

}  // namespace kiv
