#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/records.h"

class QComboBox;

namespace quarn {

class FlexGrid;
class Prompt;

// The scenario editor's Item/Value grid: a label in column 0 and the value in column 1, one
// general setting of the scenario per row. The fill writes the record into the grid; the
// read-back stores the edited values; the editor keeps the years and hours rows coupled
// while the user types.

// The rows of the grid.
namespace scenario_row {
inline constexpr int kBuilding = 0;
inline constexpr int kName = 1;
inline constexpr int kComments = 2;
inline constexpr int kOverallACH = 3;
inline constexpr int kConstantACH = 4;
inline constexpr int kConstantHVAC = 5;
inline constexpr int kNumPollutants = 6;
inline constexpr int kConstantOutdoorConc = 7;
inline constexpr int kYears = 8;
inline constexpr int kHours = 9;
inline constexpr int kTemperature = 10;
inline constexpr int kPressure = 11;
inline constexpr int kPenetration = 12;
inline constexpr int kPollutantClass = 13;
inline constexpr int kIrritant = 14;
inline constexpr int kCancerRisk = 15;
inline constexpr int kReferenceDose = 16;
inline constexpr int kNumOccupants = 17;
inline constexpr int kLongTermOptions = 18;
inline constexpr int kMasterFile = 19;
inline constexpr int kCount = 20;
}  // namespace scenario_row

// Whether a row's value is a number only (its cell is typed in the number-only mode).
bool IsScenarioNumberRow(int row);

// The label of a row (Windows-1252), "" past the grid.
const std::string& ScenarioRowLabel(int row);

// The entry of the class list that a class selects: the first entry whose upper-cased text
// equals as many leading characters of the upper-cased class as the entry has ("PM2.5"
// selects "PM"); the last entry when none does (an empty class selects "Other").
int ClassListIndex(std::string_view pollutant_class, const std::vector<std::string>& entries);

// Writes the 20 rows from the record (a pollutant count of 0 becomes 1 in the record first)
// and, when pollutant_type is given, selects its entry for the class without raising its
// signals, so that showing the class never rewrites it. Current cell row 1, column 1.
void FillGeneralScenarioGrid(FlexGrid& grid, BuildingRecord& building,
                             QComboBox* pollutant_type = nullptr);

// Reads rows 1-7, 9-11, 13, 17-19 back into the record, with HVACType from the index of the
// HVAC-type list (+1) and ManagedFlowFlag from the end of the managed period. Counts must fit
// the record (pollutants 1 to 8, occupants 0 to 3, long-term options a 16-bit integer): a
// count outside is refused with a message, the cursor is put on its cell and the record is
// left exactly as it was; the result is then false.
bool ReadGeneralScenarioGrid(FlexGrid& grid, BuildingRecord& building, int hvac_type_index,
                             Prompt& prompt);

// The hours and years rows coupled: after the user changed one of them the other is
// rewritten from it ("17,520.0 h" for 2 years, "1.0 yr" for "8,760"), and the cursor goes to
// the row rewritten. Nothing happens for another row. The record is not touched: the
// read-back takes the hours row only.
void CoupleYearsAndHours(FlexGrid& grid, int edited_row);

// Converts the entered outdoor history (time points 1 to 50) and initial concentrations
// (rooms 0 to num_rooms) into the scenario's concentration units, and gives every source of
// rooms 0 to num_rooms the units code of the scenario: 0 milligrams, 1 micrograms, 2 number
// and ppm (ppm is carried by the sources as the run carries it). A gas scenario whose units
// are "number" becomes "ppm" first. Counts are held to the record's bounds; a value that
// cannot be converted keeps what the record held.
void ConvertScenarioUnits(ScenarioRecord& scenario, int num_rooms);

}  // namespace quarn
