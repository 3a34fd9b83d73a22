#include "platform/flex_grid.h"

#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>
#include <optional>

#include "platform/cell_store.h"
#include "platform/flex_grid_delegate.h"
#include "platform/flex_grid_model.h"

namespace quarn {

// The grid's construction and its text matrix as the windows use it: shape, texts and
// numbers, the cursor and the selection, block texts, colours and bold rows. The cells
// live in FlexGridModel; painting, sizes, keys and the mouse have files of their own.

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), model_(new FlexGridModel(this)) {
  setModel(model_);
  setItemDelegate(new FlexGridDelegate(*model_, true, this));
  horizontalHeader()->hide();
  verticalHeader()->hide();
  setEditTriggers(NoEditTriggers);
  // Tab moves to the next cell, as in every grid of the program, rather than out of the grid.
  setTabKeyNavigation(true);
  setHorizontalScrollMode(ScrollPerPixel);
  setVerticalScrollMode(ScrollPerPixel);
  setFocusPolicy(Qt::StrongFocus);
  const int row_px = fontMetrics().height() + 4;
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(row_px);
  horizontalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setDefaultSectionSize(64);
  // The block is drawn with the selection model, which stays ours alone.
  setSelectionMode(ExtendedSelection);
  setSelectionBehavior(SelectItems);

  frozen_top_ = MakeFrozenView();
  frozen_left_ = MakeFrozenView();
  frozen_corner_ = MakeFrozenView();
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, frozen_top_->horizontalScrollBar(),
          &QScrollBar::setValue);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, frozen_left_->verticalScrollBar(),
          &QScrollBar::setValue);

  model_->SetRows(2);
  model_->SetCols(2);
  SyncView();
  LayoutFrozenViews();
}

FlexGrid::~FlexGrid() = default;

// ---- shape ----

int FlexGrid::Rows() const {
  return model_->Rows();
}
int FlexGrid::Cols() const {
  return model_->Cols();
}

void FlexGrid::SetRows(int rows) {
  rows = std::max(rows, 0);
  if (fixed_rows_ > rows) fixed_rows_ = rows;
  model_->SetRows(rows);
  model_->SetFixed(fixed_rows_, fixed_cols_);
  ClampCursor();
  LayoutFrozenViews();
}

void FlexGrid::SetCols(int cols) {
  cols = std::max(cols, 0);
  if (fixed_cols_ > cols) fixed_cols_ = cols;
  model_->SetCols(cols);
  model_->SetFixed(fixed_rows_, fixed_cols_);
  ClampCursor();
  LayoutFrozenViews();
}

void FlexGrid::InsertRow(int row) {
  if (row < 0 || row > Rows()) return;
  model_->InsertRow(row);
  ClampCursor();
  LayoutFrozenViews();
}

void FlexGrid::RemoveRow(int row) {
  if (row < 0 || row >= Rows()) return;
  model_->RemoveRow(row);
  if (fixed_rows_ > Rows()) fixed_rows_ = Rows();
  model_->SetFixed(fixed_rows_, fixed_cols_);
  ClampCursor();
  LayoutFrozenViews();
}

void FlexGrid::SetFixedRows(int fixed_rows) {
  fixed_rows_ = std::clamp(fixed_rows, 0, Rows());
  model_->SetFixed(fixed_rows_, fixed_cols_);
  ClampCursor();
  LayoutFrozenViews();
}

void FlexGrid::SetFixedCols(int fixed_cols) {
  fixed_cols_ = std::clamp(fixed_cols, 0, Cols());
  model_->SetFixed(fixed_rows_, fixed_cols_);
  ClampCursor();
  LayoutFrozenViews();
}

// ---- texts ----

std::string FlexGrid::TextMatrix(int row, int col) const {
  if (!model_->Valid(row, col)) return {};
  return model_->Text(row, col);
}

void FlexGrid::SetTextMatrix(int row, int col, const std::string& text) {
  if (!model_->Valid(row, col)) return;
  model_->SetText(row, col, text);
  Repaint();
}

void FlexGrid::SetCellSource(int row, int col, std::shared_ptr<const CellSource> source) {
  model_->SetSource(row, col, std::move(source));
  Repaint();
}

std::string FlexGrid::Text() const {
  return TextMatrix(row_, col_);
}

void FlexGrid::SetText(const std::string& text) {
  SetTextMatrix(row_, col_, text);
}

void FlexGrid::Clear() {
  model_->Clear();
  Repaint();
}

void FlexGrid::SetNumber(int row, int col, double value, const std::string& text) {
  if (!model_->Valid(row, col)) return;
  model_->SetNumber(row, col, value, text);
  Repaint();
}

std::optional<double> FlexGrid::Number(int row, int col) const {
  if (!model_->Valid(row, col)) return std::nullopt;
  return model_->Number(row, col);
}

// ---- cursor ----

