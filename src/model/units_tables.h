#pragma once

#include <array>
#include <vector>

namespace quarn {

// The conversion tables of the units converter. Texts are Windows-1252 bytes, as the grids
// take them ("m\xB3" is m³).

// One conversion: the input in `from` times the factor gives the result in `to`.
struct UnitsRow {
  const char* from;
  const char* to;
  // The factor as a Single; ignored when `factor_text` or `divides` gives it.
  float factor = 0.0F;
  // A factor shown as it stands ("0.304800") rather than under the table's mask; its value
  // is the Single the text reads as.
  const char* factor_text = nullptr;
  // A reverse conversion: its factor is 1 over the factor of this row (1-based), so that
  // the two directions agree to the last digit a Single holds.
  int divides = 0;
  // The concentration rows show their fill results under masks of their own.
  const char* result_mask = nullptr;
};

struct UnitsTable {
  const char* tab_caption;
  const char* frame_caption;
  std::vector<UnitsRow> rows;  // data rows 1, 2, ...
  // How the fill shows column 2: factors given by number go under this mask.
  const char* factor_mask;
  // How the fill shows column 3, the result of the input 1: under this mask, or, when
  // empty, as a copy of the factor's text.
  const char* result_mask;
};

// Tabs 0 to 5: length, area, volume, concentration, flow rate, pressure.
inline constexpr int kUnitsTabs = 6;
inline constexpr int kConcentrationTab = 3;
const std::array<UnitsTable, kUnitsTabs>& UnitsTables();

// The factor of a data row (1-based) as the fill writes it.
float UnitsFactor(const UnitsTable& table, int row);

// The molecular volume of a gas at 25 °C and 1 atm in L/mol, which turns ppm by volume
// into mg/m³ with the molecular weight.
inline constexpr float kMolarVolume = 24.5F;
// The concentration tab's conversions by data row (1 to 6) of the input x with the
// molecular weight m, in single precision as the program has always worked them.
float ConcentrationResult(int row, float x, float m);

}  // namespace quarn
