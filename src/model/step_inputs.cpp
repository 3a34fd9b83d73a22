#include "model/step_inputs.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/emission_models.h"
#include "model/source_schedule.h"

namespace quarn {
namespace {

constexpr int kMassTransferModel = 0;
constexpr int kPaint1Model = 2;
constexpr int kRTModel = 4;
constexpr int kShowerModel = 5;
constexpr int kPolyfitModel = 6;

// A cubic stands for a Paint1 or R/T rate over a step while it keeps within this share of
// the rate's largest value: well inside the 0.01 % the rooms are held to.
constexpr double kFitTolerance = 2e-6;
// No step is cut shorter than this share of the planned one to fit a cubic: a rate that
// no cubic follows so closely (a rate that jumps) is taken as the cubic gives it.
constexpr int kMostFitHalvings = 16;
// The stretch of a held source's way, as a share of the planned step, over which the limit
// measures how fast its rate falls: short enough to take the rate as it is at the start.
constexpr double kHeldProbe = 1e-3;

bool HeldModel(int model) {
  return model == 3 || model == 7 || model == 8 || model == 9 || model == 10;
}

bool Fitted(int model) {
  return model == kPaint1Model || model == kRTModel;
}

// The rate of a fitted source at `ds` into a step from age `age`. An R/T source emits from
// its start, which is a step boundary: a step that begins there (its age may fall short of
// the start by a rounding) emits over the whole of it.
double FittedRate(const SourceRecord& source, int p, double age, double ds) {
  if (source.Model == kRTModel) return ClosedFormRate(source, p, std::max(age + ds, kRTFirstAge));
  return ClosedFormRate(source, p, age + ds);
}

// The cubic in s through four points of rate over [0, h] (the Chebyshev points, where the
// interpolation error is least), as coefficients of powers of s; close when it stays within
// kFitTolerance of the rate's largest magnitude at both ends, the middle and the quarters.
struct Cubic {
  std::array<double, 4> c{};
  bool close = false;
};

template <class F>
Cubic FitCubic(const F& rate, double h) {
  std::array<std::array<double, 5>, 4> rows{};  // Vandermonde rows in u = s / h, value last
  for (int i = 0; i < 4; ++i) {
    const double u = (1 - std::cos((2 * i + 1) * std::numbers::pi / 8)) / 2;
    double power = 1;
    for (int j = 0; j < 4; ++j, power *= u) rows[i][j] = power;
    rows[i][4] = rate(u * h);
  }
  // Gaussian elimination with partial pivoting; the points are distinct, so the system is
  // regular.
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int i = col + 1; i < 4; ++i)
      if (std::fabs(rows[i][col]) > std::fabs(rows[pivot][col])) pivot = i;
    std::swap(rows[col], rows[pivot]);
    for (int i = col + 1; i < 4; ++i) {
      const double f = rows[i][col] / rows[col][col];
      for (int j = col; j < 5; ++j) rows[i][j] -= f * rows[col][j];
    }
  }
  std::array<double, 4> a{};
  for (int i = 3; i >= 0; --i) {
    double sum = rows[i][4];
    for (int j = i + 1; j < 4; ++j) sum -= rows[i][j] * a[j];
    a[i] = sum / rows[i][i];
  }
  Cubic out;
  double largest = 0;
  double worst = 0;
  for (double u : {0.0, 0.25, 0.5, 0.75, 1.0}) {
    const double exact = rate(u * h);
    const double fit = a[0] + u * (a[1] + u * (a[2] + u * a[3]));
    largest = std::max(largest, std::fabs(exact));
    worst = std::max(worst, std::fabs(fit - exact));
  }
  out.close = worst <= kFitTolerance * largest;
  double power = 1;  // h^j
  for (int j = 0; j < 4; ++j, power *= h) out.c[j] = a[j] / power;
  return out;
}

