#include "ui/results/summary_form.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <algorithm>
#include <array>
#include <optional>

#include "files/result_files.h"
#include "model/exposure_units.h"
#include "platform/flex_grid.h"
#include "platform/help_service.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "platform/up_down.h"
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

std::optional<float> If(bool calculated, float value) {
  return calculated ? std::optional<float>(value) : std::nullopt;
}

void WriteRows(FlexGrid& grid, const ProgramState& state, int p) {
  const ScenarioRecord& s = state.Building.Scenario;
  const auto pi = static_cast<size_t>(p);
  const PollutantRecord& pollutant = s.Pollutants[pi];
  const int occupants = OccupantCount(s);
  const bool exposure = state.ExposureCalculated;
  // Hours above a level that is not set are not counted.
  const bool hours = exposure && pollutant.IrritantConc > 0;
  // A dose per body weight is an amount inhaled: inhalation mode, and a mass, not a count.
  const bool dose = exposure && s.ExposureMode == "I" && ExposureUnitsOf(s).has_mass_dose;
  const bool risk = exposure && state.RiskCalculated && pollutant.CancerRisk != 0;
  for (int o = 1; o <= occupants; ++o) {
    const OccupantRecord& occ = s.Occupants[static_cast<size_t>(o)];
    const std::array<std::optional<float>, kCols - 1> values{
        If(hours, occ.HoursAboveIrritant[pi]), If(exposure, occ.TotalExposure[pi]),
        If(exposure, occ.PeakExposure[pi]),    If(dose && occ.Weight > 0, occ.PotentialDose[pi]),
        If(pollutant.RfD != 0, pollutant.RfD), If(risk, occ.CancerRiskResult[pi])};
    grid.SetTextMatrix(o, 0, occ.Name);
    for (int c = 1; c < kCols; ++c) {
      grid.SetTextMatrix(o, c,
                         Value(values[static_cast<size_t>(c - 1)], kMasks[static_cast<size_t>(c)]));
    }
  }
  // Every total in what the sources emit; the air cleaners' masses are kept as a
  // concentration times m³. The room cleaners' total is of every pollutant together.
  const auto held = static_cast<float>(EmittedPerConcentrationVolume(s.ConcUnits, pollutant));
  float collected = 0;
  for (int r = 1; r <= kMaxRooms; ++r) collected += s.AirCleanerCollected[static_cast<size_t>(r)];
  const std::string unit = " " + ExposureUnitsOf(s).emitted;
  grid.SetTextMatrix(occupants + 1, 0, "Total emitted");
  grid.SetTextMatrix(occupants + 1, 1, FormatPattern(s.TotalEmitted[pi], "#,#####0.0#") + unit);
  grid.SetTextMatrix(occupants + 2, 0, "Air cleaner mass");
  grid.SetTextMatrix(occupants + 2, 1,
                     FormatPattern(s.AirCleanerMass[pi] * held, "#,#####0.0#") + unit);
  grid.SetTextMatrix(occupants + 3, 0, "In-room air cleaner");
  grid.SetTextMatrix(occupants + 3, 1, FormatPattern(collected * held, "#,#####0.0#") + unit);
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
  label1_ = AddLabel(*layout, "Label1", "", 0, 0);
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
  label5_ = AddLabel(*layout, "Label5", "", 0, 5);
  AddLabel(*layout, "Label6", "RfD mg/kg/day", 1, 4);
  rfd_ = GridBox(bar, layout, "rfd", 1, 5);
  AddLabel(*layout, "Label7", "Rfc mg/m\xb3", 2, 4);
  rfc_ = GridBox(bar, layout, "Rfc", 2, 5);
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
  label5_->setText(ctx_.state.Building.Scenario.ExposureMode == "I" ? "Inhalation exposure"
                                                                    : "Non-inhalation exposure");
}

void SummaryForm::SaveSummary() {
  const auto name = AskSaveName("*.SUM", "", "SUM");
  if (!name) return;
  // The writer says what went wrong when the file cannot be written.
  WriteSummaryFile(ctx_.state.Building, *name, ctx_.prompt);
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
