#pragma once

#include "model/random_flow_history.h"
#include "ui/common/input_form.h"
#include "ui/grids/history_grids.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quarn {

// The HVAC flow history: up to 50 points of time and fraction of the base HVAC flows in
// the grid HVACHistss, which flows they scale, whether they repeat as a cycle, and a
// random on/off history made from a fraction of time on. Transfer reads the grid and the
// options back into the scenario; the .FHI files save and open them.
class HVACFlowHistory : public InputForm {
  Q_OBJECT

 public:
  explicit HVACFlowHistory(MainContext& context);

  // The grid and both option pairs from the record; the cursor on row 1, column 1.
  void FillFromRecord();
  // Where the random generator draws from (the program's own numbers until then).
  void SetRandomSource(UniformSource source) { random_ = std::move(source); }

  void Transfer() override;

 private:
  void BuildControls();
  HVACHistoryOptions Options() const;
  void ShowOptions(const HVACHistoryOptions& options);
  void OpenFile();
  void SaveFile();
  void Print();
  void AskCancel();
  void GenerateRandom();

  QLineEdit* fraction_on_ = nullptr;
  QRadioButton* option_all_ = nullptr;
  QRadioButton* option_outdoor_ = nullptr;
  QRadioButton* yes_option_ = nullptr;
  QRadioButton* no_option_ = nullptr;
  UniformSource random_ = ProgramUniform;
};

// HVAC > Variable HVAC flows of the scenario editor: the window filled from the record,
// the editor out of use while it is open.
HVACFlowHistory* OpenHVACFlowHistory(MainContext& context, QWidget* opener);

}  // namespace quarn
