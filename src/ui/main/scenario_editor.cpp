#include "ui/main/scenario_editor.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <optional>

#include "files/old_scenario_file.h"
#include "files/scenario_file.h"
#include "files/scenario_routing.h"
#include "model/resets.h"
#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/help_service.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "platform/window_registry.h"
#include "text/number_read.h"
#include "text/paths.h"
#include "ui/building/hvac_flow_history.h"
#include "ui/building/hvac_flow_ss_form.h"
#include "ui/building/hvac_form.h"
#include "ui/building/outdoor_flow_form.h"
#include "ui/building/room_flows_form.h"
#include "ui/building/ventilation_form.h"
#include "ui/common/form_helpers.h"
#include "ui/common/grid_edit.h"
#include "ui/common/tool_openers.h"
#include "ui/common/window_menu.h"
#include "ui/grids/grid_cells.h"
#include "ui/grids/input_reports.h"
#include "ui/grids/scenario_grid.h"
#include "ui/inputs/occupant_form.h"
#include "ui/inputs/pollutant_form.h"
#include "ui/inputs/room_source_form.h"
#include "ui/inputs/scenario_room_form.h"
#include "ui/main/menu_tables.h"
#include "ui/results/results_window.h"

namespace quarn {
namespace {

namespace row = scenario_row;

constexpr const char* kNewQuestion =
    "This will clear all scenario information.   Do you wish to continue?  If you wish to "
    "change a few data items in the current scenario, select No. Make the changes.  Then save "
    "the changed data as a new scenario. If you select YES, all scenario data will be cleared!";
constexpr const char* kOpenQuestion =
    "This will clear all data.  Do you wish to continue? If you wish to make a few changes in "
    "the data, select No.  Make the changes.  Then save everything.  If you select Yes, all "
    "Scenario, Risk, Occupant information will be cleared!";
constexpr const char* kCancelQuestion =
    "Scenario data have not been transfered.  Do you wish to exit without saving scenario data?";
constexpr const char* kCloseQuestion =
    "Scenario not saved.  Do you wish to exit without saving scenario?";
constexpr const char* kLoseEditsQuestion = "All changes will be lost.  Do you wish to continue?";
constexpr const char* kScenarioFilter = "All Scenario (*.SEN)|*.SEN|All files (*.*)|*.*";
constexpr const char* kScenarioExtensionNoDot = "SEN";
constexpr const char* kParticleCaption = "Number/cubic cm";

// Sizes of the window's design, in twips.
constexpr int kMinWidthTwips = 11500;
constexpr int kMinHeightTwips = 5905;
constexpr int kLeftTopTwips = 20;
constexpr int kOptionsFrameWidthTwips = 2775;

std::string FolderOf(const std::string& path) {
  const std::filesystem::path p(path);
  return p.has_parent_path() ? p.parent_path().string() : std::string(".");
}

bool StartsWithPM(const std::string& cls) {
  return cls.compare(0, 2, "PM") == 0;
}

// Unchecks every option of an exclusive group, which the group itself never allows.
void UncheckAll(std::initializer_list<QRadioButton*> options) {
  for (QRadioButton* o : options) {
    o->setAutoExclusive(false);
    o->setChecked(false);
    o->setAutoExclusive(true);
  }
}

// The class list: the program writes the class cell when its list drops down, so the list
// tells the window before it opens.
class ClassCombo : public QComboBox {
 public:
  using QComboBox::QComboBox;
  std::function<void()> on_drop_down;
  void showPopup() override {
    if (on_drop_down) on_drop_down();
    QComboBox::showPopup();
  }
};

}  // namespace

const std::vector<std::string>& HVACTypeEntries() {
  static const std::vector<std::string> kEntries = {"Residential in return",
                                                    "Commercial after outdoor mixed",
                                                    "Commercial clean outdoor only ", "In supply"};
  return kEntries;
}

const std::vector<std::string>& PollutantClassEntries() {
  static const std::vector<std::string> kEntries = {"VOC", "PM", "O3", "Other"};
  return kEntries;
}

void GetUnitsFromForm(ScenarioRecord& scenario, QWidget& window) {
  for (const char* name : {"number", "micrograms", "milligrams"}) {
    auto* option = window.findChild<QRadioButton*>(name);
    if (option != nullptr && option->isChecked()) {
      scenario.ConcUnits = name;
      return;
    }
  }
  scenario.ConcUnits = "milligrams";
  if (auto* mg = window.findChild<QRadioButton*>("milligrams")) mg->setChecked(true);
}

// --- The window ----------------------------------------------------------------------------

ScenarioEditor::ScenarioEditor(MainContext& context, QWidget* parent)
    : QMainWindow(parent), ctx_(context) {
  setObjectName("mainscenarioform");
  setWindowTitle("Scenario data entry");
  BuildControls();
  BuildMenus();
  WireCommands();
  WireEvents();
}

ScenarioEditor::~ScenarioEditor() = default;

void ScenarioEditor::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* top_frame = NewPanel(central, "TopFrame");
  auto* top_layout = new QHBoxLayout(top_frame);
  top_layout->setContentsMargins(TwipsToPixels(360), 4, 4, 4);
  edit_cell_ = NewEditCell(top_frame);
  edit_cell_->setFixedWidth(TwipsToPixels(3495));
  top_layout->addWidget(edit_cell_);
  top_layout->addStretch(1);
  top_frame->setMinimumHeight(TwipsToPixels(525));
  layout->addWidget(top_frame);

