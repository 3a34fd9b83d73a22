#include "ui/results/risk_db_form.h"

#include <QToolBar>
#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "files/reference_data.h"
#include "platform/data_control.h"
#include "platform/flex_grid.h"
#include "platform/window_registry.h"
#include "ui/common/window_menu.h"
#include "ui/grids/data_grids.h"
#include "ui/results/menu_tables.h"
#include "ui/results/risk_table.h"

namespace quarn {
namespace {

constexpr const char* kRiskDbFile = "VADUZODU.MDB";

// The table's fields in the order of the grid's columns 1 to 7.
constexpr std::array<const char*, 7> kFields{"Pollutant",         "IrritantConcentration",
                                             "OdorConcentration", "ThresholdConcentration",
                                             "CancerRisk",        "Comments",
                                             "Reference"};
constexpr int kGridCols = 9;
constexpr int kNameCol = 1;
constexpr int kIrritantCol = 2;
constexpr int kCancerCol = 5;

constexpr int kGridWidthMargin = 100;
constexpr QSize kRiskDbSize{9600, 4800};

}  // namespace

RiskDbForm::RiskDbForm(MainContext& context, QWidget* parent)
    : ResultsWindow(context, menus::kRiskDb, "ssRiskDb", parent) {
  setObjectName("fmRiskDB");
  setWindowTitle("Risk data base");
  setAttribute(Qt::WA_QuitOnClose, false);
  data_ = new DataControl(this);
  data_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  auto* bar = new QToolBar(this);
  bar->setMovable(false);
  bar->toggleViewAction()->setVisible(false);
  bar->addWidget(data_);
  addToolBar(Qt::BottomToolBarArea, bar);
  SetGridPlace(0, 0, kGridWidthMargin, 0);
  SetCommands({{"FileTransfer", [this] { FileTransfer(); }}});
  CaptionFollowsRecord(*data_);
  // The grid's current row is the current record, whichever of the two the user moves.
  connect(&Grid(), &FlexGrid::RowColChange, this, [this] { data_->Move(Grid().Row() - 1); });
  connect(data_, &DataControl::Reposition, this, [this] {
    const int row = data_->AbsolutePosition() + 1;
    if (row > 0 && row != Grid().Row()) Grid().SetRow(row);
  });
  Load();
}

void RiskDbForm::Load() {
  FlexGrid& grid = Grid();
  grid.SetCols(kGridCols);
  for (size_t c = 0; c < kFields.size(); ++c) {
    grid.SetTextMatrix(0, static_cast<int>(c) + 1, kFields[c]);
  }
  std::optional<JetTable> table = ReadRiskTable(ctx_, kRiskDbFile, true);
  if (!table) return;
  grid.SetRows(static_cast<int>(table->rows.size()) + 1);
  for (size_t c = 0; c < kFields.size(); ++c) {
    const auto at = std::find(table->columns.begin(), table->columns.end(), kFields[c]);
    if (at == table->columns.end()) continue;
    const auto source = static_cast<size_t>(at - table->columns.begin());
    for (size_t r = 0; r < table->rows.size(); ++r) {
      const auto& row = table->rows[r];
      if (source < row.size()) {
        grid.SetTextMatrix(static_cast<int>(r) + 1, static_cast<int>(c) + 1, row[source]);
      }
    }
  }
  if (grid.Rows() > 1) grid.SetRowCol(1, 1);
  ShowRecords(*data_, std::move(*table));
}

void RiskDbForm::FileTransfer() {
  // A table without records leaves nothing to copy.
  if (data_->AbsolutePosition() >= 0) {
    const FlexGrid& grid = Grid();
    const int row = grid.Row();
    ScenarioRecord& s = ctx_.state.Building.Scenario;
    ReadPollutantRecord({grid.TextMatrix(row, kNameCol), grid.TextMatrix(row, kIrritantCol),
                         grid.TextMatrix(row, kCancerCol), s.Pollutants[0].Comments},
                        s);
    ctx_.state.ScenarioSaved = false;
  }
  Unload();
}

RiskDbForm* ShowRiskDbForm(MainContext& context, QWidget* opener) {
  const bool open = AppWindows().Find<RiskDbForm>() != nullptr;
  auto* form = OpenResultsWindow<RiskDbForm>(AreaAbove(opener),
                                             [&context] { return new RiskDbForm(context); });
  if (!open) OpenAtSize(*form, kRiskDbSize);
  ShowInFront(*form);
  return form;
}

}  // namespace quarn
