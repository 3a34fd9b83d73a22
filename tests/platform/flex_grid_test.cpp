#include "platform/flex_grid.h"

#include <QAbstractItemModel>
#include <QImage>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/cell_store.h"
#include "platform/user_input.h"

namespace quarn {
namespace {

using testing::Click;
using testing::Drag;
using testing::Key;
using testing::ShowActive;

std::string Name(int r, int c) {
  return "r" + std::to_string(r) + "c" + std::to_string(c);
}

// A window holding one grid of 8 rows by 6 columns, each cell named by its place.
class GridWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* layout = new QVBoxLayout(&window);
    grid = new FlexGrid(&window);
    layout->addWidget(grid);
    window.resize(600, 400);
    grid->SetRows(8);
    grid->SetCols(6);
    for (int r = 0; r < 8; ++r)
      for (int c = 0; c < 6; ++c) grid->SetTextMatrix(r, c, Name(r, c));
    ASSERT_TRUE(ShowActive(window));
    grid->setFocus();
    testing::ProcessEvents();
    QObject::connect(grid, &FlexGrid::LeaveCell, [this] { events.push_back("Leave"); });
    QObject::connect(grid, &FlexGrid::RowColChange, [this] { events.push_back("RowCol"); });
    QObject::connect(grid, &FlexGrid::EnterCell, [this] { events.push_back("Enter"); });
    QObject::connect(grid, &FlexGrid::SelChange, [this] { events.push_back("Sel"); });
    QObject::connect(grid, &FlexGrid::Click, [this] { events.push_back("Click"); });
    QObject::connect(grid, &FlexGrid::DblClick, [this] { events.push_back("DblClick"); });
  }
  QPoint At(int r, int c) const { return grid->CellCenter(r, c); }

  QWidget window;
  FlexGrid* grid = nullptr;
  std::vector<std::string> events;
};

TEST(FlexGridShape, StartsAsOneHeadingRowAndColumnAroundOneCell) {
  FlexGrid g;
  EXPECT_EQ(g.Rows(), 2);
  EXPECT_EQ(g.Cols(), 2);
  EXPECT_EQ(g.FixedRows(), 1);
  EXPECT_EQ(g.FixedCols(), 1);
  EXPECT_EQ(g.Row(), 1);
  EXPECT_EQ(g.Col(), 1);
  EXPECT_TRUE(g.HasCurrentCell());
}

TEST(FlexGridShape, ChangingCountsKeepsTheCellsThatRemain) {
  FlexGrid g;
  g.SetRows(4);
  g.SetCols(3);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c) g.SetTextMatrix(r, c, Name(r, c));
  g.SetCols(5);  // every row moves in the matrix
  EXPECT_EQ(g.TextMatrix(3, 2), "r3c2");
  EXPECT_EQ(g.TextMatrix(3, 4), "");
  g.SetCols(2);
  g.SetRows(3);
  EXPECT_EQ(g.TextMatrix(2, 1), "r2c1");
  EXPECT_EQ(g.TextMatrix(2, 2), "");  // outside: empty, not a crash
  g.SetCols(3);
  g.SetRows(4);
  EXPECT_EQ(g.TextMatrix(2, 2), "") << "a dropped cell does not come back";
  EXPECT_EQ(g.TextMatrix(3, 0), "");
  g.SetTextMatrix(-1, 0, "x");  // ignored
  g.SetTextMatrix(0, 99, "x");
  EXPECT_EQ(g.TextMatrix(0, 0), "r0c0");
}

TEST(FlexGridShape, TheCurrentCellIsNeverAHeading) {
  FlexGrid g;
  g.SetRows(5);
  g.SetCols(4);
  g.SetFixedCols(2);
  EXPECT_EQ(g.Col(), 2) << "moved out of the new heading column";
  g.SetRow(0);
  g.SetCol(0);
  EXPECT_EQ(g.Row(), 1);
  EXPECT_EQ(g.Col(), 2);
  g.SetRow(99);
  EXPECT_EQ(g.Row(), 4);
  g.SetRows(1);  // headings only
  EXPECT_FALSE(g.HasCurrentCell());
  EXPECT_EQ(g.Text(), "");
  g.SetText("lost");  // nowhere to go
  EXPECT_EQ(g.TextMatrix(0, 2), "");
}

