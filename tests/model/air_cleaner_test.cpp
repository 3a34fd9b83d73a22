#include "model/air_cleaners.h"

#include <gtest/gtest.h>

#include "common/scripted_prompt.h"

namespace quarn {
namespace {

using testing::ScriptedPrompt;

PollutantRecord Named(const char* name) {
  PollutantRecord p;
  p.Name = name;
  return p;
}

float Penetration(const char* name, int kind, float before = 0.37F) {
  PenetrationTable table{};
  table[0][0] = before;
  SetAirCleanerPenetration(0, kind, Named(name), table, 0);
  return table[0][0];
}

TEST(FilterEfficiency, RatedFiltersAgainstParticleSize) {
  // HEPA removes 98 % and the pleated filter 30 % of every size.
  EXPECT_NEAR(Penetration("0.3", 7), 0.02F, 1e-6F);
  EXPECT_NEAR(Penetration("0.3", 6), 0.70F, 1e-6F);
  EXPECT_NEAR(Penetration("10", 7), 0.02F, 1e-6F);
  EXPECT_EQ(Penetration("0.3", 0), 1.0F);  // no filter
  // At 1 µm (ln d = 0) a curve is its constant: exp(4.488) = 88.943 % for the electronic
  // cleaner, exp(2.4348) = 11.414 % for ASHRAE 40.
  EXPECT_NEAR(FilterEfficiency(Named("1"), 8), 0.88943F, 1e-5F);
  EXPECT_NEAR(FilterEfficiency(Named("1"), 2), 0.114135F, 1e-5F);
  // Furnace filter at 0.3 µm: x = ln 0.3 = -1.20397,
  // y = 0.5554 - 1.82426 + 1.83948 - 0.70681 + 0.10653 = -0.02966, e^y = 0.97077 %.
  EXPECT_NEAR(FilterEfficiency(Named("0.3"), 1), 0.0097077F, 1e-6F);
  // The furnace curve passes 100 % for large particles: capped, nothing passes.
  EXPECT_EQ(FilterEfficiency(Named("10"), 1), 1.0F);
  EXPECT_EQ(Penetration("10", 1), 0.0F);
}

// Every fitted curve away from 1 µm, where each of its coefficients counts. Reference values
// worked from the curves: x = ln d as a Single, y as a Single, e = exp(y) in percent.
// For example ASHRAE 65 at 0.5 µm: x = -0.693147,
// y = 3.7388 - 0.776325 - 0.026905 + 0.108766 - 0.018342 + 0.000848 = 3.026842, e = 20.632 %.
TEST(FilterEfficiency, EveryCurveAgainstAReferenceTable) {
  struct Row {
    const char* diameter;
    int kind;
    float efficiency;
  };
  const Row rows[] = {
      {"0.1", 1, 0.0131725F}, {"0.1", 2, 0.0261265F}, {"0.1", 3, 0.192897F},
      {"0.1", 4, 0.433495F},  {"0.1", 5, 0.533475F},  {"0.1", 8, 0.876467F},
      {"0.5", 1, 0.0099170F}, {"0.5", 2, 0.0552755F}, {"0.5", 3, 0.206320F},
      {"0.5", 4, 0.648117F},  {"0.5", 5, 0.695786F},  {"0.5", 8, 0.866858F},
      {"3", 1, 0.784538F},    {"3", 2, 0.729555F},    {"3", 3, 0.770429F},
      {"3", 4, 0.936657F},    {"3", 5, 0.850556F},    {"3", 8, 0.868398F},
  };
  for (const Row& row : rows) {
    EXPECT_NEAR(FilterEfficiency(Named(row.diameter), row.kind), row.efficiency,
                2e-6F * row.efficiency)
        << row.diameter << " um, kind " << row.kind;
  }
  // Pleated and HEPA do not depend on the size.
  EXPECT_NEAR(FilterEfficiency(Named("0.1"), 6), 0.30F, 1e-6F);
  EXPECT_NEAR(FilterEfficiency(Named("3"), 7), 0.98F, 1e-6F);
}

TEST(FilterEfficiency, GasesAndUnknownKindsPassOrKeep) {
  for (int kind = 1; kind <= 8; ++kind) {
    EXPECT_EQ(FilterEfficiency(Named("VOC1"), kind), 0.0F) << kind;
    EXPECT_EQ(Penetration("VOC1", kind), 1.0F) << kind;
  }
  EXPECT_EQ(FilterEfficiency(Named("0"), 7), 0.0F);
  EXPECT_EQ(FilterEfficiency(Named("-2"), 7), 0.0F);
  EXPECT_EQ(Penetration("0.3", 9), 0.37F);   // user defined: as entered
  EXPECT_EQ(Penetration("0.3", -1), 0.37F);  // unknown: unchanged
}

TEST(SetUnusedCleanerPositions, ClearsAllButTheChosenPosition) {
  PenetrationTable table{};
  for (auto& position : table) position.fill(0.5F);
  SetUnusedCleanerPositions(2, table, 1);
  EXPECT_EQ(table[0][1], 0.5F);  // the HVAC filter is not a cleaner position
  EXPECT_EQ(table[1][1], 1.0F);
  EXPECT_EQ(table[2][1], 0.5F);
  EXPECT_EQ(table[3][1], 1.0F);
  EXPECT_EQ(table[4][1], 1.0F);
  EXPECT_EQ(table[1][0], 0.5F);  // other pollutants untouched
  SetUnusedCleanerPositions(5, table, 1);
  EXPECT_EQ(table[2][1], 1.0F);
}

ScenarioRecord ParticleScenario(int type, int kind) {
  ScenarioRecord s;
  s.PollutantClass = "PM";
  s.NumPollutants = 2;
  s.Pollutants[0].Name = "0.3";
  s.Pollutants[1].Name = "VOC1";
  s.HVACType = type;
  s.HVACFilterType = static_cast<int16_t>(kind);
  s.FilterCapacity = 1000;
  for (auto& position : s.FilterPenetration) position.fill(0.5F);
  s.LeavingMass = {4, 4};
  return s;
}

TEST(SetupAirCleaners, ResidentialSystemFiltersTheReturnWithTheChosenKind) {
  ScenarioRecord s = ParticleScenario(1, 7);
  WorkingFlows flows;
  ScriptedPrompt prompt;
  SetupAirCleaners(s, flows, prompt);
  EXPECT_NEAR(flows.filter_penetration[0][0], 0.02F, 1e-6F);
  EXPECT_NEAR(flows.filter_penetration[1][0], 0.02F, 1e-6F);
  EXPECT_EQ(flows.filter_penetration[1][1], 1.0F);  // the gas passes
  EXPECT_EQ(flows.filter_penetration[2][0], 1.0F);
  EXPECT_EQ(flows.filter_penetration[4][0], 1.0F);
  EXPECT_EQ(s.LeavingMass[0], 0);
  EXPECT_EQ(s.LeavingMass[1], 0);
  // The table the user entered is left as it was.
  EXPECT_EQ(s.FilterPenetration[0][0], 0.5F);
  EXPECT_EQ(s.FilterPenetration[2][0], 0.5F);
  EXPECT_TRUE(prompt.shown.empty());

  // User defined: the return cleaner takes the entered HVAC filter value.
  ScenarioRecord user = ParticleScenario(1, 9);
  user.FilterPenetration[0][0] = 0.25F;
  SetupAirCleaners(user, flows, prompt);
  EXPECT_EQ(flows.filter_penetration[0][0], 0.25F);
  EXPECT_EQ(flows.filter_penetration[1][0], 0.25F);

  ScenarioRecord none = ParticleScenario(1, 0);
  SetupAirCleaners(none, flows, prompt);
  EXPECT_EQ(flows.filter_penetration[0][0], 1.0F);
  EXPECT_EQ(flows.filter_penetration[1][0], 1.0F);
}

TEST(SetupAirCleaners, OtherTypesSetTheHVACFilter) {
  ScenarioRecord s = ParticleScenario(2, 6);
  WorkingFlows flows;
  ScriptedPrompt prompt;
  SetupAirCleaners(s, flows, prompt);
  EXPECT_NEAR(flows.filter_penetration[0][0], 0.7F, 1e-6F);
  EXPECT_EQ(flows.filter_penetration[1][0], 1.0F);
  EXPECT_EQ(flows.filter_penetration[2][0], 0.5F);  // position 2 belongs to type 2
  EXPECT_EQ(flows.filter_penetration[3][0], 1.0F);

  ScenarioRecord five = ParticleScenario(5, 6);
  SetupAirCleaners(five, flows, prompt);
  EXPECT_NEAR(flows.filter_penetration[0][0], 0.7F, 1e-6F);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(flows.filter_penetration[i][0], 1.0F) << i;

  ScenarioRecord none = ParticleScenario(0, 6);
  SetupAirCleaners(none, flows, prompt);
  EXPECT_EQ(flows.filter_penetration[0][0], 0.5F);  // copied, not set
}

TEST(SetupAirCleaners, WarnsOnceWhenTheFilterCanHoldNothing) {
  const char* text = "Warning.  The HVAC filter capacity is 0, so the filter removes nothing.";
  for (int type : {1, 2, 4}) {
    ScenarioRecord s = ParticleScenario(type, 7);
    s.FilterCapacity = 0;
    WorkingFlows flows;
    ScriptedPrompt prompt;
    SetupAirCleaners(s, flows, prompt);
    ASSERT_EQ(prompt.shown.size(), 1u) << type;
    EXPECT_EQ(prompt.shown[0].text, text);
    EXPECT_EQ(prompt.shown[0].title, "Warning");
  }
  // No filter chosen, or a type whose filter never fills (3), or a system without a type.
  for (auto [type, kind] : {std::pair{1, 0}, std::pair{3, 7}, std::pair{0, 7}}) {
    ScenarioRecord s = ParticleScenario(type, kind);
    s.FilterCapacity = 0;
    WorkingFlows flows;
    ScriptedPrompt prompt;
    SetupAirCleaners(s, flows, prompt);
    EXPECT_TRUE(prompt.shown.empty()) << type << " " << kind;
  }
}

TEST(SetFilterPenetration, WritesTheScenariosHVACFilter) {
  ScenarioRecord s = ParticleScenario(2, 7);
  SetFilterPenetration(s);
  EXPECT_NEAR(s.FilterPenetration[0][0], 0.02F, 1e-6F);
  EXPECT_EQ(s.FilterPenetration[0][1], 1.0F);
  EXPECT_EQ(s.FilterPenetration[1][0], 0.5F);
}

}  // namespace
}  // namespace quarn
