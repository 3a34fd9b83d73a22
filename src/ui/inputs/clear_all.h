#pragma once

namespace quarn {

class FlexGrid;
class InputForm;
class Prompt;

// Clear All of the input windows: asks first, and unless the answer is No empties every
// cell of rows 1 on and columns first_col on as one Clear, so the headings and the numbers
// of the rows stay.
void ClearAllData(InputForm& form, FlexGrid& grid, Prompt& prompt, int first_col);

}  // namespace quarn
