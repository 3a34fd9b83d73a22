// The building window: its grid, the room-count rule, the File commands through the
// scripted dialog, the questions of Exit and of closing, and the Calculate commands.

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <sstream>

#include "common/main_window_fixture.h"
#include "common/menu_input.h"
#include "files/building_file.h"
#include "files/scenario_file.h"
#include "model/unit_conversion.h"
#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/qt_prompt.h"
#include "platform/qt_text.h"
#include "platform/user_input.h"
#include "platform/window_registry.h"
#include "ui/common/about_form.h"
#include "ui/common/changes_form.h"
#include "ui/grids/scenario_grid.h"
#include "ui/inputs/pollutant_form.h"
#include "ui/main/building_form.h"
#include "ui/main/main_window.h"
#include "ui/main/scenario_editor.h"
#include "ui/main/splash_form.h"

namespace quarn {
namespace {

using testing::MainWindowTest;

constexpr const char* kNotSaved = "All data not saved.  Do you wish to exit without saving data?";
constexpr const char* kTempFiles =
    "Do you wish to erase the temporary files created by this program?";

class BuildingFormTest : public MainWindowTest {
 protected:
  BuildingFormTest() {
    form = std::make_unique<BuildingForm>(*context);
    form->Load();
    form->SetupBuildingGrid(form->Grid());
    context->windows.grid_events_enabled = true;
  }

  std::string Cell(int row) { return form->Grid().TextMatrix(row, 1); }
  void TypeRooms(const std::string& text) {
    form->Grid().SetTextMatrix(3, 1, text);
    form->UpdateBuildingFromGrid();
  }
  std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::unique_ptr<BuildingForm> form;
};

TEST_F(BuildingFormTest, GridShowsTheLabelsAfterNewAndAfterOpen) {
  FlexGrid& g = form->Grid();
  EXPECT_EQ(form->windowTitle(), "Building information");
  EXPECT_EQ(g.TextMatrix(0, 0), "Item");
  EXPECT_EQ(g.TextMatrix(0, 1), "Value");
  EXPECT_EQ(g.TextMatrix(1, 0), "Building ID");
  EXPECT_EQ(g.TextMatrix(2, 0), "Comments");
  EXPECT_EQ(g.TextMatrix(3, 0), "Number of Rooms. Max 13");
  EXPECT_EQ(g.TextMatrix(4, 0), "Master File");
  EXPECT_EQ(Cell(3), "1");
  EXPECT_EQ(Cell(4), "Temp");

  state->BuildingSaved = true;  // no question before Open
  std::filesystem::copy_file(Sample("house.BLD"), Path("house.BLD"));
  dialogs.answers.push_back(Path("house.BLD"));
  form->RunCommand("fileopen");
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].kind, "open");
  EXPECT_EQ(dialogs.asked[0].request.initial_name, "*.bld");
  EXPECT_EQ(dialogs.asked[0].request.filter, "All Building (*.BLD)|*.BLD|All files (*.*)|*.*");
  EXPECT_EQ(g.TextMatrix(3, 0), "Number of Rooms");
  EXPECT_EQ(Cell(1), "Sample house");
  EXPECT_EQ(Cell(3), "3");
  EXPECT_EQ(state->Building.NumRooms, 3);
  EXPECT_EQ(state->BuildingSaved, true);
  EXPECT_EQ(state->RoomsSaved, true);
  EXPECT_EQ(state->DataFolder, folder.string());
  // The scenario folder beside the buildings was offered and made.
  EXPECT_EQ(prompt.Count("yesno"), 1u);
  EXPECT_TRUE(std::filesystem::is_directory(folder / "Scenario"));

  state->BuildingSaved = true;
  form->RunCommand("FileNew");
  EXPECT_EQ(g.TextMatrix(3, 0), "Number of Rooms. Max 13");
  EXPECT_EQ(state->Building.NumRooms, 1);
  EXPECT_EQ(state->BuildingSaved, false);
}

