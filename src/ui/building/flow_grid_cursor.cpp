#include "ui/building/flow_grid_cursor.h"

#include "platform/flex_grid.h"

namespace quarn {
namespace {

constexpr int kInColumn = 2;
constexpr int kOutColumn = 3;

}  // namespace

void WrapFlowGridArrows(FlexGrid& grid, int& key_code, int shift, int last_row) {
  if ((shift & kShiftMask) != 0 || !grid.HasCurrentCell()) return;
  // The grid never makes a fixed column current, so the wrap lands on the target itself.
  if (key_code == keycode::kRight && grid.Col() == kOutColumn) {
    grid.SetCol(kInColumn);
    key_code = 0;
  } else if (key_code == keycode::kUp && grid.Row() == 1 && last_row > 0) {
    grid.SetRow(last_row);
    key_code = 0;
  }
}

void SkipFlowTotalsRow(FlexGrid& grid, int last_row) {
  if (last_row > 0 && grid.Row() == last_row + 1) grid.SetRow(1);
}

}  // namespace quarn
