#pragma once

#include <QMainWindow>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/window_registry.h"
#include "ui/common/main_context.h"
#include "ui/common/menu_builder.h"

class QGridLayout;
class QLabel;
class QMdiArea;

namespace quarn {

class FlexGrid;

// The runs whose results the windows show. A concentration run replaces every result; an
// exposure run the exposures and what is made of them (averages, risks); the others their
// own.
enum class RunKind { Concentration, Exposure, AverageExposure, Risk };

// What every results window shares: one grid, menus built from the window's table, each item
// running the command of its name, and the Edit and Window commands. The window owns no model
// data; its grid holds what the last fill wrote. A window that shows a graph instead has no
// grid (a null grid name); its central widget is its own to fill.
class ResultsWindow : public QMainWindow {
  Q_OBJECT

 public:
  using Commands = std::map<std::string, std::function<void()>>;

  // The grid gets `grid_name` as its object name.
  ResultsWindow(MainContext& context, std::span<const MenuEntry> menus, const char* grid_name,
                QWidget* parent = nullptr);

  FlexGrid& Grid() { return *grid_; }  // only in a window with a grid
  MainContext& Context() { return ctx_; }

  // Runs the menu command of that object name, as a click on the item would.
  void RunCommand(const std::string& name);

  // Edit > Copy: the grid's selection as it is when the command runs.
  void CopySelection();
  // Edit > Copy All: every cell, headings included, then the cursor on the first data cell.
  void CopyAll();
  // File > Close and return.
  void Unload();

  // Whether the window's figures come from runs of that kind; a window of reference data
  // reads none.
  virtual bool ReadsRun(RunKind /*kind*/) const { return true; }
  // After a run whose results the window reads: shows the new results and gives true, or
  // gives false, and the window closes, when it cannot.
  virtual bool ShowNewResults() { return false; }

 protected:
  // The commands of the window's items; an item without one is shown disabled, since it has
  // nothing to do. The commands of the shared Window menu are added here, under the names
  // the window's own menu gives Cascade and Tile.
  void SetCommands(Commands commands, const char* cascade = "WindowCascade",
                   const char* tile = "Tile");
  // Where the grid goes whenever the window or its client area changes size: inside the
  // client area at (left, top), its size the window's outer size less the margins (twips),
  // and never past the client area.
  void SetGridPlace(int left, int top, int width_margin, int height_margin);
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // A save command's dialog: the name chosen (with the default extension when it has no
  // "."), or nullopt when the user cancelled.
  std::optional<std::string> AskSaveName(const char* initial_name, const char* filter,
                                         const char* extension);

  MainContext& ctx_;

 private:
  void PlaceGrid();

  FlexGrid* grid_ = nullptr;
  int place_[4] = {0, 0, 0, 0};
  Commands commands_;
};

// Every cell of the grid, row 0 and column 0 included, cells joined by TAB and each row ended
// by the host's line end.
std::string AllCellsText(const FlexGrid& grid);

// A results window of class W opened inside the frame's area (one at a time): a new one is
// made by `make()` and placed in the area; an open one is given back as it is.
QWidget* PlaceInArea(QWidget* window, QMdiArea* area);
template <class W, class Make>
W* OpenResultsWindow(QMdiArea* area, Make make) {
  if (W* open = AppWindows().Find<W>()) return open;
  W* window = AppWindows().Load<W>(make);
  PlaceInArea(window, area);
  return window;
}
// After a run of that kind, every window that shows results the run replaced shows the new
// ones or closes, so that none shows or saves the results of another run.
void ShowRunResults(MainContext& context, RunKind run);
// Every window of the program that shows results closes: they are of inputs that have
// changed.
void EndResultsOnScreen(MainContext& context);
// True when the building, scenario and options are those of the last run (and of the last
// change seen); otherwise the results on the screen end, and false.
bool ResultsAreCurrent(MainContext& context);

// A window not yet shown gets this size (twips) with its frame; one on the screen keeps its own.
void OpenAtSize(QWidget& window, QSize twips);
// Shows the window and brings it in front of the frame's other windows.
void ShowInFront(QWidget& window);

// A label of that object name and caption (Windows-1252) in a cell of the layout, made a
// child of the layout's widget.
QLabel* AddLabel(QGridLayout& layout, const char* name, const char* caption, int row, int col);

}  // namespace quarn
