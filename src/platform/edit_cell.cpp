#include "platform/edit_cell.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "platform/flex_grid.h"
#include "platform/qt_text.h"

namespace quarn {

EditCellBox::EditCellBox(QWidget* parent) : QLineEdit(parent) {
  setObjectName("EditCell");
}

void EditCellBox::TypeCharacter(int cp1252_char) {
  if (cp1252_char <= 0 || cp1252_char > 255) return;
  const std::string byte(1, static_cast<char>(cp1252_char));
  const QString text = ToQt(byte);
  int key = Qt::Key_unknown;
  if (text.size() == 1 && text[0].unicode() < 128 && text[0].isLetterOrNumber()) {
    key = text[0].toUpper().unicode();
  }
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  keyPressEvent(&press);
}

bool EditCellBox::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
    if (tab && (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
      keyPressEvent(key);
      return true;
    }
  }
  return QLineEdit::event(event);
}

void EditCellBox::keyPressEvent(QKeyEvent* event) {
  int code = KeyCodeOf(event->key());
  int shift = ShiftStateOf(*event);
  if (event->key() == Qt::Key_Backtab) {
    code = keycode::kTab;
    shift |= kShiftMask;
  }
  const bool had_code = code != 0;
  if (had_code) emit KeyDown(code, shift);
  const bool code_swallowed = had_code && code == 0;
  // A handler may have closed the box (a commit); the key then belongs to no one.
  if (!isVisible()) {
    event->accept();
    return;
  }
  const QString typed = event->text();
  int ch = 0;
  if (!typed.isEmpty()) {
    const std::string bytes = FromQt(typed);
    // Delete types no character: a numeric filter must not take it for one.
    if (bytes.size() == 1 && bytes[0] != kDeleteCharacter) {
      ch = static_cast<unsigned char>(bytes[0]);
    }
  }
  if (ch != 0) {
    emit KeyPress(ch);
    if (ch == 0 || !isVisible()) {
      event->accept();
      return;
    }
  }
  if (code_swallowed) {
    // The key's own action is gone, but the character it types still arrives.
    if (ch >= 32) insert(typed);
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void EditCellBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  emit LostFocus(event->reason());
}

}  // namespace quarn
