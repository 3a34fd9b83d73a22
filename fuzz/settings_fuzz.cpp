// The settings file: any bytes give settings (missing items empty, a bad separator a comma),
// and the settings written from them read back to the same file.
#include "fuzz_support.h"
#include "model/settings.h"

using namespace quarn;  // NOLINT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Settings read =
      ParseSettingsFile(std::string_view(reinterpret_cast<const char*>(data), size));
  fuzz::Require(read.DataSeparator == ',' || read.DataSeparator == '\t',
                "the settings give a separator the program does not use");
  const std::string written = FormatSettingsFile(read);
  const Settings back = ParseSettingsFile(written);
  fuzz::Require(
      back.ProgramTitle == read.ProgramTitle && back.ProgramVersion == read.ProgramVersion &&
          back.TempFolder == read.TempFolder && back.DataFolder == read.DataFolder &&
          back.ScenarioFolder == read.ScenarioFolder && back.DataSeparator == read.DataSeparator,
      "settings written do not read back");
  fuzz::Require(FormatSettingsFile(back) == written, "a settings file reads back changed");
  return 0;
}
