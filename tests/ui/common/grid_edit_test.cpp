#include "ui/common/grid_edit.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <string>

#include <gtest/gtest.h>

#include "common/scripted_prompt.h"
#include "platform/clipboard.h"
#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/user_input.h"

namespace quarn {
namespace {

using testing::Click;
using testing::Drag;
using testing::Enter;
using testing::Escape;
using testing::Key;
using testing::ProcessEvents;
using testing::Type;

std::string Name(int r, int c) {
  return "r" + std::to_string(r) + "c" + std::to_string(c);
}

// A data window as the input windows lay it out: the edit box above the grid, and one
// more field to leave the box for.
class EditWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* layout = new QVBoxLayout(&window);
    box = new EditCellBox(&window);
    grid = new FlexGrid(&window);
    other = new QLineEdit(&window);
    layout->addWidget(box);
    layout->addWidget(grid);
    layout->addWidget(other);
    window.resize(600, 400);
    grid->SetRows(8);
    grid->SetCols(6);
    for (int r = 0; r < 8; ++r)
      for (int c = 0; c < 6; ++c) grid->SetTextMatrix(r, c, Name(r, c));
    edit = new GridEdit(*grid, *box, prompt, GridEdit::Wiring::Automatic, &window);
    edit->SetSharedFlags(&cell_edit_active, &grid_events_enabled);
    QObject::connect(edit, &GridEdit::CellCommitted, [this](int, int) { ++commits; });
    ASSERT_TRUE(testing::ShowActive(window));
    grid->setFocus();
    ProcessEvents();
  }
  QPoint At(int r, int c) const { return grid->CellCenter(r, c); }
  void Select(int row, int col, int row_sel, int col_sel) {
    grid->SetRowCol(row, col);
    grid->SetRowSel(row_sel);
    grid->SetColSel(col_sel);
  }
  std::string LastMessage() const { return prompt.shown.empty() ? "" : prompt.shown.back().text; }

  QWidget window;
  EditCellBox* box = nullptr;
  FlexGrid* grid = nullptr;
  QLineEdit* other = nullptr;
  GridEdit* edit = nullptr;
  quarn::testing::ScriptedPrompt prompt;
  bool cell_edit_active = false;
  bool grid_events_enabled = true;
  int commits = 0;
};

TEST_F(EditWindow, ADigitOpensTheBoxTheCellFollowsAndEnterStoresOnceAndMovesDown) {
  Type("7");
  EXPECT_TRUE(box->isVisible());
  EXPECT_TRUE(box->hasFocus());
  EXPECT_EQ(box->text(), "7");
  EXPECT_EQ(grid->TextMatrix(1, 1), "7") << "the cell shows what is typed";
  EXPECT_TRUE(cell_edit_active);
  Type("5");
  EXPECT_EQ(grid->TextMatrix(1, 1), "75");
  Enter();
  EXPECT_EQ(grid->TextMatrix(1, 1), "75");
  EXPECT_EQ(commits, 1);
  EXPECT_FALSE(box->isVisible());
  EXPECT_FALSE(edit->CellEditActive());
  EXPECT_EQ(cell_edit_active, 0);
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(grid->Col(), 1);
  EXPECT_TRUE(grid->hasFocus());
  EXPECT_EQ(grid->TextMatrix(2, 1), "r2c1") << "the next cell is untouched";
}

TEST_F(EditWindow, SignsArriveAsTheFirstCharacter) {
  Type("-");
  EXPECT_EQ(box->text(), "-");
  Escape();
  Type("+3");
  EXPECT_EQ(box->text(), "+3");
}

TEST_F(EditWindow, EnterOnTheGridMovesDownWithoutEditing) {
  Enter();
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_FALSE(box->isVisible());
  EXPECT_EQ(grid->TextMatrix(1, 1), "r1c1");
}

