#include "ui/results/exposure_grids.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <filesystem>
#include <memory>
#include <system_error>

#include "model/exposure_units.h"
#include "model/work_file_reader.h"
#include "platform/cell_store.h"
#include "platform/flex_grid.h"
#include "platform/hourglass.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/common/grid_operations.h"

namespace quarn {
namespace {

constexpr const char* kFixedMask = "##,###0.0###";
constexpr const char* kSmallMask = "#.###E-##";
constexpr const char* kOccupantsSmallMask = "#.###E-0##";
// Values from this size on are shown in fixed-point form; compared as the Single they are
// read into, so that 0.01 itself is fixed-point.
constexpr float kFixedFrom = 0.01f;
constexpr int kHeaderRows = 2;
constexpr int kOccupantsRowLimit = 99;
constexpr int kOccupantsRows = 100;
constexpr int kWideColumnTwips = 1230;

std::string Shown(float value, const char* small_mask) {
  return FormatPattern(value, value >= kFixedFrom ? kFixedMask : small_mask);
}

std::string FixedText(float value) {
  return FormatPattern(value, kFixedMask);
}

std::string OccupantsText(float value) {
  return Shown(value, kOccupantsSmallMask);
}

// Hidden while it is filled, shown again however the fill ends.
class HiddenWhileFilled {
 public:
  explicit HiddenWhileFilled(FlexGrid& grid) : grid_(grid) { grid_.setVisible(false); }
  ~HiddenWhileFilled() { grid_.setVisible(true); }
  HiddenWhileFilled(const HiddenWhileFilled&) = delete;
  HiddenWhileFilled& operator=(const HiddenWhileFilled&) = delete;

