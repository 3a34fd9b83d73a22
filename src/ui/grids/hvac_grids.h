#pragma once

#include <string>

#include "model/records.h"

namespace quarn {

class FlexGrid;

// The steady HVAC flow grids: the base flows (rows from 1, values from column 2) and the
// managed flows, laid out one row lower and one column further right. Each has an
// "Outdoors" row, one row per room, a totals row and a make-up/balance row; the last two
// always lie below the last room in both layouts.
enum class HVACGridLayout { Base, Managed };

// Cell positions of one layout. The managed grid is the base grid moved one row down and
// one column right; both keep their totals and balance rows below the last room, so that
// re-totalling never writes over a room's flows.
struct HVACGridFrame {
  int off;    // 0 base, 1 managed
  int rooms;  // room rows in the grid

  int Header() const { return off; }
  int Outdoors() const { return 1 + off; }
  int RoomRow(int r) const { return 1 + off + r; }
  int Totals() const { return rooms + 2 + off; }
  int Balance() const { return rooms + 3 + off; }
  int RowCount() const { return rooms + 4 + off; }
  int Key() const { return off; }  // room number, "--", "Makeup"
  int Name() const { return 1 + off; }
  int Supply() const { return 2 + off; }
  int Return() const { return 3 + off; }
  int Exhaust() const { return 4 + off; }
};
HVACGridFrame HVACFrameOf(HVACGridLayout layout, int rooms);
// The frame of a grid already laid out: its room count follows from its size.
HVACGridFrame HVACFrameOfGrid(const FlexGrid& grid, HVACGridLayout layout);

// A number shown in a window's text box: the text and the exact value it was made from,
// so that a box the user did not touch gives back the value unrounded.
struct NumberBox {
  std::string text;
  float value = 0;
};
// The value of a box now showing text: the exact value while the text is as shown,
// otherwise the leading number of the text.
float BoxValue(const NumberBox& shown, const std::string& text);

// --- Base flows --------------------------------------------------------------------------

// Size, headers, "Total" and "Makeup" labels; cursor on the Outdoors supply cell.
void SetupHVACRoomFlowGrid(FlexGrid& grid, const BuildingRecord& building);
// Outdoor row, room rows, totals and balance; the value cells turn yellow.
void FillHVACFlowGrid(FlexGrid& grid, const BuildingRecord& building);
// The Outdoors row and the room rows back into the record; HVACTotalFlow becomes the
// outdoor air plus every room's supply, computed from the values stored.
void ReadHVACFlowGrid(const FlexGrid& grid, BuildingRecord& building);

// --- Managed flows -----------------------------------------------------------------------
// The set-up, fill and read-back of the managed grid were once called FillHVACRoomFlowGrid,
// FillRoomFlowBalanceGrid and ReadHVACSteadyFlowGrid.

// The managed layout (the window shows its Start and Stop boxes and labels with it).
void SetupManagedFlowGrid(FlexGrid& grid, const BuildingRecord& building);
struct ManagedTimes {
  NumberBox start;  // ManagedPeriodStart, box StartTime
  NumberBox stop;   // ManagedPeriodEnd, box StopTime
};
// Managed values, totals and balance; gives what the two time boxes show.
ManagedTimes FillManagedFlowGrid(FlexGrid& grid, const BuildingRecord& building);
// The managed values back, the times from the boxes' texts now; HVACTotalFlow becomes the
// managed supply total (outdoor row plus rooms).
void ReadManagedFlowGrid(const FlexGrid& grid, const ManagedTimes& shown,
                         const std::string& start_text, const std::string& stop_text,
                         BuildingRecord& building);

// --- Totals ------------------------------------------------------------------------------

// Totals row and "Make up"/"Out bal" row as the managed grid opens: supply and return
// totals, the air leaving (outdoor row's supply plus every exhaust), the make-up and its
// balance.
void AddFlowBalanceColumns(FlexGrid& grid, HVACGridLayout layout);
// The base grid's totals row and "Makeup"/"Outdoor Bal" row, at the opening and after every
// edit alike: the rooms' supply total, the return total with the make-up, the make-up, and
// the make-up minus the outdoor row's supply minus the rooms' exhaust.
void BaseFlowTotals(FlexGrid& grid);
// Totals row and "Makeup"/"Out Bal" row after an edit: for the managed grid column totals,
// the make-up and make-up minus the outdoor row's supply minus the exhaust total; for the
// base grid BaseFlowTotals.
void FormatFlowGrid(FlexGrid& grid, HVACGridLayout layout);

}  // namespace quarn
