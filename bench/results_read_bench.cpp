#include <benchmark/benchmark.h>

#include <iostream>
#include <string>

#include "model/exposure.h"
#include "model/records.h"
#include "model/run_observer.h"
#include "model/work_file_reader.h"
#include "ui/results/plot_series.h"
#include "year_run.h"

// What the results of the year run cost to read back. Reading the work file from its text
// is the yardstick: the exposure of three occupants walks every record once and writes its
// own files, so it should cost little more than that reading; a plot of a pollutant, once
// the file has been read for any window, should cost no reading at all.
namespace {

using quarn::bench::SecondsSince;
using quarn::bench::TheYearRun;
using quarn::bench::ThreadSeconds;

// Every record of the work file parsed from its text, as the first window to open does.
double ReadWorkFile(const quarn::BuildingRecord& b, long& records) {
  quarn::ForgetParsedWorkFile(b.ConcWorkFile);
  const double start = ThreadSeconds();
  quarn::ConcWorkFileReader reader(b.ConcWorkFile, ',', b.NumRooms, b.Scenario.NumPollutants);
  records = 0;
  while (reader.Next() == quarn::ConcWorkFileReader::Status::Record) ++records;
  return SecondsSince(start);
}

void BM_ExposureOfThreeOccupantsOverTheYear(benchmark::State& state) {
  const quarn::bench::YearRun& year = TheYearRun();
  if (!year.failure.empty()) {
    state.SkipWithError(year.failure.c_str());
    return;
  }
  for (auto _ : state) {
    quarn::BuildingRecord b = year.building;
    long records = 0;
    const double read = ReadWorkFile(b, records);
    quarn::bench::QuietPrompt prompt;
    quarn::RunObserver observer;
    // From the text, as when the exposure is the first thing calculated after the run.
    quarn::ForgetParsedWorkFile(b.ConcWorkFile);
    double start = ThreadSeconds();
    const quarn::ExposureRunResult first =
        quarn::RunExposureCalculation(b, year.folder.string(), ',', prompt, observer);
    const double cold = SecondsSince(start);
    // Again, now that the run's records are held.
    start = ThreadSeconds();
    quarn::RunExposureCalculation(b, year.folder.string(), ',', prompt, observer);
    const double warm = SecondsSince(start);
    if (!first.completed || prompt.messages > 0) {
      state.SkipWithError(("exposure failed: " + prompt.last).c_str());
      break;
    }
    state.counters["read_s"] = read;
    state.counters["exposure_s"] = cold;
    state.counters["exposure_again_s"] = warm;
    state.counters["exposure_over_read"] = cold / read;
    std::cout << "processor time: reading the work file (" << records << " records) " << read
              << " s, exposure of 3 occupants " << cold << " s (" << warm
              << " s once the records are held), exposure/read " << cold / read
              << " (target little more than 1)\n";
  }
}
BENCHMARK(BM_ExposureOfThreeOccupantsOverTheYear)->Iterations(1)->Unit(benchmark::kMillisecond);

// Plot > Concentration of each pollutant in turn, as the pollutant step of the plot window
// does: the first reads the file, every later one only thins the records.
void BM_PlotSeriesOfTheYear(benchmark::State& state) {
  const quarn::bench::YearRun& year = TheYearRun();
  if (!year.failure.empty()) {
    state.SkipWithError(year.failure.c_str());
    return;
  }
  const quarn::BuildingRecord& b = year.building;
  const int pollutants = b.Scenario.NumPollutants;
  for (auto _ : state) {
    long records = 0;
    const double read = ReadWorkFile(b, records);
    quarn::ForgetParsedWorkFile(b.ConcWorkFile);
    quarn::ConcentrationSeries series;
    double start = ThreadSeconds();
    if (quarn::ReadPollutantSeries(b, ',', 0, series)) {
      state.SkipWithError("the plot refused the work file");
      break;
    }
    const double first = SecondsSince(start);
    start = ThreadSeconds();
    for (int p = 1; p < pollutants; ++p) quarn::ReadPollutantSeries(b, ',', p, series);
    const double step = SecondsSince(start) / (pollutants - 1);
    benchmark::DoNotOptimize(series.Count());
    state.counters["read_s"] = read;
    state.counters["first_plot_s"] = first;
    state.counters["pollutant_step_s"] = step;
    state.counters["step_over_read"] = step / read;
    std::cout << "processor time: reading the work file " << read << " s, first plot " << first
              << " s, each pollutant step " << step << " s (" << series.Count()
              << " points a set), step/read " << step / read
              << " (target far below 1: no reading)\n";
  }
}
BENCHMARK(BM_PlotSeriesOfTheYear)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
