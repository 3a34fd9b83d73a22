#include "ui/common/form_helpers.h"

#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "ui/common/input_form.h"

namespace quarn {

EditGridControls BuildEditGrid(QMainWindow& window, const char* frame_name, const char* grid_name) {
  EditGridControls controls;
  auto* central = new QWidget(&window);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  controls.frame = NewPanel(central, frame_name);
  auto* top = new QHBoxLayout(controls.frame);
  top->setContentsMargins(4, 4, 4, 4);
  controls.box = NewEditCell(controls.frame);
  top->addWidget(controls.box);
  top->addStretch(1);
  layout->addWidget(controls.frame);
  controls.grid = new FlexGrid(central);
  controls.grid->setObjectName(grid_name);
  controls.grid->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  layout->addWidget(controls.grid, 1);
  window.setCentralWidget(central);
  return controls;
}

void SetSpinnerSteps(InputForm& form, UpDown& spinner, const std::string& down,
                     const std::string& up, const std::function<void(int)>& step) {
  form.SetCommand(down, [step] { step(-1); });
  form.SetCommand(up, [step] { step(1); });
  QObject::connect(&spinner, &UpDown::DownClick, &form, [&form, down] { form.RunCommand(down); });
  QObject::connect(&spinner, &UpDown::UpClick, &form, [&form, up] { form.RunCommand(up); });
}

bool ConfirmClearData(Prompt& prompt) {
  return prompt.AskYesNo("All data in the form will be cleared.  Do you wish to continue?",
                         "Clear data", MessageIcon::Question) != Answer::No;
}

void ClearAllData(InputForm& form, FlexGrid& grid, Prompt& prompt, int first_col, int first_row) {
  if (ConfirmClearData(prompt)) ClearGridFrom(form, grid, first_row, first_col);
}

void ClearGridFrom(InputForm& form, FlexGrid& grid, int first_row, int first_col) {
  if (grid.Rows() <= first_row || grid.Cols() <= first_col) return;
  grid.SetRowCol(first_row, first_col);
  grid.SetRowSel(grid.Rows() - 1);
  grid.SetColSel(grid.Cols() - 1);
  form.RunRole(MenuRole::Clear);
}

void SetMinimumTwips(QWidget& window, int width_twips, int height_twips) {
  window.setMinimumSize(TwipsToPixels(width_twips), TwipsToPixels(height_twips));
}

QFrame* NewPanel(QWidget* parent, const char* name) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(name);
  panel->setFrameShape(QFrame::StyledPanel);
  return panel;
}

QLabel* WrappedLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setWordWrap(true);
  return label;
}

QPushButton* CloseButton(const char* name, QDialog* dialog, const char* caption) {
  auto* button = new QPushButton(caption, dialog);
  button->setObjectName(name);
  QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::close);
  return button;
}

QLabel* PictureLabel(const char* html, QWidget* parent) {
  auto* picture = new QLabel(parent);
  picture->setObjectName("Picture1");
  picture->setText(html);
  return picture;
}

EditCellBox* NewEditCell(QWidget* parent) {
  auto* box = new EditCellBox(parent);
  box->setObjectName("EditCell");
  // The box is hidden between edits and keeps its place: otherwise the grid below it moves
  // up and down as an edit opens and closes, and a click meant for one row lands on another.
  QSizePolicy keep = box->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  box->setSizePolicy(keep);
  return box;
}

QLineEdit* NamedBox(QWidget* parent, const char* name) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  return box;
}

FileDialogRequest FileRequest(const char* filter, const char* default_extension,
                              const char* initial_name, const char* title) {
  // The first filter is chosen first, in the dialog's own folder.
  return {.title = title,
          .filter = filter,
          .filter_index = 1,
          .default_extension = default_extension,
          .initial_folder = "",
          .initial_name = initial_name};
}

QSize WithWholeMenuBar(const QMainWindow& window, QSize hint) {
  hint.setWidth(std::max(hint.width(), window.menuBar()->sizeHint().width()));
  return hint.expandedTo(window.minimumSize());
}

}  // namespace quarn
