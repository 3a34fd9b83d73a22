// A case worked by hand, run from the building window's menus: one room of 50 m³ with
// 25 m³/h of clean outdoor air, a constant source of 10 mg/h, one occupant there all day.
// Well mixed, the concentration is C(t) = S/Q (1 - e^(-Q t / V)) = 0.4 (1 - e^(-0.5 t))
// mg/m³, so over 24 h its integral is 0.4 (24 - 2 (1 - e^(-12))) = 8.8000049 mg·h/m³ and its
// mean 0.36667 mg/m³ = 366.67 µg/m³. Breathing 0.833 m³/h with efficiency 1 the occupant
// inhales 7.33040 mg; a unit risk of 1E-05 per µg/m³ gives a risk of 3.6667E-03.

#include <gtest/gtest.h>

#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <vector>

#include "common/main_window_fixture.h"
#include "common/steady_scenario.h"
#include "model/unit_conversion.h"
#include "model/work_file_reader.h"
#include "platform/flex_grid.h"
#include "platform/window_registry.h"
#include "text/number_read.h"
#include "ui/common/grid_operations.h"
#include "ui/grids/scenario_grid.h"
#include "ui/main/building_form.h"
#include "ui/main/scenario_editor.h"
#include "ui/results/results_form.h"
#include "ui/results/risk_analysis.h"
#include "ui/results/risk_framework.h"
#include "ui/results/summary_form.h"

