// The concentration results window as the user works it: Display > Concentration from the
// building window, Save concentration, Copy and Copy All, and its place in the frame.

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "files/building_file.h"
#include "files/scenario_file.h"
#include "platform/clipboard.h"
#include "platform/qt_text.h"
#include "platform/user_input.h"
#include "results_test_support.h"
#include "text/number_read.h"
#include "text/text_reader.h"
#include "ui/main/building_form.h"
#include "ui/results/display_all_form.h"
#include "ui/results/results_form.h"
#include "ui/results/summary_form.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const std::string& path) {
  std::string bytes;
  ReadFileBytes(path, bytes);
  return bytes;
}

// The frame's area with the building window in it, as the program opens them.
class ResultsWindowTest : public testing::ResultsTest {
 protected:
  ResultsWindowTest() {
    frame.setCentralWidget(area);
    auto* building_form = new BuildingForm(*context);
    area->addSubWindow(building_form)->show();
    building = building_form;
    frame.resize(900, 600);
    frame.show();
  }
  ~ResultsWindowTest() override {
    AppWindows().Unload<ResultsForm>();
    AppWindows().Unload<SummaryForm>();
  }

  ResultsForm* Open() {
    building->RunCommand("DisplayConcentration");
    return AppWindows().Find<ResultsForm>();
  }

  QMainWindow frame;
  QMdiArea* area = new QMdiArea(&frame);
  BuildingForm* building = nullptr;
};

TEST_F(ResultsWindowTest, DisplayConcentrationNeedsARunThenOpensOneFilledWindow) {
  building->RunCommand("DisplayConcentration");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Error.  Concentration not calculated.");
  EXPECT_EQ(prompt.shown[0].title, "Error.");
  EXPECT_EQ(AppWindows().Find<ResultsForm>(), nullptr);

  WriteRun(1, 1, 3, [](int k, int, int) { return static_cast<float>(k); });
  ResultsForm* results = Open();
  ASSERT_NE(results, nullptr);
  EXPECT_TRUE(results->isVisible());
  EXPECT_EQ(results->ResultsGrid().TextMatrix(3, 1), "3.E0");
  testing::ProcessEvents();  // the grid spans the window as soon as it is shown
  EXPECT_EQ(results->ResultsGrid().width(), results->parentWidget()->width() - TwipsToPixels(350));
  // Given again, the command fills the same window from the file as it is now.
  WriteRun(1, 1, 3, [](int k, int, int) { return 2.0f * static_cast<float>(k); });
  EXPECT_EQ(Open(), results);
  EXPECT_EQ(results->ResultsGrid().TextMatrix(3, 1), "6.E0");
  EXPECT_EQ(area->subWindowList().size(), 2);
  EXPECT_EQ(area->activeSubWindow(), results->parentWidget());
}

TEST_F(ResultsWindowTest, SaveConcentrationCopiesTheWholeWorkFile) {
  WriteRun(1, 2, 80, [](int k, int r, int p) { return 0.5f * static_cast<float>(k + r + p); });
  ResultsForm* results = Open();
  ASSERT_NE(results, nullptr);
  const std::string work = Bytes(B().ConcWorkFile);
  std::ofstream(Path("run1.CON")) << "an older file";
  dialogs.answers = {Path("run1"), Path("run1.txt"), std::nullopt};
  results->RunCommand("filesave");
  results->RunCommand("filesave");
  results->RunCommand("filesave");
  EXPECT_EQ(Bytes(Path("run1.CON")), work);
  EXPECT_EQ(Bytes(Path("run1.txt")), work);
  ASSERT_EQ(dialogs.asked.size(), 3U);
  EXPECT_EQ(dialogs.asked[0].request.filter, "All Concentration (*.CON)|*.CON|All files (*.*)|*.*");
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  EXPECT_EQ(names, (std::set<std::string>{"TempSEN.TMP", "run1.CON", "run1.txt", "tmp"}))
      << "the cancelled dialog wrote nothing";
  EXPECT_TRUE(prompt.shown.empty());

  // Without its work file (erased since the run) the command says so and writes nothing.
  fs::remove(B().ConcWorkFile);
  dialogs.answers = {Path("run2")};
  results->RunCommand("filesave");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Error.  Cannot read the file " + B().ConcWorkFile + ".");
  EXPECT_FALSE(fs::exists(Path("run2.CON")));
}

