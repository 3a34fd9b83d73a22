#pragma once

#include <QDialog>
#include <string>

#include "model/program_state.h"
#include "model/prompt.h"
#include "model/run_observer.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace quarn {

class StripChart;

// The progress window of a concentration run: the simulated time, a strip chart of every
// room's concentrations against time (axes with units, a legend of the rooms' names) and the
// running totals. It is modal while the run goes on, so that
// nothing but "Stop Calculation" can change the model under the run; its close box stops
// the run too. The window owns no data: the run tells it what to show.
class RunGraph : public QDialog, public RunObserver {
  Q_OBJECT

 public:
  RunGraph(ProgramState& state, Prompt& prompt, QWidget* parent = nullptr);

  // UpdateRunGraph: the chart's axis and scales, and the window shown.
  void RunStarted(const RunStartInfo& info) override;
  // The record display of one output time.
  void RecordWritten(const RunRecordInfo& record) override;
  // Lets the window system run once, so that the window is drawn and Stop can be pressed.
  bool StepDone(float time) override;
  void RunEnded(RunOutcome outcome) override;

  // "Stop Calculation": the run ends at the top of its next step.
  void Stop();

  bool Running() const { return running_; }
  StripChart& Chart() { return *chart_; }
  // How the last run ended and its totals, in a line for the frame once the window is gone;
  // empty before a run ends.
  const std::string& Outcome() const { return outcome_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  ProgramState& state_;
  Prompt& prompt_;
  StripChart* chart_;
  QLabel* time_;
  QLineEdit* emitted_;
  QLineEdit* sink_;
  QLineEdit* leaving_;
  QLineEdit* average_;
  QLineEdit* hvac_;
  QLineEdit* vent_;
  QPushButton* stop_;
  std::string mass_format_;
  std::string conc_format_;
  int num_rooms_ = 0;
  int num_pollutants_ = 0;
  // The chart's axes in hours and in the run's concentration unit; the concentration axis
  // grows to take in every value drawn.
  double end_time_ = 0;
  double top_ = 0;
  float last_time_ = 0;
  QLabel* legend_;
  std::string outcome_;
  bool running_ = false;
};

}  // namespace quarn