  auto* body = new QHBoxLayout();
  grid_ = new FlexGrid(central);
  grid_->setObjectName("ScenarioSS");
  grid_->SetCols(2);
  grid_->SetRows(row::kCount);
  // The grid asks for the size of all its rows and columns, so that the window's hint
  // shows every row.
  grid_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  grid_->SetFitCells(true);
  body->addWidget(grid_, 1);

  auto* options_frame = new QFrame(central);
  options_frame->setObjectName("Frame4");
  options_frame->setFixedWidth(TwipsToPixels(kOptionsFrameWidthTwips));
  auto* side = new QVBoxLayout(options_frame);
  auto* class_label = new QLabel("Select class of pollutant from list", options_frame);
  class_label->setObjectName("Label1");
  class_label->setWordWrap(true);
  auto* classes = new ClassCombo(options_frame);
  pollutant_type_ = classes;
  pollutant_type_->setObjectName("PollutantType");
  pollutant_type_->setEditable(true);
  pollutant_type_->setInsertPolicy(QComboBox::NoInsert);
  for (const std::string& e : PollutantClassEntries()) pollutant_type_->addItem(ToQt(e));
  pollutant_type_->setCurrentIndex(0);
  auto* hvac_label =
      new QLabel("Select type of HVAC system and air cleaner location from list", options_frame);
  hvac_label->setObjectName("Label2");
  hvac_label->setWordWrap(true);
  type_hvac_ = new QComboBox(options_frame);
  type_hvac_->setObjectName("TypeHVAC");
  for (const std::string& e : HVACTypeEntries()) type_hvac_->addItem(ToQt(e));
  auto* units_frame = new QGroupBox("Concentration units", options_frame);
  units_frame->setObjectName("Frame1");
  auto* units = new QVBoxLayout(units_frame);
  number_ = new QRadioButton("#/cc", units_frame);
  number_->setObjectName("number");
  micrograms_ = new QRadioButton(ToQt("\xB5g/m3"), units_frame);
  micrograms_->setObjectName("micrograms");
  milligrams_ = new QRadioButton("mg/m3", units_frame);
  milligrams_->setObjectName("milligrams");
  units->addWidget(number_);
  units->addWidget(micrograms_);
  units->addWidget(milligrams_);
  side->addWidget(class_label);
  side->addWidget(pollutant_type_);
  side->addWidget(hvac_label);
  side->addWidget(type_hvac_);
  side->addWidget(units_frame);
  side->addStretch(1);
  body->addWidget(options_frame);
  layout->addLayout(body, 1);
  setCentralWidget(central);
  SetMinimumTwips(*this, kMinWidthTwips, kMinHeightTwips);