TEST(FlexGridText, TextsAreWindows1252AndPaintedAsUnicode) {
  FlexGrid g;
  g.SetTextMatrix(1, 1, "\xB5g/m\xB3");
  EXPECT_EQ(g.Text(), "\xB5g/m\xB3");
  const QString shown = g.model()->index(1, 1).data().toString();
  EXPECT_EQ(shown, QString::fromUtf8("\xC2\xB5g/m\xC2\xB3"));
}

TEST(FlexGridText, ACellFilledFromANumberGivesBackTheExactNumberUntilItsTextChanges) {
  FlexGrid g;
  g.SetRows(3);
  g.SetCols(3);
  g.SetNumber(1, 1, 123.456, "123");  // shown through a three-digit mask
  g.SetTextMatrix(1, 2, "123");
  ASSERT_TRUE(g.Number(1, 1).has_value());
  EXPECT_EQ(*g.Number(1, 1), 123.456);
  EXPECT_FALSE(g.Number(1, 2).has_value()) << "typed text carries no number";
  g.SetTextMatrix(1, 1, "123");  // the same text written back (an edit left unchanged)
  EXPECT_EQ(g.Number(1, 1), 123.456);
  g.SetCols(5);  // survives the matrix moving
  EXPECT_EQ(g.Number(1, 1), 123.456);
  g.SetTextMatrix(1, 1, "124");
  EXPECT_FALSE(g.Number(1, 1).has_value());
  g.SetNumber(2, 2, 0.1, ".1");
  g.Clear();
  EXPECT_FALSE(g.Number(2, 2).has_value());
  EXPECT_EQ(g.TextMatrix(0, 0), "");
}

// A block of three rows by two columns whose cells show a hundredth of their number
// 100 × (row + 1) + column, red in its first column.
class Hundredths : public CellSource {
 public:
  int Rows() const override { return 3; }
  int Cols() const override { return 2; }
  std::string Text(int row, int col) const override {
    return std::to_string(100 * (row + 1) + col) + "%";
  }
  std::optional<double> Number(int row, int col) const override {
    return (100 * (row + 1) + col) / 100.0;
  }
  std::optional<QRgb> Color(int, int col) const override {
    if (col > 0) return std::nullopt;
    return QColor(Qt::red).rgba();
  }
};

TEST(FlexGridText, CellsFromASourceAreShownReadAndMovedLikeWrittenOnesAndGoWithARefill) {
  FlexGrid g;
  g.SetRows(5);
  g.SetCols(4);
  g.SetTextMatrix(2, 2, "typed before");
  g.SetCellSource(1, 1, std::make_shared<Hundredths>());
  EXPECT_EQ(g.model()->index(1, 1).data().toString(), "100%");
  EXPECT_EQ(g.TextMatrix(3, 2), "301%");
  EXPECT_EQ(g.Number(3, 2), 3.01);
  EXPECT_EQ(g.CellBackColorAt(1, 1), QColor(Qt::red));
  EXPECT_FALSE(g.CellBackColorAt(1, 2).isValid());
  EXPECT_EQ(g.TextMatrix(4, 1), "") << "past the block";
  EXPECT_EQ(g.TextMatrix(2, 2), "typed before") << "a written cell stands over the source";
  g.SetTextMatrix(3, 1, "300%");  // the same text written back keeps the number
  EXPECT_EQ(g.Number(3, 1), 3.0);
  g.SetTextMatrix(3, 1, "typed");
  EXPECT_FALSE(g.Number(3, 1).has_value());
  g.SetCellBackColorAt(1, 1, QColor());
  EXPECT_FALSE(g.CellBackColorAt(1, 1).isValid()) << "the grid's background, over the source's";
  // A row inserted within the block moves the rows below with their texts, numbers and colours.
  g.InsertRow(2);
  g.SetRowCol(1, 1);
  g.SetRowSel(4);
  g.SetColSel(2);
  EXPECT_EQ(g.Clip(), "100%\t101%\r\t\r200%\ttyped before\rtyped\t301%");
  EXPECT_EQ(g.Number(4, 2), 3.01);
  EXPECT_EQ(g.CellBackColorAt(3, 1), QColor(Qt::red));
  // Emptied and refilled to the same shape, as the results windows refill: nothing of the
  // source shows through the cells the refill leaves alone. A block cut by a smaller grid
  // does not grow back with it.
  g.SetRows(0);
  g.SetRows(6);
  EXPECT_EQ(g.TextMatrix(1, 1), "");
  g.SetCellSource(1, 1, std::make_shared<Hundredths>());
  g.SetCols(2);
  g.SetCols(4);
  EXPECT_EQ(g.TextMatrix(1, 1) + "|" + g.TextMatrix(1, 2), "100%|");
  g.Clear();
  EXPECT_EQ(g.TextMatrix(1, 1), "");
}

