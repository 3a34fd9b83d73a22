#include "ui/building/ventilation_form.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "files/window_files.h"
#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "ui/building/menu_tables.h"
#include "ui/common/form_helpers.h"
#include "ui/common/history_form_parts.h"
#include "ui/grids/grid_cells.h"
#include "ui/grids/history_grids.h"

namespace quarn {

namespace {

constexpr int kLeftTopTwips = 10;
constexpr int kMinWidthTwips = 7500;
// Index, time and rate columns, with room for the scroll bar.
constexpr int kGridWidthTwips = 400 + 900 + 900 + 700;

}  // namespace

VentilationForm::VentilationForm(MainContext& context)
    : InputForm(context, "VentilationForm", "Ventilation rate") {
  BuildControls();
  BuildMenus(menus::kVentilationForm);
  SetCommand("fileopen", [this] { OpenFile(); });
  SetCommand("filesave", [this] { SaveFile(); });
  SetScheduleRowCommands(*this, *grid_, ctx_.prompt);
  SetHelp(kMainHelpFile, "Ventilation cycles");
  AddEditSession(*grid_, *edit_cell_, true);
  SetMinimumTwips(*this, kMinWidthTwips, kGridWindowMinHeightTwips);
}

void VentilationForm::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);

  AddTopFrame(*central, edit_cell_)->addStretch();

  auto* body = new QHBoxLayout;
  grid_ = new FlexGrid(central);
  grid_->setObjectName("VentHistss");
  grid_->setMinimumWidth(TwipsToPixels(kGridWidthTwips));
  body->addWidget(grid_);
  auto* side = new QVBoxLayout;
  QGroupBox* cycle = AddFrame(*central, "Frame1", "Is this a cycle");
  option_yes_ = AddOption(*cycle, "OptionYes", "Yes");
  option_no_ = AddOption(*cycle, "OptionNo", "No");
  // A click on either option is an edit, which the close box stores and Cancel asks about.
  for (QRadioButton* option : {option_yes_, option_no_}) {
    connect(option, &QRadioButton::clicked, this, [this] { MarkEdited(); });
  }
  side->addWidget(cycle);
  side->addStretch();
  body->addLayout(side);
  body->addStretch();
  layout->addLayout(body, 1);

  auto* lower_frame = new QFrame(central);
  lower_frame->setObjectName("LowerFrame");
  auto* lower = new QHBoxLayout(lower_frame);
  auto* label = new QLabel("Ventilation File", lower_frame);
  label->setObjectName("Label1");
  lower->addWidget(label);
  file_name_ = new QLineEdit(" ", lower_frame);
  file_name_->setObjectName("VentFileName");
  lower->addWidget(file_name_, 1);
  layout->addWidget(lower_frame);
  setCentralWidget(central);
}

void VentilationForm::FillFromRecord() {
  const bool cycle = FillVentilationGrid(*grid_, ctx_.state.Building.Scenario);
  (cycle ? option_yes_ : option_no_)->setChecked(true);
  grid_->SetRowCol(1, 1);
  ClearEdited();
}

void VentilationForm::Store() {
  ReadVentilationGrid(*grid_, option_yes_->isChecked(), ctx_.state.Building.Scenario);
  ctx_.state.VentilationSaved = true;
  ctx_.state.ScenarioSaved = false;
  ClearEdited();
}

void VentilationForm::Transfer() {
  Store();
  CloseForm();
}

void VentilationForm::Cancel() {
  if (Edited() && !AgreeToLoseChanges(ctx_.prompt)) return;
  CloseForm();
}

void VentilationForm::OpenFile() {
  const auto name = ctx_.dialogs.OpenFileName(FileRequest(
      "Ventilation (*.VEN)|*.VEN|All files (*.*)|*.*", "", "*.VEN", "Open ventilation file"));
  if (!name) return;
  ScenarioRecord& scenario = ctx_.state.Building.Scenario;
  // A file that cannot be read has said so and changed nothing.
  const auto points = ReadVentilationFile(scenario, *name, ctx_.prompt);
  if (!points) return;
  ctx_.state.ScenarioSaved = false;
  ClearVentilationGrid(*grid_);
  for (size_t i = 0; i < points->size(); ++i) {
    WriteGridRow(*grid_, static_cast<int32_t>(i + 1), (*points)[i].first, (*points)[i].second);
  }
  // The grid now holds the record's points; only a changed cycle option is left to store.
  if (option_yes_->isChecked() == (scenario.VentScheduleFlag.str() == "Y")) ClearEdited();
}

void VentilationForm::SaveFile() {
  const auto name =
      ctx_.dialogs.SaveFileName(FileRequest("All Ventilation (*.VEN)|*.VEN|All files (*.*)|*.*",
                                            "VEN", "*.VEN", "Save ventilation file"));
  if (!name) return;
  Store();
  // The file holds the points the record keeps: point 1, then those of a time above 0.
  const ScenarioRecord& scenario = ctx_.state.Building.Scenario;
  std::vector<TimeValue> points;
  for (int i = 1; i <= kMaxHistory && (i == 1 || scenario.VentTime[i] > 0); ++i) {
    points.emplace_back(scenario.VentTime[i], scenario.VentRate[i]);
  }
  if (WriteVentilationFile(points, *name, ctx_.prompt)) file_name_->setText(ToQt(*name));
}

VentilationForm* OpenVentilationForm(MainContext& context, QWidget* opener) {
  VentilationForm* form =
      ShowInputFormOnce<VentilationForm>(context, opener, kLeftTopTwips, kLeftTopTwips).form;
  form->FillFromRecord();
  form->Grid().setFocus(Qt::OtherFocusReason);
  return form;
}

}  // namespace quarn
