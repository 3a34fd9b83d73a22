#pragma once

#include <QDialog>
#include <QElapsedTimer>
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
//
// A step of a small building takes a fraction of a microsecond, far less than a redraw, so
// the window puts every record's points on the chart (which keeps what it can draw of them)
// and the latest totals as they come and shows them, letting the window system run, only
// every kRefreshMs of wall time and at the end.
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

  // How often the window is brought up to date while a run goes on, in milliseconds of wall
  // time: often enough to follow the run and to answer Stop at once.
  static constexpr qint64 kRefreshMs = 50;
  // Tests that watch a run of a few milliseconds through the window bring it up to date more
  // often (0: after every step); kRefreshMs otherwise.
  static void SetRefreshInterval(qint64 ms) { refresh_ms = ms; }

  bool Running() const { return running_; }
  // How many times the window was brought up to date during the last run.
  int Refreshes() const { return refreshes_; }
  StripChart& Chart() { return *chart_; }
  // How the last run ended and its totals, in a line for the frame once the window is gone;
  // empty before a run ends.
  const std::string& Outcome() const { return outcome_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  // Shows the totals of the latest record and lifts the chart's axis over the points set
  // since the last refresh.
  void Refresh();
  void SetUpChart();
  void ShowTotals();

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
  // starts from the first records and grows to take in every value drawn. 0 until a
  // record holds a concentration above 0.
  double end_time_ = 0;
  double top_ = 0;
  float highest_ = 0;  // the highest concentration set on the chart
  bool chart_ready_ = false;
  // The latest record's values, shown at the next refresh.
  RunRecordInfo latest_;
  bool has_latest_ = false;
  // Wall time since the run started, and the steps between two looks at it: the clock is
  // read often enough to refresh on time, but not at every step of a fast run.
  QElapsedTimer clock_;
  qint64 last_refresh_ms_ = 0;
  qint64 last_look_ms_ = 0;
  int steps_between_looks_ = 1;
  int steps_to_look_ = 1;
  int refreshes_ = 0;
  static inline qint64 refresh_ms = kRefreshMs;
  QLabel* legend_;
  QLabel* totals_of_;
  std::string outcome_;
  bool running_ = false;
};

}  // namespace quarn
