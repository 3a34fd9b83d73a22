#include "model/exposure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "common/planted_link.h"
#include "common/scripted_prompt.h"
#include "model/room_lookup.h"
#include "model/rounding.h"
#include "text/number_text.h"
#include "text/text_reader.h"
#include "text/text_writer.h"
#include "text/work_folder.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;

class ProgressRecorder : public RunObserver {
 public:
  void Progress(int percent) override { seen.push_back(percent); }
  std::vector<int> seen;
};

// A work folder of its own for each test.
class ExposureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = (fs::temp_directory_path() /
               ("quarn_exposure_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())))
                  .string();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    b_.MasterFile = "House";
    b_.NumRooms = 2;
    b_.RoomList[1].Name = "Kitchen";
    b_.RoomList[2].Name = "Bedroom";
    b_.ConcWorkFile = folder_ + "/HouseSEN.TMP";
    ScenarioRecord& s = b_.Scenario;
    s.Name = "Winter test";
    s.NumPollutants = 1;
    s.YearsSimulated = 2.0f / 365.0f;
    s.ExposureMode = "I";
    s.NumOccupants = 1;
    s.NumOutdoorConcPoints = 1;
    s.OutdoorConc[1][0] = 0.5f;
    s.InitialConc[1][0] = 2.0f;
    s.InitialConc[2][0] = 5.0f;
    OccupantRecord& o = s.Occupants[1];
    o.Name = "Adult";
    o.BreathingRate = 0.5f;
    o.EfficiencyFactor = 0.8f;  // F = 0.4 m³/h
    o.Weight = 80;
    o.StartTime = 0;
    o.EndTime = 48;
    SetPattern(o, {{0, 24, "Kitchen"}});
  }
  void TearDown() override { fs::remove_all(folder_); }

  struct Entry {
    float enter, leave;
    std::string location;
  };
  static void SetPattern(OccupantRecord& o, const std::vector<Entry>& entries) {
    for (int i = 1; i <= kMaxSchedule; ++i) o.TimeEnter[i] = o.TimeLeave[i] = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      o.TimeEnter[i + 1] = entries[i].enter;
      o.TimeLeave[i + 1] = entries[i].leave;
      o.Location[i + 1] = entries[i].location;
    }
  }

  // Writes a work file of records at the given times, outdoors 0.5, the rooms by `conc`.
  void WriteWorkFile(int records, double step, const std::function<float(int, double)>& conc,
                     char sep = ',', bool end_mark = true) {
    std::string text;
    for (int k = 0; k < records; ++k) {
      const double t = k * step;
      text += FileSingle(static_cast<float>(t));
      text += sep;
      text += FileSingle(0.5f);
      for (int r = 1; r <= b_.NumRooms; ++r) {
        text += sep;
        text += FileSingle(conc(r, t));
      }
      text += "\r\n";
    }
    if (end_mark) text += "-999 \r\n";
    WriteText(text);
  }
  void WriteText(const std::string& text) {
    ASSERT_TRUE(WriteFileAtomic(b_.ConcWorkFile, text, nullptr));
  }
  static float Constant(int room, double) { return room == 1 ? 2.0f : 5.0f; }

  ExposureRunResult Run(char sep = ',') {
    return RunExposureCalculation(b_, folder_, sep, prompt_, progress_);
  }
  // This copy's folder in the work folder, where the exposure files go.
  std::string Work() const {
    std::string reason;
    return WorkFolderOf(folder_, &reason).value_or(std::string());
  }
  std::string Bytes(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(path, bytes)) << path;
    return bytes;
  }

  std::string folder_;
  BuildingRecord b_;
  testing::ScriptedPrompt prompt_;
  ProgressRecorder progress_;
};

