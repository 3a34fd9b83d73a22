#include "ui/inputs/room_sink_form.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <string>

#include "files/reference_data.h"
#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "ui/common/form_helpers.h"
#include "ui/common/window_menu.h"
#include "ui/inputs/general_sink_form.h"
#include "ui/inputs/menu_tables.h"
#include "ui/inputs/source_form_parts.h"

namespace quarn {

namespace {

constexpr int kLeftTopTwips = 10;
constexpr double kFrameWidthShare = 0.95;
// ka, kd, the initial mass and the area are numbers; name and comments take every key.
constexpr int kFirstNumberCol = 2;
constexpr int kLastNumberCol = 5;

}  // namespace

RoomSinkForm::RoomSinkForm(MainContext& context)
    : InputForm(context, "SinkdataForm", "Room sink data") {
  BuildControls();
  SetCommand("fileopen", [this] { OpenSinkDatabase(); });
  SetCommand("editclear", [this] { ClearSelection(); });
  SetSpinnerSteps(*this, *change_pollutant_, "PollutantDown", "PollutantUp",
                  [this](int step) { StepPollutant(step); });
  BuildMenus(menus::kRoomSinkForm);
  SetHelp(kMainHelpFile, "sinks");

  GridEdit& edit = AddEditSession(*grid_, *edit_cell_, false);
  edit.SetNumberCells([](int, int col) { return col >= kFirstNumberCol && col <= kLastNumberCol; });
  // Sink data typed here are room data the scenario room window has not transferred.
  connect(edit_cell_, &QLineEdit::textChanged, this,
          [this] { ctx_.state.RoomDataTransferred = false; });

  // The load: the copy of every room's sinks, and the first pollutant's name.
  const BuildingRecord& b = ctx_.state.Building;
  LoadSinkData(work_, b);
  loaded_ = work_;
  ctx_.windows.grid_events_enabled = true;
  pollutant_name_->setText(ToQt(b.Scenario.Pollutants[0].Name));
}

void RoomSinkForm::BuildControls() {
  const EditGridControls controls = BuildEditGrid(*this, "topframe", "Grid1");
  edit_cell_ = controls.box;
  grid_ = controls.grid;
  QFrame* top = controls.frame;
  auto* row = new QHBoxLayout;
  static_cast<QBoxLayout*>(top->layout())->insertLayout(0, row);
  AddLabel(top, *row, "Label3", "Room:");
  room_number_ = AddLabel(top, *row, "RoomNumber", "");
  msg_ = AddLabel(top, *row, "Msg", "");
  AddLabel(top, *row, "Label1", "Pollutant #");
  pollutant_number_ = NamedBox(top, "PollutantNumber");
  // Only the spinner changes the pollutant: the number indexes the pollutant table.
  pollutant_number_->setReadOnly(true);
  row->addWidget(pollutant_number_);
  change_pollutant_ = new UpDown(top);
  change_pollutant_->setObjectName("ChangePollutant");
  row->addWidget(change_pollutant_);
  pollutant_name_ = NamedBox(top, "PollutantName");
  row->addWidget(pollutant_name_);
  auto* spin1 = new UpDown(top);
  spin1->setObjectName("spin1");
  spin1->setEnabled(false);  // it steps nothing
  row->addWidget(spin1);
  SetMinimumTwips(*this, kGridWindowMinWidthTwips, kGridWindowMinHeightTwips);
}

void RoomSinkForm::Open(int16_t room) {
  const BuildingRecord& b = ctx_.state.Building;
  room_ = room;
  held_ = filled_ = SinkSlotCount(b.Scenario, room);
  // The first fill comes from the scenario; the room's name replaces its "No sinks".
  std::string message;
  SetupRoomSinkGrid(*grid_, room, b);
  FillRoomSinkGrid(*grid_, room, b, message);
  room_number_->setText(QString::number(room));
  pollutant_name_->setText(ToQt(b.Scenario.Pollutants[0].Name));
  pollutant_ = 1;
  pollutant_number_->setText("1");
  msg_->setText(ToQt(b.RoomList[room].Name));
}

void RoomSinkForm::Fill() {
  const BuildingRecord& b = ctx_.state.Building;
  std::string message;
  const GridEventsOff off(ctx_.windows.grid_events_enabled);
  pollutant_name_->setText(ToQt(b.Scenario.Pollutants[pollutant_ - 1].Name));
  filled_ = FillSinkDataGrid(*grid_, work_, room_, pollutant_ - 1, b, message);
  msg_->setText(ToQt(message));
}

void RoomSinkForm::StepPollutant(int step) {
  const int next = pollutant_ + step;
  if (next < 1 || next > PollutantCount(ctx_.state.Building.Scenario)) return;
  ReadSinkDataGrid(*grid_, work_, room_, pollutant_ - 1, filled_);
  pollutant_ = next;
  pollutant_number_->setText(QString::number(next));
  TakeAddedSinks();
  Fill();
}

void RoomSinkForm::TakeAddedSinks() {
  const BuildingRecord& b = ctx_.state.Building;
  const int n = SinkSlotCount(b.Scenario, room_);
  // A count that dropped meanwhile gave its slots up: a sink added there later is new.
  for (int s = std::min(held_, n) + 1; s <= n; ++s) {
    work_[room_][s] = loaded_[room_][s] = b.Scenario.Sinks[room_][s];
  }
  held_ = n;
}

void RoomSinkForm::TakeStoredSinks() {
  ReadSinkDataGrid(*grid_, work_, room_, pollutant_ - 1, filled_);
  TakeAddedSinks();
  TakeStoredSinkData(work_, loaded_, room_, ctx_.state.Building);
  Fill();
}

void RoomSinkForm::Transfer() {
  ReadSinkDataGrid(*grid_, work_, room_, pollutant_ - 1, filled_);
  CloseForm();
}

void RoomSinkForm::closeEvent(QCloseEvent* event) {
  InputForm::closeEvent(event);
  if (!event->isAccepted() || stored_) return;
  // However the window closes, the edits of the room shown go into the scenario; the
  // pollutant shown keeps its edits only through Transfer. Fields this window did not
  // change keep what the general sink window stored meanwhile.
  stored_ = true;
  ctx_.state.SinksSaved = true;
  TakeAddedSinks();
  StoreSinkData(work_, loaded_, room_, ctx_.state.Building);
  ctx_.state.ScenarioSaved = false;
  if (auto* general = AppWindows().Find<GeneralSinkForm>()) general->ShowStoredSinks();
}

void RoomSinkForm::ClearSelection() {
  if (ConfirmClearData(ctx_.prompt)) RunRole(MenuRole::Clear);
}

void RoomSinkForm::OpenSinkDatabase() {
  ctx_.state.CurrentFileName.clear();
  const std::optional<std::string> name =
      ctx_.dialogs.OpenFileName(FileRequest("Sink (*.MDB)|*.MDB|All files (*.*)|*.*", "", "*.mdb"));
  if (!name) return;
  ctx_.state.CurrentFileName = *name;
  // Only whether it opens: nothing is read from it yet. A file that is no database says so.
  OpenDatabaseFile(*name, ctx_.prompt);
}

RoomSinkForm* OpenRoomSinks(MainContext& context, int16_t room, QWidget* opener) {
  if (room < 1 || room > kMaxRooms) return nullptr;
  if (RoomSinkForm* open = AppWindows().Find<RoomSinkForm>()) {
    if (open->ShownRoom() == room) {
      BringForward(*open);
      return open;
    }
    open->CloseForm();
  }
  RoomSinkForm* form =
      ShowInputFormOnce<RoomSinkForm>(context, opener, kLeftTopTwips, kLeftTopTwips, false).form;
  SizeToFrameWidth(*form, kFrameWidthShare, kGridWindowMinWidthTwips, kGridWindowMinHeightTwips);
  form->Open(room);
  return form;
}

}  // namespace quarn
