#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QRawFont>
#include <QString>
#include <QStyledItemDelegate>
#include <array>
#include <string>
#include <string_view>

namespace quarn {

class FlexGridModel;

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
             const QModelIndex& index) const override;

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

  const NumberGlyphs& GlyphsFor(const QFont& font) const;
  // Sets a number text from the glyph table; false for a text with other characters, or
  // one that does not fit its box.
  bool DrawNumber(QPainter* painter, const QRect& box, const std::string& text, bool centre,
                  const QFont& font) const;
  void DrawText(QPainter* painter, const QStyleOptionViewItem& option, const std::string& text,
                bool fixed, bool bold) const;
  static void ToQString(const std::string& text, QString& out);

  const FlexGridModel& model_;
  bool base_;
  mutable std::array<NumberGlyphs, 2> glyphs_;  // plain and bold
  // A cell's glyphs and their places; a longer text is no number.
  mutable std::array<quint32, 64> indexes_{};
  mutable std::array<QPointF, 64> positions_{};
  mutable QGlyphRun run_;
  mutable QString scratch_;
};

}  // namespace quarn
