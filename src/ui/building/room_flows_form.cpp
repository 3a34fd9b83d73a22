#include "ui/building/room_flows_form.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <algorithm>

#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "text/number_text.h"
#include "ui/building/flow_window_parts.h"
#include "ui/building/menu_tables.h"
#include "ui/common/form_helpers.h"
#include "ui/common/grid_operations.h"
#include "ui/common/window_menu.h"
#include "ui/grids/grid_cells.h"

namespace quarn {
namespace {

constexpr int kLeftTwips = 0;
constexpr int kTopTwips = 10;
constexpr int kInColumn = 2;
constexpr int kOutColumn = 3;
constexpr const char* kTotalsMask = "##,##0.0#";

constexpr const char* kCancelQuestion =
    "Flow data not saved.  Do you wish to exit without saving the flow data?";

const char* Caption(int16_t set) {
  if (set == kHVACFlowSet) return "HVAC driven Room-to-Room flows";
  if (set == kManagedFlowSet) return "Managed Room-to-Room flows";
  return "Natural Room-to-Room flows";
}

}  // namespace

RoomFlowsForm::RoomFlowsForm(MainContext& context)
    : InputForm(context, "RoomFlowsForm", "Room flows"),
      // The editor that chose the set is out of use while this window is open, so the set
      // cannot change under it.
      set_(context.state.FlowSet),
      flows_(LoadRoomFlowSet(context.state.Building.Scenario, set_)) {
  const FlowWindowParts parts =
      MakeFlowWindowParts(*this, "RoomFlowSS", kGridWindowMinWidthTwips, kGridWindowMinHeightTwips);
  topframe_ = parts.topframe;
  edit_cell_ = parts.edit_cell;
  grid_ = parts.grid;
  auto* label = new QLabel("Current Room", topframe_);
  label->setObjectName("LabelC");
  room_number_ = new QLabel(topframe_);
  room_number_->setObjectName("RoomNumber");
  spinner_ = new UpDown(topframe_);
  spinner_->setObjectName("UpDown1");
  room_name_ = new QLabel(topframe_);
  room_name_->setObjectName("RoomName");
  // Before the edit box, which ends the frame's row.
  parts.top->insertWidget(0, label);
  parts.top->insertWidget(1, room_number_);
  parts.top->insertWidget(2, spinner_);
  parts.top->insertWidget(3, room_name_, 1);

  // Number-only: a grouped "1,500" would otherwise be stored as 1.
  AddEditSession(*grid_, *edit_cell_, true);
  // After the session's own key handling, which opens the box on F2.
  connect(grid_, &FlexGrid::KeyDown, this, &RoomFlowsForm::GridKeyDown);
  connect(grid_, &FlexGrid::EnterCell, this, &RoomFlowsForm::GridEnterCell);
  // Through RunCommand, so that a flow still being typed is stored before the room changes.
  SetCommand("UpClick", [this] { StepRoom(1); });
  SetCommand("DownClick", [this] { StepRoom(-1); });
  connect(spinner_, &UpDown::UpClick, this, [this] { RunCommand("UpClick"); });
  connect(spinner_, &UpDown::DownClick, this, [this] { RunCommand("DownClick"); });
  BuildMenus(menus::kRoomFlowsForm);
  SetHelp(kMainHelpFile, "Room-to-room air flows");
}

int RoomFlowsForm::LastFlowRow() const {
  return grid_->Rows() - 2;
}

void RoomFlowsForm::ShowRoom(int16_t room) {
  if (room < 1 || room > RoomCount(ctx_.state.Building)) return;
  {
    const GridEventsOff off(cell_handlers_on_);
    FillRoomFlowGrid(*grid_, ctx_.state.Building, flows_, room, set_);
    // Two key columns and the two flow columns in every set, so that each typed flow lands
    // in a cell that is stored.
    grid_->SetCols(4);
    grid_->SetFixedCols(2);
    grid_->SetRowCol(1, kInColumn);
  }
  // The cell handlers act from now on, however the flag stood before.
  cell_handlers_on_ = true;
  room_ = room;
  room_number_->setText(ToQt(FormatSingle(static_cast<float>(room))));
  room_name_->setText(ToQt(ctx_.state.Building.RoomList[room].Name));
  grid_->setFocus(Qt::OtherFocusReason);
}

void RoomFlowsForm::StepRoom(int step) {
  const int room = room_ + step;
  if (room_ == 0 || room < 1 || room > RoomCount(ctx_.state.Building)) return;
  if (!FlowsValid()) return;
  StoreRoomFlowGrid(*grid_, ctx_.state.Building, flows_, room_, set_);
  ShowRoom(static_cast<int16_t>(room));
}

void RoomFlowsForm::TotalRoomFlows() {
  const int last = LastFlowRow();
  if (last < 1) return;
  float in = 0;
  float out = 0;
  for (int r = 1; r <= last; ++r) {
    in += CellSingle(*grid_, r, kInColumn);
    out += CellSingle(*grid_, r, kOutColumn);
  }
  SetPatternCell(*grid_, last + 1, kInColumn, in, kTotalsMask);
  SetPatternCell(*grid_, last + 1, kOutColumn, out, kTotalsMask);
}

void RoomFlowsForm::GridEnterCell() {
  if (!cell_handlers_on_) return;
  TotalRoomFlows();
  const GridEventsOff off(cell_handlers_on_);
  SkipFlowTotalsRow(*grid_, LastFlowRow());
}

void RoomFlowsForm::GridKeyDown(int& key_code, int shift) {
  WrapFlowGridArrows(*grid_, key_code, shift, LastFlowRow());
}

bool RoomFlowsForm::FlowsValid() {
  return FlowCellsValid(*grid_, 1, LastFlowRow(), kInColumn, kOutColumn, ctx_.prompt);
}

bool RoomFlowsForm::WriteBack() {
  StoreRoomFlowGrid(*grid_, ctx_.state.Building, flows_, room_, set_);
  if (set_ == kNaturalFlowSet &&
      !AgreeToImbalance(ctx_, flows_.from_outdoors, flows_.to_outdoors, flows_.rooms)) {
    return false;
  }
  ReadRoomFlowGrids(flows_, set_, ctx_.state.Building);
  ctx_.state.RoomFlowsSaved = true;
  // The scenario on disk no longer holds these flows, so leaving the program asks first.
  ctx_.state.ScenarioSaved = false;
  ClearEdited();
  return true;
}

void RoomFlowsForm::Transfer() {
  if (FlowsValid() && WriteBack()) CloseForm();
}

void RoomFlowsForm::Cancel() {
  // A window opened and left untouched has nothing to lose, whatever was transferred before.
  if (Edited() && ctx_.prompt.AskYesNoDefault(kCancelQuestion, "Warning", MessageIcon::None,
                                              Answer::No) != Answer::Yes) {
    return;
  }
  CloseForm();
}

RoomFlowsForm* OpenRoomFlows(MainContext& context, QWidget* opener, int16_t set) {
  if (!IsFlowSet(set)) return nullptr;
  if (auto* open = AppWindows().Find<RoomFlowsForm>()) {
    BringForward(*open);
    return open;
  }
  context.state.FlowSet = set;
  RoomFlowsForm* form =
      ShowInputFormOnce<RoomFlowsForm>(context, opener, kLeftTwips, kTopTwips).form;
  form->ShowRoom(1);
  form->setWindowTitle(ToQt(Caption(set)));
  QWidget* outer = OuterFrame(form);
  const QSize hint = outer->sizeHint();
  outer->resize(std::max(hint.width(), TwipsToPixels(kGridWindowMinWidthTwips)),
                std::max(hint.height(), TwipsToPixels(kGridWindowMinHeightTwips)));
  return form;
}

}  // namespace quarn
