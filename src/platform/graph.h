#pragma once

#include <QColor>
#include <QWidget>

#include "platform/graph_data.h"

class QChart;
class QChartView;
class QPainter;
class QRectF;

namespace quarn {

// The graph control of the plot windows and bar charts, over Qt Charts: it shows a
// GraphData as a line plot (one line and one legend entry per set) or as a bar chart (one
// labelled bar per point of set 1), on screen and on any painter.
class Graph : public QWidget {
  Q_OBJECT

 public:
  explicit Graph(QWidget* parent = nullptr);

  // Replaces what the graph shows and draws it.
  void SetData(const GraphData& data);
  // What was last set, unchanged, so that a plot procedure can change only its part.
  const GraphData& data() const { return data_; }

  // Draws the graph into `target` of any painter (a printer page, an image), laid out
  // for the physical size that the target has on the painter's device, so that texts
  // and lines keep the size they have on screen; a zoom above 1 lays it out that much larger,
  // so that its texts come out smaller and more of them fit.
  void render(QPainter& painter, const QRectF& target, double zoom = 1) const;
  using QWidget::render;

  // Colour `number` (from 1) of the palette: the line colour of set `number` and the fill
  // colour of bar style `number` - 1; colours that stay apart on white paper, the same on
  // screen and in print.
  static QColor PaletteColor(int number);
  static int PaletteSize();

  QChart* Chart() const;

 private:
  QChartView* view_;
  GraphData data_;
};

}  // namespace quarn
