#include "model/exact_step.h"

#include <algorithm>
#include <cmath>

namespace quarn {
namespace {

// The series converge fast and without cancellation once the scaled step is this small
// against the rates (largest row sum of |A| h / 2^s).
constexpr double kMatrixSeriesNorm = 0.5;
// The vector series may start from a larger step: each of its sub-steps costs one
// matrix-vector product a term, and a term of 1 takes about twenty more to fall below the
// stop.
constexpr double kVectorSeriesNorm = 1.0;
// No rate a building can hold needs more halvings than this (2^64 steps of the smallest).
constexpr int kMostHalvings = 64;
// A series stops once its term is this small against the first (the identity, or the
// starting vector), well below a double's rounding, or after this many terms.
constexpr double kNegligibleTerm = 1e-18;
constexpr int kMostTerms = 60;

// The largest row sum of magnitudes: a bound on how far one step can take any state.
double RowNorm(const SquareMatrix& m) {
  double largest = 0;
  for (int i = 0; i < m.Order(); ++i) {
    double sum = 0;
    for (double x : m.Row(i)) sum += std::fabs(x);
    largest = std::max(largest, sum);
  }
  return largest;
}

double MaxNorm(std::span<const double> v) {
  double largest = 0;
  for (double x : v) largest = std::max(largest, std::fabs(x));
  return largest;
}

int HalvingsFor(double norm, double limit) {
  int halvings = 0;
  while (norm > limit && halvings < kMostHalvings) {
    norm /= 2;
    ++halvings;
  }
  return halvings;
}

void Scale(SquareMatrix& m, double factor) {
  for (int i = 0; i < m.Order(); ++i)
    for (int j = 0; j < m.Order(); ++j) m(i, j) *= factor;
}

void AddScaled(SquareMatrix& to, const SquareMatrix& x, double factor) {
  for (int i = 0; i < to.Order(); ++i)
    for (int j = 0; j < to.Order(); ++j) to(i, j) += factor * x(i, j);
}

std::vector<double> Times(const SquareMatrix& a, std::span<const double> v) {
  std::vector<double> out(v.size());
  for (int i = 0; i < a.Order(); ++i) {
    double sum = 0;
    const auto row = a.Row(i);
    for (std::size_t j = 0; j < v.size(); ++j) sum += row[j] * v[j];
    out[static_cast<std::size_t>(i)] = sum;
  }
  return out;
}

}  // namespace

SquareMatrix SquareMatrix::Identity(int order) {
  SquareMatrix m(order);
  for (int i = 0; i < order; ++i) m(i, i) = 1;
  return m;
}

namespace {

// The product, with each element's sum of products formed in the same order whether two or
// four doubles go at once, so that both give the same bits.
[[gnu::always_inline]] inline void MultiplyInto(const SquareMatrix& x, const SquareMatrix& y,
                                                SquareMatrix& out) {
  const int n = x.Order();
  for (int i = 0; i < n; ++i) {
    double* row_out = &out(i, 0);
    for (int k = 0; k < n; ++k) {
      const double xik = x(i, k);
      if (xik == 0) continue;  // the rate matrices of buildings are mostly zeros
      const double* row = y.Row(k).data();
      for (int j = 0; j < n; ++j) row_out[j] += xik * row[j];
    }
  }
}

void MultiplyPlain(const SquareMatrix& x, const SquareMatrix& y, SquareMatrix& out) {
  MultiplyInto(x, y, out);
}

[[gnu::target("avx")]] void MultiplyWide(const SquareMatrix& x, const SquareMatrix& y,
                                          SquareMatrix& out) {
  MultiplyInto(x, y, out);
}

using Multiply = void (*)(const SquareMatrix&, const SquareMatrix&, SquareMatrix&);
const Multiply kMultiply = __builtin_cpu_supports("avx") ? MultiplyWide : MultiplyPlain;

}  // namespace

SquareMatrix operator*(const SquareMatrix& x, const SquareMatrix& y) {
  SquareMatrix out(x.Order());
  kMultiply(x, y, out);
  return out;
}

StepMatrices ComputeStepMatrices(const SquareMatrix& a, double h) {
  const int n = a.Order();
  const int halvings = HalvingsFor(RowNorm(a) * std::fabs(h), kMatrixSeriesNorm);
  double tau = std::ldexp(h, -halvings);
  SquareMatrix scaled = a;
  Scale(scaled, tau);

  // Phi = sum M^k / k! and Integral = tau sum M^k / (k + 1)!, from the same powers of
  // M = A h / 2^s.
  StepMatrices out{SquareMatrix(n), SquareMatrix(n)};
  SquareMatrix term = SquareMatrix::Identity(n);
  for (int k = 0; k < kMostTerms; ++k) {
    if (k > 0) {
      term = term * scaled;
      Scale(term, 1.0 / k);
    }
    AddScaled(out.Phi, term, 1.0);
    AddScaled(out.Integral, term, tau / (k + 1));
    if (k > 0 && !(RowNorm(term) >= kNegligibleTerm)) break;
  }

  // Each doubling joins two half steps, the second starting where the first ended:
  // Phi(2t) = Phi(t)^2 and Integral(2t) = Integral(t) + Phi(t) Integral(t).
  for (int d = 0; d < halvings; ++d) {
    AddScaled(out.Integral, out.Phi * out.Integral, 1.0);
    out.Phi = out.Phi * out.Phi;
    tau *= 2;
  }
  return out;
}

PropagatedState PropagateState(const SquareMatrix& a, std::span<const double> start, double h) {
  const int n = a.Order();
  if (n == 0) return {};
  const double norm = RowNorm(a) * std::fabs(h);
  const int halvings = HalvingsFor(norm, kVectorSeriesNorm);
  // Very fast rates against the step need so many sub-steps that the matrices are cheaper.
  const double vector_cost = std::ldexp(1.0, halvings) * 25.0 * n * n;
  const double matrix_cost = (HalvingsFor(norm, kMatrixSeriesNorm) + 25.0) * 2.0 * n * n * n;
  if (vector_cost > matrix_cost) {
    const StepMatrices m = ComputeStepMatrices(a, h);
    return {Times(m.Phi, start), Times(m.Integral, start)};
  }
  const double tau = std::ldexp(h, -halvings);
  PropagatedState out{{start.begin(), start.end()}, std::vector<double>(start.size())};
  const long steps = 1L << halvings;
  for (long s = 0; s < steps; ++s) {
    std::vector<double> term = out.End;
    const double first = MaxNorm(term);
    if (!(first > 0)) break;  // nothing left to carry: the rest of the step stays at zero
    for (std::size_t i = 0; i < term.size(); ++i) out.Integral[i] += tau * term[i];
    for (int k = 1; k < kMostTerms; ++k) {
      term = Times(a, term);
      for (double& x : term) x *= tau / k;
      for (std::size_t i = 0; i < term.size(); ++i) {
        out.End[i] += term[i];
        out.Integral[i] += tau * term[i] / (k + 1);
      }
      if (!(MaxNorm(term) >= kNegligibleTerm * first)) break;
    }
  }
  return out;
}

}  // namespace quarn
