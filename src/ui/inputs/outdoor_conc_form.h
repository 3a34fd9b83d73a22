#pragma once

#include <optional>

#include "ui/common/input_form.h"
#include "ui/inputs/conc_form_parts.h"

class QGroupBox;

namespace quarn {

// "Outdoor Concentration": the outdoor concentration of every pollutant as a history of up
// to 50 time points, typed in a unit of this window's own (OutdoorConcUnits) and shown
// converted into the scenario's units in a yellow block. The ".OUT" files save and open
// the history.
class OutdoorConcForm : public InputForm {
  Q_OBJECT

 public:
  explicit OutdoorConcForm(MainContext& context);

  // The units fitted to the mode (gases take ppm where a number was set, particles a number
  // where ppm was), the option selected, the grid laid out and filled, the cursor on the
  // first time.
  void Fill();

  void Transfer() override;
  // Asks when something changed; gives the record back the history it held before this
  // window's file commands changed it.
  void Cancel() override;

 protected:
  // As Cancel: after the question, the history read from a file goes back as it was.
  bool CloseBox() override;

 private:
  // The history as the window found it, kept at the first command that changes the record.
  struct HistoryBefore {
    HistoryPollutant conc;
    History times;
    int16_t points;
    HistoryPollutant input;
    int16_t scenario_saved;
  };
  void KeepHistoryBefore();

  void BuildControls();
  void ChooseUnit(int option);
  // The history into the record; false, storing nothing, when a value cannot be converted.
  bool Store();
  // The grid laid out and filled, the typed block labelled with the chosen unit.
  void FillGrid();
  void OpenFile();
  void SaveFile();

  QGroupBox* framediameter_ = nullptr;
  UnitButtons units_;
  std::optional<HistoryBefore> before_;
};

// Set concentrations > Outdoor concentrations of the pollutant window: the window filled
// from the record, the opener out of use while it is open. An open window is brought
// forward as it is.
OutdoorConcForm* OpenOutdoorConcForm(MainContext& context, QWidget* opener);

}  // namespace quarn
