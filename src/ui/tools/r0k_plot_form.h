#pragma once

#include <QMainWindow>

namespace quarn {

class Graph;

// "R0k Plot": the measured and the fitted concentrations of a chamber test against time,
// in the graph `r0kPlot`, whose axis titles are set when the window is made.
class R0kPlotForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit R0kPlotForm(QWidget* parent = nullptr);

  Graph& R0kGraph() { return *graph_; }

 private:
  Graph* graph_ = nullptr;
};

// Loads the plot window unless it is open, and shows it in front.
R0kPlotForm* ShowR0kPlot();

}  // namespace quarn
