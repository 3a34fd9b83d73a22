#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/records.h"

namespace quarn {

// True when two different rooms are neighbours in the building's table: the only pairs that
// room-to-room flows run between.
inline bool RoomsConnected(const BuildingRecord& building, int from, int to) {
  return from != to && building.Neighbors[from][to] != 0;
}

// The room number of a location name, whatever its letter case: "Outdoors" is 0, otherwise
// the lowest room 1 to NumRooms of that name; none for a name that matches no room.
std::optional<int16_t> RoomOfLocation(const BuildingRecord& building, std::string_view location);
// The same with 0 for a name that matches no room.
int16_t FindRoomNumber(const BuildingRecord& building, std::string_view location);

// The message that refuses an activity pattern with a location that is neither a room of
// the building nor the outdoors; none when every location of the pattern is found. An empty
// location is left to the pattern checks.
std::optional<std::string> UnknownLocationMessage(const BuildingRecord& building,
                                                  const OccupantRecord& occupant);

}  // namespace quarn
