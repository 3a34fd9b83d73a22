#include "model/concentration_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>
#include <vector>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>

#include "common/largest_scenario.h"
#include "common/other_copy.h"
#include "common/scripted_prompt.h"
#include "common/steady_scenario.h"
#include "model/unit_conversion.h"
#include "model/work_file_reader.h"
#include "text/number_text.h"
#include "text/work_folder.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;

// Records what the run reports; asks it to stop after stop_after steps when that is set.
class Recorder : public RunObserver {
 public:
  struct Rec {
    float time;
    std::vector<float> conc;
    float sink_mass;
    float total_emitted;
    float leaving;
    float airborne_mass;
  };
  int stop_after = -1;
  int steps = 0;
  int starts = 0;
  std::vector<float> step_ends;  // the time after every step
  std::vector<Rec> records;
  std::vector<RunOutcome> ends;
  void RunStarted(const RunStartInfo&) override { ++starts; }
  void RecordWritten(const RunRecordInfo& r) override {
    records.push_back({r.time,
                       {r.concentrations.begin(), r.concentrations.end()},
                       r.sink_mass,
                       r.total_emitted,
                       r.leaving,
                       r.airborne_mass});
  }
  bool StepDone(float time) override {
    step_ends.push_back(time);
    return ++steps == stop_after;
  }
  void RunEnded(RunOutcome outcome) override { ends.push_back(outcome); }
};

class ConcentrationRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() / ("quarn-run-" + std::to_string(::getpid()) + "-" +
                                           info->test_suite_name() + "-" + info->name());
    fs::remove_all(folder_);
    settings_.temp_folder_name = (folder_ / "tmp").string();
    settings_.step_adjust_factor = 1;
    settings_.max_concentration = 100;
  }
  void TearDown() override { fs::remove_all(folder_); }

  // One room of 50 m³ with 25 m³/h in and out from outdoors, 10 mg/m³ at the start, clean
  // outdoor air, 48 h at 0.1 h steps.
  static BuildingRecord OneRoom() {
    BuildingRecord b;
    b.NumRooms = 1;
    b.MasterFile = "Run";
    b.RoomList[1].Volume = 50;
    ScenarioRecord& s = b.Scenario;
    s.NumPollutants = 1;
    s.Pollutants[0].Name = "CO";
    s.Pollutants[0].MolWt = 28;
    MakeSteadyInMilligrams(s);
    s.BuildingPenetration[0] = 1;
    s.NaturalFromOutdoors[1] = 25;
    s.NaturalToOutdoors[1] = 25;
    s.InitialConc[1][0] = 10;
    s.StepSize = 0.1F;
    s.YearsSimulated = 48.0F / 8760.0F;
    return b;
  }
  // One room of 30 m³ flushed by 15 m³/h of clean outdoor air, nothing in it at the start.
  static BuildingRecord FlushedRoom(float hours) {
    BuildingRecord b = OneRoom();
    ScenarioRecord& s = b.Scenario;
    b.RoomList[1].Volume = 30;
    s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 15;
    s.InitialConc[1][0] = 0;
    s.YearsSimulated = hours / 8760;
    return b;
  }
  // A constant source of `rate` (mg/h unless the units are changed) in the room, on from
  // `on` to `off`.
  static SourceRecord& AddConstantSource(BuildingRecord& b, int room = 1, float rate = 100,
                                         float on = 0, float off = 1e6F) {
    ScenarioRecord& s = b.Scenario;
    const int k = ++s.NumSources[room];
    SourceRecord& src = s.Sources[room][k];
    src.Model = 6;
    src.Params[0][0] = rate;
    src.Size = 1;
    src.NumCycles = 1;
    src.TimeOn[1] = on;
    src.TimeOff[1] = off;
    src.CycleRepeats = "N";
    return src;
  }
  // The record at time t (a Single), or null.
  const Recorder::Rec* RecordAt(float t) const {
    for (const auto& r : rec_.records)
      if (r.time == t) return &r;
    return nullptr;
  }

  RunOutcome Run(BuildingRecord& b) {
    return RunConcentrationCalculation(b, settings_, prompt_, rec_);
  }
  // This copy's folder in the chosen work folder, where its runs write.
  fs::path CopyFolder() const {
    std::string reason;
    return WorkFolderOf(settings_.temp_folder_name, &reason).value_or(std::string());
  }

  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  // Every record of the work file, checked against the observer's.
  std::vector<std::vector<float>> ReadBack(const BuildingRecord& b) {
    ConcWorkFileReader reader(b.ConcWorkFile, ',', b.NumRooms, b.Scenario.NumPollutants);
    std::vector<std::vector<float>> rows;
    while (reader.Next() == ConcWorkFileReader::Status::Record) {
      std::vector<float> row{reader.Time()};
      for (float c : reader.Concentrations()) row.push_back(c);
      rows.push_back(row);
    }
    EXPECT_TRUE(reader.EndMarkSeen());
    return rows;
  }

  // Compares every record with the exact value at its own time.
  template <class F>
  void ExpectRecords(const F& exact, int room, double tolerance) {
    ASSERT_FALSE(rec_.records.empty());
    double worst = 0;
    for (const auto& r : rec_.records) {
      const double want = exact(static_cast<double>(r.time));
      worst = std::max(worst, std::fabs(r.conc[room] - want) / std::fabs(want));
    }
    EXPECT_LT(worst, tolerance);
  }

  fs::path folder_;
  RunSettings settings_;
  testing::ScriptedPrompt prompt_;
  Recorder rec_;
};

TEST_F(ConcentrationRunTest, FlushedRoomDecaysExponentiallyAtEveryStepSize) {
  for (float step : {0.1F, 0.05F, 0.01F}) {
    SCOPED_TRACE(step);
    BuildingRecord b = OneRoom();
    b.Scenario.StepSize = step;
    rec_ = Recorder();
    ASSERT_EQ(Run(b), RunOutcome::Completed);
    ExpectRecords([](double t) { return 10 * std::exp(-0.5 * t); }, 1, step < 0.1F ? 2e-3 : 1e-4);
    EXPECT_GE(rec_.records.back().time, 48.0F);
    EXPECT_EQ(b.Scenario.NumOutputRecords, static_cast<int32_t>(rec_.records.size()));
    EXPECT_EQ(b.Scenario.LastOutputTime, rec_.records.back().time);
    // The file holds what the observer was shown, at the file's seven digits.
    const auto rows = ReadBack(b);
    ASSERT_EQ(rows.size(), rec_.records.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_NEAR(rows[i][0], rec_.records[i].time, 1e-6 * rows[i][0]);
      EXPECT_NEAR(rows[i][2], rec_.records[i].conc[1], 1e-6 * rows[i][2]);
    }
  }
}

TEST_F(ConcentrationRunTest, ConstantSourceApproachesItsSteadyValue) {
  BuildingRecord b = OneRoom();
  AddConstantSource(b);
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  ExpectRecords([](double t) { return 4 + 6 * std::exp(-0.5 * t); }, 1, 1e-4);
  // 100 mg/h emitted for every hour simulated.
  EXPECT_NEAR(b.Scenario.TotalEmitted[0], 100 * b.Scenario.ExposureCompareTime, 0.05);
  // The peak is met at the end of the first step.
  EXPECT_NEAR(b.Scenario.PeakConc[1], 4 + 6 * std::exp(-0.05), 1e-5);
}

TEST_F(ConcentrationRunTest, OutdoorAirThroughPenetrationRaisesTheSteadyValue) {
  BuildingRecord b = OneRoom();
  AddConstantSource(b);
  b.Scenario.OutdoorConc[1][0] = 2;
  b.Scenario.BuildingPenetration[0] = 0.5F;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  ExpectRecords([](double t) { return 5 + 5 * std::exp(-0.5 * t); }, 1, 1e-4);
  // Outdoors holds the outdoor concentration in every record.
  for (const auto& r : rec_.records) ASSERT_EQ(r.conc[0], 2.0F);
}

TEST_F(ConcentrationRunTest, SealedRoomRisesByTheSourceEachHour) {
  BuildingRecord b = OneRoom();
  b.Scenario.NaturalFromOutdoors[1] = b.Scenario.NaturalToOutdoors[1] = 0;
  b.Scenario.InitialConc[1][0] = 0;
  AddConstantSource(b);
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  for (const auto& r : rec_.records) ASSERT_NEAR(r.conc[1], 2 * r.time, 1e-4 * 2 * r.time);
  EXPECT_FLOAT_EQ(b.Scenario.LeavingMass[0], 0);  // nothing leaves a sealed room
}

