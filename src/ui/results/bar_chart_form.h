#pragma once

#include "ui/results/results_window.h"

class QGroupBox;
class QLineEdit;

namespace quarn {

class Graph;
class UpDown;

// One bar per occupant for one pollutant in the graph `barl`: the hours above the
// pollutant's irritant concentration or the total exposure. The spinner steps through the
// pollutants and redraws the kind of chart shown, which the vertical title tells.
class BarChartForm : public ResultsWindow {
  Q_OBJECT

 public:
  explicit BarChartForm(MainContext& context, QWidget* parent = nullptr);

  bool ReadsRun(RunKind kind) const override { return kind == RunKind::Exposure; }

  QGroupBox& Frame1() { return *frame_; }
  QLabel& Label1() { return *irritant_level_; }
  QLabel& PollutantName() { return *name_; }
  QLineEdit& PollutantNumber() { return *number_; }
  UpDown& UpDown1() { return *spinner_; }
  Graph& BarGraph() { return *graph_; }

  // The spinner: the pollutant before (-1) or after (+1) the one in the box, charted as the
  // chart shown is.
  void StepPollutant(int step);
  // File > Print: the chart alone on a page, once the user agrees to landscape.
  void PrintChart();
  // Load: the frame's top-left corner, the building window's size less 100 twips each way.
  void PlaceBeside(QWidget& building);

 private:
  QGroupBox* frame_ = nullptr;
  QLabel* irritant_level_ = nullptr;
  QLabel* name_ = nullptr;
  QLineEdit* number_ = nullptr;
  UpDown* spinner_ = nullptr;
  Graph* graph_ = nullptr;
};

// The hours each occupant spent above pollutant p's irritant concentration.
void PlotIrritantBars(BarChartForm& form, int p);
// Each occupant's total exposure to pollutant p, under the caption "Total exposure".
void PlotExposureBars(BarChartForm& form, int p);

enum class BarChartKind { Irritant, Exposure };

// The building window's Plot > Bar chart commands: the window loaded (placed beside the
// building window when it was not open), charted for pollutant 0, shown.
BarChartForm* ShowBarChart(MainContext& context, QMdiArea* area, QWidget* building,
                           BarChartKind kind);

}  // namespace quarn
