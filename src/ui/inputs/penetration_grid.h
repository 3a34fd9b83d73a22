#pragma once

#include "model/records.h"

namespace quarn {

class FlexGrid;
class Prompt;

// The building penetration grid: one row per pollutant, its diameter (particles) or name
// (gases) beside its penetration factor. `n` is the number of pollutants shown; it is held
// to the pollutant slots.

// Two columns, n + 1 rows, one heading row and no heading column.
void SetupPenetrationGrid(FlexGrid& penetrationss, const ScenarioRecord& scenario, int n);
// Row i + 1 for pollutant i: its Diameter (particles) or Name (gases), its factor shown
// "#.###" while the cell keeps the exact factor. The cursor ends on row 1, column 1.
void LoadPenetrationGrid(FlexGrid& penetrationss, const ScenarioRecord& scenario, int n);
// Column 0 into the particle-diameter list and column 1 into BuildingPenetration, each
// cell by its number (0 for a text without one).
void SavePenetrationGrid(const FlexGrid& penetrationss, int n, ScenarioRecord& scenario,
                         PerPollutant<float>& particle_diameters);
// Whether every factor shown is a number from 0 to 1; otherwise the user is told (false).
bool PenetrationFactorsValid(const FlexGrid& penetrationss, int n, Prompt& prompt);
// Column 1 of every row from the default factor of its pollutant's Diameter, written as
// the text "#.##" shows, so that what is stored is what the user sees.
void CalculateDefaultPenetration(FlexGrid& penetrationss, const ScenarioRecord& scenario);

}  // namespace quarn
