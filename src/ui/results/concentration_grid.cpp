#include "ui/results/concentration_grid.h"

#include <QWidget>
#include <cmath>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "model/exposure_units.h"
#include "model/unit_conversion.h"
#include "model/work_file_reader.h"
#include "model/working_flows.h"
#include "platform/cell_store.h"
#include "platform/flex_grid.h"
#include "platform/hourglass.h"
#include "platform/qt_text.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/common/grid_operations.h"
#include "ui/common/window_menu.h"

namespace quarn {
namespace {

constexpr int kDataColumnTwips = 1100;
constexpr int kTotalsColumnTwips = 2000;
constexpr int kHeadingTwips = 550;
constexpr const char* kTimeMask = "#####,0.0##";

// A display unit: the unit word the conversion knows, the heading label, and the factor that
// follows the conversion (#/m³ is #/cc times the cm³ of a m³).
struct DisplayUnit {
  std::string_view units;
  const char* label;
  float scale;
};

DisplayUnit UnitOfCode(int code) {
  switch (code) {
    case 1:
      return {kMicrograms, "\xB5g/m\xB3", 1.0f};
    case 2:
      return {kPpm, "ppm", 1.0f};
    case 3:
      return {kNumber, "#/cc", 1.0f};
    case 4:
      return {kNumber, "#/m\xB3", 1000000.0f};
    default:
      return {kMilligrams, "mg/m\xB3", 1.0f};
  }
}

// A value converted between two units, false where there is no sound result: ppm on one
// side only needs a molecular weight, and a particle size of 0 gives no number.
bool Convert(std::string_view from, std::string_view to, float value,
             const PollutantRecord& pollutant, float& out) {
  if ((from == kPpm) != (to == kPpm) && !(pollutant.MolWt > 0)) return false;
  const std::optional<float> result = ConvertConcentrationUnits(from, to, value, pollutant);
  if (!result || !std::isfinite(*result)) return false;
  out = *result;
  return true;
}

// How the values of one pollutant are shown.
class PollutantColumn {
 public:
  PollutantColumn(const PollutantRecord& pollutant, const DisplayUnit& stored,
                  const DisplayUnit& shown)
      : pollutant_(pollutant), from_(stored.units) {
    float probe = 0;
    // Values that cannot reach the display unit are shown as stored, under their own label.
    converts_ = Convert(from_, shown.units, 1.0f, pollutant_, probe);
    unit_ = converts_ ? shown : stored;
    if (!converts_) unit_.scale = 1.0f;
    // The irritant level is kept in mg/m³; 0 or less means there is none.
    float threshold = 0;
    if (pollutant.IrritantConc > 0 &&
        Convert(kMilligrams, unit_.units, pollutant.IrritantConc, pollutant_, threshold)) {
      threshold_ = threshold * unit_.scale;
      has_threshold_ = true;
    }
    // Read once: the grid converts every value of the run.
    if (converts_) conversion_ = ConcentrationConversion::Prepare(from_, unit_.units, pollutant_);
  }

  // A value that has no sound result in the display unit is shown as stored.
  float Shown(float stored_value) const {
    float value = stored_value;
    if (conversion_) {
      const float converted = (*conversion_)(stored_value);
      if (std::isfinite(converted)) value = converted;
    }
    return value * unit_.scale;
  }
  bool AboveIrritantLevel(float shown_value) const {
    return has_threshold_ && shown_value > threshold_;
  }
  const char* Label() const { return unit_.label; }

 private:
  PollutantRecord pollutant_;
  std::string_view from_;
  DisplayUnit unit_{};
  bool converts_ = false;
  std::optional<ConcentrationConversion> conversion_;
  float threshold_ = 0;
  bool has_threshold_ = false;
};

std::string TimeText(float hours) {
  static const NumberPattern kTime(kTimeMask);
  return kTime.Format(hours);
}

// The text of a value cell: the pattern depends on the size of the value.
std::string ValueText(float value) {
  static const NumberPattern kSmall("#.##0E-##");
  static const NumberPattern kMiddle("#.###E-#0");
  static const NumberPattern kLarge("#.###0E+##");
  if (value < 0.0001f) return kSmall.Format(value);
  if (value <= 1000000.0f) return kMiddle.Format(value);
  return kLarge.Format(value);
}

const char* EmittedMask(float mass) {
  if (mass > 100000.0f) return "#.###0E+#0";
  if (mass > 0.0001f) return "#,####0.0##";
  return "#.####0E-#0";
}

// The run's records as the table shows them, one row a record from the first: the time, then
// the rooms of each pollutant in the display unit, red above the pollutant's irritant level.
// Outdoors (room 0) is in the file but not in the table. Each cell is worked out from the
// records the reader holds when it is shown, copied or printed.
class ConcentrationCells : public CellSource {
 public:
  ConcentrationCells(ConcWorkFileReader reader, int records, int rooms,
                     std::vector<PollutantColumn> columns)
      : reader_(std::move(reader)),
        records_(records),
        rooms_(rooms),
        columns_(std::move(columns)),
        pollutants_(static_cast<int>(columns_.size())) {}

