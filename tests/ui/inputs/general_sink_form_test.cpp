#include "ui/inputs/general_sink_form.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QToolButton>
#include <algorithm>
#include <filesystem>
#include <string>

#include "common/menu_input.h"
#include "platform/edit_cell.h"
#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/common/window_menu.h"
#include "ui/inputs/scenario_room_form.h"

namespace quarn {
namespace {

using testing::ChooseMenu;

// Two rooms with one and two sinks, three pollutants; the window opened from the scenario
// room window's Sinks > General.
class GeneralSinkWindow : public testing::EditorWindowTest {
 protected:
  GeneralSinkWindow() {
    BuildingRecord& b = state->Building;
    b.NumRooms = 2;
    b.RoomList[1].Name = "Kitchen";
    b.RoomList[2].Name = "Bath";
    ScenarioRecord& s = Scenario();
    s.NumPollutants = 3;
    for (int p = 0; p < 3; ++p) s.Pollutants[p].Name = "P" + std::to_string(p);
    s.NumSinks[1] = 1;
    s.NumSinks[2] = 2;
    const char* names[] = {"Wall", "Floor", "Rug"};
    SinkRecord* sinks[] = {&s.Sinks[1][1], &s.Sinks[2][1], &s.Sinks[2][2]};
    for (int k = 0; k < 3; ++k) {
      sinks[k]->Name = names[k];
      sinks[k]->Area = 10.0F * static_cast<float>(k + 1);
      for (int p = 0; p < 3; ++p) {
        sinks[k]->ka[p] = 0.001F * static_cast<float>(k + 1) + static_cast<float>(p);
        sinks[k]->kd[p] = 0.25F + static_cast<float>(p + k);
        sinks[k]->Mass[p] = 1234.5F + static_cast<float>(p);
      }
    }
    OpenEditor();
    ChooseMenu(*editor, {"Rooms"});
    rooms = AppWindows().Find<ScenarioRoomForm>();
  }
  bool Open() {
    ChooseMenu(*rooms, {"Sinks", "SinkGeneral"});
    form = AppWindows().Find<GeneralSinkForm>();
    return form != nullptr;
  }
  bool IsOpen() {
    testing::ProcessEvents();
    return AppWindows().Find<GeneralSinkForm>() != nullptr;
  }
  FlexGrid& Grid() { return form->sinkSS(); }
  void TypeAt(int row, int col, const char* text) {
    Grid().setFocus();
    Grid().SetRowCol(row, col);
    testing::Type(text);
    testing::Enter();
  }
  void Spin(const char* arrow) {
    auto* button = form->findChild<UpDown*>("UpDown1")->findChild<QToolButton*>(arrow);
    ASSERT_NE(button, nullptr);
    button->click();
    testing::ProcessEvents();
  }
  QLineEdit& Box(const char* name) { return *form->findChild<QLineEdit*>(name); }
  std::string Said() const { return prompt.shown.empty() ? "" : prompt.shown.back().text; }

