#include "platform/hourglass.h"

#include <QCursor>
#include <QGuiApplication>

namespace quarn {

Hourglass::Hourglass() {
  QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

Hourglass::~Hourglass() {
  QGuiApplication::restoreOverrideCursor();
}

}  // namespace quarn
