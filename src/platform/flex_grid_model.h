#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "platform/cell_store.h"

namespace quarn {

// The grid's cells as the item views see them: the text matrix over the cell store, with the
// heading counts and the bold rows. Writes do not signal the views: a fill of many cells asks
// for one repaint of what is on screen (FlexGrid::Repaint).
class FlexGridModel : public QAbstractTableModel {
 public:
  explicit FlexGridModel(QObject* parent) : QAbstractTableModel(parent) {}

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : cells_.Rows();
  }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : cells_.Cols();
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  }
  QVariant data(const QModelIndex& index, int role) const override;

  bool IsFixed(int r, int c) const { return r < fixed_rows_ || c < fixed_cols_; }
  bool Valid(int r, int c) const { return r >= 0 && c >= 0 && r < Rows() && c < Cols(); }

  int Rows() const { return cells_.Rows(); }
  int Cols() const { return cells_.Cols(); }
  // Shape changes tell the views, which lay their rows and columns out anew.
  void SetRows(int rows);
  void SetCols(int cols);
  void InsertRow(int r);
  void RemoveRow(int r);
  void SetFixed(int fixed_rows, int fixed_cols);

  std::string Text(int r, int c) const { return cells_.Text(r, c); }
  void SetText(int r, int c, const std::string& text) { cells_.SetText(r, c, text); }
  void SetNumber(int r, int c, double value, const std::string& text) {
    cells_.SetNumber(r, c, value, text);
  }
  std::optional<double> Number(int r, int c) const { return cells_.Number(r, c); }
  void SetSource(int r, int c, std::shared_ptr<const CellSource> source) {
    cells_.SetSource(r, c, std::move(source));
  }
  void Clear() { cells_.Clear(); }

  bool Bold(int r) const { return bold_rows_.count(r) != 0; }
  void SetBold(int r, bool bold);

  std::optional<QRgb> ColorRgb(int r, int c) const { return cells_.Color(r, c); }
  QColor Color(int r, int c) const;
  void SetColor(int r, int c, const QColor& color);

 private:
  int fixed_rows_ = 1;
  int fixed_cols_ = 1;
  CellStore cells_;
  std::set<int> bold_rows_;  // by row number, as few as the headings
};

}  // namespace quarn
