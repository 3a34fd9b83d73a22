#include "model/emission_models.h"

#include <algorithm>
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

// The mean of e^(-k s) over the ages s from `age` to `age + d`:
// e^(-k age) (1 - e^(-k d)) / (k d), exactly 1 for k = 0.
double MeanDecay(double k, double age, double d) {
  const double x = k * d;
  return std::exp(-k * age) * (x != 0 ? -std::expm1(-x) / x : 1.0);
}

// MeanDecay for one age and step, kept for the decay constant last asked (the pollutants of
// a source often share it) and, across sources, for the last arguments worked out: sources
// switched on together age alike and a step's length seldom changes, so that most steps
// work it out once for all their decaying sources.
class DecayMeans {
 public:
  DecayMeans(double age, double d) : age_(age), d_(d) {}
  double Of(double k) {
    if (!known_ || k != k_) {
      thread_local double last_k = 0;
      thread_local double last_age = 0;
      thread_local double last_d = 0;
      thread_local double last = 1;
      if (k != last_k || age_ != last_age || d_ != last_d) {
        last = MeanDecay(k, age_, d_);
        last_k = k;
        last_age = age_;
        last_d = d_;
      }
      mean_ = last;
      k_ = k;
      known_ = true;
    }
    return mean_;
  }

 private:
  double age_;
  double d_;
  bool known_ = false;
  double k_ = 0;
  double mean_ = 1;
};

// Written inline into both callers: it runs for every pollutant of every decaying source in
// every step.
[[gnu::always_inline]] inline double R0kMean(const SourceRecord& source, int p, DecayMeans& decay) {
  // A term without a coefficient adds nothing: most sources use one exponential of three.
  double sum = P(source, 0, p) * decay.Of(P(source, 1, p));
  if (P(source, 2, p) != 0) sum += P(source, 2, p) * decay.Of(P(source, 3, p));
  if (P(source, 4, p) != 0) sum += P(source, 4, p) * decay.Of(P(source, 5, p));
  return sum * source.Size;
}

}  // namespace

bool IsClosedFormModel(int model) {
  return model == 1 || model == 2 || model == 4 || model == 6;
}

double R0kMeanRate(const SourceRecord& source, int p, double age, double hours) {
  DecayMeans decay(age, hours);
  return R0kMean(source, p, decay);
}

PerPollutant<double> R0kMeanRates(const SourceRecord& source, int pollutants, double age,
                                  double hours) {
  DecayMeans decay(age, hours);
  PerPollutant<double> means{};
  for (int p = 0; p < std::clamp(pollutants, 0, kMaxPollutants); ++p)
    means[p] = R0kMean(source, p, decay);
  return means;
}

double Paint1MeanRate(const SourceRecord& source, int p, double age, double hours) {
  const double r0 = P(source, 0, p);
  const double k1 = P(source, 1, p);
  const double c = k1 * r0;
  const double start = 1 + c * age;
  // A coating whose rate would pass through a pole within the part keeps the rate it starts
  // the part with.
  if (c == 0 || !(start > 0) || !(start + c * hours > 0)) return r0 / start * source.Size;
  return std::log1p(c * hours / start) / k1 / hours * source.Size;
}

double ClosedFormRate(const SourceRecord& source, int p, double age) {
  switch (source.Model) {
    case 1: {
      double sum = 0;
      for (int term = 0; term < 3; ++term)
        sum += P(source, 2 * term, p) * std::exp(-P(source, 2 * term + 1, p) * age);
      return sum * source.Size;
    }
    case 2:
      return P(source, 0, p) / (1 + age * P(source, 1, p) * P(source, 0, p)) * source.Size;
    case 4:
      return age >= kRTFirstAge ? P(source, 0, p) * std::pow(age / 24, -P(source, 1, p)) : 0.0;
    default:
      return 0;
  }
}

double RTMeanRate(const SourceRecord& source, int p, double age, double hours) {
  const double from = std::max(age, kRTFirstAge);
  const double to = age + hours;
  if (!(to > from)) return 0;
  // Alpha x^-P1 over the days x1 to x2: x1^(1-P1) (e^((1-P1) ln(x2/x1)) - 1) / (1 - P1),
  // written with expm1 so that P1 near 1 loses nothing.
  const double x1 = from / 24;
  const double power = 1 - P(source, 1, p);
  const double log_ratio = std::log(to / from);
  const double days =
      power != 0 ? std::pow(x1, power) * std::expm1(power * log_ratio) / power : log_ratio;
  return P(source, 0, p) * 24 * days / hours;
}

double PolyfitMeanRate(const SourceRecord& source, int p, double t, double hours) {
  // A cubic's mean over an interval, from its midpoint m and length d:
  // A0 + A1 m + A2 (m² + d²/12) + A3 (m³ + m d²/4).
  const double m = t + hours / 2;
  const double d2 = hours * hours;
  return (P(source, 0, p) + P(source, 1, p) * m + P(source, 2, p) * (m * m + d2 / 12) +
          P(source, 3, p) * (m * m * m + m * d2 / 4)) *
         source.Size;
}

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
  float& m1 = state.reservoir_mass[p];
  float& m2 = state.layer2_mass[p];

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
  const double a = state.source_age;
  if (a == 0) return 0;
  // A term without a coefficient adds nothing: most sources use one exponential of three.
  double sum = P(source, 0, p) * KeptExp(-P(source, 1, p) * a);
  if (P(source, 2, p) != 0) sum += P(source, 2, p) * KeptExp(-P(source, 3, p) * a);
  if (P(source, 4, p) != 0) sum += P(source, 4, p) * KeptExp(-P(source, 5, p) * a);
  return sum * source.Size;
}

double Paint1Emission(const SourceRecord& source, const SourceState& state, int p) {
  const double r0 = P(source, 0, p);
  return r0 / (1 + state.source_age * P(source, 1, p) * r0) * source.Size;
}

double Paint2Emission(const SourceRecord& source, SourceState& state, int p, float croom,
                      float dt) {
  const double c0 = P(source, 0, p);
  const double mvb0 = P(source, 2, p);
  float& m = state.reservoir_mass[p];

  double r1 = 0;
  if (m > 0) {
    r1 = P(source, 1, p) * (croom - c0 * m / mvb0);
    if (r1 > 0) r1 = 0;
    if (StepLoss(dt, r1) >= m) r1 = -m / static_cast<double>(dt);
  }
  // Diffusion out of the substrate grows as the surface layer dries (1 - M / MVB0).
  double r2 = 0;
  const double a = state.source_age;
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
  const float days = static_cast<float>(state.source_age / 24.0);
  if (days >= 0.05f) return P(source, 0, p) / std::pow(static_cast<double>(days), P(source, 1, p));
  return 0;
}

double ShowerEmission(float air_conc, const SourceRecord& source, int p) {
  const double henry = P(source, 1, p);
  const double size = source.Size;
  if (henry <= 0 || size <= 0) return 0;
  return (P(source, 2, p) - air_conc / henry) * (1 - std::exp(-P(source, 0, p) / size)) * size;
}

double PolyfitEmission(const SourceRecord& source, int p, float t) {
  const double x = t;
  return (P(source, 0, p) + P(source, 1, p) * x + P(source, 2, p) * x * x +
          P(source, 3, p) * x * x * x) *
         source.Size;
}

double VBXEmission(const SourceRecord& source, SourceState& state, int p, float croom, float dt,
                   float total_mass) {
  if (total_mass < 1E-10f) return 0;
  float& m = state.reservoir_mass[p];
  double r = 0;
  if (m > 0) {
    r = P(source, 1, p) * (croom - P(source, 0, p) * m / total_mass);
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
