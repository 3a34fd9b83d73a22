// The concentration results table: which records reach which rows, the layout and headings,
// the masks, the display units, the irritant colouring, the run totals, and damaged files.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results_test_support.h"
#include "ui/main/grid_operations.h"

namespace quarn {
namespace {

using ConcentrationGrid = testing::ResultsTest;

float Constant(float v) {
  return v;
}

TEST_F(ConcentrationGrid, ShowsEveryRecordToRow51ThenOneInSixAndTheLast) {
  struct Case {
    int records;
    int rows;
    std::vector<int> shown;  // the record of each row from 1
  };
  std::vector<int> hundred;
  for (int k = 1; k <= 51; ++k) hundred.push_back(k);
  for (int k = 57; k <= 99; k += 6) hundred.push_back(k);
  hundred.push_back(100);
  const Case cases[] = {{10, 58, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}, {100, 76, hundred}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.records);
    WriteRun(1, 1, c.records, [](int, int, int) { return Constant(1.23456f); });
    Fill();
    ASSERT_EQ(grid.Rows(), c.rows);
    for (size_t i = 0; i < c.shown.size(); ++i) {
      const int row = static_cast<int>(i) + 1;
      EXPECT_EQ(grid.TextMatrix(row, 0), std::to_string(c.shown[i]) + ".0") << "row " << row;
    }
    const int after = static_cast<int>(c.shown.size()) + 1;
    EXPECT_EQ(grid.TextMatrix(after, 0), "");
    EXPECT_EQ(grid.TextMatrix(after, 1), "");
  }
  // The last record of a long run carries its own mask.
  EXPECT_EQ(grid.TextMatrix(59, 1), "1.235E0");
  EXPECT_EQ(grid.TextMatrix(60, 1), "1.2346E000");

  // A shorter run shown in the same window leaves nothing of the longer one.
  WriteRun(1, 1, 10, [](int, int, int) { return Constant(5.0f); });
  Fill();
  EXPECT_EQ(grid.TextMatrix(10, 1), "5.E0");
  EXPECT_EQ(grid.TextMatrix(11, 0), "");
  EXPECT_EQ(grid.TextMatrix(11, 1), "");
  EXPECT_FALSE(grid.CellBackColorAt(11, 1).isValid());
}

TEST_F(ConcentrationGrid, LaysOutRoomsPollutantMajorWithTheRunTotalsBeside) {
  // Each value names its room and pollutant; outdoors (room 0) is 99 and never shown.
  WriteRun(2, 3, 4, [](int, int r, int p) { return r == 0 ? 99.0f : 10.0f * (p + 1) + r; });
  ScenarioRecord& s = B().Scenario;
  s.PeakConc[1] = 7.5f;
  s.PeakConc[2] = 0.125f;
  s.ResultTotal2[0] = 5;
  s.TotalEmitted[0] = 20;
  s.ResultTotal2[1] = 3;
  s.TotalEmitted[1] = 0;
  s.TotalEmitted[2] = 1000000;
  s.ResultTotal1[2] = 1234.567f;
  Fill();

  EXPECT_EQ(form.windowTitle().toStdString(), "Calculated concentrations");
  ASSERT_EQ(grid.Cols(), 13);
  EXPECT_EQ(grid.FixedRows(), 1);
  EXPECT_EQ(grid.FixedCols(), 0);
  // Twips come back at whole pixels of 15 twips.
  EXPECT_NEAR(grid.RowHeight(0), 550, 15);
  for (int c = 1; c <= 12; ++c) EXPECT_NEAR(grid.ColWidth(c), c <= 6 ? 1100 : 2000, 15) << c;
  const char* headings[] = {"Time hrs",           "Conc  0 1 mg/m\xB3", "Conc  0 2 mg/m\xB3",
                            "Conc  1 1 mg/m\xB3", "Conc  1 2 mg/m\xB3", "Conc  2 1 mg/m\xB3",
                            "Conc  2 2 mg/m\xB3", "Peak Conc 1",        "Peak Conc 2"};
  for (int c = 0; c < 9; ++c) EXPECT_EQ(grid.TextMatrix(0, c), headings[c]) << c;
  const char* values[] = {"4.0", "1.1E1", "1.2E1", "2.1E1", "2.2E1", "3.1E1", "3.2E1"};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(grid.TextMatrix(4, c), values[c]) << c;

  struct Cell {
    int row;
    const char* text;
  };
  const Cell totals[] = {
      {1, "7.5"},
      {2, "Peak Sink Mass"},
      {3, "5.0 mg"},
      {6, "Mass emitted"},
      {7, "20.0 mg"},
      {8, ".00000E0"},
      {9, "1.0000E+6"},
      {10, "Sink Fraction"},
      {11, "0.25"},
      {12, ""},
      {14, "Final sink mass"},
      {17, "1,234.57 mg"},
  };
  for (const Cell& t : totals) EXPECT_EQ(grid.TextMatrix(t.row, 7), t.text) << t.row;
  EXPECT_EQ(grid.TextMatrix(1, 8), "0.125");
  EXPECT_NEAR(form.width(), (6 * 1100 + 6 * 2000 + 1100) / 15.0, 6);
}

TEST_F(ConcentrationGrid, ChoosesTheMaskByTheSizeOfTheValue) {
  const std::pair<float, const char*> cases[] = {
      {0.0001f, "1.E-4"}, {1000000.0f, "1.E6"}, {1000001.0f, "1.0000E+6"}, {0.00005f, "5.000E-5"}};
  for (const auto& [value, text] : cases) {
    WriteRun(1, 1, 1, [value = value](int, int, int) { return value; });
    B().Scenario.LastOutputTime = 1234.5f;
    Fill();
    EXPECT_EQ(grid.TextMatrix(1, 1), text) << value;
  }
  std::ofstream(B().ConcWorkFile, std::ios::binary) << " 1234.5 , 1 , 1 \r\n-999 \r\n";
  Fill();
  EXPECT_EQ(grid.TextMatrix(1, 0), "1,234.5");
}

TEST_F(ConcentrationGrid, ConvertsIntoTheDisplayUnitsWithoutChangingThePollutant) {
  struct Case {
    const char* stored;
    int16_t code;
    float mol_wt;
    float value;
    const char* text;
    const char* heading;
  };
  const Case cases[] = {
      {"milligrams", 2, 24.5f, 1.0f, "1.E0", "Conc  0 1 ppm"},
      {"milligrams", 1, 24.5f, 1.0f, "1.E3", "Conc  0 1 \xB5g/m\xB3"},
      {"number", 0, 0, 1.0f, "5.236E-4", "Conc  0 1 mg/m\xB3"},
      {"number", 4, 0, 2.0f, "2.0000E+6", "Conc  0 1 #/m\xB3"},
      // Stored ppm shown as mg/m³ are converted, and ppm shown as ppm left as they are.
      {"ppm", 0, 49.0f, 1.0f, "2.E0", "Conc  0 1 mg/m\xB3"},
      {"ppm", 2, 49.0f, 3.0f, "3.E0", "Conc  0 1 ppm"},
      // What cannot be converted shows as stored, under the stored unit.
      {"milligrams", 2, 0, 1.5f, "1.5E0", "Conc  0 1 mg/m\xB3"},
      {"ppm", 3, 49.0f, 4.0f, "4.E0", "Conc  0 1 ppm"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.stored) + " shown as " + std::to_string(c.code));
    B().Scenario.ConcUnits = c.stored;
    B().DisplayUnitCode = c.code;
    Pollutant(0).Name = "1";  // a 1 µm size bin
    Pollutant(0).MolWt = c.mol_wt;
    Pollutant(0).Density = 0;
    WriteRun(1, 1, 1, [&c](int, int, int) { return c.value; });
    Fill();
    EXPECT_EQ(grid.TextMatrix(1, 1), c.text);
    EXPECT_EQ(grid.TextMatrix(0, 1), c.heading);
    EXPECT_EQ(Pollutant(0).Density, 0.0f);
  }
}

