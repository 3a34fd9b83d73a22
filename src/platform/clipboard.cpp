#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/qt_text.h"

namespace quarn {

std::string ClipboardText() {
  return FromQt(QGuiApplication::clipboard()->text());
}

void SetClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(ToQt(text));
}

void ClearClipboard() {
  QGuiApplication::clipboard()->clear();
}

}  // namespace quarn