TEST_F(ExposureTest, ConstantConcentrationWholeDayInOneRoom) {
  WriteWorkFile(49, 1.0, Constant);
  const ExposureRunResult r = Run();
  EXPECT_TRUE(r.completed);
  EXPECT_TRUE(prompt_.shown.empty());
  const OccupantRecord& o = b_.Scenario.Occupants[1];
  EXPECT_FLOAT_EQ(o.ExposureTime[0], 48.0f);
  // Sums of Singles: within a few units of the 7th digit of the hand values.
  EXPECT_NEAR(o.TotalExposure[0], 0.4 * 2.0 * 48.0, 1e-4);  // 38.4 mg breathed in
  EXPECT_NEAR(o.AverageExposure[0], 2.0, 1e-5);
  EXPECT_FLOAT_EQ(o.PeakExposure[0], 0.8f);
  EXPECT_NEAR(o.PotentialDose[0], 38.4 / 80.0 / 2.0, 1e-6);  // mg/kg/day over 2 days
  EXPECT_NEAR(o.Dose[0], 38.4, 1e-4);  // the amount breathed in, efficiency counted once
  EXPECT_EQ(o.CycleLength, 24.0f);     // the end of the pattern
  EXPECT_EQ(o.NumSegments, 1);
}

TEST_F(ExposureTest, TwoRoomsGiveTheTimeWeightedExposure) {
  SetPattern(b_.Scenario.Occupants[1], {{0, 8, "Kitchen"}, {8, 24, "Bedroom"}});
  WriteWorkFile(49, 1.0, Constant);
  Run();
  const OccupantRecord& o = b_.Scenario.Occupants[1];
  // 16 h at 2 and 32 h at 5, times 0.4 m³/h.
  EXPECT_FLOAT_EQ(o.TotalExposure[0], 0.4f * (16.0f * 2.0f + 32.0f * 5.0f));
  EXPECT_FLOAT_EQ(o.AverageExposure[0], (16.0f * 2.0f + 32.0f * 5.0f) / 48.0f);
  EXPECT_FLOAT_EQ(o.PeakExposure[0], 0.4f * 5.0f);
  EXPECT_FLOAT_EQ(o.ExposureTime[0], 48.0f);
  // 76.8 mg over 2 days for 80 kg.
  EXPECT_FLOAT_EQ(o.PotentialDose[0], 0.48f);
}

// A work file that cannot be made is named with the system's reason, and a link planted at a
// work file's name is replaced, never written through.
TEST_F(ExposureTest, WorkFileFailuresNameTheFileAndLinksAreNotFollowed) {
  WriteWorkFile(3, 1.0, Constant);
  const std::string base = Work() + "/Ho-Winter_20test01";
  std::ofstream(folder_ + "/victim") << "keep";
  fs::create_symlink(folder_ + "/victim", base + ".EMP");
  fs::create_directory(base + ".CMP");
  Run();
  ASSERT_FALSE(prompt_.shown.empty());
  EXPECT_EQ(prompt_.shown[0].text,
            "Error.  The work file " + base + ".CMP could not be written: Is a directory.");
  EXPECT_EQ(Bytes(folder_ + "/victim"), "keep");
  EXPECT_FALSE(fs::is_symlink(base + ".EMP"));
}

// A full disk stops the occupant's walk with the file and the system's reason.
TEST_F(ExposureTest, AFullDiskNamesTheFileAndTheReason) {
  WriteWorkFile(49, 1.0, Constant);
  SetWorkFileWriteFault(ENOSPC);
  Run();
  SetWorkFileWriteFault(0);
  ASSERT_EQ(prompt_.shown.size(), 1U);
  EXPECT_EQ(prompt_.shown[0].text, "Error.  The work file " + Work() +
                                       "/Ho-Winter_20test01.EMP could not be written: No space "
                                       "left on device.");
}

TEST_F(ExposureTest, LinksPlantedAfterTheFilesAreMadeAreNotFollowed) {
  WriteWorkFile(3, 1.0, Constant);
  std::ofstream(folder_ + "/victim") << "keep";
  {
    testing::PlantedLinks links(folder_ + "/victim");
    Run();
  }
  EXPECT_EQ(Bytes(folder_ + "/victim"), "keep");
}

