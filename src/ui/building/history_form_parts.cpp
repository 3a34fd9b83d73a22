#include "ui/building/history_form_parts.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "model/prompt.h"
#include "platform/edit_cell.h"
#include "platform/qt_text.h"

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
  auto* box = new EditCellBox(&parent);
  box->setObjectName("EditCell");
  QSizePolicy keep = box->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  box->setSizePolicy(keep);
  box->hide();
  return box;
}

bool AgreeToLoseChanges(Prompt& prompt) {
  return prompt.AskYesNoDefault(
             "All changes will be lost.  Do you wish to continue and lose changes?", "Warning",
             MessageIcon::Critical, Answer::No) == Answer::Yes;
}

}  // namespace quarn
