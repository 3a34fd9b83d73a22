#include "ui/common/history_form_parts.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "model/prompt.h"
#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "ui/common/form_helpers.h"
#include "ui/common/grid_operations.h"
#include "ui/common/input_form.h"

namespace quarn {

QGroupBox* AddFrame(QWidget& parent, const char* name, const char* caption) {
  auto* frame = new QGroupBox(ToQt(caption), &parent);
  frame->setObjectName(name);
  new QVBoxLayout(frame);
  return frame;
}

QRadioButton* AddOption(QGroupBox& frame, const char* name, const char* caption) {
  auto* option = new QRadioButton(ToQt(caption), &frame);
  option->setObjectName(name);
  frame.layout()->addWidget(option);
  return option;
}

EditCellBox* AddEditCellBox(QWidget& parent) {
  auto* box = NewEditCell(&parent);
  QSizePolicy keep = box->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  box->setSizePolicy(keep);
  box->hide();
  return box;
}

QHBoxLayout* AddTopFrame(QWidget& parent, EditCellBox*& box) {
  auto* top_frame = new QFrame(&parent);
  top_frame->setObjectName("TopFrame");
  auto* top = new QHBoxLayout(top_frame);
  box = AddEditCellBox(*top_frame);
  top->addWidget(box);
  parent.layout()->addWidget(top_frame);
  return top;
}

void SetScheduleRowCommands(InputForm& form, FlexGrid& grid, Prompt& prompt) {
  form.SetCommand("InsertRow", [&form, &grid, &prompt] {
    if (InsertScheduleRow(grid, grid.Row(), prompt)) form.MarkEdited();
  });
  form.SetCommand("DeleteRow", [&form, &grid] {
    if (DeleteScheduleRow(grid, grid.Row())) form.MarkEdited();
  });
}

bool AgreeToLoseChanges(Prompt& prompt) {
  return prompt.AskYesNoDefault(
             "All changes will be lost.  Do you wish to continue and lose changes?", "Warning",
             MessageIcon::Critical, Answer::No) == Answer::Yes;
}

}  // namespace quarn
