#include "model/units_tables.h"

#include <cassert>

#include "text/number_read.h"

namespace quarn {

namespace {

// The inch mark before "water" is the unit's own way of writing inches of water.
constexpr const char* kInchWater = "\"water";

std::array<UnitsTable, kUnitsTabs> MakeTables() {
  const char* area_volume_factor = "#######.#####";
  const char* area_volume_result = "#####.######";
  const char* flow = "##,#####.#######";
  const char* pressure = "#,#####0.#######";
  const char* conc = "####,#.######";
  return {{
      {"&Length",
       "Length",
       {{"ft", "m", 0, "0.304800"},
        {"yds", "m", 0, "0.9144000"},
        {"in", "m", 0, "0.0254000"},
        {"m", "ft", 0, "3.2808399"},
        {"m", "in", 0, "39.3700787"},
        {"m", "yd", 0, "1.0936133"}},
       "",
       ""},
      {"&Area",
       "Area",
       {{"ft\xB2", "m\xB2", 0, "0.0929030"},
        {"yd\xB2", "m\xB2", 0, "0.8361274"},
        {"in\xB2", "m\xB2", 0, "0.00064516"},
        {"m\xB2", "ft\xB2", 0, nullptr, 1},
        {"m\xB2", "yd\xB2", 0, nullptr, 2},
        {"m\xB2", "in\xB2", 0, nullptr, 3}},
       area_volume_factor,
       area_volume_result},
      {"&Volume",
       "Volume",
       {{"ft\xB3", "m\xB3", 0, "0.02831685"},
        {"yd\xB3", "m\xB3", 0, "0.76455486"},
        {"in\xB3", "m\xB3", 0, "1.63870640E-05"},
        {"m\xB3", "ft\xB3", 0, nullptr, 1},
        {"m\xB3", "yd\xB3", 0, nullptr, 2},
        {"m\xB3", "in\xB3", 0, nullptr, 3}},
       area_volume_factor,
       area_volume_result},
      // Column 2 holds the molecular weight here, the same in every row.
      {"&Concentration",
       "Concentration",
       {{"ppmv", "mg/m\xB3", 0, "100", 0, conc},
        {"ppmv", "\xB5g/m\xB3", 0, "100", 0, "#,#####.####"},
        {"ppb", "\xB5g/m\xB3", 0, "100", 0, conc},
        {"mg/m\xB3", "ppmv", 0, "100", 0, conc},
        {"\xB5g/m\xB3", "ppmv", 0, "100", 0, "#####,#.######"},
        {"\xB5g/m\xB3", "pbmv", 0, "100", 0, conc}},
       "",
       ""},
      // 0.4719474 L/s per ft³/min times 3.6 gives the first factor, and the last is the
      // L/s to ft³/min factor over 3.6: the six agree with one another.
      {"F&low rate",
       "Flow rate",
       {{"ft\xB3/m", "m\xB3/h", 1.699011F},
        {"ft\xB3/m", "L/s", 0.4719474F},
        {"m\xB3/s", "m\xB3/h ", 3600.0F},
        {"L/s", "m\xB3/h", 3.6F},
        {"L/s", "ft\xB3/m", 2.11888F},
        {"m\xB3/h", "ft\xB3/min", 0.5885778F}},
       flow,
       flow},
      {"&Pressure",
       "Pressure",
       {{kInchWater, "Pa", 249.08F},
        {kInchWater, "atm", 0.0024583F},
        {kInchWater, "mm Hg", 1.86827F},
        {"Pa", kInchWater, 0.0040147F},
        {"Pa", "atm", 0, nullptr, 9},
        {"Pa", "mm Hg", 0.0075006F},
        {"atm", kInchWater, 406.794F},
        {"atm", "mm Hg", 760.0F},
        {"atm", "Pa", 101325.0F},
        {"Bar", "atm", 0.986923F}},
       pressure,
       pressure},
  }};
}

}  // namespace

const std::array<UnitsTable, kUnitsTabs>& UnitsTables() {
  static const std::array<UnitsTable, kUnitsTabs> kTables = MakeTables();
  return kTables;
}

float UnitsFactor(const UnitsTable& table, int row) {
  assert(row >= 1 && row <= static_cast<int>(table.rows.size()));
  const UnitsRow& r = table.rows[static_cast<size_t>(row - 1)];
  if (r.divides != 0) return 1.0F / UnitsFactor(table, r.divides);
  if (r.factor_text != nullptr) return static_cast<float>(LeadingNumber(r.factor_text));
  return r.factor;
}

float ConcentrationResult(int row, float x, float m) {
  switch (row) {
    case 1:
    case 3:
      return x * m / kMolarVolume;
    case 2:
      return x * 1000.0F * m / kMolarVolume;
    case 4:
    case 6:
      return x * kMolarVolume / m;
    default:
      return (x / 1000.0F) * kMolarVolume / m;
  }
}

}  // namespace quarn
