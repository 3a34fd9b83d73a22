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
// The air passes a layer's equilibrium only when it is past it by more than this share of
// the two: a layer that releases holds the air just below its equilibrium, where the
// rounding of the states could otherwise make it pass to and fro.
constexpr double kEquilibriumMargin = 1e-6;

// Whether the air at `conc` has passed the equilibrium of a layer 1 that releases (or, when
// it does not, has come below it).
bool PassesEquilibrium(bool releasing, double equilibrium, double conc) {
  const double margin = kEquilibriumMargin * (std::fabs(equilibrium) + std::fabs(conc));
  return releasing ? equilibrium - conc < -margin : equilibrium - conc > margin;
}

// A layer whose turn, put at the step's start or end, misplaces no more than this share of
// the air it meets turns there.
constexpr double kNegligibleTurn = 1e-5;

// The stretch of constant inputs, in blocks, that a block of steps is begun for.
constexpr int kLastingBlocks = 4;

// Roots of events are found to this share of the step.
constexpr double kEventTolerance = 1e-11;
constexpr int kMostRootIterations = 80;

// A change past threshold × base by more than this share of it is past the Single quotient's
// rounding too (CommitRooms settles every lane of a room by the same test).
constexpr double kSurelyBeyond = 1e-6;

// Whether change / base > threshold as the Single quotient compares (base > 0), for every
// room and pollutant of every step: the exact product threshold × base in a double settles
// all but the quotients within a rounding of the threshold, which are divided.
bool MovedBeyond(float change, float base, float threshold) {
  // Below the smallest normal Single a quotient may round to zero: divide.
  if (!(threshold >= std::numeric_limits<float>::min())) return change / base > threshold;
  const double limit = static_cast<double>(threshold) * static_cast<double>(base);
  const double moved = change;
  if (moved <= limit) return false;
  if (moved > limit + std::fabs(limit) * kSurelyBeyond) return true;
  return change / base > threshold;
}

// Four pollutants' worth of floats, which gcc and clang both keep in one vector register.
// The eight pollutants of a state as one vector of 256 bits where the processor has such
// registers, or two of 128 bits: either way each lane is multiplied and added on its own, in
// the same order, so that both give the same bits.
using Eight = float __attribute__((vector_size(32)));
using Four = float __attribute__((vector_size(16)));
static_assert(kMaxPollutants == 8 && sizeof(Lanes) == 32,
              "the pollutants of a state are eight lanes");

// A row times the states sums each pollutant's products in two running sums, of the even and
// of the odd columns, joined at the end: one sum would make every product wait for the
// addition before it. Both kernels keep that order for each pollutant, so that they give the
// same bits.
Four LoadHalf(const Lanes& lanes, int half) {
  Four v;
  std::memcpy(&v, lanes.data() + 4 * half, sizeof v);
  return v;
}

PerPollutant<double> RowTimesPlain(const Lanes* row, std::size_t columns, const Lanes* z) {
  PerPollutant<double> out;
  for (int half = 0; half < 2; ++half) {
    Four even = {};
    Four odd = {};
    std::size_t j = 0;
    for (; j + 2 <= columns; j += 2) {
      even += LoadHalf(row[j], half) * LoadHalf(z[j], half);
      odd += LoadHalf(row[j + 1], half) * LoadHalf(z[j + 1], half);
    }
    if (j < columns) even += LoadHalf(row[j], half) * LoadHalf(z[j], half);
    const Four total = even + odd;
    for (int p = 0; p < 4; ++p) out[4 * half + p] = total[p];
  }
  return out;
}

// Two pollutants' worth of doubles, and their comparisons' masks: what every x86-64
// processor holds in one register.
using Wide = double __attribute__((vector_size(16)));
using WideMask = int64_t __attribute__((vector_size(16)));
using TwoSingles = float __attribute__((vector_size(8)));

Wide LoadWide(const PerPollutant<double>& lanes, int pair) {
  Wide v;
  std::memcpy(&v, lanes.data() + 2 * pair, sizeof v);
  return v;
}

void StoreWide(PerPollutant<double>& lanes, int pair, const Wide& v) {
  std::memcpy(lanes.data() + 2 * pair, &v, sizeof v);
}

TwoSingles LoadSingles(const Lanes& lanes, int pair) {
  TwoSingles v;
  std::memcpy(&v, lanes.data() + 2 * pair, sizeof v);
  return v;
}

// (Lanes are the pollutants' Singles, as an HVAC filter's masses are.)
void StoreSingles(Lanes& lanes, int pair, const TwoSingles& v) {
  std::memcpy(lanes.data() + 2 * pair, &v, sizeof v);
}

Wide LoadWide(const Lanes& lanes, int pair) {
  return __builtin_convertvector(LoadSingles(lanes, pair), Wide);
}

// The mass a decaying input gave its room over a step, from its concentration's integral:
// times the room's volume, over the concentration of one mass unit (1 past the pollutants).
Wide ModeMass(const Wide& integral, double volume, const PerPollutant<double>& divisor, int pair) {
  return integral * volume / LoadWide(divisor, pair);
}

// The two lanes of a comparison's mask as bits 0 and 1.
int Lanes2(const WideMask& mask) {
  Wide v;
  std::memcpy(&v, &mask, sizeof v);
  return __builtin_ia32_movmskpd(v);
}

