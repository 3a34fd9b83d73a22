#include "ui/inputs/scenario_room_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFontMetrics>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/menu_input.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "platform/user_input.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/common/window_menu.h"

namespace quarn {
namespace {

using testing::ChooseMenu;

constexpr const char* kNotBuilt = "Feature not implemented in version.";

// Three rooms with one source in room 1 and none elsewhere, no sinks; the window opened
// from the scenario editor's Rooms as a user opens it.
class ScenarioRoomWindow : public testing::EditorWindowTest {
 protected:
  ScenarioRoomWindow() {
    BuildingRecord& b = state->Building;
    b.NumRooms = 3;
    b.RoomList[1].Name = "Kitchen";
    b.RoomList[2].Name = "Hall";
    b.RoomList[3].Name = "Bed";
    Scenario().NumSources[1] = 1;
    Scenario().AirCleanerEff[1] = 50;
    Scenario().AirCleanerPenetration[1] = 0.5F;
    OpenEditor();
  }

  ScenarioRoomForm* Open() {
    ChooseMenu(*editor, {"Rooms"});
    form = AppWindows().Find<ScenarioRoomForm>();
    return form;
  }
  bool IsOpen() {
    testing::ProcessEvents();
    return AppWindows().Find<ScenarioRoomForm>() != nullptr;
  }
  FlexGrid& Grid() { return form->roomss(); }
  // The cell reached by the keyboard (a click in a count column opens that room's window),
  // the text typed and Enter.
  void TypeAt(int row, int col, const char* text) {
    Grid().setFocus();
    Grid().SetRowCol(row, col);
    testing::Type(text);
    testing::Enter();
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& s : prompt.shown) texts.push_back(s.text);
    return texts;
  }

  ScenarioRoomForm* form = nullptr;
};

TEST_F(ScenarioRoomWindow, OpensLaidOutAndTransfersCountsAndAirCleaners) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(form->windowTitle(), "Room Data for scenario");
  EXPECT_FALSE(editor->isEnabled());
  ASSERT_EQ(Grid().Rows(), 4);
  const std::vector<std::string> headers = {"Room Number",     "Room ID",
                                            "No. Sources",     "No. Sinks",
                                            "Air Cleaner Eff", "AC Flow Room Volumes/h"};
  const int widths[] = {900, 1200, 1200, 1200, 1400, 1300};
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(Grid().TextMatrix(0, c), headers[c]);
    EXPECT_LE(std::abs(Grid().ColWidth(c) - widths[c]), 15) << c;
  }
  EXPECT_EQ(Grid().TextMatrix(2, 1), "Hall");
  EXPECT_TRUE(Grid().WordWrap());
  EXPECT_GE(TwipsToPixels(Grid().RowHeight(0)), 2 * QFontMetrics(Grid().font()).lineSpacing());
  EXPECT_EQ(Grid().Row(), 1);
  EXPECT_EQ(Grid().Col(), 2);
  EXPECT_FALSE(testing::ActionNamed(form->findChildren<QAction*>(), "FilePrint")->isEnabled());
  form->RunCommand("help");
  form->RunCommand("PMHelp");
  EXPECT_EQ(help.shown, (std::vector<std::pair<std::string, std::string>>{
                            {"RovozUzav.HLP", "Scenario room"}, {"RIRozid.HLP", "Scenario room"}}));

  // Room 1's efficiency cut to an empty cell; "," is no key of a number, but of a name.
  Grid().SetRowCol(1, 4);
  ChooseMenu(*form, {"Edit", "EditCut"});
  EXPECT_EQ(Grid().TextMatrix(1, 4), "");
  TypeAt(2, 4, "100");
  TypeAt(3, 4, "4,0");
  TypeAt(1, 2, "0.5");
  TypeAt(2, 2, "1.5");
  TypeAt(1, 1, "A,B");
  EXPECT_EQ(Grid().TextMatrix(3, 4), "40");
  EXPECT_EQ(Grid().TextMatrix(1, 1), "A,B");
  state->ScenarioSaved = kTrue;
  ChooseMenu(*form, {"Transfer"});
  EXPECT_FALSE(IsOpen());
  EXPECT_TRUE(editor->isEnabled());
  EXPECT_EQ(state->ScenarioSaved, kFalse);
  const ScenarioRecord& s = Scenario();
  EXPECT_EQ((std::vector<float>{s.AirCleanerEff[1], s.AirCleanerEff[2], s.AirCleanerEff[3]}),
            (std::vector<float>{0, 100, 40}));
  EXPECT_FLOAT_EQ(s.AirCleanerPenetration[1], 1.0F);
  EXPECT_FLOAT_EQ(s.AirCleanerPenetration[2], 0.0F);
  EXPECT_FLOAT_EQ(s.AirCleanerPenetration[3], 0.6F);
  EXPECT_EQ(s.NumSources[1], 0);
  EXPECT_EQ(s.NumSources[2], 2);
  EXPECT_EQ(state->Building.RoomList[1].Name, "Kitchen") << "the name is shown, not stored";
}

TEST_F(ScenarioRoomWindow, RoomSourcesTakesTheRowsCountAndPutsTheCursorBack) {
  ASSERT_NE(Open(), nullptr);
  testing::ClickCell(Grid(), 2, 2);
  EXPECT_EQ(Grid().TextMatrix(2, 2), "1");
  EXPECT_EQ(Scenario().NumSources[2], 1) << "stored before the source window opens";
  EXPECT_EQ(form->SelectedRoom(), 2);
  EXPECT_EQ(state->RoomDataTransferred, kTrue);
  ASSERT_EQ(Messages(), std::vector<std::string>{kNotBuilt});

  Grid().SetRowCol(1, 5);
  ChooseMenu(*form, {"RoomSources"});
  EXPECT_EQ(form->SelectedRoom(), 1);
  EXPECT_EQ(Grid().Col(), 5);
  EXPECT_EQ(Messages().back(), kNotBuilt);

  Grid().SetRowCol(3, 5);
  ChooseMenu(*form, {"RoomSources"});
  EXPECT_EQ(Messages().back(), "No sources in selected room");
  EXPECT_EQ(prompt.shown.back().title, "No sources");
  EXPECT_EQ(Grid().Col(), 2);
  EXPECT_EQ(form->SelectedRoom(), 1);
  EXPECT_TRUE(IsOpen());
}

