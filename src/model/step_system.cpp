#include "model/step_system.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/room_lookup.h"

namespace quarn {
namespace {

// Step lengths are told apart as bits: the grid gives a step the same double each time.
bool SameStep(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The step matrices among `kept` for the step dt, or null.
const StepRows* KeptRows(const std::vector<StepRows>& kept, double dt) {
  for (const StepRows& rows : kept)
    if (SameStep(rows.step, dt)) return &rows;
  return nullptr;
}

constexpr int kMassTransferModel = 0;
constexpr int kR0kModel = 1;
constexpr int kShowerModel = 5;
constexpr int kPolyfitModel = 6;

bool NeedsCubic(const ScenarioRecord& s, const SourceRecord& source) {
  if (source.Model == 2 || source.Model == 4) return true;
  if (source.Model != kPolyfitModel) return false;
  for (int p = 0; p < PollutantCount(s); ++p)
    for (int row = 1; row <= 3; ++row)
      if (source.Params[row][p] != 0) return true;
  return false;
}

bool TermInUse(const ScenarioRecord& s, const SourceRecord& source, int term) {
  for (int p = 0; p < PollutantCount(s); ++p)
    if (source.Params[2 * term][p] != 0) return true;
  return false;
}

bool Bit(const std::array<uint64_t, 2>& words, int i) {
  return ((words[static_cast<std::size_t>(i / 64)] >> (i % 64)) & 1U) != 0;
}

// The concentration rate a source's own unit per hour gives: through its unit factor into
// the scenario's mass unit, then per m³.
double SourceFactor(const SourceRecord& source, float conc_per_mass) {
  return static_cast<double>(source.Size) * source.UnitFactor * conc_per_mass;
}

void AddLayer(SquareMatrix& m, const BuildingRecord& building, const StateLayout& layout,
              const SystemKey& key, int i, int p, float conc_per_mass) {
  const StateLayout::LayerState& at = layout.layers[static_cast<std::size_t>(i)];
  const SourceRecord& source = building.Scenario.Sources[at.room][at.slot];
  const double c0 = source.Params[0][p];
  const double k = source.Params[at.layer == 1 ? 1 : 4][p];
  const double m0 = source.Params[at.layer == 1 ? 2 : 5][p];
  if (m0 == 0) return;  // a layer without a reference mass has no equilibrium
  // The layer moves towards its equilibrium with the air: dm/dt = k (C - C0 m / M0) per
  // unit area, and the air gains what the layer loses over the source's area.
  const double decay = k * c0 / m0;
  const double factor = SourceFactor(source, conc_per_mass);
  const int l = layout.LayerIndex(i);
  m(l, l) = -decay;
  if (at.room >= 1) {
    const int r = at.room - 1;
    const double volume = building.RoomList[at.room].Volume;
    m(l, r) = k;
    m(r, r) -= factor * k / volume;
    m(r, l) += factor * decay / volume;
    return;
  }
  // In the HVAC system the layer sees no room air and reaches the rooms through the supply.
  for (int q = 1; q <= layout.rooms; ++q)
    m(q - 1, l) += SupplyShare(building, key, q) * factor * decay;
}

void AddShowers(SquareMatrix& m, const BuildingRecord& building, const StateLayout& layout,
                const SystemKey& key, int p, float conc_per_mass) {
  const ScenarioRecord& s = building.Scenario;
  for (int r = 1; r <= layout.rooms; ++r) {
    for (int k = 1; k <= SourceSlotCount(s, r); ++k) {
      const SourceRecord& source = s.Sources[r][k];
      if (source.Model != kShowerModel || ((key.showers_on >> (r * 4 + k)) & 1U) == 0) continue;
      const double size = source.Size;
      const double henry = source.Params[1][p];
      if (!(henry > 0) || !(size > 0)) continue;
      // The water gives (Cw - C / H) (1 - e^(-KOL / S)) S: the air's own part is a loss.
      const double transfer = (1 - std::exp(-source.Params[0][p] / size)) * size;
      m(r - 1, r - 1) -=
          transfer * source.UnitFactor * conc_per_mass / building.RoomList[r].Volume / henry;
    }
  }
}

}  // namespace

double CleanerRate(const ScenarioRecord& s, int r) {
  return s.AirCleanerEff[r] > 0
             ? static_cast<double>(s.AirCleanerFlow[r]) * s.AirCleanerEff[r] / 100.0
             : 0.0;
}

StateLayout MakeStateLayout(const BuildingRecord& building) {
  const ScenarioRecord& s = building.Scenario;
  StateLayout layout;
  layout.rooms = RoomCount(building);
  for (int r = 1; r <= layout.rooms; ++r)
    for (int k = 1; k <= SinkSlotCount(s, r); ++k)
      if (s.Sinks[r][k].Area != 0) layout.sinks.push_back({r, k});
  for (int r = 0; r <= layout.rooms; ++r) {
    for (int k = 1; k <= SourceSlotCount(s, r); ++k) {
      const SourceRecord& source = s.Sources[r][k];
      if (CycleCount(source) == 0) continue;  // never on
      if (source.Model == kMassTransferModel) {
        layout.layers.push_back({r, k, 1});
        layout.layers.push_back({r, k, 2});
      } else if (source.Model == kR0kModel) {
        for (int term = 0; term < 3; ++term)
          if (TermInUse(s, source, term)) layout.modes.push_back({r, k, term});
      }
      if (NeedsCubic(s, source)) layout.degree = 3;
    }
  }
  return layout;
}

SystemKey MakeSystemKey(const PerRoom<float>& loss, const WorkingFlows& flows,
                        const HVACMixing& mixing) {
  SystemKey key;
  key.loss = loss;
  key.supply = flows.base_hvac_supply;
  key.between = flows.total_between_rooms;
  key.weight = mixing.weight;
  key.per_emission = mixing.per_emission;
  return key;
}

bool SameSystemFlows(const SystemKey& key, const PerRoom<float>& loss, const WorkingFlows& flows,
                     const HVACMixing& mixing) {
  const auto same = [](const auto& a, const auto& b) {
    static_assert(sizeof a == sizeof b);
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    return std::memcmp(&a, &b, sizeof a) == 0;
  };
  return same(loss, key.loss) && same(flows.base_hvac_supply, key.supply) &&
         same(flows.total_between_rooms, key.between) && same(mixing.weight, key.weight) &&
         same(mixing.per_emission, key.per_emission);
}

float SupplyShare(const BuildingRecord& building, const SystemKey& key, int room) {
  return key.supply[room] * key.per_emission / building.RoomList[room].Volume;
}

SquareMatrix AssembleRates(const BuildingRecord& building, const StateLayout& layout,
                           const SystemKey& key, int p, float conc_per_mass) {
  const ScenarioRecord& s = building.Scenario;
  const int n = layout.rooms;
  SquareMatrix m(layout.Size());
  for (int i = 1; i <= n; ++i) {
    const double volume = building.RoomList[i].Volume;
    for (int j = 1; j <= n; ++j) {
      double rate = key.supply[i] * static_cast<double>(key.weight[j][p]);
      // Air comes through from a connected room only while it flows towards room i.
      const float flow = key.between[j][i];
      if (RoomsConnected(building, i, j) && flow > 0) rate += flow;
      rate /= volume;
      if (j == i) rate -= static_cast<double>(key.loss[i]) + CleanerRate(s, i);
      m(i - 1, j - 1) = rate;
    }
  }
  for (std::size_t i = 0; i < layout.sinks.size(); ++i) {
    const auto [room, slot] = layout.sinks[i];
    const SinkRecord& sink = s.Sinks[room][slot];
    // Adsorption takes ka C per unit area, never a negative amount; the sink gives back
    // kd M.
    const double uptake = std::max(0.0F, sink.ka[p]);
    const double area_per_volume = static_cast<double>(sink.Area) / building.RoomList[room].Volume;
    const int at = layout.SinkIndex(static_cast<int>(i));
    m(room - 1, room - 1) -= uptake * area_per_volume;
    m(room - 1, at) = sink.kd[p] * area_per_volume;
    m(at, room - 1) = uptake;
    m(at, at) = -static_cast<double>(sink.kd[p]);
  }
  for (int i = 0; i < static_cast<int>(layout.layers.size()); ++i)
    if (Bit(key.layers_on[p], i)) AddLayer(m, building, layout, key, i, p, conc_per_mass);
  AddShowers(m, building, layout, key, p, conc_per_mass);
  for (int r = 1; r <= n; ++r) {
    m(r - 1, layout.InputIndex(0, r)) = 1;
    for (int power = 0; power < layout.degree; ++power)
      m(layout.InputIndex(power, r), layout.InputIndex(power + 1, r)) = 1;
  }
  for (int i = 0; i < static_cast<int>(layout.modes.size()); ++i) {
    const auto [room, slot, term] = layout.modes[static_cast<std::size_t>(i)];
    const int at = layout.ModeIndex(i);
    m(at, at) = -static_cast<double>(s.Sources[room][slot].Params[2 * term + 1][p]);
    if (room >= 1) {
      m(room - 1, at) = 1;
    } else {
      for (int q = 1; q <= n; ++q) m(q - 1, at) = SupplyShare(building, key, q);
    }
  }
  return m;
}

StepCache::System& StepCache::Find(const BuildingRecord& building, const StateLayout& layout,
                                   const SystemKey& key, int pollutants,
                                   const PerPollutant<float>& conc_per_mass) {
  ++clock_;
  // Compared as bits, on purpose: a zero of the other sign or a NaN is a change. The key has
  // no padding (floats, then 64-bit words).
  const auto matches = [&key](const System& system) {
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    return std::memcmp(&system.key, &key, sizeof key) == 0;
  };
  if (last_ < systems_.size() && matches(systems_[last_])) {
    systems_[last_].last_used = clock_;
    return systems_[last_];
  }
  const std::size_t before = last_;
  for (std::size_t i = 0; i < systems_.size(); ++i) {
    if (matches(systems_[i])) {
      systems_[i].last_used = clock_;
      last_ = i;
      if (before < systems_.size()) systems_[before].successor = i;
      return systems_[i];
    }
  }
  std::size_t previous = before;
  if (systems_.size() >= capacity_) {
    const auto oldest = std::min_element(
        systems_.begin(), systems_.end(),
        [](const System& a, const System& b) { return a.last_used < b.last_used; });
    systems_.erase(oldest);
    // The places after the one made room for moved down.
    for (System& kept : systems_) kept.successor = kNoSystem;
    previous = kNoSystem;
  }
  last_ = systems_.size();
  if (previous < systems_.size()) systems_[previous].successor = last_;
  System& system = systems_.emplace_back();
  system.key = key;
  system.last_used = clock_;
  for (int p = 0; p < pollutants; ++p) {
    system.rates[p] = AssembleRates(building, layout, key, p, conc_per_mass[p]);
    // Pollutants that sinks, layers and filters treat alike share one working-out.
    int same = 0;
    while (same < p && !(system.rates[same] == system.rates[p])) ++same;
    system.same_as[p] = same;
    if (same < p) system.rates[p] = SquareMatrix();
  }
  return system;
}

const StepMatrices& StepCache::Matrices(const System& system, int p, double dt) {
  Worked& worked = worked_[static_cast<std::size_t>(p)];
  if (worked.system != &system || !SameStep(worked.step, dt) || worked.made != system.last_used) {
    worked.matrices = ComputeStepMatrices(system.rates[p], dt);
    worked.system = &system;
    worked.step = dt;
    worked.made = system.last_used;
  }
  return worked.matrices;
}

const StepRows* StepCache::SuccessorRows(const System& system, double dt) const {
  if (system.successor >= systems_.size()) return nullptr;
  return KeptRows(systems_[system.successor].steps, dt);
}

const StepRows& StepCache::Rows(System& system, const StateLayout& layout, int pollutants,
                                double dt) {
  if (const StepRows* kept = KeptRows(system.steps, dt)) return *kept;
  // A system is stepped with few lengths (the typed step and the grown ones).
  constexpr std::size_t kStepLengthsKept = 4;
  if (system.steps.size() >= kStepLengthsKept) system.steps.erase(system.steps.begin());
  StepRows& rows = system.steps.emplace_back();
  const int size = layout.Size();
  const int coupled = layout.Coupled();
  const auto cells = static_cast<std::size_t>(size);
  rows.step = dt;
  rows.columns = size;
  rows.ends.assign(static_cast<std::size_t>(coupled) * cells, Lanes{});
  rows.integrals.assign(static_cast<std::size_t>(layout.rooms) * cells, Lanes{});
  rows.mode_decay.assign(layout.modes.size(), PerPollutant<double>{});
  rows.mode_integral.assign(layout.modes.size(), PerPollutant<double>{});
  StepMatrices matrices;
  for (int p = 0; p < pollutants; ++p) {
    if (system.same_as[p] == p) matrices = Matrices(system, p, dt);
    // Pollutants sharing rates come right after their first, or take its lanes.
    const int from = system.same_as[p];
    for (int i = 0; i < coupled; ++i)
      for (int j = 0; j < size; ++j) {
        const std::size_t at = static_cast<std::size_t>(i) * cells + static_cast<std::size_t>(j);
        // The ends are kept as the change over the step (Phi less the identity): a step
        // changes the states little, and rounding the change to a Single costs far less of
        // each state, and of the mass the rooms and sinks share, than rounding Phi would.
        const double change = matrices.phi(i, j) - (i == j ? 1.0 : 0.0);
        rows.ends[at][p] = from == p ? static_cast<float>(change) : rows.ends[at][from];
        if (i < layout.rooms)
          rows.integrals[at][p] =
              from == p ? static_cast<float>(matrices.integral(i, j)) : rows.integrals[at][from];
      }
    for (std::size_t m = 0; m < layout.modes.size(); ++m) {
      const int at = layout.ModeIndex(static_cast<int>(m));
      rows.mode_decay[m][p] = from == p ? matrices.phi(at, at) : rows.mode_decay[m][from];
      rows.mode_integral[m][p] =
          from == p ? matrices.integral(at, at) : rows.mode_integral[m][from];
    }
  }
  return rows;
}

namespace {

// v times m, for a row vector v.
std::vector<double> RowTimesMatrix(const std::vector<double>& v, const SquareMatrix& m) {
  std::vector<double> out(v.size(), 0.0);
  for (std::size_t k = 0; k < v.size(); ++k)
    if (v[k] != 0) AddMultiple(out, v[k], m.Row(static_cast<int>(k)));
  return out;
}

}  // namespace

const BlockRows& StepCache::Block(System& system, const BuildingRecord& building,
                                  const StateLayout& layout, int pollutants, double dt) {
  for (auto& [step, rows] : system.blocks)
    if (SameStep(step, dt)) return rows;
  constexpr std::size_t kBlockLengthsKept = 2;
  if (system.blocks.size() >= kBlockLengthsKept) system.blocks.erase(system.blocks.begin());
  BlockRows& out = system.blocks.emplace_back(dt, BlockRows{}).second;
  const ScenarioRecord& s = building.Scenario;
  const int size = layout.Size();
  const int n = layout.rooms;
  const int coupled = layout.Coupled();
  for (std::size_t i = 0; i < layout.layers.size(); ++i) {
    if (layout.layers[i].layer != 1 || layout.layers[i].room < 1) continue;
    bool on = false;
    for (int p = 0; p < pollutants; ++p)
      on = on || Bit(system.key.layers_on[p], static_cast<int>(i));
    if (on) out.releasing.push_back(static_cast<int>(i));
  }
  out.columns = size;
  out.per_step = 2 * n + 2 + static_cast<int>(out.releasing.size());
  const auto columns = static_cast<std::size_t>(size);
  out.steps.assign(static_cast<std::size_t>(kBlockSteps * out.per_step) * columns, Lanes{});
  out.block_end.assign(static_cast<std::size_t>(coupled) * columns, Lanes{});
  // The rows followed from step to step: the rooms', the sinks' and layers' weighted sums,
  // the releasing layers'.
  std::vector<std::vector<double>> start;
  for (int r = 0; r < n; ++r) {
    std::vector<double> e(columns, 0.0);
    e[static_cast<std::size_t>(r)] = 1;
    start.push_back(e);
  }
  std::vector<double> sinks(columns, 0.0);
  for (std::size_t i = 0; i < layout.sinks.size(); ++i)
    sinks[static_cast<std::size_t>(layout.SinkIndex(static_cast<int>(i)))] =
        s.Sinks[layout.sinks[i].room][layout.sinks[i].slot].Area;
  std::vector<double> layers(columns, 0.0);
  for (std::size_t i = 0; i < layout.layers.size(); ++i) {
    const SourceRecord& source = s.Sources[layout.layers[i].room][layout.layers[i].slot];
    layers[static_cast<std::size_t>(layout.LayerIndex(static_cast<int>(i)))] =
        static_cast<double>(source.Size) * source.UnitFactor;
  }
  start.push_back(sinks);
  start.push_back(layers);
  for (int i : out.releasing) {
    std::vector<double> e(columns, 0.0);
    e[static_cast<std::size_t>(layout.LayerIndex(i))] = 1;
    start.push_back(e);
  }
  for (int p = 0; p < pollutants; ++p) {
    const int from = system.same_as[p];
    if (from != p) {
      for (Lanes& lanes : out.steps) lanes[p] = lanes[from];
      for (Lanes& lanes : out.block_end) lanes[p] = lanes[from];
      continue;
    }
    const StepMatrices& m = Matrices(system, p, dt);
    std::vector<std::vector<double>> rows = start;
    for (int j = 1; j <= kBlockSteps; ++j) {
      Lanes* at = out.steps.data() + static_cast<std::size_t>((j - 1) * out.per_step) * columns;
      for (int r = 0; r < n; ++r) {
        // The integral over step j from the rows of E^(j-1), then the rows move on to E^j.
        const std::vector<double> integral =
            RowTimesMatrix(rows[static_cast<std::size_t>(r)], m.integral);
        for (std::size_t c = 0; c < columns; ++c)
          at[(static_cast<std::size_t>(n + r)) * columns + c][p] = static_cast<float>(integral[c]);
      }
      for (std::size_t k = 0; k < rows.size(); ++k) {
        rows[k] = RowTimesMatrix(rows[k], m.phi);
        const std::size_t row =
            k < static_cast<std::size_t>(n) ? k : k + static_cast<std::size_t>(n);
        for (std::size_t c = 0; c < columns; ++c)
          at[row * columns + c][p] = static_cast<float>(rows[k][c] - start[k][c]);
      }
    }
    SquareMatrix whole = m.phi;
    for (int doubled = 1; doubled < kBlockSteps; doubled *= 2) whole = whole * whole;
    for (int i = 0; i < coupled; ++i)
      for (int c = 0; c < size; ++c)
        out.block_end[static_cast<std::size_t>(i) * columns + static_cast<std::size_t>(c)][p] =
            static_cast<float>(whole(i, c) - (i == c ? 1.0 : 0.0));
  }
  // Only the columns some row reads are kept.
  std::vector<bool> read(columns, false);
  const auto mark = [&](const std::vector<Lanes>& rows) {
    for (std::size_t at = 0; at < rows.size(); ++at)
      for (float x : rows[at])
        if (x != 0) read[at % columns] = true;
  };
  mark(out.steps);
  mark(out.block_end);
  for (std::size_t c = 0; c < columns; ++c)
    if (read[c]) out.live.push_back(static_cast<int>(c));
  const auto compact = [&](std::vector<Lanes>& rows) {
    std::vector<Lanes> kept;
    kept.reserve(rows.size() / columns * out.live.size());
    for (std::size_t row = 0; row < rows.size() / columns; ++row)
      for (int c : out.live) kept.push_back(rows[row * columns + static_cast<std::size_t>(c)]);
    rows = std::move(kept);
  };
  compact(out.steps);
  compact(out.block_end);
  out.columns = static_cast<int>(out.live.size());
  return out;
}

}  // namespace quarn
