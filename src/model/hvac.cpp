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

HVACMixing MixHVAC(const ScenarioRecord& scenario, int roomCount, const WorkingFlows& flows,
                   const PerPollutant<float>& outdoorConc, const PerPollutant<float>& hvacEmission,
                   const HVACState& state) {
  HVACMixing mix;
  const int type = scenario.HVACType;
  const int rooms = RoomBound(roomCount);
  const int pollutants = PollutantCount(scenario);
  const auto& penetration = flows.FilterPenetration;
  const float exhaust = flows.HVACExhaustTotal;
  const float outdoor = flows.HVACIntakeTotal;
  // Held at the previous supply unless some air is supplied below.
  for (int p = 0; p < pollutants; ++p) mix.Constant[p] = state.SupplyConc[p];

  // The air flowing through the system as the mixing goes: the rooms' return air, less
  // the exhaust, plus the outdoor intake, which leaves the supply flow.
  float systemFlow = 0;
  for (int r = 1; r <= rooms; ++r) systemFlow += flows.BaseHVACReturn[r];
  if (!(systemFlow > 0) && !(outdoor > 0)) return mix;  // nothing flows through the system

  // A filter works for the whole step while it holds less than its capacity. The slots
  // beyond the run's pollutants pass everything and are left out at the end.
  PerPollutant<float> returnPass{};   // what the return-air filter (type 1) lets through
  PerPollutant<float> mixturePass{};  // what the filter of the mixture (types 2, 4) lets through
  PerPollutant<float> outdoorPass{};  // what the outdoor-air filter (type 3) lets through
  returnPass.fill(1);
  mixturePass.fill(1);
  outdoorPass.fill(1);
  for (int p = 0; p < pollutants; ++p) {
    const bool working = state.FilterMass[p] < scenario.FilterCapacity;
    if (type == kHVACResidentialInReturn && working) returnPass[p] = penetration[1][p];
    if ((type == kHVACCommercialAfterMixing || type == kHVACInSupply) && working)
      mixturePass[p] = penetration[0][p];
    if (type == kHVACCommercialCleanOutdoor) outdoorPass[p] = penetration[0][p];
  }

  // The pollutant flow of the mixed air, as m³/h of each room's air, and of the outdoor air.
  // The exhaust takes its share of the mixed return air out of the building; it can take no
  // more than the return air holds.
  float kept = 1;
  if (systemFlow > 0) {
    const float share = exhaust > 0 ? std::min(exhaust / systemFlow, 1.0F) : 0.0F;
    kept = 1.0F - share;
    for (int r = 1; r <= rooms; ++r) {
      const float ret = flows.BaseHVACReturn[r];
      for (int p = 0; p < kMaxPollutants; ++p) {
        const float passed = ret * returnPass[p];
        mix.Caught[r][p] = ret - passed;
        mix.Exhausted[r][p] = passed * share;
      }
    }
    if (exhaust > 0) systemFlow -= exhaust;
  } else {
    // No return air: the system delivers outdoor air only, less what it exhausts of it.
    systemFlow = exhaust > 0 ? -exhaust : 0.0F;
  }

  // Outdoor air enters as a flow at Cout, like the return air. When the exhaust took more
  // than the return, that excess (the flow below 0) is outdoor air drawn straight through,
  // so only what is left of the intake reaches the supply.
  PerPollutant<float> fromOutdoors{};
  if (outdoor > 0) {
    const float delivered = std::max(0.0F, systemFlow < 0 ? outdoor + systemFlow : outdoor);
    systemFlow += outdoor;
    for (int p = 0; p < kMaxPollutants; ++p)
      fromOutdoors[p] = outdoorConc[p] * delivered * outdoorPass[p];
  }
  // No supply: the previous concentration is kept; the return-air filter and the exhaust
  // still took their shares.
  if (!(systemFlow > 0)) return mix;

  for (int p = 0; p < kMaxPollutants; ++p) {
    mix.CaughtOutdoor[p] = (1.0F - mixturePass[p]) * fromOutdoors[p];
    mix.Constant[p] = (fromOutdoors[p] * mixturePass[p] + hvacEmission[p]) / systemFlow;
  }
  for (int r = 1; r <= rooms; ++r) {
    const float ret = flows.BaseHVACReturn[r];
    for (int p = 0; p < kMaxPollutants; ++p) {
      const float mixed = ret * returnPass[p] * kept;
      mix.Caught[r][p] += (1.0F - mixturePass[p]) * mixed;
      mix.Weight[r][p] = mixed * mixturePass[p] / systemFlow;
    }
  }
  for (int p = pollutants; p < kMaxPollutants; ++p) {
    mix.Constant[p] = 0;
    mix.CaughtOutdoor[p] = 0;
    for (int r = 1; r <= rooms; ++r) mix.Caught[r][p] = mix.Exhausted[r][p] = mix.Weight[r][p] = 0;
  }
  return mix;
}

PerPollutant<float> SupplyConcentration(const HVACMixing& mixing, int roomCount, int pollutants,
                                        const RoomPollutant& conc) {
  // Summed in a local array, which nothing else can reach, for the vector instructions.
  float supply[kMaxPollutants];
  std::copy(mixing.Constant.begin(), mixing.Constant.end(), supply);
  for (int r = 1; r <= RoomBound(roomCount); ++r)
    for (int p = 0; p < kMaxPollutants; ++p) supply[p] += mixing.Weight[r][p] * conc[r][p];
  PerPollutant<float> out{};
  std::copy(supply, supply + std::clamp(pollutants, 0, kMaxPollutants), out.begin());
  return out;
}

void AccumulateHVAC(const HVACMixing& mixing, int roomCount, int pollutants,
                    const RoomPollutant& integral, float dt, HVACState& state,
                    PerPollutant<float>& leavingMass) {
  float caught[kMaxPollutants];
  float exhausted[kMaxPollutants] = {};
  for (int p = 0; p < kMaxPollutants; ++p) caught[p] = mixing.CaughtOutdoor[p] * dt;
  for (int r = 1; r <= RoomBound(roomCount); ++r) {
    for (int p = 0; p < kMaxPollutants; ++p) {
      caught[p] += mixing.Caught[r][p] * integral[r][p];
      exhausted[p] += mixing.Exhausted[r][p] * integral[r][p];
    }
  }
  for (int p = 0; p < std::clamp(pollutants, 0, kMaxPollutants); ++p) {
    state.FilterMass[p] += caught[p];
    leavingMass[p] += exhausted[p];
  }
}

void HVACConcentrations(const ScenarioRecord& scenario, int roomCount, const WorkingFlows& flows,
                        const RoomPollutant& conc, const PerPollutant<float>& outdoorConc,
                        const PerPollutant<float>& hvacEmission, float dt, HVACState& state,
                        PerPollutant<float>& leavingMass) {
  const int pollutants = PollutantCount(scenario);
  const HVACMixing mix = MixHVAC(scenario, roomCount, flows, outdoorConc, hvacEmission, state);
  RoomPollutant held{};
  for (int r = 1; r <= RoomBound(roomCount); ++r)
    for (int p = 0; p < pollutants; ++p) held[r][p] = conc[r][p] * dt;
  AccumulateHVAC(mix, roomCount, pollutants, held, dt, state, leavingMass);
  state.SupplyConc = SupplyConcentration(mix, roomCount, pollutants, conc);
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