  int Rows() const override { return records_; }
  int Cols() const override { return 1 + rooms_ * pollutants_; }
  std::string Text(int row, int col) const override {
    if (col == 0) return TimeText(Time(row));
    return ValueText(Value(row, col));
  }
  std::optional<double> Number(int row, int col) const override {
    return col == 0 ? Time(row) : Value(row, col);
  }
  std::optional<QRgb> Color(int row, int col) const override {
    if (col == 0) return std::nullopt;
    static const QRgb kRed = kCellRed.rgba();
    static const QRgb kWhite = kCellWhite.rgba();
    return ColumnOf(col).AboveIrritantLevel(Value(row, col)) ? kRed : kWhite;
  }

 private:
  float Time(int row) const { return reader_.RecordAt(static_cast<size_t>(row))[0]; }
  const PollutantColumn& ColumnOf(int col) const {
    return columns_[static_cast<size_t>((col - 1) / rooms_)];
  }
  // Column p × rooms + r holds room r (from 1) of pollutant p; the record is room-major.
  float Value(int row, int col) const {
    const int p = (col - 1) / rooms_;
    const int room = (col - 1) % rooms_ + 1;
    const std::span<const float> record = reader_.RecordAt(static_cast<size_t>(row));
    return ColumnOf(col).Shown(record[static_cast<size_t>(1 + room * pollutants_ + p)]);
  }

