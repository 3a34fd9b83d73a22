#pragma once

#include "model/records.h"

class QFrame;
class QHBoxLayout;
class QMainWindow;

namespace quarn {

class EditCellBox;
class FlexGrid;
struct MainContext;

// What the flow windows share: a frame at the top holding the edit box, the flow grid
// below it, and the cursor rules of a grid whose flows entering and leaving sit in columns
// 2 and 3 of rows 1 to last_row, with a computed totals row after them.

struct FlowWindowParts {
  QFrame* topframe;
  // The frame's row, ending with the edit box; the window puts its own controls before it.
  QHBoxLayout* top;
  EditCellBox* edit_cell;
  FlexGrid* grid;
};

// The window's central widget: "topframe" across the top with "EditCell" in it, the grid
// of that name filling the rest; the window is never smaller than the given twips.
FlowWindowParts MakeFlowWindowParts(QMainWindow& window, const char* grid_name, int min_width_twips,
                                    int min_height_twips);

// Right from column 3 goes back to column 2 of the same row, Up from row 1 to last_row;
// the key is swallowed then. A Shift arrow extends the selection and is left to the grid.
void WrapFlowGridArrows(FlexGrid& grid, int& key_code, int shift, int last_row);
// The totals are computed, never typed into: entering their row sends the cursor to row 1.
void SkipFlowTotalsRow(FlexGrid& grid, int last_row);

// The natural-flow windows' Transfer with these flows: true when every room balances, or
// when the user, warned of each room that does not (with what enters and leaves it), still
// wants them stored; No, the default, keeps the window open to mend them.
bool AgreeToImbalance(MainContext& context, const PerRoom<float>& from_outdoors,
                      const PerRoom<float>& to_outdoors, const RoomMatrix& room_flows);

}  // namespace quarn
