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
  PerRoom<float> natural_from_outdoors{};
  PerRoom<float> natural_to_outdoors{};

  // HVAC-driven flows of the step (the entered ones scaled by the HVAC history, or the
  // managed set during the managed period).
  PerRoom<float> base_hvac_supply{};
  PerRoom<float> base_hvac_return{};
  PerRoom<float> working_hvac_exhaust{};      // room exhaust straight to outdoors
  PerRoom<float> working_hvac_outdoor_air{};  // outdoor air delivered straight to the room
  RoomMatrix flow_matrix{};                   // HVAC-driven room-to-room flows
  // The HVAC system's own totals, room 0 of the balance: E, the air the system exhausts
  // from the mixed return air (copied from HVACOutdoorAirTotal, which despite its name is
  // the exhaust), and O, the outdoor air it takes in (HVACMakeUpTotal).
  float hvac_exhaust_total = 0;
  float hvac_intake_total = 0;

  // The sums the room mass balance reads.
  PerRoom<float> total_to_outdoors{};    // everything leaving room r for outdoors
  PerRoom<float> total_from_outdoors{};  // everything entering room r from outdoors
  RoomMatrix total_between_rooms{};      // natural plus HVAC-driven flow from room i to room j

  // Fraction of each pollutant that passes each device (1 = no removal): position 0 the HVAC
  // filter, positions 1..4 the air-cleaner locations of the HVAC system types.
  std::array<std::array<float, kMaxPollutants>, kFilterPositions> filter_penetration{};

  // True (-1) once some room has an HVAC supply flow.
  bool hvac_in_use = false;
};

}  // namespace quarn
