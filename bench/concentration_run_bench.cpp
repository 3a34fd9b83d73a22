#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "common/largest_scenario.h"
#include "model/concentration_run.h"
#include "model/records.h"
#include "model/work_file.h"
#include "text/number_text.h"

// The largest scenario the program holds, run for a simulated year at the smallest usual
// step. The run must stay well under two seconds, and most of that should be the writing of
// the work file, which the floor below measures on its own.
namespace {

namespace fs = std::filesystem;
using quarn::BuildingRecord;

class QuietPrompt : public quarn::Prompt {
 public:
  int messages = 0;
  std::string last;
  void Message(const std::string& text, const std::string&, quarn::MessageIcon) override {
    ++messages;
    last = text;
  }
  quarn::Answer AskYesNo(const std::string&, const std::string&, quarn::MessageIcon) override {
    return quarn::Answer::Yes;
  }
  quarn::Answer AskYesNoCancel(const std::string&, const std::string&,
                               quarn::MessageIcon) override {
    return quarn::Answer::Yes;
  }
  quarn::Answer AskOkCancel(const std::string&, const std::string&, quarn::MessageIcon) override {
    return quarn::Answer::Ok;
  }
  std::optional<std::string> InputLine(const std::string&, const std::string&,
                                       const std::string& d) override {
    return d;
  }
};

class CountingObserver : public quarn::RunObserver {
 public:
  long steps = 0;
  bool StepDone(float) override {
    ++steps;
    return false;
  }
};

// The processor time of this thread, system time included: on a machine that others share,
// the wall clock also counts the time the thread waited for a core.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

double Seconds(double since) {
  return ThreadSeconds() - since;
}

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
  return Seconds(start);
}

void BM_ConcentrationRunOneYear(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / "quarn-bench";
  quarn::RunSettings settings;
  settings.TempFolderName = folder.string();
  settings.StepAdjustFactor = 1;  // no step growth
  settings.MaxConcentration = 100;
  for (auto _ : state) {
    BuildingRecord b = quarn::LargestScenario();
    QuietPrompt prompt;
    CountingObserver observer;
    const double start = ThreadSeconds();
    const quarn::RunOutcome outcome =
        quarn::RunConcentrationCalculation(b, settings, prompt, observer);
    const double run = Seconds(start);
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
