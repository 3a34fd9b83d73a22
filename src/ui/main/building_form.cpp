#include "ui/main/building_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QMainWindow>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <filesystem>

#include "files/building_file.h"
#include "files/folders.h"
#include "files/scenario_file.h"
#include "model/average_exposure.h"
#include "model/exposure.h"
#include "model/flow_setup.h"
#include "model/input_checks.h"
#include "model/lognormal_fit.h"
#include "model/resets.h"
#include "model/risk.h"
#include "model/settings.h"
#include "model/unit_conversion.h"
#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/help_service.h"
#include "platform/hourglass.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "platform/window_registry.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "text/paths.h"
#include "ui/building/room_form.h"
#include "ui/common/about_form.h"
#include "ui/common/changes_form.h"
#include "ui/common/form_helpers.h"
#include "ui/common/grid_edit.h"
#include "ui/common/menu_builder.h"
#include "ui/common/window_menu.h"
#include "ui/grids/input_reports.h"
#include "ui/main/building_menu.h"
#include "ui/main/concentration_command.h"
#include "ui/main/result_commands.h"
#include "ui/main/scenario_editor.h"
#include "ui/main/set_calculate.h"
#include "ui/main/set_files_form.h"
#include "ui/main/temp_files.h"
#include "ui/results/average_exposure_form.h"
#include "ui/results/bar_chart_form.h"
#include "ui/results/exposure_form.h"
#include "ui/results/plot_window.h"
#include "ui/results/results_form.h"
#include "ui/results/results_window.h"
#include "ui/results/risk_framework.h"
#include "ui/results/run_graph.h"
#include "ui/results/status_dlg.h"
#include "ui/results/summary_form.h"

namespace quarn {
namespace {

constexpr const char* kClearQuestion =
    "This will clear all data.  Do you wish to continue? If you wish to make a few changes in "
    "the data, select No.  Make the changes.  Then save everything.  If you select Yes, all "
    "Building, Scenario, Risk, Occupant information will be cleared!";
constexpr const char* kBuildingFilter = "All Building (*.BLD)|*.BLD|All files (*.*)|*.*";
constexpr const char* kNoConcentrations = "Error.  Concentration not calculated.";
constexpr const char* kNoConcentrationsTitle = "Error.";
constexpr const char* kNoExposure = "Exposure has not been calculated. ";
constexpr int kRoomLimit = kMaxRooms;
// The mark a refused room count leaves in its cell until the user types a new one.

std::string FolderOf(const std::string& path) {
  const std::filesystem::path p(path);
  return p.has_parent_path() ? p.parent_path().string() : std::string(".");
}

bool CreateFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return FolderExists(folder);
}

}  // namespace

std::string VersionNumberText(const ProgramIdentity& identity) {
  return FormatDouble(identity.version_major) + "." + FormatDouble(identity.version_minor) + "." +
         FormatDouble(identity.version_revision);
}

