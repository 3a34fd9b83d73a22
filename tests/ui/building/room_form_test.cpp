// The room and neighbour windows opened as a user opens them: File > New, three rooms typed
// into the building window, Rooms.

#include <QApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <string>
#include <vector>

#include "common/main_window_fixture.h"
#include "common/menu_input.h"
#include "platform/clipboard.h"
#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/user_input.h"
#include "platform/window_registry.h"
#include "ui/building/neighbor_form.h"
#include "ui/building/room_form.h"
#include "ui/common/window_menu.h"
#include "ui/main/building_form.h"
#include "ui/main/main_window.h"

namespace quarn {
namespace {

using testing::ChooseMenu;
using testing::ClickCell;
using testing::TypeKeys;

void Settle() {
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  testing::ProcessEvents();
}

bool InUse(QWidget* w) {
  return w->isEnabled() && OuterFrame(w)->isEnabled();
}

class RoomFormTest : public testing::MainWindowTest {
 protected:
  RoomFormTest() {
    frame = StartMainWindow(*context);
    building = frame->Building();
    EXPECT_TRUE(testing::ShowActive(*frame));
    state->BuildingSaved = true;
    ChooseMenu(*building, {"file", "FileNew"});
    ClickCell(building->Grid(), 3, 1);
    TypeKeys("3");
    testing::Enter();
    EXPECT_EQ(state->Building.NumRooms, 3);
  }
  ~RoomFormTest() override {
    if (frame) frame->EndProgram();
    Settle();
  }

  RoomForm* OpenRooms() {
    ChooseMenu(*building, {"Rooms"});
    Settle();
    return AppWindows().Find<RoomForm>();
  }
  void Name(int room, const char* name) { state->Building.RoomList[room].Name = name; }
  // Rooms A, B and C, unconnected, in an open room window.
  RoomForm* OpenLettered() {
    Name(1, "A");
    Name(2, "B");
    Name(3, "C");
    return OpenRooms();
  }
  NeighborForm* DefineNeighbors(RoomForm& rooms, int row) {
    ClickCell(rooms.Grid(), row, 1);
    QTest::mouseClick(rooms.findChild<QPushButton*>("DefNeighbors"), Qt::LeftButton);
    Settle();
    return AppWindows().Find<NeighborForm>();
  }
  std::vector<std::string> Column(FlexGrid& g, int col) {
    std::vector<std::string> texts;
    for (int r = 1; r < g.Rows(); ++r) texts.push_back(g.TextMatrix(r, col));
    return texts;
  }

  QPointer<MainWindow> frame;
  BuildingForm* building = nullptr;
};

TEST_F(RoomFormTest, RoomsShowsTheRecordWithTheBuildingWindowOutOfUse) {
  RoomRecord& kitchen = state->Building.RoomList[1];
  kitchen.Length = 5;
  kitchen.Width = 4;
  kitchen.Height = 2.5f;
  RoomForm* form = OpenRooms();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->windowTitle(), "Fixed Room data");
  FlexGrid& g = form->Grid();
  EXPECT_EQ(g.Rows(), 4);
  EXPECT_EQ(g.Cols(), 7);
  EXPECT_EQ(g.TextMatrix(1, 5), "50.");
  EXPECT_TRUE(g.hasFocus());
  EXPECT_EQ(std::make_pair(g.Row(), g.Col()), std::make_pair(1, 1));
  EXPECT_FALSE(InUse(building));

