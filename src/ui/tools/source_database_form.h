#pragma once

#include "files/reference_data.h"
#include "ui/common/input_form.h"

namespace quarn {

// "Source data base information": a text source database shown as a grid, one row per
// source entry under the file's own column titles. A viewer: cells can be edited on screen,
// but nothing is saved or taken into a source; another database can be opened into it.
class SourceDatabaseForm : public InputForm {
  Q_OBJECT

 public:
  explicit SourceDatabaseForm(MainContext& context);

  // The titles in row 0, an entry a row and one empty row after them; the cursor on the
  // first entry.
  void Fill(const SourceDatabase& database);
  // Nothing to store: the window has no Transfer.
  void Transfer() override {}

 private:
  void OpenDatabase();

  GridEdit* edit_ = nullptr;
};

// Open source data base of the room source window: the file chosen and read, then the
// window shown with it beside the opener, which stays in use. Nothing opens when the
// dialog is cancelled or the file cannot be read.
SourceDatabaseForm* OpenSourceDatabase(MainContext& context, QWidget* opener);

}  // namespace quarn