  edit_ = new GridEdit(*grid_, *edit_cell_, ctx_.prompt, GridEdit::Wiring::Automatic, this);
  edit_->SetSharedFlags(&ctx_.windows.cell_edit_active, &ctx_.windows.grid_events_enabled);
  edit_->SetNumberCells([](int r, int) { return IsScenarioNumberRow(r); });
  // The scenario's name and comments go into its file.
  edit_->SetFileText(true);
}

QSize ScenarioEditor::sizeHint() const {
  QSize hint = QMainWindow::sizeHint();
  // The layout takes only the menu bar's height; narrower than all its titles, the bar
  // folds the last menus (Window, Help, PM Changes) behind its extension button.
  hint.setWidth(std::max(hint.width(), menuBar()->sizeHint().width()));
  return hint.expandedTo(minimumSize());
}

QSize ScenarioEditorSize(MainContext& context) {
  ScenarioEditor probe(context);
  BuildingRecord building = context.state.Building;
  FillGeneralScenarioGrid(probe.ScenarioSS(), building, nullptr);
  return probe.sizeHint();
}

void ScenarioEditor::BuildMenus() {
  BuildMenuLines(*menuBar(), menus::kScenarioEditor);
  if (auto* list = menuBar()->findChild<QAction*>("WindowsList")) MakeWindowList(*list, *this);
}

void ScenarioEditor::WireCommands() {
  // The reports print the record: edits not yet transferred stay in the grid.
  auto print = [this](InputReport r) {
    return [this, r] { PrintInputReport(ctx_.printer, ctx_.state.Building, r); };
  };
  auto units = [this] { GetUnitsFromForm(ctx_.state.Building.Scenario, *this); };
  // The room-to-room flows are room data as well: the scenario room window's Cancel no
  // longer asks once they have been opened.
  auto room_flows = [this](int16_t set) {
    return [this, set] {
      ctx_.state.RoomDataTransferred = true;
      OpenRoomFlows(ctx_, this, set);
    };
  };
  // One line a menu item, keyed by its object name; an input window is added here and in
  // menus.txt.
  commands_ = {
      {"FileNew", [this] { FileNew(); }},
      {"FileLoad", [this] { FileOpen(); }},
      {"FileSave", [this] { FileSave(); }},
      {"PrinterSetup", [this] { ctx_.printer.Setup(); }},
      {"ScenarioSummary", print(InputReport::Summary)},
      {"ScenarioHVACFlows", print(InputReport::HVACFlows)},
      {"ScenarioNaturalFlows", print(InputReport::NaturalFlows)},
      {"PrintSources", print(InputReport::Sources)},
      {"PrintSinks", print(InputReport::Sinks)},
      {"PrintAll", print(InputReport::Scenario)},
      {"FileTransfer", [this] { Transfer(); }},
      {"FileCancel", [this] { Cancel(); }},
      {"Transfer", [this] { Transfer(); }},
      {"cancel", [this] { Cancel(); }},
      {"HVACAirClean",
       [this, units] {
         units();
         OpenHVACForm(ctx_, this);
       }},
      {"HVACSources", [this] { HVACSources(); }},
      {"HVACFlows",
       [this, units] {
         units();
         OpenBaseHVACFlows(ctx_, this);
       }},
      {"HVACHist",
       [this] {
         if (ReadGrid()) OpenHVACFlowHistory(ctx_, this);
       }},
      {"HVACRoomtoroom", room_flows(kHVACFlowSet)},
      {"Outflows",
       [this, units] {
         units();
         if (ReadGrid()) ShowOutdoorFlows(ctx_, this);
       }},
      {"Ventilation",
       [this, units] {
         units();
         OpenVentilationForm(ctx_, this);
       }},
      {"NaturalRoomtoRoom", room_flows(kNaturalFlowSet)},
      {"ManHVACFlow", [this] { OpenManagedHVACFlows(ctx_, this); }},
      {"ManRoomtoRoom", room_flows(kManagedFlowSet)},
      {"definepollutants", [this] { DefinePollutants(); }},
      {"Rooms",
       [this] {
         const int16_t n = PollutantCountOfGrid();
         if (n == 0) return;
         ctx_.state.Building.Scenario.NumPollutants = n;
         OpenScenarioRooms(ctx_, this);
       }},
      {"Occupancy", [this] { Occupancy(); }},
      {"Risk",
       [this] {
         // An empty title is the program's own.
         ctx_.prompt.Message("This feature is not currently implemented.", "", MessageIcon::None);
       }},
      {"Calculator", [this] { ToolsCalculator(ctx_); }},
      {"Units", [this] { ToolsUnitsConversion(ctx_); }},
      {"WindowCascade", [this] { CascadeWindows(this); }},
      {"WindowTile", [this] { TileWindows(this); }},
      {"Help", [this] { ctx_.help.ShowHelp("RovozUzav.HLP", "Scenario form"); }},
      {"version17changes", [this] { ctx_.help.ShowHelp("RIRozid.HLP", "Scenario"); }},
  };
  for (const auto& [name, command] : commands_) {
    for (QAction* a : menuBar()->findChildren<QAction*>(QString::fromStdString(name))) {
      if (a->menu() != nullptr) continue;
      connect(a, &QAction::triggered, this, [this, name = name] { RunCommand(name); });
    }
  }
}

