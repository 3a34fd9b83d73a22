#include "model/mass_balance.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>

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
  state.SourceAge = 0;
  state.On = false;
  state.SwitchOnDone = false;
  for (int p = 0; p < np; ++p) {
    const float mw = pollutants[p].MolWt;
    switch (source.Model) {
      case 0:
      case 3:
        state.ReservoirMass[p] = state.InitialMass[p];
        state.Layer2Mass[p] = source.Params[6][p];
        break;
      case 8:
      case 9:
      case 10:
        state.LiquidMass[p] = source.Params[2][p];
        state.InitialMoles[p] = static_cast<float>(MassToMoles(state.LiquidMass[p], mw));
        state.MolesLeft[p] = state.InitialMoles[p];
        break;
      default:
        state.InitialTotalMoles = static_cast<float>(MassToMoles(source.ScaledMass, mw));
        state.InitialMoles[p] = static_cast<float>(MassToMoles(state.LiquidMass[p], mw));
        state.MolesLeft[p] = state.InitialMoles[p];
        break;
    }
  }
  if (source.Model == 10) {
    state.InitialTotalMoles = static_cast<float>(MolesLeftInLiquid(state, np));
    state.TotalMolesLeft = state.InitialTotalMoles;
  }
}

}  // namespace

void RoomFlowTerms(const BuildingRecord& building, int room_count, float f, WorkingFlows& flows,
                   PerPollutant<float>& supply_conc) {
  const ScenarioRecord& s = building.Scenario;
  if (s.HVACHistoryOutdoorOnly != 0) {
    flows.HVACExhaustTotal = s.HVACOutdoorAirTotal * f;
    flows.HVACIntakeTotal = s.HVACMakeUpTotal * f;
    ScaleOutdoorHVACFlows(building, room_count, f, flows);
    return;
  }
  const int rooms = RoomBound(room_count);
  for (int r = 1; r <= rooms; ++r) {
    flows.BaseHVACReturn[r] = s.HVACReturn[r] * f;
    flows.BaseHVACSupply[r] = s.HVACSupply[r] * f;
    flows.WorkingHVACExhaust[r] = s.HVACExhaust[r] * f;
    flows.WorkingHVACOutdoorAir[r] = s.HVACOutdoorAir[r] * f;
    for (int j = 1; j <= rooms; ++j) {
      if (!RoomsConnected(building, j, r)) continue;
      flows.FlowMatrix[j][r] = s.HVACRoomFlows[j][r] * f;
      flows.FlowMatrix[r][j] = s.HVACRoomFlows[r][j] * f;
    }
  }
  if (f == 0) supply_conc.fill(0);  // the system is off: it supplies nothing
  flows.HVACExhaustTotal = s.HVACOutdoorAirTotal * f;
  flows.HVACIntakeTotal = s.HVACMakeUpTotal * f;
}

