#include "ui/building/room_flows_form.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QToolButton>
#include <string>
#include <tuple>
#include <utility>

#include "editor_window_fixture.h"
#include "model/flow_setup.h"
#include "model/input_checks.h"
#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "ui/common/window_menu.h"

namespace quarn {
namespace {

using testing::ChooseMenu;

// Rooms R1, R2, R3 connected 1-2 and 2-3; the room flows opened from the scenario editor.
class RoomFlows : public testing::EditorWindowTest {
 protected:
  RoomFlows() {
    BuildingRecord& b = state->Building;
    b.NumRooms = 3;
    for (int r = 1; r <= 3; ++r) b.RoomList[r].Name = "R" + std::to_string(r);
    for (auto [i, j] : {std::pair{1, 2}, {2, 3}}) b.Neighbors[i][j] = b.Neighbors[j][i] = kTrue;
    OpenEditor();
  }
  void Open(const char* menu = "NaturalFlows", const char* item = "NaturalRoomtoRoom") {
    ChooseMenu(*editor, {menu, item});
    form = AppWindows().Find<RoomFlowsForm>();
    ASSERT_NE(form, nullptr);
  }
  FlexGrid& Grid() { return form->Grid(); }
  // Row's cells from column 1, and the room on show.
  std::string Cells(int row) {
    return Grid().TextMatrix(row, 1) + " " + Grid().TextMatrix(row, 2) + " " +
           Grid().TextMatrix(row, 3);
  }
  std::string Room() { return FromQt(form->RoomNumber().text() + " " + form->RoomName().text()); }
  void Step(const char* arrow) {
    auto* button = form->UpDown1().findChild<QToolButton*>(arrow);
    testing::Click(button, button->rect().center());
  }
  // Typed into the cell and left in the edit box.
  void TypeOnly(int row, int col, const char* text) {
    testing::ClickCell(Grid(), row, col);
    testing::Type(text);
  }
  bool IsOpen() {
    testing::ProcessEvents();
    return AppWindows().Find<RoomFlowsForm>() != nullptr;
  }

  RoomFlowsForm* form = nullptr;
};

TEST_F(RoomFlows, AFlowTypedLeavingOneRoomEntersItsNeighbourAndTransfers) {
  Open();
  EXPECT_EQ(FromQt(form->windowTitle()), "Natural Room-to-Room flows");
  EXPECT_EQ(std::tuple(Grid().Cols(), Grid().FixedCols(), Grid().Rows()), std::tuple(4, 2, 4));
  EXPECT_EQ(Cells(1) + "|" + Cells(2) + "|" + Grid().TextMatrix(3, 0), "Outdoors 0 0|R2 0 0|Total");
  EXPECT_EQ(Room(), "1 R1");
  EXPECT_FALSE(editor->isEnabled());

  TypeOnly(2, 3, "7");
  testing::ClickCell(Grid(), 1, 2);
  EXPECT_EQ(Grid().TextMatrix(3, 3), "7.0");
  TypeOnly(2, 3, "8");
  Step("up");
  EXPECT_EQ(Room() + " " + Cells(2), "2 R2 R1 8 0");
  EXPECT_EQ(std::make_pair(Grid().Row(), Grid().Col()), std::make_pair(1, 2));
  for (const char* arrow : {"down", "down", "up", "up", "up"}) Step(arrow);
  EXPECT_EQ(Room(), "3 R3") << "nothing below room 1 or above the last room";

  state->ScenarioSaved = true;
  ChooseMenu(*form, {"Transfer"});
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(std::pair(Scenario().NaturalRoomFlows[1][2], Scenario().NaturalRoomFlows[2][1]),
            std::pair(8.0f, 0.0f));
  EXPECT_EQ(std::pair(state->RoomFlowsSaved, state->ScenarioSaved), std::pair(true, false));
  EXPECT_TRUE(editor->isEnabled());
}

// A flow below 0 has no meaning: Transfer and a step to another room refuse it, storing
// nothing, until it is mended.
TEST_F(RoomFlows, AFlowBelowZeroIsRefusedWithNothingStored) {
  Open();
  TypeIntoCell(Grid(), 2, 3, "-5");
  ChooseMenu(*form, {"Transfer"});
  EXPECT_TRUE(IsOpen());
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, "Error.  Flows must be numbers of 0 or more.  Reenter data.");
  Step("up");
  EXPECT_EQ(Room(), "1 R1");
  EXPECT_EQ(Scenario().NaturalRoomFlows[1][2], 0.0f);
  TypeIntoCell(Grid(), 2, 3, "5");
  ChooseMenu(*form, {"Transfer"});
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Scenario().NaturalRoomFlows[1][2], 5.0f);
}

