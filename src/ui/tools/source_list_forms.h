#pragma once

#include <QMainWindow>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "ui/common/main_context.h"

class QPushButton;

namespace quarn {

class FlexGrid;
struct SourceRecord;

// The reference source list: the database file and its table, read only.
inline constexpr const char* kSourceListFile = "varavir15.mdb";
inline constexpr const char* kSourceListTable = "SourceList";

// The source list, one row per entry, ordered by SourceID. The rows are the window's own:
// a double click on a heading sorts them by that column, a heading dragged onto another
// moves its column there, and each time the grid is written again from them.
class frmSourceList : public QWidget {  // NOLINT(readability-identifier-naming)
  Q_OBJECT

 public:
  explicit frmSourceList(MainContext& context, QWidget* parent = nullptr);

  FlexGrid& MSHFlexGrid1() { return *grid_; }  // NOLINT(readability-identifier-naming)
  QPushButton& cmdClose() { return *close_; }  // NOLINT(readability-identifier-naming)

  // Sorts the rows by column `col`: ascending for a new column, the other way round for the
  // column sorted last.
  void DoColumnSort(int col);

 private:
  void WriteGrid();
  void MouseDown(int button, int x, int y);
  void MouseMove(int button, int x, int y);
  void MouseUp();
  void MoveColumn(int from, int to);

  std::vector<std::string> headings_;
  std::vector<std::vector<std::string>> rows_;
  std::string sort_heading_;  // the column sorted last, by its heading, wherever it moved
  bool descending_ = false;
  // A press on a heading: the column, where it started (twips), and whether the mouse has
  // gone far enough with the button held to be a drag.
  int drag_col_ = -1;
  int drag_x_ = 0;
  int drag_y_ = 0;
  bool dragging_ = false;
  FlexGrid* grid_ = nullptr;
  QPushButton* close_ = nullptr;
};

// The source list with the emission model of one entry: a click on an entry shows its ID,
// name and model code in EmissionModelGrid, and its parameters under the labels of its model.
class indoorsource : public QMainWindow {  // NOLINT(readability-identifier-naming)
  Q_OBJECT

 public:
  // Emission models of the list, and per model its title and 7 parameter labels.
  static constexpr int kModels = 5;
  static constexpr int kLabels = 8;
  using LabelTable = std::array<std::array<const char*, kLabels>, kModels>;

  explicit indoorsource(MainContext& context, QWidget* parent = nullptr);

  FlexGrid& MSFlexGrid1() { return *list_; }              // NOLINT(readability-identifier-naming)
  FlexGrid& EmissionModelGrid() { return *model_grid_; }  // NOLINT(readability-identifier-naming)
  const LabelTable& Labels() const { return labels_; }

  // Row `row` of the list into row 1 of EmissionModelGrid.
  void ShowEntry(int row);

 private:
  void BuildMenus(HelpService& help);

  LabelTable labels_{};
  int entries_ = 0;  // the list's rows 1 to entries_ hold entries
  FlexGrid* list_ = nullptr;
  FlexGrid* model_grid_ = nullptr;
};

// The labels of the emission models of the source list, model by model.
void SetupEmissionModelGrid(indoorsource::LabelTable& labels);

// The name of the working source under the headings of the source model view.
class fmViewModel : public QMainWindow {  // NOLINT(readability-identifier-naming)
  Q_OBJECT

 public:
  explicit fmViewModel(MainContext& context, QWidget* parent = nullptr);

  FlexGrid& ssViewModel() { return *grid_; }  // NOLINT(readability-identifier-naming)

 private:
  FlexGrid* grid_ = nullptr;
};

void SetupViewModelGrid(FlexGrid& grid, const SourceRecord& source);

// The windows are loaded once each through the window registry and shown modeless; no
// command of the program opens them.
frmSourceList& ShowSourceList(MainContext& context);
indoorsource& ShowIndoorSource(MainContext& context);
fmViewModel& ShowViewModel(MainContext& context);

}  // namespace quarn
