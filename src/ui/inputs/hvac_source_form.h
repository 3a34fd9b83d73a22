#pragma once

#include <array>
#include <string>

#include "model/records.h"
#include "ui/common/input_form.h"
#include "ui/grids/source_grids.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace quarn {

class UpDown;

// "HVAC Source": the sources of the HVAC system (room 0), one at a time, on a copy of
// them taken when the window opens; only Transfer copies it back into the scenario. No
// command opens it: the scenario editor shows the HVAC sources in the room source window.
class HVACSourceForm : public InputForm {
  Q_OBJECT

 public:
  explicit HVACSourceForm(MainContext& context);

  // Takes the window's copy of every HVAC source and shows source 1.
  void Open();
  void Transfer() override;

  // Shows the window's copy of HVAC source `slot`.
  void ShowHVACSource(int slot);
  // The shown source back into the copy, rebuilt from the scenario's record and the
  // window; false, storing nothing, when its schedule is refused.
  bool StoreHVACSource();
  // The copy of HVAC source `slot` becomes `source`, shown at once when it is the shown one.
  void TakeSource(int slot, const SourceRecord& source);

  int ShownSource() const { return slot_; }
  FlexGrid& GeneralSourceDataGrid() { return *schedule_; }
  FlexGrid& ParameterGrid() { return *parameters_; }

 protected:
  bool CloseBox() override;

 private:
  void BuildControls();
  void ShowUnits();
  void ChooseModel(int model);
  void CountChanged(const QString& text);
  void StepSource(int step);
  void OpenFile();
  void SaveFile();
  int Count() const;

  // Laid out as the HVAC slots of the scenario's sources, slot 0 included.
  std::array<SourceRecord, kMaxSources + 1> hvac_source_work_{};
  int slot_ = 1;
  int chosen_model_ = 0;
  SourceWindowValues values_;

  FlexGrid* schedule_ = nullptr;
  FlexGrid* parameters_ = nullptr;
  QLineEdit* count_ = nullptr;
  UpDown* source_spin_ = nullptr;
  QLabel* source_number_ = nullptr;
  QLabel* msg_ = nullptr;
  QComboBox* model_ = nullptr;
  std::array<QRadioButton*, 3> units_{};
  QLineEdit* total_mass_ = nullptr;
};

// The name of a model in the HVAC source window's list, which ends in one "Spill"; the
// models past the list keep their room source window names.
std::string HVACModelName(int model);

// Opens the HVAC source window at the frame's top left on source 1; an open one is brought
// forward as it is.
HVACSourceForm* OpenHVACSourceForm(MainContext& context);

}  // namespace quarn
