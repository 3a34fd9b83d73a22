#pragma once

#include <QWidget>

namespace quarn {

class FlexGrid;
struct MainContext;

// "Shower source data": a reference table of tap-water VOCs (water temperature, Henry's law
// constant, mass-transfer value) that the user reads while typing the Shower model's
// parameters. Nothing in it goes into a source.
class ShowerHelpForm : public QWidget {
  Q_OBJECT

 public:
  explicit ShowerHelpForm(QWidget* parent = nullptr);

  FlexGrid& ShowerDataGrid() { return *grid_; }

 private:
  FlexGrid* grid_ = nullptr;
};

// Loads the shower data window (an open one is reused), fills its table from the shower
// data file of the program folder (a missing or short file is reported) and shows it.
ShowerHelpForm* ShowShowerData(MainContext& context);

}  // namespace quarn
