#include "ui/results/risk_data_form.h"

#include <QAction>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <optional>
#include <utility>

#include "files/database_service.h"
#include "files/reference_data.h"
#include "files/window_files.h"
#include "model/not_implemented.h"
#include "platform/clipboard.h"
#include "platform/data_control.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/common/window_menu.h"
#include "ui/common/window_tiling.h"
#include "ui/grids/data_grids.h"
#include "ui/results/menu_tables.h"
#include "ui/results/risk_table.h"

namespace quarn {
namespace {

constexpr const char* kRiskDataFile = "DEVOviza15.MDB";

FileDialogRequest Request(const char* pattern, const char* filter, const char* extension) {
  FileDialogRequest request;
  request.initial_name = pattern;
  request.filter = filter;
  request.default_extension = extension;
  return request;
}

struct BoxSpec {
  const char* name;
  const char* field;
  const char* label;
};
constexpr std::array<BoxSpec, 7> kBoxes{{
    {"PollutantName", "Pollutant", "Pollutant Name:"},
    {"Irritant", "IrritantConcentration", "Concentration for irritant response mg/m3"},
    {"Cancer", "CancerRisk", "Concentration for 1e-5 lifetime cancer risk ug/m3"},
    {"Text1", "OdorConcentration", "Odor concentration"},
    {"Text2", "ThresholdConcentration", "Threshold concentration"},
    {"Comments", "Comments", "Comments"},
    {"references", "Reference", "References"},
}};
// The boxes whose whole text is selected when they get the focus.
constexpr std::ptrdiff_t kSelectAllBoxes = 3;

constexpr const char* kRiskFileFilter = "Risk data (*.RSK)|*.RSK|All files (*.*)|*.*";
constexpr const char* kDatabaseFilter = "Database (*.mdb)|*.mdb|All files (*.*)|*.*";
constexpr int kMinBoxWidthTwips = 4500;

// A Single from a box, as a save stores it: a text that is not one number leaves the field.
void StoreSingle(const QLineEdit& box, float& field) {
  if (const std::optional<float> single = ParseSingle(FromQt(box.text()))) field = *single;
}

}  // namespace

RiskDataForm::RiskDataForm(MainContext& context)
    : InputForm(context, "RiskDataForm", "Risk Factor Data Entry") {
  BuildBoxes();
  SetCommand("fileopen", [this] { OpenRiskFile(); });
  SetCommand("filesave", [this] { SaveRiskFile(); });
  SetCommand("openriskdb", [this] { OpenRiskDatabase(); });
  SetCommand("FilePrint", [this] {
    PrintCommand command(ctx_.printer);
    command.Window(*this);
  });
  SetCommand("Filesetup", [this] { ShowNotImplemented(ctx_.prompt); });
  for (const char* edit : {"EditCopy", "EditCut", "editclear", "EditPaste"}) {
    SetCommand(edit, [this, edit] { EditFocusedBox(edit); });
  }
  BuildMenus(menus::kRiskData);
  // The buttons run the menus' Transfer and Cancel, known once the menus are.
  SetButtonCommand(*findChild<QPushButton*>("Command1"), "filereturn");
  SetButtonCommand(*findChild<QPushButton*>("Command2"), "FileCancel");
  SetHelp(kMainHelpFile, "Risk");
  CaptionFollowsRecord(*data_);
  connect(data_, &DataControl::Reposition, this, &RiskDataForm::ShowRecord);
  // Loading goes on past a missing database: the boxes stay empty, without a message.
  if (std::optional<JetTable> table = ReadRiskTable(ctx_, kRiskDataFile, false)) {
    ShowRecords(*data_, std::move(*table));
  }
}

void RiskDataForm::BuildBoxes() {
  auto* central = new QWidget(this);
  auto* layout = new QGridLayout(central);
  for (size_t i = 0; i < kBoxes.size(); ++i) {
    const int row = static_cast<int>(i);
    auto* label = new QLabel(ToQt(kBoxes[i].label), central);
    label->setObjectName(QString("Label%1").arg(row + 1));
    layout->addWidget(label, row, 0);
    auto* box = new QLineEdit(central);
    box->setObjectName(kBoxes[i].name);
    box->setMinimumWidth(TwipsToPixels(kMinBoxWidthTwips));
    label->setBuddy(box);
    layout->addWidget(box, row, 1);
    boxes_[i] = box;
    box->installEventFilter(this);
  }
  // Enter in the comments puts the caret back at their start.
  connect(&Comments(), &QLineEdit::returnPressed, this,
          [this] { Comments().setCursorPosition(0); });
  data_ = new DataControl(central);
  const int next = static_cast<int>(kBoxes.size());
  layout->addWidget(data_, next, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  for (const auto& [name, caption] :
       {std::pair{"Command1", "&Transfer"}, std::pair{"Command2", "Cancel"}}) {
    auto* button = new QPushButton(ToQt(caption), central);
    button->setObjectName(name);
    buttons->addWidget(button);
  }
  layout->addLayout(buttons, next + 1, 0, 1, 2);
  layout->setRowStretch(next + 2, 1);
  setCentralWidget(central);
}

bool RiskDataForm::eventFilter(QObject* watched, QEvent* event) {
  const auto box = std::find(boxes_.begin(), boxes_.end(), watched);
  if (event->type() == QEvent::FocusIn && box != boxes_.end()) {
    edit_target_ = *box;
    // After the click that gave the focus, which would place the caret.
    if (box - boxes_.begin() < kSelectAllBoxes) {
      QTimer::singleShot(0, *box, &QLineEdit::selectAll);
    }
  }
  return InputForm::eventFilter(watched, event);
}

void RiskDataForm::ShowRecord() {
  for (size_t i = 0; i < kBoxes.size(); ++i) {
    boxes_[i]->setText(ToQt(data_->Field(kBoxes[i].field)));
  }
}

void RiskDataForm::Transfer() {
  ReadPollutantRecord({FromQt(PollutantName().text()), FromQt(Irritant().text()),
                       FromQt(Cancer().text()), FromQt(Comments().text())},
                      ctx_.state.Building.Scenario);
  ctx_.state.ScenarioSaved = false;
  CloseForm();
}

void RiskDataForm::OpenRiskFile() {
  ctx_.state.CurrentFileName.clear();
  const std::optional<std::string> name =
      ctx_.dialogs.OpenFileName(Request("*.RSK", kRiskFileFilter, "RSK"));
  if (!name) return;
  ctx_.state.CurrentFileName = *name;
  ScenarioRecord& s = ctx_.state.Building.Scenario;
  if (!ReadRiskDataFile(s, 0, *name, ctx_.prompt)) return;
  ctx_.state.ScenarioSaved = false;
  const PollutantRecord& p = s.Pollutants[0];
  PollutantName().setText(ToQt(p.Name));
  Irritant().setText(ToQt(SignSingle(p.IrritantConc)));
  Cancer().setText(ToQt(SignSingle(p.CancerRisk)));
  Comments().setText(ToQt(p.Comments));
}

void RiskDataForm::SaveRiskFile() {
  // The name is taken as chosen, without an extension added.
  const std::optional<std::string> name =
      ctx_.dialogs.SaveFileName(Request("*.RSK", kRiskFileFilter, ""));
  if (!name) return;
  ctx_.state.CurrentFileName = *name;
  ScenarioRecord& s = ctx_.state.Building.Scenario;
  PollutantRecord& p = s.Pollutants[0];
  p.Name = FromQt(PollutantName().text());
  StoreSingle(Irritant(), p.IrritantConc);
  StoreSingle(Cancer(), p.CancerRisk);
  p.Comments = FromQt(Comments().text());
  ctx_.state.ScenarioSaved = false;
  WriteRiskDataFile(s, *name, ctx_.prompt);
}

void RiskDataForm::OpenRiskDatabase() {
  ctx_.state.CurrentFileName.clear();
  const std::optional<std::string> name =
      ctx_.dialogs.OpenFileName(Request("*.mdb", kDatabaseFilter, "mdb"));
  if (!name) return;
  ctx_.state.CurrentFileName = *name;
  // A file that does not serve keeps the records shown.
  if (std::optional<JetTable> table = ReadRiskTable(ctx_, *name, true)) {
    ShowRecords(*data_, std::move(*table));
  }
}

void RiskDataForm::EditFocusedBox(const char* command) {
  QLineEdit* box = edit_target_;
  if (box == nullptr) return;
  const std::string name = command;
  if (name == "EditCopy" || name == "EditCut") SetClipboardText(FromQt(box->selectedText()));
  if (name == "EditCut" || name == "editclear") box->insert(QString());
  if (name == "EditPaste") box->insert(ToQt(ClipboardText()));
}

RiskDataForm* ShowRiskDataForm(MainContext& context, QWidget* opener) {
  const bool open = AppWindows().Find<RiskDataForm>() != nullptr;
  auto* form = ShowInputForm<RiskDataForm>(
      context, opener, [&context] { return new RiskDataForm(context); }, 0, 0, false);
  if (!open) CenterForm(*OuterFrame(form));
  return form;
}

}  // namespace quarn
