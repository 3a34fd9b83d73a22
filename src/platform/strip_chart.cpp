#include "platform/strip_chart.h"

#include <QChart>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <array>

namespace quarn {

StripChart::StripChart(QWidget* parent) : QChartView(parent) {
  auto* chart = new QChart();
  chart->legend()->hide();
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->setBackgroundRoundness(0);
  x_axis_ = new QValueAxis(chart);
  y_axis_ = new QValueAxis(chart);
  for (QValueAxis* axis : {x_axis_, y_axis_}) {
    axis->setLabelsVisible(false);
    axis->setGridLineVisible(false);
  }
  chart->addAxis(x_axis_, Qt::AlignBottom);
  chart->addAxis(y_axis_, Qt::AlignLeft);
  setChart(chart);
  setRenderHint(QPainter::Antialiasing, false);
  SetScale(width_, height_);
}

void StripChart::SetScale(double width, double height) {
  width_ = width;
  height_ = height;
  x_axis_->setRange(0, width_);
  y_axis_->setRange(0, height_);
}

void StripChart::Attach(QAbstractSeries* series) {
  chart()->addSeries(series);
  series->attachAxis(x_axis_);
  series->attachAxis(y_axis_);
}

void StripChart::Line(double x1, double y1, double x2, double y2, const QColor& color) {
  auto* line = new QLineSeries();
  line->setColor(color);
  line->append(x1, y1);
  line->append(x2, y2);
  Attach(line);
  ++lines_;
}

QScatterSeries* StripChart::SeriesFor(const QColor& color) {
  auto it = points_by_colour_.find(color.rgb());
  if (it != points_by_colour_.end()) return it->second;
  auto* series = new QScatterSeries();
  series->setColor(color);
  series->setBorderColor(color);
  series->setMarkerSize(3);
  series->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
  Attach(series);
  points_by_colour_[color.rgb()] = series;
  return series;
}

void StripChart::PSet(double x, double y, const QColor& color) {
  SeriesFor(color)->append(x, y);
  ++points_;
}

void StripChart::Cls() {
  chart()->removeAllSeries();
  points_by_colour_.clear();
  points_ = 0;
  lines_ = 0;
}

QColor StripChart::PaletteColor(int index) {
  static constexpr std::array<QRgb, 16> kPalette{
      0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
      0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
  if (index < 0 || index >= 16) return QColor(0, 0, 0);
  return QColor(kPalette[static_cast<size_t>(index)]);
}

}  // namespace quarn
