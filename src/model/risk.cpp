#include "model/risk.h"

#include <algorithm>
#include <cmath>

namespace quarn {

void RunRiskCalculation(ScenarioRecord& scenario, Prompt& prompt) {
  const int occupants = std::clamp<int>(scenario.NumOccupants, 0, kMaxOccupants);
  const int pollutants = std::clamp<int>(scenario.NumPollutants, 0, kMaxPollutants);
  for (int o = 1; o <= occupants; ++o) {
    OccupantRecord& occupant = scenario.Occupants[o];
    for (int p = 0; p < pollutants; ++p) {
      const float slope = scenario.Pollutants[p].CancerRisk;
      if (slope == 0.0f) continue;
      // Dose in mg over the period, per m³ breathed per day, to µg/m³ and the slope
      // factor per µg/m³.
      const float days_breathed = scenario.YearsSimulated * 365.0f * occupant.BreathingRate * 24.0f;
      const char* fault = nullptr;
      float risk = 0;
      if (days_breathed == 0.0f) {
        fault = "Division by zero";
      } else {
        risk = occupant.Dose[p] * 1000.0f / days_breathed * slope * 1000.0f;
        if (!std::isfinite(risk)) fault = "Overflow";
      }
      if (fault != nullptr) {
        prompt.Message(std::string("Error in Risk calculation.  Check data input.  ") + fault,
                       "ERROR", MessageIcon::Critical);
        return;
      }
      occupant.CancerRiskResult[p] = risk;
    }
  }
}

}  // namespace quarn
