#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/cp1252.h"

namespace kiv {

void SetClipboardText(const std::string& cp1252) {
  if (!QGuiApplication::instance()) return;
  QGuiApplication::clipboard()->setText(QString::fromStdU16String(Cp1252ToUtf16(cp1252)));
}

std::string ClipboardText() {
  if (!QGuiApplication::instance()) return {};
  return Utf16ToCp1252(QGuiApplication::clipboard()->text().toStdU16String());
}

}  // namespace kiv
