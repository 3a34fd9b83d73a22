#include "ui/grids/grid_cells.h"

#include <limits>

#include "model/prompt.h"
#include "platform/flex_grid.h"
#include "text/number_read.h"
#include "text/number_text.h"

namespace quarn {

void SetSingleCell(FlexGrid& grid, int row, int col, float value) {
  grid.SetNumber(row, col, value, FormatSingle(value));
}

void SetPatternCell(FlexGrid& grid, int row, int col, double value, std::string_view pattern) {
  grid.SetNumber(row, col, value, FormatPattern(value, pattern));
}

double CellValue(const FlexGrid& grid, int row, int col) {
  if (auto exact = grid.Number(row, col)) return *exact;
  return LeadingNumber(grid.TextMatrix(row, col));
}

double GroupedCellValue(const FlexGrid& grid, int row, int col) {
  if (auto exact = grid.Number(row, col)) return *exact;
  return LeadingNumber(RemoveCommas(grid.TextMatrix(row, col)));
}

float CellSingle(const FlexGrid& grid, int row, int col) {
  return ToSingle(CellValue(grid, row, col));
}

std::optional<double> TypedCellValue(const FlexGrid& grid, int row, int col) {
  if (auto exact = grid.Number(row, col)) return *exact;
  const std::string text = grid.TextMatrix(row, col);
  if (text.find_first_not_of(' ') == std::string::npos) return 0.0;
  return ParseNumber(text);
}

bool CellsInRange(const FlexGrid& grid, int row1, int row2, int col1, int col2, double low,
                  double high, const std::string& message, Prompt& prompt) {
  for (int r = row1; r <= row2; ++r) {
    for (int c = col1; c <= col2; ++c) {
      // Read as the read-backs read it: the leading number of a typed text.
      const double value = CellValue(grid, r, c);
      if (value < low || value > high) {
        prompt.Message(message, "Error", MessageIcon::None);
        return false;
      }
    }
  }
  return true;
}

bool FlowCellsValid(const FlexGrid& grid, int row1, int row2, int col1, int col2, Prompt& prompt) {
  return CellsInRange(grid, row1, row2, col1, col2, 0, std::numeric_limits<double>::max(),
                      "Error.  Flows must be numbers of 0 or more.  Reenter data.", prompt);
}

void WriteGridRow(FlexGrid& grid, int32_t row, float first, float second) {
  SetSingleCell(grid, row, 1, first);
  SetSingleCell(grid, row, 2, second);
}

GridRowValues ReadGridRow(const FlexGrid& grid, int32_t row) {
  return {CellSingle(grid, row, 1), CellSingle(grid, row, 2)};
}

}  // namespace quarn
