#include "platform/window_registry.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

namespace quarn {
namespace {

// Inside the frame a window is shown and hidden through its sub-window.
QWidget* Frame(QWidget* w) {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) return sub;
  return w;
}

// The window the user comes back to when its child closes, rather than whichever the frame
// would pick (the building window, over the scenario editor). Nothing while the program
// closes its frame.
void BringBack(QWidget* frame, QWidget* window) {
  if (frame == nullptr || window == nullptr || !frame->isVisible() ||
      !frame->window()->isVisible()) {
    return;
  }
  if (auto* sub = qobject_cast<QMdiSubWindow*>(frame)) {
    if (QMdiArea* area = sub->mdiArea()) area->setActiveSubWindow(sub);
  }
  frame->raise();
  if (!window->isActiveWindow()) window->activateWindow();
}

}  // namespace

void WindowRegistry::HideOpenerWhileOpen(QWidget* child, QWidget* opener) {
  if (child == nullptr || opener == nullptr) return;
  QPointer<QWidget> guarded(opener);
  Frame(opener)->hide();
  QObject::connect(child, &QObject::destroyed, opener, [guarded] {
    if (!guarded) return;
    Frame(guarded)->show();
    BringBack(Frame(guarded), guarded);
  });
}

void WindowRegistry::DisableOpenerWhileOpen(QWidget* child, QWidget* opener) {
  if (child == nullptr || opener == nullptr) return;
  QPointer<QWidget> guarded(opener);
  // Inside the frame its sub-window goes out of use too: its close box would otherwise
  // close the opener under its child.
  QPointer<QWidget> frame(Frame(opener));
  // The control the user worked in gets the keys back when the child has gone (a grid that
  // Down and F8 move in again), once the opener has come to the front.
  QPointer<QWidget> focus(QApplication::focusWidget());
  if (focus && !opener->isAncestorOf(focus)) focus = nullptr;
  opener->setEnabled(false);
  frame->setEnabled(false);
  QObject::connect(child, &QObject::destroyed, opener, [guarded, frame, focus] {
    if (frame) frame->setEnabled(true);
    if (guarded) guarded->setEnabled(true);
    BringBack(frame, guarded);
    if (!focus) return;
    QTimer::singleShot(0, focus, [focus, frame, guarded] {
      if (!focus || !focus->isVisible() || !focus->isEnabled()) return;
      // Only where the keys went nowhere: not once the user has clicked on somewhere.
      QWidget* now = QApplication::focusWidget();
      if (now != nullptr && now != frame && now != guarded) return;
      focus->setFocus(Qt::OtherFocusReason);
    });
  });
}

WindowRegistry& AppWindows() {
  static WindowRegistry registry;
  return registry;
}

}  // namespace quarn
