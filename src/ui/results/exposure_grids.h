#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/prompt.h"
#include "model/records.h"
#include "platform/cell_store.h"
#include "ui/results/result_errors.h"

namespace quarn {

class FlexGrid;

// The exposure grids of the occupants, filled from the work files of the exposure
// calculation: one line per output time, the time and then one value per pollutant, each
// followed by the separator. Each fill starts from its headers, so no row of an earlier
// fill is left under the new one. A work file that is missing or cannot be read stops the
// fill with "Error " and its number; the rows filled before it stay. Occupants outside 1 to
// NumOccupants have no files: their grid shows its headers only.

// Instantaneous exposures of one occupant (.EMP): time under "Time h", a column per
// pollutant, the current row left at 2.
void FillInstantExposureGrid(FlexGrid& grid, const ScenarioRecord& scenario, int occupant,
                             char separator, Prompt& prompt);
// Cumulative exposures of one occupant (.CMP); the last pollutant's column always in
// fixed-point form; the current row left at 3.
void FillCumulativeExposureGrid(FlexGrid& grid, const ScenarioRecord& scenario, int occupant,
                                char separator, Prompt& prompt);
// Every occupant side by side, three columns each (time, instantaneous and cumulative
// exposure to the first pollutant), at least 99 rows.
void FillOccupantExposureGrid(FlexGrid& grid, const ScenarioRecord& scenario, char separator,
                              Prompt& prompt);

// The numbers of one work-file line: split at the separator (a comma or a tab counts as
// well, so a file written under the other setting still reads) and each field read by its
// leading number, text giving 0; the empty field after the last separator is dropped.
// Overflow for a number too large for a Single.
std::optional<ResultError> ReadExposureFields(std::string_view line, char separator,
                                              std::vector<float>& out);

// The numbers of an exposure table, read from its work file, under one format a column: each
// cell's text is made when it is shown, copied or printed, and the cell gives back the exact
// number it was read as. A cell never set is empty.
class NumberColumns : public CellSource {
 public:
  using Format = std::string (*)(float);
  explicit NumberColumns(std::vector<Format> formats);
  // The value of cell (row, col), rows from 0; the rows grow to take it.
  void Set(int row, int col, float value);

  int Rows() const override { return rows_; }
  int Cols() const override { return static_cast<int>(formats_.size()); }
  std::string Text(int row, int col) const override;
  std::optional<double> Number(int row, int col) const override;

 private:
  size_t Index(int row, int col) const {
    return static_cast<size_t>(row) * formats_.size() + static_cast<size_t>(col);
  }

  std::vector<Format> formats_;
  std::vector<float> values_;  // Cols() a row
  std::vector<char> present_;
  int rows_ = 0;
};

// An exposure or time as the occupant grids show it: "##,###0.0###" from 0.01 on,
// "#.###E-##" below (zero and negative values included).
std::string ExposureText(float value);

// The occupant a spinner click brings up, from the number in the occupant box (leading
// number, rounded): brought into 1 to `count` first, then one step (+1 or -1) within those
// bounds. nullopt when the box already holds that number, and always without occupants.
std::optional<int> SteppedOccupant(const std::string& box_text, int count, int step);

}  // namespace quarn
