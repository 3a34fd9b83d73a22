#include "ui/inputs/general_sink_form.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include <string>

#include "files/window_files.h"
#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/help_service.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "ui/common/form_helpers.h"
#include "ui/common/print_frame.h"
#include "ui/common/window_menu.h"
#include "ui/grids/input_reports.h"
#include "ui/grids/scenario_room_grids.h"
#include "ui/inputs/menu_tables.h"
#include "ui/inputs/room_sink_form.h"
#include "ui/inputs/scenario_room_form.h"
#include "ui/inputs/source_form_parts.h"

namespace quarn {

namespace {

constexpr int kLeftTwips = 5;
constexpr int kFrameTopTwips = 10;
constexpr int kGridLeftTwips = 10;
constexpr int kGridBelowFrameTwips = 50;
constexpr int kPrintPageLines = 67;
// The name is text; ka, kd, the area and the room number are numbers.
constexpr int kFirstNumberCol = 1;
constexpr int kLastNumberCol = 4;
// Where a pollutant step leaves the cursor: on ka's neighbour, kd.
constexpr int kStepCol = 2;

constexpr const char* kFileFilter = "Sink (*.SNK)|*.SNK|All files (*.*)|*.*";

// The window steps through one pollutant at least.
int PollutantsToStep(const ScenarioRecord& s) {
  return std::max(1, PollutantCount(s));
}

QLineEdit* AddBox(QWidget* parent, QBoxLayout& layout, const char* name) {
  auto* box = NamedBox(parent, name);
  // Only the spinner changes the pollutant: the number indexes the sinks' per-pollutant
  // values, and the name is that pollutant's.
  box->setReadOnly(true);
  layout.addWidget(box);
  return box;
}

}  // namespace

GeneralSinkForm::GeneralSinkForm(MainContext& context)
    : InputForm(context, "GeneralSinkForm", "Sink data") {
  BuildControls();
  SetCommand("fileopen", [this] { OpenSinkFile(); });
  SetCommand("filesave", [this] { SaveSinkFile(); });
  SetCommand("FilePrint", [this] { PrintSinks(); });
  SetCommand("PMchanges", [this] { ctx_.help.ShowHelp("RIRozid.HLP", "Sinks"); });
  SetSpinnerSteps(*this, *spinner_, "PollutantDown", "PollutantUp",
                  [this](int step) { StepPollutant(step); });
  BuildMenus(menus::kGeneralSinkForm);
  SetHelp(kMainHelpFile, "Sinks general");
  WireEditing();

  SetupGeneralSinkGrid(*grid_);
  ShowPollutant(0);
  ctx_.windows.grid_events_enabled = true;
}

void GeneralSinkForm::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(TwipsToPixels(kGridLeftTwips), TwipsToPixels(kFrameTopTwips), 0, 0);
  layout->setSpacing(TwipsToPixels(kGridBelowFrameTwips));
  auto* pollutant_frame = NewPanel(central, "Frame1");
  auto* top = new QHBoxLayout(pollutant_frame);
  AddLabel(pollutant_frame, *top, "Sin", "Sink data for pollutant #");
  number_ = AddBox(pollutant_frame, *top, "PollutantNumber");
  number_->setFixedWidth(TwipsToPixels(500));
  spinner_ = new UpDown(pollutant_frame);
  spinner_->setObjectName("UpDown1");
  top->addWidget(spinner_);
  name_ = AddBox(pollutant_frame, *top, "PollutantName");
  top->addStretch(1);
  layout->addWidget(pollutant_frame);
  grid_ = new FlexGrid(central);
  grid_->setObjectName("sinkSS");
  layout->addWidget(grid_, 1);
  // Not in the layout: it is laid over the cell being edited.
  edit_cell_ = NewEditCell(central);
  setCentralWidget(central);
}

