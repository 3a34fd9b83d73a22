#pragma once

#include <QSize>

class QMainWindow;

namespace quarn {

class FlexGrid;
class InputForm;
class Prompt;

// Clear All of the input windows: asks first, and unless the answer is No empties every
// cell of rows 1 on and columns first_col on as one Clear, so the headings and the numbers
// of the rows stay.
void ClearAllData(InputForm& form, FlexGrid& grid, Prompt& prompt, int first_col);

// A window's size hint widened to every title of its menu bar: narrower, the bar folds its
// last commands behind its extension button.
QSize WithWholeMenuBar(const QMainWindow& window, QSize hint);

}  // namespace quarn