TEST_F(ConcentrationRunTest, TwoConnectedRoomsShareTheirMass) {
  BuildingRecord b = OneRoom();
  b.NumRooms = 2;
  b.RoomList[2].Volume = 50;
  b.Neighbors[1][2] = b.Neighbors[2][1] = kTrue;
  ScenarioRecord& s = b.Scenario;
  s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 0;
  s.NaturalRoomFlows[1][2] = s.NaturalRoomFlows[2][1] = 20;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  for (const auto& r : rec_.records) {
    ASSERT_NEAR(50 * (r.conc[1] + r.conc[2]), 500, 500 * 1e-5);
    // The difference between the rooms shrinks as e^(-0.8 t), whatever the step.
    ASSERT_NEAR(r.conc[1], 5 + 5 * std::exp(-0.8 * r.time), 1e-5 * r.conc[1]);
  }
  EXPECT_NEAR(rec_.records.back().conc[2], 5, 1e-4);
  EXPECT_NEAR(s.AirborneMass[0], 500, 500 * 1e-5);
}

TEST_F(ConcentrationRunTest, SinkAndAirTogetherKeepTheMass) {
  BuildingRecord b = OneRoom();
  ScenarioRecord& s = b.Scenario;
  s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 0;
  s.NumSinks[1] = 1;
  s.Sinks[1][1].Area = 10;
  s.Sinks[1][1].ka[0] = 0.5F;
  s.Sinks[1][1].kd[0] = 0.1F;
  s.Sinks[1][1].Mass[0] = 7;  // what the user sees; the run starts the sink empty
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  for (const auto& r : rec_.records)
    ASSERT_NEAR(50 * r.conc[1] + r.sink_mass, 500, 500 * 1e-5) << r.time;
  EXPECT_NEAR(rec_.records.back().conc[1], 5, 1e-3);
  EXPECT_NEAR(s.PeakSinkMass[0], 250, 0.1);  // the largest the sink held
  EXPECT_EQ(s.Sinks[1][1].Mass[0], 7.0F);
}

TEST_F(ConcentrationRunTest, StrongAirCleanerDoesNotOvershootWhenTheStepGrows) {
  BuildingRecord b = OneRoom();
  b.Scenario.StepSize = 1;  // larger than the cleaner allows
  b.Scenario.AirCleanerEff[1] = 100;
  b.Scenario.AirCleanerFlow[1] = 4;  // 4 room volumes an hour, every bit removed
  settings_.step_adjust_factor = 2;
  b.Scenario.YearsSimulated = 0.05F;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  for (const auto& r : rec_.records) ASSERT_GE(r.conc[1], 0) << r.time;
  EXPECT_GT(b.Scenario.AirCleanerCollected[1], 0);
  EXPECT_LE(b.Scenario.AirCleanerCollected[1], 500 * 1.0001);  // no more than was there
  EXPECT_EQ(b.Scenario.StepSize, 1.0F);
}

TEST_F(ConcentrationRunTest, WorkFileLinesHoldTimeAndEveryRoomAndPollutant) {
  BuildingRecord b = OneRoom();
  b.Scenario.YearsSimulated = 1.0F / 8760;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  EXPECT_EQ(b.ConcWorkFile, (CopyFolder() / "RunSEN.TMP").string());
  EXPECT_EQ(CopyFolder().parent_path(), folder_ / "tmp");
  std::string bytes = Bytes(b.ConcWorkFile);
  ASSERT_GE(bytes.size(), 7U);
  EXPECT_EQ(bytes.substr(bytes.size() - 7), "-999 \r\n");
  const std::string first = bytes.substr(0, bytes.find("\r\n"));
  EXPECT_EQ(std::count(first.begin(), first.end(), ','), 2);  // three numbers

  // Three rooms and two pollutants, tab separated: nine numbers a line.
  BuildingRecord c = OneRoom();
  c.NumRooms = 3;
  c.RoomList[2].Volume = c.RoomList[3].Volume = 50;
  c.Scenario.NumPollutants = 2;
  c.Scenario.Pollutants[1].MolWt = 30;
  c.Scenario.YearsSimulated = 1.0F / 8760;
  settings_.data_separator = '\t';
  ASSERT_EQ(Run(c), RunOutcome::Completed);
  bytes = Bytes(c.ConcWorkFile);
  std::istringstream lines(bytes);
  std::string line;
  int count = 0;
  while (std::getline(lines, line) && line != "-999 \r") {
    ASSERT_EQ(std::count(line.begin(), line.end(), '\t'), 8) << line;
    ASSERT_EQ(line.back(), '\r');
    ++count;
  }
  EXPECT_EQ(count, c.Scenario.NumOutputRecords);
}

TEST_F(ConcentrationRunTest, StoppedRunLeavesACompleteFile) {
  BuildingRecord b = OneRoom();
  rec_.stop_after = 25;
  ASSERT_EQ(Run(b), RunOutcome::Stopped);
  EXPECT_EQ(rec_.steps, 26);  // the step in progress when asked is completed
  EXPECT_NEAR(b.Scenario.ExposureCompareTime, 2.6F, 1e-5);
  const auto rows = ReadBack(b);
  EXPECT_EQ(static_cast<int>(rows.size()), b.Scenario.NumOutputRecords);
  ASSERT_FALSE(rows.empty());
  EXPECT_NEAR(rows.back()[0], 2.6F, 1e-5);
  EXPECT_EQ(rec_.ends, std::vector<RunOutcome>{RunOutcome::Stopped});
}

TEST_F(ConcentrationRunTest, NegativeLossFailsWithTheRecordsSoFar) {
  BuildingRecord b = OneRoom();
  b.Scenario.NaturalFromOutdoors[1] = b.Scenario.NaturalToOutdoors[1] = 0;
  b.Scenario.OverallACH = -0.5F;  // derived flows of -25 m³/h balance but drain the room
  ASSERT_EQ(Run(b), RunOutcome::Failed);
  ASSERT_EQ(prompt_.shown.size(), 1U);
  EXPECT_EQ(prompt_.shown[0].text, "Error.  Scenario data not fully specified.");
  EXPECT_EQ(prompt_.shown[0].title, "Warning");
  EXPECT_EQ(prompt_.shown[0].icon, MessageIcon::None);  // a plain box with its OK button
  EXPECT_EQ(Bytes(b.ConcWorkFile), "-999 \r\n");
  EXPECT_EQ(rec_.ends, std::vector<RunOutcome>{RunOutcome::Failed});
  EXPECT_EQ(b.Scenario.OverallACH, -0.5F);
}

TEST_F(ConcentrationRunTest, UnbalancedFlowsCreateNoFile) {
  BuildingRecord b = OneRoom();
  b.ConcWorkFile = "previous";
  b.Scenario.NaturalToOutdoors[1] = 10;
  EXPECT_EQ(Run(b), RunOutcome::Failed);
  EXPECT_EQ(b.ConcWorkFile, "previous");
  EXPECT_FALSE(fs::exists(folder_ / "tmp"));
  EXPECT_EQ(rec_.starts, 0);
}

// A link someone planted at the work file's name is replaced, not written through; a work
// file that cannot be made is named in the message with the system's reason.
TEST_F(ConcentrationRunTest, WorkFileNeverFollowsALinkAndAFailureNamesTheFile) {
  const fs::path work = CopyFolder();
  std::ofstream(folder_ / "victim") << "keep";
  fs::create_symlink(folder_ / "victim", work / "RunSEN.TMP");
  BuildingRecord b = OneRoom();
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  EXPECT_EQ(Bytes((folder_ / "victim").string()), "keep");
  EXPECT_FALSE(fs::is_symlink(b.ConcWorkFile));
  EXPECT_EQ(ReadBack(b).size(), static_cast<std::size_t>(b.Scenario.NumOutputRecords));

  fs::create_directories(work / "BlockSEN.TMP");  // a folder where the file goes
  b.MasterFile = "Block";
  EXPECT_EQ(Run(b), RunOutcome::Failed);
  ASSERT_EQ(prompt_.shown.size(), 1U);
  EXPECT_EQ(prompt_.shown[0].text, "Error.  The work file " + (work / "BlockSEN.TMP").string() +
                                       " could not be written: Is a directory.");
}

// Two copies of the program given one chosen work folder each read back their own results,
// whatever the other ran in between.
TEST_F(ConcentrationRunTest, TwoCopiesSharingAChosenFolderKeepTheirOwnResults) {
  BuildingRecord mine = OneRoom();  // 48 h from 10 mg/m³
  ASSERT_EQ(Run(mine), RunOutcome::Completed);
  testing::OtherCopy other([&](testing::OtherCopy& self) {
    BuildingRecord theirs = FlushedRoom(24);  // a day of clean air
    Run(theirs);
    self.Send("ran");
    self.Receive();  // until the test's copy has run again
    const auto rows = ReadBack(theirs);
    const bool own = static_cast<int>(rows.size()) == theirs.Scenario.NumOutputRecords &&
                     rows.back()[0] == 24 && rows.front()[2] == 0;
    self.Send(own ? "own" : "another's");
  });
  ASSERT_EQ(other.Receive(), "ran");
  const auto rows = ReadBack(mine);
  EXPECT_EQ(static_cast<int>(rows.size()), mine.Scenario.NumOutputRecords);
  EXPECT_GE(rows.back()[0], 48);
  EXPECT_GT(rows.front()[2], 9);
  ASSERT_EQ(Run(mine), RunOutcome::Completed);
  other.Send("ran");
  EXPECT_EQ(other.Receive(), "own");
}

