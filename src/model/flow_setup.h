#pragma once

#include "model/prompt.h"
#include "model/records.h"
#include "model/working_flows.h"

namespace quarn {

// Set-up of the air flows and concentrations of a concentration run. The flows a run derives
// go into the run's WorkingFlows; the flows the user entered are only read.

// The working flows a run starts from: the user's natural outdoor flows, the entered HVAC
// flows and system totals, and the user's penetration table. HVACInUse starts False.
void StartWorkingFlows(const ScenarioRecord& scenario, WorkingFlows& flows);

// Clears the airborne mass of the rooms and tells whether the user gave natural outflows to
// outdoors: true at the first room 1..NumRooms with NaturalToOutdoors above 0 (the rooms
// after it are left as they are), false when no room has one, in which case the run derives
// the natural flows from the air-change rate.
bool ClearResultArrays(RoomPollutant& mass_array, const BuildingRecord& building);

// Natural air in and out of rooms 1..roomCount from the air-change rate (1/h): volume × rate
// each way, so each room balances. Room 0 is not touched.
void SetOutdoorFlowsFromACH(const BuildingRecord& building, int room_count, float rate,
                            WorkingFlows& flows);

// The managed period: the managed flow set replaces the HVAC-driven flows and the sums of
// rooms 1..roomCount; the natural flows take no part.
void CopyScenarioFlows(const BuildingRecord& building, int room_count, WorkingFlows& flows);

// The sums the room mass balance reads: outdoor air in (natural plus HVAC), air out to
// outdoors (natural plus HVAC exhaust) and room-to-room (natural plus HVAC-driven) for every
// connected pair of rooms 1..NumRooms.
void SumRoomFlows(const BuildingRecord& building, WorkingFlows& flows);

// Start concentrations of rooms 0..roomCount from InitialConc (in the scenario's units):
// conc, newConc, the scenario's RoomConc and PreviousRoomConc, and the airborne mass
// (concentration × room volume).
void SetInitialConcentrations(RoomPollutant& mass_array, RoomPollutant& new_conc,
                              RoomPollutant& conc, BuildingRecord& building, int room_count);

// Brings what was entered in other units into the scenario's ConcUnits before a run:
// - the outdoor history (rows 1..50) from OutdoorConcInput when OutdoorConcUnits differs,
// - the initial concentrations of rooms 1..NumRooms from InitialConcInput when
//   InitialConcUnits differs (a unit name that is not one of the four words leaves the
//   values as they are),
// - every source's SourceUnitsCode from ConcUnits and its UnitFactor, and for the spill models
//   8 and 9 the moles of the first pollutant, ParamPerMole(0) = Params(7, 0) / MolWt.
// Particle counts and ppm cannot be converted into each other, and a ppm conversion with a
// molecular weight of 0 has no value: such a conversion is refused with a message naming the
// pollutant and false is returned, so that the run does not go on with stale or undefined
// concentrations.
bool SetupUnitsForCalculation(BuildingRecord& building, Prompt& prompt);

}  // namespace quarn
