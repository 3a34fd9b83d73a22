#include "text/number_read.h"

#include <algorithm>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "text/number_text.h"

namespace quarn {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Scans a number at the start of `text`: sign, digits, point, digits, then an exponent
// (E, e, D or d, optional sign, at least one digit) only when complete. Returns the length
// taken (0 when no digit was found) and the text normalized for from_chars.
std::size_t ScanNumber(std::string_view text, std::string& normalized) {
  std::size_t i = 0;
  normalized.clear();
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') normalized += '-';
    ++i;
  }
  std::size_t digits = 0;
  std::string mantissa;
  while (i < text.size() && IsDigit(text[i])) {
    mantissa += text[i++];
    ++digits;
  }
  if (i < text.size() && text[i] == '.') {
    mantissa += text[i++];
    while (i < text.size() && IsDigit(text[i])) {
      mantissa += text[i++];
      ++digits;
    }
  }
  if (digits == 0) return 0;
  if (mantissa.front() == '.') normalized += '0';
  if (mantissa.back() == '.') mantissa.pop_back();
  normalized += mantissa;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
      if (text[j] == '-') exponent += '-';
      ++j;
    }
    const std::size_t first = j;
    while (j < text.size() && IsDigit(text[j])) exponent += text[j++];
    if (j > first) {
      normalized += exponent;
      i = j;
    }
  }
  return i;
}

// The value of a normalized number text; overflow gives an infinity, underflow 0.
double Convert(const std::string& normalized) {
  double value = 0;
  const char* first = normalized.data();
  const char* last = first + normalized.size();
  auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec == std::errc::result_out_of_range) {
    const bool negative = normalized.front() == '-';
    const std::size_t e = normalized.find('e');
    const bool big = e == std::string::npos || normalized[e + 1] != '-';
    if (!big) return negative ? -0.0 : 0.0;
    return negative ? -std::numeric_limits<double>::infinity()
                    : std::numeric_limits<double>::infinity();
  }
  return ec == std::errc() ? value : 0.0;
}

template <typename Int>
std::optional<Int> RoundTo(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double rounded = std::nearbyint(value);
  std::fesetround(saved);
  if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<Int>::max()))
    return std::nullopt;
  return static_cast<Int>(rounded);
}

}  // namespace

double LeadingNumber(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  std::string normalized;
  if (ScanNumber(text.substr(start), normalized) == 0) return 0.0;
  return Convert(normalized);
}

std::string RemoveCommas(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != ',') out += c;
  return out;
}

bool CommasGroupThousands(std::string_view text) {
  const std::size_t first = text.find(',');
  if (first == std::string_view::npos) return true;
  auto digit = [&text](std::size_t i) {
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
  };
  std::size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  if (start < text.size() && (text[start] == '+' || text[start] == '-')) ++start;
  // One to three digits, then groups of a comma and three digits, and no digit or comma
  // straight after the last group.
  const std::size_t lead = first - start;
  if (lead < 1 || lead > 3) return false;
  for (std::size_t i = start; i < first; ++i)
    if (!digit(i)) return false;
  std::size_t at = first;
  while (at < text.size() && text[at] == ',') {
    if (!digit(at + 1) || !digit(at + 2) || !digit(at + 3)) return false;
    at += 4;
  }
  if (digit(at)) return false;
  return text.find(',', at) == std::string_view::npos;
}

std::optional<int16_t> RoundToInt16(double value) {
  return RoundTo<int16_t>(value);
}
std::optional<int32_t> RoundToInt32(double value) {
  return RoundTo<int32_t>(value);
}

namespace {

bool WrittenAs(float single, double value) {
  return ParseNumber(FileSingle(single)) == value;
}

// The Single nearest a number of seven digits is written back as that number, but where a
// decade begins: there the digits below count in finer steps, and the Single nearest 1E+28,
// just below it, is written 9.999999E+27. The Single on the other side, written 1E+28, then
// stands for the number, so that a file read and saved again keeps its texts. A Single
// within 5E-08 of the value (most of them) is written as it in any decade.
float SingleWrittenAs(float nearest, double value) {
  const double error = std::fabs(static_cast<double>(nearest) - value);
  if (nearest == 0 || error <= 5e-8 * std::fabs(static_cast<double>(nearest)) ||
      WrittenAs(nearest, value))
    return nearest;
  const float other =
      std::nextafter(nearest, value > nearest ? std::numeric_limits<float>::infinity()
                                              : -std::numeric_limits<float>::infinity());
  return std::isfinite(other) && WrittenAs(other, value) ? other : nearest;
}

}  // namespace

std::optional<float> AsSingle(double value) {
  // Halfway between the largest Single and the next power of two: below it a value rounds
  // to the largest Single, at it (ties to even) already to infinity.
  constexpr double kRoundsToInfinity = 0x1.ffffffp127;
  if (!std::isfinite(value) || !(std::fabs(value) < kRoundsToInfinity)) return std::nullopt;
  constexpr double kMax = std::numeric_limits<float>::max();
  return SingleWrittenAs(static_cast<float>(std::clamp(value, -kMax, kMax)), value);
}

std::optional<double> ParseNumber(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  std::string normalized;
  const std::size_t taken = ScanNumber(text, normalized);
  if (taken == 0 || taken != text.size()) return std::nullopt;
  return Convert(normalized);
}

std::optional<float> ParseSingle(std::string_view text) {
  const std::optional<double> value = ParseNumber(text);
  return value ? AsSingle(*value) : std::nullopt;
}

float ToSingle(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (std::isnan(value)) return 0.0F;
  return static_cast<float>(std::clamp(value, -kMax, kMax));
}

}  // namespace quarn
