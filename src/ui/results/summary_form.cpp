#include "ui/results/summary_form.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "files/result_files.h"
#include "model/exposure_units.h"
#include "model/summary_figures.h"
#include "model/unit_conversion.h"
#include "platform/flex_grid.h"
#include "platform/help_service.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/common/form_helpers.h"
#include "ui/common/number_entry.h"
#include "ui/common/print_frame.h"
#include "ui/results/menu_tables.h"
#include "ui/results/pollutant_step.h"

namespace quarn {
namespace {

constexpr int kRows = 9;
constexpr int kCols = 7;
constexpr int kHeaderHeight = 760;
constexpr int kColWidth = 1500;
constexpr int kGridTop = 1500;
constexpr double kFrameShare = 0.95;

// The masks of columns 1 to 6 of an occupant's row.
constexpr std::array<const char*, kCols> kMasks{
    "", "#,###0.0# ", "###,###0.0#", "###,##0.0#", "###0.####0", "###0.#####0", "0.##0E-#0"};

std::string Joined(std::initializer_list<std::string> parts) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : "\n") + part;
  return text;
}

// "---" marks a value that was not calculated (or, for the RfD, not given); a value that was
// calculated shows as itself, a zero as "0".
std::string Value(std::optional<float> value, const char* mask) {
  if (!value) return "---";
  return *value == 0 ? "0" : FormatPattern(*value, mask);
}

CalculatedResults CalculatedOf(const ProgramState& state) {
  return {.exposure = state.ExposureCalculated,
          .risk = state.ExposureCalculated && state.RiskCalculated};
}

// What the room air cleaners took: the run keeps one total of every pollutant a room, as a
// concentration times m³. In a unit whose amount is the same for every pollutant (a mass
// unit, a particle count) the total is that amount; in ppm each gas has its own, so a total
// of several is left in ppm·m³, not converted with one pollutant's molecular weight.
std::string RoomCleanersTotal(const ScenarioRecord& s, const PollutantRecord& pollutant) {
  float collected = 0;
  for (int r = 1; r <= kMaxRooms; ++r) collected += s.AirCleanerCollected[static_cast<size_t>(r)];
  if (s.ConcUnits == kPpm && PollutantCount(s) > 1) {
    return FormatPattern(collected, "#,#####0.0#") + " ppm\xB7m\xB3";
  }
  const auto held = static_cast<float>(EmittedPerConcentrationVolume(s.ConcUnits, pollutant));
  return FormatPattern(collected * held, "#,#####0.0#") + " " + ExposureUnitsOf(s).emitted;
}

void WriteRows(FlexGrid& grid, const ProgramState& state, int p) {
  const ScenarioRecord& s = state.Building.Scenario;
  const auto pi = static_cast<size_t>(p);
  const PollutantRecord& pollutant = s.Pollutants[pi];
  const int occupants = OccupantCount(s);
  for (int o = 1; o <= occupants; ++o) {
    const SummaryFigures f = SummaryFiguresOf(s, CalculatedOf(state), o, p);
    const std::array<std::optional<float>, kCols - 1> values{
        f.hours_above, f.total_exposure, f.peak_exposure, f.potential_dose, f.rfd, f.cancer_risk};
    grid.SetTextMatrix(o, 0, s.Occupants[static_cast<size_t>(o)].Name);
    for (int c = 1; c < kCols; ++c) {
      grid.SetTextMatrix(o, c,
                         Value(values[static_cast<size_t>(c - 1)], kMasks[static_cast<size_t>(c)]));
    }
  }
  // Every total in what the sources emit; the air cleaners' masses are kept as a
  // concentration times m³.
  const auto held = static_cast<float>(EmittedPerConcentrationVolume(s.ConcUnits, pollutant));
  const std::string unit = " " + ExposureUnitsOf(s).emitted;
  grid.SetTextMatrix(occupants + 1, 0, "Total emitted");
  grid.SetTextMatrix(occupants + 1, 1, FormatPattern(s.TotalEmitted[pi], "#,#####0.0#") + unit);
  grid.SetTextMatrix(occupants + 2, 0, "Air cleaner mass");
  grid.SetTextMatrix(occupants + 2, 1,
                     FormatPattern(s.AirCleanerMass[pi] * held, "#,#####0.0#") + unit);
  grid.SetTextMatrix(
      occupants + 3, 0,
      PollutantCount(s) > 1 ? "In-room air cleaner, all pollutants" : "In-room air cleaner");
  grid.SetTextMatrix(occupants + 3, 1, RoomCleanersTotal(s, pollutant));
  // A total of many digits is read whole, not cut at the column's edge.
  grid.FitColumn(1);
  grid.SetRowCol(0, 0);
}