  ScenarioRoomForm* rooms = nullptr;
  GeneralSinkForm* form = nullptr;
};

TEST_F(GeneralSinkWindow, ShowsEverySinkAndTransferAssignsATypedRowToItsRoom) {
  ASSERT_TRUE(Open());
  EXPECT_EQ(form->windowTitle(), "Sink data");
  EXPECT_TRUE(rooms->isEnabled()) << "the opener stays in use";
  EXPECT_EQ(Box("PollutantNumber").text(), "0");
  EXPECT_EQ(Box("PollutantName").text(), "P0");
  ASSERT_EQ(Grid().Rows(), 2 * 2 + 5);
  EXPECT_EQ(Grid().TextMatrix(0, 4), "Room #");
  EXPECT_EQ(Grid().TextMatrix(1, 1), ".001");
  const char* names[] = {"Wall", "Floor", "Rug"};
  const char* room_numbers[] = {"1", "2", "2"};
  const char* room_names[] = {"Kitchen", "Bath", "Bath"};
  for (int r = 1; r <= 3; ++r) {
    EXPECT_EQ(Grid().TextMatrix(r, 0), names[r - 1]);
    EXPECT_EQ(Grid().TextMatrix(r, 4), room_numbers[r - 1]);
    EXPECT_EQ(Grid().TextMatrix(r, 5), room_names[r - 1]);
  }
  EXPECT_EQ(Grid().TextMatrix(4, 0), "");
  EXPECT_EQ(Grid().Row(), 1);
  EXPECT_EQ(Grid().Col(), 0);
  ChooseMenu(*form, {"help"});
  ChooseMenu(*form, {"PMchanges"});
  using Shown = std::pair<std::string, std::string>;
  ASSERT_EQ(help.shown.size(), 2U);
  EXPECT_EQ(help.shown[0], Shown("RovozUzav.HLP", "Sinks general"));
  EXPECT_EQ(help.shown[1], Shown("RIRozid.HLP", "Sinks"));

  TypeAt(4, 4, "1");
  TypeAt(4, 0, "Shelf");
  ChooseMenu(*form, {"Transfer"});
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Scenario().NumSinks[1], 2);
  EXPECT_EQ(Scenario().Sinks[1][2].Name, "Shelf");
  EXPECT_EQ(Scenario().Sinks[2][2].Mass[1], 1235.5F) << "the rows' sinks keep their masses";
  EXPECT_EQ(state->SinksSaved, kTrue);
  EXPECT_EQ(rooms->roomss().TextMatrix(1, 3), "2");
}

TEST_F(GeneralSinkWindow, ARefusedGridKeepsTheWindowItsPollutantAndTheFile) {
  ASSERT_TRUE(Open());
  TypeAt(4, 4, "2");
  Spin("up");
  EXPECT_NE(Said().find("is a third sink for room 2"), std::string::npos) << Said();
  EXPECT_EQ(form->ShownPollutant(), 0);
  EXPECT_EQ(Box("PollutantNumber").text(), "0");
  EXPECT_TRUE(Grid().isVisible());
  dialogs.answers = {Path("refused")};
  ChooseMenu(*form, {"File", "filesave"});
  EXPECT_TRUE(dialogs.asked.empty());
  ChooseMenu(*form, {"Transfer"});
  EXPECT_TRUE(IsOpen());
  EXPECT_EQ(prompt.Count("message"), 3U);
  EXPECT_EQ(Scenario().NumSinks[2], 2);
  EXPECT_EQ(state->SinksSaved, kFalse);
}

TEST_F(GeneralSinkWindow, AStepStoresTheShownPollutantAndSinksGeneralKeepsTheWindow) {
  const ScenarioRecord kept = Scenario();
  ASSERT_TRUE(Open());
  Spin("down");
  EXPECT_EQ(form->ShownPollutant(), 0) << "no pollutant below 0";
  TypeAt(1, 1, "0.5");
  Spin("up");
  EXPECT_EQ(Scenario().Sinks[1][1].ka[0], 0.5F);
  EXPECT_EQ(form->ShownPollutant(), 1);
  EXPECT_EQ(Box("PollutantName").text(), "P1");
  EXPECT_EQ(Grid().TextMatrix(1, 1), "1.001");
  EXPECT_EQ(Grid().Col(), 2);
  Box("PollutantNumber").setFocus();
  testing::Type("7");
  EXPECT_EQ(Box("PollutantNumber").text(), "1");

  Spin("up");
  Spin("up");
  EXPECT_EQ(form->ShownPollutant(), 2) << "no pollutant above the last";
  TypeAt(2, 1, "9");
  ChooseMenu(*rooms, {"Sinks", "SinkGeneral"});
  EXPECT_EQ(AppWindows().Find<GeneralSinkForm>(), form);
  EXPECT_EQ(Box("PollutantNumber").text(), "2");
  EXPECT_EQ(Grid().TextMatrix(2, 1), "9");

  ChooseMenu(*form, {"cancel"});
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Scenario().Sinks[1][1].ka[0], 0.5F);
  EXPECT_EQ(Scenario().Sinks[2][1].ka[2], kept.Sinks[2][1].ka[2]);
}