TEST_F(BuildingFormTest, RoomCountRule) {
  state->Building.NumRooms = 5;
  TypeRooms("14");
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, "Warning. Number of rooms exceeds limit of 13. Reenter data.");
  EXPECT_EQ(prompt.shown[0].title, "Warning");
  EXPECT_EQ(Cell(3), "5") << "the refused count gives the cell back its previous value";
  EXPECT_EQ(state->Building.NumRooms, 5);
  EXPECT_EQ(form->Grid().Row(), 3);
  // The restored count waits for a new entry without asking again.
  form->UpdateBuildingFromGrid();
  EXPECT_EQ(prompt.shown.size(), 1u);

  TypeRooms("0");
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_EQ(state->Building.NumRooms, 5);
  TypeRooms("no rooms");
  EXPECT_EQ(prompt.shown.size(), 3u);
  EXPECT_EQ(state->Building.NumRooms, 5);

  TypeRooms("13");
  EXPECT_EQ(state->Building.NumRooms, 13);
  TypeRooms("2.5");
  EXPECT_EQ(state->Building.NumRooms, 2);
  TypeRooms("3.5");
  EXPECT_EQ(state->Building.NumRooms, 4);
  EXPECT_EQ(prompt.shown.size(), 3u);
}

TEST_F(BuildingFormTest, AStoredCountAboveTheLimitIsAskedForAgain) {
  // 20 rooms cannot come from a building file; the grid still asks rather than index with it.
  state->Building.NumRooms = 20;
  prompt.inputs.push_back(std::string("7"));
  form->FillBuildingGrid(form->Grid());
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_EQ(prompt.shown[0].text, "Warning.  Number of rooms is too large.  Reenter data.");
  EXPECT_EQ(prompt.shown[0].title, "WARNING");
  EXPECT_EQ(prompt.shown[1].kind, "input");
  EXPECT_EQ(prompt.shown[1].text, "Number of rooms. Max 13");
  EXPECT_EQ(state->Building.NumRooms, 7);
  EXPECT_EQ(Cell(3), "7");
  // The entry starts empty: accepting it unchanged offers no count, and the building keeps
  // the one room it cannot do without.
  state->Building.NumRooms = 14;
  form->FillBuildingGrid(form->Grid());
  EXPECT_EQ(state->Building.NumRooms, 1);
}

TEST_F(BuildingFormTest, TypedTextReachesTheCellOnlyWhenCommitted) {
  ASSERT_TRUE(testing::ShowActive(*form));
  FlexGrid& g = form->Grid();
  g.setFocus(Qt::OtherFocusReason);
  g.SetRowCol(3, 1);
  testing::ProcessEvents();
  // A half-typed room count stays in the box: the cell and the building keep 1 room, and
  // the limit message does not come while "14" is being typed.
  testing::Type("14");
  EXPECT_TRUE(form->EditCell().isVisible());
  EXPECT_EQ(form->EditCell().text(), "14");
  EXPECT_EQ(Cell(3), "1");
  EXPECT_EQ(state->Building.NumRooms, 1);
  EXPECT_TRUE(prompt.shown.empty());
  // Esc leaves the cell as it was.
  testing::Escape();
  EXPECT_FALSE(form->EditCell().isVisible());
  EXPECT_EQ(Cell(3), "1");

  g.setFocus(Qt::OtherFocusReason);
  g.SetRowCol(3, 1);
  testing::Type("12");
  EXPECT_EQ(Cell(3), "1");
  testing::Enter();
  EXPECT_EQ(Cell(3), "12");
  EXPECT_EQ(state->Building.NumRooms, 12);
  EXPECT_TRUE(prompt.shown.empty());

  // A refused count: the Enter that committed it leaves the cursor on the count.
  g.setFocus(Qt::OtherFocusReason);
  g.SetRowCol(3, 1);
  testing::Type("14");
  testing::Enter();
  testing::ProcessEvents();
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(g.Row(), 3);
  EXPECT_EQ(state->Building.NumRooms, 12);
}

// A building file cannot hold a double quote in a text with a comma: saved, the ID would
// come back with an apostrophe, and its scenarios would no longer find their building. Such
// an ID is refused as it is typed, and stays in the box to be mended.
TEST_F(BuildingFormTest, AnIdTheFileCannotHoldAsTypedIsRefused) {
  ASSERT_TRUE(testing::ShowActive(*form));
  FlexGrid& g = form->Grid();
  g.setFocus(Qt::OtherFocusReason);
  g.SetRowCol(1, 1);
  testing::Type("Smith, \"Elms\"");
  testing::Enter();
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Error.  \"Smith, \"Elms\"\" cannot be saved as it is typed: the files hold a "
            "double quote (\") only in a text without a comma that neither begins with a double "
            "quote nor begins or ends with a blank.  Leave out the double quote or the comma.");
  EXPECT_TRUE(form->EditCell().isVisible());
  EXPECT_NE(state->Building.ID, "Smith, \"Elms\"");
  testing::Type("Smith \"Elms\"");  // over the selected entry
  testing::Enter();
  EXPECT_EQ(state->Building.ID, "Smith \"Elms\"");
  EXPECT_EQ(prompt.shown.size(), 1u);
}

