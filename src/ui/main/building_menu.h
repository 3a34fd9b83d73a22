#pragma once

#include <span>

#include "ui/common/menu_builder.h"

namespace quarn {

// The building window's menus, top to bottom, as the users' help files number them.
std::span<const MenuEntry> BuildingMenuTable();

}  // namespace quarn
