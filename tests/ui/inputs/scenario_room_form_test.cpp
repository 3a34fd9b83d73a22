#include "ui/inputs/scenario_room_form.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLineEdit>
#include <cstdlib>
#include <string>

#include "common/menu_input.h"
#include "platform/qt_text.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/common/window_menu.h"
#include "ui/inputs/room_sink_form.h"
#include "ui/inputs/room_source_form.h"

namespace quarn {
namespace {

using testing::ChooseMenu;

// Three rooms, one source in room 1; the window opened by the scenario editor's Rooms.
class ScenarioRoomWindow : public testing::EditorWindowTest {
 protected:
  ScenarioRoomWindow() {
    state->Building.NumRooms = 3;
    Scenario().NumSources[1] = 1;
    OpenEditor();
  }
  bool Open() {
    ChooseMenu(*editor, {"Rooms"});
    form = AppWindows().Find<ScenarioRoomForm>();
    return form != nullptr;
  }
  bool IsOpen() {
    testing::ProcessEvents();
    return AppWindows().Find<ScenarioRoomForm>() != nullptr;
  }
  FlexGrid& Grid() { return form->Grid(); }
  // Reached by the keyboard: a click in a count column opens that room's window.
  void TypeAt(int row, int col, const char* text) {
    Grid().setFocus();
    Grid().SetRowCol(row, col);
    testing::Type(text);
    testing::Enter();
  }
  std::string Said() const { return prompt.shown.empty() ? "" : prompt.shown.back().text; }

  ScenarioRoomForm* form = nullptr;
};

TEST_F(ScenarioRoomWindow, OpensLaidOutAndTransfersCountsAndAirCleaners) {
  Scenario().AirCleanerEff[1] = 50;
  ASSERT_TRUE(Open());
  EXPECT_FALSE(editor->isEnabled());
  ASSERT_EQ(Grid().Rows(), 4);
  const char* headers[] = {"Room Number", "Room ID",         "No. Sources",
                           "No. Sinks",   "Air Cleaner Eff", "AC Flow Room Volumes/h"};
  const int widths[] = {900, 1200, 1200, 1200, 1400, 1300};
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(Grid().TextMatrix(0, c), headers[c]);
    EXPECT_LE(std::abs(Grid().ColWidth(c) - widths[c]), 15) << c;
  }
  EXPECT_TRUE(Grid().WordWrap());
  EXPECT_GE(TwipsToPixels(Grid().RowHeight(0)), 2 * QFontMetrics(Grid().font()).lineSpacing());
  EXPECT_EQ(Grid().Col(), 2);