BuildingForm::BuildingForm(MainContext& context, QWidget* parent)
    : QMainWindow(parent), ctx_(context) {
  setObjectName("BuildingForm");
  setWindowTitle("Building information");
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  top_frame_ = NewPanel(central, "TopFrame");
  auto* top_layout = new QVBoxLayout(top_frame_);
  top_layout->setContentsMargins(4, 4, 4, 4);
  edit_cell_ = NewEditCell(top_frame_);
  edit_cell_->hide();
  top_layout->addWidget(edit_cell_);
  top_frame_->setMinimumHeight(edit_cell_->sizeHint().height() + 8);
  layout->addWidget(top_frame_);
  grid_ = new FlexGrid(central);
  grid_->setObjectName("Grid1");
  grid_->SetCols(2);
  grid_->SetRows(5);
  layout->addWidget(grid_, 1);
  setCentralWidget(central);
  grid_->installEventFilter(this);

  edit_ = new GridEdit(*grid_, *edit_cell_, ctx_.prompt, GridEdit::Wiring::Automatic, this);
  edit_->SetSharedFlags(&ctx_.windows.cell_edit_active, &ctx_.windows.grid_events_enabled);
  // The cell keeps the building's value until the edit is committed: the row handler reads
  // the whole grid back on every cursor move, and a half-typed room count must not reach
  // the building (nor bring the limit message) before Enter.
  edit_->SetMirrorTyping(false);
  // The grid's cells are text as well as numbers: it accepts any character. The building's
  // ID and comments go into its file, which must give them back as typed.
  edit_->SetNumericOnly(false);
  edit_->SetFileText(true);
  connect(edit_, &GridEdit::CellCommitted, this, [this] { UpdateBuildingFromGrid(); });
  connect(grid_, &FlexGrid::RowColChange, this, [this] {
    if (ctx_.windows.grid_events_enabled) UpdateBuildingFromGrid();
  });

  BuildMenuBar(*menuBar(), BuildingMenuTable());
  WireCommands();
  // Sized for the grid's two columns and the menu bar, and never smaller: a smaller window
  // (Window > Cascade sizes each child to its hint) folds the menus away behind the bar's
  // extension button.
  SetMinimumTwips(*this, kBuildingWindowMinWidthTwips, kGridWindowMinHeightTwips);
  resize(TwipsToPixels(kBuildingWindowMinWidthTwips), TwipsToPixels(kGridWindowMinHeightTwips));
}

BuildingForm::~BuildingForm() = default;

void BuildingForm::Load() {
  ProgramState& s = ctx_.state;
  ctx_.windows.grid_events_enabled = true;
  const TempFolderParts parts = SplitTempFolder(s.TempFolder);
  s.TempDrive = parts.drive;
  s.TempFolderName = parts.folder;
  const std::string folder = JoinTempFolder(parts);
  if (!folder.empty() && !FolderExists(folder)) MakeFolder(parts.drive, parts.folder);
}

namespace {

// The rows both fills of the building grid begin with: the headings, the ID and the comments.
void WriteHeadRows(FlexGrid& grid, const BuildingRecord& b) {
  grid.SetTextMatrix(0, 0, "Item");
  grid.SetTextMatrix(0, 1, "Value");
  grid.SetTextMatrix(1, 0, "Building ID");
  grid.SetTextMatrix(1, 1, b.ID);
  grid.SetTextMatrix(2, 0, "Comments");
  grid.SetTextMatrix(2, 1, b.Comments);
}

}  // namespace

void BuildingForm::SetupBuildingGrid(FlexGrid& grid) {
  ProgramState& s = ctx_.state;
  const GridEventsOff off(ctx_.windows.grid_events_enabled);
  grid.SetRows(5);
  grid.SetColWidth(0, 3000);
  value_col_twips_ = 2000;
  FitValueColumn();
  const BuildingRecord& b = s.Building;
  WriteHeadRows(grid, b);
  grid.SetTextMatrix(3, 0, "Number of Rooms. Max " + FormatDouble(kRoomLimit));
  grid.SetTextMatrix(3, 1, FormatDouble(b.NumRooms));
  grid.SetTextMatrix(4, 0, "Master File");
  grid.SetTextMatrix(4, 1, b.MasterFile);
  grid.SetRowCol(1, 1);
}

void BuildingForm::FillBuildingGrid(FlexGrid& grid) {
  ProgramState& s = ctx_.state;
  const GridEventsOff off(ctx_.windows.grid_events_enabled);
  grid.SetCols(2);
  grid.SetRows(5);
  grid.SetColWidth(0, 2100);
  value_col_twips_ = 2100;
  FitValueColumn();
  BuildingRecord& b = s.Building;
  WriteHeadRows(grid, b);
  grid.SetTextMatrix(3, 0, "Number of Rooms");
  if (b.NumRooms > kRoomLimit) {
    // The building file reader refuses such files; a count that still arrives is asked for
    // again rather than used as an index.
    ctx_.prompt.Message("Warning.  Number of rooms is too large.  Reenter data.", "WARNING",
                        MessageIcon::None);
    const auto answer = ctx_.prompt.InputLine("Number of rooms. Max " + FormatDouble(kRoomLimit),
                                              "", std::string());
    const auto n = RoundToInt16(answer ? LeadingNumber(*answer) : 0.0);
    b.NumRooms = static_cast<int16_t>(std::clamp<int>(n.value_or(1), 1, kRoomLimit));
  }
  grid.SetTextMatrix(3, 1, FormatPattern(b.NumRooms, "###"));
  grid.SetTextMatrix(4, 0, "Master File");
  grid.SetTextMatrix(4, 1, b.MasterFile);
  grid.SetRowCol(1, 1);
  grid.setVisible(true);
  top_frame_->setVisible(true);
}

