#include "ui/inputs/general_sink_form.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

#include "platform/edit_cell.h"
#include "platform/qt_text.h"
#include "ui/building/editor_window_fixture.h"
#include "ui/inputs/room_sink_form.h"
#include "ui/inputs/scenario_room_form.h"

namespace quarn {
namespace {

using testing::ChooseMenu;

// Rooms "Kitchen" and "Bath" with sinks "Wall", then "Floor" and "Rug"; three pollutants.
// The window is opened from the scenario room window's Sinks > General.
class GeneralSinkWindow : public testing::EditorWindowTest {
 protected:
  GeneralSinkWindow() {
    state->Building.NumRooms = 2;
    state->Building.RoomList[1].Name = "Kitchen";
    state->Building.RoomList[2].Name = "Bath";
    ScenarioRecord& s = Scenario();
    s.NumPollutants = 3;
    s.NumSinks = {0, 1, 2};
    const char* names[] = {"Wall", "Floor", "Rug"};
    for (int k = 0; k < 3; ++k) {
      SinkRecord& sink = s.Sinks[k == 0 ? 1 : 2][k == 2 ? 2 : 1];
      sink = {names[k], {}, {}, 10.0F * static_cast<float>(k + 1), {}, ""};
      for (int p = 0; p < 3; ++p) {
        sink.ka[p] = 0.001F * static_cast<float>(k + 1) + static_cast<float>(p);
        sink.kd[p] = 0.25F + static_cast<float>(p + k);
        sink.Mass[p] = 1234.5F + static_cast<float>(p);
      }
    }
    OpenEditor();
    ChooseMenu(*editor, {"Rooms"});
    rooms = AppWindows().Find<ScenarioRoomForm>();
    ChooseMenu(*rooms, {"Sinks", "SinkGeneral"});
    form = AppWindows().Find<GeneralSinkForm>();
  }
  static bool IsOpen() { return AppWindows().Find<GeneralSinkForm>() != nullptr; }
  FlexGrid& Grid() { return form->Grid(); }
  void TypeAt(int row, int col, const char* text) {
    Grid().setFocus();
    Grid().SetRowCol(row, col);
    testing::Type(text);
    testing::Enter();
  }
  void Spin(const char* arrow) { form->findChild<QToolButton*>(arrow)->click(); }
  QString Number() { return form->findChild<QLineEdit*>("PollutantNumber")->text(); }

