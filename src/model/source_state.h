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
      : SourceAge(source.SourceAge),
        SpillArea(source.SpillArea),
        TotalMolesLeft(source.TotalMoles),
        InitialTotalMoles(source.SourceValue),
        InitialMoles(source.ParamPerMole),
        MolesLeft(quarn::MolesLeft(source)),
        LiquidMass(quarn::LiquidMass(source)) {
    for (int p = 0; p < kMaxPollutants; ++p) {
      InitialMass[p] = source.Params[3][p];
      ReservoirMass[p] = source.Params[7][p];
      Layer2Mass[p] = source.Params[8][p];
    }
  }

  // Per pollutant, the mass left in what the source emits from: layer 1 of the
  // mass-transfer and Paint2 models (0 and 3), the mixture (pollutant 0) and each of its
  // components in model 7, and the liquid as the spill models 8 and 9 account for it
  // (model 8 takes each component's evaporation off it, model 9 asks only whether any is
  // left).
  PerPollutant<float> ReservoirMass{};
  // The mass the reservoir starts from: parameter row 3 when the run starts, then the
  // initial mass (row 2) from every switch-on.
  PerPollutant<float> InitialMass{};
  // Layer 2 of the mass-transfer model (model 0, and model 7's mixture).
  PerPollutant<float> Layer2Mass{};

  float SourceAge = 0;  // h since the current on-period began; 0 while off
  bool On = false;      // the source was on at the last schedule look-up

  // The start (h) of the on-period whose switch-on reset has been done, so that the reset
  // happens once per switch-on and not again for the next pollutant of the same step.
  bool SwitchOnDone = false;
  double SwitchOnTime = 0;

  // The spills (models 8 to 10).
  float SpillArea = 0;                 // m², the evaporating area
  float TotalMolesLeft = 0;            // model 10: moles of the whole liquid left
  float InitialTotalMoles = 0;         // model 10: moles of the whole liquid at the start
  PerPollutant<float> InitialMoles{};  // moles of each pollutant at the start
  PerPollutant<float> MolesLeft{};     // moles of each pollutant left
  PerPollutant<float> LiquidMass{};    // mass of each pollutant left, less what was emitted

  // The stretch of run time around the last look-up in which the source's schedule does not
  // change: from StretchFrom to StretchUntil it is on (since StretchBegan, when its on-period
  // began) or off. Most steps fall within the stretch of the step before.
  bool StretchKnown = false;
  bool StretchOn = false;
  double StretchFrom = 0;
  double StretchUntil = 0;
  double StretchBegan = 0;
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
