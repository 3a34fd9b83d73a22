#pragma once

#include <string>

#include "ui/results/results_window.h"

class QLineEdit;

namespace quarn {

class UpDown;

// Each occupant's exposure results for one pollutant beside the pollutant's reference
// values, and the run's totals of emitted and collected mass, in the grid `Grid1`; the
// spinner steps through the pollutants. It saves the .SUM file and prints the grid.
class SummaryForm : public ResultsWindow {
  Q_OBJECT

 public:
  explicit SummaryForm(MainContext& context, QWidget* parent = nullptr);

  FlexGrid& Grid1() { return Grid(); }
  QLabel& Label1() { return *building_heading_; }
  QLabel& Label5() { return *exposure_mode_; }
  QLabel& BuildingLabel() { return *building_; }
  QLabel& ScenarioLabel() { return *scenario_; }
  QLabel& PollutantName() { return *pollutant_; }
  QLineEdit& PollutantNumber() { return *number_; }
  QLineEdit& RfdBox() { return *rfd_; }
  QLineEdit& Rfc() { return *rfc_; }
  UpDown& UpDown1() { return *spinner_; }
  // In a particle-count scenario, the mass of a particle the risk goes through.
  QLabel& ParticleMass() { return *particle_mass_; }

  // File > Save summary: the .SUM file under a chosen name.
  void SaveSummary();
  // File > Print summary: the grid under the building, scenario, date and time.
  void PrintSummary();
  // The spinner: the pollutant before (-1) or after (+1) the one in the box.
  void StepPollutant(int step);

  // A new run: the summary of the pollutant shown, filled afresh; none after a failed run.
  bool ShowNewResults() override;

 private:
  void ShowExposureMode();

  QLabel* building_heading_ = nullptr;
  QLabel* exposure_mode_ = nullptr;
  QLabel* building_ = nullptr;
  QLabel* scenario_ = nullptr;
  QLabel* pollutant_ = nullptr;
  QLineEdit* number_ = nullptr;
  QLineEdit* rfd_ = nullptr;
  QLineEdit* rfc_ = nullptr;
  QLabel* particle_mass_ = nullptr;
  UpDown* spinner_ = nullptr;
};

// The first fill: labels, layout, headers and the rows of pollutant 0.
void FillSummaryGrid(SummaryForm& form);
// The rows of pollutant p, its name and reference values, and the irritant concentration
// in the header of column 1.
void UpdateSummaryForm(SummaryForm& form, int p);

// Display > Summary: the window opened (or brought forward), filled for pollutant 0, shown.
SummaryForm* ShowSummary(MainContext& context, QMdiArea* area);

}  // namespace quarn
