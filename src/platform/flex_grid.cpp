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
#include <cstdint>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/qt_text.h"
#include "text/cp1252.h"

namespace quarn {

using NumberText = FlexGrid::NumberText;

// A value some cells carry beside their text (an exact number, a colour). Nothing is
// allocated until a cell first carries one; then there is a slot for every cell, laid out
// as the texts are, so that a results grid that colours every cell costs no lookups. Only
// the flags say which slots hold a value: slots of cells that went are kept for the cells
// of a refill, which then costs no writing of values that are overwritten anyway.
template <typename T>
class CellValues {
 public:
  std::optional<T> Get(size_t i) const {
    if (has_.empty() || has_[i] == 0) return std::nullopt;
    return values_[i];
  }
  bool Has(size_t i) const { return !has_.empty() && has_[i] != 0; }
  void Set(size_t i, T value, size_t cells) {
    if (has_.empty()) {
      if (values_.size() < cells) values_.resize(cells);
      has_.assign(cells, 0);
    }
    values_[i] = value;
    has_[i] = 1;
  }
  void Unset(size_t i) {
    if (!has_.empty()) has_[i] = 0;
  }
  void UnsetAll() { std::fill(has_.begin(), has_.end(), 0); }
  void Resize(size_t cells) {
    if (has_.empty()) return;
    if (values_.size() < cells) values_.resize(cells);
    has_.resize(cells, 0);
  }
  void Insert(size_t at, size_t count) {
    if (has_.empty()) return;
    values_.insert(values_.begin() + static_cast<std::ptrdiff_t>(at), count, T{});
    has_.insert(has_.begin() + static_cast<std::ptrdiff_t>(at), count, 0);
  }
  void Erase(size_t at, size_t count) {
    if (has_.empty()) return;
    const auto first = static_cast<std::ptrdiff_t>(at);
    const auto last = static_cast<std::ptrdiff_t>(at + count);
    values_.erase(values_.begin() + first, values_.begin() + last);
    has_.erase(has_.begin() + first, has_.begin() + last);
  }
  // The same cells in rows of `new_cols` instead of `old_cols`.
  void Relayout(int rows, int old_cols, int new_cols) {
    if (has_.empty()) return;
    CellValues moved;
    const size_t cells = static_cast<size_t>(rows) * static_cast<size_t>(new_cols);
    moved.values_.assign(cells, T{});
    moved.has_.assign(cells, 0);
    const int keep = std::min(old_cols, new_cols);
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < keep; ++c) {
        const size_t from = static_cast<size_t>(r) * static_cast<size_t>(old_cols) + c;
        const size_t to = static_cast<size_t>(r) * static_cast<size_t>(new_cols) + c;
        moved.values_[to] = values_[from];
        moved.has_[to] = has_[from];
      }
    }
    *this = std::move(moved);
  }

 private:
  std::vector<T> values_;
  std::vector<char> has_;
};

