#pragma once

#include "ui/common/input_form.h"
#include "ui/inputs/conc_form_parts.h"

namespace quarn {

// "Initial indoor concentrations": every pollutant's concentration in every room at the
// start of the run. The values are typed in a unit of this window's own (InitialConcUnits)
// into the first block of room columns; the second, yellow block shows them in the
// scenario's units for reference. Transfer converts the typed block into InitialConc.
class InitialConcForm : public InputForm {
  Q_OBJECT

 public:
  explicit InitialConcForm(MainContext& context);

  // The grid laid out and filled from the record, the option of InitialConcUnits selected.
  void Fill();

  void Transfer() override;

 private:
  void BuildControls();
  // The option into InitialConcUnits and the typed block into the record; on a value that
  // cannot be converted nothing is stored (false).
  bool Store();
  void ChooseUnit(int option);
  void OpenFile();
  void SaveFile();
  int Rooms() const;

  UnitButtons units_;
};

// Set concentrations > Initial indoor concentrations of the pollutant window: the window
// filled from the record, the cursor on the first room of the first pollutant, the opener
// out of use while it is open. An open window is brought forward as it is.
InitialConcForm* OpenInitialIndoorForm(MainContext& context, QWidget* opener);

}  // namespace quarn
