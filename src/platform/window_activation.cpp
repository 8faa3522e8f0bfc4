#include "platform/window_activation.h"

#include <QGuiApplication>
#include <QWidget>

#include <cstdlib>

namespace kiv {

bool IsUsableActivationToken(std::string_view token) {
  if (token.empty() || token.size() > MaxActivationTokenLength) return false;
  for (unsigned char c : token) {
    if (c <= ' ' || c >= 0x7f) return false;
  }
  return true;
}

std::string StartupActivationToken() {
  const char* value = std::getenv(ActivationTokenVariable);
  if (!value || !IsUsableActivationToken(value)) return {};
  return value;
}

bool ActivateWindow(QWidget& window, const std::string& token) {
  // The wayland plugin's xdg-shell takes the token from the environment when
  // the window asks to be activated (and clears it when it used it); the
  // request goes to the plugin at once, inside activateWindow().
  const bool present =
      IsUsableActivationToken(token) && QGuiApplication::platformName().startsWith("wayland");
  if (present) qputenv(ActivationTokenVariable, QByteArray::fromStdString(token));
  window.raise();
  window.activateWindow();
  if (present) qunsetenv(ActivationTokenVariable);
  return present;
}

}  // namespace kiv