// A run that fills the disk names the work file and the system's reason, not the data. The
// disk is a small file system of its own where the test may mount one (in a mount namespace
// of the other copy's), otherwise a write that fails as on a full disk.
TEST_F(ConcentrationRunTest, AFullDiskIsReportedWithTheSystemsReason) {
  const fs::path tmp = folder_ / "tmp";
  fs::create_directories(tmp);
  testing::OtherCopy copy([&](testing::OtherCopy& self) {
    const bool mounted = ::unshare(CLONE_NEWNS) == 0 &&
                         ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                         ::mount("tmpfs", tmp.c_str(), "tmpfs", 0, "size=4k") == 0;
    if (!mounted) SetWorkFileWriteFault(ENOSPC);
    BuildingRecord b = OneRoom();
    b.Scenario.YearsSimulated = 0.1F;  // more records than one block holds
    self.Send(Run(b) == RunOutcome::Failed ? "failed" : "not failed");
    self.Send(b.ConcWorkFile);
    for (const auto& shown : prompt_.shown) self.Send(shown.text);
  });
  EXPECT_EQ(copy.Receive(), "failed");
  const std::string file = copy.Receive();
  EXPECT_EQ(fs::path(file).parent_path().parent_path(), tmp);
  EXPECT_EQ(copy.Receive(),
            "Error.  The work file " + file + " could not be written: No space left on device.");
  EXPECT_EQ(copy.Receive(), "");  // and nothing else
}

TEST_F(ConcentrationRunTest, ZeroRoomVolumeFailsBeforeAnyFile) {
  BuildingRecord b = OneRoom();
  b.RoomList[1].Volume = 0;
  EXPECT_EQ(Run(b), RunOutcome::Failed);
  ASSERT_FALSE(prompt_.shown.empty());
  EXPECT_EQ(prompt_.shown.back().text,
            "Error. 11 Check data input. Probable 0 sink area or no run time.");
  EXPECT_EQ(prompt_.shown.back().title, "ERROR");
  EXPECT_EQ(prompt_.shown.back().icon, MessageIcon::None);
  EXPECT_TRUE(b.ConcWorkFile.empty());
}

TEST_F(ConcentrationRunTest, ZeroStepAndShrinkingGrowthFactorAreMended) {
  BuildingRecord b = OneRoom();
  b.Scenario.StepSize = 0;
  b.Scenario.YearsSimulated = 0;  // the run still computes its first steps
  settings_.step_adjust_factor = 0.5F;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  EXPECT_EQ(b.Scenario.StepSize, 0.1F);
  EXPECT_EQ(rec_.steps, 2);
  ASSERT_EQ(prompt_.shown.size(), 2U);
  EXPECT_NE(prompt_.shown[0].text.find("growth factor"), std::string::npos);
  EXPECT_EQ(prompt_.shown[1].text,
            "Check scenario input.  You probably have not entered information on how long you "
            "want the simulation to run.");
}

TEST_F(ConcentrationRunTest, VentilationScheduleChangesTheFlushRate) {
  // 0.5 air changes an hour for 10 h, then 2; no cycle.
  BuildingRecord b = OneRoom();
  ScenarioRecord& s = b.Scenario;
  s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 0;
  s.ConstantACH = "N";
  s.VentRate[1] = 0.5F;
  s.VentTime[2] = 10;
  s.VentRate[2] = 2;
  s.YearsSimulated = 12.0F / 8760;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  const double c10 = 10 * std::exp(-5.0);
  for (const auto& r : rec_.records) {
    const double t = r.time;
    // The change is taken at the first step that starts at or after 10 h.
    if (t > 9.95 && t < 10.25) continue;
    const double want = t < 10 ? 10 * std::exp(-0.5 * t) : c10 * std::exp(-2 * (t - 10));
    ASSERT_NEAR(r.conc[1], want, 2e-3 * want) << t;
  }
  EXPECT_EQ(s.VentRate[1], 0.5F);
  EXPECT_EQ(s.OverallACH, 0.0F);
  EXPECT_EQ(s.NaturalFromOutdoors[1], 0.0F);
}

TEST_F(ConcentrationRunTest, OneVentilationPointHoldsForTheWholeRun) {
  BuildingRecord b = OneRoom();
  ScenarioRecord& s = b.Scenario;
  s.ConstantACH = "N";
  s.VentScheduleFlag = "Y";  // cycling a single point must not switch to an unset rate
  s.VentRate[1] = 0.5F;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  ExpectRecords([](double t) { return 10 * std::exp(-0.5 * t); }, 1, 1e-4);
}

TEST_F(ConcentrationRunTest, HistoryOfOutdoorAirOnlyAtZeroStillRecirculates) {
  // The HVAC history scales only the outdoor air, and its fraction is 0: the system still
  // returns 100 m³/h of the room's air and supplies it back, so a sealed room keeps its 10.
  BuildingRecord b = OneRoom();
  ScenarioRecord& s = b.Scenario;
  s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 0;
  s.HVACType = 1;
  s.HVACFilterType = 0;
  s.HVACSupply[1] = s.HVACReturn[1] = 100;
  s.HVACHistoryOutdoorOnly = kTrue;
  s.ConstantHVAC = "N";
  s.HVACHistoryFraction[1] = 0;
  s.YearsSimulated = 5.0F / 8760;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  ASSERT_FALSE(rec_.records.empty());
  for (const auto& r : rec_.records) ASSERT_NEAR(r.conc[1], 10, 1e-4) << r.time;
}

TEST_F(ConcentrationRunTest, GrownStepIsCutTwoStepsAheadOfTheFirstVentilationChange) {
  // 0.5 air changes an hour from a ventilation schedule; the step doubles to 0.2 h at the
  // 201st record (t = 20.1 h, 4.9 % change per record is steady). The step that starts
  // within two steps of the change at 30.05 h (t = 29.7 h) is cut back to 0.1 h, so there
  // is a record at 29.8 h, as before every later change.
  BuildingRecord b = OneRoom();
  ScenarioRecord& s = b.Scenario;
  s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 0;
  s.ConstantACH = "N";
  s.VentRate[1] = 0.5F;
  s.VentTime[2] = 30.05F;
  s.VentRate[2] = 0.5F;
  s.YearsSimulated = 31.0F / 8760;
  settings_.step_adjust_factor = 2;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  ExpectRecords([](double t) { return 10 * std::exp(-0.5 * t); }, 1, 1e-4);
  auto near = [this](double t) {
    return std::any_of(rec_.records.begin(), rec_.records.end(),
                       [t](const Recorder::Rec& r) { return std::fabs(r.time - t) < 0.02; });
  };
  EXPECT_TRUE(near(20.3));   // grown
  EXPECT_FALSE(near(20.2));  // grown
  EXPECT_TRUE(near(29.7));
  EXPECT_TRUE(near(29.8));  // cut back
  EXPECT_TRUE(near(29.9));
}

TEST_F(ConcentrationRunTest, RecordsComeEverySecondStepAfterAnOutputIntervalOfTwentySteps) {
  // A pulse of 100 mg/h during the first step of 0.125 h into 50 m³ flushed at 0.1 an hour:
  // the first step changes the room from 0 and makes a record, whose output interval is
  // still 20 steps (2.5 h). After that the room changes by 1.25 % a step, so records come
  // when the interval, now 2 steps, has passed: the step starting after 2.5 h, then every
  // second step. The last step is cut short to end the run at 4.9 h.
  BuildingRecord b = OneRoom();
  ScenarioRecord& s = b.Scenario;
  s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 5;
  s.InitialConc[1][0] = 0;
  s.StepSize = 0.125F;
  s.YearsSimulated = 4.9F / 8760;
  AddConstantSource(b);
  s.Sources[1][1].TimeOff[1] = 0.125F;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  std::vector<float> times;
  for (const auto& r : rec_.records) times.push_back(r.time);
  const std::vector<float> want{0.125F, 2.75F, 3, 3.25F, 3.5F, 3.75F, 4, 4.25F, 4.5F, 4.75F, 4.9F};
  EXPECT_EQ(times, want);
  const double first = 20 * (1 - std::exp(-0.0125));
  ExpectRecords([first](double t) { return first * std::exp(-0.1 * (t - 0.125)); }, 1, 1e-5);
}

