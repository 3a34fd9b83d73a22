#include "ui/grids/scenario_grid.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <optional>

#include "model/prompt.h"
#include "model/unit_conversion.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "text/cp1252.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/grids/grid_cells.h"

namespace quarn {
namespace {

namespace row = scenario_row;

// Hours in a simulated year: the years row and the hours row are the same period.
constexpr float kHoursPerDay = 24.0F;
constexpr float kDaysPerYear = 365.0F;

constexpr const char* kFillHoursPattern = "####,#.##### hr";
constexpr const char* kCoupledHoursPattern = "##,####.0#### h";
constexpr const char* kCoupledYearsPattern = "###0.0##### yr";
constexpr const char* kTemperaturePattern = "###.## C";
constexpr const char* kPressurePattern = "###.## mm/Hg";
constexpr const char* kEnterPerPollutant = "Enter using define pollutant";

// The design widths were set for a narrower system font: a column is widened so that the
// program's own text in it (the per-pollutant note) is read whole.
void FitColumnToText(FlexGrid& grid, int col, const std::string& text) {
  constexpr int kCellMargins = 10;  // the cell's padding either side and the grid line
  const int needed = grid.fontMetrics().horizontalAdvance(ToQt(text)) + kCellMargins;
  // Through the grid's own width, so that its frozen heading views follow the column.
  if (TwipsToPixels(grid.ColWidth(col)) < needed) grid.SetColWidth(col, PixelsToTwips(needed));
}

const std::array<std::string, row::kCount>& Labels() {
  static const std::array<std::string, row::kCount> kLabels = {
      "Building simulated",
      "Scenario Name",
      "Comments",
      "Overall ACH",
      "Constant ACH?",
      "Constant HVAC?",
      "Number of pollutants",
      "Constant Outdoor conc?",
      "Years simulated",
      "Hrs simulated",
      "Temperature C",
      "Pressure mm/Hg",
      "Building Penetration",
      "Class of pollutant",
      "Irritant concentration",
      "Cancer Risk/\xB5g/m3",
      "Reference dose mg/kg/day",
      "Nr. Occupants",
      "Long term options ",
      "Master File",
  };
  return kLabels;
}

// The flag rows store the first character of the typed text in capitals; an empty cell
// stores a blank.
std::string FirstUpper(const std::string& text) {
  return UpperAscii(text.substr(0, 1));
}

std::string PlainCount(int value) {
  return FormatDouble(value);
}

float HoursOfYears(float years) {
  return years * kHoursPerDay * kDaysPerYear;
}

float YearsOfHours(float hours) {
  return hours / kHoursPerDay / kDaysPerYear;
}

// The hours to show for the stored years. The file keeps the years to 7 digits, so hours
// typed as 100 come back as 99.99995; shown with the fewest decimals whose years write the
// same file text, they read as typed. The cell keeps the exact hours beside this text.
float HoursShown(float years) {
  const float hours = HoursOfYears(years);
  const std::string stored = FileSingle(years);
  double scale = 1;
  for (int decimals = 0; decimals <= 5; ++decimals, scale *= 10) {
    const auto rounded = static_cast<float>(std::round(static_cast<double>(hours) * scale) / scale);
    if (std::isfinite(rounded) && FileSingle(YearsOfHours(rounded)) == stored) return rounded;
  }
  return hours;
}

void SetLabelAndValue(FlexGrid& grid, int r, const std::string& value) {
  grid.SetTextMatrix(r, 0, Labels()[static_cast<size_t>(r)]);
  grid.SetTextMatrix(r, 1, value);
}

void SetLabelAndNumber(FlexGrid& grid, int r, double value, const std::string& text) {
  grid.SetTextMatrix(r, 0, Labels()[static_cast<size_t>(r)]);
  grid.SetNumber(r, 1, value, text);
}

// A count typed into the grid, rounded half to even, when it lies in [low, high].
std::optional<int16_t> CountIn(const FlexGrid& grid, int r, int low, int high) {
  const std::optional<int16_t> n = RoundToInt16(CellValue(grid, r, 1));
  if (!n || *n < low || *n > high) return std::nullopt;
  return n;
}

bool Refuse(FlexGrid& grid, int r, Prompt& prompt, const std::string& text) {
  prompt.Message(text, "Warning", MessageIcon::Exclamation);
  grid.SetRowCol(r, 1);
  return false;
}

}  // namespace

const std::string& ScenarioRowLabel(int r) {
  static const std::string kNone;
  if (r < 0 || r >= row::kCount) return kNone;
  return Labels()[static_cast<size_t>(r)];
}

int ClassListIndex(std::string_view pollutant_class, const std::vector<std::string>& entries) {
  const std::string cls = UpperAscii(pollutant_class);
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string entry = UpperAscii(entries[i]);
    if (cls.compare(0, entry.size(), entry) == 0 && cls.size() >= entry.size()) {
      return static_cast<int>(i);
    }
  }
  return entries.empty() ? -1 : static_cast<int>(entries.size()) - 1;
}

