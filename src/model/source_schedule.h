#pragma once

#include "model/records.h"
#include "model/source_state.h"

namespace quarn {

// When a source is on, and what the sources of a room emit in one step.
//
// A source has up to 5 on/off cycles (TimeOn(i) to TimeOff(i), h) and a repeat code: "N" the
// cycles happen once, "H", "D", "W", "M" they repeat every hour, day, week or 30 days, "O"
// the whole pattern repeats with the length of its last off time (a last off time of 0 means
// no repeat). A cycle is on from its on time up to, not including, its off time.

// The repeat period in hours of a repeat code (compared in upper case), 0 for no repeat. For
// "O" it is the last off time, which can be negative: the pattern is then shifted by
// Int(t / period) × period like any other.
double RepeatPeriod(const SourceRecord& source);

// True when the source is on at run time t (h); a switch time within a thousandth of stepSize
// after t counts as reached. Sets state.source_age (h since this
// on-period began, 0 when off) and state.on. On the first look-up of a new on-period whose
// age is below the scenario's stepSize the running values are reset
// (ResetSourceParameters), once for that on-period however often it is asked again.
bool SourceScheduleTime(float t, const SourceRecord& source, SourceState& state, float step_size,
                        int num_pollutants);

// Resets the running values of models 0, 3, 7, 8 and 9 at a switch-on: the layer and
// component masses start at the initial masses, a spill at its full area and moles.
void ResetSourceParameters(const SourceRecord& source, SourceState& state, int num_pollutants);

// What the emission models need of the step: the run time and the step in use (which may
// be larger than the scenario's StepSize), and the room concentrations (room, pollutant)
// the run keeps for the models: room_conc for the mass-transfer and spill models, the
// previous step's previous_room_conc for the shower model.
struct EmissionStep {
  float time = 0;
  float step = 0;
  const RoomPollutant& room_conc;
  const RoomPollutant& previous_room_conc;
  // Concentration, in the scenario's unit, of one mass unit (or particle) per m³ of each
  // pollutant: 24.5 / MW for ppm, 1E-06 for particles per cm³. None means 1.
  const PerPollutant<float>* conc_per_mass = nullptr;
};

// The emission of pollutant p of every source of the room (slots 1 to
// scenario.NumSources[room]), as a rate held over the step; adds the mass emitted
// during the step (rate × dt, in the scenario's mass unit) to totalEmitted[p]:
// - a source of a closed-form model (R0k, Paint1, R/T, Polyfit) gives the mean of its rate
//   over the step, which counts the parts of the step in which it is on, switches within
//   the step included; its first step emits from its switch-on;
// - any other source gives its model's rate for the state at step.time, when it is on then.
//
// - room 1..13: the rate is a concentration rate, emission × conc_per_mass / volume;
//   room 0 is the HVAC system: emission × conc_per_mass (concentration × m³ per hour), and the
//   volume is not used, since the HVAC module divides by its air flow.
// - Pollutant 0's call decides which sources are on in the step; the later pollutants' calls
//   of the same step keep that.
// - The rate is the sum over the sources that are on, 0 when none is.
// - states[room][slot] holds the running values of each source and is advanced by one step;
//   the scenario (its sources' parameters, UnitFactor, the pollutants, StepSize) is only read.
// - Call it for the pollutants of a room in order 0, 1, 2, ...: the components of models 7,
//   8 and 10 use what pollutant 0's call left for the same step.
// - totalEmitted is the run's per-pollutant emitted-mass total (its results' TotalEmitted).
float SourceEmissionRate(const ScenarioRecord& scenario, SourceStates& states, int room,
                         float volume, const EmissionStep& step, int pollutant,
                         PerPollutant<float>& total_emitted);

// The schedule of a source over a step that no switch splits, looked up at its start t0 (a
// switch within a thousandth of stepSize after t0 counts as reached): whether it is on and
// when its on-period began. Sets state.source_age and state.on and resets the running values at
// a switch-on, as SourceScheduleTime does.
struct StepSchedule {
  bool on = false;
  double began = 0;
};
StepSchedule ScheduleForStep(double t0, const SourceRecord& source, SourceState& state,
                             float step_size, int num_pollutants);

// The emission of pollutant p of a source whose model is not linear in the air (Paint2, VBX,
// the spills), in the scenario's mass unit per hour, from its state at the step's start; the
// state is advanced over the step, and a spill gives no more than its liquid holds. Call it
// for the pollutants of a source in order 0, 1, 2, ...
double HeldEmission(const ScenarioRecord& scenario, const SourceRecord& source, SourceState& state,
                    int room, int pollutant, const EmissionStep& step);

}  // namespace quarn
