#include "ui/inputs/scenario_room_form.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <optional>

#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/help_service.h"
#include "platform/qt_text.h"
#include "text/number_read.h"
#include "ui/common/form_helpers.h"
#include "ui/common/window_menu.h"
#include "ui/grids/grid_cells.h"
#include "ui/grids/scenario_room_grids.h"
#include "ui/inputs/general_sink_form.h"
#include "ui/inputs/menu_tables.h"
#include "ui/inputs/room_sink_form.h"
#include "ui/inputs/room_source_form.h"

namespace quarn {

namespace {

constexpr int kLeftTopTwips = 10;
constexpr double kFrameWidthShare = 0.95;
constexpr int kGridBelowFrameTwips = 20;
// Wide enough for "Air Cleaner Eff" on two lines of a header row that holds two lines.
constexpr int kEfficiencyWidthTwips = 1400;
constexpr int kHeaderHeightTwips = 450;

constexpr int kIdCol = 1;
constexpr int kSourcesCol = 2;
constexpr int kSinksCol = 3;
constexpr int kEfficiencyCol = 4;

constexpr const char* kCancelQuestion =
    "Room data have not been transfered.  Do you wish to continue without transferring room "
    "data?";

}  // namespace

ScenarioRoomForm::ScenarioRoomForm(MainContext& context)
    : InputForm(context, "ScenarioRoomForm", "Room Data for scenario") {
  BuildControls();
  BuildMenus(menus::kScenarioRoomForm);
  SetCommand("FileCancel", [this] { AskCancel(); });
  SetCommand("RoomSources", [this] { RoomSources(); });
  SetCommand("SinkGeneral", [this] { GeneralSinks(); });
  SetCommand("SinkRoom", [this] { RoomSinks(); });
  SetCommand("PMHelp", [this] { ctx_.help.ShowHelp("RIRozid.HLP", "Scenario room"); });
  SetHelp(kMainHelpFile, "Scenario room");

  GridEdit& edit = AddEditSession(*grid_, *edit_cell_, false);
  // The counts, efficiency and flow are numbers: "1,500" would be read as 1. The room's
  // name takes every key.
  edit.SetNumberCells([](int, int col) { return col > kIdCol; });
  connect(grid_, &FlexGrid::Click, this, &ScenarioRoomForm::GridClick);
  ctx_.windows.grid_events_enabled = true;
}

void ScenarioRoomForm::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(TwipsToPixels(kGridBelowFrameTwips));
  auto* edit_frame = NewPanel(central, "Frame1");
  auto* top = new QHBoxLayout(edit_frame);
  top->setContentsMargins(4, 4, 4, 4);
  edit_cell_ = NewEditCell(edit_frame);
  top->addWidget(edit_cell_);
  top->addStretch(1);
  layout->addWidget(edit_frame);
  grid_ = new FlexGrid(central);
  grid_->setObjectName("roomss");
  grid_->SetCols(6);
  // The window opens tall enough for every room, thirteen at most, as far as the frame allows.
  grid_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  layout->addWidget(grid_, 1);
  setCentralWidget(central);
  SetMinimumTwips(*this, kGridWindowMinWidthTwips, kGridWindowMinHeightTwips);
}

void ScenarioRoomForm::Fill() {
  grid_->setVisible(false);
  FillScenarioRoomGrid(*grid_, ctx_.state.Building);
  grid_->SetRowCol(1, kSourcesCol);
  grid_->setVisible(true);
  grid_->SetRedraw(true);
}

void ScenarioRoomForm::resizeEvent(QResizeEvent* event) {
  InputForm::resizeEvent(event);
  if (OuterFrame(this)->windowState() != Qt::WindowNoState) return;
  grid_->SetColWidth(kEfficiencyCol, kEfficiencyWidthTwips);
  grid_->SetWordWrap(true);
  grid_->SetRowHeight(0, kHeaderHeightTwips);
}