void WriteIrritantHeader(FlexGrid& grid, const ScenarioRecord& s, int p) {
  grid.SetTextMatrix(
      0, 1,
      Joined({"Time>", IrritantLevelText(s.ConcUnits, s.Pollutants[static_cast<size_t>(p)]),
              "(Irritant Conc) hrs"}));
}

QLineEdit* GridBox(QWidget* parent, QGridLayout* layout, const char* name, int row, int col) {
  auto* box = NamedBox(parent, name);
  layout->addWidget(box, row, col);
  return box;
}

}  // namespace

SummaryForm::SummaryForm(MainContext& context, QWidget* parent)
    : ResultsWindow(context, menus::kSummaryForm, "Grid1", parent) {
  setObjectName("SummaryOutput");
  setWindowTitle("Summary Output");
  auto* bar = new QWidget(centralWidget());
  auto* layout = new QGridLayout(bar);
  building_heading_ = AddLabel(*layout, "Label1", "", 0, 0);
  building_ = AddLabel(*layout, "BuildingLabel", "", 0, 1);
  AddLabel(*layout, "Label3", "Scenario", 1, 0);
  scenario_ = AddLabel(*layout, "ScenarioLabel", "", 1, 1);
  AddLabel(*layout, "Label2", "Pollutant #", 2, 0);
  number_ = GridBox(bar, layout, "PollutantNumber", 2, 1);
  RestrictToNumbers(*number_);
  spinner_ = new UpDown(bar);
  spinner_->setObjectName("UpDown1");
  layout->addWidget(spinner_, 2, 2);
  pollutant_ = AddLabel(*layout, "PollutantName", "", 2, 3);
  AddLabel(*layout, "Label4", "Type of exposure", 0, 4);
  exposure_mode_ = AddLabel(*layout, "Label5", "", 0, 5);
  AddLabel(*layout, "Label6", "RfD mg/kg/day", 1, 4);
  rfd_ = GridBox(bar, layout, "rfd", 1, 5);
  AddLabel(*layout, "Label7", "Rfc mg/m\xb3", 2, 4);
  rfc_ = GridBox(bar, layout, "Rfc", 2, 5);
  // Beside the risk of particles, the mass a particle is taken to have.
  particle_mass_ = new QLabel(bar);
  particle_mass_->setObjectName("ParticleMass");
  layout->addWidget(particle_mass_, 3, 0, 1, 6);
  bar->setGeometry(0, 0, TwipsToPixels(9000), TwipsToPixels(kGridTop));
  connect(spinner_, &UpDown::DownClick, this, [this] { StepPollutant(-1); });
  connect(spinner_, &UpDown::UpClick, this, [this] { StepPollutant(1); });
  SetCommands(
      {
          {"filesave", [this] { SaveSummary(); }},
          {"PrintSetup", [this] { ctx_.printer.Setup(); }},
          {"FilePrint", [this] { PrintSummary(); }},
          {"fileclose", [this] { Unload(); }},
          {"help", [this] { ctx_.help.ShowHelp("RovozUzav.HLP", "Contents"); }},
      },
      "WindowCascade", "WindowTile");
  SetGridPlace(5, kGridTop, 100, kGridTop + 700);
  ShowExposureMode();
}

void SummaryForm::ShowExposureMode() {
  exposure_mode_->setText(ctx_.state.Building.Scenario.ExposureMode == "I"
                              ? "Inhalation exposure"
                              : "Non-inhalation exposure");
}