void BuildingForm::FitValueColumn() {
  // Comments run long: the value column takes the width the window has to spare to its
  // right, never less than the fill gave it.
  int spare = grid_->contentsRect().width() - grid_->columnWidth(0);
  if (grid_->verticalScrollBar()->isVisible()) spare -= grid_->verticalScrollBar()->width();
  grid_->SetColWidth(1, std::max(value_col_twips_, spare * kTwipsPerPixel));
}

bool BuildingForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == grid_ && event->type() == QEvent::Resize) FitValueColumn();
  return QMainWindow::eventFilter(watched, event);
}

void BuildingForm::UpdateBuildingFromGrid() {
  ProgramState& s = ctx_.state;
  BuildingRecord& b = s.Building;
  const GridEventsOff off(ctx_.windows.grid_events_enabled);
  const int row = grid_->Row();
  struct Items {
    std::string id, comments, master_file;
    int16_t num_rooms;
  };
  const Items before_id{b.ID, b.Comments, b.MasterFile, b.NumRooms};
  b.ID = grid_->TextMatrix(1, 1);
  b.Comments = grid_->TextMatrix(2, 1);
  const std::string count_text = grid_->TextMatrix(3, 1);
  const double n = LeadingNumber(count_text);
  const auto rounded = RoundToInt16(n);
  if (n > kRoomLimit) {
    ctx_.prompt.Message(
        "Warning. Number of rooms exceeds limit of " + FormatDouble(kRoomLimit) + ". Reenter data.",
        "Warning", MessageIcon::None);
    RefuseRoomCount();
  } else if (!rounded || *rounded < 1) {
    // No room loop works without a room: a count below 1 is refused like one above 13.
    ctx_.prompt.Message("Warning. Number of rooms must be at least 1. Reenter data.", "Warning",
                        MessageIcon::None);
    RefuseRoomCount();
  } else {
    b.NumRooms = *rounded;
    b.MasterFile = grid_->TextMatrix(4, 1);
    grid_->SetRow(row);
  }
  if (b.ID != before_id.id || b.Comments != before_id.comments ||
      b.NumRooms != before_id.num_rooms || b.MasterFile != before_id.master_file) {
    s.BuildingSaved = false;
  }
}

void BuildingForm::RefuseRoomCount() {
  // The cell gets back the count the building keeps, so that nothing typed before is lost.
  grid_->SetTextMatrix(3, 1, FormatDouble(ctx_.state.Building.NumRooms));
  grid_->SetRowCol(3, 1);
  // The cursor waits on the count for a new one, also when Enter committed the refused one.
  edit_->KeepCursor();
}

