// The progress window of a concentration run: its scales, the record display, the chart's
// rescaling, and Stop.

#include <unistd.h>
#include <QAbstractAxis>
#include <QChart>
#include <QCoreApplication>
#include <QGraphicsView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "common/scripted_prompt.h"
#include "common/steady_scenario.h"
#include "files/building_file.h"
#include "files/scenario_file.h"
#include "model/concentration_run.h"
#include "model/program_state.h"
#include "model/resets.h"
#include "platform/qt_text.h"
#include "platform/strip_chart.h"
#include "text/number_text.h"
#include "ui/results/run_graph.h"

#include <gtest/gtest.h>

namespace quarn {
namespace {

using testing::ScriptedPrompt;

class RunGraphTest : public ::testing::Test {
 protected:
  RunGraphTest() : graph(state, prompt) {}

  RunStartInfo Start(float hours, float max_conc) {
    RunStartInfo info;
    info.end_time = hours;
    info.max_concentration = max_conc;
    info.num_rooms = 1;
    info.num_pollutants = 1;
    info.mass_format = "#.###E-## mg";
    info.conc_format = "#.###E-## mg/m\xB3";
    return info;
  }
  QString Text(const char* name) { return graph.findChild<QLineEdit*>(name)->text(); }

  ProgramState state;
  ScriptedPrompt prompt;
  RunGraph graph;
};

TEST_F(RunGraphTest, AxesSpanTheRunAndEveryPeakWithUnitsAndTheRoomsNamed) {
  state.Building.RoomList[1].Name = "Kitchen";
  state.Building.Scenario.ConcUnits = "ppm";
  state.Building.Scenario.Pollutants[0].Name = "CO";
  graph.RunStarted(Start(24, 20));
  EXPECT_TRUE(graph.isVisible());
  EXPECT_TRUE(graph.isModal());
  EXPECT_EQ(graph.windowTitle(), "In room concentration");

  std::array<float, 2> conc{0.5f, 30.0f};
  RunRecordInfo r;
  r.time = 36;
  r.concentrations = conc;
  r.total_emitted = 1234.6f;
  r.sink_mass = 0;
  r.leaving = 0.25f;
  r.hvac_fraction = 1;
  r.vent_rate = 0.5f;
  r.average_concentration = 2;
  r.has_average = true;
  graph.RecordWritten(r);
  // The window is brought up to date when its interval has passed.
  std::this_thread::sleep_for(std::chrono::milliseconds(RunGraph::kRefreshMs + 10));
  graph.StepDone(36);
  EXPECT_EQ(graph.Refreshes(), 1);
  EXPECT_EQ(graph.Chart().ScaleWidth(), 24.0);
  const QList<QAbstractAxis*> axes = graph.Chart().chart()->axes();
  QStringList titles;
  for (const QAbstractAxis* axis : axes) titles << axis->titleText();
  EXPECT_EQ(titles, QStringList({"Time (h)", "Concentration (ppm)"}));
  const QString legend = graph.findChild<QLabel*>("Legend")->text();
  EXPECT_TRUE(legend.contains("Outdoors") && legend.contains("Kitchen")) << legend.toStdString();
  EXPECT_EQ(graph.findChild<QLabel*>("TotalsOf")->text(), "Totals of CO");
  EXPECT_EQ(graph.findChild<QLabel*>("Label2")->text(), "1.5 days");
  EXPECT_EQ(Text("Text2"), "1.235E3 mg");
  EXPECT_EQ(Text("Text4"), "2.5E-1 mg");
  EXPECT_EQ(Text("HVACStatus"), "1");
  EXPECT_EQ(Text("Vent"), "0.5");
  EXPECT_EQ(Text("Text5"), QString::fromUtf8("2.E0 mg/m\u00B3"));
  EXPECT_EQ(graph.Chart().PointCount(), 2);
  // The axis starts from the run's own peak of 30, not from the estimate of 20 made before.
  EXPECT_GE(graph.Chart().ScaleHeight(), 30.0);
  EXPECT_LE(graph.Chart().ScaleHeight(), 60.0);

  graph.RunEnded(RunOutcome::Completed);
  EXPECT_FALSE(graph.isVisible());
  EXPECT_EQ(graph.Outcome(),
            "Concentration run finished at 36.0 h.  CO: total emitted 1,234.6 mg, in sinks 0.0 "
            "mg, left the building 0.25 mg.");
  EXPECT_TRUE(prompt.shown.empty());
}

// The window's totals are the first pollutant's; with more pollutants the line says where
// every one's are instead of naming the first alone.
TEST_F(RunGraphTest, TheEndOfAManyPollutantRunSaysWhereTheirTotalsAre) {
  state.Building.Scenario.Pollutants[0].Name = "Benzene";
  RunStartInfo start = Start(24, 20);
  start.num_pollutants = 8;
  graph.RunStarted(start);
  std::array<float, 16> conc{};
  RunRecordInfo r;
  r.time = 24;
  r.concentrations = conc;
  r.total_emitted = 5;
  graph.RecordWritten(r);
  graph.RunEnded(RunOutcome::Completed);
  EXPECT_EQ(graph.Outcome(),
            "Concentration run finished at 24.0 h.  The totals of its 8 pollutants are in "
            "Display > Summary, one pollutant at a time.");
}

TEST_F(RunGraphTest, NoRunTimeLeavesTheChartAScaleAndTheRunGoesOn) {
  graph.RunStarted(Start(0, 0));
  EXPECT_GT(graph.Chart().ScaleWidth(), 0.0);
  EXPECT_GT(graph.Chart().ScaleHeight(), 0.0);
  EXPECT_FALSE(graph.StepDone(0));
  // The run reports it (below); the window alone says nothing.
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(RunGraphTest, StopAndTheCloseBoxBothAskTheRunToStop) {
  graph.RunStarted(Start(24, 20));
  EXPECT_FALSE(graph.StepDone(1));
  graph.findChild<QPushButton*>("Command1")->click();
  EXPECT_TRUE(state.StopCalculation);
  EXPECT_FALSE(graph.isVisible());
  EXPECT_TRUE(graph.StepDone(2));

  state.StopCalculation = false;
  graph.RunStarted(Start(24, 20));
  graph.close();
  EXPECT_TRUE(state.StopCalculation);
  graph.RunEnded(RunOutcome::Stopped);
  EXPECT_FALSE(graph.Running());
}

// A real run of the sample scenario through the window.
class RunGraphRunTest : public ::testing::Test {
 protected:
  RunGraphRunTest() {
    folder = std::filesystem::temp_directory_path() /
             ("quarn_rungraph_" + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    NewBuilding(state);
    const std::string root = std::string(QUARN_SOURCE_DIR) + "/samples/";
    std::string bld = root + "house.BLD";
    EXPECT_TRUE(ReadBuildingFile(state.Building, bld, prompt));
    EXPECT_EQ(
        CommitScenarioRead(NewReadScenario(state.Building, root + "Scenario/house.SEN", prompt),
                           state.Building),
        ScenarioReadResult::Read);
    prompt.shown.clear();
    state.TempDrive = "";
    state.TempFolderName = folder.string();
    state.DataSeparator = ',';
    state.Building.MasterFile = "Temp";
  }
  ~RunGraphRunTest() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  size_t Count(const std::string& text) const {
    return static_cast<size_t>(std::count_if(prompt.shown.begin(), prompt.shown.end(),
                                             [&](const auto& s) { return s.text == text; }));
  }

  std::filesystem::path folder;
  ProgramState state;
  ScriptedPrompt prompt;
};

TEST_F(RunGraphRunTest, NoChartScaleIsReportedOnceAndTheRunGoesOn) {
  state.MaxConcentration = 0;
  RunGraph graph(state, prompt);
  const RunOutcome outcome =
      RunConcentrationCalculation(state.Building, RunSettingsFrom(state), prompt, graph);
  EXPECT_EQ(outcome, RunOutcome::Completed);
  EXPECT_EQ(Count("Check scenario input.  You probably have not entered information on how "
                  "long you want the simulation to run."),
            1u);
}

// A week of the sample through the window, which is brought up to date after every step: the
// chart keeps at most a stroke a column of each series, the boxes end on the last record's
// totals, and the concentration axis fits the data rather than an estimate far above them.
TEST_F(RunGraphRunTest, EveryRecordIsDrawnUnderAnAxisThatFitsTheData) {
  state.MaxConcentration = 100000;
  state.Building.Scenario.YearsSimulated = 7.0f / 365;
  RunGraph::SetRefreshInterval(0);
  RunGraph graph(state, prompt);
  const RunOutcome outcome =
      RunConcentrationCalculation(state.Building, RunSettingsFrom(state), prompt, graph);
  RunGraph::SetRefreshInterval(RunGraph::kRefreshMs);
  ASSERT_EQ(outcome, RunOutcome::Completed);
  const ScenarioRecord& s = state.Building.Scenario;
  EXPECT_GT(graph.Refreshes(), 1);
  const int series = (state.Building.NumRooms + 1) * s.NumPollutants;
  EXPECT_GT(graph.Chart().PointCount(), 0);
  EXPECT_LE(graph.Chart().PointCount(), 2 * graph.Chart().Columns() * series);
  float peak = 0;
  for (int r = 1; r <= state.Building.NumRooms; ++r) peak = std::max(peak, s.PeakConc[r]);
  ASSERT_GT(peak, 0.0f);
  EXPECT_GE(graph.Chart().ScaleHeight(), peak);
  EXPECT_LE(graph.Chart().ScaleHeight(), 2.5 * peak);
  EXPECT_EQ(graph.findChild<QLineEdit*>("Text2")->text(),
            ToQt(FormatPattern(s.TotalEmitted[0], "#.###E-## \xB5g")));
}

// Where a point of the chart's scale appears on a picture of the widget, and whether a
// point of that colour is there.
QPoint OnPicture(StripChart& chart, double x, double y) {
  const QRectF area = chart.chart()->plotArea();
  const QPointF scene(area.left() + x / chart.ScaleWidth() * area.width(),
                      area.bottom() - y / chart.ScaleHeight() * area.height());
  return chart.mapFromScene(scene) + chart.viewport()->pos();
}

bool HasColourNear(StripChart& chart, QPoint at, const QColor& colour) {
  const QImage picture = chart.grab().toImage();
  for (int dy = -3; dy <= 3; ++dy) {
    for (int dx = -3; dx <= 3; ++dx) {
      const QPoint p = at + QPoint(dx, dy);
      if (picture.rect().contains(p) && picture.pixelColor(p) == colour) return true;
    }
  }
  return false;
}

TEST(StripChart, PointsAreDrawnWhereTheScalePutsThemAndStayThroughAResize) {
  StripChart chart;
  chart.resize(400, 300);
  chart.show();
  QCoreApplication::processEvents();
  const QColor red = StripChart::PaletteColor(12);
  chart.Plot(chart.AddSeries(red), 2500, 550);  // the middle of the 5000 by 1100 scale
  chart.Plot(chart.AddSeries(StripChart::PaletteColor(1)), 1000, 900);
  EXPECT_TRUE(HasColourNear(chart, OnPicture(chart, 2500, 550), red));
  EXPECT_FALSE(HasColourNear(chart, OnPicture(chart, 4000, 200), red));
  chart.resize(600, 400);
  QCoreApplication::processEvents();
  EXPECT_TRUE(HasColourNear(chart, OnPicture(chart, 2500, 550), red));
  EXPECT_TRUE(HasColourNear(chart, OnPicture(chart, 1000, 900), StripChart::PaletteColor(1)));
  chart.Cls();
  EXPECT_EQ(chart.PointCount(), 0);
  EXPECT_FALSE(HasColourNear(chart, OnPicture(chart, 2500, 550), red));
}

// Watches a run through the progress window and keeps each day's highest record of every
// room and pollutant.
class DailyPeaks : public RunObserver {
 public:
  explicit DailyPeaks(RunGraph& graph) : graph_(graph) {}
  void RunStarted(const RunStartInfo& info) override { graph_.RunStarted(info); }
  void RecordWritten(const RunRecordInfo& record) override {
    graph_.RecordWritten(record);
    const auto day = static_cast<size_t>(record.time / 24);
    if (peaks.size() <= day)
      peaks.resize(day + 1, std::vector<float>(record.concentrations.size()));
    for (size_t i = 0; i < record.concentrations.size(); ++i) {
      peaks[day][i] = std::max(peaks[day][i], record.concentrations[i]);
    }
  }
  bool StepDone(float time) override { return graph_.StepDone(time); }
  void RunEnded(RunOutcome outcome) override { graph_.RunEnded(outcome); }

  std::vector<std::vector<float>> peaks;  // by day, then as a record holds its values

 private:
  RunGraph& graph_;
};

// A year of a room whose source comes on at midday, for two hours every day and for four
// hours more every Monday: the chart keeps far fewer points than the run's records, and
// the height of each day's peak, room and outdoors alike.
TEST(RunGraphYear, TheChartKeepsEveryDailyPeakInAFewPointsAPixelColumn) {
  ProgramState state;
  BuildingRecord& b = state.Building;
  b.NumRooms = 1;
  b.RoomList[1].Volume = 50;
  ScenarioRecord& s = b.Scenario;
  s.NumPollutants = 1;
  s.Pollutants[0].Name = "CO";
  MakeSteadyInMilligrams(s);
  s.BuildingPenetration[0] = 1;
  s.OutdoorConc[1][0] = 0.05F;
  s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 25;
  s.StepSize = 0.1F;
  s.YearsSimulated = 1;
  s.NumSources[1] = 2;
  for (int k = 1; k <= 2; ++k) {
    SourceRecord& source = s.Sources[1][k];
    source.Model = 6;  // constant
    source.Params[0][0] = 10;
    source.Size = 1;
    source.NumCycles = 1;
    source.TimeOn[1] = 11;
    source.TimeOff[1] = k == 1 ? 13 : 17;
    source.CycleRepeats = k == 1 ? "D" : "W";
  }
  ScriptedPrompt prompt;
  RunGraph graph(state, prompt);
  DailyPeaks watch(graph);
  RunSettings settings;
  settings.temp_folder_name = (std::filesystem::temp_directory_path() /
                               ("quarn_rungraph_year_" + std::to_string(::getpid())))
                                  .string();
  std::filesystem::create_directories(settings.temp_folder_name);
  settings.max_concentration = 20;
  const RunOutcome outcome = RunConcentrationCalculation(b, settings, prompt, watch);
  std::filesystem::remove_all(settings.temp_folder_name);
  ASSERT_EQ(outcome, RunOutcome::Completed);
  ASSERT_EQ(watch.peaks.size(), 366U);  // the last record opens day 365
  const StripChart& chart = graph.Chart();
  EXPECT_LE(chart.PointCount(), 2 * 2 * chart.Columns());
  EXPECT_LT(chart.PointCount(), s.NumOutputRecords / 4);
  // A column of the chart spans a few hours of the year: the columns that start between 06:00
  // and 18:00 hold the day's peak and nothing of another day.
  ASSERT_LT(24.0 * 365 / chart.Columns(), 6.0);
  for (size_t day = 0; day < 365; ++day) {
    for (int series = 0; series < 2; ++series) {
      const auto range = chart.SeriesRange(series, 24.0 * day + 6, 24.0 * day + 18);
      ASSERT_TRUE(range.has_value()) << "day " << day;
      EXPECT_EQ(range->high, watch.peaks[day][static_cast<size_t>(series)])
          << "day " << day << ", series " << series;
    }
  }
}

TEST(StripChartPalette, ClassicSixteenColours) {
  EXPECT_EQ(StripChart::PaletteColor(0), QColor(0, 0, 0));
  EXPECT_EQ(StripChart::PaletteColor(1), QColor(0, 0, 128));
  EXPECT_EQ(StripChart::PaletteColor(2), QColor(0, 128, 0));
  EXPECT_EQ(StripChart::PaletteColor(12), QColor(255, 0, 0));
  EXPECT_EQ(StripChart::PaletteColor(16), QColor(0, 0, 0));
}

}  // namespace
}  // namespace quarn
