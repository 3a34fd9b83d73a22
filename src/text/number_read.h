#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarn {

// The value of the longest leading part of the text that forms a number: blanks skipped,
// an optional sign, digits, a point, an exponent with "E", "e", "D" or "d". 0 when there is
// none ("abc", "", "-"). The way a grid cell is read back.
double LeadingNumber(std::string_view text);

// The text with every "," removed ("1,500.5" -> "1500.5"), for cells that show grouping.
std::string RemoveCommas(std::string_view text);
// Whether every comma of the text groups the thousands of its leading number ("8,760",
// "17,520.0 h"); false for any other comma ("2,5", "1234,567", "1,500.5,3"). A text without
// a comma passes.
bool CommasGroupThousands(std::string_view text);

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4); nullopt when not finite or out of
// the type's range, so that no value is narrowed silently.
std::optional<int16_t> RoundToInt16(double value);
std::optional<int32_t> RoundToInt32(double value);

// The value as a Single, when it is finite and rounds to a finite Single; nullopt otherwise.
// The largest Single written out in full ("3.4028235E+38") lies just past the exact maximum
// and still rounds to it.
std::optional<float> AsSingle(double value);
// The value as a Single, saturated to the largest Single of its sign beyond that range; NaN
// gives 0.
float ToSingle(double value);

// The whole text (blanks around it allowed) must be one number; nullopt otherwise.
std::optional<double> ParseNumber(std::string_view text);
// The same, as a Single: nullopt also for a number that a Single cannot hold.
std::optional<float> ParseSingle(std::string_view text);

}  // namespace quarn
