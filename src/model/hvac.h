#pragma once

#include <array>

#include "model/prompt.h"
#include "model/records.h"
#include "model/working_flows.h"

namespace quarn {

// HVAC system types, the 1-based index of the system list of the HVAC window, and where
// each places its air cleaner: in the return air (position 1), after the outdoor air is
// mixed in (position 0), on the outdoor air only (position 0), in the supply air (position 0).
inline constexpr int kHVACResidentialInReturn = 1;
inline constexpr int kHVACCommercialAfterMixing = 2;
inline constexpr int kHVACCommercialCleanOutdoor = 3;
inline constexpr int kHVACInSupply = 4;

// The system types whose air cleaner stops once it holds its capacity (types 1, 2 and 4;
// the outdoor-air cleaner of type 3 never fills).
bool CapacityLimited(int hvac_type);

// What the HVAC calculation carries from one step to the next. The run owns one, starting
// from zero (an empty filter, clean supply air).
struct HVACState {
  // Csup(p): concentration of the air the system supplies to the rooms (the room mass
  // balance multiplies it by each room's supply flow). The run sets it to 0 while the HVAC
  // system is off or not in use.
  PerPollutant<float> supply_conc{};
  // M(p): mass the HVAC air cleaner has caught. While it is below the scenario's
  // FilterCapacity the cleaner works for p; once it reaches the capacity it passes p.
  PerPollutant<float> filter_mass{};
};

// How the HVAC system joins the rooms over one step. The supply air is a linear function of
// the rooms' concentrations, Csup(p) = sum over rooms r of weight[r][p] C(r, p) +
// constant[p], so that the rooms and the system form one linear system that the run
// integrates over the step; the mass the exhaust takes out of the building and the mass the
// filter catches grow at sum over r of exhausted[r][p] C(r, p) and sum over r of
// caught[r][p] C(r, p) + caught_outdoor[p] per hour.
//
// The return air of the rooms is mixed (flow × concentration summed, type 1 filtering each
// room's return), the share E is exhausted, the outdoor air O is added at Cout (filtered for
// type 3), the mixture is filtered (types 2 and 4), the HVAC sources are added, and Csup is
// the pollutant flow divided by the supply flow. Types 0 and any other value mix without a
// filter. A filter works for a pollutant while the mass it holds is below the scenario's
// FilterCapacity, for the whole step. With no return air and no outdoor air, or a supply
// flow of 0 or less after the exhaust, Csup keeps its previous value; when the exhaust
// exceeds the return, the excess is drawn from the outdoor intake, so a system of only
// outdoor air supplies Cout.
struct HVACMixing {
  RoomPollutant weight{};  // supply concentration per unit concentration in room r
  PerPollutant<float> constant{};
  RoomPollutant exhausted{};  // m³/h of room r's air the exhaust takes out of the building
  RoomPollutant caught{};     // m³/h of room r's air whose pollutant the filter keeps
  PerPollutant<float> caught_outdoor{};  // mass per hour the filter keeps of the outdoor air
  // The supply concentration per unit of emission rate into the system (1 over the supply
  // flow): how the sources installed in the system reach the rooms; 0 while it supplies
  // nothing.
  float per_emission = 0;
};

// The mixing of one step, for every pollutant:
// - scenario: HVACType, FilterCapacity and the pollutant count are read;
// - room_count: rooms 1..room_count send their return air to the system;
// - flows: the return flows R(r) (base_hvac_return), the system's exhaust E
//   (hvac_exhaust_total) and outdoor intake O (hvac_intake_total), and the penetrations
//   (position 1 for type 1, position 0 for types 2, 3 and 4);
// - outdoor_conc: outdoor concentration Cout(p) in force;
// - hvac_emission: H(p), what the sources installed in the system (room 0) emit in this step,
//   as a mass per hour (SourceEmissionRate for room 0, not divided by a volume); zeros when
//   the system has no sources;
// - state: the filter's mass, and the supply concentration kept when nothing is supplied.
HVACMixing MixHVAC(const ScenarioRecord& scenario, int room_count, const WorkingFlows& flows,
                   const PerPollutant<float>& outdoor_conc,
                   const PerPollutant<float>& hvac_emission, const HVACState& state);

// Everything of a run that MixHVAC reads and that may change from step to step, with no
// emission into the system: equal inputs (as bits) give the same mixing, unless the system
// supplies nothing (per_emission 0), when the mixing keeps the supply of the step before.
struct MixingInputs {
  PerRoom<float> returned{};
  float exhaust = 0;
  float intake = 0;
  std::array<std::array<float, kMaxPollutants>, kFilterPositions> penetration{};
  PerPollutant<float> outdoor{};
  PerPollutant<float> filtering{};  // 1 while the filter holds less than its capacity
};
MixingInputs MixingInputsOf(const ScenarioRecord& scenario, const WorkingFlows& flows,
                            const PerPollutant<float>& outdoor_conc, const HVACState& state);
// Compared as bits: a zero of the other sign or a NaN is a change.
bool SameMixingInputs(const MixingInputs& a, const MixingInputs& b);

// The supply concentration of the mixing at room concentrations `conc`.
PerPollutant<float> SupplyConcentration(const HVACMixing& mixing, int room_count, int pollutants,
                                        const RoomPollutant& conc);

// What the system took over a step of dt hours in which the rooms' concentrations integrate
// to `integral` (concentration × h): the filter's mass grows by what it caught, and the mass
// that leaves the building (LeavingMass) by what the exhaust took.
void AccumulateHVAC(const HVACMixing& mixing, int room_count, int pollutants,
                    const RoomPollutant& integral, float dt, HVACState& state,
                    PerPollutant<float>& leaving_mass);

// One step with the rooms held at `conc` over it: the mixing, then state.supply_conc, the
// filter's mass and leaving_mass as AccumulateHVAC gives them for conc × dt.
void HVACConcentrations(const ScenarioRecord& scenario, int room_count, const WorkingFlows& flows,
                        const RoomPollutant& conc, const PerPollutant<float>& outdoor_conc,
                        const PerPollutant<float>& hvac_emission, float dt, HVACState& state,
                        PerPollutant<float>& leaving_mass);

// A filter kind other than "None" on a system type whose cleaner stops at its capacity
// (types 1, 2 and 4), with a FilterCapacity of 0 or less, removes nothing: says so through
// the prompt and returns true. Called once per run by the air-cleaner set-up.
bool HVACFilterCapacityWarning(const ScenarioRecord& scenario, Prompt& prompt);

}  // namespace quarn
