#pragma once

#include <array>
#include <optional>
#include <span>

namespace quarn {

// Fits a lognormal size distribution to the amounts in the particle size bins: the
// probits of the cumulative fractions are a straight line in the logarithm of the
// diameter, whose root gives the mass median diameter and whose slope the geometric
// standard deviation. Bins are at most 8, diameters in µm.

using CumulativeFractionArray = std::array<float, 9>;  // F(0 to 8); F(0) is not used

// The standard normal deviate whose lower-tail probability is p (Abramowitz and Stegun
// 26.2.23, error below 4.5E-4). p of exactly 0 or 1 gives 0, not an infinite value.
float InverseNormal(float p);

// F(i), i = 1 to n - 1: the fraction of the total held by the bins below bin i; all 0 for a
// total of 0 or less.
CumulativeFractionArray CumulativeFractions(int n, std::span<const float> w);

// y = intercept + slope x.
struct StraightLine {
  float intercept = 0;
  float slope = 0;
};

// The least-squares line through the points 1 to count - 1; nullopt when they give no line.
std::optional<StraightLine> LeastSquaresLine(std::span<const float> x, std::span<const float> y,
                                             int count);

// Regresses the probits of F(1..n-1) on ln d and turns the line into the mass median
// diameter and the geometric standard deviation. A bin diameter of 0 or less, a flat line
// or a result out of range ends the fit without a message; an output not yet reached keeps
// its value (a failure at the median leaves both unchanged).
void FitLognormalLine(int n, std::span<const float> d, const CumulativeFractionArray& f, float& mmd,
                      float& gsd);

// CumulativeFractions then FitLognormalLine. n is the number of bins (NumPollutants).
void LognormalFit(int n, std::span<const float> d, std::span<const float> w, float& mmd,
                  float& gsd);

}  // namespace quarn
