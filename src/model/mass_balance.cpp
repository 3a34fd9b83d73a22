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
  state.ModelValue2 = 0;
  state.CurrentTime = 0;
  for (int p = 0; p < np; ++p) {
    state.ModelWork4[p] = 0;
    state.ModelWork5[p] = 0;
    const float mw = pollutants[p].MolWt;
    switch (source.Model) {
      case 0:
      case 3:
        state.Param7[p] = state.Param3[p];
        state.Param8[p] = source.Params[6][p];
        break;
      case 8:
      case 9:
      case 10:
        state.ModelWork1[p] = source.Params[2][p];
        state.ParamPerMole[p] = static_cast<float>(MassToMoles(state.ModelWork1[p], mw));
        state.SourceWork1[p] = state.ParamPerMole[p];
        break;
      default:
        state.SourceValue = static_cast<float>(MassToMoles(source.ScaledMass, mw));
        state.ParamPerMole[p] = static_cast<float>(MassToMoles(state.ModelWork1[p], mw));
        state.SourceWork1[p] = state.ParamPerMole[p];
        break;
    }
  }
  if (source.Model == 10) {
    state.SourceValue = static_cast<float>(TotalSourceMass(state, np));
    state.TotalMoles = state.SourceValue;
  }
}

}  // namespace

void RoomFlowTerms(const BuildingRecord& building, int roomCount, float f, WorkingFlows& flows,
                   PerPollutant<float>& supplyConc) {
  const ScenarioRecord& s = building.Scenario;
  if (s.HVACHistoryOutdoorOnly != 0) {
    flows.HVACTotal1 = s.HVACOutdoorAirTotal * f;
    flows.HVACTotal2 = s.HVACMakeUpTotal * f;
    ScaleOutdoorHVACFlows(building, roomCount, f, flows);
    return;
  }
  const int rooms = RoomBound(roomCount);
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
  if (f == 0) supplyConc.fill(0);  // the system is off: it supplies nothing
  flows.HVACTotal1 = s.HVACOutdoorAirTotal * f;
  flows.HVACTotal2 = s.HVACMakeUpTotal * f;
}

