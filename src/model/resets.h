#pragma once

#include <cstdint>

#include "model/program_state.h"
#include "model/records.h"

namespace quarn {

// The model record is never rebuilt: it is reset in place. Two families live side by side.
// The initialize family gives every field its default; the clear family empties the building
// and scenario in its own way and is always followed by the initialize family.
//
// Room counts come in as parameters because the scenario does not know how many rooms the
// building has; counts outside 0..13 are held to that range.

// Building defaults: one room, every room entry empty with HVAC number = its index,
// MasterFile "Temp". Neighbors, ScenarioNumber, ConcWorkFile, DisplayUnitCode and the
// scenario are left as they are.
void InitializeBuilding(BuildingRecord& building);

// The five parts of InitializeScenario, in the order it calls them.
void InitializeScenarioArrays(ScenarioRecord& scenario);
// Clears the pollutant records (Diameter kept), the outdoor history times and inputs, and the
// initial concentrations of rooms 1..num_rooms with their entered copies.
void InitializePollutants(ScenarioRecord& scenario, int num_rooms,
                          HistoryPollutant& outdoor_conc_input, RoomPollutant& initial_conc_input);
// Per-room flows and counts of rooms 1..num_rooms; nothing when num_rooms < 1.
void InitializeRoomFlows(ScenarioRecord& scenario, int num_rooms);
// The four occupant entries; CycleLength, the activity schedule and the file names are kept.
void InitializeOccupantsAndHVAC(ScenarioRecord& scenario);
// Every slot 0..3 of rooms 0..num_rooms (room 0, the HVAC system, always). EmissionUnits,
// SourceUnitsCode, GasVelocity, TotalMass and RawParam3 are kept.
void InitializeSources(ScenarioRecord& scenario, int num_rooms);

// Scenario defaults, then the five parts above. ConcUnits, OutdoorConcUnits,
// PollutantClass, NumPollutants, YearsSimulated and the schedules keep their values.
void InitializeScenario(ScenarioRecord& scenario, int num_rooms,
                        HistoryPollutant& outdoor_conc_input, RoomPollutant& initial_conc_input);
// The same on the program's building and its entered concentrations.
void InitializeScenario(ProgramState& state);

// The building window's File > New: an empty one-room building and an empty scenario, with
// nothing of the previous building left in any room slot, source, sink, occupant or
// pollutant, and every saved flag cleared.
void NewBuilding(ProgramState& state);

// Empties the building (rooms 1..NumRooms, then NumRooms 0) after ClearScenario. Room entry
// 0 and Neighbors are left as they are.
void ClearBuilding(ProgramState& state);

// Empties the scenario of state.Building the way the scenario editor's New and Open need
// before InitializeScenario; rooms above NumRooms are cleared completely, so that rooms added
// later start empty. Clears ScenarioSaved and the seven per-window saved flags.
void ClearScenario(ProgramState& state);

// ScenarioSaved and the seven per-window saved flags := false (not saved) or true (saved).
// BuildingSaved and RoomsSaved are not touched.
void ClearSavedFlags(ProgramState& state);
void SetSavedFlags(ProgramState& state);

}  // namespace quarn