 private:
  FlexGrid& grid_;
};

std::optional<ResultError> OpenWorkFile(const std::string& path,
                                        std::optional<TextLineSource>& source) {
  std::error_code ec;
  if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return ResultError::FileNotFound;
  source.emplace(path);
  if (!source->IsOpen()) return ResultError::PathFileAccess;
  return std::nullopt;
}

void Report(Prompt& prompt, ResultError error, const char* title) {
  prompt.Message(ResultErrorText(error), title, MessageIcon::None);
}

bool HasFiles(const ScenarioRecord& s, int occupant) {
  return occupant >= 1 && occupant <= OccupantCount(s);
}

// Empties the grid to its header rows and lays it out again.
void StartGrid(FlexGrid& grid, int cols, int rows) {
  grid.SetRows(0);
  grid.SetCols(cols);
  grid.SetRows(rows);
  grid.SetFixedRows(kHeaderRows);
  grid.SetFixedCols(0);
  grid.SetRowHeight(1, 2 * grid.RowHeight(0));
  grid.SetWordWrap(true);
}

// What sets the instantaneous and the cumulative grid of one occupant apart.
struct OneOccupantGrid {
  int first_rows;
  int width_twips;
  bool width_of_time_column;
  const char* top_left;
  const char* time_heading;
  const char* value_heading;
  int current_row;
  const char* error_title;
  // The last pollutant's column in fixed-point form, whatever the value's size.
  bool last_column_fixed;
  std::string ExposureUnits::*unit;  // the unit of the values, after value_heading
};

constexpr OneOccupantGrid kInstant{5,     1203,
                                   false, "Time h",
                                   "",    "Inst. exposure",
                                   2,     "Error",
                                   false, &ExposureUnits::instantaneous};
constexpr OneOccupantGrid kCumulative{100,        kWideColumnTwips,          true, "Pollutant",
                                      "Time hrs", "Cumulative exposure",     3,    "Error.",
                                      true,       &ExposureUnits::cumulative};

void FillOneOccupant(FlexGrid& grid, const ScenarioRecord& s, int occupant,
                     const std::string OccupantRecord::*file, char separator, Prompt& prompt,
                     const OneOccupantGrid& kind) {
  const int pollutants = PollutantCount(s);
  Hourglass hourglass;
  HiddenWhileFilled hidden(grid);
  GridRedrawOff redraw(grid);
  StartGrid(grid, pollutants + 1, kind.first_rows);
  for (int c = kind.width_of_time_column ? 0 : 1; c <= pollutants; ++c) {
    grid.SetColWidth(c, kind.width_twips);
  }
  grid.SetTextMatrix(0, 0, kind.top_left);
  grid.SetTextMatrix(1, 0, kind.time_heading);
  const std::string heading =
      std::string(kind.value_heading) + " (" + ExposureUnitsOf(s).*kind.unit + ")";
  for (int p = 0; p < pollutants; ++p) {
    grid.SetTextMatrix(0, p + 1, s.Pollutants[static_cast<size_t>(p)].Name);
    grid.SetTextMatrix(1, p + 1, heading);
  }

  // Every column under the exposure masks; the cumulative grid's last always in fixed-point
  // form.
  std::vector<NumberColumns::Format> formats(static_cast<size_t>(pollutants) + 1, ExposureText);
  if (kind.last_column_fixed && pollutants > 0) formats.back() = FixedText;
  auto cells = std::make_shared<NumberColumns>(std::move(formats));
  int lines = 0;
  std::optional<ResultError> error;
  std::optional<TextLineSource> source;
  if (HasFiles(s, occupant))
    error = OpenWorkFile(s.Occupants[static_cast<size_t>(occupant)].*file, source);
  if (source && !error) {
    std::string line;
    std::vector<float> fields;
    while (source->Next(line)) {
      error = ReadExposureFields(line, separator, fields);
      if (error) break;
      cells->Set(lines, 0, fields.empty() ? 0.0f : fields[0]);
      const int shown = std::min(pollutants, static_cast<int>(fields.size()) - 1);
      for (int p = 0; p < shown; ++p) cells->Set(lines, p + 1, fields[static_cast<size_t>(p) + 1]);
      ++lines;
    }
  }
  // One empty row follows the last line read, also after a failure.
  grid.SetRows(kHeaderRows + lines + 1);
  grid.SetCellSource(kHeaderRows, 0, std::move(cells));
  grid.SetRow(kind.current_row);
  if (error) Report(prompt, *error, kind.error_title);
}

// One occupant's columns of the all-occupants grid, from its first row on: `value_col` gets
// the first pollutant's value of each line, `time_col` (when not negative) the time. The number
// of lines read is returned; a failure ends the reading.
int FillOccupantColumns(NumberColumns& cells, TextLineSource& source, char separator, int time_col,
                        int value_col, std::optional<ResultError>& error) {
  int lines = 0;
  std::string line;
  std::vector<float> fields;
  while (source.Next(line)) {
    error = ReadExposureFields(line, separator, fields);
    if (error) break;
    if (time_col >= 0) cells.Set(lines, time_col, fields.empty() ? 0.0f : fields[0]);
    if (fields.size() > 1) cells.Set(lines, value_col, fields[1]);
    ++lines;
  }
  return lines;
}

}  // namespace

std::optional<ResultError> ReadExposureFields(std::string_view line, char separator,
                                              std::vector<float>& out) {
  out.clear();
  size_t start = 0;
  while (start <= line.size()) {
    size_t end = start;
    while (end < line.size() && !IsSeparator(line[end], separator)) ++end;
    const std::string_view field = line.substr(start, end - start);
    // The separator after the last value closes the line; it opens no field.
    if (end == line.size() && field.empty() && start > 0) break;
    const double value = LeadingNumber(field);
    if (std::fabs(value) > FLT_MAX) return ResultError::Overflow;
    out.push_back(static_cast<float>(value));
    start = end + 1;
  }
  return std::nullopt;
}

std::string ExposureText(float value) {
  return Shown(value, kSmallMask);
}

NumberColumns::NumberColumns(std::vector<Format> formats) : formats_(std::move(formats)) {}

void NumberColumns::Set(int row, int col, float value) {
  const size_t i = Index(row, col);
  if (row >= rows_) {
    rows_ = row + 1;
    values_.resize(Index(rows_, 0));
    present_.resize(values_.size(), 0);
  }
  values_[i] = value;
  present_[i] = 1;
}

std::string NumberColumns::Text(int row, int col) const {
  const size_t i = Index(row, col);
  return present_[i] != 0 ? formats_[static_cast<size_t>(col)](values_[i]) : std::string();
}

std::optional<double> NumberColumns::Number(int row, int col) const {
  const size_t i = Index(row, col);
  if (present_[i] == 0) return std::nullopt;
  return values_[i];
}

std::optional<int> SteppedOccupant(const std::string& box_text, int count, int step) {
  if (count < 1) return std::nullopt;
  const double typed = LeadingNumber(box_text);
  const double within =
      std::isnan(typed) ? 1.0 : std::clamp(typed, 1.0, static_cast<double>(count));
  const int n = std::clamp(static_cast<int>(std::nearbyint(within)) + step, 1, count);
  if (n == typed) return std::nullopt;
  return n;
}

void FillInstantExposureGrid(FlexGrid& grid, const ScenarioRecord& scenario, int occupant,
                             char separator, Prompt& prompt) {
  FillOneOccupant(grid, scenario, occupant, &OccupantRecord::InstExposureFile, separator, prompt,
                  kInstant);
}

void FillCumulativeExposureGrid(FlexGrid& grid, const ScenarioRecord& scenario, int occupant,
                                char separator, Prompt& prompt) {
  FillOneOccupant(grid, scenario, occupant, &OccupantRecord::CumExposureFile, separator, prompt,
                  kCumulative);
}

void FillOccupantExposureGrid(FlexGrid& grid, const ScenarioRecord& scenario, char separator,
                              Prompt& prompt) {
  const int occupants = OccupantCount(scenario);
  Hourglass hourglass;
  GridRedrawOff redraw(grid);
  StartGrid(grid, 3 * occupants, kOccupantsRows);
  for (int c = 1; c < grid.Cols(); ++c) grid.SetColWidth(c, kWideColumnTwips);

  int limit = kOccupantsRowLimit;
  std::optional<ResultError> error;
  const ExposureUnits units = ExposureUnitsOf(scenario);
  auto cells = std::make_shared<NumberColumns>(
      std::vector<NumberColumns::Format>(static_cast<size_t>(3 * occupants), OccupantsText));
  for (int o = 1; o <= occupants && !error; ++o) {
    const OccupantRecord& occupant = scenario.Occupants[static_cast<size_t>(o)];
    const int c = 3 * (o - 1);
    grid.SetTextMatrix(0, c, "Occupant");
    grid.SetTextMatrix(0, c + 1, occupant.Name);
    grid.SetTextMatrix(1, c, "Time hrs");
    grid.SetTextMatrix(1, c + 1, "Inst exposure (" + units.instantaneous + ")");
    grid.SetTextMatrix(1, c + 2, "Cumulative exposure (" + units.cumulative + ")");
    std::optional<TextLineSource> inst;
    std::optional<TextLineSource> cum;
    error = OpenWorkFile(occupant.InstExposureFile, inst);
    if (!error) error = OpenWorkFile(occupant.CumExposureFile, cum);
    if (error) break;
    int lines = FillOccupantColumns(*cells, *inst, separator, c, c + 1, error);
    if (!error) lines = FillOccupantColumns(*cells, *cum, separator, -1, c + 2, error);
    // A row for every line read and one empty row after them.
    if (kHeaderRows + lines >= limit) limit = kHeaderRows + lines + 1;
  }
  grid.SetRows(limit);
  grid.SetCellSource(kHeaderRows, 0, std::move(cells));
  if (error) Report(prompt, *error, "Error.");
}

}  // namespace quarn
