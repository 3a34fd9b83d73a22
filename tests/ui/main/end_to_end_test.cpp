// The program's main job from its windows, as a user does it: a key on the splash, menus
// opened and chosen with mouse clicks at their places, cells typed key by key, the
// progress window's button clicked. Open a building, open its scenario in the editor,
// transfer it, calculate the concentrations, save them, stop a second run, and change and
// save the scenario. Only the file dialogs and message boxes are scripted. Run with
// QUARN_SCREENSHOTS set to a folder (under Xvfb for real window decorations), it also
// saves pictures of the scenario editor and of the progress window there.

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <vector>

#include "common/main_window_fixture.h"
#include "common/menu_input.h"
#include "files/scenario_file.h"
#include "model/settings.h"
#include "model/work_file_reader.h"
#include "platform/flex_grid.h"
#include "platform/strip_chart.h"
#include "platform/user_input.h"
#include "platform/window_registry.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "text/text_reader.h"
#include "ui/grids/scenario_grid.h"
#include "ui/main/main_window.h"
#include "ui/main/scenario_editor.h"
#include "ui/main/splash_form.h"
#include "ui/results/run_graph.h"
#include "ui/results/summary_form.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;
namespace row = scenario_row;
using EndToEnd = testing::MainWindowTest;
using testing::ChooseMenu;
using testing::WaitFor;

void SavePicture(const QPixmap& picture, const char* name) {
  const char* dir = std::getenv("QUARN_SCREENSHOTS");
  if (dir == nullptr || picture.isNull()) return;
  picture.save(QString::fromStdString((fs::path(dir) / name).string()), "PNG");
}

// Clicks a cell of a grid, types the text key by key into whatever has the focus (the
// first key opens the edit box) and presses Enter.
void TypeIntoCell(FlexGrid& grid, int row, int col, const char* text) {
  testing::ClickCell(grid, row, col);
  ASSERT_EQ(grid.Row(), row);
  ASSERT_EQ(grid.Col(), col);
  testing::TypeKeys(text);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QTest::qWait(1);
}

RunGraph* VisibleRunGraph() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* graph = qobject_cast<RunGraph*>(w); graph != nullptr && graph->isVisible()) {
      return graph;
    }
  }
  return nullptr;
}

// Watches the progress window while a run goes on. The sample's day takes a millisecond or
// two, less than the window waits between refreshes, so the window is brought up to date
// after every step while it is watched, and this timer sees it after each.
class RunWatcher {
 public:
  // `at_points` is called once each time the chart has more points than before.
  explicit RunWatcher(std::function<void(RunGraph&, int)> at_points) : act_(std::move(at_points)) {
    RunGraph::SetRefreshInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      RunGraph* graph = VisibleRunGraph();
      if (graph == nullptr) return;
      const int points = graph->Chart().PointCount();
      if (points <= seen_) return;
      seen_ = points;
      act_(*graph, points);
    });
    timer_.start(0);
  }
  ~RunWatcher() { RunGraph::SetRefreshInterval(RunGraph::kRefreshMs); }
  RunWatcher(const RunWatcher&) = delete;
  RunWatcher& operator=(const RunWatcher&) = delete;
  int Seen() const { return seen_; }

 private:
  QTimer timer_;
  std::function<void(RunGraph&, int)> act_;
  int seen_ = 0;
};

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (char ch : bytes) {
    if (ch == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (ch != '\r') {
      line += ch;
    }
  }
  return lines;
}

std::vector<float> Fields(const std::string& line, char sep) {
  std::vector<float> out;
  std::string item;
  for (char ch : line + sep) {
    if (ch == sep) {
      if (!item.empty()) out.push_back(static_cast<float>(ParseNumber(item).value_or(-1e30)));
      item.clear();
    } else {
      item += ch;
    }
  }
  return out;
}

ScenarioEditor* Editor() {
  return AppWindows().Find<ScenarioEditor>();
}

// The user's own copies of the samples, with a scenario folder beside the building.
void CopySamples(const fs::path& data) {
  const fs::path samples = fs::path(QUARN_SOURCE_DIR) / "samples";
  fs::create_directories(data / "Scenario");
  fs::copy_file(samples / "house.BLD", data / "house.BLD");
  fs::copy_file(samples / "Scenario" / "house.SEN", data / "Scenario" / "house.SEN");
}

