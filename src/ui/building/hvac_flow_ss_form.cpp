#include "ui/building/hvac_flow_ss_form.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "files/window_files.h"
#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "text/number_read.h"
#include "ui/building/menu_tables.h"
#include "ui/common/form_helpers.h"
#include "ui/common/number_entry.h"
#include "ui/common/print_frame.h"
#include "ui/grids/grid_cells.h"
#include "ui/grids/input_reports.h"

namespace quarn {

namespace {

constexpr const char* kBaseCaption = "Base HVAC Flows";
constexpr const char* kManagedCaption = "Managed Flows";
constexpr const char* kFlowFilter = "All HVAC flows (*.HVA)|*.HVA|All files (*.*)|*.*";
constexpr int kPrintLinesPerPage = 70;

QLineEdit* TimeBox(const char* name, QWidget* parent, Prompt& prompt) {
  auto* box = NamedBox(parent, name);
  // A time read by its leading number would take "1,500" as 1 without a word.
  RestrictToNumbers(*box, prompt);
  return box;
}

}  // namespace

HVACFlowSSForm::HVACFlowSSForm(MainContext& context)
    : InputForm(context, "HVACFlowSSForm", kBaseCaption) {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  auto* top_frame = new QFrame(central);
  top_frame->setObjectName("topframe");
  auto* top = new QHBoxLayout(top_frame);
  top->setContentsMargins(0, 0, 0, 0);
  edit_cell_ = NewEditCell(top_frame);
  top->addWidget(edit_cell_, 1);
  top_frame->setMinimumHeight(edit_cell_->sizeHint().height());
  layout->addWidget(top_frame);

  auto* times_frame = new QFrame(central);
  times_frame->setObjectName("Frame1");
  auto* times = new QHBoxLayout(times_frame);
  times->setContentsMargins(0, 0, 0, 0);
  start_label_ = new QLabel("Start", times_frame);
  start_label_->setObjectName("StartLabel");
  start_time_ = TimeBox("StartTime", times_frame, ctx_.prompt);
  stop_label_ = new QLabel("Stop", times_frame);
  stop_label_->setObjectName("StopLabel");
  stop_time_ = TimeBox("StopTime", times_frame, ctx_.prompt);
  times->addWidget(start_label_);
  times->addWidget(start_time_);
  times->addWidget(stop_label_);
  times->addWidget(stop_time_);
  times->addStretch(1);
  layout->addWidget(times_frame);

  grid_ = new FlexGrid(central);
  grid_->setObjectName("HVACss");
  // The window opens tall enough for every room and the totals below them, as far as the
  // frame allows.
  grid_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  grid_->setMinimumWidth(TwipsToPixels(6200));
  layout->addWidget(grid_, 1);
  setCentralWidget(central);

  AddEditSession(*grid_, *edit_cell_, true);
  CountAsEdits({start_time_, stop_time_});
  connect(grid_, &FlexGrid::LeaveCell, this, [this] {
    if (cursor_events_) left_col_ = grid_->Col();
  });
  connect(grid_, &FlexGrid::EnterCell, this, [this] { OnEnterCell(); });
  // After the edit session's own handler, which sees every key first.
  connect(grid_, &FlexGrid::KeyDown, this, &HVACFlowSSForm::OnGridKeyDown);

  BuildMenus(menus::kHVACFlowSSForm);
  SetCommand("FileNew", [this] { FileNew(); });
  SetCommand("fileopen", [this] { FileOpen(); });
  SetCommand("fileclose", [this] { FileSave(); });
  SetCommand("FilePrint", [this] { FilePrint(); });
  SetHelp(kMainHelpFile, "Room-to-room air flows");
  resize(TwipsToPixels(6600), TwipsToPixels(5600));
}

HVACGridFrame HVACFlowSSForm::Frame() const {
  return HVACFrameOfGrid(*grid_, layout_);
}

void HVACFlowSSForm::FillBase() {
  const BuildingRecord& b = ctx_.state.Building;
  layout_ = HVACGridLayout::Base;
  cursor_events_ = false;
  SetupHVACRoomFlowGrid(*grid_, b);
  FillHVACFlowGrid(*grid_, b);
  Filled(kBaseCaption, false);
}

void HVACFlowSSForm::FillManaged() {
  const BuildingRecord& b = ctx_.state.Building;
  layout_ = HVACGridLayout::Managed;
  cursor_events_ = false;
  SetupManagedFlowGrid(*grid_, b);
  shown_times_ = FillManagedFlowGrid(*grid_, b);
  start_time_->setText(ToQt(shown_times_.start.text));
  stop_time_->setText(ToQt(shown_times_.stop.text));
  Filled(kManagedCaption, true);
}

void HVACFlowSSForm::Filled(const char* caption, bool with_times) {
  setWindowTitle(caption);
  ShowTimes(with_times);
  PlaceCursor(Frame().Outdoors(), Frame().Supply());
  left_col_ = Frame().Supply();
  ClearEdited();
  grid_->setFocus(Qt::OtherFocusReason);
}

void HVACFlowSSForm::ShowTimes(bool shown) {
  for (QWidget* w :
       std::initializer_list<QWidget*>{start_label_, start_time_, stop_label_, stop_time_}) {
    w->setVisible(shown);
  }
}

void HVACFlowSSForm::PlaceCursor(int row, int col) {
  cursor_events_ = false;
  grid_->SetRowCol(row, col);  // also collapses the selection to the cell
  cursor_events_ = true;
}

void HVACFlowSSForm::OnEnterCell() {
  if (!cursor_events_) return;
  const HVACGridFrame f = Frame();
  int row = grid_->Row();
  int col = grid_->Col();
  // The number and name of a row are no values: its Supply cell is.
  if (col < f.Supply()) col = f.Supply();
  // The totals are the grid's own: back to the Outdoors row, in the column just left.
  if (row >= f.Totals()) {
    row = f.Outdoors();
    col = left_col_ >= f.Supply() ? left_col_ : f.Supply();
  }
  // The Outdoors row has no exhaust.
  if (row == f.Outdoors() && col == f.Exhaust()) col = f.Supply();
  PlaceCursor(row, col);
}

void HVACFlowSSForm::OnGridKeyDown(int& key_code, int shift) {
  // Right arrow in the Exhaust column wraps to the Supply cell of the same row.
  if (key_code != keycode::kRight || (shift & kShiftMask) != 0) return;
  const HVACGridFrame f = Frame();
  if (grid_->Col() != f.Exhaust()) return;
  key_code = 0;
  grid_->SetCol(f.Supply());
}

void HVACFlowSSForm::Retotal() {
  FormatFlowGrid(*grid_, layout_);
}

void HVACFlowSSForm::AfterEditCommand() {
  Retotal();
}

void HVACFlowSSForm::AfterCellCommit(int /*row*/, int /*col*/) {
  Retotal();
}

std::vector<HVACFlowSSForm::CellPos> HVACFlowSSForm::FileCells() const {
  const HVACGridFrame f = Frame();
  std::vector<CellPos> cells = {
      {f.Outdoors(), f.Supply()}, {f.Outdoors(), f.Return()}, {f.Outdoors(), f.Exhaust(), true}};
  for (int r = 1; r <= f.rooms; ++r) {
    for (int col : {f.Supply(), f.Return(), f.Exhaust()}) cells.push_back({f.RoomRow(r), col});
  }
  return cells;
}

void HVACFlowSSForm::FileNew() {
  for (const CellPos& c : FileCells()) {
    if (c.label) continue;
    grid_->SetTextMatrix(c.row, c.col, "");
  }
  Retotal();
  MarkEdited();
}

void HVACFlowSSForm::FileOpen() {
  const auto name = ctx_.dialogs.OpenFileName(FileRequest(kFlowFilter, "HVA", "*.HVA"));
  if (!name) return;
  const HVACGridFrame f = Frame();
  // The reader gives its own message and nothing on a damaged file: the grid stays as is.
  const auto values = ReadHVACFlowFile(f.rooms, *name, ctx_.prompt);
  if (!values) return;
  const std::vector<CellPos> cells = FileCells();
  for (size_t i = 0; i < cells.size() && i < values->size(); ++i) {
    const CellPos& c = cells[i];
    if (c.label) continue;
    SetSingleCell(*grid_, c.row, c.col, ToSingle((*values)[i]));
  }
  Retotal();
  PlaceCursor(f.Outdoors(), f.Supply());
  MarkEdited();
}

void HVACFlowSSForm::FileSave() {
  const auto name = ctx_.dialogs.SaveFileName(FileRequest(kFlowFilter, "HVA", "*.HVA"));
  if (!name) return;
  const HVACGridFrame f = Frame();
  std::vector<double> values;
  for (const CellPos& c : FileCells()) {
    // What the cell shows, as typed: the file holds the numbers the user reads.
    values.push_back(c.label ? 0.0 : LeadingNumber(grid_->TextMatrix(c.row, c.col)));
  }
  WriteHVACFlowFile(values, f.rooms, *name, ctx_.prompt);
}

void HVACFlowSSForm::FilePrint() {
  PrintReportSection(ctx_.printer, ctx_.state.Building, PrintPollutantsAndHVAC, kPrintLinesPerPage);
}

void HVACFlowSSForm::Transfer() {
  ProgramState& st = ctx_.state;
  ScenarioRecord& s = st.Building.Scenario;
  for (const CellPos& c : FileCells()) {
    if (c.label) continue;
    if (!FlowCellsValid(*grid_, c.row, c.row, c.col, c.col, ctx_.prompt)) {
      PlaceCursor(c.row, c.col);
      return;
    }
  }
  if (layout_ == HVACGridLayout::Base) {
    ReadHVACFlowGrid(*grid_, st.Building);
  } else {
    ReadManagedFlowGrid(*grid_, shown_times_, FromQt(start_time_->text()),
                        FromQt(stop_time_->text()), st.Building);
    // The run takes the managed flows only when the flag says so; the scenario grid's read
    // back sets it by the same rule, but that may never come if the editor is cancelled.
    SetManagedFlowFlag(s);
  }
  st.ScenarioSaved = false;
  CloseForm();
}

namespace {

// A new window, or nullptr when one is open already (it is brought forward as it is).
HVACFlowSSForm* NewFlowForm(MainContext& context, QWidget* opener) {
  const auto [form, open] = ShowInputFormOnce<HVACFlowSSForm>(context, opener, 10, 10);
  return open ? nullptr : form;
}

}  // namespace

void OpenBaseHVACFlows(MainContext& context, QWidget* opener) {
  HVACFlowSSForm* form = NewFlowForm(context, opener);
  if (form == nullptr) return;
  form->FillBase();
  context.state.Building.Scenario.HVACInUse = kTrue;
}

void OpenManagedHVACFlows(MainContext& context, QWidget* opener) {
  HVACFlowSSForm* form = NewFlowForm(context, opener);
  if (form == nullptr) return;
  form->FillManaged();
}

}  // namespace quarn
