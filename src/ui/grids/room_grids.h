#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/number_read.h"

namespace quarn {

class FlexGrid;
class Prompt;
struct BuildingRecord;

// Grid transfer of the building's rooms and neighbour table, and the cell helpers that
// every fill and read-back of the flow and history grids shares.
//
// The windows hold GridEventsEnabled False around these calls and decide what is shown,
// focused or closed; the procedures work on the grid and the record only, so each can
// be used on a bare grid.

// --- Cells -------------------------------------------------------------------------------

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

// The rooms j != room marked as neighbours of room in the neighbour table.
int16_t CountNeighbors(const BuildingRecord& building, int room);

// --- Room grid ---------------------------------------------------------------------------

void SetupRoomGrid(FlexGrid& grid, const BuildingRecord& building);
// Every room into the grid; each room's Volume becomes Length x Width x Height and its
// NumNeighbors the count of its neighbour table row. The cursor ends on row 1, column 1.
void FillRoomGrid(FlexGrid& grid, BuildingRecord& building);
// Every room row back into RoomList: names (an empty one becomes "ROOM n"), dimensions,
// Volume from the dimensions (column 5 is informative), NumNeighbors from the neighbour
// table (column 6 only shows it). HVAC is kept. Rows missing from the grid leave their
// rooms as they are. A size that is not a number, or is below 0, is refused with a message
// and nothing is stored (false).
bool ReadRoomGrid(const FlexGrid& grid, BuildingRecord& building, Prompt& prompt);
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

// --- Neighbour grid ----------------------------------------------------------------------

// Row of the neighbour grid that lists room other_room in the window of room room.
int NeighborRow(int room, int other_room);

// Fills the neighbour grid of room and recounts every room's neighbours (writing the counts
// into room_grid, the room window's grid, when it is given). Gives the text of the window's
// label, or nullopt when there is nothing to show (a single room, or a room outside the
// building), in which case nothing is touched.
std::optional<std::string> FillNeighborGrid(FlexGrid& grid, BuildingRecord& building, int16_t room,
                                            FlexGrid* room_grid);
// The neighbour grid of room back into the table, both directions: exactly "Yes" marks a
// neighbour, anything else unmarks it. Then the room's NumNeighbors is its count.
void ReadNeighborGrid(const FlexGrid& grid, BuildingRecord& building, int16_t room);
// Every room's NumNeighbors from the table, shown after a blank in column 6 of room_grid
// when it is given (the room window may be closed).
void CountRoomNeighbors(BuildingRecord& building, FlexGrid* room_grid);

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
