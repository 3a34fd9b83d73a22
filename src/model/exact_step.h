#pragma once

#include <array>

#include "model/records.h"

namespace quarn {

// The exact solution over one step h of the linear system dC/dt = A C + b, where C holds the
// concentrations of the n rooms of a building (one pollutant), A is the building's rate
// matrix (air carried from room to room and through the HVAC system, losses to outdoors,
// cleaners and sinks) and b the inputs held over the step (sources, outdoor air, release from
// sinks):
//   C(h)      = Phi C(0) + Integral b
//   ∫0^h C dt = Integral C(0) + SecondIntegral b
// with Phi = e^(Ah), Integral = ∫0^h e^(As) ds and SecondIntegral = ∫0^h (h - s) e^(As) ds.
// The second line gives the totals of the step (what left, what the sinks and cleaners took)
// from the same solution as the concentrations, so that they close.
//
// Matrices are n × n, row-major, in double; n is at most kMaxRooms.
struct StepMatrices {
  using Matrix = std::array<double, kMaxRooms * kMaxRooms>;
  Matrix Phi{};
  Matrix Integral{};
  Matrix SecondIntegral{};
};

// Works out the three matrices of rate matrix `a` (n × n) and step h by scaling and squaring:
// the Taylor series of all three at h / 2^s, where the step is small against the rates, then
// s doublings of the step, each of which combines the matrices of the half step.
StepMatrices ComputeStepMatrices(const StepMatrices::Matrix& a, int n, double h);

}  // namespace quarn
