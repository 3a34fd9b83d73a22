#include "ui/building/flow_window_parts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QVBoxLayout>

#include "model/input_checks.h"
#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "ui/common/form_helpers.h"
#include "ui/common/main_context.h"

namespace quarn {
namespace {

constexpr int kInColumn = 2;
constexpr int kOutColumn = 3;

}  // namespace

FlowWindowParts MakeFlowWindowParts(QMainWindow& window, const char* grid_name, int min_width_twips,
                                    int min_height_twips) {
  auto* central = new QWidget(&window);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  FlowWindowParts parts{};
  parts.topframe = NewPanel(central, "topframe");
  parts.top = new QHBoxLayout(parts.topframe);
  parts.top->setContentsMargins(4, 4, 4, 4);
  parts.edit_cell = NewEditCell(parts.topframe);
  parts.top->addWidget(parts.edit_cell);
  layout->addWidget(parts.topframe);
  parts.grid = new FlexGrid(central);
  parts.grid->setObjectName(grid_name);
  parts.grid->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  layout->addWidget(parts.grid, 1);
  window.setCentralWidget(central);
  SetMinimumTwips(window, min_width_twips, min_height_twips);
  return parts;
}

void WrapFlowGridArrows(FlexGrid& grid, int& key_code, int shift, int last_row) {
  if ((shift & kShiftMask) != 0 || !grid.HasCurrentCell()) return;
  // The grid never makes a fixed column current, so the wrap lands on the target itself.
  if (key_code == keycode::kRight && grid.Col() == kOutColumn) {
    grid.SetCol(kInColumn);
    key_code = 0;
  } else if (key_code == keycode::kUp && grid.Row() == 1 && last_row > 0) {
    grid.SetRow(last_row);
    key_code = 0;
  }
}

void SkipFlowTotalsRow(FlexGrid& grid, int last_row) {
  if (last_row > 0 && grid.Row() == last_row + 1) grid.SetRow(1);
}

bool AgreeToImbalance(MainContext& context, const PerRoom<float>& from_outdoors,
                      const PerRoom<float>& to_outdoors, const RoomMatrix& room_flows) {
  const BuildingRecord& b = context.state.Building;
  // Flows are typed one window after the other, so an imbalance may be on its way to being
  // mended: the user is warned, not refused.
  const std::string question =
      NaturalImbalanceQuestion(b, NaturalFlowImbalances(b, from_outdoors, to_outdoors, room_flows));
  return question.empty() ||
         context.prompt.AskYesNoDefault(question, "Warning", MessageIcon::Exclamation,
                                        Answer::No) == Answer::Yes;
}

}  // namespace quarn
