#pragma once

#include "model/prompt.h"
#include "model/records.h"

namespace quarn {

// The individual cancer risk of each occupant and carcinogen (a pollutant with a slope
// factor, CancerRisk, other than 0): the inhaled dose per day over the simulated period
// times the slope factor. Pollutants without a slope factor keep their previous result.
// A value that cannot be computed (no simulated time, a breathing rate of 0) stops the
// calculation with one message; the results computed before it stay.
void RunRiskCalculation(ScenarioRecord& scenario, Prompt& prompt);

}  // namespace quarn
