#include "model/lognormal_fit.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace quarn {
namespace {

TEST(InverseNormal, MatchesTheNormalTableWithinTheApproximation) {
  EXPECT_NEAR(InverseNormal(0.5f), 0.0f, 5e-4);
  EXPECT_NEAR(InverseNormal(0.8413f), 1.0f, 5e-4);
  EXPECT_NEAR(InverseNormal(0.1587f), -1.0f, 5e-4);
  EXPECT_NEAR(InverseNormal(0.97725f), 2.0f, 5e-4);
  // The ends have no finite deviate: 0 rather than an infinite value.
  EXPECT_EQ(InverseNormal(0.0f), 0.0f);
  EXPECT_EQ(InverseNormal(1.0f), 0.0f);
}

TEST(LeastSquaresLine, UsesPointsOneToCountMinusOne) {
  // y = 1 + 2x at points 1 to 3; point 0 lies off the line and is not used.
  const std::array<float, 4> x{100, 1, 2, 3}, y{-50, 3, 5, 7};
  const std::optional<StraightLine> line = LeastSquaresLine(x, y, 4);
  ASSERT_TRUE(line);
  EXPECT_NEAR(line->intercept, 1.0f, 1e-5);
  EXPECT_NEAR(line->slope, 2.0f, 1e-5);
  EXPECT_FALSE(LeastSquaresLine(x, y, 2));  // one point gives no line
}

TEST(CumulativeFractions, GivesTheShareBelowEachBin) {
  const std::array<float, 4> w{1, 2, 3, 4};
  const CumulativeFractionArray f = CumulativeFractions(4, w);
  EXPECT_FLOAT_EQ(f[1], 0.1f);
  EXPECT_FLOAT_EQ(f[2], 0.3f);
  EXPECT_FLOAT_EQ(f[3], 0.6f);
  EXPECT_EQ(f[4], 0.0f);
}

// Amounts per bin such that the share below bin j is exactly the lognormal
// Phi(ln(d_j / mmd) / ln gsd).
std::array<float, 8> LognormalAmounts(const std::array<float, 8>& d, double mmd, double gsd) {
  std::array<double, 9> below{};
  for (int j = 1; j < 8; ++j) {
    below[j] = 0.5 * std::erfc(-std::log(d[j] / mmd) / std::log(gsd) / std::sqrt(2.0));
  }
  below[8] = 1.0;
  std::array<float, 8> w{};
  for (int j = 0; j < 8; ++j) w[j] = static_cast<float>((below[j + 1] - below[j]) * 1000.0);
  return w;
}

TEST(LognormalFit, RecoversTheGeneratingDistribution) {
  const std::array<float, 8> d{0.3f, 0.5f, 1.0f, 2.0f, 3.0f, 5.0f, 8.0f, 12.0f};
  const auto w = LognormalAmounts(d, 2.5, 1.8);
  float mmd = 0, gsd = 0;
  LognormalFit(8, d, w, mmd, gsd);
  EXPECT_NEAR(mmd, 2.5f, 2.5f * 0.005f);
  EXPECT_NEAR(gsd, 1.8f, 1.8f * 0.005f);
}

TEST(LognormalFit, NothingToFitLeavesTheOutputs) {
  const std::array<float, 8> d{0.3f, 0.5f, 1.0f, 2.0f, 3.0f, 5.0f, 8.0f, 12.0f};
  const std::array<float, 8> zeros{};
  float mmd = 7, gsd = 3;
  LognormalFit(8, d, zeros, mmd, gsd);  // flat line: the fit ends at its slope
  EXPECT_EQ(mmd, 7.0f);
  EXPECT_EQ(gsd, 3.0f);

  const auto w = LognormalAmounts(d, 2.5, 1.8);
  std::array<float, 8> bad = d;
  bad[3] = 0;  // a bin named with no diameter
  LognormalFit(8, bad, w, mmd, gsd);
  EXPECT_EQ(mmd, 7.0f);
  EXPECT_EQ(gsd, 3.0f);
  LognormalFit(1, d, w, mmd, gsd);  // one bin has no line
  EXPECT_EQ(mmd, 7.0f);
}

}  // namespace
}  // namespace quarn
