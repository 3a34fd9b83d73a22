#include "ui/common/grid_operations.h"

#include <algorithm>
#include <utility>

#include "platform/flex_grid.h"

namespace quarn {

GridBlock SelectedBlock(const FlexGrid& grid) {
  GridBlock b;
  b.row1 = std::min(grid.Row(), grid.RowSel());
  b.row2 = std::max(grid.Row(), grid.RowSel());
  b.col1 = std::min(grid.Col(), grid.ColSel());
  b.col2 = std::max(grid.Col(), grid.ColSel());
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

}  // namespace quarn
