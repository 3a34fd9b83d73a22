#include "platform/window_registry.h"

#include <QMdiSubWindow>

namespace quarn {
namespace {

// Inside the frame a window is shown and hidden through its sub-window.
QWidget* Frame(QWidget* w) {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) return sub;
  return w;
}

}  // namespace

void WindowRegistry::HideOpenerWhileOpen(QWidget* child, QWidget* opener) {
  if (child == nullptr || opener == nullptr) return;
  QPointer<QWidget> guarded(opener);
  Frame(opener)->hide();
  QObject::connect(child, &QObject::destroyed, opener, [guarded] {
    if (guarded) Frame(guarded)->show();
  });
}

void WindowRegistry::DisableOpenerWhileOpen(QWidget* child, QWidget* opener) {
  if (child == nullptr || opener == nullptr) return;
  QPointer<QWidget> guarded(opener);
  // Inside the frame its sub-window goes out of use too: its close box would otherwise
  // close the opener under its child.
  QPointer<QWidget> frame(Frame(opener));
  opener->setEnabled(false);
  frame->setEnabled(false);
  QObject::connect(child, &QObject::destroyed, opener, [guarded, frame] {
    if (frame) frame->setEnabled(true);
    if (guarded) guarded->setEnabled(true);
  });
}

WindowRegistry& AppWindows() {
  static WindowRegistry registry;
  return registry;
}

}  // namespace quarn
