#include "ui/common/grid_operations.h"

#include <algorithm>
#include <utility>

#include "model/prompt.h"
#include "model/records.h"
#include "platform/flex_grid.h"
#include "text/number_text.h"

namespace quarn {

GridBlock SelectedBlock(const FlexGrid& grid) {
  GridBlock b;
  b.top = std::min(grid.Row(), grid.RowSel());
  b.bottom = std::max(grid.Row(), grid.RowSel());
  b.left = std::min(grid.Col(), grid.ColSel());
  b.right = std::max(grid.Col(), grid.ColSel());
  return b;
}

void OrderPair(int32_t& a, int32_t& b) {
  if (a < b) std::swap(a, b);
}

void MoveCursorBy(FlexGrid& grid, int rows, int cols) {
  if (!grid.HasCurrentCell()) return;
  grid.SetRowCol(grid.Row() + rows, grid.Col() + cols);
}

void SetRowTexts(FlexGrid& grid, int row, int first_col, std::initializer_list<const char*> texts) {
  int c = first_col;
  for (const char* t : texts) grid.SetTextMatrix(row, c++, t);
}

GridRedrawOff::GridRedrawOff(FlexGrid& grid) : grid_(grid), saved_(grid.Redraw()) {
  grid_.SetRedraw(false);
}

GridRedrawOff::~GridRedrawOff() {
  grid_.SetRedraw(saved_);
}

namespace {

bool HoldsValue(const FlexGrid& grid, int row) {
  for (int c = 1; c < grid.Cols(); ++c) {
    if (grid.TextMatrix(row, c).find_first_not_of(' ') != std::string::npos) return true;
  }
  return false;
}

}  // namespace

void NumberScheduleRows(FlexGrid& grid) {
  for (int i = 1; i <= kMaxHistory; ++i)
    grid.SetTextMatrix(i, 0, FormatSingle(static_cast<float>(i)));
}

bool InsertScheduleRow(FlexGrid& grid, int row, Prompt& prompt) {
  if (row < 1 || row > kMaxHistory) return false;
  if (HoldsValue(grid, kMaxHistory)) {
    prompt.Message("Error.  Row 50 is not empty, so no row can be inserted.", "Error",
                   MessageIcon::Critical);
    return false;
  }
  grid.InsertRow(row + 1);
  grid.SetRows(kMaxHistory + 1);
  NumberScheduleRows(grid);
  return true;
}

bool DeleteScheduleRow(FlexGrid& grid, int row) {
  if (row < 1 || row > kMaxHistory) return false;
  grid.RemoveRow(row);
  grid.SetRows(kMaxHistory + 1);
  NumberScheduleRows(grid);
  return true;
}

}  // namespace quarn
