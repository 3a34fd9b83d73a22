#include "ui/main/set_calculate.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "platform/help_service.h"
#include "platform/qt_text.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/common/form_helpers.h"
#include "ui/common/number_entry.h"

namespace quarn {

namespace {

// The box's number, judged as a typed grid cell is: read up to what is no number, "0,5" would
// run with the default step and "7x" as 7. A blank is 0. Nullopt after a message saying why.
std::optional<float> OptionValue(const char* what, const std::string& text, Prompt& prompt) {
  const std::string fault = NumberEntryFault(text);
  if (!fault.empty()) {
    prompt.Message("Error.  " + std::string(what) + ": " + fault, "Error",
                   MessageIcon::Exclamation);
    return std::nullopt;
  }
  return ToSingle(LeadingNumber(StoredNumberText(text)));
}

}  // namespace

bool ApplyCalculationOptions(const std::string& step_text, const std::string& adjust_text,
                             ScenarioRecord& scenario, float& step_adjust_factor, Prompt& prompt) {
  const std::optional<float> step_value =
      OptionValue("The calculation step size", step_text, prompt);
  if (!step_value) return false;
  const std::optional<float> factor_value =
      OptionValue("The step adjustment factor", adjust_text, prompt);
  if (!factor_value) return false;
  const float step = *step_value;
  const float factor = *factor_value;
  if (step < 0) {
    prompt.Message(
        "The calculation step size cannot be negative.  Enter a step in hours, or 0 "
        "for the default of 0.1 hours.",
        "Error", MessageIcon::Exclamation);
    return false;
  }
  if (factor < 0 || (factor > 0 && factor < 1)) {
    prompt.Message(
        "The step adjustment factor must be 0 (no adjustment) or at least 1.  1.2 is "
        "recommended.",
        "Error", MessageIcon::Exclamation);
    return false;
  }
  scenario.StepSize = step == 0 ? 0.1f : step;
  if (scenario.RunSetting2 == 0) scenario.RunSetting2 = 20;
  step_adjust_factor = factor;
  return true;
}

SetCalculate::SetCalculate(MainContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
  setObjectName("SetCalculate");
  setWindowTitle("Set Calculation options");
  auto* layout = new QVBoxLayout(this);
  auto* step_size_caption = new QLabel("Calculation step size, hrs", this);
  step_size_caption->setObjectName("Label1");
  step_size_ = new QLineEdit("0.1", this);
  step_size_->setObjectName("Text1");
  auto* step_adjust_caption = new QLabel("Step adjustment factor (Recommended 1.2)", this);
  step_adjust_caption->setObjectName("Label2");
  step_adjust_ = NamedBox(this, "StepAdjust");
  layout->addWidget(step_size_caption);
  layout->addWidget(step_size_);
  layout->addWidget(step_adjust_caption);
  layout->addWidget(step_adjust_);
  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton("&Ok", this);
  ok->setObjectName("Command1");
  auto* cancel = new QPushButton("&Cancel", this);
  cancel->setObjectName("Command2");
  auto* help = new QPushButton("&Help", this);
  help->setObjectName("HelpButton");
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(help);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &SetCalculate::Ok);
  connect(cancel, &QPushButton::clicked, this, &QDialog::close);
  connect(help, &QPushButton::clicked, this,
          [this] { ctx_.help.ShowHelp(kMainHelpFile, "Calculate options"); });
  ShowCalculationOptions();
}

void SetCalculate::ShowCalculationOptions() {
  step_size_->setText(ToQt(FormatSingle(ctx_.state.Building.Scenario.StepSize)));
  step_adjust_->setText(ToQt(FormatSingle(ctx_.state.StepAdjustFactor)));
}

void SetCalculate::Ok() {
  if (ApplyCalculationOptions(FromQt(step_size_->text()), FromQt(step_adjust_->text()),
                              ctx_.state.Building.Scenario, ctx_.state.StepAdjustFactor,
                              ctx_.prompt)) {
    close();
  }
}

}  // namespace quarn
