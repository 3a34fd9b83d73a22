#pragma once

#include "ui/common/input_form.h"

class QFrame;

namespace quarn {

// The user-defined filter window "User defined air cleaner": one row per pollutant with
// the efficiency in percent that the HVAC filter removes of it. Transfer stores the
// efficiencies as the fractions that pass; the window also reads and writes them, with the
// pollutants' names, as a filter file.
class FilterDefinitionForm : public InputForm {
  Q_OBJECT

 public:
  explicit FilterDefinitionForm(MainContext& context);

  // The grid laid out and filled from the record, the cursor on the first efficiency.
  void Fill();

  void Transfer() override;
  // fileopen: names and fractions of a filter file into the record, then the grid refilled.
  void OpenFilterFile();
  // filesave: the grid into the record, then the record's filter written to a file.
  void SaveFilterFile();
  // editclearall: every efficiency emptied, as one block.
  void ClearAll();

 private:
  void BuildControls();
  // The grid into the record when every efficiency is from 0 to 100; otherwise the user is
  // told which one is not, and nothing is stored.
  bool StoreGrid();
  void RefuseEfficiency(const std::string& pollutant_name);
};

// The HVAC air cleaner window's userdefine: the window filled from the record, its opener
// out of use until it closes.
FilterDefinitionForm* OpenFilterDefinitionForm(MainContext& context, QWidget* opener);

}  // namespace quarn