TEST_F(ConcentrationRunTest, StepGrowsEveryTwoHundredSteadyRecordsAndHalvesAfterABlock) {
  // A room that barely changes (0.0001 an hour) is steady at every check: the step doubles
  // after every 200th record of the buffer up to 24 h, and halves after each block of 1,501
  // records is written. Nothing else changes the step.
  BuildingRecord b = OneRoom();
  ScenarioRecord& s = b.Scenario;
  s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 0.005F;
  s.StepSize = 0.125F;
  s.YearsSimulated = 8.5F;
  settings_.step_adjust_factor = 2;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  const auto& ends = rec_.step_ends;
  ASSERT_GT(ends.size(), 3000U);
  std::size_t next = 0;  // the next record to match with a step
  double step = 0.125;
  int grown = 0;
  int halved = 0;
  for (std::size_t k = 0; k < ends.size(); ++k) {
    const double dt = k == 0 ? ends[0] : ends[k] - ends[k - 1];
    if (k + 1 == ends.size()) {
      // The last step is cut short to end on the simulated period.
      EXPECT_LE(dt, step * (1 + 1e-3));
      EXPECT_NEAR(ends[k], 8.5 * 8760, 0.01);
      if (next < rec_.records.size() && rec_.records[next].time == ends[k]) ++next;
      break;
    }
    ASSERT_NEAR(dt, step, 1e-3 * step + 1e-3) << "step " << k;
    if (next < rec_.records.size() && rec_.records[next].time == ends[k]) {
      const int index = static_cast<int>(next % 1501);  // place in the buffer
      if (index > 0 && index % 200 == 0 && step < 24) {
        step = std::min(step * 2, 24.0);
        ++grown;
      }
      if (index == 1500 && step > 0.125) {
        step /= 2;
        ++halved;
      }
      ++next;
    }
  }
  EXPECT_EQ(next, rec_.records.size());
  EXPECT_GE(grown, 8);
  EXPECT_GE(halved, 2);
  double longest = 0;
  for (std::size_t k = 1; k < ends.size(); ++k)
    longest = std::max<double>(longest, ends[k] - ends[k - 1]);
  EXPECT_NEAR(longest, 24, 0.01);
}

TEST_F(ConcentrationRunTest, ExactlyOneBufferOfRecordsIsOneBlockAndTheEndLine) {
  // 1,501 steps of 0.125 h, each changing the room by 2.5 %: 1,501 records, written as one
  // block when the buffer fills; the end of the run adds only the end line.
  BuildingRecord b = OneRoom();
  ScenarioRecord& s = b.Scenario;
  s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 10;
  s.StepSize = 0.125F;
  s.YearsSimulated = 187.625F / 8760;
  s.LastOutputTime = 99;  // from an earlier run
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  ASSERT_EQ(rec_.records.size(), 1501U);
  EXPECT_EQ(s.NumOutputRecords, 1501);
  EXPECT_EQ(s.LastOutputTime, 187.625F);
  const std::string bytes = Bytes(b.ConcWorkFile);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 1502);
  const std::string last =
      " 187.625 , 0 ," + FileSingle(rec_.records.back().conc[1]) + "\r\n-999 \r\n";
  ASSERT_GE(bytes.size(), last.size());
  EXPECT_EQ(bytes.substr(bytes.size() - last.size()), last);
  EXPECT_EQ(bytes.substr(0, 22), " .125 , 0 , 9.753099 \r");
}

TEST_F(ConcentrationRunTest, ManagedFlowsHoldFromTheStartToTheEndOfTheirPeriod) {
  // 0.5 air changes an hour, but from 2.05 h to 4.05 h (off the grid of 0.125 h steps) the
  // managed set flushes 2 an hour.
  BuildingRecord b = OneRoom();
  ScenarioRecord& s = b.Scenario;
  s.StepSize = 0.125F;
  s.YearsSimulated = 8.0F / 8760;
  ManagedPeriodStart(s) = 2.05F;
  ManagedPeriodEnd(s) = 4.05F;
  s.ManagedFromOutdoors[1] = s.ManagedToOutdoors[1] = 100;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  const double c2 = 10 * std::exp(-0.5 * 2.05);
  const double c4 = c2 * std::exp(-2 * 2.0);
  ExpectRecords(
      [&](double t) {
        if (t <= 2.05) return 10 * std::exp(-0.5 * t);
        if (t <= 4.05) return c2 * std::exp(-2 * (t - 2.05));
        return c4 * std::exp(-0.5 * (t - 4.05));
      },
      1, 1e-5);
  EXPECT_FLOAT_EQ(rec_.records.back().time, 8);  // the end of the simulated period
  EXPECT_EQ(s.ManagedFlowFlag.str(), " ");       // as the user left it
}

// The cases of inputs that change within a step: a room of 10 m³ flushed with 100 m³/h
// (a loss of 10 an hour) at 0.1 h steps unless said, against the exact solutions.
class ChangingInputsTest : public ConcentrationRunTest {
 protected:
  static BuildingRecord TenCubicMetres(float hours) {
    BuildingRecord b = FlushedRoom(hours);
    b.RoomList[1].Volume = 10;
    b.Scenario.NaturalFromOutdoors[1] = b.Scenario.NaturalToOutdoors[1] = 100;
    return b;
  }
  static void OutdoorStep(ScenarioRecord& s, float at) {
    s.ConstantOutdoorConc = "N";
    s.NumOutdoorConcPoints = 2;
    s.OutdoorConcTime[2] = at;
    s.OutdoorConc[2][0] = 1;
  }
  // A source of `model` in room 1 with its first three parameters, on from 0 to `off`.
  static void AddModelSource(BuildingRecord& b, int model, float size,
                             const std::array<float, 3>& params, float off = 1e6F) {
    SourceRecord& src = AddConstantSource(b, 1, 0, 0, off);
    src.Model = static_cast<int16_t>(model);
    src.Size = size;
    for (int i = 0; i < 3; ++i) src.Params[i][0] = params[static_cast<std::size_t>(i)];
  }
  // Room 1 at the record of time t; NaN (and a failure) when there is none.
  float RoomAt(float t) const {
    const Recorder::Rec* r = RecordAt(t);
    EXPECT_NE(r, nullptr) << "no record at " << t;
    return r != nullptr ? r->conc[1] : std::nanf("");
  }
  // Every record within `share` of `peak` of the exact value at its time.
  template <class F>
  void ExpectWithin(const F& exact, double peak, double share) {
    ASSERT_FALSE(rec_.records.empty());
    double worst = 0;
    float at = 0;
    for (const auto& r : rec_.records) {
      const double off = std::fabs(r.conc[1] - exact(static_cast<double>(r.time)));
      if (off > worst) std::tie(worst, at) = std::pair{off, r.time};
    }
    EXPECT_LE(worst, share * peak) << "at " << at;
  }
};

TEST_F(ConcentrationRunTest, KeptSystemsGiveTheSameBitsAsWorkingEachOutAgain) {
  // Three days of the largest building with flows that change every hour, once keeping
  // every system met and once keeping only the last.
  const auto run = [this](std::size_t kept) {
    BuildingRecord b = HourlyFlowsScenario(3.0F / 365);
    settings_.systems_kept = kept;
    rec_ = Recorder();
    EXPECT_EQ(Run(b), RunOutcome::Completed);
    return Bytes(b.ConcWorkFile);
  };
  const std::string kept = run(48);
  EXPECT_GT(kept.size(), 100000U);
  EXPECT_EQ(run(1), kept);
}

TEST_F(ChangingInputsTest, ASourceSwitchedBetweenStepsEmitsFromItsSwitch) {
  // 10 mg/h from 1.05 h to 3.05 h: the room approaches 0.1 mg/m³ from 1.05 h and leaves it
  // from 3.05 h, exactly as if the steps ended there.
  BuildingRecord b = TenCubicMetres(5);
  AddConstantSource(b, 1, 10, 1.05F, 3.05F);
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  const auto exact = [](double t) {
    if (t <= 1.05) return 0.0;
    if (t <= 3.05) return 0.1 * (1 - std::exp(-10 * (t - 1.05)));
    return 0.1 * (1 - std::exp(-20.0)) * std::exp(-10 * (t - 3.05));
  };
  ExpectWithin(exact, 0.1, 1e-4);
  EXPECT_NEAR(RoomAt(1.1F), 0.03935, 1e-5);
  EXPECT_NEAR(RoomAt(3.1F), 0.06065, 1e-5);
  EXPECT_NEAR(b.Scenario.TotalEmitted[0], 20, 1e-4);
}

TEST_F(ChangingInputsTest, OutdoorAirReachesTheRoomFromItsChangeAlsoThroughTheHVACSystem) {
  // Outdoors steps from 0 to 1 mg/m³ at 1.05 h, through the windows.
  BuildingRecord b = TenCubicMetres(3);
  OutdoorStep(b.Scenario, 1.05F);
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  ExpectWithin([](double t) { return t <= 1.05 ? 0 : 1 - std::exp(-10 * (t - 1.05)); }, 1, 1e-4);
  EXPECT_NEAR(RoomAt(1.1F), 0.3935, 1e-4);
  EXPECT_NEAR(RoomAt(1.2F), 0.7769, 1e-4);

  // At 1 h, into a room fed only by the HVAC system: it exhausts all of its 100 m³/h of
  // return air and supplies 100 m³/h of outdoor air, which it takes in at the value of the
  // step it supplies.
  BuildingRecord h = TenCubicMetres(3);
  ScenarioRecord& s = h.Scenario;
  s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 0;
  s.HVACType = 1;
  s.HVACSupply[1] = s.HVACReturn[1] = 100;
  s.HVACOutdoorAirTotal = s.HVACMakeUpTotal = 100;
  OutdoorStep(s, 1);
  rec_ = Recorder();
  ASSERT_EQ(Run(h), RunOutcome::Completed);
  ExpectWithin([](double t) { return t <= 1 ? 0 : 1 - std::exp(-10 * (t - 1)); }, 1, 1e-4);
  EXPECT_NEAR(RoomAt(1.2F), 0.8647, 1e-4);
  EXPECT_NEAR(RoomAt(1.3F), 0.9502, 1e-4);
}

