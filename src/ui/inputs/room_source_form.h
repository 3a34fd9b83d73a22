#pragma once

#include <array>
#include <string>

#include "model/records.h"
#include "ui/common/input_form.h"
#include "ui/common/window_links.h"
#include "ui/grids/source_grids.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace quarn {

class UpDown;

// The source window "Source data": the sources of one room, or of the HVAC system (room 0),
// one at a time, with spinners to the room's other sources and to the other rooms that have
// sources. It edits a copy of every room's sources, taken when it opens; only Transfer
// copies it back into the scenario.
class RoomSourceForm : public InputForm, public SourceFitLink {
  Q_OBJECT

 public:
  explicit RoomSourceForm(MainContext& context);

  // Takes the window's copy of the scenario's sources and shows source 1 of the room.
  void Open(int room);
  void Transfer() override;

  int ShownRoom() const { return room_; }
  // Whether the window shows source `slot` of `room` now.
  bool Shows(int room, int slot) const override { return room == room_ && slot == slot_; }
  FlexGrid& GeneralSourceDataGrid() { return *schedule_; }
  std::string ShownSourceName() override;
  FlexGrid& ParameterGrid() { return *parameters_; }

  // The composition window stored a source's component masses into the scenario while this
  // window was open: its copy of that source takes them, so that Transfer does not write the
  // old copy back over them.
  void TakeStoredSource(int room, int slot);
  // An R0/k fit for Sources(CurrentRoom, CurrentSource), returned by the chamber data window:
  // the window's copy of that source becomes model "R0k" with the fit's R0 and k and no other
  // parameter (TakeR0kFit), shown at once when it is the source shown.
  void StoreFit(const SourceRecord& fit) override;
  // The total-mass box as it reads now, and the model of the source shown.
  std::string TotalMassText() const;
  int ShownModel() const { return values_.source_model; }

 private:
  using Work = std::array<std::array<SourceRecord, kMaxSources + 1>, kRoomSlots>;

  void BuildControls();
  void BuildMenus();
  void SetEditCommands(GridEdit& parameters);
  void ShowSource(int room, int slot);
  void ShowValues();
  // The shown source back into the copy; false when its schedule was refused.
  bool ReadShown();
  // Whether every source the Transfer would store for rooms first to last comes on and can
  // emit; the first that cannot is said and shown.
  bool SourcesMayBeStored(int first, int last);
  void ChooseModel(int model);
  void CountChanged(const QString& text);
  void StepSource(int step);
  void StepRoom(int step);
  int Count(int room) const;
  void OpenFile();
  void SaveFile();
  void PrintSources();
  void CalculateR0k();
  void CalculateTVOC();

  Work work_{};
  // The source count of every room as the window has it; only Transfer stores it.
  std::array<int16_t, kRoomSlots> counts_{};
  int room_ = 0;
  int slot_ = 1;
  int chosen_model_ = 0;
  SourceWindowValues values_;

  FlexGrid* schedule_ = nullptr;
  FlexGrid* parameters_ = nullptr;
  QLineEdit* count_ = nullptr;
  UpDown* source_spin_ = nullptr;
  UpDown* room_spin_ = nullptr;
  QLabel* source_number_ = nullptr;
  QLabel* room_number_ = nullptr;
  QLabel* msg_ = nullptr;
  QComboBox* model_ = nullptr;
  std::array<QRadioButton*, 3> units_{};
  QLineEdit* gas_velocity_ = nullptr;
  QLabel* total_mass_label_ = nullptr;
  QLineEdit* total_mass_ = nullptr;
};

// Opens the source window on source 1 of the room (0 the HVAC system) at the frame's top
// left, the opener out of use until it closes; an open one is brought forward as it is.
RoomSourceForm* OpenRoomSources(MainContext& context, int room, QWidget* opener);

}  // namespace quarn