  // Room 1's efficiency cut to an empty cell; "," is no key of a number, but of a name.
  Grid().SetRowCol(1, 4);
  ChooseMenu(*form, {"Edit", "EditCut"});
  TypeAt(2, 4, "100");
  TypeAt(3, 4, "4x0");
  TypeAt(1, 2, "0.5");
  TypeAt(2, 2, "1.5");
  TypeAt(1, 1, "A,B");
  EXPECT_EQ(Grid().TextMatrix(1, 1), "A,B");
  state->ScenarioSaved = true;
  ChooseMenu(*form, {"Transfer"});
  EXPECT_FALSE(IsOpen());
  EXPECT_TRUE(editor->isEnabled());
  EXPECT_EQ(state->ScenarioSaved, false);
  const ScenarioRecord& s = Scenario();
  const float eff[] = {0, 100, 40};
  const float pen[] = {1, 0, 0.6F};
  for (int r = 1; r <= 3; ++r) {
    EXPECT_EQ(s.AirCleanerEff[r], eff[r - 1]) << r;
    EXPECT_FLOAT_EQ(s.AirCleanerPenetration[r], pen[r - 1]) << r;
  }
  EXPECT_EQ(s.NumSources[1], 0);
  EXPECT_EQ(s.NumSources[2], 2);
}

TEST_F(ScenarioRoomWindow, CountCommandsStoreTheGridAndOpenTheSelectedRoomsWindow) {
  state->Building.RoomList[3].Name = "Attic";
  ASSERT_TRUE(Open());
  testing::ClickCell(Grid(), 2, 2);
  EXPECT_EQ(Grid().TextMatrix(2, 2), "1");
  EXPECT_EQ(Scenario().NumSources[2], 1) << "stored before the source window opens";
  auto* sources = AppWindows().Find<RoomSourceForm>();
  ASSERT_NE(sources, nullptr);
  EXPECT_EQ(sources->ShownRoom(), 2);
  EXPECT_EQ(sources->findChild<QLineEdit*>("Numberofsources")->text(), "1");
  EXPECT_FALSE(form->isEnabled());
  OuterFrame(sources)->close();
  testing::ProcessEvents();
  EXPECT_TRUE(form->isEnabled());
  Grid().SetRowCol(1, 5);
  ChooseMenu(*form, {"RoomSources"});
  sources = AppWindows().Find<RoomSourceForm>();
  ASSERT_NE(sources, nullptr);
  EXPECT_EQ(sources->ShownRoom(), 1);
  EXPECT_EQ(Grid().Col(), 5) << "the count is column 2's; the cursor goes back";
  OuterFrame(sources)->close();
  testing::ProcessEvents();
  Grid().SetRowCol(3, 5);
  ChooseMenu(*form, {"RoomSources"});
  EXPECT_EQ(Said(),
            "No sources in room 3 (Attic).  Give it a number of sources in \"No. "
            "Sources\" first.");
  EXPECT_EQ(prompt.shown.back().title, "No sources");

  Grid().SetRowCol(1, 5);
  ChooseMenu(*form, {"Sinks", "SinkRoom"});
  EXPECT_EQ(Said(), "No sinks in room 1.  Give it a number of sinks in \"No. Sinks\" first.");
  EXPECT_EQ(prompt.shown.back().title, "No sinks");
  TypeAt(1, 3, "0.4");
  Scenario().NumSinks[1] = 1;
  Grid().SetRowCol(1, 3);
  ChooseMenu(*form, {"Sinks", "SinkRoom"});
  EXPECT_EQ(Scenario().NumSinks[1], 0);
  ASSERT_NE(AppWindows().Find<RoomSinkForm>(), nullptr);
  EXPECT_EQ(AppWindows().Find<RoomSinkForm>()->ShownRoom(), 1);
  testing::ClickCell(Grid(), 3, 3);
  EXPECT_EQ(Scenario().NumSinks[3], 1);
  EXPECT_EQ(prompt.Count("message"), 2U);
}

TEST_F(ScenarioRoomWindow, CountsBeyondTheRoomsSlotsStoreNothingAndOpenNothing) {
  Scenario().NumSinks[1] = 1;  // so that Room sinks comes as far as the read-back
  for (const auto& [col, typed] : {std::pair{2, "4"}, std::pair{3, "3"}}) {
    ASSERT_TRUE(Open());
    TypeAt(2, 4, "90");
    TypeAt(1, col, typed);
    prompt.shown.clear();
    Grid().SetRowCol(1, 2);
    ChooseMenu(*form, {"Transfer"});
    for (const char* command : {"RoomSources", "SinkRoom", "SinkGeneral"})
      form->RunCommand(command);
    ASSERT_EQ(prompt.shown.size(), 4U) << typed;
    EXPECT_NE(Said().find("No room data were transferred."), std::string::npos) << Said();
    EXPECT_EQ(Scenario().AirCleanerEff[2], 0.0F) << typed;
    prompt.answers = {Answer::Yes};
    form->RunCommand("cancel");
  }
}

TEST_F(ScenarioRoomWindow, FileCancelAsksOnlyUntilTheFirstTransfer) {
  ASSERT_TRUE(Open());
  TypeAt(2, 5, "3");
  ChooseMenu(*form, {"cancel"});
  ASSERT_EQ(prompt.shown.size(), 1u) << "the bar's Cancel asks before dropping typed edits";
  EXPECT_EQ(Said(), "All changes will be lost.  Do you wish to continue?");
  prompt.shown.clear();

  ASSERT_TRUE(Open());
  TypeAt(2, 5, "3");
  prompt.answers = {Answer::No, Answer::Yes};
  ChooseMenu(*form, {"File", "FileCancel"});
  EXPECT_TRUE(IsOpen());
  EXPECT_EQ(Said(),
            "Room data have not been transfered.  Do you wish to continue without transferring "
            "room data?");
  EXPECT_EQ(prompt.shown[0].title, "Warning");
  EXPECT_EQ(prompt.shown[0].icon, MessageIcon::Critical);
  ChooseMenu(*form, {"File", "FileCancel"});
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Scenario().AirCleanerFlow[2], 0.0F);

  ASSERT_TRUE(Open());
  ChooseMenu(*form, {"Transfer"});
  ASSERT_TRUE(Open());
  ChooseMenu(*form, {"File", "FileCancel"});
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(prompt.Count("yesno"), 2U);

  // Opening the room-to-room flows counts as giving room data too.
  state->RoomDataTransferred = false;
  editor->RunCommand("ManRoomtoRoom");
  EXPECT_EQ(state->RoomDataTransferred, true);
}

}  // namespace
}  // namespace quarn