TEST_F(GeneralSinkWindow, ACellIsEditedInABoxLaidOverIt) {
  ASSERT_TRUE(Open());
  Grid().SetRowCol(2, 1);
  testing::DoubleClick(Grid().viewport(), Grid().CellCenter(2, 1));
  auto* box = form->findChild<EditCellBox*>("EditCell");
  ASSERT_TRUE(box->isVisible());
  const QRect cell(Grid().geometry().topLeft() +
                       QPoint(TwipsToPixels(Grid().CellLeft()), TwipsToPixels(Grid().CellTop())),
                   QSize(TwipsToPixels(Grid().CellWidth()), TwipsToPixels(Grid().CellHeight())));
  EXPECT_EQ(box->geometry(), cell);
  EXPECT_EQ(box->text(), ".002");
  EXPECT_EQ(box->cursorPosition(), 4);
  box->selectAll();
  testing::Type("0.5");
  EXPECT_EQ(Grid().TextMatrix(2, 1), ".002") << "the cell waits for the edit's end";
  testing::Enter();
  EXPECT_EQ(Grid().TextMatrix(2, 1), "0.5");
  EXPECT_EQ(Grid().Row(), 3);
  EXPECT_FALSE(box->isVisible());

  testing::Type("7");
  testing::Escape();
  EXPECT_EQ(Grid().TextMatrix(3, 1), ".003");
  EXPECT_FALSE(box->isVisible());
  TypeAt(3, 2, "4,5");
  EXPECT_EQ(Grid().TextMatrix(3, 2), "45");
  TypeAt(3, 0, "A,B");
  EXPECT_EQ(Grid().TextMatrix(3, 0), "A,B");
  Grid().SetRowCol(3, 0);
  testing::Key(Qt::Key_F2);
  testing::Key(Qt::Key_Up);
  EXPECT_EQ(Grid().Row(), 2);
  EXPECT_EQ(Grid().TextMatrix(3, 0), "A,B");
  Grid().SetRowCol(1, 3);
  testing::Key(Qt::Key_F2);
  testing::Key(Qt::Key_Up);
  EXPECT_EQ(Grid().Row(), 1) << "not above the first row";

  // Leaving the box by a click: a text emptied is stored, a refused key stores nothing.
  testing::DoubleClick(Grid().viewport(), Grid().CellCenter(3, 3));
  box->selectAll();
  testing::Key(Qt::Key_Backspace, "\b");
  testing::ClickCell(Grid(), 2, 3);
  EXPECT_EQ(Grid().TextMatrix(3, 3), "");
  testing::Type(",");
  EXPECT_TRUE(box->isVisible());
  testing::ClickCell(Grid(), 1, 3);
  EXPECT_EQ(Grid().TextMatrix(2, 3), "20");
  EXPECT_FALSE(box->isVisible());
}

TEST_F(GeneralSinkWindow, SavedFilesOpenBackUnderEitherSeparatorAndPrintGoesOut) {
  const ScenarioRecord kept = Scenario();
  for (const char separator : {',', '\t'}) {
    state->DataSeparator = separator;
    ASSERT_TRUE(Open());
    const std::string name = Path(separator == ',' ? "comma" : "tab");
    dialogs.answers = {name, name + ".SNK"};
    ChooseMenu(*form, {"File", "filesave"});
    ASSERT_TRUE(std::filesystem::exists(name + ".SNK")) << name;
    EXPECT_EQ(dialogs.asked.back().request.initial_name, "*.SNK");
    EXPECT_EQ(dialogs.asked.back().request.filter, "Sink (*.SNK)|*.SNK|All files (*.*)|*.*");
    for (auto& room : Scenario().Sinks) std::fill(room.begin(), room.end(), SinkRecord{});
    state->ScenarioSaved = kTrue;
    ChooseMenu(*form, {"File", "fileopen"});
    EXPECT_EQ(state->ScenarioSaved, kFalse);
    EXPECT_EQ(Grid().TextMatrix(3, 0), "Rug");
    for (const auto& [room, slot] : {std::pair{1, 1}, std::pair{2, 1}, std::pair{2, 2}}) {
      const SinkRecord& got = Scenario().Sinks[room][slot];
      const SinkRecord& want = kept.Sinks[room][slot];
      EXPECT_EQ(got.Name, want.Name);
      EXPECT_EQ(got.Area, want.Area);
      for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(got.ka[p], want.ka[p]) << room << slot << p;
        EXPECT_EQ(got.kd[p], want.kd[p]) << room << slot << p;
        EXPECT_EQ(got.Mass[p], want.Mass[p]) << room << slot << p;
      }
    }
    ChooseMenu(*form, {"cancel"});
    ASSERT_FALSE(IsOpen());
  }
  EXPECT_TRUE(prompt.shown.empty()) << Said();

  ASSERT_TRUE(Open());
  ChooseMenu(*form, {"File", "FilePrint"});
  EXPECT_EQ(printer.documents, 1);
  const auto lines = printer.Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), testing::Line({{30, "Sink information for R1"}})),
            lines.end());
  EXPECT_TRUE(std::all_of(printer.pages.begin(), printer.pages.end(),
                          [](const auto& page) { return page.document == 0; }));
}

}  // namespace
}  // namespace quarn
