#pragma once

#include <array>

#include "model/prompt.h"
#include "model/records.h"
#include "model/working_flows.h"

namespace quarn {

// The penetration table: fraction of each pollutant that passes each device, (position 0..4,
// pollutant 0..7). Position 0 is the HVAC filter, 1..4 the air-cleaner locations of the HVAC
// system types.
using PenetrationTable = std::array<std::array<float, kMaxPollutants>, kFilterPositions>;

// Filter kinds, the index into the HVAC air-cleaner window's list.
inline constexpr int kFilterNone = 0;
inline constexpr int kFilterUserDefined = 9;

// Fractional removal (0..1) of filter kind 1..8 for the pollutant's particle size: its Name is
// the size-bin diameter in µm in particle mode. A name that is not a number (a gas), a
// diameter of 0 or less, or a kind outside 1..8 gives 0. Each kind is a fitted curve of the
// efficiency in percent against ln d, capped at 100 %.
float FilterEfficiency(const PollutantRecord& pollutant, int kind);

// Position 0 of the table for pollutant p from the kind: kind 0 passes everything, kinds
// 1..8 pass 1 - FilterEfficiency, any other kind (9, user defined) keeps the value the user
// entered. `position` names the device being set up but the HVAC filter element at position
// 0 is always the one written: the HVAC air-cleaner window keeps one filter per scenario.
void SetAirCleanerPenetration(int position, int kind, const PollutantRecord& pollutant,
                              PenetrationTable& table, int p);

// Positions 1..4 other than `position` pass everything for pollutant p; position 5 (no
// single location) clears all four.
void SetUnusedCleanerPositions(int position, PenetrationTable& table, int p);

// The HVAC air-cleaner window's Transfer: position 0 of the scenario's own table from the
// filter kind the user chose, for every pollutant.
void SetFilterPenetration(ScenarioRecord& scenario);

// Run set-up: clears the leaving-mass totals (LeavingMass) and fills flows.filter_penetration
// from the scenario's table, the HVAC system type and the filter kind; the scenario's table
// is not changed. When the chosen filter would remove something but its capacity is 0 or
// less, says once that it removes nothing (see HVACFilterCapacityWarning in hvac.h).
void SetupAirCleaners(ScenarioRecord& scenario, WorkingFlows& flows, Prompt& prompt);

}  // namespace quarn
