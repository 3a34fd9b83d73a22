#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

// Keys and mouse events delivered as a user gives them: keys to whatever widget has the
// focus, clicks to a point of a widget. Window tests use these instead of calling the
// handlers, so that focus changes, swallowed keys and event order are what a user gets.
namespace quarn::testing {

inline void ProcessEvents() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// Shows a window and waits until it is the active one, so that focus changes happen.
inline bool ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  QApplication::setActiveWindow(&window);
  QElapsedTimer t;
  t.start();
  while (QApplication::activeWindow() != &window && t.elapsed() < 2000) {
    QApplication::processEvents();
  }
  ProcessEvents();
  return QApplication::activeWindow() == &window;
}

inline QWidget* FocusTarget(QWidget* fallback) {
  QWidget* w = QApplication::focusWidget();
  return w != nullptr ? w : fallback;
}

// One key press and release on the focused widget. `text` is what the key types.
inline void Key(int qt_key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier,
                QWidget* fallback = nullptr) {
  QWidget* target = FocusTarget(fallback);
  if (target == nullptr) return;
  QKeyEvent press(QEvent::KeyPress, qt_key, mods, text);
  QApplication::sendEvent(target, &press);
  target = FocusTarget(fallback);
  if (target == nullptr) return;
  QKeyEvent release(QEvent::KeyRelease, qt_key, mods, text);
  QApplication::sendEvent(target, &release);
  ProcessEvents();
}

// Types characters one key each, as the keyboard sends them.
inline void Type(const QString& chars) {
  for (QChar ch : chars) {
    int key = ch.toUpper().unicode();
    Key(key, QString(ch));
  }
}

inline void Enter() {
  Key(Qt::Key_Return, "\r");
}
inline void Escape() {
  Key(Qt::Key_Escape, QString(QChar(27)));
}

inline void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                  Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, mods);
  QApplication::sendEvent(w, &e);
}

inline void Click(QWidget* w, QPoint pos, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  Mouse(w, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton, mods);
  Mouse(w, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton, mods);
  ProcessEvents();
}

inline void DoubleClick(QWidget* w, QPoint pos) {
  Mouse(w, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
  Mouse(w, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
  Mouse(w, QEvent::MouseButtonDblClick, pos, Qt::LeftButton, Qt::LeftButton);
  Mouse(w, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
  ProcessEvents();
}

// Press at one point, move through the middle to another, release there.
inline void Drag(QWidget* w, QPoint from, QPoint to) {
  Mouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  Mouse(w, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
  Mouse(w, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
  Mouse(w, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
  ProcessEvents();
}

}  // namespace quarn::testing