TEST_F(ExposureTest, WorkFilesHoldTheWalkLineByLine) {
  // Room 1 rises 1 (the initial value), 3, 5 at 0, 1 and 2 h; the walk takes each record's
  // own value at its time and integrates by trapezoid: (1 + 3) / 2 = 2, then + (3 + 5) / 2.
  b_.Scenario.ExposureMode = "N";
  b_.Scenario.InitialConc[1][0] = 1.0f;
  b_.Scenario.Occupants[1].EndTime = 2;
  WriteWorkFile(3, 1.0, [](int room, double t) { return room == 1 ? float(1 + 2 * t) : 0.0f; });
  Run();
  const OccupantRecord& o = b_.Scenario.Occupants[1];
  EXPECT_EQ(o.InstExposureFile, Work() + "/Ho-Winter_20test01.EMP");
  EXPECT_EQ(o.CumExposureFile, Work() + "/Ho-Winter_20test01.CMP");
  EXPECT_EQ(o.AvgExposureFile, Work() + "/Ho-Winter_20test01.ave");
  EXPECT_EQ(b_.Scenario.ExposureFileBase, "Ho-Winter_20test0");
  EXPECT_EQ(Bytes(o.InstExposureFile), " 0 , 1 ,\r\n 1 , 3 ,\r\n 2 , 5 ,\r\n");
  EXPECT_EQ(Bytes(o.CumExposureFile), " 0 , 0 ,\r\n 1 , 2 ,\r\n 2 , 6 ,\r\n");
  EXPECT_EQ(Bytes(o.AvgExposureFile), "");    // created empty for the average exposure
  EXPECT_FLOAT_EQ(o.TotalExposure[0], 6.0f);  // the integral of 1 + 2t over 2 h
  EXPECT_EQ(o.PotentialDose[0], 0.0f);        // not an inhalation run

  // The same file with tabs reads the same and writes tabs.
  WriteWorkFile(
      3, 1.0, [](int room, double t) { return room == 1 ? float(1 + 2 * t) : 0.0f; }, '\t');
  Run('\t');
  EXPECT_EQ(Bytes(o.InstExposureFile), " 0 \t 1 \t\r\n 1 \t 3 \t\r\n 2 \t 5 \t\r\n");
  EXPECT_FLOAT_EQ(o.TotalExposure[0], 6.0f);  // the integral of 1 + 2t over 2 h
}

TEST_F(ExposureTest, LinearConcentrationsGiveTheExactIntegralAcrossRoomChanges) {
  // Records 2 h apart from 2 h on (the run writes its first record at the end of a step),
  // starting from the initial values at 0: the kitchen rises 1 + t / 2, the bedroom falls
  // 10 - t / 4. The occupant changes room between records, and before the first one; each
  // change meets the value on the line at that moment, so the trapezoid over the walk's
  // points is the exact integral:
  //   bedroom 0-1:   10 - 1/8            = 9.875
  //   kitchen 1-5:   4 + (25 - 1) / 4    = 10
  //   bedroom 5-13:  80 - (169 - 25) / 8 = 62
  //   kitchen 13-24: 11 + (576 - 169) / 4 = 112.75     total 194.625
  ScenarioRecord& s = b_.Scenario;
  s.ExposureMode = "N";
  s.InitialConc[1][0] = 1.0f;
  s.InitialConc[2][0] = 10.0f;
  s.Pollutants[0].IrritantConc = 8.25f;
  OccupantRecord& o = s.Occupants[1];
  o.EndTime = 24;
  SetPattern(o, {{0, 1, "Bedroom"}, {1, 5, "Kitchen"}, {5, 13, "Bedroom"}, {13, 24, "Kitchen"}});
  std::string text;
  for (int t = 2; t <= 24; t += 2) {
    text += FileSingle(float(t)) + "," + FileSingle(0.5f) + "," + FileSingle(1 + t / 2.0f) + "," +
            FileSingle(10 - t / 4.0f) + "\r\n";
  }
  WriteText(text + "-999 \r\n");
  Run();
  EXPECT_TRUE(prompt_.shown.empty());
  EXPECT_FLOAT_EQ(o.TotalExposure[0], 194.625f);
  EXPECT_FLOAT_EQ(o.ExposureTime[0], 24.0f);
  EXPECT_FLOAT_EQ(o.AverageExposure[0], 194.625f / 24);
  // The kitchen's last record, 13 at 24 h (the mean with the record before would be 12.5).
  EXPECT_FLOAT_EQ(o.PeakExposure[0], 13.0f);
  // At or above 8.25: the bedroom 0-1 and 5-7 h (it falls through the level between the
  // records at 6 and 8 h), the kitchen 14.5-24 h (it rises through it between 14 and 16 h):
  // counted from the crossings, 12.5 h.
  EXPECT_FLOAT_EQ(o.HoursAboveIrritant[0], 12.5f);
  // Each change of room writes the value on leaving and the one on entering, at one time.
  EXPECT_EQ(Bytes(o.InstExposureFile),
            " 0 , 10 ,\r\n 1 , 9.75 ,\r\n"
            " 1 , 1.5 ,\r\n 2 , 2 ,\r\n 4 , 3 ,\r\n 5 , 3.5 ,\r\n"
            " 5 , 8.75 ,\r\n 6 , 8.5 ,\r\n 8 , 8 ,\r\n 10 , 7.5 ,\r\n 12 , 7 ,\r\n"
            " 13 , 6.75 ,\r\n"
            " 13 , 7.5 ,\r\n 14 , 8 ,\r\n 16 , 9 ,\r\n 18 , 10 ,\r\n 20 , 11 ,\r\n"
            " 22 , 12 ,\r\n 24 , 13 ,\r\n");
  // The running totals at the ends of the segments: 9.875, 19.875, 81.875, 194.625.
  const std::string cmp = Bytes(o.CumExposureFile);
  for (const char* line :
       {" 1 , 9.875 ,\r\n", " 5 , 19.875 ,\r\n", " 13 , 81.875 ,\r\n", " 24 , 194.625 ,\r\n"}) {
    EXPECT_NE(cmp.find(line), std::string::npos) << line;
  }
}