// The text matrix behind the grid: one string per cell, row by row, with the exact numbers
// and colours of the cells that have them beside it. A grid that is emptied and refilled
// keeps the strings of its cells and only marks them out of use, so that a refill of
// millions of cells writes each once; the numbers whose text is made on demand are kept
// apart until a cell is shown or read.
class FlexGridModel : public QAbstractTableModel {
 public:
  explicit FlexGridModel(QObject* parent) : QAbstractTableModel(parent) {}

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : rows_;
  }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : cols_;
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
        const std::string& t = Text(r, c);
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
  bool Valid(int r, int c) const { return r >= 0 && c >= 0 && r < rows_ && c < cols_; }
  size_t Index(int r, int c) const {
    return static_cast<size_t>(r) * static_cast<size_t>(cols_) + static_cast<size_t>(c);
  }

  int Rows() const { return rows_; }
  int Cols() const { return cols_; }

  void SetRows(int rows) {
    rows = std::max(rows, 0);
    if (rows == rows_) return;
    if (rows > rows_) {
      beginInsertRows(QModelIndex(), rows_, rows - 1);
      rows_ = rows;
      Resize();
      endInsertRows();
    } else {
      beginRemoveRows(QModelIndex(), rows, rows_ - 1);
      rows_ = rows;
      Resize();
      endRemoveRows();
    }
  }

  // An empty row at r (0 to rows_): the rows from r on move one down with their texts,
  // numbers and colours.
  void InsertRow(int r) {
    beginInsertRows(QModelIndex(), r, r);
    const size_t at = Index(r, 0);
    const auto width = static_cast<size_t>(cols_);
    cells_.insert(cells_.begin() + static_cast<std::ptrdiff_t>(at), width, std::string());
    live_.insert(live_.begin() + static_cast<std::ptrdiff_t>(at), width, 0);
    numbers_.Insert(at, width);
    deferred_.Insert(at, width);
    colors_.Insert(at, width);
    ++rows_;
    endInsertRows();
  }

  // Row r (0 to rows_ - 1) goes: the rows below move one up with their texts, numbers and
  // colours.
  void RemoveRow(int r) {
    beginRemoveRows(QModelIndex(), r, r);
    const size_t at = Index(r, 0);
    const auto width = static_cast<size_t>(cols_);
    const auto first = static_cast<std::ptrdiff_t>(at);
    const auto last = static_cast<std::ptrdiff_t>(at + width);
    cells_.erase(cells_.begin() + first, cells_.begin() + last);
    live_.erase(live_.begin() + first, live_.begin() + last);
    numbers_.Erase(at, width);
    deferred_.Erase(at, width);
    colors_.Erase(at, width);
    --rows_;
    endRemoveRows();
  }

  void SetCols(int cols) {
    cols = std::max(cols, 0);
    if (cols == cols_) return;
    // Cells are stored row by row, so a new column count moves every row; a grid without
    // rows keeps its storage for the rows to come (a results grid is emptied and refilled).
    auto relayout = [&](int new_cols) {
      if (rows_ > 0) {
        const size_t n = static_cast<size_t>(rows_) * static_cast<size_t>(new_cols);
        std::vector<std::string> cells(n);
        std::vector<char> live(n, 0);
        const int keep = std::min(cols_, new_cols);
        for (int r = 0; r < rows_; ++r) {
          for (int c = 0; c < keep; ++c) {
            const size_t to = static_cast<size_t>(r) * static_cast<size_t>(new_cols) + c;
            cells[to] = std::move(cells_[Index(r, c)]);
            live[to] = live_[Index(r, c)];
          }
        }
        cells_ = std::move(cells);
        live_ = std::move(live);
      }
      numbers_.Relayout(rows_, cols_, new_cols);
      deferred_.Relayout(rows_, cols_, new_cols);
      colors_.Relayout(rows_, cols_, new_cols);
      cols_ = new_cols;
    };
    if (cols > cols_) {
      beginInsertColumns(QModelIndex(), cols_, cols - 1);
      relayout(cols);
      endInsertColumns();
    } else {
      beginRemoveColumns(QModelIndex(), cols, cols_ - 1);
      relayout(cols);
      endRemoveColumns();
    }
  }

  void SetFixed(int fixed_rows, int fixed_cols) {
    fixed_rows_ = fixed_rows;
    fixed_cols_ = fixed_cols;
    if (rows_ > 0 && cols_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
  }

  const std::string& Text(int r, int c) const {
    static const std::string kEmpty;
    const size_t i = Index(r, c);
    if (const std::optional<DeferredNumber> d = deferred_.Get(i)) {
      cells_[i] = formats_[d->format](d->value);
      live_[i] = 1;
      deferred_.Unset(i);
    }
    return live_[i] != 0 ? cells_[i] : kEmpty;
  }

  void SetText(int r, int c, const std::string& text) {
    const size_t i = Index(r, c);
    if (numbers_.Has(i) && Text(r, c) != text) numbers_.Unset(i);
    deferred_.Unset(i);
    cells_[i] = text;
    live_[i] = 1;
  }

  void SetNumber(int r, int c, double value, const std::string& text) {
    const size_t i = Index(r, c);
    deferred_.Unset(i);
    cells_[i] = text;
    live_[i] = 1;
    numbers_.Set(i, value, live_.size());
  }

  void SetNumberText(int r, int c, float value, NumberText text) {
    const size_t i = Index(r, c);
    numbers_.Unset(i);
    deferred_.Set(i, DeferredNumber{value, FormatIndex(text)}, live_.size());
  }

  std::optional<double> Number(int r, int c) const { return numbers_.Get(Index(r, c)); }

  void Clear() {
    std::fill(live_.begin(), live_.end(), 0);
    numbers_.UnsetAll();
    deferred_.UnsetAll();
  }

  bool Bold(int r) const { return bold_rows_.count(r) != 0; }
  void SetBold(int r, bool bold) {
    if (bold) {
      bold_rows_.insert(r);
    } else {
      bold_rows_.erase(r);
    }
  }

  std::optional<QRgb> ColorRgb(int r, int c) const { return colors_.Get(Index(r, c)); }
  QColor Color(int r, int c) const {
    const std::optional<QRgb> color = ColorRgb(r, c);
    return color ? QColor::fromRgba(*color) : QColor();
  }
  void SetColor(int r, int c, const QColor& color) {
    if (color.isValid()) {
      SetRgb(r, c, color.rgba());
    } else {
      colors_.Unset(Index(r, c));
    }
  }
  void SetRgb(int r, int c, QRgb rgba) { colors_.Set(Index(r, c), rgba, live_.size()); }

 private:
  // A number of a cell whose text is made when it is first shown or read.
  struct DeferredNumber {
    float value = 0;
    std::uint16_t format = 0;  // in formats_
  };

  std::uint16_t FormatIndex(NumberText text) {
    // A grid has a handful of these functions: a search is quicker than a lookup.
    const auto found = std::find(formats_.begin(), formats_.end(), text);
    if (found == formats_.end()) {
      formats_.push_back(text);
      return static_cast<std::uint16_t>(formats_.size() - 1);
    }
    return static_cast<std::uint16_t>(found - formats_.begin());
  }

  // Strings of cells that went are kept (out of use) for the cells to come.
  void Resize() {
    const size_t n = static_cast<size_t>(rows_) * static_cast<size_t>(cols_);
    if (cells_.size() < n) cells_.resize(n);
    live_.resize(n, 0);
    numbers_.Resize(n);
    deferred_.Resize(n);
    colors_.Resize(n);
  }

  int rows_ = 0;
  int cols_ = 0;
  int fixed_rows_ = 1;
  int fixed_cols_ = 1;
  // At least a string for every cell; only those marked live hold the cell's text.
  mutable std::vector<std::string> cells_;
  mutable std::vector<char> live_;
  mutable CellValues<DeferredNumber> deferred_;
  std::vector<NumberText> formats_;
  CellValues<double> numbers_;
  CellValues<QRgb> colors_;
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
    const std::string& text = model_.Text(r, c);
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

void FlexGrid::SetNumberText(int row, int col, float value, NumberText text) {
  if (!model_->Valid(row, col)) return;
  model_->SetNumberText(row, col, value, text);
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

void FlexGrid::SetCellBackRgbAt(int row, int col, QRgb rgba) {
  if (!model_->Valid(row, col)) return;
  model_->SetRgb(row, col, rgba);
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
