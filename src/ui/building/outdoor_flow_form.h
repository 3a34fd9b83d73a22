#pragma once

#include "ui/common/input_form.h"

class QFrame;

namespace quarn {

// "Outdoor flows": the natural air that enters every room from outdoors and leaves it to
// outdoors, one room a row with a totals row below. Cells are edited in place through the
// number-only box EditCell; Transfer stores rooms 1 to NumRooms into the scenario and
// closes the window, the cancels close it and drop the edits. The flows on screen can be
// saved to a flow file and read back from one; the record's flows are printed.
class OutdoorFlowForm : public InputForm {
  Q_OBJECT

 public:
  explicit OutdoorFlowForm(MainContext& context);

  // The sums of the room rows' in and out flows into the totals row.
  void TotalOutdoorFlows();
  void Transfer() override;

 protected:
  void AfterEditCommand() override { TotalOutdoorFlows(); }
  void AfterCellCommit(int /*row*/, int /*col*/) override { TotalOutdoorFlows(); }

 private:
  void WireCommands();
  void SaveFlowFile();
  void OpenFlowFile();
  void PrintFlows();
  void GridKeyDown(int& key_code, int shift);
  void GridEnterCell();
  int LastRoomRow() const;

  QFrame* topframe_ = nullptr;
};

// Natural flows > Outdoor flows of the scenario editor: the window filled from the record,
// with its opener out of use while it is open.
OutdoorFlowForm* ShowOutdoorFlows(MainContext& context, QWidget* opener);

}  // namespace quarn
