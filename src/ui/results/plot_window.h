#pragma once

#include <span>
#include <string>

#include "ui/results/results_window.h"

class QLineEdit;

namespace quarn {

class Graph;
struct GraphData;

// What a plot window shows, as its box `typeofplot` holds it.
enum class PlotKind {
  PollutantInRooms = 0,  // one pollutant in every room
  PollutantsInRoom = 1,  // every pollutant in one room
  Instantaneous = 2,     // the occupants' instantaneous exposure to one pollutant
  Cumulative = 3,        // the occupants' cumulative exposure to one pollutant
};

// A plot of a run's results against time in the graph `ConcGraph`. The hidden boxes
// `typeofplot` and `currentpollutant` say what is plotted and which pollutant or room, so
// that Next and Previous step from there. The building window's Plot menu plots into the one
// main instance (the registry's); New plot opens further instances beside it.
class PlotWindow : public ResultsWindow {
  Q_OBJECT

 public:
  explicit PlotWindow(MainContext& context, QWidget* parent = nullptr);

  bool ReadsRun(RunKind kind) const override {
    return kind == RunKind::Concentration || kind == RunKind::Exposure;
  }

  Graph& ConcGraph() { return *graph_; }
  QLineEdit& PlotTypeBox() { return *type_box_; }
  QLineEdit& PollutantIndexBox() { return *index_box_; }

  // Plots `kind` for `index` into this window; the window takes the plot, the caption and
  // the two boxes only when the plot succeeded. False when it did not (it said why).
  bool TakePlot(PlotKind kind, int index, const std::string& caption);

  // Ne&xt and &Previous: the next or previous pollutant or room of this window's plot.
  void Step(int direction);

  // New plot: a further window inside the same frame, or nullptr when none was opened.
  PlotWindow* NewConcentration();
  PlotWindow* NewExposure(PlotKind kind);

  // File > Print graph and Print all graphs.
  void PrintGraph();
  void PrintAllGraphs();

  // Load of the main instance: 0.9 of the frame at (10, 10) twips, within the frame's area.
  void PlaceAsMain();

 private:
  // What the plot shows, for a printed page: "Pollutant name" or "Room name".
  std::string PlottedName() const;

  Graph* graph_ = nullptr;
  QLineEdit* type_box_ = nullptr;
  QLineEdit* index_box_ = nullptr;
};

std::span<const MenuEntry> PlotWindowMenuTable();

// The building window's Plot commands: the plot of `kind` (pollutant 0, or room 1) in the main
// plot window, which is opened when it is closed and only when the plot succeeds. The
// building window checks first that there are results to plot.
PlotWindow* ShowMainPlot(MainContext& context, QMdiArea* area, PlotKind kind);

// File > Print of a graph window: once the user agrees to print in landscape, the graph on a
// picture page under a heading that names the building, the scenario and `what` is plotted.
void PrintGraphPage(MainContext& context, const Graph& graph, const std::string& what);

}  // namespace quarn