// What a source's own unit per hour gives in concentration × m³ per hour.
double PerSourceUnit(const SourceRecord& source, float conc_per_mass) {
  return source.UnitFactor * conc_per_mass;
}

}  // namespace

StepSources::StepSources(const BuildingRecord& building, const StateLayout& layout,
                         const PerPollutant<float>& conc_per_mass)
    : building_(building),
      layout_(layout),
      conc_per_mass_(conc_per_mass),
      pollutants_(PollutantCount(building.Scenario)),
      releasing_(layout.layers.size() * kMaxPollutants, true),
      carried_(layout.modes.size()),
      carried_began_(layout.modes.size(), 0),
      carried_valid_(layout.modes.size(), false) {}

void StepSources::Schedule(double t0, float step_size, const RoomPollutant& conc,
                           SourceStates& states) {
  const ScenarioRecord& s = building_.Scenario;
  for (int r = 0; r <= layout_.rooms; ++r) {
    for (int k = 1; k <= SourceSlotCount(s, r); ++k) {
      const bool was_on = on_[r][k];
      const double was_began = began_[r][k];
      const StepSchedule now =
          ScheduleForStep(t0, s.Sources[r][k], states[r][k], step_size, pollutants_);
      on_[r][k] = now.on;
      began_[r][k] = now.began;
      if (!now.on || (was_on && was_began == now.began) ||
          s.Sources[r][k].Model != kMassTransferModel)
        continue;
      // A layer 1 that switches on releases unless the air is already above its
      // equilibrium.
      const SourceRecord& source = s.Sources[r][k];
      const SourceState& state = states[r][k];
      for (std::size_t i = 0; i < layout_.layers.size(); ++i) {
        const StateLayout::LayerState& at = layout_.layers[i];
        if (at.room != r || at.slot != k || at.layer != 1) continue;
        for (int p = 0; p < pollutants_; ++p) {
          const double m0 = source.Params[2][p];
          const double equilibrium =
              m0 != 0 ? source.Params[0][p] * state.reservoir_mass[p] / m0 : 0.0;
          releasing_[Index(static_cast<int>(i), p)] = r == 0 || conc[r][p] <= equilibrium;
        }
      }
    }
  }
}

// A held rate may not carry the air past the concentration at which its source would stop
// giving (its equilibrium) within one step. What the source gives closes its gap to that
// equilibrium from both sides, the air filling and the source's own store emptying: the
// step stays below the time the rate at its start takes to close the gap, measured along a
// short stretch of the source's own way (the rate over a step that empties the store is
// capped, and would hide how fast it falls).
double StepSources::HeldStepLimit(double t0, double limit, int r, int k, const RoomPollutant& conc,
                                  const SourceState& state) const {
  const ScenarioRecord& s = building_.Scenario;
  const SourceRecord& source = s.Sources[r][k];
  const double probe = kHeldProbe * limit;
  const auto probe_length = static_cast<float>(probe);
  SourceState moved = state;
  PerPollutant<double> start_rate{};
  RoomPollutant after = conc;
  const EmissionStep first{static_cast<float>(t0), probe_length, conc, conc, &conc_per_mass_};
  for (int p = 0; p < pollutants_; ++p) {
    start_rate[p] = HeldEmission(s, source, moved, r, p, first);
    after[r][p] += static_cast<float>(start_rate[p] * probe * conc_per_mass_[p] /
                                      building_.RoomList[r].Volume);
  }
  const EmissionStep second{static_cast<float>(t0 + probe), probe_length, after, after,
                            &conc_per_mass_};
  for (int p = 0; p < pollutants_; ++p) {
    const double rate_after = HeldEmission(s, source, moved, r, p, second);
    if (!(start_rate[p] > 0)) continue;
    const double closing = (start_rate[p] - rate_after) / (probe * start_rate[p]);
    if (closing > 0 && closing * limit > 1) limit = 1 / closing;
  }
  return limit;
}

