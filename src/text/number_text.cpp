#include "text/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>

namespace quarn {
namespace {

// Digits and decimal exponent of |value| rounded to `significant` digits: digits "1234567"
// with exponent 6 stand for 1.234567E+06. Trailing zeros of the digits are dropped.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

template <typename T>
Decimal RoundSignificant(T magnitude, int significant) {
  std::array<char, 64> buffer{};
  // to_chars rounds the exact binary value half to even, which is what the program's files
  // were written with; "%g" in printf would depend on the C library and on the locale.
  auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                 std::chars_format::scientific, significant - 1);
  Decimal d;
  if (ec != std::errc()) return d;
  std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
  const std::size_t e_pos = text.find('e');
  for (char c : text.substr(0, e_pos))
    if (c != '.') d.digits += c;
  std::from_chars(text.data() + e_pos + 2, text.data() + text.size(), d.exponent);
  if (text[e_pos + 1] == '-') d.exponent = -d.exponent;
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

std::string ExponentText(int exponent, std::size_t min_digits, bool always_sign) {
  std::string text;
  if (exponent < 0)
    text += '-';
  else if (always_sign)
    text += '+';
  std::string digits = std::to_string(std::abs(exponent));
  if (digits.size() < min_digits) digits.insert(0, min_digits - digits.size(), '0');
  return text + digits;
}

// Plain form of a magnitude (no sign) with the given significant digits.
template <typename T>
std::string PlainMagnitude(T magnitude, int significant, bool lead_zero) {
  if (std::isnan(magnitude)) return "NaN";
  if (std::isinf(magnitude)) return "Inf";
  if (magnitude == 0) return "0";
  const Decimal d = RoundSignificant(magnitude, significant);
  const int count = static_cast<int>(d.digits.size());
  if (d.exponent < -4 || d.exponent >= significant) {
    std::string text = d.digits.substr(0, 1);
    if (count > 1) text += "." + d.digits.substr(1);
    return text + "E" + ExponentText(d.exponent, 2, true);
  }
  if (d.exponent < 0) {
    std::string text = lead_zero ? "0." : ".";
    text.append(static_cast<std::size_t>(-d.exponent - 1), '0');
    return text + d.digits;
  }
  std::string text = d.digits.substr(0, static_cast<std::size_t>(std::min(count, d.exponent + 1)));
  if (count <= d.exponent) text.append(static_cast<std::size_t>(d.exponent + 1 - count), '0');
  if (count > d.exponent + 1)
    text += "." + d.digits.substr(static_cast<std::size_t>(d.exponent + 1));
  return text;
}

template <typename T>
std::string Plain(T value, int significant) {
  const bool negative = value < 0;  // -0 prints as 0
  return (negative ? "-" : "") + PlainMagnitude(std::fabs(value), significant, true);
}

template <typename T>
std::string Sign(T value, int significant) {
  const bool negative = value < 0;
  return (negative ? "-" : " ") + PlainMagnitude(std::fabs(value), significant, false);
}

}  // namespace

std::string FormatSingle(float value) {
  return Plain(value, 7);
}
std::string FormatDouble(double value) {
  return Plain(value, 15);
}
std::string SignSingle(float value) {
  return Sign(value, 7);
}
std::string SignDouble(double value) {
  return Sign(value, 15);
}
std::string FileSingle(float value) {
  return SignSingle(value) + " ";
}
std::string FileDouble(double value) {
  return SignDouble(value) + " ";
}

namespace {

// A format pattern split into its parts: literal text before and after the number, the
// digit placeholders on either side of the point, and the exponent.
struct Pattern {
  std::string prefix;
  std::string suffix;
  int int_places = 0;     // '#' and '0' before the point
  int int_required = 0;   // digits from the first '0' before the point on
  bool grouping = false;  // a ',' among the integer placeholders
  bool point = false;     // the pattern shows a decimal point
  int frac_places = 0;    // '#' and '0' after the point
  int frac_required = 0;  // digits up to the last '0' after the point
  bool exponent = false;
  bool exp_always_sign = false;
  int exp_required = 0;
  bool percent = false;
};

bool IsPlaceholder(char c) {
  return c == '#' || c == '0';
}

Pattern ParsePattern(std::string_view p) {
  Pattern r;
  std::size_t i = 0;
  while (i < p.size() && !IsPlaceholder(p[i]) && p[i] != '.') r.prefix += p[i++];
  bool seen_zero = false;
  for (; i < p.size() && (IsPlaceholder(p[i]) || p[i] == ','); ++i) {
    if (p[i] == ',') {
      r.grouping = true;
      continue;
    }
    ++r.int_places;
    seen_zero = seen_zero || p[i] == '0';
    if (seen_zero) ++r.int_required;
  }
  if (i < p.size() && p[i] == '.') {
    r.point = true;
    for (++i; i < p.size() && IsPlaceholder(p[i]); ++i) {
      ++r.frac_places;
      if (p[i] == '0') r.frac_required = r.frac_places;
    }
  }
  if (i + 1 < p.size() && (p[i] == 'E' || p[i] == 'e') && (p[i + 1] == '-' || p[i + 1] == '+')) {
    r.exponent = true;
    r.exp_always_sign = p[i + 1] == '+';
    bool exp_zero = false;
    for (i += 2; i < p.size() && IsPlaceholder(p[i]); ++i) {
      exp_zero = exp_zero || p[i] == '0';
      if (exp_zero) ++r.exp_required;
    }
  }
  r.suffix = std::string(p.substr(i));
  r.percent = r.prefix.find('%') != std::string::npos || r.suffix.find('%') != std::string::npos;
  return r;
}

// Integer digits with a ',' between every group of three.
std::string Group(const std::string& digits) {
  std::string out;
  const std::size_t n = digits.size();
  for (std::size_t k = 0; k < n; ++k) {
    if (k > 0 && (n - k) % 3 == 0) out += ',';
    out += digits[k];
  }
  return out;
}

// Lays out integer and fraction digits (already rounded) under the pattern.
std::string Layout(const Pattern& pat, std::string int_digits, std::string frac_digits) {
  while (int_digits.size() > 1 && int_digits.front() == '0') int_digits.erase(0, 1);
  if (int_digits == "0") int_digits.clear();
  if (static_cast<int>(int_digits.size()) < pat.int_required)
    int_digits.insert(0, static_cast<std::size_t>(pat.int_required) - int_digits.size(), '0');
  while (static_cast<int>(frac_digits.size()) > pat.frac_required && !frac_digits.empty() &&
         frac_digits.back() == '0')
    frac_digits.pop_back();
  std::string text = pat.grouping ? Group(int_digits) : int_digits;
  if (pat.point) text += "." + frac_digits;
  return text;
}

std::string FixedDigits(double magnitude, int decimals) {
  // Enough room for the largest double written out in full with its decimals.
  std::array<char, 400> buffer{};
  auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                 std::chars_format::fixed, decimals);
  if (ec != std::errc()) return "0";
  return std::string(buffer.data(), end);
}

}  // namespace

