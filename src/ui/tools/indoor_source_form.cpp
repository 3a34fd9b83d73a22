#include "ui/tools/indoor_source_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/flex_grid.h"
#include "platform/help_service.h"
#include "platform/qt_text.h"
#include "text/cp1252.h"
#include "ui/common/menu_builder.h"
#include "ui/common/tool_openers.h"
#include "ui/tools/menu_tables.h"
#include "ui/tools/source_list_rows.h"

namespace quarn {

namespace {

// The fields of IndoorSourceForm's list columns 1 to 13, whatever their order in the table.
constexpr std::array<const char*, 13> kIndoorSourceFields = {
    "SourceID",    "SourceName",  "Pollutant",   "Description", "Emission Model",
    "Parameter 1", "Parameter 2", "Parameter 3", "Parameter 4", "Parameter 5",
    "Parameter 6", "Reference",   "Comments"};
constexpr int kIndoorSourceCols = 20;

// The model codes of the table, in the order of the label table.
constexpr std::array<const char*, IndoorSourceForm::kModels> kModelCodes = {
    "MASS XFER", "R0K", "PAINT1", "PAINT2", "R/T"};

}  // namespace

void SetupEmissionModelGrid(IndoorSourceForm::LabelTable& labels) {
  labels = {{
      {"Mass Transfer", "C0", "M01", "k", "M02", "k2", "Diffusivity", "--"},
      {"R0k", "R0", "k", "R1", "k1", "R2", "k2", "--"},
      {"Paint 1 model", "R0", "k", "--", "--", "--", "--", "--"},
      {"Paint 2 model", "C0", "M01", "MT1", "k2", "Diffusivity", "--", "--"},
      {"R/t model", "R0", "Alpha", "--", "--", "--", "--", "--"},
  }};
}

IndoorSourceForm::IndoorSourceForm(MainContext& context, QWidget* parent) : QMainWindow(parent) {
  setObjectName("indoorsource");
  setWindowTitle("SourceList");
  auto* central = new QWidget(this);
  setCentralWidget(central);
  auto* layout = new QVBoxLayout(central);

  list_ = new FlexGrid(central);
  list_->setObjectName("MSFlexGrid1");
  list_->SetCols(kIndoorSourceCols);
  list_->SetRowFontBold(0, true);
  const SourceListRows rows = ReadSourceListRows(context, kIndoorSourceFields);
  entries_ = static_cast<int>(rows.size());
  WriteSourceListRows(*list_, {kIndoorSourceFields.begin(), kIndoorSourceFields.end()}, rows, 1);
  layout->addWidget(list_, 1);
  connect(list_, &FlexGrid::Click, this, [this] { ShowEntry(list_->Row()); });

  SetupEmissionModelGrid(labels_);
  model_grid_ = new FlexGrid(central);
  model_grid_->setObjectName("EmissionModelGrid");
  model_grid_->SetRows(3);
  model_grid_->SetCols(10);
  model_grid_->SetFixedCols(0);
  model_grid_->SetTextMatrix(0, 0, "Source ID");
  model_grid_->SetTextMatrix(0, 1, "Source Name");
  model_grid_->SetTextMatrix(0, 2, "Model ");
  model_grid_->SetTextMatrix(0, 8, "Reference");
  model_grid_->setFixedHeight(TwipsToPixels(1200));
  layout->addWidget(model_grid_);

  auto* bottom = new QHBoxLayout;
  auto* calling = new QLabel(central);
  calling->setObjectName("CallingGrid");
  bottom->addWidget(calling, 1);
  auto* close = new QPushButton("&Close", central);
  close->setObjectName("cmdClose");
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  bottom->addWidget(close);
  layout->addLayout(bottom);

  BuildMenus(context.help);
  resize(TwipsToPixels(10500), TwipsToPixels(6000));
}

void IndoorSourceForm::BuildMenus(HelpService& help) {
  const std::vector<QAction*> items = BuildMenuLines(*menuBar(), menus::kIndoorSource);
  // Copy compares the calling grid's name and takes nothing, so it is offered greyed.
  items[1]->setEnabled(false);
  connect(items[2], &QAction::triggered, this, &QWidget::close);
  connect(items[3], &QAction::triggered, this,
          [&help] { help.ShowHelp("RovozUzav.HLP", "Contents"); });
  connect(items[4], &QAction::triggered, this,
          [&help] { help.ShowHelp("RIRozid.HLP", "Sources"); });
}

void IndoorSourceForm::ShowEntry(int row) {
  if (row < 1 || row > entries_) return;
  FlexGrid& m = *model_grid_;
  m.SetTextMatrix(1, 0, list_->TextMatrix(row, 1));
  m.SetTextMatrix(1, 1, list_->TextMatrix(row, 2));
  std::string code = list_->TextMatrix(row, 5);
  code = UpperAscii(code);
  m.SetTextMatrix(1, 2, code);
  const auto known = std::find(kModelCodes.begin(), kModelCodes.end(), code);
  const size_t model =
      known == kModelCodes.end() ? 0 : static_cast<size_t>(known - kModelCodes.begin());
  for (int c = 3; c <= 9; ++c) {
    m.SetTextMatrix(0, c, labels_[model][static_cast<size_t>(c - 2)]);
    m.SetTextMatrix(1, c, list_->TextMatrix(row, c + 3));
  }
}

IndoorSourceForm& ShowIndoorSource(MainContext& context) {
  return OpenTool<IndoorSourceForm>(context);
}

}  // namespace quarn