TEST_F(BuildingFormTest, ARowHeadingClickThenTypingEditsThatRow) {
  ASSERT_TRUE(testing::ShowActive(*form));
  FlexGrid& g = form->Grid();
  g.setFocus(Qt::OtherFocusReason);
  g.SetRowCol(2, 1);                                 // on Comments
  testing::Click(g.viewport(), g.CellCenter(1, 0));  // the "Building ID" heading
  testing::Type("x");
  testing::Enter();
  testing::ProcessEvents();
  EXPECT_EQ(state->Building.ID, "x");
  EXPECT_EQ(state->Building.Comments, "");
}

TEST_F(BuildingFormTest, TheValueColumnTakesTheSpareWidthButNeverLessThanItsOwn) {
  ASSERT_TRUE(testing::ShowActive(*form));
  FlexGrid& g = form->Grid();
  form->resize(1200, form->height());
  testing::ProcessEvents();
  EXPECT_EQ(g.columnViewportPosition(1) + g.columnWidth(1), g.viewport()->width());
  EXPECT_GT(g.ColWidth(1), 2000);
  form->FillBuildingGrid(g);  // Open's fill sets its own widths
  EXPECT_EQ(g.columnViewportPosition(1) + g.columnWidth(1), g.viewport()->width());
  // Narrower than both columns (inside a small frame): the column keeps its width.
  form->setMinimumSize(0, 0);
  form->resize(200, form->height());
  testing::ProcessEvents();
  EXPECT_EQ(g.ColWidth(1), 2100);
}

TEST_F(BuildingFormTest, SaveOpenRoundTripAndEditsClearTheSavedFlag) {
  form->Grid().SetTextMatrix(1, 1, "Round trip");
  form->Grid().SetTextMatrix(2, 1, "two rooms, one file");
  form->Grid().SetTextMatrix(3, 1, "2");
  form->Grid().SetTextMatrix(4, 1, "rt");
  // Cancelled save: nothing is written and the flag stays.
  form->RunCommand("filesave");
  EXPECT_EQ(state->BuildingSaved, false);
  EXPECT_EQ(state->Building.ID, "Round trip");

  dialogs.answers.push_back(Path("rt.bld"));
  form->RunCommand("filesave");
  EXPECT_EQ(state->BuildingSaved, true);
  EXPECT_TRUE(std::filesystem::exists(Path("rt.bld")));

  // An edit after the save makes Exit ask.
  form->Grid().SetTextMatrix(1, 1, "Changed");
  form->UpdateBuildingFromGrid();
  EXPECT_EQ(state->BuildingSaved, false);
  prompt.answers.push_back(Answer::No);
  QSignalSpy ended(form.get(), &BuildingForm::EndProgram);
  form->RunCommand("fileexit");
  ASSERT_FALSE(prompt.shown.empty());
  EXPECT_EQ(prompt.shown.back().text, kNotSaved);
  EXPECT_EQ(prompt.shown.back().icon, MessageIcon::Critical);
  EXPECT_EQ(ended.count(), 0);

  // New asks first, then Open brings the saved building back.
  prompt.answers.push_back(Answer::Yes);
  form->RunCommand("FileNew");
  EXPECT_EQ(state->Building.ID, "");
  prompt.answers.push_back(Answer::Yes);
  dialogs.answers.push_back(Path("rt.bld"));
  form->RunCommand("fileopen");
  EXPECT_EQ(state->Building.ID, "Round trip");
  EXPECT_EQ(state->Building.Comments, "two rooms, one file");
  EXPECT_EQ(state->Building.NumRooms, 2);
  EXPECT_EQ(state->Building.MasterFile, "rt");
  EXPECT_EQ(state->BuildingSaved, true);
}

TEST_F(BuildingFormTest, OpenLeavesTheRoomsAfterTheLastAsTheResetMadeThem) {
  state->BuildingSaved = true;
  std::filesystem::copy_file(Sample("house.BLD"), Path("house.BLD"));
  dialogs.answers.push_back(Path("house.BLD"));
  form->RunCommand("fileopen");
  ASSERT_EQ(state->Building.NumRooms, 3);
  // A room added later by raising the count starts with its own HVAC number, as after New.
  for (int r = 4; r <= 13; ++r) {
    EXPECT_EQ(state->Building.RoomList[r].HVAC, r) << r;
    EXPECT_EQ(state->Building.RoomList[r].Name, "") << r;
  }
}