// A key on the splash starts the program; the frame it opened, or null.
MainWindow* StartWithAKey(MainContext& context) {
  auto* splash = new SplashForm(context);
  splash->setAttribute(Qt::WA_DeleteOnClose);
  if (!testing::ShowActive(*splash)) return nullptr;
  QPointer<SplashForm> splash_alive(splash);
  QTest::keyClick(splash, Qt::Key_Space, Qt::NoModifier);
  QTest::qWait(1);
  MainWindow* frame = splash_alive != nullptr ? splash_alive->Started() : nullptr;
  if (frame == nullptr) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* f = qobject_cast<MainWindow*>(w)) frame = f;
    }
  }
  if (frame == nullptr || !testing::ShowActive(*frame)) return nullptr;
  return frame;
}

TEST_F(EndToEnd, BuildingScenarioRunAndResultsFromTheWindows) {
  const fs::path data = folder / "data";
  CopySamples(data);
  MainWindow* frame = StartWithAKey(*context);
  ASSERT_NE(frame, nullptr);
  BuildingForm* building = frame->Building();
  ASSERT_NE(building, nullptr);

  // File > Open Building.
  prompt.answers = {Answer::Yes};
  dialogs.answers = {(data / "house.BLD").string()};
  ChooseMenu(*building, {"file", "fileopen"});
  ASSERT_EQ(state->Building.ID, "Sample house");
  ASSERT_EQ(state->Building.NumRooms, 3);

  // Scenarios: the editor opens in the frame and the building window steps aside.
  ChooseMenu(*building, {"Scenarios"});
  ScenarioEditor* editor = nullptr;
  ASSERT_TRUE(WaitFor([&editor] { return (editor = Editor()) != nullptr; }));
  EXPECT_TRUE(editor->isVisible());
  EXPECT_FALSE(building->isVisible());
  EXPECT_EQ(editor->ScenarioSS().TextMatrix(row::kBuilding, 1), "Sample house");

  // File > Open current version: house.SEN.
  prompt.shown.clear();
  prompt.answers = {Answer::Yes, Answer::Yes};
  dialogs.answers = {(data / "Scenario" / "house.SEN").string()};
  ChooseMenu(*editor, {"File", "FileLoad"});
  ASSERT_EQ(state->ScenarioSaved, true);
  ASSERT_EQ(state->Building.Scenario.Name, "Gas range");
  EXPECT_EQ(editor->ScenarioSS().TextMatrix(row::kName, 1), "Gas range");
  // The model as read, with what was entered in it.
  auto as_read = std::make_unique<ProgramState>();
  as_read->Building = state->Building;
  QTest::qWait(20);
  SavePicture(editor->window()->grab(), "scenario_editor.png");

  // Transfer: the editor closes and the building window comes back.
  ChooseMenu(*editor, {"Transfer"});
  ASSERT_TRUE(WaitFor([] {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return Editor() == nullptr;
  }));
  EXPECT_TRUE(building->isVisible());
  ASSERT_TRUE(testing::ShowActive(*frame));

  // Calculate > Concentration. The picture of the progress window is the last one taken
  // while it was shown: the chart nearly full, the boxes filled.
  QPixmap progress;
  prompt.shown.clear();
  {
    RunWatcher watch([&progress](RunGraph& graph, int) { progress = graph.grab(); });
    ChooseMenu(*building, {"calculate", "CalculateConcentration"});
    EXPECT_GT(watch.Seen(), 0) << "the progress window showed points during the run";
  }
  for (const auto& m : prompt.shown) ADD_FAILURE() << "unexpected message: " << m.text;
  ASSERT_EQ(state->ConcentrationsCalculated, true);
  ASSERT_TRUE(fs::exists(state->Building.ConcWorkFile));
  EXPECT_EQ(VisibleRunGraph(), nullptr);
  SavePicture(progress, "progress_window.png");

  // File > Save Results > Save Concentration: every row is a record of the work file.
  const std::string con = Path("house.con");
  dialogs.answers = {con};
  ChooseMenu(*building, {"file", "SAveR", "FileConcen"});
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(con, bytes));
  const std::vector<std::string> lines = SplitLines(bytes);
  ASSERT_GT(lines.size(), 4U);
  EXPECT_EQ(lines[0], "Results for Sample house Scenario Gas range");

  const ScenarioRecord& sc = state->Building.Scenario;
  auto work_records = [this, &sc] {
    ConcWorkFileReader work(state->Building.ConcWorkFile, state->DataSeparator,
                            state->Building.NumRooms, sc.NumPollutants);
    std::vector<std::vector<float>> out;
    while (work.Next() == ConcWorkFileReader::Status::Record) {
      std::vector<float> r{work.Time()};
      r.insert(r.end(), work.Concentrations().begin(), work.Concentrations().end());
      out.push_back(r);
    }
    return out;
  };
  const std::vector<std::vector<float>> records = work_records();
  ASSERT_GT(records.size(), 4U);
  size_t next = 0;
  EXPECT_EQ(lines[3], "Concentration unit,\xB5g/m\xB3,\xB5g/m\xB3,\xB5g/m\xB3,\xB5g/m\xB3,");
  for (size_t i = 4; i < lines.size(); ++i) {
    const std::vector<float> values = Fields(lines[i], state->DataSeparator);
    ASSERT_EQ(values.size(), records[0].size()) << lines[i];
    // The rows follow the records in time; the last row repeats the last record.
    while (next < records.size() && records[next][0] != values[0]) ++next;
    ASSERT_LT(next, records.size()) << "no work file record at time " << values[0];
    EXPECT_EQ(values, records[next]) << "row " << i;
  }
  EXPECT_EQ(Fields(lines.back(), state->DataSeparator), records.back());

  // The same run again, stopped with the progress window's button after its third record:
  // it counts as calculated, and its work file ends at the stop.
  const int per_record = (state->Building.NumRooms + 1) * sc.NumPollutants;
  prompt.answers = {Answer::Yes};
  {
    RunWatcher watch([per_record](RunGraph& graph, int points) {
      if (points < 3 * per_record || !graph.Running()) return;
      auto* stop = graph.findChild<QPushButton*>("Command1");
      ASSERT_NE(stop, nullptr);
      EXPECT_EQ(stop->text(), "Stop Calculation");
      QTest::mouseClick(stop, Qt::LeftButton);
    });
    ChooseMenu(*building, {"calculate", "CalculateConcentration"});
  }
  EXPECT_EQ(state->ConcentrationsCalculated, true);
  EXPECT_EQ(VisibleRunGraph(), nullptr);
  const std::vector<std::vector<float>> stopped = work_records();
  ASSERT_FALSE(stopped.empty());
  EXPECT_LT(stopped.size(), records.size());
  EXPECT_LT(stopped.back()[0], records.back()[0]);
  for (size_t i = 0; i < stopped.size(); ++i) EXPECT_EQ(stopped[i], records[i]) << "record " << i;

  // Open the scenario again, change the temperature as a user types it, save, reopen.
  ChooseMenu(*building, {"Scenarios"});
  ASSERT_TRUE(WaitFor([&editor] { return (editor = Editor()) != nullptr; }));
  prompt.answers = {Answer::Yes, Answer::Yes};
  dialogs.answers = {(data / "Scenario" / "house.SEN").string()};
  ChooseMenu(*editor, {"File", "FileLoad"});
  ASSERT_TRUE(testing::ShowActive(*editor->window()));
  TypeIntoCell(editor->ScenarioSS(), row::kTemperature, 1, "25");
  const std::string edited = (data / "Scenario" / "warm").string();
  dialogs.answers = {edited};
  ChooseMenu(*editor, {"File", "FileSave"});
  ASSERT_TRUE(fs::exists(edited + ".SEN"));
  prompt.answers = {Answer::Yes, Answer::Yes};
  dialogs.answers = {edited + ".SEN"};
  ChooseMenu(*editor, {"File", "FileNew"});
  EXPECT_EQ(state->Building.Scenario.Name, "");
  prompt.answers = {Answer::Yes, Answer::Yes};
  ChooseMenu(*editor, {"File", "FileLoad"});
  EXPECT_FLOAT_EQ(state->Building.Scenario.Temperature, 25.0F);
  EXPECT_EQ(editor->ScenarioSS().TextMatrix(row::kTemperature, 1), "25. C");

  // Every stored field is what was read, but the temperature typed and the HVAC type that
  // the list showed (the file had none, and the list shows its first entry).
  as_read->Building.Scenario.Temperature = 25;
  as_read->Building.Scenario.HVACType = 1;
  const std::string expected = ScenarioFileBytes(as_read->Building);
  EXPECT_EQ(ScenarioFileBytes(state->Building), expected);
  std::string saved;
  ASSERT_TRUE(ReadFileBytes(edited + ".SEN", saved));
  EXPECT_EQ(saved, expected);
  EXPECT_NE(saved.find("\r\n 760 \r\n 25 \r\n"), std::string::npos);

  state->ScenarioSaved = true;
  ChooseMenu(*editor, {"cancel"});
  frame->close();
  testing::ProcessEvents();
}