TEST_F(EditWindow, F2KeepsTheTextWithTheCaretAtItsEndAndArrowsCommitAtTheEdges) {
  grid->SetRowCol(2, 2);
  Key(Qt::Key_F2);
  EXPECT_EQ(box->text(), "r2c2");
  EXPECT_EQ(box->cursorPosition(), 4);
  Type("x");
  Key(Qt::Key_Right);  // at the end: commit and move right
  EXPECT_EQ(grid->TextMatrix(2, 2), "r2c2x");
  EXPECT_EQ(grid->Col(), 3);
  EXPECT_FALSE(box->isVisible());

  Key(Qt::Key_F2);
  Key(Qt::Key_Left);  // inside the text: the caret moves, the edit stays open
  EXPECT_TRUE(box->isVisible());
  EXPECT_EQ(box->cursorPosition(), 3);
  Key(Qt::Key_Right);  // not at the end any more... now it is
  EXPECT_TRUE(box->isVisible());
  EXPECT_EQ(box->cursorPosition(), 4);
  Key(Qt::Key_Home);
  Key(Qt::Key_Left);  // at the start: commit and move left
  EXPECT_FALSE(box->isVisible());
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->TextMatrix(2, 3), "r2c3");
}

TEST_F(EditWindow, EscapeRestoresTheOldText) {
  grid->SetRowCol(3, 2);
  Type("99");
  EXPECT_EQ(grid->TextMatrix(3, 2), "99");
  Escape();
  EXPECT_EQ(grid->TextMatrix(3, 2), "r3c2");
  EXPECT_FALSE(box->isVisible());
  EXPECT_EQ(box->text(), "");
  EXPECT_FALSE(edit->CellEditActive());
  EXPECT_EQ(commits, 0);
  EXPECT_EQ(grid->Row(), 3) << "Esc does not move";
  EXPECT_TRUE(grid->hasFocus());
}

TEST_F(EditWindow, AKeyOnAGridOfHeadingsOnlyDoesNothing) {
  grid->SetFixedCols(6);
  Type("7");
  Key(Qt::Key_F2);
  EXPECT_FALSE(box->isVisible());
  EXPECT_EQ(grid->TextMatrix(1, 1), "r1c1");
  EXPECT_EQ(grid->TextMatrix(1, 5), "r1c5");
}

TEST_F(EditWindow, AControlKeyOpensNoEdit) {
  Key(Qt::Key_C, QString(QChar(3)), Qt::ControlModifier);
  EXPECT_FALSE(box->isVisible());
  EXPECT_FALSE(edit->CellEditActive());
}

TEST_F(EditWindow, AClickOnAnotherCellStoresTheEditInTheEditedCell) {
  Type("42");
  Click(grid->viewport(), At(4, 3));
  EXPECT_EQ(grid->TextMatrix(1, 1), "42");
  EXPECT_EQ(grid->TextMatrix(4, 3), "r4c3");
  EXPECT_EQ(grid->Row(), 4);
  EXPECT_EQ(grid->Col(), 3);
  EXPECT_FALSE(box->isVisible());
  EXPECT_EQ(commits, 1);
}

TEST_F(EditWindow, LeavingForAnotherFieldStoresTheEditWithoutMoving) {
  grid->SetRowCol(2, 2);
  Type("abc");
  other->setFocus(Qt::TabFocusReason);
  ProcessEvents();
  EXPECT_EQ(grid->TextMatrix(2, 2), "abc");
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_FALSE(box->isVisible());
}

TEST_F(EditWindow, OpeningAMenuLeavesTheEditOpenAndTheMenuCommandStoresIt) {
  Type("12");
  QFocusEvent menu_opens(QEvent::FocusOut, Qt::PopupFocusReason);
  QApplication::sendEvent(box, &menu_opens);
  EXPECT_TRUE(edit->CellEditActive());
  EXPECT_TRUE(box->isVisible());
  edit->CommitOpenEdit();  // what every menu command does first
  EXPECT_EQ(grid->TextMatrix(1, 1), "12");
  EXPECT_FALSE(edit->CellEditActive());
  EXPECT_EQ(commits, 1);
  edit->CommitOpenEdit();  // nothing open: nothing written
  EXPECT_EQ(commits, 1);
}