bool IsScenarioNumberRow(int row) {
  switch (row) {
    case row::kOverallACH:
    case row::kNumPollutants:
    case row::kYears:
    case row::kHours:
    case row::kTemperature:
    case row::kPressure:
    case row::kNumOccupants:
    case row::kLongTermOptions:
      return true;
    default:
      return false;
  }
}

void FillGeneralScenarioGrid(FlexGrid& grid, BuildingRecord& building, QComboBox* pollutant_type) {
  ScenarioRecord& s = building.Scenario;
  if (s.NumPollutants == 0) s.NumPollutants = 1;

  grid.SetRedraw(false);
  grid.setVisible(true);
  grid.SetCols(2);
  grid.SetRows(row::kCount);
  // Row 0 (the building) is a heading, and the labels are headings: only values are edited.
  grid.SetFixedRows(1);
  grid.SetFixedCols(1);
  grid.SetColWidth(0, 2490);
  grid.SetColWidth(1, 2200);
  FitColumnToText(grid, 1, kEnterPerPollutant);

  SetLabelAndValue(grid, row::kBuilding, building.ID);
  SetLabelAndValue(grid, row::kName, s.Name);
  SetLabelAndValue(grid, row::kComments, s.Comments);
  SetLabelAndNumber(grid, row::kOverallACH, s.OverallACH, SignSingle(s.OverallACH));
  SetLabelAndValue(grid, row::kConstantACH, s.ConstantACH.str());
  SetLabelAndValue(grid, row::kConstantHVAC, s.ConstantHVAC.str());
  SetLabelAndValue(grid, row::kNumPollutants, SignSingle(s.NumPollutants));
  SetLabelAndValue(grid, row::kConstantOutdoorConc, s.ConstantOutdoorConc.str());
  SetLabelAndNumber(grid, row::kYears, s.YearsSimulated, FormatSingle(s.YearsSimulated));
  const float hours = HoursOfYears(s.YearsSimulated);
  SetLabelAndNumber(grid, row::kHours, hours,
                    FormatPattern(HoursShown(s.YearsSimulated), kFillHoursPattern));
  SetLabelAndNumber(grid, row::kTemperature, s.Temperature,
                    FormatPattern(s.Temperature, kTemperaturePattern));
  SetLabelAndNumber(grid, row::kPressure, s.Pressure, FormatPattern(s.Pressure, kPressurePattern));
  SetLabelAndValue(grid, row::kPenetration, kEnterPerPollutant);
  SetLabelAndValue(grid, row::kPollutantClass, s.PollutantClass.str());

  if (pollutant_type != nullptr) {
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(pollutant_type->count()));
    for (int i = 0; i < pollutant_type->count(); ++i) {
      entries.push_back(FromQt(pollutant_type->itemText(i)));
    }
    const QSignalBlocker quiet(pollutant_type);
    pollutant_type->setCurrentIndex(ClassListIndex(s.PollutantClass.str(), entries));
  }

  SetLabelAndValue(grid, row::kIrritant, kEnterPerPollutant);
  SetLabelAndValue(grid, row::kCancerRisk, kEnterPerPollutant);
  SetLabelAndValue(grid, row::kReferenceDose, kEnterPerPollutant);
  SetLabelAndValue(grid, row::kNumOccupants, PlainCount(s.NumOccupants));
  SetLabelAndValue(grid, row::kLongTermOptions, PlainCount(s.LongTermOptions));
  SetLabelAndValue(grid, row::kMasterFile, building.MasterFile);

  grid.setVisible(true);
  grid.SetRedraw(true);
  grid.SetRowCol(1, 1);
}

