#include "model/room_lookup.h"

#include <algorithm>

namespace quarn {

int16_t FindRoomNumber(const BuildingRecord& building, std::string_view location) {
  if (location == "Outdoors") return 0;
  // The count comes from a file: never look past the room table.
  const int rooms = std::clamp<int>(building.NumRooms, 0, kMaxRooms);
  for (int i = 1; i <= rooms; ++i) {
    if (building.RoomList[i].Name == location) return static_cast<int16_t>(i);
  }
  return 0;
}

}  // namespace quarn
