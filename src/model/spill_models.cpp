#include "model/spill_models.h"

#include <algorithm>
#include <cmath>

namespace quarn {
namespace {

// Kinematic viscosity of air, m²/h.
constexpr double kAirViscosityNumerator = 66.0;
constexpr double kAirViscosityDenominator = 1200.0;
// Models 9 and 10 assume a fixed air speed over the spill, cm/s.
constexpr double kSpillAirSpeed = 10.0;
// Molar density of air (mol/m³) and molar volume (m³/mol) at the reference conditions.
constexpr double kAirMolarDensity = 44.64;
constexpr double kMolarVolume = 0.0224;

double CmPerSecondToMetresPerHour(double u) {
  return u * 3600.0 / 100.0;
}

}  // namespace

float AreaByRatio(double a, double b, double c) {
  return static_cast<float>(a * c / b);
}

double ProductTimesThousand(double a, double b) {
  return a * b * 1000.0;
}

double MassToMoles(double m, double mw) {
  if (mw <= 0) return 0;
  return m / mw / 1000.0;
}

float SchmidtNumber(double d) {
  return static_cast<float>(kAirViscosityNumerator / (kAirViscosityDenominator * d));
}

double SpillMassTransferCoefficient(double d, double l, double u) {
  if (l <= 0) return 0;
  const double speed = CmPerSecondToMetresPerHour(u);
  const double sc = SchmidtNumber(d);
  return 0.0292 * std::pow(speed, 0.78) * std::pow(l, -0.11) * std::pow(sc, -0.67);
}

double PetroleumMassTransferCoefficient(double d, double l, double u) {
  if (l <= 0) return 0;
  const double reynolds_per_length =
      CmPerSecondToMetresPerHour(u) * kAirViscosityDenominator / kAirViscosityNumerator;
  return std::pow(l, -0.3333) * (0.33 * d) * std::pow(reynolds_per_length, 0.667);
}

double MolesLeftInLiquid(const SourceState& state, int num_pollutants) {
  double total = 0;
  const int n = std::clamp(num_pollutants, 0, kMaxPollutants);
  for (int p = 0; p < n; ++p) total += state.moles_left[p];
  return total;
}

double PetroleumSpillRate(const SourceRecord& source, SourceState& state, float croom,
                          const PollutantList& pollutants) {
  // The pool shrinks with the moles of the total that are left.
  if (state.moles_left[0] > 0)
    state.spill_area = AreaByRatio(source.Size, state.initial_moles[0], state.moles_left[0]);
  else
    state.spill_area = 0;
  const double area = state.spill_area;
  const double k = PetroleumMassTransferCoefficient(pollutants[0].Diffusivity, std::sqrt(area),
                                                    source.GasVelocity);
  if (state.reservoir_mass[0] <= 0) return 0;
  const double surface =
      state.moles_left[0] * static_cast<double>(source.Params[0][0]) / state.initial_moles[0];
  return (surface - croom) * k * area;
}

double PetroleumSpillStep(const SourceRecord& source, SourceState& state, int p, float croom,
                          float dt, const PollutantList& pollutants) {
  const double area = state.spill_area;
  const double k = PetroleumMassTransferCoefficient(pollutants[p].Diffusivity, std::sqrt(area),
                                                    source.GasVelocity);
  const double mass = state.reservoir_mass[p];
  const double total = state.reservoir_mass[0];
  if (mass <= 0 || total <= 0) return 0;
  // Mass share times MW(total) / MW(component) is the component's mole share.
  const double surface = mass * source.Params[0][p] / total * pollutants[0].MolWt /
                         static_cast<double>(pollutants[p].MolWt);
  const double rate = (surface - croom) * k * area;
  state.reservoir_mass[p] = static_cast<float>(mass - dt * rate);
  return rate;
}

double SingleSpillRate(const SourceRecord& source, SourceState& state, int p, float croom,
                       const PollutantList& pollutants) {
  const double mw = pollutants[p].MolWt;
  state.moles_left[p] = static_cast<float>(MassToMoles(state.liquid_mass[p], mw));
  state.spill_area = AreaByRatio(source.Size, state.initial_moles[0], state.moles_left[0]);
  if (state.spill_area <= 0) return 0;
  const double area = state.spill_area;
  const double k =
      SpillMassTransferCoefficient(pollutants[p].Diffusivity, std::sqrt(area), kSpillAirSpeed);
  if (state.reservoir_mass[p] <= 0) return 0;
  // Mole fractions in air over the liquid (saturated) and in the room.
  const double surface = MassToMoles(pollutants[p].C0, mw) / kAirMolarDensity;
  const double room = MassToMoles(croom, mw) / kAirMolarDensity;
  return (surface - room) * k / kMolarVolume * 1.008 * area * mw * 1000.0;
}

double ExactSpillRate(const SourceRecord& source, SourceState& state, int p, float croom,
                      const PollutantList& pollutants, int num_pollutants) {
  if (p == 0) {
    state.total_moles_left = static_cast<float>(MolesLeftInLiquid(state, num_pollutants));
    state.spill_area = AreaByRatio(source.Size, state.initial_total_moles, state.total_moles_left);
  }
  const double mw = pollutants[p].MolWt;
  const double saturated = MassToMoles(source.Params[0][p], mw);  // mol/m³
  const double room = MassToMoles(croom, mw);
  double molar_rate = 0;
  if (state.spill_area > 0) {
    const double area = state.spill_area;
    const double k =
        SpillMassTransferCoefficient(pollutants[p].Diffusivity, std::sqrt(area), kSpillAirSpeed);
    // Raoult's law: over a mixture the saturated concentration scales by the mole fraction.
    const double fraction = state.moles_left[p] / static_cast<double>(state.total_moles_left);
    molar_rate = (saturated * fraction - room) * k * area;
  }
  return ProductTimesThousand(molar_rate, mw);
}

}  // namespace quarn