bool ReadGeneralScenarioGrid(FlexGrid& grid, BuildingRecord& building, int hvac_type_index,
                             Prompt& prompt) {
  ScenarioRecord& s = building.Scenario;
  if (grid.Rows() < row::kCount || grid.Cols() < 2) return false;

  // Counts index the record's tables: every one is checked before anything is stored.
  const std::optional<int16_t> pollutants = CountIn(grid, row::kNumPollutants, 1, kMaxPollutants);
  if (!pollutants) {
    return Refuse(grid, row::kNumPollutants, prompt,
                  "Warning.  Number of pollutants must be from 1 to 8.  Reenter data.");
  }
  const std::optional<int16_t> occupants = CountIn(grid, row::kNumOccupants, 0, kMaxOccupants);
  if (!occupants) {
    return Refuse(grid, row::kNumOccupants, prompt,
                  "Warning.  Number of occupants must be from 0 to 3.  Reenter data.");
  }
  const std::optional<int16_t> long_term = RoundToInt16(CellValue(grid, row::kLongTermOptions, 1));
  if (!long_term) {
    return Refuse(grid, row::kLongTermOptions, prompt,
                  "Warning.  Long term options must be a whole number.  Reenter data.");
  }

  s.HVACType = hvac_type_index + 1;
  SetManagedFlowFlag(s);
  grid.SetRowCol(1, 1);

  s.Name = grid.TextMatrix(row::kName, 1);
  s.Comments = grid.TextMatrix(row::kComments, 1);
  s.OverallACH = CellSingle(grid, row::kOverallACH, 1);
  s.ConstantACH = FirstUpper(grid.TextMatrix(row::kConstantACH, 1));
  s.ConstantHVAC = FirstUpper(grid.TextMatrix(row::kConstantHVAC, 1));
  s.NumPollutants = *pollutants;
  s.ConstantOutdoorConc = FirstUpper(grid.TextMatrix(row::kConstantOutdoorConc, 1));
  // The hours decide the period: the years row only shows them in other units.
  s.HoursSimulated = ToSingle(GroupedCellValue(grid, row::kHours, 1));
  s.YearsSimulated = YearsOfHours(s.HoursSimulated);
  s.Temperature = CellSingle(grid, row::kTemperature, 1);
  s.Pressure = CellSingle(grid, row::kPressure, 1);
  s.PollutantClass = grid.TextMatrix(row::kPollutantClass, 1);
  s.NumOccupants = *occupants;
  s.LongTermOptions = *long_term;
  building.MasterFile = grid.TextMatrix(row::kMasterFile, 1);

  grid.SetRowCol(1, 1);
  return true;
}

void CoupleYearsAndHours(FlexGrid& grid, int edited_row) {
  if (edited_row == row::kYears) {
    const float hours = HoursOfYears(ToSingle(LeadingNumber(grid.TextMatrix(row::kYears, 1))));
    grid.SetRowCol(row::kHours, 1);
    SetPatternCell(grid, row::kHours, 1, hours, kCoupledHoursPattern);
  } else if (edited_row == row::kHours) {
    const float years =
        YearsOfHours(ToSingle(LeadingNumber(RemoveCommas(grid.TextMatrix(row::kHours, 1)))));
    grid.SetRowCol(row::kYears, 1);
    SetPatternCell(grid, row::kYears, 1, years, kCoupledYearsPattern);
  }
}

void ConvertScenarioUnits(ScenarioRecord& s, int num_rooms) {
  if (UpperAscii(s.PollutantClass.str().substr(0, 2)) != "PM" && s.ConcUnits == kNumber) {
    s.ConcUnits = std::string(kPpm);
  }
  const int pollutants = PollutantCount(s);
  const int rooms = std::clamp(num_rooms, 0, kMaxRooms);

  auto convert = [&s](const std::string& from, float value, float& result, int p) {
    StoreUnitDensity(from, s.ConcUnits, s.Pollutants[p]);
    const std::optional<float> converted =
        ConvertConcentrationUnits(from, s.ConcUnits, value, s.Pollutants[p]);
    if (converted && std::isfinite(*converted)) result = *converted;
  };
  // Time point 0 is the start of the history and holds no entered value.
  for (int t = 1; t <= kMaxHistory; ++t) {
    for (int p = 0; p < pollutants; ++p) {
      convert(s.OutdoorConcUnits, s.OutdoorConcInput[t][p], s.OutdoorConc[t][p], p);
    }
  }
  for (int r = 0; r <= rooms; ++r) {
    for (int p = 0; p < pollutants; ++p) {
      convert(s.InitialConcUnits, s.InitialConcInput[r][p], s.InitialConc[r][p], p);
    }
  }

  int16_t code = 2;
  if (s.ConcUnits == kMilligrams) code = 0;
  if (s.ConcUnits == kMicrograms) code = 1;
  for (int r = 0; r <= rooms; ++r) {
    const int sources = SourceSlotCount(s, r);
    for (int k = 1; k <= sources; ++k) s.Sources[r][k].SourceUnitsCode = code;
  }
}

}  // namespace quarn
