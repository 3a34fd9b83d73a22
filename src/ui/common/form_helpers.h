#pragma once

#include <QSize>
#include <functional>
#include <string>

#include "platform/file_dialog.h"

class QDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;
class QWidget;

namespace quarn {

class EditCellBox;
class FlexGrid;
class InputForm;
class Prompt;
class UpDown;

// The least size, in twips, that the grid windows keep when the user makes them smaller: the
// height holds the button bar, the edit box and a few rows of the grid. Windows with more
// columns to show have a least width of their own.
inline constexpr int kGridWindowMinHeightTwips = 3405;
inline constexpr int kGridWindowMinWidthTwips = 6580;

// A window that the user can make no smaller than this size in twips.
void SetMinimumTwips(QWidget& window, int width_twips, int height_twips);

// The controls of a one-grid input window: the band at the top holding the edit box
// EditCell, and below it the grid, which takes the rest of the window.
struct EditGridControls {
  QFrame* frame = nullptr;
  EditCellBox* box = nullptr;
  FlexGrid* grid = nullptr;
};
EditGridControls BuildEditGrid(QMainWindow& window, const char* frame_name, const char* grid_name);

// The spinner's arrows step by -1 and +1 through the window's commands `down` and `up`, so
// that a cell still being typed is stored before the step.
void SetSpinnerSteps(InputForm& form, UpDown& spinner, const std::string& down,
                     const std::string& up, const std::function<void(int)>& step);

// The input windows' question before a clear: true unless the answer is No.
bool ConfirmClearData(Prompt& prompt);

// Clear All of the input windows: asks first, and unless the answer is No empties every
// cell of rows first_row on and columns first_col on as one Clear, so the headings and the
// numbers of the rows stay.
void ClearAllData(InputForm& form, FlexGrid& grid, Prompt& prompt, int first_col,
                  int first_row = 1);
// The same block emptied without a question.
void ClearGridFrom(InputForm& form, FlexGrid& grid, int first_row, int first_col);

// A panel drawn framed round a band of controls, under the name the window's code finds it by.
QFrame* NewPanel(QWidget* parent, const char* name);

// The edit box of a grid window, under the name every grid window gives it: EditCell.
EditCellBox* NewEditCell(QWidget* parent);

// A label that wraps its text, under the name the window's code and its tests find it by.
QLabel* WrappedLabel(const char* name, QWidget* parent);

// The button that closes a dialog, "OK" unless the dialog gives its own caption.
QPushButton* CloseButton(const char* name, QDialog* dialog, const char* caption = "OK");

// The large title an About box shows where a picture would stand, named Picture1.
QLabel* PictureLabel(const char* html, QWidget* parent);

// A text box on `parent` under the name the window's code and its tests find it by.
QLineEdit* NamedBox(QWidget* parent, const char* name);

// What a window asks of the open and save dialogs for a file of its kind: the filter, the
// extension a name typed without one gets, the name the dialog shows first and its title
// (each empty for none).
FileDialogRequest FileRequest(const char* filter, const char* default_extension,
                              const char* initial_name = "", const char* title = "");

// A window's size hint widened to every title of its menu bar: narrower, the bar folds its
// last commands behind its extension button.
QSize WithWholeMenuBar(const QMainWindow& window, QSize hint);

}  // namespace quarn
