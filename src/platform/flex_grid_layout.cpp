#include "platform/flex_grid.h"

#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QRegularExpression>
#include <QScrollBar>
#include <algorithm>

#include "platform/flex_grid_delegate.h"
#include "platform/flex_grid_model.h"
#include "platform/qt_text.h"

namespace quarn {

// The grid's views and their sizes: the base view of the cells, the frozen views of the
// headings over it, column widths and row heights in twips, the fitting of headings, and
// the one repaint that a run of writes asks for.

QTableView* FlexGrid::MakeFrozenView() {
  // A heading row or column stays in place while the cells scroll: a second view of the
  // same matrix lies over the viewport where the headings are and scrolls only along them.
  auto* v = new QTableView(this);
  v->setModel(model_);
  if (headings_delegate_ == nullptr)
    headings_delegate_ = new FlexGridDelegate(*model_, false, this);
  v->setItemDelegate(headings_delegate_);
  v->horizontalHeader()->hide();
  v->verticalHeader()->hide();
  v->setFrameShape(QFrame::NoFrame);
  v->setFocusPolicy(Qt::NoFocus);
  v->setSelectionMode(NoSelection);
  v->setEditTriggers(NoEditTriggers);
  v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  v->setHorizontalScrollMode(ScrollPerPixel);
  v->setVerticalScrollMode(ScrollPerPixel);
  v->verticalHeader()->setMinimumSectionSize(1);
  v->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
  v->horizontalHeader()->setMinimumSectionSize(1);
  v->horizontalHeader()->setDefaultSectionSize(horizontalHeader()->defaultSectionSize());
  // Clicks fall through to the grid, which knows they landed on a heading.
  v->setAttribute(Qt::WA_TransparentForMouseEvents);
  v->viewport()->setAttribute(Qt::WA_TransparentForMouseEvents);
  v->hide();
  return v;
}

template <typename F>
void FlexGrid::ForEachView(F f) {
  f(static_cast<QTableView*>(this));
  if (frozen_corner_ == nullptr) return;
  f(frozen_top_);
  f(frozen_left_);
  f(frozen_corner_);
}

// ---- sizes and painting ----

int FlexGrid::ColWidth(int col) const {
  if (col < 0 || col >= Cols()) return 0;
  return PixelsToTwips(columnWidth(col));
}

void FlexGrid::SetColWidth(int col, int twips) {
  if (col < 0 || col >= Cols()) return;
  const int px = TwipsToPixels(std::max(twips, 0));
  ForEachView([&](QTableView* v) { v->setColumnWidth(col, px); });
  LayoutFrozenViews();
}

int FlexGrid::RowHeight(int row) const {
  if (row < 0 || row >= Rows()) return 0;
  return PixelsToTwips(rowHeight(row));
}

void FlexGrid::SetRowHeight(int row, int twips) {
  if (row < 0 || row >= Rows()) return;
  const int px = TwipsToPixels(std::max(twips, 0));
  ForEachView([&](QTableView* v) { v->setRowHeight(row, px); });
  LayoutFrozenViews();
}

void FlexGrid::SetRedraw(bool redraw) {
  redraw_ = redraw;
  if (redraw) Repaint();
}

bool FlexGrid::WordWrap() const {
  return wordWrap();
}

void FlexGrid::SetWordWrap(bool wrap) {
  ForEachView([&](QTableView* v) { v->setWordWrap(wrap); });
}

void FlexGrid::FitHeadings() {
  // The cell's own margin on each side, as the view draws it, and a little air.
  constexpr int kPaddingPx = 10;
  for (QTableView* v : {frozen_top_, frozen_corner_, frozen_left_}) v->setWordWrap(true);
  const int rows = std::min(fixed_rows_, Rows());
  for (int c = 0; c < Cols(); ++c) {
    int widest = 0;
    for (int r = 0; r < rows; ++r) {
      const QFontMetrics metrics(model_->data(model_->index(r, c), Qt::FontRole).value<QFont>());
      const QString text = ToQt(model_->Text(r, c));
      for (const QString& word : text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)) {
        widest = std::max(widest, metrics.horizontalAdvance(word));
      }
    }
    // A row's own heading in a fixed column is read whole on one line: the rows stay one
    // line high, so a wrapped heading would be cut. So is every cell where asked for, in a
    // grid small enough to measure.
    constexpr int kMostFittedRows = 300;
    if (c < fixed_cols_ || (fit_cells_ && Rows() <= kMostFittedRows)) {
      constexpr int kMostRowHeadingPx = 320;
      for (int r = rows; r < Rows(); ++r) {
        const QFontMetrics metrics(model_->data(model_->index(r, c), Qt::FontRole).value<QFont>());
        widest = std::max(widest, std::min(metrics.horizontalAdvance(ToQt(model_->Text(r, c))),
                                           kMostRowHeadingPx));
      }
    }
    if (widest > 0 && columnWidth(c) < widest + kPaddingPx) {
      ForEachView([&](QTableView* v) { v->setColumnWidth(c, widest + kPaddingPx); });
    }
  }
  for (int r = 0; r < rows; ++r) {
    int tallest = 0;
    for (int c = 0; c < Cols(); ++c) {
      const QString text = ToQt(model_->Text(r, c));
      if (text.isEmpty()) continue;
      const QFontMetrics metrics(model_->data(model_->index(r, c), Qt::FontRole).value<QFont>());
      const QRect box(0, 0, std::max(columnWidth(c) - kPaddingPx, 1), 100000);
      tallest = std::max(tallest, metrics.boundingRect(box, Qt::TextWordWrap, text).height());
    }
    if (tallest > 0 && rowHeight(r) < tallest + kPaddingPx / 2) {
      ForEachView([&](QTableView* v) { v->setRowHeight(r, tallest + kPaddingPx / 2); });
    }
  }
  LayoutFrozenViews();
}

