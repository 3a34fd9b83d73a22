#include "ui/grids/scenario_room_grids.h"

#include <gtest/gtest.h>

#include "common/scripted_prompt.h"
#include "model/unit_conversion.h"
#include "platform/flex_grid.h"

namespace quarn {
namespace {

using testing::ScriptedPrompt;

ProgramState TwoRoomsTwoGases() {
  ProgramState st;
  BuildingRecord& b = st.Building;
  b.NumRooms = 2;
  b.RoomList[1].Name = "Hall";
  b.RoomList[2].Name = "Lab";
  ScenarioRecord& s = b.Scenario;
  s.PollutantClass = "VOC";
  s.NumPollutants = 2;
  s.ConcUnits = "milligrams";
  s.OutdoorConcUnits = "micrograms";
  s.InitialConcUnits = "ppm";
  s.Pollutants[0] = {"toluene", 1.5f, 2, 3.5f, 4, 5, 6, 0, 92.14f, 0.0276f, 0.87f, 0, 0, "c"};
  s.Pollutants[1] = {"xylene", 7, 8, 9, 10, 11, 12, 0, 106.16f, 0.025f, 0.86f, 0, 0, ""};
  s.NumSources[1] = 2;
  s.NumSinks[2] = 1;
  s.AirCleanerEff[1] = 40;
  s.AirCleanerFlow[2] = 2.5f;
  return st;
}

TEST(ScenarioRoomGrid, FillThenReadKeepsEveryRoom) {
  ProgramState st = TwoRoomsTwoGases();
  FlexGrid grid;
  ScriptedPrompt prompt;
  FillScenarioRoomGrid(grid, st.Building);
  EXPECT_EQ(grid.Rows(), 3);
  EXPECT_EQ(grid.TextMatrix(0, 5), "AC Flow Room Volumes/h");
  EXPECT_EQ(grid.TextMatrix(2, 1), "Lab");
  EXPECT_EQ(grid.TextMatrix(1, 2), "2");
  EXPECT_EQ(grid.TextMatrix(2, 5), "2.5");
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.Col(), 2);
  grid.SetTextMatrix(2, 4, "100");
  ASSERT_TRUE(ReadScenarioRoomGrid(grid, st.Building, prompt));
  const ScenarioRecord& s = st.Building.Scenario;
  EXPECT_EQ(s.NumSources[1], 2);
  EXPECT_EQ(s.NumSinks[2], 1);
  EXPECT_FLOAT_EQ(s.AirCleanerPenetration[1], 0.6f);  // efficiency 40 %
  EXPECT_FLOAT_EQ(s.AirCleanerPenetration[2], 0);     // efficiency 100 %
  EXPECT_FLOAT_EQ(s.AirCleanerFlow[2], 2.5f);
}

TEST(ScenarioRoomGrid, RoomNumberIsRoundedAndTakenFromColumnZero) {
  ProgramState st = TwoRoomsTwoGases();
  FlexGrid grid;
  ScriptedPrompt prompt;
  st.Building.NumRooms = 3;
  FillScenarioRoomGrid(grid, st.Building);
  grid.SetRows(3);                  // rooms 1 and 2 only
  grid.SetTextMatrix(2, 0, "2.6");  // addresses room 3
  grid.SetTextMatrix(2, 2, "1");
  ASSERT_TRUE(ReadScenarioRoomGrid(grid, st.Building, prompt));
  EXPECT_EQ(st.Building.Scenario.NumSources[3], 1);
}

TEST(ScenarioRoomGrid, CountsOutsideTheRecordAreRefusedNamingTheRoom) {
  const struct {
    int col;
    const char* text;
  } cases[] = {{2, "4"}, {2, "-1"}, {3, "3"}, {0, "7"}};
  for (const auto& c : cases) {
    ProgramState st = TwoRoomsTwoGases();
    FlexGrid grid;
    ScriptedPrompt prompt;
    FillScenarioRoomGrid(grid, st.Building);
    grid.SetTextMatrix(1, 2, "0");  // a valid change that must not be stored either
    grid.SetTextMatrix(2, c.col, c.text);
    EXPECT_FALSE(ReadScenarioRoomGrid(grid, st.Building, prompt));
    ASSERT_EQ(prompt.shown.size(), 1u);
    const std::string& text = prompt.shown[0].text;
    EXPECT_TRUE(text.find("Room 2") != std::string::npos || text.find("Row 2") != std::string::npos)
        << text;
    EXPECT_EQ(st.Building.Scenario.NumSources[1], 2);
  }
}

TEST(ScenarioRoomGrid, RoomCountsAreRewrittenInPlace) {
  ProgramState st = TwoRoomsTwoGases();
  FlexGrid grid;
  FillScenarioRoomGrid(grid, st.Building);
  grid.SetRowCol(2, 4);
  st.Building.Scenario.NumSinks[1] = 2;
  FillRoomCountGrid(grid, st.Building);
  EXPECT_EQ(grid.TextMatrix(1, 3), "2");
  EXPECT_EQ(grid.Row(), 2);
  EXPECT_EQ(grid.Col(), 4);
}

TEST(OutdoorConcGrid, EnteredValuesSurviveOpenAndTransfer) {
  ProgramState st = TwoRoomsTwoGases();
  ScenarioRecord& s = st.Building.Scenario;
  s.OutdoorConcTime[1] = 0;
  s.OutdoorConcTime[2] = 1;
  st.Building.Scenario.OutdoorConcInput[1][0] = 123.456f;
  FlexGrid grid;
  SetupConcHistoryGrid(grid);
  FillConcGrid(grid, st.Building);
  EXPECT_EQ(grid.Rows(), 52);
  EXPECT_EQ(grid.Cols(), 5);
  EXPECT_EQ(grid.TextMatrix(1, 1), "\xB5g/m\xB3");
  EXPECT_EQ(grid.TextMatrix(1, 3), "mg/m\xB3");
  EXPECT_EQ(grid.TextMatrix(0, 4), "xylene");
  EXPECT_EQ(grid.TextMatrix(2, 1), "1.23E2");
  EXPECT_EQ(grid.CellBackColorAt(5, 3), QColor(255, 255, 0));
  ScriptedPrompt prompt;
  EXPECT_TRUE(ReadOutdoorConcGrid(grid, UnitOptions{}, st.Building, prompt));
  EXPECT_EQ(s.OutdoorConcUnits, "micrograms");
  EXPECT_EQ(st.Building.Scenario.OutdoorConcInput[1][0], 123.456f);
  EXPECT_EQ(s.OutdoorConc[1][0],
            ConvertConcentrationUnits("micrograms", "milligrams", 123.456f, s.Pollutants[0]));
}

TEST(OutdoorConcGrid, PointCountsAndDeletedPoints) {
  ProgramState st = TwoRoomsTwoGases();
  ScenarioRecord& s = st.Building.Scenario;
  for (int t = 1; t <= 6; ++t) {
    s.OutdoorConcTime[t] = static_cast<float>(t - 1);
    st.Building.Scenario.OutdoorConcInput[t][1] = 5;
  }
  FlexGrid grid;
  SetupConcHistoryGrid(grid);
  FillConcGrid(grid, st.Building);
  // Times 0, 1, 2 then an empty time: three points.
  grid.SetTextMatrix(5, 0, "");
  ScriptedPrompt prompt;
  ReadOutdoorConcGrid(grid, UnitOptions{false, false, true}, st.Building, prompt);
  EXPECT_EQ(s.OutdoorConcUnits, "milligrams");
  EXPECT_EQ(s.NumOutdoorConcPoints, 3);
  EXPECT_EQ(s.OutdoorConcTime[5], 0);  // deleted points do not come back
  EXPECT_EQ(st.Building.Scenario.OutdoorConcInput[5][1], 0);
  EXPECT_EQ(st.Building.Scenario.OutdoorConcInput[3][1], 5);
  // Times 0, 1, 0: the third point is stored but not counted.
  FillConcGrid(grid, st.Building);
  grid.SetTextMatrix(4, 0, "0");
  grid.SetTextMatrix(4, 2, "7");
  ReadOutdoorConcGrid(grid, UnitOptions{true, false, false}, st.Building, prompt);
  EXPECT_EQ(s.OutdoorConcUnits, "ppm");  // Option1 of a gas scenario
  EXPECT_EQ(s.NumOutdoorConcPoints, 2);
  EXPECT_EQ(st.Building.Scenario.OutdoorConcInput[3][1], 7);
  EXPECT_EQ(st.Building.Scenario.OutdoorConcInput[4][1], 0);
}

TEST(InitialConcGrid, RoundTripWithConvertedBlock) {
  ProgramState st = TwoRoomsTwoGases();
  ScenarioRecord& s = st.Building.Scenario;
  st.Building.Scenario.InitialConcInput[2][1] = 0.0123456f;
  FlexGrid grid;
  UnitOptions options;
  SetupInitialConcentrationGrid(grid, options, st.Building);
  EXPECT_TRUE(options.number_or_ppm);
  EXPECT_EQ(grid.TextMatrix(0, 0), "Pollutant ");
  EXPECT_EQ(grid.TextMatrix(0, 1), "PPM");
  EXPECT_EQ(grid.TextMatrix(0, 3), "mg/m3");
  EXPECT_EQ(grid.TextMatrix(1, 4), "Lab");
  LoadInitialConcentrationGrid(grid, st.Building);
  EXPECT_EQ(grid.Rows(), 4);
  EXPECT_EQ(grid.TextMatrix(3, 0), "xylene");
  EXPECT_EQ(grid.TextMatrix(3, 2), "1.23E-2");
  grid.SetTextMatrix(2, 1, "250");
  ScriptedPrompt prompt;
  EXPECT_TRUE(ReadInitialConcGrid(grid, st.Building, prompt));
  EXPECT_EQ(st.Building.Scenario.InitialConcInput[2][1], 0.0123456f);
  EXPECT_EQ(st.Building.Scenario.InitialConcInput[1][0], 250);
  for (int p = 0; p < 2; ++p) {
    for (int r = 1; r <= 2; ++r) {
      EXPECT_EQ(
          s.InitialConc[r][p],
          ConvertConcentrationUnits("ppm", "milligrams",
                                    st.Building.Scenario.InitialConcInput[r][p], s.Pollutants[p]))
          << r << " " << p;
    }
  }
  EXPECT_GT(s.InitialConc[1][0], 0);
}

TEST(InitialConcGrid, EmptyUnitsBecomePpmForGasesAndNumberForParticles) {
  for (const auto& [cls, units] : {std::pair{"VOC", "ppm"}, std::pair{"PM2.5", "number"}}) {
    ProgramState st = TwoRoomsTwoGases();
    st.Building.Scenario.PollutantClass = cls;
    st.Building.Scenario.InitialConcUnits = "";
    FlexGrid grid;
    UnitOptions options;
    SetupInitialConcentrationGrid(grid, options, st.Building);
    EXPECT_TRUE(options.number_or_ppm);
    EXPECT_EQ(st.Building.Scenario.InitialConcUnits, units);
  }
}

// ppm has no rule into number: the outdoor reader refuses with the run's message and stores
// nothing, the unit chosen included.
TEST(OutdoorConcGrid, AValueThatCannotBeConvertedIsRefusedAndNothingStored) {
  ProgramState st = TwoRoomsTwoGases();
  st.Building.Scenario.ConcUnits = "number";
  const ProgramState before = st;
  FlexGrid grid;
  FillConcGrid(grid, st.Building);
  grid.SetTextMatrix(2, 1, "7");
  ScriptedPrompt prompt;
  EXPECT_FALSE(ReadOutdoorConcGrid(grid, UnitOptions{true, false, false}, st.Building, prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Error.  The outdoor concentrations of pollutant 1 (toluene) cannot be converted from "
            "ppm to number.  A particle count and ppm have no conversion.");
  EXPECT_EQ(st.Building.Scenario.OutdoorConcInput, before.Building.Scenario.OutdoorConcInput);
  EXPECT_EQ(st.Building.Scenario.OutdoorConcUnits, "micrograms");
}

TEST(InitialConcGrid, UnitLabelsOfBothBlocks) {
  // The scenario block is labelled only for number, micrograms and milligrams; the entered
  // block's first option (number or ppm) reads "#/cc" for particles and "PPM" for gases.
  const struct {
    const char* cls;
    const char* initial;
    const char* conc;
    bool option1;
    const char* entered_label;
    const char* converted_label;
  } cases[] = {
      {"VOC", "ppm", "ppm", true, "PPM", ""},
      {"VOC", "milligrams", "number", false, "mg/m3", "PPM"},
      {"PM10", "ppm", "micrograms", true, "#/cc", "\xB5g/m3"},
      {"PM10", "number", "number", true, "#/cc", "#/cc"},
      {"VOC", "grains", "litres", false, "", ""},
  };
  for (const auto& c : cases) {
    ProgramState st = TwoRoomsTwoGases();
    ScenarioRecord& s = st.Building.Scenario;
    s.PollutantClass = c.cls;
    s.InitialConcUnits = c.initial;
    s.ConcUnits = c.conc;
    FlexGrid grid;
    UnitOptions options;
    SetupInitialConcentrationGrid(grid, options, st.Building);
    EXPECT_EQ(options.number_or_ppm, c.option1) << c.initial;
    EXPECT_EQ(grid.TextMatrix(0, 2), c.entered_label) << c.cls << " " << c.initial;
    EXPECT_EQ(grid.TextMatrix(0, 3), c.converted_label) << c.cls << " " << c.conc;
    EXPECT_EQ(s.InitialConcUnits, c.initial);
  }
}

template <class Check>
void RoundTripPollutants(ProgramState& st, int cols, Check check) {
  FlexGrid grid;
  SetupPollutantGrid(grid, st.Building.Scenario);
  LoadPollutantGrid(grid, st);
  EXPECT_EQ(grid.Cols(), cols);
  EXPECT_EQ(grid.TextMatrix(1, 0), " 1");
  const ScenarioRecord before = st.Building.Scenario;
  for (auto& p : st.Building.Scenario.Pollutants) p = PollutantRecord{};
  st.Building.Scenario.Pollutants[0].Comments = "kept";
  ReadPollutantGrid(grid, st.Building.Scenario);
  check(before, st.Building.Scenario, grid);
}

TEST(PollutantGrid, GasColumnsRoundTripInPlace) {
  ProgramState st = TwoRoomsTwoGases();
  RoundTripPollutants(
      st, 9, [](const ScenarioRecord& want, const ScenarioRecord& got, const FlexGrid& grid) {
        EXPECT_EQ(grid.TextMatrix(0, 4), "C0");
        EXPECT_EQ(grid.TextMatrix(1, 4), "6");
        for (int p = 0; p < 2; ++p) {
          const PollutantRecord& a = want.Pollutants[p];
          const PollutantRecord& b = got.Pollutants[p];
          EXPECT_EQ(b.Name, a.Name);
          EXPECT_EQ(b.MolWt, a.MolWt);
          EXPECT_EQ(b.Diffusivity, a.Diffusivity);
          EXPECT_EQ(b.C0, a.C0);
          EXPECT_EQ(b.IrritantConc, a.IrritantConc);
          EXPECT_EQ(b.RfD, a.RfD);
          EXPECT_EQ(b.RfC, a.RfC);
          EXPECT_EQ(b.CancerRisk, a.CancerRisk);
          EXPECT_EQ(b.Density, 0);  // a particle field: not in the gas grid
        }
        EXPECT_EQ(got.Pollutants[0].Comments, "kept");
      });
}

TEST(PollutantGrid, ParticleColumnsRoundTripInPlace) {
  ProgramState st = TwoRoomsTwoGases();
  st.Building.Scenario.PollutantClass = "PM10";
  st.Building.Scenario.Pollutants[0].Name = "2.5";
  st.Building.Scenario.Pollutants[0].Diameter = 2.5004f;  // more than the mask shows
  RoundTripPollutants(
      st, 8, [&](const ScenarioRecord& want, const ScenarioRecord& got, const FlexGrid& grid) {
        EXPECT_EQ(grid.TextMatrix(0, 2), "Diameter \xB5m");
        EXPECT_EQ(grid.TextMatrix(1, 2), "2.5");
        for (int p = 0; p < 2; ++p) {
          const PollutantRecord& a = want.Pollutants[p];
          const PollutantRecord& b = got.Pollutants[p];
          EXPECT_EQ(b.Diameter, a.Diameter);
          EXPECT_EQ(b.Density, a.Density);
          EXPECT_EQ(b.IrritantConc, a.IrritantConc);
          EXPECT_EQ(b.RfD, a.RfD);
          EXPECT_EQ(b.RfC, a.RfC);
          EXPECT_EQ(b.CancerRisk, a.CancerRisk);
          EXPECT_EQ(b.MolWt, 0);  // a gas field: not in the particle grid
        }
      });
  EXPECT_EQ(st.ParticleDiameters[0], 2.5f);
  FlexGrid grid;
  SetupPollutantGrid(grid, st.Building.Scenario);
  grid.SetTextMatrix(2, 2, "10");
  std::array<PollutantRecord, kMaxPollutants> pollutants{};
  ReadParticleDiameters(grid, pollutants);
  EXPECT_EQ(pollutants[1].Diameter, 10);
}

}  // namespace
}  // namespace quarn