TEST_F(ChangingInputsTest, AMassTransferLayerNeverHoldsTheAirAboveItsEquilibrium) {
  // A sealed room of 1 m³ with 5 m² of a layer (C0 10 mg/m³, k1 3 m/h, 1000 mg/m² at the
  // start and as its reference): the air gains k1 S / V (C0 m / M0 - C) and the layer loses
  // it, so the air rises towards a S C0 / (a + b) with a = k1 S / V = 15 and b = k1 C0 / M0.
  BuildingRecord b = TenCubicMetres(2);
  b.RoomList[1].Volume = 1;
  ScenarioRecord& s = b.Scenario;
  s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 0;
  SourceRecord& layer = AddConstantSource(b, 1, 0);
  layer.Model = 0;
  layer.Size = 5;
  layer.Params[0][0] = 10;
  layer.Params[1][0] = 3;
  layer.Params[2][0] = layer.Params[3][0] = 1000;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  const double a = 15;
  const double bb = 3.0 * 10 / 1000;
  const auto exact = [&](double t) { return a * 10 * (1 - std::exp(-(a + bb) * t)) / (a + bb); };
  for (const auto& r : rec_.records) ASSERT_LE(r.conc[1], 10.0F) << r.time;
  ExpectWithin(exact, 10, 1e-3);
  EXPECT_NEAR(RoomAt(0.1F), exact(0.1), 1e-3 * 10);
  // What the air holds is what the layer gave.
  EXPECT_NEAR(s.TotalEmitted[0], rec_.records.back().conc[1], 1e-4 * 10);
}

TEST_F(ChangingInputsTest, AnHVACFilterStopsWhereItReachesItsCapacity) {
  // 100 mg/h into a room whose return air passes a filter keeping half; the filter holds
  // 5 mg. It fills within a step at every step size, and stops filtering there.
  for (float step : {0.1F, 0.3F, 1.0F}) {
    SCOPED_TRACE(step);
    BuildingRecord b = TenCubicMetres(6);
    ScenarioRecord& s = b.Scenario;
    s.StepSize = step;
    s.HVACType = 1;
    s.HVACFilterType = 9;  // user defined: the penetration as entered
    s.FilterPenetration[0][0] = 0.5F;
    s.FilterCapacity = 5;
    s.HVACSupply[1] = s.HVACReturn[1] = 50;
    AddConstantSource(b, 1, 100);
    rec_ = Recorder();
    ASSERT_EQ(Run(b), RunOutcome::Completed);
    EXPECT_NEAR(s.AirCleanerMass[0], 5, 5e-4);
    // Once full the room is at its steady value without the filter, 100 / 100 mg/m³.
    EXPECT_NEAR(rec_.records.back().conc[1], 1, 1e-4);
  }
}

TEST_F(ChangingInputsTest, ASinkReleasesAsItsLoadingChangesWithinTheStep) {
  // The sealed room of 50 m³ with a 10 m² sink (ka 0.5 m/h, kd 0.1 /h), 10 mg/m³ at the
  // start: dC/dt = -0.1 C + 0.02 M and dM/dt = 0.5 C - 0.1 M, whose rates are 0 and -0.2.
  for (const auto& [step, share] : {std::pair{0.1F, 1e-4}, std::pair{1.0F, 1e-3}}) {
    SCOPED_TRACE(step);
    BuildingRecord b = OneRoom();
    ScenarioRecord& s = b.Scenario;
    s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 0;
    s.StepSize = step;
    s.NumSinks[1] = 1;
    s.Sinks[1][1].Area = 10;
    s.Sinks[1][1].ka[0] = 0.5F;
    s.Sinks[1][1].kd[0] = 0.1F;
    rec_ = Recorder();
    ASSERT_EQ(Run(b), RunOutcome::Completed);
    ExpectWithin([](double t) { return 5 + 5 * std::exp(-0.2 * t); }, 10, share);
  }
}

TEST_F(ChangingInputsTest, AFastDecayingSourceIsExactAtTheFirstRecord) {
  // R0k of 100 mg/h decaying at 2 an hour: C = R0 / V (e^(-k t) - e^(-L t)) / (L - k).
  BuildingRecord b = TenCubicMetres(3);
  SourceRecord& src = AddConstantSource(b, 1, 0);
  src.Model = 1;
  src.Params[0][0] = 100;
  src.Params[1][0] = 2;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  const auto exact = [](double t) { return 10 * (std::exp(-2 * t) - std::exp(-10 * t)) / 8; };
  ASSERT_EQ(rec_.records.front().time, 0.1F);
  EXPECT_NEAR(rec_.records.front().conc[1], exact(0.1), 1e-4 * exact(0.1));
  ExpectWithin(exact, exact(std::log(5.0) / 8), 1e-4);
}

TEST_F(ChangingInputsTest, AnRTSourceStartsAtItsOwnAgeWithinAStep) {
  // R/T of Alpha 10 mg/h with P1 0.5, which emits from 0.05 day (1.2 h), at 0.25 h steps:
  // its rate at age a is 10 / sqrt(a / 24).
  BuildingRecord b = TenCubicMetres(3);
  b.Scenario.StepSize = 0.25F;
  SourceRecord& src = AddConstantSource(b, 1, 0);
  src.Model = 4;
  src.Params[0][0] = 10;
  src.Params[1][0] = 0.5F;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  // The exact room, dC/dt = rate / V - 10 C, by a fine quadrature of its solution.
  const double first = 24 * 0.05F;
  const auto exact = [first](double t) {
    double c = 0;
    const int n = 20000;
    for (int i = 0; i < n && t > first; ++i) {
      const double s = first + (t - first) * (i + 0.5) / n;
      c += 10 / std::sqrt(s / 24) / 10 * std::exp(-10 * (t - s)) * (t - first) / n;
    }
    return c;
  };
  ExpectWithin(exact, exact(first + 0.5), 1e-4);
}

TEST_F(ChangingInputsTest, AShowersWaterTakesUpWhatTheAirHoldsWhileItRuns) {
  // A shower (KOL 3, H 0.02, 100 mg/m³ in the water, a water flow S of 2) from 0 to 1.05 h:
  // the water gives T (Cw - C / H) with T = S (1 - e^(-KOL / S)), so the room rises at
  // T Cw / V and loses L + T / (H V) an hour; then it only flushes.
  BuildingRecord b = TenCubicMetres(3);
  AddModelSource(b, 5, 2, {3, 0.02F, 100}, 1.05F);
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  const double transfer = 2 * (1 - std::exp(-1.5));
  const double loss = 10 + transfer / (0.02 * 10);
  const double steady = transfer * 100 / 10 / loss;
  const auto rising = [&](double t) { return steady * (1 - std::exp(-loss * t)); };
  const auto exact = [&](double t) {
    return t <= 1.05 ? rising(t) : rising(1.05) * std::exp(-10 * (t - 1.05));
  };
  ExpectWithin(exact, steady, 1e-4);
  // What the water gave: T Cw over its 1.05 h less T / H of the air's integral.
  const double integral = steady * (1.05 - (1 - std::exp(-loss * 1.05)) / loss);
  const double given = transfer * (100 * 1.05 - integral / 0.02);
  EXPECT_NEAR(b.Scenario.TotalEmitted[0], given, 1e-4 * given);
}

TEST_F(ChangingInputsTest, AHeldPaint2RateNeverCarriesTheAirPastItsEquilibrium) {
  // Paint2's surface layer alone (C0 10 mg/m³, k1 3 m/h, MVB0 10 mg/m² over 5 m², no
  // substrate) in a sealed room of 1 m³: the air gains k1 S / V (C0 m / MVB0 - C), 15 an
  // hour, and the layer loses as much, which lowers its own equilibrium at k1 C0 / MVB0, 3 an
  // hour. Air and layer meet where C = C0 m / MVB0 and V C + S m = S MVB0: 8.333 mg/m³.
  // Held for a whole step, the start's rate would pour the layer into the air (50 mg/m³ at
  // a 1 h step) or, limited by the air's side alone, leave it 18 % above, where a layer that
  // only releases keeps it.
  const double equilibrium = 10.0 * 5 / (5 + 10.0 / 10);
  for (float step : {1.0F, 0.5F, 0.3F, 0.1F}) {
    rec_ = {};
    BuildingRecord b = TenCubicMetres(4);
    ScenarioRecord& s = b.Scenario;
    b.RoomList[1].Volume = 1;
    s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 0;
    s.StepSize = step;
    AddModelSource(b, 3, 5, {10, 3, 10});
    ASSERT_EQ(Run(b), RunOutcome::Completed);
    for (const auto& r : rec_.records) ASSERT_LE(r.conc[1], equilibrium * 1.001) << step;
    EXPECT_NEAR(rec_.records.back().conc[1], equilibrium, 1e-3 * equilibrium) << step;
  }
}

