#include "ui/grids/flow_grids.h"

#include <gtest/gtest.h>

#include "common/scripted_prompt.h"
#include "model/records.h"
#include "platform/flex_grid.h"
#include "ui/grids/room_grids.h"

namespace quarn {
namespace {

void Connect(BuildingRecord& b, int i, int j) {
  b.Neighbors[i][j] = kTrue;
  b.Neighbors[j][i] = kTrue;
}

BuildingRecord ThreeRooms() {
  BuildingRecord b;
  b.NumRooms = 3;
  b.RoomList[1].Name = "Hall";
  b.RoomList[2].Name = "Kitchen";
  b.RoomList[3].Name = "Bed";
  ScenarioRecord& s = b.Scenario;
  s.NaturalFromOutdoors = {0, 10, 20, 30};
  s.NaturalToOutdoors = {0, 5, 5, 5};
  return b;
}

TEST(OutdoorFlowGrid, TotalsRowReadsTotalTotalsAndTheSums) {
  const BuildingRecord b = ThreeRooms();
  FlexGrid grid;
  FillOutdoorFlowGrid(grid, b);
  ASSERT_EQ(grid.Rows(), 5);
  EXPECT_EQ(grid.Cols(), 4);
  EXPECT_EQ(grid.TextMatrix(0, 2), "Outdoor air entering\nm\xB3/h");
  EXPECT_EQ(grid.TextMatrix(0, 3), "Air leaving to outdoors\nm\xB3/h");
  EXPECT_EQ(grid.TextMatrix(2, 0), "2");
  EXPECT_EQ(grid.TextMatrix(2, 1), "Kitchen");
  EXPECT_EQ(grid.TextMatrix(2, 2), "20");
  EXPECT_EQ(grid.TextMatrix(4, 0), "Total");
  EXPECT_EQ(grid.TextMatrix(4, 1), "Totals");
  EXPECT_EQ(grid.TextMatrix(4, 2), "60");
  EXPECT_EQ(grid.TextMatrix(4, 3), "15");
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.Col(), 2);
}

TEST(FlowGrids, SizesInTwips) {
  // Sizes are kept in whole pixels of 15 twips, so they come back within half a pixel.
  BuildingRecord b = ThreeRooms();
  FlexGrid grid;
  FillOutdoorFlowGrid(grid, b);
  EXPECT_NEAR(grid.ColWidth(0), 1000, 8);
  EXPECT_NEAR(grid.ColWidth(1), 2000, 8);
  EXPECT_NEAR(grid.ColWidth(2), 1300, 8);
  EXPECT_NEAR(grid.ColWidth(3), 1300, 8);
  EXPECT_NEAR(grid.RowHeight(0), 650, 8);
  FlexGrid rooms;
  FillRoomToRoomFlowGrid(1, rooms, b, kNaturalFlowSet);
  EXPECT_EQ(rooms.Cols(), 5);
  EXPECT_EQ(rooms.TextMatrix(0, 2), "Flow entering current room from\nm\xB3/h");
  EXPECT_EQ(rooms.TextMatrix(0, 3), "Flow leaving current room to\nm\xB3/h");
  for (int c = 1; c <= 3; ++c) EXPECT_NEAR(rooms.ColWidth(c), 900, 8) << c;
}

TEST(OutdoorFlowGrid, ReadBackGivesTheShownFlowsExactlyAndTypedOnesByTheirLeadingNumber) {
  BuildingRecord b = ThreeRooms();
  b.Scenario.NaturalFromOutdoors[1] = 12.3456789f;
  FlexGrid grid;
  FillOutdoorFlowGrid(grid, b);
  grid.SetTextMatrix(2, 3, "12abc");
  grid.SetTextMatrix(3, 2, "");
  PerRoom<float> in{};
  PerRoom<float> out{};
  out[4] = 99;  // rooms the grid does not show are left alone
  ReadOutdoorFlowGrid(grid, b, in, out);
  EXPECT_EQ(in[1], 12.3456789f);
  EXPECT_FLOAT_EQ(out[2], 12.0f);
  EXPECT_FLOAT_EQ(in[3], 0.0f);
  EXPECT_FLOAT_EQ(out[3], 5.0f);
  EXPECT_FLOAT_EQ(out[4], 99.0f);
}

TEST(RoomFlowGrid, RoomWithoutNeighboursHasThreeRowsNaturalAndFourOtherwise) {
  const BuildingRecord b = ThreeRooms();
  FlexGrid grid;
  FillRoomToRoomFlowGrid(1, grid, b, kNaturalFlowSet);
  EXPECT_EQ(grid.Rows(), 3);
  EXPECT_EQ(grid.TextMatrix(1, 1), "Outdoors");
  EXPECT_EQ(grid.TextMatrix(2, 0), "Total");
  EXPECT_EQ(grid.TextMatrix(2, 1), "=");
  EXPECT_EQ(grid.TextMatrix(2, 2), "10");
  EXPECT_EQ(grid.TextMatrix(2, 3), "5");
  FillRoomToRoomFlowGrid(1, grid, b, kManagedFlowSet);
  EXPECT_EQ(grid.Rows(), 4);
  EXPECT_EQ(grid.TextMatrix(2, 1), "HVAC");
}

TEST(RoomFlowGrid, HVACSetShowsOutdoorAirExhaustSupplyReturnAndNeighbours) {
  BuildingRecord b = ThreeRooms();
  Connect(b, 1, 2);
  Connect(b, 2, 3);
  ScenarioRecord& s = b.Scenario;
  s.HVACOutdoorAir[2] = 7;
  s.HVACExhaust[2] = 3;
  s.HVACSupply[2] = 40;
  s.HVACReturn[2] = 35;
  s.HVACRoomFlows[1][2] = 11;  // into room 2 from room 1
  s.HVACRoomFlows[2][1] = 12;
  s.HVACRoomFlows[3][2] = 13;
  s.HVACRoomFlows[2][3] = 14;
  FlexGrid grid;
  const RoomFlowLabels labels = FillRoomToRoomFlowGrid(2, grid, b, kHVACFlowSet);
  EXPECT_EQ(labels.room_number, "2");
  EXPECT_EQ(labels.caption, "HVAC driven Room-to-Room flows");
  ASSERT_EQ(grid.Rows(), 6);
  EXPECT_EQ(grid.Cols(), 5);
  EXPECT_EQ(grid.TextMatrix(1, 0), "--");
  EXPECT_EQ(grid.TextMatrix(1, 2), "7");
  EXPECT_EQ(grid.TextMatrix(1, 3), "3");
  EXPECT_EQ(grid.TextMatrix(2, 0), "---");
  EXPECT_EQ(grid.TextMatrix(2, 2), "40");
  EXPECT_EQ(grid.TextMatrix(2, 3), "35");
  EXPECT_EQ(grid.TextMatrix(3, 0), "1");
  EXPECT_EQ(grid.TextMatrix(3, 1), "Hall");
  EXPECT_EQ(grid.TextMatrix(3, 2), "11");
  EXPECT_EQ(grid.TextMatrix(3, 3), "12");
  EXPECT_EQ(grid.TextMatrix(4, 0), "3");
  EXPECT_EQ(grid.TextMatrix(4, 2), "13");
  EXPECT_EQ(grid.TextMatrix(4, 3), "14");
  EXPECT_EQ(grid.TextMatrix(5, 2), "71");  // 7 + 40 + 11 + 13
  EXPECT_EQ(grid.TextMatrix(5, 3), "64");  // 3 + 35 + 12 + 14
  EXPECT_EQ(FillRoomToRoomFlowGrid(1, grid, b, kNaturalFlowSet).caption,
            "Natural driven Room-to-Room flows");
  EXPECT_EQ(FillRoomToRoomFlowGrid(1, grid, b, kManagedFlowSet).caption,
            "Managed Room-to-Room flows");
}

TEST(RoomFlowGrid, AnEditedNeighbourCountDoesNotChangeTheGrid) {
  BuildingRecord b = ThreeRooms();
  Connect(b, 1, 2);
  b.Scenario.NaturalRoomFlows[2][1] = 4;
  FlexGrid rooms;
  FillRoomGrid(rooms, b);
  rooms.SetTextMatrix(1, 6, " 5");  // typed into the room window
  quarn::testing::ScriptedPrompt prompt;
  ASSERT_TRUE(ReadRoomGrid(rooms, b, prompt));
  EXPECT_EQ(b.RoomList[1].NumNeighbors, 1);
  b.RoomList[1].NumNeighbors = 5;  // even a stored count that disagrees changes nothing
  FlexGrid grid;
  FillRoomToRoomFlowGrid(1, grid, b, kNaturalFlowSet);
  ASSERT_EQ(grid.Rows(), 4);
  EXPECT_EQ(grid.TextMatrix(2, 0), "2");
  EXPECT_EQ(grid.TextMatrix(2, 2), "4");
  EXPECT_EQ(grid.TextMatrix(3, 0), "Total");
  // A self-connection in the table is not a neighbour row.
  b.Neighbors[1][1] = kTrue;
  FillRoomToRoomFlowGrid(1, grid, b, kNaturalFlowSet);
  EXPECT_EQ(grid.Rows(), 4);
}

TEST(RoomFlowGrid, OneMatrixElementSeenFromBothRoomsWhenStepping) {
  BuildingRecord b = ThreeRooms();
  Connect(b, 1, 2);
  RoomFlowSet work = LoadRoomFlowSet(b.Scenario, kManagedFlowSet);
  FlexGrid grid;
  FillRoomFlowGrid(grid, b, work, 1, kManagedFlowSet);
  grid.SetTextMatrix(3, 3, "8.5");  // room 1 leaving to room 2
  grid.SetTextMatrix(2, 2, "30");   // from the HVAC system into room 1
  StoreRoomFlowGrid(grid, b, work, 1, kManagedFlowSet);
  FillRoomFlowGrid(grid, b, work, 2, kManagedFlowSet);
  EXPECT_EQ(grid.TextMatrix(3, 0), "1");
  EXPECT_EQ(grid.TextMatrix(3, 2), "8.5");  // room 2 entering from room 1
  StoreRoomFlowGrid(grid, b, work, 2, kManagedFlowSet);
  FillRoomFlowGrid(grid, b, work, 1, kManagedFlowSet);
  EXPECT_EQ(grid.TextMatrix(2, 2), "30");
  ReadRoomFlowGrids(work, kManagedFlowSet, b);
  EXPECT_FLOAT_EQ(b.Scenario.ManagedRoomFlows[1][2], 8.5f);
  EXPECT_FLOAT_EQ(b.Scenario.ManagedSupply[1], 30.0f);
}

TEST(RoomFlowGrid, NaturalReadBackLeavesHVACAndUnconnectedPairsUntouched) {
  BuildingRecord b = ThreeRooms();
  Connect(b, 1, 3);
  b.Scenario.HVACSupply[1] = 50;
  b.Scenario.HVACReturn[1] = 45;
  b.Scenario.NaturalRoomFlows[1][2] = 6;  // rooms 1 and 2 are not connected
  RoomFlowSet work = LoadRoomFlowSet(b.Scenario, kNaturalFlowSet);
  work.from_hvac[1] = 999;
  work.to_hvac[1] = 999;
  work.rooms[1][2] = 999;
  work.rooms[1][3] = 2;
  work.rooms[3][1] = 1;
  work.from_outdoors[2] = 21;
  work.to_outdoors[13] = 77;  // beyond NumRooms
  ReadRoomFlowGrids(work, kNaturalFlowSet, b);
  EXPECT_FLOAT_EQ(b.Scenario.HVACSupply[1], 50.0f);
  EXPECT_FLOAT_EQ(b.Scenario.HVACReturn[1], 45.0f);
  EXPECT_FLOAT_EQ(b.Scenario.NaturalRoomFlows[1][2], 6.0f);
  EXPECT_FLOAT_EQ(b.Scenario.NaturalRoomFlows[1][3], 2.0f);
  EXPECT_FLOAT_EQ(b.Scenario.NaturalRoomFlows[3][1], 1.0f);
  EXPECT_FLOAT_EQ(b.Scenario.NaturalFromOutdoors[2], 21.0f);
  EXPECT_FLOAT_EQ(b.Scenario.NaturalToOutdoors[13], 0.0f);
}

TEST(RoomFlowGrid, UnknownSetOrRoomChangesNothing) {
  BuildingRecord b = ThreeRooms();
  const BuildingRecord before = b;
  FlexGrid grid;
  grid.SetRows(9);
  EXPECT_TRUE(FillRoomToRoomFlowGrid(1, grid, b, 2).caption.empty());
  EXPECT_TRUE(FillRoomToRoomFlowGrid(4, grid, b, kNaturalFlowSet).caption.empty());
  EXPECT_EQ(grid.Rows(), 9);
  RoomFlowSet work;
  work.from_outdoors.fill(1);
  ReadRoomFlowGrids(work, 2, b);
  EXPECT_EQ(b.Scenario.NaturalFromOutdoors, before.Scenario.NaturalFromOutdoors);
  EXPECT_EQ(b.Scenario.ManagedFromOutdoors, before.Scenario.ManagedFromOutdoors);
  EXPECT_EQ(b.Scenario.HVACOutdoorAir, before.Scenario.HVACOutdoorAir);
}

}  // namespace
}  // namespace quarn
