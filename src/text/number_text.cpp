#include "text/number_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>
#include <type_traits>

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

// Digits of a number form, in a fixed buffer: the forms are written for every value of a
// concentration file, so they avoid building strings piece by piece.
struct FormDigits {
  std::array<char, 24> digit{};  // significant digits, trailing zeros dropped
  int count = 0;
  int exponent = 0;  // decimal exponent of the first digit
};

// Exact rounding of the binary value by to_chars, for any case the fast path leaves.
template <typename T>
FormDigits ExactDigits(T magnitude, int significant) {
  std::array<char, 64> buffer{};
  // to_chars rounds the exact binary value half to even, which is what the program's files
  // were written with; "%g" in printf would depend on the C library and on the locale.
  const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                       std::chars_format::scientific, significant - 1);
  FormDigits d;
  if (ec != std::errc()) return d;
  const char* p = buffer.data();
  d.digit[static_cast<std::size_t>(d.count++)] = *p++;
  if (*p == '.')
    for (++p; *p != 'e'; ++p) d.digit[static_cast<std::size_t>(d.count++)] = *p;
  ++p;  // 'e'
  const bool negative = *p++ == '-';
  int exponent = 0;
  for (; p < end; ++p) exponent = exponent * 10 + (*p - '0');
  d.exponent = negative ? -exponent : exponent;
  while (d.count > 1 && d.digit[static_cast<std::size_t>(d.count - 1)] == '0') --d.count;
  return d;
}

constexpr std::array<double, 23> kPowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// x times 10^k for a Single's range of k; each power up to 1E22 is exact in a double, so the
// result carries at most three roundings of a double.
double ScaleByPowerOfTen(double x, int k) {
  for (; k > 22; k -= 22) x *= kPowersOfTen[22];
  for (; k < -22; k += 22) x /= kPowersOfTen[22];
  return k >= 0 ? x * kPowersOfTen[static_cast<std::size_t>(k)]
                : x / kPowersOfTen[static_cast<std::size_t>(-k)];
}

// The 7 digits of a Single (finite, above 0). A Single is exact in a double, and scaling it
// by a power of ten in double precision errs by less than 1E-8 at the scale of 1E+07, so the
// rounding to 7 digits is certain unless the scaled value lies within 1E-06 of a half; those
// few values (exact halves among them) take the exact path.
FormDigits SingleDigits(float magnitude) {
  const double x = magnitude;
  // The binary exponent b of the Single (2^b <= x < 2^(b+1); subnormals give a b that is too
  // high, which the checks below correct); b * 78913 / 2^18 is floor(b log10 2) for the
  // Single's range, so `exponent` is floor(log10 x) or one below it.
  const int b = static_cast<int>((std::bit_cast<std::uint32_t>(magnitude) >> 23) & 0xFF) - 127;
  int exponent = (b * 78913) >> 18;
  double scaled = ScaleByPowerOfTen(x, 6 - exponent);
  if (scaled >= 1e7)
    scaled = ScaleByPowerOfTen(x, 6 - ++exponent);
  else if (scaled < 1e6)
    scaled = ScaleByPowerOfTen(x, 6 - --exponent);
  if (!(scaled >= 999999 && scaled < 1e7)) return ExactDigits(magnitude, 7);
  const auto whole = static_cast<std::uint32_t>(scaled);
  const double fraction = scaled - whole;
  if (std::fabs(fraction - 0.5) < 1e-6) return ExactDigits(magnitude, 7);
  auto n = whole + (fraction > 0.5 ? 1u : 0u);
  if (n < 1000000u) return ExactDigits(magnitude, 7);
  FormDigits d;
  if (n == 10000000u) {  // 9999999.5 and up rounds to the next power of ten
    d.digit[0] = '1';
    d.count = 1;
    d.exponent = exponent + 1;
    return d;
  }
  for (int i = 6; i >= 0; --i, n /= 10)
    d.digit[static_cast<std::size_t>(i)] = static_cast<char>('0' + n % 10);
  d.count = 7;
  d.exponent = exponent;
  while (d.count > 1 && d.digit[static_cast<std::size_t>(d.count - 1)] == '0') --d.count;
  return d;
}

