#include "ui/inputs/mass_transfer_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>

#include "model/mass_transfer.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "platform/window_registry.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/common/form_helpers.h"
#include "ui/common/number_entry.h"
#include "ui/common/window_menu.h"
#include "ui/inputs/menu_tables.h"
#include "ui/inputs/room_source_form.h"
#include "ui/inputs/source_form_parts.h"

namespace quarn {
namespace {

constexpr int kLeftTopTwips = 600;
constexpr int kCoefficientCol = 2;  // the second parameter

// Models whose second parameter is a gas-side mass-transfer coefficient: "Mass transfer"
// and "Paint2" (k1), "VBX" and "Petroleum spill" (k), the spills (k m/h). The "k" of "R0k"
// and "k1" of "Paint1" are decay constants, and the others keep something else there.
bool TakesMassTransferCoefficient(int model) {
  return model == 0 || model == 3 || (model >= 7 && model <= 10);
}

// A row of the grid: the label of that name and caption, then the box.
QLineEdit* AddBoxRow(QWidget* parent, QGridLayout& grid, int row, const char* label_name,
                     const char* caption, const char* box_name) {
  auto* label = new QLabel(ToQt(caption), parent);
  label->setObjectName(label_name);
  auto* box = NamedBox(parent, box_name);
  grid.addWidget(label, row, 0);
  grid.addWidget(box, row, 1);
  return box;
}

}  // namespace

MassTransferForm::MassTransferForm(MainContext& context)
    : InputForm(context, "MassXferDataForm", "Mass transfer coefficient data form") {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  auto* boxes = new QGridLayout;
  air_velocity_ =
      AddBoxRow(central, *boxes, 0, "Label1", "Enter air velocity, cm/s", "AirVelocity");
  source_area_ =
      AddBoxRow(central, *boxes, 1, "Label2", "Enter area of source square meters", "SourceArea");
  diffusivity_ = AddBoxRow(central, *boxes, 2, "Label3", "Enter diffusivity of pollutant sq m/h",
                           "Diffusivity");
  result_ = AddBoxRow(central, *boxes, 3, "Label4", "Mass transfer coefficeint 1/h", "Result");
  for (QLineEdit* box : {air_velocity_, source_area_, diffusivity_})
    RestrictToNumbers(*box, ctx_.prompt);
  CountAsEdits({air_velocity_, source_area_, diffusivity_});
  layout->addLayout(boxes);

  auto* source_frame = new QGroupBox(central);
  source_frame->setObjectName("Frame1");
  auto* numbers = new QHBoxLayout(source_frame);
  AddLabel(source_frame, *numbers, "Label5", "Room #");
  room_number_ = AddLabel(source_frame, *numbers, "RoomNumber", "");
  AddLabel(source_frame, *numbers, "Label6", "Source #");
  source_number_ = AddLabel(source_frame, *numbers, "SourceNumber", "");
  layout->addWidget(source_frame);

  auto* buttons = new QHBoxLayout;
  const char* button_names[3][2] = {{"CalculateBTN", "&Calculate only"},
                                    {"Xfer", " Calculate and &Transfer"},
                                    {"CancelBtn", "Cancel"}};
  for (const auto& b : button_names) {
    auto* button = new QPushButton(ToQt(b[1]), central);
    button->setObjectName(b[0]);
    buttons->addWidget(button);
    SetButtonCommand(*button, b[0]);
  }
  layout->addLayout(buttons);
  setCentralWidget(central);

  SetCommand("CalculateBTN", [this] { Calculate(); });
  SetCommand("Xfer", [this] { Transfer(); });
  SetCommand("CancelBtn", [this] { Cancel(); });
  BuildMenus(menus::kMassTransferForm);
  SetHelp("Rovozuzav.hlp", "Source models");
}

void MassTransferForm::Fill(int row, int room, int slot) {
  row_ = row;
  room_ = room;
  slot_ = slot;
  room_number_->setText(QString::number(room));
  source_number_->setText(QString::number(row));
  air_velocity_->setText(" ");
  source_area_->setText(" ");
  diffusivity_->setText("0.03");
  result_->setText(" ");
}

std::optional<float> MassTransferForm::Calculate() {
  const MassTransferResult r = MassTransferCoefficient(
      BoxSingle(*air_velocity_), BoxSingle(*source_area_), BoxSingle(*diffusivity_));
  switch (r.status) {
    case MassTransferResult::Status::NoArea:
      ctx_.prompt.Message("Area not entered. Can not calculate. Aborting calculation.", "",
                          MessageIcon::None);
      return std::nullopt;
    case MassTransferResult::Status::Negative:
      ctx_.prompt.Message("Error.  The air velocity and the diffusivity must not be negative.",
                          "Error", MessageIcon::Exclamation);
      return std::nullopt;
    case MassTransferResult::Status::TooLarge:
      ctx_.prompt.Message(
          "Error.  The air velocity, the area or the diffusivity is too large to give a "
          "coefficient.",
          "Error", MessageIcon::Exclamation);
      return std::nullopt;
    case MassTransferResult::Status::Ok:
      break;
  }
  result_->setText(ToQt(FormatSingle(r.km)));
  return r.km;
}

void MassTransferForm::Transfer() {
  const std::optional<float> km = Calculate();
  if (!km) return;
  // The row belongs to the source the window was opened for; the source window may show
  // another one by now.
  RoomSourceForm* sources = AppWindows().Find<RoomSourceForm>();
  if (sources == nullptr || !sources->Shows(room_, slot_)) {
    ctx_.prompt.Message("Error.  The source window no longer shows room " + std::to_string(room_) +
                            ", source " + std::to_string(slot_) +
                            ".  The coefficient was not transferred.",
                        "Error", MessageIcon::Exclamation);
    return;
  }
  if (!TakesMassTransferCoefficient(sources->ShownModel())) {
    ctx_.prompt.Message("Error.  The source model shown has no mass transfer coefficient.", "Error",
                        MessageIcon::Exclamation);
    return;
  }
  FlexGrid& grid = sources->ParameterGrid();
  {
    const GridEventsOff off(ctx_.windows.grid_events_enabled);
    grid.SetNumber(row_, kCoefficientCol, *km, FormatSingle(*km));
  }
  CloseForm();
}

MassTransferForm* ShowMassTransferData(MainContext& context, int row, int room, int slot,
                                       QWidget* opener) {
  const auto [form, open] =
      ShowInputFormOnce<MassTransferForm>(context, opener, kLeftTopTwips, kLeftTopTwips, false);
  form->Fill(row, room, slot);
  if (!open) FitOuterFrame(form);
  return form;
}

}  // namespace quarn