// Everything the user entered, as one comparable list.
std::vector<float> Inputs(const BuildingRecord& b) {
  const ScenarioRecord& s = b.Scenario;
  std::vector<float> v{s.OverallACH,          s.StepSize,
                       ManagedPeriodStart(s), ManagedPeriodEnd(s),
                       s.HVACOutdoorAirTotal, s.HVACMakeUpTotal};
  auto add = [&v](const auto& array) {
    for (const auto& x : array) {
      if constexpr (std::is_arithmetic_v<std::decay_t<decltype(x)>>)
        v.push_back(static_cast<float>(x));
      else
        v.insert(v.end(), x.begin(), x.end());
    }
  };
  add(s.VentRate);
  add(s.VentTime);
  add(s.HVACHistoryFraction);
  add(s.HVACHistoryTime);
  add(s.NaturalFromOutdoors);
  add(s.NaturalToOutdoors);
  add(s.NaturalRoomFlows);
  add(s.HVACSupply);
  add(s.HVACReturn);
  add(s.HVACExhaust);
  add(s.HVACOutdoorAir);
  add(s.HVACRoomFlows);
  add(s.BaseHVACSupply);
  add(s.BaseHVACReturn);
  add(s.FilterPenetration);
  add(s.InitialConc);
  add(s.OutdoorConc);
  add(s.PollutantWork);
  for (int r = 0; r < kRoomSlots; ++r) {
    for (const auto& sink : s.Sinks[r]) add(sink.Mass);
    for (const auto& src : s.Sources[r]) {
      add(src.Params);
      add(LiquidMass(src));
      add(MolesLeft(src));
      v.push_back(src.SourceAge);
      v.push_back(src.SpillArea);
    }
  }
  v.push_back(s.HVACInUse);
  v.push_back(s.ConstantHVAC[0]);
  v.push_back(s.ManagedFlowFlag[0]);
  return v;
}

TEST_F(ConcentrationRunTest, RunsNeverChangeWhatTheUserEntered) {
  BuildingRecord b = OneRoom();
  ScenarioRecord& s = b.Scenario;
  s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 0;
  s.OverallACH = 0.5F;
  s.ConstantHVAC = "n";
  s.HVACType = 1;
  s.HVACSupply[1] = s.HVACReturn[1] = 100;
  s.HVACHistoryFraction[1] = 1;
  s.HVACHistoryTime[2] = 6;
  s.HVACHistoryFraction[2] = 0.25F;
  s.HVACHistoryTime[3] = 12;
  s.HVACHistoryFraction[3] = 1;
  s.HVACHistoryCycle = "Y";
  s.NumSinks[1] = 1;
  s.Sinks[1][1] = SinkRecord{"Carpet", {}, {}, 10, {}, ""};
  s.Sinks[1][1].ka[0] = 0.3F;
  s.Sinks[1][1].kd[0] = 0.05F;
  ManagedPeriodStart(s) = 20;
  ManagedPeriodEnd(s) = 22;
  s.ManagedSupply[1] = s.ManagedReturn[1] = 40;
  AddConstantSource(b);
  SourceRecord& layer = s.Sources[1][++s.NumSources[1]];
  layer.Model = 0;  // mass transfer from a layer that empties
  layer.Params[0][0] = 2;
  layer.Params[1][0] = 0.5F;
  layer.Params[2][0] = 100;
  layer.Params[3][0] = 100;
  layer.Size = 1;
  layer.NumCycles = 1;
  layer.TimeOn[1] = 1;
  layer.TimeOff[1] = 30;
  layer.CycleRepeats = "D";
  s.Pollutants[0].C0 = 1000;
  s.YearsSimulated = 2.0F / 365;

  ASSERT_EQ(Run(b), RunOutcome::Completed);
  const std::string first = Bytes(b.ConcWorkFile);
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  EXPECT_EQ(Bytes(b.ConcWorkFile), first);  // the same scenario gives the same bytes

  for (int run = 0; run < 10; ++run) {
    // The user edits something between runs; the next run must see the edit.
    s.OverallACH = 0.5F + 0.1F * run;
    s.HVACHistoryFraction[2] = 0.1F * run;
    s.Sinks[1][1].kd[0] = 0.05F + 0.01F * run;
    const std::vector<float> before = Inputs(b);
    rec_ = Recorder();
    ASSERT_EQ(Run(b), RunOutcome::Completed) << run;
    ASSERT_EQ(Inputs(b), before) << run;
    EXPECT_EQ(s.ConstantHVAC.str(), "n");
  }
  // The last edit took effect: a run with the first scenario's values gives the first bytes.
  s.OverallACH = 0.5F;
  s.HVACHistoryFraction[2] = 0.25F;
  s.Sinks[1][1].kd[0] = 0.05F;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  EXPECT_EQ(Bytes(b.ConcWorkFile), first);
  EXPECT_TRUE(prompt_.shown.empty()) << prompt_.shown[0].text;
}

}  // namespace
}  // namespace quarn

