#include "platform/graph.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <array>
#include <cmath>
#include <optional>

#include "platform/qt_text.h"

namespace quarn {
namespace {

// A chart is laid out in pixels of a screen of this resolution, whatever the device it
// is drawn on, so that a printed graph has the proportions of the one on screen.
constexpr double kLayoutDpi = 96;
constexpr double kLineWidth = 2;
constexpr double kMarkerSize = 8;
constexpr int kMaxTicks = 50;

// Distinct from each other and dark enough for white paper: no yellow, silver or white,
// which the classic 16 colours have and which vanish on paper.
constexpr std::array<QRgb, 15> kPalette{0x1F77B4, 0xD62728, 0x2CA02C, 0xFF7F0E, 0x9467BD,
                                        0x8C564B, 0xE377C2, 0x000000, 0x00CED1, 0xBCBD22,
                                        0x000080, 0x800000, 0x006400, 0xFF00FF, 0x8B008B};

struct Range {
  double low;
  double high;
};

bool Drawable(const GraphPoint& p) {
  return !p.missing && std::isfinite(p.x) && std::isfinite(p.y);
}

void Include(std::optional<Range>& range, double v) {
  if (!range) {
    range = Range{v, v};
  } else {
    range->low = std::min(range->low, v);
    range->high = std::max(range->high, v);
  }
}

// Qt Charts asserts or divides by zero on an empty range: a range without width gets
// one around its minimum.
Range Widened(Range r) {
  if (r.high > r.low) return r;
  const double half = std::max(0.5, std::abs(r.low) / 2);
  return {r.low - half, r.low + half};
}

// Labels at round numbers: the smallest step m·10^k for which `intervals` steps,
// starting at a multiple of the step, cover the range.
Range Rounded(Range r, int intervals) {
  static constexpr std::array<double, 9> kMantissas{1, 1.5, 2, 2.5, 3, 4, 5, 6, 8};
  const double span = (r.high - r.low) / intervals;
  if (!std::isfinite(span) || span <= 0) return r;
  double decade = std::pow(10.0, std::floor(std::log10(span)));
  for (int tries = 0; tries < 4; ++tries, decade *= 10) {
    for (const double m : kMantissas) {
      const double step = m * decade;
      double low = std::floor(r.low / step) * step;
      if (low > r.low) low -= step;
      const double high = low + intervals * step;
      if (high >= r.high) return {low, high};
    }
  }
  return r;
}

int Intervals(const GraphAxis& axis) {
  return std::clamp(axis.ticks, 1, kMaxTicks);
}

Range AxisRange(const GraphAxis& axis, const std::optional<Range>& data) {
  if (!axis.automatic && std::isfinite(axis.minimum) && std::isfinite(axis.maximum)) {
    return Widened({axis.minimum, axis.maximum});
  }
  if (!data) return {0, 1};
  return Rounded(Widened(*data), Intervals(axis));
}

bool IsWhole(double v) {
  return std::abs(v - std::round(v)) <= 1e-6 * std::max(1.0, std::abs(v));
}

// As many decimals as the labels need to differ and no more ("0" to "100", "0.25"),
// in the C locale's digits like every number text of the program.
QString LabelFormat(Range r, int intervals) {
  const double step = (r.high - r.low) / intervals;
  if (step < 1e-6 || std::max(std::abs(r.low), std::abs(r.high)) >= 1e10) {
    return QStringLiteral("%.6g");
  }
  const int most = std::clamp(2 - static_cast<int>(std::floor(std::log10(step))), 0, 9);
  int decimals = 0;
  while (decimals < most) {
    const double scale = std::pow(10.0, decimals);
    if (IsWhole(step * scale) && IsWhole(r.low * scale)) break;
    ++decimals;
  }
  return QStringLiteral("%.") + QChar(u'0' + decimals) + QChar(u'f');
}

QValueAxis* AddValueAxis(QChart& chart, const GraphAxis& axis, const std::optional<Range>& data,
                         const std::string& title, Qt::Alignment where) {
  auto* value_axis = new QValueAxis();
  const Range range = AxisRange(axis, data);
  value_axis->setRange(range.low, range.high);
  value_axis->setTickCount(Intervals(axis) + 1);
  value_axis->setLabelFormat(LabelFormat(range, Intervals(axis)));
  value_axis->setTitleText(ToQt(title));
  chart.addAxis(value_axis, where);
  return value_axis;
}

void AddMarkers(QChart& chart, const GraphSet& set, const QColor& colour, QValueAxis* x_axis,
                QValueAxis* y_axis) {
  auto* series = new QScatterSeries();
  for (const GraphPoint& p : set.points) {
    if (Drawable(p)) series->append(p.x, p.y);
  }
  series->setName(ToQt(set.legend));
  series->setMarkerSize(kMarkerSize);
  series->setColor(colour);
  series->setBorderColor(colour);
  chart.addSeries(series);
  series->attachAxis(x_axis);
  series->attachAxis(y_axis);
}

// Qt Charts draws no gaps, so each run of drawable points is a series of its own; the
// runs of a set share its pen and its one legend entry.
void AddLines(QChart& chart, const GraphData& data) {
  std::optional<Range> xs, ys;
  for (const GraphSet& set : data.sets) {
    for (const GraphPoint& p : set.points) {
      if (!Drawable(p)) continue;
      Include(xs, p.x);
      Include(ys, p.y);
    }
  }
  QValueAxis* x_axis = AddValueAxis(chart, data.x_axis, xs, data.bottom_title, Qt::AlignBottom);
  QValueAxis* y_axis = AddValueAxis(chart, data.y_axis, ys, data.left_title, Qt::AlignLeft);
  for (int s = 0; s < data.NumSets(); ++s) {
    const GraphSet& set = data.sets[static_cast<size_t>(s)];
    if (set.markers) {
      AddMarkers(chart, set, Graph::PaletteColor(s + 1), x_axis, y_axis);
      continue;
    }
    QList<QList<QPointF>> runs(1);
    for (const GraphPoint& p : set.points) {
      if (Drawable(p)) {
        runs.back().append(QPointF(p.x, p.y));
      } else if (!runs.back().isEmpty()) {
        runs.append(QList<QPointF>());
      }
    }
    if (runs.size() > 1 && runs.back().isEmpty()) runs.removeLast();
    const QPen pen(Graph::PaletteColor(s + 1), kLineWidth);
    for (qsizetype r = 0; r < runs.size(); ++r) {
      auto* series = new QLineSeries();
      series->replace(runs[r]);
      series->setName(ToQt(set.legend));
      chart.addSeries(series);
      series->attachAxis(x_axis);
      series->attachAxis(y_axis);
      series->setPen(pen);
      // A point alone between missing ones would have no line to show it.
      series->setPointsVisible(runs[r].size() == 1);
      if (r > 0) {
        for (QLegendMarker* marker : chart.legend()->markers(series)) marker->setVisible(false);
      }
    }
  }
}

// Every bar is a stack of its own value in its own category and nothing in the others,
// which is how Qt Charts gives each bar of one series its own colour and full width.
void AddBars(QChart& chart, const GraphData& data) {
  static const std::vector<GraphPoint> kNone;
  const std::vector<GraphPoint>& bars = data.sets.empty() ? kNone : data.sets.front().points;
  std::optional<Range> values;
  Include(values, 0);
  QStringList labels;
  auto* series = new QStackedBarSeries();
  for (size_t i = 0; i < bars.size(); ++i) {
    const GraphPoint& bar = bars[i];
    const bool drawable = !bar.missing && std::isfinite(bar.y);
    if (drawable) Include(values, bar.y);
    QList<qreal> stack(static_cast<qsizetype>(bars.size()), 0.0);
    stack[static_cast<qsizetype>(i)] = drawable ? bar.y : 0.0;
    auto* set = new QBarSet(QString());
    set->append(stack);
    series->append(set);
    // The category axis keeps one of equal labels and drops empty ones, which would put
    // every later name under the wrong bar: zero-width spaces keep them apart unseen.
    QString label = ToQt(bar.label);
    while (label.isNull() || labels.contains(label)) label.append(QChar(0x200B));
    labels.append(label);
  }
  auto* categories = new QBarCategoryAxis();
  categories->append(labels);
  categories->setTitleText(ToQt(data.bottom_title));
  chart.addAxis(categories, Qt::AlignBottom);
  QValueAxis* value_axis = AddValueAxis(chart, data.y_axis, values, data.left_title, Qt::AlignLeft);
  chart.addSeries(series);
  series->attachAxis(categories);
  series->attachAxis(value_axis);
  const QList<QBarSet*> sets = series->barSets();
  for (qsizetype i = 0; i < sets.size(); ++i) {
    sets[i]->setColor(Graph::PaletteColor(bars[static_cast<size_t>(i)].style + 1));
    sets[i]->setBorderColor(Qt::transparent);
  }
  chart.legend()->hide();
}

QChart* NewChart(const GraphData& data) {
  auto* chart = new QChart();
  chart->setBackgroundRoundness(0);
  chart->setDropShadowEnabled(false);
  chart->setMargins(QMargins(6, 6, 6, 6));
  chart->layout()->setContentsMargins(0, 0, 0, 0);  // white to the edge, no frame of the view
  QFont title_font = chart->titleFont();
  title_font.setBold(true);
  title_font.setPointSizeF(title_font.pointSizeF() * 1.2);
  chart->setTitleFont(title_font);
  chart->setTitle(ToQt(data.title));
  // Beside the plot a legend holds the 13 rooms in full, which a row under it cuts short.
  chart->legend()->setAlignment(Qt::AlignRight);
  if (data.kind == GraphKind::Bar) {
    AddBars(*chart, data);
  } else {
    AddLines(*chart, data);
  }
  return chart;
}

}  // namespace

Graph::Graph(QWidget* parent) : QWidget(parent), view_(new QChartView(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  view_->setRenderHint(QPainter::Antialiasing);
  SetData(GraphData());
}

QChart* Graph::Chart() const {
  return view_->chart();
}

void Graph::SetData(const GraphData& data) {
  data_ = data;
  QChart* old = view_->chart();
  view_->setChart(NewChart(data_));
  delete old;
}

void Graph::render(QPainter& painter, const QRectF& target, double zoom) const {
  const QPaintDevice* device = painter.device();
  if (device == nullptr) return;
  const QRectF on_device = painter.combinedTransform().mapRect(target);
  const QSizeF layout(on_device.width() * zoom * kLayoutDpi / device->logicalDpiX(),
                      on_device.height() * zoom * kLayoutDpi / device->logicalDpiY());
  if (layout.isEmpty()) return;
  // A chart of its own, sized for the target: the one on screen keeps its size, and one
  // that was never shown has no size to draw at.
  QGraphicsScene scene;
  QChart* chart = NewChart(data_);
  scene.addItem(chart);
  chart->resize(layout);
  // The scene clips what it draws to the target.
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  scene.render(&painter, target, QRectF(QPointF(0, 0), layout), Qt::IgnoreAspectRatio);
  painter.restore();
}

int Graph::PaletteSize() {
  return static_cast<int>(kPalette.size());
}

QColor Graph::PaletteColor(int number) {
  const int size = PaletteSize();
  const int index = ((number - 1) % size + size) % size;
  return QColor(kPalette[static_cast<size_t>(index)]);
}

}  // namespace quarn
