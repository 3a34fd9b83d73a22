// The work files of a run and the averaging after it: a concentration work file (first byte
// even) goes through the exposure calculation and then the averaging of the exposure files it
// wrote; an exposure file (first byte odd) goes through the averaging alone. Neither may
// crash or hang, whatever its times; a damaged file gives a message; every record of a work file
// writes out and splits back to the same numbers.
#include <algorithm>
#include <cmath>
#include <span>

#include "fuzz_support.h"
#include "model/average_exposure.h"
#include "model/exposure.h"
#include "model/work_file_reader.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "text/text_writer.h"

using namespace quarn;  // NOLINT

namespace {

constexpr float kYears = 2.0f / 365.0f;  // a two-day run

BuildingRecord Fresh() {
  BuildingRecord b;
  b.MasterFile = "Fuzz";
  b.NumRooms = 2;
  b.RoomList[1].Name = "Kitchen";
  b.RoomList[2].Name = "Bedroom";
  b.ConcWorkFile = fuzz::PathOf("FuzzSEN.TMP");
  ScenarioRecord& s = b.Scenario;
  s.Name = "Fuzz run";
  s.NumPollutants = 1;
  s.YearsSimulated = kYears;
  s.ExposureMode = "I";
  s.NumOccupants = 1;
  OccupantRecord& o = s.Occupants[1];
  o.Name = "Adult";
  o.BreathingRate = 0.5f;
  o.EfficiencyFactor = 0.8f;
  o.Weight = 80;
  o.StartTime = 0;
  o.EndTime = 48;
  o.AveragingTime = 1;
  o.TimeEnter[1] = 0;
  o.TimeLeave[1] = 24;
  o.Location[1] = "Kitchen";
  SetExposureFileNames(b, fuzz::Folder());
  return b;
}

std::string Joined(float time, std::span<const float> values) {
  std::string line = FileSingle(time);
  for (float v : values) line += "," + FileSingle(v);
  return line;
}

// Every record the reader takes, written as the run writes it, splits back to numbers that
// are written the same again.
void CheckRecordsRoundTrip(const BuildingRecord& b) {
  ConcWorkFileReader reader(b.ConcWorkFile, ',', b.NumRooms, b.Scenario.NumPollutants);
  if (!reader.IsOpen()) return;
  while (reader.Next() == ConcWorkFileReader::Status::Record) {
    const std::string line = Joined(reader.Time(), reader.Concentrations());
    std::vector<float> back;
    fuzz::Require(SplitNumberLine(line, ',', back) && !back.empty(),
                  "a work file record does not split back");
    fuzz::Require(Joined(back[0], std::span<const float>(back).subspan(1)) == line,
                  "a work file record splits back changed");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // Times far past the run are kept: the averaging must refuse them with a message rather
  // than close a window for every averaging time up to them.
  const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
  BuildingRecord b = Fresh();
  testing::ScriptedPrompt prompt;
  if ((data[0] & 1) == 0) {
    fuzz::WriteFile("FuzzSEN.TMP", file);
    CheckRecordsRoundTrip(b);
    RunObserver quiet;
    const ExposureRunResult result = RunExposureCalculation(b, fuzz::Folder(), ',', prompt, quiet);
    if (!result.completed) {
      fuzz::Require(fuzz::Messages(prompt) > 0, "a run over a damaged file gave no message");
      return 0;
    }
  } else {
    std::string error;
    fuzz::Require(WriteFileAtomic(b.Scenario.Occupants[1].InstExposureFile, file, &error),
                  "cannot write the exposure file");
  }
  CalculateAverageExposure(b.Scenario, ',', prompt);
  return 0;
}