  ConcWorkFileReader reader_;
  int records_;
  int rooms_;
  std::vector<PollutantColumn> columns_;
  int pollutants_;
};

// Whether the rooms' peaks can be shown in the display unit. A room's peak is that of
// whichever pollutant rose highest: it is shown in the display unit when every pollutant
// converts to it alike (mg/m³ and µg/m³, #/cc and #/m³), and as the run stored it otherwise.
bool PeaksConvert(std::vector<PollutantColumn>& columns) {
  if (columns.empty()) return false;
  const float factor = columns[0].Shown(1.0f);
  for (PollutantColumn& column : columns) {
    if (column.Shown(1.0f) != factor) return false;
  }
  return true;
}

std::string RoomName(const BuildingRecord& building, int room) {
  const std::string& name = building.RoomList[static_cast<size_t>(room)].Name;
  return name.empty() ? "Room " + FormatDouble(room) : name;
}

void WriteTotals(FlexGrid& grid, const BuildingRecord& building, int rooms, int pollutants,
                 std::vector<PollutantColumn>& columns, const DisplayUnit& stored) {
  const ScenarioRecord& s = building.Scenario;
  const int first = rooms * pollutants;
  const bool convert = PeaksConvert(columns);
  const float factor = convert ? columns[0].Shown(1.0f) : 1.0f;
  const char* label = convert ? columns[0].Label() : stored.label;
  for (int r = 1; r <= rooms; ++r) {
    grid.SetTextMatrix(0, first + r, "Peak Conc " + RoomName(building, r) + " " + label);
    grid.SetTextMatrix(1, first + r, FormatSingle(s.PeakConc[static_cast<size_t>(r)] * factor));
  }
  const int col = first + 1;
  const int np = pollutants;
  grid.SetTextMatrix(2, col, "Peak Sink Mass");
  grid.SetTextMatrix(np + 3, col, "Mass emitted");
  grid.SetTextMatrix(2 * np + 4, col, "Sink Fraction");
  grid.SetTextMatrix(3 * np + 5, col, "Final sink mass");
  // Every total in what the sources emit: µg in a µg/m³ scenario, particles in a count one.
  // The unit follows the number's text: "#" in a pattern is a digit.
  const std::string unit = " " + ExposureUnitsOf(s).emitted;
  for (int p = 0; p < np; ++p) {
    const auto i = static_cast<size_t>(p);
    // The run keeps the sinks' masses as a concentration times m³.
    const auto in_sinks =
        static_cast<float>(EmittedPerConcentrationVolume(s.ConcUnits, s.Pollutants[i]));
    const float peak = s.PeakSinkMass[i] * in_sinks;
    const float emitted = s.TotalEmitted[i];
    grid.SetTextMatrix(3 + p, col, FormatPattern(peak, "#,####0.0##") + unit);
    grid.SetTextMatrix(np + 4 + p, col, FormatPattern(emitted, EmittedMask(emitted)) + unit);
    // Without emissions there is no fraction to show.
    const float fraction = emitted != 0 ? peak / emitted : 0.0f;
    if (emitted != 0 && std::isfinite(fraction)) {
      grid.SetTextMatrix(2 * np + 5 + p, col, FormatPattern(fraction, "#0.0##"));
    }
    grid.SetTextMatrix(3 * np + 6 + p, col,
                       FormatPattern(s.SinkMass[i] * in_sinks, "####,#0.0#") + unit);
  }
}

}  // namespace

void FillConcentrationGrid(FlexGrid& grid, QWidget& form, const BuildingRecord& building,
                           char separator, Prompt& prompt) {
  const ScenarioRecord& s = building.Scenario;
  const int rooms = RoomCount(building);
  const int pollutants = PollutantCount(s);
  const DisplayUnit shown = UnitOfCode(building.DisplayUnitCode);
  const DisplayUnit stored = UnitOfCode(GetUnitsCode(s.ConcUnits));
  std::vector<PollutantColumn> columns;
  columns.reserve(static_cast<size_t>(pollutants));
  for (int p = 0; p < pollutants; ++p) {
    const PollutantRecord& pollutant = s.Pollutants[static_cast<size_t>(p)];
    columns.emplace_back(pollutant, stored, shown);
    if (stored.units == kNumber && shown.units != kNumber && !(LeadingNumber(pollutant.Name) > 0)) {
      prompt.Message("Error.  The particle size " + pollutant.Name +
                         " is not named by its diameter in \xB5m, so its counts cannot be shown "
                         "as mass.  They are shown in #/cc.",
                     "Error", MessageIcon::None);
    }
  }

  form.setWindowTitle("Calculated concentrations");
  Hourglass hourglass;
  grid.setVisible(false);
  GridRedrawOff redraw(grid);
  // Each fill starts from an empty grid, so that no row or colour of an earlier, longer run
  // is left standing under the new one.
  grid.SetRows(0);
  const int data_cols = rooms * pollutants;
  grid.SetCols(2 * data_cols + 1);
  // A row for every record of the run, and at least the rows the totals beside them take.
  const int32_t records = std::max<int32_t>(s.NumOutputRecords, 0);
  grid.SetRows(std::max(records + 1, 4 * pollutants + 6));
  grid.SetFixedRows(1);
  grid.SetFixedCols(0);
  for (int c = 1; c < grid.Cols(); ++c) {
    grid.SetColWidth(c, c <= data_cols ? kDataColumnTwips : kTotalsColumnTwips);
  }
  grid.SetRowHeight(0, kHeadingTwips);
  grid.SetWordWrap(true);

  grid.SetTextMatrix(0, 0, "Time hrs");
  for (int p = 0; p < pollutants; ++p) {
    for (int r = 1; r <= rooms; ++r) {
      const std::string& pollutant = s.Pollutants[static_cast<size_t>(p)].Name;
      grid.SetTextMatrix(0, p * rooms + r,
                         (pollutant.empty() ? "" : pollutant + " ") + RoomName(building, r) + " " +
                             columns[static_cast<size_t>(p)].Label());
    }
  }

  ConcWorkFileReader reader(building.ConcWorkFile, separator, rooms, pollutants);
  int read = 0;
  for (int32_t k = 1; reader.IsOpen() && k <= records; ++k) {
    const ConcWorkFileReader::Status status = reader.Next();
    if (status == ConcWorkFileReader::Status::Error) {
      prompt.Message(reader.RefusalMessage(building.ConcWorkFile), "Error", MessageIcon::None);
      break;
    }
    if (status == ConcWorkFileReader::Status::End) break;
    ++read;
  }
  // The records read before a line that does not fit stay in the table.
  if (read > 0 && rooms > 0) {
    grid.SetCellSource(
        1, 0, std::make_shared<ConcentrationCells>(std::move(reader), read, rooms, columns));
  }

  WriteTotals(grid, building, rooms, pollutants, columns, stored);
  grid.FitHeadings();
  int width = kDataColumnTwips;
  for (int c = 1; c < grid.Cols(); ++c) width += grid.ColWidth(c);
  QWidget* frame = OuterFrame(&form);
  frame->resize(TwipsToPixels(width), frame->height());
  grid.setVisible(true);
}

}  // namespace quarn
