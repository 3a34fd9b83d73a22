// Building files (.BLD): a damaged file is refused with a message and changes nothing; what
// is read writes out and reads back the same.
#include "files/building_file.h"
#include "fuzz_support.h"

using namespace quarn;  // NOLINT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput(data, size, "in.BLD");
  testing::ScriptedPrompt prompt;
  BuildingRecord building;
  const std::string before = BuildingFileBytes(building);
  std::string name = path;
  if (!ReadBuildingFile(building, name, prompt)) {
    fuzz::RequireRefusedCleanly(prompt, before, BuildingFileBytes(building));
    return 0;
  }
  const std::string written = BuildingFileBytes(building);
  std::string out = fuzz::PathOf("out.BLD");
  fuzz::Require(WriteBuildingFile(building, out, prompt), "a building read cannot be written");
  BuildingRecord again;
  fuzz::Require(ReadBuildingFile(again, out, prompt), "a building written does not read back");
  fuzz::Require(BuildingFileBytes(again) == written, "a building reads back changed");
  return 0;
}
