#include "platform/flex_grid_model.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <algorithm>

#include "platform/qt_text.h"

namespace quarn {

QVariant FlexGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int r = index.row();
  const int c = index.column();
  switch (role) {
    case Qt::DisplayRole: {
      const std::string t = Text(r, c);
      if (t.empty()) return {};
      return ToQt(t);
    }
    case Qt::BackgroundRole: {
      if (IsFixed(r, c)) return QApplication::palette().button();
      if (const std::optional<QRgb> color = ColorRgb(r, c)) return QColor::fromRgba(*color);
      return {};
    }
    case Qt::ForegroundRole:
      if (IsFixed(r, c)) return QApplication::palette().buttonText();
      return {};
    case Qt::TextAlignmentRole:
      if (IsFixed(r, c)) return int(Qt::AlignCenter);
      return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::FontRole: {
      if (bold_rows_.count(r) == 0) return {};
      QFont font = QApplication::font();
      font.setBold(true);
      return font;
    }
    default:
      return {};
  }
}

void FlexGridModel::SetRows(int rows) {
  rows = std::max(rows, 0);
  if (rows == Rows()) return;
  if (rows > Rows()) {
    beginInsertRows(QModelIndex(), Rows(), rows - 1);
    cells_.SetRows(rows);
    endInsertRows();
  } else {
    beginRemoveRows(QModelIndex(), rows, Rows() - 1);
    cells_.SetRows(rows);
    endRemoveRows();
  }
}

void FlexGridModel::InsertRow(int r) {
  beginInsertRows(QModelIndex(), r, r);
  cells_.InsertRow(r);
  endInsertRows();
}

void FlexGridModel::RemoveRow(int r) {
  beginRemoveRows(QModelIndex(), r, r);
  cells_.RemoveRow(r);
  endRemoveRows();
}

void FlexGridModel::SetCols(int cols) {
  cols = std::max(cols, 0);
  if (cols == Cols()) return;
  if (cols > Cols()) {
    beginInsertColumns(QModelIndex(), Cols(), cols - 1);
    cells_.SetCols(cols);
    endInsertColumns();
  } else {
    beginRemoveColumns(QModelIndex(), cols, Cols() - 1);
    cells_.SetCols(cols);
    endRemoveColumns();
  }
}

void FlexGridModel::SetFixed(int fixed_rows, int fixed_cols) {
  fixed_rows_ = fixed_rows;
  fixed_cols_ = fixed_cols;
  if (Rows() > 0 && Cols() > 0) emit dataChanged(index(0, 0), index(Rows() - 1, Cols() - 1));
}

void FlexGridModel::SetBold(int r, bool bold) {
  if (bold) {
    bold_rows_.insert(r);
  } else {
    bold_rows_.erase(r);
  }
}

QColor FlexGridModel::Color(int r, int c) const {
  const std::optional<QRgb> color = ColorRgb(r, c);
  return color ? QColor::fromRgba(*color) : QColor();
}

void FlexGridModel::SetColor(int r, int c, const QColor& color) {
  cells_.SetColor(r, c, color.isValid() ? std::optional<QRgb>(color.rgba()) : std::nullopt);
}

}  // namespace quarn
