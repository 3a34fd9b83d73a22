#pragma once

#include <QMainWindow>
#include <array>
#include <string>

#include "model/units_tables.h"

class QTabWidget;

namespace quarn {

class EditCellBox;
class FlexGrid;
class GridEdit;
class Prompt;

// The units converter: one tab per kind of quantity, each with a grid of conversions in
// which the user types a value and reads it converted. It keeps nothing once closed;
// values leave it through Edit > Copy and come in through Edit > Paste or typing.
class UnitsForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit UnitsForm(Prompt& prompt, QWidget* parent = nullptr);

  QTabWidget& UnitsTab() { return *tabs_; }
  FlexGrid& UnitsGrid(int i) { return *grids_.at(static_cast<size_t>(i)); }
  EditCellBox& EditCell(int i) { return *boxes_.at(static_cast<size_t>(i)); }

  void EditCopy();
  void EditPaste();

 private:
  void BuildTab(int i, Prompt& prompt);
  void BuildMenus();
  // The result of one row of grid i recomputed, the input column current again.
  void Recompute(int i, int row);
  // The selected tab, its grid's open edit stored first; -1 when that edit was refused.
  int StartCommand();

  Prompt& prompt_;
  QTabWidget* tabs_ = nullptr;
  std::array<FlexGrid*, kUnitsTabs> grids_{};
  std::array<EditCellBox*, kUnitsTabs> boxes_{};
  std::array<GridEdit*, kUnitsTabs> edits_{};
};

// Clipboard text as one cell takes it: one line end at its end (CR LF, LF or CR), which
// other programs add to what they copy, taken off.
std::string WithoutLineEnd(std::string text);

}  // namespace quarn