void FlexGrid::FitColumn(int col) {
  if (col < 0 || col >= Cols()) return;
  constexpr int kPaddingPx = 10;  // the cell's margins, as in FitHeadings
  int widest = 0;
  for (int r = fixed_rows_; r < Rows(); ++r) {
    const QString text = ToQt(model_->Text(r, col));
    if (text.isEmpty()) continue;
    const QFontMetrics metrics(model_->data(model_->index(r, col), Qt::FontRole).value<QFont>());
    for (const QString& line : text.split('\n')) {
      widest = std::max(widest, metrics.horizontalAdvance(line));
    }
  }
  if (widest > 0 && columnWidth(col) < widest + kPaddingPx) {
    ForEachView([&](QTableView* v) { v->setColumnWidth(col, widest + kPaddingPx); });
    LayoutFrozenViews();
  }
}

void FlexGrid::Repaint() {
  // Writes do not signal the model: a fill of many cells needs one repaint of what is on
  // screen, asked for once and done when the event loop next runs.
  if (!redraw_ || repaint_pending_) return;
  repaint_pending_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        repaint_pending_ = false;
        if (isVisible()) FitHeadings();
        ForEachView([](QTableView* v) { v->viewport()->update(); });
      },
      Qt::QueuedConnection);
}

QPoint FlexGrid::CellCenter(int row, int col) const {
  return visualRect(model_->index(row, col)).center();
}

int FlexGrid::CellLeft() const {
  const QRect r = visualRect(model_->index(row_, col_));
  return PixelsToTwips(r.left() + viewport()->x());
}
int FlexGrid::CellTop() const {
  const QRect r = visualRect(model_->index(row_, col_));
  return PixelsToTwips(r.top() + viewport()->y());
}
int FlexGrid::CellWidth() const {
  return PixelsToTwips(columnWidth(col_));
}
int FlexGrid::CellHeight() const {
  return PixelsToTwips(rowHeight(row_));
}

// ---- frozen headings ----

int FlexGrid::FixedHeightPx() const {
  int h = 0;
  for (int r = 0; r < fixed_rows_; ++r) h += rowHeight(r);
  return h;
}

int FlexGrid::FixedWidthPx() const {
  int w = 0;
  for (int c = 0; c < fixed_cols_; ++c) w += columnWidth(c);
  return w;
}

void FlexGrid::LayoutFrozenViews() {
  if (frozen_corner_ == nullptr) return;  // the base view lays itself out while it is built
  const QRect vp = viewport()->geometry();
  const int h = std::min(FixedHeightPx(), vp.height());
  const int w = std::min(FixedWidthPx(), vp.width());
  auto place = [](QTableView* v, bool show, const QRect& rect) {
    v->setVisible(show && rect.width() > 0 && rect.height() > 0);
    v->setGeometry(rect);
  };
  place(frozen_top_, fixed_rows_ > 0, QRect(vp.left(), vp.top(), vp.width(), h));
  place(frozen_left_, fixed_cols_ > 0, QRect(vp.left(), vp.top(), w, vp.height()));
  place(frozen_corner_, fixed_rows_ > 0 && fixed_cols_ > 0, QRect(vp.left(), vp.top(), w, h));
  frozen_top_->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
  frozen_left_->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

void FlexGrid::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  LayoutFrozenViews();
}

QSize FlexGrid::sizeHint() const {
  // A grid of results may have hundreds of columns: past this it scrolls.
  constexpr int kWidestHintPx = 1500;
  int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
  for (int c = 0; c < Cols(); ++c) width += columnWidth(c);
  return {std::min(width, kWidestHintPx), QTableView::sizeHint().height()};
}

void FlexGrid::showEvent(QShowEvent* event) {
  QTableView::showEvent(event);
  FitHeadings();
}

void FlexGrid::updateGeometries() {
  QTableView::updateGeometries();
  LayoutFrozenViews();
}

void FlexGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
  QTableView::scrollTo(index, hint);
  if (!index.isValid() || model_->IsFixed(index.row(), index.column())) return;
  // The cell must not end under the frozen headings.
  const QRect r = visualRect(index);
  const int fixed_h = FixedHeightPx();
  const int fixed_w = FixedWidthPx();
  if (r.top() < fixed_h)
    verticalScrollBar()->setValue(verticalScrollBar()->value() - (fixed_h - r.top()));
  if (r.left() < fixed_w)
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (fixed_w - r.left()));
}

}  // namespace quarn
