#pragma once

#include "ui/results/results_window.h"

namespace quarn {

class DataControl;

// A reference table of pollutant risk factors shown whole: the field names in row 0 and
// one record a row below them. The current record follows the grid's current row, and
// Transfer copies its pollutant, irritant concentration and cancer risk into pollutant 0,
// then closes the window.
class RiskDbForm : public ResultsWindow {
  Q_OBJECT

 public:
  explicit RiskDbForm(MainContext& context, QWidget* parent = nullptr);

  // A reference table: no run makes it.
  bool ReadsRun(RunKind /*kind*/) const override { return false; }

  FlexGrid& RiskDbGrid() { return Grid(); }
  DataControl& Data1() { return *data_; }

  // File > Transfer.
  void FileTransfer();

 private:
  void Load();

  DataControl* data_ = nullptr;
};

// The window's opener; no command of the program calls it. The window exists once: an open
// one is brought forward as it is. A new one goes into the frame's area above `opener` when
// there is one.
RiskDbForm* ShowRiskDbForm(MainContext& context, QWidget* opener);

}  // namespace quarn
