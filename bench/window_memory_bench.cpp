#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>

// The memory of the results windows over the year of the benchmark's building (13 rooms,
// 8 pollutants, 0.1 h). Each figure comes from a child process of its own
// (bench/memory/window_memory.cpp), so that the peak resident memory is that of the one
// thing measured: the run alone, Display > Concentration of its year (at most 100 MB in all),
// and the run through its progress window (the chart at most 30 MB).
namespace {

namespace fs = std::filesystem;

// The "name value" lines of the child run in that mode; empty when it failed.
std::map<std::string, double> RunChild(const std::string& mode) {
  const fs::path folder = fs::temp_directory_path() / ("quarn-bench-memory-" + mode);
  const std::string command =
      std::string("'") + QUARN_BENCH_MEMORY_CHILD + "' " + mode + " '" + folder.string() + "'";
  std::map<std::string, double> values;
  FILE* out = popen(command.c_str(), "r");
  if (out == nullptr) return values;
  char name[64];
  double value = 0;
  while (std::fscanf(out, "%63s %lf", name, &value) == 2) values[name] = value;
  if (pclose(out) != 0) values.clear();
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return values;
}

constexpr double kKbPerMb = 1024;

void BM_ConcentrationWindowMemory(benchmark::State& state) {
  for (auto _ : state) {
    const auto run = RunChild("run");
    const auto window = RunChild("concentration");
    if (run.empty() || window.empty()) {
      state.SkipWithError("a child process failed");
      break;
    }
    const double alone = run.at("run_peak_kb") / kKbPerMb;
    const double peak = window.at("window_peak_kb") / kKbPerMb;
    state.counters["run_peak_MB"] = alone;
    state.counters["window_peak_MB"] = peak;
    state.counters["peak_over_100MB"] = peak / 100;
    std::cout << "peak resident memory: the year run alone " << alone
              << " MB; the run and Display > Concentration of it (" << window.at("rows")
              << " rows of " << window.at("cols") << " columns) " << peak
              << " MB (target 100 MB)\n";
  }
}
BENCHMARK(BM_ConcentrationWindowMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ProgressWindowMemory(benchmark::State& state) {
  for (auto _ : state) {
    const auto run = RunChild("run");
    const auto progress = RunChild("progress");
    if (run.empty() || progress.empty()) {
      state.SkipWithError("a child process failed");
      break;
    }
    const double alone = run.at("run_peak_kb") / kKbPerMb;
    const double peak = progress.at("progress_peak_kb") / kKbPerMb;
    const double chart = progress.at("chart_bytes") / (kKbPerMb * kKbPerMb);
    state.counters["run_peak_MB"] = alone;
    state.counters["progress_peak_MB"] = peak;
    state.counters["chart_MB"] = chart;
    state.counters["chart_over_30MB"] = chart / 30;
    std::cout << "peak resident memory: the year run alone " << alone
              << " MB, through its progress window " << peak << " MB; the chart holds " << chart
              << " MB (" << progress.at("chart_points") << " points; target 30 MB)\n";
  }
}
BENCHMARK(BM_ProgressWindowMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
