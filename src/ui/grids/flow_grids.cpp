#include "ui/grids/flow_grids.h"

#include <algorithm>
#include <type_traits>

#include "platform/flex_grid.h"
#include "text/number_text.h"
#include "ui/grids/grid_cells.h"
#include "ui/grids/room_grids.h"

namespace quarn {

namespace {

// Pointers to the fields of one flow set of the scenario (const for a read-only record).
template <class Scenario>
struct SetFields {
  template <class T>
  using Ptr = std::conditional_t<std::is_const_v<Scenario>, const T*, T*>;
  Ptr<PerRoom<float>> from_outdoors;
  Ptr<PerRoom<float>> to_outdoors;
  Ptr<PerRoom<float>> from_hvac;  // null for the natural set
  Ptr<PerRoom<float>> to_hvac;
  Ptr<RoomMatrix> rooms;
};

template <class Scenario>
SetFields<Scenario> FieldsOf(Scenario& s, int16_t set) {
  switch (set) {
    case kNaturalFlowSet:
      return {&s.NaturalFromOutdoors, &s.NaturalToOutdoors, nullptr, nullptr, &s.NaturalRoomFlows};
    case kHVACFlowSet:
      return {&s.HVACOutdoorAir, &s.HVACExhaust, &s.HVACSupply, &s.HVACReturn, &s.HVACRoomFlows};
    case kManagedFlowSet:
      return {&s.ManagedFromOutdoors, &s.ManagedToOutdoors, &s.ManagedSupply, &s.ManagedReturn,
              &s.ManagedRoomFlows};
    default:
      return {nullptr, nullptr, nullptr, nullptr, nullptr};
  }
}

bool HasHVACRow(int16_t set) {
  return set != kNaturalFlowSet;
}

bool IsNeighbor(const BuildingRecord& b, int i, int j) {
  return j != i && b.Neighbors[i][j] != kFalse;
}

}  // namespace

// --- Outdoor-flow grid -------------------------------------------------------------------

void FillOutdoorFlowGrid(FlexGrid& grid, const BuildingRecord& building) {
  const ScenarioRecord& s = building.Scenario;
  const int n = RoomCount(building);
  grid.SetRedraw(false);  // the window shows the grid; painting waits for the fill
  grid.SetRows(n + 2);
  grid.SetCols(4);
  grid.SetWordWrap(true);
  for (int c = 0; c < 4; ++c) grid.SetColWidth(c, 1000);
  grid.SetColWidth(2, 1300);
  grid.SetColWidth(3, 1300);
  grid.SetColWidth(1, 2000);
  grid.SetRowHeight(0, 650);
  grid.SetTextMatrix(0, 0, "Room #");
  grid.SetTextMatrix(0, 1, "Room ID");
  // Flows are volumes an hour: room volume in m³ times air changes an hour.
  grid.SetTextMatrix(0, 2, "Outdoor air entering\nm\xB3/h");
  grid.SetTextMatrix(0, 3, "Air leaving to outdoors\nm\xB3/h");
  const int last = n + 1;
  grid.SetTextMatrix(last, 0, "Total");
  float entering = 0;
  float leaving = 0;
  for (int r = 1; r <= n; ++r) {
    grid.SetTextMatrix(r, 0, FormatSingle(static_cast<float>(r)));
    grid.SetTextMatrix(r, 1, building.RoomList[r].Name);
    SetSingleCell(grid, r, 2, s.NaturalFromOutdoors[r]);
    SetSingleCell(grid, r, 3, s.NaturalToOutdoors[r]);
    entering += s.NaturalFromOutdoors[r];
    leaving += s.NaturalToOutdoors[r];
  }
  grid.SetTextMatrix(last, 1, "Totals");
  SetSingleCell(grid, last, 2, entering);
  SetSingleCell(grid, last, 3, leaving);
  grid.SetRowCol(1, 2);
  grid.SetRedraw(true);
}

void ReadOutdoorFlowGrid(const FlexGrid& grid, const BuildingRecord& building,
                         PerRoom<float>& entering, PerRoom<float>& leaving) {
  const int n = std::min(RoomCount(building), grid.Rows() - 2);
  for (int r = 1; r <= n; ++r) {
    entering[r] = CellSingle(grid, r, 2);
    leaving[r] = CellSingle(grid, r, 3);
  }
}

// --- Room-to-room flow grid --------------------------------------------------------------

bool IsFlowSet(int16_t code) {
  return code == kNaturalFlowSet || code == kHVACFlowSet || code == kManagedFlowSet;
}

RoomFlowSet LoadRoomFlowSet(const ScenarioRecord& scenario, int16_t set) {
  RoomFlowSet flows;
  const auto f = FieldsOf(scenario, set);
  if (f.rooms == nullptr) return flows;
  flows.from_outdoors = *f.from_outdoors;
  flows.to_outdoors = *f.to_outdoors;
  if (f.from_hvac != nullptr) {
    flows.from_hvac = *f.from_hvac;
    flows.to_hvac = *f.to_hvac;
  }
  flows.rooms = *f.rooms;
  return flows;
}

int RoomFlowGridRows(const BuildingRecord& building, int room, int16_t set) {
  return CountNeighbors(building, room) + (HasHVACRow(set) ? 4 : 3);
}

void FillRoomFlowGrid(FlexGrid& grid, const BuildingRecord& building, const RoomFlowSet& flows,
                      int16_t room, int16_t set) {
  const int n = RoomCount(building);
  if (room < 1 || room > n || !IsFlowSet(set)) return;
  // Sized from the neighbour table itself, so that every neighbour has its row and the
  // totals row stays last whatever the stored count says.
  grid.SetRows(RoomFlowGridRows(building, room, set));
  grid.SetCols(5);
  grid.SetTextMatrix(0, 0, "Room #");
  grid.SetTextMatrix(0, 1, "Room ID");
  grid.SetTextMatrix(0, 2, "Flow entering current room from\nm\xB3/h");
  grid.SetTextMatrix(0, 3, "Flow leaving current room to\nm\xB3/h");
  for (int c = 1; c <= 3; ++c) grid.SetColWidth(c, 900);

  float entering = 0;
  float leaving = 0;
  int row = 1;
  auto put = [&](const std::string& key, const std::string& name, float in, float out) {
    grid.SetTextMatrix(row, 0, key);
    grid.SetTextMatrix(row, 1, name);
    SetSingleCell(grid, row, 2, in);
    SetSingleCell(grid, row, 3, out);
    entering += in;
    leaving += out;
    ++row;
  };
  put("--", "Outdoors", flows.from_outdoors[room], flows.to_outdoors[room]);
  if (HasHVACRow(set)) put("---", "HVAC", flows.from_hvac[room], flows.to_hvac[room]);
  for (int j = 1; j <= n; ++j) {
    if (!IsNeighbor(building, room, j)) continue;
    // The flow from j into this room is j's "leaving to" this room: one matrix element
    // seen from both rooms.
    put(FormatSingle(static_cast<float>(j)), building.RoomList[j].Name, flows.rooms[j][room],
        flows.rooms[room][j]);
  }
  grid.SetTextMatrix(row, 0, "Total");
  grid.SetTextMatrix(row, 1, "=");
  SetSingleCell(grid, row, 2, entering);
  SetSingleCell(grid, row, 3, leaving);
  grid.SetRowCol(1, 2);
}

void StoreRoomFlowGrid(const FlexGrid& grid, const BuildingRecord& building, RoomFlowSet& flows,
                       int16_t room, int16_t set) {
  const int n = RoomCount(building);
  if (room < 1 || room > n || !IsFlowSet(set)) return;
  const int last = grid.Rows() - 1;  // the totals row is never read
  int row = 1;
  if (row < last) {
    flows.from_outdoors[room] = CellSingle(grid, row, 2);
    flows.to_outdoors[room] = CellSingle(grid, row, 3);
  }
  ++row;
  if (HasHVACRow(set)) {
    if (row < last) {
      flows.from_hvac[room] = CellSingle(grid, row, 2);
      flows.to_hvac[room] = CellSingle(grid, row, 3);
    }
    ++row;
  }
  for (int j = 1; j <= n && row < last; ++j) {
    if (!IsNeighbor(building, room, j)) continue;
    flows.rooms[j][room] = CellSingle(grid, row, 2);
    flows.rooms[room][j] = CellSingle(grid, row, 3);
    ++row;
  }
}

RoomFlowLabels FillRoomToRoomFlowGrid(int16_t room, FlexGrid& grid, const BuildingRecord& building,
                                      int16_t set) {
  if (room < 1 || room > RoomCount(building) || !IsFlowSet(set)) return {};
  grid.SetRedraw(false);  // the window shows the grid; painting waits for the fill
  FillRoomFlowGrid(grid, building, LoadRoomFlowSet(building.Scenario, set), room, set);
  grid.SetRedraw(true);
  RoomFlowLabels labels;
  labels.room_number = FormatSingle(static_cast<float>(room));
  labels.caption = set == kNaturalFlowSet ? "Natural driven Room-to-Room flows"
                   : set == kHVACFlowSet  ? "HVAC driven Room-to-Room flows"
                                          : "Managed Room-to-Room flows";
  return labels;
}

void ReadRoomFlowGrids(const RoomFlowSet& flows, int16_t set, BuildingRecord& building) {
  const auto f = FieldsOf(building.Scenario, set);
  if (f.rooms == nullptr) return;
  const int n = RoomCount(building);
  for (int r = 1; r <= n; ++r) {
    (*f.from_outdoors)[r] = flows.from_outdoors[r];
    (*f.to_outdoors)[r] = flows.to_outdoors[r];
    if (f.from_hvac != nullptr) {
      (*f.from_hvac)[r] = flows.from_hvac[r];
      (*f.to_hvac)[r] = flows.to_hvac[r];
    }
    for (int j = 1; j <= n; ++j)
      if (IsNeighbor(building, r, j)) (*f.rooms)[r][j] = flows.rooms[r][j];
  }
}

}  // namespace quarn
