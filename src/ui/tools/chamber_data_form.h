#pragma once

#include <string>

#include "model/chamber_fit.h"
#include "ui/common/input_form.h"
#include "ui/common/window_links.h"

class QLabel;
class QLineEdit;

namespace quarn {

// "R0 k Source Model Calculator": the measurements of one chamber test typed or opened into
// its grid and boxes, the R0/k fit through them with its progress shown in the Results
// frame, predicted values, a plot, and Close and return, which hands the fit to the source
// being edited (WorkSource, stored at Sources(CurrentRoom, CurrentSource)).
//
// The grid has its own key handling: a number key in the grid starts an entry in `Text1`,
// whose every change goes straight into the current cell.
class ChamberDataForm : public InputForm, public ChamberDataLink, private ChamberFitProgress {
  Q_OBJECT

 public:
  ChamberDataForm(MainContext& context, QWidget* owner);

  void BringBack() override {
    show();
    BringForward(*this);
  }

  FlexGrid& Grid1() { return *grid_; }
  EditCellBox& Text1() { return *entry_box_; }

  // Everything starts empty: grid, boxes, fitted values and the file name.
  void SetupChamberGrid();
  // The boxes and the grid into the record; false after a message when it holds more
  // points than a chamber test can.
  bool GetChamberData(ChamberDataRecord& record);
  void ShowChamberData(const ChamberDataRecord& record);
  // Names the source the fit is for: its number and name, and its room's.
  void ShowFitFor(int room, int slot);

  // Calculate > R0k: the fit, its results shown and given to WorkSource.
  void RunR0kFit();
  // Calculate > Predicted values and Plot, from the fitted R0 and k.
  void CalculatePredicted();
  void PlotChamberFit();

  // File > Close and return; the close box does the same.
  void Transfer() override;

  bool ChamberDataEntered() const { return entered_; }
  bool ChamberDataSaved() const { return saved_; }

 protected:
  bool CloseBox() override;

 private:
  void BuildControls();
  void BuildCommands();

  // File commands.
  void FileNew();
  void FileOpen();
  // Save to the file name, or through the dialog when there is none (or `ask_name`); true
  // when the data were written.
  bool FileSave(bool ask_name);
  // The question before New and Close and return, when there are unsaved data: No when
  // there is nothing to ask, Yes once saved, Cancel when the command must not go on.
  Answer SaveQuestion();
  // Close and return without the closing; false when the window stays.
  bool ReturnFit();
  void PrintWindow();

  // Grid and edit box.
  void GridKeyPress(int& key_ascii);
  void GridClick();
  void EntryKeyDown(int& key_code, int shift);
  void EntryKeyPress(int& key_ascii);
  void EntryEdited();
  void LoadEntryBox();
  void InsertRow();
  void DeleteRow();
  // Cut or Paste on the selected block; the cells changed.
  void BlockCommand(void (GridEdit::*command)());

  // What the user changed: the data are entered and not saved.
  void DataChanged();
  // Whether the model can be evaluated for the record's chamber; false after the fit's
  // message when it has no volume, air exchange rate or source area.
  bool CheckChamber(const ChamberDataRecord& record);

  // The fit's progress display.
  void ShowIteration(int iteration) override;
  void ShowR0(float r0) override;
  void ShowK(float k) override;

  FlexGrid* grid_ = nullptr;
  EditCellBox* entry_box_ = nullptr;
  GridEdit* blocks_ = nullptr;
  QLineEdit* volume_ = nullptr;
  QLineEdit* ach_ = nullptr;
  QLineEdit* area_ = nullptr;
  QLineEdit* peak_ = nullptr;
  QLineEdit* peak_time_ = nullptr;
  QLineEdit* r0result_ = nullptr;
  QLineEdit* kresult_ = nullptr;
  QLineEdit* sumsqrsresult_ = nullptr;
  QLabel* iteration_nr_ = nullptr;

  bool entered_ = false;
  // The current cell's text when the cursor came to it, given back by Esc.
  std::string text_on_entry_;
  bool saved_ = false;
  // r0result and kresult typed into since the fit or the file last wrote them: Close and
  // return reads those boxes, and otherwise takes the fitted values.
  bool r0_typed_ = false;
  bool k_typed_ = false;
  // The last fit ended without R0 and k to give ("Failed to converge.", "Cannot calculate
  // R0,k"): Close and return gives the source nothing unless R0 or k is typed since.
  bool fit_failed_ = false;
  QLabel* fit_for_ = nullptr;
};

// Calculate > R0k of the source window: the chamber data window on a copy of
// Sources(room, CurrentSource), window-modal to the source window and starting empty.
// Nothing opens, and nullptr comes back, for a room outside 0 to 13 or a source slot
// outside 1 to 3.
ChamberDataForm* EditSourceChamberData(MainContext& context, int room);
ChamberDataForm* ShowR0kCalculator(MainContext& context, int room);

}  // namespace quarn
