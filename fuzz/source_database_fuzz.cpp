// Text source databases (.sdb): a damaged file is refused with a message; a file read holds
// whole entries of single-precision parameters.
#include <cmath>

#include "files/reference_data.h"
#include "fuzz_support.h"

using namespace quarn;  // NOLINT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput(data, size, "in.sdb");
  testing::ScriptedPrompt prompt;
  const auto database = ReadSourceDatabase(path, prompt);
  if (!database) {
    fuzz::Require(fuzz::Messages(prompt) > 0, "a source database was refused without a message");
    return 0;
  }
  fuzz::Require(fuzz::Messages(prompt) == 0, "a source database read gave a message");
  for (const SourceDatabaseEntry& entry : database->entries) {
    for (float p : entry.parameters) fuzz::Require(std::isfinite(p), "a parameter is not finite");
  }
  return 0;
}
