#pragma once

#include <QLineEdit>

namespace quarn {

// The edit box of a data window (`EditCell`): a line edit whose keys a window sees before
// the box acts on them, like the grid's. KeyDown gets the key code (Enter 13, Left 37, ...)
// and KeyPress the typed character as its Windows-1252 code; a handler that sets either to
// 0 swallows it. Tab and Shift+Tab are keys of the box too (KeyDown 9, with Shift for the
// latter), so that they move in the grid instead of leaving it. LostFocus tells why the box lost
// the focus, so that opening a menu or switching to another program is not mistaken for leaving the
// box.
class EditCellBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit EditCellBox(QWidget* parent = nullptr);

  // Delivers one character as if typed, through KeyPress like any other key.
  void TypeCharacter(int cp1252_char);

 signals:
  void KeyDown(int& key_code, int shift);
  void KeyPress(int& key_ascii);
  void LostFocus(Qt::FocusReason reason);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace quarn