TEST(FlexGridShape, InsertedAndRemovedRowsMoveTheRowsBelowWithTheirNumbersAndColours) {
  FlexGrid g;
  g.SetRows(4);
  g.SetCols(3);
  for (int r = 0; r < 4; ++r) g.SetTextMatrix(r, 1, Name(r, 1));
  g.SetNumber(2, 2, 1.0 / 3.0, "0.3333333");
  g.SetCellBackColorAt(2, 2, Qt::red);
  g.SetCellBackColorAt(1, 2, Qt::blue);
  g.InsertRow(2);
  EXPECT_EQ(g.Rows(), 5);
  EXPECT_EQ(g.TextMatrix(2, 1) + "|" + g.TextMatrix(3, 1) + "|" + g.TextMatrix(4, 1), "|r2c1|r3c1");
  EXPECT_FALSE(g.Number(2, 2).has_value() || g.CellBackColorAt(2, 2).isValid());
  EXPECT_EQ(g.Number(3, 2), 1.0 / 3.0);
  g.RemoveRow(1);  // the blue row
  EXPECT_EQ(g.Number(2, 2), 1.0 / 3.0);
  EXPECT_EQ(g.CellBackColorAt(2, 2), QColor(Qt::red));
  EXPECT_FALSE(g.CellBackColorAt(1, 2).isValid());
  g.SetRow(3);
  g.RemoveRow(3);
  g.InsertRow(9);  // outside: nothing
  EXPECT_EQ(g.Rows(), 3);
  EXPECT_EQ(g.Row(), 2) << "the cursor stays within the grid";
}

TEST(FlexGridText, SizesAreInTwipsAtFifteenAPixel) {
  FlexGrid g;
  g.SetCols(3);
  g.SetColWidth(1, 1800);
  EXPECT_EQ(g.columnWidth(1), 120);
  EXPECT_EQ(g.ColWidth(1), 1800);
  g.SetRowHeight(0, 512);
  EXPECT_EQ(g.rowHeight(0), 34);
  EXPECT_EQ(g.RowHeight(0), 510) << "whole pixels, as the screen shows it";
  g.setColumnWidth(1, 80);  // the user widened it
  EXPECT_EQ(g.ColWidth(1), 1200);
  g.SetColWidth(7, 100);  // no such column: ignored
  EXPECT_EQ(g.ColWidth(7), 0);
}

TEST_F(GridWindow, CodeMovesRaiseTheCellEventsAndTextWritesRaiseNone) {
  grid->SetRow(3);
  EXPECT_EQ(events, (std::vector<std::string>{"Leave", "RowCol", "Enter", "Sel"}));
  events.clear();
  grid->SetTextMatrix(2, 2, "x");
  grid->SetText("y");
  grid->SetNumber(4, 4, 1.0, "1");
  EXPECT_TRUE(events.empty());
  grid->SetColSel(4);
  EXPECT_EQ(events, std::vector<std::string>{"Sel"});
  EXPECT_EQ(grid->Row(), 3);
  EXPECT_EQ(grid->ColSel(), 4);
  events.clear();
  grid->SetRow(3);  // the same cell: nothing moves but the selection, which collapses
  EXPECT_EQ(events, std::vector<std::string>{"Sel"});
  EXPECT_EQ(grid->ColSel(), grid->Col());
}

