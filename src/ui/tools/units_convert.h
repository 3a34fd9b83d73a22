#pragma once

namespace quarn {

class FlexGrid;

// The grids of the units converter: five columns (input, from unit, factor or molecular
// weight, result, to unit) under one header row, filled from the tables of units_tables.h.
// Every number in them is a Single.

void SetupUnitsGrid(FlexGrid& grid);
void ShowLengthUnits(FlexGrid& grid);
void ShowAreaUnits(FlexGrid& grid);
void ShowVolumeUnits(FlexGrid& grid);
void ShowConcentrationUnits(FlexGrid& grid);
void ShowFlowUnits(FlexGrid& grid);
void ShowPressureUnits(FlexGrid& grid);
// Fills the grid of tab 0 to 5 with its table.
void ShowUnits(FlexGrid& grid, int tab);

// Recompute the result of one data row (the current one when no row is given) from the
// input and the factor the grid holds, then make column 0 current again.
void ConvertUnitsRow(FlexGrid& grid);
void ConvertUnitsRow(FlexGrid& grid, int row);
// The same on the concentration grid, where column 2 is the row's molecular weight.
void ConvertConcentrationRow(FlexGrid& grid);
void ConvertConcentrationRow(FlexGrid& grid, int row);

// A cell as a number: the exact number it was filled with while its text is unchanged,
// otherwise the leading number of its text with the thousands separators taken out.
float UnitsCellValue(const FlexGrid& grid, int row, int col);

}  // namespace quarn
