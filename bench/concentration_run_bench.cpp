#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "callgrind_count.h"
#include "common/largest_scenario.h"
#include "common/steady_scenario.h"
#include "model/concentration_run.h"
#include "model/exact_step.h"
#include "model/mass_balance.h"
#include "model/records.h"
#include "model/step_system.h"
#include "model/work_file.h"
#include "text/text_reader.h"
#include "year_run.h"

// The largest scenario the program holds, run for a simulated year at the smallest usual
// step. The run must stay well under two seconds, and most of that should be the writing of
// the work file, which the floor below measures on its own.
namespace {

namespace fs = std::filesystem;
using quarn::BuildingRecord;

using quarn::bench::Seconds;
using quarn::bench::Stopwatch;

class CountingObserver : public quarn::RunObserver {
 public:
  long steps = 0;
  bool StepDone(float) override {
    ++steps;
    return false;
  }
};

// Formatting and writing the same count of records of the same width through the work file's
// own record writer, with nothing computed: what the run cannot go below. The run and the
// floor are held to the wall clock; the processor time tells what the run's overlap hides.
Seconds TextFloor(const std::string& path, long records, int width) {
  const Stopwatch watch;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::string block;
  std::vector<float> record(static_cast<std::size_t>(width));
  float v = 0.123456F;
  for (long k = 0; k < records; ++k) {
    for (float& c : record) {
      c = v;
      // Growing without bound, v would pass the largest Single after 900,000 numbers and
      // the floor would time the writing of "inf" for most of the file.
      v = v * 1.0001F + 1e-4F;
      if (v > 1e4F) v = 0.123456F;
    }
    quarn::AppendWorkRecord(block, 0.1F * static_cast<float>(k), record, ',');
    if (k % 1501 == 1500) {
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
      block.clear();
    }
  }
  quarn::AppendWorkFileEnd(block);
  out.write(block.data(), static_cast<std::streamsize>(block.size()));
  out.close();
  return watch.Elapsed();
}

// The time of a run of b, or nothing (the benchmark marked as failed, with the run's
// message) when the run did not complete.
std::optional<Seconds> TimedRun(BuildingRecord& b, const quarn::RunSettings& settings,
                                CountingObserver& observer, benchmark::State& state) {
  quarn::bench::QuietPrompt prompt;
  const Stopwatch watch;
  const quarn::RunOutcome outcome =
      quarn::RunConcentrationCalculation(b, settings, prompt, observer);
  const Seconds run = watch.Elapsed();
  if (outcome == quarn::RunOutcome::Completed) return run;
  state.SkipWithError(("run failed: " + prompt.last).c_str());
  return std::nullopt;
}

// Where the machine does not let a process count its instructions, callgrind counts them over
// this span of the same building: a year under callgrind would take most of a minute.
constexpr float kCountedYears = 1.0F / 12;
constexpr double kTimeTarget = 1.6;
constexpr double kInstructionTarget = 2.5;

std::string InstructionsAgainst(double run, double floor) {
  std::ostringstream text;
  text << "instructions " << run / 1e9 << " against " << floor / 1e9 << " billion, " << run / floor
       << " times (target " << kInstructionTarget << ")";
  return text.str();
}

// The instructions of the run against its floor, counted by callgrind over a month.
std::string CountedByCallgrind(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / "quarn-bench-callgrind";
  const quarn::bench::CallgrindCount count = quarn::bench::CountUnderCallgrind(folder);
  const auto& v = count.values;
  if (!count.failure.empty() || !v.contains("run") || !v.contains("floor") || v.at("floor") <= 0)
    return "instructions not counted: no perf events, and " +
           (count.failure.empty() ? "callgrind wrote no count" : count.failure);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  state.counters["run_over_floor_instructions"] = v.at("run") / v.at("floor");
  std::ostringstream text;
  text << InstructionsAgainst(v.at("run"), v.at("floor")) << ", counted by callgrind over a month"
       << " of the same building (" << (v.contains("records") ? v.at("records") : 0)
       << " records), the machine having no perf events";
  return text.str();
}

void BM_ConcentrationRunOneYear(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / "quarn-bench";
  const quarn::RunSettings settings = quarn::bench::BenchRunSettings(folder);
  quarn::bench::InstructionCounter counter;
  for (auto _ : state) {
    // Runs and floors side by side: the ratio of each pair holds when the machine's speed
    // drifts between them, and the median of five when another process takes a core.
    constexpr int kPairs = 5;
    std::vector<double> ratios;
    std::vector<double> processor_ratios;
    Seconds run;
    Seconds floor;
    double run_instructions = 0;
    double floor_instructions = 0;
    long steps = 0;
    long records = 0;
    int width = 0;
    for (int pair = 0; pair < kPairs; ++pair) {
      BuildingRecord b = quarn::LargestScenario();
      CountingObserver observer;
      counter.Start();
      const std::optional<Seconds> timed = TimedRun(b, settings, observer, state);
      run_instructions = counter.Stop();
      if (!timed) return;
      run = *timed;
      width = (b.NumRooms + 1) * b.Scenario.NumPollutants;
      records = b.Scenario.NumOutputRecords;
      steps = observer.steps;
      counter.Start();
      floor = TextFloor((folder / "floor.TMP").string(), records, width);
      floor_instructions = counter.Stop();
      ratios.push_back(run.wall / floor.wall);
      processor_ratios.push_back(run.processor / floor.processor);
    }
    std::sort(ratios.begin(), ratios.end());
    std::sort(processor_ratios.begin(), processor_ratios.end());
    const double median = ratios[kPairs / 2];
    state.counters["run_s"] = run.wall;
    state.counters["text_floor_s"] = floor.wall;
    state.counters["run_over_floor_median"] = median;
    state.counters["run_over_floor_processor_median"] = processor_ratios[kPairs / 2];
    state.counters["records"] = static_cast<double>(records);
    std::cout << "the year run of the largest building against its formatting floor: wall clock "
              << "run " << run.wall << " s, text floor " << floor.wall << " s, " << steps
              << " steps, " << records << " records of " << width + 1
              << " numbers; run over floor in " << kPairs << " side-by-side pairs";
    for (double r : ratios) std::cout << " " << r;
    std::cout << " (median " << median << ", target " << kTimeTarget
              << "); processor time of every thread run " << run.processor << " s, floor "
              << floor.processor << " s (median ratio " << processor_ratios[kPairs / 2]
              << ", the work file written beside the run's physics); ";
    if (counter.Available() && floor_instructions > 0)
      std::cout << InstructionsAgainst(run_instructions, floor_instructions) << " over the year";
    else
      std::cout << CountedByCallgrind(state);
    std::cout << "\n";
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_ConcentrationRunOneYear)->Iterations(1)->Unit(benchmark::kMillisecond);

// Every file of folder `a` has a namesake of the same bytes in `b`, and `b` has no other.
bool SameFiles(const fs::path& a, const fs::path& b) {
  const auto files = [](const fs::path& folder) {
    std::vector<fs::path> names;
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.is_regular_file()) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  };
  const std::vector<fs::path> names = files(a);
  if (names.empty() || names != files(b)) return false;
  // A year's work file may pass the limit set for the files a user opens.
  constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();
  for (const fs::path& name : names) {
    std::string one;
    std::string other;
    if (!quarn::ReadFileBytes((a / name).string(), one, nullptr, kNoLimit) ||
        !quarn::ReadFileBytes((b / name).string(), other, nullptr, kNoLimit) || one != other)
      return false;
  }
  return true;
}

// The largest building with ventilation and HVAC flows that change every hour, the same each
// day: the run meets 24 systems again and again, and keeps what it worked out for each. Beside
// it, alternately, the same year keeping one system, as the run did before it kept them: the
// kept systems must save most of the time and change no bit of the work file.
void BM_HourlyFlowsOneYear(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / "quarn-bench-hourly";
  const quarn::RunSettings kept = quarn::bench::BenchRunSettings(folder / "kept");
  quarn::RunSettings one = quarn::bench::BenchRunSettings(folder / "one");
  one.systems_kept = 1;
  // The run makes its own folder, but not the one above it.
  fs::create_directories(folder / "kept");
  fs::create_directories(folder / "one");
  constexpr double kTarget = 0.4;
  for (auto _ : state) {
    std::vector<double> with_kept;
    std::vector<double> with_one;
    std::vector<double> ratios;
    long steps = 0;
    long records = 0;
    // Each run writes its files in a folder of its own inside the one it is given.
    fs::path kept_files;
    fs::path one_files;
    for (int pair = 0; pair < 2; ++pair) {
      for (const bool keeping_one : {false, true}) {
        BuildingRecord b = quarn::HourlyFlowsScenario();
        CountingObserver observer;
        const std::optional<Seconds> timed = TimedRun(b, keeping_one ? one : kept, observer, state);
        if (!timed) return;
        (keeping_one ? with_one : with_kept).push_back(timed->processor);
        (keeping_one ? one_files : kept_files) = fs::path(b.ConcWorkFile).parent_path();
        steps = observer.steps;
        records = b.Scenario.NumOutputRecords;
      }
      ratios.push_back(with_kept.back() / with_one.back());
    }
    // The median of two pairs.
    const double median = (ratios[0] + ratios[1]) / 2;
    const bool same = SameFiles(kept_files, one_files);
    state.counters["kept_s"] = with_kept.back();
    state.counters["one_kept_s"] = with_one.back();
    state.counters["kept_over_one_median"] = median;
    if (!same) state.SkipWithError("the work files differ");
    std::cout << "flows changing every hour, a year of the largest building (" << steps
              << " steps, " << records << " records), processor time keeping " << kept.systems_kept
              << " systems " << with_kept[0] << " s, " << with_kept[1] << " s; keeping one "
              << with_one[0] << " s, " << with_one[1]
              << " s; kept over one in two side-by-side pairs " << ratios[0] << ", " << ratios[1]
              << " (median " << median << ", target " << kTarget << "); work files "
              << (same ? "the same byte for byte" : "DIFFER") << " (target the same)\n";
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_HourlyFlowsOneYear)->Iterations(1)->Unit(benchmark::kMillisecond);

// One working-out of a step's system for a building of one room and of thirteen (the largest
// scenario cut to its first room): it costs what the rooms in use cost.
void BM_WorkingOutByRooms(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<double> seconds;
    for (int rooms : {1, 13}) {
      BuildingRecord b = quarn::LargestScenario();
      b.NumRooms = static_cast<int16_t>(rooms);
      const quarn::StateLayout layout = quarn::MakeStateLayout(b);
      quarn::WorkingFlows flows;
      quarn::RemovalTerms terms;
      for (int r = 1; r <= rooms; ++r) terms.loss_coefficient[r] = 1;
      const quarn::SquareMatrix m = quarn::AssembleRates(
          b, layout, quarn::MakeSystemKey(terms.loss_coefficient, flows, quarn::HVACMixing{}), 0,
          1);
      const int repeats = rooms == 1 ? 20000 : 20;
      const double start = quarn::bench::ThreadSeconds();
      double sink = 0;
      for (int i = 0; i < repeats; ++i) sink += quarn::ComputeStepMatrices(m, 0.1).phi(0, 0);
      benchmark::DoNotOptimize(sink);
      seconds.push_back(quarn::bench::SecondsSince(start) / repeats);
      std::cout << "one working-out for " << rooms << " room" << (rooms == 1 ? "" : "s") << " ("
                << layout.Size() << " states): " << 1e6 * seconds.back() << " us\n";
    }
    state.counters["one_room_us"] = 1e6 * seconds[0];
    state.counters["thirteen_rooms_us"] = 1e6 * seconds[1];
    // One room in use of thirteen should cost at most its share of a working-out.
    std::cout << "one working-out, 1 room against 13: " << seconds[0] / seconds[1]
              << " times (target at most the rooms in use, 1/13 = " << 1.0 / 13 << ")\n";
  }
}
BENCHMARK(BM_WorkingOutByRooms)->Iterations(1)->Unit(benchmark::kMillisecond);

// Eight small rooms of 10 to 24 m³ whose open doors carry 80 m³/h each way between neighbours
// in a ring and across it, so that each room exchanges several of its volumes with the
// others every step of 0.1 h; one room is aired with 40 m³/h of outdoor air. A constant
// and a decaying source, four pollutants, a sink in every room. The exchange between the
// rooms is what the run integrates over each step, and this is what it costs.
BuildingRecord OpenDoorHouse() {
  BuildingRecord b;
  const int rooms = 8;
  b.NumRooms = rooms;
  b.MasterFile = "Doors";
  quarn::ScenarioRecord& s = b.Scenario;
  s.NumPollutants = 4;
  quarn::MakeSteadyInMilligrams(s);
  s.StepSize = 0.1F;
  s.YearsSimulated = 1;
  for (int p = 0; p < s.NumPollutants; ++p) {
    s.Pollutants[p].Name = "VOC" + std::to_string(p);
    s.Pollutants[p].MolWt = 60.0F + 10 * p;
    s.BuildingPenetration[p] = 1;
  }
  const auto door = [&](int i, int j) {
    b.Neighbors[i][j] = b.Neighbors[j][i] = quarn::kTrue;
    s.NaturalRoomFlows[i][j] = s.NaturalRoomFlows[j][i] = 80;
  };
  for (int r = 1; r <= rooms; ++r) {
    b.RoomList[r].Volume = 10.0F + 2 * r;
    door(r, r % rooms + 1);
    if (r <= rooms / 2) door(r, r + rooms / 2);
    s.NumSinks[r] = 1;
    s.Sinks[r][1].Area = 5;
    for (int p = 0; p < s.NumPollutants; ++p) {
      s.Sinks[r][1].ka[p] = 0.1F * (p + 1);
      s.Sinks[r][1].kd[p] = 0.01F;
    }
  }
  s.NaturalFromOutdoors[1] = s.NaturalToOutdoors[1] = 40;
  for (int r : {2, 6}) {
    quarn::SourceRecord& src = s.Sources[r][++s.NumSources[r]];
    src.Model = r == 2 ? 6 : 1;  // constant; decaying from its switch-on every day
    src.Size = 1;
    src.NumCycles = 1;
    src.TimeOn[1] = 7;
    src.TimeOff[1] = 19;
    src.CycleRepeats = "D";
    for (int p = 0; p < s.NumPollutants; ++p) {
      src.Params[0][p] = 20;
      src.Params[1][p] = 0.2F;
    }
  }
  return b;
}

void BM_OpenDoorHouseOneYear(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / "quarn-bench-doors";
  const quarn::RunSettings settings = quarn::bench::BenchRunSettings(folder);
  for (auto _ : state) {
    BuildingRecord b = OpenDoorHouse();
    CountingObserver observer;
    const std::optional<Seconds> timed = TimedRun(b, settings, observer, state);
    if (!timed) break;
    const double run = timed->processor;
    const double hours = b.Scenario.ExposureCompareTime;
    state.counters["run_s"] = run;
    state.counters["us_per_simulated_hour"] = 1e6 * run / hours;
    std::cout << "processor time: open-door house, a year in " << run << " s, " << 1e6 * run / hours
              << " us per simulated hour, " << observer.steps << " steps, "
              << b.Scenario.NumOutputRecords << " records\n";
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_OpenDoorHouseOneYear)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

namespace quarn::bench {

int CountRunAndFloorInstructions(const std::filesystem::path& folder) {
  BuildingRecord b = LargestScenario(kCountedYears);
  CountingObserver observer;
  QuietPrompt prompt;
  RunOutcome outcome = RunOutcome::Failed;
  {
    const CountedPart part("run");
    outcome = RunConcentrationCalculation(b, BenchRunSettings(folder), prompt, observer);
  }
  if (outcome != RunOutcome::Completed) return 1;
  const long records = b.Scenario.NumOutputRecords;
  {
    const CountedPart part("floor");
    TextFloor((folder / "floor.TMP").string(), records,
              (b.NumRooms + 1) * b.Scenario.NumPollutants);
  }
  std::cout << "records " << records << "\n";
  return 0;
}

}  // namespace quarn::bench
