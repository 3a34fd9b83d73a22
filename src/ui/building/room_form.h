#pragma once

#include "ui/common/input_form.h"

class QFrame;
class QPushButton;

namespace quarn {

// The room window "Fixed Room data": one row per room with its name, length, width, height,
// volume and neighbour count. It completes missing dimensions, opens the neighbour window
// of the room under the cursor, prints the room list and transfers the rows into the
// building record.
class RoomForm : public InputForm {
  Q_OBJECT

 public:
  explicit RoomForm(MainContext& context);

  // The rows from the record, the cursor on the first room's name and the focus on the grid.
  void Fill();

  void Transfer() override;
  // DefNeighbors: the rows into the record, so that the neighbour window lists the names
  // as typed, then the neighbour window of the current row's room (none with one room).
  void DefineNeighbors();
  // CalcDimension: every row completed in the grid; the record waits for Transfer.
  void CalculateMissingDimensions();

 protected:
  void AfterEditCommand() override;

 private:
  void BuildControls();
  void WireCommands();
  void PrintForm();

  QFrame* topframe_ = nullptr;
  QFrame* editframe_ = nullptr;
  QPushButton* def_neighbors_ = nullptr;
  QPushButton* calc_dimension_ = nullptr;
};

// The building window's Rooms command: the room window at the frame's left edge and top,
// filled from the record, with the opener out of use until it closes; an open one is
// brought forward as it is.
RoomForm* OpenRoomForm(MainContext& context, QWidget* opener);

// Stores a change to the rooms in the record, so that Exit asks before it is lost.
void MarkRoomsChanged(ProgramState& state);

}  // namespace quarn
