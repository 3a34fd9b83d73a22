#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "model/records.h"

namespace quarn {

// The air flows and penetrations in force during one concentration run. The set-up derives
// them from what the user entered (the air-change rate, the managed flow set, the HVAC
// history fraction, the chosen filter kind) and the run changes them from step to step; the
// fields the user entered in the scenario are never written, so an edited air-change rate or
// filter kind takes effect in the next run instead of being shadowed by a previous run's
// derived values. The run object owns one.
//
// Indices as in the scenario: rooms 0..13 (in the flow tables room 0 is the HVAC system),
// room-to-room tables (from room, to room), pollutants 0..7, filter positions 0..4. Flows in
// m³/h.
struct WorkingFlows {
  // Natural outdoor air in force: the user's flows, or room volume × air-change rate when
  // the user gave none.
  PerRoom<float> NaturalFromOutdoors{};
  PerRoom<float> NaturalToOutdoors{};

  // HVAC-driven flows of the step (the entered ones scaled by the HVAC history, or the
  // managed set during the managed period).
  PerRoom<float> BaseHVACSupply{};
  PerRoom<float> BaseHVACReturn{};
  PerRoom<float> WorkingHVACExhaust{};     // room exhaust straight to outdoors
  PerRoom<float> WorkingHVACOutdoorAir{};  // outdoor air delivered straight to the room
  RoomMatrix FlowMatrix{};                 // HVAC-driven room-to-room flows
  // The HVAC system's own totals, room 0 of the balance: E, the air the system exhausts
  // from the mixed return air (copied from HVACOutdoorAirTotal, which despite its name is
  // the exhaust), and O, the outdoor air it takes in (HVACMakeUpTotal).
  float HVACExhaustTotal = 0;
  float HVACIntakeTotal = 0;

  // The sums the room mass balance reads.
  PerRoom<float> TotalToOutdoors{};    // everything leaving room r for outdoors
  PerRoom<float> TotalFromOutdoors{};  // everything entering room r from outdoors
  RoomMatrix TotalBetweenRooms{};      // natural plus HVAC-driven flow from room i to room j

  // Fraction of each pollutant that passes each device (1 = no removal): position 0 the HVAC
  // filter, positions 1..4 the air-cleaner locations of the HVAC system types.
  std::array<std::array<float, kMaxPollutants>, kFilterPositions> FilterPenetration{};

  // True (-1) once some room has an HVAC supply flow.
  bool HVACInUse = false;
};

}  // namespace quarn
