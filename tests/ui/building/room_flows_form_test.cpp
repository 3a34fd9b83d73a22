#include "ui/building/room_flows_form.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QToolButton>
#include <string>

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
  RoomFlowsForm& Open(std::initializer_list<const char*> command) {
    ChooseMenu(*editor, command);
    form = AppWindows().Find<RoomFlowsForm>();
    EXPECT_NE(form, nullptr);
    return *form;
  }
  RoomFlowsForm& Natural() { return Open({"NaturalFlows", "NaturalRoomtoRoom"}); }
  FlexGrid& Grid() { return form->RoomFlowSS(); }
  std::string Room() { return FromQt(form->RoomNumber().text()); }
  void Step(const char* arrow) {
    auto* button = form->UpDown1().findChild<QToolButton*>(arrow);
    ASSERT_NE(button, nullptr);
    testing::Click(button, button->rect().center());
  }
  // The text typed into the cell, left in the edit box.
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
  Natural();
  EXPECT_EQ(FromQt(form->windowTitle()), "Natural Room-to-Room flows");
  EXPECT_EQ(Grid().Cols(), 4);
  EXPECT_EQ(Grid().FixedCols(), 2);
  EXPECT_EQ(Grid().Rows(), 4);
  EXPECT_EQ(Grid().TextMatrix(1, 1) + "|" + Grid().TextMatrix(2, 1) + "|" + Grid().TextMatrix(3, 0),
            "Outdoors|R2|Total");
  EXPECT_EQ(Room() + " " + FromQt(form->RoomName().text()), "1 R1");
  EXPECT_FALSE(editor->isEnabled());

  TypeOnly(2, 3, "7");
  testing::ClickCell(Grid(), 1, 2);
  EXPECT_EQ(Grid().TextMatrix(3, 3), "7.0");
  TypeOnly(2, 3, "8");
  Step("up");
  EXPECT_EQ(Room() + " " + Grid().TextMatrix(2, 1) + " " + Grid().TextMatrix(2, 2), "2 R1 8");
  EXPECT_EQ(std::make_pair(Grid().Row(), Grid().Col()), std::make_pair(1, 2));
  for (const char* arrow : {"down", "down", "up", "up", "up"}) Step(arrow);
  EXPECT_EQ(Room(), "3") << "nothing below room 1 or above the last room";

  state->ScenarioSaved = kTrue;
  ChooseMenu(*form, {"Transfer"});
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Scenario().NaturalRoomFlows[1][2], 8.0f);
  EXPECT_EQ(Scenario().NaturalRoomFlows[2][1], 0.0f);
  EXPECT_EQ(state->RoomFlowsSaved, kTrue);
  EXPECT_EQ(state->ScenarioSaved, kFalse);
  EXPECT_TRUE(editor->isEnabled());
}

TEST_F(RoomFlows, TransferredFlowsBalanceOnlyWhenTheRoomsAgree) {
  // Room 1 takes 100 from outdoors and gives 50 back and 50 to room 2, which lets them out.
  const struct {
    int col;
    bool balances;
  } cases[] = {{3, true}, {2, false}};
  for (const auto& c : cases) {
    Scenario().NaturalRoomFlows = {};
    Natural();
    TypeIntoCell(Grid(), 1, 2, "100");
    TypeIntoCell(Grid(), 1, 3, "50");
    TypeIntoCell(Grid(), 2, c.col, "50");
    Step("up");
    TypeIntoCell(Grid(), 1, 3, "50");
    ChooseMenu(*form, {"File", "FileTransfer"});
    WorkingFlows flows;
    StartWorkingFlows(Scenario(), flows);
    testing::ScriptedPrompt check;
    EXPECT_EQ(CheckFlowBalance(state->Building, flows, check), c.balances) << c.col;
  }
}

TEST_F(RoomFlows, CancelAsksOnlyAfterAnEditAndTheCloseBoxKeepsTheRoomOnShow) {
  Natural();
  prompt.answers = {Answer::Yes};
  form->RunCommand("cancel");
  EXPECT_FALSE(IsOpen()) << "nothing edited, nothing asked, though nothing was transferred";
  EXPECT_TRUE(prompt.shown.empty());

  Natural();
  TypeIntoCell(Grid(), 1, 2, "5");
  Step("up");
  TypeIntoCell(Grid(), 2, 3, "6");
  prompt.answers = {Answer::No, Answer::Yes};
  form->RunCommand("FileCancel");
  ASSERT_TRUE(IsOpen());
  form->RunCommand("cancel");
  EXPECT_FALSE(IsOpen());
  ASSERT_EQ(prompt.shown.size(), 2U);
  EXPECT_EQ(prompt.shown[0].text,
            "Flow data not saved.  Do you wish to exit without saving the flow data?");
  EXPECT_EQ(prompt.shown[0].title, "Warning");
  EXPECT_EQ(Scenario().NaturalFromOutdoors[1] + Scenario().NaturalRoomFlows[2][3], 0.0f);

  state->RoomFlowsSaved = kTrue;  // as after an earlier Transfer
  Natural();
  TypeOnly(1, 3, "4");
  OuterFrame(form)->close();
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Scenario().NaturalToOutdoors[1], 4.0f);
}

TEST_F(RoomFlows, HVACAndManagedSetsEditTheirOwnVectors) {
  Open({"HVAC", "HVACRoomtoroom"});
  EXPECT_EQ(state->FlowSet, kHVACFlowSet);
  EXPECT_EQ(FromQt(form->windowTitle()), "HVAC driven Room-to-Room flows");
  form->RunCommand("cancel");
  ASSERT_FALSE(IsOpen());

  Scenario().HVACSupply[2] = 9;
  Open({"ManagedFlow", "ManRoomtoRoom"});
  EXPECT_EQ(Grid().Cols() * 10 + Grid().FixedCols(), 42);
  Step("up");
  TypeIntoCell(Grid(), 2, 2, "3");
  TypeIntoCell(Grid(), 2, 3, "1,5");
  Step("up");
  Step("down");
  EXPECT_EQ(Grid().TextMatrix(2, 1) + " " + Grid().TextMatrix(2, 2) + " " + Grid().TextMatrix(2, 3),
            "HVAC 3 15");
  ChooseMenu(*form, {"Transfer"});
  EXPECT_EQ(Scenario().ManagedSupply[2], 3.0f);
  EXPECT_EQ(Scenario().ManagedReturn[2], 15.0f) << "the box takes numbers only";
  EXPECT_EQ(Scenario().HVACSupply[2], 9.0f);
}

}  // namespace
}  // namespace quarn