// |x| bit for bit as std::fabs gives it: the sign bit cleared.
Wide Magnitude(const Wide& x) {
  WideMask bits;
  std::memcpy(&bits, &x, sizeof bits);
  bits &= std::numeric_limits<int64_t>::max();
  Wide v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

[[gnu::always_inline]] inline void LoadLanes(Eight& v, const Lanes& lanes) {
  std::memcpy(&v, lanes.data(), sizeof v);
}

// One row's two running sums.
struct RowSums {
  Eight even = {};
  Eight odd = {};
  [[gnu::always_inline]] void Add(const Lanes* row, std::size_t j, const Eight& z_even,
                                  const Eight& z_odd) {
    Eight x;
    LoadLanes(x, row[j]);
    even += x * z_even;
    LoadLanes(x, row[j + 1]);
    odd += x * z_odd;
  }
  void Total(PerPollutant<double>& out) const {
    const Eight total = even + odd;
    for (int p = 0; p < 8; ++p) out[p] = total[p];
  }
};

// Up to four consecutive rows at once: each pair of columns' states is loaded once for all of
// them, which keeps the kernel from waiting on its loads.
template <std::size_t K>
[[gnu::target("avx")]] void SomeRowsTimesWide(const Lanes* rows, std::size_t columns,
                                              const Lanes* z, PerPollutant<double>* out) {
  std::array<RowSums, K> sums{};
  Eight z_even;
  Eight z_odd;
  std::size_t j = 0;
  for (; j + 2 <= columns; j += 2) {
    LoadLanes(z_even, z[j]);
    LoadLanes(z_odd, z[j + 1]);
#pragma GCC unroll 4
    for (std::size_t k = 0; k < K; ++k) sums[k].Add(rows + k * columns, j, z_even, z_odd);
  }
  if (j < columns) {
    LoadLanes(z_even, z[j]);
#pragma GCC unroll 4
    for (std::size_t k = 0; k < K; ++k) {
      Eight x;
      LoadLanes(x, rows[k * columns + j]);
      sums[k].even += x * z_even;
    }
  }
#pragma GCC unroll 4
  for (std::size_t k = 0; k < K; ++k) sums[k].Total(out[k]);
}

[[gnu::target("avx")]] void RowsTimesWide(const Lanes* rows, std::size_t count, std::size_t columns,
                                          const Lanes* z, PerPollutant<double>* out) {
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) SomeRowsTimesWide<4>(rows + i * columns, columns, z, out + i);
  switch (count - i) {
    case 3:
      SomeRowsTimesWide<3>(rows + i * columns, columns, z, out + i);
      break;
    case 2:
      SomeRowsTimesWide<2>(rows + i * columns, columns, z, out + i);
      break;
    case 1:
      SomeRowsTimesWide<1>(rows + i * columns, columns, z, out + i);
      break;
    default:
      break;
  }
}

void RowsTimesPlain(const Lanes* rows, std::size_t count, std::size_t columns, const Lanes* z,
                    PerPollutant<double>* out) {
  for (std::size_t i = 0; i < count; ++i) out[i] = RowTimesPlain(rows + i * columns, columns, z);
}

using RowsProduct = void (*)(const Lanes*, std::size_t, std::size_t, const Lanes*,
                             PerPollutant<double>*);
const RowsProduct kRowsProduct = __builtin_cpu_supports("avx") ? RowsTimesWide : RowsTimesPlain;

// `count` consecutive rows (columns states wide) times the states z, for every pollutant at
// once, into out[0..count).
void RowsTimes(const Lanes* rows, std::size_t count, std::size_t columns,
               const std::vector<Lanes>& z, PerPollutant<double>* out) {
  kRowsProduct(rows, count, columns, z.data(), out);
}

// A row times the states z.
PerPollutant<double> RowTimes(const Lanes* row, std::size_t columns, const std::vector<Lanes>& z) {
  PerPollutant<double> out;
  RowsTimes(row, 1, columns, z, &out);
  return out;
}

// The rows of a system met next are brought in over this many chained steps.
constexpr int kPrefetchShares = 8;

