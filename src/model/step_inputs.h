#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/records.h"
#include "model/source_state.h"
#include "model/step_system.h"

namespace quarn {

// What enters the rooms over one step besides what they exchange, in the form the exact step
// takes it (step_system.h).
struct StepInputs {
  // The polynomial inputs of rooms 1..n: room r receives the sum over j of
  // polynomial[j][r][p] s^j (concentration per hour) at time s into the step.
  std::array<RoomPollutant, 4> polynomial{};
  // The decaying inputs at the step's start, one per mode of the layout (concentration per
  // hour, or for a source in the HVAC system concentration × m³ per hour).
  std::vector<PerPollutant<double>> modes;
  std::array<std::array<uint64_t, 2>, kMaxPollutants> layers_on{};
  uint64_t showers_on = 0;
  // What the polynomial and held inputs emit over the step, in the scenario's mass unit; what
  // the layers, modes and showers emit follows from the step's solution.
  PerPollutant<double> emitted{};
  // Nothing but constants and modes: the next steps of the grid have the same inputs until
  // something changes (no cubic, no polynomial in the run time, no held rate).
  bool steady = true;
};

// The sources of a run as the exact step sees them: which are on in the step, the decaying
// inputs carried from step to step, and which layer 1 of a mass-transfer source releases.
class StepSources {
 public:
  StepSources(const BuildingRecord& building, const StateLayout& layout,
              const PerPollutant<float>& conc_per_mass);

  // Looks every source up at the start t0 of a step that no switch splits, resetting a source
  // that switches on.
  void Schedule(double t0, float step_size, const RoomPollutant& conc, SourceStates& states);
  // The longest step from t0, at most dt, over which the cubic of every Paint1 and R/T source
  // follows its rate and no held rate carries the air past its source's equilibrium.
  double Limit(double t0, double dt, const RoomPollutant& conc, const SourceStates& states) const;
  // The inputs of the step [t0, t0 + dt]. share[r] is what reaches room r of a unit of
  // emission into the HVAC system (SupplyShare). The held rates are worked out on copies of
  // the states, which Commit keeps.
  StepInputs Inputs(double t0, double dt, const RoomPollutant& conc, const PerRoom<float>& share,
                    const SourceStates& states);
  // The step was taken as Inputs last gave it: the held sources keep their advanced states
  // and the decaying inputs carry on from their values at its end.
  void Commit(SourceStates& states, const std::vector<PerPollutant<double>>& modes_at_end);

  // Whether layer i of the layout (a layer 1) releases for pollutant p; it changes only where
  // the air passes the layer's equilibrium.
  bool Releasing(int layer, int p) const { return releasing_[Index(layer, p)]; }
  void Flip(int layer, int p) { releasing_[Index(layer, p)] = !releasing_[Index(layer, p)]; }
  // Whether the source of layer or mode slots (room, slot) is on in the step in hand.
  bool On(int room, int slot) const { return on_[room][slot]; }

 private:
  static std::size_t Index(int layer, int p) {
    return static_cast<std::size_t>(layer) * kMaxPollutants + static_cast<std::size_t>(p);
  }
  void AddHeld(double dt, int room, int slot, const RoomPollutant& conc,
               const PerRoom<float>& share, SourceState& state, StepInputs& in) const;
  // The part of Limit that a held source of room r, slot k sets.
  double HeldStepLimit(double t0, double limit, int r, int k, const RoomPollutant& conc,
                       const SourceState& state) const;

  const BuildingRecord& building_;
  const StateLayout& layout_;
  PerPollutant<float> conc_per_mass_;
  int pollutants_;
  std::array<std::array<bool, kMaxSources + 1>, kRoomSlots> on_{};
  std::array<std::array<double, kMaxSources + 1>, kRoomSlots> began_{};
  std::vector<bool> releasing_;
  // The decaying inputs carried from the last step, with the on-period they belong to.
  std::vector<PerPollutant<double>> carried_;
  std::vector<double> carried_began_;
  std::vector<bool> carried_valid_;
  // The sources whose rates are held over a step, with their states advanced by Inputs.
  struct Held {
    int room;
    int slot;
    SourceState state;
  };
  std::vector<Held> held_;
};

}  // namespace quarn
