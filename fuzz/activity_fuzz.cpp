// Activity pattern files (.ACT) of occupant 1: a damaged file is refused with a message and
// changes nothing; what is read writes out and reads back the same.
#include "files/occupant_file.h"
#include "files/scenario_file.h"
#include "fuzz_support.h"

using namespace quarn;  // NOLINT

namespace {

BuildingRecord Fresh() {
  BuildingRecord b;
  b.NumRooms = 2;
  b.Scenario.NumOccupants = kMaxOccupants;
  return b;
}

std::string State(const BuildingRecord& b) {
  return ScenarioFileBytes(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput(data, size, "in.ACT");
  testing::ScriptedPrompt prompt;
  BuildingRecord b = Fresh();
  const std::string before = State(b);
  if (!ReadOccupantFile(b.Scenario, 1, path, prompt)) {
    fuzz::RequireRefusedCleanly(prompt, before, State(b));
    return 0;
  }
  const std::string out = fuzz::PathOf("out.ACT");
  fuzz::Require(WriteActivityFile(b.Scenario.Occupants[1], out, prompt),
                "an activity file read cannot be written");
  const std::string written = fuzz::FileBytes(out);
  BuildingRecord again = Fresh();
  fuzz::Require(ReadOccupantFile(again.Scenario, 1, out, prompt),
                "an activity file written does not read back");
  const std::string out2 = fuzz::PathOf("again.ACT");
  fuzz::Require(WriteActivityFile(again.Scenario.Occupants[1], out2, prompt),
                "an activity file read back cannot be written");
  fuzz::Require(fuzz::FileBytes(out2) == written, "an activity file reads back changed");
  return 0;
}
