#pragma once

class QBoxLayout;
class QLabel;
class QVBoxLayout;
class QWidget;

namespace quarn {

class EditCellBox;
class FlexGrid;
class GridEdit;
class InputForm;

// A label of that name and caption (Windows-1252) added to the layout.
QLabel* AddLabel(QWidget* parent, QBoxLayout& layout, const char* name, const char* caption);

// The two grids of the source windows, each below its label and its edit box: the
// schedule row ("General source data", editcell1, GeneralSourceDataGrid) and the
// pollutant parameters ("Pollutant specific source data", EditCell, ssrmsrc).
struct SourceGridControls {
  FlexGrid* schedule = nullptr;
  FlexGrid* parameters = nullptr;
  EditCellBox* edit_cell = nullptr;
  EditCellBox* edit_cell1 = nullptr;
};
SourceGridControls AddSourceGrids(QWidget& parent, QVBoxLayout& layout);

// The grids edited in place: the parameters take numbers only; the schedule mixes a name
// and a repeat code with numbers, so its keys follow the column. Gives back the parameters'
// session.
GridEdit& AddSourceEditSessions(InputForm& form, const SourceGridControls& grids);

}  // namespace quarn