TEST_F(BuildingFormTest, ANewBuildingHasNoExposureResults) {
  state->ConcentrationsCalculated = true;
  state->ExposureCalculated = true;
  state->BuildingSaved = true;
  form->RunCommand("FileNew");
  form->RunCommand("FileExposure");
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, "Exposure has not been calculated. ");
  EXPECT_TRUE(dialogs.asked.empty());

  state->ExposureCalculated = true;
  state->BuildingSaved = true;
  std::filesystem::copy_file(Sample("house.BLD"), Path("house.BLD"));
  dialogs.answers.push_back(Path("house.BLD"));
  form->RunCommand("fileopen");
  EXPECT_EQ(state->ExposureCalculated, false);
}

TEST_F(BuildingFormTest, AirFlowsFromTheAirChangeRateGoIntoTheScenario) {
  BuildingRecord& b = state->Building;
  ScenarioRecord& sc = b.Scenario;
  b.NumRooms = 2;
  b.RoomList[1].Volume = 30;
  b.RoomList[2].Volume = 50;
  sc.OverallACH = 0.5f;
  sc.NaturalToOutdoors[0] = 7;
  sc.NaturalFromOutdoors[0] = 8;
  sc.NaturalToOutdoors[3] = 9;
  state->ScenarioSaved = true;
  form->RunCommand("CalculateAirFlows");
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(state->ScenarioSaved, false);  // the scenario changed: Exit must ask
  // Volume times air changes per hour, the same each way: 30 x 0.5 and 50 x 0.5 m3/h.
  EXPECT_FLOAT_EQ(sc.NaturalToOutdoors[1], 15.0f);
  EXPECT_FLOAT_EQ(sc.NaturalFromOutdoors[1], 15.0f);
  EXPECT_FLOAT_EQ(sc.NaturalToOutdoors[2], 25.0f);
  EXPECT_FLOAT_EQ(sc.NaturalFromOutdoors[2], 25.0f);
  // Outdoors and the rooms past the count are not touched.
  EXPECT_FLOAT_EQ(sc.NaturalToOutdoors[0], 7.0f);
  EXPECT_FLOAT_EQ(sc.NaturalFromOutdoors[0], 8.0f);
  EXPECT_FLOAT_EQ(sc.NaturalToOutdoors[3], 9.0f);

  // A room without volume stops the command before any flow changes.
  b.RoomList[2].Volume = 0;
  sc.OverallACH = 2;
  form->RunCommand("CalculateAirFlows");
  EXPECT_EQ(prompt.Count("message"), 1u);
  EXPECT_FLOAT_EQ(sc.NaturalToOutdoors[1], 15.0f);
}

TEST_F(BuildingFormTest, DamagedFileChangesNothing) {
  state->Building.ID = "Kept";
  state->BuildingSaved = true;
  {
    std::ofstream bad(Path("bad.BLD"), std::ios::binary);
    bad << "xy";
  }
  dialogs.answers.push_back(Path("bad.BLD"));
  form->RunCommand("fileopen");
  EXPECT_EQ(state->Building.ID, "Kept");
  EXPECT_EQ(prompt.Count("message"), 1u);
}

TEST_F(BuildingFormTest, ExitAsksForEachStateOfTheSavedFlags) {
  QSignalSpy ended(form.get(), &BuildingForm::EndProgram);
  // Nothing saved: the data-loss question; Yes ends.
  prompt.answers.push_back(Answer::Yes);
  form->FileExit();
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, kNotSaved);
  EXPECT_EQ(prompt.shown[0].title, "Warning");
  EXPECT_EQ(ended.count(), 1);

  // The building saved but not the scenario: still the data-loss question.
  prompt.shown.clear();
  state->BuildingSaved = true;
  prompt.answers.push_back(Answer::No);
  EXPECT_FALSE(form->ConfirmExit());
  EXPECT_EQ(prompt.shown.back().text, kNotSaved);

  // Everything saved: only the temporary-files question, and the program ends whatever
  // the answer.
  prompt.shown.clear();
  state->ScenarioSaved = true;
  prompt.answers.push_back(Answer::No);
  EXPECT_TRUE(form->ConfirmExit());
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, kTempFiles);

  // And with the temporary files left alone on purpose, nothing is asked.
  prompt.shown.clear();
  state->TempFilesFlag = true;
  EXPECT_TRUE(form->ConfirmExit());
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(BuildingFormTest, QuestionsThatLoseTheBuildingDefaultToNo) {
  prompt.answers = {Answer::No, Answer::No, Answer::No};
  form->FileNew();
  form->FileOpen();
  EXPECT_FALSE(form->ConfirmExit());
  ASSERT_EQ(prompt.shown.size(), 3u);
  for (const auto& q : prompt.shown) EXPECT_EQ(q.default_answer, Answer::No) << q.text;
  EXPECT_EQ(prompt.shown[2].text, kNotSaved);
}

