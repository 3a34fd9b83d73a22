#include "model/risk.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "model/records.h"
#include "model/unit_conversion.h"

namespace quarn {

RiskOrFault CancerRiskOf(const ScenarioRecord& scenario, const OccupantRecord& occupant, int p,
                         float dose, float years) {
  // In inhalation mode the dose is an amount inhaled: spread over the air breathed in the
  // whole period it is the mean concentration breathed. Otherwise it is a concentration
  // times hours.
  const float rate = scenario.ExposureMode == "I" ? occupant.BreathingRate : 1.0f;  // m³/h
  const float spread = years * 365.0f * rate * 24.0f;
  if (spread == 0.0f) return {.fault = "Division by zero"};
  const float mean = dose / spread;
  // The slope factor is per µg/m³.
  const PollutantRecord& pollutant = scenario.Pollutants[p];
  if (scenario.ConcUnits == kNumber && !ParticleMassMicrograms(pollutant)) {
    return {.fault = kNoParticleMass};
  }
  const std::optional<float> micrograms =
      ConvertConcentrationUnits(scenario.ConcUnits, kMicrograms, mean, pollutant);
  if (!micrograms) return {.fault = "Unknown concentration units"};
  const float risk = *micrograms * pollutant.CancerRisk;
  if (!std::isfinite(risk)) return {.fault = "Overflow"};
  return {.risk = risk};
}

bool RunRiskCalculation(ScenarioRecord& scenario, Prompt& prompt) {
  const int occupants = OccupantCount(scenario);
  const int pollutants = PollutantCount(scenario);
  std::string without_mass;  // the size bins whose particles have no mass
  for (int o = 1; o <= occupants; ++o) {
    OccupantRecord& occupant = scenario.Occupants[o];
    for (int p = 0; p < pollutants; ++p) {
      if (scenario.Pollutants[p].CancerRisk == 0.0f) continue;
      const RiskOrFault result =
          CancerRiskOf(scenario, occupant, p, occupant.Dose[p], scenario.YearsSimulated);
      if (result.fault == kNoParticleMass) {
        occupant.CancerRiskResult[p] = 0;
        if (o == 1)
          without_mass += (without_mass.empty() ? "" : ", ") + scenario.Pollutants[p].Name;
        continue;
      }
      if (result.fault) {
        prompt.Message(
            std::string("Error in Risk calculation.  Check data input.  ") + result.fault, "ERROR",
            MessageIcon::Critical);
        return false;
      }
      occupant.CancerRiskResult[p] = result.risk;
    }
  }
  if (!without_mass.empty()) {
    prompt.Message(
        "Warning.  A cancer risk of particles counted per cm\xB3 goes through the mass "
        "of a particle, from the diameter that names its size bin and its density.  "
        "No risk is calculated for " +
            without_mass + ": name the bin by its diameter in \xB5m and enter its density.",
        "Warning", MessageIcon::Exclamation);
  }
  return true;
}

}  // namespace quarn
