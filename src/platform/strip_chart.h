#pragma once

#include <QChartView>
#include <QColor>
#include <QImage>
#include <vector>

class QValueAxis;

namespace quarn {

// A picture box that a calculation draws into point by point, over Qt Charts: a fixed
// scale of ScaleWidth by ScaleHeight units with y growing upwards, lines, and single points
// in a colour. Points already set stay where they are when the caller changes its own
// scale factors.
//
// A run sets millions of points, one record at a time. The points are therefore painted onto
// an image over the plot area, as a picture box keeps them, instead of being chart series,
// which lay every point out again on each addition. Setting a point only records it: the
// points set since the last paint are put on the image when the view is next painted, so a
// run that redraws its window a few times a second pays for each point once.
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
  void PSet(double x, double y, const QColor& color) { PSet(x, y, color.rgb()); }
  void PSet(double x, double y, QRgb color) {
    points_.push_back({static_cast<float>(x), static_cast<float>(y), color});
    if (!update_asked_) AskUpdate();
  }
  // Makes room for this many points in all, so that a long run does not move them as they
  // come.
  void Reserve(size_t points) { points_.reserve(points); }
  // Removes every line and point.
  void Cls();

  int PointCount() const { return static_cast<int>(points_.size()); }
  int LineCount() const { return lines_; }
  // The memory the chart holds for its points and their picture, in bytes.
  size_t HeldBytes() const {
    return points_.capacity() * sizeof(Point) + static_cast<size_t>(image_.sizeInBytes());
  }

  // Colour `index` of the classic 16-colour palette (0 black, 1 blue, 2 green, 3 cyan,
  // 4 red, ...); indices outside 0..15 give black.
  static QColor PaletteColor(int index);

 protected:
  void drawForeground(QPainter* painter, const QRectF& rect) override;

 private:
  // Kept small: a year's run of the largest building sets some millions.
  struct Point {
    float x;
    float y;
    QRgb color;
  };
  // Puts points [from, end) on the image.
  void Paint(size_t from);
  // Makes the image fit the plot area, repainting every point when its size changed, and
  // puts the points set since the last paint on it.
  void FitImage();
  void AskUpdate();

  QValueAxis* x_axis_;
  QValueAxis* y_axis_;
  std::vector<Point> points_;
  QImage image_;
  QRectF image_area_;
  double width_ = 5000;
  double height_ = 1100;
  int lines_ = 0;
  size_t painted_ = 0;  // points already on the image
  bool update_asked_ = false;
};

}  // namespace quarn
