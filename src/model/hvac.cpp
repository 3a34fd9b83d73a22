#include "model/hvac.h"

#include <algorithm>
#include <cstring>

#include "model/records.h"

namespace quarn {
bool CapacityLimited(int type) {
  return type == kHVACResidentialInReturn || type == kHVACCommercialAfterMixing ||
         type == kHVACInSupply;
}

HVACMixing MixHVAC(const ScenarioRecord& scenario, int room_count, const WorkingFlows& flows,
                   const PerPollutant<float>& outdoor_conc,
                   const PerPollutant<float>& hvac_emission, const HVACState& state) {
  HVACMixing mix;
  const int type = scenario.HVACType;
  const int rooms = RoomBound(room_count);
  const int pollutants = PollutantCount(scenario);
  const auto& penetration = flows.filter_penetration;
  const float exhaust = flows.hvac_exhaust_total;
  const float outdoor = flows.hvac_intake_total;
  // Held at the previous supply unless some air is supplied below.
  for (int p = 0; p < pollutants; ++p) mix.constant[p] = state.supply_conc[p];

  // The air flowing through the system as the mixing goes: the rooms' return air, less
  // the exhaust, plus the outdoor intake, which leaves the supply flow.
  float system_flow = 0;
  for (int r = 1; r <= rooms; ++r) system_flow += flows.base_hvac_return[r];
  if (!(system_flow > 0) && !(outdoor > 0)) return mix;  // nothing flows through the system

  // A filter works for the whole step while it holds less than its capacity. The slots
  // beyond the run's pollutants pass everything and are left out at the end.
  PerPollutant<float> return_pass{};   // what the return-air filter (type 1) lets through
  PerPollutant<float> mixture_pass{};  // what the filter of the mixture (types 2, 4) lets through
  PerPollutant<float> outdoor_pass{};  // what the outdoor-air filter (type 3) lets through
  return_pass.fill(1);
  mixture_pass.fill(1);
  outdoor_pass.fill(1);
  for (int p = 0; p < pollutants; ++p) {
    const bool working = state.filter_mass[p] < scenario.FilterCapacity;
    if (type == kHVACResidentialInReturn && working) return_pass[p] = penetration[1][p];
    if ((type == kHVACCommercialAfterMixing || type == kHVACInSupply) && working)
      mixture_pass[p] = penetration[0][p];
    if (type == kHVACCommercialCleanOutdoor) outdoor_pass[p] = penetration[0][p];
  }

  // The pollutant flow of the mixed air, as m³/h of each room's air, and of the outdoor air.
  // The exhaust takes its share of the mixed return air out of the building; it can take no
  // more than the return air holds.
  float kept = 1;
  if (system_flow > 0) {
    const float share = exhaust > 0 ? std::min(exhaust / system_flow, 1.0F) : 0.0F;
    kept = 1.0F - share;
    for (int r = 1; r <= rooms; ++r) {
      const float ret = flows.base_hvac_return[r];
      for (int p = 0; p < kMaxPollutants; ++p) {
        const float passed = ret * return_pass[p];
        mix.caught[r][p] = ret - passed;
        mix.exhausted[r][p] = passed * share;
      }
    }
    if (exhaust > 0) system_flow -= exhaust;
  } else {
    // No return air: the system delivers outdoor air only, less what it exhausts of it.
    system_flow = exhaust > 0 ? -exhaust : 0.0F;
  }

  // Outdoor air enters as a flow at Cout, like the return air. When the exhaust took more
  // than the return, that excess (the flow below 0) is outdoor air drawn straight through,
  // so only what is left of the intake reaches the supply.
  PerPollutant<float> from_outdoors{};
  if (outdoor > 0) {
    const float delivered = std::max(0.0F, system_flow < 0 ? outdoor + system_flow : outdoor);
    system_flow += outdoor;
    for (int p = 0; p < kMaxPollutants; ++p)
      from_outdoors[p] = outdoor_conc[p] * delivered * outdoor_pass[p];
  }
  // No supply: the previous concentration is kept; the return-air filter and the exhaust
  // still took their shares.
  if (!(system_flow > 0)) return mix;

  mix.per_emission = 1 / system_flow;
  for (int p = 0; p < kMaxPollutants; ++p) {
    mix.caught_outdoor[p] = (1.0F - mixture_pass[p]) * from_outdoors[p];
    mix.constant[p] = (from_outdoors[p] * mixture_pass[p] + hvac_emission[p]) / system_flow;
  }
  for (int r = 1; r <= rooms; ++r) {
    const float ret = flows.base_hvac_return[r];
    for (int p = 0; p < kMaxPollutants; ++p) {
      const float mixed = ret * return_pass[p] * kept;
      mix.caught[r][p] += (1.0F - mixture_pass[p]) * mixed;
      mix.weight[r][p] = mixed * mixture_pass[p] / system_flow;
    }
  }
  for (int p = pollutants; p < kMaxPollutants; ++p) {
    mix.constant[p] = 0;
    mix.caught_outdoor[p] = 0;
    for (int r = 1; r <= rooms; ++r) mix.caught[r][p] = mix.exhausted[r][p] = mix.weight[r][p] = 0;
  }
  return mix;
}

MixingInputs MixingInputsOf(const ScenarioRecord& scenario, const WorkingFlows& flows,
                            const PerPollutant<float>& outdoor_conc, const HVACState& state) {
  MixingInputs inputs;
  inputs.returned = flows.base_hvac_return;
  inputs.exhaust = flows.hvac_exhaust_total;
  inputs.intake = flows.hvac_intake_total;
  inputs.penetration = flows.filter_penetration;
  inputs.outdoor = outdoor_conc;
  for (int p = 0; p < PollutantCount(scenario); ++p)
    inputs.filtering[p] = state.filter_mass[p] < scenario.FilterCapacity ? 1.0F : 0.0F;
  return inputs;
}

bool SameMixingInputs(const MixingInputs& a, const MixingInputs& b) {
  // All floats: no padding.
  // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
  return std::memcmp(&a, &b, sizeof a) == 0;
}

PerPollutant<float> SupplyConcentration(const HVACMixing& mixing, int room_count, int pollutants,
                                        const RoomPollutant& conc) {
  // Summed in a local array, which nothing else can reach, for the vector instructions.
  float supply[kMaxPollutants];
  std::copy(mixing.constant.begin(), mixing.constant.end(), supply);
  for (int r = 1; r <= RoomBound(room_count); ++r)
    for (int p = 0; p < kMaxPollutants; ++p) supply[p] += mixing.weight[r][p] * conc[r][p];
  PerPollutant<float> out{};
  std::copy(supply, supply + std::clamp(pollutants, 0, kMaxPollutants), out.begin());
  return out;
}

void AccumulateHVAC(const HVACMixing& mixing, int room_count, int pollutants,
                    const RoomPollutant& integral, float dt, HVACState& state,
                    PerPollutant<float>& leaving_mass) {
  float caught[kMaxPollutants];
  float exhausted[kMaxPollutants] = {};
  for (int p = 0; p < kMaxPollutants; ++p) caught[p] = mixing.caught_outdoor[p] * dt;
  for (int r = 1; r <= RoomBound(room_count); ++r) {
    for (int p = 0; p < kMaxPollutants; ++p) {
      caught[p] += mixing.caught[r][p] * integral[r][p];
      exhausted[p] += mixing.exhausted[r][p] * integral[r][p];
    }
  }
  for (int p = 0; p < std::clamp(pollutants, 0, kMaxPollutants); ++p) {
    state.filter_mass[p] += caught[p];
    leaving_mass[p] += exhausted[p];
  }
}

void HVACConcentrations(const ScenarioRecord& scenario, int room_count, const WorkingFlows& flows,
                        const RoomPollutant& conc, const PerPollutant<float>& outdoor_conc,
                        const PerPollutant<float>& hvac_emission, float dt, HVACState& state,
                        PerPollutant<float>& leaving_mass) {
  const int pollutants = PollutantCount(scenario);
  const HVACMixing mix = MixHVAC(scenario, room_count, flows, outdoor_conc, hvac_emission, state);
  RoomPollutant held{};
  for (int r = 1; r <= RoomBound(room_count); ++r)
    for (int p = 0; p < pollutants; ++p) held[r][p] = conc[r][p] * dt;
  AccumulateHVAC(mix, room_count, pollutants, held, dt, state, leaving_mass);
  state.supply_conc = SupplyConcentration(mix, room_count, pollutants, conc);
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
