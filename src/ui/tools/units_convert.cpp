#include "ui/tools/units_convert.h"

#include <QColor>
#include <cmath>
#include <limits>
#include <string>

#include "model/units_tables.h"
#include "platform/flex_grid.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/grids/grid_cells.h"

namespace quarn {

namespace {

namespace column {
constexpr int kInput = 0;
constexpr int kFrom = 1;
constexpr int kFactor = 2;
constexpr int kResult = 3;
constexpr int kTo = 4;
constexpr int kCount = 5;
}  // namespace column

// The input every row starts from.
constexpr float kFillInput = 1.0F;
constexpr const char* kConcentrationMask = "###,###.######";

// A number read from a cell as a Single; one beyond its range is infinite, so that the
// result it gives is left out rather than converted with undefined behaviour.
float SingleOrInfinite(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  constexpr float kInf = std::numeric_limits<float>::infinity();
  if (value > kMax) return kInf;
  if (value < -kMax) return -kInf;
  return static_cast<float>(value);
}

bool IsDataRow(const FlexGrid& grid, int row) {
  return row >= grid.FixedRows() && row < grid.Rows();
}

// The result beside its text, or an empty cell for a result no Single holds.
void WriteResult(FlexGrid& grid, int row, float result, const char* mask) {
  if (!std::isfinite(result)) {
    grid.SetTextMatrix(row, column::kResult, std::string());
    return;
  }
  grid.SetNumber(row, column::kResult, result, FormatPattern(result, mask));
}

// Column 3 of a data row from columns 0 and 2, then the input column current again.
template <class Convert>
void ConvertRow(FlexGrid& grid, int row, const char* mask, Convert convert) {
  if (!IsDataRow(grid, row)) return;
  const float x = UnitsCellValue(grid, row, column::kInput);
  const float factor = UnitsCellValue(grid, row, column::kFactor);
  WriteResult(grid, row, convert(row, x, factor), mask);
  grid.SetCol(column::kInput);
}

// The value under its mask, unless the mask hides some of its digits: then in full, as a
// recomputed row shows it, so that 1 in\xB3 reads 1.638706E-05 m\xB3 from the start and not
// .000016 (2.4 % off).
std::string WholeValueText(float value, const char* mask) {
  std::string text = FormatPattern(value, mask);
  std::string whole = FormatSingle(value);
  if (FormatSingle(ToSingle(LeadingNumber(RemoveCommas(text)))) == whole) return text;
  return whole;
}

void FillTable(FlexGrid& grid, int tab) {
  const UnitsTable& table = UnitsTables().at(static_cast<size_t>(tab));
  grid.SetRows(1 + static_cast<int>(table.rows.size()));
  SetupUnitsGrid(grid);
  for (int r = 1; r < grid.Rows(); ++r) {
    const UnitsRow& row = table.rows[static_cast<size_t>(r - 1)];
    const float factor = UnitsFactor(table, r);
    const std::string factor_text =
        row.factor_text != nullptr ? row.factor_text : WholeValueText(factor, table.factor_mask);
    grid.SetTextMatrix(r, column::kFrom, row.from);
    grid.SetTextMatrix(r, column::kTo, row.to);
    grid.SetNumber(r, column::kFactor, factor, factor_text);
    const char* mask = row.result_mask != nullptr ? row.result_mask : table.result_mask;
    const float result =
        tab == kConcentrationTab ? ConcentrationResult(r, kFillInput, factor) : kFillInput * factor;
    grid.SetNumber(r, column::kResult, result,
                   *mask == '\0' ? factor_text : WholeValueText(result, mask));
  }
}

}  // namespace

float UnitsCellValue(const FlexGrid& grid, int row, int col) {
  return SingleOrInfinite(GroupedCellValue(grid, row, col));
}

void SetupUnitsGrid(FlexGrid& grid) {
  grid.SetCols(column::kCount);
  grid.SetFixedCols(0);
  const char* headers[column::kCount] = {"Input value", "Units", "Conversion factor", "Result",
                                         "Units"};
  for (int c = 0; c < column::kCount; ++c) grid.SetTextMatrix(0, c, headers[c]);
  // The columns a user reads the conversion by are cyan; input and result stay plain.
  const QColor cyan(0, 255, 255);
  for (int r = grid.FixedRows(); r < grid.Rows(); ++r) {
    grid.SetTextMatrix(r, column::kInput, "1.0000");
    for (int c : {column::kFrom, column::kFactor, column::kTo}) grid.SetCellBackColorAt(r, c, cyan);
  }
  grid.SetColWidth(column::kFrom, 650);
  grid.SetColWidth(column::kFactor, 1700);
  grid.SetColWidth(column::kResult, 1900);
  grid.SetColWidth(column::kTo, 600);
}

void ShowLengthUnits(FlexGrid& grid) {
  FillTable(grid, 0);
}
void ShowAreaUnits(FlexGrid& grid) {
  FillTable(grid, 1);
}
void ShowVolumeUnits(FlexGrid& grid) {
  FillTable(grid, 2);
}
void ShowConcentrationUnits(FlexGrid& grid) {
  FillTable(grid, kConcentrationTab);
  grid.SetWordWrap(true);
  grid.SetRowHeight(0, 500);
  grid.SetTextMatrix(0, column::kFactor, "Mol. wt g/mole");
}
void ShowFlowUnits(FlexGrid& grid) {
  FillTable(grid, 4);
}
void ShowPressureUnits(FlexGrid& grid) {
  FillTable(grid, 5);
}

void ShowUnits(FlexGrid& grid, int tab) {
  static constexpr void (*kShow[kUnitsTabs])(FlexGrid&) = {ShowLengthUnits, ShowAreaUnits,
                                                           ShowVolumeUnits, ShowConcentrationUnits,
                                                           ShowFlowUnits,   ShowPressureUnits};
  kShow[tab](grid);
}

void ConvertUnitsRow(FlexGrid& grid) {
  ConvertUnitsRow(grid, grid.Row());
}

void ConvertUnitsRow(FlexGrid& grid, int row) {
  ConvertRow(grid, row, "", [](int, float x, float factor) { return x * factor; });
}

void ConvertConcentrationRow(FlexGrid& grid) {
  ConvertConcentrationRow(grid, grid.Row());
}

void ConvertConcentrationRow(FlexGrid& grid, int row) {
  ConvertRow(grid, row, kConcentrationMask, [](int r, float x, float weight) {
    // No molecular weight, no conversion: an empty result rather than an infinite one.
    return weight == 0.0F ? std::numeric_limits<float>::quiet_NaN()
                          : ConcentrationResult(r, x, weight);
  });
}

}  // namespace quarn