namespace quarn {
namespace {

TEST_F(ConcentrationRunTest, SwitchesTakeEffectAtTheirStepBoundaries) {
  // 10 mg/h on from 1 h to 3 h; outdoor air of 0 that steps to 1 mg/m³ at 5 h.
  BuildingRecord b = FlushedRoom(6);
  ScenarioRecord& s = b.Scenario;
  AddConstantSource(b, 1, 10, 1, 3);
  s.ConstantOutdoorConc = "N";
  s.NumOutdoorConcPoints = 2;
  s.OutdoorConcTime[2] = 5;
  s.OutdoorConc[2][0] = 1;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  EXPECT_NEAR(s.TotalEmitted[0], 20, 20 * 1e-4);
  const auto first = std::find_if(rec_.records.begin(), rec_.records.end(),
                                  [](const Recorder::Rec& r) { return r.conc[1] > 0; });
  ASSERT_NE(first, rec_.records.end());
  EXPECT_EQ(first->time, 1.1F);
  const Recorder::Rec* off = RecordAt(3.1F);
  const Recorder::Rec* outdoor = RecordAt(5.1F);
  ASSERT_TRUE(off != nullptr && outdoor != nullptr && RecordAt(5.0F) != nullptr);
  const double c3 = (10.0 / 15) * (1 - std::exp(-1.0));
  EXPECT_NEAR(off->conc[1], c3 * std::exp(-0.05), 0.40086 * 1e-4);
  const double c51 = c3 * std::exp(-1.05) + 1 - std::exp(-0.05);
  EXPECT_NEAR(outdoor->conc[1], c51, c51 * 1e-4);
  EXPECT_EQ(RecordAt(5.0F)->conc[0], 1.0F);
  // The work file's times are the boundaries themselves.
  const std::string bytes = Bytes(b.ConcWorkFile);
  EXPECT_NE(bytes.find("\n 3 , 0 ,"), std::string::npos);
  EXPECT_NE(bytes.find("\n 5 , 1 ,"), std::string::npos);
}

TEST_F(ConcentrationRunTest, GrownStepEndsExactlyOnADailySwitch) {
  // Flushed at 0.3 an hour the room changes by 3 % to 5 % a step, enough for a record at every
  // step and steady enough for the step to grow by 1.2 at every 200th record. A source on
  // from 8 h to 9 h every day switches at 32 h, 33 h and 56 h after the step has grown.
  BuildingRecord b = FlushedRoom(58);
  ScenarioRecord& s = b.Scenario;
  s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 9;
  s.InitialConc[1][0] = 10;
  AddConstantSource(b, 1, 10, 8, 9).CycleRepeats = "D";
  settings_.step_adjust_factor = 1.2F;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  const auto& ends = rec_.step_ends;
  const auto at56 = std::find(ends.begin(), ends.end(), 56.0F);
  ASSERT_NE(at56, ends.end());
  const auto before = std::adjacent_find(ends.begin(), at56, [](float x, float y) {
    return y - x > 0.11F;  // a grown step
  });
  EXPECT_NE(before, at56);
  // The first record after 56 h has the two earlier whole hours and the source's emission
  // since 56 h.
  const auto next = std::find_if(rec_.records.begin(), rec_.records.end(),
                                 [](const Recorder::Rec& r) { return r.time > 56; });
  ASSERT_NE(next, rec_.records.end());
  EXPECT_NEAR(next->total_emitted, 20 + 10 * (next->time - 56), 1e-3);
  EXPECT_NE(Bytes(b.ConcWorkFile).find("\n 32 , 0 ,"), std::string::npos);
}

TEST_F(ConcentrationRunTest, SourcesRaiseASealedRoomInTheScenarioUnits) {
  struct Case {
    const char* units;
    int16_t emission_units;
    float rate;
    float volume;
    double per_hour;  // exact rise, in the scenario's units
  };
  PollutantRecord co{};
  co.MolWt = 28;
  const float ppm = ConvertConcentrationUnits(kMilligrams, kPpm, 100.0F / 50, co).value_or(0);
  const Case cases[] = {
      {"number", 2, 1e9F, 50, 1e9 / (50 * 1e6)},
      {"ppm", 0, 100, 50, ppm},
      {"micrograms", 0, 1, 1, 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.units);
    BuildingRecord b = OneRoom();
    ScenarioRecord& s = b.Scenario;
    s.ConcUnits = s.OutdoorConcUnits = s.InitialConcUnits = c.units;
    s.Pollutants[0].Name = "1";
    s.Pollutants[0].Diameter = 1;
    b.RoomList[1].Volume = c.volume;
    s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 0;
    s.InitialConc[1][0] = 0;
    s.YearsSimulated = 2.0F / 8760;
    AddConstantSource(b, 1, c.rate).EmissionUnits = c.emission_units;
    rec_ = Recorder();
    ASSERT_EQ(Run(b), RunOutcome::Completed) << prompt_.shown.back().text;
    const Recorder::Rec* r = RecordAt(1.0F);
    ASSERT_NE(r, nullptr);
    EXPECT_NEAR(r->conc[1], c.per_hour, c.per_hour * 1e-5);
    // What the window shows as airborne is what was emitted.
    EXPECT_NEAR(r->airborne_mass, r->total_emitted, r->total_emitted * 1e-5);
  }
}

TEST_F(ConcentrationRunTest, ParticleTotalsBalanceInParticles) {
  BuildingRecord b = OneRoom();
  ScenarioRecord& s = b.Scenario;
  s.ConcUnits = s.OutdoorConcUnits = s.InitialConcUnits = "number";
  s.InitialConc[1][0] = 0;
  s.YearsSimulated = 24.0F / 8760;
  s.NumSinks[1] = 1;
  s.Sinks[1][1].Area = 10;
  s.Sinks[1][1].ka[0] = 0.5F;
  s.Sinks[1][1].kd[0] = 0.1F;
  AddConstantSource(b, 1, 1e10F).EmissionUnits = 2;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  const Recorder::Rec& r = rec_.records.back();
  ASSERT_GE(r.time, 24.0F);
  EXPECT_NEAR(r.sink_mass + r.leaving + r.airborne_mass, r.total_emitted, r.total_emitted * 0.01);
  EXPECT_LT(r.leaving, r.total_emitted);
}

// Every emission model, run until its source is spent in one room of 30 m³ flushed by
// 15 m³/h with no sinks: what is in the air at the end plus what left is what the model
// emitted, and a source that holds a finite amount emits that amount. A toluene-like liquid
// (MW 92.14, D 0.0313 m²/h, saturated at 140000 mg/m³) evaporates within a step, so a spill
// that is not stopped at the liquid left emits many times its mass.
TEST_F(ConcentrationRunTest, EveryEmissionModelEmitsNoMoreThanItHolds) {
  struct Case {
    int model;
    double total;  // the analytic emission over the run, 0 where it has no finite total
    void (*set)(SourceRecord&);
  };
  const Case cases[] = {
      // Two layers of 100 and 60 mg; the second would give 100 mg in its first step.
      {0, 160,
       [](SourceRecord& s) {
         s.Params[0][0] = 1000;
         s.Params[1][0] = 0.05F;
         s.Params[2][0] = 100;
         s.Params[4][0] = 1;
         s.Params[5][0] = 60;
       }},
      // R0 · A / k = 10 · 2 / 0.5.
      {1, 40,
       [](SourceRecord& s) {
         s.Params[0][0] = 10;
         s.Params[1][0] = 0.5F;
         s.Size = 2;
       }},
      {2, 0,
       [](SourceRecord& s) {
         s.Params[0][0] = 10;
         s.Params[1][0] = 0.5F;
       }},
      {3, 0,
       [](SourceRecord& s) {
         s.Params[0][0] = 20;
         s.Params[1][0] = 1;
         s.Params[2][0] = 50;
         s.Params[4][0] = 0.5F;
         s.Params[5][0] = 3;
       }},
      {4, 0, [](SourceRecord& s) { s.Params[0][0] = 5; }},
      {5, 0,
       [](SourceRecord& s) {
         s.Params[0][0] = 1;
         s.Params[1][0] = 0.3F;
         s.Params[2][0] = 2;
       }},
      {6, 0, [](SourceRecord& s) { s.Params[0][0] = 3; }},
      // The mixture as a whole, one layer of 100 mg.
      {7, 100,
       [](SourceRecord& s) {
         s.Params[0][0] = 1000;
         s.Params[1][0] = 0.05F;
         s.Params[2][0] = 100;
       }},
      // 1 g of liquid spilled on 1 m².
      {8, 1000,
       [](SourceRecord& s) {
         s.Params[0][0] = 140000;
         s.Params[2][0] = 1000;
         s.GasVelocity = 10;
       }},
      {9, 1000, [](SourceRecord& s) { s.Params[2][0] = 1000; }},
      {10, 1000,
       [](SourceRecord& s) {
         s.Params[0][0] = 140000;
         s.Params[2][0] = 1000;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    BuildingRecord b = FlushedRoom(100);
    ScenarioRecord& s = b.Scenario;
    s.Pollutants[0].MolWt = 92.14F;
    s.Pollutants[0].Diffusivity = 0.0313F;
    s.Pollutants[0].C0 = 140000;
    SourceRecord& src = AddConstantSource(b);
    src.Model = static_cast<int16_t>(c.model);
    src.Params[0][0] = 0;
    c.set(src);
    rec_ = Recorder();
    ASSERT_EQ(Run(b), RunOutcome::Completed);
    const double emitted = s.TotalEmitted[0];
    ASSERT_GT(emitted, 0);
    EXPECT_NEAR(s.AirborneMass[0] + s.LeavingMass[0], emitted, emitted * 0.01);
    if (c.total > 0) {
      EXPECT_NEAR(emitted, c.total, c.total * 0.03);
      // Nothing the room holds at any time is more than the source could have put in it.
      EXPECT_LE(s.PeakConc[1], c.total / 30 * 1.0001);
    }
  }
}

// dC/dt = A C + b for two rooms, solved exactly through the eigenvalues l1, l2 of A (distinct
// whenever the rooms exchange air): e^(At) = (e1 (A - l2) - e2 (A - l1)) / (l1 - l2), and the
// part forced by b the same with (e^(lt) - 1) / l in place of e^(lt), which also holds for a
// sealed pair, whose A has the eigenvalue 0.
struct TwoRoomExact {
  double a11, a12, a21, a22, b1, b2;
  std::array<double, 2> At(double t, std::array<double, 2> c0) const {
    const double tr = a11 + a22;
    const double det = a11 * a22 - a12 * a21;
    const double root = std::sqrt(tr * tr - 4 * det);
    const double l1 = (tr + root) / 2;
    const double l2 = (tr - root) / 2;
    const auto apply = [&](double f1, double f2, double x1, double x2) {
      return std::array<double, 2>{
          (f1 * ((a11 - l2) * x1 + a12 * x2) - f2 * ((a11 - l1) * x1 + a12 * x2)) / (l1 - l2),
          (f1 * (a21 * x1 + (a22 - l2) * x2) - f2 * (a21 * x1 + (a22 - l1) * x2)) / (l1 - l2)};
    };
    const auto grown = [t](double l) {
      return std::fabs(l * t) < 1e-12 ? t : std::expm1(l * t) / l;
    };
    const auto free = apply(std::exp(l1 * t), std::exp(l2 * t), c0[0], c0[1]);
    const auto forced = apply(grown(l1), grown(l2), b1, b2);
    return {free[0] + forced[0], free[1] + forced[1]};
  }
};

// Two rooms of `volume` joined by an open door that carries `door` m³/h each way; room 2
// takes `exhaust` m³/h of clean outdoor air and lets as much out; room 1 starts at
// `initial` mg/m³ and holds a source of `source` mg/h for the first 2 h.
struct OpenDoor {
  float volume, door, exhaust, step, initial, source, hours;
};

BuildingRecord OpenDoorBuilding(const OpenDoor& c) {
  BuildingRecord b;
  b.NumRooms = 2;
  b.MasterFile = "Door";
  b.RoomList[1].Volume = b.RoomList[2].Volume = c.volume;
  b.Neighbors[1][2] = b.Neighbors[2][1] = kTrue;
  ScenarioRecord& s = b.Scenario;
  s.NumPollutants = 1;
  s.Pollutants[0].MolWt = 28;
  MakeSteadyInMilligrams(s);
  s.BuildingPenetration[0] = 1;
  s.NaturalRoomFlows[1][2] = s.NaturalRoomFlows[2][1] = c.door;
  s.NaturalFromOutdoors[2] = s.NaturalToOutdoors[2] = c.exhaust;
  s.InitialConc[1][0] = c.initial;
  s.StepSize = c.step;
  s.YearsSimulated = c.hours / 8760;
  if (c.source > 0) {
    SourceRecord& src = s.Sources[1][++s.NumSources[1]];
    src.Model = 6;
    src.Params[0][0] = c.source;
    src.Size = 1;
    src.NumCycles = 1;
    src.TimeOff[1] = 2;
    src.CycleRepeats = "N";
  }
  return b;
}

TEST_F(ConcentrationRunTest, RoomsThatExchangeAirQuicklyFollowTheExactSolution) {
  const OpenDoor cases[] = {
      {10, 10, 20, 0.1F, 10, 0, 4},  {10, 20, 20, 0.1F, 10, 0, 4},  {10, 50, 20, 0.1F, 10, 0, 4},
      {10, 100, 20, 0.1F, 10, 0, 4}, {10, 200, 20, 0.1F, 10, 0, 4}, {10, 50, 10, 0.1F, 0, 50, 4},
      {2, 40, 0, 0.5F, 10, 0, 3},  // small rooms and a long step: no alternating
  };
  for (const OpenDoor& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.volume << " m3, door " << c.door << ", step " << c.step
                                      << ", source " << c.source);
    BuildingRecord b = OpenDoorBuilding(c);
    rec_ = Recorder();
    ASSERT_EQ(Run(b), RunOutcome::Completed);
    const double v = c.volume;
    const TwoRoomExact on{-c.door / v,  c.door / v, c.door / v, -(c.door + c.exhaust) / v,
                          c.source / v, 0};
    TwoRoomExact off = on;
    off.b1 = 0;
    const std::array<double, 2> at2 = on.At(2, {c.initial, 0});
    const auto exact = [&](double t) {
      return t <= 2 ? on.At(t, {c.initial, 0}) : off.At(t - 2, at2);
    };
    double peak = 0;
    for (double t = 0; t <= c.hours; t += 0.001) peak = std::max({peak, exact(t)[0], exact(t)[1]});
    const double present = c.initial * v;  // mg in the building at the start
    ASSERT_GE(rec_.records.size(), 2U);
    for (const auto& r : rec_.records) {
      const auto want = exact(r.time);
      ASSERT_NEAR(r.conc[1], want[0], 0.01 * peak) << r.time;
      ASSERT_NEAR(r.conc[2], want[1], 0.01 * peak) << r.time;
      // The run's own totals make no mass.
      ASSERT_LE(r.leaving + r.airborne_mass, (present + r.total_emitted) * 1.005) << r.time;
    }
  }
}

TEST_F(ConcentrationRunTest, GrownStepsKeepTheTotalsClosed) {
  // The open door of 50 m³/h with a source of 50 mg/h every morning from 7 h to 8 h, a sink
  // in room 2, for 20 days while the step grows by half at every steady check: what is in
  // the air, in the sink and what left is what was there and what was emitted.
  BuildingRecord b = OpenDoorBuilding({10, 50, 20, 0.1F, 10, 50, 480});
  ScenarioRecord& s = b.Scenario;
  s.Sources[1][1].TimeOn[1] = 7;
  s.Sources[1][1].TimeOff[1] = 8;
  s.Sources[1][1].CycleRepeats = "D";
  s.NumSinks[2] = 1;
  s.Sinks[2][1].Area = 10;
  s.Sinks[2][1].ka[0] = 0.5F;
  s.Sinks[2][1].kd[0] = 0.05F;
  settings_.step_adjust_factor = 1.5F;
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  EXPECT_NEAR(s.TotalEmitted[0], 20 * 50, 1e-3 * 20 * 50);
  for (const auto& r : rec_.records) {
    const double there = 100 + r.total_emitted;
    ASSERT_NEAR(r.leaving + r.airborne_mass + r.sink_mass, there, 0.005 * there) << r.time;
  }
  const auto longest = std::adjacent_find(rec_.step_ends.begin(), rec_.step_ends.end(),
                                          [](float a, float z) { return z - a > 0.11F; });
  EXPECT_NE(longest, rec_.step_ends.end()) << "the step grew";
}

TEST_F(ConcentrationRunTest, DownstreamRoomAndSealedChainAtTheUsualStep) {
  // Room 2 of 50 m³ fed by room 1 of 30 m³, which holds 10 mg/h (outdoor air in: 30 and
  // 20 m³/h, 10 m³/h back from room 2, 50 m³/h out of room 2).
  BuildingRecord b = OneRoom();
  ScenarioRecord& s = b.Scenario;
  b.NumRooms = 2;
  b.RoomList[1].Volume = 30;
  b.RoomList[2].Volume = 50;
  b.Neighbors[1][2] = b.Neighbors[2][1] = kTrue;
  s.NaturalFromOutdoors[1] = 30;
  s.NaturalFromOutdoors[2] = 20;
  s.NaturalToOutdoors[1] = 0;
  s.NaturalToOutdoors[2] = 50;
  s.NaturalRoomFlows[1][2] = 40;
  s.NaturalRoomFlows[2][1] = 10;
  s.InitialConc[1][0] = 0;
  s.YearsSimulated = 3.0F / 8760;
  AddConstantSource(b, 1, 10);
  ASSERT_EQ(Run(b), RunOutcome::Completed);
  const Recorder::Rec* r = RecordAt(2.0F);
  ASSERT_NE(r, nullptr);
  const TwoRoomExact exact{-40.0 / 30, 10.0 / 30, 40.0 / 50, -60.0 / 50, 10.0 / 30, 0};
  const double want = exact.At(2, {0, 0})[1];
  EXPECT_NEAR(r->conc[2], want, 0.005 * want);

  // A sealed chain of three rooms of 30, 50 and 40 m³ exchanging 20 m³/h each way, with
  // 10 mg/h into the first, keeps what it was given for a day.
  BuildingRecord c = OneRoom();
  ScenarioRecord& t = c.Scenario;
  c.NumRooms = 3;
  c.RoomList[1].Volume = 30;
  c.RoomList[2].Volume = 50;
  c.RoomList[3].Volume = 40;
  t.NaturalFromOutdoors[1] = t.NaturalToOutdoors[1] = 0;
  for (int i = 1; i <= 2; ++i) {
    c.Neighbors[i][i + 1] = c.Neighbors[i + 1][i] = kTrue;
    t.NaturalRoomFlows[i][i + 1] = t.NaturalRoomFlows[i + 1][i] = 20;
  }
  t.InitialConc[1][0] = 0;
  t.YearsSimulated = 24.0F / 8760;
  AddConstantSource(c, 1, 10);
  ASSERT_EQ(Run(c), RunOutcome::Completed);
  EXPECT_NEAR(t.TotalEmitted[0], 240, 240 * 1e-4);
  EXPECT_NEAR(t.AirborneMass[0], t.TotalEmitted[0], 0.005 * t.TotalEmitted[0]);
}

// A source emits in each step what its rate gives over the step, from the step in which it
// switches on: the integral of its rate over the hours it is on.
TEST_F(ConcentrationRunTest, SourcesEmitWhatTheirRateGivesFromTheirFirstStep) {
  struct Case {
    const char* what;
    float r0, k, step;
    std::vector<std::pair<float, float>> cycles;
    double emitted;
    const char* repeats = "N";
  };
  const Case cases[] = {
      {"constant R0k at 1 h", 10, 0, 1, {{7, 8}, {18, 19}}, 20},
      {"constant R0k at 0.25 h", 10, 0, 0.25F, {{7, 8}, {18, 19}}, 20},
      {"constant R0k at 0.1 h", 10, 0, 0.1F, {{7, 8}, {18, 19}}, 20},
      {"decaying R0k for 4 h", 10, 0.5F, 0.1F, {{1, 5}}, 10 / 0.5 * (1 - std::exp(-2.0))},
      // Switches inside steps: on for the part of the step it is on.
      {"constant R0k at 0.3 h", 10, 0, 0.3F, {{7, 8}, {18, 19}}, 20},
      {"decaying R0k at 0.3 h", 10, 0.5F, 0.3F, {{1, 5}}, 10 / 0.5 * (1 - std::exp(-2.0))},
      {"the first half of every hour at a 1 h step", 10, 0, 1, {{0, 0.5F}}, 120, "H"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BuildingRecord b = FlushedRoom(24);
    b.Scenario.StepSize = c.step;
    SourceRecord& src = AddConstantSource(b, 1, 0);
    src.Model = 1;
    src.Params[0][0] = c.r0;
    src.Params[1][0] = c.k;
    src.NumCycles = static_cast<int16_t>(c.cycles.size());
    src.CycleRepeats = c.repeats;
    for (std::size_t i = 0; i < c.cycles.size(); ++i) {
      src.TimeOn[i + 1] = c.cycles[i].first;
      src.TimeOff[i + 1] = c.cycles[i].second;
    }
    rec_ = Recorder();
    ASSERT_EQ(Run(b), RunOutcome::Completed);
    EXPECT_NEAR(b.Scenario.TotalEmitted[0], c.emitted, c.emitted * 1e-3);
    // What was emitted is in the air or has left, record by record.
    const Recorder::Rec& last = rec_.records.back();
    EXPECT_NEAR(last.leaving + last.airborne_mass, last.total_emitted, 1e-3 * c.emitted);
  }
}

}  // namespace
}  // namespace quarn