double StepSources::Limit(double t0, double dt, const RoomPollutant& conc,
                          const SourceStates& states) const {
  const ScenarioRecord& s = building_.Scenario;
  double limit = dt;
  for (int r = 0; r <= layout_.rooms; ++r) {
    for (int k = 1; k <= SourceSlotCount(s, r); ++k) {
      if (!on_[r][k]) continue;
      const SourceRecord& source = s.Sources[r][k];
      const double age = std::max(0.0, t0 - began_[r][k]);
      if (Fitted(source.Model)) {
        if (source.Model == kRTModel && age + limit / 2 < kRTFirstAge) continue;
        for (int p = 0; p < pollutants_; ++p) {
          const auto rate = [&](double ds) { return FittedRate(source, p, age, ds); };
          for (int halving = 0; halving < kMostFitHalvings && !FitCubic(rate, limit).close;
               ++halving)
            limit /= 2;
        }
      } else if (HeldModel(source.Model) && r >= 1) {
        limit = std::min(limit, HeldStepLimit(t0, limit, r, k, conc, states[r][k]));
      }
    }
  }
  return limit;
}

void StepSources::AddHeld(double dt, int room, int slot, const RoomPollutant& conc,
                          const PerRoom<float>& share, SourceState& state, StepInputs& in) const {
  const ScenarioRecord& s = building_.Scenario;
  const SourceRecord& source = s.Sources[room][slot];
  const EmissionStep step{0, static_cast<float>(dt), conc, conc, &conc_per_mass_};
  for (int p = 0; p < pollutants_; ++p) {
    const double rate = HeldEmission(s, source, state, room, p, step);
    in.emitted[p] += rate * dt;
    const double added = rate * conc_per_mass_[p];
    if (room >= 1) {
      in.polynomial[0][room][p] += static_cast<float>(added / building_.RoomList[room].Volume);
    } else {
      for (int q = 1; q <= layout_.rooms; ++q)
        in.polynomial[0][q][p] += static_cast<float>(share[q] * added);
    }
  }
}

