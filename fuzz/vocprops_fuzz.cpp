// VOC data files and the program's vocprops.txt: a damaged file is refused with a message;
// what is read writes out and reads back the same.
#include "files/reference_data.h"
#include "fuzz_support.h"

using namespace quarn;  // NOLINT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteInput(data, size, "vocprops.txt");
  testing::ScriptedPrompt prompt;
  // The program's own file, five lines a record, found in its folder.
  const auto props = ReadVocProperties(fuzz::Folder(), prompt);
  fuzz::Require(props.has_value() || fuzz::Messages(prompt) > 0,
                "vocprops.txt was refused without a message");

  const std::string path = fuzz::WriteInput(data, size, "in.DAT");
  testing::ScriptedPrompt user;
  const auto records = ReadVocFile(path, user);
  if (!records) {
    fuzz::Require(fuzz::Messages(user) > 0, "a VOC file was refused without a message");
    return 0;
  }
  const std::string out = fuzz::PathOf("out.DAT");
  fuzz::Require(WriteVocFile(out, *records, user), "VOC records read cannot be written");
  const std::string written = fuzz::FileBytes(out);
  const auto again = ReadVocFile(out, user);
  fuzz::Require(again.has_value(), "a VOC file written does not read back");
  const std::string out2 = fuzz::PathOf("again.DAT");
  fuzz::Require(WriteVocFile(out2, *again, user), "VOC records read back cannot be written");
  fuzz::Require(fuzz::FileBytes(out2) == written, "a VOC file reads back changed");
  return 0;
}
