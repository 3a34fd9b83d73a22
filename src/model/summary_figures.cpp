#include "model/summary_figures.h"

#include "model/exposure_units.h"
#include "model/unit_conversion.h"

namespace quarn {

namespace {

std::optional<float> If(bool calculated, float value) {
  return calculated ? std::optional<float>(value) : std::nullopt;
}

}  // namespace

SummaryFigures SummaryFiguresOf(const ScenarioRecord& scenario, CalculatedResults calculated,
                                int occupant, int p) {
  const PollutantRecord& pollutant = scenario.Pollutants[p];
  const OccupantRecord& occ = scenario.Occupants[occupant];
  const bool exposure = calculated.exposure;
  // A dose per body weight is an amount inhaled: inhalation mode, and a mass, not a count.
  const bool dose = exposure && scenario.ExposureMode == "I" &&
                    ExposureUnitsOf(scenario).has_mass_dose && occ.Weight > 0;
  const bool risk = exposure && calculated.risk && pollutant.CancerRisk != 0 &&
                    (scenario.ConcUnits != kNumber || ParticleMassMicrograms(pollutant));
  return {.hours_above = If(exposure && pollutant.IrritantConc > 0, occ.HoursAboveIrritant[p]),
          .total_exposure = If(exposure, occ.TotalExposure[p]),
          .peak_exposure = If(exposure, occ.PeakExposure[p]),
          .potential_dose = If(dose, occ.PotentialDose[p]),
          .rfd = If(pollutant.RfD != 0, pollutant.RfD),
          .cancer_risk = If(risk, occ.CancerRiskResult[p])};
}

}  // namespace quarn
