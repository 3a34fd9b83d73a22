#pragma once

#include <span>
#include <vector>

class QMenuBar;
class QAction;

namespace quarn {

// One line of a menu tree with help numbers (the building window's): its depth (0 a menu of the
// bar, 1 an item of it, 2 an item of a submenu), caption, object name and help context number (0
// none). An item followed by deeper items is a submenu.
struct MenuEntry {
  int depth;
  const char* caption;  // Windows-1252
  const char* name;
  int help;
};

// One line of any window's menu tree, as the bar is built from it: depth, caption
// (Windows-1252; "-" a separator) and object name.
struct MenuLine {
  int depth;
  const char* caption;
  const char* name;
};

// Fills the bar from the lines: a line followed by deeper lines is a submenu, a menu of the
// bar without items is a command of its own. Every action (a submenu's own action for a
// submenu) gets its line's name as objectName; the actions come back in the lines' order.
std::vector<QAction*> BuildMenuLines(QMenuBar& bar, std::span<const MenuLine> lines);

// Fills the bar from the table. Every item and submenu action gets its name as objectName
// and its help number in the property "HelpContextID"; submenus also carry the name.
void BuildMenuBar(QMenuBar& bar, std::span<const MenuEntry> table);

}  // namespace quarn
