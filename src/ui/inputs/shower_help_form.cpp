#include "ui/inputs/shower_help_form.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "platform/window_registry.h"
#include "ui/common/main_context.h"
#include "ui/grids/data_grids.h"

namespace quarn {

namespace {

constexpr int kWidthTwips = 7800;
constexpr int kHeightTwips = 5400;

}  // namespace

ShowerHelpForm::ShowerHelpForm(QWidget* parent) : QWidget(parent) {
  setObjectName("ShowerHelpForm");
  setWindowTitle("Shower source data");
  setAttribute(Qt::WA_QuitOnClose, false);
  auto* layout = new QVBoxLayout(this);
  grid_ = new FlexGrid(this);
  grid_->setObjectName("ShowerDataGrid");
  layout->addWidget(grid_, 1);
  auto* close = new QPushButton("&Close", this);
  close->setObjectName("btnclose");
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  layout->addWidget(close, 0, Qt::AlignRight);
  resize(TwipsToPixels(kWidthTwips), TwipsToPixels(kHeightTwips));
}

ShowerHelpForm* ShowShowerData(MainContext& context) {
  auto* form = AppWindows().Load<ShowerHelpForm>([] { return new ShowerHelpForm; });
  // Refilled from the file each time, so a table shown before does not stand in for a file
  // gone since; shown even when the file is short, since what was read is worth reading.
  form->ShowerDataGrid().SetRows(1);
  ReadShowerDataFile(form->ShowerDataGrid(), context.state.ProgramFolder, context.prompt);
  form->show();
  form->raise();
  form->activateWindow();
  return form;
}

}  // namespace quarn
