#pragma once

#include <algorithm>

#include "model/records.h"

namespace quarn {

// The counts of the records, held to the records' bounds: a count read from a damaged file or
// a grid can be anything, and the loops over it index fixed arrays.

inline int RoomBound(int num_rooms) {
  return std::clamp(num_rooms, 0, kMaxRooms);
}

inline int OccupantCount(const ScenarioRecord& scenario) {
  return std::clamp<int>(scenario.NumOccupants, 0, kMaxOccupants);
}

// The source slots in use in a room (0 the HVAC system).
inline int SourceSlotCount(const ScenarioRecord& scenario, int room) {
  return std::clamp<int>(scenario.NumSources[room], 0, kMaxSources);
}

inline int CycleCount(const SourceRecord& source) {
  return std::clamp<int>(source.NumCycles, 0, kMaxCycles);
}

}  // namespace quarn
