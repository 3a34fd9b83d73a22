#include "ui/inputs/room_sink_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QToolButton>
#include <fstream>
#include <string>

#include "common/menu_input.h"
#include "platform/up_down.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/common/window_menu.h"
#include "ui/inputs/scenario_room_form.h"

namespace quarn {
namespace {

using testing::ChooseMenu;

SinkRecord Sink(const char* name, float mass, float area, const char* comments) {
  SinkRecord s;
  s.Name = name;
  for (int p = 0; p < kMaxPollutants; ++p) {
    s.ka[p] = 0.1F * static_cast<float>(p + 1);
    s.kd[p] = 0.01F * static_cast<float>(p + 1);
    s.Mass[p] = mass;
  }
  s.Area = area;
  s.Comments = comments;
  return s;
}

bool Same(const SinkRecord& a, const SinkRecord& b) {
  return a.Name == b.Name && a.ka == b.ka && a.kd == b.kd && a.Area == b.Area && a.Mass == b.Mass &&
         a.Comments == b.Comments;
}

// Two rooms and two pollutants: room 1 with two sinks, room 2 with one. The window is
// opened by a click in the scenario room window's "No. Sinks".
class RoomSinkWindow : public testing::EditorWindowTest {
 protected:
  RoomSinkWindow() {
    state->Building.NumRooms = 2;
    state->Building.RoomList[1].Name = "Kitchen";
    state->Building.RoomList[2].Name = "Hall";
    ScenarioRecord& s = Scenario();
    s.NumPollutants = 2;
    s.Pollutants[0].Name = "P1";
    s.Pollutants[1].Name = "P2";
    s.NumSinks[1] = 2;
    s.NumSinks[2] = 1;
    s.Sinks[1][1] = Sink("gypsum", 1234.5F, 10, "wall");
    s.Sinks[1][2] = Sink("carpet", 0.0005F, 2, "floor");
    s.Sinks[2][1] = Sink("door", 1, 1, "");
  }
  void Open(int room) {
    if (rooms == nullptr) {
      OpenEditor();
      ChooseMenu(*editor, {"Rooms"});
      rooms = AppWindows().Find<ScenarioRoomForm>();
      ASSERT_NE(rooms, nullptr);
    }
    testing::ClickCell(rooms->roomss(), room, 3);
    form = AppWindows().Find<SinkdataForm>();
    ASSERT_NE(form, nullptr);
  }
  bool IsOpen() {
    testing::ProcessEvents();
    return AppWindows().Find<SinkdataForm>() != nullptr;
  }
  FlexGrid& Grid() { return form->Grid1(); }
  std::string Text(const char* name) {
    if (auto* label = form->findChild<QLabel*>(name)) return label->text().toStdString();
    return form->findChild<QLineEdit*>(name)->text().toStdString();
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
  SinkdataForm* form = nullptr;
};

TEST_F(RoomSinkWindow, ShowsTheRoomsSinksAndTransferKeepsThemExactly) {
  const SinkTable before = Scenario().Sinks;
  ASSERT_NO_FATAL_FAILURE(Open(1));
  EXPECT_TRUE(rooms->isEnabled());
  EXPECT_EQ(form->windowTitle(), "Room sink data");
  EXPECT_NEAR(OuterFrame(form)->width(), 0.95 * frame->width(), 2);
  EXPECT_EQ(Text("RoomNumber"), "1");
  EXPECT_EQ(Text("Msg"), "Kitchen");
  EXPECT_EQ(Text("PollutantNumber"), "1");
  EXPECT_EQ(Text("PollutantName"), "P1");
  ASSERT_EQ(Grid().Rows(), 3);
  const char* row1[] = {"1", "gypsum", "0.1", "0.01", "1234.5", "10", "wall"};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(Grid().TextMatrix(1, c), row1[c]) << c;
  EXPECT_EQ(Grid().TextMatrix(2, 4), "0.0005");
  EXPECT_EQ(Grid().TextMatrix(2, 6), "floor");
  for (const char* name : {"fileclose", "FilePrint", "Calculator"})
    EXPECT_FALSE(form->menuBar()->findChild<QAction*>(name)->isEnabled()) << name;
  EXPECT_FALSE(form->findChild<UpDown*>("spin1")->isEnabled());
  ChooseMenu(*form, {"help"});
  ASSERT_EQ(help.shown.size(), 1U);
  EXPECT_EQ(help.shown[0].second, "sinks");

  state->ScenarioSaved = kTrue;
  ChooseMenu(*form, {"Transfer"});
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(state->SinksSaved, kTrue);
  EXPECT_EQ(state->ScenarioSaved, kFalse);
  for (int s = 1; s <= 2; ++s) EXPECT_TRUE(Same(Scenario().Sinks[1][s], before[1][s])) << s;
}

TEST_F(RoomSinkWindow, StepsKeepTheLeftPollutantsEditsAndClosingDropsTheShownOnes) {
  for (const bool close_box : {false, true}) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    QLineEdit* number = form->findChild<QLineEdit*>("PollutantNumber");
    number->setFocus();
    testing::Type("2");
    EXPECT_EQ(number->text(), "1") << "only the spinner changes the pollutant";
    Spin("down");
    EXPECT_EQ(form->ShownPollutant(), 1);
    TypeAt(1, 1, "brick, red");
    Spin("up");
    EXPECT_EQ(Text("PollutantName"), "P2");
    EXPECT_EQ(Grid().TextMatrix(1, 1), "brick, red") << "one name for every pollutant";
    Spin("up");
    EXPECT_EQ(form->ShownPollutant(), 2);
    TypeAt(1, 2, "0.2,5");  // "," is no key of a number
    Grid().SetRowCol(2, 3);
    ChooseMenu(*form, {"Edit", "EditCut"});
    Spin("down");
    EXPECT_EQ(Text("PollutantNumber"), "1");
    TypeAt(1, 2, "9");
    if (close_box) {
      OuterFrame(form)->close();
    } else {
      ChooseMenu(*form, {"cancel"});
    }
    EXPECT_FALSE(IsOpen());
    const SinkRecord& s = Scenario().Sinks[1][1];
    EXPECT_EQ(s.Name, "brick, red");
    EXPECT_EQ(s.ka[1], 0.25F);
    EXPECT_EQ(s.ka[0], 0.1F) << "the shown pollutant's edit is dropped";
    EXPECT_EQ(Scenario().Sinks[1][2].kd[1], 0.0F) << "an emptied cell stores 0";
    EXPECT_EQ(state->SinksSaved, kTrue);
    Scenario().Sinks[1][1].Name = "gypsum";
    state->SinksSaved = kFalse;
  }
}

TEST_F(RoomSinkWindow, KeepsWhatOtherWindowsChangeMeanwhile) {
  Scenario().NumSinks[1] = 1;
  ASSERT_NO_FATAL_FAILURE(Open(1));
  // As the general sink window stores them.
  Scenario().Sinks[2][1].ka[0] = 42;
  Scenario().NumSinks[1] = 2;
  Scenario().Sinks[1][2] = Sink("shelf", 3, 4, "new");
  Spin("up");
  ASSERT_EQ(Grid().Rows(), 3);
  EXPECT_EQ(Grid().TextMatrix(2, 0), "2");
  EXPECT_EQ(Grid().TextMatrix(2, 1), "shelf");
  TypeAt(2, 2, "4");
  ChooseMenu(*form, {"Transfer"});
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Scenario().Sinks[2][1].ka[0], 42.0F);
  EXPECT_EQ(Scenario().Sinks[1][2].Name, "shelf");
  EXPECT_EQ(Scenario().Sinks[1][2].ka[1], 4.0F);

