#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace quarn {

// A square matrix of doubles, row-major, of the order the system in hand needs: a step's
// working-out costs what its states cost, not what the largest building would.
class SquareMatrix {
 public:
  SquareMatrix() = default;
  explicit SquareMatrix(int order)
      : order_(order), values_(static_cast<std::size_t>(order) * static_cast<std::size_t>(order)) {}
  static SquareMatrix Identity(int order);

  int Order() const { return order_; }
  double& operator()(int i, int j) { return values_[Index(i, j)]; }
  double operator()(int i, int j) const { return values_[Index(i, j)]; }
  std::span<const double> Row(int i) const {
    return std::span<const double>(values_).subspan(Index(i, 0), static_cast<std::size_t>(order_));
  }
  std::span<const double> Values() const { return values_; }
  std::span<double> Values() { return values_; }
  bool operator==(const SquareMatrix&) const = default;

 private:
  std::size_t Index(int i, int j) const {
    return static_cast<std::size_t>(i) * static_cast<std::size_t>(order_) +
           static_cast<std::size_t>(j);
  }
  int order_ = 0;
  std::vector<double> values_;
};

SquareMatrix operator*(const SquareMatrix& x, const SquareMatrix& y);

// y += a x, element by element, as wide as the processor allows and with the same bits.
void AddMultiple(std::span<double> y, double a, std::span<const double> x);

// The exact solution over a step h of the linear system dz/dt = A z:
//   z(h)       = Phi z(0)        with Phi      = e^(A h)
//   ∫0^h z dt  = Integral z(0)   with Integral = ∫0^h e^(A s) ds
// A step of the concentration run puts everything that varies within the step (the rooms,
// the sinks and layers that exchange with them, the polynomial and decaying inputs) into z,
// so that these two matrices give the step's end and its totals from one solution.
struct StepMatrices {
  SquareMatrix phi;
  SquareMatrix integral;
};

// Both matrices by scaling and squaring: the Taylor series at h / 2^s, where the step is
// small against the rates, then s doublings of the step.
StepMatrices ComputeStepMatrices(const SquareMatrix& a, double h);

// z(h) and ∫0^h z dt for one starting vector, for a step whose matrices are not worth
// keeping (a step cut short at a switch or an event): the same series applied to the vector,
// at a cost of matrix-vector products only.
struct PropagatedState {
  std::vector<double> end;
  std::vector<double> integral;
};
PropagatedState PropagateState(const SquareMatrix& a, std::span<const double> start, double h);

}  // namespace quarn
