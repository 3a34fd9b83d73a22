#include "ui/common/grid_edit.h"

#include <QSignalBlocker>
#include <algorithm>
#include <utility>

#include "files/item_file.h"
#include "model/prompt.h"
#include "platform/clipboard.h"
#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "quarn_version.h"
#include "text/number_read.h"
#include "ui/common/grid_operations.h"
#include "ui/common/number_entry.h"

namespace quarn {

ClipboardBlock ParseClipboardText(const std::string& text) {
  ClipboardBlock block;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '\r' || ch == '\n') {
      block.lines.push_back(std::move(line));
      line.clear();
      if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += ch;
    }
  }
  // The text after the last line end is a last line unless it is empty.
  if (!line.empty()) block.lines.push_back(std::move(line));
  if (!block.lines.empty()) {
    block.fields =
        static_cast<int>(std::count(block.lines[0].begin(), block.lines[0].end(), '\t')) + 1;
  }
  return block;
}

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields(1);
  for (char ch : line) {
    if (ch == '\t') {
      fields.emplace_back();
    } else {
      fields.back() += ch;
    }
  }
  return fields;
}

std::string FileTextFault(const std::string& text) {
  if (item_file::TextReadsBackAsWritten(text)) return {};
  return "\"" + text +
         "\" cannot be saved as it is typed: the files hold a double quote (\") only in a text "
         "without a comma that neither begins with a double quote nor begins or ends with a "
         "blank.  Leave out the double quote or the comma.";
}

