#pragma once

#include <QRgb>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quarn {

// Cells made from numbers a window already holds: a block of a grid whose texts, exact
// numbers and colours are worked out when a cell is painted, copied or read. A results
// table of a year holds millions of cells, of which a page is seen at a time; its texts
// would take many times the memory of the numbers they are made from. Texts are
// Windows-1252 bytes, as every text of the grid.
class CellSource {
 public:
  virtual ~CellSource() = default;
  virtual int Rows() const = 0;
  virtual int Cols() const = 0;
  // The cell (row, col) of the block, (0, 0) at its top-left corner; "" for an empty cell.
  virtual std::string Text(int row, int col) const = 0;
  // The number the cell's text shows, where it shows one.
  virtual std::optional<double> Number(int /*row*/, int /*col*/) const { return std::nullopt; }
  // The cell's background, where it has one of its own.
  virtual std::optional<QRgb> Color(int /*row*/, int /*col*/) const { return std::nullopt; }
};

// The cells of a grid: the texts, exact numbers and colours written into single cells, and
// at most one block of cells from a source beneath them. A written text, number or colour
// stands over the source's. Rows are stored apart and only once something is written into
// them, so a grid of many rows whose cells come from a source costs a pointer a row.
class CellStore {
 public:
  int Rows() const { return static_cast<int>(rows_.size()); }
  int Cols() const { return cols_; }
  // Shape. The cells that remain keep what they hold; the source's block is cut to the grid
  // and does not grow back with it.
  void SetRows(int rows);
  void SetCols(int cols);
  // An empty row at `row` (0 to Rows()), or the row at `row` (0 to Rows() - 1) taken out: the
  // rows below move with what they hold. A row inserted or removed within the source's block
  // first writes the block's cells into the grid, so that they move too.
  void InsertRow(int row);
  void RemoveRow(int row);

  // Reads and writes take cells within the shape.
  std::string Text(int row, int col) const;
  // A written text; the cell's exact number stays only when the text is the one it showed.
  void SetText(int row, int col, const std::string& text);
  // A written text with the exact number it shows.
  void SetNumber(int row, int col, double value, const std::string& text);
  std::optional<double> Number(int row, int col) const;
  std::optional<QRgb> Color(int row, int col) const;
  // A written colour; nullopt is the grid's own background, over the source's too.
  void SetColor(int row, int col, std::optional<QRgb> color);
  // Every text and number goes, and the source with them; written colours stay.
  void Clear();

  // The cells from (row, col) on come from `source` (null: none), in place of the source
  // before. Cells written into the block before stay over it.
  void SetSource(int row, int col, std::shared_ptr<const CellSource> source);

 private:
  // kNoColor: the grid's own background written over a source's colour.
  static constexpr std::uint8_t kText = 1;
  static constexpr std::uint8_t kNumber = 2;
  static constexpr std::uint8_t kColor = 4;
  static constexpr std::uint8_t kNoColor = 8;
  // The cells of a row that something was written into; numbers and colours get their
  // slots when the row's first one is written.
  struct Row {
    std::vector<std::string> texts;
    std::vector<std::uint8_t> flags;
    std::vector<double> numbers;
    std::vector<QRgb> colors;
    bool Has(int col, std::uint8_t flag) const {
      return (flags[static_cast<size_t>(col)] & flag) != 0;
    }
  };

  const Row* RowAt(int row) const { return rows_[static_cast<size_t>(row)].get(); }
  Row& WritableRow(int row);
  bool InBlock(int row, int col) const {
    return source_ != nullptr && row >= block_row_ && col >= block_col_ &&
           row < block_row_ + block_rows_ && col < block_col_ + block_cols_;
  }
  // Cuts the block to the grid; a block left without cells lets its source go.
  void FitBlock();
  // Writes every cell of the block into the rows and lets the source go.
  void WriteOutBlock();

  std::vector<std::unique_ptr<Row>> rows_;
  int cols_ = 0;
  std::shared_ptr<const CellSource> source_;
  int block_row_ = 0;
  int block_col_ = 0;
  int block_rows_ = 0;
  int block_cols_ = 0;
};

}  // namespace quarn
