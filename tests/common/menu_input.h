#pragma once

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <functional>
#include <initializer_list>

#include <gtest/gtest.h>

#include "platform/flex_grid.h"

// Real mouse and key input for the window tests that walk the program as a user does.
namespace quarn::testing {

inline bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 200 && !done(); ++i) QTest::qWait(5);
  return done();
}

inline QAction* ActionNamed(const QList<QAction*>& actions, const char* name) {
  for (QAction* a : actions) {
    if (a->objectName() == name) return a;
  }
  return nullptr;
}

// Chooses a menu item with the mouse: the title on the window's menu bar, then each item of
// the path (object names) in the menu that the previous click opened.
inline void ChooseMenu(QMainWindow& window, std::initializer_list<const char*> path) {
  QMenuBar* bar = window.menuBar();
  auto it = path.begin();
  QAction* action = ActionNamed(bar->actions(), *it);
  ASSERT_NE(action, nullptr) << *it;
  const QPoint at = bar->actionGeometry(action).center();
  QTest::mouseMove(bar, at);
  QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, at);
  for (++it; it != path.end(); ++it) {
    QMenu* menu = action->menu();
    ASSERT_NE(menu, nullptr) << *it;
    ASSERT_TRUE(WaitFor([menu] { return menu->isVisible(); })) << "menu before " << *it;
    action = ActionNamed(menu->actions(), *it);
    ASSERT_NE(action, nullptr) << *it;
    const QPoint item = menu->actionGeometry(action).center();
    QTest::mouseMove(menu, item);
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, item);
  }
  QTest::qWait(1);
}

inline void ClickCell(FlexGrid& grid, int r, int c) {
  const QModelIndex cell = grid.model()->index(r, c);
  grid.scrollTo(cell);
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier,
                    grid.visualRect(cell).center());
}

// Types the text key by key into whatever has the focus.
inline void TypeKeys(const char* text) {
  for (const char* ch = text; *ch != '\0'; ++ch) {
    QTest::keyClick(QApplication::focusWidget(), *ch);
  }
}

}  // namespace quarn::testing