  ClickCell(g, 2, 2);
  TypeKeys("6");
  testing::Enter();
  EXPECT_EQ(g.TextMatrix(2, 2), "6");
  EXPECT_EQ(g.Row(), 3);
  // The neighbour count is the table's: typing and F2 there do nothing.
  ClickCell(g, 2, 6);
  TypeKeys("3");
  testing::Key(Qt::Key_F2);
  EXPECT_FALSE(form->EditCell().isVisible());
  SetClipboardText("7");
  form->RunCommand("EditPaste");
  EXPECT_EQ(g.TextMatrix(2, 6), " 0") << "a paste there is rewritten from the table";
}

TEST_F(RoomFormTest, TransferStoresTheRowsAndCancelNothing) {
  RoomForm* form = OpenRooms();
  FlexGrid& g = form->Grid();
  g.SetTextMatrix(1, 1, "Hall");
  for (int col : {2, 3, 4}) g.SetTextMatrix(1, col, "2");
  g.SetTextMatrix(1, 5, "99");
  ChooseMenu(*form, {"Transfer"});
  Settle();
  const BuildingRecord& b = state->Building;
  EXPECT_EQ(b.RoomList[1].Name, "Hall");
  EXPECT_EQ(b.RoomList[2].Name, "ROOM 2");
  EXPECT_EQ(b.RoomList[1].Volume, 8.0f) << "the dimensions decide, not column 5";
  EXPECT_EQ(state->BuildingSaved, false);
  EXPECT_EQ(state->RoomsSaved, false);
  EXPECT_EQ(AppWindows().Find<RoomForm>(), nullptr);
  EXPECT_TRUE(InUse(building));

  state->RoomsSaved = true;
  form = OpenRooms();
  form->Grid().SetTextMatrix(1, 1, "Lost");
  ChooseMenu(*form, {"cancel"});
  Settle();
  EXPECT_EQ(b.RoomList[1].Name, "Hall");
  EXPECT_EQ(state->RoomsSaved, true);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_TRUE(InUse(building));
}

TEST_F(RoomFormTest, MissingDimensionsFillTheGridOnly) {
  RoomForm* form = OpenRooms();
  FlexGrid& g = form->Grid();
  g.SetTextMatrix(1, 5, "24.4");
  g.SetTextMatrix(2, 2, "1,234.5");
  g.SetTextMatrix(2, 3, "2");
  g.SetTextMatrix(2, 4, "1");
  g.SetTextMatrix(3, 5, "-10");
  ClickCell(g, 2, 3);
  QTest::keyClick(&g, Qt::Key_F9);  // as the button's caption says
  using Row = std::vector<std::string>;
  auto row = [&](int r) {
    return Row{g.TextMatrix(r, 2), g.TextMatrix(r, 3), g.TextMatrix(r, 4), g.TextMatrix(r, 5)};
  };
  EXPECT_EQ(row(1), (Row{"3.162278", "3.162278", "2.44", "24.4"}));
  EXPECT_EQ(row(2), (Row{"1,234.5", "2", "1", "2469"}));
  EXPECT_EQ(row(3), (Row{"0", "0", "0", "-10"}));
  EXPECT_EQ(std::make_pair(g.Row(), g.Col()), std::make_pair(2, 3));
  EXPECT_TRUE(form->Edited());
  EXPECT_EQ(state->Building.RoomList[2].Volume, 0.0f) << "the record waits for Transfer";
}

TEST_F(RoomFormTest, PrintFormPrintsTheRoomListAsOneDocument) {
  Name(1, "Kitchen");
  RoomForm* form = OpenRooms();
  ChooseMenu(*form, {"File", "FilePrint"});
  EXPECT_EQ(printer.documents, 1);
  const std::vector<std::string> lines = printer.Lines();
  ASSERT_GE(lines.size(), 2U);
  EXPECT_EQ(lines[1], std::string(9, ' ') + "Data for room Number  1  Room ID Kitchen");
}

TEST_F(RoomFormTest, DefineNeighborsListsTheOtherRoomsAsTyped) {
  RoomForm* rooms = OpenLettered();
  rooms->Grid().SetTextMatrix(3, 1, "Cellar");
  NeighborForm* form = DefineNeighbors(*rooms, 2);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->windowTitle(), "Define Neighbors");
  EXPECT_EQ(form->findChild<QLabel*>("Label1")->text(), "List of Neighbors for room");
  EXPECT_EQ(form->findChild<QLabel*>("Label2")->text(), "#  2 B");
  EXPECT_EQ(Column(form->Grid(), 1), (std::vector<std::string>{"A", "Cellar"}));
  EXPECT_EQ(Column(form->Grid(), 2), (std::vector<std::string>{"No", "No"}));
  // The answer column is in view, not behind a scroll bar.
  EXPECT_EQ(form->Grid().horizontalScrollBar()->maximum(), 0);
  EXPECT_FALSE(InUse(rooms));
  EXPECT_EQ(state->RoomsSaved, false);

