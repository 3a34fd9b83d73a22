#include "ui/common/window_tiling.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <algorithm>

#include "platform/qt_text.h"
#include "text/number_read.h"
#include "ui/common/window_menu.h"

namespace quarn {
namespace {

enum class Direction { OneBelowTheOther, SideBySide };

void Tile(const QWidget* widget, Direction direction) {
  QMdiArea* area = AreaAbove(widget);
  if (area == nullptr) return;
  QList<QMdiSubWindow*> windows;
  // The topmost first, so that the window the user works in takes the first place.
  const QList<QMdiSubWindow*> stacked = area->subWindowList(QMdiArea::StackingOrder);
  for (auto it = stacked.rbegin(); it != stacked.rend(); ++it) {
    if ((*it)->isVisible() && !(*it)->isMinimized()) windows.push_back(*it);
  }
  if (windows.isEmpty()) return;
  const QRect space = area->viewport()->rect();
  const int n = static_cast<int>(windows.size());
  const int length = direction == Direction::OneBelowTheOther ? space.height() : space.width();
  for (int i = 0; i < n; ++i) {
    // Each edge at its share of the area, so that the windows end exactly at its far side.
    const int from = length * i / n;
    const int to = length * (i + 1) / n;
    QMdiSubWindow* sub = windows[i];
    if (sub->isMaximized()) sub->showNormal();
    if (direction == Direction::OneBelowTheOther) {
      sub->setGeometry(space.left(), space.top() + from, space.width(), to - from);
    } else {
      sub->setGeometry(space.left() + from, space.top(), to - from, space.height());
    }
  }
}

}  // namespace

void TileWindowsHorizontally(const QWidget* widget) {
  Tile(widget, Direction::OneBelowTheOther);
}

void TileWindowsVertically(const QWidget* widget) {
  Tile(widget, Direction::SideBySide);
}

namespace {

int Pixels(double value) {
  return RoundToInt32(value).value_or(0);
}

}  // namespace

QPoint CenteredFormPosition(const QSize& screen, const QSize& window) {
  const double top = screen.height() * 0.85 / 2.0 - window.height() / 2.0 +
                     150.0 / static_cast<double>(kTwipsPerPixel);
  const double left = screen.width() / 2.0 - window.width() / 2.0;
  return {Pixels(left), Pixels(top)};
}

void CenterForm(QWidget& window) {
  if (!window.isMinimized()) {
    QScreen* screen =
        window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
      const QRect area = screen->geometry();
      const QPoint at = CenteredFormPosition(area.size(), window.frameGeometry().size());
      window.move(area.topLeft() + at);
    }
  }
  while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
}

}  // namespace quarn
