// The concentration results table: which records reach which rows, the layout and the run
// totals, how each value is converted, masked and coloured, and damaged work files.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "model/work_file_reader.h"
#include "results_test_support.h"
#include "ui/common/grid_operations.h"
#include "ui/results/plot_series.h"

namespace quarn {
namespace {

using ConcentrationGrid = testing::ResultsTest;

TEST_F(ConcentrationGrid, ShowsEveryRecordOfTheRun) {
  WriteRun(1, 1, 100, [](int k, int, int) { return k == 100 ? 9.0f : 1.23456f; });
  Fill();
  ASSERT_EQ(grid.Rows(), 101);
  for (int k = 1; k <= 100; ++k) EXPECT_EQ(grid.TextMatrix(k, 0), std::to_string(k) + ".0");
  EXPECT_EQ(grid.TextMatrix(99, 1), "1.235E0");
  EXPECT_EQ(grid.TextMatrix(100, 1), "9.E0");
  // A shorter run shown in the same window leaves nothing of the longer one.
  WriteRun(1, 1, 10, [](int, int, int) { return 5.0f; });
  Fill();
  EXPECT_EQ(grid.TextMatrix(11, 0), "");
  EXPECT_FALSE(grid.CellBackColorAt(11, 1).isValid());
}

TEST_F(ConcentrationGrid, LaysOutRoomsPollutantMajorWithTheRunTotalsBeside) {
  // Each value names its room and pollutant; outdoors (room 0) is 99 and never shown.
  WriteRun(2, 3, 4, [](int, int r, int p) { return r == 0 ? 99.0f : 10.0f * (p + 1) + r; });
  ScenarioRecord& s = B().Scenario;
  s.PeakConc[1] = 7.5f;
  s.PeakSinkMass = {5, 3};
  s.TotalEmitted = {20, 0, 1000000};  // no emissions: no fraction, not an infinity
  s.SinkMass[2] = 1234.567f;
  s.Pollutants[0].Name = "CO";
  s.Pollutants[1].Name = "NO2";
  s.Pollutants[2].Name = "VOC";
  B().RoomList[1].Name = "Kitchen";
  Fill();

  EXPECT_EQ(form.windowTitle().toStdString(), "Calculated concentrations");
  ASSERT_EQ(grid.Cols(), 13);
  EXPECT_EQ(grid.FixedCols(), 0);
  // Twips come back at whole pixels of 15 twips.
  EXPECT_GE(grid.RowHeight(0), 550 - 15);
  for (int c = 1; c <= 12; ++c) EXPECT_NEAR(grid.ColWidth(c), c <= 6 ? 1100 : 2000, 15) << c;
  EXPECT_NEAR(form.width(), (6 * 1100 + 6 * 2000 + 1100) / 15.0, 6);
  // Rooms and pollutants by name (a room without one by its number), not by their indexes.
  const char* headings[] = {"Time hrs",
                            "CO Kitchen mg/m\xB3",
                            "CO Room 2 mg/m\xB3",
                            "NO2 Kitchen mg/m\xB3",
                            "NO2 Room 2 mg/m\xB3",
                            "VOC Kitchen mg/m\xB3",
                            "VOC Room 2 mg/m\xB3",
                            "Peak Conc Kitchen mg/m\xB3",
                            "Peak Conc Room 2 mg/m\xB3"};
  for (int c = 0; c < 9; ++c) EXPECT_EQ(grid.TextMatrix(0, c), headings[c]) << c;
  const char* values[] = {"4.0", "1.1E1", "1.2E1", "2.1E1", "2.2E1", "3.1E1", "3.2E1"};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(grid.TextMatrix(4, c), values[c]) << c;
  const char* totals[] = {
      "7.5",     "Peak Sink Mass",  "5.0 mg",       "3.0 mg",        "0.0 mg",     "Mass emitted",
      "20.0 mg", "0.00000 mg",      "1.0000E+6 mg", "Sink Fraction", "0.25",       "",
      "0.0",     "Final sink mass", "0.0 mg",       "0.0 mg",        "1,234.57 mg"};
  for (int r = 1; r <= 17; ++r) EXPECT_EQ(grid.TextMatrix(r, 7), totals[r - 1]) << r;
}

TEST_F(ConcentrationGrid, ShowsEachValueConvertedMaskedAndColouredInTheDisplayUnit) {
  struct Case {
    const char* stored;
    int16_t code;
    float mol_wt;
    float irritant;
    float value;
    const char* text;
    const char* unit;
    bool red;
  };
  const Case cases[] = {
      // The mask follows the size of the value.
      {"milligrams", 0, 0, 0, 0.0001f, "1.E-4", "mg/m\xB3", false},
      {"milligrams", 0, 0, 0, 1000000.0f, "1.E6", "mg/m\xB3", false},
      {"milligrams", 0, 0, 0, 1000001.0f, "1.0000E+6", "mg/m\xB3", false},
      {"milligrams", 0, 0, 0, 0.00005f, "5.000E-5", "mg/m\xB3", false},
      // Units; the pollutant's density of 0 counts as 1 and stays 0 in the record.
      {"milligrams", 2, 24.5f, 0, 1.0f, "1.E0", "ppm", false},
      {"milligrams", 1, 0, 0, 1.0f, "1.E3", "\xB5g/m\xB3", false},
      {"number", 0, 0, 0, 1.0f, "5.236E-4", "mg/m\xB3", false},
      {"number", 4, 0, 0, 2.0f, "2.0000E+6", "#/m\xB3", false},
      {"ppm", 0, 49.0f, 0, 1.0f, "2.E0", "mg/m\xB3", false},
      {"ppm", 2, 49.0f, 0, 3.0f, "3.E0", "ppm", false},
      // What cannot be converted shows as stored, under the stored unit.
      {"milligrams", 2, 0, 0, 1.5f, "1.5E0", "mg/m\xB3", false},
      {"ppm", 3, 49.0f, 0, 4.0f, "4.E0", "ppm", false},
      // Red above the irritant level in the shown unit; a level of 0 or less is none.
      {"milligrams", 0, 0, 2, 2.0f, "2.E0", "mg/m\xB3", false},
      {"milligrams", 0, 0, 2, 2.001f, "2.001E0", "mg/m\xB3", true},
      {"milligrams", 1, 0, 2, 2.0f, "2.E3", "\xB5g/m\xB3", false},
      {"milligrams", 1, 0, 2, 2.001f, "2.001E3", "\xB5g/m\xB3", true},
      {"milligrams", 0, 0, -1, 5.0f, "5.E0", "mg/m\xB3", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.stored) + " " + std::to_string(c.value) + " as " +
                 std::to_string(c.code));
    B().Scenario.ConcUnits = c.stored;
    B().DisplayUnitCode = c.code;
    Pollutant(0) = {};
    Pollutant(0).Name = "1";  // a 1 µm size bin
    Pollutant(0).MolWt = c.mol_wt;
    Pollutant(0).IrritantConc = c.irritant;
    WriteRun(1, 1, 1, [&c](int, int, int) { return c.value; });
    Fill();
    EXPECT_EQ(grid.TextMatrix(1, 1), c.text);
    EXPECT_EQ(grid.TextMatrix(0, 1), std::string("1 Room 1 ") + c.unit);
    EXPECT_EQ(grid.CellBackColorAt(1, 1), c.red ? kCellRed : kCellWhite);
    EXPECT_EQ(Pollutant(0).Density, 0.0f);
  }
  std::ofstream(B().ConcWorkFile, std::ios::binary) << " 1234.5 , 1 , 1 \r\n-999 \r\n";
  Fill();
  EXPECT_EQ(grid.TextMatrix(1, 0), "1,234.5");
}

TEST_F(ConcentrationGrid, AFileOfOtherRoomsStopsWithAMessageAndOneCutShortFillsToItsEnd) {
  WriteRun(2, 1, 5, [](int, int, int) { return 1.0f; });
  B().NumRooms = 3;
  Fill();
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Error.  The concentration file " + B().ConcWorkFile +
                                      " cannot be read.  Line 1 of the concentration file holds "
                                      "4 numbers instead of 5.");
  EXPECT_EQ(prompt.shown[0].title, "Error");
  EXPECT_EQ(grid.TextMatrix(1, 1), "");
  EXPECT_EQ(grid.TextMatrix(0, 3), "Room 3 mg/m\xB3");
  EXPECT_EQ(grid.TextMatrix(2, 4), "Peak Sink Mass");