void BuildingForm::WireCommands() {
  auto print = [this](InputReport r) {
    return [this, r] { PrintInputReport(ctx_.printer, ctx_.state.Building, r); };
  };
  commands_ = {
      {"FileNew", [this] { FileNew(); }},
      {"fileopen", [this] { FileOpen(); }},
      {"filesave", [this] { FileSave(); }},
      {"FileConcen", [this] { SaveConcentration(); }},
      {"FileExposure", [this] { SaveExposure(); }},
      {"saveaverage", [this] { SaveAverageExposure(); }},
      {"FileResults", [this] { SaveAllResultFiles(); }},
      {"PrintSetup", [this] { ctx_.printer.Setup(); }},
      {"PrintBuilding", print(InputReport::Building)},
      {"PrintScenario", print(InputReport::Scenario)},
      {"PrintAll", print(InputReport::All)},
      {"fileexit", [this] { FileExit(); }},
      {"Rooms", [this] { OpenRoomForm(ctx_, this); }},
      // The scenario editor hides this window while it is open.
      {"Scenarios", [this] { OpenScenarioEditor(ctx_, AreaAbove(this), this); }},
      {"CalculateAirFlows", [this] { CalculateAirFlows(); }},
      {"CalculateConcentration", [this] { CalculateConcentration(); }},
      {"calculatelognormal", [this] { CalculateLognormal(); }},
      {"CalculateInhalation", [this] { CalculateExposure("I"); }},
      {"CalculateNone", [this] { CalculateExposure("N"); }},
      {"averageexposure", [this] { CalculateAverage(); }},
      {"CalculateRisk", [this] { CalculateRisk(); }},
      {"DisplaySummary", [this] { ShowSummary(ctx_, AreaAbove(this)); }},
      {"DisplayConcentration", [this] { DisplayConcentration(); }},
      {"DisplayInst", [this] { DisplayExposure(1); }},
      {"DisplayAverage", [this] { DisplayAverageExposure(); }},
      {"DisplyaCumulative", [this] { DisplayExposure(2); }},
      {"RiskFull", [this] { ShowRiskFramework(ctx_, AreaAbove(this)); }},
      {"mg", [this] { SetDisplayUnits(0); }},
      {"micrograms", [this] { SetDisplayUnits(1); }},
      {"ppm", [this] { SetDisplayUnits(2); }},
      {"numberpercc", [this] { SetDisplayUnits(3); }},
      {"numberpercubicmeter", [this] { SetDisplayUnits(4); }},
      {"plotallrooms", [this] { Plot(PlotKind::PollutantInRooms); }},
      {"plotallpollutants", [this] { Plot(PlotKind::PollutantsInRoom); }},
      {"PlotCumulative", [this] { Plot(PlotKind::Cumulative); }},
      {"PlotInst", [this] { Plot(PlotKind::Instantaneous); }},
      {"PlotBarirr", [this] { PlotBars(BarChartKind::Irritant); }},
      {"BarCum", [this] { PlotBars(BarChartKind::Exposure); }},
      {"OptionsCalculate", [this] { OptionsCalculate(); }},
      {"Optionsetmax", [this] { SetMaxConcentration(); }},
      {"Filelocations", [this] { FileLocations(); }},
      {"WindowsCascade", [this] { CascadeWindows(this); }},
      {"WindowsTile", [this] { TileWindows(this); }},
      {"helprecent",
       [this] {
         AppWindows().Load<ChangesForm>([this] { return new ChangesForm(this); })->show();
       }},
      {"HelpContents", [this] { ctx_.help.ShowHelp(kMainHelpFile, "Building form"); }},
      {"HelpPM", [this] { ctx_.help.ShowHelp(kParticleHelpFile, "Building form"); }},
      {"HelpAbout", [this] { ShowAboutForm(ctx_.identity, this); }},
  };
  for (const auto& [name, command] : commands_) {
    QAction* action = nullptr;
    for (QAction* a : menuBar()->findChildren<QAction*>(QString::fromStdString(name))) {
      if (a->menu() == nullptr) action = a;
    }
    if (action == nullptr) continue;
    connect(action, &QAction::triggered, this, [this, name = name] { RunCommand(name); });
  }
  if (auto* list = menuBar()->findChild<QAction*>("WindowsList")) MakeWindowList(*list, *this);
  if (QAction* exit = menuBar()->findChild<QAction*>("fileexit")) {
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
  }
}

void BuildingForm::RunCommand(const std::string& name) {
  // A change made since the results were worked out ends them on the screen first, so that
  // every command sees the model as it stands; one the command made (a building opened)
  // ends them after it.
  ResultsAreCurrent(ctx_);
  RunNamedCommand(*edit_, commands_, name);
  ResultsAreCurrent(ctx_);
}

