#include <benchmark/benchmark.h>

#include <QImage>
#include <QScrollBar>
#include <QWidget>
#include <iostream>
#include <string>

#include "bench_app.h"
#include "model/records.h"
#include "model/work_file_reader.h"
#include "platform/flex_grid.h"
#include "ui/results/concentration_grid.h"
#include "year_run.h"

// Display > Concentration on the year run of the largest building (13 rooms, 8 pollutants),
// in µg/m³ so that every value is converted and coloured. The first fill reads the run's
// work file; a refill (a unit change, a second window) must come back within 0.1 s.
namespace {

using quarn::bench::SecondsSince;
using quarn::bench::ThreadSeconds;

// The year run's building with an irritant level of 2.5 mg/m³, so that its values are coloured
// both ways; false (the benchmark skipped) when the run failed.
bool YearToShow(benchmark::State& state, quarn::BuildingRecord& b) {
  quarn::bench::App();
  const quarn::bench::YearRun& year = quarn::bench::TheYearRun();
  if (!year.failure.empty()) {
    state.SkipWithError(year.failure.c_str());
    return false;
  }
  b = year.building;
  for (auto& p : b.Scenario.Pollutants) p.IrritantConc = 2.5f;
  return true;
}

void BM_FillConcentrationGrid(benchmark::State& state) {
  quarn::BuildingRecord b;
  if (!YearToShow(state, b)) return;
  quarn::FlexGrid grid;
  QWidget form;
  quarn::bench::QuietPrompt prompt;
  for (auto _ : state) {
    // Parsed from its text, as the first window after a run does; the run vouches for the
    // file it wrote, so that the records are kept however soon they are read.
    quarn::ForgetParsedWorkFile(b.ConcWorkFile);
    quarn::NoteWorkFileWritten(b.ConcWorkFile);
    b.DisplayUnitCode = 1;
    double start = ThreadSeconds();
    quarn::FillConcentrationGrid(grid, form, b, ',', prompt);
    const double first = SecondsSince(start);
    // The unit changed back and forth, each a refill of the same run.
    constexpr int kRefills = 4;
    start = ThreadSeconds();
    for (int k = 0; k < kRefills; ++k) {
      b.DisplayUnitCode = static_cast<int16_t>(k % 2 == 0 ? 0 : 1);
      quarn::FillConcentrationGrid(grid, form, b, ',', prompt);
    }
    const double refill = SecondsSince(start) / kRefills;
    benchmark::DoNotOptimize(grid.TextMatrix(grid.Rows() - 1, 1));
    state.counters["first_fill_s"] = first;
    state.counters["refill_s"] = refill;
    state.counters["refill_over_0.1s"] = refill / 0.1;
    std::cout << "Display > Concentration of the year of the largest building (" << grid.Rows()
              << " rows of " << b.Scenario.NumOutputRecords << " records): processor time first "
              << "fill " << first << " s, each refill " << refill << " s (target 0.1 s)\n";
  }
  if (prompt.messages > 0) state.SkipWithError(prompt.last.c_str());
}
BENCHMARK(BM_FillConcentrationGrid)->Iterations(1)->Unit(benchmark::kMillisecond);

// Twenty pages of the year's table, down and across, each painted as the screen would be:
// one frame at 60 Hz is what a page may take.
void BM_PageConcentrationGrid(benchmark::State& state) {
  quarn::BuildingRecord b;
  if (!YearToShow(state, b)) return;
  b.DisplayUnitCode = 1;
  QWidget form;
  quarn::FlexGrid grid(&form);
  grid.resize(1000, 700);
  quarn::bench::QuietPrompt prompt;
  quarn::FillConcentrationGrid(grid, form, b, ',', prompt);
  form.show();
  // The format of the screen's backing store: another would time a conversion of every page.
  QImage image(grid.size(), QImage::Format_ARGB32_Premultiplied);
  constexpr int kPages = 20;
  double seconds = 0;
  for (auto _ : state) {
    const double start = ThreadSeconds();
    for (int step = 0; step < kPages; ++step) {
      grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum() * step / 19);
      grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum() * step / 19);
      grid.render(&image);
    }
    seconds += SecondsSince(start);
  }
  const double page = seconds / static_cast<double>(state.iterations() * kPages);
  state.counters["page_s"] = page;
  state.counters["page_over_16ms"] = page / 0.016;
  std::cout << "Display > Concentration of the year of the largest building: processor time "
            << "a page " << page * 1000 << " ms (target 16 ms)\n";
  if (prompt.messages > 0) state.SkipWithError(prompt.last.c_str());
}
// A fixed count, so that the figure is printed once.
BENCHMARK(BM_PageConcentrationGrid)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
