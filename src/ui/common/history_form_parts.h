#pragma once

class QGroupBox;
class QHBoxLayout;
class QRadioButton;
class QWidget;

namespace quarn {

class EditCellBox;
class FlexGrid;
class InputForm;
class Prompt;

// Pieces the two schedule windows (HVAC flow history, ventilation history) build alike.

// A titled frame that stacks what is added to it.
QGroupBox* AddFrame(QWidget& parent, const char* name, const char* caption);
// An option button at the foot of the frame.
QRadioButton* AddOption(QGroupBox& frame, const char* name, const char* caption);
// The grid's edit box, hidden until an edit; the controls beside it keep their place while
// it comes and goes.
EditCellBox* AddEditCellBox(QWidget& parent);
// The band TopFrame at the top of the window, holding the edit box; gives the band's row
// for the controls that follow the box.
QHBoxLayout* AddTopFrame(QWidget& parent, EditCellBox*& box);
// Edit > Insert Row and Delete Row on the schedule grid's current row; a changed grid marks
// the window edited.
void SetScheduleRowCommands(InputForm& form, FlexGrid& grid, Prompt& prompt);
// The question before edits are dropped: true when the user answers Yes.
bool AgreeToLoseChanges(Prompt& prompt);

}  // namespace quarn
