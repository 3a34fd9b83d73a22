#include "model/average_exposure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "common/scripted_prompt.h"
#include "common/steady_scenario.h"
#include "model/concentration_run.h"
#include "model/exposure.h"
#include "model/lognormal_fit.h"
#include "model/work_file_reader.h"
#include "text/number_text.h"
#include "text/text_reader.h"
#include "text/text_writer.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;

class AverageExposureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = (fs::temp_directory_path() /
               ("quarn_average_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())))
                  .string();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    s_.NumOccupants = 1;
    s_.NumPollutants = 1;
    s_.YearsSimulated = 3.0f / 365.0f;
    OccupantRecord& o = s_.Occupants[1];
    o.AveragingTime = 24;
    o.CumExposureFile = folder_ + "/HoWint01.CMP";
    o.AvgExposureFile = folder_ + "/HoWint01.ave";
  }
  void TearDown() override { fs::remove_all(folder_); }

  void WriteCmp(const std::string& text) {
    ASSERT_TRUE(WriteFileAtomic(s_.Occupants[1].CumExposureFile, text, nullptr));
  }
  // Rows every `step` hours from 0 to `end`, every pollutant's exposure at `value` an hour.
  void WriteConstantCmp(double step, double end, float value, char sep = ',') {
    std::string text;
    for (int k = 0; k * step <= end + 1e-9; ++k) {
      text += FileSingle(static_cast<float>(k * step)) + sep;
      for (int p = 0; p < s_.NumPollutants; ++p)
        text += FileSingle(static_cast<float>(value * k * step)) + sep;
      text += "\r\n";
    }
    WriteCmp(text);
  }
  std::string Ave() {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(s_.Occupants[1].AvgExposureFile, bytes));
    return bytes;
  }

  std::string folder_;
  ScenarioRecord s_;
  testing::ScriptedPrompt prompt_;
};

TEST_F(AverageExposureTest, ConstantExposureAveragesToItselfInEveryWindow) {
  WriteConstantCmp(0.1, 49.0, 3.0f);
  CalculateAverageExposure(s_, ',', prompt_);
  // Windows close at the rows on 24 h and 48 h; the last 1 h opens a third.
  EXPECT_EQ(Ave(), " 24 , 1 , 3 ,\r\n 48 , 2 , 3 ,\r\n");
  EXPECT_TRUE(prompt_.shown.empty());

  // A tab-separated file reads and averages the same.
  WriteConstantCmp(0.1, 49.0, 3.0f, '\t');
  CalculateAverageExposure(s_, '\t', prompt_);
  EXPECT_EQ(Ave(), " 24 \t 1 \t 3 \t\r\n 48 \t 2 \t 3 \t\r\n");
}

TEST_F(AverageExposureTest, TheLastWindowIsWrittenWhenItIsWhole) {
  // The file ends in the second window: written when it reaches 24 h within a thousandth
  // (the Single times of a long run), not when only part of it was gathered.
  const struct {
    double end;
    std::string ave;
  } cases[] = {
      {48.0, " 24 , 1 , 3 ,\r\n 48 , 2 , 3 ,\r\n"},
      {47.99, " 24 , 1 , 3 ,\r\n 47.99 , 2 , 2.99875 ,\r\n"},
      {47.9, " 24 , 1 , 3 ,\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.end);
    WriteConstantCmp(0.01, c.end, 3.0f);
    CalculateAverageExposure(s_, ',', prompt_);
    EXPECT_EQ(Ave(), c.ave);
  }
  EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(AverageExposureTest, TimesNoRunCanWriteAreRefusedBeforeAnyWindow) {
  // 3 days simulated: up to 72 h and the 48 h the last steps may pass it by.
  const struct {
    std::string emp;
    int line;
  } cases[] = {
      {" 0 , 1 ,\r\n 1E+09 , 1 ,\r\n", 2},          // would close a billion windows
      {" 0 , 1 ,\r\n 120.1 , 1 ,\r\n", 2},          // past the end of the run
      {" 0 , 1 ,\r\n 5 , 1 ,\r\n 4 , 1 ,\r\n", 3},  // backwards
      {" -1 , 1 ,\r\n 5 , 1 ,\r\n", 1},
  };
  s_.Occupants[1].AveragingTime = 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.emp);
    prompt_.shown.clear();
    WriteCmp(c.emp);
    CalculateAverageExposure(s_, ',', prompt_);
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0].text,
              "Error.  Line " + std::to_string(c.line) + " of the exposure file " +
                  s_.Occupants[1].CumExposureFile + " is not a line of exposures.");
    EXPECT_FALSE(fs::exists(s_.Occupants[1].AvgExposureFile));
  }

  // Times up to the limit, equal times of a segment boundary included, are read.
  prompt_.shown.clear();
  WriteCmp(" 0 , 1 ,\r\n 5 , 1 ,\r\n 5 , 1 ,\r\n 119 , 1 ,\r\n");
  CalculateAverageExposure(s_, ',', prompt_);
  EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(AverageExposureTest, AveragingTimeOfMoreThanAMillionWindowsIsRefused) {
  s_.YearsSimulated = 100;  // 876,048 h at most
  s_.Occupants[1].Name = "Child";
  s_.Occupants[1].AveragingTime = 0.5f;
  WriteCmp(" 0 , 1 ,\r\n 1 , 1 ,\r\n");
  CalculateAverageExposure(s_, ',', prompt_);
  ASSERT_EQ(prompt_.shown.size(), 1u);
  EXPECT_EQ(prompt_.shown[0].text,
            "Error.  The averaging time of occupant Child would give more than a million averages "
            "over the simulated period.  Go to scenario occupant and define a longer averaging "
            "time.");
  EXPECT_FALSE(fs::exists(s_.Occupants[1].AvgExposureFile));
}

