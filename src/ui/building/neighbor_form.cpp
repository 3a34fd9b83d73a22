#include "ui/building/neighbor_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "ui/building/menu_tables.h"
#include "ui/building/room_form.h"
#include "ui/grids/room_grids.h"

namespace quarn {

namespace {

constexpr int kAnswerCol = 2;

}  // namespace

NeighborForm::NeighborForm(MainContext& context)
    : InputForm(context, "NeighborForm", "Define Neighbors") {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  auto* heading = new QLabel("List of Neighbors for room", central);
  heading->setObjectName("Label1");
  room_label_ = new QLabel(central);
  room_label_->setObjectName("Label2");
  layout->addWidget(heading);
  layout->addWidget(room_label_);
  grid_ = new FlexGrid(central);
  grid_->setObjectName("Grid1");
  layout->addWidget(grid_, 1);
  auto* buttons = new QHBoxLayout;
  const std::array<std::pair<const char*, const char*>, 3> button_names{
      {{"Transfer", "&Transfer"}, {"cancel", "&Cancel"}, {"help", "&Help"}}};
  for (const auto& [name, caption] : button_names) {
    auto* button = new QPushButton(caption, central);
    button->setObjectName(name);
    buttons->addWidget(button);
    SetButtonCommand(*button, name);
  }
  layout->addLayout(buttons);
  setCentralWidget(central);
  BuildMenus(menus::kNeighborForm);
  SetHelp("rovozuzav.hlp", "Neighbors");
  SetCommand("Transfer", [this] { RunRole(MenuRole::Transfer); });
  SetCommand("cancel", [this] { RunRole(MenuRole::Cancel); });
  SetCommand("help", [this] { RunRole(MenuRole::Help); });

  // The answers change only by a click or Enter in their column; nothing is typed.
  connect(grid_, &FlexGrid::Click, this, [this] { Toggle(); });
  connect(grid_, &FlexGrid::KeyPress, this, [this](int& key_ascii) {
    if (key_ascii == keycode::kReturn) Toggle();
    key_ascii = 0;
  });
}

void NeighborForm::Toggle() {
  if (grid_->Col() != kAnswerCol || grid_->Row() < 1) return;
  grid_->SetText(grid_->Text() == "Yes" ? "No" : "Yes");
  MarkEdited();
}

bool NeighborForm::Fill(int16_t room) {
  auto* rooms = AppWindows().Find<RoomForm>();
  const auto label =
      FillNeighborGrid(*grid_, ctx_.state.Building, room, rooms ? &rooms->Grid() : nullptr);
  if (!label) return false;
  room_ = room;
  room_label_->setText(ToQt(*label));
  grid_->updateGeometry();
  GrowToContents(*this);
  grid_->setFocus();
  return true;
}

void NeighborForm::Transfer() {
  BuildingRecord& b = ctx_.state.Building;
  ReadNeighborGrid(*grid_, b, room_);
  // After the read, so that the room window shows the counts of the table as it now is.
  auto* rooms = AppWindows().Find<RoomForm>();
  CountRoomNeighbors(b, rooms ? &rooms->Grid() : nullptr);
  MarkRoomsChanged(ctx_.state);
  CloseForm();
}

void NeighborForm::Cancel() {
  UnloadNeighborForm();
}

void UnloadNeighborForm() {
  AppWindows().Unload<NeighborForm>();
}

NeighborForm* OpenNeighborForm(MainContext& context, QWidget* opener, int16_t room) {
  const int n = RoomCount(context.state.Building);
  if (n <= 1 || room < 1 || room > n) return nullptr;
  NeighborForm* form = ShowInputFormOnce<NeighborForm>(context, opener, 10, 10).form;
  form->Fill(room);
  return form;
}

}  // namespace quarn