void ScenarioEditor::WireEvents() {
  ScenarioRecord& s = ctx_.state.Building.Scenario;
  const std::pair<QRadioButton*, const char*> options[] = {
      {number_, "number"}, {micrograms_, "micrograms"}, {milligrams_, "milligrams"}};
  for (const auto& [option, word] : options) {
    connect(option, &QRadioButton::clicked, this, [&s, option = option, word = word] {
      if (option->isChecked()) s.ConcUnits = word;
    });
  }

  // The class list: typing in it, picking an entry, opening it, entering and leaving it.
  connect(pollutant_type_->lineEdit(), &QLineEdit::textEdited, this,
          [this] { ClassChanged(false, true, true, true); });
  connect(pollutant_type_, &QComboBox::activated, this,
          [this] { ClassChanged(false, false, true, true); });
  static_cast<ClassCombo*>(pollutant_type_)->on_drop_down = [this] {
    ClassChanged(true, false, true, true);
  };
  pollutant_type_->installEventFilter(this);
  pollutant_type_->lineEdit()->installEventFilter(this);

  // The years and hours rows follow each other when either is changed.
  connect(edit_, &GridEdit::CellCommitted, this, [this](int r, int) {
    if (r != row::kYears && r != row::kHours) return;
    // The coupled row is written where it stands; the commit's own move (Enter down) then
    // starts from the cell typed, so the next entry lands in the next row.
    const int row = grid_->Row();
    const int col = grid_->Col();
    CoupleYearsAndHours(*grid_, r);
    grid_->SetRowCol(row, col);
    grid_->setFocus(Qt::OtherFocusReason);
  });
}

