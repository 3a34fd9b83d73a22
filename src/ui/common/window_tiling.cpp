#include "ui/common/window_tiling.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>

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

}  // namespace quarn