void ScaleOutdoorHVACFlows(const BuildingRecord& building, int room_count, float f,
                           WorkingFlows& flows) {
  const ScenarioRecord& s = building.Scenario;
  const int rooms = RoomBound(room_count);
  for (int r = 1; r <= rooms; ++r) {
    flows.BaseHVACReturn[r] = s.HVACReturn[r];
    flows.BaseHVACSupply[r] = s.HVACSupply[r] - s.HVACExhaust[r];
    flows.WorkingHVACExhaust[r] = s.HVACExhaust[r] * f;
    flows.WorkingHVACOutdoorAir[r] = s.HVACOutdoorAir[r] * f;
    // Exhaust that is no longer made up by outdoor air is supplied from the return air.
    if (flows.WorkingHVACExhaust[r] != flows.WorkingHVACOutdoorAir[r])
      flows.BaseHVACSupply[r] += flows.WorkingHVACExhaust[r];
    for (int j = 1; j <= rooms; ++j) {
      if (!RoomsConnected(building, j, r)) continue;
      flows.FlowMatrix[j][r] = s.HVACRoomFlows[j][r];
      flows.FlowMatrix[r][j] = s.HVACRoomFlows[r][j];
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
  now.Rooms = rooms;
  now.OutdoorConc = terms.CurrentOutdoorConc;
  now.Penetration = s.BuildingPenetration;
  for (int r = 1; r <= rooms; ++r) now.Volume[r] = building.RoomList[r].Volume;
  now.Out = flows.TotalToOutdoors;
  now.In = flows.TotalFromOutdoors;
  now.Return = flows.BaseHVACReturn;
  now.Between = flows.TotalBetweenRooms;
  // Compared as bits: a zero of the other sign or a NaN is a change.
  if (std::memcmp(&now, &terms.MadeFrom, sizeof now) == 0) return;
  terms.MadeFrom = now;
  for (int r = 1; r <= rooms; ++r) {
    const float volume = building.RoomList[r].Volume;
    for (int p = 0; p < np; ++p)
      terms.OutdoorInput[r][p] = terms.CurrentOutdoorConc[p] * flows.TotalFromOutdoors[r] *
                                 s.BuildingPenetration[p] / volume;
    float out = flows.TotalToOutdoors[r] + flows.BaseHVACReturn[r];
    for (int j = 1; j <= rooms; ++j)
      if (j != r) out += flows.TotalBetweenRooms[r][j];
    terms.LossCoefficient[r] = out / volume;
  }
}

namespace {

// Arithmetic that goes pollutant by pollutant runs over every slot of the arrays, a fixed
// count the compiler turns into vector instructions. The slots beyond the run's pollutants
// hold zeros, and nothing computed for them is kept.
constexpr int kLanes = kMaxPollutants;

// Whether change / base > threshold as the Single quotient compares (base > 0), for every
// room and pollutant of every step: the exact product threshold × base in a double settles
// all but the quotients within a rounding of the threshold, which are divided.
bool MovedBeyond(float change, float base, float threshold) {
  // Below the smallest normal Single a quotient may round to zero: divide.
  if (!(threshold >= std::numeric_limits<float>::min())) return change / base > threshold;
  const double limit = static_cast<double>(threshold) * static_cast<double>(base);
  const double moved = change;
  // At or below the exact limit the quotient is at most the threshold once rounded.
  if (moved <= limit) return false;
  // Far enough above it the rounded quotient is above the threshold too.
  if (moved > limit + std::fabs(limit) * 1e-6) return true;
  return change / base > threshold;
}

// The removal rate (1/h) of room r's air cleaner: it moves AirCleanerFlow room volumes an
// hour through a device that keeps AirCleanerEff percent.
float CleanerRate(const ScenarioRecord& s, int r) {
  return s.AirCleanerEff[r] > 0 ? PercentOfProduct(1, s.AirCleanerFlow[r], s.AirCleanerEff[r])
                                : 0.0F;
}

// The step matrices of every pollutant for `key`, worked out again only when the key has
// changed. Pollutants with the same rate matrix (the usual case: filters and sinks that treat
// them alike) share one working-out.
void KeepExchange(const BuildingRecord& building, const ExchangeKey& key, ExchangeCache& cache) {
  // Compared as bits, on purpose: a zero of the other sign or a NaN is a change. The key has
  // no padding (ints and floats only).
  static_assert(sizeof(ExchangeKey) == 2 * sizeof(int) + sizeof(float) + sizeof(ExchangeKey::Loss) +
                                           sizeof(ExchangeKey::Supply) +
                                           sizeof(ExchangeKey::Between) +
                                           sizeof(ExchangeKey::Weight));
  // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
  if (cache.Valid && std::memcmp(&key, &cache.MadeFrom, sizeof key) == 0) return;
  cache.MadeFrom = key;
  cache.Valid = true;
  cache.Phi = {};
  cache.Integral = {};
  cache.SecondIntegral = {};
  const int n = key.Rooms;
  std::array<StepMatrices::Matrix, kMaxPollutants> rates{};
  StepMatrices matrices;
  for (int p = 0; p < key.Pollutants; ++p) {
    rates[p] = RateMatrix(building, key, p);
    int same = 0;
    while (same < p && rates[same] != rates[p]) ++same;
    if (same == p) matrices = ComputeStepMatrices(rates[p], n, static_cast<double>(key.Step));
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        if (same < p) {
          cache.Phi[i][j][p] = cache.Phi[i][j][same];
          cache.Integral[i][j][p] = cache.Integral[i][j][same];
          cache.SecondIntegral[i][j][p] = cache.SecondIntegral[i][j][same];
        } else {
          cache.Phi[i][j][p] = static_cast<float>(matrices.Phi[i * n + j]);
          cache.Integral[i][j][p] = static_cast<float>(matrices.Integral[i * n + j]);
          cache.SecondIntegral[i][j][p] = static_cast<float>(matrices.SecondIntegral[i * n + j]);
        }
      }
    }
  }
}

// Four pollutants' worth of floats, which gcc and clang both keep in one vector register:
// the products of a step are most of its arithmetic, and left to themselves the compilers
// kept their sums in memory.
using Four = float __attribute__((vector_size(16)));
static_assert(kLanes == 8, "the pollutants of a room are two vectors of four");

Four Half(const PerPollutant<float>& v, int half) {
  Four x;
  std::memcpy(&x, v.data() + 4 * half, sizeof x);
  return x;
}

// Room r's concentration at the end of the step and its integral over the step, for every
// pollutant, from the concentrations c and the inputs b of rooms 1 to n:
//   ends     = sum over j of Phi[r][j] c[j] + Integral[r][j] b[j]
//   integral = sum over j of Integral[r][j] c[j] + SecondIntegral[r][j] b[j]
// in one pass, which loads c, b and the Integral row once for both.
void StepRoom(const ExchangeCache& exchange, int r, int n, const RoomPollutant& c,
              const RoomPollutant& b, PerPollutant<float>& ends, PerPollutant<float>& integral) {
  const int i = r - 1;
  Four end_low = {};
  Four end_high = {};
  Four sum_low = {};
  Four sum_high = {};
  for (int j = 0; j < n; ++j) {
    const Four c_low = Half(c[j + 1], 0);
    const Four c_high = Half(c[j + 1], 1);
    const Four b_low = Half(b[j + 1], 0);
    const Four b_high = Half(b[j + 1], 1);
    const Four first_low = Half(exchange.Integral[i][j], 0);
    const Four first_high = Half(exchange.Integral[i][j], 1);
    end_low += Half(exchange.Phi[i][j], 0) * c_low + first_low * b_low;
    end_high += Half(exchange.Phi[i][j], 1) * c_high + first_high * b_high;
    sum_low += first_low * c_low + Half(exchange.SecondIntegral[i][j], 0) * b_low;
    sum_high += first_high * c_high + Half(exchange.SecondIntegral[i][j], 1) * b_high;
  }
  std::memcpy(ends.data(), &end_low, sizeof end_low);
  std::memcpy(ends.data() + 4, &end_high, sizeof end_high);
  std::memcpy(integral.data(), &sum_low, sizeof sum_low);
  std::memcpy(integral.data() + 4, &sum_high, sizeof sum_high);
}

}  // namespace

