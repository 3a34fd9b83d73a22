#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/exact_step.h"
#include "model/hvac.h"
#include "model/records.h"
#include "model/working_flows.h"

namespace quarn {

// Over one step the building is one linear system per pollutant, dz/dt = M z, integrated
// exactly. z holds, in this order:
//   - the coupled states: the concentration of rooms 1..n, the loading (per unit area) of
//     every sink and the mass (per unit area) of every layer of a mass-transfer source, which
//     exchange with the air linearly (uptake ka C, release kd M; a layer k (C0 M / M0 - C));
//   - the polynomial inputs: blocks w0..wJ of one state per room, a chain w0' = w1, w1' = w2,
//     ... whose w0 enters its room, so that room r receives the sum over j of
//     w_j(0) s^j / j! at time s into the step: the outdoor air, the HVAC intake, constant and
//     polynomial sources, the cubic that stands for a Paint1 or R/T rate over the step, and
//     the held rates of the models that are not linear;
//   - the decaying inputs: one state per term of an R0k source, which decays at its own k
//     and enters its room (or, for a source in the HVAC system, the rooms it supplies).
// The same layout holds for every pollutant of a run, so that the pollutants of a step are
// worked out side by side.
struct StateLayout {
  struct SinkState {
    int room = 0;
    int slot = 0;
  };
  struct LayerState {
    int room = 0;  // 0: a source in the HVAC system, which sees no room air
    int slot = 0;
    int layer = 1;  // 1 or 2
  };
  struct ModeState {
    int room = 0;
    int slot = 0;
    int term = 0;  // 0, 1, 2: the pairs of rows (0, 1), (2, 3), (4, 5) of the parameters
  };
  int rooms = 0;
  std::vector<SinkState> sinks;
  std::vector<LayerState> layers;
  std::vector<ModeState> modes;
  int degree = 0;  // highest power of the polynomial inputs

