#pragma once

#include <QColor>
#include <QTableView>
#include <memory>
#include <optional>
#include <string>

class QAbstractItemDelegate;
class QInputEvent;
class QKeyEvent;

namespace quarn {

class CellSource;
class FlexGridModel;

// Key codes of the grid's KeyDown and the edit box's KeyDown. The window code of the
// program compares against these numbers (Enter 13, Left 37, F2 113, ...), so the Qt key
// is translated once, here.
namespace keycode {
inline constexpr int kBack = 8;
inline constexpr int kTab = 9;
inline constexpr int kReturn = 13;
inline constexpr int kShift = 16;
inline constexpr int kControl = 17;
inline constexpr int kMenu = 18;
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
inline constexpr int kPageUp = 33;
inline constexpr int kPageDown = 34;
inline constexpr int kEnd = 35;
inline constexpr int kHome = 36;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kInsert = 45;
inline constexpr int kDelete = 46;
inline constexpr int kF1 = 112;
inline constexpr int kF2 = 113;
}  // namespace keycode

// The character some systems give as the text of the Delete key; it is never a KeyPress.
inline constexpr char kDeleteCharacter = '\x7F';

// Shift state bits of KeyDown.
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

// The key code of a Qt key (0 for keys the program never looks at).
int KeyCodeOf(int qt_key);
// The shift state bits of a key or mouse event.
int ShiftStateOf(const QInputEvent& event);

// The grid of every data window: a table of text cells whose first FixedRows rows and
// FixedCols columns are headings. It is a view over its own cell store (CellStore), so that
// it paints only what is on screen, and a results grid of 40,000 rows by 200 columns keeps
// the numbers of its cells, not their texts.
//
// Texts: every text of this API is Windows-1252 bytes, the encoding of the model, so that
// fill and read-back code moves texts between record and grid unchanged; the grid converts
// only what it paints.
//
// Cursor: (Row, Col) is the current cell and the anchor of the one rectangular selection;
// (RowSel, ColSel) is its other corner. The current cell is never a fixed cell: a click on
// a column heading does nothing, a click on a row heading acts as a click on the first cell
// after the headings in that row, and code that sets Row or Col into the fixed part is
// moved to the first cell after it. Setting Row or Col moves the selection with it. Every move of
// the cursor or the selection, by the user or by code, raises the same signals (LeaveCell,
// RowColChange, EnterCell, SelChange, in that order); writes of texts raise none.
//
// The grid never edits a cell itself and has no keyboard search: a window edits through a
// separate edit box and decides in KeyDown/KeyPress what a key does. A handler swallows a
// key by setting it to 0; a swallowed KeyDown code is not used for moving the cursor, and
// KeyPress is raised for the typed character whatever KeyDown did.
//
// Sizes are in twips (15 twips a pixel), as the windows give them.
class FlexGrid : public QTableView {
  Q_OBJECT

 public:
  explicit FlexGrid(QWidget* parent = nullptr);
  ~FlexGrid() override;

  // Shape. Changing a count keeps the texts of the cells that remain.
  int Rows() const;
  void SetRows(int rows);
  int Cols() const;
  void SetCols(int cols);
  // A new empty row at `row` (0 to Rows()), or the row at `row` taken out: the rows below
  // move with their texts, exact numbers and colours. The heading counts and the cursor's
  // row and column stay as they are (the cursor kept within the grid). Out of range, nothing.
  void InsertRow(int row);
  void RemoveRow(int row);
  int FixedRows() const { return fixed_rows_; }
  void SetFixedRows(int fixed_rows);
  int FixedCols() const { return fixed_cols_; }
  void SetFixedCols(int fixed_cols);

  // Texts of cells. Out-of-range reads give an empty text; out-of-range writes do nothing.
  std::string TextMatrix(int row, int col) const;
  void SetTextMatrix(int row, int col, const std::string& text);
  // The cells from (row, col) on, as many as the source has within the grid, made by the
  // source when they are shown, copied or read (CellSource); null takes the source away. A
  // results grid holds every value of a run, and a page of them is seen at a time. Texts,
  // numbers and colours written into the block stand over the source's, and a refill that
  // empties the grid (SetRows(0), Clear) lets the source go.
  void SetCellSource(int row, int col, std::shared_ptr<const CellSource> source);
  // The current cell.
  std::string Text() const;
  void SetText(const std::string& text);
  // Empties every cell.
  void Clear();

  // A cell filled from a number keeps that exact number beside its text, so that a
  // display mask ("###.##") never rounds what was stored: Number gives it back while the
  // cell shows the text it was filled with, and nullopt once the text changed.
  void SetNumber(int row, int col, double value, const std::string& text);
  std::optional<double> Number(int row, int col) const;

  // Cursor and selection.
  int Row() const { return row_; }
  void SetRow(int row);
  int Col() const { return col_; }
  void SetCol(int col);
  void SetRowCol(int row, int col);
  int RowSel() const { return row_sel_; }
  void SetRowSel(int row);
  int ColSel() const { return col_sel_; }
  void SetColSel(int col);
  // Whether there is a current cell at all (a grid of headings only has none).
  bool HasCurrentCell() const;

