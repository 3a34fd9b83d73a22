#include <benchmark/benchmark.h>

#include <QWidget>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_app.h"
#include "model/prompt.h"
#include "model/records.h"
#include "platform/flex_grid.h"
#include "text/number_text.h"
#include "ui/results/concentration_grid.h"

// The concentration results table of the largest building (13 rooms, 8 pollutants) after a
// run of 40,000 output records, shown in µg/m³ so that every value is converted and
// coloured: Display > Concentration must fill it in well under two seconds.
namespace {

namespace fs = std::filesystem;

constexpr int kRooms = 13;
constexpr int kPollutants = 8;
constexpr int kRecords = 40000;

// Any message means the fill refused the file, and the figure would be meaningless.
class RefusingPrompt : public quarn::Prompt {
 public:
  std::string said;
  void Message(const std::string& text, const std::string&, quarn::MessageIcon) override {
    said = text;
  }
  quarn::Answer AskYesNo(const std::string&, const std::string&, quarn::MessageIcon) override {
    return quarn::Answer::No;
  }
  quarn::Answer AskYesNoCancel(const std::string&, const std::string&,
                               quarn::MessageIcon) override {
    return quarn::Answer::Cancel;
  }
  quarn::Answer AskOkCancel(const std::string&, const std::string&, quarn::MessageIcon) override {
    return quarn::Answer::Cancel;
  }
  std::optional<std::string> InputLine(const std::string&, const std::string&,
                                       const std::string&) override {
    return std::nullopt;
  }
};

std::string WriteWorkFile() {
  const fs::path path = fs::temp_directory_path() / "quarn_bench_conc_grid_SEN.TMP";
  std::ofstream out(path, std::ios::binary);
  std::string line;
  for (int k = 1; k <= kRecords; ++k) {
    line = quarn::FileSingle(0.1f * static_cast<float>(k));
    for (int i = 0; i < (kRooms + 1) * kPollutants; ++i) {
      line += ",";
      line += quarn::FileSingle(0.001f * static_cast<float>((k * 7 + i * 13) % 5000));
    }
    line += "\r\n";
    out << line;
  }
  out << "-999 \r\n";
  return path.string();
}

void BM_FillConcentrationGrid(benchmark::State& state) {
  quarn::bench::App();
  quarn::BuildingRecord b;
  b.NumRooms = kRooms;
  b.Scenario.NumPollutants = kPollutants;
  b.Scenario.ConcUnits = "milligrams";
  b.DisplayUnitCode = 1;
  for (auto& p : b.Scenario.Pollutants) p.IrritantConc = 2.5f;
  b.Scenario.NumOutputRecords = kRecords;
  b.Scenario.LastOutputTime = 0.1f * kRecords;
  b.ConcWorkFile = WriteWorkFile();
  quarn::FlexGrid grid;
  QWidget form;
  RefusingPrompt prompt;
  for (auto _ : state) {
    quarn::FillConcentrationGrid(grid, form, b, ',', prompt);
    benchmark::DoNotOptimize(grid.TextMatrix(grid.Rows() - 1, 1));
  }
  if (!prompt.said.empty()) state.SkipWithError(prompt.said.c_str());
  state.counters["rows"] = grid.Rows();
  fs::remove(b.ConcWorkFile);
}
BENCHMARK(BM_FillConcentrationGrid)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
