#include "ui/grids/room_grids.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "model/prompt.h"
#include "model/records.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/common/number_entry.h"
#include "ui/grids/grid_cells.h"

namespace quarn {

namespace {

constexpr const char* kLengthPattern = "##,###.#####";
constexpr const char* kDimensionPattern = "#,####.#####";

// The integer text after the blank of a non-negative number's sign place (" 2").
std::string SignedCount(int n) {
  return SignSingle(static_cast<float>(n));
}

// A length, width or height of the grid as the room can hold it; nullopt after a message that
// says why it cannot ("2,5" is no number, -5 is below 0).
std::optional<float> RoomSize(const FlexGrid& grid, int row, int col, Prompt& prompt) {
  static const char* const kSizeNames[] = {"length", "width", "height"};
  std::string what = "The " + std::string(kSizeNames[col - 2]) + " of room " + std::to_string(row);
  const std::string name = grid.TextMatrix(row, 1);
  if (!name.empty()) what += " (" + name + ")";
  const std::string text = grid.TextMatrix(row, col);
  std::optional<double> value = TypedCellValue(grid, row, col);
  const std::string fault = value ? std::string() : NumberEntryFault(text);
  // Thousands grouped as the program shows them read as the whole number.
  if (!value && fault.empty()) value = ParseNumber(RemoveCommas(text));
  std::string why;
  if (!value) {
    why = what + ": " + fault;
  } else if (*value < 0) {
    why = what + " must be 0 or more, not " + FormatDouble(*value) + ".";
  } else if (!AsSingle(*value)) {
    why = what + ", " + FormatDouble(*value) + ", is larger than any room.";
  }
  if (why.empty()) return AsSingle(*value);
  prompt.Message("Error.  " + why + "  Reenter data.", "Error", MessageIcon::None);
  return std::nullopt;
}

}  // namespace

int16_t CountNeighbors(const BuildingRecord& building, int room) {
  const int n = RoomCount(building);
  if (room < 0 || room >= kRoomSlots) return 0;
  int16_t count = 0;
  for (int j = 1; j <= n; ++j)
    if (j != room && building.Neighbors[room][j] != kFalse) ++count;
  return count;
}

// --- Room grid ---------------------------------------------------------------------------

void SetupRoomGrid(FlexGrid& grid, const BuildingRecord& building) {
  const int n = RoomCount(building);
  grid.SetWordWrap(true);
  grid.SetRows(n + 1);
  grid.SetCols(7);
  grid.SetRowHeight(0, 512);
  static const char* const kHeaders[] = {"Room #",   "Room ID",   "Length m",   "Width m",
                                         "Height m", "Volume m3", "# Neighbors"};
  static const int kWidths[] = {800, 1560, 1800, 1800, 1800, 1800, 900};
  for (int c = 0; c < 7; ++c) {
    grid.SetTextMatrix(0, c, kHeaders[c]);
    grid.SetColWidth(c, kWidths[c]);
  }
  for (int r = 1; r <= n; ++r) grid.SetTextMatrix(r, 0, FormatSingle(static_cast<float>(r)));
}

void FillRoomGrid(FlexGrid& grid, BuildingRecord& building) {
  SetupRoomGrid(grid, building);
  const int n = RoomCount(building);
  for (int r = 1; r <= n; ++r) {
    RoomRecord& room = building.RoomList[r];
    grid.SetTextMatrix(r, 1, room.Name);
    SetPatternCell(grid, r, 2, room.Length, kLengthPattern);
    SetPatternCell(grid, r, 3, room.Width, kDimensionPattern);
    SetPatternCell(grid, r, 4, room.Height, kDimensionPattern);
    room.Volume = room.Height * room.Width * room.Length;
    SetPatternCell(grid, r, 5, room.Volume, kDimensionPattern);
    room.NumNeighbors = CountNeighbors(building, r);
    grid.SetTextMatrix(r, 6, SignedCount(room.NumNeighbors));
  }
  grid.SetRowCol(1, 1);
}

bool ReadRoomGrid(const FlexGrid& grid, BuildingRecord& building, Prompt& prompt) {
  // A grid shorter than the building (the room count changed while the window was open)
  // must not blank the rooms it does not show.
  const int n = std::min(RoomCount(building), grid.Rows() - 1);
  // Every size is checked before the first is stored, so that a refused grid changes nothing.
  std::vector<std::array<float, 3>> sizes(static_cast<size_t>(std::max(n, 0)) + 1);
  for (int r = 1; r <= n; ++r) {
    for (int k = 0; k < 3; ++k) {
      const std::optional<float> size = RoomSize(grid, r, 2 + k, prompt);
      if (!size) return false;
      sizes[static_cast<size_t>(r)][static_cast<size_t>(k)] = *size;
    }
  }
  for (int r = 1; r <= n; ++r) {
    RoomRecord& room = building.RoomList[r];
    room.Name = grid.TextMatrix(r, 1);
    if (room.Name.empty()) room.Name = "ROOM" + SignedCount(r);
    room.Length = sizes[static_cast<size_t>(r)][0];
    room.Width = sizes[static_cast<size_t>(r)][1];
    room.Height = sizes[static_cast<size_t>(r)][2];
    room.Volume = room.Length * room.Width * room.Height;
    // The flow grids are sized from the neighbour table; a count typed into column 6 that
    // disagreed with it would make them lose or overrun rows, so the table decides.
    room.NumNeighbors = CountNeighbors(building, r);
  }
  return true;
}

// --- Neighbour grid ----------------------------------------------------------------------

int NeighborRow(int room, int other_room) {
  return other_room < room ? other_room : other_room - 1;
}

std::optional<std::string> FillNeighborGrid(FlexGrid& grid, BuildingRecord& building, int16_t room,
                                            FlexGrid* room_grid) {
  const int n = RoomCount(building);
  if (n <= 1 || room < 1 || room > n) return std::nullopt;
  grid.SetRows(n);
  grid.SetCols(3);
  grid.SetTextMatrix(0, 0, "Room #");
  grid.SetTextMatrix(0, 1, "Room ID");
  grid.SetTextMatrix(0, 2, "Is Neighbor?");
  grid.SetColWidth(1, 1900);
  grid.SetColWidth(2, 1800);
  for (int j = 1; j <= n; ++j) {
    if (j == room) continue;
    const int row = NeighborRow(room, j);
    grid.SetTextMatrix(row, 0, FormatSingle(static_cast<float>(j)));
    grid.SetTextMatrix(row, 1, building.RoomList[j].Name);
    grid.SetTextMatrix(row, 2, building.Neighbors[room][j] != kFalse ? "Yes" : "No");
  }
  CountRoomNeighbors(building, room_grid);
  grid.SetRowCol(1, 1);
  return "# " + SignedCount(room) + " " + building.RoomList[room].Name;
}

void ReadNeighborGrid(const FlexGrid& grid, BuildingRecord& building, int16_t room) {
  const int n = RoomCount(building);
  if (room < 1 || room > n) return;
  for (int j = 1; j <= n; ++j) {
    if (j == room) continue;
    const int row = NeighborRow(room, j);
    if (row >= grid.Rows()) continue;  // not listed: the connection stays as it was
    const int16_t marked = grid.TextMatrix(row, 2) == "Yes" ? kTrue : kFalse;
    building.Neighbors[room][j] = marked;
    building.Neighbors[j][room] = marked;
  }
  building.RoomList[room].NumNeighbors = CountNeighbors(building, room);
}

void CountRoomNeighbors(BuildingRecord& building, FlexGrid* room_grid) {
  const int n = RoomCount(building);
  for (int i = 1; i <= n; ++i) {
    building.RoomList[i].NumNeighbors = CountNeighbors(building, i);
    if (room_grid != nullptr)
      room_grid->SetTextMatrix(i, 6, SignedCount(building.RoomList[i].NumNeighbors));
  }
}

}  // namespace quarn
