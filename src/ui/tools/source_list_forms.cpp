#include "ui/tools/source_list_forms.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <span>

#include "files/database_service.h"
#include "files/reference_data.h"
#include "model/records.h"
#include "platform/flex_grid.h"
#include "platform/help_service.h"
#include "platform/qt_text.h"
#include "text/cp1252.h"
#include "text/number_read.h"
#include "ui/common/menu_builder.h"
#include "ui/common/tool_openers.h"
#include "ui/tools/menu_tables.h"

namespace quarn {

namespace {

constexpr std::array<const char*, 7> kSourceListHeadings = {
    "SourceID",    "SourceName", "Pollutant", "Emission Model",
    "Description", "Reference",  "Comments"};

// The fields of indoorsource's list columns 1 to 13, whatever their order in the table.
constexpr std::array<const char*, 13> kIndoorSourceFields = {
    "SourceID",    "SourceName",  "Pollutant",   "Description", "Emission Model",
    "Parameter 1", "Parameter 2", "Parameter 3", "Parameter 4", "Parameter 5",
    "Parameter 6", "Reference",   "Comments"};
constexpr int kIndoorSourceCols = 20;

// The model codes of the table, in the order of the label table.
constexpr std::array<const char*, indoorsource::kModels> kModelCodes = {"MASS XFER", "R0K",
                                                                        "PAINT1", "PAINT2", "R/T"};

// Twips a heading must be dragged (across plus down) before it moves its column.
constexpr int kDragTwips = 50;
constexpr int kMarginTwips = 60;

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameNameAnyCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return Lower(x) == Lower(y); });
}

using Rows = std::vector<std::vector<std::string>>;

// The rows of the source list with the fields asked for, in that order; a field the table
// lacks stays empty. A file that does not open, or holds no such table, says so and gives
// no rows.
Rows ReadSourceList(MainContext& context, std::span<const char* const> fields) {
  const DatabaseTable read = context.database.ReadTable(kSourceListFile, kSourceListTable);
  if (!read.table) {
    ShowTableNotRead(read, kSourceListFile, kSourceListTable, context.prompt);
    return {};
  }
  const JetTable& table = *read.table;
  std::vector<std::optional<size_t>> where;
  for (const char* field : fields) {
    const auto it =
        std::find_if(table.columns.begin(), table.columns.end(),
                     [field](const std::string& c) { return SameNameAnyCase(c, field); });
    where.push_back(it == table.columns.end()
                        ? std::nullopt
                        : std::optional<size_t>(static_cast<size_t>(it - table.columns.begin())));
  }
  Rows rows;
  for (const std::vector<std::string>& record : table.rows) {
    std::vector<std::string>& row = rows.emplace_back();
    for (const std::optional<size_t>& at : where) {
      row.push_back(at && *at < record.size() ? record[*at] : std::string());
    }
  }
  return rows;
}

// Sorts the rows by column `col`, keeping the order of equal cells: by value when every
// non-empty cell of the column is a number (empty cells first), else by text without regard
// to letter case.
void SortRows(Rows& rows, size_t col, bool descending) {
  const bool numeric = std::all_of(rows.begin(), rows.end(), [col](const auto& row) {
    return row[col].empty() || ParseNumber(row[col]).has_value();
  });
  auto less = [numeric, col](const std::vector<std::string>& a, const std::vector<std::string>& b) {
    if (numeric) {
      const std::optional<double> x = ParseNumber(a[col]);
      const std::optional<double> y = ParseNumber(b[col]);
      return y && (!x || *x < *y);
    }
    return std::lexicographical_compare(a[col].begin(), a[col].end(), b[col].begin(), b[col].end(),
                                        [](char p, char q) { return Lower(p) < Lower(q); });
  };
  std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
    return descending ? less(b, a) : less(a, b);
  });
}

// Writes rows under the headings from column `first` on, with one empty row when there are
// none.
void WriteRows(FlexGrid& grid, const std::vector<std::string>& headings, const Rows& rows,
               int first) {
  grid.SetRedraw(false);
  grid.SetRows(std::max<int>(2, static_cast<int>(rows.size()) + 1));
  grid.Clear();
  for (size_t c = 0; c < headings.size(); ++c) {
    const int col = first + static_cast<int>(c);
    grid.SetTextMatrix(0, col, headings[c]);
    for (size_t r = 0; r < rows.size(); ++r) {
      grid.SetTextMatrix(static_cast<int>(r) + 1, col, rows[r][c]);
    }
  }
  grid.SetRedraw(true);
}

}  // namespace

// ---- frmSourceList ----

frmSourceList::frmSourceList(MainContext& context, QWidget* parent)
    : QWidget(parent),
      headings_(kSourceListHeadings.begin(), kSourceListHeadings.end()),
      rows_(ReadSourceList(context, kSourceListHeadings)) {
  setObjectName("frmSourceList");
  setWindowTitle("SourceList");
  auto* layout = new QVBoxLayout(this);
  const int margin = TwipsToPixels(kMarginTwips);
  layout->setContentsMargins(margin, margin, margin, margin);
  layout->setSpacing(margin);
  grid_ = new FlexGrid(this);
  grid_->setObjectName("MSHFlexGrid1");
  grid_->SetCols(static_cast<int>(headings_.size()));
  grid_->SetFixedCols(0);
  grid_->SetRowFontBold(0, true);
  layout->addWidget(grid_, 1);
  close_ = new QPushButton("&Close", this);
  close_->setObjectName("cmdClose");
  connect(close_, &QPushButton::clicked, this, &QWidget::close);
  layout->addWidget(close_, 0, Qt::AlignLeft);

  connect(grid_, &FlexGrid::HeadingDblClick, this, [this] {
    if (grid_->MouseRow() == 0) DoColumnSort(grid_->MouseCol());
  });
  connect(grid_, &FlexGrid::MouseDown, this,
          [this](int button, int, int x, int y) { MouseDown(button, x, y); });
  connect(grid_, &FlexGrid::MouseMove, this,
          [this](int button, int, int x, int y) { MouseMove(button, x, y); });
  connect(grid_, &FlexGrid::MouseUp, this, [this] { MouseUp(); });

  SortRows(rows_, 0, false);
  WriteGrid();
  resize(TwipsToPixels(9600), TwipsToPixels(5400));
}

