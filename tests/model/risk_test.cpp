#include "model/risk.h"

#include <gtest/gtest.h>

#include "common/scripted_prompt.h"

namespace quarn {
namespace {

ScenarioRecord TwoOccupantsTwoPollutants() {
  ScenarioRecord s;
  s.ConcUnits = "milligrams";
  s.ExposureMode = "I";  // the dose is the amount inhaled
  s.NumOccupants = 2;
  s.NumPollutants = 2;
  s.YearsSimulated = 1;
  s.Pollutants[0].CancerRisk = 1e-6f;  // a carcinogen, per µg/m³
  s.Pollutants[1].CancerRisk = 0;      // not one
  for (int o = 1; o <= 2; ++o) {
    s.Occupants[o].BreathingRate = 0.8f;
    s.Occupants[o].EfficiencyFactor = 1;
    // A year at 1 mg/m³: 1 x 0.8 m³/h x 8760 h inhaled.
    s.Occupants[o].Dose = {7008.0f, 7008.0f};
    s.Occupants[o].CancerRiskResult = {-1.0f, -1.0f};
  }
  return s;
}

TEST(RunRiskCalculation, MeanInhaledMicrogramsTimesSlopeFactorInEveryUnit) {
  // The same year at 1 mg/m³ in the scenario's own unit: 1000 µg/m³ x 1E-06.
  const struct {
    const char* units;
    float dose;
    float mol_wt;
  } cases[] = {
      {"milligrams", 7008.0f, 0},
      {"micrograms", 7008.0e3f, 0},
      {"ppm", 7008.0f, 24.5f},  // 1 ppm of a gas of 24.5 g/mol is 1 mg/m³
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.units);
    ScenarioRecord s = TwoOccupantsTwoPollutants();
    s.ConcUnits = c.units;
    s.Pollutants[0].MolWt = c.mol_wt;
    for (int o = 1; o <= 2; ++o) s.Occupants[o].Dose = {c.dose, c.dose};
    testing::ScriptedPrompt prompt;
    RunRiskCalculation(s, prompt);
    EXPECT_NEAR(s.Occupants[1].CancerRiskResult[0], 1e-3, 1e-9);
    EXPECT_NEAR(s.Occupants[2].CancerRiskResult[0], 1e-3, 1e-9);
    // No slope factor: the previous result stays.
    EXPECT_EQ(s.Occupants[1].CancerRiskResult[1], -1.0f);
    EXPECT_TRUE(prompt.shown.empty());
  }
}

TEST(RunRiskCalculation, NotInhaledTheDoseIsSpreadOverTheHoursAlone) {
  // A year at 1 mg/m³ as a concentration times hours: the breathing rate plays no part.
  ScenarioRecord s = TwoOccupantsTwoPollutants();
  s.ExposureMode = "N";
  s.Occupants[1].Dose = {8760.0f, 8760.0f};
  s.NumOccupants = 1;
  testing::ScriptedPrompt prompt;
  RunRiskCalculation(s, prompt);
  EXPECT_NEAR(s.Occupants[1].CancerRiskResult[0], 1e-3, 1e-9);
}

TEST(RunRiskCalculation, UnitWithoutAConversionStopsWithOneMessage) {
  ScenarioRecord s = TwoOccupantsTwoPollutants();
  s.ConcUnits = "";
  testing::ScriptedPrompt prompt;
  RunRiskCalculation(s, prompt);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Error in Risk calculation.  Check data input.  Unknown concentration units");
  EXPECT_EQ(s.Occupants[1].CancerRiskResult[0], -1.0f);
}

TEST(RunRiskCalculation, ZeroBreathingRateOfSecondOccupantKeepsFirstAndWarnsOnce) {
  ScenarioRecord s = TwoOccupantsTwoPollutants();
  s.Occupants[2].BreathingRate = 0;
  testing::ScriptedPrompt prompt;
  RunRiskCalculation(s, prompt);
  EXPECT_NEAR(s.Occupants[1].CancerRiskResult[0], 1e-3, 1e-9);
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
