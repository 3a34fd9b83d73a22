#include <gtest/gtest.h>

#include <cmath>

#include "model/emission_models.h"
#include "model/source_state.h"

namespace quarn {
namespace {

// Parameters P0.. of pollutant 0.
SourceRecord WithParams(int model, float size, std::initializer_list<float> params) {
  SourceRecord s;
  s.Model = static_cast<int16_t>(model);
  s.Size = size;
  int i = 0;
  for (float v : params) s.Params[i++][0] = v;
  return s;
}

TEST(MassTransferModel, TwoLayersReleaseTowardsTheirEquilibrium) {
  // C0 10, k1 2, M01 100, k2 1, M02 50, size 2; layers full (M1 100, M2 50).
  const SourceRecord s = WithParams(0, 2, {10, 2, 100, 0, 1, 50});
  SourceState st;
  st.reservoir_mass[0] = 100;
  st.layer2_mass[0] = 50;
  // Croom 1, dt 0.1: r1 = 2 (1 - 10·100/100) = -18, M1 = 100 - 1.8 = 98.2;
  // r2 = 1 (1 - 10·50/50) = -9, M2 = 50 - 0.9 = 49.1; emission = (18 + 9) × 2 = 54.
  EXPECT_NEAR(MassTransferEmission(s, st, 0, 1.0f, 0.1f), 54.0, 1e-4);
  EXPECT_NEAR(st.reservoir_mass[0], 98.2f, 1e-4);
  EXPECT_NEAR(st.layer2_mass[0], 49.1f, 1e-4);
  // Croom 2: r1 = 2 (2 - 9.82) = -15.64, M1 = 96.636; r2 = 2 - 9.82 = -7.82, M2 = 48.318;
  // emission = (15.64 + 7.82) × 2 = 46.92.
  EXPECT_NEAR(MassTransferEmission(s, st, 0, 2.0f, 0.1f), 46.92, 1e-4);
  EXPECT_NEAR(st.reservoir_mass[0], 96.636f, 1e-4);
  EXPECT_NEAR(st.layer2_mass[0], 48.318f, 1e-4);
}

TEST(MassTransferModel, RoomAboveBothEquilibriaFeedsLayerTwoFromTheRoom) {
  const SourceRecord s = WithParams(0, 2, {10, 2, 100, 0, 1, 50});
  SourceState st;
  st.reservoir_mass[0] = 100;  // equilibrium 10 · 100/100 = 10
  st.layer2_mass[0] = 50;      // equilibrium 10 · 50/50 = 10
  // Croom 12: r1 = 2 · 2 > 0 -> 0, M1 stays; r2 = 1 · 2, M2 = 50 + 0.1 · 2 = 50.2, which
  // the room loses: an emission of -2 · size 2.
  EXPECT_NEAR(MassTransferEmission(s, st, 0, 12.0f, 0.1f), -4.0, 1e-6);
  EXPECT_FLOAT_EQ(st.reservoir_mass[0], 100.0f);
  EXPECT_NEAR(st.layer2_mass[0], 50.2f, 1e-5);
}

TEST(MassTransferModel, StepThatWouldOvershootEmptiesLayerOne) {
  // C0 10, k1 100, M01 100, size 2; only 0.5 left in layer 1, layer 2 empty.
  const SourceRecord s = WithParams(0, 2, {10, 100, 100, 0, 1, 50});
  SourceState st;
  st.reservoir_mass[0] = 0.5f;
  // Croom 0, dt 1: r1 = 100 (0 - 10·0.5/100) = -5; |1 · -5| >= 0.5, so r1 = -0.5 / 1 and
  // M1 = 0: the layer gives what it has, M1 / dt × S = 0.5 × 2 = 1.
  EXPECT_NEAR(MassTransferEmission(s, st, 0, 0.0f, 1.0f), 1.0, 1e-6);
  EXPECT_FLOAT_EQ(st.reservoir_mass[0], 0.0f);
  EXPECT_DOUBLE_EQ(MassTransferEmission(s, st, 0, 0.0f, 1.0f), 0.0);
}

TEST(R0kModel, ThreeDecaysFromTheSwitchOn) {
  // R0 4, k 0.5, R2 2, k2 1, R3 1, k3 2, size 3.
  const SourceRecord s = WithParams(1, 3, {4, 0.5f, 2, 1, 1, 2});
  SourceState st;
  st.source_age = 0;
  EXPECT_DOUBLE_EQ(R0kEmission(s, st, 0), 0.0);
  // A tiny age: (4 + 2 + 1) × 3 = 21.
  st.source_age = 1e-6f;
  EXPECT_NEAR(R0kEmission(s, st, 0), 21.0, 1e-4);
  // Age 1: (4 e^-0.5 + 2 e^-1 + e^-2) × 3 = (2.4261226 + 0.7357589 + 0.1353353) × 3 = 9.8916504.
  st.source_age = 1;
  EXPECT_NEAR(R0kEmission(s, st, 0), 9.8916504, 1e-6);
}

TEST(Paint1Model, SecondOrderDecay) {
  const SourceRecord s = WithParams(2, 2, {5, 0.2f});  // R0 5, k1 0.2, size 2
  SourceState st;
  EXPECT_NEAR(Paint1Emission(s, st, 0), 10.0, 1e-6);  // a = 0: R0 × S
  st.source_age = 3;
  EXPECT_NEAR(Paint1Emission(s, st, 0), 2.5, 1e-6);  // 5 / (1 + 3·0.2·5) × 2 = 5/4 × 2
}

// What the closed-form models emit over part of a step is the integral of their rate:
// worked by hand from the rates' antiderivatives.
TEST(ClosedFormModels, MeanRateIsTheIntegralOfTheRateOverThePart) {
  const SourceRecord r0k = WithParams(1, 3, {4, 0.5f, 2, 1, 1, 2});
  const SourceRecord constant = WithParams(1, 1, {10, 0});
  const SourceRecord paint = WithParams(2, 2, {5, 0.2f});
  const SourceRecord rt = WithParams(4, 7, {2, 0.5f});
  const SourceRecord rt1 = WithParams(4, 7, {2, 1});
  const SourceRecord poly = WithParams(6, 1, {1, 2, 3, 4});
  const struct {
    const char* what;
    double mean;
    double want;
  } cases[] = {
      // Each term R e^(-k a) from age 1 to 3: R (e^-k - e^-3k) / k, times the size, over 2 h.
      {"R0k", R0kMeanRate(r0k, 0, 1, 2),
       3 *
           (4 * (std::exp(-0.5) - std::exp(-1.5)) / 0.5 + 2 * (std::exp(-1.0) - std::exp(-3.0)) +
            (std::exp(-2.0) - std::exp(-6.0)) / 2) /
           2},
      {"constant R0k", R0kMeanRate(constant, 0, 5, 0.1), 10},
      // 5 / (1 + s) from age 3 to 5: 5 ln(6 / 4), times the size 2, over 2 h.
      {"Paint1", Paint1MeanRate(paint, 0, 3, 2), 5 * std::log(1.5)},
      // Nothing before 1.2 h, then 2 x^-0.5 with x in days up to 1 day: 2 · 24 · 2 (1 - √0.05),
      // over 24 h; the size does not count.
      {"R/T", RTMeanRate(rt, 0, 0, 24), 96 * (1 - std::sqrt(0.05)) / 24},
      // 2 / x from day 1 to day 2: 2 · 24 ln 2, over 24 h.
      {"R/T with P1 1", RTMeanRate(rt1, 0, 24, 24), 2 * std::log(2.0)},
      // 1 + 2t + 3t² + 4t³ from 1 h to 2 h: 1 + 3 + 7 + 15.
      {"Polyfit", PolyfitMeanRate(poly, 0, 1, 1), 26},
  };
  for (const auto& c : cases) EXPECT_NEAR(c.mean, c.want, 1e-6 * c.want) << c.what;
  EXPECT_EQ(R0kMeanRate(constant, 0, 5, 0.1), 10.0) << "a constant rate is its own mean";
}

TEST(Paint2Model, EvaporationThenDiffusion) {
  // C0 10, k1 2, MVB0 100, (Applied), E 0.5, P5 3; size 1.
  const SourceRecord s = WithParams(3, 1, {10, 2, 100, 0, 0.5f, 3});
  SourceState st;
  st.reservoir_mass[0] = 100;
  st.source_age = 0;
  // Age 0: no diffusion. r1 = 2 (1 - 10·100/100) = -18; emission 18; M = 100 - 1.8.
  EXPECT_NEAR(Paint2Emission(s, st, 0, 1.0f, 0.1f), 18.0, 1e-5);
  EXPECT_NEAR(st.reservoir_mass[0], 98.2f, 1e-4);
  // Age 4, M 98.2: r1 = 2 (1 - 9.82) = -17.64;
  // r2 = -0.5 (1 - 0.982)² · 3 · e^(-2·0.5·2) / 2 = -0.000486 · 0.13533528 / 2 = -3.28865e-5.
  st.source_age = 4;
  EXPECT_NEAR(Paint2Emission(s, st, 0, 1.0f, 0.1f), 17.6400329, 2e-5);
  EXPECT_NEAR(st.reservoir_mass[0], 96.436f, 1e-4);  // 98.2 - 0.1 · 17.64
}

TEST(Paint2Model, DiffusionAloneOnceTheLayerIsDry) {
  const SourceRecord s = WithParams(3, 1, {10, 2, 100, 0, 0.5f, 3});
  SourceState st;
  st.reservoir_mass[0] = 0;
  st.source_age = 4;
  // r2 = -0.5 · 1² · 3 · e^-2 / √4 = -1.5 · 0.13533528 / 2 = -0.10150146.
  EXPECT_NEAR(Paint2Emission(s, st, 0, 1.0f, 0.1f), 0.10150146, 1e-7);
}

TEST(Paint2Model, OvershootTakesOnlyWhatIsLeft) {
  const SourceRecord s = WithParams(3, 1, {10, 100, 100, 0, 0, 0});
  SourceState st;
  st.reservoir_mass[0] = 0.5f;
  // r1 = 100 (0 - 10·0.5/100) = -5, |1·-5| >= 0.5 -> r1 = -0.5: emission 0.5, M = 0.
  EXPECT_NEAR(Paint2Emission(s, st, 0, 0.0f, 1.0f), 0.5, 1e-6);
  EXPECT_NEAR(st.reservoir_mass[0], 0.0f, 1e-7);
}

TEST(RTModel, PowerLawFromOneTwentiethOfADay) {
  const SourceRecord s = WithParams(4, 7, {6, 0.5f});  // Alpha 6, exponent 0.5, size ignored
  SourceState st;
  st.source_age = 1.1f;  // 0.0458 day < 0.05
  EXPECT_DOUBLE_EQ(RTEmission(s, st, 0), 0.0);
  st.source_age = 96;  // 4 days: 6 / 4^0.5 = 3, not multiplied by the size
  EXPECT_NEAR(RTEmission(s, st, 0), 3.0, 1e-6);
  st.source_age = 1.5f;  // 0.0625 day: 6 / 0.0625^0.5 = 24
  EXPECT_NEAR(RTEmission(s, st, 0), 24.0, 1e-5);
}

TEST(ShowerModel, WaterToAirTransfer) {
  const SourceRecord s = WithParams(5, 4, {2, 0.5f, 10});  // KOL 2, H 0.5, Cw 10, size 4
  // (10 - 1/0.5) × (1 - e^-0.5) × 4 = 8 × 0.39346934 × 4 = 12.591019.
  EXPECT_NEAR(ShowerEmission(1.0f, s, 0), 12.591019, 1e-5);
  // Air at Cw · H = 5: equilibrium, nothing.
  EXPECT_NEAR(ShowerEmission(5.0f, s, 0), 0.0, 1e-9);
  EXPECT_DOUBLE_EQ(ShowerEmission(1.0f, WithParams(5, 4, {2, 0, 10}), 0), 0.0);
  EXPECT_DOUBLE_EQ(ShowerEmission(1.0f, WithParams(5, 0, {2, 0.5f, 10}), 0), 0.0);
}

TEST(PolyfitModel, CubicInTheRunTime) {
  const SourceRecord a0 = WithParams(6, 2, {3});
  EXPECT_NEAR(PolyfitEmission(a0, 0, 0.0f), 6.0, 1e-9);  // A0 × S at every time
  EXPECT_NEAR(PolyfitEmission(a0, 0, 100.0f), 6.0, 1e-9);
  // 1 + 2·2 + 3·4 + 4·8 = 49, × 0.5; A4 (99) is not used.
  const SourceRecord full = WithParams(6, 0.5f, {1, 2, 3, 4, 99});
  EXPECT_NEAR(PolyfitEmission(full, 0, 2.0f), 24.5, 1e-9);
}

TEST(VbxModel, ComponentFollowsItsShareOfTheMixture) {
  SourceRecord s;
  s.Model = 7;
  s.Size = 2;
  s.Params[0][1] = 20;  // C0
  s.Params[1][1] = 1;   // k
  SourceState st;
  st.reservoir_mass[1] = 5;
  // Mixture 50: r = 1 (0.5 - 20·5/50) = -1.5; M = 5 - 0.15 = 4.85; emission 1.5 × 2 = 3.
  EXPECT_NEAR(VBXEmission(s, st, 1, 0.5f, 0.1f, 50.0f), 3.0, 1e-5);
  EXPECT_NEAR(st.reservoir_mass[1], 4.85f, 1e-5);
  // Mixture 40: r = 0.5 - 20·4.85/40 = -1.925; M = 4.85 - 0.1925 = 4.6575; emission 3.85.
  EXPECT_NEAR(VBXEmission(s, st, 1, 0.5f, 0.1f, 40.0f), 3.85, 1e-5);
  EXPECT_NEAR(st.reservoir_mass[1], 4.6575f, 1e-5);
  // A mixture below 1E-10 is exhausted: nothing, and the component keeps its mass.
  EXPECT_DOUBLE_EQ(VBXEmission(s, st, 1, 0.5f, 0.1f, 1e-11f), 0.0);
  EXPECT_NEAR(st.reservoir_mass[1], 4.6575f, 1e-5);
}

TEST(EmissionModelNames, AsTheSourceWindowShowsThem) {
  EXPECT_EQ(EmissionModelName(0), "Mass transfer");
  EXPECT_EQ(EmissionModelName(4), "R/T");
  EXPECT_EQ(EmissionModelName(10), "Exact spill");
  EXPECT_EQ(EmissionModelName(11), "");
}

TEST(GetSourceModel, ExactCodesAndZeroForAnyOther) {
  const char* codes[] = {"Mass Xfer", "R0k",     "Paint1", "Paint2", "R/T",
                         "Shower",    "Polyfit", "VBX",    "Spill1", "Spill2"};
  for (int m = 0; m < 10; ++m) EXPECT_EQ(GetSourceModel(codes[m]), m) << codes[m];
  for (const char* other : {"spill2", "", "Spill3", "Mass transfer", "R0k "}) {
    EXPECT_EQ(GetSourceModel(other), 0) << other;
  }
}

}  // namespace
}  // namespace quarn
