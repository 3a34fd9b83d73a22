#include "ui/common/number_entry.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "text/number_read.h"

namespace quarn {

namespace {

class NumberKeyFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & Qt::ControlModifier) return false;
    const QString text = key->text();
    if (text.size() != 1) return false;
    const char16_t ch = text[0].unicode();
    if (ch < 32 && ch != keycode::kBack) return false;
    return !IsNumberEntryCharacter(ch);
  }
};

}  // namespace

bool IsNumberEntryCharacter(int ch) {
  // "E" and "e" let a number be typed in the exponent form the program shows ("1E-05").
  return (ch >= '0' && ch <= '9') || ch == '*' || ch == '+' || ch == '-' || ch == '.' ||
         ch == '/' || ch == 'E' || ch == 'e' || ch == keycode::kBack;
}

void RestrictToNumbers(QLineEdit& box) {
  box.installEventFilter(new NumberKeyFilter(&box));
}

float BoxSingle(const QLineEdit& box) {
  return ToSingle(LeadingNumber(FromQt(box.text())));
}

}  // namespace quarn
