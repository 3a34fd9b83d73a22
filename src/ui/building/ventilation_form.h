#pragma once

#include "ui/common/input_form.h"

class QLineEdit;
class QRadioButton;

namespace quarn {

// The ventilation history: up to 50 points of start time and air-change rate in the grid
// VentHistss, and whether they repeat as a cycle. Transfer, Save and (after an edit) the
// close box store them into the scenario; the .VEN files save and open them.
class VentilationForm : public InputForm {
  Q_OBJECT

 public:
  explicit VentilationForm(MainContext& context);

  // The grid and the cycle option from the record; the cursor on row 1, column 1.
  void FillFromRecord();

  void Transfer() override;
  void Cancel() override;

 private:
  void BuildControls();
  // The grid and the option into the record, as Transfer does, without closing.
  void Store();
  void OpenFile();
  void SaveFile();

  QRadioButton* option_yes_ = nullptr;
  QRadioButton* option_no_ = nullptr;
  QLineEdit* file_name_ = nullptr;
};

// Natural flows > Variable outdoor flows of the scenario editor: the window filled from the
// record, the editor out of use while it is open.
VentilationForm* OpenVentilationForm(MainContext& context, QWidget* opener);

}  // namespace quarn
