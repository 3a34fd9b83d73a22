#include "ui/main/scenario_editor.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "common/memory_database.h"
#include "common/recorded_help.h"
#include "common/recording_printer.h"
#include "common/scripted_file_dialog.h"
#include "common/scripted_prompt.h"
#include "files/scenario_file.h"
#include "model/resets.h"
#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/help_service.h"
#include "platform/qt_text.h"
#include "platform/user_input.h"
#include "platform/window_registry.h"
#include "text/text_reader.h"
#include "text/text_writer.h"
#include "ui/common/tool_openers.h"
#include "ui/grids/scenario_grid.h"
#include "ui/inputs/occupant_form.h"
#include "ui/inputs/pollutant_form.h"
#include "ui/inputs/room_source_form.h"
#include "ui/tools/calculator_form.h"
#include "ui/tools/convert_diameters_form.h"
#include "ui/tools/units_form.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;
namespace row = scenario_row;
using testing::RecordedHelp;
using testing::ScriptedFileDialog;
using testing::ScriptedPrompt;

class ScenarioEditor : public ::testing::Test {
 protected:
  ScenarioEditor() {
    dir_ = fs::temp_directory_path() /
           (std::string("quarn_editor_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    BuildingRecord& b = state_->Building;
    b.ID = "Test house";
    b.NumRooms = 1;
    b.MasterFile = "house";
    b.RoomList[1].Name = "Kitchen";
    InitializeScenario(*state_);
    b.Scenario.Name = "Before";
    b.Scenario.PollutantClass = "VOC";
    b.Scenario.ConcUnits = "milligrams";
    b.Scenario.NumPollutants = 1;
    b.Scenario.YearsSimulated = 1;
    state_->ScenarioFolder = dir_.string();
    editor_ = std::make_unique<quarn::ScenarioEditor>(ctx_);
    editor_->Load();
    editor_->FillGrid();
  }
  ~ScenarioEditor() override {
    editor_.reset();
    fs::remove_all(dir_);
  }

  std::string File(const std::string& name) const { return (dir_ / name).string(); }
  ScenarioRecord& Scenario() { return state_->Building.Scenario; }
  FlexGrid& Grid() { return editor_->ScenarioSS(); }
  QRadioButton* Option(const char* name) { return editor_->findChild<QRadioButton*>(name); }

  fs::path dir_;
  std::unique_ptr<ProgramState> state_ = std::make_unique<ProgramState>();
  ScriptedPrompt prompt_;
  ScriptedFileDialog dialogs_;
  RecordedHelp help_;
  testing::RecordingPrinter printer_;
  testing::MemoryDatabaseService database_;
  MainContext ctx_{*state_, prompt_, dialogs_, help_, printer_, {}, "", database_};
  std::unique_ptr<quarn::ScenarioEditor> editor_;
};

// The menus as a user sees them: every item with its place, caption and name, in order.
void WalkMenu(const QList<QAction*>& actions, const std::string& parent,
              std::vector<std::array<std::string, 3>>& out) {
  for (QAction* a : actions) {
    const std::string caption = a->isSeparator() ? "-" : FromQt(a->text());
    const std::string path = parent.empty() ? caption : parent + " > " + caption;
    out.push_back({path, caption, a->objectName().toStdString()});
    if (a->menu() != nullptr && a->objectName() != "WindowsList") {
      WalkMenu(a->menu()->actions(), path, out);
    }
  }
}

TEST_F(ScenarioEditor, ControlsCarryTheirNamesCaptionsAndLists) {
  EXPECT_EQ(editor_->windowTitle(), "Scenario data entry");
  for (const char* name : {"TopFrame", "Frame4", "ScenarioSS", "EditCell"}) {
    EXPECT_NE(editor_->findChild<QWidget*>(name), nullptr) << name;
  }
  EXPECT_EQ(editor_->findChild<QGroupBox*>("Frame1")->title(), "Concentration units");
  EXPECT_EQ(editor_->findChild<QLabel*>("Label1")->text(), "Select class of pollutant from list");
  EXPECT_EQ(editor_->findChild<QLabel*>("Label2")->text(),
            "Select type of HVAC system and air cleaner location from list");
  EXPECT_EQ(Option("micrograms")->text(), QString::fromUtf8("\u00B5g/m3"));
  EXPECT_EQ(Option("milligrams")->text(), "mg/m3");
  QComboBox& hvac = editor_->TypeHVAC();
  ASSERT_EQ(hvac.count(), 4);
  EXPECT_EQ(hvac.itemText(2), "Commercial clean outdoor only ");  // with its trailing blank
  EXPECT_EQ(hvac.itemText(3), "In supply");
  QComboBox& classes = editor_->PollutantType();
  ASSERT_EQ(classes.count(), 4);
  EXPECT_EQ(classes.itemText(0), "VOC");
  EXPECT_EQ(classes.itemText(3), "Other");
  EXPECT_EQ(Grid().TextMatrix(row::kHours, 1), "8,760. hr");
}

TEST_F(ScenarioEditor, UnitOptionsFollowTheRecord) {
  struct Case {
    const char* cls;
    const char* units;
    const char* checked;  // nullptr: none
    const char* caption;
    const char* outdoor;
  };
  const Case cases[] = {
      {"VOC", "ppm", "number", "ppm", "milligrams"},
      {"VOC", "micrograms", "micrograms", "ppm", "milligrams"},
      {"PM2.5", "number", "number", "Number/cubic cm", "number"},
      {"PM", "milligrams", "milligrams", "Number/cubic cm", "number"},
      {"O3", "bogus", nullptr, "ppm", "milligrams"},
  };
  for (const Case& c : cases) {
    Scenario().PollutantClass = c.cls;
    Scenario().ConcUnits = c.units;
    Scenario().OutdoorConcUnits = "";
    editor_->SetupFormUnits();
    for (const char* name : {"number", "micrograms", "milligrams"}) {
      const bool expected = c.checked != nullptr && std::string(name) == c.checked;
      EXPECT_EQ(Option(name)->isChecked(), expected) << c.cls << " " << c.units << " " << name;
    }
    EXPECT_EQ(Option("number")->text().toStdString(), c.caption);
    EXPECT_EQ(Scenario().OutdoorConcUnits, c.outdoor);
  }
  // With nothing checked the units become milligrams, and the option shows it.
  GetUnitsFromForm(Scenario(), *editor_);
  EXPECT_EQ(Scenario().ConcUnits, "milligrams");
  EXPECT_TRUE(Option("milligrams")->isChecked());
}

TEST_F(ScenarioEditor, FirstOptionStoresNumberAndTransferMakesItPpmForAGas) {
  Scenario().NumSources[1] = 1;
  state_->ScenarioSaved = true;
  ASSERT_TRUE(testing::ShowActive(*editor_));
  Option("number")->click();
  EXPECT_EQ(Scenario().ConcUnits, "number");
  editor_->RunCommand("Transfer");
  EXPECT_EQ(Scenario().ConcUnits, "ppm");
  EXPECT_EQ(Scenario().Sources[1][1].SourceUnitsCode, 2);
  EXPECT_FALSE(editor_->isVisible());
  EXPECT_TRUE(prompt_.shown.empty()) << "a saved scenario closes without a question";
}

TEST_F(ScenarioEditor, ClassListWritesItsRowAndTheFirstOptionCaption) {
  QComboBox& classes = editor_->PollutantType();
  classes.setCurrentIndex(1);
  emit classes.activated(1);
  EXPECT_EQ(Grid().TextMatrix(row::kPollutantClass, 1), "PM");
  EXPECT_EQ(Scenario().PollutantClass.str(), "PM      ");
  EXPECT_EQ(Option("number")->text(), "Number/cubic cm");
  classes.setCurrentIndex(2);
  emit classes.activated(2);
  EXPECT_EQ(Grid().TextMatrix(row::kPollutantClass, 1), "O3");
  EXPECT_EQ(Option("number")->text(), "PPM");
  // Typing a class of its own.
  classes.lineEdit()->setText("PM10");
  emit classes.lineEdit()->textEdited("PM10");
  EXPECT_EQ(Grid().TextMatrix(row::kPollutantClass, 1), "PM10");
  EXPECT_EQ(Scenario().PollutantClass.str(), "PM10    ");
}

TEST_F(ScenarioEditor, NewClearsTheScenarioOnlyAfterYes) {
  prompt_.answers = {Answer::No};
  editor_->RunCommand("FileNew");
  ASSERT_EQ(prompt_.shown.size(), 1U);
  EXPECT_EQ(prompt_.shown[0].title, "WARNING");
  EXPECT_EQ(prompt_.shown[0].text.substr(0, 60),
            "This will clear all scenario information.   Do you wish to c");
  EXPECT_EQ(Scenario().Name, "Before");

  state_->ScenarioSaved = true;
  state_->ConcentrationsCalculated = true;
  state_->SourcesSaved = true;
  prompt_.answers = {Answer::Yes};
  editor_->RunCommand("FileNew");
  EXPECT_EQ(Scenario().Name, "");
  EXPECT_EQ(Grid().TextMatrix(row::kName, 1), "");
  EXPECT_EQ(state_->ScenarioSaved, false);
  EXPECT_EQ(state_->SourcesSaved, false);
  EXPECT_EQ(state_->ConcentrationsCalculated, false);
}

// A V1.8 file for a one-room building: no sources, sinks or occupants, ending after the
// flags that follow the occupants (the items after them are optional).
std::string OldLayoutFile() {
  std::string t;
  auto l = [&t](const std::string& line) { t += line + "\r\n"; };
  for (const char* s : {"V1.8", "Test house", " 1 ", "Old scenario", "from 1.8", "micrograms",
                        " .7 ", "Y", "N", " 2 ", " 1 ", "N", " 3.5 ", "O3"}) {
    l(s);
  }
  for (const char* s : {" 9 ", " 8 ", "Y", "Y", " .4 ", "Ozone", " .3 ", " .002 ", "gas", " .1 ",
                        " 2 ", " .05 ", " .9 ", " 50 "}) {
    l(s);
  }
  for (const char* s : {"N", " 11 ", " 12 ", " 1 ", " 2 ", " 3 ", " 4 ", " 20 ", " 21 "}) l(s);
  for (int i = 0; i < 200; ++i) l(" 0 ");
  for (const char* s : {" 0 ", " 0 ", " 0 ", " 0 ", " 0 ", "N", "Y", "N"}) l(s);
  return t;
}

TEST_F(ScenarioEditor, OpenRoutesEachLayoutToItsReader) {
  // The current layout, written by the program.
  BuildingRecord other = state_->Building;
  other.Scenario.Name = "Current";
  other.Scenario.HVACType = 3;
  other.Scenario.ConcUnits = "micrograms";
  other.Scenario.NumOccupants = 0;
  const std::string current = File("current.SEN");
  ASSERT_TRUE(WriteFileAtomic(current, ScenarioFileBytes(other), nullptr));
  state_->ScenarioSaved = false;
  dialogs_.answers = {current};
  prompt_.answers = {Answer::Yes, Answer::Yes};
  editor_->RunCommand("FileLoad");
  ASSERT_EQ(prompt_.shown.size(), 2U);
  EXPECT_EQ(prompt_.shown[0].title, "Warning");
  EXPECT_EQ(prompt_.shown[1].text,
            "This is a scenario for building Test house with 1 rooms. Do you want to continue?");
  EXPECT_EQ(Scenario().Name, "Current");
  EXPECT_EQ(Grid().TextMatrix(row::kName, 1), "Current");
  EXPECT_EQ(editor_->TypeHVAC().currentIndex(), 2) << "the type read is shown";
  EXPECT_TRUE(Option("micrograms")->isChecked());
  EXPECT_EQ(state_->ScenarioSaved, true);
  EXPECT_EQ(state_->CurrentFileName, current);
  ASSERT_EQ(dialogs_.asked.size(), 1U);
  EXPECT_EQ(dialogs_.asked[0].request.initial_name, "house.Sen");
  EXPECT_EQ(dialogs_.asked[0].request.filter, "All Scenario (*.SEN)|*.SEN|All files (*.*)|*.*");

  // An older layout, chosen without its extension.
  std::ofstream(File("old.SEN"), std::ios::binary) << OldLayoutFile();
  prompt_.shown.clear();
  dialogs_.answers = {File("old")};
  prompt_.answers = {Answer::Yes, Answer::Yes};
  editor_->RunCommand("FileLoad");
  ASSERT_EQ(prompt_.shown.size(), 2U);
  EXPECT_EQ(prompt_.shown[1].title, "File is for");
  EXPECT_EQ(Scenario().Name, "Old scenario");
  EXPECT_EQ(Scenario().PollutantClass.str(), "O3      ");
  EXPECT_EQ(Grid().TextMatrix(row::kComments, 1), "from 1.8");
  EXPECT_EQ(Grid().TextMatrix(row::kHours, 1), "17,520. hr");
  EXPECT_EQ(editor_->PollutantType().currentIndex(), 2);
  EXPECT_EQ(state_->CurrentFileName, File("old.SEN"));
  EXPECT_EQ(state_->ScenarioFolder, dir_.string());
}

TEST_F(ScenarioEditor, OpenThatIsCancelledOrFailsKeepsTheScenario) {
  state_->ScenarioSaved = false;
  // No to the question, then a cancelled dialog.
  prompt_.answers = {Answer::No};
  editor_->RunCommand("FileLoad");
  EXPECT_TRUE(dialogs_.asked.empty());
  prompt_.answers = {Answer::Yes};
  dialogs_.answers = {std::nullopt};
  editor_->RunCommand("FileLoad");
  EXPECT_EQ(Scenario().Name, "Before");
  // A damaged file: the reader says so, and nothing changes or counts as saved.
  std::ofstream(File("bad.SEN"), std::ios::binary) << "V1.96\r\nTest house\r\n 1 \r\nName\r\n";
  prompt_.shown.clear();
  prompt_.answers = {Answer::Yes, Answer::Yes};
  dialogs_.answers = {File("bad.SEN")};
  editor_->RunCommand("FileLoad");
  EXPECT_EQ(Scenario().Name, "Before");
  EXPECT_EQ(Grid().TextMatrix(row::kName, 1), "Before");
  EXPECT_EQ(state_->ScenarioSaved, false);
  EXPECT_EQ(prompt_.Count("message"), 1U);
}

TEST_F(ScenarioEditor, SaveWritesTheGridAndMarksSavedOnlyWhenWritten) {
  Grid().SetTextMatrix(row::kName, 1, "Edited");
  state_->ScenarioSaved = false;
  // A cancelled dialog: nothing written, nothing marked.
  dialogs_.answers = {std::nullopt};
  editor_->RunCommand("FileSave");
  EXPECT_EQ(state_->ScenarioSaved, false);
  // A folder that does not exist: the write fails and is reported.
  dialogs_.answers = {File("missing/evening.SEN")};
  editor_->RunCommand("FileSave");
  EXPECT_EQ(state_->ScenarioSaved, false);
  EXPECT_EQ(prompt_.Count("message"), 1U);
  // A name without a point becomes a .SEN file holding what the grid shows.
  dialogs_.answers = {File("evening")};
  editor_->RunCommand("FileSave");
  ASSERT_TRUE(fs::exists(File("evening.SEN")));
  EXPECT_EQ(state_->ScenarioSaved, true);
  EXPECT_EQ(state_->SourcesSaved, true);
  EXPECT_EQ(Scenario().Name, "Edited");
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(File("evening.SEN"), bytes));
  EXPECT_EQ(bytes.substr(0, 32), "V1.96\r\nTest house\r\n 1 \r\nEdited\r\n");

  // "evening" again names the existing evening.SEN: it is replaced only after a Yes; No
  // brings the dialog back, and a cancel there writes nothing.
  Grid().SetTextMatrix(row::kName, 1, "Later");
  dialogs_.answers = {File("evening"), std::nullopt};
  dialogs_.replace_answers = {false};
  editor_->RunCommand("FileSave");
  ASSERT_EQ(dialogs_.replace_asked, std::vector<std::string>{File("evening.SEN")});
  ASSERT_TRUE(ReadFileBytes(File("evening.SEN"), bytes));
  EXPECT_NE(bytes.find("\nEdited\r"), std::string::npos) << "No replaced nothing";
  dialogs_.answers = {File("evening")};
  dialogs_.replace_answers = {true};
  editor_->RunCommand("FileSave");
  ASSERT_TRUE(ReadFileBytes(File("evening.SEN"), bytes));
  EXPECT_NE(bytes.find("\nLater\r"), std::string::npos);
}

TEST_F(ScenarioEditor, TransferAsksOnceWhenUnsavedAndChecksTheOccupants) {
  ASSERT_TRUE(testing::ShowActive(*editor_));
  state_->ScenarioSaved = false;
  Scenario().Occupants[1].TimeLeave[1] = 8;
  Scenario().Occupants[2].TimeLeave[1] = 0;
  Scenario().Occupants[3].TimeLeave[1] = 9;
  Grid().SetTextMatrix(row::kNumOccupants, 1, "3");
  prompt_.answers = {Answer::No};
  editor_->RunCommand("Transfer");
  ASSERT_EQ(prompt_.shown.size(), 1U);
  EXPECT_EQ(prompt_.shown[0].text,
            "Scenario not saved.  Do you wish to exit without saving scenario?");
  EXPECT_TRUE(editor_->isVisible()) << "No keeps the window";
  EXPECT_EQ(Scenario().NumOccupants, 3) << "the transfer itself happened";
  EXPECT_EQ(state_->OccupantDataComplete, false) << "the second occupant never leaves";

  Scenario().Occupants[2].TimeLeave[1] = 1;
  prompt_.answers = {Answer::Yes};
  editor_->RunCommand("FileTransfer");
  EXPECT_FALSE(editor_->isVisible());
  EXPECT_EQ(state_->OccupantDataComplete, true);
}

TEST_F(ScenarioEditor, CountsOutsideTheRecordKeepTheWindowOpen) {
  ASSERT_TRUE(testing::ShowActive(*editor_));
  state_->ScenarioSaved = true;
  Grid().SetTextMatrix(row::kNumPollutants, 1, "9");
  editor_->RunCommand("Transfer");
  EXPECT_TRUE(editor_->isVisible());
  ASSERT_EQ(prompt_.shown.size(), 1U);
  EXPECT_EQ(prompt_.shown[0].text,
            "Warning.  Number of pollutants must be from 1 to 8.  Reenter data.");
  EXPECT_EQ(Scenario().NumPollutants, 1);
  Grid().SetTextMatrix(row::kNumPollutants, 1, "2");
  Grid().SetTextMatrix(row::kNumOccupants, 1, "4");
  editor_->RunCommand("Transfer");
  EXPECT_TRUE(editor_->isVisible());
  EXPECT_EQ(prompt_.shown.back().text,
            "Warning.  Number of occupants must be from 0 to 3.  Reenter data.");
  EXPECT_EQ(Scenario().NumPollutants, 1) << "nothing stored from a refused grid";
}

TEST_F(ScenarioEditor, CancelAsksItsQuestionOnce) {
  ASSERT_TRUE(testing::ShowActive(*editor_));
  state_->ScenarioSaved = false;
  prompt_.answers = {Answer::No};
  editor_->RunCommand("cancel");
  EXPECT_TRUE(editor_->isVisible());
  ASSERT_EQ(prompt_.shown.size(), 1U);
  EXPECT_EQ(prompt_.shown[0].text,
            "Scenario data have not been transfered.  Do you wish to exit without saving "
            "scenario data?");
  EXPECT_EQ(prompt_.shown[0].icon, MessageIcon::Critical);
  prompt_.answers = {Answer::Yes};
  Grid().SetTextMatrix(row::kName, 1, "not transferred");
  editor_->RunCommand("FileCancel");
  EXPECT_FALSE(editor_->isVisible());
  EXPECT_EQ(prompt_.shown.size(), 2U) << "one question for the Cancel";
  EXPECT_EQ(Scenario().Name, "Before");
}

// Values typed and not transferred are lost by the close box as by Cancel: both ask, and
// No keeps them on screen, an entry still in its box too.
TEST_F(ScenarioEditor, TheCloseBoxNeverDropsUntransferredValuesWithoutAsking) {
  ASSERT_TRUE(testing::ShowActive(*editor_));
  state_->ScenarioSaved = true;
  Grid().setFocus();
  Grid().SetRowCol(row::kName, 1);
  testing::Type("Winter");
  testing::Enter();
  Grid().SetRowCol(row::kComments, 1);
  testing::Type("cold");  // still in the box
  prompt_.answers = {Answer::No};
  editor_->close();
  EXPECT_TRUE(editor_->isVisible());
  ASSERT_EQ(prompt_.shown.size(), 1U);
  EXPECT_EQ(prompt_.shown[0].text, "All changes will be lost.  Do you wish to continue?");
  EXPECT_EQ(prompt_.shown[0].default_answer, Answer::No);
  EXPECT_EQ(Grid().TextMatrix(row::kName, 1), "Winter");
  EXPECT_EQ(editor_->EditCell().text(), "cold");
  state_->ScenarioSaved = false;  // one question, not one more about the file
  prompt_.answers = {Answer::Yes};
  editor_->close();
  EXPECT_FALSE(editor_->isVisible());
  EXPECT_EQ(prompt_.shown.size(), 2U);
  EXPECT_EQ(Scenario().Name, "Before");
}

TEST_F(ScenarioEditor, TypedYearsAndHoursFollowEachOther) {
  ASSERT_TRUE(testing::ShowActive(*editor_));
  Grid().setFocus();
  Grid().SetRowCol(row::kYears, 1);
  testing::Type("2");
  testing::Enter();
  testing::ProcessEvents();
  EXPECT_EQ(Grid().TextMatrix(row::kYears, 1), "2");
  EXPECT_EQ(Grid().TextMatrix(row::kHours, 1), "17,520.0 h");

  Grid().setFocus();
  Grid().SetRowCol(row::kHours, 1);
  testing::Type("8,760");
  testing::Enter();
  testing::ProcessEvents();
  EXPECT_EQ(Grid().TextMatrix(row::kYears, 1), "1.0 yr");
  // Enter moved on from the hours: the next entry is the temperature, not new hours.
  testing::Type("20");
  testing::Enter();
  testing::ProcessEvents();
  EXPECT_EQ(Grid().TextMatrix(row::kHours + 1, 1), "20");
  EXPECT_EQ(Grid().Row(), row::kHours + 2);
  state_->ScenarioSaved = true;
  editor_->RunCommand("Transfer");
  EXPECT_FLOAT_EQ(Scenario().HoursSimulated, 8760.0F);
  EXPECT_FLOAT_EQ(Scenario().YearsSimulated, 1.0F);
}

// Letters typed into a number row are refused at the key: the row keeps its number instead
// of storing 0.
TEST_F(ScenarioEditor, NumberRowsRefuseLetters) {
  Scenario().OverallACH = 0.5F;
  editor_->FillGrid();
  ASSERT_TRUE(testing::ShowActive(*editor_));
  Grid().setFocus();
  Grid().SetRowCol(row::kOverallACH, 1);
  testing::Type("abc");
  testing::Enter();
  testing::ProcessEvents();
  state_->ScenarioSaved = true;
  editor_->RunCommand("Transfer");
  EXPECT_FLOAT_EQ(Scenario().OverallACH, 0.5F);
}

TEST_F(ScenarioEditor, HoursComeBackAsTypedAndTheFileDoesNotChange) {
  const struct {
    const char* typed;
    const char* shown;
  } cases[] = {{"100", "100. hr"}, {"72", "72. hr"}, {"8,760", "8,760. hr"}};
  for (const auto& c : cases) {
    Grid().SetTextMatrix(row::kHours, 1, c.typed);
    dialogs_.answers = {File("hours.SEN"), File("hours.SEN"), File("again.SEN")};
    editor_->RunCommand("FileSave");
    prompt_.answers = {Answer::Yes, Answer::Yes};
    editor_->RunCommand("FileLoad");
    EXPECT_EQ(Grid().TextMatrix(row::kHours, 1), c.shown) << c.typed;
    // Saved again untouched, the file is the same: the cell keeps the stored hours.
    editor_->RunCommand("FileSave");
    std::string first, second;
    ASSERT_TRUE(ReadFileBytes(File("hours.SEN"), first));
    ASSERT_TRUE(ReadFileBytes(File("again.SEN"), second));
    EXPECT_EQ(first, second) << c.typed;
  }
}

TEST_F(ScenarioEditor, ARowHeadingClickThenTypingEditsThatRow) {
  ASSERT_TRUE(testing::ShowActive(*editor_));
  Grid().setFocus();
  Grid().SetRowCol(row::kComments, 1);
  testing::Click(Grid().viewport(), Grid().CellCenter(row::kName, 0));
  testing::Type("x");
  testing::Enter();
  testing::ProcessEvents();
  EXPECT_EQ(Grid().TextMatrix(row::kName, 1), "x");
  EXPECT_EQ(Grid().TextMatrix(row::kComments, 1), "");
}

TEST_F(ScenarioEditor, QuestionsThatLoseTheScenarioDefaultToNo) {
  ASSERT_TRUE(testing::ShowActive(*editor_));
  state_->ScenarioSaved = false;
  prompt_.answers = {Answer::No, Answer::No, Answer::No, Answer::No};
  editor_->RunCommand("FileNew");
  editor_->RunCommand("FileLoad");
  editor_->RunCommand("cancel");
  editor_->close();
  ASSERT_EQ(prompt_.shown.size(), 4U);
  for (const auto& q : prompt_.shown) EXPECT_EQ(q.default_answer, Answer::No) << q.text;
  EXPECT_EQ(prompt_.shown[3].text,
            "Scenario not saved.  Do you wish to exit without saving scenario?");
}

TEST_F(ScenarioEditor, OccupancyAndRiskSaySo) {
  Grid().SetTextMatrix(row::kNumOccupants, 1, "0");
  editor_->RunCommand("Occupancy");
  ASSERT_EQ(prompt_.shown.size(), 1U);
  EXPECT_EQ(prompt_.shown[0].text, "Number of occupants was defined as 0.");
  EXPECT_EQ(prompt_.shown[0].title, "Occupancy data");
  editor_->RunCommand("Risk");
  EXPECT_EQ(prompt_.shown[1].text, "This feature is not currently implemented.");
}

int OpenCount(const QString& name) {
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) n += w->isVisible() && w->objectName() == name;
  return n;
}

