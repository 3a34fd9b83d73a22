#include "ui/grids/history_grids.h"

#include <gtest/gtest.h>

#include "model/records.h"
#include "platform/flex_grid.h"
#include "ui/grids/grid_cells.h"

namespace quarn {
namespace {

// A record that held ten ventilation points, so that zeroing shows.
ScenarioRecord TenVentilationPoints() {
  ScenarioRecord s;
  for (int i = 1; i <= 10; ++i) {
    s.VentTime[i] = static_cast<float>(i);
    s.VentRate[i] = 0.5f * i;
  }
  s.VentScheduleFlag = "Y";
  return s;
}

TEST(VentilationGrid, TimesZeroTwoFiveGiveThreePointsAndZeroTheRest) {
  ScenarioRecord s = TenVentilationPoints();
  FlexGrid grid;
  EXPECT_TRUE(FillVentilationGrid(grid, s));
  ClearVentilationGrid(grid);
  WriteGridRow(grid, 1, 0, 1.5f);
  WriteGridRow(grid, 2, 2, 3);
  WriteGridRow(grid, 3, 5, 0.25f);
  grid.SetTextMatrix(5, 1, "9");  // past the end of the list: never read
  grid.SetTextMatrix(5, 2, "9");
  ReadVentilationGrid(grid, false, s);
  EXPECT_FLOAT_EQ(s.VentTime[1], 0.0f);
  EXPECT_FLOAT_EQ(s.VentRate[1], 1.5f);
  EXPECT_FLOAT_EQ(s.VentTime[2], 2.0f);
  EXPECT_FLOAT_EQ(s.VentRate[3], 0.25f);
  for (int i = 4; i <= kMaxHistory; ++i) {
    EXPECT_EQ(s.VentTime[i], 0.0f) << i;
    EXPECT_EQ(s.VentRate[i], 0.0f) << i;
  }
  EXPECT_EQ(s.VentScheduleFlag.str(), "N");
}

TEST(VentilationGrid, FiftyFullRowsGiveFiftyPoints) {
  ScenarioRecord s;
  FlexGrid grid;
  FillVentilationGrid(grid, s);
  for (int i = 1; i <= kMaxHistory; ++i) {
    grid.SetTextMatrix(i, 1, std::to_string(i));
    grid.SetTextMatrix(i, 2, "2");
  }
  ReadVentilationGrid(grid, true, s);
  EXPECT_FLOAT_EQ(s.VentTime[50], 50.0f);
  EXPECT_FLOAT_EQ(s.VentRate[50], 2.0f);
  EXPECT_FLOAT_EQ(s.VentTime[1], 1.0f);
  EXPECT_EQ(s.VentScheduleFlag.str(), "Y");
}

TEST(VentilationGrid, NegativeTimeOrAShortGridEndsTheList) {
  ScenarioRecord s = TenVentilationPoints();
  FlexGrid grid;
  FillVentilationGrid(grid, s);
  grid.SetTextMatrix(4, 1, "-1");
  ReadVentilationGrid(grid, true, s);
  EXPECT_FLOAT_EQ(s.VentTime[3], 3.0f);
  EXPECT_EQ(s.VentTime[4], 0.0f);
  EXPECT_EQ(s.VentRate[5], 0.0f);

  // A deleted row leaves rows 0 to 49: point 50 is not in the grid and becomes 0.
  ScenarioRecord full;
  for (int i = 1; i <= kMaxHistory; ++i) full.VentTime[i] = full.VentRate[i] = 1.0f * i;
  FillVentilationGrid(grid, full);
  grid.SetRows(50);
  ReadVentilationGrid(grid, true, full);
  EXPECT_FLOAT_EQ(full.VentTime[49], 49.0f);
  EXPECT_EQ(full.VentTime[50], 0.0f);
  EXPECT_EQ(full.VentRate[50], 0.0f);
}

TEST(VentilationGrid, FillShowsTheListAndReadBackKeepsExactValues) {
  ScenarioRecord s = TenVentilationPoints();
  s.VentTime[2] = 1.23456789f;
  s.VentRate[2] = 1.0f / 3.0f;
  s.VentTime[4] = 0;  // ends the list; rows below show empty
  s.VentScheduleFlag = "0";
  FlexGrid grid;
  EXPECT_FALSE(FillVentilationGrid(grid, s));
  EXPECT_EQ(grid.Rows(), 51);
  EXPECT_EQ(grid.TextMatrix(0, 1), "Time start");
  EXPECT_EQ(grid.TextMatrix(0, 2), "Ventilation Rate\n1/h");
  EXPECT_EQ(grid.TextMatrix(4, 0), "4");
  EXPECT_EQ(grid.TextMatrix(4, 1), "");
  EXPECT_EQ(grid.TextMatrix(5, 1), "5");  // shown, though the list ended before it
  EXPECT_EQ(grid.TextMatrix(2, 2), "0.3333333");
  const ScenarioRecord before = s;
  ReadVentilationGrid(grid, true, s);
  EXPECT_EQ(s.VentTime[2], before.VentTime[2]);
  EXPECT_EQ(s.VentRate[2], before.VentRate[2]);
  EXPECT_EQ(s.VentTime[5], 0.0f);
}

TEST(VentilationGrid, ClearEmptiesTheValueCells) {
  ScenarioRecord s = TenVentilationPoints();
  FlexGrid grid;
  FillVentilationGrid(grid, s);
  grid.SetRows(60);
  ClearVentilationGrid(grid);
  EXPECT_EQ(grid.Rows(), 51);
  for (int r = 1; r <= kMaxHistory; ++r) {
    EXPECT_EQ(grid.TextMatrix(r, 1), "") << r;
    EXPECT_EQ(grid.TextMatrix(r, 2), "") << r;
  }
  EXPECT_EQ(grid.TextMatrix(3, 0), "3");
}

TEST(HVACHistoryGrid, PointsWithTimeZeroShowEmptyCellsExceptTheFirst) {
  ScenarioRecord s;
  s.HVACHistoryTime[1] = 0;
  s.HVACHistoryFraction[1] = 1;
  s.HVACHistoryTime[2] = 6;
  s.HVACHistoryFraction[2] = 0.5f;
  s.HVACHistoryFraction[3] = 0.7f;  // time 0: not shown
  s.HVACHistoryCycle = "Y";
  s.HVACHistoryOutdoorOnly = kTrue;
  FlexGrid grid;
  const HVACHistoryOptions options = FillHVACFlowHistoryGrid(grid, s);
  EXPECT_TRUE(options.cycle);
  EXPECT_TRUE(options.outdoor_only);
  EXPECT_EQ(grid.Rows(), 51);
  EXPECT_EQ(grid.Cols(), 3);
  EXPECT_EQ(grid.TextMatrix(0, 1), "Time ");
  EXPECT_EQ(grid.TextMatrix(0, 2), "Fraction of baseline HVAC flow");
  EXPECT_EQ(grid.TextMatrix(1, 0), "1");
  EXPECT_EQ(grid.TextMatrix(1, 1), "0");
  EXPECT_EQ(grid.TextMatrix(1, 2), "1");
  EXPECT_EQ(grid.TextMatrix(2, 2), "0.5");
  EXPECT_EQ(grid.TextMatrix(3, 0), "3");
  EXPECT_EQ(grid.TextMatrix(3, 1), "");
  EXPECT_EQ(grid.TextMatrix(3, 2), "");
  EXPECT_EQ(grid.TextMatrix(50, 0), "50");
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.Col(), 1);
  s.HVACHistoryCycle = "N";
  s.HVACHistoryOutdoorOnly = 0;
  const HVACHistoryOptions off = FillHVACFlowHistoryGrid(grid, s);
  EXPECT_FALSE(off.cycle);
  EXPECT_FALSE(off.outdoor_only);
}

TEST(HistoryGrids, SizesInTwips) {
  // Sizes are kept in whole pixels of 15 twips, so they come back within half a pixel.
  const ScenarioRecord s;
  FlexGrid history;
  FillHVACFlowHistoryGrid(history, s);
  EXPECT_EQ(history.TextMatrix(0, 0), "Index");
  EXPECT_NEAR(history.ColWidth(0), 455, 8);
  EXPECT_NEAR(history.ColWidth(1), 950, 8);
  EXPECT_NEAR(history.ColWidth(2), 1100, 8);
  EXPECT_NEAR(history.RowHeight(0), 650, 8);
  FlexGrid vent;
  FillVentilationGrid(vent, s);
  EXPECT_EQ(vent.Cols(), 3);
  EXPECT_EQ(vent.TextMatrix(0, 0), "Index");
  EXPECT_NEAR(vent.ColWidth(0), 408, 8);
}

TEST(FilterGrid, EfficiencyInPercentBecomesPenetration) {
  ScenarioRecord s;
  s.NumPollutants = 3;
  s.FilterPenetration[0] = {9, 9, 9, 9, 9, 9, 9, 9};
  FlexGrid grid;
  grid.SetRows(4);
  grid.SetCols(3);
  grid.SetTextMatrix(1, 2, "85");
  grid.SetTextMatrix(2, 2, "");
  SetSingleCell(grid, 3, 2, 150);  // no range test
  ReadFilterGrid(grid, s);
  EXPECT_FLOAT_EQ(s.FilterPenetration[0][0], 0.15f);
  EXPECT_FLOAT_EQ(s.FilterPenetration[0][1], 1.0f);
  EXPECT_FLOAT_EQ(s.FilterPenetration[0][2], -0.5f);
  EXPECT_FLOAT_EQ(s.FilterPenetration[0][3], 9.0f);  // beyond the pollutants
}

TEST(HVACAirCleaner, OpeningNeverChangesTheCapacityAndAnUntouchedBoxStoresItBack) {
  ScenarioRecord s;
  s.FilterCapacity = 1234.567f;
  for (int i = 0; i < 3; ++i) {
    const NumberBox box = SetHVACAirCleaner(s);  // opened, then cancelled
    EXPECT_EQ(box.text, "1.234567");
  }
  EXPECT_EQ(s.FilterCapacity, 1234.567f);
  const NumberBox box = SetHVACAirCleaner(s);
  s.FilterCapacity = ReadHVACAirCleanerCapacity(box, box.text);  // transferred untouched
  EXPECT_EQ(s.FilterCapacity, 1234.567f);
  EXPECT_FLOAT_EQ(ReadHVACAirCleanerCapacity(box, "1,500"), 1.5e6f);
  EXPECT_FLOAT_EQ(ReadHVACAirCleanerCapacity(box, "grams"), 0.0f);
}

}  // namespace
}  // namespace quarn
