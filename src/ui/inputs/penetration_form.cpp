#include "ui/inputs/penetration_form.h"

#include "files/window_files.h"
#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "platform/window_registry.h"
#include "ui/common/form_helpers.h"
#include "ui/common/window_links.h"
#include "ui/common/window_menu.h"
#include "ui/grids/scenario_grid.h"
#include "ui/inputs/menu_tables.h"
#include "ui/inputs/penetration_grid.h"

namespace quarn {

PenetrationForm::PenetrationForm(MainContext& context)
    : InputForm(context, "fpenetrationform", "Define penetration factors") {
  const EditGridControls controls = BuildEditGrid(*this, "topframe", "penetrationss");
  topframe_ = controls.frame;
  edit_cell_ = controls.box;
  grid_ = controls.grid;
  AddEditSession(*grid_, *edit_cell_, true);
  SetCommand("fileopen", [this] { OpenPenetrationFile(); });
  SetCommand("editclearall", [this] { ClearAllData(*this, *grid_, ctx_.prompt, 1); });
  // Defaults come from particle diameters; a gas has none.
  if (IsParticleMode(ctx_.state.Building.Scenario)) {
    SetCommand("calculate", [this] {
      CalculateDefaultPenetration(*grid_, ctx_.state.Building.Scenario);
      MarkEdited();
    });
  }
  BuildMenus(menus::kPenetrationForm);
  SetHelp("RIRozid.HLP", "penetration");
}

QSize PenetrationForm::sizeHint() const {
  return WithWholeMenuBar(*this, InputForm::sizeHint());
}

void PenetrationForm::Fill() {
  const ScenarioRecord& s = ctx_.state.Building.Scenario;
  SetupPenetrationGrid(*grid_, s, s.NumPollutants);
  LoadPenetrationGrid(*grid_, s, s.NumPollutants);
  ClearEdited();
}

void PenetrationForm::Transfer() {
  ProgramState& st = ctx_.state;
  if (!PenetrationFactorsValid(*grid_, st.Building.Scenario.NumPollutants, ctx_.prompt)) return;
  SavePenetrationGrid(*grid_, st.Building.Scenario.NumPollutants, st.Building.Scenario,
                      st.ParticleDiameters);
  st.ScenarioSaved = false;
  CloseForm();
  // Back in the scenario editor on its penetration row.
  if (auto* editor = AppWindows().FindAs<ScenarioEditorLink>()) {
    editor->ScenarioSS().SetRowCol(scenario_row::kPenetration, 1);
  }
}

void PenetrationForm::OpenPenetrationFile() {
  FileDialogRequest request;
  request.filter = "All files (*.*)|*.*";
  const std::optional<std::string> name = ctx_.dialogs.OpenFileName(request);
  if (!name) return;
  ScenarioRecord& s = ctx_.state.Building.Scenario;
  // The reader stores the factors at once: they stay even if the window is cancelled.
  if (!ReadPenetrationFile(s, ctx_.state.ParticleDiameters, *name, ctx_.prompt)) return;
  ctx_.state.ScenarioSaved = false;
  LoadPenetrationGrid(*grid_, s, s.NumPollutants);
}

PenetrationForm* OpenPenetrationForm(MainContext& context, QWidget* opener) {
  // Where the scenario editor stands.
  int left = 0;
  int top = 0;
  if (auto* editor = dynamic_cast<QWidget*>(AppWindows().FindAs<ScenarioEditorLink>())) {
    const QPoint at = OuterFrame(editor)->pos();
    left = PixelsToTwips(at.x());
    top = PixelsToTwips(at.y());
  }
  const auto [form, open] = ShowInputFormOnce<PenetrationForm>(context, opener, left, top);
  if (open) return form;
  form->Fill();
  FitOuterFrame(form);
  form->Grid().setFocus(Qt::OtherFocusReason);
  return form;
}

}  // namespace quarn
