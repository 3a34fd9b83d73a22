#pragma once

#include <array>
#include <string>

#include "model/records.h"
#include "ui/common/input_form.h"
#include "ui/grids/hvac_grids.h"
#include "ui/grids/occupant_grids.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace quarn {

class UpDown;

// "Activity patterns": the occupants of the scenario, one at a time, with their body data and
// schedule of up to 24 stays. The window edits its own copies of the occupants; Transfer and
// a save of an activity pattern put every copy into the scenario.
class OccupantForm : public InputForm {
  Q_OBJECT

 public:
  explicit OccupantForm(MainContext& context);

  // The number of the occupant shown.
  int Shown() const { return shown_; }

  // Occupant n of the scenario in the boxes and the grid, as the window shows it on opening
  // and after a file is read.
  void ShowFromScenario(int n);
  // The boxes and the grid into the record.
  void GetOccupantData(OccupantRecord& record);
  // The record in the boxes and the grid, as moving between occupants shows it; its room
  // numbers follow the names of its locations.
  void ShowOccupantData(OccupantRecord& record);
  void PreviousOccupant();
  void NextOccupant();
  // Stores the occupant shown and every copy into the scenario, then writes the occupant
  // shown as an activity pattern file.
  void WriteActivityFile(const std::string& file_name, int n);

  void Transfer() override;
  void Cancel() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void AfterCellCommit(int row, int col) override;

 private:
  // The boxes that show numbers, in the order of `boxes_`.
  enum Box {
    Start,
    End,
    Breathing,
    Efficiency,
    Lifetime,
    Population,
    Weight,
    Averaging,
    Cycle,
    BoxCount
  };

  void BuildControls();
  QLineEdit* AddBox(QWidget& frame, const char* label_name, const char* caption,
                    const char* box_name, const char* design_text, int column);
  void SetBox(Box box, const std::string& text, float value);
  float BoxNumber(Box box) const;
  void SetColumnWidths(int twips);
  void LayOut();
  void PickLocation(bool from_enter);
  void OpenPattern();
  void SavePattern(bool save_as);
  void PrintPattern();
  void StoreShown();

  OccupantArray form_occupants_{};
  int shown_ = 1;
  bool laying_out_ = false;

  QWidget* id_frame_ = nullptr;
  QWidget* time_frame_ = nullptr;
  QWidget* top_frame_ = nullptr;
  QWidget* edit_frame_ = nullptr;
  QLabel* build_id_ = nullptr;
  QLabel* scenario_id_ = nullptr;
  QLineEdit* occupant_number_ = nullptr;
  QLineEdit* occupant_name_ = nullptr;
  UpDown* spin_ = nullptr;
  QListWidget* activity_list_ = nullptr;
  std::array<QLineEdit*, BoxCount> boxes_{};
  std::array<NumberBox, BoxCount> shown_numbers_{};
};

// The scenario editor's Occupancy: the window with occupant 1, the editor out of use while it
// is open. An open window comes forward as it is.
OccupantForm* OpenOccupantForm(MainContext& context, QWidget* opener);

}  // namespace quarn