// Distinct scenarios of one building get distinct files that stay in the folder.
TEST(ExposureFileBase, DistinctScenariosNeverShareFiles) {
  EXPECT_EQ(ExposureFileBase("House", "Wint"), "HoWint0");  // the short form where it is whole
  EXPECT_EQ(ExposureFileBase("H", "Hi"), "HHi0");
  EXPECT_EQ(ExposureFileBase("", ""), "0");
  EXPECT_EQ(ExposureFileBase("../H", "a/b"), "H-a_2Fb0");
  const char* names[] = {"HANDMG",  "HANDPPM", "HANDNUM", "HAND", "HAND MG", "HAND_MG",
                         "HAND-MG", "Hand",    "HAND0",   "HAN",  "-HAND"};
  std::set<std::string> bases;
  for (const char* name : names) {
    const std::string base = ExposureFileBase("HAUS", name);
    EXPECT_EQ(base.find('/'), std::string::npos);
    bases.insert(base);
  }
  EXPECT_EQ(bases.size(), std::size(names));
}

TEST_F(ExposureTest, BlockBoundariesDoNotChangeTheTotals) {
  // A constant concentration with 101 records and with 5,001 (four blocks).
  WriteWorkFile(101, 0.48, Constant);
  Run();
  const float few = b_.Scenario.Occupants[1].TotalExposure[0];
  WriteWorkFile(5001, 0.0096, Constant);
  Run();
  const OccupantRecord& o = b_.Scenario.Occupants[1];
  EXPECT_NEAR(few, 38.4f, 1e-4);
  EXPECT_NEAR(o.TotalExposure[0], few, 0.002);  // a lost interval per block: 0.0077
  EXPECT_NEAR(o.ExposureTime[0], 48.0f, 1e-3);

  // A rising concentration 1 + 0.1 t at 0.01 h, starting from its initial 1: the trapezoid
  // is exact for a line, so the total is its integral over 48 h, 48 + 0.05 x 48² = 163.2.
  // A block that lost its first interval would be 0.05 short each time.
  b_.Scenario.ExposureMode = "N";
  b_.Scenario.InitialConc[1][0] = 1.0f;
  progress_.seen.clear();
  WriteWorkFile(5001, 0.01, [](int, double t) { return float(1 + 0.1 * t); });
  Run();
  EXPECT_NEAR(o.TotalExposure[0], 163.2, 1e-3);  // the mean of two records: 163.176
  // One line per record inside each day, one at each end, none repeated at a block edge.
  const std::string emp = Bytes(o.InstExposureFile);
  EXPECT_EQ(std::count(emp.begin(), emp.end(), '\n'), 2 * (1 + 2399 + 1));
  // Progress rises to 100 without going back.
  ASSERT_FALSE(progress_.seen.empty());
  EXPECT_EQ(progress_.seen.back(), 100);
  EXPECT_TRUE(std::is_sorted(progress_.seen.begin() + 1, progress_.seen.end()));
}