bool ScenarioEditor::eventFilter(QObject* watched, QEvent* event) {
  if (watched == pollutant_type_ || watched == pollutant_type_->lineEdit()) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
      const auto reason = static_cast<QFocusEvent*>(event)->reason();
      // The list's own popup and a switch to another program are no entering or leaving.
      if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
        if (event->type() == QEvent::FocusIn) {
          ClassChanged(false, false, true, false);
        } else {
          ClassChanged(false, false, true, true);
        }
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void ScenarioEditor::ClassChanged(bool units_first, bool units_after, bool write_cell,
                                  bool update_class) {
  ScenarioRecord& s = ctx_.state.Building.Scenario;
  if (units_first) GetUnitsFromForm(s, *this);
  if (write_cell) {
    grid_->SetRowCol(row::kPollutantClass, 1);
    grid_->SetText(FromQt(pollutant_type_->currentText()));
  }
  if (units_after) GetUnitsFromForm(s, *this);
  if (update_class) UpdateClass();
}

void ScenarioEditor::UpdateClass() {
  ScenarioRecord& s = ctx_.state.Building.Scenario;
  s.PollutantClass = FromQt(pollutant_type_->currentText());
  number_->setText(StartsWithPM(s.PollutantClass.str()) ? kParticleCaption : "PPM");
}

void ScenarioEditor::RunCommand(const std::string& name) {
  RunNamedCommand(*edit_, commands_, name);
  // A scenario opened, made new or transferred ends the results of the one before on the
  // screen at once.
  ResultsAreCurrent(ctx_);
}

void ScenarioEditor::Load() {
  ProgramState& st = ctx_.state;
  const int32_t type = st.Building.Scenario.HVACType;
  SetupFormUnits();
  // A type that no entry stands for (from a file) selects none rather than another type.
  type_hvac_->setCurrentIndex(type < 1 ? 0 : (type <= type_hvac_->count() ? type - 1 : -1));
  filled_hvac_type_ = type_hvac_->currentIndex();
  SetupFormUnits();
}

void ScenarioEditor::FillGrid() {
  const QSignalBlocker quiet(grid_);
  FillGeneralScenarioGrid(*grid_, ctx_.state.Building, pollutant_type_);
  KeepGridAsStored();
}

void ScenarioEditor::KeepGridAsStored() {
  filled_.clear();
  for (int r = 0; r < grid_->Rows(); ++r) filled_.push_back(grid_->TextMatrix(r, 1));
  filled_hvac_type_ = type_hvac_->currentIndex();
}

bool ScenarioEditor::HoldsEdits() const {
  if (edit_->CellEditActive()) return true;
  if (type_hvac_->currentIndex() != filled_hvac_type_) return true;
  if (static_cast<int>(filled_.size()) != grid_->Rows()) return true;
  for (int r = 0; r < grid_->Rows(); ++r)
    if (grid_->TextMatrix(r, 1) != filled_[static_cast<size_t>(r)]) return true;
  return false;
}

void ScenarioEditor::SetupFormUnits() {
  ScenarioRecord& s = ctx_.state.Building.Scenario;
  if (StartsWithPM(s.PollutantClass.str())) {
    number_->setText(kParticleCaption);
    if (s.OutdoorConcUnits.empty()) s.OutdoorConcUnits = "number";
  } else {
    number_->setText("ppm");
    if (s.OutdoorConcUnits.empty()) s.OutdoorConcUnits = "milligrams";
  }
  if (s.ConcUnits == "ppm" || s.ConcUnits == "number") {
    number_->setChecked(true);
  } else if (s.ConcUnits == "micrograms") {
    micrograms_->setChecked(true);
  } else if (s.ConcUnits == "milligrams") {
    milligrams_->setChecked(true);
  } else {
    UncheckAll({number_, micrograms_, milligrams_});
  }
}

bool ScenarioEditor::ReadGrid() {
  if (!ReadGeneralScenarioGrid(*grid_, ctx_.state.Building, type_hvac_->currentIndex(),
                               ctx_.prompt)) {
    return false;
  }
  // The record holds what the grid shows now: closing the window loses none of it.
  KeepGridAsStored();
  return true;
}

int16_t ScenarioEditor::PollutantCountOfGrid() const {
  const std::optional<int16_t> n = RoundToInt16(CellValue(*grid_, row::kNumPollutants, 1));
  if (n && *n >= 1 && *n <= kMaxPollutants) return *n;
  ctx_.prompt.Message("Warning.  Number of pollutants must be from 1 to 8.  Reenter data.",
                      "Warning", MessageIcon::Exclamation);
  grid_->SetRowCol(row::kNumPollutants, 1);
  return 0;
}

// --- File commands ---------------------------------------------------------------------------

bool ScenarioEditor::ConfirmLoss(const char* question, const char* title, MessageIcon icon) const {
  // Each of these questions throws the unsaved scenario away on Yes: Enter keeps it.
  return ctx_.prompt.AskYesNoDefault(question, title, icon, Answer::No) == Answer::Yes;
}

void ScenarioEditor::FileNew() {
  ProgramState& st = ctx_.state;
  if (!ConfirmLoss(kNewQuestion, "WARNING", MessageIcon::None)) return;
  ClearScenario(st);
  st.ScenarioSaved = false;
  st.ConcentrationsCalculated = false;
  st.OccupantDataComplete = false;
  InitializeScenario(st);
  FillGrid();
  st.ScenarioSaved = false;
  ClearSavedFlags(st);
  st.ConcentrationsCalculated = false;
  // The lists and options show the emptied scenario, not the one before.
  Load();
}

void ScenarioEditor::FileOpen() {
  ProgramState& st = ctx_.state;
  if (!ConfirmLoss(kOpenQuestion, "Warning", MessageIcon::None)) return;
  st.ConcentrationsCalculated = false;
  if (st.Building.MasterFile.empty()) st.Building.MasterFile = "Temp";
  st.OccupantDataComplete = false;
  st.CurrentFileName.clear();

  FileDialogRequest request =
      FileRequest(kScenarioFilter, kScenarioExtensionNoDot, "", "Open scenario");
  request.initial_folder = st.ScenarioFolder;
  request.initial_name = st.Building.MasterFile + ".Sen";
  // Names are case-sensitive here and Save writes ".SEN": offer the scenario file of that
  // name as the folder spells it, so that taking the offer finds it.
  if (const auto found = FindFileAnyCase(st.ScenarioFolder, request.initial_name)) {
    request.initial_name = std::filesystem::path(*found).filename().string();
  }
  const std::optional<std::string> chosen = ctx_.dialogs.OpenFileName(request);
  if (!chosen) return;
  st.CurrentFileName = *chosen;
  if (ctx_.windows.dialog_cancelled || chosen->find('*') != std::string::npos) return;
  const std::string file = WithDefaultExtension(*chosen, kScenarioExtensionNoDot);
  st.CurrentFileName = file;
  st.ScenarioFolder = FolderOf(file);

  // The first item names the layout; each reader asks about the file's building, resets the
  // scenario and reads the whole file before the model changes.
  ScenarioFileRead read = ScenarioLayoutOfFile(file) == ScenarioLayout::Current
                              ? NewReadScenario(st.Building, file, ctx_.prompt)
                              : ReadScenarioFile(st.Building, file, ctx_.prompt);
  if (CommitScenarioRead(std::move(read), st.Building) != ScenarioReadResult::Read) return;

  FillGrid();
  SetSavedFlags(st);
  Load();
  show();
}

void ScenarioEditor::FileSave() {
  ProgramState& st = ctx_.state;
  // What is in the grid is what the user means to save.
  if (!ReadGrid()) return;
  FileDialogRequest request =
      FileRequest(kScenarioFilter, kScenarioExtensionNoDot, "", "Save scenario");
  request.initial_folder = st.ScenarioFolder;
  const std::optional<std::string> chosen = ctx_.dialogs.SaveFileName(request);
  if (!chosen) return;
  const std::string file = WithDefaultExtension(*chosen, kScenarioExtensionNoDot);
  std::string units;
  if (number_->isChecked()) units = "number";
  if (micrograms_->isChecked()) units = "micrograms";
  if (milligrams_->isChecked()) units = "milligrams";
  if (!NewSaveScenario(st.Building, units, file, ctx_.prompt)) {
    return;
  }
  st.ScenarioSaved = true;
  st.ScenarioFolder = FolderOf(file);
  SetSavedFlags(st);
}

void ScenarioEditor::Transfer() {
  ProgramState& st = ctx_.state;
  BuildingRecord& b = st.Building;
  if (!ReadGrid()) return;
  ConvertScenarioUnits(b.Scenario, b.NumRooms);
  Unload();
  // The exposure needs every occupant's schedule: the first that never leaves (no first
  // leave time) makes the data incomplete.
  const int occupants = OccupantCount(b.Scenario);
  for (int i = 1; i <= occupants; ++i) {
    if (b.Scenario.Occupants[static_cast<size_t>(i)].TimeLeave[1] == 0) {
      st.OccupantDataComplete = false;
      break;
    }
    st.OccupantDataComplete = true;
  }
}

bool ScenarioEditor::AgreeToClose(const char* unsaved_question) const {
  // Values typed and not transferred are lost by any closing but Transfer: the question
  // says so, and stands for the one about the file too.
  if (HoldsEdits()) return ConfirmLoss(kLoseEditsQuestion, "Warning", MessageIcon::Critical);
  return ctx_.state.ScenarioSaved ||
         ConfirmLoss(unsaved_question, "Warning", MessageIcon::Critical);
}

void ScenarioEditor::Cancel() {
  if (!AgreeToClose(kCancelQuestion)) return;
  close_confirmed_ = true;
  Unload();
}

void ScenarioEditor::closeEvent(QCloseEvent* event) {
  if (!close_confirmed_ && !AgreeToClose(kCloseQuestion)) {
    event->ignore();
    return;
  }
  close_confirmed_ = false;
  event->accept();
}

void ScenarioEditor::Unload() {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    sub->close();
  } else {
    close();
  }
}

