#include "platform/app_message.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <map>
#include <mutex>

#include "platform/message_box.h"

namespace kiv {

namespace {

TMessageEvent& Hook() {
  static TMessageEvent hook;
  return hook;
}

std::string Upper(const std::string& s) {
  std::string u = s;
  for (char& c : u) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return u;
}

}  // namespace

std::uint32_t RegisterWindowMessage(const std::string& name) {
  static std::mutex mutex;
  static std::map<std::string, std::uint32_t> numbers;
  std::lock_guard<std::mutex> lock(mutex);
  auto [it, added] =
      numbers.emplace(Upper(name), static_cast<std::uint32_t>(0xC000 + numbers.size()));
  (void)added;
  return it->second;
}

void SetApplicationMessageHook(TMessageEvent hook) {
  Hook() = std::move(hook);
}

bool DispatchApplicationMessage(TMsg msg) {
  bool handled = false;
  if (!Hook()) return false;
  try {
    // A copy, so a hook that replaces itself keeps running to its end.
    TMessageEvent hook = Hook();
    hook(msg, handled);
  } catch (const std::exception& e) {
    HandleApplicationException(e);
    return true;
  }
  return handled;
}

void PostApplicationMessage(const TMsg& msg) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  QMetaObject::invokeMethod(
      app, [msg] { DispatchApplicationMessage(msg); }, Qt::QueuedConnection);
}

void HandleApplicationException(const std::exception& e) {
  ShowErrorBox(e.what());
}

}  // namespace kiv
