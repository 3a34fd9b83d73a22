#include "model/exact_step.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace quarn {
namespace {

SquareMatrix FromRows(const std::vector<std::vector<double>>& rows) {
  SquareMatrix m(static_cast<int>(rows.size()));
  for (int i = 0; i < m.Order(); ++i)
    for (int j = 0; j < m.Order(); ++j) m(i, j) = rows[i][j];
  return m;
}

void ExpectNear(const SquareMatrix& got, const std::vector<std::vector<double>>& want,
                double tolerance) {
  for (int i = 0; i < got.Order(); ++i)
    for (int j = 0; j < got.Order(); ++j) EXPECT_NEAR(got(i, j), want[i][j], tolerance) << i << j;
}

TEST(ComputeStepMatrices, RotationInClosedForm) {
  // dz/dt = A z with A = [0 -w; w 0] turns z by w h: Phi is the rotation, Integral its
  // integral, [sin, cos - 1; 1 - cos, sin] / w. A long step needs many doublings.
  for (const double h : {0.1, 3.0, 40.0}) {
    SCOPED_TRACE(h);
    const double w = 2;
    const StepMatrices m = ComputeStepMatrices(FromRows({{0, -w}, {w, 0}}), h);
    const double c = std::cos(w * h);
    const double s = std::sin(w * h);
    ExpectNear(m.phi, {{c, -s}, {s, c}}, 1e-12);
    ExpectNear(m.integral, {{s / w, (c - 1) / w}, {(1 - c) / w, s / w}}, 1e-12);
  }
}

TEST(ComputeStepMatrices, TwoDecaysFeedingOneAnotherInClosedForm) {
  // A = [-a 1; 0 -b]: the second state decays at b and feeds the first, which decays at a.
  const double a = 10;
  const double b = 2;
  const double h = 0.7;
  const StepMatrices m = ComputeStepMatrices(FromRows({{-a, 1}, {0, -b}}), h);
  const double ea = std::exp(-a * h);
  const double eb = std::exp(-b * h);
  const double ia = (1 - ea) / a;
  const double ib = (1 - eb) / b;
  ExpectNear(m.phi, {{ea, (eb - ea) / (a - b)}, {0, eb}}, 1e-14);
  ExpectNear(m.integral, {{ia, (ib - ia) / (a - b)}, {0, ib}}, 1e-14);
}

TEST(ComputeStepMatrices, ChainOfInputsGivesThePowersOfTheStep) {
  // The nilpotent chain z0' = z1, z1' = z2, ...: Phi holds h^(j-i) / (j-i)! above the
  // diagonal and Integral h^(j-i+1) / (j-i+1)!.
  const int n = 4;
  SquareMatrix chain(n);
  for (int i = 0; i + 1 < n; ++i) chain(i, i + 1) = 1;
  const double h = 0.3;
  const StepMatrices m = ComputeStepMatrices(chain, h);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const int k = j - i;
      EXPECT_NEAR(m.phi(i, j), k < 0 ? 0 : std::pow(h, k) / std::tgamma(k + 1), 1e-15);
      EXPECT_NEAR(m.integral(i, j), k < 0 ? 0 : std::pow(h, k + 1) / std::tgamma(k + 2), 1e-15);
    }
  }
}

TEST(ComputeStepMatrices, AStepForwardAndBackIsTheIdentityAndTheVectorSeriesAgrees) {
  // A building-like matrix: rooms exchanging fast and slowly, a sink, a decaying input.
  const SquareMatrix a = FromRows({{-30, 20, 0, 0.5, 1},
                                   {25, -40, 5, 0, 0},
                                   {0, 15, -6, 0, 0},
                                   {2, 0, 0, -0.1, 0},
                                   {0, 0, 0, 0, -3}});
  SquareMatrix minus = a;
  for (int i = 0; i < a.Order(); ++i)
    for (int j = 0; j < a.Order(); ++j) minus(i, j) = -a(i, j);
  // Backwards the fast rates grow (by e^3 here), which costs as many digits.
  const double h = 0.05;
  const SquareMatrix product = ComputeStepMatrices(a, h).phi * ComputeStepMatrices(minus, h).phi;
  for (int i = 0; i < a.Order(); ++i)
    for (int j = 0; j < a.Order(); ++j) EXPECT_NEAR(product(i, j), i == j ? 1 : 0, 1e-13);

  // One vector carried through the same step, by matrix-vector products alone.
  const std::vector<double> start{1, 0, 3, 7, 2};
  const StepMatrices m = ComputeStepMatrices(a, h);
  const PropagatedState x = PropagateState(a, start, h);
  for (int i = 0; i < a.Order(); ++i) {
    double end = 0;
    double integral = 0;
    for (int j = 0; j < a.Order(); ++j) {
      end += m.phi(i, j) * start[j];
      integral += m.integral(i, j) * start[j];
    }
    EXPECT_NEAR(x.end[i], end, 1e-12 * (1 + std::fabs(end)));
    EXPECT_NEAR(x.integral[i], integral, 1e-12 * (1 + std::fabs(integral)));
  }
}

