#include "ui/grids/occupant_grids.h"

#include <gtest/gtest.h>

#include "model/room_lookup.h"
#include "platform/flex_grid.h"

namespace quarn {
namespace {

BuildingRecord TwoOccupants() {
  BuildingRecord b;
  b.NumRooms = 3;
  b.RoomList[1].Name = "Kitchen";
  b.RoomList[2].Name = "Bedroom";
  b.RoomList[3].Name = "Kitchen";  // a repeated name finds the lower room
  b.RoomList[4].Name = "Attic";    // beyond NumRooms
  ScenarioRecord& s = b.Scenario;
  s.NumOccupants = 2;
  for (int i = 1; i <= 3; ++i) {
    s.Occupants[i].Name = "Occupant " + std::to_string(i);
    s.Occupants[i].Weight = 60.5f + static_cast<float>(i);
  }
  OccupantRecord& o = s.Occupants[2];
  o.BreathingRate = 0.5f;
  o.EfficiencyFactor = 1;
  o.Population = 1234.5f;
  o.CycleLength = 24;
  o.Lifetime = 70;
  o.TimeEnter[1] = 0;
  o.TimeLeave[1] = 7.5f;
  o.Location[1] = "Bedroom";
  o.LocationRoom[1] = 9;  // stale: recomputed from the name
  o.TimeEnter[2] = 7.5f;
  o.TimeLeave[2] = 8.25f;
  o.Location[2] = "Kitchen";
  o.TimeEnter[3] = 8.25f;
  o.TimeLeave[3] = 17;
  o.Location[3] = "Outdoors";
  o.LocationRoom[5] = 4;  // empty location: left as it is
  return b;
}

TEST(FillOccupantGrid, NoOccupantsLeavesTheGridHiddenWithOnlyRowNumbers) {
  BuildingRecord b = TwoOccupants();
  b.Scenario.NumOccupants = 0;
  FlexGrid grid;
  grid.show();
  OccupantBoxes boxes;
  boxes.weight = "untouched";
  int16_t occupant = 1;
  FillOccupantGrid(grid, occupant, b, boxes);
  EXPECT_EQ(occupant, 0);
  EXPECT_TRUE(grid.isHidden());
  EXPECT_EQ(grid.Rows(), 30);
  EXPECT_EQ(grid.Cols(), 5);
  EXPECT_EQ(grid.TextMatrix(1, 0), " 1");
  EXPECT_EQ(grid.TextMatrix(29, 0), " 29");
  EXPECT_EQ(grid.TextMatrix(0, 1), "");
  EXPECT_EQ(boxes.weight, "untouched");
}

TEST(FillOccupantGrid, OccupantAboveTheCountShowsTheLastOne) {
  BuildingRecord b = TwoOccupants();
  FlexGrid grid;
  OccupantBoxes boxes;
  int16_t occupant = 3;
  FillOccupantGrid(grid, occupant, b, boxes);
  EXPECT_EQ(occupant, 2);
  EXPECT_FALSE(grid.isHidden());
  EXPECT_EQ(boxes.occupant_name, "Occupant 2");
  EXPECT_EQ(boxes.breathing_rate, " .5");
  EXPECT_EQ(boxes.efficiency, " 1");
  EXPECT_EQ(boxes.cycle_time, "24");
  EXPECT_EQ(boxes.population, "1.2345E3");
  EXPECT_EQ(boxes.weight, "62.5");
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.Col(), 1);
}

TEST(FillOccupantGrid, ScheduleRowsAndRoomNumbersFromTheNames) {
  BuildingRecord b = TwoOccupants();
  FlexGrid grid;
  OccupantBoxes boxes;
  int16_t occupant = 2;
  FillOccupantGrid(grid, occupant, b, boxes);
  const char* headers[5] = {"Time #", "Time Enter", "Time Leave", "Location", "Room NR"};
  for (int c = 0; c < 5; ++c) {
    EXPECT_EQ(grid.TextMatrix(0, c), headers[c]);
    EXPECT_NEAR(grid.ColWidth(c), 1100, 15);  // whole pixels
  }
  EXPECT_EQ(grid.TextMatrix(1, 1), " 0");
  EXPECT_EQ(grid.TextMatrix(1, 2), " 7.5");
  EXPECT_EQ(grid.TextMatrix(2, 2), " 8.25");
  EXPECT_EQ(grid.TextMatrix(1, 3), "Bedroom");
  EXPECT_EQ(grid.TextMatrix(1, 4), "2");
  EXPECT_EQ(grid.TextMatrix(2, 4), "1");  // first of the two kitchens
  EXPECT_EQ(grid.TextMatrix(3, 4), "0");  // outdoors
  EXPECT_EQ(grid.TextMatrix(5, 4), "");   // no location
  const OccupantRecord& o = b.Scenario.Occupants[2];
  EXPECT_EQ(o.LocationRoom[1], 2);  // written back into the record
  EXPECT_EQ(o.LocationRoom[5], 4);
  EXPECT_EQ(grid.TextMatrix(26, 0), " 26");
  EXPECT_EQ(grid.TextMatrix(26, 1), "");
}

TEST(FillOccupantGrid, WeightZeroOrNegativeShows70AndKeepsTheRecord) {
  for (float w : {0.0f, -5.0f}) {
    BuildingRecord b = TwoOccupants();
    b.Scenario.Occupants[1].Weight = w;
    FlexGrid grid;
    OccupantBoxes boxes;
    int16_t occupant = 1;
    FillOccupantGrid(grid, occupant, b, boxes);
    EXPECT_EQ(boxes.weight, "70");
    EXPECT_EQ(b.Scenario.Occupants[1].Weight, w);
  }
}

TEST(StoreOccupants, CopiesWholeRecordsOfOccupantsInUseAndNeverSlotZero) {
  BuildingRecord b = TwoOccupants();
  OccupantArray window;
  for (int i = 0; i <= 3; ++i) {
    window[i].Name = "Window " + std::to_string(i);
    window[i].Location[24] = "Bedroom";
    window[i].TimeLeave[24] = 23.5f;
  }
  b.Scenario.Occupants[0].Name = "slot zero";
  StoreOccupants(window, b.Scenario);
  EXPECT_EQ(b.Scenario.Occupants[0].Name, "slot zero");
  EXPECT_EQ(b.Scenario.Occupants[1].Name, "Window 1");
  EXPECT_EQ(b.Scenario.Occupants[2].Location[24], "Bedroom");
  EXPECT_EQ(b.Scenario.Occupants[2].TimeLeave[24], 23.5f);
  EXPECT_EQ(b.Scenario.Occupants[3].Name, "Occupant 3");  // above NumOccupants

  b.Scenario.NumOccupants = 0;
  window[1].Name = "again";
  StoreOccupants(window, b.Scenario);
  EXPECT_EQ(b.Scenario.Occupants[1].Name, "Window 1");
  b.Scenario.NumOccupants = 40;  // from a damaged file: stays inside the table
  StoreOccupants(window, b.Scenario);
  EXPECT_EQ(b.Scenario.Occupants[3].Name, "Window 3");
}

TEST(FindRoomNumber, OutdoorsNamesAndCase) {
  const BuildingRecord b = TwoOccupants();
  EXPECT_EQ(FindRoomNumber(b, "Outdoors"), 0);
  EXPECT_EQ(FindRoomNumber(b, "Bedroom"), 2);
  EXPECT_EQ(FindRoomNumber(b, "Kitchen"), 1);
  EXPECT_EQ(FindRoomNumber(b, "kitchen"), 1);  // as users type it
  EXPECT_EQ(FindRoomNumber(b, "outdoors"), 0);
  EXPECT_EQ(FindRoomNumber(b, "Attic"), 0);  // room above NumRooms
  EXPECT_EQ(FindRoomNumber(b, "Bedroom "), 0);
}

}  // namespace
}  // namespace quarn
