#pragma once

#include <vector>

#include "files/reference_data.h"
#include "ui/common/input_form.h"

namespace quarn {

// "VOC Database": a table of volatile organic compounds (formula, molecular weight,
// diffusivity, vapour pressure and health values) read from the program's "vocprops.txt",
// edited in place, opened from and saved to VOC data files. The user marks compounds with
// a click in column 0; Transfer copies the marked ones into the pollutant window's grid
// from its current row and closes, leaving the storing to the pollutant window's Transfer.
class VOCDatabaseForm : public InputForm {
  Q_OBJECT

 public:
  explicit VOCDatabaseForm(MainContext& context);

  // The compounds of "vocprops.txt" in the program folder; an empty table when it cannot
  // be read.
  void Load();
  void Transfer() override;
  QSize sizeHint() const override;

 private:
  // The records alone under the headings, at least `min_rows` rows and one empty row
  // after the last record; the comments column is the user's and stays.
  void ShowRecords(const std::vector<VocRecord>& records, int min_rows);
  std::vector<VocRecord> TableRecords() const;
  void ToggleMark();
  void InsertRow();
  void OpenVocFile();
  void SaveVocFile();

  GridEdit* edit_ = nullptr;
};

// VOC database of the pollutant window: the window, filled from "vocprops.txt", with its
// opener out of use while it is open; an open one is brought forward as it is.
VOCDatabaseForm* OpenVocDatabase(MainContext& context, QWidget* opener);

}  // namespace quarn