TEST(ComputeStepMatrices, IntegralAgainstACompositeSimpsonQuadrature) {
  // A = V D V^-1 with a fast mode (-200 an hour), a slow one (-0.01) and three between, so
  // that e^(A s) = V e^(D s) V^-1 is known at every s. V = (I + U)(I + L) with U and L
  // squaring to zero (no row of U or L that holds an entry is a column that does), whose
  // inverse is (I - L)(I - U).
  const std::vector<double> modes{-200, -0.01, -1, -4, -0.3};
  SquareMatrix upper = SquareMatrix::Identity(5);
  SquareMatrix lower = SquareMatrix::Identity(5);
  upper(0, 3) = 0.7;
  upper(1, 4) = -0.4;
  upper(0, 4) = 0.3;
  lower(3, 0) = 0.5;
  lower(4, 1) = -0.6;
  lower(4, 0) = 0.2;
  lower(2, 1) = 0.8;
  const SquareMatrix v = upper * lower;
  SquareMatrix upper_inverse = upper;
  SquareMatrix lower_inverse = lower;
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 5; ++j) {
      if (i == j) continue;
      upper_inverse(i, j) = -upper(i, j);
      lower_inverse(i, j) = -lower(i, j);
    }
  }
  const SquareMatrix v_inverse = lower_inverse * upper_inverse;
  const auto exp_as = [&](double s) {
    SquareMatrix d(5);
    for (int i = 0; i < 5; ++i) d(i, i) = std::exp(modes[i] * s);
    return v * d * v_inverse;
  };
  SquareMatrix a(5);
  for (int i = 0; i < 5; ++i) a(i, i) = modes[i];
  a = v * a * v_inverse;

  // Simpson's rule over 2^16 intervals: its error, (200 dx)^4 / 180 of the fast mode's
  // integral, is below 1e-12.
  const double h = 1;
  const int intervals = 1 << 16;
  const double dx = h / intervals;
  std::vector<std::vector<double>> want(5, std::vector<double>(5, 0.0));
  for (int k = 0; k <= intervals; ++k) {
    const double weight = (k == 0 || k == intervals) ? 1 : (k % 2 == 1 ? 4 : 2);
    const SquareMatrix e = exp_as(k * dx);
    for (int i = 0; i < 5; ++i)
      for (int j = 0; j < 5; ++j) want[i][j] += weight * dx / 3 * e(i, j);
  }
  // Relative to each element; the elements that V's pattern leaves at zero come out within a
  // rounding of the largest.
  const StepMatrices m = ComputeStepMatrices(a, h);
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j)
      EXPECT_NEAR(m.integral(i, j), want[i][j], 1e-10 * std::fabs(want[i][j]) + 1e-14) << i << j;
  const SquareMatrix end = exp_as(h);
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) EXPECT_NEAR(m.phi(i, j), end(i, j), 1e-12) << i << j;

  // The vector series of the same step: the fast mode needs so many sub-steps that the
  // matrices take over.
  const std::vector<double> start{1, -2, 0.5, 3, 1};
  const PropagatedState x = PropagateState(a, start, h);
  for (int i = 0; i < 5; ++i) {
    double integral = 0;
    for (int j = 0; j < 5; ++j) integral += want[i][j] * start[j];
    EXPECT_NEAR(x.integral[i], integral, 1e-10 * std::fabs(integral)) << i;
  }
}

}  // namespace
}  // namespace quarn
