#include "ui/inputs/room_sink_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QToolButton>
#include <fstream>
#include <string>

#include "platform/up_down.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/common/window_menu.h"
#include "ui/inputs/general_sink_form.h"
#include "ui/inputs/scenario_room_form.h"

namespace quarn {
namespace {

using testing::ChooseMenu;

SinkRecord Sink(const char* name, float mass, float area, const char* comments) {
  return {name, {0.1F, 0.2F}, {0.01F, 0.02F}, area, {mass, mass}, comments};
}
auto Fields(const SinkRecord& k) {
  return std::tie(k.Name, k.ka, k.kd, k.Area, k.Mass, k.Comments);
}

// Two rooms and two pollutants: room 1 with two sinks, room 2 with one. The window is
// opened by a click in the scenario room window's "No. Sinks".
class RoomSinkWindow : public testing::EditorWindowTest {
 protected:
  RoomSinkWindow() {
    state->Building.NumRooms = 2;
    state->Building.RoomList[2].Name = "Hall";
    ScenarioRecord& s = Scenario();
    s.NumPollutants = 2;
    s.Pollutants[1].Name = "P2";
    s.NumSinks = {0, 2, 1};
    s.Sinks[1] = {SinkRecord{}, Sink("gypsum", 1234.5F, 10, "wall"),
                  Sink("carpet", 0.0005F, 2, "floor")};
    s.Sinks[2][1] = Sink("door", 1, 1, "");
    OpenEditor();
    ChooseMenu(*editor, {"Rooms"});
    rooms = AppWindows().Find<ScenarioRoomForm>();
  }
  void Open(int room) {
    testing::ClickCell(rooms->Grid(), room, 3);
    form = AppWindows().Find<RoomSinkForm>();
    ASSERT_NE(form, nullptr);
  }
  static bool Closed() { return AppWindows().Find<RoomSinkForm>() == nullptr; }
  FlexGrid& Grid() { return form->Grid(); }
  // A label's or a box's text.
  std::string Text(const char* name) {
    return form->findChild<QWidget*>(name)->property("text").toString().toStdString();
  }
  void TypeAt(int row, int col, const char* text) {
    Grid().setFocus();
    Grid().SetRowCol(row, col);
    testing::Type(text);
    testing::Enter();
  }
  void Spin(const char* arrow) {
    auto* button = form->findChild<UpDown*>("ChangePollutant")->findChild<QToolButton*>(arrow);
    testing::Click(button, button->rect().center());
  }

