#include "ui/grids/scenario_grid.h"

#include <QComboBox>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "common/scripted_prompt.h"
#include "platform/flex_grid.h"

namespace quarn {
namespace {

namespace row = scenario_row;
using testing::ScriptedPrompt;

BuildingRecord SampleBuilding() {
  BuildingRecord b;
  b.ID = "Test house";
  b.NumRooms = 2;
  b.MasterFile = "house";
  ScenarioRecord& s = b.Scenario;
  s.Name = "Cooking";
  s.Comments = "gas range";
  s.OverallACH = 0.5F;
  s.ConstantACH = "Y";
  s.ConstantHVAC = "N";
  s.NumPollutants = 0;
  s.ConstantOutdoorConc = "Y";
  s.YearsSimulated = 1;
  s.Temperature = 20;
  s.Pressure = 760;
  s.PollutantClass = "PM2.5";
  s.NumOccupants = 2;
  s.LongTermOptions = 1;
  return b;
}

TEST(ScenarioGrid, FillWritesEveryRowInItsForm) {
  BuildingRecord b = SampleBuilding();
  FlexGrid grid;
  QComboBox classes;
  classes.addItems({"VOC", "PM", "O3", "Other"});
  QSignalSpy changed(&classes, &QComboBox::currentIndexChanged);
  FillGeneralScenarioGrid(grid, b, &classes);

  ASSERT_EQ(grid.Rows(), 20);
  ASSERT_EQ(grid.Cols(), 2);
  const char* expected[20][2] = {
      {"Building simulated", "Test house"},
      {"Scenario Name", "Cooking"},
      {"Comments", "gas range"},
      {"Overall ACH", " .5"},
      {"Constant ACH?", "Y"},
      {"Constant HVAC?", "N"},
      {"Number of pollutants", " 1"},
      {"Constant Outdoor conc?", "Y"},
      {"Years simulated", "1"},
      {"Hrs simulated", "8,760. hr"},
      {"Temperature C", "20. C"},
      {"Pressure mm/Hg", "760. mm/Hg"},
      {"Building Penetration", "Enter using define pollutant"},
      {"Class of pollutant", "PM2.5   "},
      {"Irritant concentration", "Enter using define pollutant"},
      {"Cancer Risk/\xB5g/m3", "Enter using define pollutant"},
      {"Reference dose mg/kg/day", "Enter using define pollutant"},
      {"Nr. Occupants", "2"},
      {"Long term options ", "1"},
      {"Master File", "house"},
  };
  for (int r = 0; r < 20; ++r) {
    EXPECT_EQ(grid.TextMatrix(r, 0), expected[r][0]) << "row " << r;
    EXPECT_EQ(grid.TextMatrix(r, 1), expected[r][1]) << "row " << r;
  }
  // A count of 0 cannot run: the record holds 1 after the fill, as the grid shows.
  EXPECT_EQ(b.Scenario.NumPollutants, 1);
  // "PM2.5" selects "PM", and selecting it does not tell the window the class changed.
  EXPECT_EQ(classes.currentIndex(), 1);
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(grid.ColWidth(0), 2490);
}

TEST(ScenarioGrid, HalfYearAndFractionalValuesShowInTheirPatterns) {
  BuildingRecord b = SampleBuilding();
  b.Scenario.YearsSimulated = 0.5F;
  b.Scenario.Temperature = 22.125F;
  b.Scenario.OverallACH = -0.25F;
  FlexGrid grid;
  FillGeneralScenarioGrid(grid, b);
  EXPECT_EQ(grid.TextMatrix(row::kYears, 1), "0.5");
  EXPECT_EQ(grid.TextMatrix(row::kHours, 1), "4,380. hr");
  // 22.125 is the Single's text; its last half rounds away from zero.
  EXPECT_EQ(grid.TextMatrix(row::kTemperature, 1), "22.13 C");
  EXPECT_EQ(grid.TextMatrix(row::kOverallACH, 1), "-.25");
}

TEST(ScenarioGrid, ClassListSelectsByLeadingCharactersOrTheLastEntry) {
  const std::vector<std::string> entries = {"VOC", "PM", "O3", "Other"};
  EXPECT_EQ(ClassListIndex("VOC     ", entries), 0);
  EXPECT_EQ(ClassListIndex("voc", entries), 0);
  EXPECT_EQ(ClassListIndex("PM2.5   ", entries), 1);
  EXPECT_EQ(ClassListIndex("pm10", entries), 1);
  EXPECT_EQ(ClassListIndex("O3      ", entries), 2);
  EXPECT_EQ(ClassListIndex("        ", entries), 3);
  EXPECT_EQ(ClassListIndex("", entries), 3);
  EXPECT_EQ(ClassListIndex("V", entries), 3);  // shorter than "VOC": no entry matches
}

TEST(ScenarioGrid, ReadBackStoresWhatWasTyped) {
  BuildingRecord b = SampleBuilding();
  ManagedPeriodEnd(b.Scenario) = 5;
  FlexGrid grid;
  ScriptedPrompt prompt;
  FillGeneralScenarioGrid(grid, b);
  grid.SetTextMatrix(row::kName, 1, "Evening");
  grid.SetTextMatrix(row::kOverallACH, 1, "1,5");  // no comma removal here: reads 1
  grid.SetTextMatrix(row::kConstantACH, 1, "yes");
  grid.SetTextMatrix(row::kConstantHVAC, 1, "");
  grid.SetTextMatrix(row::kNumPollutants, 1, " 2.5");  // half to even
  grid.SetTextMatrix(row::kConstantOutdoorConc, 1, "n");
  grid.SetTextMatrix(row::kYears, 1, "7");  // not read: the hours decide
  grid.SetTextMatrix(row::kHours, 1, "17,520. hr");
  grid.SetTextMatrix(row::kTemperature, 1, "25.5 C");
  grid.SetTextMatrix(row::kPressure, 1, "1,013 mm/Hg");
  grid.SetTextMatrix(row::kPollutantClass, 1, "pm10");
  grid.SetTextMatrix(row::kNumOccupants, 1, "3");
  grid.SetTextMatrix(row::kLongTermOptions, 1, "0");
  grid.SetTextMatrix(row::kMasterFile, 1, "evening");

  ASSERT_TRUE(ReadGeneralScenarioGrid(grid, b, 2, prompt));
  const ScenarioRecord& s = b.Scenario;
  EXPECT_EQ(s.Name, "Evening");
  EXPECT_EQ(s.Comments, "gas range");
  EXPECT_FLOAT_EQ(s.OverallACH, 1.0F);
  EXPECT_EQ(s.ConstantACH.str(), "Y");
  EXPECT_EQ(s.ConstantHVAC.str(), " ");
  EXPECT_EQ(s.NumPollutants, 2);
  EXPECT_EQ(s.ConstantOutdoorConc.str(), "N");
  EXPECT_FLOAT_EQ(s.HoursSimulated, 17520.0F);
  EXPECT_FLOAT_EQ(s.YearsSimulated, 2.0F);
  EXPECT_FLOAT_EQ(s.Temperature, 25.5F);
  EXPECT_FLOAT_EQ(s.Pressure, 1.0F);
  EXPECT_EQ(s.PollutantClass.str(), "pm10    ");
  EXPECT_EQ(s.NumOccupants, 3);
  EXPECT_EQ(s.LongTermOptions, 0);
  EXPECT_EQ(b.MasterFile, "evening");
  EXPECT_EQ(s.HVACType, 3);
  EXPECT_EQ(s.ManagedFlowFlag.str(), "Y");
  EXPECT_TRUE(prompt.shown.empty());
}

TEST(ScenarioGrid, UntouchedCellsReadBackTheExactStoredNumbers) {
  BuildingRecord b = SampleBuilding();
  b.Scenario.Temperature = 21.3456F;  // shows "21.35 C"
  b.Scenario.YearsSimulated = 1.0F / 3.0F;
  FlexGrid grid;
  ScriptedPrompt prompt;
  FillGeneralScenarioGrid(grid, b);
  ASSERT_TRUE(ReadGeneralScenarioGrid(grid, b, -1, prompt));
  EXPECT_EQ(b.Scenario.Temperature, 21.3456F);
  EXPECT_EQ(b.Scenario.HoursSimulated, (1.0F / 3.0F) * 24.0F * 365.0F);
  EXPECT_EQ(b.Scenario.HVACType, 0);  // nothing selected in the list
  EXPECT_EQ(b.Scenario.ManagedFlowFlag.str(), "N");
}

TEST(ScenarioGrid, CountsOutsideTheRecordAreRefusedAndChangeNothing) {
  struct Case {
    int row;
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {row::kNumPollutants, "9",
       "Warning.  Number of pollutants must be from 1 to 8.  Reenter data."},
      {row::kNumPollutants, "0",
       "Warning.  Number of pollutants must be from 1 to 8.  Reenter data."},
      {row::kNumPollutants, "abc",
       "Warning.  Number of pollutants must be from 1 to 8.  Reenter data."},
      {row::kNumOccupants, "4",
       "Warning.  Number of occupants must be from 0 to 3.  Reenter data."},
      {row::kNumOccupants, "-1",
       "Warning.  Number of occupants must be from 0 to 3.  Reenter data."},
      {row::kLongTermOptions, "40000",
       "Warning.  Long term options must be a whole number.  Reenter data."},
  };
  for (const Case& c : cases) {
    BuildingRecord b = SampleBuilding();
    FlexGrid grid;
    ScriptedPrompt prompt;
    FillGeneralScenarioGrid(grid, b);
    grid.SetTextMatrix(row::kName, 1, "changed");
    grid.SetTextMatrix(c.row, 1, c.text);
    EXPECT_FALSE(ReadGeneralScenarioGrid(grid, b, 1, prompt)) << c.text;
    ASSERT_EQ(prompt.shown.size(), 1U);
    EXPECT_EQ(prompt.shown[0].text, c.message);
    EXPECT_EQ(prompt.shown[0].title, "Warning");
    EXPECT_EQ(b.Scenario.Name, "Cooking") << "nothing stored";
    EXPECT_EQ(b.Scenario.HVACType, 0);
    EXPECT_EQ(grid.Row(), c.row);
  }
  // The limits themselves are accepted.
  BuildingRecord b = SampleBuilding();
  FlexGrid grid;
  ScriptedPrompt prompt;
  FillGeneralScenarioGrid(grid, b);
  grid.SetTextMatrix(row::kNumPollutants, 1, "8");
  grid.SetTextMatrix(row::kNumOccupants, 1, "0");
  EXPECT_TRUE(ReadGeneralScenarioGrid(grid, b, 0, prompt));
  EXPECT_EQ(b.Scenario.NumPollutants, 8);
  EXPECT_EQ(b.Scenario.NumOccupants, 0);
}

TEST(ScenarioGrid, YearsAndHoursFollowEachOther) {
  BuildingRecord b = SampleBuilding();
  FlexGrid grid;
  ScriptedPrompt prompt;
  FillGeneralScenarioGrid(grid, b);

  grid.SetTextMatrix(row::kYears, 1, "2");
  CoupleYearsAndHours(grid, row::kYears);
  EXPECT_EQ(grid.TextMatrix(row::kHours, 1), "17,520.0 h");
  EXPECT_EQ(grid.Row(), row::kHours);

  grid.SetTextMatrix(row::kHours, 1, "8,760");
  CoupleYearsAndHours(grid, row::kHours);
  EXPECT_EQ(grid.TextMatrix(row::kYears, 1), "1.0 yr");
  EXPECT_EQ(grid.Row(), row::kYears);

  grid.SetTextMatrix(row::kHours, 1, "4380");
  CoupleYearsAndHours(grid, row::kHours);
  EXPECT_EQ(grid.TextMatrix(row::kYears, 1), "0.5 yr");

  // Another row couples nothing.
  grid.SetTextMatrix(row::kTemperature, 1, "30");
  CoupleYearsAndHours(grid, row::kTemperature);
  EXPECT_EQ(grid.TextMatrix(row::kYears, 1), "0.5 yr");

  // The record follows the hours at read-back.
  grid.SetTextMatrix(row::kYears, 1, "3");
  CoupleYearsAndHours(grid, row::kYears);
  ASSERT_TRUE(ReadGeneralScenarioGrid(grid, b, 0, prompt));
  EXPECT_FLOAT_EQ(b.Scenario.HoursSimulated, 26280.0F);
  EXPECT_FLOAT_EQ(b.Scenario.YearsSimulated, 3.0F);
}

ScenarioRecord UnitScenario(const char* cls, const char* units) {
  ScenarioRecord s;
  s.PollutantClass = cls;
  s.ConcUnits = units;
  s.NumPollutants = 2;
  s.NumSources[0] = 1;
  s.NumSources[1] = 3;
  s.NumSources[2] = 1;
  for (auto& room : s.Sources)
    for (auto& src : room) src.SourceUnitsCode = 9;
  return s;
}

TEST(ScenarioGrid, UnitsOfTheScenarioReachEverySource) {
  struct Case {
    const char* cls;
    const char* units;
    const char* stored;
    int code;
  };
  const Case cases[] = {
      {"VOC", "number", "ppm", 2},           {"VOC", "ppm", "ppm", 2},
      {"PM", "number", "number", 2},         {"pm10", "number", "number", 2},
      {"O3", "milligrams", "milligrams", 0}, {"PM", "micrograms", "micrograms", 1},
  };
  for (const Case& c : cases) {
    ScenarioRecord s = UnitScenario(c.cls, c.units);
    ConvertScenarioUnits(s, 2);
    EXPECT_EQ(s.ConcUnits, c.stored) << c.cls << " " << c.units;
    EXPECT_EQ(s.Sources[0][1].SourceUnitsCode, c.code);
    EXPECT_EQ(s.Sources[1][3].SourceUnitsCode, c.code);
    EXPECT_EQ(s.Sources[2][1].SourceUnitsCode, c.code);
    EXPECT_EQ(s.Sources[2][2].SourceUnitsCode, 9) << "slot beyond the room's count";
    EXPECT_EQ(s.Sources[3][1].SourceUnitsCode, 9) << "room beyond the building";
  }
}

TEST(ScenarioGrid, EnteredConcentrationsAreConvertedIntoTheScenarioUnits) {
  ScenarioRecord s = UnitScenario("VOC", "micrograms");
  s.OutdoorConcUnits = "milligrams";
  s.InitialConcUnits = "micrograms";
  HistoryPollutant& outdoor = s.OutdoorConcInput;
  RoomPollutant& initial = s.InitialConcInput;
  outdoor[0][0] = 5;
  outdoor[1][0] = 0.25F;
  outdoor[50][1] = 2;
  outdoor[3][2] = 7;  // third pollutant: beyond the count
  initial[0][0] = 3;
  initial[2][1] = 40;
  initial[3][0] = 11;  // room beyond the building
  s.OutdoorConc[0][0] = -1;
  ConvertScenarioUnits(s, 2);
  EXPECT_FLOAT_EQ(s.OutdoorConc[1][0], 250.0F);  // 1 mg = 1000 µg
  EXPECT_FLOAT_EQ(s.OutdoorConc[50][1], 2000.0F);
  EXPECT_FLOAT_EQ(s.OutdoorConc[0][0], -1.0F) << "time point 0 is not converted";
  EXPECT_FLOAT_EQ(s.OutdoorConc[3][2], 0.0F);
  EXPECT_FLOAT_EQ(s.InitialConc[0][0], 3.0F);
  EXPECT_FLOAT_EQ(s.InitialConc[2][1], 40.0F);
  EXPECT_FLOAT_EQ(s.InitialConc[3][0], 0.0F);
}

TEST(ScenarioGrid, ConversionHoldsCountsToTheRecord) {
  ScenarioRecord s = UnitScenario("VOC", "milligrams");
  s.NumPollutants = 99;
  s.NumSources[1] = 40;
  s.OutdoorConcUnits = "milligrams";
  s.OutdoorConcInput[1][7] = 4;
  ConvertScenarioUnits(s, 60);
  EXPECT_FLOAT_EQ(s.OutdoorConc[1][7], 4.0F);
  EXPECT_EQ(s.Sources[1][3].SourceUnitsCode, 0);
  EXPECT_EQ(s.Sources[13][3].SourceUnitsCode, 9);  // count 0 there
}

}  // namespace
}  // namespace quarn
