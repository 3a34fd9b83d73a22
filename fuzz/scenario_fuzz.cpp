// Scenario files of every layout, through the reader the editor's Open picks by the first
// item: a damaged file is refused with a message and changes nothing; what is read saves and
// reads back the same.
#include "files/old_scenario_file.h"
#include "files/scenario_file.h"
#include "files/scenario_routing.h"
#include "fuzz_support.h"
#include "model/program_state.h"
#include "text/number_read.h"

using namespace quarn;  // NOLINT

namespace {

// The reader refuses a scenario of another room count than the building's: take the count
// that the building head of the file gives (its third line), so that files get read.
int16_t RoomsOf(const std::string& bytes) {
  ItemReader reader(bytes);
  std::optional<std::string> line;
  for (int i = 0; i < 3; ++i) line = reader.ReadLine();
  const double rooms = line ? LeadingNumber(*line) : 0;
  return rooms >= 1 && rooms <= kMaxRooms ? static_cast<int16_t>(rooms) : 3;
}

std::unique_ptr<ProgramState> Fresh(int16_t rooms) {
  auto state = std::make_unique<ProgramState>();
  state->Building.NumRooms = rooms;
  for (int r = 1; r <= rooms; ++r) state->Building.RoomList[r].Name = "Room " + std::to_string(r);
  return state;
}

std::string Saved(const ProgramState& s) {
  return ScenarioFileBytes(s.Building);
}

ScenarioReadResult Open(ProgramState& s, const std::string& path, Prompt& prompt) {
  return CommitScenarioRead(ScenarioLayoutOfFile(path) == ScenarioLayout::Current
                                ? NewReadScenario(s.Building, path, prompt)
                                : ReadScenarioFile(s.Building, path, prompt),
                            s.Building);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput(data, size, "in.SEN");
  const int16_t rooms = RoomsOf(fuzz::FileBytes(path));
  testing::ScriptedPrompt prompt;  // answers Yes to "go on with this building?"
  auto state = Fresh(rooms);
  const std::string before = Saved(*state);
  if (Open(*state, path, prompt) != ScenarioReadResult::Read) {
    fuzz::RequireRefusedCleanly(prompt, before, Saved(*state));
    return 0;
  }
  const std::string out = fuzz::PathOf("out.SEN");
  const size_t messages = fuzz::Messages(prompt);
  if (!NewSaveScenario(state->Building, "", out, prompt)) {
    // Only a value the file could not hold may stop the save, and it says so.
    fuzz::Require(fuzz::Messages(prompt) > messages, "a save failed without a message");
    return 0;
  }
  const std::string written = fuzz::FileBytes(out);
  auto again = Fresh(rooms);
  fuzz::Require(CommitScenarioRead(NewReadScenario(again->Building, out, prompt),
                                   again->Building) == ScenarioReadResult::Read,
                "a saved scenario does not read back");
  fuzz::Require(Saved(*again) == written, "a scenario reads back changed");
  return 0;
}
