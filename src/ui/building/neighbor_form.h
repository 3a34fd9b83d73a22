#pragma once

#include <cstdint>

#include "ui/common/input_form.h"

class QLabel;

namespace quarn {

// The neighbour window "Define Neighbors": every other room of the building with "Yes" or
// "No", for one room. Its Transfer writes the answers into the neighbour table in both
// directions and recounts every room's neighbours.
class NeighborForm : public InputForm {
  Q_OBJECT

 public:
  explicit NeighborForm(MainContext& context);

  // The list for room (1 to NumRooms) from the record; false, with nothing filled, when
  // there is nothing to list (a single room).
  bool Fill(int16_t room);

  void Transfer() override;
  void Cancel() override;

  int16_t Room() const { return room_; }

 private:
  void Toggle();

  QLabel* room_label_ = nullptr;
  int16_t room_ = 0;
};

// Opens the neighbour window of room over the room window, which stays out of use until it
// closes; with a single room nothing opens. Returns the window, or nullptr.
NeighborForm* OpenNeighborForm(MainContext& context, QWidget* opener, int16_t room);

// Closes the neighbour window without storing anything.
void UnloadNeighborForm();

}  // namespace quarn
