#include "platform/strip_chart.h"

#include <QChart>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>
#include <array>

namespace quarn {
namespace {

// A point is a small square, big enough to see on a screen of today.
constexpr double kMarker = 3;

}  // namespace

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
  image_area_ = QRectF();  // the points move with the scale: paint them again
  viewport()->update();
}

void StripChart::SetAxisTitles(const QString& x_title, const QString& y_title) {
  for (QValueAxis* axis : {x_axis_, y_axis_}) {
    axis->setLabelsVisible(true);
    axis->setLabelFormat("%g");
    axis->setTickCount(6);
  }
  x_axis_->setTitleText(x_title);
  y_axis_->setTitleText(y_title);
  image_area_ = QRectF();  // the labels take room from the plot area
  viewport()->update();
}

void StripChart::Line(double x1, double y1, double x2, double y2, const QColor& color) {
  auto* line = new QLineSeries();
  line->setColor(color);
  line->append(x1, y1);
  line->append(x2, y2);
  chart()->addSeries(line);
  line->attachAxis(x_axis_);
  line->attachAxis(y_axis_);
  ++lines_;
}

QPointF StripChart::ToImage(const Point& p) const {
  return {p.x / width_ * image_area_.width(), (1.0 - p.y / height_) * image_area_.height()};
}

void StripChart::Paint(QPainter& painter, const Point& p) const {
  const QPointF at = ToImage(p);
  painter.fillRect(QRectF(at.x() - kMarker / 2, at.y() - kMarker / 2, kMarker, kMarker),
                   QColor(p.color));
}

void StripChart::FitImage() {
  const QRectF area = chart()->plotArea();
  if (area == image_area_ && !image_.isNull()) return;
  image_area_ = area;
  const QSize size = area.size().toSize();
  if (size.isEmpty()) {
    image_ = QImage();
    return;
  }
  image_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
  image_.fill(Qt::transparent);
  QPainter painter(&image_);
  for (const Point& p : points_) Paint(painter, p);
}

void StripChart::PSet(double x, double y, const QColor& color) {
  points_.push_back({x, y, color.rgb()});
  if (!image_.isNull() && chart()->plotArea() == image_area_) {
    QPainter painter(&image_);
    Paint(painter, points_.back());
  }
  viewport()->update();
}

void StripChart::Cls() {
  chart()->removeAllSeries();
  points_.clear();
  image_ = QImage();
  image_area_ = QRectF();
  lines_ = 0;
  viewport()->update();
}

void StripChart::drawForeground(QPainter* painter, const QRectF& rect) {
  QChartView::drawForeground(painter, rect);
  FitImage();
  if (image_.isNull()) return;
  // The chart lies at the scene's origin, so the plot area is in scene coordinates.
  painter->save();
  painter->setClipRect(image_area_);
  painter->drawImage(image_area_.topLeft(), image_);
  painter->restore();
}

QColor StripChart::PaletteColor(int index) {
  static constexpr std::array<QRgb, 16> kPalette{
      0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
      0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
  if (index < 0 || index >= 16) return QColor(0, 0, 0);
  return QColor(kPalette[static_cast<size_t>(index)]);
}

}  // namespace quarn
