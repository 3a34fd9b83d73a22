// Source files of both layouts, the room source and the HVAC source, for a pollutant count
// taken from the first byte: a damaged file is refused with a message and changes nothing;
// what is read writes out and reads back the same.
#include "files/source_file.h"
#include "fuzz_support.h"

using namespace quarn;  // NOLINT

namespace {

struct Layout {
  bool (*write)(int, const SourceRecord&, const std::string&, Prompt&);
  bool (*read)(int, SourceRecord&, const std::string&, Prompt&);
};

bool WriteHVAC(int np, const SourceRecord& s, const std::string& path, Prompt& prompt) {
  std::string name = path;
  return WriteSourceFile(name, np, s, prompt);
}
bool ReadHVAC(int np, SourceRecord& s, const std::string& path, Prompt& prompt) {
  std::string name = path;
  return ReadSourceFile(name, np, s, prompt);
}

std::string Written(const Layout& layout, int np, const SourceRecord& s, const std::string& name) {
  testing::ScriptedPrompt quiet;
  const std::string path = fuzz::PathOf(name);
  if (!layout.write(np, s, path, quiet)) return "<not written>";
  return fuzz::FileBytes(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const Layout layouts[] = {{WriteRoomSourceFile, ReadRoomSourceFile}, {WriteHVAC, ReadHVAC}};
  const Layout& layout = layouts[data[0] & 1];
  const int np = 1 + (data[0] >> 1) % kMaxPollutants;
  const std::string path = fuzz::WriteInput(data + 1, size - 1, "in.SOR");
  testing::ScriptedPrompt prompt;
  SourceRecord source;
  const std::string before = Written(layout, np, source, "before.SOR");
  if (!layout.read(np, source, path, prompt)) {
    fuzz::RequireRefusedCleanly(prompt, before, Written(layout, np, source, "after.SOR"));
    return 0;
  }
  const std::string written = Written(layout, np, source, "out.SOR");
  SourceRecord again;
  fuzz::Require(layout.read(np, again, fuzz::PathOf("out.SOR"), prompt),
                "a source written does not read back");
  fuzz::Require(Written(layout, np, again, "again.SOR") == written, "a source reads back changed");
  return 0;
}
