#include "model/resets.h"

namespace quarn {

void InitializeScenario(ProgramState& state) {
  InitializeScenario(state.Building.Scenario, state.Building.NumRooms);
}

void NewBuilding(ProgramState& state) {
  BuildingRecord& b = state.Building;
  // Nothing of the previous building may survive in a slot that is unused now: a room added
  // later would otherwise bring back its sources, sinks, flows and occupants' schedules.
  b.RoomList = {};
  b.Neighbors = {};
  b.Scenario = ScenarioRecord{};
  // 1.0 is "no filter"; an all-zero table would be a perfect filter at every position.
  for (auto& position : b.Scenario.FilterPenetration) position.fill(1.0f);
  state.ParticleDiameters = {};

  InitializeBuilding(b);
  // Every room slot gets its defaults, not only the one room in use.
  InitializeScenario(b.Scenario, kMaxRooms);
  state.MaxConcentration = 20;
  state.BuildingSaved = false;
  ClearSavedFlags(state);
  state.RoomsSaved = false;
}

void ClearBuilding(ProgramState& state) {
  ClearBuilding(state.Building);
  ClearSavedFlags(state);
}

void ClearScenario(ProgramState& state) {
  ClearScenario(state.Building.Scenario, state.Building.NumRooms);
  ClearSavedFlags(state);
}

namespace {

void PutSavedFlags(ProgramState& state, bool saved) {
  for (bool* f : {&state.SourcesSaved, &state.SinksSaved, &state.OccupantsSaved,
                  &state.RoomFlowsSaved, &state.VentilationSaved, &state.ScenarioSaved})
    *f = saved;
}

}  // namespace

void ClearSavedFlags(ProgramState& state) {
  PutSavedFlags(state, false);
}

void SetSavedFlags(ProgramState& state) {
  PutSavedFlags(state, true);
}

}  // namespace quarn
