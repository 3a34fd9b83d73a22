#include "ui/tools/source_list_form.h"

#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <cstdlib>

#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "ui/common/tool_openers.h"
#include "ui/tools/source_list_rows.h"

namespace quarn {

namespace {

constexpr std::array<const char*, 7> kSourceListHeadings = {
    "SourceID",    "SourceName", "Pollutant", "Emission Model",
    "Description", "Reference",  "Comments"};

// Twips a heading must be dragged (across plus down) before it moves its column.
constexpr int kDragTwips = 50;
constexpr int kMarginTwips = 60;

}  // namespace

SourceListForm::SourceListForm(MainContext& context, QWidget* parent)
    : QWidget(parent),
      headings_(kSourceListHeadings.begin(), kSourceListHeadings.end()),
      rows_(ReadSourceListRows(context, kSourceListHeadings)) {
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

  SortSourceListRows(rows_, 0, false);
  WriteGrid();
  resize(TwipsToPixels(9600), TwipsToPixels(5400));
}

void SourceListForm::WriteGrid() {
  WriteSourceListRows(*grid_, headings_, rows_, 0);
}

void SourceListForm::DoColumnSort(int col) {
  if (col < 0 || col >= static_cast<int>(headings_.size())) return;
  const std::string& heading = headings_[static_cast<size_t>(col)];
  descending_ = heading == sort_heading_ && !descending_;
  sort_heading_ = heading;
  SortSourceListRows(rows_, static_cast<size_t>(col), descending_);
  WriteGrid();
}

void SourceListForm::MouseDown(int button, int x, int y) {
  dragging_ = false;
  drag_col_ = (button == 1 && grid_->MouseRow() == 0) ? grid_->MouseCol() : -1;
  drag_x_ = x;
  drag_y_ = y;
}

void SourceListForm::MouseMove(int button, int x, int y) {
  if (drag_col_ < 0 || (button & 1) == 0) return;
  if (std::abs(x - drag_x_) + std::abs(y - drag_y_) >= kDragTwips) dragging_ = true;
}

void SourceListForm::MouseUp() {
  if (dragging_ && grid_->MouseRow() == 0 && grid_->MouseCol() >= 0) {
    MoveColumn(drag_col_, grid_->MouseCol());
  }
  drag_col_ = -1;
  dragging_ = false;
}

void SourceListForm::MoveColumn(int from, int to) {
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

SourceListForm& ShowSourceList(MainContext& context) {
  return OpenTool<SourceListForm>(context);
}

}  // namespace quarn
