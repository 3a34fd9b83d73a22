#pragma once

#include <array>
#include <vector>

#include "model/hvac.h"
#include "model/records.h"
#include "model/source_state.h"
#include "model/working_flows.h"

namespace quarn {

// The physics around one time step of the concentration run. Every room 1..NumRooms is a
// well-mixed zone; the exact integration of a step is RoomStepper's (room_stepper.h). This
// file holds what the run keeps between steps and the bookkeeping around them: the working
// flows and loss coefficients, the outdoor air in force, the start of the run and what
// follows every step.
//
// Everything the run changes from step to step lives in the structures below, owned by the
// run; the scenario's entered fields are only read. The scenario's result fields (the
// totals, AirCleanerCollected, PeakConc, ...) are written.

// What a sink holds per unit area during the run, (room, sink slot, pollutant). Sinks start
// every run empty.
using SinkMasses = std::array<std::array<PerPollutant<float>, kMaxSinks + 1>, kRoomSlots>;

// The outdoor term and loss coefficient of each room for the step in hand.
struct RemovalTerms {
  PerPollutant<float> current_outdoor_conc{};
  RoomPollutant outdoor_input{};      // outdoor source term, concentration per hour
  PerRoom<float> loss_coefficient{};  // 1/h
  // What the terms were derived from, bit for bit: they change only at a switch, so a step
  // whose flows, volumes and outdoor air are those of the step before keeps them.
  struct Inputs {
    int rooms = -1;
    PerPollutant<float> outdoor_conc{};
    PerPollutant<float> penetration{};
    PerRoom<float> volume{};
    PerRoom<float> out{};          // total_to_outdoors
    PerRoom<float> in{};           // total_from_outdoors
    PerRoom<float> hvac_return{};  // base_hvac_return
    RoomMatrix between{};          // total_between_rooms
  } made_from;
};

// The concentration arrays of one run. Room 0 is outdoors.
struct RoomArrays {
  RoomPollutant conc{};                // at the start of the step
  RoomPollutant new_conc{};            // at its end
  RoomPollutant room_mass{};           // airborne mass, concentration × volume
  RoomPollutant room_conc{};           // what the emission models read as the room concentration
  RoomPollutant previous_room_conc{};  // the previous step's, for the shower model
  PerRoom<float> room_peak{};          // highest concentration of any pollutant in each room
  PerRoom<int> room_source_counts{};
  PerRoom<float> room_volumes{};
  // The integral of each room's concentration over the last step (concentration × h): what
  // takes from a room in proportion to its concentration (outflow to outdoors, the HVAC
  // return, sinks, an air cleaner) takes its rate times this.
  RoomPollutant step_integral{};
};

// Working HVAC flows of the step from the entered ones and the HVAC-history fraction f.
// With HVACHistoryOutdoorOnly the history scales only the outdoor air (ScaleOutdoorHVACFlows).
// A fraction of 0 switches the supply air off (supplyConc := 0).
void RoomFlowTerms(const BuildingRecord& building, int room_count, float f, WorkingFlows& flows,
                   PerPollutant<float>& supply_conc);
void ScaleOutdoorHVACFlows(const BuildingRecord& building, int room_count, float f,
                           WorkingFlows& flows);

// The outdoor concentration in force at time t: a step function of the outdoor history (no
// interpolation), or history point 1 throughout when ConstantOutdoorConc is "Y".
void StepBookkeeping(float t, const ScenarioRecord& scenario, PerPollutant<float>& outdoor_conc);

// Outdoor source term and loss coefficient of rooms 1..roomCount from the flows in force.
void SetRemovalTerms(const BuildingRecord& building, int room_count, const WorkingFlows& flows,
                     RemovalTerms& terms);

// Exchange of pollutant p between the air at concentration c and a sink whose loading per
// unit area is `mass`: adsorption ka c (never negative) less desorption kd m. Advances the
// loading by dt (never below 0) and returns the net uptake of the whole sink, mass per hour.
float SinkExchange(const SinkRecord& sink, float& mass, float c, int p, float dt);

// a × b × c / 100: the removal rate of an air cleaner moving b room volumes an hour at c %.
float PercentOfProduct(float a, float b, float c);

// Sum of elements 1..count over the total room volume (an air-change rate from flows);
// 0 for count < 1 or no volume.
float ScaledArraySum(const PerRoom<float>& values, int count, float total_room_volume);

// Start of a run: clears the result totals, the exposure results and the air-cleaner masses,
// empties the sinks, starts the HVAC flows from the entered ones and sets the sources'
// running values to their start.
void ResetAccumulators(BuildingRecord& building, WorkingFlows& flows, SourceStates& sources,
                       SinkMasses& sinks);

// Total room volume, and the layer masses of every room source at their start.
void SetupRoomMassTerms(BuildingRecord& building, SourceStates& sources);

// The run arrays of rooms 1..roomCount from the initial concentrations.
void LoadRoomFlowArrays(const BuildingRecord& building, int room_count, RoomArrays& arrays,
                        PerPollutant<float>& supply_conc);

// Times at which some source switches on or off: sources of rooms 0..NumRooms, every cycle,
// repeats included. A step that has grown is cut back ahead of each of them.
struct SwitchTimes {
  std::vector<double> once;  // sources that do not repeat, sorted
  struct Repeating {
    double period = 0;
    std::vector<double> offsets;
  };
  std::vector<Repeating> repeats;
};
SwitchTimes CollectSwitchOnTimes(const BuildingRecord& building);
// The first switch time after t; a very large value when there is none.
double NextSwitchTime(const SwitchTimes& times, double t);

// The result of updating the rooms over one step.
enum class StepStatus { Ok, NegativeLoss, NotFinite };

// After the rooms: conc := new_conc, the leaving total (from step_integral), the airborne
// total, the airborne mass and the peak of every room 0..NumRooms.
void RoomBookkeeping(BuildingRecord& building, const WorkingFlows& flows, float dt,
                     RoomArrays& arrays);

}  // namespace quarn