TEST_F(ConcentrationGrid, ColoursRedWhatPassesTheIrritantLevelInTheShownUnit) {
  struct Case {
    float irritant;
    int16_t code;
    float value;
    bool red;
  };
  const Case cases[] = {{2, 0, 2.0f, false},  {2, 0, 2.001f, true}, {2, 1, 2.0f, false},
                        {2, 1, 2.001f, true}, {0, 0, 5.0f, false},  {-1, 0, 5.0f, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.value) + " against " + std::to_string(c.irritant));
    Pollutant(0).IrritantConc = c.irritant;
    B().DisplayUnitCode = c.code;
    WriteRun(1, 1, 1, [&c](int, int, int) { return c.value; });
    Fill();
    EXPECT_EQ(grid.CellBackColorAt(1, 1), c.red ? kCellRed : kCellWhite);
  }
}

TEST_F(ConcentrationGrid, AFileOfOtherRoomsStopsTheFillWithAMessage) {
  WriteRun(2, 1, 5, [](int, int, int) { return 1.0f; });
  B().NumRooms = 3;
  Fill();
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Error.  The concentration file " + B().ConcWorkFile +
                                      " cannot be read.  Line 1 of the concentration file holds "
                                      "4 numbers instead of 5.");
  EXPECT_EQ(prompt.shown[0].title, "Error");
  EXPECT_EQ(grid.TextMatrix(1, 0), "");
  EXPECT_EQ(grid.TextMatrix(1, 1), "");
  EXPECT_EQ(grid.TextMatrix(0, 3), "Conc  0 3 mg/m\xB3");
  EXPECT_EQ(grid.TextMatrix(2, 4), "Peak Sink Mass");
}

TEST_F(ConcentrationGrid, AFileWithoutItsEndLineFillsToItsLastRecord) {
  WriteRun(
      1, 1, 3, [](int k, int, int) { return static_cast<float>(k); }, false);
  B().Scenario.NumOutputRecords = 10;
  Fill();
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(grid.TextMatrix(3, 1), "3.E0");
  EXPECT_EQ(grid.TextMatrix(4, 0), "");
}

}  // namespace
}  // namespace quarn
