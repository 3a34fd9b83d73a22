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
#include "ui/grids/room_grids.h"

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
  num_rooms_ = info.num_rooms;
  num_pollutants_ = info.num_pollutants;
  running_ = true;
  outcome_.clear();
  last_time_ = 0;
  chart_->Cls();
  CenterForm(*this);
  move(x(), y() + TwipsToPixels(200));
  const BuildingRecord& b = state_.Building;
  // Without a run time or an estimate the chart still spans something; the run itself tells
  // the user about the missing run time (whatever window watches it), so it is not said twice.
  end_time_ = info.end_time > 0 && std::isfinite(info.end_time) ? info.end_time : 1.0;
  top_ = RoundUp(info.max_concentration);
  chart_->SetScale(end_time_, top_);
  chart_->SetAxisTitles("Time (h)",
                        ToQt("Concentration (" + ConcentrationText(b.Scenario.ConcUnits) + ")"));
  QString legend;
  for (int r = 0; r <= std::min<int>(num_rooms_, kMaxRooms); ++r) {
    const std::string name = r == 0 ? "Outdoors" : b.RoomList[static_cast<size_t>(r)].Name;
    legend += QString("<span style=\"color:%1\">&#9632;</span>&nbsp;%2&nbsp;&nbsp; ")
                  .arg(RoomColor(r).name(), ToQt(name).toHtmlEscaped());
  }
  legend_->setText(legend);
  show();
}

void RunGraph::RecordWritten(const RunRecordInfo& record) {
  if (!isVisible()) return;
  last_time_ = record.time;
  time_->setText(ToQt(FormatPattern(record.time / 24.0, "#####,#.# days")));
  const int stride = std::max(num_pollutants_, 1);
  float highest = 0;
  for (const float c : record.concentrations) highest = std::max(highest, c);
  // The axis takes in the new peak; the points drawn so far move down with the scale.
  if (highest > top_) {
    top_ = RoundUp(highest * kHeadroom);
    chart_->SetScale(end_time_, top_);
  }
  for (int r = 0; r <= num_rooms_; ++r) {
    for (int p = 0; p < num_pollutants_; ++p) {
      const size_t i = static_cast<size_t>(r * stride + p);
      if (i >= record.concentrations.size()) break;
      chart_->PSet(record.time, record.concentrations[i], RoomColor(r));
    }
  }
  emitted_->setText(ToQt(FormatPattern(record.total_emitted, mass_format_)));
  sink_->setText(ToQt(FormatPattern(record.sink_mass, mass_format_)));
  leaving_->setText(ToQt(FormatPattern(record.leaving, mass_format_)));
  hvac_->setText(ToQt(FormatSingle(record.hvac_fraction)));
  vent_->setText(ToQt(FormatSingle(record.vent_rate)));
  if (record.has_average) {
    average_->setText(ToQt(FormatPattern(record.average_concentration, conc_format_)));
  }
}

bool RunGraph::StepDone(float /*time*/) {
  QCoreApplication::processEvents();
  return state_.StopCalculation;
}

void RunGraph::RunEnded(RunOutcome outcome) {
  running_ = false;
  // The window goes with the run, however short; the line stays in the frame to say how it
  // ended and what it came to.
  const char* how = outcome == RunOutcome::Completed ? "finished"
                    : outcome == RunOutcome::Stopped ? "stopped"
                                                     : "failed";
  outcome_ = std::string("Concentration run ") + how + " at " +
             FormatPattern(last_time_, "#####,0.0## h") + ".  Total emitted " +
             FromQt(emitted_->text()) + ", sink mass " + FromQt(sink_->text()) + ", leaving " +
             FromQt(leaving_->text()) + ".";
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
