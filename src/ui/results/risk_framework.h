#pragma once

#include <string>

#include "ui/results/results_window.h"

class QGroupBox;
class QLineEdit;

namespace quarn {

class EditCellBox;
class UpDown;

// A worksheet of each occupant's risk for one pollutant: for every occupant an irritant
// row, a cancer row and a lifetime cancer row running from concentration through dose to
// individual and population risk, and a comments row. The fill takes the exposure results
// from the record and stores each occupant's dose and cancer risk for the pollutant shown;
// after that the grid is the user's: any cell can be overwritten in the box `EditCell` laid
// over it, and Calculate risk recomputes the result rows from the cells as they stand.
class RiskFramework : public ResultsWindow {
  Q_OBJECT

 public:
  explicit RiskFramework(MainContext& context, QWidget* parent = nullptr);

  // The worksheet works its risks out from the exposures itself.
  bool ReadsRun(RunKind kind) const override { return kind == RunKind::Exposure; }

  FlexGrid& Riskss() { return Grid(); }
  EditCellBox& EditCell() { return *edit_; }
  QGroupBox& Frame1() { return *frame_; }
  QLabel& Label2() { return *building_id_; }
  QLabel& Label4() { return *scenario_name_; }
  QLabel& Pollutantlabel() { return *pollutant_; }
  // The unit risk (cancer slope) entered for the pollutant shown, per µg/m³.
  QLabel& UnitRisk() { return *unit_risk_; }
  // In a particle-count scenario, the mass of a particle the cancer risk goes through.
  QLabel& ParticleMass() { return *particle_mass_; }
  QLineEdit& PollutantNumber() { return *number_; }
  UpDown& UpDown1() { return *spinner_; }
  // The pollutant of the last fill, whatever the box holds since.
  int ShownPollutant() const { return shown_; }
  void SetShownPollutant(int p) { shown_ = p; }

  // File > Save: the .FUL report under a chosen name.
  void SaveReport();
  // File > Print: the grid under the building, scenario, date and time.
  void PrintReport();
  // The spinner: the pollutant before (-1) or after (+1) the one in the box, always refilled.
  void StepPollutant(int step);
  // Opens the box over the current cell: a code up to 32 (blank and control keys) keeps
  // the cell's text, any other character replaces it.
  void RiskStartCellEdit(int key_ascii);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void EditKeyDown(int& key_code);
  // The open box's text goes into the current cell and the box closes.
  void StoreEdit();
  void LayOut();

  QGroupBox* frame_ = nullptr;
  EditCellBox* edit_ = nullptr;
  QLabel* building_id_ = nullptr;
  QLabel* scenario_name_ = nullptr;
  QLabel* pollutant_ = nullptr;
  QLabel* unit_risk_ = nullptr;
  QLabel* particle_mass_ = nullptr;
  QLineEdit* number_ = nullptr;
  UpDown* spinner_ = nullptr;
  int shown_ = 0;
};

// Fills the worksheet for pollutant p (0 to NumPollutants - 1) and stores each occupant's
// dose and individual cancer risk of p, the lifetime row's last.
void FillRiskGrid(RiskFramework& form, int p);
// Calculate risk: exposure, dose, individual and population risk of every result row
// recomputed from the grid's own cells; the record is not touched. The scenario gives the
// unit of the irritant rows' figures.
void RecalculateRiskGrid(FlexGrid& grid, const ScenarioRecord& scenario, Prompt& prompt);

// Display > Risk... > Full risk display: the worksheet opened (or brought forward), filled
// for pollutant 0, shown.
RiskFramework* ShowRiskFramework(MainContext& context, QMdiArea* area);

}  // namespace quarn
