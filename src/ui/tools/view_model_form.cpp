#include "ui/tools/view_model_form.h"

#include <QMenuBar>

#include "model/records.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "ui/common/menu_builder.h"
#include "ui/common/tool_openers.h"
#include "ui/tools/menu_tables.h"

namespace quarn {

void SetupViewModelGrid(FlexGrid& grid, const SourceRecord& source) {
  grid.SetTextMatrix(0, 0, "Source Name");
  grid.SetTextMatrix(0, 1, "Pollutant");
  grid.SetTextMatrix(0, 2, "Emission Model");
  grid.SetTextMatrix(1, 0, source.Name);
}

ViewModelForm::ViewModelForm(MainContext& context, QWidget* parent) : QMainWindow(parent) {
  setObjectName("fmViewModel");
  setWindowTitle("Source Model parameters");
  grid_ = new FlexGrid(this);
  grid_->setObjectName("ssViewModel");
  grid_->SetCols(3);
  grid_->SetFixedCols(0);
  setCentralWidget(grid_);
  SetupViewModelGrid(*grid_, context.state.WorkSource);

  const std::vector<QAction*> items = BuildMenuLines(*menuBar(), menus::kViewModel);
  // Copy and Help have no action, and say so by being greyed.
  items[1]->setEnabled(false);
  connect(items[2], &QAction::triggered, this, &QWidget::close);
  items[3]->setEnabled(false);
  resize(TwipsToPixels(6000), TwipsToPixels(2400));
}

ViewModelForm& ShowViewModel(MainContext& context) {
  return OpenTool<ViewModelForm>(context);
}

}  // namespace quarn
