#pragma once

#include "ui/results/results_window.h"

class QLineEdit;

namespace quarn {

class UpDown;

// One occupant's average exposures, a row per averaging period, in the grid
// `AverageExposureGrid`, stepped through the occupants with the spinner; it saves the
// averages of every occupant and copies the grid.
class AverageExposureForm : public ResultsWindow {
  Q_OBJECT

 public:
  explicit AverageExposureForm(MainContext& context, QWidget* parent = nullptr);

  bool ReadsRun(RunKind kind) const override { return kind == RunKind::AverageExposure; }

  FlexGrid& AverageExposureGrid() { return Grid(); }
  QLineEdit& OccupantNumber() { return *number_; }
  QLineEdit& OccupantName() { return *name_; }
  UpDown& UpDown1() { return *spinner_; }

  // File > Save average exposure: the .AEX file of every occupant under a chosen name.
  void SaveAverageExposure();
  // The spinner: the occupant before (-1) or after (+1) the one in the box.
  void StepOccupant(int step);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QWidget* bar_ = nullptr;
  QLineEdit* number_ = nullptr;
  QLineEdit* name_ = nullptr;
  UpDown* spinner_ = nullptr;
};

// The grid of `occupant` from its average exposure work file (.ave): the period's time and
// number, the average of every pollutant and, in particle mode, the mean diameter and
// geometric standard deviation. The grid keeps at least 10 rows; its data rows are emptied
// first. An occupant without the file says "Error.  Average exposure not calculated.".
void FillAverageExposureGrid(int occupant, AverageExposureForm& window);

// Display > Exposure... > Average exposure: the window opened (or brought forward), filled
// for occupant 1 and shown.
AverageExposureForm* ShowAverageExposure(MainContext& context, QMdiArea* area);

}  // namespace quarn
