#include "ui/building/hvac_flow_ss_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "common/main_window_fixture.h"
#include "common/menu_input.h"
#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "platform/user_input.h"
#include "platform/window_registry.h"
#include "ui/main/scenario_editor.h"

namespace quarn {
namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The scenario editor in the frame, opening the flow window from its menus.
class HVACFlowWindow : public testing::MainWindowTest {
 protected:
  HVACFlowWindow() {
    frame->setCentralWidget(area);
    frame->resize(1200, 900);
    SetRooms(1);
    ScenarioRecord& s = state->Building.Scenario;
    s.HVACOutdoorAirTotal = 100;
    s.HVACMakeUpTotal = 40;
    s.HVACSupply[1] = 100;
    s.HVACReturn[1] = 60;
    s.HVACExhaust[1] = 30;
    state->ScenarioSaved = kTrue;
    EXPECT_TRUE(testing::ShowActive(*frame));
  }
  ~HVACFlowWindow() override {
    frame.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  void SetRooms(int n) {
    state->Building.NumRooms = static_cast<int16_t>(n);
    for (int r = 1; r <= n; ++r) state->Building.RoomList[r].Name = "Room " + std::to_string(r);
  }
  HVACFlowSSForm& Open(const char* command) {
    if (editor == nullptr) editor = OpenScenarioEditor(*context, area, nullptr);
    editor->RunCommand(command);
    testing::ProcessEvents();
    form = AppWindows().Find<HVACFlowSSForm>();
    EXPECT_NE(form, nullptr);
    return *form;
  }
  FlexGrid& Grid() { return form->HVACss(); }
  void TypeInto(int row, int col, const char* text) {
    testing::ClickCell(Grid(), row, col);
    testing::Type(text);
    testing::Enter();
  }
  void Close() {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    testing::ProcessEvents();
    EXPECT_EQ(AppWindows().Find<HVACFlowSSForm>(), nullptr);
    EXPECT_TRUE(editor->isEnabled());
  }
  ScenarioRecord& Scenario() { return state->Building.Scenario; }

  std::unique_ptr<QMainWindow> frame = std::make_unique<QMainWindow>();
  QMdiArea* area = new QMdiArea(frame.get());
  mainscenarioform* editor = nullptr;
  HVACFlowSSForm* form = nullptr;
};

TEST_F(HVACFlowWindow, BaseFlowsRetotalAfterAnEditAndTransferTheOutdoorsRowAsTyped) {
  Open("HVACFlows");
  EXPECT_EQ(form->windowTitle(), "Base HVAC Flows");
  EXPECT_FALSE(form->StartTime().isVisible());
  EXPECT_FALSE(editor->isEnabled());
  EXPECT_EQ(Scenario().HVACInUse, kTrue);
  ASSERT_EQ(Grid().Rows(), 5);
  EXPECT_EQ(std::make_pair(Grid().Row(), Grid().Col()), std::make_pair(1, 2));
  TypeInto(2, 4, "50");
  EXPECT_EQ(Grid().TextMatrix(4, 3), "-110.0");
  EXPECT_EQ(Grid().TextMatrix(3, 4), "50.0");

  TypeInto(1, 2, "10");
  TypeInto(1, 3, "30");
  testing::ChooseMenu(*form, {"Transfer"});
  Close();
  EXPECT_FLOAT_EQ(Scenario().HVACOutdoorAirTotal, 10);
  EXPECT_FLOAT_EQ(Scenario().HVACMakeUpTotal, 30);
  EXPECT_FLOAT_EQ(Scenario().HVACExhaust[1], 50);
  EXPECT_EQ(state->ScenarioSaved, kFalse);

  // Cancel drops the edits without a question.
  Open("HVACFlows");
  TypeInto(2, 2, "999");
  form->RunCommand("cancel");
  Close();
  EXPECT_FLOAT_EQ(Scenario().HVACSupply[1], 100);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(HVACFlowWindow, CursorStaysOnTheValueCells) {
  Open("HVACFlows");
  const struct {
    const char* what;
    int row, col;
    int key;  // pressed after the click, 0 for none
    int to_row, to_col;
  } cases[] = {
      {"room name", 2, 1, 0, 2, 2},   {"room number", 2, 0, 0, 2, 2},
      {"----", 1, 4, 0, 1, 2},        {"Down into the totals", 2, 3, Qt::Key_Down, 1, 3},
      {"balance row", 4, 3, 0, 1, 3}, {"Right from the exhaust", 2, 4, Qt::Key_Right, 2, 2},
  };
  for (const auto& c : cases) {
    testing::ClickCell(Grid(), c.row, c.col);
    if (c.key != 0) testing::Key(c.key);
    EXPECT_EQ(std::make_pair(Grid().Row(), Grid().Col()), std::make_pair(c.to_row, c.to_col))
        << c.what;
  }
}

TEST_F(HVACFlowWindow, ManagedFlowsTransferTheirPeriodAndMarkTheFlowsInUse) {
  SetRooms(3);
  Open("ManHVACFlow");
  EXPECT_EQ(form->windowTitle(), "Managed Flows");
  EXPECT_TRUE(form->StopTime().isVisible());
  EXPECT_EQ(std::make_pair(Grid().Row(), Grid().Col()), std::make_pair(2, 3));
  form->StopTime().clear();
  QTest::keyClicks(&form->StopTime(), "1,5");
  EXPECT_EQ(form->StopTime().text(), "15");
  form->StopTime().clear();
  QTest::keyClicks(&form->StopTime(), "5");
  form->StartTime().clear();
  QTest::keyClicks(&form->StartTime(), "2");
  TypeInto(5, 3, "40");
  TypeInto(3, 4, "7");
  testing::ClickCell(Grid(), 5, 4);
  EXPECT_EQ(std::make_pair(Grid().Row(), Grid().Col()), std::make_pair(5, 4));
  EXPECT_EQ(Grid().TextMatrix(6, 3), "40.0") << "the supply total below the last room";
  form->RunCommand("FileTransfer");
  Close();
  EXPECT_FLOAT_EQ(Scenario().ManagedValue3, 2);
  EXPECT_FLOAT_EQ(Scenario().ManagedValue4, 5);
  EXPECT_FLOAT_EQ(Scenario().ManagedSupply[3], 40);
  EXPECT_FLOAT_EQ(Scenario().ManagedReturn[1], 7);
  EXPECT_EQ(Scenario().ManagedFlowFlag, "Y");
  EXPECT_EQ(state->ScenarioSaved, kFalse);
}

TEST_F(HVACFlowWindow, FlowFileSavedInOneModeOpensInTheOther) {
  Open("HVACFlows");
  dialogs.answers = {Path("x"), Path("missing/x")};
  form->RunCommand("fileclose");
  const FileDialogRequest& asked = dialogs.asked.at(0).request;
  EXPECT_EQ(asked.filter, "All HVAC flows (*.HVA)|*.HVA|All files (*.*)|*.*");
  EXPECT_EQ(asked.initial_name, "*.HVA");
  EXPECT_EQ(ReadBytes(Path("x.HVA")), " 100 \r\n 40 \r\n 0 \r\n 100 \r\n 60 \r\n 30 \r\n");
  form->RunCommand("fileclose");
  EXPECT_EQ(prompt.Count("message"), 1U) << "a failed save says so";
  form->RunCommand("cancel");
  Close();

  Open("ManHVACFlow");
  dialogs.answers = {Path("x.HVA")};
  form->RunCommand("fileopen");
  const struct {
    int row, col;
    const char* text;
  } shown[] = {{2, 3, "100"}, {2, 4, "40"}, {2, 5, "----"}, {3, 3, "100"},
               {3, 4, "60"},  {3, 5, "30"}, {4, 3, "200.0"}};
  for (const auto& c : shown) EXPECT_EQ(Grid().TextMatrix(c.row, c.col), c.text) << c.row << c.col;

  std::ofstream(Path("short.HVA"), std::ios::binary) << "1\r\n2\r\n3\r\n4\r\n";
  dialogs.answers = {Path("short.HVA")};
  form->RunCommand("fileopen");
  EXPECT_EQ(prompt.Count("message"), 2U);
  for (const auto& c : shown) EXPECT_EQ(Grid().TextMatrix(c.row, c.col), c.text) << c.row << c.col;
}

TEST_F(HVACFlowWindow, NewEmptiesTheValuesAndTransferStoresZero) {
  Open("HVACFlows");
  testing::ClickCell(Grid(), 2, 2);
  form->RunCommand("editclear");
  EXPECT_EQ(Grid().TextMatrix(3, 2), "100.0") << "an Edit command re-totals";
  form->RunCommand("FileNew");
  for (int col : {2, 3}) EXPECT_EQ(Grid().TextMatrix(1, col), "");
  for (int col : {2, 3, 4}) EXPECT_EQ(Grid().TextMatrix(2, col), "");
  EXPECT_EQ(Grid().TextMatrix(0, 2), "Supply");
  EXPECT_EQ(Grid().TextMatrix(1, 1), "Outdoors");
  EXPECT_EQ(Grid().TextMatrix(1, 4), "----");
  EXPECT_EQ(Grid().TextMatrix(2, 1), "Room 1");
  EXPECT_EQ(Grid().TextMatrix(3, 2), "0.0");
  form->RunCommand("Transfer");
  Close();
  for (float v : {Scenario().HVACOutdoorAirTotal, Scenario().HVACMakeUpTotal,
                  Scenario().HVACSupply[1], Scenario().HVACReturn[1], Scenario().HVACExhaust[1]}) {
    EXPECT_EQ(v, 0.0F);
  }
}

TEST_F(HVACFlowWindow, PrintSendsTheHVACSectionAndHelpOpensItsKeyword) {
  Open("HVACFlows");
  form->RunCommand("FilePrint");
  const std::string all = [this] {
    std::string text;
    for (const std::string& line : printer.Lines()) text += line + "\n";
    return text;
  }();
  EXPECT_NE(all.find(" HVAC Information "), std::string::npos);
  EXPECT_NE(all.find("Base air flows "), std::string::npos);
  EXPECT_EQ(printer.documents, 1);
  form->RunCommand("help");
  ASSERT_EQ(help.shown.size(), 1U);
  EXPECT_EQ(help.shown[0],
            std::make_pair(std::string("RovozUzav.HLP"), std::string("Room-to-room air flows")));
}

}  // namespace
}  // namespace quarn
