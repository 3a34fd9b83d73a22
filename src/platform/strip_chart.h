#pragma once

#include <QChartView>
#include <QColor>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

class QValueAxis;

namespace quarn {

// A picture box that a calculation draws into point by point, over Qt Charts: a fixed
// scale of ScaleWidth by ScaleHeight units with y growing upwards, lines, and series of
// points, each in its colour. Points already set stay where they are when the caller changes
// its own scale factors.
//
// A run sets millions of points, one record at a time, far more than the chart has pixels.
// So each series keeps only what can be drawn: the scale's width is cut into columns, as
// many as the screen is wide in pixels and at least 2048, and of the points that fall into a
// column the series keeps the lowest and the highest (a vertical stroke between them), so
// that no peak is lost; a pixel column of the plot holds a few such strokes. The strokes are
// painted onto an image over the plot area, as a picture box keeps its points, and a stroke that a
// new point lengthens is painted when the view is next painted, so that a run that redraws
// its window a few times a second pays for each point a comparison.
class StripChart : public QChartView {
  Q_OBJECT

 public:
  explicit StripChart(QWidget* parent = nullptr);

  double ScaleWidth() const { return width_; }
  double ScaleHeight() const { return height_; }
  void SetScale(double width, double height);
  // Shows the scale's numbers along both axes, under these titles.
  void SetAxisTitles(const QString& x_title, const QString& y_title);

  void Line(double x1, double y1, double x2, double y2, const QColor& color);
  // A new series of points in that colour; its number (from 0, in the order of their making)
  // is what Plot takes.
  int AddSeries(const QColor& color);
  // Sets a point of a series; a number that is not finite sets nothing.
  void Plot(int series, double x, double y) {
    if (series < 0 || series >= static_cast<int>(series_.size())) return;
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    if (!std::isfinite(fx) || !std::isfinite(fy)) return;
    Series& s = series_[static_cast<size_t>(series)];
    Extend(s, ColumnOf(s, fx), fx, fy);
  }
  // Sets a point at x of each series from the first, series i at ys[i], as Plot would: the
  // values of a record fall into one column of every series, worked out once.
  void PlotAll(double x, std::span<const float> ys) {
    const float fx = static_cast<float>(x);
    if (!std::isfinite(fx)) return;
    const size_t count = std::min(ys.size(), series_.size());
    const size_t index = ColumnIndex(fx);
    for (size_t i = 0; i < count; ++i) {
      const float fy = ys[i];
      if (!std::isfinite(fy)) continue;
      Series& s = series_[i];
      if (s.columns.empty()) s.columns.resize(static_cast<size_t>(columns_));
      Extend(s, s.columns[index], fx, fy);
    }
  }
  // Removes every line and series.
  void Cls();

  // How many columns the scale's width is cut into.
  int Columns() const { return columns_; }
  // The points the series keep: one for a column whose points all lie at one height, two
  // for one whose lowest and highest differ.
  int PointCount() const;
  // The lowest and highest point a series kept in a range of x, nullopt where it kept none:
  // what the chart shows of that range.
  struct Range {
    double low;
    double high;
  };
  std::optional<Range> SeriesRange(int series, double x_from, double x_to) const;
  int LineCount() const { return lines_; }
  // The memory the chart holds for its points and their picture, in bytes.
  size_t HeldBytes() const;

  // Colour `index` of the classic 16-colour palette (0 black, 1 blue, 2 green, 3 cyan,
  // 4 red, ...); indices outside 0..15 give black.
  static QColor PaletteColor(int index);

 protected:
  void drawForeground(QPainter* painter, const QRectF& rect) override;

 private:
  // The points of a series that fell into one column: the first one's x, the lowest and the
  // highest y. Kept small: a series has a column per pixel of the screen's width.
  struct Column {
    float x = 0;
    float low = std::numeric_limits<float>::quiet_NaN();  // NaN: no point yet
    float high = 0;
    bool dirty = false;  // lengthened since the last paint
    bool Empty() const { return std::isnan(low); }
  };
  struct Series {
    QRgb color = 0;
    std::vector<Column> columns;  // made with the series' first point
  };
  struct DirtyColumn {
    std::uint32_t series;
    std::uint32_t column;
  };

  size_t ColumnIndex(float x) const {
    // Truncation is the floor here: what lies left of the scale goes to its first column.
    const float at = x * columns_per_unit_;
    const int index = at >= static_cast<float>(columns_) ? columns_ - 1
                      : at > 0                           ? static_cast<int>(at)
                                                         : 0;
    return static_cast<size_t>(index);
  }
  Column& ColumnOf(Series& series, float x) {
    if (series.columns.empty()) series.columns.resize(static_cast<size_t>(columns_));
    return series.columns[ColumnIndex(x)];
  }
  // Takes (x, y) into a column of a series, and has the stroke painted where it grew.
  void Extend(Series& s, Column& column, float x, float y) {
    if (column.Empty()) {
      column = Column{x, y, y, false};
    } else if (y < column.low) {
      column.low = y;
    } else if (y > column.high) {
      column.high = y;
    } else {
      return;  // within the stroke already drawn
    }
    if (!column.dirty) {
      column.dirty = true;
      dirty_.push_back({static_cast<std::uint32_t>(&s - series_.data()),
                        static_cast<std::uint32_t>(&column - s.columns.data())});
    }
    if (!update_asked_) AskUpdate();
  }
  // Puts a column's stroke on the image.
  void PaintColumn(const Series& series, const Column& column);
  // Makes the image fit the plot area, repainting every column when its size changed, and
  // puts the strokes lengthened since the last paint on it.
  void FitImage();
  void AskUpdate();

  QValueAxis* x_axis_;
  QValueAxis* y_axis_;
  std::vector<Series> series_;
  std::vector<DirtyColumn> dirty_;
  QImage image_;
  QRectF image_area_;
  double width_ = 5000;
  double height_ = 1100;
  int columns_ = 1;
  float columns_per_unit_ = 1;  // columns_ / width_
  int lines_ = 0;
  bool update_asked_ = false;
};

}  // namespace quarn
