#include "ui/results/run_graph.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "model/exposure_units.h"
#include "platform/qt_text.h"
#include "platform/strip_chart.h"
#include "text/number_text.h"
#include "ui/common/form_helpers.h"
#include "ui/common/window_tiling.h"

namespace quarn {
namespace {

// A value past the top of the concentration axis raises the top to this much above it, so
// that a rising curve does not redraw the chart at every record.
constexpr double kHeadroom = 1.25;

// The smallest round number (1, 2 or 5 times a power of ten) at or above `value`.
double RoundUp(double value) {
  if (!(value > 0) || !std::isfinite(value)) return 1;
  const double decade = std::pow(10.0, std::floor(std::log10(value)));
  for (const double m : {1.0, 2.0, 5.0, 10.0}) {
    if (m * decade >= value) return m * decade;
  }
  return 10 * decade;
}

// The colour of room r's points (0 outdoors).
QColor RoomColor(int room) {
  return StripChart::PaletteColor(room < 15 ? room : 0);
}

// A total of the frame's end-of-run line: grouped digits, or an exponent for the smallest.
std::string TotalText(float value) {
  const float size = std::fabs(value);
  return FormatPattern(value, size != 0 && size < 0.001f ? "0.0##E-00" : "#,##0.0##");
}

QLineEdit* ValueBox(const char* name, QWidget* parent) {
  auto* box = NamedBox(parent, name);
  box->setReadOnly(true);
  return box;
}

QLabel* Label(const char* name, const char* caption, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

RunGraph::RunGraph(ProgramState& state, Prompt& prompt, QWidget* parent)
    : QDialog(parent), state_(state), prompt_(prompt) {
  setObjectName("RunGraph");
  setWindowTitle("In room concentration");
  setWindowModality(Qt::ApplicationModal);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(Label("Label1", "Time", this));
  time_ = Label("Label2", "", this);
  top->addWidget(time_, 1);
  layout->addLayout(top);
  chart_ = new StripChart(this);
  chart_->setObjectName("StripChart");
  chart_->setMinimumSize(420, 260);
  layout->addWidget(chart_, 1);
  legend_ = new QLabel(this);
  legend_->setObjectName("Legend");
  legend_->setTextFormat(Qt::RichText);
  legend_->setWordWrap(true);
  layout->addWidget(legend_);
  totals_of_ = Label("TotalsOf", "", this);
  layout->addWidget(totals_of_);
  auto* values = new QGridLayout;
  emitted_ = ValueBox("Text2", this);
  sink_ = ValueBox("Text3", this);
  leaving_ = ValueBox("Text4", this);
  average_ = ValueBox("Text5", this);
  hvac_ = ValueBox("HVACStatus", this);
  vent_ = ValueBox("Vent", this);
  values->addWidget(Label("Label3", "Total emitted", this), 0, 0);
  values->addWidget(emitted_, 1, 0);
  values->addWidget(Label("Label4", "Sink Mass", this), 0, 1);
  values->addWidget(sink_, 1, 1);
  values->addWidget(Label("Label6", "Leaving", this), 0, 2);
  values->addWidget(leaving_, 1, 2);
  values->addWidget(Label("Label7", "Ave Conc", this), 2, 0);
  values->addWidget(average_, 3, 0);
  values->addWidget(Label("HvacLab", "HVAC Status", this), 2, 1);
  values->addWidget(hvac_, 3, 1);
  values->addWidget(Label("Label5", "Ventil rate", this), 2, 2);
  values->addWidget(vent_, 3, 2);
  layout->addLayout(values);
  stop_ = new QPushButton("Stop Calculation", this);
  stop_->setObjectName("Command1");
  stop_->setAutoDefault(false);
  layout->addWidget(stop_, 0, Qt::AlignHCenter);
  connect(stop_, &QPushButton::clicked, this, &RunGraph::Stop);

  // Half the screen's height and a little more; centred, then moved a little down.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    resize(TwipsToPixels(9000), screen->availableGeometry().height() / 2 + TwipsToPixels(750));
  }
}

void RunGraph::RunStarted(const RunStartInfo& info) {
  mass_format_ = info.mass_format;
  conc_format_ = info.conc_format;
  num_rooms_ = std::clamp(info.num_rooms, 0, kMaxRooms);
  num_pollutants_ = std::clamp(info.num_pollutants, 0, kMaxPollutants);
  running_ = true;
  outcome_.clear();
  has_latest_ = false;
  latest_ = RunRecordInfo{};
  refreshes_ = 0;
  chart_->Cls();
  CenterForm(*this);
  move(x(), y() + TwipsToPixels(200));
  // Without a run time the chart still spans something; the run itself tells the user about
  // the missing run time (whatever window watches it), so it is not said twice.
  end_time_ = info.end_time > 0 && std::isfinite(info.end_time) ? info.end_time : 1.0;
  // The concentration axis waits for the run's own first records: a guess made before the
  // run is often far above or below what it computes.
  top_ = 0;
  highest_ = 0;
  chart_ready_ = false;
  // The chart keeps its points by where they fall along the run's time, from the first.
  chart_->SetScale(end_time_, 1.0);
  // A series for each room (outdoors first) and pollutant, in the order of a record's values.
  for (int r = 0; r <= num_rooms_; ++r) {
    for (int p = 0; p < num_pollutants_; ++p) chart_->AddSeries(RoomColor(r));
  }
  for (QLineEdit* box : {emitted_, sink_, leaving_, average_, hvac_, vent_}) box->clear();
  time_->clear();
  clock_.start();
  last_refresh_ms_ = last_look_ms_ = 0;
  steps_between_looks_ = steps_to_look_ = 1;
  show();
}

void RunGraph::RecordWritten(const RunRecordInfo& record) {
  if (!isVisible()) return;
  latest_ = record;
  latest_.concentrations = {};  // the run's buffer, not to be kept
  has_latest_ = true;
  // A value of each room (outdoors first) and pollutant, as the chart's series are made.
  for (const float c : record.concentrations)
    if (c > highest_) highest_ = c;
  chart_->PlotAll(record.time, record.concentrations);
}

bool RunGraph::StepDone(float /*time*/) {
  if (refresh_ms <= 0) steps_to_look_ = 1;  // brought up to date at every step
  if (--steps_to_look_ > 0) return state_.StopCalculation;
  const qint64 now = clock_.elapsed();
  // Steps that come faster than a millisecond apart are looked at less often, slow ones more
  // often, so that the clock costs the run nothing and a refresh is never late.
  if (now - last_look_ms_ < 1) {
    steps_between_looks_ = std::min(steps_between_looks_ * 2, 1024);
  } else if (now - last_look_ms_ > 4) {
    steps_between_looks_ = std::max(steps_between_looks_ / 2, 1);
  }
  last_look_ms_ = now;
  steps_to_look_ = steps_between_looks_;
  if (now - last_refresh_ms_ >= refresh_ms && isVisible()) {
    Refresh();
    QCoreApplication::processEvents();
    last_refresh_ms_ = last_look_ms_ = clock_.elapsed();
  }
  return state_.StopCalculation;
}

void RunGraph::SetUpChart() {
  chart_ready_ = true;
  const BuildingRecord& b = state_.Building;
  chart_->SetScale(end_time_, top_ > 0 ? top_ : 1.0);
  chart_->SetAxisTitles("Time (h)",
                        ToQt("Concentration (" + ConcentrationText(b.Scenario.ConcUnits) + ")"));
  QString legend;
  for (int r = 0; r <= num_rooms_; ++r) {
    const std::string name = r == 0 ? "Outdoors" : b.RoomList[static_cast<size_t>(r)].Name;
    legend += QString("<span style=\"color:%1\">&#9632;</span>&nbsp;%2&nbsp;&nbsp; ")
                  .arg(RoomColor(r).name(), ToQt(name).toHtmlEscaped());
  }
  legend_->setText(legend);
  const std::string pollutant = num_pollutants_ > 0 ? b.Scenario.Pollutants[0].Name : "";
  totals_of_->setText(ToQt(pollutant.empty() ? "" : "Totals of " + pollutant));
}

void RunGraph::Refresh() {
  ++refreshes_;
  // The axes, titles and legend are laid out when the window is first brought up to date:
  // a run that ends before then never draws them.
  if (!chart_ready_) SetUpChart();
  // The axis takes in the new peak; the points drawn so far move down with the scale.
  if (highest_ > top_) {
    top_ = RoundUp(highest_ * kHeadroom);
    chart_->SetScale(end_time_, top_);
  }
  ShowTotals();
}

void RunGraph::ShowTotals() {
  if (!has_latest_) return;
  const RunRecordInfo& r = latest_;
  time_->setText(ToQt(FormatPattern(r.time / 24.0, "#####,#.# days")));
  emitted_->setText(ToQt(FormatPattern(r.total_emitted, mass_format_)));
  sink_->setText(ToQt(FormatPattern(r.sink_mass, mass_format_)));
  leaving_->setText(ToQt(FormatPattern(r.leaving, mass_format_)));
  hvac_->setText(ToQt(FormatSingle(r.hvac_fraction)));
  vent_->setText(ToQt(FormatSingle(r.vent_rate)));
  if (r.has_average) average_->setText(ToQt(FormatPattern(r.average_concentration, conc_format_)));
}

void RunGraph::RunEnded(RunOutcome outcome) {
  running_ = false;
  // The totals of the last record, whenever the last refresh was; the chart only when it has
  // been on the screen, since the window goes now.
  if (chart_ready_) {
    Refresh();
  } else {
    ShowTotals();
  }
  // The window goes with the run, however short; the line stays in the frame to say how it
  // ended and what it came to.
  const char* how = outcome == RunOutcome::Completed ? "finished"
                    : outcome == RunOutcome::Stopped ? "stopped"
                                                     : "failed";
  outcome_ = std::string("Concentration run ") + how + " at " +
             FormatPattern(latest_.time, "#####,0.0## h") + ".";
  if (has_latest_ && num_pollutants_ > 1) {
    // The window's totals are the first pollutant's: the line says where the others' are
    // rather than pass those for the run's.
    outcome_ += "  The totals of its " + std::to_string(num_pollutants_) +
                " pollutants are in Display > Summary, one pollutant at a time.";
  } else if (has_latest_ && num_pollutants_ > 0) {
    const ScenarioRecord& s = state_.Building.Scenario;
    const std::string unit = " " + ExposureUnitsOf(s).emitted;
    outcome_ += "  " + s.Pollutants[0].Name + ": total emitted " +
                TotalText(latest_.total_emitted) + unit + ", in sinks " +
                TotalText(latest_.sink_mass) + unit + ", left the building " +
                TotalText(latest_.leaving) + unit + ".";
  }
  hide();
}

void RunGraph::Stop() {
  state_.StopCalculation = true;
  hide();
}

void RunGraph::closeEvent(QCloseEvent* event) {
  // Closing the window while the run goes on stops the run: nothing modal would be left in
  // front of it otherwise.
  if (running_) state_.StopCalculation = true;
  QDialog::closeEvent(event);
}

void RunGraph::reject() {
  if (running_) state_.StopCalculation = true;
  QDialog::reject();
}

}  // namespace quarn
