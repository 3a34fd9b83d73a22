#pragma once

#include <array>

#include "model/records.h"
#include "model/source_state.h"

namespace quarn {

using PollutantList = std::array<PollutantRecord, kMaxPollutants>;

// Evaporation of spilled liquids (models 8 to 10). Each gives the evaporation rate of one
// pollutant for one step in mass per hour: a gas-side mass-transfer coefficient (m/h) times
// the evaporating area (m²) times the difference between the concentration over the liquid
// and in the room. The area shrinks with what is left of the liquid. The rates are before
// the unit factor; SourceEmissionRate then takes the evaporated mass off the liquid.

// a × c / b as a Single: the area scaled by the fraction left, c of b.
float AreaByRatio(double a, double b, double c);
double ProductTimesThousand(double a, double b);
// Moles of m mg of a substance of molecular weight mw (g/mol); 0 for a weight of 0 or less.
double MassToMoles(double m, double mw);
// Schmidt number of a gas of diffusivity d (m²/h) in air, ν / D with ν = 66/1200 m²/h.
float SchmidtNumber(double d);
// Mass-transfer coefficient (m/h) over a liquid pool of length l (m) in an air stream of u
// cm/s, from the flat-plate correlation; 0 for a pool without length.
double SpillMassTransferCoefficient(double d, double l, double u);
// The same for a petroleum pool, from the correlation used for fuel spills.
double PetroleumMassTransferCoefficient(double d, double l, double u);
// Moles left in the liquid: the sum of state.moles_left over the pollutants in use.
double MolesLeftInLiquid(const SourceState& state, int num_pollutants);

// Model 8, pollutant 0 (the mixture's total): sets state.spill_area from the moles of the
// total left and gives the total's evaporation.
double PetroleumSpillRate(const SourceRecord& source, SourceState& state, float croom,
                          const PollutantList& pollutants);
// Model 8, a component p >= 1: its concentration over the liquid is C0 scaled by its mole
// share of the total; uses the area that pollutant 0 set in the same step and takes the
// evaporated mass off state.reservoir_mass[p].
double PetroleumSpillStep(const SourceRecord& source, SourceState& state, int pollutant,
                          float croom, float dt, const PollutantList& pollutants);
// Model 9: a pure liquid, saturated at the pollutant's C0 over its surface.
double SingleSpillRate(const SourceRecord& source, SourceState& state, int pollutant, float croom,
                       const PollutantList& pollutants);
// Model 10: a mixture by mole fractions (Raoult's law); pollutant 0's call sets the total
// moles and the area for the step.
double ExactSpillRate(const SourceRecord& source, SourceState& state, int pollutant, float croom,
                      const PollutantList& pollutants, int num_pollutants);

}  // namespace quarn
