#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

#include <deque>
#include <iostream>
#include <map>
#include <utility>

#include "platform/cp1252.h"

namespace kiv {

namespace {

int g_openBoxes = 0;
std::deque<std::function<void()>> g_afterBoxes;
bool g_repeatsShown = true;
std::map<std::pair<std::string, std::string>, int> g_shown;

void PostToEventLoop(std::function<void()> fn) {
  if (QCoreApplication* app = QCoreApplication::instance()) {
    QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
  }
}

MessageBoxHandler& Handler() {
  static MessageBoxHandler handler;
  return handler;
}

QString ToQString(const std::string& cp1252) {
  return QString::fromStdU16String(Cp1252ToUtf16(cp1252));
}

int DefaultBox(const std::string& text, const std::string& caption, int buttons) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) &&
      QGuiApplication::platformName() != "offscreen" &&
      QGuiApplication::platformName() != "minimal") {
    QMessageBox::StandardButtons qb = QMessageBox::Ok;
    if (buttons == MB_OKCANCEL) qb = QMessageBox::Ok | QMessageBox::Cancel;
    if (buttons == MB_YESNO) qb = QMessageBox::Yes | QMessageBox::No;
    auto r = QMessageBox::warning(nullptr, ToQString(caption), ToQString(text), qb);
    switch (r) {
      case QMessageBox::Cancel:
        return IDCANCEL;
      case QMessageBox::Yes:
        return IDYES;
      case QMessageBox::No:
        return IDNO;
      default:
        return IDOK;
    }
  }
  std::cerr << Cp1252ToUtf8(caption.empty() ? "Error" : caption) << ": " << Cp1252ToUtf8(text)
            << '\n';
  return buttons == MB_YESNO ? IDYES : IDOK;
}

}  // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  MessageBoxHandler previous = std::move(Handler());
  Handler() = std::move(handler);
  return previous;
}

int ShowMessageBox(const std::string& text, const std::string& caption, int buttons) {
  if (!g_repeatsShown) {
    if (auto it = g_shown.find({caption, text}); it != g_shown.end()) return it->second;
  }
  ++g_openBoxes;
  int answer = IDOK;
  try {
    answer = Handler() ? Handler()(text, caption, buttons) : DefaultBox(text, caption, buttons);
  } catch (...) {
    --g_openBoxes;
    throw;
  }
  --g_openBoxes;
  if (!g_repeatsShown) g_shown[{caption, text}] = answer;
  if (g_openBoxes == 0) {
    while (!g_afterBoxes.empty()) {
      PostToEventLoop(std::move(g_afterBoxes.front()));
      g_afterBoxes.pop_front();
    }
  }
  return answer;
}

bool MessageBoxOpen() {
  return g_openBoxes > 0;
}

void AfterMessageBoxes(std::function<void()> fn) {
  if (g_openBoxes > 0) {
    g_afterBoxes.push_back(std::move(fn));
  } else {
    PostToEventLoop(std::move(fn));
  }
}

void SetRepeatedMessageBoxesShown(bool shown) {
  g_repeatsShown = shown;
  g_shown.clear();
}

void ForgetShownMessageBoxes() {
  g_shown.clear();
}

void ShowErrorBox(const std::string& text) {
  ShowMessageBox(text, "Error", MB_OK);
}

}  // namespace kiv
