#include <gtest/gtest.h>

#include <cmath>

#include "model/records.h"
#include "model/source_schedule.h"
#include "model/source_state.h"

namespace quarn {
namespace {

SourceRecord Scheduled(const char* code, std::initializer_list<std::pair<float, float>> cycles) {
  SourceRecord s;
  s.CycleRepeats = code;
  int i = 0;
  for (auto [on, off] : cycles) {
    ++i;
    s.TimeOn[i] = on;
    s.TimeOff[i] = off;
  }
  s.NumCycles = static_cast<int16_t>(i);
  return s;
}

bool OnAt(const SourceRecord& s, SourceState& st, float t) {
  return SourceScheduleTime(t, s, st, /*stepSize=*/0.1f, /*numPollutants=*/1);
}

TEST(SourceSchedule, DailyCycleRepeatsEveryTwentyFourHours) {
  const SourceRecord s = Scheduled("D", {{8, 17}});
  SourceState st;
  // t = 32.5: k = Int(32.5 / 24) = 1, on from 24 + 8 = 32 to 24 + 17 = 41; age 32.5 - 32.
  EXPECT_TRUE(OnAt(s, st, 32.5f));
  EXPECT_FLOAT_EQ(st.source_age, 0.5f);
  EXPECT_TRUE(st.on);
  EXPECT_TRUE(OnAt(s, st, 40.75f));
  EXPECT_FLOAT_EQ(st.source_age, 8.75f);
  // t = 41 = 8 + 24 + 9 is the off time itself: off, age back to 0.
  EXPECT_FALSE(OnAt(s, st, 41.0f));
  EXPECT_FLOAT_EQ(st.source_age, 0.0f);
  EXPECT_FALSE(st.on);
  EXPECT_FALSE(OnAt(s, st, 7.5f));
  // The code is compared in upper case.
  const SourceRecord lower = Scheduled("d", {{8, 17}});
  EXPECT_TRUE(OnAt(lower, st, 32.5f));
}

TEST(SourceSchedule, NoRepeatIsOnOnlyOnce) {
  const SourceRecord s = Scheduled("N", {{1, 2}});
  SourceState st;
  EXPECT_FALSE(OnAt(s, st, 0.5f));
  EXPECT_TRUE(OnAt(s, st, 1.0f));
  EXPECT_FLOAT_EQ(st.source_age, 0.0f);
  EXPECT_TRUE(OnAt(s, st, 1.5f));
  EXPECT_FLOAT_EQ(st.source_age, 0.5f);  // t - 1
  EXPECT_FALSE(OnAt(s, st, 2.0f));
  EXPECT_FALSE(OnAt(s, st, 25.5f));  // a day later: no repeat
  // Any unknown code counts as no repeat.
  EXPECT_FALSE(OnAt(Scheduled("X", {{1, 2}}), st, 25.5f));
}

TEST(SourceSchedule, HourlyCycleIsOnInTheFirstHalfOfEveryHour) {
  const SourceRecord s = Scheduled("H", {{0, 0.5f}});
  SourceState st;
  EXPECT_TRUE(OnAt(s, st, 0.25f));
  EXPECT_FALSE(OnAt(s, st, 0.75f));
  EXPECT_TRUE(OnAt(s, st, 3.25f));  // k = 3
  EXPECT_FLOAT_EQ(st.source_age, 0.25f);
  EXPECT_FALSE(OnAt(s, st, 3.5f));
}

TEST(SourceSchedule, WeeklyAndMonthlyPeriods) {
  SourceState st;
  // "W": 168 h. t = 170: k = 1, on from 168 + 1 = 169; age 1.
  EXPECT_TRUE(OnAt(Scheduled("W", {{1, 3}}), st, 170.0f));
  EXPECT_FLOAT_EQ(st.source_age, 1.0f);
  // "M": 720 h. t = 1442: k = 2, on from 1440 + 1; age 1.
  EXPECT_TRUE(OnAt(Scheduled("M", {{1, 3}}), st, 1442.0f));
  EXPECT_FLOAT_EQ(st.source_age, 1.0f);
}

TEST(SourceSchedule, NoCyclesIsNeverOnAndChangesNothing) {
  SourceRecord s = Scheduled("H", {{0, 1}});
  s.NumCycles = 0;
  SourceState st;
  st.source_age = 7;
  EXPECT_FALSE(OnAt(s, st, 0.5f));
  EXPECT_FLOAT_EQ(st.source_age, 7.0f);
}

TEST(SourceSchedule, CycleCountBeyondTheTableIsBounded) {
  SourceRecord s = Scheduled("N", {{1, 2}});
  s.NumCycles = 300;  // as a damaged file could hold: only cycles 1..5 exist
  SourceState st;
  EXPECT_TRUE(OnAt(s, st, 1.5f));
  EXPECT_FALSE(OnAt(s, st, 50.0f));
}

TEST(SourceSchedule, PatternRepeatUsesTheLastOffTime) {
  // "O" with cycles 1-3 and 5-10: the pattern repeats every 10 h.
  const SourceRecord s = Scheduled("O", {{1, 3}, {5, 10}});
  SourceState st;
  EXPECT_TRUE(OnAt(s, st, 12.0f));  // k = 1: 11 <= 12 < 13, age 1
  EXPECT_FLOAT_EQ(st.source_age, 1.0f);
  EXPECT_TRUE(OnAt(s, st, 16.0f));  // cycle 2: 15 <= 16 < 20, age 1
  EXPECT_FLOAT_EQ(st.source_age, 1.0f);
  EXPECT_FALSE(OnAt(s, st, 14.0f));
}

TEST(SourceSchedule, PatternRepeatWithLastOffZeroDoesNotRepeat) {
  // The last cycle ends at 0: no period to divide by, so the pattern happens once.
  const SourceRecord s = Scheduled("O", {{1, 3}, {0, 0}});
  SourceState st;
  EXPECT_TRUE(OnAt(s, st, 2.0f));
  EXPECT_FLOAT_EQ(st.source_age, 1.0f);
  EXPECT_FALSE(OnAt(s, st, 12.0f));
  EXPECT_TRUE(std::isfinite(st.source_age));
  EXPECT_DOUBLE_EQ(RepeatPeriod(s), 0.0);
}

TEST(SourceSchedule, PatternRepeatWithANegativeLastOffTimeStillRepeats) {
  // Only a last off time of exactly 0 means no repeat; -5 is a period like any other:
  // k = Int(t / -5), and the cycles are shifted by k x -5.
  const SourceRecord s = Scheduled("O", {{-1, 3}, {-10, -5}});
  SourceState st;
  EXPECT_DOUBLE_EQ(RepeatPeriod(s), -5.0);
  // t = 4.5: k = Int(-0.9) = -1, shift 5: cycle 1 runs from 4 to 8; age 4.5 + 1 - 5 = 0.5.
  EXPECT_TRUE(OnAt(s, st, 4.5f));
  EXPECT_FLOAT_EQ(st.source_age, 0.5f);
  // t = 3.5: k = -1, shift 5: cycle 1 from 4, cycle 2 from -5 to 0: off.
  EXPECT_FALSE(OnAt(s, st, 3.5f));
  // t = 9.5: k = Int(-1.9) = -2, shift 10: cycle 1 from 9 to 13; age 9.5 + 1 - 10 = 0.5.
  EXPECT_TRUE(OnAt(s, st, 9.5f));
  EXPECT_FLOAT_EQ(st.source_age, 0.5f);
}

// A mass-transfer source: at switch-on the layer masses start at M01 (P2) and M02 (P5).
SourceRecord MassTransferSource() {
  SourceRecord s = Scheduled("D", {{1, 5}});
  s.Model = 0;
  s.Params[2][0] = 100;
  s.Params[5][0] = 50;
  s.Params[2][1] = 30;
  s.Params[5][1] = 20;
  return s;
}

TEST(SourceSchedule, SwitchOnResetsTheLayersOncePerOnPeriod) {
  const SourceRecord s = MassTransferSource();
  SourceState st(s);
  EXPECT_FLOAT_EQ(st.reservoir_mass[0], 0.0f);
  ASSERT_TRUE(SourceScheduleTime(1.0f, s, st, 0.1f, 2));
  EXPECT_FLOAT_EQ(st.reservoir_mass[0], 100.0f);
  EXPECT_FLOAT_EQ(st.initial_mass[0], 100.0f);
  EXPECT_FLOAT_EQ(st.layer2_mass[0], 50.0f);
  EXPECT_FLOAT_EQ(st.reservoir_mass[1], 30.0f);
  EXPECT_FLOAT_EQ(st.layer2_mass[1], 20.0f);
  // Pollutant 0's model depletes its layer; the look-up for pollutant 1 in the same step
  // (age still below the step) must not undo that.
  st.reservoir_mass[0] = 98;
  ASSERT_TRUE(SourceScheduleTime(1.0f, s, st, 0.1f, 2));
  EXPECT_FLOAT_EQ(st.reservoir_mass[0], 98.0f);
  // A source that stays on is not reset.
  st.reservoir_mass[0] = 90;
  ASSERT_TRUE(SourceScheduleTime(1.1f, s, st, 0.1f, 2));
  EXPECT_FLOAT_EQ(st.reservoir_mass[0], 90.0f);
  // Off, then on again the next day: a new on-period, reset again.
  EXPECT_FALSE(SourceScheduleTime(6.0f, s, st, 0.1f, 2));
  ASSERT_TRUE(SourceScheduleTime(25.0f, s, st, 0.1f, 2));
  EXPECT_FLOAT_EQ(st.reservoir_mass[0], 100.0f);
  // The user's parameters are untouched.
  EXPECT_FLOAT_EQ(s.Params[7][0], 0.0f);
}

TEST(SourceSchedule, ResetOfTheOtherModels) {
  SourceRecord s;
  s.Params[2][0] = 10;
  s.Params[6][0] = 4;
  s.Size = 3;
  SourceState st;
  st.initial_moles[0] = 0.5f;
  // Model 3: P3 = P2, P7 = P3, P8 = P6.
  s.Model = 3;
  ResetSourceParameters(s, st, 1);
  EXPECT_FLOAT_EQ(st.initial_mass[0], 10.0f);
  EXPECT_FLOAT_EQ(st.reservoir_mass[0], 10.0f);
  EXPECT_FLOAT_EQ(st.layer2_mass[0], 4.0f);
  EXPECT_FLOAT_EQ(st.moles_left[0], 0.0f);
  // Spills: also the full area and the starting moles.
  s.Model = 9;
  ResetSourceParameters(s, st, 1);
  EXPECT_FLOAT_EQ(st.spill_area, 3.0f);
  EXPECT_FLOAT_EQ(st.moles_left[0], 0.5f);
  // Models without running values: nothing.
  SourceState untouched;
  s.Model = 1;
  ResetSourceParameters(s, untouched, 1);
  EXPECT_FLOAT_EQ(untouched.reservoir_mass[0], 0.0f);
  EXPECT_FLOAT_EQ(untouched.spill_area, 0.0f);
}

// Room 1 holds two "Polyfit" sources with only A0 set: source 1 (A0 = 2 mg/h, size 3) on from
// 0 to 10 h, source 2 (A0 = 5 mg/h, size 1) on from 20 to 30 h.
ScenarioRecord TwoSources(int room) {
  ScenarioRecord sc;
  sc.NumPollutants = 1;
  sc.StepSize = 0.1f;
  sc.NumSources[room] = 2;
  SourceRecord& a = sc.Sources[room][1];
  a = Scheduled("N", {{0, 10}});
  a.Model = 6;
  a.Params[0][0] = 2;
  a.Size = 3;
  a.UnitFactor = 1;
  SourceRecord& b = sc.Sources[room][2];
  b = Scheduled("N", {{20, 30}});
  b.Model = 6;
  b.Params[0][0] = 5;
  b.Size = 1;
  b.UnitFactor = 1;
  return sc;
}

TEST(SourceEmissionRate, OnlyTheSourceThatIsOnContributesInARoom) {
  const ScenarioRecord sc = TwoSources(1);
  SourceStates states = MakeSourceStates(sc);
  RoomPollutant conc{};
  PerPollutant<float> emitted{};
  float out = SourceEmissionRate(sc, states, 1, 50.0f, {5.0f, 0.1f, conc, conc}, 0, emitted);
  // Source 1: 2 mg/h × 3 = 6 mg/h into 50 m³ = 0.12 mg/m³/h; 6 × 0.1 h = 0.6 mg emitted.
  EXPECT_NEAR(out, 0.12f, 1e-7);
  EXPECT_NEAR(emitted[0], 0.6f, 1e-7);
  // At 25 h only source 2: 5 mg/h / 50 m³ = 0.1; emitted grows by 5 × 0.1 = 0.5.
  out = SourceEmissionRate(sc, states, 1, 50.0f, {25.0f, 0.1f, conc, conc}, 0, emitted);
  EXPECT_NEAR(out, 0.1f, 1e-7);
  EXPECT_NEAR(emitted[0], 1.1f, 1e-6);
  // At 15 h neither.
  out = SourceEmissionRate(sc, states, 1, 50.0f, {15.0f, 0.1f, conc, conc}, 0, emitted);
  EXPECT_FLOAT_EQ(out, 0.0f);
  EXPECT_NEAR(emitted[0], 1.1f, 1e-6);
}

TEST(SourceEmissionRate, TheHvacSystemGetsTheMassRateNotAConcentration) {
  const ScenarioRecord sc = TwoSources(0);
  SourceStates states = MakeSourceStates(sc);
  RoomPollutant conc{};
  PerPollutant<float> emitted{};
  const float out = SourceEmissionRate(sc, states, 0, 50.0f, {5.0f, 0.1f, conc, conc}, 0, emitted);
  EXPECT_NEAR(out, 6.0f, 1e-6);  // 2 × 3 mg/h, not divided by any volume
  EXPECT_NEAR(emitted[0], 0.6f, 1e-7);
}

TEST(SourceEmissionRate, UnitFactorScalesRateAndTotal) {
  ScenarioRecord sc = TwoSources(1);
  sc.Sources[1][1].UnitFactor = 0.001;  // a µg/h source in a milligram scenario
  SourceStates states = MakeSourceStates(sc);
  RoomPollutant conc{};
  PerPollutant<float> emitted{};
  const float out = SourceEmissionRate(sc, states, 1, 50.0f, {5.0f, 0.1f, conc, conc}, 0, emitted);
  EXPECT_NEAR(out, 0.00012f, 1e-10);  // 6 × 0.001 / 50
  EXPECT_NEAR(emitted[0], 0.0006f, 1e-10);
}

TEST(SourceEmissionRate, ShowerReadsThePreviousConcentration) {
  ScenarioRecord sc;
  sc.NumPollutants = 1;
  sc.StepSize = 0.1f;
  sc.NumSources[2] = 1;
  SourceRecord& s = sc.Sources[2][1];
  s = Scheduled("N", {{0, 1}});
  s.Model = 5;
  s.UnitFactor = 1;
  s.Size = 4;
  s.Params[0][0] = 2;    // KOL
  s.Params[1][0] = 0.5;  // Henry's law
  s.Params[2][0] = 10;   // water concentration
  SourceStates states = MakeSourceStates(sc);
  RoomPollutant conc{};
  RoomPollutant previous{};
  conc[2][0] = 100;  // not the one the shower model reads
  previous[2][0] = 1;
  PerPollutant<float> emitted{};
  const float out =
      SourceEmissionRate(sc, states, 2, 1.0f, {0.5f, 0.1f, conc, previous}, 0, emitted);
  // (10 - 1 / 0.5) × (1 - e^(-2/4)) × 4 = 8 × 0.39346934 × 4 = 12.591019
  EXPECT_NEAR(out, 12.591019f, 1e-4);
}

TEST(SourceEmissionRate, VbxComponentSharesTheMixtureLeftAfterPollutantZero) {
  // Pollutant 0 (the mixture) runs model 0 with only layer 1: C0 10, k1 2, M01 100.
  // Component 1: C0 20, k 1, 5 mg at the start.
  ScenarioRecord sc;
  sc.NumPollutants = 2;
  sc.StepSize = 0.1f;
  sc.NumSources[1] = 1;
  SourceRecord& s = sc.Sources[1][1];
  s = Scheduled("N", {{0, 10}});
  s.Model = 7;
  s.UnitFactor = 1;
  s.Size = 1;
  s.Params[0][0] = 10;
  s.Params[1][0] = 2;
  s.Params[2][0] = 100;
  s.Params[0][1] = 20;
  s.Params[1][1] = 1;
  s.Params[2][1] = 5;
  SourceStates states = MakeSourceStates(sc);
  RoomPollutant conc{};
  PerPollutant<float> emitted{};
  const float out0 = SourceEmissionRate(sc, states, 1, 1.0f, {0.0f, 0.1f, conc, conc}, 0, emitted);
  // Mixture: r1 = 2 × (0 - 10 × 100 / 100) = -20; M1 = 100 - 0.1 × 20 = 98.
  EXPECT_NEAR(out0, 20.0f, 1e-5);
  EXPECT_NEAR(states[1][1].reservoir_mass[0], 98.0f, 1e-5);
  const float out1 = SourceEmissionRate(sc, states, 1, 1.0f, {0.0f, 0.1f, conc, conc}, 1, emitted);
  // Component: r = 1 × (0 - 20 × 5 / 98) = -1.0204082; M = 5 - 0.10204082 = 4.8979592.
  EXPECT_NEAR(out1, 1.0204082f, 1e-5);
  EXPECT_NEAR(states[1][1].reservoir_mass[1], 4.8979592f, 1e-5);
  // The reset at switch-on happened once: pollutant 1's look-up did not refill layer 1.
  EXPECT_NEAR(states[1][1].reservoir_mass[0], 98.0f, 1e-5);
}

}  // namespace
}  // namespace quarn