ExchangeKey MakeExchangeKey(const BuildingRecord& building, const WorkingFlows& flows,
                            const RemovalTerms& terms, const HVACMixing& mixing, float dt) {
  ExchangeKey key;
  key.Rooms = RoomCount(building);
  key.Pollutants = PollutantCount(building.Scenario);
  key.Step = dt;
  key.Loss = terms.LossCoefficient;
  key.Supply = flows.BaseHVACSupply;
  key.Between = flows.TotalBetweenRooms;
  key.Weight = mixing.Weight;
  return key;
}

StepMatrices::Matrix RateMatrix(const BuildingRecord& building, const ExchangeKey& key, int p) {
  const ScenarioRecord& s = building.Scenario;
  const int n = key.Rooms;
  StepMatrices::Matrix a{};
  for (int i = 1; i <= n; ++i) {
    const double volume = building.RoomList[i].Volume;
    // Adsorption takes ka C per unit area, never a negative amount.
    double uptake = 0;
    for (int k = 1; k <= SinkSlotCount(s, i); ++k)
      uptake += std::max(0.0F, s.Sinks[i][k].ka[p]) * static_cast<double>(s.Sinks[i][k].Area);
    for (int j = 1; j <= n; ++j) {
      double rate = key.Supply[i] * static_cast<double>(key.Weight[j][p]);
      // Air comes through from a connected room only while it flows towards room i.
      const float flow = key.Between[j][i];
      if (RoomsConnected(building, i, j) && flow > 0) rate += flow;
      rate /= volume;
      if (j == i) rate -= static_cast<double>(key.Loss[i]) + CleanerRate(s, i) + uptake / volume;
      a[(i - 1) * n + (j - 1)] = rate;
    }
  }
  return a;
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
  flows.HVACExhaustTotal = s.HVACOutdoorAirTotal;
  flows.HVACIntakeTotal = s.HVACMakeUpTotal;
  s.AirCleanerMass.fill(0);
  for (auto& room : sinks)
    for (auto& sink : room) sink.fill(0);
  for (int r = 0; r <= rooms; ++r) {
    s.PeakConc[r] = kNoPeak;
    if (r >= 1) {
      building.TotalRoomVolume += building.RoomList[r].Volume;
      flows.BaseHVACReturn[r] = s.HVACReturn[r];
      flows.BaseHVACSupply[r] = s.HVACSupply[r];
      flows.WorkingHVACExhaust[r] = s.HVACExhaust[r];
      s.AirCleanerCollected[r] = 0;
    }
    for (int k = 1; k <= SourceSlotCount(s, r); ++k)
      StartSource(s.Sources[r][k], s.Pollutants, np, sources[r][k]);
  }
  for (int p = 0; p < np; ++p) {
    s.ResultTotal2[p] = -1e30F;
    s.TotalEmitted[p] = 0;
    s.ResultTotal1[p] = 0;
    s.ResultTotal4[p] = 0;
  }
  float return_sum = 0;
  for (int r = 1; r <= rooms; ++r) return_sum += flows.BaseHVACReturn[r];
  flows.HVACInUse = return_sum != 0 ? true : false;
  for (int i = 1; i <= rooms; ++i)
    for (int j = 1; j <= rooms; ++j)
      if (i != j && !RoomsConnected(building, i, j)) flows.TotalBetweenRooms[i][j] = 0;
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
        state.ReservoirMass[p] = state.InitialMass[p];
        state.Layer2Mass[p] = s.Sources[r][k].Params[6][p];
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
  arrays.RoomPeak.fill(kNoPeak);
  for (int r = 1; r <= rooms; ++r) {
    for (int p = 0; p < np; ++p) {
      const float c = s.InitialConc[r][p];
      arrays.RoomConc[r][p] = c;
      arrays.PreviousRoomConc[r][p] = c;
      arrays.NewConc[r][p] = c;
      arrays.Conc[r][p] = c;
    }
    arrays.RoomSourceCounts[r] = SourceSlotCount(s, r);
    arrays.RoomVolumes[r] = building.RoomList[r].Volume;
  }
  arrays.RoomSourceCounts[0] = SourceSlotCount(s, 0);
}

