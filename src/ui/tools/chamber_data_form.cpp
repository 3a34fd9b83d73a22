#include "ui/tools/chamber_data_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>

#include "files/chamber_data_file.h"
#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/graph.h"
#include "platform/help_service.h"
#include "platform/hourglass.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/common/about_form.h"
#include "ui/common/form_helpers.h"
#include "ui/common/number_entry.h"
#include "ui/common/tool_openers.h"
#include "ui/common/window_links.h"
#include "ui/common/window_tiling.h"
#include "ui/grids/grid_cells.h"
#include "ui/grids/source_grids.h"
#include "ui/tools/menu_tables.h"
#include "ui/tools/r0k_plot_form.h"

namespace quarn {

namespace {

constexpr int kCols = 5;
constexpr int kRows = 300;
constexpr int kTimeCol = 1;
constexpr int kConcCol = 2;
constexpr int kPredictedCol = 3;
constexpr int kResidualCol = 4;
constexpr int kPointColTwips = 700;
constexpr int kDataColTwips = 1500;
constexpr int kWidthTwips = 9600;
constexpr int kHeightTwips = 7800;

constexpr const char* kHeaders[kCols] = {"Point", "Time", "Concentration", "Predicted",
                                         "Residual "};
// The characters of a number, the exponent's letters among them: they start an entry from
// the grid and are all that Text1 takes.
constexpr std::string_view kNumberKeys = "0123456789.+-Ee";

constexpr const char* kHelpFile = "RovozUzav.HLP";
constexpr const char* kFileName = "*.dat";
constexpr const char* kTooManyPoints = "Error.  A chamber test holds at most 1000 points.";

struct HelpItem {
  const char* name;
  const char* key;
};
constexpr HelpItem kHelpItems[] = {{"helpenvironment", "Chamber environment"},
                                   {"helpconcentration", "Chamber concentration"},
                                   {"helpcalculate", "Calculate R0 k"},
                                   {"helpprint", "Contents"},
                                   {"helpplot", "Plot R0 k results"}};

bool IsNumberKey(int ch) {
  return ch > 0 && ch < 128 && kNumberKeys.find(static_cast<char>(ch)) != std::string_view::npos;
}

// A time cell without a character other than blanks ends the data.
bool IsBlank(const std::string& text) {
  return text.find_first_not_of(' ') == std::string::npos;
}

// The number at the start of a result box, read past its thousands separators.
float ResultValue(const QLineEdit& box) {
  return ToSingle(LeadingNumber(RemoveCommas(FromQt(box.text()))));
}

// The results in the plain number form, which keeps their digits: under fixed-decimal masks a
// zero sum or residual, or a k of 4E-05, would show as the point alone, and a whole-number
// mask nothing for the R0 of most tests.
std::string ResultText(double value) {
  return FormatSingle(static_cast<float>(value));
}

std::string R0Text(float r0) {
  return ResultText(r0) + " mg/m2/h";
}

std::string KText(float k) {
  return ResultText(k) + " 1/h";
}

// A box and its label on a new row of the frame's grid layout.
QLineEdit* AddBox(QWidget* parent, const char* name, const char* label, const char* caption) {
  auto* grid = static_cast<QGridLayout*>(parent->layout());
  const int row = grid->rowCount();
  auto* text = new QLabel(ToQt(caption), parent);
  text->setObjectName(label);
  grid->addWidget(text, row, 0);
  auto* box = NamedBox(parent, name);
  grid->addWidget(box, row, 1);
  return box;
}

}  // namespace

ChamberDataForm::ChamberDataForm(MainContext& context, QWidget* owner)
    : InputForm(context, "DataInForm", "R0 k Source Model Calculator") {
  // A window of its own over the source window, which waits for it.
  setParent(owner, Qt::Window);
  if (owner != nullptr) setWindowModality(Qt::WindowModal);
  BuildControls();
  InputForm::BuildMenus(menus::kChamberDataForm);
  BuildCommands();
  resize(TwipsToPixels(kWidthTwips), TwipsToPixels(kHeightTwips));
}

void ChamberDataForm::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  fit_for_ = new QLabel(central);
  fit_for_->setObjectName("FitFor");
  layout->addWidget(fit_for_);
  auto* top = new QHBoxLayout();
  layout->addLayout(top);