  int SinkIndex(int i) const { return rooms + i; }
  int LayerIndex(int i) const { return rooms + static_cast<int>(sinks.size()) + i; }
  int Coupled() const { return rooms + static_cast<int>(sinks.size() + layers.size()); }
  int InputIndex(int power, int room) const { return Coupled() + power * rooms + room - 1; }
  int ModeIndex(int i) const { return Coupled() + (degree + 1) * rooms + i; }
  int Size() const { return ModeIndex(static_cast<int>(modes.size())); }
};

// The states of the run's building: every sink in use, both layers of every mass-transfer
// source (rooms and HVAC system), every R0k term, and the cubic inputs when some source
// needs them.
StateLayout MakeStateLayout(const BuildingRecord& building);

// The removal rate (1/h) of room r's air cleaner: it moves AirCleanerFlow room volumes an
// hour through a device that keeps AirCleanerEff percent.
double CleanerRate(const ScenarioRecord& scenario, int room);

// The largest layout a building can have, for the bounds of the masks below.
inline constexpr int kMostLayers = 2 * kRoomSlots * kMaxSources;

// What of a step's rate matrices changes during a run, bit for bit: the flows and loss
// coefficients in force, the HVAC mixing, which layers exchange and which showers run. The
// rooms, their volumes, neighbours, air cleaners and sinks do not change within a run.
struct SystemKey {
  PerRoom<float> loss{};    // LossCoefficient, 1/h
  PerRoom<float> supply{};  // HVAC supply flow into the room, m³/h
  RoomMatrix between{};     // total_between_rooms, m³/h from room i to room j
  RoomPollutant weight{};   // HVACMixing::Weight
  float per_emission = 0;   // HVACMixing::per_emission
  float unused = 0;         // keeps the masks below free of padding, for the comparison
  // Bit i of word i / 64 of a pollutant: layer i of the layout exchanges with the air.
  std::array<std::array<uint64_t, 2>, kMaxPollutants> layers_on{};
  uint64_t showers_on = 0;  // bit of source slot room * 4 + slot
};
static_assert(kMostLayers <= 128 && kRoomSlots * (kMaxSources + 1) <= 64);

SystemKey MakeSystemKey(const PerRoom<float>& loss, const WorkingFlows& flows,
                        const HVACMixing& mixing);
// Whether MakeSystemKey would give `key`'s flows, loss coefficients and mixing, as bits,
// without making a key.
bool SameSystemFlows(const SystemKey& key, const PerRoom<float>& loss, const WorkingFlows& flows,
                     const HVACMixing& mixing);

// The rate matrix M of pollutant p for the key, in the layout. concPerMass is the
// concentration of one mass unit (or particle) per m³ of the pollutant.
SquareMatrix AssembleRates(const BuildingRecord& building, const StateLayout& layout,
                           const SystemKey& key, int p, float conc_per_mass);

// The rooms' share of what enters the HVAC system's supply air per unit of emission rate:
// the supply flow of room r over its volume, times the supply concentration per emission.
float SupplyShare(const BuildingRecord& building, const SystemKey& key, int room);

// The step matrices of the pollutants side by side, as single floats: [row][column][pollutant].
// Rows: the coupled states (the change of each over the step, Phi less the identity), then
// the rooms again (their integrals over the step). Columns: every state of the layout. The decaying
// inputs need only their own diagonal, kept apart.
using Lanes = PerPollutant<float>;
struct StepRows {
  double step = 0;
  int columns = 0;
  std::vector<Lanes> ends;       // Coupled() rows
  std::vector<Lanes> integrals;  // rooms rows
  // Each mode's e^(-k h) and (1 - e^(-k h)) / k, in double: the decaying inputs are carried
  // from step to step, so their rounding would add up over a long run.
  std::vector<PerPollutant<double>> mode_decay;
  std::vector<PerPollutant<double>> mode_integral;
};

// A block is a run of steps of one length over which nothing changes the system and its
// inputs are constant or decay as modes: the state after j steps is E^j z0 for the state z0
// at the block's start, so that a step of the block needs only what its records and totals
// read, from z0 alone, and the whole state is worked out once at the block's end.
//
// For each step j = 1..kBlockSteps, rows over every state: the rooms' change since z0 (E^j
// less the identity), the rooms' integrals over step j (E^(j-1) times the step's Integral),
// the change of the mass the sinks hold (their loadings' rows weighted by their areas), the
// change of what the layers hold (weighted by their sources' areas and unit factors), and the
// change of each layer 1 that releases in some pollutant. Then the change of every coupled
// state over the whole block, E^kBlockSteps less the identity.
inline constexpr int kBlockSteps = 8;  // a power of 2: the block's end is worked out by squaring
static_assert((kBlockSteps & (kBlockSteps - 1)) == 0);
struct BlockRows {
  // The states some row reads: a layer 1 that does not release, for one, stays as it is and
  // reaches nothing. The rows below hold these columns only.
  std::vector<int> live;
  int columns = 0;               // live.size()
  int per_step = 0;              // rows of one step
  std::vector<int> releasing;    // the layers 1 with a row, as indices of the layout
  std::vector<Lanes> steps;      // [step j - 1][row][column]
  std::vector<Lanes> block_end;  // [coupled state][column]
  int RoomChange(int room) const { return room - 1; }
  int RoomIntegral(int rooms, int room) const { return rooms + room - 1; }
  int SinkTotal(int rooms) const { return 2 * rooms; }
  int LayerTotal(int rooms) const { return 2 * rooms + 1; }
  int Releasing(int rooms, int k) const { return 2 * rooms + 2 + k; }
  const Lanes* Row(int step, int row) const {
    return steps.data() + (static_cast<std::size_t>(step - 1) * static_cast<std::size_t>(per_step) +
                           static_cast<std::size_t>(row)) *
                              static_cast<std::size_t>(columns);
  }
};

// The systems seen so far in a run, each with its rate matrices and the step matrices of
// the step lengths it was stepped with: a flow schedule that repeats never works a system out
// twice. A few dozen systems are kept; the one least recently used makes room.
class StepCache {
 public:
  static constexpr std::size_t kNoSystem = ~std::size_t{0};
  struct System {
    SystemKey key;
    std::array<SquareMatrix, kMaxPollutants> rates;
    std::array<int, kMaxPollutants> same_as{};  // the first pollutant with the same rates
    std::vector<StepRows> steps;
    std::vector<std::pair<double, BlockRows>> blocks;  // by step length
    uint64_t last_used = 0;
    // The system found right after this one the last time it ended, in systems_: flows that
    // follow a daily schedule meet their systems again in the same order.
    std::size_t successor = kNoSystem;
  };

  explicit StepCache(std::size_t capacity = 48) : capacity_(capacity) {}
  // The system of `key`, assembled when it was not kept.
  System& Find(const BuildingRecord& building, const StateLayout& layout, const SystemKey& key,
               int pollutants, const PerPollutant<float>& conc_per_mass);
  // The step matrices of `system` for the step dt, worked out when not kept.
  const StepRows& Rows(System& system, const StateLayout& layout, int pollutants, double dt);
  // The block rows of `system` for the step dt, worked out when not kept.
  const BlockRows& Block(System& system, const BuildingRecord& building, const StateLayout& layout,
                         int pollutants, double dt);
  std::size_t Size() const { return systems_.size(); }
  // The step matrices of dt of the system that followed `system` last time, where they were
  // worked out: what the run will most likely read next, when the system changes.
  const StepRows* SuccessorRows(const System& system, double dt) const;

 private:
  // The step matrices of one pollutant of the system last asked for, which its rows and its
  // block rows are both made from.
  const StepMatrices& Matrices(const System& system, int p, double dt);
  struct Worked {
    const System* system = nullptr;
    double step = 0;
    uint64_t made = 0;  // when that system was found: a system made anew at the same place differs
    StepMatrices matrices;
  };
  std::array<Worked, kMaxPollutants> worked_;

  std::size_t capacity_;
  uint64_t clock_ = 0;
  std::vector<System> systems_;
  std::size_t last_ = 0;  // the system found last: most steps have the system of the one before
};

}  // namespace quarn