void BuildingForm::RunEnded(RunKind kind) {
  if (kind == RunKind::Concentration) {
    ctx_.results_watch.ConcentrationRunEnded(ctx_.state, ctx_.state.ConcentrationsCalculated);
  } else {
    ctx_.results_watch.RunEnded(ctx_.state);
  }
  ShowRunResults(ctx_, kind);
}

// --- File ----------------------------------------------------------------------------------

bool BuildingForm::ConfirmClear() {
  // Enter keeps the unsaved building.
  return ctx_.prompt.AskYesNoDefault(kClearQuestion, "Warning", MessageIcon::None, Answer::No) ==
         Answer::Yes;
}

void BuildingForm::FileNew() {
  ProgramState& s = ctx_.state;
  if (!s.BuildingSaved && !ConfirmClear()) {
    return;
  }
  NewBuilding(s);
  s.BuildingSaved = false;
  ClearSavedFlags(s);
  s.RoomsSaved = false;
  s.ConcentrationsCalculated = false;
  // The exposure results belong to the building that is being cleared.
  s.ExposureCalculated = false;
  s.RiskCalculated = false;
  s.OccupantDataComplete = false;
  show();
  SetupBuildingGrid(*grid_);
  grid_->setVisible(true);
  top_frame_->setVisible(true);
  ctx_.windows.grid_events_enabled = true;
  s.BuildingSaved = false;
}

void BuildingForm::MakeScenarioFolder() {
  ProgramState& s = ctx_.state;
  s.ScenarioFolder = JoinPath(s.DataFolder, "Scenario");
  if (FolderExists(s.ScenarioFolder)) return;
  if (ctx_.prompt.AskYesNo("Do you wish to create a new folder for your scenarios?", "",
                           MessageIcon::None) == Answer::Yes &&
      !CreateFolder(s.ScenarioFolder)) {
    ctx_.prompt.Message("The folder " + s.ScenarioFolder + " could not be created.", "",
                        MessageIcon::Exclamation);
  }
}

void BuildingForm::FileOpen() {
  ProgramState& s = ctx_.state;
  if (!s.BuildingSaved && !ConfirmClear()) {
    return;
  }
  s.ConcentrationsCalculated = false;
  s.ExposureCalculated = false;
  s.RiskCalculated = false;
  s.OccupantDataComplete = false;
  s.CurrentFileName.clear();
  FileDialogRequest request = FileRequest(kBuildingFilter, "", "*.bld", "Open Building");
  request.initial_folder = s.DataFolder;
  const auto name = ctx_.dialogs.OpenFileName(request);
  if (!name) return;
  s.DataFolder = FolderOf(*name);
  s.CurrentFileName = *name;
  // The file is read into a scratch record first: a damaged file changes nothing. The
  // scratch starts as a reset building, so the rooms after the file's last keep the values
  // that the reset gives them (each its own HVAC number), as when the file is read over
  // the reset building.
  BuildingRecord read;
  InitializeBuilding(read);
  std::string file = s.CurrentFileName;
  if (!ReadBuildingFile(read, file, ctx_.prompt)) return;
  ClearBuilding(s);
  NewBuilding(s);
  CopyBuildingPart(read, s.Building);
  s.BuildingSaved = true;
  s.RoomsSaved = true;
  show();
  FillBuildingGrid(*grid_);
  ctx_.windows.grid_events_enabled = true;
  MakeScenarioFolder();
}

void BuildingForm::FileSave() {
  ProgramState& s = ctx_.state;
  UpdateBuildingFromGrid();
  s.CurrentFileName.clear();
  FileDialogRequest request = FileRequest(kBuildingFilter, "", "*.bld", "Save Building");
  request.initial_folder = s.DataFolder;
  const auto name = ctx_.dialogs.SaveFileName(request);
  if (!name) return;
  s.CurrentFileName = *name;
  if (!WriteBuildingFile(s.Building, s.CurrentFileName, ctx_.prompt)) return;
  s.BuildingSaved = true;
  s.DataFolder = FolderOf(s.CurrentFileName);
  MakeScenarioFolder();
}

