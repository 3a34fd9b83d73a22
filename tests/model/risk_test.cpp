#include "model/risk.h"

#include <gtest/gtest.h>

#include "common/scripted_prompt.h"

namespace quarn {
namespace {

ScenarioRecord TwoOccupantsTwoPollutants() {
  ScenarioRecord s;
  s.NumOccupants = 2;
  s.NumPollutants = 2;
  s.YearsSimulated = 1;
  s.Pollutants[0].CancerRisk = 0.01f;  // a carcinogen
  s.Pollutants[1].CancerRisk = 0;      // not one
  for (int o = 1; o <= 2; ++o) {
    s.Occupants[o].BreathingRate = 0.5f;
    s.Occupants[o].Dose = {2.0f, 2.0f};
    s.Occupants[o].CancerRiskResult = {-1.0f, -1.0f};
  }
  return s;
}

TEST(RunRiskCalculation, DailyDoseTimesSlopeFactor) {
  ScenarioRecord s = TwoOccupantsTwoPollutants();
  testing::ScriptedPrompt prompt;
  RunRiskCalculation(s, prompt);
  // 2 mg over 1 year at 0.5 m³/h: 2000 µg / (365 x 0.5 x 24 m³) x 0.01 x 1000.
  const float expected = 2.0f * 1000.0f / (365.0f * 0.5f * 24.0f) * 0.01f * 1000.0f;
  EXPECT_NEAR(expected, 4.56621f, 1e-4);
  EXPECT_FLOAT_EQ(s.Occupants[1].CancerRiskResult[0], expected);
  EXPECT_FLOAT_EQ(s.Occupants[2].CancerRiskResult[0], expected);
  // No slope factor: the previous result stays.
  EXPECT_EQ(s.Occupants[1].CancerRiskResult[1], -1.0f);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST(RunRiskCalculation, ZeroBreathingRateOfSecondOccupantKeepsFirstAndWarnsOnce) {
  ScenarioRecord s = TwoOccupantsTwoPollutants();
  s.Occupants[2].BreathingRate = 0;
  testing::ScriptedPrompt prompt;
  RunRiskCalculation(s, prompt);
  EXPECT_NEAR(s.Occupants[1].CancerRiskResult[0], 4.56621f, 1e-4);
  EXPECT_EQ(s.Occupants[2].CancerRiskResult[0], -1.0f);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Error in Risk calculation.  Check data input.  Division by zero");
  EXPECT_EQ(prompt.shown[0].title, "ERROR");
}

TEST(RunRiskCalculation, NoSimulatedTimeStopsWithOneMessage) {
  ScenarioRecord s = TwoOccupantsTwoPollutants();
  s.YearsSimulated = 0;
  testing::ScriptedPrompt prompt;
  RunRiskCalculation(s, prompt);
  EXPECT_EQ(prompt.Count("message"), 1u);
  EXPECT_EQ(s.Occupants[1].CancerRiskResult[0], -1.0f);
}

TEST(RunRiskCalculation, NothingToDoChangesNothing) {
  ScenarioRecord s = TwoOccupantsTwoPollutants();
  s.Pollutants[0].CancerRisk = 0;
  testing::ScriptedPrompt prompt;
  RunRiskCalculation(s, prompt);
  EXPECT_EQ(s.Occupants[1].CancerRiskResult[0], -1.0f);

  s = TwoOccupantsTwoPollutants();
  s.NumOccupants = 0;
  RunRiskCalculation(s, prompt);
  EXPECT_EQ(s.Occupants[1].CancerRiskResult[0], -1.0f);
  EXPECT_TRUE(prompt.shown.empty());
}

}  // namespace
}  // namespace quarn
