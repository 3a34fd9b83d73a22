#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "model/concentration_run.h"
#include "model/records.h"
#include "model/work_file.h"
#include "text/number_text.h"

// The largest scenario the program holds, run for a simulated year at the smallest usual
// step: 13 rooms, 8 pollutants, three sources and two sinks in every room, an HVAC system
// with a return-air filter. The run must stay well under two seconds, and most of that
// should be the writing of the work file, which the floor below measures on its own.
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

BuildingRecord LargestScenario() {
  BuildingRecord b;
  b.NumRooms = quarn::kMaxRooms;
  b.MasterFile = "Bench";
  quarn::ScenarioRecord& s = b.Scenario;
  s.NumPollutants = quarn::kMaxPollutants;
  s.ConcUnits = s.OutdoorConcUnits = s.InitialConcUnits = "milligrams";
  s.ConstantACH = "Y";
  s.ConstantHVAC = "Y";
  s.ConstantOutdoorConc = "Y";
  s.NumOutdoorConcPoints = 1;
  s.HVACType = 1;
  s.HVACFilterType = 0;
  s.FilterCapacity = 1e6F;
  s.StepSize = 0.1F;
  s.YearsSimulated = 1;
  for (int p = 0; p < s.NumPollutants; ++p) {
    s.Pollutants[p].Name = "VOC" + std::to_string(p);
    s.Pollutants[p].MolWt = 50.0F + 10 * p;
    s.Pollutants[p].C0 = 1000;
    s.BuildingPenetration[p] = 1;
    s.OutdoorConc[1][p] = 0.01F * (p + 1);
    for (auto& position : s.FilterPenetration) position[p] = 1;
  }
  for (int r = 1; r <= b.NumRooms; ++r) {
    b.RoomList[r].Volume = 30.0F + r;
    s.NaturalFromOutdoors[r] = s.NaturalToOutdoors[r] = 15;
    s.HVACSupply[r] = s.HVACReturn[r] = 60;
    if (r < b.NumRooms) {
      b.Neighbors[r][r + 1] = b.Neighbors[r + 1][r] = quarn::kTrue;
      s.NaturalRoomFlows[r][r + 1] = s.NaturalRoomFlows[r + 1][r] = 10;
    }
    s.NumSources[r] = 3;
    for (int k = 1; k <= 3; ++k) {
      quarn::SourceRecord& src = s.Sources[r][k];
      src.Size = 1;
      src.NumCycles = 1;
      src.TimeOn[1] = 0;
      src.TimeOff[1] = 9000;
      src.CycleRepeats = "N";
    }
    s.Sources[r][1].Model = 1;  // R0k
    s.Sources[r][2].Model = 6;  // Polyfit, constant
    s.Sources[r][3].Model = 0;  // mass transfer from two layers
    s.NumSinks[r] = 2;
    for (int p = 0; p < s.NumPollutants; ++p) {
      s.Sources[r][1].Params[0][p] = 50;
      s.Sources[r][1].Params[1][p] = 0.05F;
      s.Sources[r][2].Params[0][p] = 5;
      auto& mt = s.Sources[r][3].Params;
      mt[0][p] = 1000;
      mt[1][p] = 0.5F;
      mt[2][p] = mt[3][p] = 1000;
      mt[4][p] = 0.1F;
      mt[5][p] = mt[6][p] = 500;
      for (int k = 1; k <= 2; ++k) {
        s.Sinks[r][k].Area = 10.0F * k;
        s.Sinks[r][k].ka[p] = 0.1F;
        s.Sinks[r][k].kd[p] = 0.01F * k;
      }
    }
  }
  return b;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Formatting and writing the same count of records of the same width with the text library
// alone: what the run cannot go below.
double TextFloor(const std::string& path, long records, int width) {
  const auto start = std::chrono::steady_clock::now();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::string block;
  float v = 0.123456F;
  for (long k = 0; k < records; ++k) {
    block += quarn::FileSingle(0.1F * static_cast<float>(k));
    for (int i = 0; i < width; ++i) {
      block += ',';
      block += quarn::FileSingle(v);
      v = v * 1.0001F + 1e-4F;
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
    BuildingRecord b = LargestScenario();
    QuietPrompt prompt;
    CountingObserver observer;
    const auto start = std::chrono::steady_clock::now();
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
    std::cout << "run " << run << " s, text floor " << floor << " s, " << observer.steps
              << " steps (" << static_cast<double>(observer.steps) / run << " steps/s), " << records
              << " records of " << width + 1 << " numbers, run/floor " << run / floor << "\n";
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_ConcentrationRunOneYear)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
