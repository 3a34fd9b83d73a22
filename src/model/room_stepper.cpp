#include "model/room_stepper.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace quarn {
namespace {

constexpr int kShowerModel = 5;

// An event this close to the step's start takes effect there, without a step.
constexpr double kEventAtStart = 1e-9;
// Roots of events are found to this share of the step.
constexpr double kEventTolerance = 1e-11;
constexpr int kMostRootIterations = 80;

// Whether change / base > threshold as the Single quotient compares (base > 0), for every
// room and pollutant of every step: the exact product threshold × base in a double settles
// all but the quotients within a rounding of the threshold, which are divided.
bool MovedBeyond(float change, float base, float threshold) {
  // Below the smallest normal Single a quotient may round to zero: divide.
  if (!(threshold >= std::numeric_limits<float>::min())) return change / base > threshold;
  const double limit = static_cast<double>(threshold) * static_cast<double>(base);
  const double moved = change;
  if (moved <= limit) return false;
  if (moved > limit + std::fabs(limit) * 1e-6) return true;
  return change / base > threshold;
}

// Four pollutants' worth of floats, which gcc and clang both keep in one vector register.
using Four = float __attribute__((vector_size(16)));
static_assert(kMaxPollutants == 8, "the pollutants of a state are two vectors of four");

Four Half(const Lanes& v, int half) {
  Four x;
  std::memcpy(&x, v.data() + 4 * half, sizeof x);
  return x;
}

// Row i of `matrix` (columns states wide) times the states z, for every pollutant at once.
PerPollutant<double> RowTimes(const std::vector<Lanes>& matrix, std::size_t i, std::size_t columns,
                              const std::vector<Lanes>& z) {
  Four low = {};
  Four high = {};
  const Lanes* row = matrix.data() + i * columns;
  for (std::size_t j = 0; j < columns; ++j) {
    low += Half(row[j], 0) * Half(z[j], 0);
    high += Half(row[j], 1) * Half(z[j], 1);
  }
  PerPollutant<double> out;
  for (int p = 0; p < 4; ++p) {
    out[p] = low[p];
    out[p + 4] = high[p];
  }
  return out;
}

// The root of f between 0 and h, where f(0) and f(h) differ in sign: regula falsi with the
// Illinois change, which keeps the bracket shrinking from both sides.
template <class F>
double Root(const F& f, double h, double f0, double fh) {
  double a = 0;
  double b = h;
  double fa = f0;
  double fb = fh;
  int side = 0;
  for (int i = 0; i < kMostRootIterations && b - a > kEventTolerance * h; ++i) {
    double x = (a * fb - b * fa) / (fb - fa);
    if (!(x > a && x < b)) x = (a + b) / 2;
    const double fx = f(x);
    if ((fx < 0) == (fa < 0)) {
      a = x;
      fa = fx;
      if (side == -1) fb /= 2;
      side = -1;
    } else {
      b = x;
      fb = fx;
      if (side == 1) fa /= 2;
      side = 1;
    }
    if (fx == 0) return x;
  }
  return b;
}

}  // namespace

struct RoomStepper::Solution {
  double dt = 0;
  StepInputs inputs;
  StepCache::System* system = nullptr;
  std::vector<PerPollutant<double>> ends;       // the coupled states at the step's end
  std::vector<PerPollutant<double>> integrals;  // the rooms' integrals over the step
  std::vector<PerPollutant<double>> mode_ends;
  std::vector<PerPollutant<double>> mode_integrals;
};

struct RoomStepper::Event {
  int layer = -1;  // the layer 1 whose release starts or stops, or -1: the filter fills
  int p = 0;
};

RoomStepper::RoomStepper(const BuildingRecord& building, const PerPollutant<float>& conc_per_mass)
    : layout_(MakeStateLayout(building)),
      conc_per_mass_(conc_per_mass),
      step_sources_(building, layout_, conc_per_mass_),
      solution_(std::make_unique<Solution>()) {
  for (std::size_t i = 0; i < layout_.layers.size(); ++i)
    if (layout_.layers[i].layer == 1 && layout_.layers[i].room >= 1)
      releasing_layers_.push_back(static_cast<int>(i));
}