TEST_F(AverageExposureTest, WindowsShareTheRowThatClosesThem) {
  // The cumulative exposure runs straight from row to row: 20 + 0.4 x 25 = 30 at 24 h, an
  // average of 1.25 over window 1, and 45 + 0.9 x 70 = 108 at 48 h, (108 - 30) / 24 = 3.25
  // over window 2. Each window closes at the row that passes its end.
  WriteCmp(" 0 , 0 ,\r\n 10 , 5 ,\r\n 20 , 20 ,\r\n 30 , 45 ,\r\n 50 , 115 ,\r\n");
  CalculateAverageExposure(s_, ',', prompt_);
  EXPECT_EQ(Ave(), " 30 , 1 , 1.25 ,\r\n 50 , 2 , 3.25 ,\r\n");

  // A row longer than a window closes each window it passes, at its own time.
  WriteCmp(" 0 , 0 ,\r\n 60 , 120 ,\r\n");
  CalculateAverageExposure(s_, ',', prompt_);
  EXPECT_EQ(Ave(), " 60 , 1 , 2 ,\r\n 60 , 2 , 2 ,\r\n");
}

TEST_F(AverageExposureTest, LongFileGivesTheSameWindowsAsItsRows) {
  // 7,000 rows: the windows go on over any length.
  s_.NumPollutants = 2;
  WriteConstantCmp(0.01, 69.99, 0.5f);
  CalculateAverageExposure(s_, ',', prompt_);
  const std::string ave = Ave();
  EXPECT_EQ(std::count(ave.begin(), ave.end(), '\n'), 2);
  EXPECT_EQ(ave.substr(0, ave.find('\r')), " 24 , 1 , .5 , .5 ,");
}

TEST_F(AverageExposureTest, ShortPeriodMissingFileAndNoAveragingTime) {
  WriteConstantCmp(1, 10, 3.0f);
  CalculateAverageExposure(s_, ',', prompt_);
  EXPECT_EQ(Ave(), "");  // shorter than one window: an empty file

  s_.Occupants[1].AveragingTime = 0;
  CalculateAverageExposure(s_, ',', prompt_);
  ASSERT_EQ(prompt_.shown.size(), 1u);
  EXPECT_EQ(prompt_.shown[0].text,
            "Error.  You have not defined an averaging time. Go to scenario occupant and define "
            "averaging time.");
  EXPECT_FALSE(fs::exists(s_.Occupants[1].AvgExposureFile));

  prompt_.shown.clear();
  s_.Occupants[1].AveragingTime = 24;
  fs::remove(s_.Occupants[1].CumExposureFile);
  CalculateAverageExposure(s_, ',', prompt_);
  EXPECT_FALSE(fs::exists(s_.Occupants[1].AvgExposureFile));
  EXPECT_TRUE(prompt_.shown.empty());

  WriteCmp(" 0 , 1 ,\r\n 1 , x ,\r\n");
  CalculateAverageExposure(s_, ',', prompt_);
  EXPECT_EQ(prompt_.shown.size(), 1u);
}

// One room of 30 m³ flushed by 15 m³/h of clean air with a constant 10 mg/h source:
// C(t) = (2/3)(1 - e^(-t/2)) mg/m³. One occupant breathes it for the whole day.
BuildingRecord FlushedRoomWithASource() {
  BuildingRecord b;
  b.NumRooms = 1;
  b.MasterFile = "House";
  b.RoomList[1].Name = "Kitchen";
  b.RoomList[1].Volume = 30;
  ScenarioRecord& s = b.Scenario;
  s.NumPollutants = 1;
  MakeSteadyInMilligrams(s);
  s.BuildingPenetration[0] = 1;
  s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 15;
  s.StepSize = 0.1f;
  s.YearsSimulated = 24.0f / 8760.0f;
  SourceRecord& src = s.Sources[1][++s.NumSources[1]];
  src.Model = 6;  // constant emission
  src.Params[0][0] = 10;
  src.Size = 1;
  src.NumCycles = 1;
  src.TimeOff[1] = 1e6f;
  src.CycleRepeats = "N";
  s.ExposureMode = "I";
  s.NumOccupants = 1;
  OccupantRecord& o = s.Occupants[1];
  o.BreathingRate = 0.5f;
  o.EfficiencyFactor = 0.8f;  // F = 0.4 m³/h
  o.EndTime = 24;
  o.TimeLeave[1] = 24;
  o.Location[1] = "Kitchen";
  return b;
}

