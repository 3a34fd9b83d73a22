#include "platform/flex_grid.h"

#include <QKeyEvent>
#include <algorithm>

#include "platform/flex_grid_model.h"
#include "platform/qt_text.h"

namespace quarn {

// The grid's keyboard: the key codes and shift bits the windows compare against, and the
// cursor moves of the keys that a KeyDown handler leaves to the grid.

int KeyCodeOf(int qt_key) {
  switch (qt_key) {
    case Qt::Key_Backspace:
      return keycode::kBack;
    case Qt::Key_Tab:
      return keycode::kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return keycode::kReturn;
    case Qt::Key_Shift:
      return keycode::kShift;
    case Qt::Key_Control:
      return keycode::kControl;
    case Qt::Key_Alt:
      return keycode::kMenu;
    case Qt::Key_Escape:
      return keycode::kEscape;
    case Qt::Key_Space:
      return keycode::kSpace;
    case Qt::Key_PageUp:
      return keycode::kPageUp;
    case Qt::Key_PageDown:
      return keycode::kPageDown;
    case Qt::Key_End:
      return keycode::kEnd;
    case Qt::Key_Home:
      return keycode::kHome;
    case Qt::Key_Left:
      return keycode::kLeft;
    case Qt::Key_Up:
      return keycode::kUp;
    case Qt::Key_Right:
      return keycode::kRight;
    case Qt::Key_Down:
      return keycode::kDown;
    case Qt::Key_Insert:
      return keycode::kInsert;
    case Qt::Key_Delete:
      return keycode::kDelete;
    default:
      break;
  }
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F12) return keycode::kF1 + (qt_key - Qt::Key_F1);
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return qt_key;  // same codes
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return qt_key;  // same codes
  return 0;
}

int ShiftStateOf(const QInputEvent& event) {
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  int shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= kShiftMask;
  if (modifiers & Qt::ControlModifier) shift |= kCtrlMask;
  if (modifiers & Qt::AltModifier) shift |= kAltMask;
  return shift;
}

void FlexGrid::keyPressEvent(QKeyEvent* event) {
  int code = KeyCodeOf(event->key());
  int shift = ShiftStateOf(*event);
  // Shift+Tab arrives as its own key, without the Shift it was typed with.
  if (event->key() == Qt::Key_Backtab) {
    code = keycode::kTab;
    shift |= kShiftMask;
  }
  if (code != 0) emit KeyDown(code, shift);
  if (code != 0) MoveByKey(code, shift);
  // Alt with a letter asks for a menu, even one that no menu takes: it types nothing.
  const QString typed = (event->modifiers() & Qt::AltModifier) ? QString() : event->text();
  if (!typed.isEmpty()) {
    const std::string bytes = FromQt(typed);
    // The Delete key arrives with the DEL character as its text; it types nothing, so it
    // is a KeyDown only, as the windows expect of it.
    if (bytes.size() == 1 && bytes[0] != kDeleteCharacter) {
      int ch = static_cast<unsigned char>(bytes[0]);
      emit KeyPress(ch);
    }
  }
  event->accept();
}

void FlexGrid::MoveByKey(int key_code, int shift) {
  if (!HasCurrentCell()) return;
  if (key_code == keycode::kTab) {
    const int c = ClampCol(col_ + ((shift & kShiftMask) != 0 ? -1 : 1));
    MoveCursor(row_, c, row_, c);
    scrollTo(model_->index(row_, c));
    return;
  }
  const bool extend = (shift & kShiftMask) != 0;
  const bool ctrl = (shift & kCtrlMask) != 0;
  int r = extend ? row_sel_ : row_;
  int c = extend ? col_sel_ : col_;
  const int page = std::max(1, viewport()->height() / std::max(1, rowHeight(r)) - 1);
  switch (key_code) {
    case keycode::kLeft:
      --c;
      break;
    case keycode::kRight:
      ++c;
      break;
    case keycode::kUp:
      --r;
      break;
    case keycode::kDown:
      ++r;
      break;
    case keycode::kPageUp:
      r -= page;
      break;
    case keycode::kPageDown:
      r += page;
      break;
    case keycode::kHome:
      c = fixed_cols_;
      if (ctrl) r = fixed_rows_;
      break;
    case keycode::kEnd:
      c = Cols() - 1;
      if (ctrl) r = Rows() - 1;
      break;
    default:
      return;
  }
  r = ClampRow(r);
  c = ClampCol(c);
  if (extend) {
    MoveCursor(row_, col_, r, c);
  } else {
    MoveCursor(r, c, r, c);
  }
  scrollTo(model_->index(r, c));
}

}  // namespace quarn
