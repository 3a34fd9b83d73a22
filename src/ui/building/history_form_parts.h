#pragma once

class QGroupBox;
class QRadioButton;
class QWidget;

namespace quarn {

class EditCellBox;
class Prompt;

// Pieces the two schedule windows (HVAC flow history, ventilation history) build alike.

// A titled frame that stacks what is added to it.
QGroupBox* AddFrame(QWidget& parent, const char* name, const char* caption);
// An option button at the foot of the frame.
QRadioButton* AddOption(QGroupBox& frame, const char* name, const char* caption);
// The grid's edit box, hidden until an edit; the controls beside it keep their place while
// it comes and goes.
EditCellBox* AddEditCellBox(QWidget& parent);
// The question before edits are dropped: true when the user answers Yes.
bool AgreeToLoseChanges(Prompt& prompt);

}  // namespace quarn
