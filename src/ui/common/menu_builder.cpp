#include "ui/common/menu_builder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <vector>

#include "platform/qt_text.h"

namespace quarn {
std::vector<QAction*> BuildMenuLines(QMenuBar& bar, std::span<const MenuLine> lines) {
  std::vector<QAction*> actions;
  actions.reserve(lines.size());
  // The open menu at each depth; a line goes into the menu one level up.
  std::vector<QMenu*> open(3, nullptr);
  for (size_t i = 0; i < lines.size(); ++i) {
    const MenuLine& line = lines[i];
    const bool submenu = i + 1 < lines.size() && lines[i + 1].depth > line.depth;
    const QString caption = ToQt(line.caption);
    const bool fits = line.depth >= 0 && static_cast<size_t>(line.depth) < open.size();
    QMenu* parent = fits && line.depth > 0 ? open[static_cast<size_t>(line.depth - 1)] : nullptr;
    QAction* action = nullptr;
    if (!fits || (line.depth > 0 && parent == nullptr)) {
      // A line without a menu to go into is left out rather than put in the wrong place.
    } else if (submenu) {
      QMenu* menu = line.depth == 0 ? bar.addMenu(caption) : parent->addMenu(caption);
      menu->setObjectName(line.name);
      open[static_cast<size_t>(line.depth)] = menu;
      action = menu->menuAction();
    } else if (line.depth == 0) {
      action = bar.addAction(caption);
    } else if (std::string_view(line.caption) == "-") {
      action = parent->addSeparator();
    } else {
      action = parent->addAction(caption);
    }
    if (action != nullptr) action->setObjectName(line.name);
    actions.push_back(action);
  }
  return actions;
}

void BuildMenuBar(QMenuBar& bar, std::span<const MenuEntry> table) {
  std::vector<MenuLine> lines;
  lines.reserve(table.size());
  for (const MenuEntry& e : table) lines.push_back({e.depth, e.caption, e.name});
  const std::vector<QAction*> actions = BuildMenuLines(bar, lines);
  for (size_t i = 0; i < table.size(); ++i) {
    if (actions[i] != nullptr) actions[i]->setProperty("HelpContextID", table[i].help);
  }
}

}  // namespace quarn
