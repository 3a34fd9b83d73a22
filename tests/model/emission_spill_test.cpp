#include <gtest/gtest.h>

#include <cmath>

#include "model/source_schedule.h"
#include "model/source_state.h"
#include "model/spill_models.h"

namespace quarn {
namespace {

// Mass-transfer coefficients worked out from the correlations for D = 0.05 m²/h (Sc =
// 66 / (1200 · 0.05) = 1.1), a pool of 2 m² (L = √2) and 10 cm/s (u' = 10 · 3600 / 100 = 360):
//   flat plate:  0.0292 · 360^0.78 · √2^-0.11 · 1.1^-0.67                = 2.6002138 m/h
//   petroleum:   √2^-0.3333 · 0.33 · 0.05 · (360 · 1200 / 66)^0.667       = 5.1588054 m/h
//   petroleum, D = 0.08: the same × 0.08 / 0.05                          = 8.2540887 m/h
constexpr double kFlatPlate = 2.6002138;
constexpr double kPetroleum = 5.1588054;
constexpr double kPetroleumD08 = 8.2540887;

TEST(SpillHelpers, SmallFormulas) {
  EXPECT_FLOAT_EQ(AreaByRatio(4, 2, 1), 2.0f);  // 4 · 1 / 2
  EXPECT_DOUBLE_EQ(ProductTimesThousand(0.5, 3), 1500.0);
  EXPECT_DOUBLE_EQ(MassToMoles(1000, 50), 0.02);  // 1000 mg / 50 g/mol / 1000
  EXPECT_DOUBLE_EQ(MassToMoles(1000, 0), 0.0);
  EXPECT_DOUBLE_EQ(MassToMoles(1000, -5), 0.0);
  EXPECT_FLOAT_EQ(SchmidtNumber(0.05), 1.1f);
  SourceState st;
  st.moles_left = {0.1f, 0.2f, 0.3f, 100, 100, 100, 100, 100};
  EXPECT_NEAR(MolesLeftInLiquid(st, 3), 0.6, 1e-7);  // only the pollutants in use
  EXPECT_DOUBLE_EQ(MolesLeftInLiquid(st, 0), 0.0);
}

TEST(SpillHelpers, MassTransferCoefficients) {
  EXPECT_NEAR(SpillMassTransferCoefficient(0.05, std::sqrt(2.0), 10), kFlatPlate, 1e-6);
  EXPECT_NEAR(PetroleumMassTransferCoefficient(0.05, std::sqrt(2.0), 10), kPetroleum, 1e-6);
  // A pool without length has no transfer, so a spill with no area emits nothing.
  EXPECT_DOUBLE_EQ(SpillMassTransferCoefficient(0.05, 0, 10), 0.0);
  EXPECT_DOUBLE_EQ(PetroleumMassTransferCoefficient(0.05, 0, 10), 0.0);
}

// A petroleum spill: total (pollutant 0) MW 100, D 0.05, C0 100; component 1 MW 50, D 0.08,
// C0 30. 0.02 mol of the total at the start, half left; full size 4 m² at 10 cm/s.
struct PetroleumCase {
  SourceRecord s;
  SourceState st;
  PollutantList pol{};
  PetroleumCase() {
    s.Model = 8;
    s.Size = 4;
    s.GasVelocity = 10;
    s.Params[0][0] = 100;
    s.Params[0][1] = 30;
    pol[0].MolWt = 100;
    pol[0].Diffusivity = 0.05f;
    pol[1].MolWt = 50;
    pol[1].Diffusivity = 0.08f;
    st.initial_moles[0] = 0.02f;
    st.moles_left[0] = 0.01f;
    st.reservoir_mass[0] = 1000;
    st.reservoir_mass[1] = 200;
  }
};

TEST(PetroleumSpill, TotalShrinksWithItsMolesAndEvaporates) {
  PetroleumCase c;
  // Area 4 · 0.01 / 0.02 = 2 m²; surface 0.01 · 100 / 0.02 = 50; Croom 10:
  // rate = (50 - 10) · k · 2 = 80 · 5.1588054 = 412.70443.
  EXPECT_NEAR(PetroleumSpillRate(c.s, c.st, 10.0f, c.pol), 80 * kPetroleum, 1e-3);
  EXPECT_FLOAT_EQ(c.st.spill_area, 2.0f);
  // At the surface concentration: equilibrium, nothing.
  EXPECT_NEAR(PetroleumSpillRate(c.s, c.st, 50.0f, c.pol), 0.0, 1e-9);
  // No moles of the total left: no area, nothing.
  c.st.moles_left[0] = 0;
  EXPECT_DOUBLE_EQ(PetroleumSpillRate(c.s, c.st, 10.0f, c.pol), 0.0);
  EXPECT_FLOAT_EQ(c.st.spill_area, 0.0f);
}

TEST(PetroleumSpill, ComponentByItsMoleShare) {
  PetroleumCase c;
  c.st.spill_area = 2;  // as pollutant 0 left it
  // Cs = 200 · 30 / 1000 · 100 / 50 = 12; Croom 2: rate = 10 · k(D 0.08) · 2 = 165.08177;
  // the component's mass falls by 0.1 · rate = 16.508177.
  EXPECT_NEAR(PetroleumSpillStep(c.s, c.st, 1, 2.0f, 0.1f, c.pol), 20 * kPetroleumD08, 1e-3);
  EXPECT_NEAR(c.st.reservoir_mass[1], 200 - 2 * kPetroleumD08, 1e-3);
  // Room at Cs' = 183.49182 · 30 / 1000 · 2 = 11.009509: equilibrium.
  const double cs = c.st.reservoir_mass[1] * 30.0 / 1000 * 2;
  EXPECT_NEAR(PetroleumSpillStep(c.s, c.st, 1, static_cast<float>(cs), 0.1f, c.pol), 0.0, 1e-3);
}

// A single spill of MW 100, D 0.05, C0 200 mg/m³: 0.01 mol at the start, 500 mg (0.005 mol)
// left; full size 4 m².
struct SingleCase {
  SourceRecord s;
  SourceState st;
  PollutantList pol{};
  SingleCase() {
    s.Model = 9;
    s.Size = 4;
    pol[0].MolWt = 100;
    pol[0].Diffusivity = 0.05f;
    pol[0].C0 = 200;
    st.initial_moles[0] = 0.01f;
    st.liquid_mass[0] = 500;
    st.reservoir_mass[0] = 1000;
  }
};

TEST(SingleSpill, EvaporatesFromTheShrinkingPool) {
  SingleCase c;
  // Moles left 500 / 100 / 1000 = 0.005; area 4 · 0.005 / 0.01 = 2 m².
  // Cs = 0.002 / 44.64, Ca (Croom 50) = 0.0005 / 44.64;
  // rate = 0.0015 / 44.64 · k / 0.0224 · 1.008 · 2 · 100 · 1000 = 302.41935 · k = 786.35497.
  EXPECT_NEAR(SingleSpillRate(c.s, c.st, 0, 50.0f, c.pol), 302.41935 * kFlatPlate, 1e-3);
  EXPECT_FLOAT_EQ(c.st.moles_left[0], 0.005f);
  EXPECT_FLOAT_EQ(c.st.spill_area, 2.0f);
  // The room at the pollutant's C0: equilibrium.
  EXPECT_NEAR(SingleSpillRate(c.s, c.st, 0, 200.0f, c.pol), 0.0, 1e-9);
  // Nothing left: no area.
  c.st.liquid_mass[0] = 0;
  EXPECT_DOUBLE_EQ(SingleSpillRate(c.s, c.st, 0, 50.0f, c.pol), 0.0);
}

TEST(ExactSpill, PureLiquidAndMixture) {
  SourceRecord s;
  s.Model = 10;
  s.Size = 4;
  s.Params[0][0] = 300;  // C0, mg/m³
  s.Params[0][1] = 300;
  PollutantList pol{};
  pol[0].MolWt = 100;
  pol[0].Diffusivity = 0.05f;
  pol[1].MolWt = 100;
  pol[1].Diffusivity = 0.05f;
  // One component whose moles are the total: 0.01 of 0.02 at the start, area 2 m².
  // Cs = 300 / 100 / 1000 = 0.003, Ca (Croom 100) = 0.001 mol/m³;
  // rate = (0.003 - 0.001) · k · 2 · 100 · 1000 = 400 · k = 1040.0855 mg/h.
  SourceState pure;
  pure.initial_total_moles = 0.02f;
  pure.moles_left[0] = 0.01f;
  EXPECT_NEAR(ExactSpillRate(s, pure, 0, 100.0f, pol, 1), 400 * kFlatPlate, 1e-3);
  EXPECT_FLOAT_EQ(pure.total_moles_left, 0.01f);
  EXPECT_FLOAT_EQ(pure.spill_area, 2.0f);
  // Equilibrium at the room's C0.
  EXPECT_NEAR(ExactSpillRate(s, pure, 0, 300.0f, pol, 1), 0.0, 1e-9);
  // Two components, 0.01 and 0.03 mol of 0.08 at the start: area 4 · 0.04 / 0.08 = 2;
  // component 0 has mole fraction 0.25: (0.003 · 0.25 - 0) · k · 2 · 1e5 = 150 · k.
  SourceState mix;
  mix.initial_total_moles = 0.08f;
  mix.moles_left[0] = 0.01f;
  mix.moles_left[1] = 0.03f;
  EXPECT_NEAR(ExactSpillRate(s, mix, 0, 0.0f, pol, 2), 150 * kFlatPlate, 1e-3);
  EXPECT_FLOAT_EQ(mix.total_moles_left, 0.04f);
  // Component 1: fraction 0.75, 450 · k.
  EXPECT_NEAR(ExactSpillRate(s, mix, 1, 0.0f, pol, 2), 450 * kFlatPlate, 1e-3);
}

ScenarioRecord ExactSpillScenario() {
  ScenarioRecord sc;
  sc.NumPollutants = 1;
  sc.StepSize = 0.1f;
  sc.Pollutants[0].MolWt = 100;
  sc.Pollutants[0].Diffusivity = 0.05f;
  sc.NumSources[1] = 1;
  SourceRecord& s = sc.Sources[1][1];
  s.Model = 10;
  s.Size = 4;
  s.UnitFactor = 1;
  s.Params[0][0] = 300;
  s.NumCycles = 1;
  s.TimeOn[1] = 0;
  s.TimeOff[1] = 100;
  s.CycleRepeats = "N";
  return sc;
}

TEST(SpillDepletion, EmissionRateTakesTheEvaporatedMassOffTheLiquid) {
  const ScenarioRecord sc = ExactSpillScenario();
  SourceStates states = MakeSourceStates(sc);
  SourceState& st = states[1][1];
  st.initial_total_moles = 0.02f;
  st.moles_left[0] = 0.01f;
  st.liquid_mass[0] = 1000;  // 0.01 mol of MW 100
  RoomPollutant conc{};
  conc[1][0] = 100;
  PerPollutant<float> emitted{};
  const float out = SourceEmissionRate(sc, states, 1, 10.0f, {0.0f, 0.1f, conc, conc}, 0, emitted);
  // rate 400 k = 1040.0855 mg/h (ExactSpill above): 104.00855 mg leave in 0.1 h, so
  // 895.99145 mg = 0.0089599145 mol remain; the room of 10 m³ gets 104.00855 mg/m³/h.
  EXPECT_NEAR(emitted[0], 40 * kFlatPlate, 1e-3);
  EXPECT_NEAR(out, 40 * kFlatPlate, 1e-3);
  EXPECT_NEAR(st.liquid_mass[0], 1000 - 40 * kFlatPlate, 1e-3);
  EXPECT_NEAR(st.moles_left[0], (1000 - 40 * kFlatPlate) / 100 / 1000, 1e-8);
  // Conservation: what left the liquid is what was emitted.
  EXPECT_NEAR(1000 - st.liquid_mass[0], emitted[0], 1e-3);
}

TEST(SpillDepletion, ExactSpillMassNeverGoesBelowZero) {
  const ScenarioRecord sc = ExactSpillScenario();
  SourceStates states = MakeSourceStates(sc);
  SourceState& st = states[1][1];
  st.initial_total_moles = 0.02f;
  st.moles_left[0] = 0.01f;
  st.liquid_mass[0] = 500;
  RoomPollutant conc{};
  conc[1][0] = 100;
  PerPollutant<float> emitted{};
  // 1040 mg/h for 1 h would take more than the 500 mg left: floored at 0.
  SourceEmissionRate(sc, states, 1, 10.0f, {0.0f, 1.0f, conc, conc}, 0, emitted);
  EXPECT_FLOAT_EQ(st.liquid_mass[0], 0.0f);
  EXPECT_FLOAT_EQ(st.moles_left[0], 0.0f);
}

// One spill source in room 1 (10 m³), on from 0 h, for a single pollutant of MW 100, D 0.05,
// C0 200, with the running values the run set-up gives it.
ScenarioRecord SpillScenario(int model, double unitFactor) {
  ScenarioRecord sc = ExactSpillScenario();
  sc.Pollutants[0].C0 = 200;
  SourceRecord& s = sc.Sources[1][1];
  s.Model = static_cast<int16_t>(model);
  s.GasVelocity = 10;
  s.UnitFactor = unitFactor;
  s.Params[0][0] = 100;
  s.Params[2][0] = 1000;  // mg spilled
  return sc;
}

TEST(SpillDepletion, PetroleumTotalLosesMassAndMolesAfterTheUnitFactor) {
  const ScenarioRecord sc = SpillScenario(8, 1.0);
  SourceStates states = MakeSourceStates(sc);
  SourceState& st = states[1][1];
  st.liquid_mass[0] = 1000;
  st.initial_moles[0] = 0.02f;  // 1000 mg of MW 100
  RoomPollutant conc{};
  conc[1][0] = 10;
  PerPollutant<float> emitted{};
  const float out = SourceEmissionRate(sc, states, 1, 10.0f, {0.0f, 0.1f, conc, conc}, 0, emitted);
  // Switch-on: moles 0.02 of 0.02, area 4 m², L = 2:
  // k = 2^-0.3333 · 0.33 · 0.05 · (360 · 1200 / 66)^0.667 = 4.5960263 m/h;
  // surface 0.02 · 100 / 0.02 = 100; rate = (100 - 10) · k · 4 = 1654.5695 mg/h.
  EXPECT_NEAR(out, 165.45695f, 1e-2);  // per 10 m³
  EXPECT_NEAR(emitted[0], 165.45695f, 1e-2);
  // 1000 - 0.1 · 1654.5695 = 834.54305 mg left, 0.0083454305 mol.
  EXPECT_NEAR(st.liquid_mass[0], 834.54305f, 1e-2);
  EXPECT_NEAR(st.moles_left[0], 0.0083454305f, 1e-7);
}

TEST(SpillDepletion, SingleSpillLosesMassAfterTheUnitFactor) {
  const ScenarioRecord sc = SpillScenario(9, 0.001);
  SourceStates states = MakeSourceStates(sc);
  SourceState& st = states[1][1];
  st.liquid_mass[0] = 500;
  st.initial_moles[0] = 0.01f;
  RoomPollutant conc{};
  conc[1][0] = 50;
  PerPollutant<float> emitted{};
  const float out = SourceEmissionRate(sc, states, 1, 10.0f, {0.0f, 0.1f, conc, conc}, 0, emitted);
  // As SingleSpill above: 0.005 mol of 0.01 left, area 2 m², 302.41935 · k = 786.35495;
  // × 0.001 = 0.78635495, and that is what the liquid loses: 500 - 0.078635495.
  EXPECT_NEAR(emitted[0], 0.078635495f, 1e-6);
  EXPECT_NEAR(out, 0.078635495f, 1e-6);
  EXPECT_NEAR(st.liquid_mass[0], 499.92136f, 1e-4);
  // Model 9 keeps the moles it computed from the mass at the start of the step.
  EXPECT_FLOAT_EQ(st.moles_left[0], 0.005f);
}

}  // namespace
}  // namespace quarn