  auto* environment = new QGroupBox("Environmental data", central);
  environment->setObjectName("Frame2");
  new QGridLayout(environment);
  volume_ = AddBox(environment, "Volume", "Label1", "Chamber Volume m3");
  ach_ = AddBox(environment, "ach", "Label2", "Air exchange rate/h");
  area_ = AddBox(environment, "areatext", "Label3", "Source Area m2");
  peak_ = AddBox(environment, "Peaktext", "Label4", "Estimated peak conc");
  peak_time_ = AddBox(environment, "peakt", "Label5", "Estimated time for peak");
  top->addWidget(environment, 1);

  auto* results = new QGroupBox("Results", central);
  results->setObjectName("Frame3");
  auto* results_layout = new QGridLayout(results);
  auto* heading = new QLabel("R0", results);
  heading->setObjectName("R0");
  results_layout->addWidget(heading, 0, 1);
  r0result_ = AddBox(results, "r0result", "Label8", "R0");
  kresult_ = AddBox(results, "kresult", "Label7", "k");
  sumsqrsresult_ = AddBox(results, "sumsqrsresult", "Label6", "Sum of squares");
  const int row = results_layout->rowCount();
  auto* iteration = new QLabel("Iteration #", results);
  iteration->setObjectName("IterationLabel");
  results_layout->addWidget(iteration, row, 0);
  iteration_nr_ = new QLabel(results);
  iteration_nr_->setObjectName("IterationNr");
  results_layout->addWidget(iteration_nr_, row, 1);
  top->addWidget(results, 1);

  auto* entry = new QGroupBox("Time/Concentration data entry", central);
  entry->setObjectName("Frame1");
  auto* entry_layout = new QVBoxLayout(entry);
  entry_box_ = new EditCellBox(entry);
  entry_box_->setObjectName("Text1");
  entry_layout->addWidget(entry_box_);
  grid_ = new FlexGrid(entry);
  grid_->setObjectName("Grid1");
  entry_layout->addWidget(grid_, 1);
  layout->addWidget(entry, 1);
  setCentralWidget(central);

  for (QLineEdit* box : {volume_, ach_, area_, peak_, peak_time_}) {
    RestrictToNumbers(*box, ctx_.prompt);
    connect(box, &QLineEdit::textEdited, this, &ChamberDataForm::DataChanged);
  }
  connect(r0result_, &QLineEdit::textEdited, this, [this] {
    r0_typed_ = true;
    fit_failed_ = false;
    DataChanged();
  });
  connect(kresult_, &QLineEdit::textEdited, this, [this] {
    k_typed_ = true;
    fit_failed_ = false;
    DataChanged();
  });
  connect(sumsqrsresult_, &QLineEdit::textEdited, this, [this] { saved_ = false; });
}

void ChamberDataForm::BuildCommands() {
  // The block commands only: the keys of the grid and of Text1 are this window's own. The
  // session's box stays hidden and unused, so that the commit every block command starts
  // with never writes the always-shown Text1 into a cell.
  auto* block_box = new EditCellBox(this);
  block_box->setObjectName("BlockEditBox");
  blocks_ = new GridEdit(*grid_, *block_box, ctx_.prompt, GridEdit::Wiring::Manual, this);
  blocks_->SetSharedFlags(&ctx_.windows.cell_edit_active, &ctx_.windows.grid_events_enabled);
  // Every cell is a time or a concentration: a pasted value is judged as a typed one.
  blocks_->SetNumericOnly(true);
  connect(grid_, &FlexGrid::KeyDown, this, [this](int&, int) { entered_ = true; });
  connect(grid_, &FlexGrid::KeyPress, this, &ChamberDataForm::GridKeyPress);
  connect(grid_, &FlexGrid::RowColChange, this, &ChamberDataForm::LoadEntryBox);
  connect(grid_, &FlexGrid::Click, this, &ChamberDataForm::GridClick);
  connect(entry_box_, &EditCellBox::KeyDown, this, &ChamberDataForm::EntryKeyDown);
  connect(entry_box_, &EditCellBox::KeyPress, this, &ChamberDataForm::EntryKeyPress);
  connect(entry_box_, &QLineEdit::textEdited, this, &ChamberDataForm::EntryEdited);

  SetCommand("filenew", [this] { FileNew(); });
  SetCommand("fileopen", [this] { FileOpen(); });
  SetCommand("filesave", [this] { FileSave(false); });
  SetCommand("filesaveas", [this] { FileSave(true); });
  SetCommand("fileprint", [this] { PrintWindow(); });
  SetCommand("EditCopy", [this] { blocks_->Copy(); });
  SetCommand("EditCut", [this] { BlockCommand(&GridEdit::Cut); });
  SetCommand("EditPaste", [this] { BlockCommand(&GridEdit::Paste); });
  SetShortcut("EditCopy", QKeySequence::Copy);
  SetShortcut("EditPaste", QKeySequence::Paste);
  SetCommand("EditInsert", [this] { InsertRow(); });
  SetCommand("Editdelete", [this] { DeleteRow(); });
  SetCommand("calculateR0k", [this] { RunR0kFit(); });
  SetCommand("calculatedPredicted", [this] { CalculatePredicted(); });
  SetCommand("plot", [this] { PlotChamberFit(); });
  for (const HelpItem& item : kHelpItems) {
    const std::string key = item.key;
    SetCommand(item.name, [this, key] { ctx_.help.ShowHelp(kHelpFile, key); });
  }
  SetCommand("helpabout", [this] { ShowAboutForm(ctx_.identity, this); });
}