// A new user's account as a desktop login leaves it: a fresh home with nothing of the
// program's in it, the usual umask 022, and a runtime folder of the user's own that is empty
// (0700), or none at all. The program starts as main() starts it: this account's settings, the
// splash, the frame and the building window.
class NewUser : public ::testing::Test {
 protected:
  NewUser() {
    std::string pattern = (fs::temp_directory_path() / "new-user-XXXXXX").string();
    EXPECT_NE(::mkdtemp(pattern.data()), nullptr);
    root = pattern;
    old_umask = ::umask(022);
    home = root / "home";
    fs::create_directories(home);
    ::setenv("HOME", home.c_str(), 1);
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
      ::unsetenv(name);
    program = root / "program";
    fs::create_directories(program);
    CopySamples(home / "data");
  }
  ~NewUser() override {
    ::umask(old_umask);
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }

  // Starts the program, runs the README's sample, shows the summary and leaves by File > Exit.
  void RunTheSample() {
    ProgramState state;
    testing::ScriptedPrompt prompt;
    testing::ScriptedFileDialog dialogs;
    testing::RecordingHelp help;
    testing::RecordingPrinter printer;
    testing::MemoryDatabaseService database;
    const ProgramIdentity identity{"Quarn", 1, 0, 0};
    const std::string settings =
        LoadStartUpSettings(state, identity, HostStartUpEnvironment(program.string()), prompt);
    MainContext context{state, prompt, dialogs, help, printer, identity, settings, database};
    QPointer<MainWindow> frame = StartWithAKey(context);
    ASSERT_NE(frame, nullptr);
    BuildingForm* building = frame->Building();

    prompt.answers = {Answer::Yes};
    dialogs.answers = {(home / "data" / "house.BLD").string()};
    ChooseMenu(*building, {"file", "fileopen"});
    ChooseMenu(*building, {"Scenarios"});
    ScenarioEditor* editor = nullptr;
    ASSERT_TRUE(WaitFor([&editor] { return (editor = Editor()) != nullptr; }));
    prompt.answers = {Answer::Yes, Answer::Yes};
    dialogs.answers = {(home / "data" / "Scenario" / "house.SEN").string()};
    ChooseMenu(*editor, {"File", "FileLoad"});
    ASSERT_EQ(state.Building.Scenario.Name, "Gas range");
    ChooseMenu(*editor, {"Transfer"});
    ASSERT_TRUE(WaitFor([] {
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      return Editor() == nullptr;
    }));

    prompt.shown.clear();
    ChooseMenu(*building, {"calculate", "CalculateConcentration"});
    for (const auto& m : prompt.shown) ADD_FAILURE() << "unexpected message: " << m.text;
    ASSERT_EQ(state.ConcentrationsCalculated, true);

    ChooseMenu(*building, {"display", "DisplaySummary"});
    auto* summary = AppWindows().Find<SummaryForm>();
    ASSERT_NE(summary, nullptr);
    const ScenarioRecord& sc = state.Building.Scenario;
    const int row = sc.NumOccupants + 1;
    EXPECT_EQ(summary->Grid1().TextMatrix(row, 0), "Total emitted");
    EXPECT_GT(sc.TotalEmitted[0], 0.0F);
    EXPECT_EQ(summary->Grid1().TextMatrix(row, 1).rfind(
                  FormatPattern(sc.TotalEmitted[0], "#,#####0.0#"), 0),
              0U);
    ChooseMenu(*summary, {"File", "fileclose"});

    // Leave without saving, erasing the work files.
    prompt.answers = {Answer::Yes, Answer::Yes};
    ChooseMenu(*building, {"file", "fileexit"});
    ASSERT_TRUE(WaitFor([&frame] {
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      return frame == nullptr;
    }));
  }

  fs::path root;
  fs::path home;
  fs::path program;
  mode_t old_umask = 0;
};

TEST_F(NewUser, FirstCalculateWorksWithAnEmptyRuntimeFolder) {
  const fs::path run = root / "run";
  ASSERT_EQ(::mkdir(run.c_str(), 0700), 0);
  ::setenv("XDG_RUNTIME_DIR", run.c_str(), 1);
  RunTheSample();
}

// Without a runtime folder the work folder lies in the program's cache folder, which exists
// from the second start on (Qt keeps its own caches there).
TEST_F(NewUser, EveryCalculateWorksWithoutARuntimeFolder) {
  ::unsetenv("XDG_RUNTIME_DIR");
  fs::create_directories(home / ".cache" / "quarn");
  RunTheSample();
  RunTheSample();
}

}  // namespace
}  // namespace quarn
