#include <gtest/gtest.h>

#include "common/scripted_prompt.h"
#include "model/source_checks.h"

namespace quarn {
namespace {

// A building with room 2 "Kitchen" holding one source, on from 0 to 10 h, and two
// pollutants with sound properties, in milligrams.
BuildingRecord OneSource(int model) {
  BuildingRecord b;
  b.NumRooms = 2;
  b.RoomList[2].Name = "Kitchen";
  ScenarioRecord& sc = b.Scenario;
  sc.ConcUnits = "milligrams";
  sc.InitialConcUnits = "milligrams";
  sc.OutdoorConcUnits = "milligrams";
  sc.NumPollutants = 2;
  for (int p = 0; p < 2; ++p) {
    sc.Pollutants[p].MolWt = 100;
    sc.Pollutants[p].Diffusivity = 0.05f;
  }
  sc.Pollutants[0].Name = "TVOC";
  sc.Pollutants[1].Name = "Toluene";
  sc.NumSources[2] = 1;
  SourceRecord& s = sc.Sources[2][1];
  s.Name = "Wall paint";
  s.Model = static_cast<int16_t>(model);
  s.Size = 4;
  s.NumCycles = 1;
  s.TimeOn[1] = 0;
  s.TimeOff[1] = 10;
  s.GasVelocity = 10;  // cm/s of air over a spill
  for (int p = 0; p < 2; ++p) s.Params[2][p] = 100;
  return b;
}

TEST(SourceChecks, SoundSourcesPass) {
  for (int model = 0; model <= 10; ++model) {
    testing::ScriptedPrompt prompt;
    EXPECT_TRUE(CheckSourcesBeforeRun(OneSource(model), prompt)) << "model " << model;
    EXPECT_TRUE(prompt.shown.empty());
  }
}

TEST(SourceChecks, Paint2WithoutInitialMassIsRefusedNamingEverything) {
  BuildingRecord b = OneSource(3);
  b.Scenario.Sources[2][1].Params[2][1] = 0;  // MVB0 of Toluene
  testing::ScriptedPrompt prompt;
  EXPECT_FALSE(CheckSourcesBeforeRun(b, prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  const std::string& text = prompt.shown[0].text;
  EXPECT_NE(text.find("Room 2 (Kitchen)"), std::string::npos) << text;
  EXPECT_NE(text.find("source 1 (Wall paint)"), std::string::npos) << text;
  EXPECT_NE(text.find("pollutant 2 (Toluene)"), std::string::npos) << text;
  EXPECT_NE(text.find("MVB0"), std::string::npos) << text;
  EXPECT_EQ(prompt.shown[0].icon, MessageIcon::Critical);
}

TEST(SourceChecks, OneMessagePerSourceWithAllItsProblems) {
  BuildingRecord b = OneSource(3);
  b.Scenario.Sources[2][1].Params[2][0] = 0;
  b.Scenario.Sources[2][1].Params[2][1] = 0;
  b.Scenario.NumSources[0] = 1;  // and an HVAC source with the same fault
  b.Scenario.Sources[0][1] = b.Scenario.Sources[2][1];
  const auto problems = FindSourceProblems(b);
  EXPECT_EQ(problems.size(), 4u);
  testing::ScriptedPrompt prompt;
  EXPECT_FALSE(CheckSourcesBeforeRun(b, prompt));
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_NE(prompt.shown[0].text.find("HVAC system"), std::string::npos);
}

TEST(SourceChecks, GuardedDivisionsAndSourcesThatNeverRunAreNotRefused) {
  // Model 0's layers divide by M01 only while they hold mass, which starts at M01.
  BuildingRecord zero = OneSource(0);
  zero.Scenario.Sources[2][1].Params[2][0] = 0;
  EXPECT_TRUE(FindSourceProblems(zero).empty());
  // A model 3 source without cycles never runs its model.
  BuildingRecord off = OneSource(3);
  off.Scenario.Sources[2][1].Params[2][0] = 0;
  off.Scenario.Sources[2][1].NumCycles = 0;
  EXPECT_TRUE(FindSourceProblems(off).empty());
  // A source slot beyond NumSources is not part of the run.
  BuildingRecord unused = OneSource(3);
  unused.Scenario.Sources[2][2] = unused.Scenario.Sources[2][1];
  unused.Scenario.Sources[2][2].Params[2][0] = 0;
  EXPECT_TRUE(FindSourceProblems(unused).empty());
}

TEST(SourceChecks, SpillsThatWouldDivideByZero) {
  BuildingRecord exact = OneSource(10);
  exact.Scenario.Pollutants[1].MolWt = 0;
  auto problems = FindSourceProblems(exact);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].pollutant, 1);
  EXPECT_EQ(problems[0].parameter, "MW");

  BuildingRecord single = OneSource(9);
  single.Scenario.Pollutants[0].Diffusivity = 0;  // Schmidt number 66 / (1200 · 0)
  problems = FindSourceProblems(single);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].parameter, "Diffusivity");

  BuildingRecord noMoles = OneSource(9);
  noMoles.Scenario.Sources[2][1].Params[2][0] = 0;  // area scaled by 0 moles at the start
  EXPECT_EQ(FindSourceProblems(noMoles).size(), 1u);

