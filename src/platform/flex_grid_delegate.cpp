#include "platform/flex_grid_delegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>
#include <optional>

#include "platform/flex_grid_model.h"
#include "text/cp1252.h"

namespace quarn {

void FlexGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
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

const FlexGridDelegate::NumberGlyphs& FlexGridDelegate::GlyphsFor(const QFont& font) const {
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

bool FlexGridDelegate::DrawNumber(QPainter* painter, const QRect& box, const std::string& text,
                                  bool centre, const QFont& font) const {
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

void FlexGridDelegate::DrawText(QPainter* painter, const QStyleOptionViewItem& option,
                                const std::string& text, bool fixed, bool bold) const {
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

void FlexGridDelegate::ToQString(const std::string& text, QString& out) {
  out.resize(static_cast<qsizetype>(text.size()));
  QChar* chars = out.data();
  for (size_t i = 0; i < text.size(); ++i) {
    chars[i] = QChar(static_cast<char16_t>(Cp1252CodePoint(static_cast<unsigned char>(text[i]))));
  }
}

}  // namespace quarn