float StableStepLimit(const BuildingRecord& building) {
  const ScenarioRecord& s = building.Scenario;
  const int rooms = RoomCount(building);
  const int np = PollutantCount(s);
  float fastest = 0;
  for (int r = 1; r <= rooms; ++r)
    for (int k = 1; k <= SinkSlotCount(s, r); ++k)
      for (int p = 0; p < np; ++p) fastest = std::max(fastest, s.Sinks[r][k].kd[p]);
  return fastest > 0 ? 0.5F / fastest : 0.0F;
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
          period > 0 ? times.Repeats.emplace_back(SwitchTimes::Repeating{period, {}}).Offsets
                     : times.Once;
      for (int c = 1; c <= cycles; ++c) {
        list.push_back(source.TimeOn[c]);
        list.push_back(source.TimeOff[c]);
      }
    }
  }
  std::sort(times.Once.begin(), times.Once.end());
  times.Once.erase(std::unique(times.Once.begin(), times.Once.end()), times.Once.end());
  return times;
}

double NextSwitchTime(const SwitchTimes& times, double t) {
  double next = std::numeric_limits<double>::max();
  const auto it = std::upper_bound(times.Once.begin(), times.Once.end(), t);
  if (it != times.Once.end()) next = *it;
  for (const auto& repeat : times.Repeats) {
    for (double offset : repeat.Offsets) {
      double at = offset + (std::floor((t - offset) / repeat.Period) + 1) * repeat.Period;
      if (at <= t) at += repeat.Period;
      next = std::min(next, at);
    }
  }
  return next;
}

