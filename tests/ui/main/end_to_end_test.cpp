// The program's main job from its windows, as a user does it: open a building, open its
// scenario in the editor, transfer it, calculate the concentrations, save them, and change
// and save the scenario. Run under Xvfb with QUARN_SCREENSHOTS set to a folder, it also
// saves pictures of the scenario editor and of the progress window there.

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <vector>

#include "files/scenario_file.h"
#include "main_window_fixture.h"
#include "model/work_file_reader.h"
#include "platform/flex_grid.h"
#include "platform/user_input.h"
#include "platform/window_registry.h"
#include "text/number_read.h"
#include "text/text_reader.h"
#include "ui/main/main_window.h"
#include "ui/main/scenario_editor.h"
#include "ui/main/scenario_grid.h"
#include "ui/results/run_graph.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;
namespace row = scenario_row;
using EndToEnd = testing::MainWindowTest;

void Screenshot(QWidget& w, const char* name) {
  const char* dir = std::getenv("QUARN_SCREENSHOTS");
  if (dir == nullptr) return;
  w.grab().save(QString::fromStdString((fs::path(dir) / name).string()), "PNG");
}

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

mainscenarioform* Editor() {
  return AppWindows().Find<mainscenarioform>();
}

TEST_F(EndToEnd, BuildingScenarioRunAndResultsFromTheWindows) {
  // The user's own copies of the samples, with a scenario folder beside the building.
  const fs::path data = folder / "data";
  fs::create_directories(data / "Scenario");
  fs::copy_file(Sample("house.BLD"), data / "house.BLD");
  fs::copy_file(Sample("house.SEN"), data / "Scenario" / "house.SEN");

  RevudUzad* frame = StartMainWindow(*context);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(testing::ShowActive(*frame));
  BuildingForm* building = frame->Building();
  ASSERT_NE(building, nullptr);

  // File > Open Building.
  prompt.answers = {Answer::Yes};
  dialogs.answers = {(data / "house.BLD").string()};
  building->RunCommand("fileopen");
  ASSERT_EQ(state->Building.ID, "Sample house");
  ASSERT_EQ(state->Building.NumRooms, 3);

  // Scenarios: the editor opens in the frame and the building window steps aside.
  building->RunCommand("Scenarios");
  testing::ProcessEvents();
  mainscenarioform* editor = Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->isVisible());
  EXPECT_FALSE(building->isVisible());
  EXPECT_EQ(editor->ScenarioSS().TextMatrix(row::kBuilding, 1), "Sample house");

  // File > Opencurrent version: house.SEN.
  prompt.shown.clear();
  prompt.answers = {Answer::Yes, Answer::Yes};
  dialogs.answers = {(data / "Scenario" / "house.SEN").string()};
  editor->RunCommand("FileLoad");
  ASSERT_EQ(state->ScenarioSaved, kTrue);
  ASSERT_EQ(state->Building.Scenario.Name, "Gas range");
  EXPECT_EQ(editor->ScenarioSS().TextMatrix(row::kName, 1), "Gas range");
  // The model as read, with what was entered beside it.
  auto as_read = std::make_unique<ProgramState>();
  as_read->Building = state->Building;
  as_read->OutdoorConcInput = state->OutdoorConcInput;
  as_read->InitialConcInput = state->InitialConcInput;
  testing::ProcessEvents();
  Screenshot(*editor->window(), "scenario_editor.png");

  // Transfer: the editor closes and the building window comes back.
  editor->RunCommand("Transfer");
  for (int i = 0; i < 5 && Editor() != nullptr; ++i) testing::ProcessEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  testing::ProcessEvents();
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_TRUE(building->isVisible());

  // Calculate > Concentration, with a picture of the progress window while it runs.
  bool pictured = false;
  QTimer::singleShot(0, [&pictured] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* graph = qobject_cast<RunGraph*>(w); graph != nullptr && graph->isVisible()) {
        Screenshot(*graph, "progress_window.png");
        pictured = true;
      }
    }
  });
  prompt.shown.clear();
  building->RunCommand("CalculateConcentration");
  for (const auto& s : prompt.shown) ADD_FAILURE() << "unexpected message: " << s.text;
  ASSERT_EQ(state->ConcentrationsCalculated, kTrue);
  EXPECT_TRUE(pictured) << "the progress window was shown during the run";
  ASSERT_TRUE(fs::exists(state->Building.ConcWorkFile));

  // File > Save Results > Save Concentration: every row is a record of the work file.
  const std::string con = Path("house.con");
  dialogs.answers = {con};
  building->RunCommand("FileConcen");
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(con, bytes));
  const std::vector<std::string> lines = SplitLines(bytes);
  ASSERT_GT(lines.size(), 4U);
  EXPECT_EQ(lines[0], "Results for Sample house Scenario Gas range");

  const ScenarioRecord& sc = state->Building.Scenario;
  ConcWorkFileReader work(state->Building.ConcWorkFile, state->DataSeparator,
                          state->Building.NumRooms, sc.NumPollutants);
  std::vector<std::vector<float>> records;
  while (work.Next() == ConcWorkFileReader::Status::Record) {
    std::vector<float> r{work.Time()};
    r.insert(r.end(), work.Concentrations().begin(), work.Concentrations().end());
    records.push_back(r);
  }
  ASSERT_FALSE(records.empty());
  size_t next = 0;
  for (size_t i = 3; i < lines.size(); ++i) {
    const std::vector<float> values = Fields(lines[i], state->DataSeparator);
    ASSERT_EQ(values.size(), records[0].size()) << lines[i];
    // The rows follow the records in time; the last row repeats the last record.
    while (next < records.size() && records[next][0] != values[0]) ++next;
    ASSERT_LT(next, records.size()) << "no work file record at time " << values[0];
    EXPECT_EQ(values, records[next]) << "row " << i;
  }
  EXPECT_EQ(Fields(lines.back(), state->DataSeparator), records.back());

  // Open the scenario again, change the temperature as a user types it, save, reopen.
  building->RunCommand("Scenarios");
  testing::ProcessEvents();
  editor = Editor();
  ASSERT_NE(editor, nullptr);
  prompt.answers = {Answer::Yes, Answer::Yes};
  dialogs.answers = {(data / "Scenario" / "house.SEN").string()};
  editor->RunCommand("FileLoad");
  ASSERT_TRUE(testing::ShowActive(*editor->window()));
  editor->ScenarioSS().setFocus();
  editor->ScenarioSS().SetRowCol(row::kTemperature, 1);
  testing::Type("25");
  testing::Enter();
  const std::string edited = (data / "Scenario" / "warm").string();
  dialogs.answers = {edited};
  editor->RunCommand("FileSave");
  ASSERT_TRUE(fs::exists(edited + ".SEN"));
  prompt.answers = {Answer::Yes, Answer::Yes};
  dialogs.answers = {edited + ".SEN"};
  editor->RunCommand("FileNew");
  EXPECT_EQ(state->Building.Scenario.Name, "");
  prompt.answers = {Answer::Yes, Answer::Yes};
  editor->RunCommand("FileLoad");
  EXPECT_FLOAT_EQ(state->Building.Scenario.Temperature, 25.0F);
  EXPECT_EQ(editor->ScenarioSS().TextMatrix(row::kTemperature, 1), "25. C");

  // Every stored field is what was read, but the temperature typed and the HVAC type that
  // the list showed (the file had none, and the list shows its first entry).
  as_read->Building.Scenario.Temperature = 25;
  as_read->Building.Scenario.HVACType = 1;
  const std::string expected =
      ScenarioFileBytes(as_read->Building, as_read->OutdoorConcInput, as_read->InitialConcInput);
  EXPECT_EQ(ScenarioFileBytes(state->Building, state->OutdoorConcInput, state->InitialConcInput),
            expected);
  std::string saved;
  ASSERT_TRUE(ReadFileBytes(edited + ".SEN", saved));
  EXPECT_EQ(saved, expected);
  EXPECT_NE(saved.find("\r\n 760 \r\n 25 \r\n"), std::string::npos);

  state->ScenarioSaved = kTrue;
  editor->RunCommand("cancel");
  frame->close();
  testing::ProcessEvents();
}

}  // namespace
}  // namespace quarn
