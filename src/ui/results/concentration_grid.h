#pragma once

#include "model/prompt.h"
#include "model/records.h"

class QWidget;

namespace quarn {

class FlexGrid;

// Fills the concentration results grid from the run's work file: one row per record, one
// column per room and pollutant (headed by their names) in the display units, red where a value
// passes the pollutant's irritant level, and the run's totals beside them. `form` is the window
// that holds the grid; it gets its caption and a width that fits the columns. The record is only
// read. A line that does not fit the building's rooms and pollutants stops the fill with a message;
// what was written before it stays.
void FillConcentrationGrid(FlexGrid& grid, QWidget& form, const BuildingRecord& building,
                           char separator, Prompt& prompt);

}  // namespace quarn