namespace {

std::string Trimmed(std::string text) {
  std::replace(text.begin(), text.end(), '\r', ' ');
  std::replace(text.begin(), text.end(), '\n', ' ');
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string CellName(const FlexGrid& grid, int row, int col) {
  const std::string number = std::to_string(row - grid.FixedRows() + 1);
  std::string headings;
  for (int c = 0; c < grid.FixedCols(); ++c) {
    const std::string heading = Trimmed(grid.TextMatrix(row, c));
    if (heading.empty() || heading == number) continue;
    headings += (headings.empty() ? "" : ", ") + heading;
  }
  std::string name = "row " + number + (headings.empty() ? "" : " (" + headings + ")");
  std::string column;
  for (int r = 0; r < grid.FixedRows(); ++r) {
    const std::string heading = Trimmed(grid.TextMatrix(r, col));
    if (!heading.empty()) column += (column.empty() ? "" : " ") + heading;
  }
  return name + ", column " +
         (column.empty() ? std::to_string(col - grid.FixedCols() + 1) : "\"" + column + "\"");
}

// A block command runs with the window's grid handlers quiet: the grid's signals are
// blocked, and the program's flag says so for handlers that look at it.
class GridEdit::BlockCommand {
 public:
  explicit BlockCommand(GridEdit& edit) : edit_(edit), blocker_(&edit.grid_) {
    if (edit_.shared_grid_events_enabled_ != nullptr) *edit_.shared_grid_events_enabled_ = false;
  }
  ~BlockCommand() {
    if (edit_.shared_grid_events_enabled_ != nullptr) *edit_.shared_grid_events_enabled_ = true;
  }
  BlockCommand(const BlockCommand&) = delete;
  BlockCommand& operator=(const BlockCommand&) = delete;

 private:
  GridEdit& edit_;
  QSignalBlocker blocker_;
};

GridEdit::GridEdit(FlexGrid& grid, EditCellBox& edit_cell, Prompt& prompt, Wiring wiring,
                   QObject* parent)
    : QObject(parent), grid_(grid), box_(edit_cell), prompt_(prompt) {
  box_.hide();
  if (wiring == Wiring::Manual) return;
  connect(&grid_, &FlexGrid::KeyDown, this, &GridEdit::GridKeyDown);
  connect(&grid_, &FlexGrid::KeyPress, this, &GridEdit::GridKeyPress);
  connect(&box_, &EditCellBox::KeyDown, this, &GridEdit::EditCellKeyDown);
  connect(&box_, &EditCellBox::KeyPress, this, &GridEdit::EditCellKeyPress);
  connect(&box_, &QLineEdit::textChanged, this, [this] { EditCellChange(); });
  connect(&box_, &EditCellBox::LostFocus, this, &GridEdit::EditCellLostFocus);
}

void GridEdit::SetNumberCells(std::function<bool(int row, int col)> is_number_cell) {
  is_number_cell_ = std::move(is_number_cell);
}

void GridEdit::SetNumericOnly(bool numeric_only) {
  is_number_cell_ = [numeric_only](int, int) { return numeric_only; };
}

bool GridEdit::IsNumberCell(int row, int col) const {
  return is_number_cell_ && is_number_cell_(row, col);
}

bool GridEdit::HoldsTypedEntry() const {
  return cell_edit_active_ && FromQt(box_.text()) != old_cell_text_;
}

void GridEdit::SetSharedFlags(bool* cell_edit_active, bool* grid_events_enabled) {
  shared_cell_edit_active_ = cell_edit_active;
  shared_grid_events_enabled_ = grid_events_enabled;
}

void GridEdit::SetActive(bool active) {
  cell_edit_active_ = active;
  if (shared_cell_edit_active_ != nullptr) *shared_cell_edit_active_ = active;
}

void GridEdit::Message(const char* text) {
  // Block commands report in a plain box under the program's own title.
  prompt_.Message(text, kProgramTitle, MessageIcon::None);
}

// ---- keys on the grid ----

void GridEdit::GridKeyDown(int& key_code, int /*shift*/) {
  if (key_code == keycode::kReturn || key_code == keycode::kEscape) {
    key_code = 0;
    return;
  }
  if (key_code == keycode::kF2 && grid_.HasCurrentCell()) {
    if (!EndPendingEdit()) return;
    edit_row_ = grid_.Row();
    edit_col_ = grid_.Col();
    old_cell_text_ = grid_.Text();
    old_cell_number_ = grid_.Number(edit_row_, edit_col_);
    StartCellEdit(0, 1);
  }
}

void GridEdit::GridKeyPress(int& key_ascii) {
  const int ch = key_ascii;
  key_ascii = 0;
  if (ch == keycode::kReturn) {
    MoveGridCursor(keycode::kDown);
    return;
  }
  if (ch == keycode::kEscape) return;
  // Control characters (Ctrl+C and the like) type nothing, so they open no edit.
  if (ch < 32 && ch != keycode::kBack) return;
  // The key that opens the box is refused as the box would refuse it.
  if (IsNumberCell(grid_.Row(), grid_.Col()) && !IsNumberEntryCharacter(ch)) return;
  if (!grid_.HasCurrentCell() || grid_.Col() < grid_.FixedCols() ||
      grid_.Row() < grid_.FixedRows()) {
    return;
  }
  if (!EndPendingEdit()) return;
  edit_row_ = grid_.Row();
  edit_col_ = grid_.Col();
  old_cell_text_ = grid_.Text();
  old_cell_number_ = grid_.Number(edit_row_, edit_col_);
  StartCellEdit(ch, 0);
}

void GridEdit::StartCellEdit(int key_ascii, int mode) {
  edit_numeric_ = IsNumberCell(edit_row_, edit_col_);
  // The box is filled before the edit counts as open, so that filling it does not write
  // the cell it came from.
  if (mode == 1) {
    box_.setText(ToQt(grid_.Text()));
    box_.end(false);
  } else {
    box_.clear();
  }
  SetActive(true);
  box_.show();
  box_.setFocus(Qt::OtherFocusReason);
  if (key_ascii != 0) box_.TypeCharacter(key_ascii);
}

// ---- keys in the box ----

void GridEdit::EditCellKeyDown(int& key_code, int shift) {
  const int length = static_cast<int>(box_.text().size());
  // Where the caret stands is where the selection starts, whichever way it was selected:
  // a whole text selected is at position 0, not at its end.
  const int caret = box_.hasSelectedText() ? box_.selectionStart() : box_.cursorPosition();
  int direction = 0;
  switch (key_code) {
    case keycode::kReturn:
    case keycode::kDown:
      direction = keycode::kDown;
      break;
    case keycode::kTab:
      direction = (shift & kShiftMask) != 0 ? keycode::kLeft : keycode::kRight;
      break;
    case keycode::kLeft:
      if (caret == 0) direction = keycode::kLeft;
      break;
    case keycode::kUp:
      if (caret == length) direction = keycode::kUp;
      break;
    case keycode::kRight:
      if (caret == length) direction = keycode::kRight;
      break;
    default:
      break;
  }
  if (direction == 0) return;
  key_code = 0;
  CommitCellEdit(direction);
}

void GridEdit::EditCellKeyPress(int& key_ascii) {
  const int ch = key_ascii;
  if (ch == keycode::kReturn) {
    key_ascii = 0;  // the KeyDown handler commits
    return;
  }
  if (ch == keycode::kEscape) {
    key_ascii = 0;
    const bool had_focus = box_.hasFocus();
    SetActive(false);  // before the box empties, so that emptying it writes no cell
    PutBackOldCell();
    old_cell_text_.clear();
    old_cell_number_.reset();
    CloseBox();
    if (had_focus) grid_.setFocus(Qt::OtherFocusReason);
    return;
  }
  // Control characters (Ctrl+A, Ctrl+C, ...) are the box's own commands, not typed text.
  if (ch < 32) return;
  if (edit_numeric_ && !IsNumberEntryCharacter(ch)) key_ascii = 0;
}

void GridEdit::PutBackOldCell() {
  // The cell is as it was before the edit, the exact number behind its text included.
  if (old_cell_number_) {
    grid_.SetNumber(edit_row_, edit_col_, *old_cell_number_, old_cell_text_);
  } else {
    grid_.SetTextMatrix(edit_row_, edit_col_, old_cell_text_);
  }
}

void GridEdit::EditCellChange() {
  refusal_told_ = false;
  if (mirror_typing_ && cell_edit_active_ && grid_.Row() == edit_row_ && grid_.Col() == edit_col_) {
    grid_.SetText(FromQt(box_.text()));
  }
  if (shared_grid_events_enabled_ != nullptr) *shared_grid_events_enabled_ = true;
}

void GridEdit::EditCellLostFocus(Qt::FocusReason reason) {
  // A menu opening or another program coming to the front leaves the edit open: the menu
  // command stores it itself, and the user comes back to the box.
  if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return;
  if (!cell_edit_active_) return;
  if (!box_.text().isEmpty()) {
    CommitCellEdit(0);
  } else {
    // Nothing typed: the cell already shows what the box held (or, without mirroring,
    // still holds its old text); close without a write.
    SetActive(false);
    CloseBox();
  }
}

void GridEdit::CloseBox() {
  // Hiding the focused box moves the focus and raises LostFocus; the edit is closed by
  // then, so that cannot store a second time.
  box_.clear();
  box_.hide();
}

bool GridEdit::CommitCellEdit(int direction) {
  return Store(direction, true);
}

bool GridEdit::Store(int direction, bool tell_refusal) {
  if (!cell_edit_active_ && !box_.isVisible()) return true;
  std::string text = FromQt(box_.text());
  const std::string fault = EntryFault(edit_row_, edit_col_, text, edit_numeric_);
  if (!fault.empty()) {
    // Read by its leading number, or with a comma taken for a thousands separator, "2,5" or
    // "7x" would be a number the user did not mean: nothing is stored until the entry reads
    // as one number (or, in a text cell, as a text the files give back as typed).
    if (tell_refusal) prompt_.Message("Error.  " + fault, "Error", MessageIcon::Exclamation);
    refusal_told_ = true;
    // Back to the box, its text selected for the new entry, once a focus change that is
    // under way (a click on another cell) has ended.
    box_.setFocus(Qt::OtherFocusReason);
    QMetaObject::invokeMethod(
        &box_,
        [box = &box_] {
          if (!box->isVisible()) return;
          box->setFocus(Qt::OtherFocusReason);
          box->selectAll();
        },
        Qt::QueuedConnection);
    return false;
  }
  // Thousands grouped as the program shows them ("8,760") are stored without the commas, so
  // that a cell read up to its first comma reads the whole number.
  if (edit_numeric_) text = StoredNumberText(text);
  const bool had_focus = box_.hasFocus();
  SetActive(false);
  CloseBox();
  // The text goes into the cell that was edited, wherever the cursor is now (a click on
  // another cell that took the focus away leaves the cursor on the clicked cell).
  grid_.SetTextMatrix(edit_row_, edit_col_, text);
  keep_cursor_ = false;
  emit CellCommitted(edit_row_, edit_col_);
  if (had_focus) grid_.setFocus(Qt::OtherFocusReason);
  if (!keep_cursor_) MoveGridCursor(direction);
  keep_cursor_ = false;
  return true;
}

bool GridEdit::EndPendingEdit() {
  // A refused entry still in the box is never dropped for a new one: it would stay in its
  // cell, where it was shown while typed.
  if (!cell_edit_active_) return true;
  return Store(0, !refusal_told_);
}

bool GridEdit::CommitOpenEdit() {
  if (cell_edit_active_ || box_.isVisible()) return Store(0, !refusal_told_);
  return true;
}

void GridEdit::MoveGridCursor(int direction) {
  int dr = 0;
  int dc = 0;
  switch (direction) {
    case keycode::kDown:
      dr = 1;
      break;
    case keycode::kUp:
      dr = -1;
      break;
    case keycode::kRight:
      dc = 1;
      break;
    case keycode::kLeft:
      dc = -1;
      break;
    default:
      return;
  }
  // Like a key the user pressed: it acts after the handler that asked for it.
  QMetaObject::invokeMethod(
      &grid_, [grid = &grid_, dr, dc] { MoveCursorBy(*grid, dr, dc); }, Qt::QueuedConnection);
}

// ---- block commands ----

void GridEdit::Copy() {
  if (!CommitOpenEdit()) return;
  ClearClipboard();
  SetClipboardText(grid_.Clip());
}

void GridEdit::Clear() {
  if (!CommitOpenEdit()) return;
  BlockCommand quiet(*this);
  const GridBlock b = SelectedBlock(grid_);
  if (b.right > grid_.Cols() - 1) return Message("Error. Too many columns");
  if (b.bottom > grid_.Rows() - 1) return Message("Error. Too many rows");
  for (int r = b.top; r <= b.bottom; ++r)
    for (int c = b.left; c <= b.right; ++c) grid_.SetTextMatrix(r, c, std::string());
  grid_.SetRowCol(b.top, b.left);
}

void GridEdit::Cut() {
  if (!CommitOpenEdit()) return;
  Copy();
  Clear();
}

std::string GridEdit::EntryFault(int row, int col, const std::string& text, bool numeric) const {
  // A number entry may keep the unit its cell showed when the edit began.
  const std::string& shown = cell_edit_active_ ? old_cell_text_ : grid_.TextMatrix(row, col);
  if (numeric) return NumberEntryFault(text, shown);
  return file_text_ ? FileTextFault(text) : std::string();
}

bool GridEdit::PasteWrites(const GridBlock& block, const ClipboardBlock& clip,
                           std::vector<CellWrite>& writes) {
  for (int i = 0; i <= block.bottom - block.top && i < clip.LineCount(); ++i) {
    const std::vector<std::string> fields = SplitFields(clip.lines[static_cast<size_t>(i)]);
    // A line longer than the block writes its further fields into the last column, so that
    // the last one stays there.
    const int last = std::min(block.left + static_cast<int>(fields.size()) - 1, block.right);
    for (int c = block.left; c <= last; ++c) {
      const size_t field =
          c < block.right ? static_cast<size_t>(c - block.left) : fields.size() - 1;
      writes.push_back({block.top + i, c, fields[field]});
    }
  }
  // Every value is judged as if it were typed into its cell, before the first is written.
  for (CellWrite& w : writes) {
    const bool numeric = IsNumberCell(w.row, w.col);
    const std::string fault = EntryFault(w.row, w.col, w.text, numeric);
    if (!fault.empty()) {
      prompt_.Message(
          "Error.  Nothing was pasted.  In " + CellName(grid_, w.row, w.col) + ", " + fault,
          "Error", MessageIcon::Exclamation);
      return false;
    }
    if (numeric) w.text = StoredNumberText(w.text);
  }
  return true;
}

void GridEdit::Paste() {
  if (!CommitOpenEdit()) return;
  BlockCommand quiet(*this);
  GridBlock b = SelectedBlock(grid_);
  const int block_rows = b.bottom - b.top + 1;
  const int block_cols = b.right - b.left + 1;
  const ClipboardBlock clip = ParseClipboardText(ClipboardText());
  const int lines = clip.LineCount();
  const int fields = clip.fields;
  if (block_rows > lines) return Message("You have selected more rows than data available.");
  if (block_cols > fields) {
    return Message("You have selected more columns than data available.");
  }
  if (lines > grid_.Rows() - grid_.FixedRows()) return Message("Too much data to paste");
  if (fields > grid_.Cols() - grid_.FixedCols()) return Message("Too much data to paste");
  if (block_rows > 1 && lines > block_rows) {
    return Message("Error. Too many rows of data to paste.");
  }
  if (block_rows == 1 && block_cols > 1 && fields > block_cols) {
    return Message("Error.  Too many columns of data to paste.");
  }
  // A single row or column selected stretches to the size of the data.
  if (block_rows == 1) b.bottom = b.top + lines - 1;
  if (block_cols == 1) b.right = b.left + fields - 1;
  // Every cell written must exist: the whole block is checked before the first write.
  if (b.right > grid_.Cols() - 1) return Message("Error. Too many columns");
  if (b.bottom > grid_.Rows() - 1) return Message("Error. Too many rows");
  std::vector<CellWrite> writes;
  if (!PasteWrites(b, clip, writes)) return;
  for (const CellWrite& w : writes) grid_.SetTextMatrix(w.row, w.col, w.text);
  grid_.SetRowCol(b.top, b.left);
}

void RunNamedCommand(GridEdit& edit, const std::map<std::string, std::function<void()>>& commands,
                     const std::string& name) {
  const auto it = commands.find(name);
  if (it == commands.end()) return;
  if (!edit.CommitOpenEdit()) return;
  it->second();
}

}  // namespace quarn