TEST_F(ScenarioEditor, ToolsOpenOneOwnerlessWindowThatKeepsItsEntryUntilClosed) {
  editor_->RunCommand("Calculator");
  auto* calc = AppWindows().Find<CalculatorForm>();
  ASSERT_NE(calc, nullptr);
  EXPECT_EQ(calc->parentWidget(), nullptr);
  EXPECT_FALSE(calc->testAttribute(Qt::WA_QuitOnClose)) << "closing the frame ends the program";
  ASSERT_TRUE(testing::ShowActive(*calc));
  testing::Type("12");
  editor_->RunCommand("Calculator");
  EXPECT_EQ(AppWindows().Find<CalculatorForm>(), calc);
  EXPECT_EQ(OpenCount("calculform"), 1);
  EXPECT_EQ(calc->ReadoutText(), "12.");

  calc->findChild<QAction*>("editexit")->trigger();
  editor_->RunCommand("Calculator");
  calc = AppWindows().Find<CalculatorForm>();
  ASSERT_NE(calc, nullptr);
  EXPECT_EQ(OpenCount("calculform"), 1);
  EXPECT_EQ(calc->ReadoutText(), "0.");
  calc->close();

  ToolsDiameterConversion(ctx_);
  ToolsDiameterConversion(ctx_);
  EXPECT_EQ(OpenCount("frmConvertDiameters"), 1);
  EXPECT_TRUE(prompt_.shown.empty());
  AppWindows().Unload<ConvertDiametersForm>();

  editor_->RunCommand("Units");
  auto* units = AppWindows().Find<UnitsForm>();
  ASSERT_NE(units, nullptr);
  EXPECT_EQ(units->parentWidget(), nullptr);
  ASSERT_TRUE(testing::ShowActive(*units));
  testing::Type("2");
  testing::Enter();
  editor_->RunCommand("Units");
  EXPECT_EQ(OpenCount("UnitsForm"), 1);
  EXPECT_EQ(units->UnitsGrid(0).TextMatrix(1, 0), "2");
  units->findChild<QAction*>("editexit")->trigger();
  editor_->RunCommand("Units");
  units = AppWindows().Find<UnitsForm>();
  ASSERT_NE(units, nullptr);
  EXPECT_EQ(OpenCount("UnitsForm"), 1);
  EXPECT_EQ(units->UnitsGrid(0).TextMatrix(1, 0), "1.0000");
  EXPECT_EQ(units->UnitsGrid(0).TextMatrix(2, 3), "0.9144000");
  EXPECT_TRUE(prompt_.shown.empty());
  units->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(ScenarioEditor, PrinterSetupOpensThePrintersSetUp) {
  editor_->RunCommand("PrinterSetup");
  EXPECT_EQ(printer_.setups, 1);
  EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(ScenarioEditor, MenuItemsAreTheWindowsOwnInOrder) {
  // Written from the window's design, not from the table the window is built from.
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"File", "File"},
      {"File > New scenario", "FileNew"},
      {"File > Opencurrent version", "FileLoad"},
      {"File > Save scenario", "FileSave"},
      {"File > -", "FileSep1"},
      {"File > Printer setsup", "PrinterSetup"},
      {"File > Print scenario data...", "PrintScenarioData"},
      {"File > Print scenario data... > Summary information", "ScenarioSummary"},
      {"File > Print scenario data... > HVAC flows", "ScenarioHVACFlows"},
      {"File > Print scenario data... > Natural flows", "ScenarioNaturalFlows"},
      {"File > Print scenario data... > Sources", "PrintSources"},
      {"File > Print scenario data... > Sinks", "PrintSinks"},
      {"File > Print scenario data... > All scenario data", "PrintAll"},
      {"File > -", "FileSep2"},
      {"File > Transfer", "FileTransfer"},
      {"File > Cancel", "FileCancel"},
      {"Transfer", "Transfer"},
      {"Cancel", "cancel"},
      {"HVAC", "HVAC"},
      {"HVAC > Air cleaner", "HVACAirClean"},
      {"HVAC > Sources", "HVACSources"},
      {"HVAC > Flows (Base flows)", "HVACFlows"},
      {"HVAC > Variable HVAC flows", "HVACHist"},
      {"HVAC > Room-to-Room flows", "HVACRoomtoroom"},
      {"Natural flows", "NaturalFlows"},
      {"Natural flows > Outdoor flows", "Outflows"},
      {"Natural flows > Variable outdoor flows", "Ventilation"},
      {"Natural flows > Room-to-room", "NaturalRoomtoRoom"},
      {"Managed flow", "ManagedFlow"},
      {"Managed flow > HVAC flows", "ManHVACFlow"},
      {"Managed flow > RoomtoRoom", "ManRoomtoRoom"},
      {"Define Pollutants", "definepollutants"},
      {"Rooms", "Rooms"},
      {"Occupancy", "Occupancy"},
      {"Risk", "Risk"},
      {"Tools", "Tools"},
      {"Tools > Calculator", "Calculator"},
      {"Tools > Units conversion", "Units"},
      {"Window", "Window"},
      {"Window > Cascade", "WindowCascade"},
      {"Window > Tile", "WindowTile"},
      {"Window > List windows", "WindowsList"},
      {"Help", "Help"},
      {"PM Changes", "version17changes"},
  };
  std::vector<std::array<std::string, 3>> seen;
  WalkMenu(editor_->menuBar()->actions(), "", seen);
  ASSERT_EQ(seen.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(seen[i][0], expected[i].first) << i;
    // The two separators carry names of our own; every item carries the name of the design.
    if (seen[i][1] != "-") {
      EXPECT_EQ(seen[i][2], expected[i].second) << i;
    }
  }
  // The two help items open their file at their keyword.
  help_.shown.clear();
  editor_->findChild<QAction*>("Help")->trigger();
  editor_->RunCommand("version17changes");
  using Shown = std::pair<std::string, std::string>;
  EXPECT_EQ(help_.shown,
            (std::vector<Shown>{{"RovozUzav.HLP", "Scenario form"}, {"RIRozid.HLP", "Scenario"}}));
}

