#pragma once

#include <cstdint>

#include "ui/common/input_form.h"
#include "ui/grids/flow_grids.h"

class QFrame;
class QLabel;

namespace quarn {

class UpDown;

// The room-to-room flows of one flow set (natural, HVAC-driven or managed, FlowSet when the
// window opens), one room at a time: what enters the room from outdoors, the HVAC system
// and each connected room, and what leaves it to them, with the totals below. The window
// edits a copy of the set; the spinner stores the room on show into the copy and shows the
// next or previous room, Transfer writes the copy into the scenario, Cancel drops it.
class RoomFlowsForm : public InputForm {
  Q_OBJECT

 public:
  explicit RoomFlowsForm(MainContext& context);

  QLabel& RoomNumber() { return *room_number_; }
  QLabel& RoomName() { return *room_name_; }
  UpDown& UpDown1() { return *spinner_; }
  int16_t FlowSet() const { return set_; }

  // Room of the working set into the grid, its number and name beside it.
  void ShowRoom(int16_t room);
  // The sums of the flow rows into the totals row.
  void TotalRoomFlows();

  void Transfer() override;
  void Cancel() override;

 private:
  void StepRoom(int step);
  // Every flow shown is a number of 0 or more; otherwise the user is told (false).
  bool FlowsValid();
  // The flows into the scenario; false, storing nothing, when natural flows that do not
  // balance are kept in the window to be mended.
  bool WriteBack();
  void GridKeyDown(int& key_code, int shift);
  void GridEnterCell();
  // The last row of flows, above the totals.
  int LastFlowRow() const;

  int16_t set_;
  int16_t room_ = 0;
  // The cell handlers act only once a room is shown, and not while the grid is filled.
  bool cell_handlers_on_ = false;
  RoomFlowSet flows_;
  QFrame* topframe_ = nullptr;
  QLabel* room_number_ = nullptr;
  QLabel* room_name_ = nullptr;
  UpDown* spinner_ = nullptr;
};

// The scenario editor's room-to-room flows of a set (kNaturalFlowSet, kHVACFlowSet or
// kManagedFlowSet): the window on room 1, with its opener out of use while it is open.
RoomFlowsForm* OpenRoomFlows(MainContext& context, QWidget* opener, int16_t set);

}  // namespace quarn
