// The child program of the window memory benchmarks: one process for each thing measured,
// so that the peak resident memory it reports is that thing's alone, not what the benchmarks
// before it left in the process. It runs the year of the benchmark's building (13 rooms,
// 8 pollutants, 0.1 h) in the way its argument says and prints "name value" lines.
//
//   run            the year run with nothing watching
//   concentration  the same, then Display > Concentration of it with a page painted
//   progress       the year run through the progress window

#include <QImage>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "bench_app.h"
#include "common/scripted_prompt.h"
#include "model/concentration_run.h"
#include "model/program_state.h"
#include "platform/flex_grid.h"
#include "platform/strip_chart.h"
#include "ui/results/concentration_grid.h"
#include "ui/results/run_graph.h"
#include "year_run.h"

namespace {

namespace fs = std::filesystem;

// A field of /proc/self/status in kB ("VmHWM" is the peak resident memory).
long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(key.size()));
  }
  return -1;
}

void PrintMemory(const char* what) {
  std::cout << what << "_peak_kb " << StatusKb("VmHWM") << "\n"
            << what << "_resident_kb " << StatusKb("VmRSS") << "\n";
}

int Concentration(const quarn::bench::YearRun& year) {
  quarn::BuildingRecord b = year.building;
  // As the grid benchmark shows it: in µg/m³, so that every value is converted, and coloured
  // red above 2.5 mg/m³.
  for (auto& p : b.Scenario.Pollutants) p.IrritantConc = 2.5f;
  b.DisplayUnitCode = 1;
  QWidget form;
  form.resize(1000, 700);
  auto* grid = new quarn::FlexGrid(&form);
  grid->resize(1000, 700);
  quarn::bench::QuietPrompt prompt;
  quarn::FillConcentrationGrid(*grid, form, b, ',', prompt);
  form.show();
  QImage page(grid->size(), QImage::Format_ARGB32_Premultiplied);
  grid->render(&page);
  if (prompt.messages > 0) {
    std::cerr << prompt.last << "\n";
    return 1;
  }
  std::cout << "rows " << grid->Rows() << "\ncols " << grid->Cols() << "\n";
  PrintMemory("window");
  return 0;
}

int Progress(const fs::path& folder) {
  quarn::ProgramState program;
  program.Building = quarn::bench::YearBuilding();
  program.MaxConcentration = 20;
  quarn::bench::QuietPrompt prompt;
  quarn::testing::ScriptedPrompt window_prompt;
  quarn::RunGraph graph(program, window_prompt);
  const quarn::RunOutcome outcome = quarn::RunConcentrationCalculation(
      program.Building, quarn::bench::BenchRunSettings(folder), prompt, graph);
  if (outcome != quarn::RunOutcome::Completed) {
    std::cerr << "the run did not complete: " << prompt.last << "\n";
    return 1;
  }
  std::cout << "chart_points " << graph.Chart().PointCount() << "\nchart_bytes "
            << graph.Chart().HeldBytes() << "\n";
  PrintMemory("progress");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: " << argv[0] << " run|concentration|progress <folder>\n";
    return 2;
  }
  quarn::bench::App();
  const fs::path folder = argv[2];
  fs::create_directories(folder);
  const std::string mode = argv[1];
  if (mode == "progress") return Progress(folder);
  const quarn::bench::YearRun year = quarn::bench::RunYearIn(folder);
  if (!year.failure.empty()) {
    std::cerr << year.failure << "\n";
    return 1;
  }
  PrintMemory("run");
  if (mode == "concentration") return Concentration(year);
  return mode == "run" ? 0 : 2;
}
