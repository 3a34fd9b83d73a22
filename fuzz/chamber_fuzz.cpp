// The chamber data file (.dat of the chamber data window): a damaged file is refused with a
// message; what is read writes out and reads back the same.
#include "files/chamber_data_file.h"
#include "fuzz_support.h"

using namespace quarn;  // NOLINT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput(data, size, "in.dat");
  testing::ScriptedPrompt prompt;
  const std::optional<ChamberFileContents> c = ReadChamberDataFile(path, prompt);
  if (!c) {
    fuzz::Require(fuzz::Messages(prompt) > 0, "a chamber file was refused without a message");
    return 0;
  }
  const std::string out = fuzz::PathOf("out.dat");
  if (!WriteChamberDataFile(out, c->record, c->fitted_r0, c->fitted_k, prompt)) {
    fuzz::Require(fuzz::Messages(prompt) > 0, "a chamber write failed without a message");
    return 0;
  }
  const std::optional<ChamberFileContents> again = ReadChamberDataFile(out, prompt);
  fuzz::Require(again.has_value(), "a chamber file written does not read back");
  const std::string out2 = fuzz::PathOf("again.dat");
  fuzz::Require(
      WriteChamberDataFile(out2, again->record, again->fitted_r0, again->fitted_k, prompt),
      "a chamber file read back cannot be written");
  fuzz::Require(fuzz::FileBytes(out2) == fuzz::FileBytes(out), "a chamber file reads back changed");
  return 0;
}