TEST_F(ScenarioEditor, ListsHoldTheirEntriesExactly) {
  const char* hvac[] = {"Residential in return", "Commercial after outdoor mixed",
                        "Commercial clean outdoor only ", "In supply"};
  const char* classes[] = {"VOC", "PM", "O3", "Other"};
  ASSERT_EQ(editor_->TypeHVAC().count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(FromQt(editor_->TypeHVAC().itemText(i)), hvac[i]);
  ASSERT_EQ(editor_->PollutantType().count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(FromQt(editor_->PollutantType().itemText(i)), classes[i]);
  // The HVAC type of the record selects its entry; none below 1 selects the first.
  Scenario().HVACType = 4;
  editor_->Load();
  EXPECT_EQ(editor_->TypeHVAC().currentIndex(), 3);
  Scenario().HVACType = 0;
  editor_->Load();
  EXPECT_EQ(editor_->TypeHVAC().currentIndex(), 0);
  // Transfer stores the entry's index + 1.
  editor_->TypeHVAC().setCurrentIndex(2);
  state_->ScenarioSaved = true;
  editor_->RunCommand("Transfer");
  EXPECT_EQ(Scenario().HVACType, 3);
}

TEST_F(ScenarioEditor, OpenWithoutMasterFileProposesTempAndSkipsWildcards) {
  state_->Building.MasterFile = "";
  prompt_.answers = {Answer::Yes};
  dialogs_.answers = {File("*.SEN")};
  editor_->RunCommand("FileLoad");
  ASSERT_EQ(dialogs_.asked.size(), 1U);
  EXPECT_EQ(dialogs_.asked[0].request.initial_name, "Temp.Sen");
  EXPECT_EQ(dialogs_.asked[0].request.initial_folder, dir_.string());
  EXPECT_EQ(state_->Building.MasterFile, "Temp");
  EXPECT_EQ(Scenario().Name, "Before") << "a name with * reads nothing";
  EXPECT_EQ(prompt_.shown.size(), 1U);

  // A source window's cancelled dialog also ends the command.
  BuildingRecord other = state_->Building;
  other.Scenario.Name = "Other";
  ASSERT_TRUE(WriteFileAtomic(File("other.SEN"), ScenarioFileBytes(other), nullptr));
  ctx_.windows.dialog_cancelled = true;
  prompt_.answers = {Answer::Yes};
  dialogs_.answers = {File("other.SEN")};
  editor_->RunCommand("FileLoad");
  EXPECT_EQ(Scenario().Name, "Before");
  ctx_.windows.dialog_cancelled = false;
  // Answering No to the building question keeps the scenario and marks nothing saved.
  state_->ScenarioSaved = false;
  prompt_.answers = {Answer::Yes, Answer::No};
  dialogs_.answers = {File("other.SEN")};
  editor_->RunCommand("FileLoad");
  EXPECT_EQ(Scenario().Name, "Before");
  EXPECT_EQ(state_->ScenarioSaved, false);
}

TEST_F(ScenarioEditor, OpenersPrepareTheRecordBeforeSayingTheWindowIsNotThere) {
  // The variable-flow window opens nothing when a count is refused.
  Grid().SetTextMatrix(row::kNumOccupants, 1, "5");
  prompt_.shown.clear();
  editor_->RunCommand("HVACHist");
  ASSERT_EQ(prompt_.shown.size(), 1U);
  EXPECT_EQ(prompt_.shown[0].text,
            "Warning.  Number of occupants must be from 0 to 3.  Reenter data.");
  Grid().SetTextMatrix(row::kNumOccupants, 1, "0");

  // Define Pollutants: units, the class from the list, the count of row 6 only.
  editor_->findChild<QRadioButton*>("milligrams")->setChecked(true);
  editor_->PollutantType().setCurrentIndex(1);
  Grid().SetTextMatrix(row::kNumPollutants, 1, " 3");
  Grid().SetTextMatrix(row::kName, 1, "not read");
  editor_->RunCommand("definepollutants");
  EXPECT_EQ(Scenario().ConcUnits, "milligrams");
  EXPECT_EQ(Scenario().PollutantClass.str(), "PM      ");
  EXPECT_EQ(Option("number")->text(), "Number/cubic cm");
  EXPECT_EQ(Scenario().NumPollutants, 3);
  EXPECT_EQ(Scenario().Name, "Before") << "the name is not read";
  EXPECT_EQ(Grid().Row(), row::kPollutantClass);
  EXPECT_NE(AppWindows().Find<PollutantForm>(), nullptr) << "the pollutant window opened";
  AppWindows().Unload<PollutantForm>();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  // Room 0 is the HVAC system for its sources.
  editor_->RunCommand("HVACSources");
  EXPECT_EQ(state_->Building.RoomList[0].Name, "HVAC");
  AppWindows().Unload<RoomSourceForm>();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  // Occupants: the grid read back, then the units.
  Grid().SetTextMatrix(row::kNumOccupants, 1, "1");
  editor_->findChild<QRadioButton*>("micrograms")->setChecked(true);
  prompt_.shown.clear();
  editor_->RunCommand("Occupancy");
  EXPECT_EQ(Scenario().NumOccupants, 1);
  EXPECT_EQ(Scenario().ConcUnits, "micrograms");
  EXPECT_TRUE(prompt_.shown.empty());
  auto* occupants = AppWindows().Find<OccupantForm>();
  ASSERT_NE(occupants, nullptr);
  occupants->CloseForm();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(ScenarioEditor, ClassListEnteringWritesOnlyTheCellAndOpeningTakesTheUnits) {
  ASSERT_TRUE(testing::ShowActive(*editor_));
  QComboBox& classes = editor_->PollutantType();
  // The record holds "PM2.5"; the list shows its entry "PM".
  Scenario().PollutantClass = "PM2.5";
  editor_->FillGrid();
  ASSERT_EQ(classes.currentIndex(), 1);
  Grid().setFocus();
  testing::ProcessEvents();
  classes.setFocus(Qt::TabFocusReason);
  testing::ProcessEvents();
  EXPECT_EQ(Grid().TextMatrix(row::kPollutantClass, 1), "PM");
  EXPECT_EQ(Scenario().PollutantClass.str(), "PM2.5   ") << "entering stores no class";
  // Opening the list takes the units of the options first.
  Scenario().ConcUnits = "bogus";
  Option("micrograms")->setChecked(true);
  classes.showPopup();
  testing::ProcessEvents();
  classes.hidePopup();
  EXPECT_EQ(Scenario().ConcUnits, "micrograms");
  EXPECT_EQ(Scenario().PollutantClass.str(), "PM      ");
}

}  // namespace
}  // namespace quarn
