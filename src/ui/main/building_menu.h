#pragma once

#include <span>

class QMenuBar;
class QAction;

namespace quarn {

// One line of the building window's menu tree: its depth (0 a menu of the bar, 1 an item
// of it, 2 an item of a submenu), caption, object name and help context number (0 none).
// An item followed by deeper items is a submenu.
struct MenuEntry {
  int depth;
  const char* caption;  // Windows-1252
  const char* name;
  int help;
};

std::span<const MenuEntry> BuildingMenuTable();

// Fills the bar from the table. Every item and submenu action gets its name as objectName
// and its help number in the property "HelpContextID"; submenus also carry the name.
void BuildMenuBar(QMenuBar& bar, std::span<const MenuEntry> table);

}  // namespace quarn