namespace quarn {
namespace {

constexpr double kIntegral = 0.4 * (24 - 2 * (1 - 6.1442124e-6));  // mg·h/m³
constexpr double kInhaled = 0.833 * kIntegral;                     // mg
constexpr double kRisk = kIntegral / 24 * 1000 * 1e-5;

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class HandCase : public testing::MainWindowTest {
 protected:
  HandCase() {
    frame.setCentralWidget(area);
    area->addSubWindow(building)->show();
    frame.resize(1200, 800);
    frame.show();
    state->TempDrive = "";
    state->TempFolderName = (folder / "tmp").string();
    state->TempFolder = state->TempFolderName;
    BuildingRecord& b = state->Building;
    b.ID = "Hand";
    b.MasterFile = "Hand";
    b.NumRooms = 1;
    b.RoomList[1].Name = "Kitchen";
    b.RoomList[1].Volume = 50;
    ScenarioRecord& s = b.Scenario;
    s.Name = "Day";
    s.NumPollutants = 1;
    s.Pollutants[0].Name = "Benzene";
    s.Pollutants[0].MolWt = 78.11F;
    s.Pollutants[0].CancerRisk = 1e-5F;
    MakeSteadyInMilligrams(s);
    s.BuildingPenetration[0] = 1;
    s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 25;
    s.StepSize = 0.1F;
    s.YearsSimulated = 24.0F / 24.0F / 365.0F;
    s.LongTermOptions = 1;
    s.NumSources[1] = 1;
    SourceRecord& src = s.Sources[1][1];
    src.Model = 6;  // constant emission
    src.Params[0][0] = 10;
    src.Size = 1;
    src.NumCycles = 1;
    src.TimeOn[1] = 0;
    src.TimeOff[1] = 24;
    src.CycleRepeats = "N";
    s.NumOccupants = 1;
    OccupantRecord& o = s.Occupants[1];
    o.Name = "Ann";
    o.StartTime = 0;
    o.EndTime = 24;
    o.TimeEnter[1] = 0;
    o.TimeLeave[1] = 24;
    o.Location[1] = "kitchen";  // typed as said: the room "Kitchen"
    o.BreathingRate = 0.833F;
    o.EfficiencyFactor = 1;
    o.Weight = 74;
    o.Lifetime = 70;
    o.Population = 1;
    o.AveragingTime = 8;
  }
  ~HandCase() override {
    AppWindows().Unload<RiskFramework>();
    AppWindows().Unload<RiskAnalysis>();
    AppWindows().Unload<SummaryForm>();
  }
  OccupantRecord& Ann() { return state->Building.Scenario.Occupants[1]; }
  // Concentrations, then exposure in the mode's command, then risk, as a user runs them.
  void RunAll(const char* exposure_command = "CalculateInhalation") {
    if (state->ConcentrationsCalculated) prompt.answers.push_back(Answer::Yes);
    building->RunCommand("CalculateConcentration");
    ASSERT_EQ(state->ConcentrationsCalculated, true);
    prompt.shown.clear();  // the question before a second run
    building->RunCommand(exposure_command);
    ASSERT_EQ(state->ExposureCalculated, true);
    building->RunCommand("CalculateRisk");
    ASSERT_TRUE(prompt.shown.empty()) << prompt.shown[0].text;
  }
  SummaryForm* Summary() {
    AppWindows().Unload<SummaryForm>();
    building->RunCommand("DisplaySummary");
    return AppWindows().Find<SummaryForm>();
  }

  QMainWindow frame;
  QMdiArea* area = new QMdiArea(&frame);
  BuildingForm* building = new BuildingForm(*context);
};

TEST_F(HandCase, OneRiskInEveryWindowAndReportOverExactlyTheDay) {
  RunAll();
  // The run ends on the period: its last record is at 24 h, not a step or two later.
  EXPECT_NEAR(state->Building.Scenario.LastOutputTime, 24, 1e-4);
  EXPECT_NEAR(Ann().TotalExposure[0], kInhaled, 1e-3 * kInhaled);
  EXPECT_NEAR(Ann().Dose[0], kInhaled, 1e-3 * kInhaled);
  EXPECT_NEAR(Ann().PotentialDose[0], kInhaled / 74, 1e-3 * kInhaled / 74);
  const float risk = Ann().CancerRiskResult[0];
  EXPECT_NEAR(risk, kRisk, 1e-3 * kRisk);

  SummaryForm* summary = Summary();
  ASSERT_NE(summary, nullptr);
  const FlexGrid& g = summary->Grid1();
  EXPECT_EQ(g.TextMatrix(0, 2), "Total exposure\nmg");
  EXPECT_EQ(g.TextMatrix(0, 3), "Peak instantaneous\nexposure mg/h");
  EXPECT_EQ(g.TextMatrix(1, 2), "7.33");
  const std::string risk_text = g.TextMatrix(1, 6);
  EXPECT_EQ(risk_text, "3.667E-3");
  dialogs.answers = {Path("before.SUM")};
  summary->RunCommand("filesave");

  // The worksheet shows the same risk and leaves the record alone.
  building->RunCommand("RiskFull");
  auto* sheet = AppWindows().Find<RiskFramework>();
  ASSERT_NE(sheet, nullptr);
  FlexGrid& w = sheet->Riskss();
  EXPECT_EQ(w.TextMatrix(2, 3), "0.00274 yrs");
  EXPECT_EQ(w.TextMatrix(2, 8), "3.667E-3");
  EXPECT_EQ(Ann().CancerRiskResult[0], risk);
  EXPECT_EQ(Summary()->Grid1().TextMatrix(1, 6), risk_text);
  sheet->RunCommand("calculate");
  EXPECT_EQ(w.TextMatrix(2, 8), "3.667E-3");
  dialogs.answers = {Path("sheet.FUL")};
  sheet->RunCommand("filesave");
  // The occupant's efficiency is 1; the 0.833 m³/h breathed at it is a line of its own.
  const std::string ful = Bytes(Path("sheet.FUL"));
  for (const char* line :
       {"Efficiency 1\r\n Dose 7.33\r\n", "Individual risk 3.667E-3\r\n",
        "Breathing rate x efficiency of Ann 0.833\r\n", "Unit risk 1E-05 per \xB5g/m\xB3\r\n"}) {
    EXPECT_NE(ful.find(line), std::string::npos) << line << "\n" << ful;
  }
  dialogs.answers = {Path("after.SUM")};
  Summary()->RunCommand("filesave");
  EXPECT_EQ(Bytes(Path("after.SUM")), Bytes(Path("before.SUM")));

  RiskAnalysis* analysis = ShowRiskAnalysisForm(*context);
  EXPECT_EQ(analysis->DoseLabel().text().toStdString(), "0.00733 gms");
  dialogs.answers = {Path("a.RSK")};
  analysis->RunCommand("filesave");
  EXPECT_NE(Bytes(Path("a.RSK")).find("Cancer risk lifetime 0.00366"), std::string::npos)
      << Bytes(Path("a.RSK"));

  // Half the efficiency inhales half as much: half the risk, not a quarter.
  Ann().EfficiencyFactor = 0.5F;
  RunAll();
  EXPECT_NEAR(Ann().CancerRiskResult[0], kRisk / 2, 1e-3 * kRisk);

  // Not inhaled, the exposure is the concentration's integral.
  RunAll("CalculateNone");
  EXPECT_NEAR(Ann().TotalExposure[0], kIntegral, 1e-3 * kIntegral);
  EXPECT_EQ(Summary()->Grid1().TextMatrix(0, 2), "Total exposure\nmg/m\xB3\xB7h");
}

TEST_F(HandCase, EightHourAveragesCloseAtEightSixteenAndTwentyFour) {
  RunAll();
  building->RunCommand("averageexposure");
  std::vector<double> ends;
  TextLineSource source(Ann().AvgExposureFile);
  for (std::string line; source.Next(line);) ends.push_back(LeadingNumber(line));
  ASSERT_EQ(ends.size(), 3U);
  EXPECT_NEAR(ends[0], 8, 1e-4);
  EXPECT_NEAR(ends[1], 16, 1e-4);
  EXPECT_NEAR(ends[2], 24, 1e-4);
}

TEST_F(HandCase, ALocationThatNamesNoRoomIsRefusedByTheRun) {
  Ann().Location[1] = "Kitchn";
  building->RunCommand("CalculateConcentration");
  building->RunCommand("CalculateInhalation");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text,
            "Error.  The location Kitchn of occupant Ann is not a room of the building.  Enter "
            "the name of a room or Outdoors.");
  EXPECT_EQ(Ann().TotalExposure[0], 0);
}

// The concentration never reaches a level of 1 mg/m³: the summary shows the hours counted
// above it as 0, and keeps "---" for what was not calculated: everything before the
// exposure run, and the risk until Calculate > Risk has run on that exposure.
TEST_F(HandCase, TheSummaryTellsAComputedZeroFromNotCalculated) {
  state->Building.Scenario.Pollutants[0].IrritantConc = 1;
  building->RunCommand("CalculateConcentration");
  const FlexGrid* g = &Summary()->Grid1();
  for (int c = 1; c <= 6; ++c) EXPECT_EQ(g->TextMatrix(1, c), "---") << "column " << c;
  building->RunCommand("CalculateInhalation");
  g = &Summary()->Grid1();
  EXPECT_EQ(g->TextMatrix(1, 1), "0");
  EXPECT_EQ(g->TextMatrix(1, 2), "7.33");
  EXPECT_EQ(g->TextMatrix(1, 6), "---");
  building->RunCommand("CalculateRisk");
  EXPECT_EQ(Summary()->Grid1().TextMatrix(1, 6), "3.667E-3");

  // A new run of the concentrations: the exposures and risks were those of the run before.
  prompt.answers.push_back(Answer::Yes);
  building->RunCommand("CalculateConcentration");
  for (int c = 1; c <= 6; ++c) EXPECT_EQ(Summary()->Grid1().TextMatrix(1, c), "---") << c;
  prompt.shown.clear();
  building->RunCommand("DisplayInst");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Exposure has not been calculated. ");
}

// One irritant threshold: the hours the summary counts above the level are those of the
// curve above, 0.4 (1 - e^(-0.5 t)) passes 0.3 mg/m³ at t = 2 ln 4 = 2.7726 h, so 21.227 h
// of the day lie above it, counted from the crossing between two records; the concentration
// grid colours the whole records from the one after it. In ppm the level, kept in mg/m³, is
// converted before it is compared, in both windows alike.
TEST_F(HandCase, HoursAboveTheIrritantLevelAreTheHoursTheGridColours) {
  const double above = 24 - 2 * std::log(4.0);
  for (const char* units : {"milligrams", "ppm"}) {
    ScenarioRecord& s = state->Building.Scenario;
    s.ConcUnits = s.OutdoorConcUnits = s.InitialConcUnits = units;
    s.Pollutants[0].IrritantConc = 0.3F;
    RunAll();
    SummaryForm* summary = Summary();
    ASSERT_NE(summary, nullptr);
    const double hours = LeadingNumber(summary->Grid1().TextMatrix(1, 1));
    EXPECT_NEAR(hours, above, 0.05) << units;

    AppWindows().Unload<ResultsForm>();
    building->RunCommand("DisplayConcentration");
    auto* results = AppWindows().Find<ResultsForm>();
    ASSERT_NE(results, nullptr);
    const FlexGrid& g = results->ResultsGrid();
    // The step grows as the room settles, so each coloured record counts the time since the
    // one before it.
    double coloured = 0;
    double before = 0;
    for (int r = 1; r < g.Rows() && !g.TextMatrix(r, 0).empty(); ++r) {
      const double t = LeadingNumber(g.TextMatrix(r, 0));
      if (g.CellBackColorAt(r, 1) == kCellRed) coloured += t - before;
      before = t;
    }
    EXPECT_GE(coloured, hours - 0.01) << units;
    EXPECT_LT(coloured, hours + 0.25) << units;  // less than the record interval more
    AppWindows().Unload<ResultsForm>();
  }
}

}  // namespace
}  // namespace quarn

