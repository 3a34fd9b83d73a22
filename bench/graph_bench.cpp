#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>

#include <benchmark/benchmark.h>

#include "bench_app.h"
#include "platform/graph.h"

// The largest concentration plot: 13 rooms of 1,999 points each. Loading it and drawing
// it, on screen or on a page, must stay well under a second.
namespace {

using quarn::bench::App;

quarn::GraphData LargestPlot() {
  quarn::GraphData data;
  data.title = "Concentration vs time";
  data.left_title = "Concentration (mg/m\xB3)";
  data.bottom_title = "Time (hrs)";
  for (int room = 1; room <= 13; ++room) {
    data.Set(room).legend = "Room " + std::to_string(room);
    for (int i = 1; i <= 1999; ++i) {
      quarn::GraphPoint& p = data.Point(room, i);
      p.x = i * 0.25;
      p.y = room + std::exp(-i / 400.0) * std::sin(i * 0.05 + room);
    }
  }
  return data;
}

void BM_LoadAndDrawLargestPlot(benchmark::State& state) {
  App();
  const quarn::GraphData data = LargestPlot();
  quarn::Graph graph;
  graph.resize(1200, 800);
  graph.show();
  QApplication::processEvents();
  for (auto _ : state) {
    graph.SetData(data);
    benchmark::DoNotOptimize(graph.grab());
  }
}
BENCHMARK(BM_LoadAndDrawLargestPlot)->Unit(benchmark::kMillisecond);

// A landscape page at 300 dpi, 31,100 units each way, as Print graph lays it out.
void BM_PrintLargestPlot(benchmark::State& state) {
  App();
  quarn::Graph graph;
  graph.SetData(LargestPlot());
  QImage page(3300, 2550, QImage::Format_RGB32);
  page.setDotsPerMeterX(11811);
  page.setDotsPerMeterY(11811);
  for (auto _ : state) {
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.setWindow(0, 0, 31100, 31100);
    graph.render(painter, QRectF(5, 5, 25100, 27000));
  }
}
BENCHMARK(BM_PrintLargestPlot)->Unit(benchmark::kMillisecond);

}  // namespace