  // A click in the answer column toggles it, Enter there too, elsewhere nothing changes.
  FlexGrid& n = form->Grid();
  ClickCell(n, 2, 2);
  EXPECT_EQ(n.TextMatrix(2, 2), "Yes");
  testing::Enter();
  EXPECT_EQ(n.TextMatrix(2, 2), "No");
  ClickCell(n, 2, 1);
  testing::Enter();
  EXPECT_EQ(n.TextMatrix(2, 1), "Cellar");
  ClickCell(n, 1, 2);
  QTest::mouseClick(form->findChild<QPushButton*>("cancel"), Qt::LeftButton);
  Settle();
  EXPECT_EQ(AppWindows().Find<NeighborForm>(), nullptr);
  EXPECT_EQ(state->Building.Neighbors[2][1], kFalse) << "Cancel stores nothing";
  EXPECT_TRUE(InUse(rooms));

  // The names stored by Define neighbours stay when the room window is cancelled.
  rooms->RunCommand("cancel");
  Settle();
  EXPECT_EQ(state->Building.RoomList[3].Name, "Cellar");
}

TEST_F(RoomFormTest, NeighborTransferWritesBothDirectionsAndTheCounts) {
  RoomForm* rooms = OpenLettered();
  NeighborForm* form = DefineNeighbors(*rooms, 2);
  ASSERT_NE(form, nullptr);
  ClickCell(form->Grid(), 2, 2);
  QTest::mouseClick(form->findChild<QPushButton*>("Transfer"), Qt::LeftButton);
  Settle();
  const BuildingRecord& b = state->Building;
  EXPECT_EQ(b.Neighbors[2][3], kTrue);
  EXPECT_EQ(b.Neighbors[3][2], kTrue);
  EXPECT_EQ((std::vector<int>{b.RoomList[1].NumNeighbors, b.RoomList[2].NumNeighbors,
                              b.RoomList[3].NumNeighbors}),
            (std::vector<int>{0, 1, 1}));
  EXPECT_EQ(Column(rooms->Grid(), 6), (std::vector<std::string>{" 0", " 1", " 1"}));
  EXPECT_TRUE(InUse(rooms));

  // Room 3's window (F8, as the button's caption says) shows the connection; "No" there
  // removes it both ways.
  ClickCell(rooms->Grid(), 3, 1);
  QTest::keyClick(&rooms->Grid(), Qt::Key_F8);
  Settle();
  form = AppWindows().Find<NeighborForm>();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(Column(form->Grid(), 2), (std::vector<std::string>{"No", "Yes"}));
  ClickCell(form->Grid(), 2, 2);
  // Transfer by its access key: the button shows itself pressed for a moment first.
  testing::Key(Qt::Key_T, "t", Qt::AltModifier);
  QTest::qWait(200);
  Settle();
  EXPECT_EQ(AppWindows().Find<NeighborForm>(), nullptr);
  EXPECT_EQ(b.Neighbors[2][3], kFalse);
  EXPECT_EQ(b.Neighbors[3][2], kFalse);
  EXPECT_EQ(Column(rooms->Grid(), 6), (std::vector<std::string>{" 0", " 0", " 0"}));
  // The rooms grid has the keys back: Up moves in it, F8 opens the window of that row.
  EXPECT_TRUE(rooms->Grid().hasFocus());
  testing::Key(Qt::Key_Up);
  EXPECT_EQ(rooms->Grid().Row(), 2);
  testing::Key(Qt::Key_F8);
  Settle();
  ASSERT_NE(AppWindows().Find<NeighborForm>(), nullptr);
  EXPECT_EQ(AppWindows().Find<NeighborForm>()->findChild<QLabel*>("Label2")->text().toStdString(),
            "#  2 B");
}

