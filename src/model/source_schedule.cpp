#include "model/source_schedule.h"

#include <algorithm>
#include <cmath>

#include "model/emission_models.h"
#include "model/records.h"
#include "model/spill_models.h"

namespace quarn {
namespace {

// The model's emission for one pollutant in the source's own unit per hour.
double ModelEmission(const ScenarioRecord& scenario, const SourceRecord& source, SourceState& state,
                     int room, int p, const EmissionStep& step) {
  const float croom = step.RoomConc[room][p];
  const float dt = step.Step;
  switch (source.Model) {
    case 0:
      return MassTransferEmission(source, state, p, croom, dt);
    case 1:
      return R0kEmission(source, state, p);
    case 2:
      return Paint1Emission(source, state, p);
    case 3:
      return Paint2Emission(source, state, p, croom, dt);
    case 4:
      return RTEmission(source, state, p);
    case 5:
      return ShowerEmission(step.PreviousRoomConc[room][p], source, p);
    case 6:
      return PolyfitEmission(source, p, step.Time);
    case 7:
      // Pollutant 0 is the mixture as a whole; its layer-1 mass is what the components'
      // shares are taken of.
      if (p == 0) return MassTransferEmission(source, state, p, croom, dt);
      return VBXEmission(source, state, p, croom, dt, state.Param7[0]);
    case 8:
      if (p == 0) return PetroleumSpillRate(source, state, croom, scenario.Pollutants);
      return PetroleumSpillStep(source, state, p, croom, dt, scenario.Pollutants);
    case 9:
      return SingleSpillRate(source, state, p, croom, scenario.Pollutants);
    case 10:
      return ExactSpillRate(source, state, p, croom, scenario.Pollutants, scenario.NumPollutants);
    default:
      return 0;
  }
}

// Takes what evaporated in the step off the liquid of a spill and returns the emission the
// step may have: a rate that would take more than the liquid left takes only what is left,
// so that a spill emits its mass and no more.
double DepleteSpill(const ScenarioRecord& scenario, const SourceRecord& source, SourceState& state,
                    int p, double emission, float dt) {
  const double mw = scenario.Pollutants[p].MolWt;
  float& mass = state.ModelWork1[p];
  if (emission > 0 && emission * dt > mass)
    emission = std::max(0.0F, mass) / static_cast<double>(dt);
  mass = static_cast<float>(std::max(0.0, mass - emission * dt));
  if (source.Model == 8) state.SourceWork1[p] = static_cast<float>(MassToMoles(mass, mw));
  if (source.Model == 10) state.SourceWork1[p] = static_cast<float>(mass / mw / 1000.0);
  return emission;
}

}  // namespace

double RepeatPeriod(const SourceRecord& source) {
  // Both cases spelled out: this is asked for every source at every step.
  switch (source.CycleRepeats[0]) {
    case 'H':
    case 'h':
      return 1;
    case 'D':
    case 'd':
      return 24;
    case 'W':
    case 'w':
      return 168;
    case 'M':
    case 'm':
      return 720;
    case 'O':
    case 'o': {
      // The pattern repeats with the length of its last cycle's end; a pattern that ends at
      // 0 has no length to divide by and does not repeat.
      const int n = CycleCount(source);
      return n > 0 ? static_cast<double>(source.TimeOff[n]) : 0.0;
    }
    default:
      return 0;
  }
}

bool SourceScheduleTime(float t, const SourceRecord& source, SourceState& state, float stepSize,
                        int numPollutants) {
  const int n = CycleCount(source);
  if (n == 0) return false;
  // The run's clock is exact to well within a thousandth of a step, so a switch time that
  // close counts as reached: the switch takes effect at the step boundary it falls on.
  const double reach = static_cast<double>(t) + 0.001 * static_cast<double>(stepSize);
  const double period = RepeatPeriod(source);
  const double k = period != 0 ? std::floor(reach / period) : 0.0;
  const double offset = k * period;
  for (int i = 1; i <= n; ++i) {
    const float on = static_cast<float>(offset + source.TimeOn[i]);
    const float off = static_cast<float>(offset + source.TimeOff[i]);
    if (on <= reach && reach < off) {
      state.SourceAge =
          static_cast<float>(std::max(0.0, static_cast<double>(t) - source.TimeOn[i] - offset));
      if (state.SourceAge < stepSize && !(state.SwitchOnDone && state.SwitchOnTime == on)) {
        ResetSourceParameters(source, state, numPollutants);
        state.SwitchOnDone = true;
        state.SwitchOnTime = on;
      }
      state.On = true;
      return true;
    }
  }
  state.On = false;
  state.SourceAge = 0;
  return false;
}

void ResetSourceParameters(const SourceRecord& source, SourceState& state, int numPollutants) {
  const int model = source.Model;
  if (model == 7 || model == 8 || model == 9) state.SpillArea = source.Size;
  for (int p = 0; p < std::clamp(numPollutants, 0, kMaxPollutants); ++p) {
    switch (model) {
      case 0:
        state.Param7[p] = source.Params[2][p];
        state.Param3[p] = source.Params[2][p];
        state.Param8[p] = source.Params[5][p];
        break;
      case 3:
        state.Param3[p] = source.Params[2][p];
        state.Param7[p] = state.Param3[p];
        state.Param8[p] = source.Params[6][p];
        break;
      case 7:
      case 8:
      case 9:
        state.Param3[p] = source.Params[2][p];
        state.Param7[p] = state.Param3[p];
        state.Param8[p] = source.Params[6][p];
        state.SourceWork1[p] = state.ParamPerMole[p];
        break;
      default:
        break;
    }
  }
}

namespace {

float ConcPerMassOf(const EmissionStep& step, int p) {
  return step.ConcPerMass != nullptr ? (*step.ConcPerMass)[p] : 1.0F;
}

// What pollutant p of one source that is on gives in the step: its rate in the scenario's
// mass unit per hour, from the model's `emission` in the source's own unit, and its share
// of the room's concentration rate.
struct Emitted {
  float Rate = 0;
  float Share = 0;
};

inline Emitted EmittedOf(const ScenarioRecord& scenario, const SourceRecord& source,
                         SourceState& state, int room, float volume, const EmissionStep& step,
                         int p, double emission) {
  Emitted e;
  e.Rate = static_cast<float>(emission * source.UnitFactor);
  if (source.Model >= 8 && source.Model <= 10)
    e.Rate = static_cast<float>(DepleteSpill(scenario, source, state, p, e.Rate, step.Step));
  const float added = e.Rate * ConcPerMassOf(step, p);
  // The HVAC module divides by its own air flow.
  e.Share = room >= 1 ? added / volume : added;
  return e;
}

inline void Add(const Emitted& e, int p, float dt, float& out, PerPollutant<float>& totalEmitted) {
  totalEmitted[p] += e.Rate * dt;
  out += e.Share;
}

// Adds the emission of pollutant p of one source that is on and what it emitted in the step.
inline void AddEmission(const ScenarioRecord& scenario, const SourceRecord& source,
                        SourceState& state, int room, float volume, const EmissionStep& step, int p,
                        double emission, float& out, PerPollutant<float>& totalEmitted) {
  Add(EmittedOf(scenario, source, state, room, volume, step, p, emission), p, step.Step, out,
      totalEmitted);
}

// A polynomial source with only its constant term emits the same at every time: what it
// gives is kept in its state, for the room volume and the concentration per mass it was
// worked out with.
void AddSteadyPolynomial(const ScenarioRecord& scenario, const SourceRecord& source,
                         SourceState& state, int room, float volume, const EmissionStep& step,
                         int np, PerPollutant<float>& out, PerPollutant<float>& totalEmitted) {
  SteadyEmission& kept = state.Steady;
  if (!kept.Known || !(kept.Volume == volume)) {
    kept = SteadyEmission{};
    kept.Known = true;
    kept.Volume = volume;
  }
  for (int p = 0; p < np; ++p) {
    const float concPerMass = ConcPerMassOf(step, p);
    if (kept.Has[p] && kept.ConcPerMass[p] == concPerMass) {
      Add({kept.Rate[p], kept.Share[p]}, p, step.Step, out[p], totalEmitted);
      continue;
    }
    const Emitted e = EmittedOf(scenario, source, state, room, volume, step, p,
                                PolyfitEmission(source, p, step.Time));
    Add(e, p, step.Step, out[p], totalEmitted);
    // With a constant term that is not zero, the zero terms (of either sign) of any finite
    // time add nothing to it, so every later step gives these same bits.
    const auto& q = source.Params;
    if (q[0][p] != 0 && q[1][p] == 0 && q[2][p] == 0 && q[3][p] == 0 && std::isfinite(step.Time)) {
      kept.Has[p] = true;
      kept.ConcPerMass[p] = concPerMass;
      kept.Rate[p] = e.Rate;
      kept.Share[p] = e.Share;
    }
  }
}

}  // namespace

void SourceEmissionRate(const ScenarioRecord& scenario, SourceStates& states, int room,
                        float volume, const EmissionStep& step, int pollutant, float& out,
                        PerPollutant<float>& totalEmitted) {
  if (room < 0 || room >= kRoomSlots || pollutant < 0 || pollutant >= kMaxPollutants) return;
  for (int k = 1; k <= SourceSlotCount(scenario, room); ++k) {
    const SourceRecord& source = scenario.Sources[room][k];
    SourceState& state = states[room][k];
    // The on/off state holds for the whole step: pollutant 0 decides it for the others.
    const bool on = pollutant == 0 ? SourceScheduleTime(step.Time, source, state, scenario.StepSize,
                                                        scenario.NumPollutants)
                                   : state.On;
    if (on)
      AddEmission(scenario, source, state, room, volume, step, pollutant,
                  ModelEmission(scenario, source, state, room, pollutant, step), out, totalEmitted);
  }
}

void RoomEmissionRates(const ScenarioRecord& scenario, SourceStates& states, int room, float volume,
                       const EmissionStep& step, PerPollutant<float>& out,
                       PerPollutant<float>& totalEmitted) {
  if (room < 0 || room >= kRoomSlots) return;
  const int np = PollutantCount(scenario);
  for (int k = 1; k <= SourceSlotCount(scenario, room); ++k) {
    const SourceRecord& source = scenario.Sources[room][k];
    SourceState& state = states[room][k];
    if (!SourceScheduleTime(step.Time, source, state, scenario.StepSize, scenario.NumPollutants))
      continue;
    // The models a building is mostly made of get a loop of their own, free of the dispatch.
    auto each = [&](auto emission) {
      for (int p = 0; p < np; ++p)
        AddEmission(scenario, source, state, room, volume, step, p, emission(p), out[p],
                    totalEmitted);
    };
    switch (source.Model) {
      case 0:
        each([&](int p) {
          return MassTransferEmission(source, state, p, step.RoomConc[room][p], step.Step);
        });
        break;
      case 1:
        each([&](int p) { return R0kEmission(source, state, p); });
        break;
      case 6:
        AddSteadyPolynomial(scenario, source, state, room, volume, step, np, out, totalEmitted);
        break;
      default:
        each([&](int p) { return ModelEmission(scenario, source, state, room, p, step); });
        break;
    }
  }
}

}  // namespace quarn
