#include "ui/building/room_form.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "model/room_dimensions.h"
#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "text/number_read.h"
#include "ui/building/menu_tables.h"
#include "ui/building/neighbor_form.h"
#include "ui/common/form_helpers.h"
#include "ui/grids/grid_cells.h"
#include "ui/grids/input_reports.h"
#include "ui/grids/room_grids.h"

namespace quarn {

namespace {

constexpr int kMinWidthTwips = 10700;
constexpr int kNameCol = 1;
constexpr int kCountCol = 6;

// The grid's cursor, put back after a command that moves it.
class KeepCursor {
 public:
  explicit KeepCursor(FlexGrid& grid) : grid_(grid), row_(grid.Row()), col_(grid.Col()) {}
  ~KeepCursor() { grid_.SetRowCol(row_, col_); }
  KeepCursor(const KeepCursor&) = delete;
  KeepCursor& operator=(const KeepCursor&) = delete;

 private:
  FlexGrid& grid_;
  int row_;
  int col_;
};

void WriteCell(FlexGrid& grid, int row, int col, const std::optional<float>& value) {
  if (value) SetSingleCell(grid, row, col, *value);
}

}  // namespace

void MarkRoomsChanged(ProgramState& state) {
  state.BuildingSaved = false;
  state.RoomsSaved = false;
}

RoomForm::RoomForm(MainContext& context) : InputForm(context, "RoomForm", "Fixed Room data") {
  BuildControls();
  BuildMenus(menus::kRoomForm);
  WireCommands();
  SetHelp(kMainHelpFile, "Contents");
  SetMinimumTwips(*this, kMinWidthTwips, kGridWindowMinHeightTwips);
}

void RoomForm::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  topframe_ = new QFrame(central);
  topframe_->setObjectName("topframe");
  auto* buttons = new QHBoxLayout(topframe_);
  def_neighbors_ = new QPushButton("&Define neighbors F8", topframe_);
  def_neighbors_->setObjectName("DefNeighbors");
  calc_dimension_ = new QPushButton("&Calculate missing dimensions F9", topframe_);
  calc_dimension_->setObjectName("CalcDimension");
  buttons->addWidget(def_neighbors_);
  buttons->addWidget(calc_dimension_);
  buttons->addStretch();
  layout->addWidget(topframe_);

  editframe_ = new QFrame(central);
  editframe_->setObjectName("Editframe");
  auto* edit_layout = new QHBoxLayout(editframe_);
  edit_cell_ = NewEditCell(editframe_);
  edit_layout->addWidget(edit_cell_);
  // The box is hidden between edits; the grid stays where it is.
  editframe_->setMinimumHeight(edit_cell_->sizeHint().height() + 2 * layout->spacing() + 8);
  layout->addWidget(editframe_);

  grid_ = new FlexGrid(central);
  grid_->setObjectName("roomss");
  // The window opens tall enough for every room, thirteen at most, as far as the frame allows.
  grid_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  layout->addWidget(grid_, 1);
  setCentralWidget(central);

  // Column 6 shows the neighbour table's count: typing and F2 there open no edit. These
  // run before the edit session's own handlers, which then see a swallowed key.
  connect(grid_, &FlexGrid::KeyDown, this, [this](int& key_code, int) {
    if (grid_->Col() == kCountCol && key_code == keycode::kF2) key_code = 0;
  });
  connect(grid_, &FlexGrid::KeyPress, this, [this](int& key_ascii) {
    if (grid_->Col() == kCountCol && key_ascii != keycode::kReturn) key_ascii = 0;
  });
  GridEdit& edit = AddEditSession(*grid_, *edit_cell_, false);
  // The sizes take numbers only; the name column any text.
  edit.SetNumberCells([](int, int col) { return col > kNameCol; });
}

void RoomForm::WireCommands() {
  SetCommand("FilePrint", [this] { PrintForm(); });
  SetCommand("DefNeighbors", [this] { DefineNeighbors(); });
  SetCommand("CalcDimension", [this] { CalculateMissingDimensions(); });
  SetButtonCommand(*def_neighbors_, "DefNeighbors");
  SetButtonCommand(*calc_dimension_, "CalcDimension");
  // The keys the buttons' captions name, wherever the focus is in this window.
  const std::pair<Qt::Key, const char*> keys[] = {{Qt::Key_F8, "DefNeighbors"},
                                                  {Qt::Key_F9, "CalcDimension"}};
  for (const auto& [key, name] : keys) {
    auto* shortcut = new QShortcut(QKeySequence(key), this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, name = name] { RunCommand(name); });
  }
}

void RoomForm::Fill() {
  ProgramState& s = ctx_.state;
  {
    const GridEventsOff off(ctx_.windows.grid_events_enabled);
    FillRoomGrid(*grid_, s.Building);
    grid_->SetRowCol(1, 1);
  }
  ClearEdited();
  grid_->setFocus();
}

void RoomForm::Transfer() {
  bool stored = false;
  {
    const GridEventsOff off(ctx_.windows.grid_events_enabled);
    stored = ReadRoomGrid(*grid_, ctx_.state.Building, ctx_.prompt);
    if (stored) MarkRoomsChanged(ctx_.state);
  }
  if (stored) CloseForm();
}

void RoomForm::DefineNeighbors() {
  ProgramState& s = ctx_.state;
  const int16_t room = static_cast<int16_t>(grid_->Row());
  const GridEventsOff off(ctx_.windows.grid_events_enabled);
  bool stored = false;
  {
    const KeepCursor keep(*grid_);
    stored = ReadRoomGrid(*grid_, s.Building, ctx_.prompt);
    if (stored) MarkRoomsChanged(s);
  }
  if (!stored) return;
  const KeepCursor keep(*grid_);
  OpenNeighborForm(ctx_, this, room);
}

void RoomForm::CalculateMissingDimensions() {
  {
    const KeepCursor keep(*grid_);
    const GridEventsOff off(ctx_.windows.grid_events_enabled);
    FlexGrid& g = *grid_;
    for (int row = 1; row < g.Rows(); ++row) {
      // The cells are read as Transfer reads them, so a shown "1,234.5" is 1234.5.
      const RoomDimensions given{
          ToSingle(GroupedCellValue(g, row, 2)), ToSingle(GroupedCellValue(g, row, 3)),
          ToSingle(GroupedCellValue(g, row, 4)), ToSingle(GroupedCellValue(g, row, 5))};
      const DimensionWrites writes = MissingDimensions(given);
      WriteCell(g, row, 2, writes.length);
      WriteCell(g, row, 3, writes.width);
      WriteCell(g, row, 4, writes.height);
      WriteCell(g, row, 5, writes.volume);
    }
  }
  MarkEdited();
  grid_->setFocus();
}

void RoomForm::PrintForm() {
  PrintCommand command(ctx_.printer);
  PrintRoomData(command.Job(), ctx_.state.Building);
}

void RoomForm::AfterEditCommand() {
  // A paste or a clear over column 6 does not change what the table says.
  CountRoomNeighbors(ctx_.state.Building, grid_);
}

RoomForm* OpenRoomForm(MainContext& context, QWidget* opener) {
  if (auto* open = AppWindows().Find<RoomForm>()) {
    BringForward(*open);
    return open;
  }
  RoomForm* form = ShowInputFormOnce<RoomForm>(context, opener, 100, 0).form;
  form->Fill();
  return form;
}

}  // namespace quarn
