#pragma once

#include <array>
#include <functional>

class QBoxLayout;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QVBoxLayout;
class QWidget;

namespace quarn {

class EditCellBox;
class FlexGrid;
class GridEdit;
class InputForm;
class Prompt;
class UpDown;

// The framed band "topframe" at the top of the window's column `layout`; gives the band's row.
QHBoxLayout* AddSourceTopFrame(QWidget& parent, QVBoxLayout& layout);
// A label of that name and caption (Windows-1252) added to the layout.
QLabel* AddLabel(QWidget* parent, QBoxLayout& layout, const char* name, const char* caption);
// A number-only edit box of that name added to the layout; a comma typed is refused with a
// message through the prompt.
QLineEdit* AddNumberBox(QWidget* parent, QBoxLayout& layout, const char* name, Prompt& prompt);

// The source windows' "# sources in room " with its count box "Numberofsources" (showing
// 1), the spinner "Changesourcenumber" to the room's other sources, and "Source #" with the
// label "SourceNumber" for the number of the source shown, added to the layout in that order.
struct SourceNumberControls {
  QLineEdit* count = nullptr;
  UpDown* spinner = nullptr;
  QLabel* number = nullptr;
};
SourceNumberControls AddSourceNumberControls(QWidget* parent, QBoxLayout& layout, Prompt& prompt);
// The group "Frame1" of the model list "SourceModel" below "Select source model", added to
// the layout; the caller lists the models.
QComboBox* AddModelList(QWidget* parent, QBoxLayout& layout);
// The group "Units" ("Frame2") of the options Option1 to Option3 with those captions
// (Windows-1252), added to the layout.
std::array<QRadioButton*, 3> AddUnitOptions(QWidget* parent, QBoxLayout& layout,
                                            const std::array<const char*, 3>& captions);

// A choice in the model list is kept in `chosen` and runs the window's command of the
// list's name on it. Only the user's choice in the list changes the model; a shown source
// selects its own.
void SetModelListCommand(InputForm& form, QComboBox& list, int& chosen,
                         std::function<void(int model)> choose);

// The two grids of the source windows, each below its label and its edit box: the
// schedule row ("General source data", editcell1, GeneralSourceDataGrid) and the
// pollutant parameters ("Pollutant specific source data", EditCell, ssrmsrc).
struct SourceGridControls {
  FlexGrid* schedule = nullptr;
  FlexGrid* parameters = nullptr;
  EditCellBox* edit_cell = nullptr;           // the parameters' box
  EditCellBox* schedule_edit_cell = nullptr;  // the schedule's box
};
SourceGridControls AddSourceGrids(QWidget& parent, QVBoxLayout& layout);

// The grids edited in place: the parameters take numbers only; the schedule mixes a name
// and a repeat code with numbers, so its keys follow the column. Gives back the parameters'
// session.
GridEdit& AddSourceEditSessions(InputForm& form, const SourceGridControls& grids);

}  // namespace quarn
