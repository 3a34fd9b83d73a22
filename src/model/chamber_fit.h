#pragma once

#include <array>
#include <cstdint>

#include "model/prompt.h"

namespace quarn {

// Fits the first-order emission model of a source to the concentrations measured in a
// ventilated test chamber. The source emits R0·e^(−k·t) per unit area into a chamber of
// volume V with N air changes an hour, so the chamber concentration is
//   C(t) = R0 · (A/V) / (N − k) · (e^(−k·t) − e^(−N·t)).
// Units: V m³, N and k 1/h, A m², t h, C mg/m³, R0 mg/m²/h.

inline constexpr int kMaxChamberPoints = 1000;

// The record of the chamber data file, with the file layout's field names.
// NOLINTBEGIN(readability-identifier-naming)
struct ChamberDataRecord {
  float Volume = 0;         // V, m³
  float AirChangeRate = 0;  // N, 1/h
  float SourceArea = 0;     // A, m²
  float PeakConc = 0;       // observed or estimated peak concentration, mg/m³
  float PeakTime = 0;       // time of that peak, h
  int16_t NumPoints = 0;    // points 1..NumPoints are used
  std::array<float, kMaxChamberPoints + 1> Times{};  // h; index 0 is not used
  std::array<float, kMaxChamberPoints + 1> Concs{};  // mg/m³; index 0 is not used

  bool operator==(const ChamberDataRecord&) const = default;
};
// NOLINTEND(readability-identifier-naming)

// Predicted concentrations and residuals of the points 1..NumPoints, index 0 not used. They
// are kept in double: the fit's convergence test looks at relative steps of 1e-6, finer
// than the sum of squares of single-precision predictions can resolve.
using ChamberPoints = std::array<double, kMaxChamberPoints + 1>;

// NumPoints kept within the record's arrays.
int ChamberPointCount(const ChamberDataRecord& record);

// The straight line through (x0, y0) and (x1, y1) at x.
float Interpolate(float x0, float x1, float y0, float y1, float x);

// Start value of k from the time of the observed peak, read off a table of chamber peak
// times over N and k. An N outside the table's range gives 0.01001 for a positive peak time.
float EstimateDecayRate(float air_change_rate, float peak_time);

// The peak the start values go through: the user's estimate (PeakConc at PeakTime), or the
// highest measured point when the estimate is missing; a conc of 0 when neither is there.
struct ChamberPeak {
  float conc = 0;
  float time = 0;
};
ChamberPeak StartPeak(const ChamberDataRecord& record);

// The initial emission rate R0 and the decay constant k of the chamber model.
struct R0k {
  float r0 = 0;
  float k = 0;
};

// Start values: k from the peak time, then the R0 that puts the model through the peak.
R0k EstimateR0k(const ChamberDataRecord& record);

// C(t) of the record's chamber, and its derivatives by R0 and by k. Both stay exact as k
// approaches N, where the model's two exponentials cancel, and at k = N itself.
double ChamberConcentration(double r0, double k, const ChamberDataRecord& record, double t);
std::array<double, 2> ChamberModelGradient(double r0, double k, double t,
                                           const ChamberDataRecord& record);

// predicted(i) = C(Times(i)) for the points 1..NumPoints.
void PredictChamberConcentration(float r0, float k, const ChamberDataRecord& record,
                                 ChamberPoints& predicted);

// residuals(i) = Concs(i) − predicted(i); returns their sum of squares (0 without points).
double SumSquaredResiduals(const ChamberDataRecord& record, const ChamberPoints& predicted,
                           ChamberPoints& residuals);

// What the chamber data window shows while the fit runs.
class ChamberFitProgress {
 public:
  virtual ~ChamberFitProgress() = default;
  virtual void ShowIteration(int iteration) = 0;
  virtual void ShowR0(float r0) = 0;
  virtual void ShowK(float k) = 0;
};

// The iteration limit of the program's fit.
inline constexpr int kChamberFitIterations = 100;

// Damped least squares (Levenberg–Marquardt) of R0 and k, improved in place from their start
// values; a step that would make either negative counts as a failed step. predicted holds the
// last predictions. Returns false when the fit converged (R0 and k are its result) and true
// when it did not: after "Failed to converge." (past iteration_limit iterations, or when no
// shorter step lowers the sum), "Cannot calculate R0,k" (the data ask for a k below 0) or the
// pivot error; R0 = k = 0 then, so that no unsettled value passes for a fit.
bool FitR0k(float& r0, float& k, const ChamberDataRecord& record, ChamberPoints& predicted,
            ChamberFitProgress& progress, Prompt& prompt,
            int iteration_limit = kChamberFitIterations);

// The checks before a fit; false after a message when the data cannot be fitted (start values
// to be estimated need a positive peak, estimated or measured).
bool CheckChamberData(const ChamberDataRecord& record, bool r0_is_estimated, Prompt& prompt);

}  // namespace quarn