TEST_F(MainWindowTest, EnterAnswersNoToTheRealExitQuestion) {
  QtPrompt boxes;
  MainContext real{*state, boxes, dialogs, help, printer, identity, Path("Quarn.ini"), database};
  BuildingForm form(real);
  QMessageBox::StandardButton default_button = QMessageBox::NoButton;
  QTimer::singleShot(0, [&default_button] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    default_button = box->standardButton(box->defaultButton());
    QTest::keyClick(box, Qt::Key_Return);
  });
  EXPECT_FALSE(form.ConfirmExit());
  EXPECT_EQ(default_button, QMessageBox::No);
}

TEST_F(MainWindowTest, ClosingTheFrameOrTheBuildingWindowAsksFirst) {
  QPointer<MainWindow> frame = StartMainWindow(*context);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->windowTitle(), "ZAR Model for Windows Quarn Version 1.2.3");
  prompt.answers.push_back(Answer::No);
  frame->close();
  EXPECT_EQ(prompt.shown.back().text, kNotSaved);
  EXPECT_TRUE(frame->isVisible());
  // The building window's close box asks the same and, on No, stays.
  prompt.answers.push_back(Answer::No);
  frame->Building()->close();
  EXPECT_EQ(prompt.Count("yesno"), 2u);
  EXPECT_TRUE(frame->Building()->isVisible());
  // Yes ends the program: the frame closes.
  prompt.answers.push_back(Answer::Yes);
  frame->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(frame.isNull());
}

// An input window's Transfer gives the scenario editor that opened it back, and Scenarios
// brings the open editor forward with what was typed in it and not yet transferred, however
// the building window came to the front meanwhile (here Window > List windows).
TEST_F(MainWindowTest, ScenariosBringsTheEditorBackWithWhatWasTypedInIt) {
  MainWindow* frame = StartMainWindow(*context);
  ASSERT_TRUE(testing::ShowActive(*frame));
  frame->Building()->RunCommand("Scenarios");
  testing::ProcessEvents();
  auto* editor = AppWindows().Find<ScenarioEditor>();
  ASSERT_NE(editor, nullptr);
  FlexGrid& g = editor->ScenarioSS();
  const std::pair<int, const char*> typed[] = {{scenario_row::kName, "repro"},
                                               {scenario_row::kComments, "c"},
                                               {scenario_row::kOverallACH, "0.3"}};
  for (const auto& [row, text] : typed) {
    testing::ClickCell(g, row, 1);
    testing::TypeKeys(text);
    testing::Enter();
  }
  editor->RunCommand("definepollutants");
  testing::ProcessEvents();
  auto* pollutants = AppWindows().Find<PollutantForm>();
  ASSERT_NE(pollutants, nullptr);
  pollutants->RunCommand("Transfer");
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  testing::ProcessEvents();
  QMdiArea& area = *frame->Area();
  ASSERT_NE(area.activeSubWindow(), nullptr);
  EXPECT_EQ(area.activeSubWindow()->widget(), editor) << "the editor comes back, not the building";

  area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(frame->Building()->parentWidget()));
  frame->Building()->RunCommand("Scenarios");
  testing::ProcessEvents();
  EXPECT_EQ(g.TextMatrix(scenario_row::kName, 1) + "|" + g.TextMatrix(scenario_row::kComments, 1) +
                "|" + g.TextMatrix(scenario_row::kOverallACH, 1),
            "repro|c|0.3");
  EXPECT_EQ(area.activeSubWindow()->widget(), editor);
  EXPECT_TRUE(prompt.shown.empty());
  state->ScenarioSaved = true;
  frame->EndProgram();
  testing::ProcessEvents();
}