TEST_F(ExposureTest, TruncatedWorkFileGivesOneMessageAndKeepsTheGoodPart) {
  WriteText(" 0 , .5 , 2 , 5 \r\n 1 , .5 , 2 , 5 \r\n 2 , .5 , 2");
  const ExposureRunResult r = Run();
  EXPECT_FALSE(r.completed);
  ASSERT_EQ(prompt_.shown.size(), 1u);
  EXPECT_NE(prompt_.shown[0].text.find("Line 3 of the concentration file holds 3 numbers"),
            std::string::npos);
  EXPECT_FLOAT_EQ(b_.Scenario.Occupants[1].ExposureTime[0], 1.0f);
  EXPECT_FLOAT_EQ(b_.Scenario.Occupants[1].TotalExposure[0], 0.8f);

  prompt_.shown.clear();
  WriteText(" 0 , .5 , 2 , 5 \r\nnot numbers\r\n");
  Run();
  EXPECT_EQ(prompt_.shown.size(), 1u);

  // Without the end line the data simply end.
  prompt_.shown.clear();
  WriteWorkFile(25, 1.0, Constant, ',', false);
  EXPECT_TRUE(Run().completed);
  EXPECT_TRUE(prompt_.shown.empty());
  EXPECT_FLOAT_EQ(b_.Scenario.Occupants[1].TotalExposure[0], 0.4f * 2.0f * 24.0f);
}

TEST_F(ExposureTest, OnlyTheEndLineGivesEmptyFilesAndNoMessage) {
  WriteText("-999 \r\n");
  EXPECT_TRUE(Run().completed);
  EXPECT_TRUE(prompt_.shown.empty());
  EXPECT_EQ(Bytes(b_.Scenario.Occupants[1].InstExposureFile), "");
  EXPECT_EQ(Bytes(b_.Scenario.Occupants[1].CumExposureFile), "");
}

TEST_F(ExposureTest, BadOccupantStopsAloneWithOneMessage) {
  b_.Scenario.NumOccupants = 3;
  b_.Scenario.Occupants[2] = b_.Scenario.Occupants[1];
  b_.Scenario.Occupants[2].BreathingRate = 0;  // no exposure factor in inhalation mode
  b_.Scenario.Occupants[3] = b_.Scenario.Occupants[1];
  SetPattern(b_.Scenario.Occupants[3], {});  // no pattern at all
  WriteWorkFile(49, 1.0, Constant);
  const ExposureRunResult r = Run();
  EXPECT_NEAR(b_.Scenario.Occupants[1].TotalExposure[0], 38.4, 1e-4);
  EXPECT_EQ(b_.Scenario.Occupants[2].TotalExposure[0], 0.0f);
  EXPECT_FALSE(r.occupant_data_complete);
  ASSERT_EQ(prompt_.shown.size(), 2u);
  EXPECT_EQ(prompt_.shown[0].text.rfind("Error.  Occupant Adult has a breathing rate", 0), 0u);
  EXPECT_EQ(prompt_.shown[1].text,
            "Warning.  The activity pattern for occupant Adult has not been specified.  "
            "Reenter occupant data before continuing.");
  EXPECT_EQ(prompt_.shown[1].title, "Warning.");
}

TEST_F(ExposureTest, PatternGapStopsTheOccupantWithOneMessage) {
  SetPattern(b_.Scenario.Occupants[1], {{0, 8, "Kitchen"}, {10, 24, "Bedroom"}});
  WriteWorkFile(49, 1.0, Constant);
  Run();
  ASSERT_EQ(prompt_.shown.size(), 1u);
  EXPECT_EQ(prompt_.shown[0].text,
            "Error in exposure calculation. Check occupancy patterns for duplicated times or "
            "gap in times.");
  EXPECT_FLOAT_EQ(b_.Scenario.Occupants[1].ExposureTime[0], 8.0f);
}

