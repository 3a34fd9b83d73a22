#pragma once

#include <QMainWindow>

#include "ui/common/main_context.h"

namespace quarn {

class FlexGrid;
struct SourceRecord;

// The name of the working source under the headings of the source model view.
class ViewModelForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit ViewModelForm(MainContext& context, QWidget* parent = nullptr);

  FlexGrid& ViewModelGrid() { return *grid_; }

 private:
  FlexGrid* grid_ = nullptr;
};

void SetupViewModelGrid(FlexGrid& grid, const SourceRecord& source);

// Loaded once through the window registry and shown modeless; no command of the program
// opens it.
ViewModelForm& ShowViewModel(MainContext& context);

}  // namespace quarn