TEST_F(RoomFormTest, OneRoomOpensNoNeighborWindow) {
  ClickCell(building->Grid(), 3, 1);
  TypeKeys("1");
  testing::Enter();
  RoomForm* rooms = OpenRooms();
  EXPECT_EQ(DefineNeighbors(*rooms, 1), nullptr);
  EXPECT_TRUE(InUse(rooms));
}

// A row typed by keyboard alone: Tab stores each cell and moves right, Enter stores and
// moves down. The sizes take numbers only (the exponent form included); "2,5" is refused
// with a message and stays in the box to be mended, never stored as 25 (nor as 2), and a
// size below 0 is refused by Transfer with nothing stored.
TEST_F(RoomFormTest, KeyboardAloneFillsTheRowsAndTheSizesTakeNumbersOnly) {
  RoomForm* form = OpenRooms();
  FlexGrid& g = form->Grid();
  ClickCell(g, 1, 1);
  const int top = g.mapTo(form, QPoint()).y();
  for (const char* cell : {"Kitchen", "4", "3", "2.5"}) {
    TypeKeys(cell);
    EXPECT_EQ(g.mapTo(form, QPoint()).y(), top) << "the grid stays where it was clicked";
    testing::Key(Qt::Key_Tab);
  }
  EXPECT_EQ(Column(g, 1)[0], "Kitchen");
  EXPECT_EQ(g.TextMatrix(1, 2), "4");
  EXPECT_EQ(g.TextMatrix(1, 3), "3");
  EXPECT_EQ(g.TextMatrix(1, 4), "2.5");
  ClickCell(g, 2, 2);
  const std::string before = g.TextMatrix(2, 2);
  TypeKeys("2,5");
  testing::Enter();
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Error.  \"2,5\" is not a number.  Decimals take a point (2.5); a comma "
            "can only separate thousands (1,500).");
  EXPECT_EQ(form->EditCell().text(), "2,5") << "the entry stays to be mended";
  ChooseMenu(*form, {"Transfer"});
  Settle();
  EXPECT_EQ(prompt.shown.size(), 2u) << "Transfer is refused with it";
  EXPECT_EQ(AppWindows().Find<RoomForm>(), form);
  EXPECT_FLOAT_EQ(state->Building.RoomList[2].Length, 0.0f);
  testing::Key(Qt::Key_Escape, "\x1b");
  EXPECT_EQ(g.TextMatrix(2, 2), before) << "Esc gives the cell back";
  prompt.shown.clear();
  TypeKeys("2.5");
  testing::Key(Qt::Key_Right);
  TypeKeys("4e-1");
  testing::Enter();
  EXPECT_EQ(g.TextMatrix(2, 2), "2.5");
  EXPECT_EQ(g.TextMatrix(2, 3), "4e-1");
  EXPECT_EQ(std::make_pair(g.Row(), g.Col()), std::make_pair(3, 3));
  TypeKeys("-5");
  testing::Enter();
  ChooseMenu(*form, {"Transfer"});
  Settle();
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Error.  The width of room 3 must be 0 or more, not -5.  Reenter data.");
  EXPECT_EQ(AppWindows().Find<RoomForm>(), form) << "the window stays for the mend";
  EXPECT_NE(state->Building.RoomList[1].Name, "Kitchen") << "nothing is stored";
  ClickCell(g, 3, 3);
  TypeKeys("5");
  testing::Enter();
  ChooseMenu(*form, {"Transfer"});
  Settle();
  const BuildingRecord& b = state->Building;
  EXPECT_EQ(b.RoomList[1].Name, "Kitchen");
  EXPECT_FLOAT_EQ(b.RoomList[1].Volume, 30.0f);
  EXPECT_FLOAT_EQ(b.RoomList[2].Length, 2.5f);
  EXPECT_FLOAT_EQ(b.RoomList[2].Width, 0.4f);
}

}  // namespace
}  // namespace quarn
