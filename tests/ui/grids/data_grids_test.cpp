#include "ui/grids/data_grids.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/scripted_prompt.h"
#include "platform/flex_grid.h"

namespace quarn {
namespace {

using testing::ScriptedPrompt;

TEST(FilterGrid, EfficiencyInPercent) {
  ScenarioRecord s;
  s.NumPollutants = 2;
  s.Pollutants[0].Name = "PM1";
  s.FilterPenetration[0][0] = 0.25f;
  s.FilterPenetration[0][1] = 1;
  FlexGrid grid;
  SetupFilterGrid(grid);
  LoadFilterGrid(grid, s);
  EXPECT_EQ(grid.FixedCols(), 2);
  EXPECT_EQ(grid.Rows(), 3);
  EXPECT_EQ(grid.TextMatrix(0, 2), "Efficiency %");
  EXPECT_EQ(grid.TextMatrix(1, 0), " 1");
  EXPECT_EQ(grid.TextMatrix(1, 1), "PM1");
  EXPECT_EQ(grid.TextMatrix(1, 2), " 75");
  EXPECT_EQ(grid.TextMatrix(2, 2), " 0");
}

void VocRow(FlexGrid& voc, int row, const std::string& name, const std::string& mw,
            const std::string& p0) {
  const std::string cells[11] = {"X",   name,  "C7H8", mw,    "0.03", p0,
                                 "irr", "rfd", "rfc",  "can", "note"};
  for (int c = 0; c < 11; ++c) voc.SetTextMatrix(row, c, cells[c]);
}

TEST(FillVOCGrid, CopiesMarkedRowsAndConvertsVapourPressure) {
  FlexGrid voc;
  voc.SetRows(5);
  voc.SetCols(11);
  VocRow(voc, 2, "toluene", "100", "10");
  VocRow(voc, 4, "xylene", "106.16", "6.6");
  FlexGrid pol;
  pol.SetRows(6);
  pol.SetCols(9);
  pol.SetRowCol(3, 1);
  ScriptedPrompt prompt;
  EXPECT_EQ(FillVOCGrid(voc, pol, {2, 4}, prompt), 2);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(pol.TextMatrix(3, 1), "toluene");
  EXPECT_EQ(pol.TextMatrix(3, 2), "100");
  EXPECT_EQ(pol.TextMatrix(3, 3), "0.03");
  EXPECT_EQ(pol.TextMatrix(3, 4), "54320.99");  // 10 × 1.32 × 100 / 0.0243
  EXPECT_EQ(pol.TextMatrix(3, 5), "irr");
  EXPECT_EQ(pol.TextMatrix(3, 8), "can");
  EXPECT_EQ(pol.TextMatrix(4, 1), "xylene");
  for (int r = 3; r <= 4; ++r) {
    for (int c = 0; c < 9; ++c) {
      EXPECT_NE(pol.TextMatrix(r, c), "C7H8");
      EXPECT_NE(pol.TextMatrix(r, c), "note");
    }
  }
}

TEST(FillVOCGrid, CopiesOnlyTheRowsThatFitAndSaysSo) {
  FlexGrid voc;
  voc.SetRows(5);
  voc.SetCols(11);
  for (int r = 1; r < 5; ++r) VocRow(voc, r, "v" + std::to_string(r), "50", "1");
  FlexGrid pol;
  pol.SetRows(3);
  pol.SetCols(9);
  pol.SetRowCol(2, 1);
  ScriptedPrompt prompt;
  EXPECT_EQ(FillVOCGrid(voc, pol, {1, 2, 3}, prompt), 1);
  EXPECT_EQ(pol.Rows(), 3);
  EXPECT_EQ(pol.TextMatrix(2, 1), "v1");
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_NE(prompt.shown[0].text.find("Only 1 of the 3"), std::string::npos);
}

struct ShowerFile : ::testing::Test {
  std::filesystem::path dir;
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("quarn_shower_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  void Write(const std::string& bytes) {
    std::ofstream(dir / "ShowerDataFile.DAT", std::ios::binary) << bytes;
  }
};

TEST_F(ShowerFile, FillsThirteenRowsFromTheProgramFolder) {
  std::string text;
  for (int r = 1; r <= 13; ++r) {
    text += "\"voc " + std::to_string(r) + "\"," + std::to_string(20 + r) + ",.5,1.25\r\n";
  }
  Write(text);
  FlexGrid grid;
  ScriptedPrompt prompt;
  ASSERT_TRUE(ReadShowerDataFile(grid, dir.string(), prompt));
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(grid.Rows(), 14);
  EXPECT_EQ(grid.TextMatrix(0, 3), "Mass xfer ");
  EXPECT_EQ(grid.TextMatrix(1, 0), "voc 1");
  EXPECT_EQ(grid.TextMatrix(13, 1), "33");
  EXPECT_EQ(grid.TextMatrix(13, 3), "1.25");
}

TEST_F(ShowerFile, MissingOrShortFileIsReportedAndKeepsWhatWasRead) {
  FlexGrid grid;
  ScriptedPrompt prompt;
  EXPECT_FALSE(ReadShowerDataFile(grid, dir.string(), prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(grid.TextMatrix(0, 0), "VOC");

  Write("a,1,2,3\r\nb,4\r\n");
  ScriptedPrompt prompt2;
  EXPECT_FALSE(ReadShowerDataFile(grid, dir.string(), prompt2));
  ASSERT_EQ(prompt2.shown.size(), 1u);
  EXPECT_NE(prompt2.shown[0].text.find("after 6 of its 52"), std::string::npos)
      << prompt2.shown[0].text;
  EXPECT_EQ(grid.TextMatrix(2, 1), "4");
}

TEST(RiskData, UpdatesPollutantZeroOnly) {
  ScenarioRecord s;
  s.NumPollutants = 2;
  s.Pollutants[1].Name = "other";
  ReadPollutantRecord({"benzene", "3.2 mg/m3", "2.9E-2", "IARC 1"}, s);
  EXPECT_EQ(s.Pollutants[0].Name, "benzene");
  EXPECT_FLOAT_EQ(s.Pollutants[0].IrritantConc, 3.2f);
  EXPECT_FLOAT_EQ(s.Pollutants[0].CancerRisk, 0.029f);
  EXPECT_EQ(s.Pollutants[0].Comments, "IARC 1");
  EXPECT_EQ(s.Pollutants[1].Name, "other");
}

}  // namespace
}  // namespace quarn
