#include "model/hvac.h"

#include <algorithm>

#include "model/records.h"

namespace quarn {
namespace {

bool CapacityLimited(int type) {
  return type == kHVACResidentialInReturn || type == kHVACCommercialAfterMixing ||
         type == kHVACInSupply;
}

}  // namespace

void HVACConcentrations(const ScenarioRecord& scenario, int roomCount, const WorkingFlows& flows,
                        const RoomPollutant& conc, const PerPollutant<float>& outdoorConc,
                        const PerPollutant<float>& hvacEmission, float dt, HVACState& state,
                        PerPollutant<float>& leavingMass) {
  const int type = scenario.HVACType;
  const int rooms = RoomBound(roomCount);
  const int pollutants = PollutantCount(scenario);
  const float capacity = scenario.FilterCapacity;
  const auto& penetration = flows.FilterPenetration;
  const float exhaust = flows.HVACTotal1;
  const float outdoor = flows.HVACTotal2;

  float q = 0;
  for (int r = 1; r <= rooms; ++r) q += flows.BaseHVACReturn[r];
  if (!(q > 0) && !(outdoor > 0)) return;  // nothing flows through the system

  // S(p): pollutant flow (flow × concentration) of the mixed air.
  PerPollutant<float> s{};
  if (q > 0) {
    for (int r = 1; r <= rooms; ++r) {
      const float ret = flows.BaseHVACReturn[r];
      for (int p = 0; p < pollutants; ++p) {
        const float c = conc[r][p];
        if (type == kHVACResidentialInReturn && state.FilterMass[p] < capacity) {
          const float pass = penetration[1][p];
          state.FilterMass[p] += (1.0F - pass) * ret * c * dt;
          s[p] += ret * c * pass;
        } else {
          s[p] += ret * c;
        }
      }
    }
    // The exhaust takes its share of the mixed return air out of the building; it can take
    // no more than the return air holds.
    if (exhaust > 0) {
      for (int p = 0; p < pollutants; ++p) {
        float x = s[p] / q * exhaust;
        if (x > s[p]) x = s[p];
        s[p] -= x;
        if (s[p] < 0) s[p] = 0;
        leavingMass[p] += x * dt;
      }
      q -= exhaust;
    }
  } else {
    // No return air: the system delivers outdoor air only, less what it exhausts of it.
    q = exhaust > 0 ? -exhaust : 0.0F;
  }

  // Outdoor air enters as a flow at Cout, like the return air (no factor of the step). When
  // the exhaust took more than the return, that excess is outdoor air drawn straight
  // through, so only O + q of the intake reaches the supply.
  if (outdoor > 0) {
    const float delivered = std::max(0.0F, q < 0 ? outdoor + q : outdoor);
    q += outdoor;
    for (int p = 0; p < pollutants; ++p) {
      float in = outdoorConc[p] * delivered;
      if (type == kHVACCommercialCleanOutdoor) in *= penetration[0][p];
      s[p] += in;
    }
  }
  if (!(q > 0)) return;  // no supply: keep the previous concentration

  if (type == kHVACCommercialAfterMixing || type == kHVACInSupply) {
    for (int p = 0; p < pollutants; ++p) {
      if (!(state.FilterMass[p] < capacity)) continue;  // a full filter passes everything
      const float pass = penetration[0][p];
      float csup = s[p] / q;
      state.FilterMass[p] += (1.0F - pass) * q * csup * dt;
      csup *= pass;
      s[p] = q * csup;
    }
  }

  for (int p = 0; p < pollutants; ++p) state.SupplyConc[p] = (s[p] + hvacEmission[p]) / q;
}

bool HVACFilterCapacityWarning(const ScenarioRecord& scenario, Prompt& prompt) {
  if (!CapacityLimited(scenario.HVACType) || scenario.HVACFilterType == 0 ||
      scenario.FilterCapacity > 0)
    return false;
  prompt.Message("Warning.  The HVAC filter capacity is 0, so the filter removes nothing.",
                 "Warning", MessageIcon::Exclamation);
  return true;
}

}  // namespace quarn
