#pragma once

#include <QColor>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "ui/common/window_flags.h"

namespace quarn {

class FlexGrid;
class Prompt;

// The selected block of a grid with its bounds in order (top <= bottom, left <= right).
struct GridBlock {
  int top = 0;
  int bottom = 0;
  int left = 0;
  int right = 0;
};

// The grid's selection as it is now: the current cell and the other corner, ordered.
GridBlock SelectedBlock(const FlexGrid& grid);

// Swaps a and b when a is smaller than b, so that afterwards a >= b.
void OrderPair(int32_t& a, int32_t& b);

// Moves the cursor by whole cells as an arrow key does: never into the headings nor past
// the last cell, raising the grid's cell events.
void MoveCursorBy(FlexGrid& grid, int rows, int cols);

// Writes texts into one row from a first column on (headings, a row of a record).
void SetRowTexts(FlexGrid& grid, int row, int first_col, std::initializer_list<const char*> texts);

// The cell colours the windows use.
inline const QColor kCellWhite{255, 255, 255};
inline const QColor kCellYellow{255, 255, 0};
inline const QColor kCellRed{255, 0, 0};

// Painting off while many cells are written, on again at the end of the scope.
class GridRedrawOff {
 public:
  explicit GridRedrawOff(FlexGrid& grid);
  ~GridRedrawOff();
  GridRedrawOff(const GridRedrawOff&) = delete;
  GridRedrawOff& operator=(const GridRedrawOff&) = delete;

 private:
  FlexGrid& grid_;
  bool saved_;
};

// Row 0 heads the columns of a schedule grid; rows 1 to 50 hold its points, their index
// in column 0.
void NumberScheduleRows(FlexGrid& grid);

// Edit > Insert Row and Delete Row of a schedule grid, which always holds rows 1 to 50
// numbered in order. Insert puts an empty row below `row` and drops the empty row 50; it
// is refused with a message while row 50 holds a value, which would be pushed out of reach.
// Delete takes `row` out and adds an empty row 50. Both give whether the grid changed.
bool InsertScheduleRow(FlexGrid& grid, int row, Prompt& prompt);
bool DeleteScheduleRow(FlexGrid& grid, int row);

}  // namespace quarn
