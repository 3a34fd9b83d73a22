#include "model/rounding.h"

#include <cmath>

namespace quarn {

float RoundTo3Decimals(float x) {
  if (!std::isfinite(x)) return x;
  const float whole = std::floor(x);
  const float fraction = x - whole;
  // The half-thousandth is added in double, as the constant of the rule is a double.
  const float rounded =
      static_cast<float>(std::floor((static_cast<double>(fraction) + 0.0005) * 1000.0) / 1000.0);
  return whole + rounded;
}

}  // namespace quarn
