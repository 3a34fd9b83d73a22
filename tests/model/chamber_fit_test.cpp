#include "model/chamber_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/scripted_prompt.h"

namespace quarn {
namespace {

// V = 1 m³, N = 1 /h, A = 0.4 m², and its peak for R0 = 2, k = 0.2 (C = e^(−0.2t) − e^(−t)).
ChamberDataRecord Chamber() {
  return {1, 1, 0.4f, 0.534992f, 2.011797f};
}

// 48 points at t = 0.5 .. 24 h of that model, each times 1 + noise·(−1)^i.
ChamberDataRecord Measured(double noise) {
  ChamberDataRecord r = Chamber();
  r.NumPoints = 48;
  for (int i = 1; i <= 48; ++i) {
    const double t = 0.5 * i;
    r.Times[i] = static_cast<float>(t);
    r.Concs[i] =
        static_cast<float>((std::exp(-0.2 * t) - std::exp(-t)) * (1 + noise * (i % 2 ? -1 : 1)));
  }
  return r;
}

struct Fit : ChamberFitProgress {
  float r0 = 0, k = 0;
  bool stopped = false;
  double sum = 0;
  std::vector<int> iterations;
  testing::ScriptedPrompt prompt;
  void ShowIteration(int iteration) override { iterations.push_back(iteration); }
  void ShowR0(float) override {}
  void ShowK(float) override {}