bool ScenarioRoomForm::Store() {
  if (!ReadScenarioRoomGrid(*grid_, ctx_.state.Building, ctx_.prompt)) return false;
  // Only a read-back that stored counts as transferred, so that Cancel still asks after a
  // refused one.
  ctx_.state.RoomDataTransferred = true;
  ctx_.state.ScenarioSaved = false;
  // What the grid shows is in the scenario now: closing the window loses nothing of it.
  ClearEdited();
  return true;
}

std::string ScenarioRoomForm::RoomText(int16_t room) const {
  const std::string number = "room " + std::to_string(room);
  if (room < 0 || room > kMaxRooms) return number;
  const std::string& name = ctx_.state.Building.RoomList[room].Name;
  return name.empty() ? number : number + " (" + name + ")";
}

int16_t ScenarioRoomForm::RowRoom() const {
  return RoundToInt16(CellValue(*grid_, grid_->Row(), 0)).value_or(0);
}

void ScenarioRoomForm::Transfer() {
  if (Store()) CloseForm();
}

void ScenarioRoomForm::AskCancel() {
  if (!ctx_.state.RoomDataTransferred &&
      ctx_.prompt.AskYesNo(kCancelQuestion, "Warning", MessageIcon::Critical) != Answer::Yes) {
    return;
  }
  CloseForm();
}

void ScenarioRoomForm::GridClick() {
  const int row = grid_->Row();
  const int col = grid_->Col();
  if (col != kSourcesCol && col != kSinksCol) return;
  if (CellValue(*grid_, row, col) == 0) grid_->SetTextMatrix(row, col, "1");
  RunCommand(col == kSourcesCol ? "RoomSources" : "SinkRoom");
}

void ScenarioRoomForm::RoomSources() {
  if (!grid_->HasCurrentCell()) return;
  const int row = grid_->Row();
  const int col = grid_->Col();
  // The count is always the row's "No. Sources", wherever the cursor stood.
  grid_->SetRowCol(row, kSourcesCol);
  if (!Store()) return;
  const int16_t room = RowRoom();
  if (ctx_.state.Building.Scenario.NumSources[room] < 1) {
    ctx_.prompt.Message("No sources in " + RoomText(room) +
                            ".  Give it a number of sources in \"No. Sources\" first.",
                        "No sources", MessageIcon::None);
    return;
  }
  grid_->SetRowCol(row, col);
  selected_room_ = room;
  // This window is out of use until the source window closes, however it closes.
  OpenRoomSources(ctx_, room, this);
}

void ScenarioRoomForm::RoomSinks() {
  if (!grid_->HasCurrentCell()) return;
  const int row = grid_->Row();
  grid_->SetRowCol(row, kSinksCol);
  // Only an exact 0 is no sink: 0.4 opens the window and is stored as 0.
  if (CellValue(*grid_, row, kSinksCol) == 0) {
    ctx_.prompt.Message("No sinks in " + RoomText(RowRoom()) +
                            ".  Give it a number of sinks in \"No. Sinks\" first.",
                        "No sinks", MessageIcon::None);
    return;
  }
  if (!Store()) return;
  grid_->SetRowCol(row, kSinksCol);
  selected_room_ = RowRoom();
  OpenRoomSinks(ctx_, selected_room_, this);
}

void ScenarioRoomForm::GeneralSinks() {
  const int row = grid_->Row();
  const int col = grid_->Col();
  if (!Store()) return;
  grid_->SetRowCol(row, col);
  OpenGeneralSinkForm(ctx_, this);
}

ScenarioRoomForm* OpenScenarioRooms(MainContext& context, QWidget* opener) {
  const bool open = AppWindows().Find<ScenarioRoomForm>() != nullptr;
  // Filled before it is shown, so that its first resize widens the efficiency column over
  // the width the fill gives it.
  ScenarioRoomForm* form = ShowInputForm<ScenarioRoomForm>(
      context, opener,
      [](MainContext& c) {
        auto* f = new ScenarioRoomForm(c);
        f->Fill();
        return f;
      },
      kLeftTopTwips, kLeftTopTwips);
  if (open) return form;
  SizeToFrameWidth(*form, kFrameWidthShare, kGridWindowMinWidthTwips, kGridWindowMinHeightTwips);
  form->Grid().setFocus(Qt::OtherFocusReason);
  return form;
}

}  // namespace quarn
