#include "ui/common/window_menu.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>

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

void CascadeWindows(const QWidget* widget) {
  if (QMdiArea* area = AreaAbove(widget)) area->cascadeSubWindows();
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
      QAction* a = list->addAction(sub->windowTitle());
      QObject::connect(a, &QAction::triggered, area, [area, window = QPointer<QMdiSubWindow>(sub)] {
        if (window) area->setActiveSubWindow(window);
      });
    }
  });
}

}  // namespace quarn