bool SummaryForm::ShowNewResults() {
  if (!ctx_.state.ConcentrationsCalculated) return false;
  // The pollutant shown stays, within the pollutants the run had.
  const int last = PollutantCount(ctx_.state.Building.Scenario) - 1;
  const double typed = LeadingNumber(FromQt(number_->text()));
  const int shown = std::clamp(static_cast<int>(std::nearbyint(typed)), 0, std::max(last, 0));
  FillSummaryGrid(*this);
  if (shown > 0) {
    number_->setText(ToQt(std::to_string(shown)));
    UpdateSummaryForm(*this, shown);
  }
  ShowExposureMode();
  return true;
}

void SummaryForm::SaveSummary() {
  const auto name = AskSaveName("*.SUM", "", "SUM");
  if (!name) return;
  // The writer says what went wrong when the file cannot be written.
  WriteSummaryFile(ctx_.state.Building, CalculatedOf(ctx_.state), *name, ctx_.prompt);
}

void SummaryForm::PrintSummary() {
  const BuildingRecord& b = ctx_.state.Building;
  // One pollutant at a time: the page says which.
  PrintStampedGrid(ctx_.printer, Grid1(),
                   "Summary of results for " + b.ID + " " + b.Scenario.Name + ", pollutant " +
                       FromQt(pollutant_->text()));
}

void SummaryForm::StepPollutant(int step) {
  if (const auto p = StepPollutantBox(*number_, ctx_.state.Building.Scenario, step)) {
    UpdateSummaryForm(*this, *p);
  }
}

void FillSummaryGrid(SummaryForm& form) {
  const BuildingRecord& b = form.Context().state.Building;
  const ScenarioRecord& s = b.Scenario;
  FlexGrid& grid = form.Grid1();
  form.Label1().setText("Building");
  grid.setVisible(true);
  form.PollutantNumber().setText("0");
  form.BuildingLabel().setText(ToQt(b.ID));
  form.ScenarioLabel().setText(ToQt(s.Name));
  grid.Clear();
  grid.SetRows(kRows);
  grid.SetCols(kCols);
  grid.SetFixedRows(1);
  grid.SetFixedCols(1);
  grid.SetWordWrap(true);
  grid.SetRowHeight(0, kHeaderHeight);
  for (int c = 0; c < kCols; ++c) grid.SetColWidth(c, kColWidth);
  grid.SetTextMatrix(0, 0, Joined({"Occupant", "name"}));
  const ExposureUnits units = ExposureUnitsOf(s);
  grid.SetTextMatrix(0, 2, Joined({"Total exposure", units.cumulative}));
  grid.SetTextMatrix(0, 3, Joined({"Peak instantaneous", "exposure " + units.instantaneous}));
  grid.SetTextMatrix(0, 4, Joined({"Potential", "dose mg/kg/day"}));
  grid.SetTextMatrix(0, 5, Joined({"RfD", "mg/kg/day"}));
  // The risk of a lifetime spent at the period's mean concentration, not of the period alone.
  grid.SetTextMatrix(0, 6, Joined({"Lifetime cancer", "risk at this mean", "concentration"}));
  UpdateSummaryForm(form, 0);
}

void UpdateSummaryForm(SummaryForm& form, int p) {
  const ScenarioRecord& s = form.Context().state.Building.Scenario;
  p = std::clamp(p, 0, kMaxPollutants - 1);
  const PollutantRecord& pollutant = s.Pollutants[static_cast<size_t>(p)];
  form.PollutantName().setText(ToQt(pollutant.Name));
  form.Rfc().setText(ToQt(FormatSingle(pollutant.RfC)));
  form.RfdBox().setText(ToQt(FormatSingle(pollutant.RfD)));
  form.ParticleMass().setText(ToQt(ParticleMassText(s.ConcUnits, pollutant)));
  // The header follows the pollutant shown, so its hours are read against its own limit.
  WriteIrritantHeader(form.Grid1(), s, p);
  WriteRows(form.Grid1(), form.Context().state, p);
}

SummaryForm* ShowSummary(MainContext& context, QMdiArea* area) {
  SummaryForm* form =
      OpenResultsWindow<SummaryForm>(area, [&context] { return new SummaryForm(context); });
  if (area != nullptr) {
    OpenAtSize(*form, QSize(PixelsToTwips(static_cast<int>(area->width() * kFrameShare)),
                            PixelsToTwips(static_cast<int>(area->height() * kFrameShare))));
  }
  FillSummaryGrid(*form);
  ShowInFront(*form);
  return form;
}

}  // namespace quarn
