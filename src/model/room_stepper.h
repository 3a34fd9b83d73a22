#pragma once

#include <memory>
#include <vector>

#include "model/hvac.h"
#include "model/mass_balance.h"
#include "model/records.h"
#include "model/source_state.h"
#include "model/step_inputs.h"
#include "model/step_system.h"
#include "model/working_flows.h"

namespace quarn {

// The room update of a concentration run, one exact step at a time. The rooms, the sinks,
// the layers of the mass-transfer sources and the decaying and polynomial inputs of the step
// form one linear system per pollutant (step_system.h), integrated exactly; only the rates of
// the models that are not linear are held at their value of the step's start.
//
// A step ends early where an input would otherwise change within it: where a Paint1 or R/T
// rate no longer follows a cubic, where a held rate would carry the air past its source's
// equilibrium, where an HVAC filter reaches its capacity, and where the air passes the
// equilibrium of a releasing layer (layer 1 only releases).
class RoomStepper {
 public:
  RoomStepper(const BuildingRecord& building, const PerPollutant<float>& conc_per_mass,
              std::size_t systems_kept = 48);
  ~RoomStepper();

  struct Step {
    double start = 0;
    double length = 0;
    // A step of the run's grid, whose matrices are worth keeping; a step cut short at a switch
    // or an event is worked out for its starting state alone.
    bool regular = true;
    float step_size = 0.1F;          // the scenario's step, for the switch tolerance
    float change_threshold = 0.02F;  // the relative change that makes a record due
    // Some input may change at the step's start (a switch, a point of a history, the first
    // step): the sources are looked up again.
    bool after_change = true;
    // When the next input changes (a switch, a point of a history): a block of steps is
    // begun only where it would run long enough to pay for its rows.
    double next_change = 0;
  };
  struct Outcome {
    StepStatus status = StepStatus::Ok;
    double taken = 0;  // the length of the step actually taken
    // The pollutants whose HVAC filter reached its capacity at the step's end.
    PerPollutant<bool> filled{};
  };

  // Takes one step from the arrays' conc, filling new_conc, room_conc, step_integral and the
  // states; adds what was emitted to TotalEmitted, the sinks' totals to SinkMass and 2
  // and the air cleaners' catch to AirCleanerCollected; sets outputDue when some
  // concentration moved by more than the threshold. hvac.filter_mass is read for the filter's
  // capacity; a filter found full at the step's end is set to its capacity. Nothing is
  // changed when a loss coefficient is negative.
  Outcome Advance(BuildingRecord& building, const WorkingFlows& flows, const RemovalTerms& terms,
                  const HVACMixing& mixing, HVACState& hvac, const Step& step,
                  SourceStates& sources, SinkMasses& sinks, RoomArrays& arrays, bool& output_due);

  // How many distinct systems the run has worked out so far.
  std::size_t SystemsKept() const { return cache_.Size(); }

 private:
  struct Solution;
  struct Event;
  void Solve(BuildingRecord& building, const WorkingFlows& flows, const RemovalTerms& terms,
             const HVACMixing& mixing, double t0, double dt, bool regular,
             const SourceStates& sources, const SinkMasses& sinks, const RoomArrays& arrays,
             Solution& sol);
  void StartState(const Solution& solution, int p, const SourceStates& sources,
                  const SinkMasses& sinks, const RoomArrays& arrays, std::vector<double>& z) const;
  double FirstEvent(const BuildingRecord& building, const HVACMixing& mixing, const HVACState& hvac,
                    const Solution& solution, const SourceStates& sources, const SinkMasses& sinks,
                    const RoomArrays& arrays, std::vector<Event>& found);
  void Commit(BuildingRecord& building, const Solution& solution, const Step& step,
              SourceStates& sources, SinkMasses& sinks, RoomArrays& arrays, bool& output_due);
  // The rooms' share of a step's commit: concentrations, integrals, air cleaners, showers.
  void CommitRooms(BuildingRecord& building, const std::vector<PerPollutant<double>>& ends,
                   const std::vector<PerPollutant<double>>& integrals, uint64_t showers_on,
                   double dt, const Step& step, RoomArrays& arrays, PerPollutant<double>& emitted,
                   bool& output_due);
  PerPollutant<double> ModesEmitted(const std::vector<PerPollutant<double>>& integrals) const;

  // Blocks of steps (step_system.h).
  struct Block;
  bool ContinuesBlock(const BuildingRecord& building, const WorkingFlows& flows,
                      const RemovalTerms& terms, const HVACMixing& mixing, const Step& step) const;
  bool BlockStep(BuildingRecord& building, const HVACMixing& mixing, const HVACState& hvac,
                 const Step& step, SourceStates& sources, RoomArrays& arrays, bool& output_due);
  void StartBlock(BuildingRecord& building, const Solution& solution, bool chained);
  void BlockValues(const BuildingRecord& building, const BlockRows& rows, int j);
  void ChainValues(const BuildingRecord& building, const StepRows& single);
  bool BlockStepStaysWhole(const BuildingRecord& building, const HVACMixing& mixing,
                           const HVACState& hvac) const;
  void ChainedStates(const BuildingRecord& building, const std::vector<PerPollutant<double>>& ends,
                     int p);
  void CommitChainedStates(BuildingRecord& building, PerPollutant<double>& emitted);
  void SetModeStates();
  void SetLayerChecks(const BuildingRecord& building);
  void BeginBlockAt(const BuildingRecord& building, const BlockRows& rows);
  void NextBlock(const BuildingRecord& building, const BlockRows& rows);
  void EndBlock(const BuildingRecord& building, SourceStates& sources, SinkMasses& sinks);

  StateLayout layout_;
  PerPollutant<float> conc_per_mass_;
  StepSources step_sources_;
  StepCache cache_;
  std::vector<int> releasing_layers_;  // the layers 1 of sources in rooms
  // Layers (layer * 8 + pollutant) that turn at the start or the end of the step in hand.
  std::vector<int> early_turns_;
  std::vector<int> late_turns_;
  // Kept from step to step, so that a step allocates nothing.
  std::unique_ptr<Solution> solution_;
  std::vector<double> start_;
  std::vector<Lanes> lanes_;
  std::vector<PerPollutant<double>> block_values_;  // the rows of a block's step
  std::vector<PerPollutant<double>> released_;      // each releasing layer's change in it
  // A layer 1 whose equilibrium the air may pass within a block, its pollutants side by side:
  // a lane it does not check has c0 0, m0 1 and a zero in `checked`. sign is -1 where the
  // layer releases (the air passes by rising above its equilibrium), 1 where it takes up.
  struct LayerCheck {
    std::size_t k;      // in releasing_layers_
    std::size_t index;  // of its state
    std::size_t room;   // of its room's state
    PerPollutant<double> c0;
    PerPollutant<double> m0;
    PerPollutant<double> checked;  // 1 or 0
    PerPollutant<double> sign;
  };
  std::vector<LayerCheck> layer_checks_;  // of the block in hand
  PerPollutant<double> in_run_{};         // 1 in the lanes of the run's pollutants, else 0
  PerRoom<double> cleaner_rates_{};       // CleanerRate of each room
  PerPollutant<double> mass_divisor_{};   // conc_per_mass_, and 1 past the run's pollutants
  std::vector<double> mode_volumes_;      // the volume each decaying input's mass is in
  std::unique_ptr<Block> block_;
};

}  // namespace quarn
