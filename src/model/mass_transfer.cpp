#include "model/mass_transfer.h"

#include <cmath>

namespace quarn {

MassTransferResult MassTransferCoefficient(float velocity, float area, float diffusivity) {
  MassTransferResult result;
  if (!(area >= 1E-08f)) {
    result.status = MassTransferResult::Status::NoArea;
    return result;
  }
  // A negative speed has no Reynolds number to raise to a power: the coefficient would not
  // be a number.
  if (velocity < 0 || diffusivity < 0) {
    result.status = MassTransferResult::Status::Negative;
    return result;
  }
  const auto u = static_cast<float>(velocity * 3600.0 / 100.0);  // cm/s to m/h
  const auto l = static_cast<float>(std::sqrt(static_cast<double>(area)));
  result.re = static_cast<float>(static_cast<double>(u) * 1200.0 * l / 66.0);
  result.sh = static_cast<float>(0.33 * std::pow(static_cast<double>(result.re), 0.65));
  result.km = static_cast<float>(static_cast<double>(diffusivity) * result.sh / l);
  // An infinite coefficient would be written into the source and stop every later save.
  if (!std::isfinite(result.km)) result.status = MassTransferResult::Status::TooLarge;
  return result;
}

}  // namespace quarn
