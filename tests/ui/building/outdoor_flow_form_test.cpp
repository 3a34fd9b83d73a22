#include "ui/building/outdoor_flow_form.h"

#include <gtest/gtest.h>

#include <QMdiArea>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "common/main_window_fixture.h"
#include "common/menu_input.h"
#include "platform/clipboard.h"
#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/user_input.h"
#include "platform/window_registry.h"
#include "ui/common/window_menu.h"
#include "ui/main/scenario_editor.h"

namespace quarn {
namespace {

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The scenario editor of a building in the frame, the outdoor flows opened from its menu.
class OutdoorFlows : public testing::MainWindowTest {
 protected:
  OutdoorFlows() {
    frame->setCentralWidget(area);
    frame->resize(1000, 800);
    EXPECT_TRUE(testing::ShowActive(*frame));
  }
  ~OutdoorFlows() override {
    AppWindows().Unload<OutdoorFlowForm>();
    AppWindows().Unload<ScenarioEditor>();
    Closed();
  }

  // Rooms named R1.. with flows in of 10, 20, 30.. and out of 5 each.
  OutdoorFlowForm& Open(int rooms) {
    BuildingRecord& b = state->Building;
    b.NumRooms = static_cast<int16_t>(rooms);
    for (int r = 1; r <= rooms; ++r) {
      b.RoomList[r].Name = "R" + std::to_string(r);
      b.Scenario.NaturalFromOutdoors[r] = 10.0f * static_cast<float>(r);
      b.Scenario.NaturalToOutdoors[r] = 5;
    }
    editor = OpenScenarioEditor(*context, area, nullptr);
    testing::ChooseMenu(*editor, {"NaturalFlows", "Outflows"});
    testing::ProcessEvents();
    form = AppWindows().Find<OutdoorFlowForm>();
    EXPECT_NE(form, nullptr);
    prompt.shown.clear();
    return *form;
  }
  FlexGrid& Grid() { return form->Grid(); }
  const ScenarioRecord& Scenario() const { return state->Building.Scenario; }
  std::string Totals() {
    return Grid().TextMatrix(Grid().Rows() - 1, 2) + " " + Grid().TextMatrix(Grid().Rows() - 1, 3);
  }
  void TypeInto(int row, int col, const char* text) {
    testing::ClickCell(Grid(), row, col);
    testing::TypeKeys(text);
    testing::Enter();
  }
  bool Closed() {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    testing::ProcessEvents();
    return AppWindows().Find<OutdoorFlowForm>() == nullptr;
  }

