#pragma once

#include <string>
#include <vector>

#include "ui/common/input_form.h"
#include "ui/grids/hvac_grids.h"

class QLabel;
class QLineEdit;

namespace quarn {

// The steady HVAC flows of the scenario, room by room: the air the system supplies to
// each room, returns from it and exhausts from it to outdoors, and the system's own
// exchange with outdoors. One window serves the base flows and the managed flows with the
// period they apply in; its opener sets the layout and fills it from the record.
class HVACFlowSSForm : public InputForm {
  Q_OBJECT

 public:
  explicit HVACFlowSSForm(MainContext& context);

  QLineEdit& StartTime() { return *start_time_; }
  QLineEdit& StopTime() { return *stop_time_; }
  HVACGridLayout Layout() const { return layout_; }

  // Fills the window from the record in one of its two modes and puts the cursor on the
  // Outdoors row's Supply cell.
  void FillBase();
  void FillManaged();

  void Transfer() override;

  // File commands.
  void FileNew();
  void FileOpen();
  void FileSave();
  void FilePrint();

 protected:
  void AfterEditCommand() override;
  void AfterCellCommit(int row, int col) override;

 private:
  HVACGridFrame Frame() const;
  // The cells the flow file holds, in its order: the Outdoors row's Supply, Return and
  // "----" cells, then each room's Supply, Return and Exhaust.
  struct CellPos {
    int row;
    int col;
    bool label = false;  // the Outdoors row's "----", which holds no value
  };
  std::vector<CellPos> FileCells() const;
  void Retotal();
  // After a fill: the mode's caption and boxes, the cursor on the Outdoors row's Supply.
  void Filled(const char* caption, bool with_times);
  // The Start and Stop boxes and their labels belong to the managed flows.
  void ShowTimes(bool shown);
  void PlaceCursor(int row, int col);
  void OnEnterCell();
  void OnGridKeyDown(int& key_code, int shift);

  QLabel* start_label_ = nullptr;
  QLineEdit* start_time_ = nullptr;
  QLabel* stop_label_ = nullptr;
  QLineEdit* stop_time_ = nullptr;

  HVACGridLayout layout_ = HVACGridLayout::Base;
  ManagedTimes shown_times_;
  // The grid's cursor rules act only while this is set; code that moves the cursor itself
  // clears it.
  bool cursor_events_ = false;
  int left_col_ = 0;  // the column the cursor last left
};

// The openers of the scenario editor: the window in base or managed mode, filled from the
// record, the editor out of use while it is open. An open window is brought forward as is.
void OpenBaseHVACFlows(MainContext& context, QWidget* opener);
void OpenManagedHVACFlows(MainContext& context, QWidget* opener);

}  // namespace quarn
