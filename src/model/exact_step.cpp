#include "model/exact_step.h"

#include <algorithm>
#include <cmath>

namespace quarn {
namespace {

using Matrix = StepMatrices::Matrix;

// The largest row sum of magnitudes: a bound on how far one step can take any room.
double RowNorm(const Matrix& m, int n) {
  double largest = 0;
  for (int i = 0; i < n; ++i) {
    double sum = 0;
    for (int j = 0; j < n; ++j) sum += std::fabs(m[i * n + j]);
    largest = std::max(largest, sum);
  }
  return largest;
}

Matrix Product(const Matrix& x, const Matrix& y, int n) {
  Matrix out{};
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < n; ++k) {
      const double xik = x[i * n + k];
      if (xik == 0) continue;
      for (int j = 0; j < n; ++j) out[i * n + j] += xik * y[k * n + j];
    }
  }
  return out;
}

}  // namespace

StepMatrices ComputeStepMatrices(const Matrix& a, int n, double h) {
  // Halve the step until it is small against the fastest rate (|A h / 2^s| <= 1/2), where
  // the series converge quickly and without cancellation.
  double norm = RowNorm(a, n) * std::fabs(h);
  int halvings = 0;
  while (norm > 0.5 && halvings < 64) {
    norm /= 2;
    ++halvings;
  }
  double tau = std::ldexp(h, -halvings);
  Matrix scaled{};
  for (int i = 0; i < n * n; ++i) scaled[i] = a[i] * tau;

  // Phi = sum M^k / k!, Integral = tau sum M^k / (k + 1)!, SecondIntegral =
  // tau^2 sum M^k / (k + 2)!, all from the same powers of M = A h / 2^s.
  StepMatrices out;
  Matrix& phi = out.Phi;
  Matrix& first = out.Integral;
  Matrix& second = out.SecondIntegral;
  Matrix term{};
  for (int i = 0; i < n; ++i) term[i * n + i] = 1;
  for (int k = 0; k <= 40; ++k) {
    if (k > 0) {
      term = Product(term, scaled, n);
      for (int i = 0; i < n * n; ++i) term[i] /= k;
    }
    const double k1 = k + 1;
    for (int i = 0; i < n * n; ++i) {
      phi[i] += term[i];
      first[i] += tau * term[i] / k1;
      second[i] += tau * tau * term[i] / (k1 * (k1 + 1));
    }
    if (k > 0 && !(RowNorm(term, n) >= 1e-18)) break;
  }

  // Each doubling joins two half steps: the second half starts where the first ended, so
  // Phi(2t) = Phi(t)^2, Integral(2t) = Integral(t) + Phi(t) Integral(t) and
  // SecondIntegral(2t) = SecondIntegral(t) + t Integral(t) + Phi(t) SecondIntegral(t).
  for (int d = 0; d < halvings; ++d) {
    const Matrix phi_first = Product(phi, first, n);
    const Matrix phi_second = Product(phi, second, n);
    for (int i = 0; i < n * n; ++i) {
      second[i] += tau * first[i] + phi_second[i];
      first[i] += phi_first[i];
    }
    phi = Product(phi, phi, n);
    tau *= 2;
  }
  return out;
}

}  // namespace quarn