// Writes the text of the digits at `out` (room for 32 characters) and returns its end:
// exponent form below 1E-04 and from 1E+significant, else the digits around the point.
char* WriteDigits(const FormDigits& d, int significant, bool lead_zero, char* out) {
  const char* digits = d.digit.data();
  const int count = d.count;
  const int e = d.exponent;
  auto copy = [&out](const char* from, int n) {
    for (int i = 0; i < n; ++i) *out++ = from[i];
  };
  if (e < -4 || e >= significant) {
    *out++ = digits[0];
    if (count > 1) {
      *out++ = '.';
      copy(digits + 1, count - 1);
    }
    *out++ = 'E';
    *out++ = e < 0 ? '-' : '+';
    const int a = std::abs(e);
    if (a >= 100) *out++ = static_cast<char>('0' + a / 100);
    *out++ = static_cast<char>('0' + a / 10 % 10);
    *out++ = static_cast<char>('0' + a % 10);
    return out;
  }
  if (e < 0) {
    if (lead_zero) *out++ = '0';
    *out++ = '.';
    for (int i = 0; i < -e - 1; ++i) *out++ = '0';
    copy(digits, count);
    return out;
  }
  if (count <= e + 1) {
    copy(digits, count);
    for (int i = count; i < e + 1; ++i) *out++ = '0';
    return out;
  }
  copy(digits, e + 1);
  *out++ = '.';
  copy(digits + e + 1, count - e - 1);
  return out;
}

// A number form: `first` before the number ("-" for a negative value, else `positive`, which
// may be nothing), the magnitude with or without its 0 before the point, then `last`.
template <typename T>
std::string NumberForm(T value, int significant, const char* positive, bool lead_zero,
                       const char* last) {
  std::array<char, 48> buffer{};
  char* out = buffer.data();
  const bool negative = value < 0;  // -0 prints as 0
  for (const char* p = negative ? "-" : positive; *p; ++p) *out++ = *p;
  const T magnitude = std::fabs(value);
  auto put = [&out](const char* text) {
    for (; *text; ++text) *out++ = *text;
  };
  if (std::isnan(magnitude)) {
    put("NaN");
  } else if (std::isinf(magnitude)) {
    put("Inf");
  } else if (magnitude == 0) {
    put("0");
  } else {
    FormDigits d;
    if constexpr (std::is_same_v<T, float>)
      d = SingleDigits(magnitude);
    else
      d = ExactDigits(magnitude, significant);
    out = WriteDigits(d, significant, lead_zero, out);
  }
  put(last);
  return std::string(buffer.data(), out);
}

}  // namespace