TEST_F(MainWindowTest, KeyOnTheSplashOpensTheMainWindowOnAResetModel) {
  state->Building.ID = "Left over";
  state->BuildingSaved = true;
  SplashForm splash(*context);
  splash.show();
  EXPECT_EQ(splash.findChild<QLabel*>("lblVersion")->text(), "Version 1.2.3");
  EXPECT_EQ(splash.findChild<QLabel*>("lblreleasedate")->text(), "Quarn test description");
  QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QApplication::sendEvent(&splash, &key);
  QPointer<MainWindow> frame = splash.Started();
  ASSERT_NE(frame, nullptr);
  EXPECT_FALSE(splash.isVisible());
  BuildingForm* building = frame->Building();
  ASSERT_NE(building, nullptr);
  EXPECT_EQ(frame->Area()->subWindowList().size(), 1);
  EXPECT_EQ(building->Grid().TextMatrix(3, 0), "Number of Rooms. Max 13");
  EXPECT_EQ(state->Building.ID, "");
  EXPECT_EQ(state->Building.NumRooms, 1);
  EXPECT_EQ(state->BuildingSaved, false);
  EXPECT_TRUE(context->windows.grid_events_enabled);
  EXPECT_EQ(state->Building.Scenario.HVACInUse, kFalse);
  frame->EndProgram();
}

TEST_F(MainWindowTest, SplashClicksSetThePenetrationsTheirOwnWay) {
  ProgramState reference;
  NewBuilding(reference);
  const float reset_value = reference.Building.Scenario.BuildingPenetration[1];
  {
    SplashForm splash(*context);
    QWidget* frame1 = splash.findChild<QWidget*>("Frame1");
    QMouseEvent click(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(frame1, &click);
    ASSERT_NE(splash.Started(), nullptr);
    EXPECT_EQ(state->Building.Scenario.BuildingPenetration[1], 1.0f);
    EXPECT_EQ(state->Building.Scenario.FilterPenetration[0][1], 1.0f);
    splash.Started()->EndProgram();
  }
  {
    SplashForm splash(*context);
    QWidget* logo = splash.findChild<QWidget*>("imgLogo");
    QMouseEvent click(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(logo, &click);
    ASSERT_NE(splash.Started(), nullptr);
    EXPECT_EQ(state->Building.Scenario.BuildingPenetration[1], reset_value);
    splash.Started()->EndProgram();
  }
}

TEST_F(BuildingFormTest, PrinterSetupOpensThePrintersSetUp) {
  form->RunCommand("PrintSetup");
  EXPECT_EQ(printer.setups, 1);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(BuildingFormTest, AboutShowsTheVersionAndOneWindow) {
  form->RunCommand("HelpAbout");
  AboutForm* about = AppWindows().Find<AboutForm>();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->windowTitle(), "About Quarn");
  EXPECT_EQ(about->findChild<QLabel*>("Label2")->text(), "Version 1.2.3  Quarn test description");
  form->RunCommand("HelpAbout");
  EXPECT_EQ(AppWindows().Find<AboutForm>(), about);
  about->findChild<QPushButton*>("Command1")->click();
  EXPECT_EQ(AppWindows().Find<AboutForm>(), nullptr);

  form->RunCommand("helprecent");
  ASSERT_NE(AppWindows().Find<ChangesForm>(), nullptr);
  EXPECT_EQ(AppWindows().Find<ChangesForm>()->windowTitle(), "Recent changes to Quarn");

  form->RunCommand("HelpContents");
  form->RunCommand("HelpPM");
  ASSERT_EQ(help.shown.size(), 2u);
  EXPECT_EQ(help.shown[0],
            std::make_pair(std::string("RovozUzav.HLP"), std::string("Building form")));
  EXPECT_EQ(help.shown[1],
            std::make_pair(std::string("rirozid.HLP"), std::string("Building form")));
}

TEST_F(BuildingFormTest, DisplayUnitsFollowTheScenarioClass) {
  ScenarioRecord& sc = state->Building.Scenario;
  sc.PollutantClass = "VOC";
  form->RunCommand("micrograms");
  EXPECT_EQ(state->Building.DisplayUnitCode, 1);
  form->RunCommand("numberpercc");
  EXPECT_EQ(state->Building.DisplayUnitCode, 1);
  sc.PollutantClass = "pm";
  form->RunCommand("numberpercc");
  EXPECT_EQ(state->Building.DisplayUnitCode, 3);
  form->RunCommand("numberpercubicmeter");
  EXPECT_EQ(state->Building.DisplayUnitCode, 4);
  EXPECT_TRUE(prompt.shown.empty());

  EXPECT_EQ(GetUnitsCode("milligrams"), 0);
  EXPECT_EQ(GetUnitsCode("micrograms"), 1);
  EXPECT_EQ(GetUnitsCode("ppm"), 2);
  EXPECT_EQ(GetUnitsCode("number"), 3);
  EXPECT_EQ(GetUnitsCode("#/m3"), 4);
  EXPECT_EQ(GetUnitsCode("Micrograms"), 0);
}

TEST_F(BuildingFormTest, MaxConcentrationKeepsTheOldValueUnlessPositive) {
  state->MaxConcentration = 20;
  prompt.inputs.push_back(std::string("35.5"));
  form->RunCommand("Optionsetmax");
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, "Enter estimated maxium concentration mg/cu m");
  EXPECT_EQ(prompt.shown[0].title, "Estimated concentration ");
  EXPECT_DOUBLE_EQ(state->MaxConcentration, 35.5);
  for (const char* refused : {"abc", "0", "-3"}) {
    prompt.inputs.push_back(std::string(refused));
    form->RunCommand("Optionsetmax");
    EXPECT_DOUBLE_EQ(state->MaxConcentration, 35.5) << refused;
  }
  prompt.inputs.push_back(std::nullopt);
  form->RunCommand("Optionsetmax");
  prompt.inputs.push_back(std::string(""));
  form->RunCommand("Optionsetmax");
  EXPECT_DOUBLE_EQ(state->MaxConcentration, 35.5);
}

TEST_F(BuildingFormTest, ResultCommandsSayThereAreNoResults) {
  form->RunCommand("FileConcen");
  form->RunCommand("FileExposure");
  form->RunCommand("averageexposure");
  ASSERT_EQ(prompt.shown.size(), 3u);
  EXPECT_EQ(prompt.shown[0].text, "Error.  Concentration not calculated.");
  EXPECT_EQ(prompt.shown[0].title, "Error.");
  EXPECT_EQ(prompt.shown[1].text, "Exposure has not been calculated. ");
  EXPECT_EQ(prompt.shown[1].title, "Warning");
  EXPECT_EQ(prompt.shown[2].text, "Exposure has not been calculated. ");
  EXPECT_TRUE(dialogs.asked.empty());
  prompt.shown.clear();
  form->RunCommand("FileResults");
  form->RunCommand("calculatelognormal");
  form->RunCommand("CalculateRisk");
  ASSERT_EQ(prompt.shown.size(), 3u);
  EXPECT_EQ(prompt.shown[0].text, "Error.  Concentration not calculated.");
  EXPECT_EQ(prompt.shown[1].text, "Error.  Concentration not calculated.");
  EXPECT_EQ(prompt.shown[2].text, "Exposure has not been calculated. ");
  EXPECT_TRUE(dialogs.asked.empty());

  prompt.shown.clear();
  form->RunCommand("CalculateInhalation");
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "You must calculate concentrations before you can calculate exposure.");
  EXPECT_EQ(state->Building.Scenario.ExposureMode, "I");
  state->ConcentrationsCalculated = true;
  state->OccupantDataComplete = false;
  form->RunCommand("CalculateNone");
  EXPECT_EQ(prompt.shown.back().text,
            "You must enter activity pattern data before you can calculate exposure.");
  EXPECT_EQ(prompt.shown.back().title, "Warning.");
  EXPECT_EQ(state->Building.Scenario.ExposureMode, "N");
  // A scenario without occupants has no exposure to calculate.
  state->OccupantDataComplete = true;
  prompt.shown.clear();
  form->RunCommand("CalculateInhalation");
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Error.  No occupants specified.  Enter the occupants before you calculate exposure.");
  EXPECT_EQ(state->ExposureCalculated, false);

  // A gas has no particle sizes to fit.
  state->Building.Scenario.PollutantClass = "VOC";
  form->RunCommand("calculatelognormal");
  EXPECT_EQ(prompt.shown.back().text,
            "The log normal fit needs particle size bins (a pollutant class that begins with "
            "PM).");
  EXPECT_EQ(prompt.shown.back().title, "Log normal fit");
}