void GeneralSinkForm::WireEditing() {
  edit_ = &AddEditSession(*grid_, *edit_cell_, false, GridEdit::Wiring::Manual);
  // The cell keeps its value until the edit is stored, as the box covers it meanwhile.
  edit_->SetMirrorTyping(false);
  edit_->SetNumberCells(
      [](int, int col) { return col >= kFirstNumberCol && col <= kLastNumberCol; });
  connect(grid_, &FlexGrid::KeyDown, this, [this](int& key_code, int shift) {
    if (key_code == keycode::kF2) PlaceEditCell(true);
    edit_->GridKeyDown(key_code, shift);
  });
  connect(grid_, &FlexGrid::KeyPress, this, [this](int& key_ascii) {
    if (!edit_->CellEditActive()) PlaceEditCell(false);
    edit_->GridKeyPress(key_ascii);
  });
  // A double click edits the cell's text as F2 does.
  connect(grid_, &FlexGrid::DblClick, this, [this] {
    PlaceEditCell(true);
    int key_code = keycode::kF2;
    edit_->GridKeyDown(key_code, 0);
  });
  // The text typed reaches the cell when the grid has the focus again or its cursor moves.
  connect(grid_, &FlexGrid::GotFocus, this, [this] { StoreEdit(Qt::OtherFocusReason); });
  connect(grid_, &FlexGrid::LeaveCell, this, [this] { StoreEdit(Qt::OtherFocusReason); });
  connect(edit_cell_, &EditCellBox::LostFocus, this, &GeneralSinkForm::StoreEdit);
  connect(edit_cell_, &EditCellBox::KeyDown, this, &GeneralSinkForm::EditCellKeyDown);
  connect(edit_cell_, &EditCellBox::KeyPress, edit_, &GridEdit::EditCellKeyPress);
}

QSize GeneralSinkForm::sizeHint() const {
  return WithWholeMenuBar(*this, InputForm::sizeHint());
}

void GeneralSinkForm::Load() {
  LoadGeneralSinkForm(*grid_, ctx_.state.Building, rows_);
  grid_->setFocus(Qt::OtherFocusReason);
}

void GeneralSinkForm::ShowPollutant(int p) {
  pollutant_ = p;
  number_->setText(QString::number(p));
  name_->setText(ToQt(ctx_.state.Building.Scenario.Pollutants[static_cast<size_t>(p)].Name));
}

bool GeneralSinkForm::ReadBack() {
  grid_->setVisible(false);
  const bool stored =
      ReadGeneralSinkGrid(pollutant_, *grid_, ctx_.state.Building, rows_, ctx_.prompt);
  if (stored) ctx_.state.ScenarioSaved = false;
  return stored;
}

void GeneralSinkForm::StepPollutant(int step) {
  const int next = pollutant_ + step;
  if (next >= 0 && next < PollutantsToStep(ctx_.state.Building.Scenario)) {
    // The grid of a refused read-back stays on its pollutant for the user to mend.
    if (ReadBack()) {
      ShowPollutant(next);
      FillGeneralSinkGrid(next, *grid_, ctx_.state.Building, rows_);
      grid_->SetRowCol(1, kStepCol);
    }
    grid_->setVisible(true);
    grid_->setFocus(Qt::OtherFocusReason);
  }
}

void GeneralSinkForm::Transfer() {
  if (!ReadBack()) {
    grid_->setVisible(true);
    return;
  }
  ProgramState& state = ctx_.state;
  state.SinksSaved = true;
  CloseForm();
  // The counts this window has set, in the scenario room window's grid when it is open, and
  // the sinks in the room sink window's.
  if (auto* rooms = AppWindows().Find<ScenarioRoomForm>())
    FillRoomCountGrid(rooms->Grid(), state.Building);
  if (auto* room = AppWindows().Find<RoomSinkForm>()) room->TakeStoredSinks();
}