TEST_F(ResultsWindowTest, CopyTakesTheSelectionAndCopyAllEveryRecordALineARow) {
  WriteRun(1, 1, 2, [](int k, int, int) { return static_cast<float>(k); });
  ResultsForm* results = Open();
  ASSERT_NE(results, nullptr);
  FlexGrid& results_grid = results->ResultsGrid();
  results_grid.SetRowCol(1, 0);
  results_grid.SetRowSel(2);
  results_grid.SetColSel(1);
  results->RunCommand("EditCopy");
  EXPECT_EQ(ClipboardText(), "1.0\t1.E0\r2.0\t2.E0");

  // A run of 70 records: past where the table used to keep one record in six. The names
  // changed, so the table of the run before has closed and a new one opens.
  B().RoomList[1].Name = "Kitchen";
  B().Scenario.Pollutants[0].Name = "CO";
  WriteRun(1, 1, 70, [](int k, int, int) { return static_cast<float>(k); });
  results = Open();
  ASSERT_NE(results, nullptr);
  FlexGrid& all_grid = results->ResultsGrid();
  all_grid.SetRowCol(2, 2);
  results->RunCommand("Editcopyall");
  std::vector<std::string> lines;
  std::istringstream text(ClipboardText());
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 71u);
  EXPECT_EQ(lines[0], "Time hrs\tCO Kitchen mg/m\xB3\tPeak Conc Kitchen mg/m\xB3");
  for (int k = 1; k <= 70; ++k) {
    EXPECT_EQ(lines[static_cast<size_t>(k)].substr(0, lines[static_cast<size_t>(k)].find('\t')),
              std::to_string(k) + ".0");
  }
  EXPECT_EQ(all_grid.Row(), 1);
  EXPECT_EQ(all_grid.Col(), 1);
}

// Lines of a printed page that hold something beside the time column: a time alone says
// nothing.
bool ShowsMoreThanTimes(const std::vector<std::string>& page) {
  const std::string margin(9, ' ');
  return std::any_of(page.begin() + 1, page.end(), [&margin](const std::string& l) {
    return !l.empty() && l.find_first_not_of(' ', l.find(' ', margin.size())) != std::string::npos;
  });
}

bool HasHeadings(const std::vector<std::string>& page) {
  return std::any_of(page.begin(), page.end(), [](const std::string& l) {
    return l.rfind(std::string(9, ' ') + "Time hrs", 0) == 0;
  });
}

TEST_F(ResultsWindowTest, PrintConcentrationNamesTheRunAndHeadsEveryPage) {
  B().ID = "House";
  B().Scenario.Name = "Winter";
  printer.format.lines_per_page = 40;
  WriteRun(2, 3, 60, [](int k, int r, int p) { return 10.0f * static_cast<float>(p + k) + r; });
  ResultsForm* results = Open();
  ASSERT_NE(results, nullptr);
  results->RunCommand("FilePrintConc");
  EXPECT_EQ(printer.documents, 1);
  ASSERT_GE(printer.pages.size(), 2U);
  const std::string margin(9, ' ');
  for (size_t i = 0; i < printer.pages.size(); ++i) {
    const std::vector<std::string>& page = printer.pages[i].lines;
    EXPECT_EQ(printer.pages[i].document, 0);
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(page[0], margin + "Results for House Scenario Winter Date 12-08-2026 Time 14:05:09")
        << "page " << i;
    EXPECT_TRUE(HasHeadings(page)) << "page " << i;
    EXPECT_TRUE(ShowsMoreThanTimes(page)) << "page " << i;
  }
  std::string all;
  for (const std::string& l : printer.Lines()) all += l + "\n";
  for (const char* text : {"4.2E1", "6.1E1", "Peak Conc", "Final sink mass"}) {
    EXPECT_NE(all.find(text), std::string::npos) << text;
  }
}

// The sample house and one of its scenarios, run from the building window.
class SampleHouseResults : public ResultsWindowTest {
 protected:
  void Run(const std::string& scenario) {
    std::string bld = Sample("house.BLD");
    ASSERT_TRUE(ReadBuildingFile(B(), bld, prompt));
    ASSERT_EQ(CommitScenarioRead(NewReadScenario(B(), Sample("Scenario/" + scenario), prompt), B()),
              ScenarioReadResult::Read);
    state->TempDrive = "";
    state->TempFolderName = state->TempFolder;
    building->RunCommand("CalculateConcentration");
    ASSERT_EQ(state->ConcentrationsCalculated, true);
    for (const auto& m : prompt.shown) {
      if (m.kind != "yesno") ADD_FAILURE() << m.text;
    }
    prompt.shown.clear();
  }
};