TEST_F(ExposureTest, BeforeTheFirstEntryTheOccupantIsOutdoorsWarnedOnce) {
  // In the kitchen from 2 to 24 h: outdoors (0.5, the value in force at time 0, not the
  // initial concentration of room 0) for the first 2 h of each of the two days.
  b_.Scenario.ExposureMode = "N";
  b_.Scenario.InitialConc[0][0] = 99.0f;
  SetPattern(b_.Scenario.Occupants[1], {{2, 24, "Kitchen"}});
  WriteWorkFile(49, 1.0, Constant);
  Run();
  EXPECT_FLOAT_EQ(b_.Scenario.Occupants[1].TotalExposure[0], 2 * (2 * 0.5f + 22 * 2.0f));
  ASSERT_EQ(prompt_.shown.size(), 1u);
  EXPECT_EQ(prompt_.shown[0].text,
            "You have not specified a location for occupant Adult for time < 2 The program will "
            "assume that the location is outdoors.");
}

TEST_F(ExposureTest, HoursAboveIrritantAndLongTermOptions) {
  SetPattern(b_.Scenario.Occupants[1], {{0, 8, "Kitchen"}, {8, 24, "Bedroom"}});
  b_.Scenario.Pollutants[0].IrritantConc = 3.0f;  // only the bedroom reaches it
  b_.Scenario.LongTermOptions = 1;
  b_.Scenario.Occupants[1].Lifetime = 10;
  WriteWorkFile(49, 1.0, Constant);
  Run();
  const OccupantRecord& o = b_.Scenario.Occupants[1];
  EXPECT_FLOAT_EQ(o.HoursAboveIrritant[0], 32.0f);
  EXPECT_FLOAT_EQ(o.LifetimeExposure[0], 4.0f * 10 * 8760);

  // 0 means no threshold known: no hours count.
  b_.Scenario.Pollutants[0].IrritantConc = 0;
  // Extrapolation without a lifetime leaves the run's average.
  b_.Scenario.LongTermOptions = 2;
  b_.Scenario.Occupants[1].Lifetime = 0;
  Run();
  EXPECT_EQ(o.HoursAboveIrritant[0], 0.0f);
  EXPECT_FLOAT_EQ(o.AverageExposure[0], 4.0f);
}

// The same room and person at the same 2 mg/m³ in every unit: one dose in mg/kg/day, and
// one irritant level (1 mg/m³, which the kitchen passes) compared in the unit of the run.
TEST_F(ExposureTest, DoseAndIrritantHoursInEveryUnitAsInMilligrams) {
  constexpr double kDose = 0.4 * 2.0 * 48.0 / 80.0 / 2.0;  // mg/kg/day
  const struct {
    const char* units;
    float conc;
    double dose;
  } cases[] = {
      {"milligrams", 2.0f, kDose},
      {"micrograms", 2000.0f, kDose},
      {"ppm", static_cast<float>(2.0 * 24.5 / 78.11), kDose},
      {"number", 2.0f, 0},  // particle counts have no mass dose
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.units);
    b_.Scenario.ConcUnits = c.units;
    b_.Scenario.Pollutants[0].Name = "2.5";
    b_.Scenario.Pollutants[0].MolWt = 78.11f;
    b_.Scenario.Pollutants[0].Diameter = 2.5f;
    b_.Scenario.Pollutants[0].Density = 1;
    b_.Scenario.Pollutants[0].IrritantConc = c.units == std::string("number") ? 1e-20f : 1.0f;
    b_.Scenario.InitialConc[1][0] = c.conc;
    WriteWorkFile(49, 1.0, [&c](int, double) { return c.conc; });
    Run();
    const OccupantRecord& o = b_.Scenario.Occupants[1];
    EXPECT_NEAR(o.PotentialDose[0], c.dose, 1e-3 * kDose);
    EXPECT_FLOAT_EQ(o.HoursAboveIrritant[0], 48.0f);
  }
}

