#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

#include <iostream>

#include "platform/cp1252.h"

namespace kiv {

namespace {

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
  if (Handler()) return Handler()(text, caption, buttons);
  return DefaultBox(text, caption, buttons);
}

void ShowErrorBox(const std::string& text) { ShowMessageBox(text, "Error", MB_OK); }

}  // namespace kiv