  ASSERT_NO_FATAL_FAILURE(Open(1));
  Scenario().NumSinks[1] = 0;
  Spin("up");
  ASSERT_EQ(Grid().Rows(), 2);
  EXPECT_EQ(Grid().TextMatrix(0, 1), "Sink name");
  for (int c = 1; c < 7; ++c) EXPECT_EQ(Grid().TextMatrix(1, c), "") << c;
  EXPECT_EQ(Text("Msg"), "No sink");
}

TEST_F(RoomSinkWindow, EditCommandsDatabaseAndAnotherRoom) {
  ASSERT_NO_FATAL_FAILURE(Open(1));
  EXPECT_EQ(state->RoomDataTransferred, kTrue);
  TypeAt(1, 3, "7");
  EXPECT_EQ(state->RoomDataTransferred, kFalse);
  prompt.answers = {Answer::No};
  ChooseMenu(*rooms, {"File", "FileCancel"});
  EXPECT_EQ(prompt.Count("yesno"), 1U) << "the scenario room window asks again";

  Grid().SetRowCol(1, 2);
  Grid().SetRowSel(2);
  Grid().SetColSel(3);
  prompt.answers = {Answer::No, Answer::Yes};
  ChooseMenu(*form, {"Edit", "editclear"});
  EXPECT_EQ(prompt.shown.back().text,
            "All data in the form will be cleared.  Do you wish to continue?");
  EXPECT_EQ(prompt.shown.back().title, "Clear data");
  EXPECT_EQ(prompt.shown.back().icon, MessageIcon::Question);
  EXPECT_EQ(Grid().TextMatrix(1, 3), "7");
  ChooseMenu(*form, {"Edit", "editclear"});
  for (int r = 1; r <= 2; ++r) {
    EXPECT_EQ(Grid().TextMatrix(r, 2), "") << r;
    EXPECT_EQ(Grid().TextMatrix(r, 3), "") << r;
    EXPECT_NE(Grid().TextMatrix(r, 4), "") << r;
  }

  const size_t said = prompt.shown.size();
  const std::string jet = std::string(QUARN_FIXTURES_DIR) + "/jet/testV1997.mdb";
  std::ofstream(Path("x.mdb")) << "not a database\n";
  dialogs.answers = {jet, Path("x.mdb"), std::nullopt};
  ChooseMenu(*form, {"File", "fileopen"});
  EXPECT_EQ(dialogs.asked.back().request.initial_name, "*.mdb");
  EXPECT_EQ(dialogs.asked.back().request.filter, "Sink (*.MDB)|*.MDB|All files (*.*)|*.*");
  EXPECT_EQ(state->CurrentFileName, jet);
  EXPECT_EQ(prompt.shown.size(), said);
  ChooseMenu(*form, {"File", "fileopen"});
  ASSERT_EQ(prompt.shown.size(), said + 1);
  EXPECT_EQ(prompt.shown.back().text.rfind("Error.", 0), 0U) << prompt.shown.back().text;
  ChooseMenu(*form, {"File", "fileopen"});
  EXPECT_EQ(state->CurrentFileName, "");
  EXPECT_EQ(prompt.shown.size(), said + 1);
  EXPECT_EQ(Grid().Rows(), 3);
  EXPECT_EQ(Grid().TextMatrix(1, 4), "1234.5");

  // The other room's window takes this one's place; this room's copy is stored as Cancel
  // stores it.
  Spin("up");
  TypeAt(1, 2, "0.5");
  Spin("down");
  SinkdataForm* first = form;
  ASSERT_NO_FATAL_FAILURE(Open(1));
  EXPECT_EQ(form, first) << "the same room comes forward";
  ASSERT_NO_FATAL_FAILURE(Open(2));
  EXPECT_NE(form, first);
  EXPECT_EQ(form->ShownRoom(), 2);
  EXPECT_EQ(Text("Msg"), "Hall");
  EXPECT_EQ(Grid().TextMatrix(1, 1), "door");
  EXPECT_EQ(Scenario().Sinks[1][1].ka[1], 0.5F);
  EXPECT_EQ(Scenario().Sinks[1][1].kd[0], 0.0F);
}

}  // namespace
}  // namespace quarn
