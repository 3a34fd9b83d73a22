#include <benchmark/benchmark.h>

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

void BM_FillConcentrationGrid(benchmark::State& state) {
  quarn::bench::App();
  const quarn::bench::YearRun& year = quarn::bench::TheYearRun();
  if (!year.failure.empty()) {
    state.SkipWithError(year.failure.c_str());
    return;
  }
  quarn::BuildingRecord b = year.building;
  for (auto& p : b.Scenario.Pollutants) p.IrritantConc = 2.5f;
  quarn::FlexGrid grid;
  QWidget form;
  quarn::bench::QuietPrompt prompt;
  for (auto _ : state) {
    quarn::ForgetParsedWorkFile(b.ConcWorkFile);
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
    std::cout << "processor time: first fill " << first << " s, each refill " << refill << " s ("
              << grid.Rows() << " rows of " << b.Scenario.NumOutputRecords
              << " records), refill/0.1 s " << refill / 0.1 << "\n";
  }
  if (prompt.messages > 0) state.SkipWithError(prompt.last.c_str());
}
BENCHMARK(BM_FillConcentrationGrid)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
