#pragma once

#include <string>

#include "model/records.h"
#include "ui/grids/hvac_grids.h"

namespace quarn {

class FlexGrid;
class Prompt;

// The two 50-point schedules of the scenario (HVAC flow history, ventilation history), the
// user-defined HVAC filter and the HVAC air-cleaner capacity. A schedule lists its points
// in rows 1 to 50; a point after the first with time 0 ends it.

// The HVAC flow history window's option buttons, as the fill sets them.
struct HVACHistoryOptions {
  bool outdoor_only = false;  // OptionOutdoor, else OptionAll
  bool cycle = false;         // YesOption, else NoOption
};
HVACHistoryOptions FillHVACFlowHistoryGrid(FlexGrid& grid, const ScenarioRecord& scenario);
// The options ("Y" or "N"; 1 or 0, not -1) and every one of rows 1 to 50 into the history,
// blank or not: a blank cell reads 0 and nothing is checked. The cursor ends on row 1,
// column 1.
void ReadHVACHistoryGrid(FlexGrid& grid, const HVACHistoryOptions& options,
                         ScenarioRecord& scenario);

// Fills the ventilation grid; gives whether the window's "Is this a cycle" Yes is set.
bool FillVentilationGrid(FlexGrid& grid, const ScenarioRecord& scenario);
// The grid back into VentTime and VentRate: row 1 always, then rows while their time is
// above 0, at most 50 and no further than the grid's last row; every later point becomes
// time 0 and rate 0. VentScheduleFlag from the window's Yes option.
void ReadVentilationGrid(FlexGrid& grid, bool cycle_yes, ScenarioRecord& scenario);
// 51 rows with the time and rate cells of rows 1 to 50 empty.
void ClearVentilationGrid(FlexGrid& grid);

// Efficiencies in % (column 2 of row p + 1) into the HVAC filter's penetrations
// 1 - E / 100; an empty cell passes everything.
void ReadFilterGrid(const FlexGrid& grid, ScenarioRecord& scenario);

// What the HVAC air-cleaner window shows of the capacity: the stored FilterCapacity
// divided by 1000. The record is left as it is, so opening the window any number of times
// changes nothing.
NumberBox SetHVACAirCleaner(const ScenarioRecord& scenario);
// The capacity the window stores from the box's text: the stored value while the text is
// as shown, else the number typed (thousands separators removed) times 1000.
float ReadHVACAirCleanerCapacity(const NumberBox& shown, const std::string& text);

}  // namespace quarn