  // The selected block from its top-left cell, cells joined by TAB and rows by CR.
  std::string Clip() const;
  // Writes a block of that form into the selected block from its top-left cell; texts
  // beyond the block are ignored.
  void SetClip(const std::string& text);

  // Sizes in twips.
  int ColWidth(int col) const;
  void SetColWidth(int col, int twips);
  int RowHeight(int row) const;
  void SetRowHeight(int row, int twips);

  // Background colour of the current cell, or of any cell. An invalid colour is the default.
  QColor CellBackColor() const;
  void SetCellBackColor(const QColor& color);
  QColor CellBackColorAt(int row, int col) const;
  void SetCellBackColorAt(int row, int col, const QColor& color);

  // Painting off while code fills many cells.
  bool Redraw() const { return redraw_; }
  void SetRedraw(bool redraw);
  bool WordWrap() const;
  void SetWordWrap(bool wrap);
  // Makes every heading readable whole: headings wrap at blanks and line breaks, each column
  // is widened to its headings' longest word and the heading rows are made tall enough for
  // their wrapped lines. Never narrows a column or lowers a row. A shown grid does this by
  // itself whenever it repaints after a change.
  void FitHeadings();
  // Widens a column to the widest line of its cells below the headings, so that no value is
  // cut at its edge; never narrows it.
  void FitColumn(int col);
  // FitHeadings also widens a column to the whole text of its cells, on one line, in a grid
  // of up to a few hundred rows: a name or a number cut by its column is read wrong.
  void SetFitCells(bool fit) { fit_cells_ = fit; }
  // A row drawn in a bold font (a heading row, as a rule).
  bool RowFontBold(int row) const;
  void SetRowFontBold(int row, bool bold);

  // The current cell's rectangle in twips, relative to the grid's own top-left corner.
  int CellLeft() const;
  int CellTop() const;
  int CellWidth() const;
  int CellHeight() const;

  // The cell under a point of the viewport; nullopt over a heading or outside the cells.
  struct CellPos {
    int row = 0;
    int col = 0;
  };
  std::optional<CellPos> DataCellAt(const QPoint& viewport_pos) const;
  // The centre of a cell in viewport coordinates (for tests and for placing a box).
  QPoint CellCenter(int row, int col) const;

  // The cell under the last mouse event, headings included; -1 where the point lay past the
  // last row or column.
  int MouseRow() const { return mouse_row_; }
  int MouseCol() const { return mouse_col_; }

  // The view must not scroll a cell under the frozen headings.
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  // Wide enough for every column, so that a window laid out around the grid shows them all.
  QSize sizeHint() const override;
  // No keyboard search: a typed character is the window's to handle.
  void keyboardSearch(const QString&) override {}

 signals:
  void EnterCell();
  void LeaveCell();
  void RowColChange();
  void SelChange();
  void KeyDown(int& key_code, int shift);
  void KeyPress(int& key_ascii);
  void Click();
  // A double click on a data cell; HeadingDblClick one on a heading.
  void DblClick();
  void HeadingDblClick();
  // Raised over headings and cells alike: the button (1 left, 2 right, 4 middle; for
  // MouseMove the buttons held), the shift state bits of KeyDown, and the point in twips from
  // the grid's top-left corner. Moves are raised while a button is held, which is all that
  // the windows follow (a drag), so the grid needs no tracking of the bare pointer.
  void MouseDown(int button, int shift, int x, int y);
  void MouseMove(int button, int shift, int x, int y);
  void MouseUp(int button, int shift, int x, int y);
  void GotFocus();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void updateGeometries() override;

 private:
  std::optional<CellPos> PressedCellAt(const QPoint& viewport_pos) const;
  // Notes the cell under a viewport point for MouseRow and MouseCol.
  void NoteMouseCell(const QPoint& viewport_pos);
  // Notes the cell under the event and raises `signal` with the buttons, the event's shift
  // state and its point.
  void RaiseMouse(void (FlexGrid::*signal)(int, int, int, int), const QMouseEvent& event,
                  Qt::MouseButtons buttons);
  void MoveCursor(int row, int col, int row_sel, int col_sel);
  void MoveByKey(int key_code, int shift);
  int ClampRow(int row) const;
  int ClampCol(int col) const;
  void ClampCursor();
  void SyncView();
  void Repaint();
  int FixedHeightPx() const;
  int FixedWidthPx() const;
  void LayoutFrozenViews();
  QTableView* MakeFrozenView();
  template <typename F>
  void ForEachView(F f);

  FlexGridModel* model_;
  QAbstractItemDelegate* headings_delegate_ = nullptr;  // shared by the frozen views
  QTableView* frozen_top_ = nullptr;
  QTableView* frozen_left_ = nullptr;
  QTableView* frozen_corner_ = nullptr;
  int fixed_rows_ = 1;
  int fixed_cols_ = 1;
  int row_ = 1;
  int col_ = 1;
  int row_sel_ = 1;
  int col_sel_ = 1;
  bool redraw_ = true;
  bool fit_cells_ = false;
  bool repaint_pending_ = false;
  bool dragging_ = false;
  bool press_on_cell_ = false;
  int mouse_row_ = -1;
  int mouse_col_ = -1;
};

}  // namespace quarn
