#include "ui/inputs/pollutant_form.h"

#include <algorithm>

#include "files/window_files.h"
#include "model/particle_defaults.h"
#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "text/number_text.h"
#include "ui/common/form_helpers.h"
#include "ui/common/grid_edit.h"
#include "ui/common/tool_openers.h"
#include "ui/common/window_menu.h"
#include "ui/grids/data_grids.h"
#include "ui/grids/grid_cells.h"
#include "ui/grids/scenario_room_grids.h"
#include "ui/inputs/initial_conc_form.h"
#include "ui/inputs/menu_tables.h"
#include "ui/inputs/outdoor_conc_form.h"
#include "ui/inputs/penetration_form.h"

namespace quarn {
namespace {

constexpr int kMinWidthTwips = 9600;
constexpr int kMinGridWidthTwips = 8900;
// Column 1 holds the name; every column after it a number.
constexpr int kFirstNumberCol = 2;
constexpr int kDiameterCol = 2;

constexpr const char* kFileFilter = "Pollutant(*.POL)|*.POL|All files (*.*)|*.*";

}  // namespace

PollutantForm::PollutantForm(MainContext& context)
    : InputForm(context, "PollutantForm", "Define pollutants"),
      particles_(IsParticleMode(context.state.Building.Scenario)) {
  // Names are free text; the number columns take numbers only.
  const EditGridControls controls = BuildEditGrid(*this, "TopFrame", "definepollutantss");
  top_frame_ = controls.frame;
  edit_cell_ = controls.box;
  grid_ = controls.grid;
  grid_->setMinimumWidth(TwipsToPixels(kMinGridWidthTwips));
  edit_ = &AddEditSession(*grid_, *edit_cell_, false);
  edit_->SetNumberCells([](int, int col) { return col >= kFirstNumberCol; });
  WireCommands();
  BuildMenus(menus::kPollutantForm);
  SetHelp("RIRozid.HLP", "Define pollutant");
  setMinimumWidth(TwipsToPixels(kMinWidthTwips));
}

void PollutantForm::WireCommands() {
  SetCommand("fileopen", [this] { OpenPollutantFile(); });
  SetCommand("filesave", [this] { SavePollutantFile(); });
  SetCommand("editclearall", [this] { ClearAllData(*this, *grid_, ctx_.prompt, 1); });
  SetCommand("indoor", [this] { OpenInitialIndoorForm(ctx_, this); });
  SetCommand("setoutdoors", [this] { OpenOutdoorConcForm(ctx_, this); });
  SetCommand("Penetration", [this] { DefinePenetration(); });
  SetCommand("toolsconversion", [this] { ToolsDiameterConversion(ctx_); });
  // Deposition velocities follow from particle diameters; the VOC list describes gases.
  if (particles_) {
    SetCommand("Deposition", [this] { CalculateDeposition(); });
  } else {
    SetCommand("vocdata", [this] { OpenToolWindow(ToolWindow::VocDatabase, ctx_, this); });
  }
}

QSize PollutantForm::sizeHint() const {
  return WithWholeMenuBar(*this, InputForm::sizeHint());
}

void PollutantForm::Fill() {
  SetupPollutantGrid(*grid_, ctx_.state.Building.Scenario);
  LoadPollutantGrid(*grid_, ctx_.state);
  ClearEdited();
}

void PollutantForm::StoreGrid() {
  ReadPollutantGrid(*grid_, ctx_.state.Building.Scenario);
  ctx_.state.ScenarioSaved = false;
}

void PollutantForm::TakeVocRows(const FlexGrid& voc_grid, const std::vector<int>& rows,
                                Prompt& prompt) {
  if (FillVOCGrid(voc_grid, *grid_, rows, prompt) > 0) MarkEdited();
}

void PollutantForm::Transfer() {
  StoreGrid();
  CloseForm();
}

void PollutantForm::OpenPollutantFile() {
  const std::optional<std::string> name =
      ctx_.dialogs.OpenFileName(FileRequest(kFileFilter, "POL", "*.POL"));
  if (!name) return;
  const int n = PollutantCount(ctx_.state.Building.Scenario);
  PerPollutant<float>& diameters = ctx_.state.ParticleDiameters;
  if (!ReadPollutantFile(diameters, n, *name, ctx_.prompt)) return;
  if (!particles_) return;
  // Only the diameters are shown anew: the names and values typed so far stay for Transfer.
  for (int p = 0; p < std::min(n, grid_->Rows() - 1); ++p) {
    SetPatternCell(*grid_, p + 1, kDiameterCol, diameters[p], "###.###");
  }
  MarkEdited();
}

void PollutantForm::SavePollutantFile() {
  // The records hold the grid even when the dialog is cancelled.
  StoreGrid();
  const std::optional<std::string> name =
      ctx_.dialogs.SaveFileName(FileRequest(kFileFilter, "POL", "*.POL"));
  if (!name) return;
  const ScenarioRecord& s = ctx_.state.Building.Scenario;
  const int n = PollutantCount(s);
  // For particles the file holds the diameters on screen, so that Open shows them again.
  PerPollutant<float> diameters = ctx_.state.ParticleDiameters;
  if (particles_) {
    for (int p = 0; p < n; ++p) diameters[p] = s.Pollutants[p].Diameter;
  }
  if (!WritePollutantFile(diameters, n, *name, ctx_.prompt)) return;
  ctx_.state.ParticleDiameters = diameters;
  CloseForm();
}

void PollutantForm::CalculateDeposition() {
  BuildingRecord& b = ctx_.state.Building;
  ReadParticleDiameters(*grid_, b.Scenario.Pollutants);
  SetDepositionDefaults(b);
  ctx_.state.ScenarioSaved = false;
}

void PollutantForm::DefinePenetration() {
  // Column 2 is the diameter only for particles; for gases it is the molecular weight.
  if (particles_) {
    ReadParticleDiameters(*grid_, ctx_.state.Building.Scenario.Pollutants);
    ctx_.state.ScenarioSaved = false;
  }
  OpenPenetrationForm(ctx_, this);
}

PollutantForm* OpenPollutantForm(MainContext& context, QWidget* opener) {
  const auto [form, open] = ShowInputFormOnce<PollutantForm>(context, opener, 0, 0);
  if (open) return form;
  form->Fill();
  FitOuterFrame(form);
  form->Grid().setFocus(Qt::OtherFocusReason);
  return form;
}

}  // namespace quarn
