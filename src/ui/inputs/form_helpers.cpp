#include "ui/inputs/form_helpers.h"

#include <QMenuBar>
#include <algorithm>

#include "platform/flex_grid.h"
#include "ui/common/input_form.h"

namespace quarn {

void ClearAllData(InputForm& form, FlexGrid& grid, Prompt& prompt, int first_col) {
  if (prompt.AskYesNo("All data in the form will be cleared.  Do you wish to continue?",
                      "Clear data", MessageIcon::Question) == Answer::No) {
    return;
  }
  if (grid.Rows() < 2 || grid.Cols() <= first_col) return;
  grid.SetRowCol(1, first_col);
  grid.SetRowSel(grid.Rows() - 1);
  grid.SetColSel(grid.Cols() - 1);
  form.RunRole(MenuRole::Clear);
}

QSize WithWholeMenuBar(const QMainWindow& window, QSize hint) {
  hint.setWidth(std::max(hint.width(), window.menuBar()->sizeHint().width()));
  return hint.expandedTo(window.minimumSize());
}

}  // namespace quarn
