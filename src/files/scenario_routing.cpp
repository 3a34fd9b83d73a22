#include "files/scenario_routing.h"

#include "text/number_read.h"
#include "text/text_reader.h"

namespace quarn {

namespace {

constexpr int kFirstCurrentVersion = 196;

bool IsVersionNumber(std::string_view text) {
  int digits = 0;
  int points = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.') {
      ++points;
    } else {
      return false;
    }
  }
  return digits > 0 && points <= 1;
}

}  // namespace

int ScenarioVersionNumber(std::string_view first_item) {
  if (first_item.size() < 2 || first_item.front() != 'V') return 0;
  const std::string_view number = first_item.substr(1);
  if (!IsVersionNumber(number)) return 0;
  const auto value = ParseNumber(number);
  if (!value) return 0;
  const auto version = RoundToInt32(*value * 100);
  return version ? *version : 0;
}

ScenarioLayout ScenarioLayoutFor(std::string_view first_item) {
  return ScenarioVersionNumber(first_item) >= kFirstCurrentVersion ? ScenarioLayout::Current
                                                                   : ScenarioLayout::Older;
}

ScenarioLayout ScenarioLayoutOfFile(const std::string& file_name) {
  std::string bytes;
  if (!ReadFileBytes(file_name, bytes)) return ScenarioLayout::Older;
  ItemReader in(bytes);
  const auto first = in.ReadItem();
  return first ? ScenarioLayoutFor(*first) : ScenarioLayout::Older;
}

}  // namespace quarn