bool BuildingForm::ResultsGate(bool calculated, const char* text, const char* title) {
  if (calculated) return true;
  ctx_.prompt.Message(text, title, MessageIcon::None);
  return false;
}

bool BuildingForm::ConcentrationsGate() {
  return ResultsGate(ctx_.state.ConcentrationsCalculated, kNoConcentrations,
                     kNoConcentrationsTitle);
}

void BuildingForm::SaveConcentration() {
  UpdateBuildingFromGrid();
  if (!ConcentrationsGate()) return;
  SaveResultFile(ctx_, ResultFileKind::Concentration);
}

void BuildingForm::SaveExposure() {
  UpdateBuildingFromGrid();
  if (!ResultsGate(ctx_.state.ExposureCalculated, kNoExposure)) return;
  SaveResultFile(ctx_, ResultFileKind::Exposure);
}

void BuildingForm::SaveAverageExposure() {
  UpdateBuildingFromGrid();
  if (!ResultsGate(ctx_.state.ExposureCalculated, kNoExposure)) return;
  SaveResultFile(ctx_, ResultFileKind::AverageExposure);
}

void BuildingForm::SaveAllResultFiles() {
  if (!ConcentrationsGate()) return;
  SaveResultFile(ctx_, ResultFileKind::All);
}

bool BuildingForm::ConfirmExit() {
  if (EraseTempFiles(ctx_.state, ctx_.prompt)) return true;
  return ctx_.prompt.AskYesNoDefault(
             "All data not saved.  Do you wish to exit without saving data?", "Warning",
             MessageIcon::Critical, Answer::No) == Answer::Yes;
}

void BuildingForm::FileExit() {
  if (!ConfirmExit()) return;
  closing_confirmed_ = true;
  emit EndProgram();
}

void BuildingForm::closeEvent(QCloseEvent* event) {
  if (closing_confirmed_ || ConfirmExit()) {
    closing_confirmed_ = true;
    event->accept();
    emit EndProgram();
    return;
  }
  event->ignore();
}

// --- Calculate -----------------------------------------------------------------------------

void BuildingForm::CalculateAirFlows() {
  BuildingRecord& b = ctx_.state.Building;
  if (!CheckRoomVolumes(b, ctx_.prompt)) return;
  // The user asks for the natural outdoor flows of the scenario to be set from its air-change
  // rate: they become the entered flows that the flow window shows and a run uses.
  WorkingFlows flows;
  StartWorkingFlows(b.Scenario, flows);
  const int rooms = RoomCount(b);
  SetOutdoorFlowsFromACH(b, rooms, b.Scenario.OverallACH, flows);
  for (int r = 1; r <= rooms; ++r) {
    b.Scenario.NaturalToOutdoors[r] = flows.natural_to_outdoors[r];
    b.Scenario.NaturalFromOutdoors[r] = flows.natural_from_outdoors[r];
  }
  // The scenario now differs from its file: Exit must ask before losing it.
  ctx_.state.ScenarioSaved = false;
}

void BuildingForm::CalculateConcentration() {
  ProgramState& s = ctx_.state;
  BuildingRecord& b = s.Building;
  if (!CheckRoomVolumes(b, ctx_.prompt) || !CheckPollutants(b.Scenario, ctx_.prompt)) return;
  // The question is of a repetition: after any change the run is of another scenario.
  if (s.ConcentrationsCalculated && ctx_.results_watch.ConcentrationsCurrent() &&
      ctx_.prompt.AskYesNo("You have already calculated concentrations for this scenario. Do you "
                           "wish to continue? ",
                           "Warning", MessageIcon::None) != Answer::Yes) {
    return;
  }
  if (b.MasterFile.empty()) b.MasterFile = "Temp";
  s.StopCalculation = false;
  // The exposures and risks of the run before it are not of this run.
  s.ExposureCalculated = false;
  s.RiskCalculated = false;
  RunOutcome outcome = RunOutcome::Failed;
  {
    RunGraph graph(s, ctx_.prompt, window());
    outcome = RunConcentration(s, ctx_.prompt, graph);
    // The frame keeps saying that the run ended, and its totals, after the window has gone.
    ShowStatus(graph.Outcome());
  }
  // A failed run has no results to show, and may have overwritten those of the run before
  // it (the same work file, the run's totals); a stopped one has a complete work file.
  if (outcome != RunOutcome::Failed) {
    s.ConcentrationsCalculated = true;
    s.OccupantDataComplete = true;
  } else {
    s.ConcentrationsCalculated = false;
  }
  b.DisplayUnitCode = GetUnitsCode(b.Scenario.ConcUnits);
  RunEnded(RunKind::Concentration);
}

