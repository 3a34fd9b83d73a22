#include "ui/inputs/hvac_source_form.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include <string>

#include "files/source_file.h"
#include "model/emission_models.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "text/number_read.h"
#include "ui/common/form_helpers.h"
#include "ui/inputs/menu_tables.h"
#include "ui/inputs/source_display_form.h"
#include "ui/inputs/source_form_parts.h"

namespace quarn {

namespace {

constexpr int kMinWidthTwips = 10980;
constexpr int kMinHeightTwips = 6405;
constexpr int kHvac = 0;  // the HVAC system's sources are filed under room 0
constexpr const char* kModels[] = {"Mass transfer", "R0k",     "Paint1", "Paint2", "R/T",
                                   "Shower",        "Polyfit", "VBX",    "Spill"};
constexpr int kModelCount = static_cast<int>(std::size(kModels));

}  // namespace

std::string HVACModelName(int model) {
  if (model >= 0 && model < kModelCount) return kModels[model];
  return EmissionModelName(model);
}

HVACSourceForm::HVACSourceForm(MainContext& context)
    : InputForm(context, "HVACSourcefrm", "HVAC Source") {
  BuildControls();
  BuildMenus(menus::kHVACSourceForm);
  SetMinimumTwips(*this, kMinWidthTwips, kMinHeightTwips);
  SetCommand("fileopen", [this] { OpenFile(); });
  SetCommand("filesave", [this] { SaveFile(); });
  SetSpinnerSteps(*this, *source_spin_, "ChangesourcenumberDown", "ChangesourcenumberUp",
                  [this](int step) { StepSource(step); });
  SetModelListCommand(*this, *model_, chosen_model_, [this](int model) { ChooseModel(model); });
  connect(count_, &QLineEdit::textEdited, this, &HVACSourceForm::CountChanged);
  ShowUnits();
}

void HVACSourceForm::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);

  QHBoxLayout* top = AddSourceTopFrame(*central, *layout);
  QWidget* topframe = top->parentWidget();
  AddLabel(topframe, *top, "Label3", "HVAC");
  msg_ = AddLabel(topframe, *top, "Msg", "VOC");
  const SourceNumberControls number = AddSourceNumberControls(topframe, *top, ctx_.prompt);
  count_ = number.count;
  source_spin_ = number.spinner;
  source_number_ = number.number;
  top->addStretch(1);

  auto* boxes = new QHBoxLayout;
  model_ = AddModelList(central, *boxes);
  for (const char* name : kModels) model_->addItem(ToQt(name));

  AddLabel(central, *boxes, "Label6", "Total mass applied mg");
  total_mass_ = AddNumberBox(central, *boxes, "TotalMass", ctx_.prompt);

  units_ = AddUnitOptions(central, *boxes, {"mg", "\xB5g", "Number"});
  boxes->addStretch(1);
  layout->addLayout(boxes);

  const SourceGridControls grids = AddSourceGrids(*central, *layout);
  schedule_ = grids.schedule;
  parameters_ = grids.parameters;
  AddSourceEditSessions(*this, grids);
  setCentralWidget(central);
}

void HVACSourceForm::ShowUnits() {
  // The option names the scenario's units; the sources keep their own emission units.
  const std::string& units = ctx_.state.Building.Scenario.ConcUnits;
  const size_t shown = units == "milligrams" || units == "ppm" ? 0 : units == "micrograms" ? 1 : 2;
  for (size_t i = 0; i < units_.size(); ++i) {
    units_[i]->setVisible(i == shown);
    units_[i]->setChecked(i == shown);
  }
}

int HVACSourceForm::Count() const {
  return SourceSlotCount(ctx_.state.Building.Scenario, kHvac);
}

void HVACSourceForm::Open() {
  // Every slot is copied, and only here: taken again whenever the window came back to the
  // front, the copy would drop the sources stored but not yet transferred.
  const auto& sources = ctx_.state.Building.Scenario.Sources[kHvac];
  std::copy(sources.begin(), sources.end(), hvac_source_work_.begin());
  ShowHVACSource(1);
}

void HVACSourceForm::ShowHVACSource(int slot) {
  if (slot < 1 || slot > kMaxSources) return;
  slot_ = slot;
  SourceRecord& work = hvac_source_work_[static_cast<size_t>(slot)];
  FillSourceGrids(work, kHvac, slot, *schedule_, *parameters_, values_, ctx_.state, ctx_.prompt);
  schedule_->SetTextMatrix(1, 0, HVACModelName(work.Model));
  msg_->setText(ToQt(values_.room_name));
  source_number_->setText(ToQt(values_.source_number));
  total_mass_->setText(ToQt(values_.total_mass.text));
  model_->setCurrentIndex(
      values_.source_model >= 0 && values_.source_model < kModelCount ? values_.source_model : -1);
  NoteSourceModel(work, ctx_.state, ctx_.prompt);
}