RoomStepper::~RoomStepper() = default;

void RoomStepper::StartState(const Solution& solution, int p, const SourceStates& sources,
                             const SinkMasses& sinks, const RoomArrays& arrays,
                             std::vector<double>& z) const {
  z.assign(static_cast<std::size_t>(layout_.Size()), 0.0);
  for (int r = 1; r <= layout_.rooms; ++r) z[r - 1] = arrays.Conc[r][p];
  for (std::size_t i = 0; i < layout_.sinks.size(); ++i) {
    const auto [room, slot] = layout_.sinks[i];
    z[layout_.SinkIndex(static_cast<int>(i))] = sinks[room][slot][p];
  }
  for (std::size_t i = 0; i < layout_.layers.size(); ++i) {
    const StateLayout::LayerState& at = layout_.layers[i];
    const SourceState& state = sources[at.room][at.slot];
    z[layout_.LayerIndex(static_cast<int>(i))] =
        at.layer == 1 ? state.ReservoirMass[p] : state.Layer2Mass[p];
  }
  // The chain gives a room w_j(0) s^j / j! at time s, so w_j(0) is j! times the coefficient.
  double factorial = 1;
  for (int power = 0; power <= layout_.degree; ++power) {
    if (power > 0) factorial *= power;
    for (int r = 1; r <= layout_.rooms; ++r)
      z[layout_.InputIndex(power, r)] = factorial * solution.inputs.polynomial[power][r][p];
  }
  for (std::size_t i = 0; i < layout_.modes.size(); ++i)
    z[layout_.ModeIndex(static_cast<int>(i))] = solution.inputs.modes[i][p];
}

void RoomStepper::Solve(BuildingRecord& building, const WorkingFlows& flows,
                        const RemovalTerms& terms, const HVACMixing& mixing, double t0, double dt,
                        bool regular, const SourceStates& sources, const SinkMasses& sinks,
                        const RoomArrays& arrays, Solution& sol) {
  const int np = PollutantCount(building.Scenario);
  const int rooms = layout_.rooms;
  sol.dt = dt;
  SystemKey key = MakeSystemKey(terms.LossCoefficient, flows, mixing);
  PerRoom<float> share{};
  for (int q = 1; q <= rooms; ++q) share[q] = SupplyShare(building, key, q);
  sol.inputs = step_sources_.Inputs(t0, dt, arrays.RoomConc, share, sources);
  // The outdoor air and what of the HVAC supply does not come from the rooms.
  for (int r = 1; r <= rooms; ++r) {
    const float supplied = flows.BaseHVACSupply[r] / building.RoomList[r].Volume;
    for (int p = 0; p < np; ++p)
      sol.inputs.polynomial[0][r][p] += terms.OutdoorInput[r][p] + supplied * mixing.Constant[p];
  }
  key.layers_on = sol.inputs.layers_on;
  key.showers_on = sol.inputs.showers_on;
  sol.system = &cache_.Find(building, layout_, key, np, conc_per_mass_);

  const auto coupled = static_cast<std::size_t>(layout_.Coupled());
  const auto modes = layout_.modes.size();
  sol.ends.assign(coupled, PerPollutant<double>{});
  sol.integrals.assign(static_cast<std::size_t>(rooms), PerPollutant<double>{});
  sol.mode_ends.assign(modes, PerPollutant<double>{});
  sol.mode_integrals.assign(modes, PerPollutant<double>{});
  if (regular) {
    const StepRows& rows = cache_.Rows(*sol.system, layout_, np, dt);
    const auto columns = static_cast<std::size_t>(rows.columns);
    std::vector<Lanes>& z = lanes_;
    z.assign(columns, Lanes{});
    for (int p = 0; p < np; ++p) {
      StartState(sol, p, sources, sinks, arrays, start_);
      for (std::size_t j = 0; j < columns; ++j) z[j][p] = static_cast<float>(start_[j]);
    }
    for (std::size_t i = 0; i < coupled; ++i) {
      sol.ends[i] = RowTimes(rows.ends, i, columns, z);
      for (int p = 0; p < np; ++p) sol.ends[i][p] += z[i][p];
    }
    for (std::size_t r = 0; r < static_cast<std::size_t>(rooms); ++r)
      sol.integrals[r] = RowTimes(rows.integrals, r, columns, z);
    for (std::size_t m = 0; m < modes; ++m)
      for (int p = 0; p < np; ++p) {
        sol.mode_ends[m][p] = rows.mode_decay[m][p] * sol.inputs.modes[m][p];
        sol.mode_integrals[m][p] = rows.mode_integral[m][p] * sol.inputs.modes[m][p];
      }
    return;
  }
  for (int p = 0; p < np; ++p) {
    StartState(sol, p, sources, sinks, arrays, start_);
    const PropagatedState out =
        PropagateState(sol.system->rates[sol.system->same_as[p]], start_, dt);
    for (std::size_t i = 0; i < coupled; ++i) sol.ends[i][p] = out.End[i];
    for (std::size_t r = 0; r < static_cast<std::size_t>(rooms); ++r)
      sol.integrals[r][p] = out.Integral[r];
    for (std::size_t m = 0; m < modes; ++m) {
      const auto at = static_cast<std::size_t>(layout_.ModeIndex(static_cast<int>(m)));
      sol.mode_ends[m][p] = out.End[at];
      sol.mode_integrals[m][p] = out.Integral[at];
    }
  }
}

