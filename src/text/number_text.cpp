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

// Digits of a number form, in a fixed buffer: the forms are written for every value of a
// concentration file, so they avoid building strings piece by piece.
struct NumberPattern::Digits {
  std::array<char, 24> digit{};  // significant digits, trailing zeros dropped
  int count = 0;
  int exponent = 0;  // decimal exponent of the first digit
};

namespace {

using FormDigits = NumberPattern::Digits;

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

// 10^k for k from -40 to 60, each the double nearest to it (the compiler rounds the
// literals correctly): enough for the scaling of any Single to 7 integer digits.
constexpr int kLeastPower = -40;
constexpr std::array<double, 101> kPowersOfTen = {
    1e-40, 1e-39, 1e-38, 1e-37, 1e-36, 1e-35, 1e-34, 1e-33, 1e-32, 1e-31, 1e-30, 1e-29, 1e-28,
    1e-27, 1e-26, 1e-25, 1e-24, 1e-23, 1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15,
    1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,
    1e-1,  1e0,   1e1,   1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9,   1e10,  1e11,
    1e12,  1e13,  1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21,  1e22,  1e23,  1e24,
    1e25,  1e26,  1e27,  1e28,  1e29,  1e30,  1e31,  1e32,  1e33,  1e34,  1e35,  1e36,  1e37,
    1e38,  1e39,  1e40,  1e41,  1e42,  1e43,  1e44,  1e45,  1e46,  1e47,  1e48,  1e49,  1e50,
    1e51,  1e52,  1e53,  1e54,  1e55,  1e56,  1e57,  1e58,  1e59,  1e60};

// x times 10^k in one product for a Single's range of k, so that the result carries at most
// two roundings of a double (the power's and the product's).
double ScaleByPowerOfTen(double x, int k) {
  return x * kPowersOfTen[static_cast<std::size_t>(k - kLeastPower)];
}

// The 7 digits of a Single (finite, above 0). A Single is exact in a double, and scaling it
// by a power of ten in double precision errs by less than 1E-08 at the scale of 1E+07, so the
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
char* WriteNumberForm(char* out, T value, int significant, const char* positive, bool lead_zero,
                      const char* last) {
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
  return out;
}

template <typename T>
std::string NumberForm(T value, int significant, const char* positive, bool lead_zero,
                       const char* last) {
  std::array<char, 48> buffer{};
  return std::string(buffer.data(),
                     WriteNumberForm(buffer.data(), value, significant, positive, lead_zero, last));
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
void AppendFileSingle(std::string& out, float value) {
  std::array<char, 48> buffer;
  out.append(buffer.data(), WriteNumberForm(buffer.data(), value, 7, " ", false, " "));
}
std::string FileSingle(float value) {
  std::string text;
  AppendFileSingle(text, value);
  return text;
}
std::string FileDouble(double value) {
  return NumberForm(value, 15, " ", false, " ");
}

namespace {

bool IsPlaceholder(char c) {
  return c == '#' || c == '0';
}

// Rounds the digits half away from zero to their first `keep` digits: the digit after the
// last one kept decides alone, because the decimal text is all that is rounded (2.675 is
// "2.675" at 15 digits, so it shows 2.68 although its binary value lies just below). No
// digits left (a count of 0) means zero.
void RoundHalfAway(FormDigits& d, int keep) {
  if (keep < 0) {
    d.count = 0;
    d.exponent = 0;
    return;
  }
  if (keep >= d.count) return;
  const bool up = d.digit[static_cast<std::size_t>(keep)] >= '5';
  d.count = keep;
  if (up) {
    int i = d.count;
    while (i > 0 && d.digit[static_cast<std::size_t>(i - 1)] == '9') --i;
    if (i == 0) {  // all nines, or nothing kept: the next power of ten
      d.digit[0] = '1';
      d.count = 1;
      ++d.exponent;
      return;
    }
    ++d.digit[static_cast<std::size_t>(i - 1)];
    d.count = i;  // the nines after it became zeros, which are dropped
  }
  while (d.count > 0 && d.digit[static_cast<std::size_t>(d.count - 1)] == '0') --d.count;
}

}  // namespace

NumberPattern::NumberPattern(std::string_view p) {
  std::size_t i = 0;
  while (i < p.size() && !IsPlaceholder(p[i]) && p[i] != '.') ++i;
  prefix_ = std::string(p.substr(0, i));
  bool seen_zero = false;
  for (; i < p.size() && (IsPlaceholder(p[i]) || p[i] == ','); ++i) {
    if (p[i] == ',') {
      grouping_ = true;
      continue;
    }
    ++int_places_;
    seen_zero = seen_zero || p[i] == '0';
    if (seen_zero) ++int_required_;
  }
  if (i < p.size() && p[i] == '.') {
    point_ = true;
    for (++i; i < p.size() && IsPlaceholder(p[i]); ++i) {
      ++frac_places_;
      if (p[i] == '0') frac_required_ = frac_places_;
    }
  }
  if (i + 1 < p.size() && (p[i] == 'E' || p[i] == 'e') && (p[i + 1] == '-' || p[i + 1] == '+')) {
    exponent_ = true;
    exp_always_sign_ = p[i + 1] == '+';
    bool exp_zero = false;
    for (i += 2; i < p.size() && IsPlaceholder(p[i]); ++i) {
      exp_zero = exp_zero || p[i] == '0';
      if (exp_zero) ++exp_required_;
    }
  }
  suffix_ = std::string(p.substr(i));
  percent_ = prefix_.find('%') != std::string::npos || suffix_.find('%') != std::string::npos;
}

std::string NumberPattern::Format(double value) const {
  if (!std::isfinite(value)) return FormatDouble(value);
  const double magnitude = std::fabs(value);
  return Lay(magnitude == 0 ? FormDigits{} : ExactDigits(magnitude, 15), value < 0);
}

std::string NumberPattern::Format(float value) const {
  if (!std::isfinite(value)) return FormatSingle(value);
  const float magnitude = std::fabs(value);
  return Lay(magnitude == 0 ? FormDigits{} : SingleDigits(magnitude), value < 0);
}

// The digits of the magnitude (a count of 0 for zero) laid out under the pattern, written
// into a buffer on the stack: the grids show every value of a run through a pattern.
std::string NumberPattern::Lay(FormDigits d, bool negative) const {
  // "%" moves the decimal point of the text, so no binary product can disturb the digits.
  if (percent_) d.exponent += 2;
  const int decimals = point_ ? frac_places_ : 0;
  // `base` is the count of digits before the point, negative for zeros after the point
  // before the first digit.
  int base = 0;
  int exponent = 0;
  if (d.count > 0) {
    if (exponent_) {
      // The mantissa keeps as many integer digits as the pattern has places; with none it
      // is below 1 (".12E4"), so that no digit of the value is lost.
      RoundHalfAway(d, std::max(int_places_ + decimals, 1));
      base = int_places_;
      exponent = d.exponent - (int_places_ - 1);
    } else {
      // Keep the digits down to 10^-decimals.
      RoundHalfAway(d, d.exponent + 1 + decimals);
      base = d.exponent + 1;
    }
  }
  const bool zero = d.count == 0;
  const int int_digits = zero ? 0 : std::max(base, 0);
  const int int_width = std::max(int_digits, int_required_);
  // Trailing zeros after the point go, down to those the pattern requires.
  const int frac_width = std::max(frac_required_, std::clamp(d.count - base, 0, decimals));
  const std::size_t bound = 1 + prefix_.size() + suffix_.size() +
                            static_cast<std::size_t>(2 * int_width + frac_width + 16);
  std::array<char, 96>
      stack;  // NOLINT(cppcoreguidelines-pro-type-member-init): written before read
  std::string heap;
  char* const begin = bound <= stack.size() ? stack.data() : (heap.resize(bound), heap.data());
  char* out = begin;
  auto put = [&out](std::string_view text) {
    for (char c : text) *out++ = c;
  };
  // A value that rounds to zero under the pattern shows no sign.
  if (negative && !zero) *out++ = '-';
  put(prefix_);
  if (zero) {
    // A zero reads as one: "0", with the zeros the pattern requires after the point, never
    // a bare point (".") or a mantissa without digits (".E0"), and without an exponent,
    // which says nothing of a zero.
    *out++ = '0';
    if (point_ && frac_required_ > 0) {
      *out++ = '.';
      for (int i = 0; i < frac_required_; ++i) *out++ = '0';
    }
  } else {
    auto digit = [&d](int index) {
      return index >= 0 && index < d.count ? d.digit[static_cast<std::size_t>(index)] : '0';
    };
    for (int k = 0; k < int_width; ++k) {
      if (grouping_ && k > 0 && (int_width - k) % 3 == 0) *out++ = ',';
      *out++ = digit(k - (int_width - int_digits));
    }
    if (point_) {
      *out++ = '.';
      for (int i = 0; i < frac_width; ++i) *out++ = digit(base + i);
    }
    if (exponent_) {
      *out++ = 'E';
      if (exponent < 0)
        *out++ = '-';
      else if (exp_always_sign_)
        *out++ = '+';
      std::array<char, 12> e{};
      const auto [end, ec] = std::to_chars(e.data(), e.data() + e.size(), std::abs(exponent));
      const int width = static_cast<int>(end - e.data());
      for (int i = width; i < std::max(exp_required_, 1); ++i) *out++ = '0';
      put(std::string_view(e.data(), static_cast<std::size_t>(width)));
    }
  }
  put(suffix_);
  return std::string(begin, out);
}

std::string FormatPattern(double value, std::string_view pattern) {
  if (pattern.empty()) return FormatDouble(value);
  return NumberPattern(pattern).Format(value);
}

std::string FormatPattern(float value, std::string_view pattern) {
  if (pattern.empty()) return FormatSingle(value);
  return NumberPattern(pattern).Format(value);
}

}  // namespace quarn
