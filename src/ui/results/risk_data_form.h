#pragma once

#include <array>
#include <string>

#include "ui/common/input_form.h"

class QLineEdit;

namespace quarn {

class DataControl;

// One record of the same table at a time, in boxes the user may edit before copying them
// into pollutant 0 (Transfer) or into a small risk data file. The table is read only: an
// edit in a box is dropped by moving to another record.
class RiskDataForm : public InputForm {
  Q_OBJECT

 public:
  explicit RiskDataForm(MainContext& context);

  // The boxes, in the order of the table's fields: Pollutant, IrritantConcentration,
  // CancerRisk, OdorConcentration, ThresholdConcentration, Comments, Reference.
  QLineEdit& PollutantName() { return *boxes_[0]; }
  QLineEdit& Irritant() { return *boxes_[1]; }
  QLineEdit& Cancer() { return *boxes_[2]; }
  QLineEdit& Text1() { return *boxes_[3]; }
  QLineEdit& Text2() { return *boxes_[4]; }
  QLineEdit& Comments() { return *boxes_[5]; }
  QLineEdit& ReferencesBox() { return *boxes_[6]; }
  DataControl& Data1() { return *data_; }

  // Transfer and Return to main menu: the boxes into pollutant 0, then the window closes.
  void Transfer() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildBoxes();
  void ShowRecord();
  void OpenRiskFile();
  void SaveRiskFile();
  void OpenRiskDatabase();
  void EditFocusedBox(const char* command);  // Copy, Cut, Clear or Paste by item name

  std::array<QLineEdit*, 7> boxes_{};
  // The box the Edit commands work on: the one that last had the focus.
  QLineEdit* edit_target_ = nullptr;
  DataControl* data_ = nullptr;
};

// The window's opener; no command of the program calls it. The window exists once: an open
// one is brought forward as it is. A new one is centred.
RiskDataForm* ShowRiskDataForm(MainContext& context, QWidget* opener);

}  // namespace quarn