// Every total of the run in what its sources emit: µg in the house's µg/m³ scenario,
// particles in its count one, as the concentration window and the summary show them.
TEST_F(SampleHouseResults, TotalsAreInTheUnitTheSourcesEmit) {
  struct Case {
    const char* scenario;
    const char* unit;
    double per_conc_volume;  // a concentration times m³ in that unit
  };
  for (const Case& c : {Case{"house.SEN", " \xB5g", 1}, Case{"particles.SEN", " #", 1e6}}) {
    SCOPED_TRACE(c.scenario);
    AppWindows().Unload<ResultsForm>();
    AppWindows().Unload<SummaryForm>();
    if (state->ConcentrationsCalculated) prompt.answers.push_back(Answer::Yes);
    Run(c.scenario);
    const ScenarioRecord& s = B().Scenario;
    ResultsForm* results = Open();
    ASSERT_NE(results, nullptr);
    const FlexGrid& g = results->ResultsGrid();
    const int np = s.NumPollutants;
    const int col = B().NumRooms * np + 1;
    auto number = [](const std::string& text) { return LeadingNumber(RemoveCommas(text)); };
    for (int p = 0; p < np; ++p) {
      for (int row : {3 + p, np + 4 + p, 3 * np + 6 + p}) {
        EXPECT_TRUE(g.TextMatrix(row, col).ends_with(c.unit)) << g.TextMatrix(row, col);
      }
      const double emitted = s.TotalEmitted[static_cast<size_t>(p)];
      const double in_sinks = s.SinkMass[static_cast<size_t>(p)] * c.per_conc_volume;
      ASSERT_GT(emitted, 0);
      EXPECT_NEAR(number(g.TextMatrix(np + 4 + p, col)), emitted, 1e-4 * emitted);
      EXPECT_NEAR(number(g.TextMatrix(3 * np + 6 + p, col)), in_sinks, 1e-2 + 1e-4 * in_sinks);
    }
    building->RunCommand("DisplaySummary");
    auto* summary = AppWindows().Find<SummaryForm>();
    ASSERT_NE(summary, nullptr);
    const int totals = s.NumOccupants + 1;
    for (int row = totals; row < totals + 3; ++row) {
      EXPECT_TRUE(summary->Grid1().TextMatrix(row, 1).ends_with(c.unit))
          << summary->Grid1().TextMatrix(row, 1);
    }
  }
}

// The house's table is wider than the page: its totals go to a band of their own, which
// prints the rows that hold them and not a column of times.
TEST_F(SampleHouseResults, EveryPageOfTheConcentrationPrintoutShowsConcentrations) {
  Run("house.SEN");
  ResultsForm* results = Open();
  ASSERT_NE(results, nullptr);
  results->RunCommand("FilePrintConc");
  ASSERT_GE(printer.pages.size(), 2U);
  for (size_t i = 0; i < printer.pages.size(); ++i) {
    EXPECT_TRUE(HasHeadings(printer.pages[i].lines)) << "page " << i;
    EXPECT_TRUE(ShowsMoreThanTimes(printer.pages[i].lines)) << "page " << i;
  }
}

TEST_F(ResultsWindowTest, ResizedInNormalStateTheWindowFollowsTheFrame) {
  WriteRun(1, 1, 2, [](int, int, int) { return 1.0f; });
  frame.resize(900, 400);
  testing::ProcessEvents();
  ResultsForm* results = Open();
  ASSERT_NE(results, nullptr);
  auto* sub = qobject_cast<QMdiSubWindow*>(results->parentWidget());
  ASSERT_NE(sub, nullptr);
  sub->resize(300, 200);
  EXPECT_EQ(frame.height(), TwipsToPixels(7500));
  EXPECT_EQ(sub->geometry(),
            QRect(0, TwipsToPixels(50), 900 - TwipsToPixels(180), 500 - TwipsToPixels(1120)));
  // The grid keeps the window's margins and never runs past its client area.
  testing::ProcessEvents();
  EXPECT_EQ(results->ResultsGrid().y(), TwipsToPixels(10));
  EXPECT_LE(results->ResultsGrid().geometry().bottom(), results->centralWidget()->height());
  EXPECT_EQ(results->ResultsGrid().width(), sub->width() - TwipsToPixels(350));
}

TEST_F(ResultsWindowTest, TheWindowThatNoCommandOpensHasItsOwnGridAndSaveWritesNothing) {
  auto* all = AppWindows().Load<DisplayAllForm>([this] { return new DisplayAllForm(*context); });
  PlaceInArea(all, area);
  ShowInFront(*all);
  EXPECT_EQ(all->windowTitle().toStdString(), "Results of calculations");
  auto* sub = qobject_cast<QMdiSubWindow*>(all->parentWidget());
  ASSERT_NE(sub, nullptr);
  sub->resize(600, 400);
  testing::ProcessEvents();
  EXPECT_EQ(all->AllSS().geometry().topLeft(), QPoint(TwipsToPixels(5), TwipsToPixels(1)));
  EXPECT_EQ(all->AllSS().width(), 600 - TwipsToPixels(150));
  dialogs.answers = {Path("results")};
  all->RunCommand("filesave");
  EXPECT_EQ(dialogs.asked.size(), 1U);
  EXPECT_FALSE(fs::exists(Path("results")));
  all->RunCommand("fileprintsetup");
  EXPECT_EQ(printer.setups, 1);
  all->RunCommand("fileclose");
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(AppWindows().Find<DisplayAllForm>(), nullptr);
}

}  // namespace
}  // namespace quarn
