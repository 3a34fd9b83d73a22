#include "ui/inputs/conc_form_parts.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include "model/unit_conversion.h"
#include "platform/qt_text.h"

namespace quarn {

UnitOptions UnitButtons::Selected() const {
  return {number_or_ppm->isChecked(), micrograms->isChecked(), milligrams->isChecked()};
}

void UnitButtons::Select(const UnitOptions& options) {
  // An exclusive group cannot be emptied by unchecking its button.
  for (QRadioButton* b : {number_or_ppm, micrograms, milligrams}) b->setAutoExclusive(false);
  number_or_ppm->setChecked(options.number_or_ppm);
  micrograms->setChecked(options.micrograms);
  milligrams->setChecked(options.milligrams);
  for (QRadioButton* b : {number_or_ppm, micrograms, milligrams}) b->setAutoExclusive(true);
}

std::string UnitButtons::Units(bool particles, const std::string& unchanged) const {
  if (number_or_ppm->isChecked()) return std::string(particles ? kNumber : kPpm);
  if (micrograms->isChecked()) return std::string(kMicrograms);
  if (milligrams->isChecked()) return std::string(kMilligrams);
  return unchanged;
}

UnitButtons AddUnitFrame(QWidget& parent, QBoxLayout& row, const char* caption, bool particles) {
  auto* label = new QLabel(ToQt("Concentration used for this form only:"), &parent);
  label->setObjectName("Label1");
  row.addWidget(label);
  auto* frame = new QGroupBox(ToQt(caption), &parent);
  frame->setObjectName("Frame1");
  auto* options = new QHBoxLayout(frame);
  UnitButtons buttons;
  const char* names[3] = {"Option1", "Option2", "Option3"};
  const char* captions[3] = {particles ? "#/cc" : "ppm", "\xB5g/m3", "mg/m3"};
  QRadioButton** targets[3] = {&buttons.number_or_ppm, &buttons.micrograms, &buttons.milligrams};
  for (int i = 0; i < 3; ++i) {
    *targets[i] = new QRadioButton(ToQt(captions[i]), frame);
    (*targets[i])->setObjectName(names[i]);
    options->addWidget(*targets[i]);
  }
  row.addWidget(frame);
  return buttons;
}

}  // namespace quarn
