#pragma once

#include <cstdint>

#include "ui/common/input_form.h"

namespace quarn {

// "Room Data for scenario": one row per room of the building with its source and sink
// counts and its own air cleaner's efficiency (percent) and flow (room volumes an hour).
// Transfer and the close box read the grid back into the scenario; Room Sources and the
// Sinks commands store it too and open the detail window of the selected row's room.
class ScenarioRoomForm : public InputForm {
  Q_OBJECT

 public:
  explicit ScenarioRoomForm(MainContext& context);

  // The grid from the record, hidden while it is filled; the cursor on room 1's sources.
  void Fill();

  // The room last handed to the source or room sink window; 0 until then.
  int16_t SelectedRoom() const { return selected_room_; }

  void Transfer() override;
  // File > Cancel: asks while nothing of this window has been transferred.
  void AskCancel();
  void RoomSources();
  void RoomSinks();
  void GeneralSinks();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildControls();
  // "room 2 (Kitchen)", as messages name the room of a row.
  std::string RoomText(int16_t room) const;
  // A click in a count column: an empty or zero count becomes 1, then that column's window.
  void GridClick();
  // The grid into the record; false (nothing stored) when the read-back refused it.
  bool Store();
  // The room of the grid's current row.
  int16_t RowRoom() const;

  int16_t selected_room_ = 0;
};

// The scenario editor's Rooms: the window filled from the record, at the frame's top left
// and 0.95 of its width, the editor out of use until it closes.
ScenarioRoomForm* OpenScenarioRooms(MainContext& context, QWidget* opener);

}  // namespace quarn