StepStatus UpdateRooms(BuildingRecord& building, const WorkingFlows& flows,
                       const RemovalTerms& terms, const StepInput& step, SourceStates& sources,
                       SinkMasses& sinks, RoomArrays& arrays, bool& output_due) {
  ScenarioRecord& s = building.Scenario;
  const int rooms = RoomCount(building);
  const int np = PollutantCount(s);
  const float dt = step.TimeStep;
  for (int r = 1; r <= rooms; ++r)
    if (terms.LossCoefficient[r] < 0) return StepStatus::NegativeLoss;

  // What enters each room over the step whatever its concentration, concentration per hour:
  // the outdoor air, the sources' mean over the step, the part of the HVAC supply that does
  // not come from the rooms, and what the sinks release at their loading of the step's start.
  const EmissionStep emission{step.SimTime, dt, arrays.RoomConc, arrays.PreviousRoomConc,
                              step.ConcPerMass};
  RoomPollutant input{};
  for (int r = 1; r <= rooms; ++r) {
    const float volume = building.RoomList[r].Volume;
    PerPollutant<float>& in = input[r];
    in = terms.OutdoorInput[r];
    if (arrays.RoomSourceCounts[r] > 0)
      RoomEmissionRates(s, sources, r, volume, emission, in, s.TotalEmitted);
    const float supplied = flows.BaseHVACSupply[r] / volume;
    float each[kLanes];
    for (int p = 0; p < kLanes; ++p) each[p] = in[p] + supplied * step.Supply.Constant[p];
    for (int k = 1; k <= SinkSlotCount(s, r); ++k) {
      const SinkRecord& sink = s.Sinks[r][k];
      const float per_volume = sink.Area / arrays.RoomVolumes[r];
      const PerPollutant<float>& held = sinks[r][k];
      for (int p = 0; p < kLanes; ++p) each[p] += held[p] * sink.kd[p] * per_volume;
    }
    std::copy(each, each + kLanes, in.begin());
  }

  KeepExchange(building, MakeExchangeKey(building, flows, terms, step.Supply, dt), arrays.Exchange);
  const ExchangeCache& exchange = arrays.Exchange;
  float in_sinks[kLanes] = {};
  for (int r = 1; r <= rooms; ++r) {
    PerPollutant<float> ends;
    StepRoom(exchange, r, rooms, arrays.Conc, input, ends, arrays.StepIntegral[r]);
    for (int p = 0; p < np; ++p) {
      if (!std::isfinite(ends[p])) return StepStatus::NotFinite;
    }
    const int sink_count = SinkSlotCount(s, r);
    const float cleaner = CleanerRate(s, r);
    const PerPollutant<float>& integral = arrays.StepIntegral[r];
    // What the sinks took up over the step, less what they released. The slots beyond the
    // run's pollutants stay 0.
    for (int k = 1; k <= sink_count; ++k) {
      const SinkRecord& sink = s.Sinks[r][k];
      float masses[kLanes];
      std::copy(sinks[r][k].begin(), sinks[r][k].end(), masses);
      for (int p = 0; p < kLanes; ++p) {
        const float uptake = sink.ka[p] < 0 ? 0.0F : sink.ka[p];
        const float held = masses[p] + uptake * integral[p] - sink.kd[p] * masses[p] * dt;
        masses[p] = held <= 0 ? 0.0F : held;
        in_sinks[p] += masses[p] * sink.Area;
      }
      std::copy(masses, masses + kLanes, sinks[r][k].begin());
    }
    if (cleaner != 0) {
      for (int p = 0; p < np; ++p)
        s.AirCleanerCollected[r] += cleaner * integral[p] * building.RoomList[r].Volume;
    }
    for (int p = 0; p < np; ++p) {
      const float next = ends[p];
      arrays.NewConc[r][p] = next;
      arrays.RoomConc[r][p] = next;
      if (!output_due && next > 0 &&
          MovedBeyond(std::fabs(arrays.PreviousRoomConc[r][p] - next), next, step.ChangeThreshold))
        output_due = true;
    }
  }
  for (int p = 0; p < np; ++p) {
    s.ResultTotal1[p] = in_sinks[p];
    if (s.ResultTotal2[p] < s.ResultTotal1[p]) s.ResultTotal2[p] = s.ResultTotal1[p];
  }
  return StepStatus::Ok;
}

void RoomBookkeeping(BuildingRecord& building, const WorkingFlows& flows, float dt,
                     RoomArrays& arrays) {
  ScenarioRecord& s = building.Scenario;
  const int rooms = RoomCount(building);
  const int np = PollutantCount(s);
  // Summed apart from the record, which the stores of the loop would otherwise make the
  // compiler read back at every room.
  PerPollutant<float> leaving = s.ResultTotal3;
  PerPollutant<float> airborne{};
  for (int r = 0; r <= rooms; ++r) {
    const float volume = building.RoomList[r].Volume;
    const float out = flows.TotalToOutdoors[r];
    // What left over the step, at the concentration the room had along it; outdoors holds
    // its concentration over the step.
    PerPollutant<float> along = arrays.StepIntegral[r];
    if (r == 0)
      for (int p = 0; p < kLanes; ++p) along[p] = arrays.NewConc[0][p] * dt;
    for (int p = 0; p < kLanes; ++p) {
      const float c = arrays.NewConc[r][p];
      arrays.Conc[r][p] = c;
      arrays.PreviousRoomConc[r][p] = c;
      leaving[p] += out * along[p];
      const float mass = c * volume;
      arrays.RoomMass[r][p] = mass;
      airborne[p] += mass;
    }
    float peak = arrays.RoomPeak[r];
    for (int p = 0; p < np; ++p) peak = arrays.NewConc[r][p] > peak ? arrays.NewConc[r][p] : peak;
    arrays.RoomPeak[r] = peak;
  }
  for (int p = 0; p < np; ++p) {
    s.ResultTotal3[p] = leaving[p];
    s.ResultTotal4[p] = airborne[p];
  }
}

}  // namespace quarn