double RoomStepper::FirstEvent(const BuildingRecord& building, const HVACMixing& mixing,
                               const HVACState& hvac, const Solution& sol,
                               const SourceStates& sources, const SinkMasses& sinks,
                               const RoomArrays& arrays, std::vector<Event>& found) {
  const ScenarioRecord& s = building.Scenario;
  const int np = PollutantCount(s);
  const double dt = sol.dt;
  double first = dt;
  found.clear();
  const bool filter_may_fill = CapacityLimited(s.HVACType);
  if (!filter_may_fill && releasing_layers_.empty()) return first;
  const auto consider = [&](const Event& event, const auto& value_at, double f0, double fh) {
    const double tau = Root(value_at, dt, f0, fh);
    if (tau < first * (1 - kEventTolerance)) {
      first = tau;
      found.clear();
    }
    if (tau <= first * (1 + kEventTolerance)) found.push_back(event);
  };
  for (int p = 0; p < np; ++p) {
    const SquareMatrix& rates = sol.system->rates[sol.system->same_as[p]];
    std::vector<double> start;
    const auto start_state = [&]() -> const std::vector<double>& {
      if (start.empty()) StartState(sol, p, sources, sinks, arrays, start);
      return start;
    };
    // An HVAC filter that reaches its capacity within the step stops there.
    const float capacity = s.FilterCapacity;
    if (filter_may_fill && hvac.FilterMass[p] < capacity) {
      const auto load = [&](const std::vector<PerPollutant<double>>& integrals, double tau) {
        double caught = hvac.FilterMass[p] + mixing.CaughtOutdoor[p] * tau;
        for (int r = 1; r <= layout_.rooms; ++r)
          caught += mixing.Caught[r][p] * integrals[r - 1][p];
        return caught - capacity;
      };
      const double at_end = load(sol.integrals, dt);
      if (at_end >= 0) {
        const auto value_at = [&](double tau) {
          const PropagatedState x = PropagateState(rates, start_state(), tau);
          std::vector<PerPollutant<double>> integrals(static_cast<std::size_t>(layout_.rooms));
          for (int r = 0; r < layout_.rooms; ++r) integrals[r][p] = x.Integral[r];
          return load(integrals, tau);
        };
        consider({-1, p}, value_at, hvac.FilterMass[p] - capacity, at_end);
      }
    }
    // The air passing the equilibrium of a layer 1 starts or stops its release.
    for (const int layer : releasing_layers_) {
      const auto i = static_cast<std::size_t>(layer);
      const StateLayout::LayerState& at = layout_.layers[i];
      if (!step_sources_.On(at.room, at.slot)) continue;
      const SourceRecord& source = s.Sources[at.room][at.slot];
      const double m0 = source.Params[2][p];
      const double start_mass = sources[at.room][at.slot].ReservoirMass[p];
      if (m0 == 0 || !(start_mass > 0)) continue;
      const bool releasing = step_sources_.Releasing(static_cast<int>(i), p);
      const auto index = static_cast<std::size_t>(layout_.LayerIndex(static_cast<int>(i)));
      const double c0 = source.Params[0][p];
      const auto drive = [&](double mass, double conc) { return c0 * mass / m0 - conc; };
      const double at_end = drive(releasing ? sol.ends[index][p] : start_mass,
                                  sol.ends[static_cast<std::size_t>(at.room - 1)][p]);
      if (releasing ? !(at_end < 0) : !(at_end > 0)) continue;
      const auto value_at = [&](double tau) {
        const PropagatedState x = PropagateState(rates, start_state(), tau);
        return drive(x.End[index], x.End[static_cast<std::size_t>(at.room - 1)]);
      };
      const double at_start = drive(start_mass, arrays.Conc[at.room][p]);
      consider({static_cast<int>(i), p}, value_at,
               releasing ? std::max(at_start, 0.0) : std::min(at_start, 0.0), at_end);
    }
  }
  return first;
}

