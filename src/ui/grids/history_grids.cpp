#include "ui/grids/history_grids.h"

#include <algorithm>

#include "model/prompt.h"
#include "platform/flex_grid.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/common/grid_operations.h"
#include "ui/grids/grid_cells.h"

namespace quarn {

namespace {

// Column 0 of rows 1 to 50: the point numbers.

// Rows 1 to 50: the index, and the point's time and value; a point after the first with
// time 0 is not part of the schedule and shows empty cells.
void FillSchedule(FlexGrid& grid, const History& time, const History& value) {
  NumberScheduleRows(grid);
  for (int i = 1; i <= kMaxHistory; ++i) {
    if (i == 1 || time[i] != 0) {
      WriteGridRow(grid, i, time[i], value[i]);
    } else {
      grid.SetTextMatrix(i, 1, "");
      grid.SetTextMatrix(i, 2, "");
    }
  }
}

}  // namespace

HVACHistoryOptions FillHVACFlowHistoryGrid(FlexGrid& grid, const ScenarioRecord& scenario) {
  grid.SetRedraw(false);
  grid.SetRows(kMaxHistory + 1);
  grid.SetCols(3);
  grid.SetColWidth(0, 455);
  grid.SetColWidth(1, 950);
  grid.SetColWidth(2, 1100);
  grid.SetRowHeight(0, 650);
  grid.SetWordWrap(true);
  grid.SetTextMatrix(0, 0, "Index");
  grid.SetTextMatrix(0, 1, "Time ");
  grid.SetTextMatrix(0, 2, "Fraction of baseline HVAC flow");
  FillSchedule(grid, scenario.HVACHistoryTime, scenario.HVACHistoryFraction);
  grid.SetRowCol(1, 1);
  grid.SetRedraw(true);
  return {scenario.HVACHistoryOutdoorOnly != 0, scenario.HVACHistoryCycle.str() == "Y"};
}

void ReadHVACHistoryGrid(FlexGrid& grid, const HVACHistoryOptions& options,
                         ScenarioRecord& scenario) {
  scenario.HVACHistoryCycle = options.cycle ? "Y" : "N";
  scenario.HVACHistoryOutdoorOnly = options.outdoor_only ? 1 : 0;
  for (int i = 1; i <= kMaxHistory; ++i) {
    const GridRowValues point = ReadGridRow(grid, i);
    scenario.HVACHistoryTime[i] = point.first;
    scenario.HVACHistoryFraction[i] = point.second;
  }
  grid.SetRowCol(1, 1);
}

bool FillVentilationGrid(FlexGrid& grid, const ScenarioRecord& scenario) {
  grid.SetRedraw(false);  // the window shows the grid; painting waits for the fill
  grid.SetRows(kMaxHistory + 1);
  grid.SetCols(3);
  grid.SetColWidth(0, 408);
  grid.SetTextMatrix(0, 0, "Index");
  grid.SetTextMatrix(0, 1, "Time start");
  grid.SetTextMatrix(0, 2, "Ventilation Rate\n1/h");  // air changes an hour
  FillSchedule(grid, scenario.VentTime, scenario.VentRate);
  grid.SetRowCol(1, 1);
  grid.SetRedraw(true);
  return scenario.VentScheduleFlag.str() == "Y";
}

void ReadVentilationGrid(FlexGrid& grid, bool cycle_yes, ScenarioRecord& scenario) {
  const int last_row = std::min(kMaxHistory, grid.Rows() - 1);
  int end = kMaxHistory + 1;  // first point that is not part of the schedule
  for (int r = 1; r <= kMaxHistory; ++r) {
    if (r > last_row && r >= 2) {
      end = r;
      break;
    }
    const GridRowValues point = ReadGridRow(grid, r);
    if (r >= 2 && point.first <= 0) {
      end = r;
      break;
    }
    scenario.VentTime[r] = point.first;
    scenario.VentRate[r] = point.second;
  }
  for (int r = end; r <= kMaxHistory; ++r) {
    scenario.VentTime[r] = 0;
    scenario.VentRate[r] = 0;
  }
  scenario.VentScheduleFlag = cycle_yes ? "Y" : "N";
  grid.SetRowCol(1, 0);
}

void ClearVentilationGrid(FlexGrid& grid) {
  grid.SetRows(kMaxHistory + 1);
  for (int r = 1; r <= kMaxHistory; ++r) {
    grid.SetTextMatrix(r, 1, "");
    grid.SetTextMatrix(r, 2, "");
  }
  grid.SetRowCol(1, 1);
}

void ReadFilterGrid(const FlexGrid& grid, ScenarioRecord& scenario) {
  const int n = PollutantCount(scenario);
  for (int p = 0; p < n; ++p) {
    const double efficiency = CellValue(grid, p + 1, 2);
    scenario.FilterPenetration[0][p] = ToSingle(1.0 - efficiency / 100.0);
  }
}

NumberBox SetHVACAirCleaner(const ScenarioRecord& scenario) {
  // The record keeps grams times 1000; the window shows grams.
  return {FormatSingle(scenario.FilterCapacity / 1000.0f), scenario.FilterCapacity};
}

float ReadHVACAirCleanerCapacity(const NumberBox& shown, const std::string& text) {
  if (text == shown.text) return shown.value;
  return ToSingle(LeadingNumber(RemoveCommas(text)) * 1000.0);
}

}  // namespace quarn
