#include "ui/building/hvac_flow_history.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "files/window_files.h"
#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "text/number_read.h"
#include "ui/building/menu_tables.h"
#include "ui/common/form_helpers.h"
#include "ui/common/history_form_parts.h"
#include "ui/common/number_entry.h"
#include "ui/common/print_frame.h"
#include "ui/common/window_menu.h"
#include "ui/grids/input_reports.h"

namespace quarn {

namespace {

constexpr int kLeftTwips = 5;
constexpr int kTopTwips = 10;
constexpr int kMinWidthTwips = 6400;
constexpr int kMinHeightTwips = 5590;
constexpr int kGridHeightTwips = 4600;
constexpr int kGridWidthTwips = 3400;
constexpr int kPrintLinesPerPage = 70;

constexpr const char* kFilter = "HVAC flow history (*.FHI)|*.FHI|All files (*.*)|*.*";
constexpr const char* kExtension = "FHI";

}  // namespace

HVACFlowHistory::HVACFlowHistory(MainContext& context)
    : InputForm(context, "HVACFlowHistory", "HVAC Flow History") {
  BuildControls();
  BuildMenus(menus::kHVACFlowHistory);
  SetCommand("fileopen", [this] { OpenFile(); });
  SetCommand("filesave", [this] { SaveFile(); });
  SetCommand("FilePrint", [this] { Print(); });
  SetCommand("FileCancel", [this] { AskCancel(); });
  SetScheduleRowCommands(*this, *grid_, ctx_.prompt);
  SetCommand("tbnRandom", [this] { GenerateRandom(); });
  SetHelp(kMainHelpFile, "");
  AddEditSession(*grid_, *edit_cell_, true);
  SetMinimumTwips(*this, kMinWidthTwips, kMinHeightTwips);
}

void HVACFlowHistory::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);

  QHBoxLayout* top = AddTopFrame(*central, edit_cell_);
  QWidget* top_frame = top->parentWidget();
  auto* label = new QLabel("Fraction of time on", top_frame);
  label->setObjectName("FractionLabel");
  top->addWidget(label);
  fraction_on_ = new QLineEdit("1", top_frame);
  fraction_on_->setObjectName("FractionOn");
  RestrictToNumbers(*fraction_on_, ctx_.prompt);
  top->addWidget(fraction_on_);
  auto* random = new QPushButton("Generate Random", top_frame);
  random->setObjectName("tbnRandom");
  SetButtonCommand(*random, "tbnRandom");
  top->addWidget(random);
  top->addStretch();

  auto* body = new QHBoxLayout;
  grid_ = new FlexGrid(central);
  grid_->setObjectName("HVACHistss");
  SetMinimumTwips(*grid_, kGridWidthTwips, kGridHeightTwips);
  body->addWidget(grid_, 1);
  auto* options = new QVBoxLayout;
  QGroupBox* flows = AddFrame(*central, "Frame1", "Flows affected");
  option_all_ = AddOption(*flows, "OptionAll", "All HVAC flows");
  option_outdoor_ = AddOption(*flows, "OptionOutdoor", "Outdoor flows ");
  options->addWidget(flows);
  QGroupBox* cycle = AddFrame(*central, "CycleFrame", "Is this a cycle?");
  yes_option_ = AddOption(*cycle, "YesOption", "Yes");
  no_option_ = AddOption(*cycle, "NoOption", "No");
  options->addWidget(cycle);
  options->addStretch();
  body->addLayout(options);
  layout->addLayout(body, 1);
  setCentralWidget(central);
}

HVACHistoryOptions HVACFlowHistory::Options() const {
  return {option_outdoor_->isChecked(), yes_option_->isChecked()};
}

void HVACFlowHistory::ShowOptions(const HVACHistoryOptions& options) {
  (options.outdoor_only ? option_outdoor_ : option_all_)->setChecked(true);
  (options.cycle ? yes_option_ : no_option_)->setChecked(true);
}

void HVACFlowHistory::FillFromRecord() {
  ShowOptions(FillHVACFlowHistoryGrid(*grid_, ctx_.state.Building.Scenario));
  grid_->SetRowCol(1, 1);
  ClearEdited();
}

void HVACFlowHistory::Transfer() {
  ReadHVACHistoryGrid(*grid_, Options(), ctx_.state.Building.Scenario);
  ctx_.state.ScenarioSaved = false;
  CloseForm();
}

void HVACFlowHistory::OpenFile() {
  const auto name =
      ctx_.dialogs.OpenFileName(FileRequest(kFilter, kExtension, "", "Open flow file"));
  if (!name) return;
  // A file that cannot be read has said so and changed nothing: the grid stays as it is.
  if (!ReadHVACFlowHistoryFile(ctx_.state.Building.Scenario, *name, ctx_.prompt)) return;
  ctx_.state.ScenarioSaved = false;
  FillFromRecord();
}

void HVACFlowHistory::SaveFile() {
  const auto name =
      ctx_.dialogs.SaveFileName(FileRequest(kFilter, kExtension, "", "Save flow file"));
  if (!name) return;
  ScenarioRecord& scenario = ctx_.state.Building.Scenario;
  const HVACHistoryOptions options = Options();
  ReadHVACHistoryGrid(*grid_, options, scenario);
  ctx_.state.ScenarioSaved = false;
  WriteHVACFlowHistoryFile(scenario, options.outdoor_only, options.cycle, *name, ctx_.prompt);
}

void HVACFlowHistory::Print() {
  // The record is printed: edits not yet transferred stay in the grid.
  PrintReportSection(ctx_.printer, ctx_.state.Building, PrintHVACFlowChanges, kPrintLinesPerPage);
}

void HVACFlowHistory::AskCancel() {
  if (AgreeToLoseChanges(ctx_.prompt)) CloseForm();
}

void HVACFlowHistory::GenerateRandom() {
  const float fraction = BoxSingle(*fraction_on_);
  const std::vector<FlowHistoryRow> rows = GenerateRandomFlowHistory(fraction, random_);
  // Rows below the closing 24 h row are emptied, so that no older history is read back
  // after it and the cycle ends at 24 h.
  for (int r = 1; r <= kMaxHistory; ++r) {
    const auto i = static_cast<size_t>(r - 1);
    grid_->SetTextMatrix(r, 1, i < rows.size() ? rows[i].time : "");
    grid_->SetTextMatrix(r, 2, i < rows.size() ? rows[i].fraction : "");
  }
  MarkEdited();
}

HVACFlowHistory* OpenHVACFlowHistory(MainContext& context, QWidget* opener) {
  HVACFlowHistory* form =
      ShowInputFormOnce<HVACFlowHistory>(context, opener, kLeftTwips, kTopTwips).form;
  form->FillFromRecord();
  // 0.8 of the frame's width, never narrower than the window's least.
  QWidget* outer = OuterFrame(form);
  int width = outer->width();
  if (QMdiArea* area = AreaAbove(form)) width = area->window()->width() * 4 / 5;
  const QSize least = outer->minimumSizeHint().expandedTo(form->minimumSize());
  outer->resize(std::max(width, least.width()), std::max(outer->height(), least.height()));
  form->Grid().setFocus(Qt::OtherFocusReason);
  return form;
}

}  // namespace quarn