  // As the window runs it: estimates unless a start R0 is given, predict, fit, sum.
  Fit& Run(const ChamberDataRecord& r, int limit = kChamberFitIterations) {
    if (r0 == 0) EstimateR0k(r, r0, k);
    ChamberPoints predicted{}, residuals{};
    PredictChamberConcentration(r0, k, r, predicted);
    stopped = FitR0k(r0, k, r, predicted, *this, prompt, limit);
    PredictChamberConcentration(r0, k, r, predicted);
    sum = SumSquaredResiduals(r, predicted, residuals);
    return *this;
  }
};

double Sum(const ChamberDataRecord& r, double r0, double k) {
  double s = 0;
  for (int i = 1; i <= r.NumPoints; ++i) {
    s += std::pow(r.Concs[i] - ChamberConcentration(r0, k, r, r.Times[i]), 2);
  }
  return s;
}

TEST(ChamberFit, StartValuesComeFromThePeak) {
  for (const auto& [n, peak, k] : {std::tuple{1.0f, 2.0f, 0.292271f},
                                   {1.0f, 5.0f, 0.01001f},
                                   {1.0f, 0.2f, 10.001f},
                                   {0.5f, 3.0f, 0.302277f},
                                   {20.0f, 2.0f, 0.01001f}}) {
    EXPECT_NEAR(EstimateDecayRate(n, peak), k, 1e-5 * k) << n << " " << peak;
  }
  EXPECT_EQ(EstimateDecayRate(0.5001f, 2), 0.5001f);  // an axis row as it is: k = N
  float r0 = 0, k = 0;
  EstimateR0k(Chamber(), r0, k);
  EXPECT_NEAR(k, 0.288243, 1e-5 * 0.288243);
  EXPECT_NEAR(r0, 2.233530, 1e-5 * 2.233530);
}

TEST(ChamberFit, RecoversTheModelThatMadeThePoints) {
  Fit fit;
  fit.Run(Measured(0));
  EXPECT_FALSE(fit.stopped);
  EXPECT_TRUE(fit.prompt.shown.empty());
  EXPECT_LE(fit.iterations.size(), 10u);
  EXPECT_NEAR(fit.r0, 2, 2e-5);
  EXPECT_NEAR(fit.k, 0.2, 2e-6);

  // Points the start values already meet end the fit in its first iteration.
  ChamberDataRecord met = Measured(0);
  for (int i = 1; i <= 48; ++i)
    met.Concs[i] = static_cast<float>(ChamberConcentration(2.5, 0.3f, met, met.Times[i]));
  Fit at_once;
  at_once.r0 = 2.5f;
  at_once.k = 0.3f;
  at_once.Run(met);
  EXPECT_EQ(at_once.iterations, std::vector<int>{1});
  EXPECT_NEAR(at_once.r0, 2.5, 2.5e-6);
  EXPECT_NEAR(at_once.k, 0.3, 0.3e-6);
}

TEST(ChamberFit, FindsTheLeastSquaresOfNoisyPoints) {
  const ChamberDataRecord r = Measured(0.05);
  Fit fit;
  fit.Run(r);
  EXPECT_FALSE(fit.stopped);
  EXPECT_NEAR(fit.r0, 1.998981, 1e-4 * 1.998981);
  EXPECT_NEAR(fit.k, 0.199892, 1e-4 * 0.199892);
  EXPECT_NEAR(fit.sum, 0.0066637, 1e-4 * 0.0066637);
  EXPECT_NEAR(Sum(r, 2, 0.2), 0.0066640, 1e-4 * 0.0066640);
  // A minimum, below the generating values: a step of 1e-4 of either parameter raises S.
  for (const auto& [by_r0, by_k] :
       {std::pair{1.0001, 1.0}, {0.9999, 1.0}, {1.0, 1.0001}, {1.0, 0.9999}}) {
    EXPECT_GT(Sum(r, fit.r0 * by_r0, fit.k * by_k), fit.sum) << by_r0 << " " << by_k;
  }
  EXPECT_LT(fit.sum, Sum(r, 2, 0.2));

  Fit limited;
  limited.Run(r, 2);
  EXPECT_TRUE(limited.stopped);
  ASSERT_EQ(limited.prompt.shown.size(), 1u);
  EXPECT_EQ(limited.prompt.shown[0].text, "Error.  Failed to converge.");
  EXPECT_EQ(limited.iterations, (std::vector<int>{1, 2}));
  EXPECT_NE(limited.r0, 0.0f);
}

TEST(ChamberFit, GradientMatchesCentralDifferencesUpToAndAtKEqualN) {
  const ChamberDataRecord r = Chamber();
  const double h = 1e-5;
  for (const double k : {0.2, 1 - 1e-7, 1.0}) {
    for (const double t : {0.5, 2.0, 10.0}) {
      const auto g = ChamberModelGradient(2, k, t, r);
      const double by_k =
          (ChamberConcentration(2, k + h, r, t) - ChamberConcentration(2, k - h, r, t)) / (2 * h);
      EXPECT_NEAR(g[1], by_k, 1e-5 * std::fabs(by_k)) << k << " " << t;
      EXPECT_DOUBLE_EQ(g[0], ChamberConcentration(2, k, r, t) / 2);
    }
  }
  // At k = N the model is its limit R0·(A/V)·t·e^(−N·t); by R0 it is defined at R0 = 0 too.
  const double area = 0.4f;
  EXPECT_DOUBLE_EQ(ChamberConcentration(2, 1, r, 2), 2 * area * 2 * std::exp(-2.0));
  EXPECT_DOUBLE_EQ(ChamberModelGradient(0, 1, 2, r)[0], area * 2 * std::exp(-2.0));
}

TEST(ChamberFit, ReportsDataItCannotFit) {
  ChamberDataRecord rising{1, 1, 1, 1, 10, 10};  // C = 0.1·t drives k below 0
  for (int i = 1; i <= 10; ++i) {
    rising.Times[i] = static_cast<float>(i);
    rising.Concs[i] = 0.1f * static_cast<float>(i);
  }
  ChamberDataRecord at_zero = Chamber();  // points at t = 0 say nothing of R0 or k
  at_zero.NumPoints = 2;
  at_zero.Concs = {0, 0.1f, 0.1f};
  for (const auto& [record, r0, k, message] :
       {std::tuple{rising, 0.0f, 0.0f,
                   "Error.  Cannot calculate R0,k. Revise estimates and recalc."},
        {at_zero, 1.0f, 0.5f, "Error. Revise esitmates and run again."}}) {
    Fit fit;
    fit.r0 = r0;
    fit.k = k;
    fit.Run(record);
    EXPECT_FALSE(fit.stopped);
    ASSERT_EQ(fit.prompt.shown.size(), 1u);
    EXPECT_EQ(fit.prompt.shown[0].text, message);
    EXPECT_EQ(fit.prompt.shown[0].title, "Error");
    EXPECT_EQ(fit.r0 + fit.k, 0.0f);
  }
}

TEST(ChamberFit, ChecksRefuseWhatTheFitCannotUse) {
  ChamberDataRecord good = Measured(0), unventilated = good, one_point = good, no_peak = good;
  unventilated.AirChangeRate = 0;
  one_point.NumPoints = 1;
  no_peak.PeakConc = 0;
  for (const auto& [record, estimated, message] :
       {std::tuple{
            unventilated, false,
            "Error.  Chamber volume, air exchange rate and source area must be greater than 0."},
        {one_point, false, "Error.  At least two time and concentration points are needed."},
        {no_peak, true,
         "Error.  Enter the estimated peak concentration and time, or a start value of R0."},
        {no_peak, false, ""},
        {good, true, ""}}) {
    testing::ScriptedPrompt prompt;
    EXPECT_EQ(CheckChamberData(record, estimated, prompt), *message == '\0');
    ASSERT_EQ(prompt.shown.size(), *message == '\0' ? 0u : 1u);
    for (const auto& shown : prompt.shown) EXPECT_EQ(shown.text, message);
  }
}

}  // namespace
}  // namespace quarn
