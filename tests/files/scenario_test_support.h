#pragma once

// Helpers shared by the scenario file tests: temporary folders, file bytes, the expected
// text of a file as hand-written lines, and a snapshot of everything a reader may change.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/scenario_file.h"
#include "text/number_text.h"
#include "text/text_reader.h"

namespace quarn::scenario_test {

namespace fs = std::filesystem;

class TempDir {
 public:
  TempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = fs::temp_directory_path() /
            (std::string("quarn_sen_") + info->test_suite_name() + "_" + info->name());
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() { fs::remove_all(path_); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(ReadFileBytes(path, bytes)) << path;
  return bytes;
}

// The lines of an expected file, written out by hand; Text() joins them with CR LF.
struct Lines {
  std::vector<std::string> lines;
  Lines& operator()(const std::string& line) {
    lines.push_back(line);
    return *this;
  }
  Lines& Repeat(const std::string& line, int times) {
    for (int i = 0; i < times; ++i) lines.push_back(line);
    return *this;
  }
  std::string Text() const {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
  }
};

inline int CountLines(const std::string& bytes) {
  int n = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) n += bytes[i] == '\r' && bytes[i + 1] == '\n';
  return n;
}

// Everything a scenario reader may touch, as comparable text: the stored fields through the
// writer, and the fields that a reset would change.
struct Model {
  BuildingRecord building;
};

inline std::string Snapshot(const Model& m) {
  const ScenarioRecord& sc = m.building.Scenario;
  std::string s = ScenarioFileBytes(m.building);
  s += "|" + sc.RunLabel + "|" + std::to_string(sc.HVACType) + "|" +
       std::to_string(sc.NumOutdoorConcPoints) + "|" + sc.OutdoorConcUnits + "|" +
       sc.InitialConcUnits + "|" + sc.ManagedFlowFlag.str() + "|" + FormatSingle(sc.ManagedValue4) +
       "|" + FormatSingle(sc.AirCleanerEff[1]) + "|" +
       FormatSingle(sc.Occupants[1].EfficiencyFactor) + "|" + FormatSingle(sc.PeakConc[1]);
  return s;
}

}  // namespace quarn::scenario_test
