#include "model/chamber_fit.h"

#include <algorithm>
#include <cmath>

namespace quarn {

namespace {

constexpr const char* kErrorTitle = "Error";

// Rates of the peak-time table, for its rows (N) and its columns (k) alike, 1/h.
constexpr std::array<float, 7> kPeakTimeAxis = {0.01001f, 0.05001f, 0.1001f, 0.5001f,
                                                1.001f,   5.0001f,  10.001f};

// Time of the chamber peak, ln(N/k)/(N − k) h, rounded to about two decimals, with its limit
// 1/N on the diagonal. Used as listed: the small asymmetries (40.19 against 40.09) are part of
// the start values users have always been given.
constexpr std::array<std::array<float, 7>, 7> kPeakTimeTable = {{
    {99.5f, 40.19f, 25.57f, 7.98f, 4.65f, 1.25f, 0.69f},
    {40.09f, 19.98f, 13.86f, 5.12f, 3.15f, 0.93f, 0.53f},
    {25.5f, 13.85f, 10.0f, 4.02f, 2.56f, 0.8f, 0.47f},
    {7.97f, 5.11f, 4.02f, 2.0f, 1.39f, 0.51f, 0.32f},
    {4.64f, 3.15f, 2.56f, 1.39f, 1.0f, 0.4f, 0.26f},
    {1.24f, 0.93f, 0.8f, 0.51f, 0.4f, 0.2f, 0.14f},
    {0.69f, 0.53f, 0.47f, 0.32f, 0.26f, 0.14f, 0.1f},
}};

// Below this |(N − k)·t| the model takes its limit at k = N.
constexpr double kNearEqualRates = 1e-9;

// The model's time shape (e^(−k·t) − e^(−N·t))/(N − k) and its derivative by k. Written
// with x = (N − k)·t around expm1, so that neither loses its digits when k nears N (the two
// exponentials then cancel), and with the smaller exponential factored out, so that a long
// test does not overflow.
struct Shape {
  double value;
  double by_k;
};

Shape ModelShape(double n, double k, double t) {
  const double d = n - k;
  const double x = d * t;
  if (std::fabs(x) < kNearEqualRates) {
    const double e = std::exp(-n * t);
    return {t * e, -(t * t / 2) * e};
  }
  if (x > 0) {
    // e^(−N·t)·e^x = e^(−k·t)
    const double e = std::exp(-k * t);
    const double rise = -std::expm1(-x);
    return {e * rise / d, e * (rise - x) / (d * d)};
  }
  const double e = std::exp(-n * t);
  const double rise = std::expm1(x);
  return {e * rise / d, e * (rise - x * std::exp(x)) / (d * d)};
}

double AreaPerVolume(const ChamberDataRecord& record) {
  return static_cast<double>(record.SourceArea) / static_cast<double>(record.Volume);
}

// One fit: the parameters in place, the last predictions and residuals, and the damping that
// carries over from one iteration to the next.
class R0kFit {
 public:
  enum class End { NextIteration, Converged, Stalled, PivotError, AtZeroK };

  R0kFit(float& r0, float& k, const ChamberDataRecord& record, ChamberPoints& predicted,
         ChamberFitProgress& progress)
      : r0_(r0), k_(k), record_(record), predicted_(predicted), progress_(progress) {}

  // Predicts all points at the current R0, k; false when the sum is no number.
  bool Evaluate() {
    PredictChamberConcentration(r0_, k_, record_, predicted_);
    s_ = SumSquaredResiduals(record_, predicted_, residuals_);
    return std::isfinite(s_) && std::isfinite(r0_) && std::isfinite(k_);
  }

