// The small files of the input windows (the outdoor concentration history and the flow file
// among them), the first byte choosing which: a damaged file is
// refused with a message and changes nothing; what is read writes out and reads back the same.
#include <functional>

#include "files/scenario_file.h"
#include "files/window_files.h"
#include "fuzz_support.h"

using namespace quarn;  // NOLINT

namespace {

constexpr int kRooms = 3;

// What the windows hold: the record, the diameters of the pollutant grid, the cells of the
// steady HVAC grid and the rows of the ventilation grid.
struct Windows {
  BuildingRecord building;
  PerPollutant<float> diameters{};
  std::vector<double> cells;
  std::vector<TimeValue> vent;
};

Windows Fresh(int pollutants) {
  Windows w;
  w.building.NumRooms = kRooms;
  w.building.Scenario.NumPollutants = static_cast<int16_t>(pollutants);
  for (int r = 1; r <= kRooms; ++r) w.building.Scenario.NumSinks[r] = 1;
  return w;
}

// The record as bytes, to see whether a refused file changed anything.
std::string State(const Windows& w) {
  std::string bytes = ScenarioFileBytes(w.building);
  for (float d : w.diameters) bytes += std::to_string(d) + ",";
  for (double c : w.cells) bytes += std::to_string(c) + ",";
  for (const auto& [t, v] : w.vent) bytes += std::to_string(t) + "/" + std::to_string(v) + ",";
  return bytes;
}

using Step = std::function<bool(Windows&, const std::string&, Prompt&)>;
struct File {
  Step read;
  Step write;  // empty for the files the program only reads
};

std::vector<File> Files() {
  return {
      {[](Windows& w, const std::string& p, Prompt& q) {
         return ReadPollutantFile(w.diameters, w.building.Scenario.NumPollutants, p, q);
       },
       [](Windows& w, const std::string& p, Prompt& q) {
         return WritePollutantFile(w.diameters, w.building.Scenario.NumPollutants, p, q);
       }},
      {[](Windows& w, const std::string& p, Prompt& q) {
         return ReadInitialIndoorFile(w.building.Scenario, kRooms, p, q);
       },
       [](Windows& w, const std::string& p, Prompt& q) {
         return WriteInitialIndoorFile(w.building.Scenario, kRooms, p, q);
       }},
      {[](Windows& w, const std::string& p, Prompt& q) {
         return ReadGeneralSinkFile(w.building.Scenario, kRooms, ',', p, q);
       },
       [](Windows& w, const std::string& p, Prompt& q) {
         return WriteGeneralSinkFile(w.building.Scenario, kRooms, ',', p, q);
       }},
      {[](Windows& w, const std::string& p, Prompt& q) {
         auto cells = ReadHVACFlowFile(kRooms, p, q);
         if (cells) w.cells = *cells;
         return cells.has_value();
       },
       [](Windows& w, const std::string& p, Prompt& q) {
         return WriteHVACFlowFile(w.cells, kRooms, p, q);
       }},
      {[](Windows& w, const std::string& p, Prompt& q) {
         return ReadHVACFlowHistoryFile(w.building.Scenario, p, q);
       },
       [](Windows& w, const std::string& p, Prompt& q) {
         ScenarioRecord& s = w.building.Scenario;
         return WriteHVACFlowHistoryFile(s, s.HVACHistoryOutdoorOnly != 0,
                                         s.HVACHistoryCycle.str() == "Y", p, q);
       }},
      {[](Windows& w, const std::string& p, Prompt& q) {
         auto rows = ReadVentilationFile(w.building.Scenario, p, q);
         if (rows) w.vent = *rows;
         return rows.has_value();
       },
       [](Windows& w, const std::string& p, Prompt& q) {
         return WriteVentilationFile(w.vent, p, q);
       }},
      {[](Windows& w, const std::string& p, Prompt& q) {
         return ReadRiskDataFile(w.building.Scenario, 0, p, q);
       },
       [](Windows& w, const std::string& p, Prompt& q) {
         return WriteRiskDataFile(w.building.Scenario, p, q);
       }},
      {[](Windows& w, const std::string& p, Prompt& q) {
         return ReadFilterFile(w.building.Scenario, p, q);
       },
       [](Windows& w, const std::string& p, Prompt& q) {
         return WriteFilterFile(w.building.Scenario, p, q);
       }},
      {[](Windows& w, const std::string& p, Prompt& q) {
         return ReadPenetrationFile(w.building.Scenario, w.diameters, p, q);
       },
       {}},
      {[](Windows& w, const std::string& p, Prompt& q) {
         return ReadOutdoorConcentrationFile(w.building.Scenario, p, q);
       },
       [](Windows& w, const std::string& p, Prompt& q) {
         return WriteOutdoorConcentrationFile(w.building.Scenario, ',', p, q);
       }},
      {[](Windows& w, const std::string& p, Prompt& q) {
         const auto flows = ReadOutdoorFlowFile(kRooms, p, q);
         if (flows) {
           w.building.Scenario.NaturalFromOutdoors = flows->entering;
           w.building.Scenario.NaturalToOutdoors = flows->leaving;
         }
         return flows.has_value();
       },
       {}},
  };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const std::vector<File> files = Files();
  const File& file = files[data[0] % files.size()];
  const int pollutants = 1 + (data[0] / files.size()) % kMaxPollutants;
  const std::string path = fuzz::WriteInput(data + 1, size - 1, "in.txt");
  testing::ScriptedPrompt prompt;
  Windows w = Fresh(pollutants);
  const std::string before = State(w);
  if (!file.read(w, path, prompt)) {
    fuzz::RequireRefusedCleanly(prompt, before, State(w));
    return 0;
  }
  if (!file.write) return 0;
  const std::string out = fuzz::PathOf("out.txt");
  if (!file.write(w, out, prompt)) {
    fuzz::Require(fuzz::Messages(prompt) > 0, "a write failed without a message");
    return 0;
  }
  const std::string written = fuzz::FileBytes(out);
  Windows again = Fresh(pollutants);
  fuzz::Require(file.read(again, out, prompt), "a window file written does not read back");
  const std::string out2 = fuzz::PathOf("again.txt");
  fuzz::Require(file.write(again, out2, prompt), "a window file read back cannot be written");
  fuzz::Require(fuzz::FileBytes(out2) == written, "a window file reads back changed");
  return 0;
}
