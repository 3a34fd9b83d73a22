#include "model/air_cleaners.h"

#include <cmath>

#include "model/hvac.h"
#include "text/number_read.h"

namespace quarn {
namespace {

// ln of the efficiency in percent of kinds 1..8, fitted against x = ln(d / 1 µm). Kinds 6
// (pleated) and 7 (HEPA) were rated at one figure for every size.
double EfficiencyCurve(int kind, double x) {
  const double x2 = x * x;
  const double x3 = x2 * x;
  const double x4 = x3 * x;
  const double x5 = x4 * x;
  switch (kind) {
    case 1:
      return 0.5554 + 1.5152 * x + 1.269 * x2 + 0.405 * x3 + 0.0507 * x4;
    case 2:
      return 2.4348 + 1.0913 * x + 0.1377 * x2 + 0.1919 * x3 + 0.1399 * x4 + 0.0198 * x5;
    case 3:
      return 3.7388 + 1.12 * x - 0.056 * x2 - 0.3266 * x3 - 0.07946 * x4 - 0.0053 * x5;
    case 4:
      return 4.4727 + 0.33353 * x - 0.20381 * x2 - 0.07097 * x3 + 0.02212 * x4 + 0.0053 * x5;
    case 5:
      return 4.5481 + 0.36615 * x - 0.21182 * x2 - 0.16526 * x3 - 0.02215 * x4;
    case 6:
      return std::log(30.0);
    case 7:
      return std::log(98.0);
    default:  // 8, the electronic air cleaner
      return 4.488 + 0.03341 * x - 0.01945 * x2 - 0.02335 * x3 - 0.004258 * x4;
  }
}

bool RatedKind(int kind) {
  return kind >= 1 && kind <= 8;
}

}  // namespace

float FilterEfficiency(const PollutantRecord& pollutant, int kind) {
  const double d = LeadingNumber(pollutant.Name);
  if (!(d > 0) || !RatedKind(kind)) return 0;
  const float x = static_cast<float>(std::log(d));
  const float y = static_cast<float>(EfficiencyCurve(kind, x));
  float percent = static_cast<float>(std::exp(static_cast<double>(y)));
  if (percent > 100) percent = 100;
  return percent / 100;
}

void SetAirCleanerPenetration(int /*position*/, int kind, const PollutantRecord& pollutant,
                              PenetrationTable& table, int p) {
  if (kind == kFilterNone)
    table[0][p] = 1.0F;
  else if (RatedKind(kind))
    table[0][p] = 1.0F - FilterEfficiency(pollutant, kind);
  // Any other kind keeps the penetration the user defined.
}

void SetUnusedCleanerPositions(int position, PenetrationTable& table, int p) {
  for (int i = 1; i <= 4; ++i)
    if (position == 5 || i != position) table[i][p] = 1.0F;
}

void SetFilterPenetration(ScenarioRecord& scenario) {
  const int pollutants = PollutantCount(scenario);
  for (int p = 0; p < pollutants; ++p)
    SetAirCleanerPenetration(0, scenario.HVACFilterType, scenario.Pollutants[p],
                             scenario.FilterPenetration, p);
}

void SetupAirCleaners(ScenarioRecord& scenario, WorkingFlows& flows, Prompt& prompt) {
  flows.filter_penetration = scenario.FilterPenetration;
  PenetrationTable& table = flows.filter_penetration;
  const int kind = scenario.HVACFilterType;
  const int type = scenario.HVACType;
  const int pollutants = PollutantCount(scenario);
  for (int p = 0; p < pollutants; ++p) {
    scenario.LeavingMass[p] = 0;
    const PollutantRecord& pollutant = scenario.Pollutants[p];
    if (type >= 1 && type <= 4) {
      SetAirCleanerPenetration(type, kind, pollutant, table, p);
      SetUnusedCleanerPositions(type, table, p);
    } else if (type == 5) {
      SetUnusedCleanerPositions(5, table, p);
      SetAirCleanerPenetration(1, kind, pollutant, table, p);
      SetAirCleanerPenetration(4, kind, pollutant, table, p);
    }
  }
  // The residential system cleans the return air (position 1) with the same filter kind.
  if (type == 1) {
    for (int p = 0; p < pollutants; ++p) {
      if (kind == kFilterNone)
        table[1][p] = 1.0F;
      else if (RatedKind(kind))
        table[1][p] = 1.0F - FilterEfficiency(scenario.Pollutants[p], kind);
      else
        table[1][p] = table[0][p];
    }
  }
  HVACFilterCapacityWarning(scenario, prompt);
}

}  // namespace quarn
