#include "ui/tools/convert_diameters_form.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "model/diameter_conversion.h"
#include "model/prompt.h"
#include "platform/help_service.h"
#include "platform/qt_text.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/common/number_entry.h"

namespace quarn {

ConvertDiametersForm::ConvertDiametersForm(Prompt& prompt, HelpService& help, QWidget* parent)
    : QWidget(parent), prompt_(prompt), help_(help) {
  setObjectName("frmConvertDiameters");
  setWindowTitle(ToQt("Convert particle diameters"));
  auto* layout = new QVBoxLayout(this);
  boxes_ = new QWidget(this);
  auto* form = new QFormLayout(boxes_);
  form->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(boxes_);
  temp_c_ = AddBox("TempC", "Label1", "Temperature C", "22");
  pressure_ = AddBox("PressureA", "Label2", "Pressure atm", "1");
  d_physical_ = AddBox("DPhysical", "Label3", "Physical diameter \xB5m", ".01");
  d_aero_ = AddBox("Daero", "Label4", "Aerodynamic diameter \xB5m", ".05");
  density_ = AddBox("Density", "Label5", "Density g/cc", "1");

  // The caption is the window's own, spelling and all.
  auto* frame = new QGroupBox("Click button to calculate", this);
  frame->setObjectName("Frame1");
  auto* buttons = new QHBoxLayout(frame);
  auto button = [this, frame, buttons](const char* name, const char* caption, auto press) {
    auto* b = new QPushButton(caption, frame);
    b->setObjectName(name);
    connect(b, &QPushButton::clicked, this, press);
    buttons->addWidget(b);
  };
  button("btnCalculateAerodiam", "&Aerodynamic", [this] { CalculateAerodiam(); });
  button("btnCalculatePhysical", "&Physical", [this] { CalculatePhysical(); });
  button("btnExit", "E&xit", [this] { close(); });
  button("btnHelp", "&Help", [this] { help_.ShowHelp("RovozUzav.HLP", ""); });
  layout->addWidget(frame);
}

QLineEdit* ConvertDiametersForm::AddBox(const char* name, const char* label_name, const char* label,
                                        const char* initial) {
  auto* caption = new QLabel(ToQt(label), boxes_);
  caption->setObjectName(label_name);
  auto* box = new QLineEdit(ToQt(initial), boxes_);
  box->setObjectName(name);
  RestrictToNumbers(*box, prompt_);
  static_cast<QFormLayout*>(boxes_->layout())->addRow(caption, box);
  return box;
}

float ConvertDiametersForm::Read(const QLineEdit& box) const {
  return BoxSingle(box);
}

void ConvertDiametersForm::InputError() {
  // An empty title is the program's own.
  prompt_.Message("Error in input data. Please check your input and try again.", "",
                  MessageIcon::None);
}

std::optional<ConvertDiametersForm::Inputs> ConvertDiametersForm::ReadInputs(
    const QLineEdit& diameter) {
  const Inputs in{Read(*temp_c_), Read(*pressure_), Read(diameter), Read(*density_)};
  if (DiameterInputsValid(in.temp_c, in.p, in.d, in.rho)) return in;
  InputError();
  return std::nullopt;
}

void ConvertDiametersForm::WriteResult(QLineEdit& box, float diameter, bool found,
                                       const char* pattern) {
  if (!found || !std::isfinite(diameter)) {
    InputError();
    return;
  }
  box.setText(ToQt(FormatPattern(diameter, pattern)));
}

void ConvertDiametersForm::CalculateAerodiam() {
  const auto in = ReadInputs(*d_physical_);
  if (!in) return;
  const DiameterResult da = AerodynamicDiameter(in->d, in->temp_c, in->p, in->rho);
  WriteResult(*d_aero_, da.diameter, da.converged, "#0.##### \xB5m");
}

void ConvertDiametersForm::CalculatePhysical() {
  const auto in = ReadInputs(*d_aero_);
  if (!in) return;
  const DiameterResult dp = PhysicalDiameter(in->d, in->temp_c, in->p, in->rho);
  WriteResult(*d_physical_, dp.diameter, dp.converged, "#0.#### \xB5m");
}

}  // namespace quarn