namespace quarn {
namespace {

// Over 12 h the same room has 0.4 (12 - 2 (1 - e^(-6))) = 4.00198 mg·h/m³, of which the
// occupant inhales 3.33365 mg; 12 - 2 ln 4 = 9.2274 h lie above 0.3 mg/m³.
TEST_F(HandCase, AChangeAfterARunEndsTheResultsOnTheScreen) {
  state->Building.Scenario.Pollutants[0].IrritantConc = 0.3F;
  RunAll();
  SummaryForm* summary = Summary();
  ASSERT_NE(summary, nullptr);
  ASSERT_EQ(summary->Grid1().TextMatrix(1, 2), "7.33");

  // The hours simulated from 24 to 12 in the scenario editor, and Transfer.
  building->RunCommand("Scenarios");
  auto* editor = AppWindows().Find<ScenarioEditor>();
  ASSERT_NE(editor, nullptr);
  editor->ScenarioSS().SetTextMatrix(scenario_row::kHours, 1, "12");
  prompt.answers = {Answer::Yes};  // leave the scenario unsaved
  editor->RunCommand("Transfer");
  ASSERT_NEAR(state->Building.Scenario.YearsSimulated * 8760, 12, 1e-4);

  // Calculate again: a run of another scenario, no repetition to ask about.
  prompt.shown.clear();
  building->RunCommand("CalculateConcentration");
  ASSERT_TRUE(state->ConcentrationsCalculated);
  for (const auto& shown : prompt.shown) {
    EXPECT_EQ(shown.text.find("already calculated"), std::string::npos) << shown.text;
  }
  // The summary of the 24 h run has gone with its figures: nothing can save them.
  EXPECT_EQ(AppWindows().Find<SummaryForm>(), nullptr);

  // A summary of the 12 h run, before its exposure, shows and saves none of the 24 h one.
  summary = Summary();
  dialogs.answers = {Path("twelve.SUM")};
  summary->RunCommand("filesave");
  EXPECT_EQ(Bytes(Path("twelve.SUM")),
            "Hand\r\nDay\r\nBenzene\r\n .3 \r\nAnn\r\n---\r\n---\r\n---\r\n---\r\n");

  // With nothing changed, a second run is a repetition, and the open summary follows it.
  prompt.shown.clear();
  prompt.answers = {Answer::Yes};
  building->RunCommand("CalculateConcentration");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text,
            "You have already calculated concentrations for this scenario. Do you wish to "
            "continue? ");
  building->RunCommand("CalculateInhalation");
  building->RunCommand("CalculateRisk");
  ASSERT_EQ(AppWindows().Find<SummaryForm>(), summary);
  const FlexGrid& g = summary->Grid1();
  EXPECT_NEAR(LeadingNumber(g.TextMatrix(1, 1)), 9.2274, 0.05);
  EXPECT_EQ(g.TextMatrix(1, 2), "3.33");
  EXPECT_EQ(g.TextMatrix(1, 6), "3.335E-3");
  EXPECT_EQ(g.TextMatrix(2, 1), "120.0 mg");  // emitted over 12 h
  dialogs.answers = {Path("twelve.SUM")};
  summary->RunCommand("filesave");
  EXPECT_EQ(Bytes(Path("twelve.SUM")).find(" 7.33"), std::string::npos);
  EXPECT_NE(Bytes(Path("twelve.SUM")).find("\r\n 3.33"), std::string::npos);
}

// The room's exact concentration under sources of `rate` mg/h that are on over `cycles`, and
// its integral from 0 to t, by Simpson's rule on the closed form (0.5 of the rate over 25 m³/h
// is the loss of 0.5 an hour in 50 m³).
double ExactIntegral(double rate, const std::vector<std::pair<double, double>>& cycles, double t) {
  const auto conc = [&](double x) {
    double c = 0;
    for (const auto& [on, off] : cycles) {
      if (x <= on) continue;
      const double rise = rate / 25 * (1 - std::exp(-0.5 * (std::min(x, off) - on)));
      c += x <= off ? rise : rise * std::exp(-0.5 * (x - off));
    }
    return c;
  };
  const int n = 200000;
  const double h = t / n;
  double sum = conc(0) + conc(t);
  for (int i = 1; i < n; ++i) sum += (i % 2 == 1 ? 4 : 2) * conc(i * h);
  return sum * h / 3;
}

// The occupant's cumulative exposure at time t, from its cumulative exposure work file.
double CumulativeAt(const std::string& file, double t) {
  std::istringstream lines(Bytes(file));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t comma = line.find(',');
    const std::optional<double> time = ParseNumber(line.substr(0, comma));
    if (time && std::fabs(*time - t) < 1e-4) {
      const std::size_t next = line.find(',', comma + 1);
      return ParseNumber(line.substr(comma + 1, next - comma - 1)).value_or(-1);
    }
  }
  return -1;
}

