#include "model/step_system.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/room_lookup.h"

namespace quarn {
namespace {

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
  key.supply = flows.BaseHVACSupply;
  key.between = flows.TotalBetweenRooms;
  key.weight = mixing.Weight;
  key.per_emission = mixing.PerEmission;
  return key;
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
  for (std::size_t i = 0; i < systems_.size(); ++i) {
    if (matches(systems_[i])) {
      systems_[i].last_used = clock_;
      last_ = i;
      return systems_[i];
    }
  }
  if (systems_.size() >= capacity_) {
    const auto oldest = std::min_element(
        systems_.begin(), systems_.end(),
        [](const System& a, const System& b) { return a.last_used < b.last_used; });
    systems_.erase(oldest);
  }
  last_ = systems_.size();
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

const StepRows& StepCache::Rows(System& system, const StateLayout& layout, int pollutants,
                                double dt) {
  for (const StepRows& rows : system.steps)
    if (std::memcmp(&rows.step, &dt, sizeof dt) == 0) return rows;
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
    if (system.same_as[p] == p) matrices = ComputeStepMatrices(system.rates[p], dt);
    // Pollutants sharing rates come right after their first, or take its lanes.
    const int from = system.same_as[p];
    for (int i = 0; i < coupled; ++i)
      for (int j = 0; j < size; ++j) {
        const std::size_t at = static_cast<std::size_t>(i) * cells + static_cast<std::size_t>(j);
        // The ends are kept as the change over the step (Phi less the identity): a step
        // changes the states little, and rounding the change to a Single costs far less of
        // each state, and of the mass the rooms and sinks share, than rounding Phi would.
        const double change = matrices.Phi(i, j) - (i == j ? 1.0 : 0.0);
        rows.ends[at][p] = from == p ? static_cast<float>(change) : rows.ends[at][from];
        if (i < layout.rooms)
          rows.integrals[at][p] =
              from == p ? static_cast<float>(matrices.Integral(i, j)) : rows.integrals[at][from];
      }
    for (std::size_t m = 0; m < layout.modes.size(); ++m) {
      const int at = layout.ModeIndex(static_cast<int>(m));
      rows.mode_decay[m][p] = from == p ? matrices.Phi(at, at) : rows.mode_decay[m][from];
      rows.mode_integral[m][p] =
          from == p ? matrices.Integral(at, at) : rows.mode_integral[m][from];
    }
  }
  return rows;
}

}  // namespace quarn