void frmSourceList::WriteGrid() {
  WriteRows(*grid_, headings_, rows_, 0);
}

void frmSourceList::DoColumnSort(int col) {
  if (col < 0 || col >= static_cast<int>(headings_.size())) return;
  const std::string& heading = headings_[static_cast<size_t>(col)];
  descending_ = heading == sort_heading_ && !descending_;
  sort_heading_ = heading;
  SortRows(rows_, static_cast<size_t>(col), descending_);
  WriteGrid();
}

void frmSourceList::MouseDown(int button, int x, int y) {
  dragging_ = false;
  drag_col_ = (button == 1 && grid_->MouseRow() == 0) ? grid_->MouseCol() : -1;
  drag_x_ = x;
  drag_y_ = y;
}

void frmSourceList::MouseMove(int button, int x, int y) {
  if (drag_col_ < 0 || (button & 1) == 0) return;
  if (std::abs(x - drag_x_) + std::abs(y - drag_y_) >= kDragTwips) dragging_ = true;
}

void frmSourceList::MouseUp() {
  if (dragging_ && grid_->MouseRow() == 0 && grid_->MouseCol() >= 0) {
    MoveColumn(drag_col_, grid_->MouseCol());
  }
  drag_col_ = -1;
  dragging_ = false;
}

void frmSourceList::MoveColumn(int from, int to) {
  const int cols = static_cast<int>(headings_.size());
  if (from == to || from < 0 || to < 0 || from >= cols || to >= cols) return;
  auto move = [from, to](std::vector<std::string>& v) {
    std::string cell = std::move(v[static_cast<size_t>(from)]);
    v.erase(v.begin() + from);
    v.insert(v.begin() + to, std::move(cell));
  };
  move(headings_);
  for (std::vector<std::string>& row : rows_) move(row);
  WriteGrid();
}

// ---- indoorsource ----

void SetupEmissionModelGrid(indoorsource::LabelTable& labels) {
  labels = {{
      {"Mass Transfer", "C0", "M01", "k", "M02", "k2", "Diffusivity", "--"},
      {"R0k", "R0", "k", "R1", "k1", "R2", "k2", "--"},
      {"Paint 1 model", "R0", "k", "--", "--", "--", "--", "--"},
      {"Paint 2 model", "C0", "M01", "MT1", "k2", "Diffusivity", "--", "--"},
      {"R/t model", "R0", "Alpha", "--", "--", "--", "--", "--"},
  }};
}

indoorsource::indoorsource(MainContext& context, QWidget* parent) : QMainWindow(parent) {
  setObjectName("indoorsource");
  setWindowTitle("SourceList");
  auto* central = new QWidget(this);
  setCentralWidget(central);
  auto* layout = new QVBoxLayout(central);

  list_ = new FlexGrid(central);
  list_->setObjectName("MSFlexGrid1");
  list_->SetCols(kIndoorSourceCols);
  list_->SetRowFontBold(0, true);
  const Rows rows = ReadSourceList(context, kIndoorSourceFields);
  entries_ = static_cast<int>(rows.size());
  WriteRows(*list_, {kIndoorSourceFields.begin(), kIndoorSourceFields.end()}, rows, 1);
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

void indoorsource::BuildMenus(HelpService& help) {
  const std::vector<QAction*> items = BuildMenuLines(*menuBar(), menus::kIndoorSource);
  // Copy compares the calling grid's name and takes nothing, so it is offered greyed.
  items[1]->setEnabled(false);
  connect(items[2], &QAction::triggered, this, &QWidget::close);
  connect(items[3], &QAction::triggered, this,
          [&help] { help.ShowHelp("RovozUzav.HLP", "Contents"); });
  connect(items[4], &QAction::triggered, this,
          [&help] { help.ShowHelp("RIRozid.HLP", "Sources"); });
}

void indoorsource::ShowEntry(int row) {
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

// ---- fmViewModel ----

void SetupViewModelGrid(FlexGrid& grid, const SourceRecord& source) {
  grid.SetTextMatrix(0, 0, "Source Name");
  grid.SetTextMatrix(0, 1, "Pollutant");
  grid.SetTextMatrix(0, 2, "Emission Model");
  grid.SetTextMatrix(1, 0, source.Name);
}

fmViewModel::fmViewModel(MainContext& context, QWidget* parent) : QMainWindow(parent) {
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

// ---- loading ----

frmSourceList& ShowSourceList(MainContext& context) {
  return OpenTool<frmSourceList>(context);
}

indoorsource& ShowIndoorSource(MainContext& context) {
  return OpenTool<indoorsource>(context);
}

fmViewModel& ShowViewModel(MainContext& context) {
  return OpenTool<fmViewModel>(context);
}

}  // namespace quarn