TEST_F(GridWindow, DragFromLowerRightKeepsTheAnchorAndClipsTheOrderedBlock) {
  Drag(grid->viewport(), At(4, 3), At(2, 1));
  EXPECT_EQ(grid->Row(), 4);
  EXPECT_EQ(grid->Col(), 3);
  EXPECT_EQ(grid->RowSel(), 2);
  EXPECT_EQ(grid->ColSel(), 1);
  EXPECT_EQ(grid->Clip(),
            "r2c1\tr2c2\tr2c3\r"
            "r3c1\tr3c2\tr3c3\r"
            "r4c1\tr4c2\tr4c3");
  EXPECT_EQ(events.back(), "Click");
}

TEST_F(GridWindow, AColumnHeadingKeepsTheCursorARowHeadingChoosesItsRow) {
  grid->SetRowCol(2, 2);
  events.clear();
  Click(grid->viewport(), At(0, 3));
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_TRUE(events.empty());
  // As a click on the row's first cell, with that click's events.
  Click(grid->viewport(), At(5, 0));
  EXPECT_EQ(grid->Row(), 5);
  EXPECT_EQ(grid->Col(), 1);
  EXPECT_EQ(events, (std::vector<std::string>{"Leave", "RowCol", "Enter", "Sel", "Click"}));
  Click(grid->viewport(), At(5, 4));
  EXPECT_EQ(grid->Row(), 5);
  EXPECT_EQ(grid->Col(), 4);
  Click(grid->viewport(), At(2, 1), Qt::ShiftModifier);
  EXPECT_EQ(grid->Row(), 5);
  EXPECT_EQ(grid->RowSel(), 2);
  EXPECT_EQ(grid->ColSel(), 1);
  testing::DoubleClick(grid->viewport(), At(3, 3));
  EXPECT_NE(std::find(events.begin(), events.end(), "DblClick"), events.end());
}

TEST_F(GridWindow, ArrowKeysMoveAndShiftExtendsWithinTheCells) {
  Key(Qt::Key_Down);
  Key(Qt::Key_Right);
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(grid->Col(), 2);
  Key(Qt::Key_Down, {}, Qt::ShiftModifier);
  Key(Qt::Key_Right, {}, Qt::ShiftModifier);
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(grid->RowSel(), 3);
  EXPECT_EQ(grid->ColSel(), 3);
  Key(Qt::Key_Home, {}, Qt::ControlModifier);
  EXPECT_EQ(grid->Row(), 1);
  EXPECT_EQ(grid->Col(), 1);
  Key(Qt::Key_Up);
  Key(Qt::Key_Left);
  EXPECT_EQ(grid->Row(), 1) << "the headings are never entered";
  EXPECT_EQ(grid->Col(), 1);
  Key(Qt::Key_End, {}, Qt::ControlModifier);
  EXPECT_EQ(grid->Row(), 7);
  EXPECT_EQ(grid->Col(), 5);
}

TEST_F(GridWindow, AHandlerSwallowsKeysAndSeesTypedCharactersWithoutASearch) {
  std::vector<int> codes;
  std::vector<int> chars;
  QObject::connect(grid, &FlexGrid::KeyDown, [&](int& code, int) {
    codes.push_back(code);
    if (code == keycode::kDown) code = 0;
  });
  QObject::connect(grid, &FlexGrid::KeyPress, [&](int& ch) { chars.push_back(ch); });
  Key(Qt::Key_Down);
  EXPECT_EQ(grid->Row(), 1) << "swallowed";
  Key(Qt::Key_F2);
  Key(Qt::Key_Return, "\r");
  Key(Qt::Key_R, "r");  // every cell starts with "r": no search may move the cursor
  Key(Qt::Key_unknown, QString::fromUtf8("\xC2\xB5"));
  // Alt with a letter no menu takes (Alt+F in a window whose menus have no access keys) is
  // a menu key, never typed into the cell.
  Key(Qt::Key_F, "f", Qt::AltModifier);
  EXPECT_EQ(codes, (std::vector<int>{40, 113, 13, 'R', 'F'}));
  EXPECT_EQ(chars, (std::vector<int>{13, 'r', 0xB5}));
  EXPECT_EQ(grid->Row(), 1);
  EXPECT_EQ(grid->Col(), 1);
}

