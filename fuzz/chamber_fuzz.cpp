// The chamber data file (.dat of the chamber data window): a damaged file is refused with a
// message and changes none of the outputs; what is read writes out and reads back the same.
#include "files/chamber_data_file.h"
#include "fuzz_support.h"

using namespace quarn;  // NOLINT

namespace {

struct Chamber {
  ChamberDataRecord record;
  float r0 = 1.5f;
  float k = 0.25f;
  bool operator==(const Chamber&) const = default;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput(data, size, "in.dat");
  testing::ScriptedPrompt prompt;
  Chamber c;
  c.record.NumPoints = 1;
  c.record.Times[1] = 2;
  const Chamber before = c;
  if (!ReadChamberDataFile(path, c.record, c.r0, c.k, prompt)) {
    fuzz::Require(fuzz::Messages(prompt) > 0, "a chamber file was refused without a message");
    fuzz::Require(c == before, "a refused chamber file changed the outputs");
    return 0;
  }
  const std::string out = fuzz::PathOf("out.dat");
  if (!WriteChamberDataFile(out, c.record, c.r0, c.k, prompt)) {
    fuzz::Require(fuzz::Messages(prompt) > 0, "a chamber write failed without a message");
    return 0;
  }
  Chamber again;
  fuzz::Require(ReadChamberDataFile(out, again.record, again.r0, again.k, prompt),
                "a chamber file written does not read back");
  const std::string out2 = fuzz::PathOf("again.dat");
  fuzz::Require(WriteChamberDataFile(out2, again.record, again.r0, again.k, prompt),
                "a chamber file read back cannot be written");
  fuzz::Require(fuzz::FileBytes(out2) == fuzz::FileBytes(out), "a chamber file reads back changed");
  return 0;
}