// The averages of an average exposure work file, one for each whole window.
std::vector<double> WindowAverages(const std::string& file) {
  std::vector<double> averages;
  TextLineSource source(file);
  std::vector<float> items;
  for (std::string line; source.Next(line);) {
    if (SplitNumberLine(line, ',', items) && items.size() == 3) averages.push_back(items[2]);
  }
  return averages;
}

TEST_F(HandCase, ExposureIsWhatTheOccupantBreathedWhateverTheStep) {
  // 10 mg/h from 7 h to 8 h and from 18 h to 19 h: at a 1 h step no record falls at 7 h by
  // the output rule alone, and a line drawn between records would start the rise at 6 h.
  const std::vector<std::pair<double, double>> cycles{{7, 8}, {18, 19}};
  const auto inhaled = [&](double t) { return 0.833 * ExactIntegral(10, cycles, t); };
  // The 8 h averages in mg/h (0.833 m³/h times mg/m³), by hand: the rise of 7-8 h is
  // 0.4 (1 - 2 (1 - e^(-0.5))) = 0.085224 mg·h/m³ and leaves C(8) = 0.157388 mg/m³, which
  // decays by 2 C(8) (1 - e^(-4)) = 0.309011 over 8-16 h; 16-24 h holds the first rise's
  // tail 0.005660, a second rise and its decay over 19-24 h, 0.288938.
  EXPECT_NEAR(inhaled(8) / 8, 0.008874, 1e-6);
  EXPECT_NEAR((inhaled(16) - inhaled(8)) / 8, 0.032176, 1e-6);
  EXPECT_NEAR((inhaled(24) - inhaled(16)) / 8, 0.039549, 1e-6);
  ScenarioRecord& s = state->Building.Scenario;
  SourceRecord& src = s.Sources[1][1];
  src.NumCycles = 2;
  src.TimeOn = {0, 7, 18};
  src.TimeOff = {0, 8, 19};
  for (float step : {0.1F, 0.5F, 1.0F}) {
    // 7.5 h windows end within a rise, between the records of the output rule.
    for (float window : {8.0F, 7.5F}) {
      SCOPED_TRACE(::testing::Message() << "step " << step << " h, window " << window << " h");
      s.StepSize = step;
      Ann().AveragingTime = window;
      state->ConcentrationsCalculated = false;
      RunAll();
      const double at8 = inhaled(8);
      const double at24 = inhaled(24);
      EXPECT_NEAR(CumulativeAt(Ann().CumExposureFile, 8), at8, 0.005 * at8);
      EXPECT_NEAR(Ann().TotalExposure[0], at24, 0.005 * at24);
      building->RunCommand("averageexposure");
      const std::vector<double> averages = WindowAverages(Ann().AvgExposureFile);
      ASSERT_EQ(averages.size(), 3U);
      for (int k = 1; k <= 3; ++k) {
        const double exact = (inhaled(k * window) - inhaled((k - 1) * window)) / window;
        EXPECT_NEAR(averages[k - 1], exact, 0.005 * exact) << "window " << k;
      }
    }
  }
}

