#include "model/particle_defaults.h"

#include <cmath>

#include "model/working_flows.h"

namespace quarn {

float PenetrationFromDiameter(float d) {
  if (!(d > 0)) return 0;
  const float x = std::log(d);
  const double exponent = 0.0083 * x * x * x - 0.046 * x * x - 0.2822 * x - 0.4596;
  const float p = static_cast<float>(std::exp(exponent));
  if (p < 0.01F) return 0.01F;
  if (p > 1) return 1;
  return p;
}

float DepositionFromDiameter(float d) {
  // The logarithm of 0 or less has no value; such a diameter gets no deposition.
  if (!(d > 0)) return 0;
  const float x = std::log(d);
  const float diffusion = static_cast<float>(std::exp(-3.8 - 0.8 * x));
  const float settling = static_cast<float>(std::exp(2.4 * x - 4.1));
  return diffusion + settling;
}

void SetDepositionDefaults(BuildingRecord& building) {
  ScenarioRecord& s = building.Scenario;
  const int rooms = RunRoomCount(building);
  const int pollutants = RunPollutantCount(s);
  for (int p = 0; p < pollutants; ++p) {
    const float v = DepositionFromDiameter(s.Pollutants[p].Diameter);
    s.Pollutants[p].DepositionVelocity = v;
    for (int r = 1; r <= rooms; ++r)
      for (int k = 0; k <= kMaxSinks; ++k) s.Sinks[r][k].ka[p] = v;
  }
}

}  // namespace quarn
