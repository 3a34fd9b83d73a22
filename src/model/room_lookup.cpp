#include "model/room_lookup.h"

#include <algorithm>
#include <cctype>

#include "model/records.h"

namespace quarn {

namespace {

// Users type room names as they say them: "kitchen" is the room "Kitchen".
bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::optional<int16_t> RoomOfLocation(const BuildingRecord& building, std::string_view location) {
  if (SameName(location, "Outdoors")) return 0;
  // The count comes from a file: never look past the room table.
  const int rooms = RoomBound(building.NumRooms);
  for (int i = 1; i <= rooms; ++i) {
    if (SameName(building.RoomList[i].Name, location)) return static_cast<int16_t>(i);
  }
  return std::nullopt;
}

int16_t FindRoomNumber(const BuildingRecord& building, std::string_view location) {
  return RoomOfLocation(building, location).value_or(0);
}

std::optional<std::string> UnknownLocationMessage(const BuildingRecord& building,
                                                  const OccupantRecord& occupant) {
  for (int i = 1; i <= ActivityEntries(occupant); ++i) {
    const std::string& location = occupant.Location[i];
    if (location.empty() || RoomOfLocation(building, location)) continue;
    return "Error.  The location " + location + " of occupant " + occupant.Name +
           " is not a room of the building.  Enter the name of a room or Outdoors.";
  }
  return std::nullopt;
}

}  // namespace quarn
