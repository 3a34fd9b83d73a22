#include "files/old_scenario_file.h"

#include <gtest/gtest.h>

#include <string>

#include "../common/scripted_prompt.h"
#include "scenario_test_support.h"

namespace quarn {
namespace {

using namespace scenario_test;  // NOLINT
using testing::ScriptedPrompt;

enum class Kind { V195, V192, V19, V18, Newest, New, Old };

int Generation(Kind k) {
  switch (k) {
    case Kind::V195:
      return 195;
    case Kind::V192:
      return 192;
    case Kind::V19:
      return 19;
    case Kind::V18:
      return 18;
    default:
      return 0;
  }
}

bool Versioned(Kind k) {
  return Generation(k) != 0;
}

struct Options {
  std::string pollutant_class = "        ";  // all blanks: becomes "Other"
  bool end_after_start_times = false;
  int sources_room1 = 1;
  int cycles = 1;
  int pollutants = 1;
  int occupants = 1;  // an "Old" file always holds four
};

std::string Pair(const std::string& a, const std::string& b) {
  return a + std::string(14 - a.size(), ' ') + b;
}

// A file of the older layouts written by hand, item by item, for a two-room building whose
// rooms are neighbours, with one pollutant.
std::string OldFile(Kind kind, const Options& o = {}) {
  const int gen = Generation(kind);
  const bool oldest = kind == Kind::Old;
  Lines l;
  if (Versioned(kind))
    l(kind == Kind::V195   ? "V1.95"
      : kind == Kind::V192 ? "V1.92"
      : kind == Kind::V19  ? "V1.9"
                           : "V1.8");
  if (kind == Kind::Newest) l("NEWEST");
  if (Versioned(kind) || kind == Kind::Newest) l("Old house")(" 2 ");
  if (kind == Kind::New) l("New");
  // 1-3 general settings
  l("Old scen")("comment")("milligrams")(" .7 ")("Y")("N")(" 2 ")(
      " " + std::to_string(o.pollutants) + " ")("N")(" 3.5 ")(o.pollutant_class);
  if (gen >= 19) l(" 750 ")(" 21 ");
  l(" 9 ")(" 8 ")("Y")("Y")(" .4 ")("Toluene")(" .3 ")(" .002 ")("solvent")(" .1 ")(" 2 ")(" .05 ")(
      " .9 ")(" 50 ");
  // 4-6 flows and schedules
  l("N")(" 11 ")(" 12 ")(" 1 ")(" 2 ")(" 3 ")(" 4 ")(" 5 ")(" 6 ")(" 7 ")(" 8 ")(" 1.5 ")(" 2.5 ");
  l(" 20 ")(" 21 ")(" 22 ")(" 23 ")(" 30 ")(" 31 ");
  l(" 0 ")(" .5 ")(" 0 ")(" 1 ").Repeat(" 0 ", 49 * 4);
  // 7 sources
  auto source = [&](const std::string& name) {
    l(" " + std::to_string(name.size()) + " ")(name)(" 2 ");
    if (gen >= 192) l(" 3 ");
    l(" 10 ")(" " + std::to_string(o.cycles) + " ")(" 250 ");
    for (int c = 1; c <= o.cycles; ++c) l(" 1 ")(" 3 ");
    for (int p = 0; p < o.pollutants; ++p) {
      l(" 7 ")(" 100 ")(" .5 ").Repeat(" 0 ", 9);
      if (gen >= 195) l(" 60 ");
    }
  };
  if (Versioned(kind)) {
    l(" 1 ");
    source("Duct");
  }
  l(" " + std::to_string(o.sources_room1) + " ");
  for (int s = 0; s < o.sources_room1; ++s) source("Paint");
  l(" 0 ");
  // 8 sinks: room 1 claims five and holds two
  l(" 0 ")(" 5 ");
  l(" 6 ")("Carpet")(" .25 ")(" .01 ")(" 12 ")(" 3 ");
  l(" 7 ")("Drywall")(" .5 ")(" .02 ")(" 40 ")(" 0 ");
  l(" 0 ");
  // 9-10 occupants
  const int occupants = oldest ? 4 : o.occupants;
  if (!oldest) l(" " + std::to_string(occupants) + " ");
  for (int i = 1; i <= occupants; ++i) {
    if (!oldest) l(" 24 ");
    l(" " + std::to_string(i) + " ")(" .9 ")(" 3 ")("Bo" + std::to_string(i))(" 1 ")(" 24 ");
    if (gen >= 19) l(" 80 ");
    l(" 0 ")(" 8 ")(" 1 ")(" 7 ")("Kitchen");
    for (int e = 2; e <= 24; ++e) l(" 0 ")(" 0 ")(" 0 ")(" 0 ")("");
  }
  l("N")("Y")("N");
  for (int i = 1; i <= occupants; ++i) l(" " + std::to_string(i + 1) + " ")(" 20 ");
  if (o.end_after_start_times) return l.Text();
  // 11 optional items
  l(" 1 ");
  for (int i = 1; i <= occupants; ++i) l(" 70 ")(" 1000 ");
  l("-1 ");
  l("Y")(" 1 ")(" 9 ")(" 40 ")(" 41 ")(" 51 ")(" 52 ")(" 53 ")(" 54 ")(" 55 ")(" 56 ")(" 57 ")(
      " 58 ")(" 61 ")(" 62 ");
  l(" .6 ");
  // 12 pollutants
  for (int p = 0; p < o.pollutants; ++p) {
    l("Toluene");
    if (o.pollutant_class.rfind("PM", 0) == 0 || o.pollutant_class.rfind("pm", 0) == 0) {
      l(" 2.5 ");
    } else {
      l(" 92.14 ")(" .08 ")(" 1000 ");
    }
    l(" .35 ")(" .2 ")(" .4 ")(" 0 ");
  }
  // 13 concentrations as entered
  l(" 5 ")(" 6 ")(" .75 ");
  l(Pair(" 0 ", " .1 "))(Pair(" 5 ", " .2 ")).Repeat(Pair(" 0 ", " 0 "), 48);
  // 14-15 filter, points and units
  l(" 9 ")(" 75 ")(" .3 ");
  l(" 2 ")("micrograms")("ppm")("micrograms");
  return l.Text();
}

Model TwoRooms() {
  Model m;
  m.building.ID = "Old house";
  m.building.NumRooms = 2;
  m.building.Neighbors[1][2] = m.building.Neighbors[2][1] = kTrue;
  return m;
}

ScenarioReadResult Read(const std::string& text, Model& m, ScriptedPrompt& prompt,
                        const TempDir& dir) {
  const std::string path = dir.File("old.SEN");
  WriteBytes(path, text);
  return CommitScenarioRead(ReadScenarioFile(m.building, path, prompt), m.building);
}

void ExpectCommonFields(const Model& m, Kind kind) {
  const ScenarioRecord& sc = m.building.Scenario;
  const int gen = Generation(kind);
  EXPECT_EQ(sc.Name, "Old scen");
  EXPECT_EQ(sc.Comments, "comment");
  EXPECT_EQ(sc.OverallACH, 0.7f);
  EXPECT_EQ(sc.YearsSimulated, 2);
  EXPECT_EQ(sc.NumPollutants, 1);
  // Item 1's value stands until the entered values of item 13 replace it.
  EXPECT_EQ(sc.InitialConc[1][0], m.building.Scenario.InitialConcInput[1][0]);
  EXPECT_TRUE(m.building.Scenario.InitialConcInput[1][0] == 3.5f ||
              m.building.Scenario.InitialConcInput[1][0] == 5.0f);
  EXPECT_EQ(sc.PollutantClass.str(), "Other   ");
  EXPECT_EQ(sc.Pressure, gen >= 19 ? 750 : 0);
  EXPECT_EQ(sc.Temperature, gen >= 19 ? 21 : 0);
  EXPECT_EQ(sc.GeneralFlag.str(), "Y");
  EXPECT_EQ(sc.CurrentOutdoorConc[0], 0.4f);
  EXPECT_EQ(sc.Pollutants[0].Name, "Toluene");
  EXPECT_EQ(sc.Pollutants[0].Comments, "solvent");
  EXPECT_EQ(sc.RunSetting1, 0.1f);
  EXPECT_EQ(sc.RunSetting2, 2);
  EXPECT_EQ(sc.StepSize, 0.05f);
  EXPECT_EQ(sc.AirCleanerMass[0], 0);
  EXPECT_EQ(sc.HVACOutdoorAirTotal, 11);
  EXPECT_EQ(sc.HVACMakeUpTotal, 12);
  EXPECT_EQ(sc.HVACSupply[1], 1);
  EXPECT_EQ(sc.HVACOutdoorAir[2], 8);
  EXPECT_EQ(sc.HVACRoomFlows[1][2], 1.5f);
  EXPECT_EQ(sc.HVACRoomFlows[2][1], 2.5f);
  EXPECT_EQ(sc.NaturalToOutdoors[1], 20);
  EXPECT_EQ(sc.NaturalFromOutdoors[2], 23);
  EXPECT_EQ(sc.NaturalRoomFlows[1][2], 30);
  EXPECT_EQ(sc.NaturalRoomFlows[2][1], 31);
  EXPECT_EQ(sc.VentRate[1], 0.5f);
  EXPECT_EQ(sc.HVACHistoryFraction[1], 1);
  // Sources: gas velocity from 1.92, total mass and raw row 3 from 1.95, the HVAC system's
  // sources only in files that begin with a version.
  EXPECT_EQ(sc.NumSources[0], Versioned(kind) ? 1 : 0);
  if (Versioned(kind)) {
    EXPECT_EQ(sc.Sources[0][1].Name, "Duct");
  }
  ASSERT_EQ(sc.NumSources[1], 1);
  const SourceRecord& paint = sc.Sources[1][1];
  EXPECT_EQ(paint.Name, "Paint");
  EXPECT_EQ(paint.Model, 2);
  EXPECT_EQ(paint.GasVelocity, gen >= 192 ? 3 : 0);
  EXPECT_EQ(paint.Size, 10);
  EXPECT_EQ(paint.TotalMass, gen >= 195 ? 250 : 0);
  EXPECT_EQ(paint.ScaledMass, gen >= 195 ? 0 : 250);
  EXPECT_EQ(paint.NumCycles, 1);
  EXPECT_EQ(paint.TimeOn[1], 1);
  EXPECT_EQ(paint.TimeOff[1], 3);
  EXPECT_EQ(paint.SourceWork2[0], 7);
  EXPECT_EQ(paint.Params[0][0], 100);
  EXPECT_EQ(paint.Params[1][0], 0.5f);
  EXPECT_EQ(paint.RawParam3[0], gen >= 195 ? 60 : 0);
  EXPECT_EQ(sc.NumSources[2], 0);
  // Five sinks claimed, two kept.
  EXPECT_EQ(sc.NumSinks[0], 0);
  EXPECT_EQ(sc.NumSinks[1], 2);
  EXPECT_EQ(sc.Sinks[1][1].Name, "Carpet");
  EXPECT_EQ(sc.Sinks[1][1].ka[0], 0.25f);
  EXPECT_EQ(sc.Sinks[1][1].kd[0], 0.01f);
  EXPECT_EQ(sc.Sinks[1][1].Area, 12);
  EXPECT_EQ(sc.Sinks[1][1].Mass[0], 3);
  EXPECT_EQ(sc.Sinks[1][2].Name, "Drywall");
  EXPECT_EQ(sc.Sinks[1][2].Area, 40);
  EXPECT_EQ(sc.NumSinks[2], 0);
  // Occupants, and the flags read a second time after them.
  const OccupantRecord& bob = sc.Occupants[1];
  EXPECT_EQ(bob.CycleLength, kind == Kind::Old ? 0 : 24);
  EXPECT_EQ(bob.Number, 1);
  EXPECT_EQ(bob.BreathingRate, 0.9f);
  EXPECT_EQ(bob.Name, "Bo1");
  EXPECT_EQ(bob.Weight, gen >= 19 ? 80 : 74);  // 74 is the reset's weight
  EXPECT_EQ(bob.TimeLeave[1], 8);
  EXPECT_EQ(bob.LocationRoom[1], 1);
  EXPECT_EQ(bob.Location[1], "Kitchen");
  EXPECT_EQ(bob.StartTime, 2);
  EXPECT_EQ(bob.EndTime, 20);
  EXPECT_EQ(sc.ConstantACH.str(), "N");
  EXPECT_EQ(sc.ConstantHVAC.str(), "Y");
  EXPECT_EQ(sc.VentScheduleFlag.str(), "N");
}

void ExpectTailFields(const Model& m) {
  const ScenarioRecord& sc = m.building.Scenario;
  EXPECT_EQ(sc.LongTermOptions, 1);
  EXPECT_EQ(sc.Occupants[1].Lifetime, 70);
  EXPECT_EQ(sc.Occupants[1].Population, 1000);
  EXPECT_EQ(sc.HVACHistoryOutdoorOnly, -1);
  EXPECT_EQ(sc.ManagedFlowFlag.str(), "Y");
  EXPECT_EQ(sc.ManagedValue3, 1);
  EXPECT_EQ(sc.ManagedValue4, 9);
  EXPECT_EQ(sc.ManagedValue1, 40);
  EXPECT_EQ(sc.ManagedValue2, 41);
  EXPECT_EQ(sc.ManagedSupply[1], 51);
  EXPECT_EQ(sc.ManagedToOutdoors[2], 58);
  EXPECT_EQ(sc.ManagedRoomFlows[1][2], 61);
  EXPECT_EQ(sc.ManagedRoomFlows[2][1], 62);
  const PollutantRecord& tol = sc.Pollutants[0];
  EXPECT_EQ(tol.MolWt, 92.14f);
  EXPECT_EQ(tol.Diffusivity, 0.08f);
  EXPECT_EQ(tol.C0, 1000);
  EXPECT_EQ(tol.IrritantConc, 0.35f);
  EXPECT_EQ(tol.RfD, 0.2f);
  EXPECT_EQ(tol.RfC, 0.4f);
  EXPECT_EQ(tol.CancerRisk, 0);
  EXPECT_EQ(m.building.Scenario.InitialConcInput[1][0], 5);
  EXPECT_EQ(m.building.Scenario.InitialConcInput[2][0], 6);
  EXPECT_EQ(sc.BuildingPenetration[0], 0.75f);
  EXPECT_EQ(sc.OutdoorConcTime[2], 5);
  EXPECT_EQ(m.building.Scenario.OutdoorConcInput[1][0], 0.1f);
  EXPECT_EQ(m.building.Scenario.OutdoorConcInput[2][0], 0.2f);
  EXPECT_EQ(sc.HVACFilterType, 9);
  EXPECT_EQ(sc.FilterCapacity, 75);
  EXPECT_EQ(sc.FilterPenetration[0][0], 0.3f);
  EXPECT_EQ(sc.NumOutdoorConcPoints, 2);
  EXPECT_EQ(sc.ConcUnits, "micrograms");
  EXPECT_EQ(sc.OutdoorConcUnits, "ppm");
  EXPECT_EQ(sc.InitialConcUnits, "micrograms");
}

TEST(OldScenarioFile, EveryGenerationLoadsItsFields) {
  for (Kind kind :
       {Kind::V195, Kind::V192, Kind::V19, Kind::V18, Kind::Newest, Kind::New, Kind::Old}) {
    SCOPED_TRACE(static_cast<int>(kind));
    TempDir dir;
    Model m = TwoRooms();
    m.building.Scenario.HVACType = 3;  // no older layout holds it
    ScriptedPrompt prompt;
    ASSERT_EQ(Read(OldFile(kind), m, prompt, dir), ScenarioReadResult::Read);
    if (Versioned(kind) || kind == Kind::Newest) {
      ASSERT_EQ(prompt.shown.size(), 1u);
      EXPECT_EQ(prompt.shown[0].kind, "yesno");
      EXPECT_EQ(prompt.shown[0].text,
                "This scenario is for building Old house With  2 rooms Do you wish to continue?");
      EXPECT_EQ(prompt.shown[0].title, "File is for");
      EXPECT_EQ(prompt.shown[0].icon, MessageIcon::Question);
    } else {
      EXPECT_TRUE(prompt.shown.empty());
    }
    ExpectCommonFields(m, kind);
    ExpectTailFields(m);
    EXPECT_EQ(m.building.Scenario.HVACType, 1);  // the editor's first type
    EXPECT_EQ(m.building.Scenario.NumOccupants, kind == Kind::Old ? 3 : 1);
  }
}

TEST(OldScenarioFile, OldestFilesDropTheFourthOccupant) {
  TempDir dir;
  Model m = TwoRooms();
  ScriptedPrompt prompt;
  ASSERT_EQ(Read(OldFile(Kind::Old), m, prompt, dir), ScenarioReadResult::Read);
  const ScenarioRecord& sc = m.building.Scenario;
  ASSERT_EQ(sc.NumOccupants, 3);
  for (int o = 1; o <= 3; ++o) {
    EXPECT_EQ(sc.Occupants[o].Name, "Bo" + std::to_string(o));
    EXPECT_EQ(sc.Occupants[o].StartTime, o + 1);
    EXPECT_EQ(sc.Occupants[o].Lifetime, 70);
  }
  // A "NEWEST" file that claims four is read the same way.
  Model n = TwoRooms();
  Options four;
  four.occupants = 4;
  ASSERT_EQ(Read(OldFile(Kind::Newest, four), n, prompt, dir), ScenarioReadResult::Read);
  EXPECT_EQ(n.building.Scenario.NumOccupants, 3);
  EXPECT_EQ(n.building.Scenario.Occupants[3].Name, "Bo3");
  ExpectTailFields(n);
}

TEST(OldScenarioFile, FileEndingAfterTheStartTimesReadsWithoutAMessage) {
  for (Kind kind : {Kind::V195, Kind::V18, Kind::New, Kind::Old}) {
    TempDir dir;
    Model m = TwoRooms();
    m.building.Scenario.BuildingPenetration[0] = 0.2f;
    m.building.Scenario.NumOutdoorConcPoints = 17;
    Options o;
    o.end_after_start_times = true;
    ScriptedPrompt prompt;
    ASSERT_EQ(Read(OldFile(kind, o), m, prompt, dir), ScenarioReadResult::Read);
    EXPECT_EQ(prompt.Count("message"), 0u);
    ExpectCommonFields(m, kind);
    const ScenarioRecord& sc = m.building.Scenario;
    EXPECT_EQ(sc.BuildingPenetration[0], 1.0f);
    EXPECT_EQ(sc.LongTermOptions, 0);
    EXPECT_EQ(sc.ManagedFlowFlag.str(), "N");
    // Nothing stores the point count or the entered units: the times and the units of the
    // scenario give them.
    EXPECT_EQ(sc.NumOutdoorConcPoints, 1);
    EXPECT_EQ(sc.OutdoorConcUnits, "milligrams");
    EXPECT_EQ(sc.InitialConcUnits, "milligrams");
  }
}

TEST(OldScenarioFile, ParticleClassReadsOnlyTheDiameter) {
  TempDir dir;
  Model m = TwoRooms();
  m.building.Scenario.Pollutants[0].MolWt = 5;
  Options o;
  o.pollutant_class = "pm";
  ScriptedPrompt prompt;
  ASSERT_EQ(Read(OldFile(Kind::V195, o), m, prompt, dir), ScenarioReadResult::Read);
  const PollutantRecord& p = m.building.Scenario.Pollutants[0];
  EXPECT_EQ(p.Diameter, 2.5f);
  EXPECT_EQ(p.MolWt, 0);  // as the reset leaves it
  EXPECT_EQ(p.IrritantConc, 0.35f);
  EXPECT_EQ(m.building.Scenario.PollutantClass.str(), "pm      ");
}

TEST(OldScenarioFile, GenerationsAreExactVersionTexts) {
  EXPECT_EQ(OldScenarioGeneration("V1.95"), 195);
  EXPECT_EQ(OldScenarioGeneration("V1.92"), 192);
  EXPECT_EQ(OldScenarioGeneration("V1.9"), 19);
  EXPECT_EQ(OldScenarioGeneration("V1.8"), 18);
  EXPECT_EQ(OldScenarioGeneration("v1.95"), 0);
  EXPECT_EQ(OldScenarioGeneration("V1.96"), 0);
  EXPECT_EQ(OldScenarioGeneration("NEWEST"), 0);
}

void ExpectDamagedAndUnchanged(const std::string& text, const std::string& what) {
  SCOPED_TRACE(what);
  TempDir dir;
  Model m = TwoRooms();
  m.building.Scenario.Name = "before";
  m.building.Scenario.HVACType = 2;
  m.building.Scenario.Occupants[1].EfficiencyFactor = 0.5f;
  const std::string before = Snapshot(m);
  ScriptedPrompt prompt;
  EXPECT_EQ(Read(text, m, prompt, dir), ScenarioReadResult::Failed);
  EXPECT_TRUE(Snapshot(m) == before);
  ASSERT_FALSE(prompt.shown.empty());
  EXPECT_EQ(prompt.shown.back().text,
            "Error.  " + dir.File("old.SEN") + " is not a scenario file or is damaged.");
}

TEST(OldScenarioFile, TruncatedAndOverLimitFilesChangeNothing) {
  for (Kind kind : {Kind::V195, Kind::New, Kind::Old}) {
    Options o;
    o.end_after_start_times = true;
    const std::string text = OldFile(kind, o);
    // Cut before the last line: the start and end times are not optional.
    const std::size_t last = text.rfind("\r\n", text.size() - 3) + 2;
    ExpectDamagedAndUnchanged(text.substr(0, last), "cut before the last end time");
    ExpectDamagedAndUnchanged(text.substr(0, text.size() / 2), "cut in the middle");
  }
  const std::string full = OldFile(Kind::V192);
  ExpectDamagedAndUnchanged(full.substr(0, full.find("Toluene\r\n 92.14") + 12),
                            "cut inside the pollutant block");
  ExpectDamagedAndUnchanged(full.substr(0, full.find("micrograms\r\nppm")), "cut in item 15");

  Options sources;
  sources.sources_room1 = 4;
  ExpectDamagedAndUnchanged(OldFile(Kind::V195, sources), "4 sources");
  Options cycles;
  cycles.cycles = 6;
  ExpectDamagedAndUnchanged(OldFile(Kind::V195, cycles), "6 cycles");
  Options pollutants;
  pollutants.pollutants = 9;
  ExpectDamagedAndUnchanged(OldFile(Kind::New, pollutants), "9 pollutants");
  Options occupants;
  occupants.occupants = 5;
  ExpectDamagedAndUnchanged(OldFile(Kind::Newest, occupants), "5 occupants");
}

TEST(OldScenarioFile, NoAndAnotherRoomCountChangeNothing) {
  TempDir dir;
  Model m = TwoRooms();
  m.building.Scenario.Name = "before";
  const std::string before = Snapshot(m);
  ScriptedPrompt prompt;
  prompt.answers = {Answer::No};
  EXPECT_EQ(Read(OldFile(Kind::V19), m, prompt, dir), ScenarioReadResult::Declined);
  EXPECT_TRUE(Snapshot(m) == before);
  EXPECT_EQ(prompt.shown.size(), 1u);

  Model three = TwoRooms();
  three.building.NumRooms = 3;
  const std::string before3 = Snapshot(three);
  ScriptedPrompt refused;
  EXPECT_EQ(Read(OldFile(Kind::Newest), three, refused, dir), ScenarioReadResult::Failed);
  EXPECT_TRUE(Snapshot(three) == before3);
  ASSERT_EQ(refused.shown.size(), 1u);
  EXPECT_EQ(refused.shown[0].text, "Error.  " + dir.File("old.SEN") +
                                       " is a scenario for a building with 2 rooms, but the "
                                       "building loaded has 3 rooms.  The scenario was not read.");
}

}  // namespace
}  // namespace quarn
