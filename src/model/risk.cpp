#include "model/risk.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "model/unit_conversion.h"

namespace quarn {

namespace {

// The risk of one occupant and carcinogen, or the reason it cannot be computed.
// The dose is the inhaled amount in the scenario's mass unit; spread over every hour of the
// simulated period at the breathing rate it is the mean concentration breathed in, and the
// slope factor is per µg/m³, so the mean is taken to µg/m³ first.
const char* RiskOf(const ScenarioRecord& scenario, const OccupantRecord& occupant, int p,
                   PollutantRecord& pollutant, float& risk) {
  const float volume_breathed =
      scenario.YearsSimulated * 365.0f * occupant.BreathingRate * 24.0f;  // m³
  if (volume_breathed == 0.0f) return "Division by zero";
  const float mean = occupant.Dose[p] / volume_breathed;
  float micrograms = 0;
  if (!ConvertConcentrationUnits(scenario.ConcUnits, kMicrograms, mean, micrograms, pollutant)) {
    return "Unknown concentration units";
  }
  risk = micrograms * pollutant.CancerRisk;
  if (!std::isfinite(risk)) return "Overflow";
  return nullptr;
}

}  // namespace

void RunRiskCalculation(ScenarioRecord& scenario, Prompt& prompt) {
  const int occupants = std::clamp<int>(scenario.NumOccupants, 0, kMaxOccupants);
  const int pollutants = std::clamp<int>(scenario.NumPollutants, 0, kMaxPollutants);
  for (int o = 1; o <= occupants; ++o) {
    OccupantRecord& occupant = scenario.Occupants[o];
    for (int p = 0; p < pollutants; ++p) {
      PollutantRecord& pollutant = scenario.Pollutants[p];
      if (pollutant.CancerRisk == 0.0f) continue;
      float risk = 0;
      if (const char* fault = RiskOf(scenario, occupant, p, pollutant, risk)) {
        prompt.Message(std::string("Error in Risk calculation.  Check data input.  ") + fault,
                       "ERROR", MessageIcon::Critical);
        return;
      }
      occupant.CancerRiskResult[p] = risk;
    }
  }
}

}  // namespace quarn
