#include "platform/strip_chart.h"

#include <QChart>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>

namespace quarn {
namespace {

// A point is a small square, big enough to see on a screen of today.
constexpr int kMarker = 3;

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
  // The axes take the scale with their labels (SetAxisTitles): laying out numbers nobody sees
  // costs a window made for every run more than the run of a small building.
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
  x_axis_->setRange(0, width_);
  y_axis_->setRange(0, height_);
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

void StripChart::Paint(size_t from) {
  const int w = image_.width();
  const int h = image_.height();
  if (w <= 0 || h <= 0) return;
  // Written straight into the image's pixels: a painter's rectangle per point costs more
  // than the run's step that produced it.
  const double sx = w / width_;
  const double sy = h / height_;
  const int half = kMarker / 2;
  for (size_t i = from; i < points_.size(); ++i) {
    const Point& p = points_[i];
    const double fx = p.x * sx;
    const double fy = (height_ - p.y) * sy;
    if (!(fx > -kMarker && fx < w + kMarker && fy > -kMarker && fy < h + kMarker)) continue;
    const int cx = static_cast<int>(std::lround(fx));
    const int cy = static_cast<int>(std::lround(fy));
    const QRgb colour = p.color | 0xFF000000u;
    // A run sets many points on the pixel its last one took: that square is there already.
    if (cx >= 0 && cx < w && cy >= 0 && cy < h &&
        reinterpret_cast<const QRgb*>(image_.constScanLine(cy))[cx] == colour)
      continue;
    for (int y = std::max(cy - half, 0); y <= std::min(cy + half, h - 1); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
      for (int x = std::max(cx - half, 0); x <= std::min(cx + half, w - 1); ++x) line[x] = colour;
    }
  }
}

void StripChart::FitImage() {
  const QRectF area = chart()->plotArea();
  if (area != image_area_ || image_.isNull()) {
    image_area_ = area;
    painted_ = 0;
    const QSize size = area.size().toSize();
    if (size.isEmpty()) {
      image_ = QImage();
      return;
    }
    image_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    image_.fill(Qt::transparent);
  }
  Paint(painted_);
  painted_ = points_.size();
}

void StripChart::AskUpdate() {
  if (update_asked_) return;
  update_asked_ = true;
  viewport()->update();
}

void StripChart::Cls() {
  chart()->removeAllSeries();
  points_.clear();
  image_ = QImage();
  image_area_ = QRectF();
  painted_ = 0;
  lines_ = 0;
  viewport()->update();
}

void StripChart::drawForeground(QPainter* painter, const QRectF& rect) {
  QChartView::drawForeground(painter, rect);
  update_asked_ = false;
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
