#pragma once

#include "model/prompt.h"
#include "model/records.h"

namespace quarn {

// The individual cancer risk of each occupant and carcinogen (a pollutant with a slope
// factor, CancerRisk, other than 0, entered per µg/m³): the mean concentration the occupant
// breathed in over the simulated period (the dose over the volume breathed), converted to
// µg/m³ from the scenario's unit, times the slope factor. Pollutants without a slope factor
// keep their previous result. A value that cannot be computed (no simulated time, a
// breathing rate of 0, a unit that does not convert) stops the calculation with one
// message; the results computed before it stay. A particle count has a risk only through
// the mass of a particle: a size bin without a diameter or density gets none (its result is
// 0), and one warning names those bins. True when every other result was computed.
bool RunRiskCalculation(ScenarioRecord& scenario, Prompt& prompt);

// A risk, or the reason it cannot be computed (the message's last words).
struct RiskOrFault {
  float risk = 0;
  const char* fault = nullptr;
};

// The fault of a particle count whose particles have no mass to turn into µg/m³.
inline constexpr const char* kNoParticleMass = "No particle diameter and density";

// The individual cancer risk of occupant and pollutant p for `dose` (an amount inhaled in
// inhalation mode, else a concentration times hours) spread over `years`. In a particle-count
// scenario it goes through ParticleMassMicrograms, and without one the fault is
// kNoParticleMass.
RiskOrFault CancerRiskOf(const ScenarioRecord& scenario, const OccupantRecord& occupant, int p,
                         float dose, float years);

}  // namespace quarn
