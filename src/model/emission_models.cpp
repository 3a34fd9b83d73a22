#include "model/emission_models.h"

#include <array>
#include <cmath>

namespace quarn {
namespace {

double P(const SourceRecord& source, int row, int pollutant) {
  return source.Params[row][pollutant];
}

// The step |dt r| as the Single the layer mass is compared with.
float StepLoss(double dt, double r) {
  return static_cast<float>(std::fabs(dt * r));
}

// e^x, kept for the argument of the last call: the sources of a building often share their
// decay constants across pollutants and rooms, and sources switched on together age alike,
// so that most steps need a single exponential for all of them.
double KeptExp(double x) {
  thread_local double last_x = 0;
  thread_local double last = 1;
  if (x != last_x) {
    last = std::exp(x);
    last_x = x;
  }
  return last;
}

}  // namespace

std::string EmissionModelName(int model) {
  static const std::array<const char*, 11> kNames = {
      "Mass transfer", "R0k", "Paint1",          "Paint2",       "R/T",        "Shower",
      "Polyfit",       "VBX", "Petroleum spill", "Single spill", "Exact spill"};
  if (model < 0 || model > 10) return "";
  return kNames[model];
}

int GetSourceModel(const std::string& name) {
  static const std::array<const char*, 10> kCodes = {"Mass Xfer", "R0k",    "Paint1",  "Paint2",
                                                     "R/T",       "Shower", "Polyfit", "VBX",
                                                     "Spill1",    "Spill2"};
  for (size_t m = 0; m < kCodes.size(); ++m) {
    if (name == kCodes[m]) return static_cast<int>(m);
  }
  return 0;
}

double MassTransferEmission(const SourceRecord& source, SourceState& state, int p, float croom,
                            float dt) {
  const double c0 = P(source, 0, p);
  float& m1 = state.Param7[p];
  float& m2 = state.Param8[p];

  // Layer 1 only releases: its rate is clamped at 0 and a step that would take more than
  // is left empties the layer instead of driving the mass negative.
  double r1 = 0;
  if (m1 > 0) {
    r1 = P(source, 1, p) * (croom - c0 * m1 / P(source, 2, p));
    if (r1 > 0) r1 = 0;
    if (StepLoss(dt, r1) < m1) {
      m1 = static_cast<float>(m1 + dt * r1);
    } else {
      r1 = -m1 / static_cast<double>(dt);
      m1 = 0;
    }
  }

  // Layer 2 exchanges both ways: above its equilibrium it takes pollutant up from the room,
  // which loses it as a negative emission, and like layer 1 it gives no more than it holds.
  double r2 = 0;
  if (m2 > 0) {
    r2 = P(source, 4, p) * (croom - c0 * m2 / P(source, 5, p));
    if (r2 >= 0 || StepLoss(dt, r2) < m2) {
      m2 = static_cast<float>(m2 + dt * r2);
    } else {
      r2 = -m2 / static_cast<double>(dt);
      m2 = 0;
    }
  }
  return -(r1 + r2) * source.Size;
}

double R0kEmission(const SourceRecord& source, const SourceState& state, int p) {
  const double a = state.SourceAge;
  if (a == 0) return 0;
  // A term without a coefficient adds nothing: most sources use one exponential of three.
  double sum = P(source, 0, p) * KeptExp(-P(source, 1, p) * a);
  if (P(source, 2, p) != 0) sum += P(source, 2, p) * KeptExp(-P(source, 3, p) * a);
  if (P(source, 4, p) != 0) sum += P(source, 4, p) * KeptExp(-P(source, 5, p) * a);
  return sum * source.Size;
}

double Paint1Emission(const SourceRecord& source, const SourceState& state, int p) {
  const double r0 = P(source, 0, p);
  return r0 / (1 + state.SourceAge * P(source, 1, p) * r0) * source.Size;
}

double Paint2Emission(const SourceRecord& source, SourceState& state, int p, float croom,
                      float dt) {
  const double c0 = P(source, 0, p);
  const double mvb0 = P(source, 2, p);
  float& m = state.Param7[p];

  double r1 = 0;
  if (m > 0) {
    r1 = P(source, 1, p) * (croom - c0 * m / mvb0);
    if (r1 > 0) r1 = 0;
    if (StepLoss(dt, r1) >= m) r1 = -m / static_cast<double>(dt);
  }
  // Diffusion out of the substrate grows as the surface layer dries (1 - M / MVB0).
  double r2 = 0;
  const double a = state.SourceAge;
  if (a > 0) {
    const double e = P(source, 4, p);
    const double dry = 1 - m / mvb0;
    r2 = -e * dry * dry * P(source, 5, p) * std::exp(-2 * e * std::sqrt(a)) / std::sqrt(a);
  }
  const double emission = -(r1 + r2) * source.Size;
  m = static_cast<float>(m + dt * r1);
  return emission;
}

double RTEmission(const SourceRecord& source, const SourceState& state, int p) {
  const float days = static_cast<float>(state.SourceAge / 24.0);
  if (days >= 0.05f) return P(source, 0, p) / std::pow(static_cast<double>(days), P(source, 1, p));
  return 0;
}

double ShowerEmission(float airConc, const SourceRecord& source, int p) {
  const double henry = P(source, 1, p);
  const double size = source.Size;
  if (henry <= 0 || size <= 0) return 0;
  return (P(source, 2, p) - airConc / henry) * (1 - std::exp(-P(source, 0, p) / size)) * size;
}

double PolyfitEmission(const SourceRecord& source, int p, float t) {
  const double x = t;
  return (P(source, 0, p) + P(source, 1, p) * x + P(source, 2, p) * x * x +
          P(source, 3, p) * x * x * x) *
         source.Size;
}

double VBXEmission(const SourceRecord& source, SourceState& state, int p, float croom, float dt,
                   float totalMass) {
  if (totalMass < 1E-10f) return 0;
  float& m = state.Param7[p];
  double r = 0;
  if (m > 0) {
    r = P(source, 1, p) * (croom - P(source, 0, p) * m / totalMass);
    if (r > 0) r = 0;
    if (StepLoss(dt, r) < m) {
      m = static_cast<float>(m + dt * r);
    } else {
      r = -m / static_cast<double>(dt);
      m = 0;
    }
  }
  return -r * source.Size;
}

}  // namespace quarn