std::string FormatSingle(float value) {
  return NumberForm(value, 7, "", true, "");
}
std::string FormatDouble(double value) {
  return NumberForm(value, 15, "", true, "");
}
std::string SignSingle(float value) {
  return NumberForm(value, 7, " ", false, "");
}
std::string SignDouble(double value) {
  return NumberForm(value, 15, " ", false, "");
}
std::string FileSingle(float value) {
  return NumberForm(value, 7, " ", false, " ");
}
std::string FileDouble(double value) {
  return NumberForm(value, 15, " ", false, " ");
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

// Rounds the decimal digits of `d` half away from zero to their first `keep` digits: the
// digit after the last one kept decides alone, because the decimal text is all that is
// rounded (2.675 is "2.675" at 15 digits, so it shows 2.68 although its binary value lies
// just below). No digits left means zero.
Decimal RoundHalfAway(Decimal d, int keep) {
  if (keep < 0) return Decimal{};
  if (static_cast<std::size_t>(keep) >= d.digits.size()) return d;
  const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
  d.digits.resize(static_cast<std::size_t>(keep));
  if (up) {
    std::size_t i = d.digits.size();
    while (i > 0 && d.digits[i - 1] == '9') d.digits[--i] = '0';
    if (i == 0) {
      d.digits.insert(0, 1, '1');
      ++d.exponent;
    } else {
      ++d.digits[i - 1];
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// The digit of `d` that stands for 10^power, '0' outside its digits.
char DigitAt(const Decimal& d, int power) {
  const int index = d.exponent - power;
  if (index < 0 || index >= static_cast<int>(d.digits.size())) return '0';
  return d.digits[static_cast<std::size_t>(index)];
}

// A value laid out under a pattern from its decimal text (`d`, the digits of the magnitude,
// empty for zero) and its sign.
std::string PatternFromDecimal(Decimal d, bool negative, const Pattern& pat) {
  // "%" moves the decimal point of the text, so no binary product can disturb the digits.
  if (pat.percent) d.exponent += 2;
  const int decimals = pat.point ? pat.frac_places : 0;

  std::string number;
  bool all_zero = true;
  if (pat.exponent) {
    // The mantissa keeps as many integer digits as the pattern has places; with none it is
    // below 1 (".12E4"), so that no digit of the value is lost.
    const int lead = pat.int_places;
    int exponent = 0;
    std::string digits(static_cast<std::size_t>(lead + decimals), '0');
    if (!d.digits.empty()) {
      const Decimal r = RoundHalfAway(d, std::max(lead + decimals, 1));
      digits = r.digits;
      digits.resize(static_cast<std::size_t>(lead + decimals), '0');
      exponent = r.exponent - (lead - 1);
      all_zero = false;
    }
    const std::string int_digits = digits.substr(0, static_cast<std::size_t>(lead));
    number = Layout(pat, int_digits, digits.substr(static_cast<std::size_t>(lead)));
    number += "E" + ExponentText(exponent, static_cast<std::size_t>(std::max(pat.exp_required, 1)),
                                 pat.exp_always_sign);
  } else {
    // Keep the digits down to 10^-decimals.
    const Decimal r = d.digits.empty() ? d : RoundHalfAway(d, d.exponent + 1 + decimals);
    all_zero = r.digits.empty();
    std::string int_digits;
    if (!all_zero)
      for (int power = r.exponent; power >= 0; --power) int_digits += DigitAt(r, power);
    std::string frac_digits;
    for (int power = -1; power >= -decimals; --power) frac_digits += DigitAt(r, power);
    number = Layout(pat, int_digits, frac_digits);
  }
  // A zero reads as one: "0", with the zeros the pattern requires after the point, never a
  // bare point (".") or a mantissa without digits (".E0"), and without an exponent, which
  // says nothing of a zero.
  if (all_zero) {
    number = "0";
    if (pat.point && pat.frac_required > 0) {
      number += "." + std::string(static_cast<std::size_t>(pat.frac_required), '0');
    }
  }
  // A value that rounds to zero under the pattern shows no sign.
  return (negative && !all_zero ? "-" : "") + pat.prefix + number + pat.suffix;
}

// The value's own decimal text (7 significant digits for a Single, 15 for a Double, as the
// program has always shown them) laid out under the pattern.
template <typename T>
std::string PatternOf(T value, std::string_view pattern, int significant) {
  const Pattern pat = ParsePattern(pattern);
  const T magnitude = std::fabs(value);
  const Decimal d = magnitude == 0 ? Decimal{} : RoundSignificant(magnitude, significant);
  return PatternFromDecimal(d, value < 0, pat);
}

}  // namespace

std::string FormatPattern(double value, std::string_view pattern) {
  if (pattern.empty() || !std::isfinite(value)) return FormatDouble(value);
  return PatternOf(value, pattern, 15);
}

std::string FormatPattern(float value, std::string_view pattern) {
  if (pattern.empty() || !std::isfinite(value)) return FormatSingle(value);
  return PatternOf(value, pattern, 7);
}

}  // namespace quarn