TEST_F(GridWindow, ClipWritesIntoTheSelectedBlockOnly) {
  grid->SetRowCol(3, 3);
  grid->SetRowSel(2);
  grid->SetColSel(2);
  grid->SetClip("a\tb\tc\rd\te\rf");
  EXPECT_EQ(grid->TextMatrix(2, 2), "a");
  EXPECT_EQ(grid->TextMatrix(2, 3), "b");
  EXPECT_EQ(grid->TextMatrix(2, 4), "r2c4");
  EXPECT_EQ(grid->TextMatrix(3, 3), "e");
  EXPECT_EQ(grid->TextMatrix(4, 2), "r4c2");
}

TEST_F(GridWindow, ScrolledCellsStayOutOfTheFrozenHeadings) {
  grid->SetRows(2000);
  grid->SetRowCol(1500, 2);
  testing::ProcessEvents();
  const QRect cell = grid->visualRect(grid->model()->index(1500, 2));
  EXPECT_GE(cell.top(), grid->rowHeight(0));
  EXPECT_LE(cell.bottom(), grid->viewport()->height());
  // Where the heading row lies, a click finds a heading, not the cell scrolled under it.
  EXPECT_FALSE(grid->DataCellAt(QPoint(cell.center().x(), grid->rowHeight(0) / 2)).has_value());
  Click(grid->viewport(), QPoint(cell.center().x(), grid->rowHeight(0) / 2));
  EXPECT_EQ(grid->Row(), 1500);
  // The current cell's geometry in twips, as a window places a box over it.
  EXPECT_EQ(grid->CellTop(), (cell.top() + grid->viewport()->y()) * 15);
  EXPECT_EQ(grid->CellWidth(), grid->columnWidth(2) * 15);
}

// What a user sees of the cells: headings on the button colour, a coloured cell in its
// colour, the selected block highlighted, and each text drawn inside its own cell.
TEST_F(GridWindow, PaintsHeadingsColoursSelectionAndTexts) {
  grid->SetTextMatrix(0, 1, "\xB5g/m\xB3");
  grid->SetCellBackColorAt(2, 2, QColor(255, 0, 0));
  grid->SetRowCol(4, 3);
  grid->SetRowSel(5);
  grid->SetColSel(4);
  testing::ProcessEvents();
  const QImage shot = grid->grab().toImage();
  auto cell = [&](int r, int c) {
    return grid->visualRect(grid->model()->index(r, c)).translated(grid->viewport()->pos());
  };
  auto corner = [&](int r, int c) { return shot.pixelColor(cell(r, c).topLeft() + QPoint(2, 2)); };
  auto ink = [&](int r, int c) {
    const QColor back = corner(r, c);
    int dark = 0;
    const QRect box = cell(r, c).adjusted(1, 1, -1, -1);
    for (int y = box.top(); y <= box.bottom(); ++y)
      for (int x = box.left(); x <= box.right(); ++x)
        if (shot.pixelColor(x, y).lightness() < back.lightness() - 80) ++dark;
    return dark;
  };
  EXPECT_EQ(corner(2, 2), QColor(255, 0, 0));
  EXPECT_EQ(corner(0, 3), grid->palette().color(QPalette::Active, QPalette::Button));
  EXPECT_EQ(corner(5, 4), grid->palette().color(QPalette::Active, QPalette::Highlight));
  EXPECT_EQ(corner(3, 1), grid->palette().color(QPalette::Active, QPalette::Base));
  for (const auto& [r, c] : {std::pair{0, 1}, {0, 4}, {3, 0}, {3, 1}, {7, 5}})
    EXPECT_GT(ink(r, c), 10) << r << "," << c;
  grid->SetTextMatrix(6, 2, "");
  testing::ProcessEvents();
  const QImage empty = grid->grab().toImage();
  EXPECT_EQ(empty.pixelColor(cell(6, 2).center()), corner(6, 3));
}

}  // namespace
}  // namespace quarn
