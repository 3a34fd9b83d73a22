#pragma once

#include <cstdint>
#include <string>

#include "model/records.h"

namespace quarn {

class FlexGrid;

// Flow-set codes of FlowSet (codes, not flags): the natural exchange, the flows the HVAC
// system drives, and the managed flows of the managed period.
inline constexpr int16_t kNaturalFlowSet = 0;
inline constexpr int16_t kHVACFlowSet = -1;
inline constexpr int16_t kManagedFlowSet = 1;

// --- Outdoor-flow grid -------------------------------------------------------------------

// The natural flows between every room and outdoors, with a totals row.
void FillOutdoorFlowGrid(FlexGrid& grid, const BuildingRecord& building);
// Columns 2 and 3 of the room rows into entering and leaving, indexed by room. Rooms the
// grid does not show keep the values the arrays hold.
void ReadOutdoorFlowGrid(const FlexGrid& grid, const BuildingRecord& building,
                         PerRoom<float>& entering, PerRoom<float>& leaving);

// --- Room-to-room flow grid --------------------------------------------------------------

// The flows of one set as the room-flow window edits them: four vectors by room and the
// room-to-room matrix (from, to). The HVAC vectors are unused by the natural set.
struct RoomFlowSet {
  PerRoom<float> from_outdoors{};
  PerRoom<float> to_outdoors{};
  PerRoom<float> from_hvac{};
  PerRoom<float> to_hvac{};
  RoomMatrix rooms{};
};

// Whether code is one of the three flow sets.
bool IsFlowSet(int16_t code);
// A copy of one set of the record (empty for an unknown code).
RoomFlowSet LoadRoomFlowSet(const ScenarioRecord& scenario, int16_t set);

// What the fill shows beside the grid: the room number label and the window's caption.
struct RoomFlowLabels {
  std::string room_number;
  std::string caption;
};

// Rows of the room-flow grid of room: the header, outdoors, HVAC (not for the natural set),
// one per neighbour other than the room itself, and the totals.
int RoomFlowGridRows(const BuildingRecord& building, int room, int16_t set);

// The flows of one room of a working set into the grid, with the totals row. Does nothing
// for a room outside the building or an unknown set.
void FillRoomFlowGrid(FlexGrid& grid, const BuildingRecord& building, const RoomFlowSet& flows,
                      int16_t room, int16_t set);
// The grid of room back into the working set, by position (the inverse of FillRoomFlowGrid).
void StoreRoomFlowGrid(const FlexGrid& grid, const BuildingRecord& building, RoomFlowSet& flows,
                       int16_t room, int16_t set);

// One room's flows of one set of the record into the grid; gives the window's labels
// (empty for a room outside the building or an unknown set, when nothing is filled).
RoomFlowLabels FillRoomToRoomFlowGrid(int16_t room, FlexGrid& grid, const BuildingRecord& building,
                                      int16_t set);
// The window's working set into the record's set: the vectors of rooms 1..NumRooms and the
// matrix entries of neighbouring pairs; other entries and unknown codes change nothing.
void ReadRoomFlowGrids(const RoomFlowSet& flows, int16_t set, BuildingRecord& building);

}  // namespace quarn