TEST_F(ScenarioRoomWindow, RoomSinksOpensForAnyCountButAnExactZero) {
  ASSERT_NE(Open(), nullptr);
  Grid().SetRowCol(1, 5);
  ChooseMenu(*form, {"Sinks", "SinkRoom"});
  EXPECT_EQ(Messages(), std::vector<std::string>{"No sinks in selected room"});
  EXPECT_EQ(prompt.shown.back().title, "No sinks");
  EXPECT_EQ(Grid().Col(), 3);
  EXPECT_EQ(state->RoomDataTransferred, kFalse) << "nothing was read back";

  TypeAt(1, 3, "0.4");
  Scenario().NumSinks[1] = 1;
  Grid().SetRowCol(1, 3);
  ChooseMenu(*form, {"Sinks", "SinkRoom"});
  EXPECT_EQ(Messages().back(), kNotBuilt);
  EXPECT_EQ(Scenario().NumSinks[1], 0);
  EXPECT_EQ(form->SelectedRoom(), 1);

  testing::ClickCell(Grid(), 3, 3);
  EXPECT_EQ(Scenario().NumSinks[3], 1);
  EXPECT_EQ(form->SelectedRoom(), 3);

  TypeAt(2, 5, "7");
  ChooseMenu(*form, {"Sinks", "SinkGeneral"});
  EXPECT_FLOAT_EQ(Scenario().AirCleanerFlow[2], 7.0F);
  EXPECT_EQ(Grid().Row(), 3) << "Enter moved on; the cursor is put back there";
  EXPECT_EQ(Grid().Col(), 5);
  EXPECT_EQ(prompt.Count("message"), 4U);
}

TEST_F(ScenarioRoomWindow, CountsBeyondTheRoomsSlotsStoreNothingAndOpenNothing) {
  const struct {
    int col;
    const char* typed;
  } cases[] = {{2, "4"}, {3, "3"}};
  // Room 1 has a sink, so that Room sinks comes as far as the read-back.
  Scenario().NumSinks[1] = 1;
  for (const auto& c : cases) {
    const ScenarioRecord before = Scenario();
    ASSERT_NE(Open(), nullptr);
    TypeAt(2, 4, "90");
    TypeAt(1, c.col, c.typed);
    prompt.shown.clear();
    Grid().SetRowCol(1, 2);
    ChooseMenu(*form, {"Transfer"});
    form->RunCommand("RoomSources");
    form->RunCommand("SinkRoom");
    OuterFrame(form)->close();
    EXPECT_TRUE(IsOpen()) << c.typed;
    ASSERT_EQ(prompt.shown.size(), 4U) << c.typed;
    for (const auto& shown : prompt.shown) {
      EXPECT_NE(shown.text.find("No room data were transferred."), std::string::npos) << shown.text;
    }
    EXPECT_EQ(Scenario().AirCleanerEff[2], before.AirCleanerEff[2]) << c.typed;
    EXPECT_EQ(state->RoomDataTransferred, kFalse);
    form->RunCommand("cancel");
    EXPECT_FALSE(IsOpen());
  }
}

TEST_F(ScenarioRoomWindow, CancelAsksOnlyUntilTheFirstTransfer) {
  ASSERT_NE(Open(), nullptr);
  TypeAt(2, 5, "3");
  ChooseMenu(*form, {"cancel"});
  EXPECT_FALSE(IsOpen());
  EXPECT_TRUE(prompt.shown.empty()) << "the bar's Cancel never asks";

  ASSERT_NE(Open(), nullptr);
  TypeAt(2, 5, "3");
  prompt.answers = {Answer::No, Answer::Yes};
  ChooseMenu(*form, {"File", "FileCancel"});
  EXPECT_TRUE(IsOpen());
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].kind, "yesno");
  EXPECT_EQ(prompt.shown[0].text,
            "Room data have not been transfered.  Do you wish to continue without transferring "
            "room data?");
  EXPECT_EQ(prompt.shown[0].title, "Warning");
  EXPECT_EQ(prompt.shown[0].icon, MessageIcon::Critical);
  ChooseMenu(*form, {"File", "FileCancel"});
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Scenario().AirCleanerFlow[2], 0.0F);

  ASSERT_NE(Open(), nullptr);
  TypeAt(2, 5, "3");
  Grid().SetRowCol(3, 5);
  testing::Type("8");  // still in the edit box when the window closes
  OuterFrame(form)->close();
  EXPECT_FALSE(IsOpen());
  EXPECT_TRUE(editor->isEnabled());
  EXPECT_FLOAT_EQ(Scenario().AirCleanerFlow[2], 3.0F);
  EXPECT_FLOAT_EQ(Scenario().AirCleanerFlow[3], 8.0F);

  ASSERT_NE(Open(), nullptr);
  ChooseMenu(*form, {"File", "FileCancel"});
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(prompt.shown.size(), 2U) << "the No and the Yes only";

  // The room-to-room flows count as room data too.
  state->RoomDataTransferred = kFalse;
  editor->RunCommand("ManRoomtoRoom");
  EXPECT_EQ(state->RoomDataTransferred, kTrue);
}

}  // namespace
}  // namespace quarn
