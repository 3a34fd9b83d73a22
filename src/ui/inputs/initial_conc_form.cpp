#include "ui/inputs/initial_conc_form.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "files/window_files.h"
#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "ui/common/form_helpers.h"
#include "ui/common/history_form_parts.h"
#include "ui/inputs/menu_tables.h"
#include "ui/inputs/pollutant_form.h"

namespace quarn {
namespace {

constexpr int kLeftTopTwips = 5;
constexpr int kMinWidthTwips = 10000;
constexpr int kMinHeightTwips = 5960;

constexpr const char* kFileFilter = "Initial (*.INT)|*.INT|All files (*.*)|*.*";

}  // namespace

InitialConcForm::InitialConcForm(MainContext& context)
    : InputForm(context, "Initialindoorform", "Initial indoor concentrations") {
  BuildControls();
  BuildMenus(menus::kInitialConcForm);
  SetCommand("fileopen", [this] { OpenFile(); });
  SetCommand("filesave", [this] { SaveFile(); });
  SetCommand("editclearall", [this] { ClearGridFrom(*this, *grid_, 2, 1); });
  SetHelp("RIRozid.HLP", "initial");
  AddEditSession(*grid_, *edit_cell_, true);
  SetMinimumTwips(*this, kMinWidthTwips, kMinHeightTwips);
}

void InitialConcForm::BuildControls() {
  auto* central = new QWidget(this);
  new QVBoxLayout(central);
  QHBoxLayout* top = AddTopFrame(*central, edit_cell_);
  units_ =
      AddUnitFrame(*central, *top, "Concentration", IsParticleMode(ctx_.state.Building.Scenario));
  top->addStretch(1);
  connect(units_.number_or_ppm, &QRadioButton::clicked, this, [this] { ChooseUnit(1); });
  connect(units_.micrograms, &QRadioButton::clicked, this, [this] { ChooseUnit(2); });
  connect(units_.milligrams, &QRadioButton::clicked, this, [this] { ChooseUnit(3); });
  // A unit chosen is work that Cancel and the close box would throw away.
  CountAsEdits({units_.number_or_ppm, units_.micrograms, units_.milligrams});
  grid_ = new FlexGrid(central);
  grid_->setObjectName("Initialss");
  central->layout()->addWidget(grid_);
  setCentralWidget(central);
}

int InitialConcForm::Rooms() const {
  return RoomCount(ctx_.state.Building);
}

void InitialConcForm::Fill() {
  UnitOptions options;
  SetupInitialConcentrationGrid(*grid_, options, ctx_.state.Building);
  units_.Select(options);
  LoadInitialConcentrationGrid(*grid_, ctx_.state.Building);
  // Opened from the pollutant window before its Transfer, the rows are named as the
  // pollutants are typed there.
  if (auto* pollutants = AppWindows().Find<PollutantForm>()) {
    const FlexGrid& typed = pollutants->Grid();
    const int n = PollutantCount(ctx_.state.Building.Scenario);
    for (int p = 0; p < n && p + 1 < typed.Rows(); ++p) {
      const std::string name = typed.TextMatrix(p + 1, 1);
      if (!name.empty()) grid_->SetTextMatrix(p + 2, 0, name);
    }
  }
}

void InitialConcForm::ChooseUnit(int option) {
  // Only the label changes: the typed numbers are read in the chosen unit on Transfer, and
  // Cancel leaves the unit as it was.
  const bool particles = IsParticleMode(ctx_.state.Building.Scenario);
  const char* label = option == 1   ? (particles ? "#/cc" : "ppm")
                      : option == 2 ? "\xB5g/m3"
                                    : "mg/m\xB3";
  // The scenario block would no longer show the typed values converted.
  if (option == 1) grid_->SetCols(Rooms() + 1);
  for (int r = 1; r <= Rooms() && r < grid_->Cols(); ++r) grid_->SetTextMatrix(0, r, label);
}

bool InitialConcForm::Store() {
  ScenarioRecord& s = ctx_.state.Building.Scenario;
  const std::string before = s.InitialConcUnits;
  s.InitialConcUnits = units_.Units(IsParticleMode(s), before);
  if (!ReadInitialConcGrid(*grid_, ctx_.state.Building, ctx_.prompt)) {
    s.InitialConcUnits = before;
    return false;
  }
  ctx_.state.ScenarioSaved = false;
  return true;
}

void InitialConcForm::Transfer() {
  if (Store()) CloseForm();
}

void InitialConcForm::OpenFile() {
  const auto name = ctx_.dialogs.OpenFileName(FileRequest(kFileFilter, "", "*.INT"));
  if (!name) return;
  ProgramState& st = ctx_.state;
  ScenarioRecord& s = st.Building.Scenario;
  if (!ReadInitialIndoorFile(s, Rooms(), *name, ctx_.prompt)) return;
  // The file holds the scenario's units: they become the typed ones too, so that Transfer
  // keeps what was read.
  const int n = PollutantCount(s);
  for (int r = 1; r <= Rooms(); ++r) {
    for (int p = 0; p < n; ++p) s.InitialConcInput[r][p] = s.InitialConc[r][p];
  }
  s.InitialConcUnits = s.ConcUnits;
  st.ScenarioSaved = false;
  Fill();
}

void InitialConcForm::SaveFile() {
  if (!Store()) return;
  const auto name = ctx_.dialogs.SaveFileName(FileRequest(kFileFilter, "", "*.INT"));
  if (!name) return;
  WriteInitialIndoorFile(ctx_.state.Building.Scenario, Rooms(), *name, ctx_.prompt);
}

InitialConcForm* OpenInitialIndoorForm(MainContext& context, QWidget* opener) {
  const auto [form, open] =
      ShowInputFormOnce<InitialConcForm>(context, opener, kLeftTopTwips, kLeftTopTwips);
  if (!open) form->Fill();
  form->Grid().setFocus(Qt::OtherFocusReason);
  return form;
}

}  // namespace quarn