  // One iteration from its start (after the counter and the display).
  End Iterate() {
    const double s_old = s_;
    const std::array<float, 2> p_old = {r0_, k_};
    left_range_ = false;

    // Normal matrix of the two parameters and the right-hand side.
    std::array<std::array<double, 3>, 2> m{};
    const int n = ChamberPointCount(record_);
    for (int i = 1; i <= n; ++i) {
      const auto g = ChamberModelGradient(r0_, k_, record_.Times[i], record_);
      const std::array<double, 3> row = {g[0], g[1], residuals_[i]};
      for (int a = 0; a < 2; ++a) {
        for (int b = 0; b < 3; ++b) m[a][b] += row[a] * row[b];
      }
    }
    std::array<double, 3> scale{};
    for (int a = 0; a < 2; ++a) {
      if (!(m[a][a] > 0)) return End::PivotError;
      scale[a] = 1 / std::sqrt(m[a][a]);
    }
    if (s_old <= 0) return End::Converged;  // the model already meets every point
    scale[2] = 1 / std::sqrt(s_old);
    for (int a = 0; a < 2; ++a) {
      for (int b = 0; b < 3; ++b) m[a][b] *= scale[a] * scale[b];
    }

    if (lambda_ >= 1e-6) lambda_ /= 10;
    const double lambda0 = lambda_;
    for (;;) {
      std::array<double, 2> x{};
      if (!Solve(m, x)) return End::PivotError;
      std::array<double, 2> dp{};
      for (int a = 0; a < 2; ++a) dp[a] = scale[a] * x[a] / scale[2];
      r0_ = static_cast<float>(p_old[0] + dp[0]);
      k_ = static_cast<float>(p_old[1] + dp[1]);
      if (!std::isfinite(r0_) || !std::isfinite(k_)) return End::PivotError;
      // A step out of the model's range (a negative emission or decay) is a failed step like
      // one that raises the sum: more damping turns it towards the gradient and shortens it.
      if (InRange()) {
        if (!Evaluate()) return End::PivotError;
        if (lambda_ == lambda0 && Converged(dp)) return End::Converged;
        if (s_ < s_old) return End::NextIteration;
      } else {
        left_range_ = true;
      }
      if (lambda_ < 20) {
        lambda_ *= 10;
        continue;
      }
      return ShortenStep(p_old, dp, s_old);
    }
  }

 private:
  // The damped normal equations, unit diagonal raised by λ, by elimination.
  bool Solve(const std::array<std::array<double, 3>, 2>& m, std::array<double, 2>& x) const {
    auto b = m;
    b[0][0] = b[1][1] = 1 + lambda_;
    for (int a = 0; a < 2; ++a) {
      if (!(std::fabs(b[a][a]) > 1e-10)) return false;
      for (int c = a + 1; c < 3; ++c) b[a][c] /= b[a][a];
      for (int r = a + 1; r < 2; ++r) {
        for (int c = a + 1; c < 3; ++c) b[r][c] -= b[r][a] * b[a][c];
      }
    }
    b[0][2] -= b[0][1] * b[1][2];
    x = {b[0][2], b[1][2]};
    return true;
  }

  bool InRange() const { return r0_ >= 0 && k_ >= 0; }

  bool Converged(const std::array<double, 2>& dp) const {
    const std::array<double, 2> p = {r0_, k_};
    for (int a = 0; a < 2; ++a) {
      if (std::fabs(dp[a]) / std::fabs(p[a] + 0.001) > 1e-6) return false;
    }
    return true;
  }

  // With the damping this high the direction is a gradient step that is still too long:
  // quarter it until the sum falls.
  End ShortenStep(const std::array<float, 2>& p_old, const std::array<double, 2>& dp,
                  double s_old) {
    double f = 1;
    for (;;) {
      f /= 4;
      if (std::fabs(f) < 1e-9) return left_range_ ? End::AtZeroK : End::Stalled;
      r0_ = static_cast<float>(p_old[0] + f * dp[0]);
      k_ = static_cast<float>(p_old[1] + f * dp[1]);
      progress_.ShowR0(r0_);
      progress_.ShowK(k_);
      if (!InRange()) {
        left_range_ = true;
        continue;
      }
      if (!Evaluate()) return End::PivotError;
      if (s_ < s_old) return End::NextIteration;
    }
  }