TEST_F(MainWindowTest, TheSamplesOpenAsTheFirstRunSays) {
  namespace fs = std::filesystem;
  const fs::path copy = folder / "samples";
  fs::copy(Sample(""), copy, fs::copy_options::recursive);
  MainWindow* frame = StartMainWindow(*context);
  BuildingForm* building = frame->Building();
  dialogs.answers = {(copy / "house.BLD").string(), (copy / "Scenario" / "house.SEN").string()};
  building->RunCommand("fileopen");
  building->RunCommand("Scenarios");
  auto* editor = AppWindows().Find<ScenarioEditor>();
  ASSERT_NE(editor, nullptr);
  editor->RunCommand("FileLoad");
  ASSERT_EQ(dialogs.asked.size(), 2u);
  EXPECT_EQ(dialogs.asked[1].request.initial_folder, (copy / "Scenario").string());
  EXPECT_EQ(dialogs.asked[1].request.initial_name, "house.SEN");
  for (const auto& q : prompt.shown) {
    EXPECT_EQ(q.text.find("create a new folder"), std::string::npos) << q.text;
  }
  std::vector<std::string> entries;
  for (const auto& e : fs::directory_iterator(copy)) entries.push_back(e.path().filename());
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"Scenario", "house.BLD"}));
  EXPECT_EQ(state->ScenarioSaved, true) << "the sample scenario was read";
  editor->RunCommand("cancel");
  frame->close();
  testing::ProcessEvents();
}

