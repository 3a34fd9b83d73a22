// A path that names a folder (as a read error does) gives each reader's own message and
// leaves the program running with the record unchanged.

#include <functional>
#include <string>
#include <vector>

#include "file_fixture.h"
#include "files/building_file.h"
#include "files/chamber_data_file.h"
#include "files/occupant_file.h"
#include "files/old_scenario_file.h"
#include "files/reference_data.h"
#include "files/source_file.h"
#include "files/window_files.h"

namespace quarn {
namespace {

class UnreadableFileTest : public testing::FileTest {};

TEST_F(UnreadableFileTest, AFolderGivesEveryReaderItsMessage) {
  std::string folder = dir_.string();
  BuildingRecord b;
  b.NumRooms = 2;
  b.Scenario.NumPollutants = 1;
  ScenarioRecord& s = b.Scenario;
  HistoryPollutant outdoor{};
  RoomPollutant initial{};
  PerPollutant<float> diameters{};
  SourceRecord source;
  ChamberDataRecord chamber;
  float r0 = 0, k = 0;
  const std::vector<std::pair<const char*, std::function<bool()>>> readers = {
      {"building", [&] { return ReadBuildingFile(b, folder, prompt_); }},
      {"scenario",
       [&] {
         return ReadScenarioFile(b, outdoor, initial, folder, prompt_) == ScenarioReadResult::Read;
       }},
      {"occupant", [&] { return ReadOccupantFile(s, 1, folder, prompt_); }},
      {"room source", [&] { return ReadRoomSourceFile(1, source, folder, prompt_); }},
      {"HVAC source", [&] { return ReadSourceFile(folder, 1, source, prompt_); }},
      {"chamber data", [&] { return ReadChamberDataFile(folder, chamber, r0, k, prompt_); }},
      {"pollutant", [&] { return ReadPollutantFile(diameters, 1, folder, prompt_); }},
      {"initial", [&] { return ReadInitialIndoorFile(s, 2, folder, prompt_); }},
      {"outdoor", [&] { return ReadOutdoorConcentrationFile(s, outdoor, folder, prompt_); }},
      {"sinks", [&] { return ReadGeneralSinkFile(s, 2, ',', folder, prompt_); }},
      {"HVAC flows", [&] { return ReadHVACFlowFile(2, folder, prompt_).has_value(); }},
      {"HVAC history", [&] { return ReadHVACFlowHistoryFile(s, folder, prompt_); }},
      {"ventilation", [&] { return ReadVentilationFile(s, folder, prompt_).has_value(); }},
      {"flows", [&] { return ReadOutdoorFlowFile(2, folder, prompt_).has_value(); }},
      {"risk", [&] { return ReadRiskDataFile(s, 0, folder, prompt_); }},
      {"filter", [&] { return ReadFilterFile(s, folder, prompt_); }},
      {"penetration", [&] { return ReadPenetrationFile(s, diameters, folder, prompt_); }},
      {"VOC", [&] { return ReadVocFile(folder, prompt_).has_value(); }},
      {"source database", [&] { return ReadSourceDatabase(folder, prompt_).has_value(); }},
  };
  for (const auto& [kind, read] : readers) {
    const std::size_t before = Messages();
    EXPECT_FALSE(read()) << kind;
    EXPECT_EQ(Messages(), before + 1) << kind;
  }
  EXPECT_EQ(b.NumRooms, 2);
  EXPECT_EQ(s.NumPollutants, 1);
}

}  // namespace
}  // namespace quarn
