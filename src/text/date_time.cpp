#include "text/date_time.h"

#include <charconv>

namespace quarn {
namespace {

// The value with at least `width` digits, zeros in front.
std::string Padded(int value, size_t width) {
  char buffer[16];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  std::string digits(buffer, end);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

}  // namespace

std::string DateText(const DateTime& at) {
  return Padded(at.month, 2) + "-" + Padded(at.day, 2) + "-" + Padded(at.year, 4);
}

std::string TimeText(const DateTime& at) {
  return Padded(at.hour, 2) + ":" + Padded(at.minute, 2) + ":" + Padded(at.second, 2);
}

}  // namespace quarn
