#include "ui/building/hvac_flow_ss_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QTest>
#include <fstream>
#include <memory>
#include <string>
#include <utility>

#include "common/main_window_fixture.h"
#include "common/menu_input.h"
#include "platform/flex_grid.h"
#include "platform/user_input.h"
#include "platform/window_registry.h"
#include "text/text_reader.h"
#include "ui/main/scenario_editor.h"

namespace quarn {
namespace {

using Cell = std::pair<int, int>;
using CellText = std::pair<Cell, const char*>;

// The scenario editor in the frame opens the window from its menus; one room by default,
// outdoor air 100, make-up 40, supply 100, return 60, exhaust 30.
class HVACFlowWindow : public testing::MainWindowTest {
 protected:
  HVACFlowWindow() {
    frame->setCentralWidget(area);
    frame->resize(1200, 900);
    SetRooms(1);
    ScenarioRecord& s = Scenario();
    s.HVACOutdoorAirTotal = 100;
    s.HVACMakeUpTotal = 40;
    s.HVACSupply[1] = 100;
    s.HVACReturn[1] = 60;
    s.HVACExhaust[1] = 30;
    state->ScenarioSaved = true;
    EXPECT_TRUE(testing::ShowActive(*frame));
  }

  void SetRooms(int n) {
    state->Building.NumRooms = static_cast<int16_t>(n);
    for (int r = 1; r <= n; ++r) state->Building.RoomList[r].Name = "Room " + std::to_string(r);
  }
  void Open(const char* command) {
    if (editor == nullptr) editor = OpenScenarioEditor(*context, area, nullptr);
    editor->RunCommand(command);
    testing::ProcessEvents();
    form = AppWindows().Find<HVACFlowSSForm>();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(editor->isEnabled());
  }
  // A command of the window; one that closes it has closed it on return.
  void Run(const char* command) {
    if (*command != '\0') form->RunCommand(command);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    testing::ProcessEvents();
  }
  FlexGrid& Grid() { return form->Grid(); }
  Cell Cursor() { return {Grid().Row(), Grid().Col()}; }
  void TypeInto(int row, int col, const char* text) {
    testing::ClickCell(Grid(), row, col);
    testing::Type(text);
    testing::Enter();
  }
  void ExpectCells(std::initializer_list<CellText> cells) {
    for (const auto& [cell, text] : cells) {
      EXPECT_EQ(Grid().TextMatrix(cell.first, cell.second), text) << cell.first << cell.second;
    }
  }
  ScenarioRecord& Scenario() { return state->Building.Scenario; }

