// The graph control: what a GraphData looks like on screen and on a page.

#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsTextItem>
#include <QLegendMarker>
#include <QPainter>
#include <QValueAxis>
#include <QXYSeries>
#include <cmath>
#include <map>
#include <optional>

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
  NoQtWarnings() : previous_(qInstallMessageHandler(&Handle)) {}
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

// Where the pixels of `region` close to `colour` lie (null when there are none).
QRect ColourBounds(const QImage& image, const QColor& c, QRect region = {}) {
  region = region.isNull() ? image.rect() : region & image.rect();
  QRect bounds;
  for (int y = region.top(); y <= region.bottom(); ++y) {
    for (int x = region.left(); x <= region.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      const int off = std::abs(qRed(p) - c.red()) + std::abs(qGreen(p) - c.green()) +
                      std::abs(qBlue(p) - c.blue());
      if (off <= 40) bounds |= QRect(x, y, 1, 1);
    }
  }
  return bounds;
}

// Every text the chart shows, with its place in the scene.
std::vector<std::pair<QString, QRectF>> Texts(const QChart& chart) {
  std::vector<std::pair<QString, QRectF>> texts;
  for (QGraphicsItem* item : chart.scene()->items()) {
    auto* text = dynamic_cast<QGraphicsTextItem*>(item);
    if (text != nullptr && text->isVisible()) {
      texts.emplace_back(text->toPlainText(), text->sceneBoundingRect());
    }
  }
  return texts;
}

std::optional<QRectF> Shown(const QChart& chart, const char* utf8) {
  for (const auto& [text, rect] : Texts(chart)) {
    if (text == QString::fromUtf8(utf8)) return rect;
  }
  return std::nullopt;
}

QStringList LegendTexts(const QChart& chart) {
  QStringList texts;
  for (QLegendMarker* marker : chart.legend()->markers()) {
    if (marker->isVisible()) texts.append(marker->label());
  }
  return texts;
}

TEST(Graph, EverySetHasItsColourAndItsLegendInOrder) {
  Graph graph;
  const GraphData data = Lines(3, 50);
  graph.SetData(data);
  const QImage picture = Picture(graph);
  for (int s = 1; s <= 3; ++s) {
    EXPECT_GT(ColourBounds(picture, Graph::PaletteColor(s)).width(), 500) << s;
  }
  EXPECT_EQ(LegendTexts(*graph.Chart()), QStringList({"Room 1", "Room 2", "Room 3"}));
  EXPECT_EQ(graph.data(), data);
}

TEST(Graph, MissingPointsBreakTheLineButNotTheLegend) {
  Graph graph;
  GraphData data = Lines(2, 50);
  for (int i = 20; i <= 25; ++i) data.Point(1, i).missing = true;
  data.Point(2, 22).y = 100;  // set 2 crosses the gap
  graph.SetData(data);
  const QImage picture = Picture(graph);
  // The plot area between points 20 and 25, in pixels of the picture.
  const auto* view = graph.findChild<QChartView*>();
  const auto at = [&](double x, double y) {
    const QPointF scene = graph.Chart()->mapToPosition({x, y}, graph.Chart()->series().front());
    return view->mapFromScene(scene) + view->pos();
  };
  const auto* y_axis = qobject_cast<QValueAxis*>(graph.Chart()->axes(Qt::Vertical).front());
  const QRect band(at(20, y_axis->max()) + QPoint(2, 0), at(25, y_axis->min()) - QPoint(2, 0));
  EXPECT_TRUE(ColourBounds(picture, Graph::PaletteColor(1), band).isNull());
  EXPECT_FALSE(ColourBounds(picture, Graph::PaletteColor(2), band).isNull());
  EXPECT_EQ(LegendTexts(*graph.Chart()), QStringList({"Room 1", "Room 2"}));
}

TEST(Graph, TitlesShowAndAProcedureChangesOnlyItsOwn) {
  Graph graph;
  GraphData data = Lines(1, 10);
  data.title = "Concentration vs time";
  data.left_title = "Concentration (\xB5g/m\xB3)";
  data.bottom_title = "Time (hrs)";
  graph.SetData(data);
  Picture(graph);
  const QChart& chart = *graph.Chart();
  EXPECT_TRUE(Shown(chart, "Concentration vs time"));
  EXPECT_TRUE(Shown(chart, "Time (hrs)"));
  const auto left = Shown(chart, "Concentration (\u00B5g/m\u00B3)");
  ASSERT_TRUE(left);
  EXPECT_GT(left->height(), left->width());  // drawn vertically
  data = graph.data();
  data.left_title = "Cumulative exposure";
  graph.SetData(data);
  EXPECT_TRUE(Shown(*graph.Chart(), "Cumulative exposure"));
  EXPECT_TRUE(Shown(*graph.Chart(), "Concentration vs time"));
  EXPECT_TRUE(Shown(*graph.Chart(), "Time (hrs)"));
}

TEST(Graph, UserAxesAreAsGivenAndAutomaticOnesCoverTheData) {
  Graph graph;
  GraphData data;
  data.x_axis = {false, 0, 100, 10};
  Put(data, 1, 1, 5, 0.001);
  Put(data, 1, 2, 95, 1234);
  graph.SetData(data);
  Picture(graph);
  std::map<qreal, QString> x_labels;  // left to right
  for (const auto& [text, rect] : Texts(*graph.Chart())) {
    if (rect.center().y() > graph.Chart()->plotArea().bottom()) x_labels[rect.x()] = text;
  }
  QStringList texts;
  for (const auto& label : x_labels) texts.append(label.second);
  EXPECT_EQ(texts, QStringList({"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"}));
  const auto* y = qobject_cast<QValueAxis*>(graph.Chart()->axes(Qt::Vertical).front());
  // Round labels, 0 to 1500 by 150, that hold both points.
  EXPECT_EQ(y->min(), 0);
  EXPECT_EQ(y->max(), 1500);
  EXPECT_EQ(y->tickCount(), 11);
}