void GeneralSinkForm::ShowStoredSinks() {
  // Edits not yet stored stay: this window's Transfer is the user's later word on them.
  if (Edited()) return;
  FillGeneralSinkGrid(pollutant_, *grid_, ctx_.state.Building, rows_);
  ClearEdited();
}

void GeneralSinkForm::PlaceEditCell(bool on_cell_text) {
  edit_on_cell_text_ = on_cell_text;
  if (!grid_->HasCurrentCell()) return;
  const QPoint at = grid_->geometry().topLeft() +
                    QPoint(TwipsToPixels(grid_->CellLeft()), TwipsToPixels(grid_->CellTop()));
  edit_cell_->setGeometry(at.x(), at.y(), TwipsToPixels(grid_->CellWidth()),
                          TwipsToPixels(grid_->CellHeight()));
  edit_cell_->raise();
}

void GeneralSinkForm::StoreEdit(Qt::FocusReason reason) {
  if (!edit_->CellEditActive()) return;
  // An edit begun on the cell's text stores even an emptied box. One begun by a key holds
  // nothing typed while it is empty (the column may have refused the key), and the cell
  // keeps its value; a menu opening or another window coming forward leaves the edit open.
  if (edit_on_cell_text_ && reason != Qt::PopupFocusReason &&
      reason != Qt::ActiveWindowFocusReason) {
    edit_->CommitOpenEdit();
  } else {
    edit_->EditCellLostFocus(reason);
  }
}

void GeneralSinkForm::EditCellKeyDown(int& key_code, int shift) {
  if (key_code != keycode::kEscape) {
    // Enter and the arrows at the edges of the text store and move, as in every grid.
    edit_->EditCellKeyDown(key_code, shift);
    return;
  }
  // The box goes and the cell keeps what it held.
  int key_ascii = keycode::kEscape;
  edit_->EditCellKeyPress(key_ascii);
  key_code = 0;
}

void GeneralSinkForm::SaveSinkFile() {
  ctx_.state.CurrentFileName.clear();
  // The records hold the grid even when the dialog is then cancelled; a refused grid is
  // not written.
  if (ReadBack()) {
    if (const std::optional<std::string> name =
            ctx_.dialogs.SaveFileName(FileRequest(kFileFilter, "SNK", "*.SNK"))) {
      ctx_.state.CurrentFileName = *name;
      const BuildingRecord& b = ctx_.state.Building;
      WriteGeneralSinkFile(b.Scenario, RoomCount(b), ctx_.state.DataSeparator, *name, ctx_.prompt);
    }
  }
  grid_->setVisible(true);
}

void GeneralSinkForm::OpenSinkFile() {
  ctx_.state.CurrentFileName.clear();
  const std::optional<std::string> name =
      ctx_.dialogs.OpenFileName(FileRequest(kFileFilter, "SNK", "*.SNK"));
  if (!name) return;
  ctx_.state.CurrentFileName = *name;
  BuildingRecord& b = ctx_.state.Building;
  // A damaged file has said so and changed nothing: the grid keeps what was typed.
  if (!ReadGeneralSinkFile(b.Scenario, RoomCount(b), ctx_.state.DataSeparator, *name,
                           ctx_.prompt)) {
    return;
  }
  ctx_.state.ScenarioSaved = false;
  FillGeneralSinkGrid(pollutant_, *grid_, b, rows_);
  if (auto* room = AppWindows().Find<RoomSinkForm>()) room->TakeStoredSinks();
}

void GeneralSinkForm::PrintSinks() {
  PrintReportSection(ctx_.printer, ctx_.state.Building, PrintSinkData, kPrintPageLines);
}

GeneralSinkForm* OpenGeneralSinkForm(MainContext& context, QWidget* opener) {
  // The scenario room window stays in use beside this one.
  const auto [form, open] =
      ShowInputFormOnce<GeneralSinkForm>(context, opener, kLeftTwips, 0, false);
  if (open) return form;
  form->Load();
  FitOuterFrame(form);
  return form;
}

}  // namespace quarn
