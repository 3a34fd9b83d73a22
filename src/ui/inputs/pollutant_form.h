#pragma once

#include "ui/common/input_form.h"
#include "ui/common/window_links.h"

class QFrame;

namespace quarn {

// "Define pollutants": one row per pollutant of the scenario, its name and properties
// (molecular weight, diffusivity and C0 for gases; diameter and density for particles;
// the health values for both), typed in place through EditCell. Transfer stores the grid
// into the scenario's pollutants and closes; the cancels close without storing. From here
// the user reaches the concentrations, the building penetration, the default deposition
// velocities of particles and the tools. The pollutant file holds the particle diameters.
class PollutantForm : public InputForm, public VocRowsLink {
  Q_OBJECT

 public:
  explicit PollutantForm(MainContext& context);

  void TakeVocRows(const FlexGrid& voc_grid, const std::vector<int>& rows, Prompt& prompt) override;

  // Lays the grid out and fills it from the record.
  void Fill();
  void Transfer() override;
  // Wide enough for every title of the menu bar, which holds most of the commands.
  QSize sizeHint() const override;

 private:
  void WireCommands();
  void StoreGrid();
  void OpenPollutantFile();
  void SavePollutantFile();
  void CalculateDeposition();
  void DefinePenetration();

  bool particles_ = false;
  QFrame* top_frame_ = nullptr;
  GridEdit* edit_ = nullptr;
};

// Define Pollutants of the scenario editor: the window at the frame's top left, filled
// from the record, with its opener out of use while it is open.
PollutantForm* OpenPollutantForm(MainContext& context, QWidget* opener);

}  // namespace quarn