// Ranges without width, inverted ones and values that are not numbers, as the plot
// procedures and their print stub can leave them.
GraphData Degenerate(int which) {
  GraphData data;
  if (which == 0) Put(data, 1, 1, 3, 5);  // one point
  if (which == 1) {                       // a y range from 0.01 to 0
    data = Lines(2, 5);
    data.y_axis = {false, 0.01, 0, 10};
    for (int i = 1; i <= 5; ++i) data.Point(1, i).y = data.Point(2, i).y = 0;
  }
  if (which == 2 || which == 3) {  // the print stub: 5 sets of two points that were never set
    data.Resize(5, 2);
    data.y_axis.maximum = -1e9;
    data.x_axis.maximum = -1e8;
    data.x_axis.minimum = 1e8;
    data.x_axis.automatic = data.y_axis.automatic = (which == 2);
  }
  if (which == 4) {
    data = Lines(1, 10);
    data.Point(1, 4).y = INFINITY;
    data.Point(1, 5).y = NAN;
    data.Point(1, 6).x = -INFINITY;
  }
  if (which == 6) data.kind = GraphKind::Bar;  // no bars; 5 is no sets at all
  data.title = "Degenerate";
  return data;
}

TEST(Graph, DegenerateRangesDrawWithoutWarningsOrNotANumber) {
  Graph graph;
  for (int which = 0; which <= 6; ++which) {
    SCOPED_TRACE(which);
    NoQtWarnings guard;
    graph.SetData(Degenerate(which));
    Picture(graph);
    QImage page(400, 400, QImage::Format_RGB32);
    QPainter painter(&page);
    graph.render(painter, QRectF(0, 0, 400, 400));
    EXPECT_TRUE(Shown(*graph.Chart(), "Degenerate"));
    for (QAbstractAxis* axis : graph.Chart()->axes(Qt::Vertical)) {
      EXPECT_LT(qobject_cast<QValueAxis*>(axis)->min(), qobject_cast<QValueAxis*>(axis)->max());
    }
    for (QAbstractSeries* series : graph.Chart()->series()) {
      auto* line = qobject_cast<QXYSeries*>(series);
      for (const QPointF& p : line ? line->points() : QList<QPointF>()) {
        EXPECT_TRUE(std::isfinite(p.x() + p.y()));
      }
    }
    for (QGraphicsItem* item : graph.Chart()->scene()->items()) {
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
  const QStringList names{"Mother", "", "Mother"};
  for (int o = 1; o <= 3; ++o) {
    data.Point(1, o).style = o - 1;
    data.Point(1, o).label = names[o - 1].toStdString();
    data.Point(1, o).y = 2.0 * o;
  }
  graph.SetData(data);
  const QImage picture = Picture(graph);
  auto* axis = qobject_cast<QBarCategoryAxis*>(graph.Chart()->axes(Qt::Horizontal).front());
  ASSERT_EQ(axis->count(), 3);
  for (int o = 0; o < 3; ++o) EXPECT_EQ(axis->at(o).remove(QChar(0x200B)), names[o]);
  EXPECT_TRUE(Shown(*graph.Chart(), "Hrs spent above irritant concentration"));
  // Heights in the ratio of the values, left to right on one base line.
  const QRect first = ColourBounds(picture, Graph::PaletteColor(1));
  QRect before = first;
  for (int o = 2; o <= 3; ++o) {
    const QRect bar = ColourBounds(picture, Graph::PaletteColor(o));
    EXPECT_NEAR(bar.height(), first.height() * o, 3) << o;
    EXPECT_NEAR(bar.bottom(), first.bottom(), 1) << o;
    EXPECT_GT(bar.left(), before.right()) << o;
    before = bar;
  }
}

TEST(Graph, RenderFillsItsPlaceOnAPictureOfThePageAndNothingElse) {
  Graph graph;  // never shown
  graph.SetData(Lines(3, 50));
  // A page of 31,100 units each way, at 25 units to a pixel.
  const auto pixels = [](const QRectF& r) {
    return QRectF(r.topLeft() / 25, r.size() / 25).toAlignedRect().adjusted(-1, -1, 1, 1);
  };
  const auto page = [&](const std::vector<QRectF>& places) {
    QImage image(1244, 1244, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setWindow(0, 0, 31100, 31100);
    for (const QRectF& place : places) graph.render(painter, place);
    painter.end();
    for (const QRectF& place : places) {
      const QRect inside = pixels(place);
      const QRect ink = InkBounds(image.copy(inside));
      EXPECT_GT(ink.width(), inside.width() * 8 / 10);
      EXPECT_GT(ink.height(), inside.height() * 8 / 10);
      EXPECT_FALSE(ColourBounds(image, Graph::PaletteColor(2), inside).isNull());
    }
    QPainter blank(&image);
    for (const QRectF& place : places) blank.fillRect(pixels(place), Qt::white);
    blank.end();
    EXPECT_TRUE(InkBounds(image).isNull());
  };
  page({{5, 5, 25100, 27000}});
  const double a = 31100 / 2.5;
  page({{40, 10, a, a}, {a + 40, 10, a, a}, {40, a, a, a}, {a + 40, a, a, a}});
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
