#pragma once

#include <string>
#include <vector>

#include "model/prompt.h"
#include "model/records.h"
#include "model/working_flows.h"

namespace quarn {

// Checks made before a concentration run. Each reports what is wrong through the prompt and
// returns false so that the command stops. Messages that the program shows with its default
// title pass an empty title; the window layer puts the program's title there.

// Every room 1..NumRooms must have a volume above 0: a room without volume divides the
// outdoor term, the inflow and the loss coefficient by zero. Stops at the first such room.
bool CheckRoomVolumes(const BuildingRecord& building, Prompt& prompt);

// At least one pollutant, and (outside particle mode) a molecular weight above 0 for each,
// since the ppm conversions divide by it; the user may accept a weight of 0.
bool CheckPollutants(const ScenarioRecord& scenario, Prompt& prompt);

// Checks that the natural, the HVAC-driven and (when ManagedFlowFlag is "Y") the managed
// flow set balance within 1 %, in total and room by room, and reports every imbalance of
// the first set that fails. The natural flows checked are those in force for the run
// (`flows`, so that flows derived from the air-change rate are included); the HVAC and
// managed sets are the entered ones. Sets flows.hvac_in_use when some room has an HVAC supply.
// Returns true when every checked set balances.
bool CheckFlowBalance(const BuildingRecord& building, WorkingFlows& flows, Prompt& prompt);

// A room whose flows do not balance: what enters it and what leaves it, m3/h.
struct RoomImbalance {
  int room = 0;
  double entering = 0;
  double leaving = 0;
};
// The rooms whose natural flows, with these outdoor flows and this room-to-room table, do
// not balance within the run's 1 %, for the natural-flow windows to warn of at Transfer.
std::vector<RoomImbalance> NaturalFlowImbalances(const BuildingRecord& building,
                                                 const PerRoom<float>& from_outdoors,
                                                 const PerRoom<float>& to_outdoors,
                                                 const RoomMatrix& room_flows);
// The question they ask then, naming each room with its flows in and out; empty for none.
std::string NaturalImbalanceQuestion(const BuildingRecord& building,
                                     const std::vector<RoomImbalance>& rooms);

}  // namespace quarn