// A loaded sample scenario runs with the progress window, and Stop ends it with a complete
// work file.
class ConcentrationRunTest : public BuildingFormTest {
 protected:
  ConcentrationRunTest() {
    LoadSampleHouse();
    state->TempDrive = "";
    state->TempFolderName = (folder / "tmp").string();
    state->TempFolder = state->TempFolderName;
    state->Building.DisplayUnitCode = 0;
  }
};

TEST_F(ConcentrationRunTest, StopEndsTheRunWithACompleteWorkFile) {
  // Long enough that the window is brought up to date, and Stop can be pressed, long before
  // the end.
  state->Building.Scenario.YearsSimulated = 20;
  bool clicked = false;
  bool was_modal = false;
  // Pressed as soon as the run lets the window system run.
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == "RunGraph" && w->isVisible()) {
        was_modal = w->isModal();
        w->findChild<QPushButton*>("Command1")->click();
        clicked = true;
      }
    }
  });
  form->RunCommand("CalculateConcentration");
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(was_modal);
  EXPECT_TRUE(state->StopCalculation);
  EXPECT_EQ(state->ConcentrationsCalculated, true);
  EXPECT_EQ(state->OccupantDataComplete, true);
  // "micrograms" in the sample scenario.
  EXPECT_EQ(state->Building.DisplayUnitCode, 1);
  const std::string work = ReadAll(state->Building.ConcWorkFile);
  ASSERT_FALSE(work.empty());
  EXPECT_TRUE(work.ends_with("-999 \r\n"));
  // Stopped early: the last record is far from the end of the twenty years.
  const auto lines = std::count(work.begin(), work.end(), '\n');
  EXPECT_GE(lines, 2);
  EXPECT_LT(state->Building.Scenario.LastOutputTime, 10 * 8760.0f);

  // A second run asks first; No leaves the results alone.
  prompt.answers.push_back(Answer::No);
  form->RunCommand("CalculateConcentration");
  ASSERT_FALSE(prompt.shown.empty());
  EXPECT_EQ(prompt.shown.back().text,
            "You have already calculated concentrations for this scenario. Do you wish to "
            "continue? ");
  EXPECT_EQ(ReadAll(state->Building.ConcWorkFile), work);
}

TEST_F(ConcentrationRunTest, AFailedRunLeavesNoResults) {
  form->RunCommand("CalculateConcentration");
  ASSERT_EQ(state->ConcentrationsCalculated, true);
  // The second run cannot create its work file: a file stands where its folder should be.
  { std::ofstream(Path("blocker")) << "x"; }
  state->TempFolderName = Path("blocker") + "/tmp";
  prompt.answers.push_back(Answer::Yes);
  form->RunCommand("CalculateConcentration");
  EXPECT_EQ(state->ConcentrationsCalculated, false);
  prompt.shown.clear();
  form->RunCommand("CalculateInhalation");
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "You must calculate concentrations before you can calculate exposure.");
}

TEST_F(ConcentrationRunTest, AFullRunThenTheExposureCalculation) {
  form->RunCommand("CalculateConcentration");
  EXPECT_EQ(state->ConcentrationsCalculated, true);
  EXPECT_FALSE(state->StopCalculation);
  const std::string work = ReadAll(state->Building.ConcWorkFile);
  EXPECT_TRUE(work.ends_with("-999 \r\n"));
  form->RunCommand("CalculateInhalation");
  EXPECT_EQ(state->ExposureCalculated, true);
  const std::string inst = state->Building.Scenario.Occupants[1].InstExposureFile;
  ASSERT_FALSE(inst.empty());
  EXPECT_TRUE(std::filesystem::exists(inst));
}

TEST_F(BuildingFormTest, RoomWithoutVolumeStopsTheRunBeforeItStarts) {
  state->Building.RoomList[1].Volume = 0;
  form->RunCommand("CalculateConcentration");
  EXPECT_EQ(state->ConcentrationsCalculated, false);
  EXPECT_GE(prompt.Count("message"), 1u);
}

}  // namespace
}  // namespace quarn