void BuildingForm::CalculateLognormal() {
  const ScenarioRecord& sc = ctx_.state.Building.Scenario;
  if (!ConcentrationsGate()) return;
  // The fit is over particle sizes: a gas has none, and its numbers would be zeros.
  if (!scenario_io::IsParticleClass(sc.PollutantClass)) {
    ctx_.prompt.Message(
        "The log normal fit needs particle size bins (a pollutant class that begins with PM).",
        "Log normal fit", MessageIcon::Information);
    return;
  }
  const int n = PollutantCount(sc);
  std::array<float, kMaxPollutants> d{};
  std::array<float, kMaxPollutants> w{};
  for (int p = 0; p < n; ++p) {
    // In particle mode a pollutant is named by its size bin's diameter in micrometres.
    d[static_cast<size_t>(p)] = static_cast<float>(LeadingNumber(sc.Pollutants[p].Name));
    w[static_cast<size_t>(p)] = sc.RoomConc[1][static_cast<size_t>(p)];
  }
  float mmd = 0;
  float gsd = 0;
  LognormalFit(n, d, w, mmd, gsd);
  ctx_.prompt.Message("Room 1:  mass median diameter " + FormatSingle(mmd) +
                          " \xB5m, geometric standard deviation " + FormatSingle(gsd) + ".",
                      "Log normal fit", MessageIcon::Information);
}

void BuildingForm::CalculateExposure(const char* mode) {
  ProgramState& s = ctx_.state;
  BuildingRecord& b = s.Building;
  b.Scenario.ExposureMode = mode;
  if (!s.ConcentrationsCalculated) {
    ctx_.prompt.Message("You must calculate concentrations before you can calculate exposure.",
                        "Warning", MessageIcon::None);
    return;
  }
  if (!s.OccupantDataComplete) {
    ctx_.prompt.Message("You must enter activity pattern data before you can calculate exposure.",
                        "Warning.", MessageIcon::None);
    return;
  }
  // Exposure is that of the occupants: without one there is nothing to calculate.
  if (b.Scenario.NumOccupants <= 0) {
    ctx_.prompt.Message(
        "Error.  No occupants specified.  Enter the occupants before you calculate exposure.",
        "Warning", MessageIcon::None);
    return;
  }
  const std::string folder = JoinTempFolder({s.TempDrive, s.TempFolderName});
  ExposureRunResult result;
  {
    StatusDlg status(window());
    Hourglass hourglass;
    result = RunExposureCalculation(b, folder, s.DataSeparator, ctx_.prompt, status);
  }
  s.ExposureCalculated = result.completed ? true : false;
  s.RiskCalculated = false;
  s.OccupantDataComplete = result.occupant_data_complete ? true : false;
  RunEnded(RunKind::Exposure);
  // The calculation shows nothing of its own when it ends: the frame says so, as it does at
  // the end of a run.
  const std::string what =
      std::string(mode[0] == 'I' ? "Inhalation" : "Non-inhalation") + " exposure calculation";
  const int occupants = OccupantCount(b.Scenario);
  ShowStatus(result.completed ? what + " finished for " + std::to_string(occupants) +
                                    (occupants == 1 ? " occupant" : " occupants") +
                                    ".  Display > Exposure and Plot show the results."
                              : what + " did not finish: no results of it are shown.");
}