std::string FormatPattern(double value, std::string_view pattern) {
  if (pattern.empty()) return FormatDouble(value);
  const Pattern pat = ParsePattern(pattern);
  if (!std::isfinite(value)) return FormatDouble(value);
  if (pat.percent) value *= 100;
  const double magnitude = std::fabs(value);
  const int decimals = pat.point ? pat.frac_places : 0;

  std::string number;
  bool all_zero = true;
  if (pat.exponent) {
    // The mantissa keeps as many integer digits as the pattern has places; with none it is
    // below 1 (".12E4"), so that no digit of the value is lost.
    const int lead = pat.int_places;
    int exponent = 0;
    std::string digits(static_cast<std::size_t>(lead + decimals), '0');
    if (magnitude != 0) {
      const Decimal d = RoundSignificant(magnitude, std::max(lead + decimals, 1));
      digits = d.digits;
      digits.resize(static_cast<std::size_t>(lead + decimals), '0');
      exponent = d.exponent - (lead - 1);
      all_zero = false;
    }
    const std::string int_digits = digits.substr(0, static_cast<std::size_t>(lead));
    number = Layout(pat, int_digits, digits.substr(static_cast<std::size_t>(lead)));
    number += "E" + ExponentText(exponent, static_cast<std::size_t>(std::max(pat.exp_required, 1)),
                                 pat.exp_always_sign);
  } else {
    const std::string fixed = FixedDigits(magnitude, decimals);
    const std::size_t dot = fixed.find('.');
    const std::string int_digits = fixed.substr(0, dot);
    const std::string frac_digits = dot == std::string::npos ? "" : fixed.substr(dot + 1);
    all_zero = fixed.find_first_not_of("0.") == std::string::npos;
    number = Layout(pat, int_digits, frac_digits);
  }
  // A value that rounds to zero under the pattern shows no sign.
  const bool negative = value < 0 && !all_zero;
  return (negative ? "-" : "") + pat.prefix + number + pat.suffix;
}

}  // namespace quarn