  BuildingRecord petroleum = OneSource(8);
  petroleum.Scenario.Sources[2][1].GasVelocity = -1;
  petroleum.Scenario.Sources[2][1].Size = -4;
  EXPECT_EQ(FindSourceProblems(petroleum).size(), 2u);
}

TEST(SourceChecks, PetroleumSpillWithoutMovingAirIsRefusedNamingTheSource) {
  // Without air moving over it the spill would never evaporate, whatever its size.
  for (float velocity : {0.0f, -1.0f}) {
    SCOPED_TRACE(velocity);
    BuildingRecord b = OneSource(8);
    SourceRecord& spill = b.Scenario.Sources[2][1];
    spill.Name = "Fuel";
    spill.GasVelocity = velocity;
    spill.Size = velocity < 0 ? 0.0f : 4.0f;
    testing::ScriptedPrompt prompt;
    EXPECT_FALSE(CheckSourcesBeforeRun(b, prompt));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_NE(prompt.shown[0].text.find("Room 2 (Kitchen), source 1 (Fuel), model \"Petroleum "
                                        "spill\""),
              std::string::npos)
        << prompt.shown[0].text;
    EXPECT_NE(prompt.shown[0].text.find("Gas velocity is not above 0"), std::string::npos);
    // The source window refuses to store it, in the same words.
    testing::ScriptedPrompt window;
    EXPECT_FALSE(SourceMayBeStored(b, 2, 1, spill, window));
    ASSERT_EQ(window.shown.size(), 1u);
    EXPECT_NE(window.shown[0].text.find("source 1 (Fuel)"), std::string::npos);
    EXPECT_NE(window.shown[0].text.find("Gas velocity is not above 0"), std::string::npos);
    spill.GasVelocity = 10;
    EXPECT_TRUE(SourceMayBeStored(b, 2, 1, spill, window));
    EXPECT_EQ(window.shown.size(), 1u);
  }
}

// What the source window's Transfer refuses: a source that never comes on.
TEST(SourceChecks, ScheduleWithoutACycleOrWithACycleThatNeverLastsIsRefused) {
  const BuildingRecord b = OneSource(1);
  const struct {
    int cycles;
    float on2, off2;
    const char* refusal;
  } cases[] = {
      {1, 0, 0, ""},
      {2, 5, 7, ""},
      {0, 0, 0,
       "Error.  Room 2 (Kitchen), source 1 (Wall paint) has no on/off cycle, so it would never "
       "emit.  Give it at least one cycle, or lower \"# sources in room\"."},
      {2, 5, 3,
       "Error.  Room 2 (Kitchen), source 1 (Wall paint): cycle 2 goes off at 3 h, not after it "
       "comes on at 5 h.  Correct its times."},
      {2, 4, 4,
       "Error.  Room 2 (Kitchen), source 1 (Wall paint): cycle 2 goes off at 4 h, not "
       "after it comes on at 4 h.  Correct its times."},
  };
  for (const auto& c : cases) {
    SourceRecord s = b.Scenario.Sources[2][1];
    s.NumCycles = static_cast<int16_t>(c.cycles);
    s.TimeOn[2] = c.on2;
    s.TimeOff[2] = c.off2;
    EXPECT_EQ(SourceScheduleRefusal(b, 2, 1, s), c.refusal) << c.cycles << " " << c.on2;
  }
  EXPECT_EQ(SourceScheduleRefusal(b, 0, 1, SourceRecord{}).substr(0, 32),
            "Error.  HVAC system, source 1 ()");
}

TEST(SourceChecks, UnitsWithoutAConversionAreRefused) {
  // Particles per hour have no mass in a milligram scenario: the factor would be stale.
  BuildingRecord b = OneSource(1);
  b.Scenario.Sources[2][1].EmissionUnits = 2;
  auto problems = FindSourceProblems(b);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].parameter, "Emission units");
  // In a number scenario they are the scenario's own unit.
  b.Scenario.ConcUnits = "number";
  b.Scenario.InitialConcUnits = "number";
  b.Scenario.OutdoorConcUnits = "number";
  EXPECT_TRUE(FindSourceProblems(b).empty());
  // Initial concentrations in "ppm" cannot become "number".
  b.Scenario.InitialConcUnits = "ppm";
  problems = FindSourceProblems(b);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].room, -1);
  testing::ScriptedPrompt prompt;
  EXPECT_FALSE(CheckSourcesBeforeRun(b, prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_NE(prompt.shown[0].text.find("Initial concentration units"), std::string::npos);
  // A particle count in a ppm scenario, and a mass in a particle one, have no conversion.
  const struct {
    const char* units;
    int16_t emission;
  } unconvertible[] = {{"ppm", 2}, {"number", 0}, {"number", 1}};
  for (const auto& c : unconvertible) {
    BuildingRecord u = OneSource(1);
    u.Scenario.ConcUnits = u.Scenario.InitialConcUnits = u.Scenario.OutdoorConcUnits = c.units;
    u.Scenario.Sources[2][1].EmissionUnits = c.emission;
    problems = FindSourceProblems(u);
    ASSERT_EQ(problems.size(), 1u) << c.units << c.emission;
    EXPECT_EQ(problems[0].parameter, "Emission units");
  }
}

}  // namespace
}  // namespace quarn