void ScaleOutdoorHVACFlows(const BuildingRecord& building, int roomCount, float f,
                           WorkingFlows& flows) {
  const ScenarioRecord& s = building.Scenario;
  const int rooms = RoomBound(roomCount);
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

void StepBookkeeping(float t, const ScenarioRecord& s, PerPollutant<float>& outdoorConc) {
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
  for (int p = 0; p < np; ++p) outdoorConc[p] = s.OutdoorConc[point][p];
}

void SetRemovalTerms(const BuildingRecord& building, int roomCount, const WorkingFlows& flows,
                     RemovalTerms& terms) {
  const ScenarioRecord& s = building.Scenario;
  const int rooms = RoomBound(roomCount);
  const int np = PollutantCount(s);
  RemovalTerms::Inputs now;
  now.Rooms = rooms;
  now.OutdoorConc = terms.CurrentOutdoorConc;
  now.Penetration = s.BuildingPenetration;
  for (int r = 1; r <= rooms; ++r) now.Volume[r] = building.RoomList[r].Volume;
  now.Out = flows.RoomWorkA;
  now.In = flows.RoomWorkB;
  now.Return = flows.BaseHVACReturn;
  now.Between = flows.RoomWorkMatrix;
  // Compared as bits: a zero of the other sign or a NaN is a change.
  if (std::memcmp(&now, &terms.MadeFrom, sizeof now) == 0) return;
  terms.MadeFrom = now;
  for (int r = 1; r <= rooms; ++r) {
    const float volume = building.RoomList[r].Volume;
    for (int p = 0; p < np; ++p)
      terms.RoomPollutantWork[r][p] =
          terms.CurrentOutdoorConc[p] * flows.RoomWorkB[r] * s.BuildingPenetration[p] / volume;
    float out = flows.RoomWorkA[r] + flows.BaseHVACReturn[r];
    for (int j = 1; j <= rooms; ++j)
      if (j != r) out += flows.RoomWorkMatrix[r][j];
    terms.LossCoefficient[r] = out / volume;
  }
}

namespace {

// Arithmetic that goes pollutant by pollutant runs over every slot of the arrays, a fixed
// count the compiler turns into vector instructions. The slots beyond the run's pollutants
// hold zeros, and nothing computed for them is kept.
constexpr int kLanes = kMaxPollutants;

// The rooms that send air into room r, in ascending order: the inflow sums over these only.
struct Upstream {
  int Count = 0;
  std::array<int, kMaxRooms> Rooms{};
};

Upstream UpstreamOf(const BuildingRecord& building, int r, const RoomMatrix& f) {
  Upstream up;
  const int rooms = RoomCount(building);
  for (int j = 1; j <= rooms; ++j)
    if (RoomsConnected(building, r, j) && f[j][r] > 0) up.Rooms[up.Count++] = j;
  return up;
}

// Inflow to room r of every pollutant from the HVAC supply and the rooms upstream, air
// flow times concentration (not yet over the volume).
PerPollutant<float> Inflows(const int* upstream, int count, int r, const WorkingFlows& flows,
                            const RoomMatrix& f, const RoomPollutant& c,
                            const PerPollutant<float>& supplyConc) {
  PerPollutant<float> x{};
  const float supplied = flows.BaseHVACSupply[r];
  for (int p = 0; p < kLanes; ++p) x[p] = supplyConc[p] * supplied;
  for (int i = 0; i < count; ++i) {
    const int j = upstream[i];
    const float flow = f[j][r];
    for (int p = 0; p < kLanes; ++p) x[p] += flow * c[j][p];
  }
  return x;
}

// The upstream rooms of every room, kept in the cache while the flows and connections are
// those they were made from.
void KeepUpstream(const BuildingRecord& building, const RoomMatrix& f, StepCache& cache) {
  // Compared as bits, which is quicker than element by element: a change of a zero's sign
  // only derives the same rooms again.
  if (cache.HasUpstream && std::memcmp(&cache.Flows, &f, sizeof f) == 0 &&
      std::memcmp(&cache.Neighbors, &building.Neighbors, sizeof cache.Neighbors) == 0)
    return;
  cache.Flows = f;
  cache.Neighbors = building.Neighbors;
  for (int r = 1; r <= RoomCount(building); ++r) {
    const Upstream up = UpstreamOf(building, r, f);
    cache.UpstreamCount[r] = up.Count;
    cache.Upstream[r] = up.Rooms;
  }
  cache.HasUpstream = true;
}

// e^(-loss dt) of room r, computed again only when its loss or the step changed.
float KeptDecay(StepCache& cache, int r, float loss, float dt) {
  if (!cache.HasDecay[r] || !(cache.Loss[r] == loss) || !(cache.Step[r] == dt)) {
    const float exponent = -loss * dt;
    cache.Decay[r] = static_cast<float>(std::exp(static_cast<double>(exponent)));
    cache.Loss[r] = loss;
    cache.Step[r] = dt;
    cache.HasDecay[r] = true;
  }
  return cache.Decay[r];
}

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

}  // namespace

float RoomInflowRate(const BuildingRecord& building, int r, const WorkingFlows& flows,
                     const RoomMatrix& f, const RoomPollutant& c, int p,
                     const PerPollutant<float>& supplyConc) {
  const Upstream up = UpstreamOf(building, r, f);
  return Inflows(up.Rooms.data(), up.Count, r, flows, f, c, supplyConc)[p] /
         building.RoomList[r].Volume;
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

float ScaledArraySum(const PerRoom<float>& values, int count, float totalRoomVolume) {
  if (count < 1 || !(totalRoomVolume != 0)) return 0;
  float sum = 0;
  for (int r = 1; r <= RoomBound(count); ++r) sum += values[r];
  return sum / totalRoomVolume;
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
  flows.HVACTotal1 = s.HVACOutdoorAirTotal;
  flows.HVACTotal2 = s.HVACMakeUpTotal;
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
  float returnSum = 0;
  for (int r = 1; r <= rooms; ++r) returnSum += flows.BaseHVACReturn[r];
  flows.HVACInUse = returnSum != 0 ? kTrue : kFalse;
  for (int i = 1; i <= rooms; ++i)
    for (int j = 1; j <= rooms; ++j)
      if (i != j && !RoomsConnected(building, i, j)) flows.RoomWorkMatrix[i][j] = 0;
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
        state.Param7[p] = state.Param3[p];
        state.Param8[p] = s.Sources[r][k].Params[6][p];
      }
    }
  }
}