TEST_F(ExposureTest, ALocationThatNamesNoRoomStopsTheOccupant) {
  SetPattern(b_.Scenario.Occupants[1], {{0, 8, "kitchen"}, {8, 24, "Bedrom"}});
  WriteWorkFile(49, 1.0, Constant);
  Run();
  ASSERT_EQ(prompt_.shown.size(), 1U);
  EXPECT_EQ(prompt_.shown[0].text,
            "Error.  The location Bedrom of occupant Adult is not a room of the building.  Enter "
            "the name of a room or Outdoors.");
  EXPECT_EQ(b_.Scenario.Occupants[1].TotalExposure[0], 0.0f);
}

TEST_F(ExposureTest, BoundaryOffTheThousandthsHoldsInEveryCycle) {
  // 8:20 is 8.3333 h: rounding the time within the second day to thousandths must not put
  // the walk back into the kitchen segment that has just ended.
  const float change = 25.0f / 3.0f;
  SetPattern(b_.Scenario.Occupants[1], {{0, change, "Kitchen"}, {change, 24, "Bedroom"}});
  WriteWorkFile(49, 1.0, Constant);
  Run();
  EXPECT_TRUE(prompt_.shown.empty());
  const OccupantRecord& o = b_.Scenario.Occupants[1];
  EXPECT_NEAR(o.ExposureTime[0], 48.0f, 1e-4);
  // Two days of 8 1/3 h at 2 and 15 2/3 h at 5, times 0.4 m³/h: 2 x 38 = 76.
  EXPECT_NEAR(o.TotalExposure[0], 0.4 * 2 * (25.0 / 3 * 2 + 47.0 / 3 * 5), 1e-3);
}

TEST_F(ExposureTest, WorkFileOfWholeBlocksEndsWithoutARepeatedLine) {
  // 1,500 records fill one block exactly; the end mark leaves nothing new to walk.
  WriteWorkFile(1500, 0.01, Constant);
  Run();
  EXPECT_TRUE(prompt_.shown.empty());
  const std::string emp = Bytes(b_.Scenario.Occupants[1].InstExposureFile);
  // The start line, the 1,498 records inside and the line at the last record, 14.99 h.
  EXPECT_EQ(std::count(emp.begin(), emp.end(), '\n'), 1500);
  EXPECT_NEAR(b_.Scenario.Occupants[1].ExposureTime[0], 14.99f, 1e-3);
}

TEST_F(ExposureTest, ExtrapolationTakesOutdoorsFromTheLastRecord) {
  // Outdoors 0 to 8 h and in the kitchen 8 to 24 h, not an inhalation run. The run leaves
  // outdoors in room 0 of the work file (0.5); the scenario's own outdoor field is stale.
  ScenarioRecord& s = b_.Scenario;
  s.ExposureMode = "N";
  s.LongTermOptions = 2;
  s.CurrentOutdoorConc[0] = 40.0f;
  OccupantRecord& o = s.Occupants[1];
  o.Lifetime = 1;
  SetPattern(o, {{0, 8, "Outdoors"}, {8, 24, "Kitchen"}});
  o.LocationRoom[1] = 0;
  o.LocationRoom[2] = 1;
  WriteWorkFile(49, 1.0, Constant);
  Run();
  // Run: 2 x (8 x 0.5 + 16 x 2) = 72. A day of the pattern averages (4 + 32) / 24 = 1.5,
  // held over the 8760 - 48 h left: 13068 + 72 = 13140 = 1.5 x 8760.
  EXPECT_FLOAT_EQ(o.TotalExposure[0], 72.0f);
  EXPECT_FLOAT_EQ(o.LifetimeExposure[0], 13140.0f);
  EXPECT_FLOAT_EQ(o.AverageExposure[0], 1.5f);
}