bool FlexGrid::HasCurrentCell() const {
  return Rows() > fixed_rows_ && Cols() > fixed_cols_ && model_->Valid(row_, col_);
}

int FlexGrid::ClampRow(int row) const {
  return std::clamp(row, fixed_rows_, std::max(fixed_rows_, Rows() - 1));
}

int FlexGrid::ClampCol(int col) const {
  return std::clamp(col, fixed_cols_, std::max(fixed_cols_, Cols() - 1));
}

void FlexGrid::ClampCursor() {
  // A shape change that drops the current cell moves it, like any other move.
  MoveCursor(ClampRow(row_), ClampCol(col_), ClampRow(row_sel_), ClampCol(col_sel_));
}

void FlexGrid::MoveCursor(int row, int col, int row_sel, int col_sel) {
  const bool cell_moves = row != row_ || col != col_;
  const bool sel_moves = cell_moves || row_sel != row_sel_ || col_sel != col_sel_;
  if (cell_moves) emit LeaveCell();
  row_ = row;
  col_ = col;
  row_sel_ = row_sel;
  col_sel_ = col_sel;
  SyncView();
  if (cell_moves) {
    emit RowColChange();
    emit EnterCell();
  }
  if (sel_moves) emit SelChange();
}

void FlexGrid::SetRow(int row) {
  row = ClampRow(row);
  MoveCursor(row, col_, row, col_);
}

void FlexGrid::SetCol(int col) {
  col = ClampCol(col);
  MoveCursor(row_, col, row_, col);
}

void FlexGrid::SetRowCol(int row, int col) {
  row = ClampRow(row);
  col = ClampCol(col);
  MoveCursor(row, col, row, col);
}

void FlexGrid::SetRowSel(int row) {
  MoveCursor(row_, col_, ClampRow(row), col_sel_);
}

void FlexGrid::SetColSel(int col) {
  MoveCursor(row_, col_, row_sel_, ClampCol(col));
}

void FlexGrid::SyncView() {
  if (!HasCurrentCell()) {
    selectionModel()->clear();
    return;
  }
  const QModelIndex current = model_->index(row_, col_);
  selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
  if (row_ == row_sel_ && col_ == col_sel_) {
    // A single cell shows only its focus frame, so its text stays plain to read.
    selectionModel()->clearSelection();
  } else {
    const QModelIndex a = model_->index(std::min(row_, row_sel_), std::min(col_, col_sel_));
    const QModelIndex b = model_->index(std::max(row_, row_sel_), std::max(col_, col_sel_));
    selectionModel()->select(QItemSelection(a, b), QItemSelectionModel::ClearAndSelect);
  }
}

// ---- block text ----

std::string FlexGrid::Clip() const {
  std::string out;
  if (!HasCurrentCell()) return out;
  const int r1 = std::min(row_, row_sel_), r2 = std::max(row_, row_sel_);
  const int c1 = std::min(col_, col_sel_), c2 = std::max(col_, col_sel_);
  for (int r = r1; r <= r2; ++r) {
    if (r > r1) out += '\r';
    for (int c = c1; c <= c2; ++c) {
      if (c > c1) out += '\t';
      out += model_->Text(r, c);
    }
  }
  return out;
}

void FlexGrid::SetClip(const std::string& text) {
  if (!HasCurrentCell()) return;
  const int r1 = std::min(row_, row_sel_), r2 = std::max(row_, row_sel_);
  const int c1 = std::min(col_, col_sel_), c2 = std::max(col_, col_sel_);
  int r = r1;
  int c = c1;
  std::string cell;
  auto put = [&] {
    if (r <= r2 && c <= c2) model_->SetText(r, c, cell);
    cell.clear();
  };
  for (char ch : text) {
    if (ch == '\t') {
      put();
      ++c;
    } else if (ch == '\r') {
      put();
      ++r;
      c = c1;
    } else {
      cell += ch;
    }
  }
  put();
  Repaint();
}

// ---- colours and fonts ----

QColor FlexGrid::CellBackColor() const {
  return CellBackColorAt(row_, col_);
}

void FlexGrid::SetCellBackColor(const QColor& color) {
  SetCellBackColorAt(row_, col_, color);
}

QColor FlexGrid::CellBackColorAt(int row, int col) const {
  if (!model_->Valid(row, col)) return {};
  return model_->Color(row, col);
}

void FlexGrid::SetCellBackColorAt(int row, int col, const QColor& color) {
  if (!model_->Valid(row, col)) return;
  model_->SetColor(row, col, color);
  Repaint();
}

bool FlexGrid::RowFontBold(int row) const {
  return row >= 0 && row < Rows() && model_->Bold(row);
}

void FlexGrid::SetRowFontBold(int row, bool bold) {
  if (row < 0 || row >= Rows()) return;
  model_->SetBold(row, bold);
  Repaint();
}

}  // namespace quarn
