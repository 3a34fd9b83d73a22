#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quarn {

class FlexGrid;
class Prompt;
struct BuildingRecord;

// Grid transfer of the building's rooms and neighbour table.
//
// The windows hold their grid events off (GridEventsOff) around these calls and decide what is
// shown, focused or closed; the procedures work on the grid and the record only, so each can be
// used on a bare grid.

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

}  // namespace quarn
