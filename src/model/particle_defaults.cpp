#include "model/particle_defaults.h"

#include <cmath>

#include "model/working_flows.h"

namespace quarn {
namespace {

// ln d rounded once to a Single: the single-precision logarithm rounds some diameters the
// other way, which changes the last digit of the defaults that scenario files store.
float LogOfDiameter(float d) {
  return static_cast<float>(std::log(static_cast<double>(d)));
}

}  // namespace

float PenetrationFromDiameter(float d) {
  if (!(d > 0)) return 0;
  const float x = LogOfDiameter(d);
  const double exponent = 0.0083 * x * x * x - 0.046 * x * x - 0.2822 * x - 0.4596;
  const float p = static_cast<float>(std::exp(exponent));
  if (p < 0.01F) return 0.01F;
  if (p > 1) return 1;
  return p;
}

float DepositionFromDiameter(float d) {
  // The logarithm of 0 or less has no value; such a diameter gets no deposition.
  if (!(d > 0)) return 0;
  const float x = LogOfDiameter(d);
  const float diffusion = static_cast<float>(std::exp(-3.8 - 0.8 * x));
  const float settling = static_cast<float>(std::exp(2.4 * x - 4.1));
  return diffusion + settling;
}

void SetDepositionDefaults(BuildingRecord& building) {
  ScenarioRecord& s = building.Scenario;
  const int rooms = RoomCount(building);
  const int pollutants = PollutantCount(s);
  for (int p = 0; p < pollutants; ++p) {
    const float v = DepositionFromDiameter(s.Pollutants[p].Diameter);
    s.Pollutants[p].DepositionVelocity = v;
    for (int r = 1; r <= rooms; ++r)
      for (int k = 0; k <= kMaxSinks; ++k) s.Sinks[r][k].ka[p] = v;
  }
}

}  // namespace quarn