void ChamberDataForm::SetupChamberGrid() {
  entered_ = false;
  grid_->SetCols(kCols);
  grid_->SetRows(kRows);
  grid_->SetFixedRows(1);
  grid_->SetFixedCols(1);
  grid_->SetColWidth(0, kPointColTwips);
  for (int c = 0; c < kCols; ++c) {
    grid_->SetTextMatrix(0, c, kHeaders[c]);
    if (c > 0) grid_->SetColWidth(c, kDataColTwips);
  }
  for (int r = 1; r < kRows; ++r) {
    grid_->SetTextMatrix(r, 0, std::to_string(r));
    for (int c = 1; c < kCols; ++c) grid_->SetTextMatrix(r, c, "");
  }
  for (QLineEdit* box : {volume_, ach_, area_, peak_, peak_time_}) box->clear();
  ProgramState& st = ctx_.state;
  ChamberDataRecord& record = st.ChamberData;
  record.Volume = record.AirChangeRate = record.SourceArea = 0;
  record.PeakConc = record.PeakTime = 0;
  st.FittedR0 = 0;
  st.FittedK = 0;
  // A new test is saved under a name of its own.
  st.ChamberFileName.clear();
  r0result_->clear();
  kresult_->clear();
  sumsqrsresult_->clear();
  r0_typed_ = k_typed_ = false;
  grid_->SetRowCol(1, kTimeCol);
  entry_box_->clear();
}

bool ChamberDataForm::GetChamberData(ChamberDataRecord& record) {
  int n = 0;
  while (n + 1 < grid_->Rows() && !IsBlank(grid_->TextMatrix(n + 1, kTimeCol))) ++n;
  if (n > kMaxChamberPoints) {
    ctx_.prompt.Message(kTooManyPoints, "Error", MessageIcon::Critical);
    return false;
  }
  record.Volume = BoxSingle(*volume_);
  record.AirChangeRate = BoxSingle(*ach_);
  record.SourceArea = BoxSingle(*area_);
  record.PeakConc = BoxSingle(*peak_);
  record.PeakTime = BoxSingle(*peak_time_);
  for (int i = 1; i <= n; ++i) {
    record.Times[i] = CellSingle(*grid_, i, kTimeCol);
    record.Concs[i] = CellSingle(*grid_, i, kConcCol);
  }
  record.NumPoints = static_cast<int16_t>(n);
  return true;
}

void ChamberDataForm::ShowChamberData(const ChamberDataRecord& record) {
  const int n = ChamberPointCount(record);
  // A test of more points than the grid has rows gets the rows it needs.
  if (n + 1 > grid_->Rows()) {
    const int first_new = grid_->Rows();
    grid_->SetRows(n + 1);
    for (int r = first_new; r <= n; ++r) grid_->SetTextMatrix(r, 0, std::to_string(r));
  }
  for (int i = 1; i <= n; ++i) {
    grid_->SetNumber(i, kTimeCol, record.Times[i], SignSingle(record.Times[i]));
    grid_->SetNumber(i, kConcCol, record.Concs[i], SignSingle(record.Concs[i]));
    grid_->SetTextMatrix(i, kPredictedCol, "");
    grid_->SetTextMatrix(i, kResidualCol, "");
  }
  for (int r = n + 1; r < grid_->Rows(); ++r) {
    for (int c = 1; c < kCols; ++c) grid_->SetTextMatrix(r, c, "");
  }
  const float values[] = {record.Volume, record.AirChangeRate, record.SourceArea, record.PeakConc,
                          record.PeakTime};
  QLineEdit* boxes[] = {volume_, ach_, area_, peak_, peak_time_};
  for (size_t i = 0; i < std::size(boxes); ++i) boxes[i]->setText(ToQt(FormatSingle(values[i])));
  r0result_->setText(ToQt(FormatSingle(ctx_.state.FittedR0)));
  kresult_->setText(ToQt(FormatSingle(ctx_.state.FittedK)));
  r0_typed_ = k_typed_ = false;
  LoadEntryBox();
}

