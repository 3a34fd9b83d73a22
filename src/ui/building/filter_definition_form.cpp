#include "ui/building/filter_definition_form.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <array>
#include <optional>

#include "files/window_files.h"
#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "ui/building/menu_tables.h"
#include "ui/common/form_helpers.h"
#include "ui/grids/data_grids.h"
#include "ui/grids/grid_cells.h"
#include "ui/grids/history_grids.h"

namespace quarn {

namespace {

constexpr int kLeftTwips = 20;
constexpr int kTopTwips = 1500;
constexpr int kWidthTwips = 5400;
constexpr int kHeightTwips = 3600;
constexpr int kEfficiencyCol = 2;
constexpr std::array<int, 3> kColWidthsTwips{1300, 1800, 1400};

bool IsFraction(float value) {
  return value >= 0.0f && value <= 1.0f;
}  // false for NaN

}  // namespace

FilterDefinitionForm::FilterDefinitionForm(MainContext& context)
    : InputForm(context, "FilterDefinitionForm", "User defined air cleaner") {
  BuildControls();
  BuildMenus(menus::kFilterDefinitionForm);
  SetCommand("fileopen", [this] { OpenFilterFile(); });
  SetCommand("filesave", [this] { SaveFilterFile(); });
  SetCommand("editclearall", [this] { ClearAll(); });
  resize(TwipsToPixels(kWidthTwips), TwipsToPixels(kHeightTwips));
}

void FilterDefinitionForm::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  auto* edit_frame = new QFrame(central);
  auto* edit_layout = new QHBoxLayout(edit_frame);
  edit_layout->setContentsMargins(0, 0, 0, 0);
  edit_cell_ = NewEditCell(edit_frame);
  edit_layout->addWidget(edit_cell_);
  // The box is hidden between edits; the grid stays where it is.
  edit_frame->setMinimumHeight(edit_cell_->sizeHint().height());
  layout->addWidget(edit_frame);
  grid_ = new FlexGrid(central);
  grid_->setObjectName("Filterdefinitionss");
  layout->addWidget(grid_, 1);
  setCentralWidget(central);
  AddEditSession(*grid_, *edit_cell_, true);
}

void FilterDefinitionForm::Fill() {
  SetupFilterGrid(*grid_);
  // Wide enough for the headings.
  for (int col = 0; col < static_cast<int>(kColWidthsTwips.size()); ++col) {
    grid_->SetColWidth(col, kColWidthsTwips[static_cast<size_t>(col)]);
  }
  LoadFilterGrid(*grid_, ctx_.state.Building.Scenario);
  if (grid_->Rows() > 1) grid_->SetRowCol(1, kEfficiencyCol);
  ClearEdited();
  grid_->setFocus();
}

void FilterDefinitionForm::RefuseEfficiency(const std::string& pollutant_name) {
  ctx_.prompt.Message("Error.  The efficiency of " + pollutant_name + " must be between 0 and 100.",
                      "Error", MessageIcon::None);
}

bool FilterDefinitionForm::StoreGrid() {
  ScenarioRecord& s = ctx_.state.Building.Scenario;
  // Outside 0 to 100 the pass-through fraction would be negative or above 1, and the run
  // would create mass.
  for (int p = 0; p < s.NumPollutants && p + 1 < grid_->Rows(); ++p) {
    const double efficiency = CellValue(*grid_, p + 1, kEfficiencyCol);
    if (!(efficiency >= 0.0 && efficiency <= 100.0)) {
      RefuseEfficiency(s.Pollutants[p].Name);
      return false;
    }
  }
  ReadFilterGrid(*grid_, s);
  ctx_.state.ScenarioSaved = false;
  return true;
}

void FilterDefinitionForm::Transfer() {
  if (StoreGrid()) CloseForm();
}

void FilterDefinitionForm::OpenFilterFile() {
  const std::optional<std::string> chosen = ctx_.dialogs.OpenFileName(FileDialogRequest{});
  if (!chosen) return;
  ScenarioRecord& s = ctx_.state.Building.Scenario;
  // Read into a copy, so that a damaged file or one with a fraction out of range changes
  // nothing.
  ScenarioRecord read = s;
  if (!ReadFilterFile(read, *chosen, ctx_.prompt)) return;
  for (int p = 0; p < s.NumPollutants; ++p) {
    if (!IsFraction(read.FilterPenetration[0][p])) {
      RefuseEfficiency(read.Pollutants[p].Name);
      return;
    }
  }
  for (int p = 0; p < s.NumPollutants; ++p) {
    s.Pollutants[p].Name = read.Pollutants[p].Name;
    s.FilterPenetration[0][p] = read.FilterPenetration[0][p];
  }
  ctx_.state.ScenarioSaved = false;
  LoadFilterGrid(*grid_, s);
}

void FilterDefinitionForm::SaveFilterFile() {
  if (!StoreGrid()) return;
  const std::optional<std::string> chosen = ctx_.dialogs.SaveFileName(FileDialogRequest{});
  if (!chosen) return;
  WriteFilterFile(ctx_.state.Building.Scenario, *chosen, ctx_.prompt);
}

void FilterDefinitionForm::ClearAll() {
  if (grid_->Rows() < 2 || grid_->Cols() <= kEfficiencyCol) return;
  grid_->SetRowCol(1, kEfficiencyCol);
  grid_->SetRowSel(grid_->Rows() - 1);
  grid_->SetColSel(grid_->Cols() - 1);
  RunRole(MenuRole::Clear);
}

FilterDefinitionForm* OpenFilterDefinitionForm(MainContext& context, QWidget* opener) {
  FilterDefinitionForm* form =
      ShowInputFormOnce<FilterDefinitionForm>(context, opener, kLeftTwips, kTopTwips).form;
  form->Fill();
  return form;
}

}  // namespace quarn
