#include "ui/inputs/penetration_grid.h"

#include <algorithm>

#include "model/particle_defaults.h"
#include "platform/flex_grid.h"
#include "text/number_text.h"
#include "ui/grids/grid_cells.h"

namespace quarn {
namespace {

constexpr int kFirstCol = 0;
constexpr int kFactorCol = 1;

int Shown(int n) {
  return std::clamp(n, 0, kMaxPollutants);
}

}  // namespace

void SetupPenetrationGrid(FlexGrid& penetrationss, const ScenarioRecord& scenario, int n) {
  penetrationss.SetCols(2);
  penetrationss.SetRows(Shown(n) + 1);
  penetrationss.SetFixedRows(1);
  penetrationss.SetFixedCols(0);
  penetrationss.SetTextMatrix(0, kFirstCol, IsParticleMode(scenario) ? "Diameter" : "Name");
  penetrationss.SetTextMatrix(0, kFactorCol, "Penetration");
}

void LoadPenetrationGrid(FlexGrid& penetrationss, const ScenarioRecord& scenario, int n) {
  const bool particles = IsParticleMode(scenario);
  const int shown = std::min(Shown(n), penetrationss.Rows() - 1);
  for (int i = 0; i < shown; ++i) {
    const PollutantRecord& pol = scenario.Pollutants[i];
    if (particles) {
      SetPatternCell(penetrationss, i + 1, kFirstCol, pol.Diameter, "###.###");
    } else {
      penetrationss.SetTextMatrix(i + 1, kFirstCol, pol.Name);
    }
    SetPatternCell(penetrationss, i + 1, kFactorCol, scenario.BuildingPenetration[i], "#.###");
  }
  penetrationss.SetRowCol(1, kFactorCol);
}

void SavePenetrationGrid(const FlexGrid& penetrationss, int n, ScenarioRecord& scenario,
                         PerPollutant<float>& particle_diameters) {
  const int shown = std::min(Shown(n), penetrationss.Rows() - 1);
  for (int i = 0; i < shown; ++i) {
    particle_diameters[i] = CellSingle(penetrationss, i + 1, kFirstCol);
    scenario.BuildingPenetration[i] = CellSingle(penetrationss, i + 1, kFactorCol);
  }
}

bool PenetrationFactorsValid(const FlexGrid& penetrationss, int n, Prompt& prompt) {
  // A factor is the share of the outdoor pollutant that comes in: 0 to 1.
  const int shown = std::min(Shown(n), penetrationss.Rows() - 1);
  return CellsInRange(penetrationss, 1, shown, kFactorCol, kFactorCol, 0, 1,
                      "Error.  Penetration factors must be from 0 to 1.  Reenter data.", prompt);
}

void CalculateDefaultPenetration(FlexGrid& penetrationss, const ScenarioRecord& scenario) {
  const int rows = std::min(penetrationss.Rows() - 1, kMaxPollutants);
  for (int r = 1; r <= rows; ++r) {
    // The diameters the pollutant window held when this grid was opened.
    const float p =
        std::clamp(PenetrationFromDiameter(scenario.Pollutants[r - 1].Diameter), 0.0f, 1.0f);
    penetrationss.SetTextMatrix(r, kFactorCol, FormatPattern(p, "#.##"));
  }
}

}  // namespace quarn
