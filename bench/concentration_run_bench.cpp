#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "common/largest_scenario.h"
#include "model/concentration_run.h"
#include "model/records.h"
#include "model/work_file.h"
#include "text/number_text.h"
#include "year_run.h"

// The largest scenario the program holds, run for a simulated year at the smallest usual
// step. The run must stay well under two seconds, and most of that should be the writing of
// the work file, which the floor below measures on its own.
namespace {

namespace fs = std::filesystem;
using quarn::BuildingRecord;

using quarn::bench::SecondsSince;
using quarn::bench::ThreadSeconds;

class CountingObserver : public quarn::RunObserver {
 public:
  long steps = 0;
  bool StepDone(float) override {
    ++steps;
    return false;
  }
};

// Formatting and writing the same count of records of the same width with the text library
// alone: what the run cannot go below.
double TextFloor(const std::string& path, long records, int width) {
  const double start = ThreadSeconds();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::string block;
  float v = 0.123456F;
  for (long k = 0; k < records; ++k) {
    block += quarn::FileSingle(0.1F * static_cast<float>(k));
    for (int i = 0; i < width; ++i) {
      block += ',';
      block += quarn::FileSingle(v);
      // Growing without bound, v would pass the largest Single after 900,000 numbers and
      // the floor would time the writing of "inf" for most of the file.
      v = v * 1.0001F + 1e-4F;
      if (v > 1e4F) v = 0.123456F;
    }
    block += "\r\n";
    if (k % 1501 == 1500) {
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
      block.clear();
    }
  }
  block += quarn::FileSingle(-999.0F) + "\r\n";
  out.write(block.data(), static_cast<std::streamsize>(block.size()));
  out.close();
  return SecondsSince(start);
}

void BM_ConcentrationRunOneYear(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / "quarn-bench";
  const quarn::RunSettings settings = quarn::bench::BenchRunSettings(folder);
  for (auto _ : state) {
    BuildingRecord b = quarn::LargestScenario();
    quarn::bench::QuietPrompt prompt;
    CountingObserver observer;
    const double start = ThreadSeconds();
    const quarn::RunOutcome outcome =
        quarn::RunConcentrationCalculation(b, settings, prompt, observer);
    const double run = SecondsSince(start);
    if (outcome != quarn::RunOutcome::Completed) {
      state.SkipWithError(("run failed: " + prompt.last).c_str());
      break;
    }
    const int width = (b.NumRooms + 1) * b.Scenario.NumPollutants;
    const long records = b.Scenario.NumOutputRecords;
    const double floor = TextFloor((folder / "floor.TMP").string(), records, width);
    state.counters["run_s"] = run;
    state.counters["text_floor_s"] = floor;
    state.counters["steps_per_s"] = static_cast<double>(observer.steps) / run;
    state.counters["run_over_floor"] = run / floor;
    state.counters["records"] = static_cast<double>(records);
    std::cout << "processor time: run " << run << " s, text floor " << floor << " s, "
              << observer.steps << " steps (" << static_cast<double>(observer.steps) / run
              << " steps/s), " << records << " records of " << width + 1 << " numbers, run/floor "
              << run / floor << "\n";
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_ConcentrationRunOneYear)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
