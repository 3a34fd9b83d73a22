#pragma once

#include "ui/results/results_window.h"

namespace quarn {

// The concentration results of the last run in the grid `resultsspreadsheet`: it saves a
// copy of the whole work file, prints and copies the grid, arranges the frame's windows and
// opens help. The table itself is written by FillConcentrationGrid.
class ResultsForm : public ResultsWindow {
  Q_OBJECT

 public:
  explicit ResultsForm(MainContext& context, QWidget* parent = nullptr);

  // The table is of the concentrations alone.
  bool ReadsRun(RunKind kind) const override { return kind == RunKind::Concentration; }

  FlexGrid& ResultsGrid() { return Grid(); }

  // The table from the work file and the display units as they are now.
  void Fill();

  // File > Save concentration: the run's work file, byte for byte, under a chosen name.
  void SaveConcentration();
  // File > Print concentration.
  void PrintConcentration();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The window follows the frame: the whole width, the frame at least 7500 twips high.
  void FollowFrame();
  bool resizing_ = false;
};

// Display > Concentration once there are results: the window opened (or brought forward),
// filled again and shown.
ResultsForm* ShowConcentrationResults(MainContext& context, QMdiArea* area);

}  // namespace quarn
