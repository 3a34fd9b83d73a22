// The graph control: what a GraphData looks like on screen and on a page.

#include <QApplication>
#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QImage>
#include <QLegendMarker>
#include <QPainter>
#include <QValueAxis>
#include <QXYSeries>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/ink_bounds.h"
#include "platform/graph.h"
#include "platform/user_input.h"

namespace quarn {
namespace {

using testing::InkBounds;

// Fails the test on any Qt warning while it lives: a warning from Qt Charts is how an
// empty or inverted range shows before it turns into a division by zero. The offscreen
// platform's note that it cannot pass on a window's size hints is not about the chart.
class NoQtWarnings {
 public:
  NoQtWarnings() { previous_ = qInstallMessageHandler(&NoQtWarnings::Handle); }
  ~NoQtWarnings() { qInstallMessageHandler(previous_); }

 private:
  static void Handle(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtDebugMsg || type == QtInfoMsg || text.contains("propagateSizeHints")) return;
    ADD_FAILURE() << "Qt: " << text.toStdString();
  }
  QtMessageHandler previous_;
};

void Put(GraphData& data, int set, int point, double x, double y) {
  data.Point(set, point).x = x;
  data.Point(set, point).y = y;
}

GraphData Lines(int num_sets, int num_points) {
  GraphData data;
  for (int s = 1; s <= num_sets; ++s) {
    data.Set(s).legend = "Room " + std::to_string(s);
    for (int i = 1; i <= num_points; ++i) Put(data, s, i, i, s * 100 + 20 * std::sin(i * 0.3));
  }
  return data;
}

QImage Picture(Graph& graph) {
  graph.resize(800, 600);
  graph.show();
  testing::ProcessEvents();
  return graph.grab().toImage();
}

bool Near(QRgb pixel, const QColor& colour) {
  return std::abs(qRed(pixel) - colour.red()) + std::abs(qGreen(pixel) - colour.green()) +
             std::abs(qBlue(pixel) - colour.blue()) <=
         40;
}

// The pixels of `region` close to `colour`, and the rectangle that holds them.
QRect ColourBounds(const QImage& image, const QColor& colour, int* count = nullptr,
                   QRect region = {}) {
  if (region.isNull()) region = image.rect();
  QRect bounds;
  int n = 0;
  for (int y = region.top(); y <= region.bottom(); ++y) {
    for (int x = region.left(); x <= region.right(); ++x) {
      if (!Near(image.pixel(x, y), colour)) continue;
      bounds |= QRect(x, y, 1, 1);
      ++n;
    }
  }
  if (count != nullptr) *count = n;
  return bounds;
}

struct SceneText {
  QString text;
  QRectF rect;
  qreal rotation;
};

std::vector<SceneText> Texts(const QChart& chart) {
  std::vector<SceneText> texts;
  for (QGraphicsItem* item : chart.scene()->items()) {
    if (!item->isVisible()) continue;
    if (auto* t = dynamic_cast<QGraphicsTextItem*>(item)) {
      texts.push_back({t->toPlainText(), t->sceneBoundingRect(), t->rotation()});
    } else if (auto* s = dynamic_cast<QGraphicsSimpleTextItem*>(item)) {
      texts.push_back({s->text(), s->sceneBoundingRect(), s->rotation()});
    }
  }
  return texts;
}

bool Shows(const QChart& chart, const QString& text) {
  for (const SceneText& t : Texts(chart)) {
    if (t.text == text) return true;
  }
  return false;
}

QStringList LegendTexts(const QChart& chart) {
  QStringList texts;
  for (QLegendMarker* marker : chart.legend()->markers()) {
    if (marker->isVisible()) texts.append(marker->label());
  }
  return texts;
}

// Where a value of the plot appears on the picture of the graph.
QPoint OnPicture(Graph& graph, QPointF value) {
  auto* view = graph.findChild<QChartView*>();
  const QPointF scene = graph.chart()->mapToPosition(value, graph.chart()->series().front());
  return view->mapFromScene(scene) + view->pos();
}

TEST(Graph, EverySetHasItsColourAndItsLegendInOrder) {
  Graph graph;
  const GraphData data = Lines(3, 50);
  graph.setData(data);
  const QImage picture = Picture(graph);
  for (int s = 1; s <= 3; ++s) {
    int count = 0;
    ColourBounds(picture, Graph::PaletteColor(s), &count);
    EXPECT_GT(count, 100) << "set " << s;
  }
  EXPECT_EQ(LegendTexts(*graph.chart()), QStringList({"Room 1", "Room 2", "Room 3"}));
  EXPECT_EQ(graph.data(), data);
}

TEST(Graph, MissingPointsBreakTheLineButNotTheLegend) {
  Graph graph;
  GraphData data = Lines(2, 50);
  for (int i = 20; i <= 25; ++i) data.Point(1, i).missing = true;
  data.Point(2, 22).y = 100;  // set 2 crosses the gap
  graph.setData(data);
  const QImage picture = Picture(graph);
  const QRectF area = graph.chart()->plotArea();
  const int left = OnPicture(graph, {20, 0}).x() + 2;
  const int right = OnPicture(graph, {25, 0}).x() - 2;
  const QPoint top = graph.findChild<QChartView*>()->mapFromScene(area.topLeft());
  const QRect band(left, top.y(), right - left, static_cast<int>(area.height()));
  int first = 0, second = 0;
  ColourBounds(picture, Graph::PaletteColor(1), &first, band);
  ColourBounds(picture, Graph::PaletteColor(2), &second, band);
  EXPECT_EQ(first, 0);
  EXPECT_GT(second, 0);
  EXPECT_EQ(LegendTexts(*graph.chart()), QStringList({"Room 1", "Room 2"}));
}

TEST(Graph, TitlesShowAndAProcedureChangesOnlyItsOwn) {
  Graph graph;
  GraphData data = Lines(1, 10);
  data.title = "Concentration vs time";
  data.left_title = "Concentration (\xB5g/m\xB3)";
  data.bottom_title = "Time (hrs)";
  graph.setData(data);
  Picture(graph);
  EXPECT_TRUE(Shows(*graph.chart(), "Concentration vs time"));
  EXPECT_TRUE(Shows(*graph.chart(), "Time (hrs)"));
  for (const SceneText& t : Texts(*graph.chart())) {
    if (t.text == QString::fromUtf8("Concentration (\u00B5g/m\u00B3)")) {
      EXPECT_GT(t.rect.height(), t.rect.width());  // drawn vertically
    }
  }
  GraphData changed = graph.data();
  changed.left_title = "Cumulative exposure";
  graph.setData(changed);
  EXPECT_TRUE(Shows(*graph.chart(), "Cumulative exposure"));
  EXPECT_TRUE(Shows(*graph.chart(), "Concentration vs time"));
  EXPECT_TRUE(Shows(*graph.chart(), "Time (hrs)"));
  EXPECT_FALSE(Shows(*graph.chart(), QString::fromUtf8("Concentration (\u00B5g/m\u00B3)")));
}

TEST(Graph, UserAxesAreAsGivenAndAutomaticOnesCoverTheData) {
  Graph graph;
  GraphData data;
  data.x_axis = {false, 0, 100, 10};
  Put(data, 1, 1, 5, 0.001);
  Put(data, 1, 2, 95, 1234);
  graph.setData(data);
  Picture(graph);
  const QRectF area = graph.chart()->plotArea();
  std::vector<std::pair<qreal, QString>> x_labels;
  for (const SceneText& t : Texts(*graph.chart())) {
    bool number = false;
    t.text.toDouble(&number);
    if (number && t.rect.center().y() > area.bottom()) x_labels.emplace_back(t.rect.x(), t.text);
  }
  std::sort(x_labels.begin(), x_labels.end());
  QStringList texts;
  for (const auto& label : x_labels) texts.append(label.second);
  EXPECT_EQ(texts, QStringList({"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"}));
  auto* y = qobject_cast<QValueAxis*>(graph.chart()->axes(Qt::Vertical).front());
  EXPECT_LE(y->min(), 0.001);
  EXPECT_GE(y->max(), 1234);
  EXPECT_LE(y->max(), 2000);  // round numbers, not a waste of the plot
  EXPECT_EQ(y->tickCount(), 11);
}

// Ranges without width, inverted ones and values that are not numbers, as the plot
// procedures and their print stub can leave them.
GraphData Degenerate(int which) {
  GraphData data;
  switch (which) {
    case 0:  // one point
      Put(data, 1, 1, 3, 5);
      break;
    case 1:  // a y range from 0.01 to 0
      data = Lines(2, 5);
      data.y_axis = {false, 0.01, 0, 10};
      for (GraphSet& set : data.sets) {
        for (GraphPoint& p : set.points) p.y = 0;
      }
      break;
    case 2:  // the print stub: y maximum -1E9, x from 1E8 to -1E8, two empty points
    case 3:
      data.Resize(5, 2);
      data.y_axis.maximum = -1e9;
      data.x_axis.maximum = -1e8;
      data.x_axis.minimum = 1e8;
      data.x_axis.automatic = data.y_axis.automatic = (which == 2);
      break;
    case 4:  // values that are not finite
      data = Lines(1, 10);
      data.Point(1, 4).y = INFINITY;
      data.Point(1, 5).y = NAN;
      data.Point(1, 6).x = -INFINITY;
      break;
    case 5:  // no sets at all
      break;
    default:  // no bars
      data.kind = GraphKind::Bar;
      data.Resize(1, 0);
  }
  data.title = "Degenerate";
  return data;
}

TEST(Graph, DegenerateRangesDrawWithoutWarningsOrNotANumber) {
  Graph graph;
  for (int which = 0; which <= 6; ++which) {
    SCOPED_TRACE(which);
    NoQtWarnings guard;
    graph.setData(Degenerate(which));
    Picture(graph);
    QImage page(400, 400, QImage::Format_RGB32);
    QPainter painter(&page);
    graph.render(painter, QRectF(0, 0, 400, 400));
    painter.end();
    EXPECT_TRUE(Shows(*graph.chart(), "Degenerate"));
    for (QAbstractAxis* axis : graph.chart()->axes()) {
      if (auto* value = qobject_cast<QValueAxis*>(axis)) {
        EXPECT_TRUE(std::isfinite(value->min()) && std::isfinite(value->max()));
        EXPECT_LT(value->min(), value->max());
      }
    }
    for (QAbstractSeries* series : graph.chart()->series()) {
      if (auto* xy = qobject_cast<QXYSeries*>(series)) {
        for (const QPointF& p : xy->points()) EXPECT_TRUE(std::isfinite(p.x() + p.y()));
      }
    }
    for (QGraphicsItem* item : graph.chart()->scene()->items()) {
      const QRectF r = item->sceneBoundingRect();
      EXPECT_TRUE(std::isfinite(r.x() + r.y() + r.width() + r.height()));
    }
  }
}

TEST(Graph, BarsHaveTheirOwnColourValueAndLabelInOrder) {
  Graph graph;
  GraphData data;
  data.kind = GraphKind::Bar;
  data.left_title = "Hrs spent above irritant concentration";
  // Two occupants of one name and one without a name each keep their own bar and label.
  const std::vector<std::string> names{"Mother", "", "Mother"};
  for (int o = 1; o <= 3; ++o) {
    GraphPoint& bar = data.Point(1, o);
    bar.style = o - 1;
    bar.label = names[static_cast<size_t>(o - 1)];
    bar.y = 2.0 * o;
  }
  graph.setData(data);
  const QImage picture = Picture(graph);
  auto* axis = qobject_cast<QBarCategoryAxis*>(graph.chart()->axes(Qt::Horizontal).front());
  ASSERT_EQ(axis->count(), 3);
  for (int o = 0; o < 3; ++o) {
    EXPECT_EQ(axis->at(o).remove(QChar(0x200B)), QString::fromStdString(names[size_t(o)]));
  }
  EXPECT_TRUE(Shows(*graph.chart(), "Hrs spent above irritant concentration"));
  std::vector<QRect> bars;
  for (int o = 1; o <= 3; ++o) bars.push_back(ColourBounds(picture, Graph::PaletteColor(o)));
  for (int o = 0; o < 3; ++o) {
    ASSERT_FALSE(bars[size_t(o)].isNull()) << "bar " << o + 1;
    // Heights in the ratio of the values, bars left to right on one base line.
    EXPECT_NEAR(bars[size_t(o)].height(), bars[0].height() * (o + 1), 3);
    EXPECT_NEAR(bars[size_t(o)].bottom(), bars[0].bottom(), 1);
    if (o > 0) {
      EXPECT_GT(bars[size_t(o)].left(), bars[size_t(o - 1)].right());
    }
  }
}

// A picture page: 31,100 units each way over an image, as the printer service maps one.
class PicturePage {
 public:
  PicturePage() : image_(1244, 1244, QImage::Format_RGB32), painter_() {
    image_.fill(Qt::white);
    painter_.begin(&image_);
    painter_.setWindow(0, 0, 31100, 31100);
  }
  QImage Finish() {
    painter_.end();
    return image_;
  }
  QPainter& painter() { return painter_; }
  // A rectangle of the page in image pixels, a pixel wider each way for anti-aliasing.
  static QRect Pixels(const QRectF& units) {
    const double k = 1244.0 / 31100.0;
    return QRectF(units.x() * k, units.y() * k, units.width() * k, units.height() * k)
        .toAlignedRect()
        .adjusted(-1, -1, 1, 1);
  }

