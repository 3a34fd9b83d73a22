#include "ui/results/average_exposure_form.h"

#include <QLineEdit>
#include <QResizeEvent>
#include <cmath>
#include <filesystem>
#include <memory>
#include <system_error>

#include "files/result_files.h"
#include "model/exposure_units.h"
#include "model/work_file_reader.h"
#include "platform/flex_grid.h"
#include "platform/help_service.h"
#include "platform/hourglass.h"
#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "text/number_text.h"
#include "ui/common/grid_operations.h"
#include "ui/results/exposure_form.h"
#include "ui/results/exposure_grids.h"
#include "ui/results/menu_tables.h"

namespace quarn {
namespace {

constexpr int kRows = 10;
constexpr int kBarHeight = 500;
constexpr const char* kPeriodMask = "#,#####.##0";
constexpr const char* kParticleMask = "##.###";

std::string TimeText(float value) {
  return FormatSingle(value);
}

std::string PeriodText(float value) {
  return FormatPattern(std::nearbyint(value), kPeriodMask);
}

std::string ParticleText(float value) {
  return FormatPattern(value, kParticleMask);
}

// The columns of the grid: the time, the period number, the average of each pollutant and in
// particle mode the size distribution's two numbers.
std::vector<NumberColumns::Format> AverageFormats(int pollutants, bool particles) {
  std::vector<NumberColumns::Format> formats{TimeText, PeriodText};
  formats.insert(formats.end(), static_cast<size_t>(pollutants), ExposureText);
  if (particles) formats.insert(formats.end(), 2, ParticleText);
  return formats;
}

}  // namespace

AverageExposureForm::AverageExposureForm(MainContext& context, QWidget* parent)
    : ResultsWindow(context, menus::kAverageExposureForm, "AverageExposureGrid", parent) {
  setObjectName("AverageExposureForm");
  setWindowTitle("Average exposure");
  const OccupantPicker picker =
      MakeOccupantPicker(centralWidget(), "Average exposure for occupant #");
  number_ = picker.number;
  name_ = picker.name;
  spinner_ = picker.spinner;
  bar_ = picker.bar;
  connect(spinner_, &UpDown::DownClick, this, [this] { StepOccupant(-1); });
  connect(spinner_, &UpDown::UpClick, this, [this] { StepOccupant(1); });
  SetCommands({
      {"filesave", [this] { SaveAverageExposure(); }},
      {"fileexit", [this] { Unload(); }},
      {"Editcopyall", [this] { CopyAll(); }},
      {"EditCopy", [this] { CopySelection(); }},
      {"helpv15", [this] { ctx_.help.ShowHelp("RovozUzav.HLP", "Building form"); }},
      {"v17help", [this] { ctx_.help.ShowHelp("PMHELP.HLP", "Building form"); }},
  });
  // The grid takes the client area below the occupant's row.
  SetGridPlace(0, kBarHeight, 0, 0);
}

void AverageExposureForm::resizeEvent(QResizeEvent* event) {
  ResultsWindow::resizeEvent(event);
  bar_->setGeometry(0, 0, width(), TwipsToPixels(kBarHeight));
}

void AverageExposureForm::SaveAverageExposure() {
  const auto name =
      AskSaveName("*.AEX", "Average Exposure (*.AEX)|*.AEX|All files (*.*)|*.*", "AEX");
  if (!name) return;
  Hourglass hourglass;
  WriteAverageExposureFile(ctx_.state.Building, ctx_.state.DataSeparator, *name, ctx_.prompt);
}

void AverageExposureForm::StepOccupant(int step) {
  const ScenarioRecord& s = ctx_.state.Building.Scenario;
  if (const auto n = SteppedOccupant(FromQt(number_->text()), OccupantCount(s), step)) {
    FillAverageExposureGrid(*n, *this);
  }
}

void FillAverageExposureGrid(int occupant, AverageExposureForm& window) {
  MainContext& ctx = window.Context();
  const ScenarioRecord& s = ctx.state.Building.Scenario;
  const int pollutants = PollutantCount(s);
  const bool particles = IsParticleMode(s);
  const bool has_file = occupant >= 1 && occupant <= OccupantCount(s);
  if (occupant >= 1 && occupant <= kMaxOccupants) {
    window.OccupantName().setText(ToQt(s.Occupants[static_cast<size_t>(occupant)].Name));
  }
  window.OccupantNumber().setText(ToQt(std::to_string(occupant)));

  FlexGrid& grid = window.AverageExposureGrid();
  Hourglass hourglass;
  GridRedrawOff redraw(grid);
  const int cols = pollutants + (particles ? 4 : 2);
  // Emptied to its header row, so that no row of the occupant shown before stays standing.
  grid.SetRows(std::min(grid.Rows(), 1));
  grid.SetCols(cols);
  grid.SetRows(kRows);
  grid.SetTextMatrix(0, 0, "Time");
  grid.SetTextMatrix(0, 1, "Period #");
  // An average of the instantaneous exposure, in its unit.
  const std::string unit = " (" + ExposureUnitsOf(s).instantaneous + ")";
  for (int p = 0; p < pollutants; ++p) {
    grid.SetTextMatrix(0, p + 2, s.Pollutants[static_cast<size_t>(p)].Name + unit);
  }
  if (particles) {
    grid.SetTextMatrix(0, pollutants + 2, "Mean diameter");
    grid.SetTextMatrix(0, pollutants + 3, "Geometric Standard Deviation");
  }
  if (!has_file) return;

  const std::string& path = s.Occupants[static_cast<size_t>(occupant)].AvgExposureFile;
  std::error_code ec;
  if (path.empty() || !std::filesystem::is_regular_file(path, ec)) {
    ctx.prompt.Message("Error.  Average exposure not calculated.", "Error", MessageIcon::None);
    return;
  }
  TextLineSource source(path);
  if (!source.IsOpen()) {
    ctx.prompt.Message(ResultErrorText(ResultError::PathFileAccess), "Error.", MessageIcon::None);
    return;
  }
  auto cells = std::make_shared<NumberColumns>(AverageFormats(pollutants, particles));
  std::string line;
  std::vector<float> fields;
  std::optional<ResultError> error;
  int records = 0;
  while (source.Next(line)) {
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    error = ReadExposureFields(line, ctx.state.DataSeparator, fields);
    if (!error && static_cast<int>(fields.size()) < cols) error = ResultError::InputPastEnd;
    if (error) break;
    for (int c = 0; c < cols; ++c) cells->Set(records, c, fields[static_cast<size_t>(c)]);
    ++records;
  }
  // A row a record under the headings and one empty row after them; the cursor on that row.
  const int row = 1 + records;
  if (row >= grid.Rows()) grid.SetRows(row + 1);
  grid.SetCellSource(1, 0, std::move(cells));
  grid.SetRow(row);
  if (error) ctx.prompt.Message(ResultErrorText(*error), "Error.", MessageIcon::None);
}

AverageExposureForm* ShowAverageExposure(MainContext& context, QMdiArea* area) {
  AverageExposureForm* form = OpenResultsWindow<AverageExposureForm>(
      area, [&context] { return new AverageExposureForm(context); });
  OpenAtSize(*form, QSize(9600, 5000));
  FillAverageExposureGrid(1, *form);
  ShowInFront(*form);
  return form;
}

}  // namespace quarn
