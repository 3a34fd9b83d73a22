// Record first: a record made from the fuzz bytes is saved in one of the item-file formats
// (the first byte chooses which) and read back into a fresh record, and every field the file
// holds must come back as its text says (a Single to the digits written). A refused save
// (a value that is not finite, a text the format cannot hold) is fine when it says so.
#include <cstring>
#include <vector>

#include "files/reference_data.h"
#include "files/window_files.h"
#include "fuzz_support.h"
#include "text/number_read.h"
#include "text/number_text.h"

using namespace quarn;  // NOLINT

namespace {

constexpr int kRooms = 3;

// Values and texts taken from the fuzz bytes in turn; zeros and empty texts once they run out.
class Source {
 public:
  Source(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  float Single() {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits = (bits << 8) | Byte();
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  int Small(int count) { return Byte() % count; }
  std::string Text() {
    std::string text(Byte() % 24, ' ');
    for (char& c : text) c = static_cast<char>(Byte());
    return text;
  }

 private:
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// What a Single reads back as from the text the files write for it.
float AsWritten(float value) {
  const std::optional<double> read = ParseNumber(FileSingle(value));
  fuzz::Require(read.has_value(), "a written number does not parse");
  return static_cast<float>(*read);
}

void RequireSame(float got, float written, const char* what) {
  fuzz::Require(got == AsWritten(written) || (got == 0 && AsWritten(written) == 0), what);
}

bool Refused(const testing::ScriptedPrompt& prompt) {
  fuzz::Require(fuzz::Messages(prompt) > 0, "a save failed without a message");
  return true;
}

void InitialConcentrations(Source& in, int pollutants) {
  ScenarioRecord s;
  s.NumPollutants = static_cast<int16_t>(pollutants);
  for (int r = 1; r <= kRooms; ++r)
    for (int p = 0; p < pollutants; ++p) s.InitialConc[r][p] = in.Single();
  testing::ScriptedPrompt prompt;
  const std::string path = fuzz::PathOf("r.INT");
  if (!WriteInitialIndoorFile(s, kRooms, path, prompt) && Refused(prompt)) return;
  ScenarioRecord back;
  back.NumPollutants = s.NumPollutants;
  fuzz::Require(ReadInitialIndoorFile(back, kRooms, path, prompt),
                "an .INT file does not read back");
  for (int r = 1; r <= kRooms; ++r)
    for (int p = 0; p < pollutants; ++p)
      RequireSame(back.InitialConc[r][p], s.InitialConc[r][p], "an .INT value reads back changed");
}

void OutdoorHistory(Source& in, int pollutants) {
  ScenarioRecord s;
  s.NumPollutants = static_cast<int16_t>(pollutants);
  HistoryPollutant& values = s.OutdoorConcInput;
  const int points = 1 + in.Small(kMaxHistory);
  for (int t = 1; t <= points; ++t) {
    s.OutdoorConcTime[t] = in.Single();
    for (int p = 0; p < pollutants; ++p) values[t][p] = in.Single();
  }
  testing::ScriptedPrompt prompt;
  const std::string path = fuzz::PathOf("r.OUT");
  if (!WriteOutdoorConcentrationFile(s, ',', path, prompt) && Refused(prompt)) return;
  ScenarioRecord back;
  back.NumPollutants = s.NumPollutants;
  fuzz::Require(ReadOutdoorConcentrationFile(back, path, prompt),
                "an .OUT file does not read back");
  // The history ends at the first time that reads as 0 after the first point.
  int count = kMaxHistory;
  for (int t = 2; t <= kMaxHistory; ++t) {
    if (AsWritten(s.OutdoorConcTime[t]) == 0) {
      count = t - 1;
      break;
    }
  }
  fuzz::Require(back.NumOutdoorConcPoints == count, "an .OUT file reads back another count");
  for (int t = 1; t <= count; ++t) {
    RequireSame(back.OutdoorConcTime[t], s.OutdoorConcTime[t], "an .OUT time reads back changed");
    for (int p = 0; p < pollutants; ++p)
      RequireSame(back.OutdoorConcInput[t][p], values[t][p], "an .OUT value reads back changed");
  }
}

void Ventilation(Source& in) {
  std::vector<TimeValue> points(static_cast<size_t>(1 + in.Small(kMaxHistory)));
  for (auto& [time, rate] : points) {
    time = in.Single();
    rate = in.Single();
  }
  testing::ScriptedPrompt prompt;
  const std::string path = fuzz::PathOf("r.VEN");
  if (!WriteVentilationFile(points, path, prompt) && Refused(prompt)) return;
  ScenarioRecord back;
  const auto rows = ReadVentilationFile(back, path, prompt);
  fuzz::Require(rows && rows->size() == points.size(), "a ventilation file does not read back");
  for (size_t i = 0; i < points.size(); ++i) {
    RequireSame((*rows)[i].first, points[i].first, "a ventilation time reads back changed");
    RequireSame((*rows)[i].second, points[i].second, "a ventilation rate reads back changed");
  }
}

void PollutantDiameters(Source& in, int pollutants) {
  PerPollutant<float> diameters{};
  for (int p = 0; p < pollutants; ++p) diameters[p] = in.Single();
  testing::ScriptedPrompt prompt;
  const std::string path = fuzz::PathOf("r.POL");
  if (!WritePollutantFile(diameters, pollutants, path, prompt) && Refused(prompt)) return;
  PerPollutant<float> back{};
  fuzz::Require(ReadPollutantFile(back, pollutants, path, prompt),
                "a .POL file does not read back");
  for (int p = 0; p < pollutants; ++p)
    RequireSame(back[p], diameters[p], "a diameter reads back changed");
}

// Texts go into the VOC data file one a line: a line break inside one becomes a blank.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

void VocTable(Source& in) {
  std::vector<VocRecord> records(static_cast<size_t>(1 + in.Small(4)));
  for (VocRecord& record : records)
    for (std::string& field : record.fields) field = in.Text();
  testing::ScriptedPrompt prompt;
  const std::string path = fuzz::PathOf("r.DAT");
  if (!WriteVocFile(path, records, prompt) && Refused(prompt)) return;
  const auto back = ReadVocFile(path, prompt);
  fuzz::Require(back.has_value(), "a VOC file does not read back");
  size_t k = 0;
  for (const VocRecord& record : records) {
    if (record.IsEmpty()) continue;
    fuzz::Require(k < back->size(), "a VOC file reads back fewer records");
    for (size_t f = 0; f < record.fields.size(); ++f)
      fuzz::Require((*back)[k].fields[f] == OneLine(record.fields[f]),
                    "a VOC field reads back changed");
    ++k;
  }
  fuzz::Require(k == back->size(), "a VOC file reads back more records");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  Source in(data + 1, size - 1);
  const int pollutants = 1 + (data[0] / 5) % kMaxPollutants;
  switch (data[0] % 5) {
    case 0:
      InitialConcentrations(in, pollutants);
      break;
    case 1:
      OutdoorHistory(in, pollutants);
      break;
    case 2:
      Ventilation(in);
      break;
    case 3:
      PollutantDiameters(in, pollutants);
      break;
    default:
      VocTable(in);
      break;
  }
  return 0;
}
