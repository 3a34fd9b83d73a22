#include "ui/tools/units_form.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "model/prompt.h"
#include "platform/clipboard.h"
#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "text/number_read.h"
#include "ui/common/grid_edit.h"
#include "ui/common/menu_builder.h"
#include "ui/common/number_entry.h"
#include "ui/tools/menu_tables.h"
#include "ui/tools/units_convert.h"

namespace quarn {

namespace {

constexpr int kInputCol = 0;
constexpr int kResultCol = 3;

// Units are text; inputs, factors and results are numbers and take number keys only.
bool IsNumberColumn(int col) {
  return col == 0 || col == 2 || col == 3;
}

// The widths of the table are those of a narrower font than ours: a column widens where a
// unit or a number would not show whole ("ft\xB3/min"), and so does a header unless its
// row is high enough to wrap it. The grid's smallest size then shows every cell, so no table needs
// scrolling.
void FitToCells(FlexGrid& grid) {
  constexpr int kPaddingPx = 8;
  const QFontMetrics metrics = grid.fontMetrics();
  const int first_row = grid.rowHeight(0) >= 2 * metrics.height() ? 1 : 0;
  int width = 2 * grid.frameWidth();
  for (int c = 0; c < grid.Cols(); ++c) {
    int needed = 0;
    for (int r = first_row; r < grid.Rows(); ++r) {
      needed = std::max(needed, metrics.horizontalAdvance(ToQt(grid.TextMatrix(r, c))));
    }
    if (needed + kPaddingPx > grid.columnWidth(c)) {
      grid.SetColWidth(c, PixelsToTwips(needed + kPaddingPx));
    }
    width += grid.columnWidth(c);
  }
  int height = 2 * grid.frameWidth();
  for (int r = 0; r < grid.Rows(); ++r) height += grid.rowHeight(r);
  grid.setMinimumSize(width, height);
}

}  // namespace

std::string WithoutLineEnd(std::string text) {
  if (text.ends_with("\r\n")) {
    text.resize(text.size() - 2);
  } else if (text.ends_with('\n') || text.ends_with('\r')) {
    text.pop_back();
  }
  return text;
}

UnitsForm::UnitsForm(Prompt& prompt, QWidget* parent) : QMainWindow(parent), prompt_(prompt) {
  setObjectName("UnitsForm");
  // The caption's trailing blank is the window's own.
  setWindowTitle("Units conversion ");
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("UnitsTab");
  setCentralWidget(tabs_);
  for (int i = 0; i < kUnitsTabs; ++i) BuildTab(i, prompt);
  BuildMenus();
  // Every tab shows, none behind scroll buttons (the room is for the tab widget's frame).
  constexpr int kTabFrameRoomPx = 24;
  tabs_->setMinimumWidth(tabs_->tabBar()->sizeHint().width() + kTabFrameRoomPx);
  tabs_->setCurrentIndex(0);
  grids_[0]->setFocus(Qt::OtherFocusReason);
}

void UnitsForm::BuildTab(int i, Prompt& prompt) {
  const UnitsTable& table = UnitsTables().at(static_cast<size_t>(i));
  auto* page = new QWidget(tabs_);
  auto* page_layout = new QVBoxLayout(page);
  auto* frame = new QGroupBox(table.frame_caption, page);
  frame->setObjectName(QString("UnitsFrame(%1)").arg(i));
  page_layout->addWidget(frame);
  auto* layout = new QVBoxLayout(frame);

  // The box comes first in the focus chain, so that the focus goes back to the grid when
  // the box hides; it keeps its place while hidden, so the grid does not jump.
  auto* box = new EditCellBox(frame);
  box->setObjectName(QString("EditCell(%1)").arg(i));
  QSizePolicy keep = box->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  box->setSizePolicy(keep);
  layout->addWidget(box);
  auto* grid = new FlexGrid(frame);
  grid->setObjectName(QString("UnitsGrid(%1)").arg(i));
  layout->addWidget(grid, 1);
  ShowUnits(*grid, i);
  FitToCells(*grid);
  tabs_->addTab(page, table.tab_caption);

  auto* edit = new GridEdit(*grid, *box, prompt, GridEdit::Wiring::Automatic, this);
  grids_[static_cast<size_t>(i)] = grid;
  boxes_[static_cast<size_t>(i)] = box;
  edits_[static_cast<size_t>(i)] = edit;
  edit->SetNumberCells([](int, int col) { return IsNumberColumn(col); });
  grid->SetRowCol(1, kInputCol);
  connect(grid, &FlexGrid::GotFocus, this, [this, i, grid] { Recompute(i, grid->Row()); });
  // However the edit ended, the row that was edited shows the result of what was typed.
  connect(edit, &GridEdit::CellCommitted, this, [this, i](int row, int) { Recompute(i, row); });
}

void UnitsForm::BuildMenus() {
  const std::vector<QAction*> items = BuildMenuLines(*menuBar(), menus::kUnitsForm);
  connect(items[1], &QAction::triggered, this, &UnitsForm::EditCopy);
  connect(items[2], &QAction::triggered, this, &UnitsForm::EditPaste);
  items[1]->setShortcut(QKeySequence::Copy);
  items[2]->setShortcut(QKeySequence::Paste);
  connect(items[4], &QAction::triggered, this, &QWidget::close);
  // Help has no command, and says so by being disabled.
  items[5]->setEnabled(false);
}

int UnitsForm::StartCommand() {
  const int i = tabs_->currentIndex();
  return edits_.at(static_cast<size_t>(i))->CommitOpenEdit() ? i : -1;
}

void UnitsForm::Recompute(int i, int row) {
  FlexGrid& grid = *grids_.at(static_cast<size_t>(i));
  if (i == kConcentrationTab) {
    ConvertConcentrationRow(grid, row);
  } else {
    ConvertUnitsRow(grid, row);
  }
}

void UnitsForm::EditCopy() {
  const int i = StartCommand();
  if (i < 0) return;
  FlexGrid& grid = *grids_.at(static_cast<size_t>(i));
  const int row = grid.Row();
  grid.SetRowCol(row, kResultCol);
  // Another grid reads "4,081.633" as 4: the number goes without its separators.
  ClearClipboard();
  SetClipboardText(RemoveCommas(grid.TextMatrix(row, kResultCol)));
  grid.setFocus(Qt::OtherFocusReason);
}

void UnitsForm::EditPaste() {
  const int i = StartCommand();
  if (i < 0) return;
  FlexGrid& grid = *grids_.at(static_cast<size_t>(i));
  const int row = grid.Row();
  grid.SetRowCol(row, kInputCol);
  // Judged as a typed value: "2,5" or "7x" would convert as 2 or 7.
  const std::string text = WithoutLineEnd(ClipboardText());
  const std::string fault = NumberEntryFault(text);
  if (!fault.empty()) {
    prompt_.Message(
        "Error.  Nothing was pasted.  In " + CellName(grid, row, kInputCol) + ", " + fault, "Error",
        MessageIcon::Exclamation);
    return;
  }
  grid.SetTextMatrix(row, kInputCol, StoredNumberText(text));
  Recompute(i, row);
  grid.setFocus(Qt::OtherFocusReason);
}

}  // namespace quarn