 private:
  QImage image_;
  QPainter painter_;
};

TEST(Graph, RenderFillsItsPlaceOnThePageAndNothingElse) {
  Graph graph;  // never shown
  graph.setData(Lines(3, 50));
  PicturePage page;
  const QRectF place(5, 5, 25100, 27000);
  graph.render(page.painter(), place);
  const QImage image = page.Finish();
  const QRect ink = InkBounds(image);
  const QRect expected = PicturePage::Pixels(place);
  EXPECT_TRUE(expected.contains(ink)) << ink.x() << "," << ink.y() << " " << ink.width();
  EXPECT_GT(ink.width(), expected.width() * 9 / 10);
  EXPECT_GT(ink.height(), expected.height() * 9 / 10);
  int count = 0;
  ColourBounds(image, Graph::PaletteColor(2), &count);
  EXPECT_GT(count, 100);  // the screen's pens on paper

  PicturePage four;
  const double a = 31100 / 2.5;
  const std::vector<QRectF> places{
      {40, 10, a, a}, {a + 40, 10, a, a}, {40, a, a, a}, {a + 40, a, a, a}};
  for (const QRectF& place : places) graph.render(four.painter(), place);
  QImage squares = four.Finish();
  QPainter blank(&squares);
  for (const QRectF& place : places) {
    const QRect pixels = PicturePage::Pixels(place);
    const QRect in_place = InkBounds(squares.copy(pixels));
    EXPECT_GT(in_place.width(), pixels.width() * 8 / 10);
    EXPECT_GT(in_place.height(), pixels.height() * 8 / 10);
    blank.fillRect(pixels, Qt::white);
  }
  blank.end();
  EXPECT_TRUE(InkBounds(squares).isNull());
}

TEST(GraphPalette, AtLeastThirteenColoursStayApartAndShowOnWhitePaper) {
  ASSERT_GE(Graph::PaletteSize(), 13);
  for (int i = 1; i <= Graph::PaletteSize(); ++i) {
    const QColor c = Graph::PaletteColor(i);
    EXPECT_LT(0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue(), 180) << i;
    for (int j = 1; j < i; ++j) {
      const QColor d = Graph::PaletteColor(j);
      EXPECT_GT(std::hypot(c.red() - d.red(), c.green() - d.green(), c.blue() - d.blue()), 80)
          << i << " " << j;
    }
  }
}

}  // namespace
}  // namespace quarn
