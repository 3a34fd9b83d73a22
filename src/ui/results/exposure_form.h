#pragma once

#include "ui/results/results_window.h"

class QLineEdit;

namespace quarn {

class UpDown;

// One occupant's exposure to every pollutant over time in the grid `ExposureSS`, stepped
// through the occupants with the spinner; it saves the exposures of every occupant, prints
// and copies the grid. `ExposureType` says what the grid holds: "I" instantaneous, "C"
// cumulative, anything else neither (the spinner then refills nothing).
class ExposureForm : public ResultsWindow {
  Q_OBJECT

 public:
  explicit ExposureForm(MainContext& context, QWidget* parent = nullptr);

  bool ReadsRun(RunKind kind) const override { return kind == RunKind::Exposure; }

  FlexGrid& ExposureSS() { return Grid(); }
  QLineEdit& ExposureType() { return *type_; }
  QLineEdit& OccupantNumber() { return *number_; }
  QLineEdit& OccupantName() { return *name_; }
  UpDown& UpDown1() { return *spinner_; }

  // File > Save Exposure: the .EXP file of every occupant under a chosen name.
  void SaveExposure();
  // File > Print: the grid under "Exposure results", the scenario name, date and time.
  void PrintExposure();
  // The spinner: the occupant before (-1) or after (+1) the one in the box.
  void StepOccupant(int step);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLineEdit* type_ = nullptr;
  QWidget* bar_ = nullptr;
  QLineEdit* number_ = nullptr;
  QLineEdit* name_ = nullptr;
  UpDown* spinner_ = nullptr;
};

// Prepares the window for a mode (1 instantaneous, 2 cumulative, 3 every occupant) and
// fills its grid for occupant 1; nothing is filled before the exposure is calculated.
void DisplayExposureResults(ExposureForm& form, int mode);

// Display > Exposure... > Instantaneous (1) or Cumulative (2) exposure; mode 3 for every
// occupant side by side, which no command asks for: the one window opened (or brought
// forward), filled and shown.
ExposureForm* ShowExposureResults(MainContext& context, QMdiArea* area, int mode);

// The row above an occupant's grid: the label, the occupant's number (a box that takes
// only number keys), the spinner beside it and the occupant's name.
struct OccupantPicker {
  QWidget* bar;
  QLineEdit* number;
  UpDown* spinner;
  QLineEdit* name;
};
OccupantPicker MakeOccupantPicker(QWidget* parent, const char* label);

}  // namespace quarn