  std::unique_ptr<QMainWindow> frame = std::make_unique<QMainWindow>();
  QMdiArea* area = new QMdiArea(frame.get());
  ScenarioEditor* editor = nullptr;
  OutdoorFlowForm* form = nullptr;
};

TEST_F(OutdoorFlows, OpensOnTheRoomsWithTheirTotalsAndTotalsFollowEveryEdit) {
  Open(3);
  EXPECT_EQ(Grid().TextMatrix(4, 0) + "|" + Grid().TextMatrix(4, 1) + "|" + Totals(),
            "Total|Totals|60 15");
  EXPECT_EQ(Grid().FixedCols(), 2);
  EXPECT_EQ(std::make_pair(Grid().Row(), Grid().Col()), std::make_pair(1, 2));
  EXPECT_TRUE(Grid().hasFocus());
  EXPECT_FALSE(editor->isEnabled());
  EXPECT_EQ(OuterFrame(form)->width(), 900) << "nine tenths of the frame";

  TypeInto(2, 2, "25");
  EXPECT_EQ(Totals(), "65 15");
  testing::ClickCell(Grid(), 1, 2);
  SetClipboardText("1\t2\r\n3\t4");
  form->RunCommand("EditPaste");
  EXPECT_EQ(Totals(), "34 11");
  TypeInto(3, 3, "1x5");
  EXPECT_EQ(Grid().TextMatrix(3, 3), "15") << "the box takes numbers only";
  testing::ClickCell(Grid(), 1, 3);
  form->RunCommand("EditCut");
  EXPECT_EQ(Totals(), "34 19");
}

TEST_F(OutdoorFlows, TransferStoresTheRoomsAndMarksTheScenarioUnsaved) {
  Open(2);
  state->Building.Scenario.NaturalFromOutdoors[3] = 77;  // a room past the building's
  state->ScenarioSaved = true;
  testing::ClickCell(Grid(), 1, 2);
  SetClipboardText("12");
  form->RunCommand("EditPaste");
  testing::ClickCell(Grid(), 2, 3);
  form->RunCommand("editclear");
  // Rooms that do not balance are named with their flows; No keeps the window to mend them.
  prompt.answers = {Answer::No, Answer::Yes};
  testing::ChooseMenu(*form, {"Transfer"});
  EXPECT_FALSE(Closed());
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(
      prompt.shown[0].text,
      "Warning.  The natural flows do not balance: room 1 (R1), 12 m\xB3/h enter and 5 m\xB3/h "
      "leave; room 2 (R2), 20 m\xB3/h enter and 0 m\xB3/h leave.  The run will refuse them.  Do "
      "you wish to transfer them as they are?");
  EXPECT_EQ(prompt.shown[0].default_answer, Answer::No);
  EXPECT_EQ(Scenario().NaturalToOutdoors[2], 5);
  testing::ChooseMenu(*form, {"Transfer"});
  EXPECT_TRUE(Closed());
  EXPECT_EQ(Scenario().NaturalFromOutdoors, (PerRoom<float>{0, 12, 20, 77}));
  EXPECT_EQ(Scenario().NaturalToOutdoors, (PerRoom<float>{0, 5, 0}));
  EXPECT_EQ(state->ScenarioSaved, false);
  EXPECT_TRUE(editor->isEnabled());
}

// Both Cancels ask only when something was typed; No keeps the edits.
TEST_F(OutdoorFlows, CancelAsksOnlyAfterEditsAndNoKeepsThem) {
  Open(2);
  TypeInto(1, 2, "99");
  prompt.answers = {Answer::No, Answer::Yes};
  form->RunCommand("cancel");
  ASSERT_FALSE(Closed());
  EXPECT_EQ(Grid().TextMatrix(1, 2), "99") << "No keeps the edits";
  form->RunCommand("cancel");
  EXPECT_TRUE(Closed());
  ASSERT_EQ(prompt.shown.size(), 2U);
  EXPECT_EQ(prompt.shown[0].text, "All changes will be lost.  Do you wish to continue?");
  EXPECT_EQ(prompt.shown[0].title, "Warning");
  EXPECT_EQ(prompt.shown[0].icon, MessageIcon::Critical);

  prompt.shown.clear();
  Open(2);
  form->RunCommand("cancel");
  EXPECT_TRUE(Closed());
  EXPECT_TRUE(prompt.shown.empty()) << "nothing changed, nothing asked";

  Open(2);
  TypeInto(1, 2, "99");
  prompt.answers = {Answer::Yes};
  form->RunCommand("FileCancel");
  EXPECT_TRUE(Closed());
  EXPECT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(Scenario().NaturalFromOutdoors[1], 10.0f);
}

TEST_F(OutdoorFlows, ArrowsWrapAroundTheRoomsAndSkipTheTotals) {
  Open(3);
  const struct {
    int row, col, key, to_row, to_col;
  } cases[] = {{2, 3, Qt::Key_Right, 2, 2}, {1, 3, Qt::Key_Up, 3, 3}, {3, 2, Qt::Key_Down, 1, 2}};
  for (const auto& c : cases) {
    Grid().SetRowCol(c.row, c.col);
    testing::Key(c.key);
    EXPECT_EQ(std::make_pair(Grid().Row(), Grid().Col()), std::make_pair(c.to_row, c.to_col));
  }
}

TEST_F(OutdoorFlows, FlowFileHoldsWhatIsShownAndReadsBackOnlyForItsBuilding) {
  Open(2);
  state->Building.Scenario.HVACSupply[1] = 42;
  TypeInto(1, 2, "12");
  dialogs.answers = {Path("flows")};
  form->RunCommand("filesave");
  const std::string bytes = Bytes(Path("flows.FLO"));
  EXPECT_EQ(bytes.substr(0, 17), " 12 \r\n 5 \r\n 42 \r\n");
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 14);
  EXPECT_EQ(Scenario().NaturalFromOutdoors[1], 10.0f) << "the record changes on Transfer only";

  TypeInto(1, 2, "3");
  dialogs.answers = {Path("flows.FLO")};
  form->RunCommand("fileopen");
  EXPECT_EQ(Grid().TextMatrix(1, 2) + " " + Totals(), "12 32 10");

  std::string three;  // the file of a building of three rooms
  for (int i = 0; i < 27; ++i) three += " 1 \r\n";
  std::ofstream(Path("three.FLO"), std::ios::binary) << three;
  TypeInto(1, 2, "3");
  dialogs.answers = {Path("three.FLO")};
  form->RunCommand("fileopen");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text,
            "Error.  " + Path("three.FLO") + " is not a flow file for this building.");
  EXPECT_EQ(Grid().TextMatrix(1, 2) + " " + Totals(), "3 23 10");
}

TEST_F(OutdoorFlows, PrintSendsTheHeadingAndALinePerRoom) {
  Open(2);
  form->RunCommand("FilePrint");
  const auto lines = printer.Lines();
  ASSERT_EQ(lines.size(), 5U);
  EXPECT_EQ(lines[0], testing::Line({{20, "Natural Air Flows "}}));
  EXPECT_EQ(lines[4].substr(0, 21), testing::Line({{10, " 2 "}, {20, "R2"}}));
  EXPECT_EQ(printer.documents, 1);
}

}  // namespace
}  // namespace quarn
