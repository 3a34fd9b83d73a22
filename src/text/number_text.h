#pragma once

#include <concepts>
#include <string>
#include <string_view>

namespace quarn {

// Number texts as the program's files and grids show them. A Single keeps at most 7
// significant digits and a Double 15, rounded (half to even of the exact binary value),
// trailing zeros dropped; the exponent form ("1E-05", "1.234568E+07") is used when the
// decimal exponent is below -4 or at least the digit count. This is deliberately not the
// shortest round-trip text: 1/3 as a Single is "0.3333333".

// Plain form: "0.5", "-0.25", "1E-05".
std::string FormatSingle(float value);
std::string FormatDouble(double value);

// Sign-position form of grid cells: a blank or "-" first, no 0 before the point
// (" .5", "-.25", " 0", " 1E-05").
std::string SignSingle(float value);
std::string SignDouble(double value);

// Number item of a text file: the sign-position form followed by one blank (" .5 ").
std::string FileSingle(float value);
// The same appended to `out`, as the work file is written: without a string of its own.
void AppendFileSingle(std::string& out, float value);
std::string FileDouble(double value);

// Display through a format pattern: "#" optional digit, "0" required digit, "," among the
// integer digits turns on thousands grouping, "." the decimal point (always shown when the
// pattern has it), "E-"/"E+" an exponent (sign only when negative / always), "%" multiplies
// by 100 and shows "%", anything else is literal text (" hr", " mg/m\xB3").
// The value is first written as its decimal text, 15 significant digits for a Double and 7
// for a Single, and that text is rounded half away from zero to the pattern's places, as the
// program has always shown it: 0.25 under "#.#" is ".3", 2.675 under "0.00" is "2.68" (its
// binary value lies just below), and 0.1f * 8760 (876.00006 as a Single's 7 digits) is
// "876.0001" under "#.####". A value that rounds to zero shows no minus sign and reads "0"
// (with the zeros the pattern requires after the point: "0.0" under "#0.0#"), never "." or
// ".E0".
// An empty pattern gives the plain form of the value (FormatDouble, FormatSingle).
std::string FormatPattern(double value, std::string_view pattern);
std::string FormatPattern(float value, std::string_view pattern);

// A (non-empty) pattern read once, for code that shows many values through the same one:
// Format gives the texts of FormatPattern.
class NumberPattern {
 public:
  explicit NumberPattern(std::string_view pattern);
  std::string Format(double value) const;
  std::string Format(float value) const;

  struct Digits;

 private:
  std::string Lay(Digits digits, bool negative) const;

  std::string prefix_;     // literal text before the number
  std::string suffix_;     // and after it
  int int_places_ = 0;     // '#' and '0' before the point
  int int_required_ = 0;   // digits from the first '0' before the point on
  bool grouping_ = false;  // a ',' among the integer placeholders
  bool point_ = false;     // the pattern shows a decimal point
  int frac_places_ = 0;    // '#' and '0' after the point
  int frac_required_ = 0;  // digits up to the last '0' after the point
  bool exponent_ = false;
  bool exp_always_sign_ = false;
  int exp_required_ = 0;
  bool percent_ = false;
};

// Integers (Integer and Long fields, counts) go through the Double form, so that a call with
// an int16_t or int32_t is not ambiguous between the two.
template <std::integral T>
std::string FormatPattern(T value, std::string_view pattern) {
  return FormatPattern(static_cast<double>(value), pattern);
}

}  // namespace quarn
