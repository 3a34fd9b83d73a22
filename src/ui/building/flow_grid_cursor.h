#pragma once

namespace quarn {

class FlexGrid;

// Cursor rules of the flow grids: the flows entering and leaving sit in columns 2 and 3 of
// rows 1 to last_row, and a computed totals row follows. The cursor stays on the flows.

// Right from column 3 goes back to column 2 of the same row, Up from row 1 to last_row;
// the key is swallowed then. A Shift arrow extends the selection and is left to the grid.
void WrapFlowGridArrows(FlexGrid& grid, int& key_code, int shift, int last_row);
// The totals are computed, never typed into: entering their row sends the cursor to row 1.
void SkipFlowTotalsRow(FlexGrid& grid, int last_row);

}  // namespace quarn
