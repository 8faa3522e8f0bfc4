#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kiv {

void SetClipboardText(const std::string& text, CodePage page) {
  if (!QGuiApplication::instance()) return;
  QGuiApplication::clipboard()->setText(QString::fromStdU16String(CodePageToUtf16(page, text)));
}

std::string ClipboardText(CodePage page) {
  if (!QGuiApplication::instance()) return {};
  return Utf16ToCodePage(page, QGuiApplication::clipboard()->text().toStdU16String());
}

}  // namespace kiv
