#pragma once

#include <cstdint>
#include <string_view>

#include "model/records.h"

namespace quarn {

// The room number of a location name: "Outdoors" is 0, otherwise the lowest room 1 to
// NumRooms with exactly that name (case-sensitive); a name that matches no room is 0 too.
int16_t FindRoomNumber(const BuildingRecord& building, std::string_view location);

}  // namespace quarn
