#include "model/lognormal_fit.h"

#include <algorithm>
#include <cmath>

namespace quarn {

namespace {

constexpr int kMaxBins = 8;

// The bin count comes from the scenario: keep it within the work array and the inputs.
int UsableBins(int n, std::size_t available) {
  return std::clamp(n, 0, std::min(kMaxBins, static_cast<int>(available)));
}

}  // namespace

float InverseNormal(float p) {
  const float c0 = 2.515517f, c1 = 0.802853f, c2 = 0.010328f;
  const float d1 = 1.432788f, d2 = 0.189269f, d3 = 0.001308f;
  float q = p;
  float sign = -1.0f;
  if (p > 0.5f) {
    q = 1.0f - p;
    sign = 1.0f;
  }
  if (!(q > 0.0f)) return 0.0f;  // also a p outside 0..1, which has no deviate
  const float t = std::sqrt(std::log(1.0f / (q * q)));
  const float z = t - (c0 + c1 * t + c2 * t * t) / (1.0f + d1 * t + d2 * t * t + d3 * t * t * t);
  return sign * z;
}

CumulativeFractionArray CumulativeFractions(int n, std::span<const float> w) {
  CumulativeFractionArray f{};
  n = UsableBins(n, w.size());
  if (n == 0) return f;
  float total = 0;
  for (int i = 0; i < n; ++i) total += w[i];
  float below = w[0];
  for (int i = 1; i < n; ++i) {
    if (total <= 0) return f;
    f[i] = below / total;
    below += w[i];
  }
  return f;
}

std::optional<StraightLine> LeastSquaresLine(std::span<const float> x, std::span<const float> y,
                                             int count) {
  const int last =
      std::min({count - 1, static_cast<int>(x.size()) - 1, static_cast<int>(y.size()) - 1});
  float sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (int i = 1; i <= last; ++i) {
    sx += x[i];
    sy += y[i];
    sxx += x[i] * x[i];
    sxy += x[i] * y[i];
  }
  const float m = static_cast<float>(std::max(last, 0));
  const float denominator = m * sxx - sx * sx;
  if (denominator == 0.0f) return std::nullopt;
  const float a = (sy * sxx - sx * sxy) / denominator;
  const float b = (m * sxy - sx * sy) / denominator;
  if (!std::isfinite(a) || !std::isfinite(b)) return std::nullopt;
  return StraightLine{a, b};
}

void FitLognormalLine(int n, std::span<const float> d, const CumulativeFractionArray& f, float& mmd,
                      float& gsd) {
  n = UsableBins(n, d.size());
  std::array<float, kMaxBins> x{}, y{};
  for (int j = 1; j < n; ++j) {
    if (!(d[j] > 0.0f)) return;  // the logarithm of the diameter has no value
    y[j] = InverseNormal(f[j]);
    x[j] = std::log(d[j]);
  }
  const std::optional<StraightLine> line = LeastSquaresLine(x, y, n);
  if (!line || line->slope == 0.0f) return;
  const float a = line->intercept;
  const float b = line->slope;
  const float median = std::exp(-a / b);
  if (!std::isfinite(median)) return;
  mmd = median;
  const float spread = std::exp(1.0f / b);
  if (!std::isfinite(spread)) return;
  gsd = spread;
}

void LognormalFit(int n, std::span<const float> d, std::span<const float> w, float& mmd,
                  float& gsd) {
  FitLognormalLine(n, d, CumulativeFractions(n, w), mmd, gsd);
}

}  // namespace quarn
