#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <iostream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench_app.h"
#include "platform/flex_grid.h"
#include "year_run.h"

// A results grid reaches 10,000 time rows by 200 room and pollutant columns; filling it
// and scrolling through it must stay well under a second.
namespace {

using quarn::bench::App;

constexpr int kRows = 10000;
constexpr int kCols = 200;

std::vector<std::string> SampleTexts() {
  std::vector<std::string> texts;
  for (int i = 0; i < 997; ++i) texts.push_back(" " + std::to_string(i * 0.001234 + 1e-5));
  return texts;
}

void Fill(quarn::FlexGrid& grid, const std::vector<std::string>& texts) {
  grid.SetRedraw(false);
  grid.SetRows(kRows);
  grid.SetCols(kCols);
  size_t k = 0;
  for (int r = 1; r < kRows; ++r) {
    for (int c = 1; c < kCols; ++c) {
      grid.SetTextMatrix(r, c, texts[k]);
      if (++k == texts.size()) k = 0;
    }
  }
  grid.SetRedraw(true);
}

void BM_FillResultsGrid(benchmark::State& state) {
  App();
  const auto texts = SampleTexts();
  for (auto _ : state) {
    quarn::FlexGrid grid;
    grid.resize(1000, 700);
    Fill(grid, texts);
    benchmark::DoNotOptimize(grid.TextMatrix(kRows - 1, kCols - 1));
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kRows} * kCols);
}
BENCHMARK(BM_FillResultsGrid)->Unit(benchmark::kMillisecond);

void BM_FillResultsGridWithRedraw(benchmark::State& state) {
  App();
  const auto texts = SampleTexts();
  quarn::FlexGrid grid;
  grid.resize(1000, 700);
  grid.show();
  for (auto _ : state) {
    grid.SetRows(kRows);
    grid.SetCols(kCols);
    size_t k = 0;
    for (int r = 1; r < kRows; ++r)
      for (int c = 1; c < kCols; ++c) {
        grid.SetTextMatrix(r, c, texts[k]);
        if (++k == texts.size()) k = 0;
      }
    QApplication::processEvents();
  }
}
BENCHMARK(BM_FillResultsGridWithRedraw)->Unit(benchmark::kMillisecond);

// Twenty pages down and across, each painted as the screen would be.
void BM_ScrollResultsGrid(benchmark::State& state) {
  App();
  const auto texts = SampleTexts();
  quarn::FlexGrid grid;
  grid.resize(1000, 700);
  Fill(grid, texts);
  grid.show();
  // The format of the screen's backing store: another would time a conversion of every page.
  QImage image(grid.size(), QImage::Format_ARGB32_Premultiplied);
  constexpr int kPages = 20;
  double seconds = 0;
  for (auto _ : state) {
    const double start = quarn::bench::ThreadSeconds();
    for (int step = 0; step < kPages; ++step) {
      grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum() * step / 19);
      grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum() * step / 19);
      grid.render(&image);
    }
    seconds += quarn::bench::SecondsSince(start);
  }
  // One frame at 60 Hz is what a page may take.
  const double page = seconds / static_cast<double>(state.iterations() * kPages);
  state.counters["page_s"] = page;
  state.counters["page_over_16ms"] = page / 0.016;
  std::cout << "results grid of " << kRows << " rows by " << kCols << " columns: processor time "
            << "a page " << page * 1000 << " ms (target 16 ms)\n";
}
// A fixed count, so that the figure is printed once.
BENCHMARK(BM_ScrollResultsGrid)->Iterations(3)->Unit(benchmark::kMillisecond);

// The cursor walked down the whole grid by code, as a read-back procedure does.
void BM_MoveCursorThroughGrid(benchmark::State& state) {
  App();
  const auto texts = SampleTexts();
  quarn::FlexGrid grid;
  grid.resize(1000, 700);
  Fill(grid, texts);
  for (auto _ : state) {
    for (int r = 1; r < kRows; ++r) grid.SetRow(r);
    benchmark::DoNotOptimize(grid.Text());
  }
}
BENCHMARK(BM_MoveCursorThroughGrid)->Unit(benchmark::kMillisecond);

}  // namespace