  prompt.shown.clear();
  WriteRun(
      1, 1, 3, [](int k, int, int) { return static_cast<float>(k); }, false);
  B().Scenario.NumOutputRecords = 10;
  Fill();
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(grid.TextMatrix(3, 1), "3.E0");
  EXPECT_EQ(grid.TextMatrix(4, 0), "");
}

TEST_F(ConcentrationGrid, AUnitChangeAndThePlotsOfOneRunReadItsWorkFileOnce) {
  WriteRun(2, 3, 400, [](int k, int r, int p) { return 0.5f * k + 10.0f * r + 100.0f * p; });
  // The run finished a minute ago; nothing has read its file yet.
  const std::filesystem::path file = B().ConcWorkFile;
  std::filesystem::last_write_time(
      file, std::filesystem::last_write_time(file) - std::chrono::minutes(1));
  const long before = WorkFileParses();
  Fill();
  EXPECT_EQ(grid.TextMatrix(1, 4), "1.205E2");
  B().DisplayUnitCode = 1;  // µg/m³
  Fill();
  EXPECT_EQ(grid.TextMatrix(1, 4), "1.205E5");
  ConcentrationSeries series;
  ASSERT_FALSE(ReadPollutantSeries(B(), ',', 2, series));
  EXPECT_EQ(series.values[1][0], 210.5f);
  EXPECT_EQ(WorkFileParses() - before, 1);

  // A new run of the same size in the same file is read anew.
  WriteRun(2, 3, 400, [](int k, int r, int p) { return 0.5f * k + 10.0f * r + 200.0f * p; });
  Fill();
  EXPECT_EQ(grid.TextMatrix(1, 4), "2.205E5");
}

}  // namespace
}  // namespace quarn