void ChamberDataForm::DataChanged() {
  entered_ = true;
  saved_ = false;
}

bool ChamberDataForm::CheckChamber(const ChamberDataRecord& record) {
  if (record.Volume > 0 && record.AirChangeRate > 0 && record.SourceArea > 0) return true;
  // The fit's check says what is missing, the environment first.
  return CheckChamberData(record, false, ctx_.prompt);
}

void ChamberDataForm::ShowIteration(int iteration) {
  iteration_nr_->setText(ToQt(FormatPattern(iteration, "####")));
  iteration_nr_->repaint();
}

void ChamberDataForm::ShowR0(float r0) {
  r0result_->setText(ToQt(R0Text(r0)));
  r0result_->repaint();
}

void ChamberDataForm::ShowK(float k) {
  kresult_->setText(ToQt(KText(k)));
  kresult_->repaint();
}

void ChamberDataForm::RunR0kFit() {
  Hourglass wait;
  ProgramState& st = ctx_.state;
  ChamberDataRecord& record = st.ChamberData;
  if (!GetChamberData(record)) return;
  float r0 = ResultValue(*r0result_);
  float k = ResultValue(*kresult_);
  const bool estimated = r0 == 0;
  if (!CheckChamberData(record, estimated, ctx_.prompt)) return;
  if (estimated) {
    const R0k start = EstimateR0k(record);
    r0 = start.r0;
    k = start.k;
  }
  ChamberPoints predicted{};
  // A fit that did not converge leaves R0 = k = 0, and no sum of squares to show.
  fit_failed_ = FitR0k(r0, k, record, predicted, *this, ctx_.prompt) || r0 <= 0;
  ShowR0(r0);
  ShowK(k);
  st.FittedR0 = r0;
  st.FittedK = k;
  st.WorkSource.Params[0][0] = r0;
  st.WorkSource.Params[1][0] = k;
  sumsqrsresult_->clear();
  if (!fit_failed_) {
    PredictChamberConcentration(r0, k, record, predicted);
    ChamberPoints residuals{};
    sumsqrsresult_->setText(ToQt(ResultText(SumSquaredResiduals(record, predicted, residuals))));
  }
  r0_typed_ = k_typed_ = false;
  DataChanged();
}

void ChamberDataForm::CalculatePredicted() {
  ProgramState& st = ctx_.state;
  ChamberDataRecord& record = st.ChamberData;
  if (!GetChamberData(record) || !CheckChamber(record)) return;
  ChamberPoints predicted{};
  PredictChamberConcentration(st.FittedR0, st.FittedK, record, predicted);
  for (int i = 1; i <= ChamberPointCount(record); ++i) {
    const double residual = record.Concs[i] - predicted[i];
    grid_->SetNumber(i, kPredictedCol, predicted[i], ResultText(predicted[i]));
    grid_->SetNumber(i, kResidualCol, residual, ResultText(residual));
  }
}

void ChamberDataForm::PlotChamberFit() {
  ProgramState& st = ctx_.state;
  ChamberDataRecord& record = st.ChamberData;
  if (!GetChamberData(record) || !CheckChamber(record)) return;
  R0kPlotForm* plot = ShowR0kPlot();
  ChamberPoints predicted{};
  PredictChamberConcentration(st.FittedR0, st.FittedK, record, predicted);
  GraphData graph = plot->R0kGraph().data();
  graph.sets.clear();
  graph.Set(1).legend = "Data";
  graph.Set(1).markers = true;
  graph.Set(2).legend = "Fit";
  const int n = ChamberPointCount(record);
  graph.Resize(2, n);
  for (int i = 1; i <= n; ++i) {
    graph.Point(1, i).x = record.Times[i];
    graph.Point(1, i).y = record.Concs[i];
    graph.Point(2, i).x = record.Times[i];
    graph.Point(2, i).y = predicted[i];
  }
  plot->R0kGraph().SetData(graph);
}

