#include "ui/building/outdoor_flow_form.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QMdiArea>
#include <algorithm>
#include <memory>

#include "files/window_files.h"
#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "ui/building/flow_window_parts.h"
#include "ui/building/menu_tables.h"
#include "ui/common/form_helpers.h"
#include "ui/common/window_menu.h"
#include "ui/grids/flow_grids.h"
#include "ui/grids/grid_cells.h"
#include "ui/grids/input_reports.h"

namespace quarn {
namespace {

constexpr int kLeftTopTwips = 10;
constexpr double kFrameWidthShare = 0.9;
constexpr int kInColumn = 2;
constexpr int kOutColumn = 3;

constexpr const char* kFlowFilter = "All Flows (*.FLO)|*.FLO|All files (*.*)|*.*";

}  // namespace

OutdoorFlowForm::OutdoorFlowForm(MainContext& context)
    : InputForm(context, "OutdoorFlowForm", "Outdoor flows") {
  const FlowWindowParts parts = MakeFlowWindowParts(
      *this, "OutdoorFlowsSS", kGridWindowMinWidthTwips, kGridWindowMinHeightTwips);
  topframe_ = parts.topframe;
  parts.top->addStretch(1);
  edit_cell_ = parts.edit_cell;
  grid_ = parts.grid;

  AddEditSession(*grid_, *edit_cell_, true);
  // After the session's own key handling, which opens the box on F2.
  connect(grid_, &FlexGrid::KeyDown, this, &OutdoorFlowForm::GridKeyDown);
  connect(grid_, &FlexGrid::EnterCell, this, &OutdoorFlowForm::GridEnterCell);
  WireCommands();
  BuildMenus(menus::kOutdoorFlowForm);
  SetHelp(kMainHelpFile, "Natural flows");
}

void OutdoorFlowForm::WireCommands() {
  SetCommand("fileopen", [this] { OpenFlowFile(); });
  SetCommand("filesave", [this] { SaveFlowFile(); });
  SetCommand("FilePrint", [this] { PrintFlows(); });
  SetCommand("cancel", [this] { Cancel(); });
}

int OutdoorFlowForm::LastRoomRow() const {
  return std::min(RoomCount(ctx_.state.Building), grid_->Rows() - 2);
}

void OutdoorFlowForm::TotalOutdoorFlows() {
  PerRoom<float> entering{};
  PerRoom<float> leaving{};
  ReadOutdoorFlowGrid(*grid_, ctx_.state.Building, entering, leaving);
  float in = 0;
  float out = 0;
  for (int r = 1; r <= LastRoomRow(); ++r) {
    in += entering[r];
    out += leaving[r];
  }
  const int totals = LastRoomRow() + 1;
  SetSingleCell(*grid_, totals, kInColumn, in);
  SetSingleCell(*grid_, totals, kOutColumn, out);
}

void OutdoorFlowForm::Transfer() {
  if (!FlowCellsValid(*grid_, 1, LastRoomRow(), kInColumn, kOutColumn, ctx_.prompt)) return;
  BuildingRecord& b = ctx_.state.Building;
  PerRoom<float> entering = b.Scenario.NaturalFromOutdoors;
  PerRoom<float> leaving = b.Scenario.NaturalToOutdoors;
  ReadOutdoorFlowGrid(*grid_, b, entering, leaving);
  if (!AgreeToImbalance(ctx_, entering, leaving, b.Scenario.NaturalRoomFlows)) return;
  b.Scenario.NaturalFromOutdoors = entering;
  b.Scenario.NaturalToOutdoors = leaving;
  // The scenario on disk no longer holds these flows, so leaving the program asks first.
  ctx_.state.ScenarioSaved = false;
  CloseForm();
}

void OutdoorFlowForm::SaveFlowFile() {
  const std::optional<std::string> name =
      ctx_.dialogs.SaveFileName(FileRequest(kFlowFilter, "FLO"));
  if (!name) return;
  // The file holds the flows on screen beside the record's other flows; the record itself
  // changes only on Transfer.
  const BuildingRecord& b = ctx_.state.Building;
  auto shown = std::make_unique<ScenarioRecord>(b.Scenario);
  ReadOutdoorFlowGrid(*grid_, b, shown->NaturalFromOutdoors, shown->NaturalToOutdoors);
  WriteOutdoorFlowFile(*shown, RoomCount(b), *name, ctx_.prompt);
}

void OutdoorFlowForm::OpenFlowFile() {
  const std::optional<std::string> name =
      ctx_.dialogs.OpenFileName(FileRequest(kFlowFilter, "FLO"));
  if (!name) return;
  const auto flows = ReadOutdoorFlowFile(RoomCount(ctx_.state.Building), *name, ctx_.prompt);
  if (!flows) return;
  for (int r = 1; r <= LastRoomRow(); ++r) {
    SetSingleCell(*grid_, r, kInColumn, flows->entering[r]);
    SetSingleCell(*grid_, r, kOutColumn, flows->leaving[r]);
  }
  TotalOutdoorFlows();
  MarkEdited();
}

void OutdoorFlowForm::PrintFlows() {
  PrintCommand command(ctx_.printer);
  PrintJob& job = command.Job();
  PrintOutdoorFlows(job, ctx_.state.Building);
  job.EndDocument();
}

void OutdoorFlowForm::GridKeyDown(int& key_code, int shift) {
  WrapFlowGridArrows(*grid_, key_code, shift, LastRoomRow());
}

void OutdoorFlowForm::GridEnterCell() {
  SkipFlowTotalsRow(*grid_, LastRoomRow());
}

OutdoorFlowForm* ShowOutdoorFlows(MainContext& context, QWidget* opener) {
  const auto [form, open] =
      ShowInputFormOnce<OutdoorFlowForm>(context, opener, kLeftTopTwips, kLeftTopTwips);
  if (open) return form;
  FlexGrid& grid = form->Grid();
  FillOutdoorFlowGrid(grid, context.state.Building);
  grid.SetFixedCols(2);
  grid.SetRowCol(1, kInColumn);
  SizeToFrameWidth(*form, kFrameWidthShare, kGridWindowMinWidthTwips, kGridWindowMinHeightTwips);
  grid.setFocus(Qt::OtherFocusReason);
  return form;
}

}  // namespace quarn
