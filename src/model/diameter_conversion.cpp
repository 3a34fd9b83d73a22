#include "model/diameter_conversion.h"

#include <cmath>

namespace quarn {

float MeanFreePath(float p, float t) {
  const double tk = t;
  return static_cast<float>(0.0673 * (1.0 / p) * std::pow(tk / 296.15, 2.0) * 406.55 /
                            (tk + 110.4));
}

float DivideValues(float a, float b) {
  return b / a;
}

float CunninghamCorrection(float d, float temp_c, float p) {
  const auto t = static_cast<float>(temp_c + 273.0);
  const float lambda = MeanFreePath(p, t);
  const float kn = DivideValues(d / 2.0F, lambda);
  return static_cast<float>(1.0 + kn * (1.142 + 0.558 * std::exp(-0.999 / kn)));
}

namespace {

// The diameter d with d² C(d) = slip_area, from `start`.
DiameterResult SolveSlipDiameter(float slip_area, float start, float temp_c, float p) {
  DiameterResult result;
  float d = start;
  while (result.rounds < kMaxDiameterRounds) {
    ++result.rounds;
    const float c = CunninghamCorrection(d, temp_c, p);
    const auto next = static_cast<float>(std::sqrt(static_cast<double>(slip_area / c)));
    const float change = std::fabs(next - d) / d;
    result.diameter = next;
    if (change < 0.001) {
      result.converged = true;
      return result;
    }
    d = next;
  }
  return result;
}

}  // namespace

DiameterResult AerodynamicDiameter(float dp, float temp_c, float p, float rho) {
  const float slip_area = rho * dp * dp * CunninghamCorrection(dp, temp_c, p);
  const auto start = static_cast<float>(dp * std::sqrt(static_cast<double>(rho)));
  return SolveSlipDiameter(slip_area, start, temp_c, p);
}

DiameterResult PhysicalDiameter(float da, float temp_c, float p, float rho) {
  const float slip_area = da * da * CunninghamCorrection(da, temp_c, p) / rho;
  const auto start = static_cast<float>(da / std::sqrt(static_cast<double>(rho)));
  return SolveSlipDiameter(slip_area, start, temp_c, p);
}

bool DiameterInputsValid(float temp_c, float p, float d, float rho) {
  if (!std::isfinite(temp_c) || !std::isfinite(p) || !std::isfinite(d) || !std::isfinite(rho)) {
    return false;
  }
  return p > 0.0F && d > 0.0F && rho > 0.0F && temp_c + 273.0F > 0.0F;
}

}  // namespace quarn
