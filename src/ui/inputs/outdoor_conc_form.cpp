#include "ui/inputs/outdoor_conc_form.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>

#include "files/window_files.h"
#include "model/unit_conversion.h"
#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "ui/common/form_helpers.h"
#include "ui/common/history_form_parts.h"
#include "ui/inputs/menu_tables.h"

namespace quarn {
namespace {

constexpr int kLeftTopTwips = 10;
constexpr int kMinWidthTwips = 8400;
constexpr int kMinHeightTwips = 7800;

constexpr const char* kFileFilter = "All Outdoor (*.Out)|*.Out|All files (*.*)|*.*";

bool IsPpmInAnyCase(const std::string& units) {
  std::string lower = units;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower == kPpm;
}

}  // namespace

OutdoorConcForm::OutdoorConcForm(MainContext& context)
    : InputForm(context, "foutdoorconcen", "Outdoor Concentration") {
  BuildControls();
  BuildMenus(menus::kOutdoorConcForm);
  SetCommand("fileopen", [this] { OpenFile(); });
  SetCommand("filesave", [this] { SaveFile(); });
  SetCommand("editclearall", [this] { ClearAllData(*this, *grid_, ctx_.prompt, 0, 2); });
  SetHelp("RIRozid.HLP", "Outdoor concentration");
  AddEditSession(*grid_, *edit_cell_, true);
  SetMinimumTwips(*this, kMinWidthTwips, kMinHeightTwips);
}

void OutdoorConcForm::BuildControls() {
  auto* central = new QWidget(this);
  new QVBoxLayout(central);
  QHBoxLayout* top = AddTopFrame(*central, edit_cell_);
  top->parentWidget()->setObjectName("topframe");
  units_ = AddUnitFrame(*central, *top, "", IsParticleMode(ctx_.state.Building.Scenario));
  connect(units_.number_or_ppm, &QRadioButton::clicked, this, [this] { ChooseUnit(1); });
  connect(units_.micrograms, &QRadioButton::clicked, this, [this] { ChooseUnit(2); });
  connect(units_.milligrams, &QRadioButton::clicked, this, [this] { ChooseUnit(3); });
  // A unit chosen is work that Cancel and the close box would throw away.
  CountAsEdits({units_.number_or_ppm, units_.micrograms, units_.milligrams});
  // Which diameter the particles are sized by is noted only: nothing depends on it.
  framediameter_ = AddFrame(*central, "framediameter", "Particle diameter");
  AddOption(*framediameter_, "Physical", "Physical ");
  AddOption(*framediameter_, "aerodynamic", "Aerodynamic");
  top->addWidget(framediameter_);
  top->addStretch(1);
  grid_ = new FlexGrid(central);
  grid_->setObjectName("outdoorconcgrid");
  central->layout()->addWidget(grid_);
  setCentralWidget(central);
}

void OutdoorConcForm::Fill() {
  ProgramState& st = ctx_.state;
  ScenarioRecord& s = st.Building.Scenario;
  const bool particles = IsParticleMode(s);
  const std::string before = s.OutdoorConcUnits;
  if (!particles && s.OutdoorConcUnits == kNumber) s.OutdoorConcUnits = kPpm;
  if (particles && IsPpmInAnyCase(s.OutdoorConcUnits)) s.OutdoorConcUnits = kNumber;
  if (s.OutdoorConcUnits != before) st.ScenarioSaved = false;
  framediameter_->setVisible(particles);

  const std::string& u = s.OutdoorConcUnits;
  units_.Select({u == kNumber || IsPpmInAnyCase(u), u == kMicrograms, u == kMilligrams});
  FillGrid();
  grid_->SetRowCol(2, 0);
}

void OutdoorConcForm::FillGrid() {
  SetupConcHistoryGrid(*grid_);
  FillConcGrid(*grid_, ctx_.state.Building);
  // The values stand in the unit chosen here, which Transfer stores.
  const UnitOptions chosen = units_.Selected();
  if (chosen.number_or_ppm) ChooseUnit(1);
  if (chosen.micrograms) ChooseUnit(2);
  if (chosen.milligrams) ChooseUnit(3);
}

void OutdoorConcForm::ChooseUnit(int option) {
  // Only the labels change: the typed numbers are read in the chosen unit on Transfer, and
  // Cancel leaves the unit as it was.
  const bool particles = IsParticleMode(ctx_.state.Building.Scenario);
  const char* label = option == 1   ? (particles ? "#/cc" : "ppm")
                      : option == 2 ? "\xB5g/m\xB3"
                                    : "mg/m\xB3";
  const int n = PollutantCount(ctx_.state.Building.Scenario);
  for (int p = 1; p <= n && p < grid_->Cols(); ++p) grid_->SetTextMatrix(1, p, label);
}

bool OutdoorConcForm::Store() {
  if (!ReadOutdoorConcGrid(*grid_, units_.Selected(), ctx_.state.Building, ctx_.prompt))
    return false;
  ctx_.state.ScenarioSaved = false;
  return true;
}

void OutdoorConcForm::Transfer() {
  if (Store()) CloseForm();
}

void OutdoorConcForm::KeepHistoryBefore() {
  if (before_) return;
  const ProgramState& st = ctx_.state;
  const ScenarioRecord& s = st.Building.Scenario;
  before_ = HistoryBefore{s.OutdoorConc, s.OutdoorConcTime, s.NumOutdoorConcPoints,
                          s.OutdoorConcInput, st.ScenarioSaved};
}

void OutdoorConcForm::Cancel() {
  if (CloseBox()) CloseForm();
}

bool OutdoorConcForm::CloseBox() {
  if (!AgreeToDropEdits()) return false;
  if (before_) {
    ProgramState& st = ctx_.state;
    ScenarioRecord& s = st.Building.Scenario;
    s.OutdoorConc = before_->conc;
    s.OutdoorConcTime = before_->times;
    s.NumOutdoorConcPoints = before_->points;
    s.OutdoorConcInput = before_->input;
    st.ScenarioSaved = before_->scenario_saved;
  }
  return true;
}

void OutdoorConcForm::OpenFile() {
  const auto name = ctx_.dialogs.OpenFileName(FileRequest(kFileFilter, "OUT"));
  if (!name) return;
  ProgramState& st = ctx_.state;
  KeepHistoryBefore();
  if (!ReadOutdoorConcentrationFile(st.Building.Scenario, *name, ctx_.prompt)) return;
  st.ScenarioSaved = false;
  FillGrid();
  grid_->SetRowCol(2, 0);
  MarkEdited();
}

void OutdoorConcForm::SaveFile() {
  const auto name = ctx_.dialogs.SaveFileName(FileRequest(kFileFilter, "OUT"));
  if (!name) return;
  KeepHistoryBefore();
  if (!Store()) return;
  const ProgramState& st = ctx_.state;
  WriteOutdoorConcentrationFile(st.Building.Scenario, st.DataSeparator, *name, ctx_.prompt);
}

OutdoorConcForm* OpenOutdoorConcForm(MainContext& context, QWidget* opener) {
  const auto [form, open] =
      ShowInputFormOnce<OutdoorConcForm>(context, opener, kLeftTopTwips, kLeftTopTwips);
  if (!open) form->Fill();
  form->Grid().setFocus(Qt::OtherFocusReason);
  return form;
}

}  // namespace quarn