// --- Openers of the input windows ----------------------------------------------------------

void ScenarioEditor::HVACSources() {
  // Room 0 stands for the HVAC system. Its first source slot is opened (NumSources(0) at
  // least 1) only together with the source window.
  ctx_.state.Building.RoomList[0].Name = "HVAC";
  int16_t& count = ctx_.state.Building.Scenario.NumSources[0];
  count = std::max<int16_t>(count, 1);
  OpenRoomSources(ctx_, 0, this);
}

void ScenarioEditor::Occupancy() {
  ScenarioRecord& s = ctx_.state.Building.Scenario;
  if (!ReadGrid()) return;
  if (s.NumOccupants == 0) {
    ctx_.prompt.Message("Number of occupants was defined as 0.", "Occupancy data",
                        MessageIcon::None);
    return;
  }
  GetUnitsFromForm(s, *this);
  OpenOccupantForm(ctx_, this);
}

void ScenarioEditor::DefinePollutants() {
  GetUnitsFromForm(ctx_.state.Building.Scenario, *this);
  grid_->SetRowCol(row::kPollutantClass, 1);
  UpdateClass();
  const int16_t n = PollutantCountOfGrid();
  if (n == 0) return;
  ctx_.state.Building.Scenario.NumPollutants = n;
  OpenPollutantForm(ctx_, this);
}