// --- File commands -------------------------------------------------------------------

bool ChamberDataForm::FileSave(bool ask_name) {
  ProgramState& st = ctx_.state;
  std::string name = st.ChamberFileName;
  if (ask_name || name.empty()) {
    const auto chosen = ctx_.dialogs.SaveFileName(FileRequest(
        ask_name ? "Data Files (*.dat)|*.dat" : "Data files (*.dat)|*.dat", "dat", kFileName));
    if (!chosen) return false;
    name = *chosen;
  }
  ChamberDataRecord record = st.ChamberData;
  if (!GetChamberData(record)) return false;
  if (!WriteChamberDataFile(name, record, st.FittedR0, st.FittedK, ctx_.prompt)) return false;
  st.ChamberData = record;
  st.ChamberFileName = name;
  saved_ = true;
  return true;
}

void ChamberDataForm::FileOpen() {
  const auto chosen =
      ctx_.dialogs.OpenFileName(FileRequest("Data files (*.dat)|*.dat", "dat", kFileName));
  if (!chosen) return;
  Hourglass wait;
  ProgramState& st = ctx_.state;
  const std::optional<ChamberFileContents> read = ReadChamberDataFile(*chosen, ctx_.prompt);
  if (!read) return;
  st.ChamberData = read->record;
  st.FittedR0 = read->fitted_r0;
  st.FittedK = read->fitted_k;
  st.ChamberFileName = *chosen;
  ShowChamberData(st.ChamberData);
  saved_ = true;
  entered_ = true;
}

Answer ChamberDataForm::SaveQuestion() {
  if (!entered_ || saved_) return Answer::No;
  const Answer answer = ctx_.prompt.AskYesNoCancel("File not saved.Do you wish to save it now?",
                                                   "File not saved", MessageIcon::Critical);
  // A save that did not happen (a cancelled dialog, a file that could not be written) leaves
  // the command undone, as Cancel does.
  if (answer == Answer::Yes && !FileSave(false)) return Answer::Cancel;
  return answer;
}

void ChamberDataForm::FileNew() {
  const Answer answer = SaveQuestion();
  // Yes keeps the saved data in the window.
  if (answer != Answer::No) return;
  SetupChamberGrid();
  saved_ = true;
}

void ChamberDataForm::PrintWindow() {
  ctx_.printer.Setup();
  PrintCommand job(ctx_.printer);
  job.Window(*this);
}

// --- Close and return ----------------------------------------------------------------

void ChamberDataForm::ShowFitFor(int room, int slot) {
  const BuildingRecord& b = ctx_.state.Building;
  if (room < 0 || room > kMaxRooms || slot < 1 || slot > kMaxSources) return;
  // The source window may show a name typed but not yet transferred.
  std::string name = b.Scenario.Sources[room][slot].Name;
  if (SourceFitLink* sources = AppWindows().FindAs<SourceFitLink>();
      sources != nullptr && sources->Shows(room, slot))
    name = sources->ShownSourceName();
  const std::string where = room == 0
                                ? std::string("HVAC system")
                                : "Room " + std::to_string(room) + " " + b.RoomList[room].Name;
  fit_for_->setText(ToQt("Fit for " + where + ", source " + std::to_string(slot) + " " + name));
}

bool ChamberDataForm::ReturnFit() {
  if (SaveQuestion() == Answer::Cancel) return false;
  ProgramState& st = ctx_.state;
  const float r0 = r0_typed_ ? ResultValue(*r0result_) : st.FittedR0;
  const float k = k_typed_ ? ResultValue(*kresult_) : st.FittedK;
  // Without a fitted R0, or after a fit that failed, the source keeps its model and
  // parameters.
  if (r0 > 0 && !fit_failed_) {
    st.WorkSource.Params[0][0] = r0;
    st.WorkSource.Params[1][0] = k;
    if (SourceFitLink* sources = AppWindows().FindAs<SourceFitLink>()) {
      sources->StoreFit(st.WorkSource);
    } else if (StoreFitInScenario(st.WorkSource, st, ctx_.prompt)) {
      st.ScenarioSaved = false;
    }
  }
  ctx_.windows.grid_events_enabled = true;
  return true;
}

void ChamberDataForm::Transfer() {
  if (ReturnFit()) CloseForm();
}