// Share `share` of kPrefetchShares of the rows' bytes, into the second-level cache: a hint
// that changes nothing the run computes.
void PrefetchShare(const StepRows& rows, int share) {
  for (const std::vector<Lanes>* part : {&rows.ends, &rows.integrals}) {
    const auto* bytes = reinterpret_cast<const char*>(part->data());
    const std::size_t size = part->size() * sizeof(Lanes);
    const std::size_t begin = size * static_cast<std::size_t>(share) / kPrefetchShares;
    const std::size_t end = size * static_cast<std::size_t>(share + 1) / kPrefetchShares;
    constexpr std::size_t kLine = 64;
    for (std::size_t at = begin; at < end; at += kLine) __builtin_prefetch(bytes + at, 0, 2);
  }
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

struct RoomStepper::Block {
  bool active = false;
  // Chained: each step from the states where the one before left them, by the step's own
  // rows; otherwise kBlockSteps steps from the states at the block's start.
  bool chained = false;
  int steps = 0;          // taken in the block so far
  int chained_steps = 0;  // taken in a chained block so far
  double dt = 0;
  SystemKey key;
  StepCache::System* system = nullptr;
  std::vector<Lanes> state;           // every state at the block's start
  std::vector<Lanes> start;           // the live ones (BlockRows::live), which the rows read
  PerPollutant<double> sink_base{};   // what the sinks hold at its start
  PerPollutant<double> layer_base{};  // and the layers, weighted as their rows
  PerPollutant<double> layer_last{};  // the layers at the end of the last step
  PerPollutant<double> emitted{};     // what the constant inputs emit in a step
  uint64_t showers_on = 0;
  std::array<std::array<uint64_t, 2>, kMaxPollutants> layers_on{};
  std::vector<PerPollutant<double>> modes;  // the decaying inputs at the last step's end
  // The row of a step of the block rows for each of releasing_layers_, or -1 where it has
  // none (it does not release in any pollutant).
  std::vector<int> released_rows;
};

RoomStepper::RoomStepper(const BuildingRecord& building, const PerPollutant<float>& conc_per_mass,
                         std::size_t systems_kept)
    : layout_(MakeStateLayout(building)),
      conc_per_mass_(conc_per_mass),
      step_sources_(building, layout_, conc_per_mass_),
      cache_(systems_kept),
      solution_(std::make_unique<Solution>()),
      block_(std::make_unique<Block>()) {
  mass_divisor_.fill(1);
  for (int p = 0; p < PollutantCount(building.Scenario); ++p) {
    in_run_[p] = 1;
    mass_divisor_[p] = conc_per_mass_[p];
  }
  for (int r = 1; r <= layout_.rooms; ++r) cleaner_rates_[r] = CleanerRate(building.Scenario, r);
  // A decaying input in the HVAC system emits into no room's volume.
  for (const StateLayout::ModeState& mode : layout_.modes)
    mode_volumes_.push_back(mode.room >= 1 ? building.RoomList[mode.room].Volume : 1.0);
  for (std::size_t i = 0; i < layout_.layers.size(); ++i)
    if (layout_.layers[i].layer == 1 && layout_.layers[i].room >= 1)
      releasing_layers_.push_back(static_cast<int>(i));
}

RoomStepper::~RoomStepper() = default;

void RoomStepper::StartState(const Solution& solution, int p, const SourceStates& sources,
                             const SinkMasses& sinks, const RoomArrays& arrays,
                             std::vector<double>& z) const {
  z.assign(static_cast<std::size_t>(layout_.Size()), 0.0);
  for (int r = 1; r <= layout_.rooms; ++r) z[r - 1] = arrays.conc[r][p];
  for (std::size_t i = 0; i < layout_.sinks.size(); ++i) {
    const auto [room, slot] = layout_.sinks[i];
    z[layout_.SinkIndex(static_cast<int>(i))] = sinks[room][slot][p];
  }
  for (std::size_t i = 0; i < layout_.layers.size(); ++i) {
    const StateLayout::LayerState& at = layout_.layers[i];
    const SourceState& state = sources[at.room][at.slot];
    z[layout_.LayerIndex(static_cast<int>(i))] =
        at.layer == 1 ? state.reservoir_mass[p] : state.layer2_mass[p];
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
  SystemKey key = MakeSystemKey(terms.loss_coefficient, flows, mixing);
  PerRoom<float> share{};
  for (int q = 1; q <= rooms; ++q) share[q] = SupplyShare(building, key, q);
  sol.inputs = step_sources_.Inputs(t0, dt, arrays.room_conc, share, sources);
  // The outdoor air and what of the HVAC supply does not come from the rooms.
  for (int r = 1; r <= rooms; ++r) {
    const float supplied = flows.base_hvac_supply[r] / building.RoomList[r].Volume;
    for (int p = 0; p < np; ++p)
      sol.inputs.polynomial[0][r][p] += terms.outdoor_input[r][p] + supplied * mixing.constant[p];
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
    RowsTimes(rows.ends.data(), coupled, columns, z, sol.ends.data());
    for (std::size_t i = 0; i < coupled; ++i)
      for (int p = 0; p < np; ++p) sol.ends[i][p] += z[i][p];
    RowsTimes(rows.integrals.data(), static_cast<std::size_t>(rooms), columns, z,
              sol.integrals.data());
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
    for (std::size_t i = 0; i < coupled; ++i) sol.ends[i][p] = out.end[i];
    for (std::size_t r = 0; r < static_cast<std::size_t>(rooms); ++r)
      sol.integrals[r][p] = out.integral[r];
    for (std::size_t m = 0; m < modes; ++m) {
      const auto at = static_cast<std::size_t>(layout_.ModeIndex(static_cast<int>(m)));
      sol.mode_ends[m][p] = out.end[at];
      sol.mode_integrals[m][p] = out.integral[at];
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
  early_turns_.clear();
  late_turns_.clear();
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
    if (filter_may_fill && hvac.filter_mass[p] < capacity) {
      const auto load = [&](const std::vector<PerPollutant<double>>& integrals, double tau) {
        double caught = hvac.filter_mass[p] + mixing.caught_outdoor[p] * tau;
        for (int r = 1; r <= layout_.rooms; ++r)
          caught += mixing.caught[r][p] * integrals[r - 1][p];
        return caught - capacity;
      };
      const double at_end = load(sol.integrals, dt);
      if (at_end >= 0) {
        const auto value_at = [&](double tau) {
          const PropagatedState x = PropagateState(rates, start_state(), tau);
          std::vector<PerPollutant<double>> integrals(static_cast<std::size_t>(layout_.rooms));
          for (int r = 0; r < layout_.rooms; ++r) integrals[r][p] = x.integral[r];
          return load(integrals, tau);
        };
        consider({-1, p}, value_at, hvac.filter_mass[p] - capacity, at_end);
      }
    }
    // The air passing the equilibrium of a layer 1 starts or stops its release.
    for (const int layer : releasing_layers_) {
      const auto i = static_cast<std::size_t>(layer);
      const StateLayout::LayerState& at = layout_.layers[i];
      if (!step_sources_.On(at.room, at.slot)) continue;
      const SourceRecord& source = s.Sources[at.room][at.slot];
      const double m0 = source.Params[2][p];
      const double start_mass = sources[at.room][at.slot].reservoir_mass[p];
      if (m0 == 0 || !(start_mass > 0)) continue;
      const bool releasing = step_sources_.Releasing(static_cast<int>(i), p);
      const auto index = static_cast<std::size_t>(layout_.LayerIndex(static_cast<int>(i)));
      const double c0 = source.Params[0][p];
      const auto drive = [&](double mass, double conc) { return c0 * mass / m0 - conc; };
      const double end_mass = releasing ? sol.ends[index][p] : start_mass;
      const double end_conc = sol.ends[static_cast<std::size_t>(at.room - 1)][p];
      if (!PassesEquilibrium(releasing, c0 * end_mass / m0, end_conc)) continue;
      const double at_end = drive(end_mass, end_conc);
      const auto value_at = [&](double tau) {
        const PropagatedState x = PropagateState(rates, start_state(), tau);
        return drive(x.end[index], x.end[static_cast<std::size_t>(at.room - 1)]);
      };
      const double at_start = releasing ? std::max(drive(start_mass, arrays.conc[at.room][p]), 0.0)
                                        : std::min(drive(start_mass, arrays.conc[at.room][p]), 0.0);
      // Near its equilibrium a layer exchanges almost nothing: turning it at the step's end
      // instead of where the air passes puts what it exchanged in the rest of the step, at
      // most its rate at the end over half of that rest, in the wrong place. Where that is
      // negligible the step goes on whole; a layer that follows the air at its equilibrium
      // would otherwise end a step at every turn of the flows.
      const double passed = dt * at_start / (at_start - at_end);
      const double exchange = static_cast<double>(source.Size) * source.UnitFactor *
                              conc_per_mass_[p] * source.Params[1][p] /
                              building.RoomList[at.room].Volume;
      const double negligible =
          kNegligibleTurn * (std::fabs(end_conc) + std::fabs(c0 * end_mass / m0));
      const int turn = static_cast<int>(i) * kMaxPollutants + p;
      if (std::fabs(exchange * at_start) * passed / 2 <= negligible) {
        early_turns_.push_back(turn);
        continue;
      }
      if (std::fabs(exchange * at_end) * (dt - passed) / 2 <= negligible) {
        late_turns_.push_back(turn);
        continue;
      }
      consider({static_cast<int>(i), p}, value_at, at_start, at_end);
    }
  }
  return first;
}

void RoomStepper::CommitRooms(BuildingRecord& building,
                              const std::vector<PerPollutant<double>>& ends,
                              const std::vector<PerPollutant<double>>& integrals,
                              uint64_t showers_on, double dt, const Step& step, RoomArrays& arrays,
                              PerPollutant<double>& emitted, bool& output_due) {
  ScenarioRecord& s = building.Scenario;
  const int np = PollutantCount(s);
  const bool threshold_normal = step.change_threshold >= std::numeric_limits<float>::min();
  for (int r = 1; r <= layout_.rooms; ++r) {
    const PerPollutant<double>& end = ends[static_cast<std::size_t>(r - 1)];
    const PerPollutant<double>& integral = integrals[static_cast<std::size_t>(r - 1)];
    // Every lane: those past the run's pollutants hold zeros throughout.
    PerPollutant<float> next;
    PerPollutant<float> along;
    for (int pair = 0; pair < kMaxPollutants / 2; ++pair) {
      StoreSingles(next, pair, __builtin_convertvector(LoadWide(end, pair), TwoSingles));
      StoreSingles(along, pair, __builtin_convertvector(LoadWide(integral, pair), TwoSingles));
    }
    const PerPollutant<float>& previous = arrays.previous_room_conc[r];
    arrays.new_conc[r] = next;
    arrays.room_conc[r] = next;
    arrays.step_integral[r] = along;
    const double cleaner = cleaner_rates_[r];
    if (cleaner != 0)
      for (int p = 0; p < np; ++p)
        s.AirCleanerCollected[r] +=
            static_cast<float>(cleaner * integral[p] * building.RoomList[r].Volume);
    if (output_due) continue;
    // Every lane by MovedBeyond's products at once; only a room with a quotient within a
    // rounding of the threshold is divided, one pollutant at a time.
    int moved_lanes = 0;
    int near_lanes = 0;
    for (int pair = 0; pair < kMaxPollutants / 2; ++pair) {
      const Wide now = LoadWide(next, pair);
      const Wide limit = static_cast<double>(step.change_threshold) * now;
      // The change as a Single, as the quotient is taken.
      const Wide change = Magnitude(
          __builtin_convertvector(LoadSingles(previous, pair) - LoadSingles(next, pair), Wide));
      // (The lanes past the run's pollutants hold zero.)
      const int counts = Lanes2(now > 0);
      moved_lanes |= counts & Lanes2(change > limit + Magnitude(limit) * kSurelyBeyond);
      near_lanes |= counts & Lanes2(change > limit);
    }
    const bool moved = moved_lanes != 0;
    const bool near = near_lanes != 0;
    if (threshold_normal && moved) {
      output_due = true;
      continue;
    }
    if (threshold_normal && !near) continue;
    for (int p = 0; p < np && !output_due; ++p)
      if (next[p] > 0 &&
          MovedBeyond(std::fabs(previous[p] - next[p]), next[p], step.change_threshold))
        output_due = true;
  }
  // A shower's water takes up what the air holds above C H: its emission follows the air.
  if (showers_on == 0) return;
  for (int r = 1; r <= layout_.rooms; ++r) {
    const PerPollutant<double>& integral = integrals[static_cast<std::size_t>(r - 1)];
    for (int k = 1; k <= SourceSlotCount(s, r); ++k) {
      const SourceRecord& source = s.Sources[r][k];
      if (source.Model != kShowerModel || ((showers_on >> (r * 4 + k)) & 1U) == 0) continue;
      const double size = source.Size;
      for (int p = 0; p < np; ++p) {
        const double henry = source.Params[1][p];
        if (!(henry > 0) || !(size > 0)) continue;
        const double transfer = (1 - std::exp(-source.Params[0][p] / size)) * size;
        emitted[p] += source.UnitFactor * transfer *
                      (source.Params[2][p] * dt - integral[p] / conc_per_mass_[p] / henry);
      }
    }
  }
}

PerPollutant<double> RoomStepper::ModesEmitted(
    const std::vector<PerPollutant<double>>& integrals) const {
  // Two lanes at a time; past the run's pollutants the integrals are 0 and the divisor 1.
  std::array<Wide, kMaxPollutants / 2> emitted{};
  for (std::size_t m = 0; m < layout_.modes.size(); ++m) {
    for (int pair = 0; pair < kMaxPollutants / 2; ++pair)
      emitted[static_cast<std::size_t>(pair)] +=
          ModeMass(LoadWide(integrals[m], pair), mode_volumes_[m], mass_divisor_, pair);
  }
  PerPollutant<double> out;
  std::memcpy(out.data(), emitted.data(), sizeof out);
  return out;
}

void RoomStepper::Commit(BuildingRecord& building, const Solution& sol, const Step& step,
                         SourceStates& sources, SinkMasses& sinks, RoomArrays& arrays,
                         bool& output_due) {
  ScenarioRecord& s = building.Scenario;
  const int np = PollutantCount(s);
  PerPollutant<double> emitted = sol.inputs.emitted;
  CommitRooms(building, sol.ends, sol.integrals, sol.inputs.showers_on, sol.dt, step, arrays,
              emitted, output_due);
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
    s.SinkMass[p] = static_cast<float>(in_sinks[p]);
    if (s.PeakSinkMass[p] < s.SinkMass[p]) s.PeakSinkMass[p] = s.SinkMass[p];
  }
  for (std::size_t i = 0; i < layout_.layers.size(); ++i) {
    const StateLayout::LayerState& at = layout_.layers[i];
    const SourceRecord& source = s.Sources[at.room][at.slot];
    SourceState& state = sources[at.room][at.slot];
    const PerPollutant<double>& end =
        sol.ends[static_cast<std::size_t>(layout_.LayerIndex(static_cast<int>(i)))];
    for (int p = 0; p < np; ++p) {
      if (((sol.inputs.layers_on[p][i / 64] >> (i % 64)) & 1U) == 0) continue;
      float& mass = at.layer == 1 ? state.reservoir_mass[p] : state.layer2_mass[p];
      const float next = std::max(0.0F, static_cast<float>(end[p]));
      emitted[p] -= static_cast<double>(source.Size) * source.UnitFactor * (next - mass);
      mass = next;
    }
  }
  const PerPollutant<double> modes = ModesEmitted(sol.mode_integrals);
  for (int p = 0; p < np; ++p) s.TotalEmitted[p] += static_cast<float>(emitted[p] + modes[p]);
  step_sources_.Commit(sources, sol.mode_ends);
}

bool RoomStepper::ContinuesBlock(const BuildingRecord& /*building*/, const WorkingFlows& flows,
                                 const RemovalTerms& terms, const HVACMixing& mixing,
                                 const Step& step) const {
  const Block& block = *block_;
  if (!block.active || step.after_change || !step.regular || step.length != block.dt) return false;
  // The layers and showers are the block's own.
  return SameSystemFlows(block.key, terms.loss_coefficient, flows, mixing);
}

void RoomStepper::BeginBlockAt(const BuildingRecord& building, const BlockRows& rows) {
  Block& block = *block_;
  const ScenarioRecord& s = building.Scenario;
  block.steps = 0;
  block.start.clear();
  for (int c : rows.live) block.start.push_back(block.state[static_cast<std::size_t>(c)]);
  block.sink_base = {};
  block.layer_base = {};
  for (std::size_t i = 0; i < layout_.sinks.size(); ++i) {
    const double area = s.Sinks[layout_.sinks[i].room][layout_.sinks[i].slot].Area;
    const auto at = static_cast<std::size_t>(layout_.SinkIndex(static_cast<int>(i)));
    // Every lane: those past the run's pollutants hold zeros throughout.
    for (int p = 0; p < kMaxPollutants; ++p) block.sink_base[p] += area * block.state[at][p];
  }
  for (std::size_t i = 0; i < layout_.layers.size(); ++i) {
    const SourceRecord& source = s.Sources[layout_.layers[i].room][layout_.layers[i].slot];
    const double weight = static_cast<double>(source.Size) * source.UnitFactor;
    const auto at = static_cast<std::size_t>(layout_.LayerIndex(static_cast<int>(i)));
    for (int p = 0; p < kMaxPollutants; ++p) block.layer_base[p] += weight * block.state[at][p];
  }
  block.layer_last = block.layer_base;
}

void RoomStepper::StartBlock(BuildingRecord& building, const Solution& sol, bool chained) {
  Block& block = *block_;
  const int np = PollutantCount(building.Scenario);
  block.active = true;
  block.chained = chained;
  block.dt = sol.dt;
  block.system = sol.system;
  block.key = sol.system->key;
  block.emitted = sol.inputs.emitted;
  block.showers_on = sol.inputs.showers_on;
  block.layers_on = sol.inputs.layers_on;
  block.modes = sol.mode_ends;
  SetLayerChecks(building);
  if (chained) {
    // The states where the step just taken left them, as the next step takes them up.
    block.steps = 0;
    block.chained_steps = 0;
    block.state = lanes_;
    // (The commit sets what the sinks hold to what the step's own commit set.)
    PerPollutant<double> given_already{};
    CommitChainedStates(building, given_already);
    SetModeStates();
    return;
  }
  const BlockRows& rows_of_block = cache_.Block(*sol.system, building, layout_, np, sol.dt);
  block.released_rows.clear();
  for (int layer : releasing_layers_) {
    const auto& releasing = rows_of_block.releasing;
    const auto at = std::find(releasing.begin(), releasing.end(), layer);
    block.released_rows.push_back(
        at == releasing.end()
            ? -1
            : rows_of_block.Releasing(layout_.rooms, static_cast<int>(at - releasing.begin())));
  }
  block.state = lanes_;
  BeginBlockAt(building, rows_of_block);
  // The step just taken is the block's first.
  block.steps = 1;
  const PerPollutant<double> change =
      RowTimes(rows_of_block.Row(1, rows_of_block.LayerTotal(layout_.rooms)),
               static_cast<std::size_t>(rows_of_block.columns), block.start);
  for (int p = 0; p < np; ++p) block.layer_last[p] = block.layer_base[p] + change[p];
}

// The layers 1 whose equilibrium the air may pass within a block: the sources that are on,
// by pollutant with a reference mass, with what stays as it is while the block lasts.
void RoomStepper::SetLayerChecks(const BuildingRecord& building) {
  const ScenarioRecord& s = building.Scenario;
  layer_checks_.clear();
  for (std::size_t k = 0; k < releasing_layers_.size(); ++k) {
    const int layer = releasing_layers_[k];
    const StateLayout::LayerState& at = layout_.layers[static_cast<std::size_t>(layer)];
    if (!step_sources_.On(at.room, at.slot)) continue;
    const SourceRecord& source = s.Sources[at.room][at.slot];
    LayerCheck check{k,
                     static_cast<std::size_t>(layout_.LayerIndex(layer)),
                     static_cast<std::size_t>(at.room - 1),
                     {},
                     {},
                     {},
                     {}};
    check.m0.fill(1);
    check.sign.fill(1);
    bool any = false;
    for (int p = 0; p < PollutantCount(s); ++p) {
      if (source.Params[2][p] == 0) continue;
      any = true;
      check.c0[p] = source.Params[0][p];
      check.m0[p] = source.Params[2][p];
      check.checked[p] = 1;
      if (step_sources_.Releasing(layer, p)) check.sign[p] = -1;
    }
    if (any) layer_checks_.push_back(check);
  }
}

// The decaying inputs' states where the block's modes stand (a lane past the run's pollutants
// holds zero in both).
void RoomStepper::SetModeStates() {
  Block& block = *block_;
  for (std::size_t m = 0; m < layout_.modes.size(); ++m) {
    const auto at = static_cast<std::size_t>(layout_.ModeIndex(static_cast<int>(m)));
    for (int p = 0; p < kMaxPollutants; ++p)
      block.state[at][p] = static_cast<float>(block.modes[m][p]);
  }
}

void RoomStepper::NextBlock(const BuildingRecord& building, const BlockRows& rows) {
  Block& block = *block_;
  const int np = PollutantCount(building.Scenario);
  const auto columns = static_cast<std::size_t>(rows.columns);
  const auto coupled = static_cast<std::size_t>(layout_.Coupled());
  std::vector<PerPollutant<double>>& change = block_values_;
  change.resize(coupled);
  RowsTimes(rows.block_end.data(), coupled, columns, block.start, change.data());
  for (std::size_t i = 0; i < coupled; ++i)
    for (int p = 0; p < np; ++p)
      block.state[i][p] = static_cast<float>(block.state[i][p] + change[i][p]);
  SetModeStates();
  BeginBlockAt(building, rows);
}

// The rows of a block's step j from the states at the block's start: the rooms' ends and
// integrals into the solution, and the change of each releasing layer 1 into released_.
void RoomStepper::BlockValues(const BuildingRecord& /*building*/, const BlockRows& rows, int j) {
  const Block& block = *block_;
  const int n = layout_.rooms;
  Solution& sol = *solution_;
  // Every row of the step at once: they read the same states.
  std::vector<PerPollutant<double>>& values = block_values_;
  values.resize(static_cast<std::size_t>(rows.per_step));
  RowsTimes(rows.Row(j, 0), values.size(), static_cast<std::size_t>(rows.columns), block.start,
            values.data());
  for (int r = 1; r <= n; ++r) {
    const auto i = static_cast<std::size_t>(r - 1);
    sol.ends[i] = values[static_cast<std::size_t>(rows.RoomChange(r))];
    // Every lane: those past the run's pollutants hold zeros throughout.
    for (int p = 0; p < kMaxPollutants; ++p) sol.ends[i][p] += block.state[i][p];
    sol.integrals[i] = values[static_cast<std::size_t>(rows.RoomIntegral(n, r))];
  }
  for (std::size_t k = 0; k < releasing_layers_.size(); ++k) {
    const int row = block.released_rows[k];
    released_[k] = row < 0 ? PerPollutant<double>{} : values[static_cast<std::size_t>(row)];
  }
}

// A chained step from the states where the last one left them: every coupled state's end
// into the solution, the rooms' integrals, and the change of each releasing layer 1.
void RoomStepper::ChainValues(const BuildingRecord& building, const StepRows& single) {
  const Block& block = *block_;
  const int np = PollutantCount(building.Scenario);
  const auto coupled = static_cast<std::size_t>(layout_.Coupled());
  const auto columns = static_cast<std::size_t>(single.columns);
  Solution& sol = *solution_;
  sol.ends.resize(coupled);
  RowsTimes(single.ends.data(), coupled, columns, block.state, sol.ends.data());
  for (std::size_t k = 0; k < releasing_layers_.size(); ++k)
    released_[k] = sol.ends[static_cast<std::size_t>(layout_.LayerIndex(releasing_layers_[k]))];
  for (std::size_t i = 0; i < coupled; ++i)
    for (int p = 0; p < np; ++p) sol.ends[i][p] += block.state[i][p];
  RowsTimes(single.integrals.data(), static_cast<std::size_t>(layout_.rooms), columns, block.state,
            sol.integrals.data());
}

// Whether the step just worked out keeps the block's system to its end: no HVAC filter fills
// within it, the air passes no releasing layer's equilibrium and every room stays finite.
bool RoomStepper::BlockStepStaysWhole(const BuildingRecord& building, const HVACMixing& mixing,
                                      const HVACState& hvac) const {
  const Block& block = *block_;
  const ScenarioRecord& s = building.Scenario;
  const int n = layout_.rooms;
  const Solution& sol = *solution_;
  // Every test two lanes at a time, the lanes past the run's pollutants masked: the same
  // arithmetic for each lane as one at a time, without a branch for each.
  if (CapacityLimited(s.HVACType)) {
    int fills = 0;
    const double capacity = s.FilterCapacity;
    for (int pair = 0; pair < kMaxPollutants / 2; ++pair) {
      const Wide held = LoadWide(hvac.filter_mass, pair);
      Wide caught = held + LoadWide(mixing.caught_outdoor, pair) * block.dt;
      for (int r = 1; r <= n; ++r)
        caught += LoadWide(mixing.caught[r], pair) *
                  LoadWide(sol.integrals[static_cast<std::size_t>(r - 1)], pair);
      fills |= Lanes2(LoadWide(in_run_, pair) != 0) & Lanes2(held < capacity) &
               Lanes2(caught >= capacity);
    }
    if (fills != 0) return false;
  }
  for (const LayerCheck& check : layer_checks_) {
    const Lanes& held = block.state[check.index];
    const PerPollutant<double>& released = released_[check.k];
    const PerPollutant<double>& conc = sol.ends[check.room];
    int passes = 0;
    for (int pair = 0; pair < kMaxPollutants / 2; ++pair) {
      const Wide h = LoadWide(held, pair);
      const Wide mass = h + LoadWide(released, pair);
      const Wide equilibrium = LoadWide(check.c0, pair) * mass / LoadWide(check.m0, pair);
      const Wide air = LoadWide(conc, pair);
      const Wide margin = kEquilibriumMargin * (Magnitude(equilibrium) + Magnitude(air));
      // A layer that releases passes when the air rises above its equilibrium, one that
      // takes up when it falls below.
      const Wide past = LoadWide(check.sign, pair) * (equilibrium - air);
      passes |= Lanes2(LoadWide(check.checked, pair) != 0) & Lanes2(h > 0) & Lanes2(past > margin);
    }
    if (passes != 0) return false;
  }
  // x - x is 0 for a finite x and not a number otherwise, which a sum keeps (the lanes past
  // the run's pollutants hold 0).
  Wide finite = {};
  for (int r = 1; r <= n; ++r) {
    const PerPollutant<double>& end = sol.ends[static_cast<std::size_t>(r - 1)];
    for (int pair = 0; pair < kMaxPollutants / 2; ++pair) {
      const Wide x = LoadWide(end, pair);
      finite += x - x;
    }
  }
  if (Lanes2(finite == 0) != 3) return false;
  return true;
}

bool RoomStepper::BlockStep(BuildingRecord& building, const HVACMixing& mixing,
                            const HVACState& hvac, const Step& step, SourceStates& sources,
                            RoomArrays& arrays, bool& output_due) {
  Block& block = *block_;
  ScenarioRecord& s = building.Scenario;
  const int np = PollutantCount(s);
  const int n = layout_.rooms;
  const StepRows& single = cache_.Rows(*block.system, layout_, np, block.dt);
  Solution& sol = *solution_;
  sol.ends.resize(static_cast<std::size_t>(n));
  sol.integrals.resize(static_cast<std::size_t>(n));
  released_.resize(releasing_layers_.size());
  const BlockRows* rows = nullptr;
  if (block.chained) {
    ChainValues(building, single);
    // A chained block lasts until the inputs change, often to a system met before: its rows
    // are brought into the cache a share at a time while this one runs, so that the step
    // that begins it does not wait for them.
    if (const StepRows* next = cache_.SuccessorRows(*block.system, block.dt))
      PrefetchShare(*next, block.chained_steps++ % kPrefetchShares);
  } else {
    rows = &cache_.Block(*block.system, building, layout_, np, block.dt);
    if (block.steps == kBlockSteps) NextBlock(building, *rows);
    BlockValues(building, *rows, block.steps + 1);
  }
  // Something that would change the system within the step ends the block before it: the
  // step is then taken alone, from the block's states at its start.
  if (!BlockStepStaysWhole(building, mixing, hvac)) return false;

  PerPollutant<double> emitted = block.emitted;
  CommitRooms(building, sol.ends, sol.integrals, block.showers_on, block.dt, step, arrays, emitted,
              output_due);
  if (block.chained) {
    CommitChainedStates(building, emitted);
  } else {
    const int j = block.steps + 1;
    const PerPollutant<double>& sinks = block_values_[static_cast<std::size_t>(rows->SinkTotal(n))];
    const PerPollutant<double>& layers =
        block_values_[static_cast<std::size_t>(rows->LayerTotal(n))];
    for (int p = 0; p < np; ++p) {
      s.SinkMass[p] = static_cast<float>(block.sink_base[p] + sinks[p]);
      const double held = block.layer_base[p] + layers[p];
      emitted[p] -= held - block.layer_last[p];
      block.layer_last[p] = held;
    }
    block.steps = j;
  }
  // What the decaying inputs emit over the step, as ModesEmitted sums it, and where they end.
  std::array<Wide, kMaxPollutants / 2> from_modes{};
  for (std::size_t m = 0; m < layout_.modes.size(); ++m) {
    for (int pair = 0; pair < kMaxPollutants / 2; ++pair) {
      const Wide held = LoadWide(block.modes[m], pair);
      const Wide integral = LoadWide(single.mode_integral[m], pair) * held;
      from_modes[static_cast<std::size_t>(pair)] +=
          ModeMass(integral, mode_volumes_[m], mass_divisor_, pair);
      StoreWide(block.modes[m], pair, held * LoadWide(single.mode_decay[m], pair));
    }
  }
  if (block.chained) SetModeStates();
  PerPollutant<double> modes;
  std::memcpy(modes.data(), from_modes.data(), sizeof modes);
  for (int p = 0; p < np; ++p) {
    if (s.PeakSinkMass[p] < s.SinkMass[p]) s.PeakSinkMass[p] = s.SinkMass[p];
    s.TotalEmitted[p] += static_cast<float>(emitted[p] + modes[p]);
  }
  step_sources_.Commit(sources, block.modes);
  return true;
}

// A chained step's sinks and layers as a step's commit keeps them: what the sinks hold, and
// what the layers gave, into the totals; then every coupled state moves to the step's end.
// All eight lanes at once: a lane past the run's pollutants holds zeros throughout.
void RoomStepper::CommitChainedStates(BuildingRecord& building, PerPollutant<double>& emitted) {
  Block& block = *block_;
  ScenarioRecord& s = building.Scenario;
  const int np = PollutantCount(s);
  const Solution& sol = *solution_;
  std::vector<Lanes>& state = block.state;
  for (int r = 0; r < layout_.rooms; ++r) {
    const auto at = static_cast<std::size_t>(r);
    for (int p = 0; p < kMaxPollutants; ++p) state[at][p] = static_cast<float>(sol.ends[at][p]);
  }
  PerPollutant<double> in_sinks{};
  for (std::size_t i = 0; i < layout_.sinks.size(); ++i) {
    const auto [room, slot] = layout_.sinks[i];
    const double area = s.Sinks[room][slot].Area;
    const auto at = static_cast<std::size_t>(layout_.SinkIndex(static_cast<int>(i)));
    for (int p = 0; p < kMaxPollutants; ++p) {
      state[at][p] = std::max(0.0F, static_cast<float>(sol.ends[at][p]));
      in_sinks[p] += static_cast<double>(state[at][p]) * area;
    }
  }
  for (int p = 0; p < np; ++p) s.SinkMass[p] = static_cast<float>(in_sinks[p]);
  for (std::size_t i = 0; i < layout_.layers.size(); ++i) {
    const SourceRecord& source = s.Sources[layout_.layers[i].room][layout_.layers[i].slot];
    const double weight = static_cast<double>(source.Size) * source.UnitFactor;
    const auto at = static_cast<std::size_t>(layout_.LayerIndex(static_cast<int>(i)));
    for (int p = 0; p < np; ++p) {
      // A layer that does not exchange keeps what it holds.
      if (((block.layers_on[p][i / 64] >> (i % 64)) & 1U) == 0) continue;
      const float next = std::max(0.0F, static_cast<float>(sol.ends[at][p]));
      emitted[p] -= weight * (next - state[at][p]);
      state[at][p] = next;
    }
  }
}

void RoomStepper::EndBlock(const BuildingRecord& building, SourceStates& sources,
                           SinkMasses& sinks) {
  Block& block = *block_;
  if (!block.active) return;
  block.active = false;
  const int np = PollutantCount(building.Scenario);
  const StepRows& single = cache_.Rows(*block.system, layout_, np, block.dt);
  const auto columns = static_cast<std::size_t>(single.columns);
  const auto coupled = static_cast<std::size_t>(layout_.Coupled());
  // The coupled states where the block stands: over the whole block at once, or step by step
  // from its start (a chained block's states are always where its last step left them).
  if (!block.chained && block.steps == kBlockSteps)
    NextBlock(building, cache_.Block(*block.system, building, layout_, np, block.dt));
  std::vector<Lanes>& z = block.state;
  std::vector<PerPollutant<double>> ends(coupled);
  if (block.steps > 0) {
    for (int step = 0; step < block.steps; ++step) {
      RowsTimes(single.ends.data(), coupled, columns, z, ends.data());
      for (std::size_t i = 0; i < coupled; ++i)
        for (int p = 0; p < np; ++p) z[i][p] = static_cast<float>(z[i][p] + ends[i][p]);
      for (std::size_t m = 0; m < layout_.modes.size(); ++m) {
        const auto at = static_cast<std::size_t>(layout_.ModeIndex(static_cast<int>(m)));
        for (int p = 0; p < np; ++p)
          z[at][p] = static_cast<float>(z[at][p] * single.mode_decay[m][p]);
      }
    }
  }
  for (std::size_t i = 0; i < layout_.sinks.size(); ++i) {
    const auto [room, slot] = layout_.sinks[i];
    const auto at = static_cast<std::size_t>(layout_.SinkIndex(static_cast<int>(i)));
    for (int p = 0; p < np; ++p) sinks[room][slot][p] = std::max(0.0F, z[at][p]);
  }
  for (std::size_t i = 0; i < layout_.layers.size(); ++i) {
    const StateLayout::LayerState& at = layout_.layers[i];
    SourceState& state = sources[at.room][at.slot];
    const auto index = static_cast<std::size_t>(layout_.LayerIndex(static_cast<int>(i)));
    for (int p = 0; p < np; ++p) {
      if (((block.layers_on[p][i / 64] >> (i % 64)) & 1U) == 0) continue;
      (at.layer == 1 ? state.reservoir_mass[p] : state.layer2_mass[p]) =
          std::max(0.0F, z[index][p]);
    }
  }
}

RoomStepper::Outcome RoomStepper::Advance(BuildingRecord& building, const WorkingFlows& flows,
                                          const RemovalTerms& terms, const HVACMixing& mixing,
                                          HVACState& hvac, const Step& step, SourceStates& sources,
                                          SinkMasses& sinks, RoomArrays& arrays, bool& output_due) {
  Outcome outcome;
  const int rooms = layout_.rooms;
  const int np = PollutantCount(building.Scenario);
  for (int r = 1; r <= rooms; ++r)
    if (terms.loss_coefficient[r] < 0) {
      outcome.status = StepStatus::NegativeLoss;
      return outcome;
    }
  if (ContinuesBlock(building, flows, terms, mixing, step) &&
      BlockStep(building, mixing, hvac, step, sources, arrays, output_due)) {
    outcome.taken = step.length;
    return outcome;
  }
  EndBlock(building, sources, sinks);
  step_sources_.Schedule(step.start, step.step_size, arrays.conc, sources);
  double dt = step_sources_.Limit(step.start, step.length, arrays.room_conc, sources);
  bool regular = step.regular && dt == step.length;
  Solution& sol = *solution_;
  Solve(building, flows, terms, mixing, step.start, dt, regular, sources, sinks, arrays, sol);
  std::vector<Event> events;
  // An event at the step's very start (the air at a layer's equilibrium, a filter just full)
  // changes the system before the step; each layer may turn so once.
  for (int round = 0; round <= 2 * np * static_cast<int>(layout_.layers.size()) + 1; ++round) {
    const double tau = FirstEvent(building, mixing, hvac, sol, sources, sinks, arrays, events);
    if (!early_turns_.empty()) {
      // Layers that turn just after the step's start turn at it, and the step is worked out
      // again; what else it found is looked for again then.
      for (int turn : early_turns_)
        step_sources_.Flip(turn / kMaxPollutants, turn % kMaxPollutants);
      events.clear();
      Solve(building, flows, terms, mixing, step.start, dt, regular, sources, sinks, arrays, sol);
      continue;
    }
    if (events.empty()) break;
    if (tau > kEventAtStart * sol.dt) {
      Solve(building, flows, terms, mixing, step.start, tau, false, sources, sinks, arrays, sol);
      break;
    }
    for (const Event& event : events) {
      if (event.layer >= 0)
        step_sources_.Flip(event.layer, event.p);
      else
        hvac.filter_mass[event.p] = building.Scenario.FilterCapacity;
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
  // Turns found where the step was cut short at an earlier event belong to the rest of it.
  const bool turned = !late_turns_.empty() && events.empty();
  if (turned)
    for (int turn : late_turns_) step_sources_.Flip(turn / kMaxPollutants, turn % kMaxPollutants);
  outcome.taken = sol.dt;
  // A step of the grid with constant inputs begins a block of such steps: a long one where
  // they stay constant for several of them, otherwise one of single steps. A long block's
  // rows take kBlockSteps times the memory of a step's, and a system met for a few steps at
  // a time (flows that change every hour) would stream them through the cache at every
  // meeting for little.
  const bool lasting = step.next_change - step.start >= kLastingBlocks * kBlockSteps * sol.dt;
  if (regular && events.empty() && !turned && sol.inputs.steady)
    StartBlock(building, sol, !lasting);
  return outcome;
}

}  // namespace quarn
