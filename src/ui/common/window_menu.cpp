#include "ui/common/window_menu.h"

#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <utility>
#include <vector>

#include "platform/flex_grid.h"

namespace quarn {

QMdiArea* AreaAbove(const QWidget* widget) {
  for (QWidget* w = widget != nullptr ? widget->parentWidget() : nullptr; w != nullptr;
       w = w->parentWidget()) {
    if (auto* area = qobject_cast<QMdiArea*>(w)) return area;
  }
  return nullptr;
}

QWidget* OuterFrame(QWidget* window) {
  if (window == nullptr) return nullptr;
  if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) return sub;
  return window;
}

void SettleSizeHint(QWidget& window) {
  // A grid filled just now widens its columns to its headings only when it is next drawn,
  // and its layout still holds the size it asked for before its columns were set: without
  // both the hint is the empty window's, a few narrow columns.
  for (FlexGrid* grid : window.findChildren<FlexGrid*>()) {
    if (grid->isVisible()) grid->FitHeadings();
    grid->updateGeometry();
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

void FitOuterFrame(QWidget* window) {
  QWidget* outer = OuterFrame(window);
  SettleSizeHint(*window);
  outer->resize(outer->sizeHint());
}

// Cascade only stacks the windows: Qt's own would also shrink or grow each to its size hint,
// which loses a size the user chose and can hide a window's columns.
void CascadeWindows(const QWidget* widget) {
  QMdiArea* area = AreaAbove(widget);
  if (area == nullptr) return;
  std::vector<std::pair<QPointer<QMdiSubWindow>, QSize>> sizes;
  for (QMdiSubWindow* sub : area->subWindowList()) sizes.emplace_back(sub, sub->size());
  area->cascadeSubWindows();
  for (const auto& [sub, size] : sizes) {
    if (sub && !sub->isMinimized() && !sub->isMaximized()) sub->resize(size);
  }
}

void TileWindows(const QWidget* widget) {
  if (QMdiArea* area = AreaAbove(widget)) area->tileSubWindows();
}

void MakeWindowList(QAction& item, QWidget& owner) {
  auto* list = new QMenu(&owner);
  list->setObjectName(item.objectName());
  list->setTitle(item.text());
  item.setMenu(list);
  QObject::connect(list, &QMenu::aboutToShow, &owner, [list, &owner] {
    list->clear();
    QMdiArea* area = AreaAbove(&owner);
    if (area == nullptr) return;
    for (QMdiSubWindow* sub : area->subWindowList()) {
      // A window hidden while a window it opened is open cannot be brought forward.
      if (sub->isHidden()) continue;
      QAction* a = list->addAction(sub->windowTitle());
      QObject::connect(a, &QAction::triggered, area, [area, window = QPointer<QMdiSubWindow>(sub)] {
        if (window) area->setActiveSubWindow(window);
      });
    }
  });
}

}  // namespace quarn
