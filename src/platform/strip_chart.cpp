#include "platform/strip_chart.h"

#include <QChart>
#include <QGuiApplication>
#include <QLineSeries>
#include <QPainter>
#include <QScreen>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>

namespace quarn {
namespace {

// A point is a small square, big enough to see on a screen of today.
constexpr int kMarker = 3;
// The columns of the scale: at least enough that a column of a year's run spans a few hours,
// so that each day's peak has columns of its own; as many as the screen is wide, so that no
// plot area on it has more pixel columns; and not past the widest screens.
constexpr int kLeastColumns = 2048;
constexpr int kMostColumns = 8192;

int ColumnsForTheScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int pixels = screen != nullptr ? screen->geometry().width() : 0;
  return std::clamp(pixels, kLeastColumns, kMostColumns);
}

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
  columns_ = ColumnsForTheScreen();
  columns_per_unit_ = static_cast<float>(columns_ / width_);
  // The axes take the scale with their labels (SetAxisTitles): laying out numbers nobody sees
  // costs a window made for every run more than the run of a small building.
}

void StripChart::SetScale(double width, double height) {
  if (width != width_) {
    // The columns cut the scale's width: each column kept goes to the column its first
    // point falls into now.
    width_ = width;
    columns_per_unit_ = static_cast<float>(columns_ / width_);
    dirty_.clear();
    for (Series& s : series_) {
      std::vector<Column> kept;
      kept.swap(s.columns);
      for (const Column& c : kept) {
        if (c.Empty()) continue;
        Column& into = ColumnOf(s, c.x);
        if (into.Empty()) {
          into = Column{c.x, c.low, c.high, false};
        } else {
          into.low = std::min(into.low, c.low);
          into.high = std::max(into.high, c.high);
        }
      }
    }
  }
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

int StripChart::AddSeries(const QColor& color) {
  series_.push_back(Series{color.rgb() | 0xFF000000u, {}});
  return static_cast<int>(series_.size()) - 1;
}

int StripChart::PointCount() const {
  int points = 0;
  for (const Series& s : series_) {
    for (const Column& c : s.columns) {
      if (!c.Empty()) points += c.low == c.high ? 1 : 2;
    }
  }
  return points;
}

std::optional<StripChart::Range> StripChart::SeriesRange(int series, double x_from,
                                                         double x_to) const {
  if (series < 0 || series >= static_cast<int>(series_.size())) return std::nullopt;
  std::optional<Range> range;
  for (const Column& c : series_[static_cast<size_t>(series)].columns) {
    if (c.Empty() || c.x < x_from || c.x > x_to) continue;
    if (!range) range = Range{c.low, c.high};
    range->low = std::min<double>(range->low, c.low);
    range->high = std::max<double>(range->high, c.high);
  }
  return range;
}

size_t StripChart::HeldBytes() const {
  size_t bytes = series_.capacity() * sizeof(Series) + dirty_.capacity() * sizeof(DirtyColumn) +
                 static_cast<size_t>(image_.sizeInBytes());
  for (const Series& s : series_) bytes += s.columns.capacity() * sizeof(Column);
  return bytes;
}

void StripChart::PaintColumn(const Series& series, const Column& column) {
  const int w = image_.width();
  const int h = image_.height();
  // Written straight into the image's pixels: a painter's rectangle per stroke costs more
  // than the run's step that lengthened it.
  const double fx = column.x * (w / width_);
  const double top = (height_ - column.high) * (h / height_);
  const double bottom = (height_ - column.low) * (h / height_);
  if (!(fx > -kMarker && fx < w + kMarker && bottom > -kMarker && top < h + kMarker)) return;
  const int half = kMarker / 2;
  const int cx = static_cast<int>(std::lround(fx));
  const int y0 = std::max(static_cast<int>(std::lround(top)) - half, 0);
  const int y1 = std::min(static_cast<int>(std::lround(bottom)) + half, h - 1);
  const int x0 = std::max(cx - half, 0);
  const int x1 = std::min(cx + half, w - 1);
  for (int y = y0; y <= y1; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    for (int x = x0; x <= x1; ++x) line[x] = series.color;
  }
}

void StripChart::FitImage() {
  const QRectF area = chart()->plotArea();
  const bool all = area != image_area_ || image_.isNull();
  if (all) {
    image_area_ = area;
    const QSize size = area.size().toSize();
    image_ = size.isEmpty() ? QImage() : QImage(size, QImage::Format_ARGB32_Premultiplied);
    if (!image_.isNull()) image_.fill(Qt::transparent);
  }
  const bool paint = !image_.isNull();
  if (all) {
    for (Series& s : series_) {
      for (Column& c : s.columns) {
        c.dirty = false;
        if (paint && !c.Empty()) PaintColumn(s, c);
      }
    }
  } else {
    for (const DirtyColumn& d : dirty_) {
      Series& s = series_[d.series];
      Column& c = s.columns[d.column];
      c.dirty = false;
      if (paint) PaintColumn(s, c);
    }
  }
  dirty_.clear();
}

void StripChart::AskUpdate() {
  if (update_asked_) return;
  update_asked_ = true;
  viewport()->update();
}

void StripChart::Cls() {
  chart()->removeAllSeries();
  series_.clear();
  dirty_.clear();
  image_ = QImage();
  image_area_ = QRectF();
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