void LoadRoomFlowArrays(const BuildingRecord& building, int roomCount, RoomArrays& a,
                        PerPollutant<float>& supplyConc) {
  const ScenarioRecord& s = building.Scenario;
  const int rooms = RoomBound(roomCount);
  const int np = PollutantCount(s);
  supplyConc.fill(0);
  a.RoomPeak.fill(kNoPeak);
  for (int r = 1; r <= rooms; ++r) {
    for (int p = 0; p < np; ++p) {
      const float c = s.InitialConc[r][p];
      a.RoomConc[r][p] = c;
      a.PreviousRoomConc[r][p] = c;
      a.NewConc[r][p] = c;
      a.Conc[r][p] = c;
    }
    a.RoomSourceCounts[r] = SourceSlotCount(s, r);
    a.RoomVolumes[r] = building.RoomList[r].Volume;
  }
  a.RoomSourceCounts[0] = SourceSlotCount(s, 0);
}

float StableStepLimit(const BuildingRecord& building) {
  const ScenarioRecord& s = building.Scenario;
  const int rooms = RoomCount(building);
  const int np = PollutantCount(s);
  float fastest = 0;
  for (int r = 1; r <= rooms; ++r) {
    const float volume = building.RoomList[r].Volume;
    if (!(volume > 0)) continue;  // refused by the input checks; the run reports it
    const float cleaner =
        s.AirCleanerEff[r] > 0 ? s.AirCleanerFlow[r] * s.AirCleanerEff[r] / 100 : 0.0F;
    float uptake = 0;
    for (int p = 0; p < np; ++p) {
      float sum = 0;
      for (int k = 1; k <= SinkSlotCount(s, r); ++k) {
        const SinkRecord& sink = s.Sinks[r][k];
        sum += std::max(0.0F, sink.ka[p]) * sink.Area / volume;
        fastest = std::max(fastest, sink.kd[p]);
      }
      uptake = std::max(uptake, sum);
    }
    fastest = std::max(fastest, cleaner + uptake);
  }
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
                       SinkMasses& sinks, RoomArrays& a, bool& outputDue) {
  ScenarioRecord& s = building.Scenario;
  const int rooms = RoomCount(building);
  const int np = PollutantCount(s);
  const float dt = step.TimeStep;
  for (int r = 1; r <= rooms; ++r)
    if (terms.LossCoefficient[r] < 0) return StepStatus::NegativeLoss;

  const EmissionStep emission{step.SimTime, dt, a.RoomConc, a.PreviousRoomConc, step.ConcPerMass};
  // The sinks' total, summed apart from the record that keeps it (the sum is the same).
  PerPollutant<float> inSinks{};
  auto keepSinkTotals = [&] {
    for (int p = 0; p < np; ++p) s.ResultTotal1[p] = inSinks[p];
  };
  KeepUpstream(building, flows.RoomWorkMatrix, a.Cache);
  // Each term is taken for all pollutants of a room at once; every pollutant still adds its
  // terms in the order of the equation, so that no sum is rounded differently.
  for (int r = 1; r <= rooms; ++r) {
    const float volume = building.RoomList[r].Volume;
    const float loss = terms.LossCoefficient[r];
    const float decay = KeptDecay(a.Cache, r, loss, dt);
    const int sinkCount = SinkSlotCount(s, r);
    const PerPollutant<float>& c = a.Conc[r];
    PerPollutant<float> source = terms.RoomPollutantWork[r];
    if (a.RoomSourceCounts[r] > 0)
      RoomEmissionRates(s, sources, r, volume, emission, source, s.TotalEmitted);

    const PerPollutant<float> inflow =
        Inflows(a.Cache.Upstream[r].data(), a.Cache.UpstreamCount[r], r, flows,
                flows.RoomWorkMatrix, a.Conc, step.SupplyConc);
    for (int p = 0; p < kLanes; ++p) source[p] += inflow[p] / volume;

    if (sinkCount > 0) {
      PerPollutant<float> uptake{};
      for (int k = 1; k <= sinkCount; ++k) {
        const SinkRecord& sink = s.Sinks[r][k];
        // Worked on a copy, which nothing else can reach, for the vector instructions.
        PerPollutant<float> masses = sinks[r][k];
        for (int p = 0; p < kLanes; ++p) {
          uptake[p] += SinkExchange(sink, masses[p], c[p], p, dt);
          inSinks[p] += masses[p] * sink.Area;
        }
        for (int p = 0; p < np; ++p) sinks[r][k][p] = masses[p];
      }
      const float roomVolume = a.RoomVolumes[r];
      for (int p = 0; p < kLanes; ++p) source[p] -= uptake[p] / roomVolume;
    }
    if (s.AirCleanerEff[r] > 0) {
      for (int p = 0; p < np; ++p) {
        const float removal = PercentOfProduct(c[p], s.AirCleanerFlow[r], s.AirCleanerEff[r]);
        source[p] -= removal;
        s.AirCleanerCollected[r] += dt * removal * volume;
      }
    }

    PerPollutant<float> ends;
    if (loss == 0) {
      for (int p = 0; p < kLanes; ++p) ends[p] = c[p] + dt * source[p];
    } else {
      const float kept = 1 - decay;
      for (int p = 0; p < kLanes; ++p) {
        float steady = source[p] / loss;
        steady = steady * kept;
        ends[p] = c[p] * decay + steady;
      }
    }
    for (int p = 0; p < np; ++p) {
      const float next = ends[p];
      if (!std::isfinite(next)) {
        keepSinkTotals();
        return StepStatus::NotFinite;
      }
      a.NewConc[r][p] = next;
      a.RoomConc[r][p] = next;
      if (!outputDue && next > 0 &&
          MovedBeyond(std::fabs(a.PreviousRoomConc[r][p] - next), next, step.ChangeThreshold))
        outputDue = true;
    }
  }
  keepSinkTotals();
  for (int p = 0; p < np; ++p)
    if (s.ResultTotal2[p] < s.ResultTotal1[p]) s.ResultTotal2[p] = s.ResultTotal1[p];
  return StepStatus::Ok;
}

