#include "ui/building/hvac_form.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "model/air_cleaners.h"
#include "platform/qt_text.h"
#include "platform/window_registry.h"
#include "ui/building/filter_definition_form.h"
#include "ui/building/menu_tables.h"
#include "ui/common/number_entry.h"
#include "ui/grids/history_grids.h"

namespace quarn {

namespace {

constexpr int kLeftTopTwips = 20;

// In the order of the filter kinds: the list index is the kind the record stores.
constexpr std::array<const char*, 10> kFilterKinds{
    "None",           "Furnace filter", "ASHRAE 40",
    "ASHRAE 65",      "ASHRAE 85",      "ASHRAE 95",
    "Pleated filter", "HEPA filter",    "Electronic air cleaner",
    "User defined"};
static_assert(kFilterKinds.size() == kFilterUserDefined + 1);

}  // namespace

HVACForm::HVACForm(MainContext& context) : InputForm(context, "HVACForm", "HVAC Air Cleaner Data") {
  BuildControls();
  BuildMenus(menus::kHVACForm);
  SetCommand("userdefine", [this] { UserDefine(); });
  SetButtonCommand(*userdefine_, "userdefine");
  CountAsEdits({filter_type_, capacity_});
  SetHelp(kMainHelpFile, "Air Cleaner");
}

void HVACForm::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QGridLayout(central);
  auto* filter_caption = new QLabel("Select filter from list", central);
  filter_caption->setObjectName("Label1");
  filter_type_ = new QComboBox(central);
  filter_type_->setObjectName("FilterType");
  for (const char* kind : kFilterKinds) filter_type_->addItem(ToQt(kind));
  auto* capacity_caption = new QLabel("Enter capacity gm", central);
  capacity_caption->setObjectName("Label2");
  capacity_ = new QLineEdit("0", central);
  capacity_->setObjectName("Capacity");
  RestrictToNumbers(*capacity_, ctx_.prompt);
  userdefine_ = new QPushButton("&User define filter", central);
  userdefine_->setObjectName("userdefine");
  layout->addWidget(filter_caption, 0, 0);
  layout->addWidget(filter_type_, 0, 1);
  layout->addWidget(capacity_caption, 1, 0);
  layout->addWidget(capacity_, 1, 1);
  layout->addWidget(userdefine_, 2, 0, 1, 2);
  layout->setRowStretch(3, 1);
  setCentralWidget(central);
}

void HVACForm::Fill() {
  const ScenarioRecord& s = ctx_.state.Building.Scenario;
  // A kind outside the list (a damaged file) selects nothing, and Transfer keeps it.
  filter_type_->setCurrentIndex(
      s.HVACFilterType >= 0 && s.HVACFilterType < filter_type_->count() ? s.HVACFilterType : -1);
  shown_capacity_ = SetHVACAirCleaner(s);
  capacity_->setText(ToQt(shown_capacity_.text));
}

void HVACForm::Transfer() {
  ScenarioRecord& s = ctx_.state.Building.Scenario;
  if (filter_type_->currentIndex() >= 0) {
    s.HVACFilterType = static_cast<int16_t>(filter_type_->currentIndex());
  }
  s.FilterCapacity = ReadHVACAirCleanerCapacity(shown_capacity_, FromQt(capacity_->text()));
  SetFilterPenetration(s);
  ctx_.state.ScenarioSaved = false;
  CloseForm();
}

void HVACForm::UserDefine() {
  filter_type_->setCurrentIndex(kFilterUserDefined);
  MarkEdited();
  OpenFilterDefinitionForm(ctx_, this);
}

HVACForm* OpenHVACForm(MainContext& context, QWidget* opener) {
  const auto [form, open_already] =
      ShowInputFormOnce<HVACForm>(context, opener, kLeftTopTwips, kLeftTopTwips);
  if (!open_already) form->Fill();
  return form;
}

}  // namespace quarn