TEST_F(RoomFlows, TransferredFlowsBalanceOnlyWhenTheRoomsAgree) {
  // Room 1 takes 100 from outdoors and gives 50 back and 50 to room 2, which lets them out.
  for (const auto& [col, balances] : {std::pair{3, true}, {2, false}}) {
    Scenario().NaturalRoomFlows = {};
    Open();
    TypeIntoCell(Grid(), 1, 2, "100");
    TypeIntoCell(Grid(), 1, 3, "50");
    TypeIntoCell(Grid(), 2, col, "50");
    Step("up");
    TypeIntoCell(Grid(), 1, 3, "50");
    ChooseMenu(*form, {"File", "FileTransfer"});
    WorkingFlows flows;
    StartWorkingFlows(Scenario(), flows);
    EXPECT_EQ(CheckFlowBalance(state->Building, flows, prompt), balances) << col;
  }
}

TEST_F(RoomFlows, CancelAndTheCloseBoxAskOnlyAfterAnEditAndStoreNothing) {
  Open();
  form->RunCommand("cancel");
  EXPECT_FALSE(IsOpen()) << "nothing edited, nothing asked, though nothing was transferred";

  Open();
  TypeIntoCell(Grid(), 1, 2, "5");
  Step("up");
  TypeIntoCell(Grid(), 2, 3, "6");
  prompt.answers = {Answer::No, Answer::Yes};
  form->RunCommand("FileCancel");
  ASSERT_TRUE(IsOpen());
  form->RunCommand("cancel");
  EXPECT_FALSE(IsOpen());
  ASSERT_EQ(prompt.shown.size(), 2U);
  EXPECT_EQ(prompt.shown[0].title + ": " + prompt.shown[0].text,
            "Warning: Flow data not saved.  Do you wish to exit without saving the flow data?");
  EXPECT_EQ(Scenario().NaturalFromOutdoors[1] + Scenario().NaturalRoomFlows[2][3], 0.0f);

  state->RoomFlowsSaved = true;  // as after an earlier Transfer
  Open();
  TypeOnly(1, 3, "4");
  prompt.answers = {Answer::Yes};
  OuterFrame(form)->close();
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(prompt.shown.back().text, "All changes will be lost.  Do you wish to continue?");
  EXPECT_EQ(Scenario().NaturalToOutdoors[1], 0.0f);
}

TEST_F(RoomFlows, HVACAndManagedSetsEditTheirOwnVectors) {
  Open("HVAC", "HVACRoomtoroom");
  EXPECT_EQ(state->FlowSet, kHVACFlowSet);
  EXPECT_EQ(FromQt(form->windowTitle()), "HVAC driven Room-to-Room flows");
  form->RunCommand("cancel");

  Scenario().HVACSupply[2] = 9;
  Open("ManagedFlow", "ManRoomtoRoom");
  EXPECT_EQ(std::pair(Grid().Cols(), Grid().FixedCols()), std::pair(4, 2));
  Step("up");
  TypeIntoCell(Grid(), 2, 2, "3");
  TypeIntoCell(Grid(), 2, 3, "1x5");
  Step("up");
  Step("down");
  EXPECT_EQ(Cells(2), "HVAC 3 15") << "the box takes numbers only";
  ChooseMenu(*form, {"Transfer"});
  EXPECT_EQ(std::pair(Scenario().ManagedSupply[2], Scenario().ManagedReturn[2]),
            std::pair(3.0f, 15.0f));
  EXPECT_EQ(Scenario().HVACSupply[2], 9.0f);
}

}  // namespace
}  // namespace quarn
