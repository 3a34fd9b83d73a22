#pragma once

#include <QDialog>
#include <string>

#include "model/prompt.h"
#include "model/records.h"
#include "ui/common/main_context.h"

class QLineEdit;

namespace quarn {

// The calculation options of Ok: the step size (0 or a blank gives 0.1 h) and the step
// adjustment factor (0 means no growth). A text that is not one number ("0,5", "7x"; "1,500"
// is 1500, as in the grids), a negative step, and a factor that is negative or between 0 and
// 1 (it would shrink a steady step towards nothing), are refused with a message and change
// nothing. RunSetting2 becomes 20 when it is 0. True when stored.
bool ApplyCalculationOptions(const std::string& step_text, const std::string& adjust_text,
                             ScenarioRecord& scenario, float& step_adjust_factor, Prompt& prompt);

// The calculation options dialog.
class SetCalculate : public QDialog {
  Q_OBJECT

 public:
  explicit SetCalculate(MainContext& context, QWidget* parent = nullptr);
  void ShowCalculationOptions();
  void Ok();

 private:
  MainContext& ctx_;
  QLineEdit* step_size_;
  QLineEdit* step_adjust_;
};

}  // namespace quarn