// A comma is no decimal point here: an entry whose comma does not group thousands is refused
// with a message and kept in the box, selected, to be typed again, so that "1,5" is stored
// neither as 15 nor as 1. A command (Copy) waits for it, and so does a click on another cell:
// the entry is never dropped there, where the cell showed it as it was typed. Nor is "15*2/"
// stored, which would be read as 15.
TEST_F(EditWindow, ANumericBoxRefusesLettersAndAnEntryThatIsNotOneNumber) {
  edit->SetNumericOnly(true);
  Type("1a,5*2/4");
  EXPECT_EQ(box->text(), "1,5*2/4");
  Enter();
  ASSERT_EQ(prompt.Count("message"), 1U);
  EXPECT_EQ(prompt.shown[0].text,
            "Error.  \"1,5*2/4\" is not a number.  Decimals take a point (2.5); a comma "
            "can only separate thousands (1,500).");
  EXPECT_TRUE(box->isVisible());
  EXPECT_EQ(commits, 0);
  SetClipboardText("kept");
  edit->Copy();
  EXPECT_EQ(ClipboardText(), "kept");
  Click(grid->viewport(), At(3, 2));
  ProcessEvents();
  EXPECT_EQ(prompt.Count("message"), 2U);
  Type("15*2/");
  Enter();
  ASSERT_EQ(prompt.Count("message"), 3U);
  EXPECT_EQ(prompt.shown[2].text,
            "Error.  \"15*2/\" is not a number.  A number is written with digits, a point for "
            "decimals (2.5), a sign and a power of ten (1E-05), and nothing else.");
  Type("30");
  Enter();
  EXPECT_EQ(grid->TextMatrix(1, 1), "30");
  EXPECT_EQ(grid->TextMatrix(3, 2), Name(3, 2));
  grid->SetRowCol(2, 1);
  grid->SetTextMatrix(2, 1, "7");
  Type("x");  // refused: it opens no empty edit that Enter would store over the cell
  EXPECT_FALSE(box->isVisible());
  Enter();
  EXPECT_EQ(grid->TextMatrix(2, 1), "7");
  // Thousands grouped as the program shows them are taken, without their commas.
  grid->SetRowCol(4, 1);
  Type("8,760");
  Enter();
  EXPECT_EQ(grid->TextMatrix(4, 1), "8760");
  EXPECT_EQ(prompt.Count("message"), 3U);
}

// The Delete key types the DEL character on this system; it is a key, not a character,
// so a numeric box lets it delete and the grid opens no edit for it.
TEST_F(EditWindow, DeleteDeletesInANumericBoxAndOpensNoEditOnTheGrid) {
  const QString del(QChar(0x7F));
  Key(Qt::Key_Delete, del);
  EXPECT_FALSE(box->isVisible());
  EXPECT_FALSE(edit->CellEditActive());
  edit->SetNumericOnly(true);
  grid->SetTextMatrix(1, 1, "123");
  Key(Qt::Key_F2);
  Key(Qt::Key_Home);
  Key(Qt::Key_Delete, del);
  EXPECT_EQ(box->text(), "23");
  Enter();
  EXPECT_EQ(grid->TextMatrix(1, 1), "23");
}

TEST_F(EditWindow, ACellFilledFromANumberKeepsItUntilTheUserChangesIt) {
  grid->SetNumber(1, 1, 123.456, "123");  // shown through a three-digit mask
  Key(Qt::Key_F2);
  Enter();  // looked at, not changed
  EXPECT_EQ(grid->TextMatrix(1, 1), "123");
  EXPECT_EQ(grid->Number(1, 1), 123.456);
  grid->SetRowCol(1, 1);
  Type("7");
  Enter();
  EXPECT_FALSE(grid->Number(1, 1).has_value());
  EXPECT_EQ(grid->TextMatrix(1, 1), "7");
}

TEST_F(EditWindow, EscapeAfterTypingOverANumberGivesBackTheExactNumber) {
  grid->SetNumber(2, 2, 123.456, "123");  // shown through a three-digit mask
  grid->SetRowCol(2, 2);
  Type("9");
  EXPECT_EQ(grid->TextMatrix(2, 2), "9") << "the cell shows what is typed";
  Escape();
  EXPECT_EQ(grid->TextMatrix(2, 2), "123");
  ASSERT_TRUE(grid->Number(2, 2).has_value()) << "a cancelled edit changes nothing";
  EXPECT_EQ(*grid->Number(2, 2), 123.456);
}

