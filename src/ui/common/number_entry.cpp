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

// How many characters of the text the box would not let be typed (a blank, as the program
// writes numbers, passes).
qsizetype Untypable(const QString& text) {
  return std::count_if(text.begin(), text.end(), [](QChar c) {
    const char16_t ch = c.unicode();
    return ch != ' ' && (ch == ',' || ch > 255 || !IsNumberEntryCharacter(ch));
  });
}

class NumberKeyFilter : public QObject {
 public:
  NumberKeyFilter(QLineEdit& box, Prompt* prompt) : QObject(&box), box_(box), prompt_(prompt) {
    // What is pasted or dropped into the box is judged as typing it would be: refused whole,
    // the box keeps what it held, so that "2,5" is never read as 2.
    connect(&box, &QLineEdit::textEdited, this, [this, &box](const QString& text) {
      if (Untypable(text) <= Untypable(before_)) return;
      box.setText(before_);
      if (prompt_ == nullptr) return;
      prompt_->Message("Error.  \"" + FromQt(text) +
                           "\" cannot go into this box: a number is written with digits, a "
                           "point for decimals (2.5), a sign and a power of ten (1E-05), and "
                           "nothing else.",
                       "Error", MessageIcon::Exclamation);
    });
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // Every way the user changes the text starts with one of these.
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::Drop || type == QEvent::ContextMenu ||
        type == QEvent::InputMethod || type == QEvent::MouseButtonPress) {
      before_ = box_.text();
    }
    if (type != QEvent::KeyPress) return QObject::eventFilter(watched, event);
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
  QLineEdit& box_;
  Prompt* prompt_;
  // The box's text before the user's last change.
  QString before_;
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
