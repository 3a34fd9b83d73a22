#pragma once

#include "model/program_state.h"
#include "model/record_resets.h"

namespace quarn {

// The resets of the program state: its building through the record resets, and its flags.

// InitializeScenario on the program's building.
void InitializeScenario(ProgramState& state);

// The building window's File > New: an empty one-room building and an empty scenario, with
// nothing of the previous building left in any room slot, source, sink, occupant or
// pollutant, and every saved flag cleared.
void NewBuilding(ProgramState& state);

// ClearBuilding and ClearScenario on the program's building, which also clear ScenarioSaved and
// the five per-window saved flags.
void ClearBuilding(ProgramState& state);
void ClearScenario(ProgramState& state);

// ScenarioSaved and the five per-window saved flags := false (not saved) or true (saved).
// BuildingSaved and RoomsSaved are not touched.
void ClearSavedFlags(ProgramState& state);
void SetSavedFlags(ProgramState& state);

}  // namespace quarn