TEST_F(EditWindow, WithTextSelectedTheArrowsLookAtTheStartOfTheSelection) {
  grid->SetRowCol(2, 2);
  Key(Qt::Key_F2);
  box->selectAll();  // the whole text selected, the caret at its end
  ASSERT_EQ(box->cursorPosition(), 4);
  Key(Qt::Key_Right);  // the selection starts at 0, not at the end: the edit stays open
  EXPECT_TRUE(box->isVisible());
  EXPECT_EQ(grid->Col(), 2);
  box->selectAll();
  Key(Qt::Key_Left);  // the selection starts at 0: commit and move left
  EXPECT_FALSE(box->isVisible());
  EXPECT_EQ(grid->TextMatrix(2, 2), "r2c2");
  EXPECT_EQ(grid->Col(), 1);
}

// ---- clipboard ----

TEST(ClipboardParse, LinesEndWithCrLfCrOrLfAndTheFirstLineGivesTheWidth) {
  for (const char* text : {"a\tb\r\nc\td\r\n", "a\tb\nc\td\n", "a\tb\rc\td\r", "a\tb\rc\td"}) {
    const ClipboardBlock b = ParseClipboardText(text);
    EXPECT_EQ(b.LineCount(), 2) << text;
    EXPECT_EQ(b.fields, 2) << text;
    EXPECT_EQ(b.lines[1], "c\td") << text;
  }
  const ClipboardBlock wider_later = ParseClipboardText("a\nb\tc\td\n");
  EXPECT_EQ(wider_later.fields, 1);
  const ClipboardBlock inner_empty = ParseClipboardText("a\n\nb\n");
  EXPECT_EQ(inner_empty.LineCount(), 3) << "only the one empty last line is dropped";
  EXPECT_EQ(ParseClipboardText("").LineCount(), 0);
  EXPECT_EQ(SplitFields("x\t\ty"), (std::vector<std::string>{"x", "", "y"}));
}

TEST_F(EditWindow, CopyPutsTheOrderedBlockOnTheClipboard) {
  Drag(grid->viewport(), At(3, 2), At(2, 1));
  edit->Copy();
  EXPECT_EQ(ClipboardText(), "r2c1\tr2c2\rr3c1\tr3c2");
}

TEST_F(EditWindow, APasteOfTwoByTwoGivesTheSameCellsWhateverTheLineEnds) {
  for (const char* text : {"a\tb\r\nc\td\r\n", "a\tb\nc\td\n", "a\tb\rc\td"}) {
    for (int r = 0; r < 8; ++r)
      for (int c = 0; c < 6; ++c) grid->SetTextMatrix(r, c, Name(r, c));
    grid->SetRowCol(2, 3);
    SetClipboardText(text);
    edit->Paste();
    EXPECT_EQ(grid->TextMatrix(2, 3), "a") << text;
    EXPECT_EQ(grid->TextMatrix(2, 4), "b") << text;
    EXPECT_EQ(grid->TextMatrix(3, 3), "c") << text;
    EXPECT_EQ(grid->TextMatrix(3, 4), "d") << text;
    EXPECT_EQ(grid->TextMatrix(4, 3), "r4c3") << text;
    EXPECT_EQ(grid->TextMatrix(2, 5), "r2c5") << text;
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Col(), 3);
  }
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(EditWindow, EachPasteCheckShowsItsMessageAndWritesNothing) {
  struct Case {
    int row, col, row_sel, col_sel;
    const char* clip;
    const char* message;
  };
  const Case cases[] = {
      {1, 1, 3, 1, "a\nb\n", "You have selected more rows than data available."},
      {1, 1, 1, 3, "a\tb\n", "You have selected more columns than data available."},
      {1, 1, 1, 1, "1\n2\n3\n4\n5\n6\n7\n8\n", "Too much data to paste"},
      {1, 1, 1, 1, "1\t2\t3\t4\t5\t6\n", "Too much data to paste"},
      {1, 1, 2, 1, "a\nb\nc\n", "Error. Too many rows of data to paste."},
      {1, 1, 1, 2, "a\tb\tc\n", "Error.  Too many columns of data to paste."},
      {3, 5, 3, 5, "a\tb\n", "Error. Too many columns"},  // one column past the edge
      {7, 1, 7, 1, "a\nb\n", "Error. Too many rows"},
  };
  for (const Case& k : cases) {
    prompt.shown.clear();
    Select(k.row, k.col, k.row_sel, k.col_sel);
    SetClipboardText(k.clip);
    edit->Paste();
    ASSERT_EQ(prompt.shown.size(), 1u) << k.message;
    EXPECT_EQ(prompt.shown[0].text, k.message);
    EXPECT_EQ(prompt.shown[0].kind, "message");
    EXPECT_EQ(prompt.shown[0].title, "Quarn");
    EXPECT_EQ(prompt.shown[0].icon, MessageIcon::None);
    for (int r = 0; r < 8; ++r)
      for (int c = 0; c < 6; ++c) ASSERT_EQ(grid->TextMatrix(r, c), Name(r, c)) << k.message;
  }
}

