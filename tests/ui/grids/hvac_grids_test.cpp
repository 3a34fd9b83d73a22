#include "ui/grids/hvac_grids.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QColor>

#include "model/records.h"
#include "platform/flex_grid.h"

namespace quarn {
namespace {

// The example of one room: outdoor air 100, make-up 40, supply 100, return 60, exhaust 30.
BuildingRecord OneRoom() {
  BuildingRecord b;
  b.NumRooms = 1;
  b.RoomList[1].Name = "Office";
  ScenarioRecord& s = b.Scenario;
  s.HVACOutdoorAirTotal = 100;
  s.HVACMakeUpTotal = 40;
  s.HVACSupply[1] = 100;
  s.HVACReturn[1] = 60;
  s.HVACExhaust[1] = 30;
  return b;
}

BuildingRecord ThreeRoomsOddValues() {
  BuildingRecord b;
  b.NumRooms = 3;
  ScenarioRecord& s = b.Scenario;
  for (int r = 1; r <= 3; ++r) {
    b.RoomList[r].Name = "R" + std::to_string(r);
    s.HVACSupply[r] = 100.123456f * r;
    s.HVACReturn[r] = 1234.56789f / r;
    s.HVACExhaust[r] = 0.1f * r;
    s.ManagedSupply[r] = 12.3456789f + r;
    s.ManagedReturn[r] = 1e-3f * r;
    s.ManagedToOutdoors[r] = 98765.4321f - r;
  }
  s.HVACOutdoorAirTotal = 1.0f / 3.0f;
  s.HVACMakeUpTotal = 2000.0001f;
  ManagedIntakeTotal(s) = 333.3333f;
  ManagedExhaustTotal(s) = 2.0f / 3.0f;
  ManagedPeriodStart(s) = 1.2345678f;
  ManagedPeriodEnd(s) = 24.000001f;
  return b;
}

void ExpectBaseFlowsEqual(const ScenarioRecord& got, const ScenarioRecord& want) {
  EXPECT_EQ(got.HVACOutdoorAirTotal, want.HVACOutdoorAirTotal);
  EXPECT_EQ(got.HVACMakeUpTotal, want.HVACMakeUpTotal);
  EXPECT_EQ(got.HVACSupply, want.HVACSupply);
  EXPECT_EQ(got.HVACReturn, want.HVACReturn);
  EXPECT_EQ(got.HVACExhaust, want.HVACExhaust);
}

void ExpectManagedFlowsEqual(const ScenarioRecord& got, const ScenarioRecord& want) {
  EXPECT_EQ(ManagedIntakeTotal(got), ManagedIntakeTotal(want));
  EXPECT_EQ(ManagedExhaustTotal(got), ManagedExhaustTotal(want));
  EXPECT_EQ(ManagedPeriodStart(got), ManagedPeriodStart(want));
  EXPECT_EQ(ManagedPeriodEnd(got), ManagedPeriodEnd(want));
  EXPECT_EQ(got.ManagedSupply, want.ManagedSupply);
  EXPECT_EQ(got.ManagedReturn, want.ManagedReturn);
  EXPECT_EQ(got.ManagedToOutdoors, want.ManagedToOutdoors);
}

TEST(BaseHVACGrid, LayoutOfOneRoom) {
  const BuildingRecord b = OneRoom();
  FlexGrid grid;
  SetupHVACRoomFlowGrid(grid, b);
  EXPECT_EQ(grid.Rows(), 5);
  EXPECT_EQ(grid.Cols(), 6);
  EXPECT_EQ(grid.TextMatrix(3, 1), "Total");
  EXPECT_EQ(grid.TextMatrix(4, 0), "Makeup");
  FillHVACFlowGrid(grid, b);
  EXPECT_EQ(grid.Cols(), 5);
  EXPECT_EQ(grid.TextMatrix(0, 4), "Exhaust\nm\xB3/h");
  EXPECT_EQ(grid.TextMatrix(1, 1), "Outdoors");
  EXPECT_EQ(grid.TextMatrix(1, 4), "----");
  EXPECT_EQ(grid.TextMatrix(2, 0), "1");
  EXPECT_EQ(grid.TextMatrix(2, 1), "Office");
  EXPECT_EQ(grid.TextMatrix(2, 3), "60");
  EXPECT_EQ(grid.TextMatrix(3, 0), "--");
  EXPECT_EQ(grid.TextMatrix(3, 1), "Totals");
  EXPECT_EQ(grid.CellBackColorAt(2, 2), QColor(255, 255, 0));
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.Col(), 2);
}

// The totals rows mean the same at the opening and after any edit: they changed meaning at
// the first re-totalling (an exhaust total of 130, then 30).
TEST(BaseHVACGrid, OpeningTotalsAndTheTotalsAfterAnEdit) {
  const BuildingRecord b = OneRoom();
  FlexGrid grid;
  SetupHVACRoomFlowGrid(grid, b);
  FillHVACFlowGrid(grid, b);
  const auto rows = [&grid] {
    std::vector<std::string> texts;
    for (int r = 3; r <= 4; ++r)
      for (int c = 0; c < 5; ++c) texts.push_back(grid.TextMatrix(r, c));
    return texts;
  };
  // Room supply 100; return 40 make-up + 60; make-up 40 - outdoor 100 - exhaust 30 = -90.
  const std::vector<std::string> opening{"--",     "Totals", "100",         "100",   "",
                                         "Makeup", "40.0",   "Outdoor Bal", "-90.0", ""};
  EXPECT_EQ(rows(), opening);
  FormatFlowGrid(grid, HVACGridLayout::Base);
  EXPECT_EQ(rows(), opening);

  grid.SetTextMatrix(2, 4, "50");
  FormatFlowGrid(grid, HVACGridLayout::Base);
  EXPECT_EQ(grid.TextMatrix(4, 3), "-110.0");
}

TEST(BaseHVACGrid, TotalFlowIsComputedNotReadFromTheGroupedTotalsCell) {
  BuildingRecord b = OneRoom();
  b.Scenario.HVACSupply[1] = 1100;
  FlexGrid grid;
  SetupHVACRoomFlowGrid(grid, b);
  FillHVACFlowGrid(grid, b);
  EXPECT_EQ(grid.TextMatrix(3, 2), "1100");
  ReadHVACFlowGrid(grid, b);
  EXPECT_FLOAT_EQ(b.Scenario.HVACTotalFlow, 1200.0f);
  // Typed values: outdoor supply 10 and return 30 are stored whatever the totals show.
  grid.SetTextMatrix(1, 2, "10");
  grid.SetTextMatrix(1, 3, "30");
  grid.SetTextMatrix(2, 2, "12 cfm");
  ReadHVACFlowGrid(grid, b);
  EXPECT_FLOAT_EQ(b.Scenario.HVACOutdoorAirTotal, 10.0f);
  EXPECT_FLOAT_EQ(b.Scenario.HVACMakeUpTotal, 30.0f);
  EXPECT_FLOAT_EQ(b.Scenario.HVACSupply[1], 12.0f);
  EXPECT_FLOAT_EQ(b.Scenario.HVACTotalFlow, 22.0f);
}

TEST(BaseHVACGrid, FillThenReadGivesTheSameRecordAfterAnyNumberOfRefreshes) {
  BuildingRecord b = ThreeRoomsOddValues();
  const BuildingRecord before = b;
  FlexGrid grid;
  SetupHVACRoomFlowGrid(grid, b);
  FillHVACFlowGrid(grid, b);
  for (int i = 0; i < 3; ++i) FormatFlowGrid(grid, HVACGridLayout::Base);
  AddFlowBalanceColumns(grid, HVACGridLayout::Base);
  ReadHVACFlowGrid(grid, b);
  ExpectBaseFlowsEqual(b.Scenario, before.Scenario);
  ExpectManagedFlowsEqual(b.Scenario, before.Scenario);
  EXPECT_FLOAT_EQ(b.Scenario.HVACTotalFlow, 1.0f / 3.0f + 100.123456f * 6);
}

TEST(ManagedHVACGrid, LayoutIsOneRowLowerAndOneColumnRightWithTotalsBelowTheRooms) {
  const BuildingRecord b = ThreeRoomsOddValues();
  FlexGrid grid;
  SetupManagedFlowGrid(grid, b);
  const ManagedTimes times = FillManagedFlowGrid(grid, b);
  EXPECT_EQ(times.start.text, "1.234568");
  EXPECT_EQ(times.stop.text, "24");
  ASSERT_EQ(grid.Rows(), 3 + 5);
  EXPECT_EQ(grid.Cols(), 6);
  EXPECT_EQ(grid.TextMatrix(1, 1), "Room #");
  EXPECT_EQ(grid.TextMatrix(1, 5), "Exhaust\nm\xB3/h");
  EXPECT_EQ(grid.TextMatrix(2, 2), "Outdoors");
  EXPECT_EQ(grid.TextMatrix(2, 5), "----");
  EXPECT_EQ(grid.TextMatrix(5, 1), "3");  // room 3, the last room
  EXPECT_EQ(grid.TextMatrix(5, 2), "R3");
  EXPECT_EQ(grid.TextMatrix(6, 1), "--");
  EXPECT_EQ(grid.TextMatrix(6, 2), "Totals");
  EXPECT_EQ(grid.TextMatrix(7, 1), "Makeup");
  EXPECT_EQ(grid.TextMatrix(7, 2), "Make up");
  EXPECT_EQ(grid.TextMatrix(7, 3), "333.33");
  EXPECT_EQ(grid.CellBackColorAt(3, 3), QColor(255, 255, 0));
  EXPECT_EQ(grid.Row(), 2);
  EXPECT_EQ(grid.Col(), 3);
}

TEST(ManagedHVACGrid, SetUpLabelsTotalAndMakeupInColumnOneBelowTheRooms) {
  const BuildingRecord b = ThreeRoomsOddValues();
  FlexGrid grid;
  SetupManagedFlowGrid(grid, b);
  ASSERT_EQ(grid.Rows(), 3 + 5);
  EXPECT_EQ(grid.Cols(), 6);
  EXPECT_EQ(grid.TextMatrix(1, 3), "Supply\nm\xB3/h");
  EXPECT_EQ(grid.TextMatrix(6, 1), "Total");
  EXPECT_EQ(grid.TextMatrix(6, 2), "");
  EXPECT_EQ(grid.TextMatrix(7, 1), "Makeup");
}

TEST(ManagedHVACGrid, TotalsFollowTheManagedColumns) {
  BuildingRecord b;
  b.NumRooms = 1;
  ScenarioRecord& s = b.Scenario;
  ManagedExhaustTotal(s) = 100;  // the Outdoors row's supply
  ManagedIntakeTotal(s) = 40;    // its return (make-up)
  s.ManagedSupply[1] = 100;
  s.ManagedReturn[1] = 60;
  s.ManagedToOutdoors[1] = 30;
  FlexGrid grid;
  SetupManagedFlowGrid(grid, b);
  FillManagedFlowGrid(grid, b);
  EXPECT_EQ(grid.TextMatrix(4, 3), "200.0");
  EXPECT_EQ(grid.TextMatrix(4, 4), "100.0");
  EXPECT_EQ(grid.TextMatrix(4, 5), "130.0");
  EXPECT_EQ(grid.TextMatrix(5, 5), "-90.0");
  FormatFlowGrid(grid, HVACGridLayout::Managed);
  EXPECT_EQ(grid.TextMatrix(4, 5), "30.0");
  EXPECT_EQ(grid.TextMatrix(5, 1), "Makeup");
  EXPECT_EQ(grid.TextMatrix(5, 2), "40.0");
  EXPECT_EQ(grid.TextMatrix(5, 3), "Out Bal");
  EXPECT_EQ(grid.TextMatrix(5, 4), "-90.0");
  EXPECT_EQ(grid.TextMatrix(3, 3), "100");  // the room row is untouched
  EXPECT_EQ(grid.TextMatrix(3, 4), "60");
}

TEST(ManagedHVACGrid, FillThenReadGivesTheSameRecordRoomNIncluded) {
  BuildingRecord b = ThreeRoomsOddValues();
  const BuildingRecord before = b;
  FlexGrid grid;
  SetupManagedFlowGrid(grid, b);
  const ManagedTimes times = FillManagedFlowGrid(grid, b);
  for (int i = 0; i < 4; ++i) FormatFlowGrid(grid, HVACGridLayout::Managed);
  ReadManagedFlowGrid(grid, times, times.start.text, times.stop.text, b);
  ExpectManagedFlowsEqual(b.Scenario, before.Scenario);
  ExpectBaseFlowsEqual(b.Scenario, before.Scenario);
  float supply = ManagedExhaustTotal(before.Scenario);
  for (int r = 1; r <= 3; ++r) supply += before.Scenario.ManagedSupply[r];
  EXPECT_FLOAT_EQ(b.Scenario.HVACTotalFlow, supply);
}

TEST(ManagedHVACGrid, TypedTimesAreReadFromTheirBoxes) {
  BuildingRecord b = ThreeRoomsOddValues();
  FlexGrid grid;
  SetupManagedFlowGrid(grid, b);
  const ManagedTimes times = FillManagedFlowGrid(grid, b);
  ReadManagedFlowGrid(grid, times, "2.5", "8 h", b);
  EXPECT_FLOAT_EQ(ManagedPeriodStart(b.Scenario), 2.5f);
  EXPECT_FLOAT_EQ(ManagedPeriodEnd(b.Scenario), 8.0f);
}

TEST(ManagedHVACGrid, TimeBoxesReadTheirLeadingNumberWithoutDroppingCommas) {
  // The boxes show plain numbers, never grouping: a comma ends the number, so "1,5" is 1
  // and not 15, and "1,000" is 1.
  BuildingRecord b = ThreeRoomsOddValues();
  FlexGrid grid;
  SetupManagedFlowGrid(grid, b);
  const ManagedTimes times = FillManagedFlowGrid(grid, b);
  ReadManagedFlowGrid(grid, times, "1,5", "1,000", b);
  EXPECT_FLOAT_EQ(ManagedPeriodStart(b.Scenario), 1.0f);
  EXPECT_FLOAT_EQ(ManagedPeriodEnd(b.Scenario), 1.0f);
}

}  // namespace
}  // namespace quarn
