#pragma once

#include <QMainWindow>
#include <array>

#include "ui/common/main_context.h"

namespace quarn {

class FlexGrid;
class HelpService;

// The source list with the emission model of one entry: a click on an entry shows its ID,
// name and model code in EmissionModelGrid, and its parameters under the labels of its model.
class IndoorSourceForm : public QMainWindow {
  Q_OBJECT

 public:
  // Emission models of the list, and per model its title and 7 parameter labels.
  static constexpr int kModels = 5;
  static constexpr int kLabels = 8;
  using LabelTable = std::array<std::array<const char*, kLabels>, kModels>;

  explicit IndoorSourceForm(MainContext& context, QWidget* parent = nullptr);

  FlexGrid& MSFlexGrid1() { return *list_; }
  FlexGrid& EmissionModelGrid() { return *model_grid_; }
  const LabelTable& Labels() const { return labels_; }

  // Row `row` of the list into row 1 of EmissionModelGrid.
  void ShowEntry(int row);

 private:
  void BuildMenus(HelpService& help);

  LabelTable labels_{};
  int entries_ = 0;  // the list's rows 1 to entries_ hold entries
  FlexGrid* list_ = nullptr;
  FlexGrid* model_grid_ = nullptr;
};

// The labels of the emission models of the source list, model by model.
void SetupEmissionModelGrid(IndoorSourceForm::LabelTable& labels);

// Loaded once through the window registry and shown modeless; no command of the program
// opens it.
IndoorSourceForm& ShowIndoorSource(MainContext& context);

}  // namespace quarn