TEST_F(HandCase, AnOccupantMovingEveryHourMeetsEachRoomsExactAir) {
  // A second room like the first with 5 mg/h, not joined to it; Ann changes room every hour,
  // the first hour in the kitchen. At a 1 h step the output rule alone writes a record every
  // second hour.
  BuildingRecord& b = state->Building;
  ScenarioRecord& s = b.Scenario;
  b.NumRooms = 2;
  b.RoomList[2].Name = "Bedroom";
  b.RoomList[2].Volume = 50;
  s.NaturalFromOutdoors[2] = s.NaturalToOutdoors[2] = 25;
  s.BuildingPenetration[0] = 1;
  s.StepSize = 1;
  s.NumSources[2] = 1;
  s.Sources[2][1] = s.Sources[1][1];
  s.Sources[2][1].Params[0][0] = 5;
  OccupantRecord& o = Ann();
  for (int i = 1; i <= 24; ++i) {
    o.TimeEnter[i] = static_cast<float>(i - 1);
    o.TimeLeave[i] = static_cast<float>(i);
    o.Location[i] = i % 2 == 1 ? "Kitchen" : "Bedroom";
  }
  RunAll();
  double exact = 0;
  for (int h = 0; h < 24; ++h) {
    const double rate = h % 2 == 0 ? 10 : 5;
    exact += ExactIntegral(rate, {{0, 24}}, h + 1) - ExactIntegral(rate, {{0, 24}}, h);
  }
  exact *= 0.833;
  EXPECT_NEAR(o.TotalExposure[0], exact, 0.001 * exact);

  // The same moves a quarter of an hour after the hour, in a pattern as a scenario file
  // gives it (no cycle length or entry count stored): the run must still cut its records
  // where she moves, or the exposure is interpolated across a move.
  for (int i = 1; i <= 24; ++i) {
    o.TimeEnter[i] = i == 1 ? 0.0F : static_cast<float>(i - 1) + 0.25F;
    o.TimeLeave[i] = i == 24 ? 24.0F : static_cast<float>(i) + 0.25F;
  }
  o.NumSegments = 0;
  o.CycleLength = 0;
  RunAll();
  exact = 0;
  for (int i = 1; i <= 24; ++i) {
    const double rate = i % 2 == 1 ? 10 : 5;
    exact += ExactIntegral(rate, {{0, 24}}, o.TimeLeave[i]) -
             ExactIntegral(rate, {{0, 24}}, o.TimeEnter[i]);
  }
  exact *= 0.833;
  EXPECT_NEAR(o.TotalExposure[0], exact, 0.001 * exact);
}