bool HVACSourceForm::StoreHVACSource() {
  values_.total_mass_text = FromQt(total_mass_->text());
  ProgramState& st = ctx_.state;
  const SourceRecord& stored = st.Building.Scenario.Sources[kHvac][static_cast<size_t>(slot_)];
  std::optional<SourceRecord> read =
      ReadSourceGrids(*schedule_, *parameters_, values_, stored, st.Building.Scenario, ctx_.prompt);
  if (!read) return false;
  // The window has no velocity box, and its unit option names the scenario's units.
  read->EmissionUnits = stored.EmissionUnits;
  read->GasVelocity = stored.GasVelocity;
  hvac_source_work_[static_cast<size_t>(slot_)] = *read;
  return true;
}

void HVACSourceForm::TakeSource(int slot, const SourceRecord& source) {
  if (slot < 1 || slot > kMaxSources) return;
  hvac_source_work_[static_cast<size_t>(slot)] = source;
  if (slot == slot_) ShowHVACSource(slot);
}

void HVACSourceForm::ChooseModel(int model) {
  // What was typed is kept under the model it was shown with before the new one is shown.
  if (!StoreHVACSource()) {
    model_->setCurrentIndex(values_.source_model < kModelCount ? values_.source_model : -1);
    return;
  }
  hvac_source_work_[static_cast<size_t>(slot_)].Model = static_cast<int16_t>(model);
  ctx_.state.ScenarioSaved = false;
  ShowHVACSource(slot_);
}

void HVACSourceForm::CountChanged(const QString& text) {
  // The count is the scenario's: the box only warns of the limit.
  if (LeadingNumber(FromQt(text)) > kMaxSources) {
    ctx_.prompt.Message("Only allowed " + std::to_string(kMaxSources) + " sources.", "",
                        MessageIcon::None);
  }
}

void HVACSourceForm::StepSource(int step) {
  const int target = slot_ + step;
  if (target < 1 || target > Count()) return;
  if (!StoreHVACSource()) return;
  ShowHVACSource(target);
}

void HVACSourceForm::OpenFile() {
  const auto name = ctx_.dialogs.OpenFileName(SourceFileRequest());
  if (!name) return;
  ProgramState& st = ctx_.state;
  st.CurrentFileName = *name;
  std::string file = *name;
  SourceRecord& stored = st.Building.Scenario.Sources[kHvac][static_cast<size_t>(slot_)];
  // A file that cannot be read has said so and changed nothing.
  if (!ReadSourceFile(file, st.Building.Scenario.NumPollutants, stored, ctx_.prompt)) return;
  st.ScenarioSaved = false;
  TakeSource(slot_, stored);
  OpenSourceDisplay(ctx_, stored, kHvac, slot_, this);
}

void HVACSourceForm::SaveFile() {
  const auto name = ctx_.dialogs.SaveFileName(SourceFileRequest());
  if (!name) return;
  // The file gets the source as the window shows it.
  if (!StoreHVACSource()) return;
  ctx_.state.CurrentFileName = *name;
  std::string file = *name;
  WriteSourceFile(file, ctx_.state.Building.Scenario.NumPollutants,
                  hvac_source_work_[static_cast<size_t>(slot_)], ctx_.prompt);
}

void HVACSourceForm::Transfer() {
  if (!StoreHVACSource()) return;
  auto& sources = ctx_.state.Building.Scenario.Sources[kHvac];
  for (int k = 1; k <= Count(); ++k)
    sources[static_cast<size_t>(k)] = hvac_source_work_[static_cast<size_t>(k)];
  ctx_.state.ScenarioSaved = false;
  CloseForm();
}

bool HVACSourceForm::CloseBox() {
  // As Cancel would, if the window had one: nothing is stored.
  if (!AgreeToDropEdits()) return false;
  ctx_.state.SourcesSaved = true;
  return true;
}

HVACSourceForm* OpenHVACSourceForm(MainContext& context) {
  const auto [form, open_already] = ShowInputFormOnce<HVACSourceForm>(context, nullptr, 0, 0);
  if (!open_already) form->Open();
  return form;
}

}  // namespace quarn
