#include "model/source_schedule.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "model/emission_models.h"
#include "model/records.h"
#include "model/spill_models.h"

namespace quarn {
namespace {

// The emission of a model with a state of its own (or, for the shower, fed by the room) for
// one pollutant, in the source's own unit per hour, from the state at the step's start. The
// closed-form models are integrated over the step instead (MeanOverStep).
double ModelEmission(const ScenarioRecord& scenario, const SourceRecord& source, SourceState& state,
                     int room, int p, const EmissionStep& step) {
  const float croom = step.room_conc[room][p];
  const float dt = step.step;
  switch (source.Model) {
    case 0:
      return MassTransferEmission(source, state, p, croom, dt);
    case 3:
      return Paint2Emission(source, state, p, croom, dt);
    case 5:
      return ShowerEmission(step.previous_room_conc[room][p], source, p);
    case 7:
      // Pollutant 0 is the mixture as a whole; its layer-1 mass is what the components'
      // shares are taken of.
      if (p == 0) return MassTransferEmission(source, state, p, croom, dt);
      return VBXEmission(source, state, p, croom, dt, state.reservoir_mass[0]);
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

// The cycle of the source in force at time t and the time it began (the first cycle i whose
// on time, in the repeat period of t, is reached and whose off time is not), both rounded
// to Singles as the schedule has always compared them; false when the source is off.
bool CycleInForce(const SourceRecord& source, int cycles, double period, double t, double& began) {
  const double k = period != 0 ? std::floor(t / period) : 0.0;
  const double offset = k * period;
  for (int i = 1; i <= cycles; ++i) {
    const float on = static_cast<float>(offset + source.TimeOn[i]);
    const float off = static_cast<float>(offset + source.TimeOff[i]);
    if (on <= t && t < off) {
      began = on;
      return true;
    }
  }
  return false;
}

// Takes what evaporated in the step off the liquid of a spill and returns the emission the
// step may have: a rate that would take more than the liquid left takes only what is left,
// so that a spill emits its mass and no more.
double DepleteSpill(const ScenarioRecord& scenario, const SourceRecord& source, SourceState& state,
                    int p, double emission, float dt) {
  const double mw = scenario.Pollutants[p].MolWt;
  float& mass = state.liquid_mass[p];
  if (emission > 0 && emission * dt > mass)
    emission = std::max(0.0F, mass) / static_cast<double>(dt);
  mass = static_cast<float>(std::max(0.0, mass - emission * dt));
  if (source.Model == 8) state.moles_left[p] = static_cast<float>(MassToMoles(mass, mw));
  if (source.Model == 10) state.moles_left[p] = static_cast<float>(mass / mw / 1000.0);
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

StepSchedule ScheduleForStep(double t0, const SourceRecord& source, SourceState& state,
                             float step_size, int num_pollutants) {
  StepSchedule schedule;
  const int n = CycleCount(source);
  if (n == 0) return schedule;
  state.on = false;
  state.source_age = 0;
  // The run's clock is exact to well within a thousandth of a step, so a switch time that
  // close counts as reached: the switch takes effect at the step boundary it falls on.
  const double reach = t0 + 0.001 * static_cast<double>(step_size);
  if (!CycleInForce(source, n, RepeatPeriod(source), reach, schedule.began)) return schedule;
  schedule.on = true;
  const double age = std::max(0.0, t0 - schedule.began);
  state.source_age = static_cast<float>(age);
  if (age < step_size && !(state.switch_on_done && state.switch_on_time == schedule.began)) {
    ResetSourceParameters(source, state, num_pollutants);
    state.switch_on_done = true;
    state.switch_on_time = schedule.began;
  }
  state.on = true;
  return schedule;
}

bool SourceScheduleTime(float t, const SourceRecord& source, SourceState& state, float step_size,
                        int num_pollutants) {
  return ScheduleForStep(t, source, state, step_size, num_pollutants).on;
}

double HeldEmission(const ScenarioRecord& scenario, const SourceRecord& source, SourceState& state,
                    int room, int p, const EmissionStep& step) {
  double rate = ModelEmission(scenario, source, state, room, p, step) * source.UnitFactor;
  if (source.Model >= 8 && source.Model <= 10)
    rate = DepleteSpill(scenario, source, state, p, static_cast<float>(rate), step.step);
  return static_cast<float>(rate);
}

void ResetSourceParameters(const SourceRecord& source, SourceState& state, int num_pollutants) {
  const int model = source.Model;
  if (model == 7 || model == 8 || model == 9) state.spill_area = source.Size;
  for (int p = 0; p < std::clamp(num_pollutants, 0, kMaxPollutants); ++p) {
    switch (model) {
      case 0:
        state.reservoir_mass[p] = source.Params[2][p];
        state.initial_mass[p] = source.Params[2][p];
        state.layer2_mass[p] = source.Params[5][p];
        break;
      case 3:
        state.initial_mass[p] = source.Params[2][p];
        state.reservoir_mass[p] = state.initial_mass[p];
        state.layer2_mass[p] = source.Params[6][p];
        break;
      case 7:
      case 8:
      case 9:
        state.initial_mass[p] = source.Params[2][p];
        state.reservoir_mass[p] = state.initial_mass[p];
        state.layer2_mass[p] = source.Params[6][p];
        state.moles_left[p] = state.initial_moles[p];
        break;
      default:
        break;
    }
  }
}

namespace {

// The parts of a step in which a source is on, each with the source's age at its start: the
// state changes only at a switch or at the start of a repeat period, so between those times
// the cycle in force at the middle holds throughout.
struct OnPart {
  double from;
  double hours;
  double age;
};

constexpr int kMaxCuts = 64;
// More repeat periods than this within one step (a pattern repeating within a few minutes
// under a step of hours) take the state at the step's start for the whole step.
constexpr double kMostPeriods = 4;

// Parts beyond count are left unset: a step asks for them for every source.
struct OnParts {
  int count = 0;
  bool whole = false;  // one part that is the whole step
  std::array<OnPart, kMaxCuts + 1> part;
};

// The times at which the source's state may change near time t: its switches and the starts
// of its repeat periods, in the period of t and the periods either side. Calls cut(x) for
// each; the switches are rounded as SourceScheduleTime compares them.
template <class Cut>
void SwitchesNear(const SourceRecord& source, int cycles, double period, double t, Cut cut) {
  const auto switches = [&](double offset) {
    for (int i = 1; i <= cycles; ++i) {
      cut(static_cast<float>(offset + source.TimeOn[i]));
      cut(static_cast<float>(offset + source.TimeOff[i]));
    }
  };
  if (period == 0) {
    switches(0);
    return;
  }
  const double k = std::floor(t / period);
  for (double d = -1; d <= 1; ++d) {
    cut((k + d) * period);
    switches((k + d) * period);
  }
}

// Where the stretch of unchanging schedule that holds time t begins and ends, and whether
// the source is on in it.
void FindStretch(const SourceRecord& source, int cycles, double period, double t,
                 SourceState& state) {
  double from = -std::numeric_limits<double>::infinity();
  double until = std::numeric_limits<double>::infinity();
  SwitchesNear(source, cycles, period, t, [&](double x) {
    if (x <= t) from = std::max(from, x);
    if (x > t) until = std::min(until, x);
  });
  state.stretch_known = true;
  state.stretch_from = from;
  state.stretch_until = until;
  state.stretch_on = CycleInForce(source, cycles, period, t, state.stretch_began);
}

// A step that lies within one stretch of the schedule (give or take the tolerance) is on
// or off throughout.
bool WithinStretch(const SourceState& state, double t0, double dt, double tolerance) {
  return state.stretch_known && t0 >= state.stretch_from - tolerance &&
         t0 + dt <= state.stretch_until + tolerance && dt > 2 * tolerance;
}

double SwitchTolerance(float step_size) {
  return 0.001 * static_cast<double>(step_size);
}

// The parts of the step [t0, t0 + dt] in which the source is on. A switch within a
// thousandth of the scenario's step of the step's start or end takes effect there, as the
// schedule look-up counts it reached.
OnParts OnPartsOf(const SourceRecord& source, SourceState& state, double t0, double dt,
                  float step_size) {
  OnParts parts;
  const int n = CycleCount(source);
  if (n == 0 || !(dt > 0)) return parts;
  const double tolerance = SwitchTolerance(step_size);
  const double t1 = t0 + dt;
  const double period = RepeatPeriod(source);
  if (!WithinStretch(state, t0, dt, tolerance))
    FindStretch(source, n, period, t0 + tolerance, state);
  if (WithinStretch(state, t0, dt, tolerance)) {
    if (state.stretch_on) {
      parts.part[0] = {t0, dt, std::max(0.0, t0 - state.stretch_began)};
      parts.count = 1;
      parts.whole = true;
    }
    return parts;
  }

  std::array<double, kMaxCuts> cuts;
  int count = 0;
  bool crowded = false;
  const auto cut = [&](double x) {
    if (!(x > t0 + tolerance && x < t1 - tolerance)) return;
    if (count < kMaxCuts)
      cuts[count++] = x;
    else
      crowded = true;
  };
  if (period != 0 && std::fabs(std::floor(t1 / period) - std::floor(t0 / period)) > kMostPeriods) {
    crowded = true;
  } else if (period != 0) {
    for (double k = std::floor(std::min(t0, t1) / period);
         k <= std::floor(std::max(t0, t1) / period); ++k) {
      cut(k * period);
      for (int i = 1; i <= n; ++i) {
        cut(static_cast<float>(k * period + source.TimeOn[i]));
        cut(static_cast<float>(k * period + source.TimeOff[i]));
      }
    }
  } else {
    SwitchesNear(source, n, 0, t0, cut);
  }
  double began = 0;
  if (crowded) {
    if (CycleInForce(source, n, period, t0 + tolerance, began)) {
      parts.part[0] = {t0, dt, std::max(0.0, t0 - began)};
      parts.count = 1;
      parts.whole = true;
    }
    return parts;
  }
  std::sort(cuts.begin(), cuts.begin() + count);
  double from = t0;
  for (int c = 0; c <= count; ++c) {
    const double to = c < count ? cuts[c] : t1;
    if (!(to > from)) continue;
    if (CycleInForce(source, n, period, (from + to) / 2, began))
      parts.part[parts.count++] = {from, to - from, std::max(0.0, from - began)};
    from = to;
  }
  return parts;
}

// The mean rate of a closed-form source over one part of a step, in its own unit per hour.
double MeanOverPart(const SourceRecord& source, int p, const OnPart& part) {
  switch (source.Model) {
    case 1:
      return R0kMeanRate(source, p, part.age, part.hours);
    case 2:
      return Paint1MeanRate(source, p, part.age, part.hours);
    case 4:
      return RTMeanRate(source, p, part.age, part.hours);
    default:
      return PolyfitMeanRate(source, p, part.from, part.hours);
  }
}

// The mean rate over the whole step of a closed-form source that is on for `parts` of it:
// each part's mean weighted by its share of the step.
double MeanOverStep(const SourceRecord& source, int p, const OnParts& parts, double dt) {
  if (parts.whole) return MeanOverPart(source, p, parts.part[0]);
  double sum = 0;
  for (int i = 0; i < parts.count; ++i) {
    const OnPart& part = parts.part[i];
    sum += MeanOverPart(source, p, part) * (part.hours / dt);
  }
  return sum;
}

float ConcPerMassOf(const EmissionStep& step, int p) {
  return step.conc_per_mass != nullptr ? (*step.conc_per_mass)[p] : 1.0F;
}

// What pollutant p of one source that is on gives in the step: its rate in the scenario's
// mass unit per hour, from the model's `emission` in the source's own unit, and its share
// of the room's concentration rate.
struct Emitted {
  float rate = 0;
  float share = 0;
};

inline Emitted EmittedOf(const ScenarioRecord& scenario, const SourceRecord& source,
                         SourceState& state, int room, float volume, const EmissionStep& step,
                         int p, double emission) {
  Emitted e;
  e.rate = static_cast<float>(emission * source.UnitFactor);
  if (source.Model >= 8 && source.Model <= 10)
    e.rate = static_cast<float>(DepleteSpill(scenario, source, state, p, e.rate, step.step));
  const float added = e.rate * ConcPerMassOf(step, p);
  // The HVAC module divides by its own air flow.
  e.share = room >= 1 ? added / volume : added;
  return e;
}

inline void Add(const Emitted& e, int p, float dt, float& out, PerPollutant<float>& total_emitted) {
  total_emitted[p] += e.rate * dt;
  out += e.share;
}

// Adds the emission of pollutant p of one source that is on and what it emitted in the step.
inline void AddEmission(const ScenarioRecord& scenario, const SourceRecord& source,
                        SourceState& state, int room, float volume, const EmissionStep& step, int p,
                        double emission, float& out, PerPollutant<float>& total_emitted) {
  Add(EmittedOf(scenario, source, state, room, volume, step, p, emission), p, step.step, out,
      total_emitted);
}

}  // namespace

float SourceEmissionRate(const ScenarioRecord& scenario, SourceStates& states, int room,
                         float volume, const EmissionStep& step, int pollutant,
                         PerPollutant<float>& total_emitted) {
  float rate = 0;
  if (room < 0 || room >= kRoomSlots || pollutant < 0 || pollutant >= kMaxPollutants) return rate;
  for (int k = 1; k <= SourceSlotCount(scenario, room); ++k) {
    const SourceRecord& source = scenario.Sources[room][k];
    SourceState& state = states[room][k];
    if (IsClosedFormModel(source.Model)) {
      const OnParts parts = OnPartsOf(source, state, step.time, step.step, scenario.StepSize);
      state.on = parts.count > 0;
      if (state.on)
        AddEmission(scenario, source, state, room, volume, step, pollutant,
                    MeanOverStep(source, pollutant, parts, step.step), rate, total_emitted);
      continue;
    }
    // The on/off state holds for the whole step: pollutant 0 decides it for the others.
    const bool on = pollutant == 0 ? SourceScheduleTime(step.time, source, state, scenario.StepSize,
                                                        scenario.NumPollutants)
                                   : state.on;
    if (on)
      AddEmission(scenario, source, state, room, volume, step, pollutant,
                  ModelEmission(scenario, source, state, room, pollutant, step), rate,
                  total_emitted);
  }
  return rate;
}

}  // namespace quarn
