#include "platform/flex_grid.h"

#include <QMouseEvent>
#include <algorithm>

#include "platform/flex_grid_model.h"
#include "platform/qt_text.h"

namespace quarn {

// The grid's mouse and focus: the cell under a point, clicks and drags that move the cursor
// and extend the selection, and the mouse signals in twips.

std::optional<FlexGrid::CellPos> FlexGrid::DataCellAt(const QPoint& pos) const {
  if (pos.y() < FixedHeightPx() || pos.x() < FixedWidthPx()) return std::nullopt;
  const int r = rowAt(pos.y());
  const int c = columnAt(pos.x());
  if (r < 0 || c < 0 || model_->IsFixed(r, c)) return std::nullopt;
  return CellPos{r, c};
}

std::optional<FlexGrid::CellPos> FlexGrid::PressedCellAt(const QPoint& pos) const {
  if (pos.x() >= FixedWidthPx() || pos.y() < FixedHeightPx()) return DataCellAt(pos);
  // A row heading stands for its row: what the user types next belongs there, so the click
  // acts as one on the row's first cell after the headings.
  const int r = rowAt(pos.y());
  if (r < 0 || fixed_cols_ >= Cols() || model_->IsFixed(r, fixed_cols_)) return std::nullopt;
  return CellPos{r, fixed_cols_};
}

void FlexGrid::NoteMouseCell(const QPoint& pos) {
  // Under the frozen headings the fixed rows and columns stand unscrolled.
  auto fixed_at = [](int at, int count, const auto& size) {
    for (int i = 0; i < count; ++i) {
      at -= size(i);
      if (at < 0) return i;
    }
    return -1;
  };
  mouse_row_ = pos.y() < FixedHeightPx()
                   ? fixed_at(pos.y(), fixed_rows_, [this](int r) { return rowHeight(r); })
                   : rowAt(pos.y());
  mouse_col_ = pos.x() < FixedWidthPx()
                   ? fixed_at(pos.x(), fixed_cols_, [this](int c) { return columnWidth(c); })
                   : columnAt(pos.x());
}

void FlexGrid::RaiseMouse(void (FlexGrid::*signal)(int, int, int, int), const QMouseEvent& event,
                          Qt::MouseButtons buttons) {
  const QPoint pos = event.position().toPoint();
  NoteMouseCell(pos);
  int button = 0;
  if (buttons & Qt::LeftButton) button |= 1;
  if (buttons & Qt::RightButton) button |= 2;
  if (buttons & Qt::MiddleButton) button |= 4;
  emit(this->*signal)(button, ShiftStateOf(event), PixelsToTwips(pos.x() + viewport()->x()),
                      PixelsToTwips(pos.y() + viewport()->y()));
}

void FlexGrid::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  RaiseMouse(&FlexGrid::MouseDown, *event, event->button());
  press_on_cell_ = false;
  if (event->button() != Qt::LeftButton) return;
  const auto cell = PressedCellAt(event->position().toPoint());
  if (!cell) return;  // a column heading or the empty area: the cursor stays
  press_on_cell_ = true;
  dragging_ = true;
  if (event->modifiers() & Qt::ShiftModifier) {
    MoveCursor(row_, col_, cell->row, cell->col);
  } else {
    MoveCursor(cell->row, cell->col, cell->row, cell->col);
  }
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event) {
  RaiseMouse(&FlexGrid::MouseMove, *event, event->buttons());
  if (!dragging_) return;
  QPoint p = event->position().toPoint();
  // Dragging over the headings or past the edge extends to the nearest cell.
  p.setY(std::clamp(p.y(), FixedHeightPx(), std::max(FixedHeightPx(), viewport()->height() - 1)));
  p.setX(std::clamp(p.x(), FixedWidthPx(), std::max(FixedWidthPx(), viewport()->width() - 1)));
  int r = rowAt(p.y());
  int c = columnAt(p.x());
  if (r < 0) r = Rows() - 1;
  if (c < 0) c = Cols() - 1;
  MoveCursor(row_, col_, ClampRow(r), ClampCol(c));
  scrollTo(model_->index(row_sel_, col_sel_));
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event) {
  RaiseMouse(&FlexGrid::MouseUp, *event, event->button());
  dragging_ = false;
  if (event->button() == Qt::LeftButton && press_on_cell_) emit Click();
  press_on_cell_ = false;
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  NoteMouseCell(event->position().toPoint());
  if (DataCellAt(event->position().toPoint())) {
    emit DblClick();
  } else if (mouse_row_ >= 0 && mouse_col_ >= 0) {
    emit HeadingDblClick();
  }
}

void FlexGrid::focusInEvent(QFocusEvent* event) {
  // The item view would make its first cell (a heading) current on focus; the cursor is ours.
  QAbstractScrollArea::focusInEvent(event);  // NOLINT(bugprone-parent-virtual-call)
  viewport()->update();
  emit GotFocus();
}

void FlexGrid::focusOutEvent(QFocusEvent* event) {
  // Past the item view, as focusInEvent does; the repaint follows here.
  QAbstractScrollArea::focusOutEvent(event);  // NOLINT(bugprone-parent-virtual-call)
  dragging_ = false;
  viewport()->update();
}

}  // namespace quarn
