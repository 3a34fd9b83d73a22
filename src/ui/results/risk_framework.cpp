#include "ui/results/risk_framework.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "files/result_files.h"
#include "model/exposure_units.h"
#include "model/risk.h"
#include "platform/edit_cell.h"
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
#include "ui/common/tool_openers.h"
#include "ui/common/window_menu.h"
#include "ui/results/menu_tables.h"
#include "ui/results/pollutant_step.h"
#include "ui/results/risk_analysis.h"
#include "ui/results/summary_form.h"

namespace quarn {
namespace {

constexpr int kCols = 11;
constexpr int kHeaderHeight = 600;
constexpr std::array<int, kCols> kWidths{1000, 1900, 1290, 900, 900, 1200,
                                         900,  900,  1200, 900, 1200};
constexpr int kLabelTop = 250;  // under the frame's caption
constexpr int kGridTop = 1000;
constexpr double kFrameShare = 0.99;
constexpr const char* kFilter = "Full risk analsyis (*.FUL)|*.FUL|All files (*.*)|*.*";
constexpr const char* kRecalcMask = "##,#####0.0#";
constexpr const char* kRiskMask = "#.0##E-";
constexpr double kHoursPerYear = 24.0 * 365.0;
// The error a Single gives when a product passes its range.
constexpr int kOverflowError = 6;

// Rows of occupant i's block (from 1): irritant, cancer, lifetime cancer, comments.
int IrritantRow(int i) {
  return 4 * i - 3;
}

// How many occupant blocks a grid of this many rows holds (the fill makes 3 n + 7 rows).
int BlocksOf(int rows) {
  return rows < 7 ? 0 : (rows - 7) / 3;
}

void WriteHeader(FlexGrid& grid, const ScenarioRecord& s, const PollutantRecord& pollutant) {
  const ExposureUnits units = ExposureUnitsOf(s);
  // The irritant row's exposure is its level times the hours spent above it, not the
  // exposure above the level: the heading says so.
  const std::array<std::string, kCols> headers{
      "Occupant\nName",
      "Pollutant: " + pollutant.Name + "\nType of Risk",
      "Concentration\n" + units.concentration,
      "Duration",
      "Exposure\n" + units.concentration + "\xB7h\n(irritant: level \xD7 hours above)",
      "Conversion\nFactor",
      "Dose\n" + units.cumulative + "\n(irritant: " + units.concentration + "\xB7h)",
      "Dose/\nResponse\n(risk per " + units.cumulative + ")",
      "Individual\nRisk",
      "Population",
      "Population\nRisk"};
  for (int c = 0; c < kCols; ++c) {
    grid.SetColWidth(c, kWidths[static_cast<size_t>(c)]);
    grid.SetTextMatrix(0, c, headers[static_cast<size_t>(c)]);
  }
  grid.SetRowHeight(0, kHeaderHeight);
}

// A number cell that Calculate risk reads back at full precision, whatever its mask shows.
void PutNumber(FlexGrid& grid, int r, int c, double value, const char* mask) {
  grid.SetNumber(r, c, value, FormatPattern(value, mask));
}

// One cancer row: the mean concentration over `years`, the exposure (a concentration times
// hours), the conversion factor into the dose the risk calculation takes, the dose, and the
// risk per unit of that dose, so that the cells multiply out to the occupant's risk exactly
// as Calculate > Risk computes it. Nothing is stored in the record.
void WriteCancerRow(FlexGrid& grid, int r, const OccupantRecord& occ, const ScenarioRecord& s,
                    int p, float years, float exposure, const char* years_mask) {
  const double hours = static_cast<double>(years) * kHoursPerYear;
  const float conversion =
      s.ExposureMode == "I" ? occ.BreathingRate * occ.EfficiencyFactor : occ.EfficiencyFactor;
  const float dose = exposure * conversion;
  const float pop = occ.Population;
  const double mean = hours > 0 ? exposure / hours : 0.0;
  PutNumber(grid, r, 2, mean, mean >= 0.001 || mean == 0 ? "#,##0.0####" : "0.000E-");
  PutNumber(grid, r, 3, years, years_mask);
  PutNumber(grid, r, 4, exposure, "#,####0.0#");
  PutNumber(grid, r, 5, conversion, "0.0####");
  PutNumber(grid, r, 6, dose, "#,####0.0#");
  // Without a unit risk there is no risk to give, only none calculated.
  const RiskOrFault result = CancerRiskOf(s, occ, p, dose, years);
  const float risk = result.risk;
  if (s.Pollutants[static_cast<size_t>(p)].CancerRisk == 0.0f || result.fault != nullptr ||
      dose == 0.0f) {
    for (int c = 7; c <= 10; ++c) grid.SetTextMatrix(r, c, c == 9 ? SignSingle(pop) : "No Data");
    return;
  }
  PutNumber(grid, r, 7, static_cast<double>(risk) / dose, "0.000E-");
  PutNumber(grid, r, 8, risk, "0.000E-");
  PutNumber(grid, r, 9, pop, "0.0##E-");
  PutNumber(grid, r, 10, static_cast<double>(risk) * pop, "0.0###E-");
}

// The number a text begins with (thousands separators aside); none for a text without one
// ("No Data", an empty cell).
std::optional<double> NumberIn(const std::string& cell_text) {
  const std::string text = RemoveCommas(cell_text);
  const size_t digit = text.find_first_of("0123456789");
  const size_t start = text.find_first_not_of(' ');
  // Only a sign or a point may stand before the first digit.
  if (digit == std::string::npos || text.find_first_not_of("+-.", start) != digit) {
    return std::nullopt;
  }
  return LeadingNumber(text);
}

// A cell's number: the exact one it was filled with, or the one its text begins with.
std::optional<double> CellValue(const FlexGrid& grid, int row, int col) {
  if (const std::optional<double> exact = grid.Number(row, col)) return *exact;
  return NumberIn(grid.TextMatrix(row, col));
}

// Works one result row out from its cells, as the fill of the irritant row and Calculate
// risk do: the concentration (the number after a ">") times the duration (times `hours` to
// make it hours) is the exposure, times the conversion factor the dose, times the
// dose/response the individual risk, times the population the population risk. Where a
// value or factor is missing the products after it read "No Data", not a 0 never
// calculated; `dose_unit`, when given, follows the dose (the irritant row's is no mass). A
// product past a Single's range is said and ends the row, its cells after it kept.
void RecalculateRow(FlexGrid& grid, int r, double hours, const std::string& dose_unit,
                    Prompt& prompt) {
  // A row without a duration (lifetime extension off) has nothing to compute.
  if (grid.TextMatrix(r, 3).empty()) return;
  std::optional<double> conc = grid.Number(r, 2);
  if (!conc) {
    std::string text = grid.TextMatrix(r, 2);
    if (const size_t mark = text.find('>'); mark != std::string::npos) text.erase(0, mark + 1);
    conc = NumberIn(text);
  }
  const std::optional<float> start = conc ? AsSingle(*conc) : std::nullopt;
  bool known = start.has_value();
  float value = start.value_or(0.0f);
  struct Step {
    int factor_col;  // the cell multiplied in; 0 for the duration
    int result_col;
    const char* mask;
  };
  constexpr std::array<Step, 4> kSteps{
      {{0, 4, kRecalcMask}, {5, 6, kRecalcMask}, {7, 8, kRiskMask}, {9, 10, kRiskMask}}};
  const std::optional<double> duration = CellValue(grid, r, 3);
  for (const Step& step : kSteps) {
    std::optional<double> factor = duration;
    if (step.factor_col == 0 && duration) factor = *duration * hours;
    if (step.factor_col != 0) factor = CellValue(grid, r, step.factor_col);
    if (!known || !factor) {
      known = false;
      grid.SetTextMatrix(r, step.result_col, "No Data");
      continue;
    }
    const std::optional<float> product = AsSingle(*factor * value);
    if (!product) {
      prompt.Message(
          "Error " + std::to_string(kOverflowError) + "in risk calculation. Will continue.",
          "Error", MessageIcon::None);
      return;
    }
    value = *product;
    std::string text = FormatPattern(value, step.mask);
    if (step.result_col == 6 && !dose_unit.empty()) text += " " + dose_unit;
    grid.SetNumber(r, step.result_col, value, text);
  }
}

// The irritant row's figure is no dose but the level times the hours above it (times the
// conversion factor), a concentration times hours in the unit of the scenario.
std::string IrritantUnit(const ScenarioRecord& s) {
  return ExposureUnitsOf(s).concentration + "\xB7h";
}

// The irritant row: the level, entered in mg/m³, in the unit of the column (the scenario's,
// as the hours above it were counted), the hours above it, the occupant's conversion
// factor, the pollutant's irritant factor as the dose/response and the population; the
// products follow from them as Calculate risk works them out. A level that does not convert
// is shown as entered, with its unit, and gives no products.
void WriteIrritantRow(FlexGrid& grid, int r, const OccupantRecord& occ, const ScenarioRecord& s,
                      int p, Prompt& prompt) {
  const PollutantRecord& pollutant = s.Pollutants[static_cast<size_t>(p)];
  const float hours = occ.HoursAboveIrritant[static_cast<size_t>(p)];
  grid.SetNumber(r, 3, hours, FormatPattern(hours, "#####,#.# hrs"));
  const std::optional<float> level = IrritantLevelInUnits(s.ConcUnits, pollutant);
  if (level) {
    grid.SetNumber(r, 2, *level, ">" + FormatSingle(*level));
  } else if (pollutant.IrritantConc > 0) {
    grid.SetTextMatrix(r, 2, ">" + FormatSingle(pollutant.IrritantConc) + " mg/m\xB3");
  } else {
    grid.SetTextMatrix(r, 2, "No level");
  }
  grid.SetTextMatrix(r, 5, FormatSingle(occ.EfficiencyFactor));
  grid.SetTextMatrix(
      r, 7, pollutant.IrritantFactor <= 0 ? "No Data" : FormatSingle(pollutant.IrritantFactor));
  grid.SetTextMatrix(r, 9, SignSingle(occ.Population));
  if (level) {
    RecalculateRow(grid, r, 1.0, IrritantUnit(s), prompt);
  } else {
    for (int c : {4, 6, 8, 10}) grid.SetTextMatrix(r, c, "No Data");
  }
}

// Writes occupant i's block from row r for pollutant p.
void WriteBlock(FlexGrid& grid, int r, const OccupantRecord& occ, const ScenarioRecord& s, int p,
                Prompt& prompt) {
  const auto pi = static_cast<size_t>(p);
  const float eff = occ.EfficiencyFactor;
  // Both cancer rows give the risk of a lifetime at a mean concentration: the period's own,
  // or the one of the lifetime extension.
  const std::array<const char*, 4> labels{"Irritant/Non Cancer",
                                          "Lifetime cancer risk, period mean",
                                          "Lifetime cancer risk, lifetime mean", "Comments"};
  for (int k = 0; k < 4; ++k) {
    grid.SetTextMatrix(r + k, 0, occ.Name);
    grid.SetTextMatrix(r + k, 1, labels[static_cast<size_t>(k)]);
  }
  WriteIrritantRow(grid, r, occ, s, p, prompt);

  // The exposure of the period as a concentration times hours: inhalation mode counted the
  // amount breathed.
  const float breathed = s.ExposureMode == "I" ? occ.BreathingRate * eff : 1.0f;
  const float exposure = breathed != 0.0f ? occ.TotalExposure[pi] / breathed : 0.0f;
  WriteCancerRow(grid, r + 1, occ, s, p, s.YearsSimulated, exposure, "##0.0#### yrs");

  if (s.LongTermOptions != 1 && s.LongTermOptions != 2) {
    grid.SetTextMatrix(r + 2, 2, "Lifetime extension off");
    for (int c = 3; c <= 10; ++c) grid.SetTextMatrix(r + 2, c, "");
  } else if (occ.Lifetime > 0) {
    WriteCancerRow(grid, r + 2, occ, s, p, occ.Lifetime, occ.LifetimeExposure[pi], "##0.0## yrs");
  } else {
    grid.SetTextMatrix(r + 2, 2, "No lifetime");
    for (int c = 3; c <= 10; ++c) grid.SetTextMatrix(r + 2, c, "");
  }
}

int PollutantTotal(const ScenarioRecord& s) {
  return std::clamp<int>(s.NumPollutants, 1, kMaxPollutants);
}

}  // namespace

RiskFramework::RiskFramework(MainContext& context, QWidget* parent)
    : ResultsWindow(context, menus::kRiskFramework, "Riskss", parent) {
  setObjectName("RiskFramework");
  setWindowTitle("Risk Characterization Framework");
  frame_ = new QGroupBox("Risk Details", centralWidget());
  frame_->setObjectName("Frame1");
  Riskss().setParent(frame_);
  Riskss().SetRowHeight(0, 300);
  auto* bar = new QWidget(frame_);
  bar->setObjectName("labels");
  auto* layout = new QGridLayout(bar);
  layout->setContentsMargins(0, 0, 0, 0);
  AddLabel(*layout, "Label1", "Building", 0, 0);
  building_id_ = AddLabel(*layout, "Label2", "", 0, 1);
  AddLabel(*layout, "Label3", "Scenario", 0, 2);
  scenario_name_ = AddLabel(*layout, "Label4", "", 0, 3);
  AddLabel(*layout, "Label5", "Pollutant", 0, 4);
  // A particle count's risk goes through the mass of a particle: it stands beside the risk.
  particle_mass_ = new QLabel(bar);
  particle_mass_->setObjectName("ParticleMass");
  layout->addWidget(particle_mass_, 1, 0, 1, 4);
  AddLabel(*layout, "Label6", "Unit risk", 1, 4);
  unit_risk_ = new QLabel(bar);
  unit_risk_->setObjectName("UnitRisk");
  layout->addWidget(unit_risk_, 1, 5, 1, 3);
  number_ = NamedBox(bar, "PollutantNumber");
  number_->setMaximumWidth(TwipsToPixels(600));
  RestrictToNumbers(*number_);
  layout->addWidget(number_, 0, 5);
  spinner_ = new UpDown(bar);
  spinner_->setObjectName("UpDown1");
  layout->addWidget(spinner_, 0, 6);
  pollutant_ = AddLabel(*layout, "Pollutantlabel", "", 0, 7);
  layout->setColumnStretch(8, 1);
  edit_ = NewEditCell(frame_);
  edit_->hide();

  connect(spinner_, &UpDown::DownClick, this, [this] { StepPollutant(-1); });
  connect(spinner_, &UpDown::UpClick, this, [this] { StepPollutant(1); });
  FlexGrid& grid = Riskss();
  connect(&grid, &FlexGrid::KeyPress, this, [this](int& key) {
    RiskStartCellEdit(key);
    key = 0;
  });
  connect(&grid, &FlexGrid::DblClick, this, [this] { RiskStartCellEdit(keycode::kSpace); });
  connect(&grid, &FlexGrid::GotFocus, this, [this] { StoreEdit(); });
  connect(&grid, &FlexGrid::LeaveCell, this, [this] { StoreEdit(); });
  connect(edit_, &EditCellBox::KeyDown, this, [this](int& key, int) { EditKeyDown(key); });
  connect(edit_, &EditCellBox::KeyPress, this, [](int& key) {
    if (key == keycode::kReturn || key == keycode::kEscape) key = 0;
  });

  SetCommands(
      {
          {"filesave", [this] { SaveReport(); }},
          {"FilePrint", [this] { PrintReport(); }},
          {"fileclose", [this] { Unload(); }},
          {"calculate",
           [this] {
             StoreEdit();
             RecalculateRiskGrid(Riskss(), ctx_.state.Building.Scenario, ctx_.prompt);
           }},
          {"tools", [this] { ToolsCalculator(ctx_); }},
          {"HelpContents", [this] { ctx_.help.ShowHelp("RovozUzav.HLP", "Contents"); }},
      },
      "WindowCascade", "WindowTile");
  // The calculator comes up as the Tools menu opens; its items have no command of their own.
  if (auto* tools = menuBar()->findChild<QAction*>("tools"); tools && tools->menu()) {
    connect(tools->menu(), &QMenu::aboutToShow, this, [this] { RunCommand("tools"); });
  }
  SetMinimumTwips(*this, kGridWindowMinWidthTwips, kGridWindowMinHeightTwips);
  LayOut();
}

void RiskFramework::resizeEvent(QResizeEvent* event) {
  ResultsWindow::resizeEvent(event);
  LayOut();
}

bool RiskFramework::eventFilter(QObject* watched, QEvent* event) {
  const bool handled = ResultsWindow::eventFilter(watched, event);
  // The shared grid placement runs first; the grid of this window lives in its frame.
  if (watched == centralWidget() && event->type() == QEvent::Resize) LayOut();
  return handled;
}

void RiskFramework::LayOut() {
  if (frame_ == nullptr) return;
  const QWidget* outer = OuterFrame(this);
  const int w = static_cast<int>(0.98 * outer->width()) - TwipsToPixels(100);
  const int h = static_cast<int>(0.98 * outer->height()) - TwipsToPixels(200);
  frame_->setGeometry(0, 0, std::max(w, 0), std::max(h, 0));
  if (auto* bar = frame_->findChild<QWidget*>("labels")) {
    bar->setGeometry(TwipsToPixels(100), TwipsToPixels(kLabelTop),
                     std::max(frame_->width() - TwipsToPixels(200), 0), TwipsToPixels(700));
  }
  const int top = TwipsToPixels(kGridTop);
  Riskss().setGeometry(0, top,
                       std::max(static_cast<int>(0.98 * frame_->width()) - TwipsToPixels(200), 0),
                       std::max(frame_->height() - top - TwipsToPixels(100), 0));
}

void RiskFramework::RiskStartCellEdit(int key_ascii) {
  FlexGrid& grid = Riskss();
  if (!grid.HasCurrentCell()) return;
  const QPoint at = grid.geometry().topLeft() +
                    QPoint(TwipsToPixels(grid.CellLeft()), TwipsToPixels(grid.CellTop()));
  edit_->setGeometry(at.x(), at.y(), TwipsToPixels(grid.CellWidth()),
                     TwipsToPixels(grid.CellHeight()));
  const bool keep = key_ascii >= 0 && key_ascii <= keycode::kSpace;
  edit_->setText(ToQt(keep ? grid.Text() : std::string(1, static_cast<char>(key_ascii))));
  edit_->end(false);
  edit_->show();
  edit_->raise();
  edit_->setFocus();
}

void RiskFramework::StoreEdit() {
  if (edit_->isHidden()) return;
  Riskss().SetText(FromQt(edit_->text()));
  edit_->hide();
}

void RiskFramework::EditKeyDown(int& key_code) {
  FlexGrid& grid = Riskss();
  switch (key_code) {
    case keycode::kEscape:
      edit_->hide();
      grid.setFocus();
      break;
    case keycode::kReturn:
      StoreEdit();
      grid.setFocus();
      break;
    case keycode::kDown:
    case keycode::kUp: {
      StoreEdit();
      grid.setFocus();
      QCoreApplication::processEvents();
      const int row = grid.Row();
      if (key_code == keycode::kDown && row < grid.Rows() - 1) grid.SetRow(row + 1);
      if (key_code == keycode::kUp && row > grid.FixedRows()) grid.SetRow(row - 1);
      break;
    }
    default:
      return;  // Left, Right and the rest are the box's own
  }
  key_code = 0;
}

void RiskFramework::SaveReport() {
  StoreEdit();
  const auto name = AskSaveName("*.FUL", kFilter, "");
  if (!name) return;
  const FlexGrid& grid = Riskss();
  std::vector<RiskFrameworkTexts> occupants;
  const ScenarioRecord& s = ctx_.state.Building.Scenario;
  for (int i = 1; i <= BlocksOf(grid.Rows()); ++i) {
    RiskFrameworkTexts& texts = occupants.emplace_back();
    for (int c = 3; c <= 8; ++c) {
      texts.irritant[static_cast<size_t>(c - 3)] = grid.TextMatrix(IrritantRow(i), c);
      texts.cancer[static_cast<size_t>(c - 3)] = grid.TextMatrix(IrritantRow(i) + 1, c);
    }
    // "Efficiency" is the occupant's; the cancer row's conversion factor (breathing rate
    // times efficiency when inhaled) has a line of its own.
    texts.conversion = texts.cancer[2];
    if (i <= OccupantCount(s)) {
      texts.cancer[2] = FormatSingle(s.Occupants[static_cast<size_t>(i)].EfficiencyFactor);
    }
  }
  // The comment is the risk analysis window's, when it is open; it is not opened for it.
  const RiskAnalysis* analysis = AppWindows().Find<RiskAnalysis>();
  const std::string comment = analysis != nullptr ? analysis->Comment() : " ";
  WriteRiskFile(ctx_.state.Building, shown_, comment, occupants, *name, ctx_.prompt);
}

void RiskFramework::PrintReport() {
  StoreEdit();
  const BuildingRecord& b = ctx_.state.Building;
  const PollutantRecord& pollutant = b.Scenario.Pollutants[static_cast<size_t>(shown_)];
  PrintStampedGrid(ctx_.printer, Riskss(),
                   "Risk results for " + b.ID + "  " + b.Scenario.Name + ", pollutant " +
                       pollutant.Name + ", unit risk " + UnitRiskText(pollutant));
}

void RiskFramework::StepPollutant(int step) {
  const int count = PollutantTotal(ctx_.state.Building.Scenario);
  const std::string typed = FromQt(number_->text());
  const std::optional<int> stepped = SteppedPollutant(typed, count, step);
  // Without a step the box already shows a pollutant in range; it is shown afresh.
  const int p = stepped.value_or(
      std::clamp(static_cast<int>(std::nearbyint(LeadingNumber(typed))), 0, count - 1));
  FillRiskGrid(*this, p);
}

void FillRiskGrid(RiskFramework& form, int p) {
  BuildingRecord& b = form.Context().state.Building;
  ScenarioRecord& s = b.Scenario;
  p = std::clamp(p, 0, kMaxPollutants - 1);
  form.SetShownPollutant(p);
  FlexGrid& grid = form.Riskss();
  // An edit still open belongs to the table being replaced.
  form.EditCell().hide();
  grid.SetRedraw(false);
  const PollutantRecord& pollutant = s.Pollutants[static_cast<size_t>(p)];
  form.Label2().setText(ToQt(b.ID));
  form.Label4().setText(ToQt(s.Name));
  form.Pollutantlabel().setText(ToQt(pollutant.Name));
  form.UnitRisk().setText(
      ToQt(UnitRiskText(pollutant) + (pollutant.CancerRisk != 0 ? " (entered)" : "")));
  form.ParticleMass().setText(ToQt(ParticleMassText(s.ConcUnits, pollutant)));
  form.PollutantNumber().setText(ToQt(FormatSingle(static_cast<float>(p))));
  const int occupants = OccupantCount(s);
  grid.SetCols(kCols);
  grid.SetRows(3 * occupants + 7);
  WriteHeader(grid, s, pollutant);
  for (int i = 1; i <= occupants; ++i) {
    WriteBlock(grid, IrritantRow(i), s.Occupants[static_cast<size_t>(i)], s, p,
               form.Context().prompt);
  }
  grid.SetTextMatrix(grid.Rows() - 1, 0, "Comments");
  for (int c = 1; c < kCols; ++c) grid.FitColumn(c);  // names and figures read whole
  grid.SetCol(1);
  grid.SetRedraw(true);
}

void RecalculateRiskGrid(FlexGrid& grid, const ScenarioRecord& scenario, Prompt& prompt) {
  // Irritant rows count their duration in hours, the cancer rows in years.
  const std::string irritant_unit = IrritantUnit(scenario);
  for (int i = 1; i <= BlocksOf(grid.Rows()); ++i) {
    RecalculateRow(grid, IrritantRow(i), 1.0, irritant_unit, prompt);
    RecalculateRow(grid, IrritantRow(i) + 1, kHoursPerYear, "", prompt);
    RecalculateRow(grid, IrritantRow(i) + 2, kHoursPerYear, "", prompt);
  }
  for (int c = 4; c < kCols; ++c) grid.FitColumn(c);
}

RiskFramework* ShowRiskFramework(MainContext& context, QMdiArea* area) {
  RiskFramework* form =
      OpenResultsWindow<RiskFramework>(area, [&context] { return new RiskFramework(context); });
  if (area != nullptr && !form->isVisible()) {
    const QSize share(PixelsToTwips(static_cast<int>(area->width() * kFrameShare)) - 100,
                      PixelsToTwips(static_cast<int>(area->height() * kFrameShare)) - 100);
    OpenAtSize(*form, share.expandedTo(QSize(kGridWindowMinWidthTwips, kGridWindowMinHeightTwips)));
    OuterFrame(form)->move(0, 0);
  }
  FillRiskGrid(*form, 0);
  ShowInFront(*form);
  return form;
}

}  // namespace quarn
