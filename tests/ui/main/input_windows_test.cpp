// What every input window does with what the user gives it, window by window from one
// table: a copied cell goes onto the clipboard and a pasted value is judged as a typed one,
// by the Edit menu and by Ctrl+C and Ctrl+V alike, and neither the close box nor Cancel
// throws a typed edit away without asking. The sample house is loaded, its scenario editor
// open in the frame, and each window is opened from it with its own opener.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>

#include <functional>
#include <memory>
#include <string>

#include "common/main_window_fixture.h"
#include "common/menu_input.h"
#include "model/run_observer.h"
#include "platform/clipboard.h"
#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/user_input.h"
#include "platform/window_registry.h"
#include "ui/building/filter_definition_form.h"
#include "ui/building/hvac_flow_history.h"
#include "ui/building/hvac_flow_ss_form.h"
#include "ui/building/hvac_form.h"
#include "ui/building/neighbor_form.h"
#include "ui/building/outdoor_flow_form.h"
#include "ui/building/room_flows_form.h"
#include "ui/building/room_form.h"
#include "ui/building/ventilation_form.h"
#include "ui/common/window_menu.h"
#include "ui/inputs/general_sink_form.h"
#include "ui/inputs/initial_conc_form.h"
#include "ui/inputs/mass_transfer_form.h"
#include "ui/inputs/occupant_form.h"
#include "ui/inputs/outdoor_conc_form.h"
#include "ui/inputs/penetration_form.h"
#include "ui/inputs/pollutant_form.h"
#include "ui/inputs/room_sink_form.h"
#include "ui/inputs/room_source_form.h"
#include "ui/inputs/scenario_room_form.h"
#include "ui/inputs/source_composition_form.h"
#include "ui/main/concentration_command.h"
#include "ui/main/scenario_editor.h"

namespace quarn {
namespace {

constexpr const char* kLoseQuestion = "All changes will be lost.  Do you wish to continue?";

// The sample house (three rooms, NO2 from a gas range in the kitchen) with a sink in room
// 1, its scenario editor open in the frame.
class InputWindows : public testing::MainWindowTest {
 public:
  int SourceRoom() {
    for (int r = 1; r <= state->Building.NumRooms; ++r)
      if (Scenario().NumSources[r] > 0) return r;
    return 0;
  }

