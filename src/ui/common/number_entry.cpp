#include "ui/common/number_entry.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "model/prompt.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "text/number_read.h"

namespace quarn {

namespace {

constexpr const char* kBoxCommaMessage =
    "Error.  A comma cannot be typed into this box.  Decimals take a point (2.5), and "
    "thousands are typed without a separator (1500).";

class NumberKeyFilter : public QObject {
 public:
  NumberKeyFilter(QLineEdit& box, Prompt* prompt) : QObject(&box), prompt_(prompt) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & Qt::ControlModifier) return false;
    const QString text = key->text();
    if (text.size() != 1) return false;
    const char16_t ch = text[0].unicode();
    if (ch < 32 && ch != keycode::kBack) return false;
    if (ch == ',') {
      // The box has no moment of storing to refuse it at, so it is refused as it is typed.
      if (prompt_ != nullptr) {
        prompt_->Message(kBoxCommaMessage, "Error", MessageIcon::Exclamation);
      }
      return true;
    }
    return !IsNumberEntryCharacter(ch);
  }

 private:
  Prompt* prompt_;
};

}  // namespace

bool IsNumberEntryCharacter(int ch) {
  // "E" and "e" let a number be typed in the exponent form the program shows ("1E-05").
  return (ch >= '0' && ch <= '9') || ch == '*' || ch == '+' || ch == '-' || ch == '.' ||
         ch == '/' || ch == 'E' || ch == 'e' || ch == ',' || ch == keycode::kBack;
}

std::string NumberCommaMessage(const std::string& entry) {
  return "Error.  \"" + entry +
         "\" is not a number.  Decimals take a point (2.5); a comma can only separate "
         "thousands (1,500).";
}

void RestrictToNumbers(QLineEdit& box, Prompt& prompt) {
  box.installEventFilter(new NumberKeyFilter(box, &prompt));
}

void RestrictToNumbers(QLineEdit& box) {
  box.installEventFilter(new NumberKeyFilter(box, nullptr));
}

float BoxSingle(const QLineEdit& box) {
  return ToSingle(LeadingNumber(FromQt(box.text())));
}

}  // namespace quarn
