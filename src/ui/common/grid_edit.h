#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quarn {

class FlexGrid;
class EditCellBox;
class Prompt;
struct GridBlock;

// A block of clipboard text: its lines, and the field count of its first line, which
// alone decides how wide the block is.
struct ClipboardBlock {
  std::vector<std::string> lines;
  int fields = 0;
  int LineCount() const { return static_cast<int>(lines.size()); }
};

// Splits clipboard text into lines at CR LF, CR or LF (other programs end lines with any
// of them) and drops one empty last line, so that a block copied with a line end after
// its last row counts no extra row.
ClipboardBlock ParseClipboardText(const std::string& text);

// The cells of one line, split at TAB.
std::vector<std::string> SplitFields(const std::string& line);

// Why a text cannot be stored as typed in the building and scenario files (a double quote in a
// text that has a comma, in the words of the message that refuses it); empty when it can.
std::string FileTextFault(const std::string& text);

// How a message names a cell: by the headings of its row and column as the grid shows them
// (`row 2 (Kitchen), column "Length m"`), by their numbers where a grid has none.
std::string CellName(const FlexGrid& grid, int row, int col);

// One window's in-place editing of its grid: the grid never takes typed text; a typed
// character or F2 opens the window's edit box, the cell shows the text while it is typed,
// and Enter, Tab, an arrow at the edge of the text, or leaving the box stores the text as
// typed into the edited cell and moves on (Enter down, Tab right); Esc drops the edit. The same
// object copies, cuts, clears and pastes rectangular blocks through the clipboard as tab-separated
// text.
//
// Every input window makes one and keeps it for its life. By default it connects itself
// to the grid's and the box's events; a window with its own key handling passes
// Wiring::Manual and forwards the events to the procedures below.
class GridEdit : public QObject {
  Q_OBJECT

 public:
  enum class Wiring { Automatic, Manual };

  GridEdit(FlexGrid& grid, EditCellBox& edit_cell, Prompt& prompt,
           Wiring wiring = Wiring::Automatic, QObject* parent = nullptr);

  // Which cells hold numbers. A number cell's box takes only the characters of a number
  // (IsNumberEntryCharacter), and it stores, typed or pasted, only a text that reads as one
  // number (NumberEntryFault). SetNumericOnly makes every cell or none a number cell.
  void SetNumberCells(std::function<bool(int row, int col)> is_number_cell);
  void SetNumericOnly(bool numeric_only);
  bool IsNumberCell(int row, int col) const;

  // Whether the other cells' texts go into the building and scenario files, which refuse, typed
  // or pasted, a text they could not give back as it was typed (FileTextFault).
  void SetFileText(bool file_text) { file_text_ = file_text; }

  // Whether the cell shows the text while it is typed (the default). A window whose cell
  // must keep its value until the edit is committed (its row handlers read the cell on
  // every cursor move) turns this off; the text then reaches the cell only on commit.
  void SetMirrorTyping(bool mirror) { mirror_typing_ = mirror; }
  bool MirrorTyping() const { return mirror_typing_; }

  // The windows' shared flags that this session keeps up to date (either may be null):
  // cell_edit_active while an edit is open; grid_events_enabled false during a block command.
  void SetSharedFlags(bool* cell_edit_active, bool* grid_events_enabled);

  // The edit state.
  bool CellEditActive() const { return cell_edit_active_; }
  int EditRow() const { return edit_row_; }
  int EditCol() const { return edit_col_; }
  const std::string& OldCellText() const { return old_cell_text_; }
  // Whether the box holds an entry that differs from the cell it came from: closing the
  // window now would lose it.
  bool HoldsTypedEntry() const;

  // Every menu command of a window calls this first, so the cell being typed is never lost.
  // False when the entry was refused (a comma in a number): the edit stays open for the
  // user to mend, and the command must not go on without it.
  bool CommitOpenEdit();

  // Edit menu commands. Each stores an open edit first, reads the selection from the grid
  // and runs with the grid's signals blocked, so that the window's cell handlers do not
  // react to the cursor moves and writes of the command.
  void Copy();
  void Cut();
  void Clear();
  void Paste();

  // The procedures the events go to.
  void GridKeyDown(int& key_code, int shift);
  void GridKeyPress(int& key_ascii);
  void StartCellEdit(int key_ascii, int mode);  // mode 1: start with the cell's text
  void EditCellKeyDown(int& key_code, int shift);
  void EditCellKeyPress(int& key_ascii);
  void EditCellChange();
  void EditCellLostFocus(Qt::FocusReason reason);
  // Stores the box's text into the edited cell and moves on; false, storing nothing, for a
  // number entry that holds a comma, which is refused with a message and left in the box.
  bool CommitCellEdit(int direction);
  // Called by a CellCommitted handler that refused the text and put the cursor back on the
  // cell for a new entry: the commit's own move (Enter's step down) does not follow.
  void KeepCursor() { keep_cursor_ = true; }
  // Moves the grid's cursor one cell for 37, 38, 39 or 40 (Left, Up, Right, Down), after
  // the current handler has returned; any other code does nothing.
  void MoveGridCursor(int direction);

 signals:
  // A text was stored into a cell by a commit.
  void CellCommitted(int row, int col);

 private:
  class BlockCommand;
  struct CellWrite {
    int row;
    int col;
    std::string text;
  };
  // Why the text cannot go into that cell; empty when it can.
  std::string EntryFault(int row, int col, const std::string& text, bool numeric) const;
  // The writes of a paste into the block, each cell's last text only; false after a message
  // when one of them would be refused, and nothing may be written.
  bool PasteWrites(const GridBlock& block, const ClipboardBlock& clip,
                   std::vector<CellWrite>& writes);
  bool Store(int direction, bool tell_refusal);
  // Stores an edit still open before another starts; false when it was refused.
  bool EndPendingEdit();
  void Message(const char* text);
  void SetActive(bool active);
  void CloseBox();
  void PutBackOldCell();

  FlexGrid& grid_;
  EditCellBox& box_;
  Prompt& prompt_;
  std::function<bool(int, int)> is_number_cell_;
  bool file_text_ = false;
  // Whether the edit open now is a number's, as the session was when it opened: a click on
  // a text column that ends it must not let a comma through.
  bool edit_numeric_ = false;
  // The refusal of the entry in the box has been said since it was last changed: a click on
  // a menu command leaves the box first, and the command need not say it a second time.
  bool refusal_told_ = false;
  bool mirror_typing_ = true;
  bool cell_edit_active_ = false;
  bool keep_cursor_ = false;
  bool* shared_cell_edit_active_ = nullptr;
  bool* shared_grid_events_enabled_ = nullptr;
  int edit_row_ = 0;
  int edit_col_ = 0;
  std::string old_cell_text_;
  // The exact number the edited cell was filled from, given back by Esc with its text.
  std::optional<double> old_cell_number_;
};

// Runs the command of that name, when there is one, after storing the cell being typed, so
// that no command looks at a grid without it.
void RunNamedCommand(GridEdit& edit, const std::map<std::string, std::function<void()>>& commands,
                     const std::string& name);

}  // namespace quarn