TEST_F(EditWindow, ABottomUpSelectionPastesFromItsTopLeftCell) {
  Drag(grid->viewport(), At(3, 2), At(2, 1));  // anchor on the bottom row
  ASSERT_EQ(grid->Row(), 3);
  SetClipboardText("a\tb\r\nc\td\r\n");
  edit->Paste();
  EXPECT_EQ(grid->TextMatrix(2, 1), "a");
  EXPECT_EQ(grid->TextMatrix(2, 2), "b");
  EXPECT_EQ(grid->TextMatrix(3, 1), "c");
  EXPECT_EQ(grid->TextMatrix(3, 2), "d");
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(grid->Col(), 1);
}

TEST_F(EditWindow, ALongerLineFillsTheLastColumnOfASelectedBlockWithItsLastField) {
  Select(1, 1, 2, 2);
  SetClipboardText("a\tb\r\nc\td\te\tf\r\n");
  edit->Paste();
  EXPECT_EQ(grid->TextMatrix(2, 1), "c");
  EXPECT_EQ(grid->TextMatrix(2, 2), "f");
  EXPECT_EQ(grid->TextMatrix(2, 3), "r2c3");
}

TEST_F(EditWindow, PasteStoresAnOpenEditFirstAndRaisesNoCellEvents) {
  int events = 0;
  QObject::connect(grid, &FlexGrid::SelChange, [&] { ++events; });
  QObject::connect(grid, &FlexGrid::EnterCell, [&] { ++events; });
  grid->SetRowCol(5, 4);
  events = 0;
  Type("typed");
  SetClipboardText("p");
  edit->Paste();
  EXPECT_EQ(grid->TextMatrix(5, 4), "p") << "the typed text was stored, then pasted over";
  EXPECT_EQ(commits, 1);
  EXPECT_EQ(events, 0);
  EXPECT_TRUE(grid_events_enabled);
}

TEST_F(EditWindow, CutAfterASelectionMadeWhileGridEventsWereOffClearsTheCutBlock) {
  grid_events_enabled = 0;  // a window's selection handler would not have run
  Drag(grid->viewport(), At(2, 2), At(4, 3));
  edit->Cut();
  EXPECT_EQ(ClipboardText(), "r2c2\tr2c3\rr3c2\tr3c3\rr4c2\tr4c3");
  for (int r = 2; r <= 4; ++r)
    for (int c = 2; c <= 3; ++c) EXPECT_EQ(grid->TextMatrix(r, c), "") << r << "," << c;
  EXPECT_EQ(grid->TextMatrix(5, 2), "r5c2");
  EXPECT_EQ(grid->TextMatrix(2, 1), "r2c1");
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->RowSel(), 2);
}

TEST_F(EditWindow, ClearEmptiesTheBlockAndReturnsToItsFirstCell) {
  Select(4, 3, 3, 2);
  edit->Clear();
  EXPECT_EQ(grid->TextMatrix(3, 2), "");
  EXPECT_EQ(grid->TextMatrix(4, 3), "");
  EXPECT_EQ(grid->TextMatrix(4, 4), "r4c4");
  EXPECT_EQ(grid->Row(), 3);
  EXPECT_EQ(grid->Col(), 2);
}

}  // namespace
}  // namespace quarn