  ScenarioRoomForm* rooms = nullptr;
  RoomSinkForm* form = nullptr;
};

// Both sink windows open on room 1: what the general sink window stored stays when the
// room sink window closes afterwards (it wrote its opening copy back over it).
TEST_F(RoomSinkWindow, ClosingItKeepsWhatTheGeneralSinkWindowStored) {
  ASSERT_NO_FATAL_FAILURE(Open(1));
  ChooseMenu(*rooms, {"Sinks", "SinkGeneral"});
  auto* general = AppWindows().Find<GeneralSinkForm>();
  ASSERT_NE(general, nullptr);
  for (const auto& [col, text] : {std::pair{1, "0.9"}, std::pair{0, "Sofa"}}) {
    general->Grid().setFocus();
    general->Grid().SetRowCol(1, col);
    testing::Type(text);
    testing::Enter();
  }
  ChooseMenu(*general, {"Transfer"});
  ASSERT_EQ(Scenario().Sinks[1][1].ka[0], 0.9F);
  OuterFrame(form)->close();
  testing::ProcessEvents();
  EXPECT_EQ(Scenario().Sinks[1][1].ka[0], 0.9F);
  EXPECT_EQ(Scenario().Sinks[1][1].Name, "Sofa");
}

TEST_F(RoomSinkWindow, ShowsTheRoomsSinksAndTransferKeepsThemExactly) {
  const SinkTable before = Scenario().Sinks;
  ASSERT_NO_FATAL_FAILURE(Open(1));
  EXPECT_TRUE(rooms->isEnabled());
  EXPECT_NEAR(OuterFrame(form)->width(), 0.95 * frame->width(), 2);
  EXPECT_EQ(Text("RoomNumber") + Text("PollutantNumber"), "11");
  const char* row1[] = {"1", "gypsum", "0.1", "0.01", "1234.5", "10", "wall"};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(Grid().TextMatrix(1, c), row1[c]) << c;
  EXPECT_EQ(Grid().TextMatrix(2, 4) + Grid().TextMatrix(2, 6), "0.0005floor");
  for (const char* name : {"fileclose", "FilePrint", "Calculator"})
    EXPECT_FALSE(form->menuBar()->findChild<QAction*>(name)->isEnabled()) << name;
  state->ScenarioSaved = true;
  ChooseMenu(*form, {"Transfer"});
  EXPECT_TRUE(Closed());
  EXPECT_EQ(state->SinksSaved - state->ScenarioSaved, true);
  for (int s = 1; s <= 2; ++s) EXPECT_EQ(Fields(Scenario().Sinks[1][s]), Fields(before[1][s]));
}

TEST_F(RoomSinkWindow, StepsKeepTheLeftPollutantsEditsAndClosingDropsTheShownOnes) {
  for (const bool close_box : {false, true}) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    form->findChild<QLineEdit*>("PollutantNumber")->setFocus();
    testing::Type("2");
    Spin("down");
    EXPECT_EQ(Text("PollutantNumber"), "1") << "only the spinner steps, and not below 1";
    TypeAt(1, 1, "brick, red");
    Spin("up");
    Spin("up");
    EXPECT_EQ(Text("PollutantName") + Text("PollutantNumber"), "P22");
    EXPECT_EQ(Grid().TextMatrix(1, 1), "brick, red") << "one name for every pollutant";
    TypeAt(1, 2, "0.2x5");  // "x" is no key of a number
    Grid().SetRowCol(2, 3);
    ChooseMenu(*form, {"Edit", "EditCut"});
    Spin("down");
    TypeAt(1, 2, "9");
    close_box ? void(OuterFrame(form)->close()) : ChooseMenu(*form, {"cancel"});
    EXPECT_TRUE(Closed());
    EXPECT_EQ(Scenario().Sinks[1][1].Name, "brick, red");
    EXPECT_EQ(Scenario().Sinks[1][1].ka, (PerPollutant<float>{0.1F, 0.25F}));
    EXPECT_EQ(Scenario().Sinks[1][2].kd[1], 0.0F) << "an emptied cell stores 0";
    EXPECT_EQ(state->SinksSaved, true);
  }
}

TEST_F(RoomSinkWindow, KeepsWhatOtherWindowsChangeMeanwhile) {
  ASSERT_NO_FATAL_FAILURE(Open(2));
  // As the general sink window stores them.
  Scenario().Sinks[1][1].ka[0] = 42;
  Scenario().NumSinks[2] = 2;
  Scenario().Sinks[2][2] = Sink("shelf", 3, 4, "new");
  Spin("up");
  EXPECT_EQ(Grid().TextMatrix(2, 0) + Grid().TextMatrix(2, 1), "2shelf");
  TypeAt(2, 2, "4");
  ChooseMenu(*form, {"Transfer"});
  EXPECT_EQ(Scenario().Sinks[1][1].ka[0], 42.0F);
  EXPECT_EQ(Scenario().Sinks[2][2].Name, "shelf");
  EXPECT_EQ(Scenario().Sinks[2][2].ka[1], 4.0F);

  ASSERT_NO_FATAL_FAILURE(Open(2));
  Scenario().NumSinks[2] = 0;
  Spin("up");
  ASSERT_EQ(Grid().Rows(), 2);
  std::string row = Text("Msg");
  for (int c = 1; c < 7; ++c) row += Grid().TextMatrix(1, c);
  EXPECT_EQ(row + Grid().TextMatrix(0, 1), "No sinkSink name");
}

TEST_F(RoomSinkWindow, EditCommandsDatabaseAndAnotherRoom) {
  ASSERT_NO_FATAL_FAILURE(Open(1));
  TypeAt(1, 3, "7");
  prompt.answers = {Answer::No, Answer::No, Answer::Yes};
  ChooseMenu(*rooms, {"File", "FileCancel"});
  EXPECT_EQ(prompt.Count("yesno"), 1U) << "typing cleared RoomDataTransferred";
  Grid().SetRowCol(1, 2);
  Grid().SetRowSel(2);
  Grid().SetColSel(3);
  ChooseMenu(*form, {"Edit", "editclear"});
  EXPECT_EQ(prompt.shown.back().text,
            "All data in the form will be cleared.  Do you wish to continue?");
  EXPECT_EQ(prompt.shown.back().title + Grid().TextMatrix(1, 3), "Clear data7");
  ChooseMenu(*form, {"Edit", "editclear"});
  EXPECT_EQ(Grid().TextMatrix(1, 2) + Grid().TextMatrix(2, 3), "");
  EXPECT_EQ(Grid().TextMatrix(1, 4) + Grid().TextMatrix(2, 1), "1234.5carpet");

  const std::string jet = std::string(QUARN_FIXTURES_DIR) + "/jet/testV1997.mdb";
  std::ofstream(Path("x.mdb")) << "not a database\n";
  dialogs.answers = {jet, Path("x.mdb"), std::nullopt};
  const size_t said = prompt.shown.size();
  for (int i = 0; i < 3; ++i) ChooseMenu(*form, {"File", "fileopen"});
  EXPECT_EQ(dialogs.asked.back().request.filter, "Sink (*.MDB)|*.MDB|All files (*.*)|*.*");
  ASSERT_EQ(prompt.shown.size(), said + 1) << "only the text file is no database";
  EXPECT_EQ(prompt.shown.back().text.rfind("Error.", 0), 0U) << prompt.shown.back().text;
  EXPECT_EQ(Grid().TextMatrix(1, 4), "1234.5");

  // Another room's window takes this one's place, which stores as Cancel does.
  Spin("up");
  TypeAt(1, 2, "0.5");
  Spin("down");
  RoomSinkForm* first = form;
  ASSERT_NO_FATAL_FAILURE(Open(1));
  EXPECT_EQ(form, first) << "the same room comes forward";
  ASSERT_NO_FATAL_FAILURE(Open(2));
  EXPECT_EQ(Text("Msg") + Grid().TextMatrix(1, 1), "Halldoor");
  EXPECT_EQ(Scenario().Sinks[1][1].ka[1], 0.5F);
  EXPECT_EQ(Scenario().Sinks[1][1].kd[0], 0.0F);
}

}  // namespace
}  // namespace quarn
