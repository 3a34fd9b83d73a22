#pragma once

#include "ui/common/input_form.h"
#include "ui/grids/sink_grids.h"

class QLineEdit;

namespace quarn {

class UpDown;

// "Sink data": every sink of every room in one grid, one row per sink, with its name, ka
// and kd for one pollutant, its area and its room. The window works on the scenario's sinks
// directly: each read-back (a pollutant step, Save, Transfer) stores the grid at once and
// sets every room's sink count from the rows that name it. A cell is edited in a box laid
// over it.
class GeneralSinkForm : public InputForm {
  Q_OBJECT

 public:
  explicit GeneralSinkForm(MainContext& context);

  // Every sink of the building for the first pollutant, the cursor on row 1's name.
  void Load();

  // The pollutant shown, from 0.
  int ShownPollutant() const { return pollutant_; }

  void StepPollutant(int step);
  void Transfer() override;
  // The room sink window stored its room's sinks: a grid that holds no edits shows them.
  void ShowStoredSinks();

 protected:
  QSize sizeHint() const override;

 private:
  void BuildControls();
  void WireEditing();
  void ShowPollutant(int p);
  // The grid into the sinks for the pollutant shown; false, with the landed message, when
  // a row names no room of the building or a third sink for one room.
  bool ReadBack();
  // The edit box over the current cell, where the edit that starts now is typed, with the
  // cell's text or with the key typed.
  void PlaceEditCell(bool on_cell_text);
  // The typed text into the edited cell, when the box loses the focus for that reason.
  void StoreEdit(Qt::FocusReason reason);
  void EditCellKeyDown(int& key_code, int shift);
  void SaveSinkFile();
  void OpenSinkFile();
  void PrintSinks();

  QLineEdit* number_ = nullptr;
  QLineEdit* name_ = nullptr;
  UpDown* spinner_ = nullptr;
  GridEdit* edit_ = nullptr;
  int pollutant_ = 0;
  bool edit_on_cell_text_ = false;
  // Where each row of the last fill came from, so that the read-back keeps whole sinks.
  GeneralSinkRows rows_;
};

// The scenario room window's Sinks > General: the window filled with every sink, the opener
// left in use. An open window comes forward as it is.
GeneralSinkForm* OpenGeneralSinkForm(MainContext& context, QWidget* opener);

}  // namespace quarn
