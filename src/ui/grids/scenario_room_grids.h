#pragma once

#include <array>

#include "model/program_state.h"
#include "model/records.h"

namespace quarn {

class FlexGrid;
class Prompt;

// Which of the three unit option buttons of the concentration windows is checked: Option1
// "#/cc" (particles) or ppm (gases), Option2 micrograms, Option3 milligrams.
struct UnitOptions {
  bool number_or_ppm = false;
  bool micrograms = false;
  bool milligrams = false;
};

// ---- Scenario room window: source and sink counts and room air cleaners per room ----

void FillScenarioRoomGrid(FlexGrid& grid, const BuildingRecord& building);

// Reads counts and air cleaners back. Every row is checked first: its room must be 1 to
// NumRooms, its sources 0 to 3 and its sinks 0 to 2; a row outside is refused with a
// message naming the room and nothing is stored (false).
bool ReadScenarioRoomGrid(FlexGrid& grid, BuildingRecord& building, Prompt& prompt);

// Rewrites the two count columns, keeping the current cell.
void FillRoomCountGrid(FlexGrid& grid, const BuildingRecord& building);

// ---- Outdoor concentration history ----

void SetupConcHistoryGrid(FlexGrid& grid);
// The 50 time points, as entered (OutdoorConcInput) and converted (OutdoorConc, yellow).
void FillConcGrid(FlexGrid& grid, const BuildingRecord& building);
// Reads the unit choice and the history back and converts it into the scenario's units.
// The points after the last one read are set to 0, so that deleted points do not return.
// A value that cannot be converted (no rule between the units, a molecular weight of 0)
// is refused with a message and nothing is stored (false).
bool ReadOutdoorConcGrid(FlexGrid& grid, const UnitOptions& options, BuildingRecord& building,
                         Prompt& prompt);

// ---- Initial indoor concentrations ----

// Lays out Initialss and sets the option of InitialConcUnits (an empty one becomes "ppm"
// for gases, "number" for particles).
void SetupInitialConcentrationGrid(FlexGrid& initialss, UnitOptions& options,
                                   BuildingRecord& building);
void LoadInitialConcentrationGrid(FlexGrid& initialss, const BuildingRecord& building);
// Reads the entered block back and converts it into InitialConc; the grid is not changed.
// A value that cannot be converted is refused with a message and nothing is stored (false).
bool ReadInitialConcGrid(FlexGrid& grid, BuildingRecord& building, Prompt& prompt);

// ---- Pollutant definitions ----

void SetupPollutantGrid(FlexGrid& definepollutantss, const ScenarioRecord& scenario);
// In particle mode also sets ParticleDiameters from the pollutants' names.
void LoadPollutantGrid(FlexGrid& definepollutantss, ProgramState& state);
void ReadPollutantGrid(FlexGrid& grid, ScenarioRecord& scenario);
// Column 2 of every data row into the Diameter of pollutant row - 1.
void ReadParticleDiameters(const FlexGrid& grid,
                           std::array<PollutantRecord, kMaxPollutants>& pollutants);

}  // namespace quarn