 protected:
  InputWindows() {
    LoadSampleHouse();
    Scenario().NumSinks[1] = 1;
    state->Building.MasterFile = "Temp";
    frame->setCentralWidget(area);
    frame->resize(1600, 1000);
    EXPECT_TRUE(testing::ShowActive(*frame));
    editor = OpenScenarioEditor(*context, area, nullptr);
  }
  ~InputWindows() override {
    frame.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  ScenarioRecord& Scenario() { return state->Building.Scenario; }
  // Whether the window is still there: a closed one is deleted.
  static bool IsOpen(const QPointer<InputForm>& form) {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    testing::ProcessEvents();
    return form && form->isVisible();
  }

  std::unique_ptr<QMainWindow> frame = std::make_unique<QMainWindow>();
  QMdiArea* area = new QMdiArea(frame.get());
  ScenarioEditor* editor = nullptr;
};

// A window with a number cell that the test pastes into, and the record's field behind it.
struct PasteCase {
  const char* window;
  const char* edit_menu;
  std::function<InputForm*(InputWindows&, MainContext&, QWidget*)> open;
  std::function<FlexGrid&(InputForm&)> grid;
  int row;
  int col;
  // The cell as a message names it.
  const char* cell;
  std::function<float(const ProgramState&, int source_room)> stored;
  // What the run then emits; 0 for no run.
  float emitted = 0;
};

// Edit > Copy or Edit > Paste from the menu; Ctrl+C or Ctrl+V without one.
void EditByMenuOrKeys(InputForm& form, FlexGrid& grid, const char* edit_menu, bool copy) {
  grid.setFocus(Qt::OtherFocusReason);
  if (edit_menu == nullptr) {
    testing::Key(copy ? Qt::Key_C : Qt::Key_V, copy ? "\x03" : "\x16", Qt::ControlModifier);
  } else {
    testing::ChooseMenu(form, {edit_menu, copy ? "EditCopy" : "EditPaste"});
  }
  testing::ProcessEvents();
}

void Paste(InputForm& form, FlexGrid& grid, const char* edit_menu) {
  EditByMenuOrKeys(form, grid, edit_menu, false);
}

FlexGrid& OwnGrid(InputForm& form) {
  return form.Grid();
}

const PasteCase kPasteCases[] = {
    {"pollutants", "edit",
     [](InputWindows&, MainContext& c, QWidget* opener) -> InputForm* {
       return OpenPollutantForm(c, opener);
     },
     OwnGrid, 1, 5, "row 1, column \"Irritant conc\"",
     [](const ProgramState& s, int) { return s.Building.Scenario.Pollutants[0].IrritantConc; }},
    {"sources", "edit",
     [](InputWindows& t, MainContext& c, QWidget* opener) -> InputForm* {
       return OpenRoomSources(c, t.SourceRoom(), opener);
     },
     [](InputForm& f) -> FlexGrid& { return static_cast<RoomSourceForm&>(f).ParameterGrid(); }, 1,
     1, "row 1 (NO2), column \"R0\"",
     [](const ProgramState& s, int room) {
       return s.Building.Scenario.Sources[room][1].Params[0][0];
     },
     // The gas range burns 2 h a day: 1500 mg/h of NO2 give 3 g, in the scenario's µg.
     3e6f},
    {"outdoor flows", "Edit",
     [](InputWindows&, MainContext& c, QWidget* opener) -> InputForm* {
       return ShowOutdoorFlows(c, opener);
     },
     OwnGrid, 1, 2, "row 1 (Kitchen), column \"Outdoor air entering m\xB3/h\"",
     [](const ProgramState& s, int) { return s.Building.Scenario.NaturalFromOutdoors[1]; }},
    {"rooms", "Edit",
     [](InputWindows&, MainContext& c, QWidget* opener) -> InputForm* {
       return OpenRoomForm(c, opener);
     },
     OwnGrid, 1, 2, "row 1, column \"Length m\"",
     [](const ProgramState& s, int) { return s.Building.RoomList[1].Length; }},
};

// Copy puts the selected cell's text on the clipboard. "2,5" and "7x" are refused with a
// message that names the cell and says why, and change nothing; "1,500" is 1500, as typed.
// Transfer stores only that, and the run reads it.
TEST_F(InputWindows, CopyTakesTheCellAndAPasteIsJudgedAsTypedByTheMenuAndByKeys) {
  for (const PasteCase& c : kPasteCases) {
    for (const bool by_keys : {false, true}) {
      SCOPED_TRACE(std::string(c.window) + (by_keys ? ", Ctrl+C/V" : ", Edit menu"));
      QPointer<InputForm> form = c.open(*this, *context, editor);
      ASSERT_NE(form, nullptr);
      FlexGrid& grid = c.grid(*form);
      const float before = c.stored(*state, SourceRoom());
      const std::string shown = grid.TextMatrix(c.row, c.col);
      testing::ClickCell(grid, c.row, c.col);
      SetClipboardText("-");
      EditByMenuOrKeys(*form, grid, by_keys ? nullptr : c.edit_menu, true);
      EXPECT_EQ(ClipboardText(), shown);
      prompt.shown.clear();
      for (const char* refused : {"2,5", "7x"}) {
        testing::ClickCell(grid, c.row, c.col);
        SetClipboardText(refused);
        Paste(*form, grid, by_keys ? nullptr : c.edit_menu);
        ASSERT_EQ(prompt.Count("message"), refused[0] == '2' ? 1U : 2U) << refused;
        EXPECT_EQ(
            prompt.shown.back().text.rfind(std::string("Error.  Nothing was pasted.  In ") +
                                               c.cell + ", \"" + refused + "\" is not a number.  ",
                                           0),
            0U)
            << prompt.shown.back().text;
        EXPECT_EQ(grid.TextMatrix(c.row, c.col), shown) << refused;
      }
      SetClipboardText("1,500\r\n");
      Paste(*form, grid, by_keys ? nullptr : c.edit_menu);
      EXPECT_EQ(grid.TextMatrix(c.row, c.col), "1500");
      EXPECT_EQ(c.stored(*state, SourceRoom()), before) << "only Transfer stores";
      prompt.answers = {Answer::Yes};  // the outdoor flows no longer balance
      form->RunCommand("Transfer");
      ASSERT_FALSE(IsOpen(form));
      EXPECT_EQ(c.stored(*state, SourceRoom()), 1500.0f);
      if (c.emitted == 0) continue;
      RunObserver quiet;
      ASSERT_NE(RunConcentration(*state, prompt, quiet), RunOutcome::Failed);
      EXPECT_FLOAT_EQ(Scenario().TotalEmitted[0], c.emitted);
    }
  }
}

// The outdoor-flow grid's totals follow what was pasted, and a refused block writes none of
// its cells.
TEST_F(InputWindows, ARefusedCellOfAPastedBlockKeepsTheWholeBlockOut) {
  OutdoorFlowForm* form = ShowOutdoorFlows(*context, editor);
  FlexGrid& grid = form->Grid();
  const int totals = state->Building.NumRooms + 1;
  const std::string in_total = grid.TextMatrix(totals, 2);
  testing::ClickCell(grid, 1, 2);
  SetClipboardText("10\t20\r\n2,5\t30\r\n");
  Paste(*form, grid, nullptr);
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text,
            "Error.  Nothing was pasted.  In row 2 (Living room), column \"Outdoor air "
            "entering m\xB3/h\", \"2,5\" is not a number.  Decimals take a point (2.5); a comma "
            "can only separate thousands (1,500).");
  EXPECT_EQ(prompt.shown[0].title, "Error");
  EXPECT_NE(grid.TextMatrix(1, 2), "10");
  EXPECT_EQ(grid.TextMatrix(totals, 2), in_total);
  SetClipboardText("1,000\t20\r\n2\t30\r\n");
  Paste(*form, grid, nullptr);
  EXPECT_EQ(grid.TextMatrix(1, 2) + " " + grid.TextMatrix(2, 3), "1000 30");
  EXPECT_FLOAT_EQ(std::stof(grid.TextMatrix(totals, 2)),
                  1002.0f + Scenario().NaturalFromOutdoors[3]);
}

// A window and where in it the user works: a cell of its grid, or a control.
struct CloseCase {
  const char* window;
  std::function<InputForm*(InputWindows&, MainContext&, QWidget*)> open;
  const char* control;  // a box typed into or a list picked from; nullptr for the grid's cell
  int row;
  int col;
};

template <class W>
std::function<InputForm*(InputWindows&, MainContext&, QWidget*)> Opener(W* (*open)(MainContext&,
                                                                                   QWidget*)) {
  return [open](InputWindows&, MainContext& c, QWidget* opener) -> InputForm* {
    return open(c, opener);
  };
}

InputForm* SourceWindow(InputWindows& t, MainContext& c, QWidget* opener) {
  return OpenRoomSources(c, t.SourceRoom(), opener);
}

const CloseCase kCloseCases[] = {
    {"rooms", Opener(OpenRoomForm), nullptr, 1, 2},
    {"air cleaner", Opener(OpenHVACForm), "Capacity", 0, 0},
    {"user filter", Opener(OpenFilterDefinitionForm), nullptr, 1, 2},
    {"HVAC flows",
     [](InputWindows&, MainContext& c, QWidget* opener) -> InputForm* {
       OpenBaseHVACFlows(c, opener);
       return AppWindows().Find<HVACFlowSSForm>();
     },
     nullptr, 1, 2},
    {"HVAC history", Opener(OpenHVACFlowHistory), nullptr, 1, 1},
    {"ventilation", Opener(OpenVentilationForm), nullptr, 1, 1},
    {"outdoor flows", Opener(ShowOutdoorFlows), nullptr, 1, 2},
    {"room-to-room",
     [](InputWindows&, MainContext& c, QWidget* opener) -> InputForm* {
       return OpenRoomFlows(c, opener, kNaturalFlowSet);
     },
     nullptr, 1, 2},
    {"pollutants", Opener(OpenPollutantForm), nullptr, 1, 2},
    {"initial concentrations", Opener(OpenInitialIndoorForm), nullptr, 2, 1},
    {"outdoor concentrations", Opener(OpenOutdoorConcForm), nullptr, 2, 1},
    {"penetration", Opener(OpenPenetrationForm), nullptr, 1, 1},
    {"scenario rooms", Opener(OpenScenarioRooms), nullptr, 1, 4},
    {"sources", SourceWindow, nullptr, 1, 1},
    {"source model", SourceWindow, "SourceModel", 0, 0},
    {"source composition",
     [](InputWindows& t, MainContext& c, QWidget* opener) -> InputForm* {
       return OpenSourceComposition(c, t.SourceRoom(), 1, opener);
     },
     nullptr, 1, 4},
    {"mass transfer",
     [](InputWindows& t, MainContext& c, QWidget* opener) -> InputForm* {
       return ShowMassTransferData(c, 1, t.SourceRoom(), 1, opener);
     },
     "AirVelocity", 0, 0},
    {"room sinks",
     [](InputWindows&, MainContext& c, QWidget* opener) -> InputForm* {
       return OpenRoomSinks(c, 1, opener);
     },
     nullptr, 1, 2},
    {"all sinks", Opener(OpenGeneralSinkForm), nullptr, 1, 3},
    {"occupants", Opener(OpenOccupantForm), nullptr, 1, 1},
    // Last: the rooms window it is opened from stays open.
    {"neighbours",
     [](InputWindows&, MainContext& c, QWidget* opener) -> InputForm* {
       RoomForm* rooms = OpenRoomForm(c, opener);
       testing::ClickCell(rooms->Grid(), 1, 1);
       testing::Key(Qt::Key_F8);
       return AppWindows().Find<NeighborForm>();
     },
     nullptr, 1, 2},
};

// The grid typed into: the source window's is that of the parameters.
FlexGrid& TypedGrid(InputForm& form) {
  if (auto* sources = qobject_cast<RoomSourceForm*>(&form)) return sources->ParameterGrid();
  return form.Grid();
}

// What the user's work shows: the box's text, the list's entry, or the cell's text.
std::string Shown(InputForm& form, const CloseCase& c) {
  if (c.control == nullptr) return TypedGrid(form).TextMatrix(c.row, c.col);
  if (auto* list = form.findChild<QComboBox*>(c.control)) return list->currentText().toStdString();
  return form.findChild<QLineEdit*>(c.control)->text().toStdString();
}

// "42" typed into the cell or box, or the third entry of the list picked, its questions
// answered Yes.
void Work(InputForm& form, const CloseCase& c, testing::ScriptedPrompt& prompt) {
  if (c.control == nullptr) {
    testing::ClickCell(TypedGrid(form), c.row, c.col);
    // A neighbour's answer is toggled by the click; nothing is typed there.
    if (qobject_cast<NeighborForm*>(&form) != nullptr) return;
    testing::Type("42");
    testing::Enter();
  } else if (auto* list = form.findChild<QComboBox*>(c.control)) {
    prompt.answers = {Answer::Yes};
    list->setCurrentIndex(2);
    emit list->activated(2);
    prompt.shown.clear();
  } else {
    auto* box = form.findChild<QLineEdit*>(c.control);
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    testing::Type("42");
  }
}

// Neither the close box nor Cancel drops the user's work without a question.
TEST_F(InputWindows, EveryCloseBoxAndCancelAskAfterATypedEditAndNoKeepsItOnScreen) {
  for (const CloseCase& c : kCloseCases) {
    SCOPED_TRACE(c.window);
    QPointer<InputForm> form = c.open(*this, *context, editor);
    ASSERT_NE(form, nullptr);
    prompt.shown.clear();
    // Untouched, it closes without a word.
    OuterFrame(form)->close();
    ASSERT_FALSE(IsOpen(form));
    EXPECT_EQ(prompt.shown.size(), 0U);
    form = c.open(*this, *context, editor);
    const std::string before = Shown(*form, c);
    Work(*form, c, prompt);
    const std::string worked = Shown(*form, c);
    ASSERT_NE(worked, before);
    prompt.answers = {Answer::No};
    OuterFrame(form)->close();
    ASSERT_TRUE(IsOpen(form));
    ASSERT_EQ(prompt.shown.size(), 1U);
    EXPECT_EQ(prompt.shown[0].text, kLoseQuestion);
    EXPECT_EQ(prompt.shown[0].default_answer, Answer::No);
    EXPECT_EQ(Shown(*form, c), worked) << "No keeps the edit on screen";
    prompt.answers = {Answer::No};
    form->RunRole(MenuRole::Cancel);
    ASSERT_TRUE(IsOpen(form)) << "Cancel";
    ASSERT_EQ(prompt.shown.size(), 2U);
    // Some windows' Cancel asks in words of its own.
    EXPECT_EQ(prompt.shown[1].kind, "yesno");
    EXPECT_EQ(Shown(*form, c), worked) << "No at Cancel keeps the edit on screen";
    prompt.answers = {Answer::Yes};
    OuterFrame(form)->close();
    EXPECT_FALSE(IsOpen(form));
  }
}

// The windows that list the rooms open tall enough for all thirteen and their totals in a
// frame of 1600 by 1000: nothing of them scrolls out of sight.
TEST_F(InputWindows, TheRoomListsShowThirteenRoomsAndTheirTotals) {
  state->Building.NumRooms = kMaxRooms;
  for (int r = 1; r <= kMaxRooms; ++r)
    state->Building.RoomList[r].Name = "Room " + std::to_string(r);
  frame->statusBar()->showMessage("ready");
  const std::pair<const char*, std::function<InputForm*()>> windows[] = {
      {"rooms", [this] { return OpenRoomForm(*context, editor); }},
      {"scenario rooms", [this] { return OpenScenarioRooms(*context, editor); }},
      {"HVAC flows", [this]() -> InputForm* {
         OpenBaseHVACFlows(*context, editor);
         return AppWindows().Find<HVACFlowSSForm>();
       }}};
  for (const auto& [name, open] : windows) {
    SCOPED_TRACE(name);
    QPointer<InputForm> form = open();
    ASSERT_NE(form, nullptr);
    testing::ProcessEvents();
    FlexGrid& grid = form->Grid();
    const QRect last = grid.visualRect(grid.model()->index(grid.Rows() - 1, 0));
    EXPECT_EQ(grid.verticalScrollBar()->maximum(), 0);
    EXPECT_LE(last.bottom(), grid.viewport()->height()) << grid.TextMatrix(grid.Rows() - 1, 0);
    EXPECT_TRUE(area->viewport()->rect().contains(OuterFrame(form)->geometry()));
    OuterFrame(form)->close();
    ASSERT_FALSE(IsOpen(form));
  }
}

}  // namespace
}  // namespace quarn
