// The number forms are written through a fast path; these tests hold the straightforward
// way of writing them (to_chars to the digit count, then the layout) and require the same
// bytes from both over many values, so that no stored file changes by a single character.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "text/number_text.h"

namespace quarn {
namespace {
namespace reference {

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

}  // namespace reference

// Every form of one value against the reference; false at a difference, which the test
// reports with the value's exact bits.
template <typename T>
bool SameForms(T v, int digits, std::string (*plain)(T), std::string (*sign)(T),
               std::string (*file)(T)) {
  const std::string want_plain = reference::Plain(v, digits);
  const std::string want_sign = reference::Sign(v, digits);
  const std::string got_plain = plain(v), got_sign = sign(v), got_file = file(v);
  if (got_plain == want_plain && got_sign == want_sign && got_file == want_sign + " ") return true;
  ADD_FAILURE() << std::hexfloat << v << ": \"" << got_plain << "\" \"" << got_sign << "\" \""
                << got_file << "\", want \"" << want_plain << "\" \"" << want_sign << "\"";
  return false;
}

bool SameSingle(float v) {
  return SameForms<float>(v, 7, FormatSingle, SignSingle, FileSingle);
}
bool SameDouble(double v) {
  return SameForms<double>(v, 15, FormatDouble, SignDouble, FileDouble);
}

// Values whose eighth significant digit is an exact 5, and their neighbours: the cases
// where rounding is decided by the last bit.
TEST(NumberFormSameBytes, SingleHalvesAndBoundaries) {
  const float values[] = {1234567.5f,
                          2500000.5f,
                          8388607.5f,
                          1000000.5f,
                          9999999.5f,
                          12345675.0f,
                          10000005.0f,
                          16777215.0f,
                          9999999.0f,
                          10000000.0f,
                          0.1f,
                          0.3f,
                          1.0f / 3.0f,
                          1e-05f,
                          9.999999e-05f,
                          0.0001f,
                          1e+38f,
                          3.4028235e+38f,
                          1.4e-45f,
                          1.1754944e-38f,
                          -0.0f,
                          0.0f,
                          std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(),
                          std::numeric_limits<float>::quiet_NaN(),
                          8760.0f,
                          -999.0f};
  for (float v : values) {
    SameSingle(v);
    SameSingle(-v);
    SameSingle(std::nextafter(v, 0.0f));
    SameSingle(std::nextafter(v, std::numeric_limits<float>::infinity()));
  }
  // Every power of ten and the Singles just around it.
  for (int e = -45; e <= 38; ++e) {
    const float p = static_cast<float>(std::pow(10.0, e));
    for (float v = std::nextafter(std::nextafter(p, 0.0f), 0.0f), k = 0; k < 5;
         v = std::nextafter(v, std::numeric_limits<float>::infinity()), ++k)
      SameSingle(v);
  }
}

// A sweep over the whole range of Single bit patterns, and random ones, stopping at the
// first difference so that a fault reports one value, not thousands.
TEST(NumberFormSameBytes, SingleOverTheWholeRange) {
  for (std::uint64_t bits = 0; bits < (std::uint64_t{1} << 32); bits += 2039)
    if (!SameSingle(std::bit_cast<float>(static_cast<std::uint32_t>(bits)))) return;
  std::mt19937 random(20240611);
  for (int i = 0; i < 1000000; ++i)
    if (!SameSingle(std::bit_cast<float>(static_cast<std::uint32_t>(random())))) return;
  // Values as a run writes them: decimal fractions and sums that are not exact in binary.
  for (int k = -100000; k <= 100000; ++k) {
    if (!SameSingle(0.1f * static_cast<float>(k))) return;
    if (!SameSingle(static_cast<float>(k) / 1000.0f)) return;
    if (!SameSingle(static_cast<float>(k) * 123.456f)) return;
  }
}

TEST(NumberFormSameBytes, DoubleOverTheWholeRange) {
  std::mt19937_64 random(20240611);
  for (int i = 0; i < 300000; ++i)
    if (!SameDouble(std::bit_cast<double>(random()))) return;
  std::uniform_real_distribution<double> decade(-20, 20);
  for (int i = 0; i < 300000; ++i)
    if (!SameDouble(std::pow(10.0, decade(random)))) return;
  for (double v :
       {0.0, -0.0, 0.5, 1.0 / 3.0, 1e15, 999999999999999.0, 999999999999999.5, 1e-5,
        9.9999999999999995e-05, 1.7976931348623157e308, 4.9e-324,
        std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()})
    SameDouble(v);
}

}  // namespace
}  // namespace quarn