  std::unique_ptr<QMainWindow> frame = std::make_unique<QMainWindow>();
  QMdiArea* area = new QMdiArea(frame.get());
  ScenarioEditor* editor = nullptr;
  HVACFlowSSForm* form = nullptr;
};

TEST_F(HVACFlowWindow, BaseFlowsRetotalAndTransferTheOutdoorsRowAsTyped) {
  Open("HVACFlows");
  EXPECT_EQ(form->windowTitle(), "Base HVAC Flows");
  EXPECT_FALSE(form->StartTime().isVisible());
  ASSERT_EQ(Grid().Rows(), 5);
  EXPECT_EQ(Cursor(), Cell(1, 2));
  TypeInto(2, 4, "50");
  EXPECT_EQ(Grid().TextMatrix(4, 3), "-110.0");
  TypeInto(1, 2, "10");
  TypeInto(1, 3, "30");
  testing::ChooseMenu(*form, {"Transfer"});
  Run("");
  EXPECT_EQ(AppWindows().Find<HVACFlowSSForm>(), nullptr);
  EXPECT_TRUE(editor->isEnabled());
  EXPECT_EQ(Scenario().HVACOutdoorAirTotal, 10.0F);
  EXPECT_EQ(Scenario().HVACMakeUpTotal, 30.0F);
  EXPECT_EQ(Scenario().HVACInUse, kTrue);
  EXPECT_EQ(state->ScenarioSaved, false);
}

// Retyping a flow as it was changes no total, and a flow below 0 is refused with a message:
// the window stays open and the record keeps its flows.
TEST_F(HVACFlowWindow, TotalsStayForAnUnchangedEditAndANegativeFlowIsRefused) {
  Open("HVACFlows");
  auto bottom_rows = [this] {
    std::string rows;
    for (int r = 3; r <= 4; ++r) {
      for (int c = 0; c < Grid().Cols(); ++c) rows += Grid().TextMatrix(r, c) + "|";
    }
    return rows;
  };
  const std::string before = bottom_rows();
  TypeInto(2, 2, "100");
  EXPECT_EQ(bottom_rows(), before);

  TypeInto(2, 4, "-5");
  Run("Transfer");
  EXPECT_EQ(prompt.Count("message"), 1U);
  ASSERT_NE(AppWindows().Find<HVACFlowSSForm>(), nullptr);
  EXPECT_EQ(Scenario().HVACExhaust[1], 30.0F);
}

TEST_F(HVACFlowWindow, CursorStaysOnTheValueCells) {
  Open("HVACFlows");
  const struct {
    Cell clicked;
    int key;  // then pressed, 0 for none
    Cell lands;
  } cases[] = {{{2, 1}, 0, {2, 2}}, {{2, 0}, 0, {2, 2}},
               {{1, 4}, 0, {1, 2}}, {{2, 3}, Qt::Key_Down, {1, 3}},
               {{4, 3}, 0, {1, 3}}, {{2, 4}, Qt::Key_Right, {2, 2}}};
  for (const auto& c : cases) {
    testing::ClickCell(Grid(), c.clicked.first, c.clicked.second);
    if (c.key != 0) testing::Key(c.key);
    EXPECT_EQ(Cursor(), c.lands) << c.clicked.first << "," << c.clicked.second << " " << c.key;
  }
}

TEST_F(HVACFlowWindow, ManagedFlowsTransferTheirPeriodAndMarkTheFlowsInUse) {
  SetRooms(3);
  Open("ManHVACFlow");
  EXPECT_EQ(form->windowTitle(), "Managed Flows");
  EXPECT_EQ(Cursor(), Cell(2, 3));
  form->StopTime().clear();
  QTest::keyClicks(&form->StopTime(), "1,5");
  EXPECT_EQ(form->StopTime().text(), "15");
  form->StopTime().setText("5");
  form->StartTime().setText("2");
  TypeInto(5, 3, "40");
  TypeInto(3, 4, "7");
  testing::ClickCell(Grid(), 5, 4);
  EXPECT_EQ(Cursor(), Cell(5, 4));
  EXPECT_EQ(Grid().TextMatrix(6, 3), "40.0") << "the supply total below the last room";
  Run("FileTransfer");
  EXPECT_EQ(ManagedPeriodStart(Scenario()), 2.0F);
  EXPECT_EQ(ManagedPeriodEnd(Scenario()), 5.0F);
  EXPECT_EQ(Scenario().ManagedSupply[3], 40.0F);
  EXPECT_EQ(Scenario().ManagedReturn[1], 7.0F);
  EXPECT_EQ(Scenario().ManagedFlowFlag, "Y");
}

TEST_F(HVACFlowWindow, FlowFileSavedInOneModeOpensInTheOther) {
  Open("HVACFlows");
  dialogs.answers = {Path("x"), Path("missing/x")};
  Run("fileclose");
  EXPECT_EQ(dialogs.asked.at(0).request.filter, "All HVAC flows (*.HVA)|*.HVA|All files (*.*)|*.*");
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(Path("x.HVA"), bytes));
  EXPECT_EQ(bytes, " 100 \r\n 40 \r\n 0 \r\n 100 \r\n 60 \r\n 30 \r\n");
  Run("fileclose");
  EXPECT_EQ(prompt.Count("message"), 1U) << "a failed save says so";
  Run("cancel");

  Open("ManHVACFlow");
  std::ofstream(Path("short.HVA"), std::ios::binary) << "1\r\n2\r\n3\r\n4\r\n";
  dialogs.answers = {Path("x.HVA"), Path("short.HVA")};
  for (const size_t messages : {1U, 2U}) {  // the second file is short: no cell changes
    Run("fileopen");
    ExpectCells({{{2, 3}, "100"},
                 {{2, 4}, "40"},
                 {{2, 5}, "----"},
                 {{3, 3}, "100"},
                 {{3, 4}, "60"},
                 {{3, 5}, "30"},
                 {{4, 3}, "200.0"}});
    EXPECT_EQ(prompt.Count("message"), messages);
  }
}

TEST_F(HVACFlowWindow, EditCommandsRetotalAndNewEmptiesEveryValue) {
  Open("HVACFlows");
  testing::ClickCell(Grid(), 2, 2);
  Run("editclear");
  EXPECT_EQ(Grid().TextMatrix(3, 2), "0") << "the rooms' supply total";
  Run("FileNew");
  ExpectCells({{{1, 2}, ""},
               {{1, 3}, ""},
               {{2, 2}, ""},
               {{2, 3}, ""},
               {{2, 4}, ""},
               {{0, 2}, "Supply\nm\xB3/h"},
               {{1, 1}, "Outdoors"},
               {{1, 4}, "----"},
               {{2, 1}, "Room 1"}});
  Run("Transfer");
  const ScenarioRecord& s = Scenario();
  for (float v : {s.HVACOutdoorAirTotal, s.HVACMakeUpTotal, s.HVACSupply[1], s.HVACReturn[1],
                  s.HVACExhaust[1]}) {
    EXPECT_EQ(v, 0.0F);
  }
}

TEST_F(HVACFlowWindow, PrintSendsTheHVACSection) {
  Open("HVACFlows");
  Run("FilePrint");
  std::string all;
  for (const std::string& line : printer.Lines()) all += line + "\n";
  EXPECT_NE(all.find(" HVAC Information "), std::string::npos);
  EXPECT_NE(all.find("Base air flows "), std::string::npos);
  EXPECT_EQ(printer.documents, 1);
}

}  // namespace
}  // namespace quarn
