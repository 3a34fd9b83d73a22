#pragma once

#include <array>
#include <vector>

#include "model/records.h"
#include "model/source_state.h"
#include "model/working_flows.h"

namespace quarn {

// The physics of one time step of the concentration run. Every room 1..NumRooms is a
// well-mixed zone; over a step its concentration follows dC/dt = S - L C with S the sources,
// the outdoor air and the inflow from other rooms and the HVAC supply (concentration per
// hour), and L the total outflow over the volume, so that C(t + dt) = C e^(-L dt) +
// S / L (1 - e^(-L dt)), exact for constant S. Sinks and in-room air cleaners enter S
// explicitly with the concentration at the start of the step.
//
// Everything the run changes from step to step lives in the structures below, owned by the
// run; the scenario's entered fields are only read. The scenario's result fields (the
// totals, AirCleanerCollected, PeakConc, ...) are written.

// What a sink holds per unit area during the run, (room, sink slot, pollutant). Sinks start
// every run empty.
using SinkMasses = std::array<std::array<PerPollutant<float>, kMaxSinks + 1>, kRoomSlots>;

// The outdoor term and loss coefficient of each room for the step in hand.
struct RemovalTerms {
  PerPollutant<float> CurrentOutdoorConc{};
  RoomPollutant RoomPollutantWork{};  // outdoor source term, concentration per hour
  PerRoom<float> LossCoefficient{};   // 1/h
  // What the terms were derived from, bit for bit: they change only at a switch, so a step
  // whose flows, volumes and outdoor air are those of the step before keeps them.
  struct Inputs {
    int Rooms = -1;
    PerPollutant<float> OutdoorConc{};
    PerPollutant<float> Penetration{};
    PerRoom<float> Volume{};
    PerRoom<float> Out{};     // RoomWorkA
    PerRoom<float> In{};      // RoomWorkB
    PerRoom<float> Return{};  // BaseHVACReturn
    RoomMatrix Between{};     // RoomWorkMatrix
  } MadeFrom;
};

// What a step derives from the flows in force and keeps for the next: they change only at a
// switch, so the rooms that send air into each room and each room's decay over the step,
// e^(-L dt), are derived again only when the flows, the connections or the step change.
struct StepCache {
  RoomMatrix Flows{};
  std::array<std::array<int16_t, kRoomSlots>, kRoomSlots> Neighbors{};
  bool HasUpstream = false;
  PerRoom<int> UpstreamCount{};
  std::array<std::array<int, kMaxRooms>, kRoomSlots> Upstream{};  // ascending
  PerRoom<bool> HasDecay{};
  PerRoom<float> Loss{};
  PerRoom<float> Step{};
  PerRoom<float> Decay{};
};

// The concentration arrays of one run. Room 0 is outdoors.
struct RoomArrays {
  RoomPollutant Conc{};              // at the start of the step
  RoomPollutant NewConc{};           // at its end
  RoomPollutant RoomMass{};          // airborne mass, concentration × volume
  RoomPollutant RoomConc{};          // what the emission models read as the room concentration
  RoomPollutant PreviousRoomConc{};  // the previous step's, for the shower model
  PerRoom<float> RoomPeak{};         // highest concentration of any pollutant in each room
  PerRoom<int> RoomSourceCounts{};
  PerRoom<float> RoomVolumes{};
  StepCache Cache;
};

// Working HVAC flows of the step from the entered ones and the HVAC-history fraction f.
// With HVACHistoryOutdoorOnly the history scales only the outdoor air (ScaleOutdoorHVACFlows).
// A fraction of 0 switches the supply air off (supplyConc := 0).
void RoomFlowTerms(const BuildingRecord& building, int roomCount, float f, WorkingFlows& flows,
                   PerPollutant<float>& supplyConc);
void ScaleOutdoorHVACFlows(const BuildingRecord& building, int roomCount, float f,
                           WorkingFlows& flows);

// The outdoor concentration in force at time t: a step function of the outdoor history (no
// interpolation), or history point 1 throughout when ConstantOutdoorConc is "Y".
void StepBookkeeping(float t, const ScenarioRecord& scenario, PerPollutant<float>& outdoorConc);

// Outdoor source term and loss coefficient of rooms 1..roomCount from the flows in force.
void SetRemovalTerms(const BuildingRecord& building, int roomCount, const WorkingFlows& flows,
                     RemovalTerms& terms);

// Inflow to room r from the HVAC supply and the connected rooms, concentration per hour.
float RoomInflowRate(const BuildingRecord& building, int r, const WorkingFlows& flows,
                     const RoomMatrix& f, const RoomPollutant& c, int p,
                     const PerPollutant<float>& supplyConc);

// Exchange of pollutant p between the air at concentration c and a sink whose loading per
// unit area is `mass`: adsorption ka c (never negative) less desorption kd m. Advances the
// loading by dt (never below 0) and returns the net uptake of the whole sink, mass per hour.
float SinkExchange(const SinkRecord& sink, float& mass, float c, int p, float dt);

// a × b × c / 100: the removal rate of an air cleaner moving b room volumes an hour at c %.
float PercentOfProduct(float a, float b, float c);

// Sum of elements 1..count over the total room volume (an air-change rate from flows);
// 0 for count < 1 or no volume.
float ScaledArraySum(const PerRoom<float>& values, int count, float totalRoomVolume);

// Start of a run: clears the result totals, the exposure results and the air-cleaner masses,
// empties the sinks, starts the HVAC flows from the entered ones and sets the sources'
// running values to their start.
void ResetAccumulators(BuildingRecord& building, WorkingFlows& flows, SourceStates& sources,
                       SinkMasses& sinks);

// Total room volume, and the layer masses of every room source at their start.
void SetupRoomMassTerms(BuildingRecord& building, SourceStates& sources);

// The run arrays of rooms 1..roomCount from the initial concentrations.
void LoadRoomFlowArrays(const BuildingRecord& building, int roomCount, RoomArrays& arrays,
                        PerPollutant<float>& supplyConc);

// The largest step (h) that keeps the explicit air-cleaner and sink terms from overshooting:
// 0.5 over the fastest of them, or 0 when there is none.
float StableStepLimit(const BuildingRecord& building);

// Times at which some source switches on or off: sources of rooms 0..NumRooms, every cycle,
// repeats included. A step that has grown is cut back ahead of each of them.
struct SwitchTimes {
  std::vector<double> Once;  // sources that do not repeat, sorted
  struct Repeating {
    double Period = 0;
    std::vector<double> Offsets;
  };
  std::vector<Repeating> Repeats;
};
SwitchTimes CollectSwitchOnTimes(const BuildingRecord& building);
// The first switch time after t; a very large value when there is none.
double NextSwitchTime(const SwitchTimes& times, double t);

// The result of updating the rooms over one step.
enum class StepStatus { Ok, NegativeLoss, NotFinite };

// What one step needs besides the arrays.
struct StepInput {
  float SimTime = 0;
  float TimeStep = 0;
  float ChangeThreshold = 0.02F;
  const PerPollutant<float>& SupplyConc;
  const PerPollutant<float>* ConcPerMass = nullptr;  // as in EmissionStep
};

// The room update of one step: fills arrays.NewConc for rooms 1..NumRooms from the sources
// (advancing their running values and TotalEmitted), the outdoor term, the inflow, the sinks
// and the air cleaner, and the sink totals ResultTotal1 and ResultTotal2 and
// AirCleanerCollected. Sets outputDue when some concentration moved by more than the
// threshold. Nothing is changed when a loss coefficient is negative.
StepStatus UpdateRooms(BuildingRecord& building, const WorkingFlows& flows,
                       const RemovalTerms& terms, const StepInput& step, SourceStates& sources,
                       SinkMasses& sinks, RoomArrays& arrays, bool& outputDue);

// After the rooms: Conc := NewConc, the leaving and airborne totals, the airborne mass and
// the peak of every room 0..NumRooms.
void RoomBookkeeping(BuildingRecord& building, const WorkingFlows& flows, float dt,
                     RoomArrays& arrays);

}  // namespace quarn
