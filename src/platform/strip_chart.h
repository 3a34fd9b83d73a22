#pragma once

#include <QChartView>
#include <QColor>
#include <map>

class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace quarn {

// A picture box that a calculation draws into point by point, over Qt Charts: a fixed
// scale of ScaleWidth by ScaleHeight units with y growing upwards, lines, and single points
// in a colour. Points already set stay where they are when the caller changes its own
// scale factors.
class StripChart : public QChartView {
  Q_OBJECT

 public:
  explicit StripChart(QWidget* parent = nullptr);

  double ScaleWidth() const { return width_; }
  double ScaleHeight() const { return height_; }
  void SetScale(double width, double height);

  void Line(double x1, double y1, double x2, double y2, const QColor& color);
  void PSet(double x, double y, const QColor& color);
  // Removes every line and point.
  void Cls();

  int PointCount() const { return points_; }
  int LineCount() const { return lines_; }

  // Colour `index` of the classic 16-colour palette (0 black, 1 blue, 2 green, 3 cyan,
  // 4 red, ...); indices outside 0..15 give black.
  static QColor PaletteColor(int index);

 private:
  QScatterSeries* SeriesFor(const QColor& color);
  void Attach(QAbstractSeries* series);

  QValueAxis* x_axis_;
  QValueAxis* y_axis_;
  std::map<QRgb, QScatterSeries*> points_by_colour_;
  double width_ = 5000;
  double height_ = 1100;
  int points_ = 0;
  int lines_ = 0;
};

}  // namespace quarn
