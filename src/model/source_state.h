#pragma once

#include <array>

#include "model/records.h"

namespace quarn {

// The running values of one source during a concentration run: the masses left in its
// layers, the remaining amounts of a spill, how long it has been on. The emission models
// read the user's parameters from the SourceRecord (never written) and keep everything that
// changes from step to step here, so that a run leaves the scenario as the user entered it
// and a second run starts from the same inputs as the first.
//
// Indices as in the record: pollutants 0..7.
struct SourceState {
  SourceState() = default;

  // Starts from the values the record holds; the run set-up then applies its start values
  // (layer masses from the parameters, spill moles from the spilled mass) to this state.
  explicit SourceState(const SourceRecord& source)
      : source_age(source.SourceAge),
        spill_area(source.SpillArea),
        total_moles_left(source.TotalMoles),
        initial_total_moles(source.SourceValue),
        initial_moles(source.ParamPerMole),
        moles_left(MolesLeft(source)),
        liquid_mass(LiquidMass(source)) {
    for (int p = 0; p < kMaxPollutants; ++p) {
      initial_mass[p] = source.Params[3][p];
      reservoir_mass[p] = source.Params[7][p];
      layer2_mass[p] = source.Params[8][p];
    }
  }

  // Per pollutant, the mass left in what the source emits from: layer 1 of the
  // mass-transfer and Paint2 models (0 and 3), the mixture (pollutant 0) and each of its
  // components in model 7, and the liquid as the spill models 8 and 9 account for it
  // (model 8 takes each component's evaporation off it, model 9 asks only whether any is
  // left).
  PerPollutant<float> reservoir_mass{};
  // The mass the reservoir starts from: parameter row 3 when the run starts, then the
  // initial mass (row 2) from every switch-on.
  PerPollutant<float> initial_mass{};
  // Layer 2 of the mass-transfer model (model 0, and model 7's mixture).
  PerPollutant<float> layer2_mass{};

  float source_age = 0;  // h since the current on-period began; 0 while off
  bool on = false;       // the source was on at the last schedule look-up

  // The start (h) of the on-period whose switch-on reset has been done, so that the reset
  // happens once per switch-on and not again for the next pollutant of the same step.
  bool switch_on_done = false;
  double switch_on_time = 0;

  // The spills (models 8 to 10).
  float spill_area = 0;                 // m², the evaporating area
  float total_moles_left = 0;           // model 10: moles of the whole liquid left
  float initial_total_moles = 0;        // model 10: moles of the whole liquid at the start
  PerPollutant<float> initial_moles{};  // moles of each pollutant at the start
  PerPollutant<float> moles_left{};     // moles of each pollutant left
  PerPollutant<float> liquid_mass{};    // mass of each pollutant left, less what was emitted

  // The stretch of run time around the last look-up in which the source's schedule does not
  // change: from stretch_from to stretch_until it is on (since stretch_began, when its on-period
  // began) or off. Most steps fall within the stretch of the step before.
  bool stretch_known = false;
  bool stretch_on = false;
  double stretch_from = 0;
  double stretch_until = 0;
  double stretch_began = 0;
};

// One state per source slot, indexed [room][slot] like Scenario.Sources (room 0 the HVAC
// system, slots 1..3).
using SourceStates = std::array<std::array<SourceState, kMaxSources + 1>, kRoomSlots>;

inline SourceStates MakeSourceStates(const ScenarioRecord& scenario) {
  SourceStates states;
  for (int r = 0; r < kRoomSlots; ++r)
    for (int k = 0; k <= kMaxSources; ++k) states[r][k] = SourceState(scenario.Sources[r][k]);
  return states;
}

}  // namespace quarn