  float& r0_;
  float& k_;
  const ChamberDataRecord& record_;
  ChamberPoints& predicted_;
  ChamberFitProgress& progress_;
  ChamberPoints residuals_{};
  double s_ = 0;
  double lambda_ = 0.01;
  // A step of this iteration left the model's range: when no shorter step helps either, the
  // data ask for a k below 0.
  bool left_range_ = false;
};

}  // namespace

int ChamberPointCount(const ChamberDataRecord& record) {
  return std::clamp(static_cast<int>(record.NumPoints), 0, kMaxChamberPoints);
}

float Interpolate(float x0, float x1, float y0, float y1, float x) {
  return y0 + (x - x0) * (y1 - y0) / (x1 - x0);
}

float EstimateDecayRate(float air_change_rate, float peak_time) {
  const auto& axis = kPeakTimeAxis;
  const auto& table = kPeakTimeTable;
  // Peak times over k for this N; outside the table's rows it stays all zeros.
  std::array<float, 7> column{};
  if (axis[0] < air_change_rate && air_change_rate < axis[6]) {
    for (int i = 0; i < 6; ++i) {
      if (axis[i] <= air_change_rate && air_change_rate < axis[i + 1]) {
        for (int j = 0; j < 7; ++j) {
          column[j] =
              Interpolate(axis[i], axis[i + 1], table[i][j], table[i + 1][j], air_change_rate);
        }
        break;
      }
    }
  }
  if (peak_time > column[0]) return axis[0];
  if (peak_time <= column[6]) return axis[6];
  for (int j = 0; j < 6; ++j) {
    if (column[j] >= peak_time && peak_time > column[j + 1]) {
      return Interpolate(column[j], column[j + 1], axis[j], axis[j + 1], peak_time);
    }
  }
  return axis[0];  // a peak time that is no number
}

ChamberPeak StartPeak(const ChamberDataRecord& record) {
  if (record.PeakConc > 0 && record.PeakTime > 0) return {record.PeakConc, record.PeakTime};
  // Without the user's estimate, the highest measured point is the observed peak.
  ChamberPeak peak;
  const int n = ChamberPointCount(record);
  for (int i = 1; i <= n; ++i) {
    if (record.Concs[i] > peak.conc && record.Times[i] > 0)
      peak = {record.Concs[i], record.Times[i]};
  }
  return peak;
}

R0k EstimateR0k(const ChamberDataRecord& record) {
  const ChamberPeak peak = StartPeak(record);
  const float k = EstimateDecayRate(record.AirChangeRate, peak.time);
  const double at_unit_r0 = ChamberConcentration(1, k, record, peak.time);
  return {static_cast<float>(static_cast<double>(peak.conc) / at_unit_r0), k};
}

double ChamberConcentration(double r0, double k, const ChamberDataRecord& record, double t) {
  return r0 * AreaPerVolume(record) * ModelShape(record.AirChangeRate, k, t).value;
}

std::array<double, 2> ChamberModelGradient(double r0, double k, double t,
                                           const ChamberDataRecord& record) {
  // C is linear in R0, so its derivative by R0 is C at R0 = 1, defined at R0 = 0 as well.
  const double a = AreaPerVolume(record);
  const Shape shape = ModelShape(record.AirChangeRate, k, t);
  return {a * shape.value, r0 * a * shape.by_k};
}

void PredictChamberConcentration(float r0, float k, const ChamberDataRecord& record,
                                 ChamberPoints& predicted) {
  const int n = ChamberPointCount(record);
  for (int i = 1; i <= n; ++i) predicted[i] = ChamberConcentration(r0, k, record, record.Times[i]);
}

double SumSquaredResiduals(const ChamberDataRecord& record, const ChamberPoints& predicted,
                           ChamberPoints& residuals) {
  double sum = 0;
  const int n = ChamberPointCount(record);
  for (int i = 1; i <= n; ++i) {
    residuals[i] = static_cast<double>(record.Concs[i]) - predicted[i];
    sum += residuals[i] * residuals[i];
  }
  return sum;
}

bool FitR0k(float& r0, float& k, const ChamberDataRecord& record, ChamberPoints& predicted,
            ChamberFitProgress& progress, Prompt& prompt, int iteration_limit) {
  predicted.fill(0);
  R0kFit fit(r0, k, record, predicted, progress);
  progress.ShowR0(r0);
  progress.ShowK(k);
  R0kFit::End end = fit.Evaluate() ? R0kFit::End::NextIteration : R0kFit::End::PivotError;
  int iteration = 0;
  while (end == R0kFit::End::NextIteration && iteration < iteration_limit) {
    ++iteration;
    progress.ShowIteration(iteration);
    progress.ShowR0(r0);
    progress.ShowK(k);
    end = fit.Iterate();
  }
  switch (end) {
    case R0kFit::End::Converged:
      return false;
    case R0kFit::End::PivotError:
      prompt.Message("Error. Revise esitmates and run again.", kErrorTitle, MessageIcon::None);
      break;
    case R0kFit::End::AtZeroK:
      prompt.Message("Error.  Cannot calculate R0,k. Revise estimates and recalc.", kErrorTitle,
                     MessageIcon::Critical);
      break;
    default:
      // Out of iterations, or no shorter step lowers the sum any more.
      prompt.Message("Error.  Failed to converge.", kErrorTitle, MessageIcon::Critical);
      break;
  }
  // Values the fit did not settle on are no result: nothing may take them for one.
  r0 = 0;
  k = 0;
  return true;
}

bool CheckChamberData(const ChamberDataRecord& record, bool r0_is_estimated, Prompt& prompt) {
  const char* problem = nullptr;
  if (!(record.Volume > 0) || !(record.AirChangeRate > 0) || !(record.SourceArea > 0)) {
    problem = "Error.  Chamber volume, air exchange rate and source area must be greater than 0.";
  } else if (record.NumPoints < 2) {
    problem = "Error.  At least two time and concentration points are needed.";
  } else if (r0_is_estimated && StartPeak(record).conc <= 0) {
    problem = "Error.  Enter the estimated peak concentration and time, or a start value of R0.";
  }
  if (problem == nullptr) return true;
  prompt.Message(problem, kErrorTitle, MessageIcon::Critical);
  return false;
}

}  // namespace quarn
