#include "model/mass_balance.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>

#include "model/emission_models.h"
#include "model/room_lookup.h"
#include "model/source_schedule.h"
#include "model/spill_models.h"

namespace quarn {
namespace {

constexpr float kNoPeak = -1e9F;

bool IsYes(const FixedString<1>& flag) {
  return std::toupper(static_cast<unsigned char>(flag[0])) == 'Y';
}

// The running values a source starts a run with. Layer masses start at what the source
// record holds in its initial-mass rows; spills start with all their liquid, in moles as
// well as in mass.
void StartSource(const SourceRecord& source, const PollutantList& pollutants, int np,
                 SourceState& state) {
  state.source_age = 0;
  state.on = false;
  state.switch_on_done = false;
  for (int p = 0; p < np; ++p) {
    const float mw = pollutants[p].MolWt;
    switch (source.Model) {
      case 0:
      case 3:
        state.reservoir_mass[p] = state.initial_mass[p];
        state.layer2_mass[p] = source.Params[6][p];
        break;
      case 8:
      case 9:
      case 10:
        state.liquid_mass[p] = source.Params[2][p];
        state.initial_moles[p] = static_cast<float>(MassToMoles(state.liquid_mass[p], mw));
        state.moles_left[p] = state.initial_moles[p];
        break;
      default:
        state.initial_total_moles = static_cast<float>(MassToMoles(source.ScaledMass, mw));
        state.initial_moles[p] = static_cast<float>(MassToMoles(state.liquid_mass[p], mw));
        state.moles_left[p] = state.initial_moles[p];
        break;
    }
  }
  if (source.Model == 10) {
    state.initial_total_moles = static_cast<float>(MolesLeftInLiquid(state, np));
    state.total_moles_left = state.initial_total_moles;
  }
}

}  // namespace

void RoomFlowTerms(const BuildingRecord& building, int room_count, float f, WorkingFlows& flows,
                   PerPollutant<float>& supply_conc) {
  const ScenarioRecord& s = building.Scenario;
  if (s.HVACHistoryOutdoorOnly != 0) {
    flows.hvac_exhaust_total = s.HVACOutdoorAirTotal * f;
    flows.hvac_intake_total = s.HVACMakeUpTotal * f;
    ScaleOutdoorHVACFlows(building, room_count, f, flows);
    return;
  }
  const int rooms = RoomBound(room_count);
  for (int r = 1; r <= rooms; ++r) {
    flows.base_hvac_return[r] = s.HVACReturn[r] * f;
    flows.base_hvac_supply[r] = s.HVACSupply[r] * f;
    flows.working_hvac_exhaust[r] = s.HVACExhaust[r] * f;
    flows.working_hvac_outdoor_air[r] = s.HVACOutdoorAir[r] * f;
    for (int j = 1; j <= rooms; ++j) {
      if (!RoomsConnected(building, j, r)) continue;
      flows.flow_matrix[j][r] = s.HVACRoomFlows[j][r] * f;
      flows.flow_matrix[r][j] = s.HVACRoomFlows[r][j] * f;
    }
  }
  if (f == 0) supply_conc.fill(0);  // the system is off: it supplies nothing
  flows.hvac_exhaust_total = s.HVACOutdoorAirTotal * f;
  flows.hvac_intake_total = s.HVACMakeUpTotal * f;
}

void ScaleOutdoorHVACFlows(const BuildingRecord& building, int room_count, float f,
                           WorkingFlows& flows) {
  const ScenarioRecord& s = building.Scenario;
  const int rooms = RoomBound(room_count);
  for (int r = 1; r <= rooms; ++r) {
    flows.base_hvac_return[r] = s.HVACReturn[r];
    flows.base_hvac_supply[r] = s.HVACSupply[r] - s.HVACExhaust[r];
    flows.working_hvac_exhaust[r] = s.HVACExhaust[r] * f;
    flows.working_hvac_outdoor_air[r] = s.HVACOutdoorAir[r] * f;
    // Exhaust that is no longer made up by outdoor air is supplied from the return air.
    if (flows.working_hvac_exhaust[r] != flows.working_hvac_outdoor_air[r])
      flows.base_hvac_supply[r] += flows.working_hvac_exhaust[r];
    for (int j = 1; j <= rooms; ++j) {
      if (!RoomsConnected(building, j, r)) continue;
      flows.flow_matrix[j][r] = s.HVACRoomFlows[j][r];
      flows.flow_matrix[r][j] = s.HVACRoomFlows[r][j];
    }
  }
}

void StepBookkeeping(float t, const ScenarioRecord& s, PerPollutant<float>& outdoor_conc) {
  const int np = PollutantCount(s);
  const int n = std::clamp<int>(s.NumOutdoorConcPoints, 1, kMaxHistory);
  int point = 1;
  if (!IsYes(s.ConstantOutdoorConc) && n >= 2 && !(t < s.OutdoorConcTime[2])) {
    point = n;
    for (int i = 2; i <= n; ++i) {
      if (s.OutdoorConcTime[i - 1] <= t && t < s.OutdoorConcTime[i]) {
        point = i - 1;
        break;
      }
    }
  }
  for (int p = 0; p < np; ++p) outdoor_conc[p] = s.OutdoorConc[point][p];
}

void SetRemovalTerms(const BuildingRecord& building, int room_count, const WorkingFlows& flows,
                     RemovalTerms& terms) {
  const ScenarioRecord& s = building.Scenario;
  const int rooms = RoomBound(room_count);
  const int np = PollutantCount(s);
  RemovalTerms::Inputs now;
  now.rooms = rooms;
  now.outdoor_conc = terms.current_outdoor_conc;
  now.penetration = s.BuildingPenetration;
  for (int r = 1; r <= rooms; ++r) now.volume[r] = building.RoomList[r].Volume;
  now.out = flows.total_to_outdoors;
  now.in = flows.total_from_outdoors;
  now.hvac_return = flows.base_hvac_return;
  now.between = flows.total_between_rooms;
  // Compared as bits: a zero of the other sign or a NaN is a change.
  if (std::memcmp(&now, &terms.made_from, sizeof now) == 0) return;
  terms.made_from = now;
  for (int r = 1; r <= rooms; ++r) {
    const float volume = building.RoomList[r].Volume;
    for (int p = 0; p < np; ++p)
      terms.outdoor_input[r][p] = terms.current_outdoor_conc[p] * flows.total_from_outdoors[r] *
                                  s.BuildingPenetration[p] / volume;
    float out = flows.total_to_outdoors[r] + flows.base_hvac_return[r];
    for (int j = 1; j <= rooms; ++j)
      if (j != r) out += flows.total_between_rooms[r][j];
    terms.loss_coefficient[r] = out / volume;
  }
}

float SinkExchange(const SinkRecord& sink, float& mass, float c, int p, float dt) {
  // Selections rather than branches, so that a loop over the pollutants becomes vector
  // instructions; a NaN passes through both as it would through the branches.
  const float desorption = mass * sink.kd[p];
  const float uptake = sink.ka[p] * c;
  const float adsorption = uptake < 0 ? 0.0F : uptake;
  const float net = adsorption - desorption;
  const float held = mass + dt * net;
  mass = held <= 0 ? 0.0F : held;
  return net * sink.Area;
}

float PercentOfProduct(float a, float b, float c) {
  return a * b * c / 100;
}

float ScaledArraySum(const PerRoom<float>& values, int count, float total_room_volume) {
  if (count < 1 || !(total_room_volume != 0)) return 0;
  float sum = 0;
  for (int r = 1; r <= RoomBound(count); ++r) sum += values[r];
  return sum / total_room_volume;
}

void ResetAccumulators(BuildingRecord& building, WorkingFlows& flows, SourceStates& sources,
                       SinkMasses& sinks) {
  ScenarioRecord& s = building.Scenario;
  const int rooms = RoomCount(building);
  const int np = PollutantCount(s);
  building.TotalRoomVolume = 0;
  const int occupants = OccupantCount(s);
  for (int o = 1; o <= occupants; ++o) {
    // Exposures belong to the concentrations of a run; a new run makes them stale.
    s.Occupants[o].TotalExposure.fill(0);
    s.Occupants[o].PeakExposure.fill(0);
    s.Occupants[o].CancerRiskResult.fill(0);
  }
  flows.hvac_exhaust_total = s.HVACOutdoorAirTotal;
  flows.hvac_intake_total = s.HVACMakeUpTotal;
  s.AirCleanerMass.fill(0);
  for (auto& room : sinks)
    for (auto& sink : room) sink.fill(0);
  for (int r = 0; r <= rooms; ++r) {
    s.PeakConc[r] = kNoPeak;
    if (r >= 1) {
      building.TotalRoomVolume += building.RoomList[r].Volume;
      flows.base_hvac_return[r] = s.HVACReturn[r];
      flows.base_hvac_supply[r] = s.HVACSupply[r];
      flows.working_hvac_exhaust[r] = s.HVACExhaust[r];
      s.AirCleanerCollected[r] = 0;
    }
    for (int k = 1; k <= SourceSlotCount(s, r); ++k)
      StartSource(s.Sources[r][k], s.Pollutants, np, sources[r][k]);
  }
  for (int p = 0; p < np; ++p) {
    s.PeakSinkMass[p] = -1e30F;
    s.TotalEmitted[p] = 0;
    s.SinkMass[p] = 0;
    s.AirborneMass[p] = 0;
  }
  float return_sum = 0;
  for (int r = 1; r <= rooms; ++r) return_sum += flows.base_hvac_return[r];
  flows.hvac_in_use = return_sum != 0 ? true : false;
  for (int i = 1; i <= rooms; ++i)
    for (int j = 1; j <= rooms; ++j)
      if (i != j && !RoomsConnected(building, i, j)) flows.total_between_rooms[i][j] = 0;
}

void SetupRoomMassTerms(BuildingRecord& building, SourceStates& sources) {
  const ScenarioRecord& s = building.Scenario;
  const int rooms = RoomCount(building);
  const int np = PollutantCount(s);
  building.TotalRoomVolume = 0;
  for (int r = 1; r <= rooms; ++r) {
    building.TotalRoomVolume += building.RoomList[r].Volume;
    for (int k = 1; k <= SourceSlotCount(s, r); ++k) {
      SourceState& state = sources[r][k];
      for (int p = 0; p < np; ++p) {
        state.reservoir_mass[p] = state.initial_mass[p];
        state.layer2_mass[p] = s.Sources[r][k].Params[6][p];
      }
    }
  }
}

void LoadRoomFlowArrays(const BuildingRecord& building, int room_count, RoomArrays& arrays,
                        PerPollutant<float>& supply_conc) {
  const ScenarioRecord& s = building.Scenario;
  const int rooms = RoomBound(room_count);
  const int np = PollutantCount(s);
  supply_conc.fill(0);
  arrays.room_peak.fill(kNoPeak);
  for (int r = 1; r <= rooms; ++r) {
    for (int p = 0; p < np; ++p) {
      const float c = s.InitialConc[r][p];
      arrays.room_conc[r][p] = c;
      arrays.previous_room_conc[r][p] = c;
      arrays.new_conc[r][p] = c;
      arrays.conc[r][p] = c;
    }
    arrays.room_source_counts[r] = SourceSlotCount(s, r);
    arrays.room_volumes[r] = building.RoomList[r].Volume;
  }
  arrays.room_source_counts[0] = SourceSlotCount(s, 0);
}

SwitchTimes CollectSwitchOnTimes(const BuildingRecord& building) {
  const ScenarioRecord& s = building.Scenario;
  SwitchTimes times;
  for (int r = 0; r <= RoomCount(building); ++r) {
    for (int k = 1; k <= SourceSlotCount(s, r); ++k) {
      const SourceRecord& source = s.Sources[r][k];
      const int cycles = CycleCount(source);
      if (cycles == 0) continue;
      const double period = RepeatPeriod(source);
      std::vector<double>& list =
          period > 0 ? times.repeats.emplace_back(SwitchTimes::Repeating{period, {}}).offsets
                     : times.once;
      // A repeating pattern begins again at every period; an R/T source starts to emit
      // 0.05 day after it comes on.
      if (period > 0) list.push_back(0);
      for (int c = 1; c <= cycles; ++c) {
        list.push_back(source.TimeOn[c]);
        list.push_back(source.TimeOff[c]);
        if (source.Model == 4 && source.TimeOn[c] + kRTFirstAge < source.TimeOff[c])
          list.push_back(source.TimeOn[c] + kRTFirstAge);
      }
    }
  }
  std::sort(times.once.begin(), times.once.end());
  times.once.erase(std::unique(times.once.begin(), times.once.end()), times.once.end());
  return times;
}

double NextSwitchTime(const SwitchTimes& times, double t) {
  double next = std::numeric_limits<double>::max();
  const auto it = std::upper_bound(times.once.begin(), times.once.end(), t);
  if (it != times.once.end()) next = *it;
  for (const auto& repeat : times.repeats) {
    for (double offset : repeat.offsets) {
      // Rounded to a Single, as the schedule compares its switch times.
      const double base = (std::floor((t - offset) / repeat.period) + 1) * repeat.period;
      double at = static_cast<float>(base + offset);
      if (at <= t) at = static_cast<float>(base + repeat.period + offset);
      next = std::min(next, at);
    }
  }
  return next;
}

void RoomBookkeeping(BuildingRecord& building, const WorkingFlows& flows, float dt,
                     RoomArrays& arrays) {
  ScenarioRecord& s = building.Scenario;
  const int rooms = RoomCount(building);
  const int np = PollutantCount(s);
  // Summed apart from the record, which the stores of the loop would otherwise make the
  // compiler read back at every room.
  PerPollutant<float> leaving = s.LeavingMass;
  PerPollutant<float> airborne{};
  for (int r = 0; r <= rooms; ++r) {
    const float volume = building.RoomList[r].Volume;
    const float out = flows.total_to_outdoors[r];
    // What left over the step, at the concentration the room had along it; outdoors holds
    // its concentration over the step.
    PerPollutant<float> along = arrays.step_integral[r];
    if (r == 0)
      for (int p = 0; p < kMaxPollutants; ++p) along[p] = arrays.new_conc[0][p] * dt;
    for (int p = 0; p < kMaxPollutants; ++p) {
      const float c = arrays.new_conc[r][p];
      arrays.conc[r][p] = c;
      arrays.previous_room_conc[r][p] = c;
      leaving[p] += out * along[p];
      const float mass = c * volume;
      arrays.room_mass[r][p] = mass;
      airborne[p] += mass;
    }
    float peak = arrays.room_peak[r];
    for (int p = 0; p < np; ++p) peak = arrays.new_conc[r][p] > peak ? arrays.new_conc[r][p] : peak;
    arrays.room_peak[r] = peak;
  }
  for (int p = 0; p < np; ++p) {
    s.LeavingMass[p] = leaving[p];
    s.AirborneMass[p] = airborne[p];
  }
}

}  // namespace quarn