StepInputs StepSources::Inputs(double t0, double dt, const RoomPollutant& conc,
                               const PerRoom<float>& share, const SourceStates& states) {
  const ScenarioRecord& s = building_.Scenario;
  StepInputs in;
  held_.clear();
  // Adds value (concentration × m³ per hour per hour^power) to what room `room` receives, or
  // through the HVAC supply to every room it reaches.
  const auto add = [&](int power, int room, int p, double value) {
    if (room >= 1) {
      in.polynomial[power][room][p] += static_cast<float>(value / building_.RoomList[room].Volume);
      return;
    }
    for (int q = 1; q <= layout_.rooms; ++q)
      in.polynomial[power][q][p] += static_cast<float>(share[q] * value);
  };
  for (int r = 0; r <= layout_.rooms; ++r) {
    for (int k = 1; k <= SourceSlotCount(s, r); ++k) {
      if (!on_[r][k]) continue;
      const SourceRecord& source = s.Sources[r][k];
      const double age = std::max(0.0, t0 - began_[r][k]);
      switch (source.Model) {
        case kPolyfitModel:
          for (int p = 0; p < pollutants_; ++p) {
            // The cubic in the run time, about the step's start.
            const auto& q = source.Params;
            const double t = t0;
            const std::array<double, 4> c = {q[0][p] + t * (q[1][p] + t * (q[2][p] + t * q[3][p])),
                                             q[1][p] + t * (2 * q[2][p] + 3 * t * q[3][p]),
                                             q[2][p] + 3 * t * q[3][p], q[3][p]};
            const double unit = source.Size * PerSourceUnit(source, conc_per_mass_[p]);
            double emitted = 0;
            double power = dt;  // dt^(j + 1)
            for (int j = 0; j <= (layout_.degree > 0 ? 3 : 0); ++j, power *= dt) {
              if (c[j] == 0) continue;
              if (j > 0) in.steady = false;
              add(j, r, p, c[j] * unit);
              emitted += c[j] * power / (j + 1);
            }
            in.emitted[p] += emitted * source.Size * source.UnitFactor;
          }
          break;
        case kPaint1Model:
        case kRTModel:
          for (int p = 0; p < pollutants_; ++p) {
            if (source.Model == kRTModel && age + dt / 2 < kRTFirstAge) continue;
            const auto rate = [&](double ds) { return FittedRate(source, p, age, ds); };
            const Cubic cubic = FitCubic(rate, dt);
            in.steady = false;
            const double unit = PerSourceUnit(source, conc_per_mass_[p]);
            for (int j = 0; j < 4; ++j) add(j, r, p, cubic.c[j] * unit);
            const double mean = source.Model == kRTModel ? RTMeanRate(source, p, age, dt)
                                                         : Paint1MeanRate(source, p, age, dt);
            in.emitted[p] += mean * dt * source.UnitFactor;
          }
          break;
        case kShowerModel:
          for (int p = 0; p < pollutants_; ++p) {
            const double size = source.Size;
            const double henry = source.Params[1][p];
            if (!(henry > 0) || !(size > 0)) continue;
            const double transfer = (1 - std::exp(-source.Params[0][p] / size)) * size;
            const double from_water = transfer * source.Params[2][p] * source.UnitFactor;
            add(0, r, p, from_water * conc_per_mass_[p]);
            // In a room the air's own part follows from the solution; the system's sees no air.
            if (r == 0) in.emitted[p] += from_water * dt;
          }
          if (r >= 1) in.showers_on |= uint64_t{1} << (r * 4 + k);
          break;
        case kMassTransferModel:
          for (std::size_t i = 0; i < layout_.layers.size(); ++i) {
            const StateLayout::LayerState& at = layout_.layers[i];
            if (at.room != r || at.slot != k) continue;
            for (int p = 0; p < pollutants_; ++p) {
              const float mass =
                  at.layer == 1 ? states[r][k].reservoir_mass[p] : states[r][k].layer2_mass[p];
              // An empty layer gives nothing and takes nothing up, as the model has it.
              if (!(mass > 0) || (at.layer == 1 && !releasing_[Index(static_cast<int>(i), p)]))
                continue;
              in.layers_on[p][i / 64] |= uint64_t{1} << (i % 64);
            }
          }
          break;
        default:
          if (HeldModel(source.Model)) {
            in.steady = false;
            held_.push_back({r, k, states[r][k]});
            AddHeld(dt, r, k, conc, share, held_.back().state, in);
          }
          break;
      }
    }
  }
  in.modes.assign(layout_.modes.size(), PerPollutant<double>{});
  for (std::size_t i = 0; i < layout_.modes.size(); ++i) {
    const auto [room, slot, term] = layout_.modes[i];
    if (!on_[room][slot]) continue;
    if (carried_valid_[i] && carried_began_[i] == began_[room][slot]) {
      in.modes[i] = carried_[i];
      continue;
    }
    const SourceRecord& source = s.Sources[room][slot];
    const double age = std::max(0.0, t0 - began_[room][slot]);
    for (int p = 0; p < pollutants_; ++p) {
      double value = source.Params[2 * term][p] * std::exp(-source.Params[2 * term + 1][p] * age) *
                     source.Size * PerSourceUnit(source, conc_per_mass_[p]);
      if (room >= 1) value /= building_.RoomList[room].Volume;
      in.modes[i][p] = value;
    }
  }
  return in;
}

void StepSources::Commit(SourceStates& states,
                         const std::vector<PerPollutant<double>>& modes_at_end) {
  for (Held& held : held_) states[held.room][held.slot] = held.state;
  held_.clear();
  for (std::size_t i = 0; i < layout_.modes.size(); ++i) {
    const auto [room, slot, term] = layout_.modes[i];
    carried_valid_[i] = on_[room][slot];
    carried_began_[i] = began_[room][slot];
    carried_[i] = modes_at_end[i];
  }
}

}  // namespace quarn