void RoomStepper::Commit(BuildingRecord& building, const Solution& sol, const Step& step,
                         SourceStates& sources, SinkMasses& sinks, RoomArrays& arrays,
                         bool& output_due) {
  ScenarioRecord& s = building.Scenario;
  const int np = PollutantCount(s);
  const int rooms = layout_.rooms;
  PerPollutant<double> emitted = sol.inputs.emitted;
  for (int r = 1; r <= rooms; ++r) {
    const PerPollutant<double>& end = sol.ends[static_cast<std::size_t>(r - 1)];
    const PerPollutant<double>& integral = sol.integrals[static_cast<std::size_t>(r - 1)];
    const double cleaner = CleanerRate(s, r);
    for (int p = 0; p < np; ++p) {
      const auto next = static_cast<float>(end[p]);
      arrays.NewConc[r][p] = next;
      arrays.RoomConc[r][p] = next;
      arrays.StepIntegral[r][p] = static_cast<float>(integral[p]);
      if (cleaner != 0)
        s.AirCleanerCollected[r] +=
            static_cast<float>(cleaner * integral[p] * building.RoomList[r].Volume);
      if (!output_due && next > 0 &&
          MovedBeyond(std::fabs(arrays.PreviousRoomConc[r][p] - next), next, step.change_threshold))
        output_due = true;
    }
    // A shower's water takes up what the air holds above C H: its emission follows the air.
    for (int k = 1; k <= SourceSlotCount(s, r); ++k) {
      const SourceRecord& source = s.Sources[r][k];
      if (source.Model != kShowerModel || ((sol.inputs.showers_on >> (r * 4 + k)) & 1U) == 0)
        continue;
      const double size = source.Size;
      for (int p = 0; p < np; ++p) {
        const double henry = source.Params[1][p];
        if (!(henry > 0) || !(size > 0)) continue;
        const double transfer = (1 - std::exp(-source.Params[0][p] / size)) * size;
        emitted[p] += source.UnitFactor * transfer *
                      (source.Params[2][p] * sol.dt - integral[p] / conc_per_mass_[p] / henry);
      }
    }
  }
  PerPollutant<double> in_sinks{};
  for (std::size_t i = 0; i < layout_.sinks.size(); ++i) {
    const auto [room, slot] = layout_.sinks[i];
    const PerPollutant<double>& end =
        sol.ends[static_cast<std::size_t>(layout_.SinkIndex(static_cast<int>(i)))];
    for (int p = 0; p < np; ++p) {
      const float held = std::max(0.0F, static_cast<float>(end[p]));
      sinks[room][slot][p] = held;
      in_sinks[p] += static_cast<double>(held) * s.Sinks[room][slot].Area;
    }
  }
  for (int p = 0; p < np; ++p) {
    s.ResultTotal1[p] = static_cast<float>(in_sinks[p]);
    if (s.ResultTotal2[p] < s.ResultTotal1[p]) s.ResultTotal2[p] = s.ResultTotal1[p];
  }
  for (std::size_t i = 0; i < layout_.layers.size(); ++i) {
    const StateLayout::LayerState& at = layout_.layers[i];
    const SourceRecord& source = s.Sources[at.room][at.slot];
    SourceState& state = sources[at.room][at.slot];
    const PerPollutant<double>& end =
        sol.ends[static_cast<std::size_t>(layout_.LayerIndex(static_cast<int>(i)))];
    for (int p = 0; p < np; ++p) {
      if (((sol.inputs.layers_on[p][i / 64] >> (i % 64)) & 1U) == 0) continue;
      float& mass = at.layer == 1 ? state.ReservoirMass[p] : state.Layer2Mass[p];
      const float next = std::max(0.0F, static_cast<float>(end[p]));
      emitted[p] -= static_cast<double>(source.Size) * source.UnitFactor * (next - mass);
      mass = next;
    }
  }
  for (std::size_t m = 0; m < layout_.modes.size(); ++m) {
    const auto [room, slot, term] = layout_.modes[m];
    for (int p = 0; p < np; ++p) {
      const double volume = room >= 1 ? building.RoomList[room].Volume : 1.0;
      emitted[p] += sol.mode_integrals[m][p] * volume / conc_per_mass_[p];
    }
  }
  for (int p = 0; p < np; ++p) s.TotalEmitted[p] += static_cast<float>(emitted[p]);
  step_sources_.Commit(sources, sol.mode_ends);
}

