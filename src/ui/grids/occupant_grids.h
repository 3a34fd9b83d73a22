#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/records.h"

namespace quarn {

class FlexGrid;

// The text boxes of the activity-pattern window that show one occupant.
struct OccupantBoxes {
  std::string cycle_time;
  std::string start_time;
  std::string end_time;
  std::string population;
  std::string occupant_name;
  std::string breathing_rate;
  std::string efficiency;
  std::string lifetime;
  std::string averaging_time;
  std::string weight;
};

// The occupant window's own copy of every occupant (slot 0 unused).
using OccupantArray = std::array<OccupantRecord, kMaxOccupants + 1>;

// Lays out the schedule grid and shows occupant `occupant` of the scenario in it and in
// the boxes. The number is lowered to NumOccupants; when that leaves no occupant the grid
// stays hidden with only its row numbers written and the boxes keep their texts. Showing
// an occupant refreshes the room numbers of its schedule from the current room names.
void FillOccupantGrid(FlexGrid& grid, int16_t& occupant, BuildingRecord& building,
                      OccupantBoxes& boxes);

// Copies the window's occupants 1 to NumOccupants, whole records, into the scenario.
void StoreOccupants(const OccupantArray& occupants, ScenarioRecord& scenario);

}  // namespace quarn
