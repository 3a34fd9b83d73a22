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
    const double* row = m.Row(i).data();
    for (int j = 0; j < m.Order(); ++j) sum += std::fabs(row[j]);
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
  for (double& x : m.Values()) x *= factor;
}

void AddScaled(SquareMatrix& to, const SquareMatrix& x, double factor) {
  AddMultiple(to.Values(), factor, x.Values());
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

// y += a x with two or four doubles at once: element by element, so both give the same bits.
[[gnu::always_inline]] inline void AddMultipleInto(double* __restrict y, double a,
                                                   const double* __restrict x, std::size_t n) {
  for (std::size_t j = 0; j < n; ++j) y[j] += a * x[j];
}

void AddMultiplePlain(double* y, double a, const double* x, std::size_t n) {
  AddMultipleInto(y, a, x, n);
}

[[gnu::target("avx")]] void AddMultipleWide(double* y, double a, const double* x, std::size_t n) {
  AddMultipleInto(y, a, x, n);
}

using AddMultipleKernel = void (*)(double*, double, const double*, std::size_t);
const AddMultipleKernel kAddMultiple =
    __builtin_cpu_supports("avx") ? AddMultipleWide : AddMultiplePlain;

// The nonzero entries of a matrix, row by row.
class SparseRows {
 public:
  explicit SparseRows(const SquareMatrix& m) : order_(m.Order()) {
    starts_.reserve(static_cast<std::size_t>(order_) + 1);
    for (int i = 0; i < order_; ++i) {
      starts_.push_back(entries_.size());
      for (int k = 0; k < order_; ++k)
        if (m(i, k) != 0) entries_.push_back({k, m(i, k)});
    }
    starts_.push_back(entries_.size());
  }
  // out = factor (this times y).
  void TimesInto(const SquareMatrix& y, double factor, SquareMatrix& out) const {
    const auto n = static_cast<std::size_t>(order_);
    for (int i = 0; i < order_; ++i) {
      double* row_out = &out(i, 0);
      std::fill(row_out, row_out + n, 0.0);
      for (std::size_t e = starts_[static_cast<std::size_t>(i)];
           e < starts_[static_cast<std::size_t>(i) + 1]; ++e) {
        kAddMultiple(row_out, entries_[e].value * factor, y.Row(entries_[e].column).data(), n);
      }
    }
  }

 private:
  struct Entry {
    int column;
    double value;
  };
  int order_;
  std::vector<std::size_t> starts_;
  std::vector<Entry> entries_;
};

}  // namespace

void AddMultiple(std::span<double> y, double a, std::span<const double> x) {
  kAddMultiple(y.data(), a, x.data(), y.size());
}

SquareMatrix operator*(const SquareMatrix& x, const SquareMatrix& y) {
  const int n = x.Order();
  SquareMatrix out(n);
  for (int i = 0; i < n; ++i) {
    double* row_out = &out(i, 0);
    for (int k = 0; k < n; ++k) {
      const double xik = x(i, k);
      if (xik == 0) continue;  // the rate matrices of buildings are mostly zeros
      kAddMultiple(row_out, xik, y.Row(k).data(), static_cast<std::size_t>(n));
    }
  }
  return out;
}

StepMatrices ComputeStepMatrices(const SquareMatrix& a, double h) {
  const int n = a.Order();
  const int halvings = HalvingsFor(RowNorm(a) * std::fabs(h), kMatrixSeriesNorm);
  double tau = std::ldexp(h, -halvings);
  SquareMatrix scaled = a;
  Scale(scaled, tau);

  // Phi = sum M^k / k! and Integral = tau sum M^k / (k + 1)!, from the same powers of
  // M = A h / 2^s. A building's rates are mostly zeros (a sink or layer meets only its own
  // room), so each power is M times the one before, by M's nonzero entries only.
  const SparseRows sparse(scaled);
  StepMatrices out{SquareMatrix(n), SquareMatrix(n)};
  SquareMatrix term = SquareMatrix::Identity(n);
  SquareMatrix next(n);
  for (int k = 0; k < kMostTerms; ++k) {
    if (k > 0) {
      sparse.TimesInto(term, 1.0 / k, next);
      std::swap(term, next);
    }
    AddScaled(out.phi, term, 1.0);
    AddScaled(out.integral, term, tau / (k + 1));
    if (k > 0 && !(RowNorm(term) >= kNegligibleTerm)) break;
  }

  // Each doubling joins two half steps, the second starting where the first ended:
  // Phi(2t) = Phi(t)^2 and Integral(2t) = Integral(t) + Phi(t) Integral(t).
  for (int d = 0; d < halvings; ++d) {
    AddScaled(out.integral, out.phi * out.integral, 1.0);
    out.phi = out.phi * out.phi;
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
    return {Times(m.phi, start), Times(m.integral, start)};
  }
  const double tau = std::ldexp(h, -halvings);
  PropagatedState out{{start.begin(), start.end()}, std::vector<double>(start.size())};
  const long steps = 1L << halvings;
  for (long s = 0; s < steps; ++s) {
    std::vector<double> term = out.end;
    const double first = MaxNorm(term);
    if (!(first > 0)) break;  // nothing left to carry: the rest of the step stays at zero
    for (std::size_t i = 0; i < term.size(); ++i) out.integral[i] += tau * term[i];
    for (int k = 1; k < kMostTerms; ++k) {
      term = Times(a, term);
      for (double& x : term) x *= tau / k;
      for (std::size_t i = 0; i < term.size(); ++i) {
        out.end[i] += term[i];
        out.integral[i] += tau * term[i] / (k + 1);
      }
      if (!(MaxNorm(term) >= kNegligibleTerm * first)) break;
    }
  }
  return out;
}

}  // namespace quarn
