#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "model/records.h"
#include "ui/common/main_context.h"
#include "ui/common/window_links.h"

class QComboBox;
class QMdiArea;
class QRadioButton;

namespace quarn {

class EditCellBox;
class FlexGrid;
class GridEdit;

// The HVAC-type list (HVACType = index + 1) and the class list, in their order.
const std::vector<std::string>& HVACTypeEntries();
const std::vector<std::string>& PollutantClassEntries();

// The scenario editor: the hub of scenario input. The general settings are edited in the
// Item/Value grid ScenarioSS through the edit line EditCell; the class and HVAC-type lists
// and the three unit options sit beside it; the menus save, open and transfer the scenario
// and open the input windows. The window owns no model data: the record changes only
// through its commands and the grid's read-back at Transfer.
class ScenarioEditor : public QMainWindow, public ScenarioEditorLink {
  Q_OBJECT

 public:
  explicit ScenarioEditor(MainContext& context, QWidget* parent = nullptr);
  ~ScenarioEditor() override;

  FlexGrid& ScenarioSS() override { return *grid_; }
  EditCellBox& EditCell() { return *edit_cell_; }
  GridEdit& Editing() { return *edit_; }
  QComboBox& PollutantType() { return *pollutant_type_; }
  QComboBox& TypeHVAC() { return *type_hvac_; }

  // Runs the menu command of that object name, as a click on the item would.
  void RunCommand(const std::string& name);

  // The size that shows the whole menu bar and every grid row, never below the window's
  // minimum. The frame's Cascade sizes each child to its hint, so it keeps this size too.
  QSize sizeHint() const override;

  // Window Load: the HVAC type selected and the unit options set from the record.
  void Load();
  // Fills the grid from the record (also selects the class entry).
  void FillGrid();
  // Whether the grid holds what the user typed, pasted or chose since it was last filled,
  // an entry still being typed included.
  bool HoldsEdits() const;
  // The unit options from the record: the first option's caption for the class, and the
  // option of ConcUnits checked ("ppm" and "number" the first; any other word none).
  void SetupFormUnits();

  // Commands.
  void FileNew();
  void FileOpen();
  void FileSave();
  void Transfer();
  void Cancel();
  void HVACSources();
  void Occupancy();
  void DefinePollutants();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void WireCommands();
  void WireEvents();
  // The class list's events: write the class cell, then store the class and the caption of
  // the first unit option.
  void ClassChanged(bool units_first, bool units_after, bool write_cell, bool update_class);
  void UpdateClass();
  // The grid into the record; false, storing nothing, after a message when it holds a value
  // the record cannot take.
  bool ReadGrid();
  // What the grid and the HVAC type show now counts as stored: closing loses none of it.
  void KeepGridAsStored();
  // Whether closing may go on: after "All changes will be lost" when the window holds edits
  // not transferred, else after the question (or none) about a scenario not saved to its file.
  bool AgreeToClose(const char* unsaved_question) const;
  bool ConfirmLoss(const char* question, const char* title, MessageIcon icon) const;
  int16_t PollutantCountOfGrid() const;
  void Unload();

  MainContext& ctx_;
  EditCellBox* edit_cell_ = nullptr;
  FlexGrid* grid_ = nullptr;
  QComboBox* pollutant_type_ = nullptr;
  QComboBox* type_hvac_ = nullptr;
  QRadioButton* number_ = nullptr;
  QRadioButton* micrograms_ = nullptr;
  QRadioButton* milligrams_ = nullptr;
  GridEdit* edit_ = nullptr;
  // The grid's texts as FillGrid left them.
  std::vector<std::string> filled_;
  int filled_hvac_type_ = -1;
  std::map<std::string, std::function<void()>> commands_;
  // Set once the user agreed to close without saving, so that the question is not asked
  // a second time by the closing itself.
  bool close_confirmed_ = false;
};

// GetUnitsFromForm: ConcUnits from the first checked option named "number", "micrograms" or
// "milligrams" on the window; with none checked, "milligrams", and that option is checked.
void GetUnitsFromForm(ScenarioRecord& scenario, QWidget& window);

// The size the scenario editor asks for (its sizeHint with the grid filled from the record),
// measured on a window that is never shown and without changing the record.
QSize ScenarioEditorSize(MainContext& context);

// The building window's Scenarios command: loads the editor (one at a time) into the frame,
// hides the building window while it is open, fills its grid and shows it. An open editor
// that holds edits not yet transferred is brought forward as it is, never filled again.
ScenarioEditor* OpenScenarioEditor(MainContext& context, QMdiArea* area, QWidget* opener);

}  // namespace quarn
