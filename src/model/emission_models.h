#pragma once

#include <string>

#include "model/records.h"
#include "model/source_state.h"

namespace quarn {

// The emission models 0 to 7 of a source: each gives the emission of one pollutant for one
// step in the source's own emission unit per hour (mg/h, µg/h or particles/h), before the
// unit factor. The user's parameters come from the record, Pi = source.Params[i][p]; the
// models that deplete a reservoir keep its mass in the state and advance it by dt.
// Arithmetic is in double; the masses kept in the state are Singles.
//
// croom is the room concentration of the pollutant the run keeps for the models, dt the
// run's current step (h), the age is state.source_age (h since the source switched on).

// The name of a model in the source window ("Mass transfer" .. "Exact spill"); "" outside
// 0..10.
std::string EmissionModelName(int model);

// The model number of a model code as source data name them ("Mass Xfer", "R0k", ...,
// "Spill2"); the comparison is exact, letter case included, and an unknown code is 0.
int GetSourceModel(const std::string& name);

// Model 0: two layers that release the pollutant towards their equilibrium with the room
// air, C0 × M / M0. Layer 1 (k1, M01; mass state.reservoir_mass) only loses mass and is emptied in
// one step when the step would overshoot; layer 2 (k2, M02; mass state.layer2_mass) also takes
// pollutant back up when the room is above its equilibrium, which is then a negative
// emission, so that the layers and the air together keep their mass. Also pollutant 0 of
// model 7.
double MassTransferEmission(const SourceRecord& source, SourceState& state, int pollutant,
                            float croom, float dt);

// Model 1: three exponential decays R0 e^(-k a) + R2 e^(-k2 a) + R3 e^(-k3 a), 0 at age 0.
double R0kEmission(const SourceRecord& source, const SourceState& state, int pollutant);

// Model 2: second-order decay of a wet coating, R0 / (1 + a k1 R0).
double Paint1Emission(const SourceRecord& source, const SourceState& state, int pollutant);

// Model 3: evaporation of the applied layer (C0, k1, MVB0; mass state.reservoir_mass) plus
// diffusion out of the substrate, which falls as e^(-2 E √a) / √a.
double Paint2Emission(const SourceRecord& source, SourceState& state, int pollutant, float croom,
                      float dt);

// Model 4: a power-law decline Alpha / x^P1 with the age x in days, from 0.05 day on; not
// scaled by the size.
double RTEmission(const SourceRecord& source, const SourceState& state, int pollutant);

// Model 5: transfer from shower water to air, (Cw - Cair / H) (1 - e^(-KOL / S)) S, with
// airConc the room concentration of the previous step.
double ShowerEmission(float air_conc, const SourceRecord& source, int pollutant);

// Model 6: a cubic A0 + A1 t + A2 t² + A3 t³ in the run time t (not the age).
double PolyfitEmission(const SourceRecord& source, int pollutant, float t);

// The closed-form models (1 "R0k", 2 "Paint1", 4 "R/T", 6 "Polyfit") hold no state: their
// rate is a function of the source's age (of the run time for model 6), so what they emit
// over part of a step is the integral of the rate. The mean rates below are those integrals
// over `hours` (above 0) divided by `hours`, in the source's unit per hour; a constant rate
// is its own mean exactly.
bool IsClosedFormModel(int model);
// Model 1 from age `age`: each term R e^(-k a) gives R e^(-k age) (1 - e^(-k hours)) / k.
double R0kMeanRate(const SourceRecord& source, int pollutant, double age, double hours);
// The same for pollutants 0 to pollutants - 1 at once (0 for the others), working out each
// decay constant once.
PerPollutant<double> R0kMeanRates(const SourceRecord& source, int pollutants, double age,
                                  double hours);
// Model 2 from age `age`: R0 / (1 + a k1 R0) gives ln(1 + k1 R0 hours / (1 + k1 R0 age)) / k1.
double Paint1MeanRate(const SourceRecord& source, int pollutant, double age, double hours);
// Model 4 from age `age`: nothing before 0.05 day, then Alpha / x^P1 with x in days.
double RTMeanRate(const SourceRecord& source, int pollutant, double age, double hours);
// The age (h) from which model 4 emits: 0.05 day, as its rate compares the age in days.
inline constexpr double kRTFirstAge = 24.0 * static_cast<double>(0.05f);
// The rate of model 1, 2 or 4 at age `age` (h), in the source's unit per hour: what the mean
// rates above integrate.
double ClosedFormRate(const SourceRecord& source, int pollutant, double age);
// Model 6 from run time `t`: the cubic's mean over the interval.
double PolyfitMeanRate(const SourceRecord& source, int pollutant, double t, double hours);

// Model 7, components (pollutants 1 and up) of a mixture whose total is pollutant 0: a
// component is in equilibrium with C0 scaled by its share M / totalMass of the mixture's
// remaining mass (layer 1 of pollutant 0). Nothing once the mixture is below 1E-10.
double VBXEmission(const SourceRecord& source, SourceState& state, int pollutant, float croom,
                   float dt, float total_mass);

}  // namespace quarn