void RoomBookkeeping(BuildingRecord& building, const WorkingFlows& flows, float dt, RoomArrays& a) {
  ScenarioRecord& s = building.Scenario;
  const int rooms = RoomCount(building);
  const int np = PollutantCount(s);
  // Summed apart from the record, which the stores of the loop would otherwise make the
  // compiler read back at every room.
  PerPollutant<float> leaving = s.ResultTotal3;
  PerPollutant<float> airborne{};
  for (int r = 0; r <= rooms; ++r) {
    const float volume = building.RoomList[r].Volume;
    const float out = flows.RoomWorkA[r];
    for (int p = 0; p < kLanes; ++p) {
      const float c = a.NewConc[r][p];
      a.Conc[r][p] = c;
      a.PreviousRoomConc[r][p] = c;
      leaving[p] += out * c * dt;
      const float mass = c * volume;
      a.RoomMass[r][p] = mass;
      airborne[p] += mass;
    }
    float peak = a.RoomPeak[r];
    for (int p = 0; p < np; ++p) peak = a.NewConc[r][p] > peak ? a.NewConc[r][p] : peak;
    a.RoomPeak[r] = peak;
  }
  for (int p = 0; p < np; ++p) {
    s.ResultTotal3[p] = leaving[p];
    s.ResultTotal4[p] = airborne[p];
  }
}

}  // namespace quarn