// The exact mean of C over [a, b], h.
double ExactMean(double a, double b) {
  return 2.0 / 3.0 * (1 - 2 * (std::exp(-a / 2) - std::exp(-b / 2)) / (b - a));
}

TEST_F(AverageExposureTest, ADayOfExposureGivesEveryWholeWindowAndItsExactMean) {
  BuildingRecord b = FlushedRoomWithASource();
  RunSettings settings;
  settings.temp_folder_name = folder_;
  settings.step_adjust_factor = 1;
  settings.max_concentration = 1;
  RunObserver watch;
  ASSERT_EQ(RunConcentrationCalculation(b, settings, prompt_, watch), RunOutcome::Completed);
  ASSERT_TRUE(RunExposureCalculation(b, folder_, ',', prompt_, watch).completed);
  ASSERT_TRUE(prompt_.shown.empty());
  OccupantRecord& o = b.Scenario.Occupants[1];
  // Every line of the .ave file for an averaging time: its window numbers, its averages.
  const auto averages = [&](float hours) {
    o.AveragingTime = hours;
    CalculateAverageExposure(b.Scenario, ',', prompt_);
    std::string ave;
    EXPECT_TRUE(ReadFileBytes(o.AvgExposureFile, ave));
    TextLineSource lines = TextLineSource::FromText(ave);
    std::string line;
    std::vector<float> items;
    std::vector<double> values;
    while (lines.Next(line)) {
      EXPECT_TRUE(SplitNumberLine(line, ',', items));
      EXPECT_EQ(items.size(), 3u);
      EXPECT_EQ(items.at(1), static_cast<float>(values.size() + 1));
      values.push_back(items.at(2));
    }
    return values;
  };
  const std::vector<double> hourly = averages(1);
  const std::vector<double> daily = averages(24);
  ASSERT_EQ(hourly.size(), 24u);
  ASSERT_EQ(daily.size(), 1u);
  EXPECT_NEAR(daily[0] / (0.4 * ExactMean(0, 24)), 1, 1e-3);
  // The hours share out the day without gap or overlap.
  EXPECT_NEAR(std::accumulate(hourly.begin(), hourly.end(), 0.0) / 24 / daily[0], 1, 1e-5);
  // Each 8 h average is the mean of what was breathed over its own 8 h.
  const std::vector<double> eight = averages(8);
  ASSERT_EQ(eight.size(), 3u);
  for (int k = 0; k < 3; ++k) {
    EXPECT_NEAR(eight[k] / (0.4 * ExactMean(8 * k, 8 * k + 8)), 1, 1e-3) << k;
  }
  EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(AverageExposureTest, ParticleModeEndsEachLineWithTheFit) {
  s_.PollutantClass = "PM";
  s_.NumPollutants = 3;
  s_.Pollutants[0].Name = "1";
  s_.Pollutants[1].Name = "2.5um";
  s_.Pollutants[2].Name = "10";
  WriteCmp(" 0 , 0 , 0 , 0 ,\r\n 30 , 30 , 60 , 30 ,\r\n");
  CalculateAverageExposure(s_, ',', prompt_);
  const std::array<float, 3> d{1.0f, 2.5f, 10.0f}, w{1.0f, 2.0f, 1.0f};
  float mmd = 0, gsd = 0;
  LognormalFit(3, d, w, mmd, gsd);
  EXPECT_GT(mmd, 1.0f);
  EXPECT_EQ(Ave(), " 30 , 1 , 1 , 2 , 1 ," + FileSingle(mmd) + "," + FileSingle(gsd) + "\r\n");
}

TEST_F(AverageExposureTest, ParticleFitGivesTheMedianAndSpreadOfTheAverages) {
  // Bins from 1, 2 and 4 um: the shares below 2 and 4 um are Phi(-1) = 0.158655 and
  // Phi(0) = 0.5. The probits -1 at ln 2 and 0 at ln 4 lie on a line of slope 1 / ln 2
  // through 0 at ln 4: median 4 um, geometric standard deviation e^(ln 2) = 2.
  s_.PollutantClass = "PM2.5";
  s_.NumPollutants = 3;
  s_.Pollutants[0].Name = "1";
  s_.Pollutants[1].Name = "2";
  s_.Pollutants[2].Name = "4";
  WriteCmp(" 0 , 0 , 0 , 0 ,\r\n 24 , 3.80772 , 8.19228 , 12 ,\r\n");
  CalculateAverageExposure(s_, ',', prompt_);
  const std::string ave = Ave();
  std::vector<float> items;
  ASSERT_TRUE(SplitNumberLine(ave.substr(0, ave.find('\r')), ',', items));
  ASSERT_EQ(items.size(), 7u);  // time, window, three averages, median, spread
  EXPECT_EQ(items[0], 24.0f);
  EXPECT_EQ(items[1], 1.0f);
  EXPECT_FLOAT_EQ(items[4], 0.5f);
  EXPECT_NEAR(items[5], 4.0f, 4e-3);
  EXPECT_NEAR(items[6], 2.0f, 2e-3);
}

}  // namespace
}  // namespace quarn