RoomStepper::Outcome RoomStepper::Advance(BuildingRecord& building, const WorkingFlows& flows,
                                          const RemovalTerms& terms, const HVACMixing& mixing,
                                          HVACState& hvac, const Step& step, SourceStates& sources,
                                          SinkMasses& sinks, RoomArrays& arrays, bool& output_due) {
  Outcome outcome;
  const int rooms = layout_.rooms;
  const int np = PollutantCount(building.Scenario);
  for (int r = 1; r <= rooms; ++r)
    if (terms.LossCoefficient[r] < 0) {
      outcome.status = StepStatus::NegativeLoss;
      return outcome;
    }
  step_sources_.Schedule(step.start, step.step_size, arrays.Conc, sources);
  double dt = step_sources_.Limit(step.start, step.length, arrays.RoomConc, sources);
  bool regular = step.regular && dt == step.length;
  Solution& sol = *solution_;
  Solve(building, flows, terms, mixing, step.start, dt, regular, sources, sinks, arrays, sol);
  std::vector<Event> events;
  // An event at the step's very start (the air at a layer's equilibrium, a filter just full)
  // changes the system before the step; each layer may turn so once.
  for (int round = 0; round <= 2 * np * static_cast<int>(layout_.layers.size()) + 1; ++round) {
    const double tau = FirstEvent(building, mixing, hvac, sol, sources, sinks, arrays, events);
    if (events.empty()) break;
    if (tau > kEventAtStart * sol.dt) {
      Solve(building, flows, terms, mixing, step.start, tau, false, sources, sinks, arrays, sol);
      break;
    }
    for (const Event& event : events) {
      if (event.layer >= 0)
        step_sources_.Flip(event.layer, event.p);
      else
        hvac.FilterMass[event.p] = building.Scenario.FilterCapacity;
    }
    events.clear();
    Solve(building, flows, terms, mixing, step.start, dt, regular, sources, sinks, arrays, sol);
  }
  for (int r = 1; r <= rooms; ++r)
    for (int p = 0; p < np; ++p)
      if (!std::isfinite(sol.ends[static_cast<std::size_t>(r - 1)][p])) {
        outcome.status = StepStatus::NotFinite;
        return outcome;
      }
  Commit(building, sol, step, sources, sinks, arrays, output_due);
  for (const Event& event : events) {
    if (event.layer >= 0)
      step_sources_.Flip(event.layer, event.p);
    else
      outcome.filled[event.p] = true;
  }
  outcome.taken = sol.dt;
  return outcome;
}

}  // namespace quarn