void BuildingForm::ShowStatus(const std::string& text) {
  if (auto* frame = qobject_cast<QMainWindow*>(window()); frame != nullptr) {
    frame->statusBar()->showMessage(ToQt(text));
  }
}

void BuildingForm::CalculateAverage() {
  if (!ResultsGate(ctx_.state.ExposureCalculated, kNoExposure)) return;
  {
    Hourglass hourglass;
    CalculateAverageExposure(ctx_.state.Building.Scenario, ctx_.state.DataSeparator, ctx_.prompt);
  }
  RunEnded(RunKind::AverageExposure);
}

void BuildingForm::CalculateRisk() {
  if (!ResultsGate(ctx_.state.ExposureCalculated, kNoExposure)) return;
  ctx_.state.RiskCalculated = RunRiskCalculation(ctx_.state.Building.Scenario, ctx_.prompt);
  RunEnded(RunKind::Risk);
}

// --- Display, Options, Window --------------------------------------------------------------

void BuildingForm::SetDisplayUnits(int code) {
  BuildingRecord& b = ctx_.state.Building;
  // Particle counts are only shown for particles; the item does nothing otherwise.
  if (code >= 3 && !scenario_io::IsParticleClass(b.Scenario.PollutantClass)) return;
  b.DisplayUnitCode = static_cast<int16_t>(code);
}

void BuildingForm::DisplayConcentration() {
  if (!ConcentrationsGate()) return;
  ShowConcentrationResults(ctx_, AreaAbove(this));
}

void BuildingForm::Plot(PlotKind kind) {
  const bool concentration =
      kind == PlotKind::PollutantInRooms || kind == PlotKind::PollutantsInRoom;
  const bool gate = concentration ? ConcentrationsGate()
                                  : ResultsGate(ctx_.state.ExposureCalculated, kNoExposure);
  if (gate) ShowMainPlot(ctx_, AreaAbove(this), kind);
}

void BuildingForm::PlotBars(BarChartKind kind) {
  // Both charts show the exposure calculation's results.
  if (!ResultsGate(ctx_.state.ExposureCalculated, kNoExposure)) return;
  ShowBarChart(ctx_, AreaAbove(this), this, kind);
}

void BuildingForm::DisplayExposure(int mode) {
  if (!ResultsGate(ctx_.state.ExposureCalculated, kNoExposure)) return;
  ShowExposureResults(ctx_, AreaAbove(this), mode);
}

void BuildingForm::DisplayAverageExposure() {
  if (!ResultsGate(ctx_.state.ExposureCalculated, kNoExposure)) return;
  ShowAverageExposure(ctx_, AreaAbove(this));
}

void BuildingForm::OptionsCalculate() {
  SetCalculate* w =
      AppWindows().Load<SetCalculate>([this] { return new SetCalculate(ctx_, this); });
  w->ShowCalculationOptions();
  w->show();
  w->raise();
}

void BuildingForm::SetMaxConcentration() {
  ProgramState& s = ctx_.state;
  const auto answer =
      ctx_.prompt.InputLine("Enter estimated maxium concentration mg/cu m",
                            "Estimated concentration ", FormatDouble(s.MaxConcentration));
  if (!answer || answer->empty()) return;
  const double value = LeadingNumber(*answer);
  // The progress chart divides by this value: only a positive estimate replaces the old one.
  if (!(value > 0) || !std::isfinite(value)) {
    ctx_.prompt.Message(
        "The estimated maximum concentration must be a number above 0.  The "
        "previous value is kept.",
        "", MessageIcon::Exclamation);
    return;
  }
  s.MaxConcentration = value;
}

void BuildingForm::FileLocations() {
  SetFilesForm* w =
      AppWindows().Load<SetFilesForm>([this] { return new SetFilesForm(ctx_, this); });
  w->FillFromSettings();
  w->show();
  w->raise();
}

}  // namespace quarn
