#pragma once

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
// Clears the pollutant records (Diameter kept), the outdoor history times and the values as
// entered, and the initial concentrations of rooms 1..num_rooms with their entered copies.
void InitializePollutants(ScenarioRecord& scenario, int num_rooms);
// Per-room flows and counts of rooms 1..num_rooms; nothing when num_rooms < 1.
void InitializeRoomFlows(ScenarioRecord& scenario, int num_rooms);
// The four occupant entries; CycleLength, the activity schedule and the file names are kept.
void InitializeOccupantsAndHVAC(ScenarioRecord& scenario);
// Every slot 0..3 of rooms 0..num_rooms (room 0, the HVAC system, always). EmissionUnits,
// SourceUnitsCode, GasVelocity, TotalMass and RawParam3 are kept.
void InitializeSources(ScenarioRecord& scenario, int num_rooms);

// Scenario defaults, then the five parts above. ConcUnits, OutdoorConcUnits,
// PollutantClass, NumPollutants, YearsSimulated and the schedules keep their values.
void InitializeScenario(ScenarioRecord& scenario, int num_rooms);
// Empties the scenario the way the scenario editor's New and Open need before
// InitializeScenario; rooms above num_rooms are cleared completely, so that rooms added later
// start empty.
void ClearScenario(ScenarioRecord& scenario, int num_rooms);

// Empties the building (rooms 1..NumRooms, then NumRooms 0) and its scenario. Room entry 0
// and Neighbors are left as they are.
void ClearBuilding(BuildingRecord& building);

}  // namespace quarn
