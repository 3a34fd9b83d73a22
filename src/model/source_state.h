#pragma once

#include <array>

#include "model/records.h"

namespace quarn {

// What a source whose emission does not change gives in every step, per pollutant: kept
// once worked out for the room volume and the concentration per mass of the run.
struct SteadyEmission {
  bool Known = false;
  float Volume = 0;
  PerPollutant<bool> Has{};
  PerPollutant<float> ConcPerMass{};
  PerPollutant<float> Rate{};   // in the scenario's mass unit per hour
  PerPollutant<float> Share{};  // of the room's concentration rate
};

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
        TotalMoles(source.TotalMoles),
        SourceValue(source.SourceValue),
        ParamPerMole(source.ParamPerMole),
        SourceWork1(source.SourceWork1),
        ModelWork1(source.ModelWork1),
        ModelWork2(source.ModelWork2),
        ModelWork3(source.ModelWork3),
        ModelWork4(source.ModelWork4),
        ModelWork5(source.ModelWork5),
        ModelValue1(source.ModelValue1),
        ModelValue2(source.ModelValue2),
        CurrentTime(source.CurrentTime) {
    for (int p = 0; p < kMaxPollutants; ++p) {
      Param3[p] = source.Params[3][p];
      Param7[p] = source.Params[7][p];
      Param8[p] = source.Params[8][p];
    }
  }

  // Parameter rows that the models maintain, per pollutant. Row 3 is overwritten with the
  // initial mass at every switch-on; row 7 is the mass left in layer 1 (models 0 and 3), in
  // a mixture component (model 7) or in the liquid (models 8 and 9); row 8 the mass left in
  // layer 2 of model 0.
  PerPollutant<float> Param3{};
  PerPollutant<float> Param7{};
  PerPollutant<float> Param8{};

  float SourceAge = 0;  // h since the current on-period began; 0 while off
  bool On = false;      // the source was on at the last schedule look-up

  // The start (h) of the on-period whose switch-on reset has been done, so that the reset
  // happens once per switch-on and not again for the next pollutant of the same step.
  bool SwitchOnDone = false;
  double SwitchOnTime = 0;

  float SpillArea = 0;                 // m², the evaporating area of a spill
  float TotalMoles = 0;                // model 10: total moles left in the liquid
  float SourceValue = 0;               // model 10: total moles at the start
  PerPollutant<float> ParamPerMole{};  // spills: moles at the start
  PerPollutant<float> SourceWork1{};   // spills: moles left
  PerPollutant<float> ModelWork1{};    // spills: mass left
  PerPollutant<float> ModelWork2{};
  PerPollutant<float> ModelWork3{};
  PerPollutant<float> ModelWork4{};
  PerPollutant<float> ModelWork5{};
  float ModelValue1 = 0;
  float ModelValue2 = 0;
  float CurrentTime = 0;
  SteadyEmission Steady;
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