bool ChamberDataForm::CloseBox() {
  return ReturnFit();
}

// --- Grid and edit box -----------------------------------------------------------------

void ChamberDataForm::LoadEntryBox() {
  text_on_entry_ = grid_->Text();
  entry_box_->setText(ToQt(text_on_entry_));
}

void ChamberDataForm::GridKeyPress(int& key_ascii) {
  if (!IsNumberKey(key_ascii)) return;
  const std::string typed(1, static_cast<char>(key_ascii));
  key_ascii = 0;
  grid_->SetText(typed);
  entry_box_->setText(ToQt(typed));
  entry_box_->setFocus(Qt::OtherFocusReason);
  entry_box_->end(false);
  DataChanged();
}

void ChamberDataForm::GridClick() {
  LoadEntryBox();
  entry_box_->setFocus(Qt::MouseFocusReason);
  entered_ = true;
}

void ChamberDataForm::EntryEdited() {
  grid_->SetText(FromQt(entry_box_->text()));
  DataChanged();
}

void ChamberDataForm::EntryKeyPress(int& key_ascii) {
  // Control keys (Backspace, Enter, the shortcuts) pass; of the characters only a number's.
  if (key_ascii >= keycode::kSpace && !IsNumberKey(key_ascii)) key_ascii = 0;
}

void ChamberDataForm::EntryKeyDown(int& key_code, int shift) {
  int row = grid_->Row();
  int col = grid_->Col();
  switch (key_code) {
    case keycode::kEscape:
      // The typing is dropped: the cell is as it was when the cursor came to it.
      key_code = 0;
      grid_->SetText(text_on_entry_);
      LoadEntryBox();
      DataChanged();
      return;
    case keycode::kReturn:
      row = std::min(row + 1, grid_->Rows() - 1);
      break;
    case keycode::kTab:
      col =
          (shift & kShiftMask) != 0 ? std::max(col - 1, kTimeCol) : std::min(col + 1, kResidualCol);
      break;
    case keycode::kLeft:
      col = std::max(col - 1, kTimeCol);
      break;
    case keycode::kRight:
      col = std::min(col + 1, kResidualCol);
      break;
    case keycode::kUp:
      row = std::max(row - 1, 1);
      break;
    case keycode::kDown:
      row = std::min(row + 1, grid_->Rows() - 1);
      break;
    default:
      return;
  }
  key_code = 0;
  grid_->SetText(FromQt(entry_box_->text()));
  grid_->SetRowCol(row, col);
  LoadEntryBox();
  // What is typed next replaces the number of the cell moved to, not runs on after it.
  entry_box_->selectAll();
}

void ChamberDataForm::InsertRow() {
  grid_->InsertRow(grid_->Row());
  LoadEntryBox();
  DataChanged();
}

void ChamberDataForm::DeleteRow() {
  // The last data row stays, so that the grid keeps a cell to type into.
  if (grid_->Rows() <= grid_->FixedRows() + 1) return;
  grid_->RemoveRow(grid_->Row());
  LoadEntryBox();
  DataChanged();
}

void ChamberDataForm::BlockCommand(void (GridEdit::*command)()) {
  (blocks_->*command)();
  LoadEntryBox();
  DataChanged();
}

// --- Opening -----------------------------------------------------------------------------

ChamberDataForm* EditSourceChamberData(MainContext& context, int room) {
  ProgramState& st = context.state;
  if (room < 0 || room > kMaxRooms || st.CurrentSource < 1 || st.CurrentSource > kMaxSources) {
    return nullptr;
  }
  if (ChamberDataForm* open = AppWindows().Find<ChamberDataForm>()) {
    BringForward(*open);
    return open;
  }
  st.CurrentRoom = static_cast<int16_t>(room);
  st.WorkSource = st.Building.Scenario.Sources[room][st.CurrentSource];
  auto* owner = dynamic_cast<QWidget*>(AppWindows().FindAs<SourceFitLink>());
  auto* form = AppWindows().Load<ChamberDataForm>([&] {
    auto* made = new ChamberDataForm(context, owner);
    OwnToolWindow(*made);
    return made;
  });
  form->SetupChamberGrid();
  form->ShowFitFor(room, st.CurrentSource);
  form->show();
  CenterForm(*form);
  BringForward(*form);
  return form;
}

ChamberDataForm* ShowR0kCalculator(MainContext& context, int room) {
  return EditSourceChamberData(context, room);
}

}  // namespace quarn
