#include "ui/grids/occupant_grids.h"

#include <algorithm>

#include "model/room_lookup.h"
#include "platform/flex_grid.h"
#include "text/number_text.h"

namespace quarn {

namespace {

constexpr int kScheduleRows = 30;  // entries 1 to 24 and five spare numbered rows
constexpr int kScheduleCols = 5;
constexpr int kColumnTwips = 1100;

void FillBoxes(const OccupantRecord& o, OccupantBoxes& boxes) {
  boxes.cycle_time = FormatSingle(o.CycleLength);
  boxes.start_time = FormatSingle(o.StartTime);
  boxes.end_time = FormatSingle(o.EndTime);
  boxes.population = FormatPattern(o.Population, "0.0###E-");
  boxes.occupant_name = o.Name;
  boxes.breathing_rate = SignSingle(o.BreathingRate);
  boxes.efficiency = SignSingle(o.EfficiencyFactor);
  boxes.lifetime = FormatSingle(o.Lifetime);
  boxes.averaging_time = FormatSingle(o.AveragingTime);
  // An unset weight shows the standard adult body weight; the record keeps what it holds
  // until the user transfers the box.
  boxes.weight = o.Weight > 0 ? FormatSingle(o.Weight) : "70";
}

}  // namespace

void FillOccupantGrid(FlexGrid& grid, int16_t& occupant, BuildingRecord& building,
                      OccupantBoxes& boxes) {
  grid.hide();
  grid.SetCols(kScheduleCols);
  grid.SetRows(kScheduleRows);
  for (int r = 1; r < grid.Rows(); ++r) grid.SetTextMatrix(r, 0, SignSingle(static_cast<float>(r)));

  ScenarioRecord& scenario = building.Scenario;
  const int count = OccupantCount(scenario);
  if (occupant > count) occupant = static_cast<int16_t>(count);
  if (occupant < 1) return;  // nobody to show: the grid stays hidden

  OccupantRecord& o = scenario.Occupants[static_cast<size_t>(occupant)];
  FillBoxes(o, boxes);
  for (int c = 0; c < kScheduleCols; ++c) grid.SetColWidth(c, kColumnTwips);

  const char* headers[kScheduleCols] = {"Time #", "Time Enter", "Time Leave", "Location",
                                        "Room NR"};
  for (int c = 0; c < kScheduleCols; ++c) grid.SetTextMatrix(0, c, headers[c]);

  for (int i = 1; i <= kMaxSchedule; ++i) {
    grid.SetNumber(i, 1, o.TimeEnter[i], SignSingle(o.TimeEnter[i]));
    grid.SetNumber(i, 2, o.TimeLeave[i], SignSingle(o.TimeLeave[i]));
    grid.SetTextMatrix(i, 3, o.Location[i]);
    if (o.Location[i].empty()) {
      grid.SetTextMatrix(i, 4, "");
    } else {
      // The room is found by name each time, so a renumbered building still puts the
      // occupant in the room the user named.
      o.LocationRoom[i] = FindRoomNumber(building, o.Location[i]);
      grid.SetNumber(i, 4, o.LocationRoom[i], FormatSingle(o.LocationRoom[i]));
    }
  }
  grid.SetRowCol(1, 1);
  grid.show();
}

void StoreOccupants(const OccupantArray& occupants, ScenarioRecord& scenario) {
  const int count = OccupantCount(scenario);
  for (int i = 1; i <= count; ++i) scenario.Occupants[i] = occupants[i];
}

}  // namespace quarn
