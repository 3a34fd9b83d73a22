#include "ui/common/number_entry.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

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

namespace {

bool IsBlankText(const std::string& text) {
  return text.find_first_not_of(' ') == std::string::npos;
}

// The unit a cell shows after its number and a blank ("hr" of "8,760.0 hr"): letters only,
// so that no number nor sign hides in it; empty when there is none.
std::string UnitAfterNumber(const std::string& text) {
  const size_t blank = text.find_last_of(' ');
  if (blank == std::string::npos || blank + 1 >= text.size()) return {};
  const std::string unit = text.substr(blank + 1);
  const bool letters = std::all_of(unit.begin(), unit.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  });
  return letters && ParseNumber(RemoveCommas(text.substr(0, blank))) ? unit : std::string();
}

bool ReadsAsNumber(const std::string& entry, const std::string& cell_text) {
  if (ParseNumber(RemoveCommas(entry))) return true;
  const std::string unit = UnitAfterNumber(cell_text);
  return !unit.empty() && UnitAfterNumber(entry) == unit;
}

}  // namespace

std::string NumberEntryFault(const std::string& entry, const std::string& cell_text) {
  if (IsBlankText(entry)) return {};
  const std::string quoted = "\"" + entry + "\" is not a number.  ";
  if (!CommasGroupThousands(entry)) {
    return quoted + "Decimals take a point (2.5); a comma can only separate thousands (1,500).";
  }
  if (ReadsAsNumber(entry, cell_text)) return {};
  return quoted +
         "A number is written with digits, a point for decimals (2.5), a sign and a power of "
         "ten (1E-05), and nothing else.";
}

std::string StoredNumberText(const std::string& entry) {
  return RemoveCommas(entry);
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
