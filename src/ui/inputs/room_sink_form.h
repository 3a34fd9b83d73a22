#pragma once

#include <cstdint>

#include "ui/common/input_form.h"
#include "ui/grids/sink_grids.h"

class QLabel;
class QLineEdit;

namespace quarn {

class UpDown;

// "Room sink data": the sinks of one room, one pollutant at a time. The window edits its own
// copy of the sink table, taken when it opens; however it closes, it stores the copy of the
// room it shows into the scenario.
class RoomSinkForm : public InputForm {
  Q_OBJECT

 public:
  explicit RoomSinkForm(MainContext& context);

  // The opener's fill: the room's sinks as the scenario holds them, for pollutant 1.
  void Open(int16_t room);

  int16_t ShownRoom() const { return room_; }
  // The number of the pollutant shown, from 1.
  int ShownPollutant() const { return pollutant_; }

  void Transfer() override;
  // The general sink window stored the sinks: the window shows what it stored, keeping its
  // own edits.
  void TakeStoredSinks();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void StepPollutant(int step);
  void Fill();
  // Slots of the shown room that the general sink window added since the copy last
  // followed the room's count: taken from the scenario, so that they are shown and kept.
  void TakeAddedSinks();
  void ClearSelection();
  void OpenSinkDatabase();

  SinkTable work_{};
  // The sinks as this window loaded them, to tell its own edits from other windows' ones.
  SinkTable loaded_{};
  int16_t room_ = 0;
  int pollutant_ = 1;
  // The sink rows of the last fill, which the read-back reads.
  int filled_ = 0;
  // The room's count that the copy last followed.
  int held_ = 0;
  bool stored_ = false;

  QLabel* room_number_ = nullptr;
  QLabel* msg_ = nullptr;
  QLineEdit* pollutant_number_ = nullptr;
  QLineEdit* pollutant_name_ = nullptr;
  UpDown* change_pollutant_ = nullptr;
};

// The scenario room window's Room sinks: the window for the room at 0.95 of the frame's
// width, the opener left in use. For the room shown an open window comes forward as it is;
// for another room it stores and closes first, since it shows one room for its life.
RoomSinkForm* OpenRoomSinks(MainContext& context, int16_t room, QWidget* opener);

}  // namespace quarn
