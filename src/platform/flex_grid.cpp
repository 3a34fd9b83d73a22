#include "platform/flex_grid.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QRawFont>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>

#include "platform/cell_store.h"
#include "platform/qt_text.h"
#include "text/cp1252.h"

namespace quarn {

// The grid's cells as the item views see them. Writes do not signal the views: a fill of
// many cells asks for one repaint of what is on screen (FlexGrid::Repaint).
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
  QVariant data(const QModelIndex& index, int role) const override {
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

  bool IsFixed(int r, int c) const { return r < fixed_rows_ || c < fixed_cols_; }
  bool Valid(int r, int c) const { return r >= 0 && c >= 0 && r < Rows() && c < Cols(); }

  int Rows() const { return cells_.Rows(); }
  int Cols() const { return cells_.Cols(); }

  void SetRows(int rows) {
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

  void InsertRow(int r) {
    beginInsertRows(QModelIndex(), r, r);
    cells_.InsertRow(r);
    endInsertRows();
  }

  void RemoveRow(int r) {
    beginRemoveRows(QModelIndex(), r, r);
    cells_.RemoveRow(r);
    endRemoveRows();
  }

  void SetCols(int cols) {
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

  void SetFixed(int fixed_rows, int fixed_cols) {
    fixed_rows_ = fixed_rows;
    fixed_cols_ = fixed_cols;
    if (Rows() > 0 && Cols() > 0) emit dataChanged(index(0, 0), index(Rows() - 1, Cols() - 1));
  }

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
  void SetBold(int r, bool bold) {
    if (bold) {
      bold_rows_.insert(r);
    } else {
      bold_rows_.erase(r);
    }
  }

  std::optional<QRgb> ColorRgb(int r, int c) const { return cells_.Color(r, c); }
  QColor Color(int r, int c) const {
    const std::optional<QRgb> color = ColorRgb(r, c);
    return color ? QColor::fromRgba(*color) : QColor();
  }
  void SetColor(int r, int c, const QColor& color) {
    cells_.SetColor(r, c, color.isValid() ? std::optional<QRgb>(color.rgba()) : std::nullopt);
  }

 private:
  int fixed_rows_ = 1;
  int fixed_cols_ = 1;
  CellStore cells_;
  std::set<int> bold_rows_;  // by row number, as few as the headings
};

namespace {

// Paints the cells of a view of the grid's matrix straight from its texts. The styled
// delegate asks the model for a dozen roles and lays every text out anew, which cost a
// results grid 30 ms a page; this one sets numbers from a table of glyphs kept per font
// and allocates nothing for them.
class FlexGridDelegate : public QStyledItemDelegate {
 public:
  // `base` is the grid itself: its fixed cells lie under the frozen heading views, which
  // paint them, so it leaves them alone.
  FlexGridDelegate(const FlexGridModel& model, bool base, QObject* parent)
      : QStyledItemDelegate(parent), model_(model), base_(base) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const int r = index.row();
    const int c = index.column();
    const bool fixed = model_.IsFixed(r, c);
    if (fixed && base_) return;
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QPalette::ColorGroup group =
        (option.state & QStyle::State_Active) != 0 ? QPalette::Active : QPalette::Inactive;
    if (selected) {
      painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    } else if (fixed) {
      painter->fillRect(option.rect, option.palette.brush(group, QPalette::Button));
    } else if (const std::optional<QRgb> color = model_.ColorRgb(r, c)) {
      painter->fillRect(option.rect, QColor::fromRgba(*color));
    }
    const std::string text = model_.Text(r, c);
    if (!text.empty()) {
      const QPalette::ColorRole role = selected ? QPalette::HighlightedText
                                       : fixed  ? QPalette::ButtonText
                                                : QPalette::Text;
      painter->setPen(option.palette.color(group, role));
      DrawText(painter, option, text, fixed, model_.Bold(r));
    }
    if ((option.state & QStyle::State_HasFocus) != 0) {
      QStyleOptionFocusRect focus;
      focus.QStyleOption::operator=(option);
      focus.rect = option.rect;
      focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
      focus.backgroundColor =
          option.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
      const QWidget* widget = option.widget;
      QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
      style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
  }

 private:
  // The glyphs of the characters numbers are written with, looked up once per font: a
  // results grid is mostly numbers, and setting them from this table costs no shaping and
  // no allocation. Digits have one width and no kerning, so the text stands as the text
  // engine would set it.
  struct NumberGlyphs {
    QFont font;
    QRawFont raw;
    std::array<quint32, 128> index{};
    std::array<qreal, 128> advance{};
    qreal ascent = 0;
    qreal height = 0;
  };
  static constexpr std::string_view kNumberCharacters = "0123456789.,+-E ";

  const NumberGlyphs& GlyphsFor(const QFont& font) const {
    NumberGlyphs& g = glyphs_[font.bold() ? 1 : 0];
    if (g.raw.isValid() && g.font == font) return g;
    g = NumberGlyphs{};
    g.font = font;
    g.raw = QRawFont::fromFont(font);
    const QFontMetricsF metrics(font);
    g.ascent = metrics.ascent();
    g.height = metrics.height();
    if (!g.raw.isValid()) return g;
    for (char c : kNumberCharacters) {
      const QList<quint32> index = g.raw.glyphIndexesForString(QString(QChar(c)));
      if (index.size() != 1 || index[0] == 0) continue;
      const QList<QPointF> advance = g.raw.advancesForGlyphIndexes(index);
      g.index[static_cast<size_t>(c)] = index[0];
      g.advance[static_cast<size_t>(c)] = advance.isEmpty() ? 0 : advance[0].x();
    }
    return g;
  }

  // Sets a number text from the glyph table; false for a text with other characters, or
  // one that does not fit its box.
  bool DrawNumber(QPainter* painter, const QRect& box, const std::string& text, bool centre,
                  const QFont& font) const {
    const NumberGlyphs& g = GlyphsFor(font);
    if (!g.raw.isValid() || text.size() > positions_.size()) return false;
    qreal x = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      const auto c = static_cast<unsigned char>(text[i]);
      if (c >= g.index.size() || g.index[c] == 0) return false;
      indexes_[i] = g.index[c];
      positions_[i] = QPointF(x, 0);
      x += g.advance[c];
    }
    if (x > box.width() || g.height > box.height()) return false;
    const qreal left = centre ? box.left() + (box.width() - x) / 2 : box.left();
    const qreal top = box.top() + (box.height() - g.height) / 2;
    run_.setRawFont(g.raw);
    run_.setRawData(indexes_.data(), positions_.data(), static_cast<int>(text.size()));
    painter->drawGlyphRun(QPointF(left, top + g.ascent), run_);
    return true;
  }

  void DrawText(QPainter* painter, const QStyleOptionViewItem& option, const std::string& text,
                bool fixed, bool bold) const {
    QFont font = option.font;
    if (bold) font.setBold(true);
    // The margins of the styled delegate, so that texts stand where they always have.
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect box = option.rect.adjusted(margin, 0, -margin, 0);
    if (DrawNumber(painter, box, text, fixed, font)) return;
    // Headings and other words, wrapped or cut with an ellipsis as the styled delegate
    // does; there are few of them on a page.
    if (painter->font() != font) painter->setFont(font);
    ToQString(text, scratch_);
    const int align = fixed ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter;
    const bool wrap = (option.features & QStyleOptionViewItem::WrapText) != 0;
    const QFontMetrics metrics(font);
    if (!wrap && metrics.horizontalAdvance(scratch_) > box.width())
      scratch_ = metrics.elidedText(scratch_, Qt::ElideRight, box.width());
    painter->save();
    painter->setClipRect(option.rect, Qt::IntersectClip);
    painter->drawText(box, align | (wrap ? Qt::TextWordWrap : 0), scratch_);
    painter->restore();
  }

  static void ToQString(const std::string& text, QString& out) {
    out.resize(static_cast<qsizetype>(text.size()));
    QChar* chars = out.data();
    for (size_t i = 0; i < text.size(); ++i) {
      chars[i] = QChar(static_cast<char16_t>(Cp1252CodePoint(static_cast<unsigned char>(text[i]))));
    }
  }

  const FlexGridModel& model_;
  bool base_;
  mutable std::array<NumberGlyphs, 2> glyphs_;  // plain and bold
  // A cell's glyphs and their places; a longer text is no number.
  mutable std::array<quint32, 64> indexes_{};
  mutable std::array<QPointF, 64> positions_{};
  mutable QGlyphRun run_;
  mutable QString scratch_;
};

}  // namespace

int KeyCodeOf(int qt_key) {
  switch (qt_key) {
    case Qt::Key_Backspace:
      return keycode::kBack;
    case Qt::Key_Tab:
      return keycode::kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return keycode::kReturn;
    case Qt::Key_Shift:
      return keycode::kShift;
    case Qt::Key_Control:
      return keycode::kControl;
    case Qt::Key_Alt:
      return keycode::kMenu;
    case Qt::Key_Escape:
      return keycode::kEscape;
    case Qt::Key_Space:
      return keycode::kSpace;
    case Qt::Key_PageUp:
      return keycode::kPageUp;
    case Qt::Key_PageDown:
      return keycode::kPageDown;
    case Qt::Key_End:
      return keycode::kEnd;
    case Qt::Key_Home:
      return keycode::kHome;
    case Qt::Key_Left:
      return keycode::kLeft;
    case Qt::Key_Up:
      return keycode::kUp;
    case Qt::Key_Right:
      return keycode::kRight;
    case Qt::Key_Down:
      return keycode::kDown;
    case Qt::Key_Insert:
      return keycode::kInsert;
    case Qt::Key_Delete:
      return keycode::kDelete;
    default:
      break;
  }
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F12) return keycode::kF1 + (qt_key - Qt::Key_F1);
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return qt_key;  // same codes
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return qt_key;  // same codes
  return 0;
}

namespace {

int ShiftBits(Qt::KeyboardModifiers modifiers) {
  int shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= kShiftMask;
  if (modifiers & Qt::ControlModifier) shift |= kCtrlMask;
  if (modifiers & Qt::AltModifier) shift |= kAltMask;
  return shift;
}

}  // namespace

int ShiftStateOf(const QKeyEvent& event) {
  return ShiftBits(event.modifiers());
}

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

// ---- sizes, colours, painting ----

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

bool FlexGrid::RowFontBold(int row) const {
  return row >= 0 && row < Rows() && model_->Bold(row);
}

void FlexGrid::SetRowFontBold(int row, bool bold) {
  if (row < 0 || row >= Rows()) return;
  model_->SetBold(row, bold);
  Repaint();
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

// ---- keyboard ----

void FlexGrid::keyPressEvent(QKeyEvent* event) {
  int code = KeyCodeOf(event->key());
  int shift = ShiftStateOf(*event);
  // Shift+Tab arrives as its own key, without the Shift it was typed with.
  if (event->key() == Qt::Key_Backtab) {
    code = keycode::kTab;
    shift |= kShiftMask;
  }
  if (code != 0) emit KeyDown(code, shift);
  if (code != 0) MoveByKey(code, shift);
  // Alt with a letter asks for a menu, even one that no menu takes: it types nothing.
  const QString typed = (event->modifiers() & Qt::AltModifier) ? QString() : event->text();
  if (!typed.isEmpty()) {
    const std::string bytes = FromQt(typed);
    // The Delete key arrives with the DEL character as its text; it types nothing, so it
    // is a KeyDown only, as the windows expect of it.
    if (bytes.size() == 1 && bytes[0] != kDeleteCharacter) {
      int ch = static_cast<unsigned char>(bytes[0]);
      emit KeyPress(ch);
    }
  }
  event->accept();
}

void FlexGrid::MoveByKey(int key_code, int shift) {
  if (!HasCurrentCell()) return;
  if (key_code == keycode::kTab) {
    const int c = ClampCol(col_ + ((shift & kShiftMask) != 0 ? -1 : 1));
    MoveCursor(row_, c, row_, c);
    scrollTo(model_->index(row_, c));
    return;
  }
  const bool extend = (shift & kShiftMask) != 0;
  const bool ctrl = (shift & kCtrlMask) != 0;
  int r = extend ? row_sel_ : row_;
  int c = extend ? col_sel_ : col_;
  const int page = std::max(1, viewport()->height() / std::max(1, rowHeight(r)) - 1);
  switch (key_code) {
    case keycode::kLeft:
      --c;
      break;
    case keycode::kRight:
      ++c;
      break;
    case keycode::kUp:
      --r;
      break;
    case keycode::kDown:
      ++r;
      break;
    case keycode::kPageUp:
      r -= page;
      break;
    case keycode::kPageDown:
      r += page;
      break;
    case keycode::kHome:
      c = fixed_cols_;
      if (ctrl) r = fixed_rows_;
      break;
    case keycode::kEnd:
      c = Cols() - 1;
      if (ctrl) r = Rows() - 1;
      break;
    default:
      return;
  }
  r = ClampRow(r);
  c = ClampCol(c);
  if (extend) {
    MoveCursor(row_, col_, r, c);
  } else {
    MoveCursor(r, c, r, c);
  }
  scrollTo(model_->index(r, c));
}

// ---- mouse ----

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
  emit(this->*signal)(button, ShiftBits(event.modifiers()),
                      PixelsToTwips(pos.x() + viewport()->x()),
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
