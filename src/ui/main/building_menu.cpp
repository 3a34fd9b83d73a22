#include "ui/main/building_menu.h"
#include "ui/main/menu_tables.h"

namespace quarn {

std::span<const MenuEntry> BuildingMenuTable() {
  return menus::kBuildingForm;
}

}  // namespace quarn