// --- Opening from the building window ------------------------------------------------------

ScenarioEditor* OpenScenarioEditor(MainContext& context, QMdiArea* area, QWidget* opener) {
  const bool open_already = AppWindows().Find<ScenarioEditor>() != nullptr;
  ScenarioEditor* editor =
      AppWindows().Load<ScenarioEditor>([&context] { return new ScenarioEditor(context); });
  QWidget* frame = editor;
  if (!open_already) {
    if (area != nullptr) {
      QMdiSubWindow* sub = area->addSubWindow(editor);
      sub->setAttribute(Qt::WA_DeleteOnClose);
      // At the frame's top left corner, where the building window it replaces was; the
      // frame fits it into its area when it is shown.
      sub->move(TwipsToPixels(kLeftTopTwips), TwipsToPixels(kLeftTopTwips));
      frame = sub;
    }
    WindowRegistry::HideOpenerWhileOpen(editor, opener);
    editor->Load();
  } else if (auto* sub = qobject_cast<QMdiSubWindow*>(editor->parentWidget())) {
    frame = sub;
  }
  if (open_already && editor->HoldsEdits()) {
    // Filled again from the record, it would lose what the user typed and has not
    // transferred: it comes forward as it is.
    frame->show();
    editor->show();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(frame)) {
      if (QMdiArea* editor_area = sub->mdiArea()) editor_area->setActiveSubWindow(sub);
    }
    frame->raise();
    editor->activateWindow();
    return editor;
  }
  editor->ScenarioSS().setVisible(false);
  editor->ScenarioSS().SetRedraw(false);
  editor->FillGrid();
  // Opened at the size that shows the whole window; the frame fits it into its area.
  if (!open_already && frame != editor) frame->resize(frame->sizeHint());
  frame->show();
  editor->show();
  editor->SetupFormUnits();
  editor->ScenarioSS().setVisible(true);
  editor->ScenarioSS().SetRedraw(true);
  editor->ScenarioSS().setFocus(Qt::OtherFocusReason);
  return editor;
}

}  // namespace quarn