// The irritant row of the worksheet: 0.3 mg/m³ times the 21.227 h above it is 6.37 mg/m³·h,
// a concentration times hours and no inhaled mass, and without an irritant factor there is
// no irritant risk to show, before Calculate risk or after it.
TEST_F(HandCase, TheIrritantRowSaysWhatItsFiguresAre) {
  state->Building.Scenario.Pollutants[0].IrritantConc = 0.3F;
  RunAll();
  building->RunCommand("RiskFull");
  auto* sheet = AppWindows().Find<RiskFramework>();
  ASSERT_NE(sheet, nullptr);
  const FlexGrid& g = sheet->Riskss();
  EXPECT_EQ(g.TextMatrix(0, 6), "Dose\nmg\n(irritant: mg/m\xB3\xB7h)");
  for (bool calculated : {false, true}) {
    SCOPED_TRACE(calculated ? "after Calculate risk" : "as filled");
    if (calculated) sheet->RunCommand("calculate");
    EXPECT_EQ(g.TextMatrix(1, 4), "6.37");
    EXPECT_EQ(g.TextMatrix(1, 6), "6.37 mg/m\xB3\xB7h");
    for (int c : {7, 8, 10}) EXPECT_EQ(g.TextMatrix(1, c), "No Data") << c;
    for (int r = 1; r < g.Rows(); ++r) {
      for (int c = 2; c < g.Cols(); ++c) {
        const std::string& cell = g.TextMatrix(r, c);
        EXPECT_TRUE(cell != "0.0" && cell != "0" && cell != ".0") << r << ", " << c;
      }
    }
  }
}

}  // namespace
}  // namespace quarn
