#pragma once

#include <string>

#include "ui/results/results_window.h"

class QLineEdit;

namespace quarn {

// A small read-only summary of the first occupant's lifetime cancer risk from the first
// pollutant: the absorbed dose after the simulated years, the risk and the pollutant's
// comments; it saves them as a .RSK report and prints its own image.
class RiskAnalysis : public ResultsWindow {
  Q_OBJECT

 public:
  explicit RiskAnalysis(MainContext& context, QWidget* parent = nullptr);

  bool ReadsRun(RunKind kind) const override {
    return kind == RunKind::Exposure || kind == RunKind::Risk;
  }

  QLineEdit& Text1() { return *comments_; }
  QLabel& RiskResult() { return *risk_; }
  QLabel& DoseLabel() { return *dose_; }
  QLabel& Pollutant() { return *pollutant_; }
  QLabel& Nyears() { return *years_; }
  // The building, scenario and occupant of the risk shown.
  QLabel& Whose() { return *whose_; }
  // The comments box as the reports print it.
  std::string Comment() const;

  // File > Save risk results: the .RSK report under a chosen name.
  void SaveResults();

 private:
  QLineEdit* comments_ = nullptr;
  QLabel* risk_ = nullptr;
  QLabel* dose_ = nullptr;
  QLabel* pollutant_ = nullptr;
  QLabel* years_ = nullptr;
  QLabel* whose_ = nullptr;
};

// The building window's opener of the risk analysis (no menu item calls it): the window
// loaded, filled from occupant 1 and pollutant 0, and shown.
RiskAnalysis* ShowRiskAnalysisForm(MainContext& context);

}  // namespace quarn
