#include "ui/inputs/source_form_parts.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <string>
#include <utility>

#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "ui/common/form_helpers.h"
#include "ui/common/input_form.h"
#include "ui/common/number_entry.h"

namespace quarn {

namespace {

// Schedule columns that hold text: the source name and the repeat code.
constexpr int kNameColumn = 1;
constexpr int kRepeatColumn = 4;

template <class W>
W* AddNamed(QWidget& parent, QVBoxLayout& layout, const char* name, int stretch = 0) {
  auto* widget = new W(&parent);
  widget->setObjectName(name);
  layout.addWidget(widget, stretch);
  return widget;
}

}  // namespace

QHBoxLayout* AddSourceTopFrame(QWidget& parent, QVBoxLayout& layout) {
  auto* frame = NewPanel(&parent, "topframe");
  layout.addWidget(frame);
  return new QHBoxLayout(frame);
}

QLabel* AddLabel(QWidget* parent, QBoxLayout& layout, const char* name, const char* caption) {
  auto* label = new QLabel(ToQt(caption), parent);
  label->setObjectName(name);
  layout.addWidget(label);
  return label;
}

QLineEdit* AddNumberBox(QWidget* parent, QBoxLayout& layout, const char* name, Prompt& prompt) {
  auto* box = NamedBox(parent, name);
  RestrictToNumbers(*box, prompt);
  layout.addWidget(box);
  return box;
}

SourceNumberControls AddSourceNumberControls(QWidget* parent, QBoxLayout& layout, Prompt& prompt) {
  SourceNumberControls c;
  AddLabel(parent, layout, "Label5", "# sources in room ");
  c.count = AddNumberBox(parent, layout, "Numberofsources", prompt);
  c.count->setText("1");
  c.spinner = new UpDown(parent);
  c.spinner->setObjectName("Changesourcenumber");
  layout.addWidget(c.spinner);
  AddLabel(parent, layout, "select", "Source #");
  c.number = AddLabel(parent, layout, "SourceNumber", "");
  return c;
}

QComboBox* AddModelList(QWidget* parent, QBoxLayout& layout) {
  auto* model_frame = new QGroupBox(parent);
  model_frame->setObjectName("Frame1");
  auto* model_layout = new QVBoxLayout(model_frame);
  AddLabel(model_frame, *model_layout, "Label1", "Select source model");
  auto* list = new QComboBox(model_frame);
  list->setObjectName("SourceModel");
  model_layout->addWidget(list);
  layout.addWidget(model_frame);
  return list;
}

std::array<QRadioButton*, 3> AddUnitOptions(QWidget* parent, QBoxLayout& layout,
                                            const std::array<const char*, 3>& captions) {
  auto* units_frame = new QGroupBox("Units", parent);
  units_frame->setObjectName("Frame2");
  auto* units_layout = new QHBoxLayout(units_frame);
  const char* names[] = {"Option1", "Option2", "Option3"};
  std::array<QRadioButton*, 3> options{};
  for (size_t i = 0; i < options.size(); ++i) {
    options[i] = new QRadioButton(ToQt(captions[i]), units_frame);
    options[i]->setObjectName(names[i]);
    units_layout->addWidget(options[i]);
  }
  layout.addWidget(units_frame);
  return options;
}

void SetModelListCommand(InputForm& form, QComboBox& list, int& chosen,
                         std::function<void(int model)> choose) {
  const std::string name = FromQt(list.objectName());
  form.SetCommand(name, [&chosen, choose = std::move(choose)] { choose(chosen); });
  QObject::connect(&list, &QComboBox::activated, &form, [&form, &chosen, name](int index) {
    chosen = index;
    form.RunCommand(name);
  });
}

SourceGridControls AddSourceGrids(QWidget& parent, QVBoxLayout& layout) {
  SourceGridControls c;
  AddNamed<QLabel>(parent, layout, "Label2")->setText("General source data");
  c.schedule_edit_cell = AddNamed<EditCellBox>(parent, layout, "editcell1");
  c.schedule = AddNamed<FlexGrid>(parent, layout, "GeneralSourceDataGrid", 1);
  AddNamed<QLabel>(parent, layout, "Label4")->setText("Pollutant specific source data");
  c.edit_cell = AddNamed<EditCellBox>(parent, layout, "EditCell");
  c.parameters = AddNamed<FlexGrid>(parent, layout, "ssrmsrc", 2);
  return c;
}

GridEdit& AddSourceEditSessions(InputForm& form, const SourceGridControls& grids) {
  GridEdit& parameters = form.AddEditSession(*grids.parameters, *grids.edit_cell, true);
  GridEdit& schedule_edit = form.AddEditSession(*grids.schedule, *grids.schedule_edit_cell, false);
  schedule_edit.SetNumberCells(
      [](int, int col) { return col != kNameColumn && col != kRepeatColumn; });
  return parameters;
}

}  // namespace quarn
