#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarn {

class FlexGrid;
class Prompt;

// The cell helpers that every fill and read-back of the grids shares: numbers into cells
// with their exact value kept beside the text, numbers out of cells as the user typed them,
// and the range checks of a block before it is stored.

// A cell filled from a Single in the general number form ("12.5", "0"), keeping the exact
// value beside the text.
void SetSingleCell(FlexGrid& grid, int row, int col, float value);
// A cell filled through a display pattern ("#,####.#####"), keeping the exact value.
void SetPatternCell(FlexGrid& grid, int row, int col, double value, std::string_view pattern);

// The number of a cell: the exact number it was filled with while its text is unchanged,
// otherwise the leading number of its text (0 when there is none).
double CellValue(const FlexGrid& grid, int row, int col);
// The same for a cell that shows thousands separators: they are removed before reading.
double GroupedCellValue(const FlexGrid& grid, int row, int col);
// A cell's number as a Single; beyond the range of a Single it saturates to the largest
// Single of that sign instead of overflowing.
float CellSingle(const FlexGrid& grid, int row, int col);

// The number a user typed into a cell (the exact number it was filled with while its text is
// unchanged; 0 for an empty cell); nullopt when the text is not wholly one number.
std::optional<double> TypedCellValue(const FlexGrid& grid, int row, int col);
// Whether the number of every cell of the block (rows row1 to row2, columns col1 to col2,
// read as CellValue reads it) lies from low to high; otherwise the message is shown and
// nothing may be stored (false).
bool CellsInRange(const FlexGrid& grid, int row1, int row2, int col1, int col2, double low,
                  double high, const std::string& message, Prompt& prompt);
// The same for a block of flows, which must be 0 or more.
bool FlowCellsValid(const FlexGrid& grid, int row1, int row2, int col1, int col2, Prompt& prompt);

// --- Row helpers of the two-value schedules ---------------------------------------------

// Columns 1 and 2 of a row in the general number form.
void WriteGridRow(FlexGrid& grid, int32_t row, float first, float second);
struct GridRowValues {
  float first = 0;
  float second = 0;
};
// Columns 1 and 2 of a row as numbers (0 for a cell without one, or a row past the grid).
GridRowValues ReadGridRow(const FlexGrid& grid, int32_t row);

}  // namespace quarn