  ScenarioRoomForm* rooms = nullptr;
  GeneralSinkForm* form = nullptr;
};

TEST_F(GeneralSinkWindow, ShowsEverySinkAndTransferAssignsATypedRowToItsRoom) {
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(rooms->isEnabled()) << "the opener stays in use";
  EXPECT_EQ(Number(), "0");
  ASSERT_EQ(Grid().Rows(), 2 * 2 + 5);
  EXPECT_EQ(Grid().TextMatrix(1, 1), ".001");
  const char* cells[] = {"Wall", "1", "Kitchen", "Floor", "2", "Bath", "Rug", "2", "Bath"};
  const int cols[] = {0, 4, 5};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(Grid().TextMatrix(i / 3 + 1, cols[i % 3]), cells[i]);
  EXPECT_EQ(Grid().Col(), 0);

  TypeAt(4, 4, "1");
  TypeAt(4, 0, "Shelf");
  ChooseMenu(*form, {"Transfer"});
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Scenario().NumSinks[1], 2);
  EXPECT_EQ(Scenario().Sinks[1][2].Name, "Shelf");
  EXPECT_EQ(state->SinksSaved, true);
  EXPECT_EQ(rooms->Grid().TextMatrix(1, 3), "2");
}

// The room sink window open beside it shows what the general window's Transfer stored, and
// keeps what was typed in it and not yet stored.
TEST_F(GeneralSinkWindow, TransferRefreshesAnOpenRoomSinkWindow) {
  RoomSinkForm* room = OpenRoomSinks(*context, 2, rooms);
  ASSERT_NE(room, nullptr);
  FlexGrid& sinks = room->Grid();
  EXPECT_EQ(sinks.TextMatrix(1, 2), "0.002");
  sinks.setFocus();
  sinks.SetRowCol(2, 3);
  testing::Type("9");
  testing::Enter();
  TypeAt(2, 1, "0.7");  // Floor's ka
  TypeAt(3, 2, "0.5");  // Rug's kd
  ChooseMenu(*form, {"Transfer"});
  EXPECT_EQ(sinks.TextMatrix(1, 2) + " " + sinks.TextMatrix(2, 3), "0.7 9");
  room->RunCommand("Transfer");
  EXPECT_EQ(Scenario().Sinks[2][1].ka[0], 0.7F);
  EXPECT_EQ(Scenario().Sinks[2][2].kd[0], 9.0F) << "the room window's own edit";

  // The other way round: an untouched general window shows what the room window stored.
  testing::ProcessEvents();
  ChooseMenu(*rooms, {"Sinks", "SinkGeneral"});
  form = AppWindows().Find<GeneralSinkForm>();
  room = OpenRoomSinks(*context, 2, rooms);
  room->Grid().setFocus();
  room->Grid().SetRowCol(1, 2);
  testing::Type("0.8");
  room->RunCommand("Transfer");
  EXPECT_EQ(Grid().TextMatrix(2, 1), ".8");
}

TEST_F(GeneralSinkWindow, StepsStoreTheShownPollutantUnlessTheGridIsRefused) {
  const ScenarioRecord kept = Scenario();
  TypeAt(4, 4, "2");  // a third sink for room 2
  Spin("up");
  EXPECT_NE(prompt.shown.back().text.find("third sink for room 2"), std::string::npos);
  EXPECT_EQ(form->ShownPollutant(), 0);
  dialogs.answers = {Path("refused")};
  ChooseMenu(*form, {"File", "filesave"});
  ChooseMenu(*form, {"Transfer"});
  EXPECT_TRUE(IsOpen());
  EXPECT_TRUE(dialogs.asked.empty());
  EXPECT_EQ(prompt.Count("message"), 3U);

  Grid().SetTextMatrix(4, 4, "");
  TypeAt(1, 1, "0.5");
  Spin("up");
  EXPECT_EQ(Scenario().Sinks[1][1].ka[0], 0.5F);
  EXPECT_EQ(Grid().TextMatrix(1, 1), "1.001");
  form->findChild<QLineEdit*>("PollutantNumber")->setFocus();
  testing::Type("7");
  EXPECT_EQ(Number(), "1");
  for (int i = 0; i < 3; ++i) Spin("up");
  EXPECT_EQ(form->ShownPollutant(), 2) << "no pollutant above the last";
  TypeAt(2, 1, "9");
  ChooseMenu(*rooms, {"Sinks", "SinkGeneral"});
  EXPECT_EQ(Number(), "2");
  EXPECT_EQ(Grid().TextMatrix(2, 1), "9") << "brought forward, not filled again";
  ChooseMenu(*form, {"cancel"});
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(Scenario().Sinks[1][1].ka[0], 0.5F);
  EXPECT_EQ(Scenario().Sinks[2][1].ka[2], kept.Sinks[2][1].ka[2]);
}

TEST_F(GeneralSinkWindow, ACellIsEditedInABoxLaidOverIt) {
  Grid().SetRowCol(2, 1);
  testing::DoubleClick(Grid().viewport(), Grid().CellCenter(2, 1));
  auto* box = form->findChild<EditCellBox*>("EditCell");
  ASSERT_TRUE(box->isVisible());
  const QRect cell(TwipsToPixels(Grid().CellLeft()), TwipsToPixels(Grid().CellTop()),
                   TwipsToPixels(Grid().CellWidth()), TwipsToPixels(Grid().CellHeight()));
  EXPECT_EQ(box->geometry(), cell.translated(Grid().geometry().topLeft()));
  EXPECT_EQ(box->text(), ".002");
  EXPECT_EQ(box->cursorPosition(), 4);
  box->selectAll();
  testing::Type("0.5");
  EXPECT_EQ(Grid().TextMatrix(2, 1), ".002") << "the cell waits for the edit's end";
  testing::Enter();
  EXPECT_EQ(Grid().TextMatrix(2, 1), "0.5");
  EXPECT_EQ(Grid().Row(), 3);
  testing::Type("7");
  testing::Escape();
  EXPECT_EQ(Grid().TextMatrix(3, 1), ".003");
  TypeAt(3, 1, "4x5");
  EXPECT_EQ(Grid().TextMatrix(3, 1), "45");

  // Leaving the box by a click: a text emptied is stored, a refused key stores nothing.
  testing::DoubleClick(Grid().viewport(), Grid().CellCenter(3, 3));
  box->selectAll();
  testing::Key(Qt::Key_Backspace, "\b");
  testing::ClickCell(Grid(), 2, 3);
  EXPECT_EQ(Grid().TextMatrix(3, 3), "");
  testing::Type(",");
  testing::ClickCell(Grid(), 1, 3);
  EXPECT_EQ(Grid().TextMatrix(2, 3), "20");
}

// A new sink typed by keyboard alone: Tab and the arrows at the end of the text store the
// cell and move right, Enter stores and moves down.
TEST_F(GeneralSinkWindow, ARowTypedByKeyboardAloneStoresEveryCell) {
  Grid().setFocus();
  Grid().SetRowCol(4, 0);
  testing::Type("sofa");
  testing::Key(Qt::Key_Tab);
  testing::Type("0.3");
  testing::Key(Qt::Key_Right);
  testing::Type("0.03");
  testing::Key(Qt::Key_Tab);
  testing::Type("10");
  testing::Enter();
  EXPECT_EQ(Grid().TextMatrix(4, 0), "sofa");
  EXPECT_EQ(Grid().TextMatrix(4, 1), "0.3");
  EXPECT_EQ(Grid().TextMatrix(4, 2), "0.03");
  EXPECT_EQ(Grid().TextMatrix(4, 3), "10");
  EXPECT_EQ(std::make_pair(Grid().Row(), Grid().Col()), std::make_pair(5, 3));
  testing::Key(Qt::Key_Up);
  testing::Type("1e-1");
  testing::Key(Qt::Key_Escape, QString(QChar(27)));
  EXPECT_EQ(Grid().TextMatrix(4, 3), "10") << "Esc drops the edit";
}

TEST_F(GeneralSinkWindow, SavedFilesOpenBackUnderEitherSeparatorAndPrintGoesOut) {
  const ScenarioRecord kept = Scenario();
  for (const char separator : {',', '\t'}) {
    state->DataSeparator = separator;
    const std::string name = Path(separator == ',' ? "comma" : "tab");
    dialogs.answers = {name, name + ".SNK"};
    ChooseMenu(*form, {"File", "filesave"});
    for (auto& room : Scenario().Sinks) std::fill(room.begin(), room.end(), SinkRecord{});
    state->ScenarioSaved = true;
    ChooseMenu(*form, {"File", "fileopen"});
    EXPECT_EQ(state->ScenarioSaved, false);
    EXPECT_EQ(Grid().TextMatrix(3, 0), "Rug");
    for (const auto& [room, slot] : {std::pair{1, 1}, std::pair{2, 1}, std::pair{2, 2}}) {
      const SinkRecord& got = Scenario().Sinks[room][slot];
      const SinkRecord& want = kept.Sinks[room][slot];
      EXPECT_TRUE(got.Name == want.Name && got.Area == want.Area && got.ka == want.ka &&
                  got.kd == want.kd && got.Mass == want.Mass)
          << room << slot << int{separator};
    }
  }
  EXPECT_TRUE(prompt.shown.empty());

  ChooseMenu(*form, {"File", "FilePrint"});
  EXPECT_EQ(printer.documents, 1);
  EXPECT_EQ(printer.pages.back().document, 0);
  EXPECT_EQ(printer.Lines().at(0), testing::Line({{30, "Sink information for R1"}}));
}

}  // namespace
}  // namespace quarn
