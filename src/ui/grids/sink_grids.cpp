#include "ui/grids/sink_grids.h"

#include <algorithm>
#include <array>
#include <optional>

#include "model/prompt.h"
#include "platform/flex_grid.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/grids/grid_cells.h"

namespace quarn {

namespace {

// No cell of these grids shows thousands grouping, so a typed comma ends the number that
// CellValue reads ("1,5" is 1) rather than being dropped.

constexpr int kSinkNameTwips = 1500;  // the general sink grid's name column

constexpr int kRoomSinkCols = 7;
constexpr int kGeneralSinkCols = 6;
constexpr int kColRoom = 4;

// Counts and rooms come from files and grids: keep them inside the sink table.
int SinkCount(const BuildingRecord& b, int room) {
  if (room < 0 || room >= kRoomSlots) return 0;
  return SinkSlotCount(b.Scenario, room);
}

bool ValidPollutant(int p) {
  return p >= 0 && p < kMaxPollutants;
}

bool IsBlank(const std::string& s) {
  return s.find_first_not_of(' ') == std::string::npos;
}

// One sink in row `row` of the room sink grid for one pollutant, numbers in the general
// form: a grouping mask would show 1234.5 as "1,234.5", which the read-back takes as 1. The
// comments are shown so that Transfer, which reads every column back, keeps them.
void WriteRoomSinkRow(FlexGrid& g, int row, const SinkRecord& k, int pollutant) {
  g.SetTextMatrix(row, 1, k.Name);
  SetSingleCell(g, row, 2, k.ka[pollutant]);
  SetSingleCell(g, row, 3, k.kd[pollutant]);
  SetSingleCell(g, row, 4, k.Mass[pollutant]);
  SetSingleCell(g, row, 5, k.Area);
  g.SetTextMatrix(row, 6, k.Comments);
}

void WriteGeneralRow(FlexGrid& g, int row, int pollutant, int room, const SinkRecord& s,
                     const BuildingRecord& b) {
  g.SetTextMatrix(row, 0, s.Name);
  g.SetNumber(row, 1, s.ka[pollutant], FormatPattern(s.ka[pollutant], "##.#######"));
  g.SetNumber(row, 2, s.kd[pollutant], FormatPattern(s.kd[pollutant], "##.######"));
  SetSingleCell(g, row, 3, s.Area);
  g.SetNumber(row, kColRoom, room, FormatPattern(room, "###"));
  g.SetTextMatrix(row, 5, b.RoomList[room].Name);
}

}  // namespace

void SetupRoomSinkGrid(FlexGrid& grid, int room, const BuildingRecord& building) {
  const int n = SinkCount(building, room);
  grid.SetCols(kRoomSinkCols);
  grid.SetRows(n > 0 ? n + 1 : 2);
  const char* headers[kRoomSinkCols] = {"Sink #",    "Sink name", "ka",      "kd",
                                        "Sink mass", "Sink area", "Comments"};
  for (int c = 0; c < kRoomSinkCols; ++c) grid.SetTextMatrix(0, c, headers[c]);
  for (int c = 1; c < kRoomSinkCols; ++c) grid.SetColWidth(c, 1200);
  for (int s = 1; s <= n; ++s) grid.SetTextMatrix(s, 0, FormatSingle(static_cast<float>(s)));
  grid.show();
}

void FillRoomSinkGrid(FlexGrid& grid, int room, const BuildingRecord& building,
                      std::string& message) {
  const int n = SinkCount(building, room);
  if (n == 0) {
    message = "No sinks";
    grid.SetRows(2);
    for (int c = 1; c < grid.Cols(); ++c) grid.SetTextMatrix(1, c, "");
    return;
  }
  for (int s = 1; s <= n; ++s) WriteRoomSinkRow(grid, s, building.Scenario.Sinks[room][s], 0);
  grid.SetRowCol(1, 1);
  grid.setFocus();
}

namespace {

// Calls f with each field of the room window's copy of a sink, the same field as the window
// loaded it, and the scenario's.
template <class Window, class Loaded, class Stored, class F>
void ForEachSinkField(Window& window, Loaded& loaded, Stored& stored, F f) {
  f(window.Name, loaded.Name, stored.Name);
  f(window.Area, loaded.Area, stored.Area);
  f(window.Comments, loaded.Comments, stored.Comments);
  for (size_t p = 0; p < window.ka.size(); ++p) {
    f(window.ka[p], loaded.ka[p], stored.ka[p]);
    f(window.kd[p], loaded.kd[p], stored.kd[p]);
    f(window.Mass[p], loaded.Mass[p], stored.Mass[p]);
  }
}

}  // namespace

void StoreSinkData(const SinkTable& sinks, const SinkTable& loaded, int room,
                   BuildingRecord& building) {
  if (room < 1 || room > RoomCount(building)) return;
  const int n = SinkCount(building, room);
  for (int s = 1; s <= n; ++s) {
    ForEachSinkField(sinks[room][s], loaded[room][s], building.Scenario.Sinks[room][s],
                     [](const auto& edited, const auto& before, auto& stored) {
                       if (edited != before) stored = edited;
                     });
  }
}

void TakeStoredSinkData(SinkTable& sinks, SinkTable& loaded, int room,
                        const BuildingRecord& building) {
  if (room < 1 || room > RoomCount(building)) return;
  const int n = SinkCount(building, room);
  for (int s = 1; s <= n; ++s) {
    ForEachSinkField(sinks[room][s], loaded[room][s], building.Scenario.Sinks[room][s],
                     [](auto& shown, auto& before, const auto& stored) {
                       if (shown == before) shown = before = stored;
                     });
  }
}

void LoadSinkData(SinkTable& sinks, const BuildingRecord& building) {
  const int rooms = RoomCount(building);
  for (int room = 1; room <= rooms; ++room) {
    const int n = SinkCount(building, room);
    for (int s = 1; s <= n; ++s) sinks[room][s] = building.Scenario.Sinks[room][s];
  }
}

int FillSinkDataGrid(FlexGrid& grid, const SinkTable& sinks, int room, int pollutant,
                     const BuildingRecord& building, std::string& message) {
  if (!ValidPollutant(pollutant) || room < 1 || room > kMaxRooms) return 0;
  const int n = SinkCount(building, room);
  grid.SetRows(std::max(n, 1) + 1);
  if (n == 0) {
    for (int c = 1; c < grid.Cols(); ++c) grid.SetTextMatrix(1, c, "");
    message = "No sink";
    return 0;
  }
  for (int s = 1; s <= n; ++s) {
    // A sink added since the grid was set up needs its number too.
    grid.SetTextMatrix(s, 0, FormatSingle(static_cast<float>(s)));
    WriteRoomSinkRow(grid, s, sinks[room][s], pollutant);
  }
  message = building.RoomList[room].Name;
  return n;
}

void ReadSinkDataGrid(const FlexGrid& grid, SinkTable& sinks, int room, int pollutant, int filled) {
  if (!ValidPollutant(pollutant) || room < 1 || room > kMaxRooms) return;
  const int n = std::min({filled, kMaxSinks, grid.Rows() - 1});
  for (int s = 1; s <= n; ++s) {
    SinkRecord& k = sinks[room][s];
    k.Name = grid.TextMatrix(s, 1);
    k.ka[pollutant] = static_cast<float>(CellValue(grid, s, 2));
    k.kd[pollutant] = static_cast<float>(CellValue(grid, s, 3));
    k.Mass[pollutant] = static_cast<float>(CellValue(grid, s, 4));
    k.Area = static_cast<float>(CellValue(grid, s, 5));
    k.Comments = grid.TextMatrix(s, 6);
  }
}

void SetupGeneralSinkGrid(FlexGrid& grid) {
  grid.SetRows(20);
  grid.SetCols(kGeneralSinkCols);
  grid.SetFixedCols(0);
  grid.SetFixedRows(1);
  const char* headers[kGeneralSinkCols] = {"sink Name", "ka", "kd", "Area", "Room #", "Room ID"};
  for (int c = 0; c < kGeneralSinkCols; ++c) grid.SetTextMatrix(0, c, headers[c]);
  // Wide enough for its heading and a material's name; the numbers fit the default width.
  grid.SetColWidth(0, kSinkNameTwips);
}

void LoadGeneralSinkForm(FlexGrid& sink_ss, const BuildingRecord& building, GeneralSinkRows& rows) {
  // Two spare rows per room beyond the sinks, so there is always room to add one.
  sink_ss.SetRows(2 * RoomCount(building) + 5);
  sink_ss.SetCols(kGeneralSinkCols);
  FillGeneralSinkGrid(0, sink_ss, building, rows);
}

void FillGeneralSinkGrid(int pollutant, FlexGrid& grid, const BuildingRecord& building,
                         GeneralSinkRows& rows) {
  if (!ValidPollutant(pollutant)) return;
  grid.SetCols(kGeneralSinkCols);
  int total = 0;
  for (int room = 1; room <= RoomCount(building); ++room) total += SinkCount(building, room);
  // A grid sized elsewhere must still show every sink, with an empty row under them.
  if (grid.Rows() < total + 2) grid.SetRows(total + 2);

  rows.assign(static_cast<size_t>(grid.Rows()), SinkOrigin{});
  int row = 0;
  for (int room = 1; room <= RoomCount(building); ++room) {
    for (int s = 1; s <= SinkCount(building, room); ++s) {
      ++row;
      WriteGeneralRow(grid, row, pollutant, room, building.Scenario.Sinks[room][s], building);
      rows[static_cast<size_t>(row)] = {room, s};
    }
  }
  for (int r = row + 1; r < grid.Rows(); ++r) {
    for (int c = 0; c < grid.Cols(); ++c) grid.SetTextMatrix(r, c, "");
  }
  grid.SetRowCol(1, 0);
}

bool ReadGeneralSinkGrid(int pollutant, FlexGrid& grid, BuildingRecord& building,
                         GeneralSinkRows& rows, Prompt& prompt) {
  if (!ValidPollutant(pollutant)) return false;
  const int rooms = RoomCount(building);
  ScenarioRecord& scenario = building.Scenario;

  // First pass: the room of every row, checked against the record before anything changes.
  struct Placed {
    int row;
    int room;
    int slot;
  };
  std::vector<Placed> placed;
  std::array<int, kRoomSlots> count{};
  for (int r = 1; r < grid.Rows(); ++r) {
    const std::string cell = grid.TextMatrix(r, kColRoom);
    if (IsBlank(cell)) continue;
    const std::optional<int16_t> room = RoundToInt16(CellValue(grid, r, kColRoom));
    if (room && *room == 0) continue;
    if (!room || *room < 1 || *room > rooms) {
      prompt.Message("Error.  Row " + std::to_string(r) + " names room " + cell +
                         ", but the building has rooms 1 to " + std::to_string(rooms) +
                         ".  No sink data were transferred.",
                     "Error", MessageIcon::Exclamation);
      return false;
    }
    if (++count[*room] > kMaxSinks) {
      prompt.Message("Error.  Row " + std::to_string(r) + " is a third sink for room " +
                         std::to_string(*room) + ".  A room holds at most 2 sinks.  " +
                         "No sink data were transferred.",
                     "Error", MessageIcon::Exclamation);
      return false;
    }
    placed.push_back({r, *room, count[*room]});
  }

  // Second pass: every row takes the whole record it was filled from, so that the values
  // of the other pollutants travel with it; a row typed in by the user starts empty.
  const SinkTable before = scenario.Sinks;
  GeneralSinkRows after(static_cast<size_t>(std::max(grid.Rows(), 0)), SinkOrigin{});
  for (const Placed& p : placed) {
    const SinkOrigin origin =
        static_cast<size_t>(p.row) < rows.size() ? rows[static_cast<size_t>(p.row)] : SinkOrigin{};
    const bool stored = origin.room >= 1 && origin.room <= kMaxRooms && origin.slot >= 1 &&
                        origin.slot <= kMaxSinks;
    SinkRecord sink = stored ? before[origin.room][origin.slot] : SinkRecord{};
    sink.Name = grid.TextMatrix(p.row, 0);
    sink.ka[pollutant] = static_cast<float>(CellValue(grid, p.row, 1));
    sink.kd[pollutant] = static_cast<float>(CellValue(grid, p.row, 2));
    sink.Area = static_cast<float>(CellValue(grid, p.row, 3));
    scenario.Sinks[p.room][p.slot] = sink;
    after[static_cast<size_t>(p.row)] = {p.room, p.slot};
  }
  for (int room = 1; room <= rooms; ++room)
    scenario.NumSinks[room] = static_cast<int16_t>(count[room]);
  rows = std::move(after);
  return true;
}

}  // namespace quarn