TEST_F(ExposureTest, ExtrapolationInInhalationModeMatchesTheFirstOption) {
  // Always in room 1 at 2 for 48 h with an exposure factor of 0.4 m3/h: the run's total is
  // 0.4 x 2 x 48 = 38.4 mg. Held over a year the lifetime exposure is a concentration times
  // hours, 2 x (8760 - 48) + 38.4 / 0.4 = 17520 = 2 x 8760, as the first option gives it.
  ScenarioRecord& s = b_.Scenario;
  s.LongTermOptions = 2;
  OccupantRecord& o = s.Occupants[1];
  o.Lifetime = 1;
  SetPattern(o, {{0, 24, "Kitchen"}});
  o.LocationRoom[1] = 1;
  WriteWorkFile(49, 1.0, Constant);
  Run();
  ASSERT_TRUE(prompt_.shown.empty());
  EXPECT_NEAR(o.TotalExposure[0], 0.4f * 2 * 48, 1e-3);
  EXPECT_NEAR(o.LifetimeExposure[0], 2.0f * 8760, 0.05);
  EXPECT_NEAR(o.AverageExposure[0], 2.0f, 1e-5);
}

TEST_F(ExposureTest, OutdoorsAtTheStartAsTheRunHadIt) {
  // A constant outdoor concentration is history row 1 however the other rows read.
  ScenarioRecord& s = b_.Scenario;
  s.ExposureMode = "N";
  s.ConstantOutdoorConc = "Y";
  s.NumOutdoorConcPoints = 2;
  s.OutdoorConc[2][0] = 7.0f;  // a row left at time 0
  SetPattern(s.Occupants[1], {{0, 24, "Outdoors"}});
  s.Occupants[1].EndTime = 1;
  WriteWorkFile(3, 1.0, Constant);
  Run();
  EXPECT_EQ(Bytes(s.Occupants[1].InstExposureFile), " 0 , .5 ,\r\n 1 , .5 ,\r\n");
}

TEST(FindRoomNumber, ByExactNameLowestFirst) {
  BuildingRecord b;
  b.NumRooms = 3;
  b.RoomList[1].Name = "Kitchen";
  b.RoomList[2].Name = "Den";
  b.RoomList[3].Name = "Den";
  b.RoomList[4].Name = "Attic";  // beyond NumRooms
  EXPECT_EQ(FindRoomNumber(b, "Outdoors"), 0);
  EXPECT_EQ(FindRoomNumber(b, "Kitchen"), 1);
  EXPECT_EQ(FindRoomNumber(b, "Den"), 2);
  EXPECT_EQ(FindRoomNumber(b, "den"), 2);
  EXPECT_EQ(FindRoomNumber(b, "OUTDOORS"), 0);
  EXPECT_EQ(FindRoomNumber(b, "Attic"), 0);
  EXPECT_EQ(FindRoomNumber(b, "Garage"), 0);
  b.NumRooms = 200;  // a count from a damaged file stays within the room table
  EXPECT_EQ(FindRoomNumber(b, "Nowhere"), 0);
}

TEST(RoundTo3Decimals, RoundsTheFractionAboveTheLowerWholeNumber) {
  EXPECT_FLOAT_EQ(RoundTo3Decimals(2.71828f), 2.718f);
  EXPECT_FLOAT_EQ(RoundTo3Decimals(2.7186f), 2.719f);
  EXPECT_FLOAT_EQ(RoundTo3Decimals(1.9996f), 2.0f);
  EXPECT_FLOAT_EQ(RoundTo3Decimals(-1.2344f), -1.234f);
  EXPECT_FLOAT_EQ(RoundTo3Decimals(-1.2346f), -1.235f);
  EXPECT_EQ(RoundTo3Decimals(0.0004f), 0.0f);
  EXPECT_FLOAT_EQ(RoundTo3Decimals(0.0005f), 0.001f);
}

TEST(PeriodicTime, TimeWithinTheCycle) {
  EXPECT_EQ(PeriodicTime(24, 24), 24.0f);
  EXPECT_FLOAT_EQ(PeriodicTime(50.5, 24), 2.5f);
  EXPECT_EQ(PeriodicTime(50, 0), 0.0f);
  EXPECT_FLOAT_EQ(PeriodicTime(1e6 + 0.25, 24), 16.25f);  // beyond a 16-bit cycle count
}

}  // namespace
}  // namespace quarn
