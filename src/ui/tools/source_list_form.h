#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "ui/common/main_context.h"

class QPushButton;

namespace quarn {

class FlexGrid;

// The source list, one row per entry, ordered by SourceID. The rows are the window's own:
// a double click on a heading sorts them by that column, a heading dragged onto another
// moves its column there, and each time the grid is written again from them.
class SourceListForm : public QWidget {
  Q_OBJECT

 public:
  explicit SourceListForm(MainContext& context, QWidget* parent = nullptr);

  FlexGrid& MSHFlexGrid1() { return *grid_; }
  QPushButton& CloseButton() { return *close_; }

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

// Loaded once through the window registry and shown modeless; no command of the program
// opens it.
SourceListForm& ShowSourceList(MainContext& context);

}  // namespace quarn
