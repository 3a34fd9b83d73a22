#pragma once

namespace quarn {

// Physical and aerodynamic particle diameters, in single precision like the rest of the
// program's particle arithmetic. Diameters in µm, temperatures in °C (absolute temperature
// is taken as °C + 273.0, not 273.15), pressures in atm, densities in g/cm³.

// Mean free path of air (µm) at pressure p (atm) and absolute temperature t (K): 0.0673 µm
// at 296.15 K and 1 atm, scaled by 1/p and by Sutherland's law with 110.4 K for air.
float MeanFreePath(float p, float t);
// Slip correction of a particle of diameter d at temp_c and p.
float CunninghamCorrection(float d, float temp_c, float p);
// b / a in single precision.
float DivideValues(float a, float b);
// Both diameters of one particle settle alike: da² C(da) = ρ dp² C(dp), with ρ relative to
// 1 g/cm³ and each diameter's own slip correction. Each conversion solves that relation for
// the unknown diameter d by the fixed-point iteration d' = √(S / C(d)) (S the known side over
// the unknown's density) from d = dp √ρ or da / √ρ, until |d' − d| / d < 0.001, so that the
// two invert each other.
struct DiameterResult {
  float diameter = 0.0F;
  int rounds = 0;
  bool converged = false;
};
// The iteration converges within a few rounds for real particles; it gives up after this
// many rather than run for ever.
inline constexpr int kMaxDiameterRounds = 200;
DiameterResult AerodynamicDiameter(float dp, float temp_c, float p, float rho);
DiameterResult PhysicalDiameter(float da, float temp_c, float p, float rho);

// Whether the inputs of a conversion can give a diameter: finite, pressure, diameter and
// density above 0 and an absolute temperature (°C + 273) above 0.
bool DiameterInputsValid(float temp_c, float p, float d, float rho);

}  // namespace quarn
