#include "platform/cell_store.h"

#include <algorithm>

namespace quarn {

void CellStore::SetRows(int rows) {
  rows_.resize(static_cast<size_t>(std::max(rows, 0)));
  FitBlock();
}

void CellStore::SetCols(int cols) {
  cols_ = std::max(cols, 0);
  const auto width = static_cast<size_t>(cols_);
  for (std::unique_ptr<Row>& row : rows_) {
    if (row == nullptr) continue;
    row->texts.resize(width);
    row->flags.resize(width, 0);
    if (!row->numbers.empty()) row->numbers.resize(width);
    if (!row->colors.empty()) row->colors.resize(width);
  }
  FitBlock();
}

void CellStore::InsertRow(int row) {
  if (source_ != nullptr && row > block_row_ && row < block_row_ + block_rows_) WriteOutBlock();
  rows_.insert(rows_.begin() + row, nullptr);
  if (source_ != nullptr && row <= block_row_) ++block_row_;
}

void CellStore::RemoveRow(int row) {
  if (InBlock(row, block_col_)) WriteOutBlock();
  rows_.erase(rows_.begin() + row);
  if (source_ != nullptr && row < block_row_) --block_row_;
}

CellStore::Row& CellStore::WritableRow(int row) {
  std::unique_ptr<Row>& cells = rows_[static_cast<size_t>(row)];
  if (cells == nullptr) {
    cells = std::make_unique<Row>();
    cells->texts.resize(static_cast<size_t>(cols_));
    cells->flags.assign(static_cast<size_t>(cols_), 0);
  }
  return *cells;
}

std::string CellStore::Text(int row, int col) const {
  if (const Row* cells = RowAt(row); cells != nullptr && cells->Has(col, kText)) {
    return cells->texts[static_cast<size_t>(col)];
  }
  if (InBlock(row, col)) return source_->Text(row - block_row_, col - block_col_);
  return {};
}

void CellStore::SetText(int row, int col, const std::string& text) {
  const auto c = static_cast<size_t>(col);
  Row& cells = WritableRow(row);
  // The same text written back (an edit left unchanged) keeps the number it shows.
  std::optional<double> kept;
  if ((cells.Has(col, kText) ? cells.Has(col, kNumber) : InBlock(row, col)) &&
      Text(row, col) == text) {
    kept = Number(row, col);
  }
  cells.texts[c] = text;
  cells.flags[c] = static_cast<std::uint8_t>((cells.flags[c] & ~kNumber) | kText);
  if (kept) SetNumber(row, col, *kept, text);
}

void CellStore::SetNumber(int row, int col, double value, const std::string& text) {
  const auto c = static_cast<size_t>(col);
  Row& cells = WritableRow(row);
  if (cells.numbers.empty()) cells.numbers.resize(static_cast<size_t>(cols_));
  cells.texts[c] = text;
  cells.numbers[c] = value;
  cells.flags[c] |= kText | kNumber;
}

std::optional<double> CellStore::Number(int row, int col) const {
  if (const Row* cells = RowAt(row); cells != nullptr && cells->Has(col, kText)) {
    if (!cells->Has(col, kNumber)) return std::nullopt;
    return cells->numbers[static_cast<size_t>(col)];
  }
  if (InBlock(row, col)) return source_->Number(row - block_row_, col - block_col_);
  return std::nullopt;
}

std::optional<QRgb> CellStore::Color(int row, int col) const {
  if (const Row* cells = RowAt(row); cells != nullptr) {
    if (cells->Has(col, kColor)) return cells->colors[static_cast<size_t>(col)];
    if (cells->Has(col, kNoColor)) return std::nullopt;
  }
  if (InBlock(row, col)) return source_->Color(row - block_row_, col - block_col_);
  return std::nullopt;
}

void CellStore::SetColor(int row, int col, std::optional<QRgb> color) {
  const auto c = static_cast<size_t>(col);
  Row& cells = WritableRow(row);
  cells.flags[c] &= static_cast<std::uint8_t>(~(kColor | kNoColor));
  if (color) {
    if (cells.colors.empty()) cells.colors.resize(static_cast<size_t>(cols_));
    cells.colors[c] = *color;
    cells.flags[c] |= kColor;
  } else if (InBlock(row, col)) {
    cells.flags[c] |= kNoColor;
  }
}

void CellStore::Clear() {
  source_ = nullptr;
  for (std::unique_ptr<Row>& row : rows_) {
    if (row == nullptr) continue;
    for (std::uint8_t& flag : row->flags) flag &= static_cast<std::uint8_t>(~(kText | kNumber));
  }
}

void CellStore::SetSource(int row, int col, std::shared_ptr<const CellSource> source) {
  source_ = std::move(source);
  block_row_ = std::max(row, 0);
  block_col_ = std::max(col, 0);
  block_rows_ = source_ != nullptr ? source_->Rows() : 0;
  block_cols_ = source_ != nullptr ? source_->Cols() : 0;
  FitBlock();
}

void CellStore::FitBlock() {
  if (source_ == nullptr) return;
  block_rows_ = std::min(block_rows_, Rows() - block_row_);
  block_cols_ = std::min(block_cols_, cols_ - block_col_);
  if (block_rows_ <= 0 || block_cols_ <= 0) source_ = nullptr;
}

void CellStore::WriteOutBlock() {
  const std::shared_ptr<const CellSource> source = source_;
  const int first_row = block_row_;
  const int first_col = block_col_;
  const int rows = block_rows_;
  const int cols = block_cols_;
  for (int r = first_row; r < first_row + rows; ++r) {
    for (int c = first_col; c < first_col + cols; ++c) {
      const Row* cells = RowAt(r);
      const bool written = cells != nullptr && cells->Has(c, kText);
      const bool coloured = cells != nullptr && (cells->Has(c, kColor) || cells->Has(c, kNoColor));
      const int sr = r - first_row;
      const int sc = c - first_col;
      if (!written) {
        const std::string text = source->Text(sr, sc);
        if (const std::optional<double> number = source->Number(sr, sc)) {
          SetNumber(r, c, *number, text);
        } else if (!text.empty()) {
          SetText(r, c, text);
        }
      }
      if (!coloured) {
        if (const std::optional<QRgb> color = source->Color(sr, sc)) SetColor(r, c, color);
      }
    }
  }
  source_ = nullptr;
}

}  // namespace quarn
