#include "ui/results/run_graph.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <cmath>

#include "platform/qt_text.h"
#include "platform/strip_chart.h"
#include "text/number_text.h"
#include "ui/main/room_grids.h"

namespace quarn {
namespace {

// The chart's frame of reference: points from x = 100 to the scale width, from y = 100 to
// about 1000, leaving a margin at the top for points that go past the scale.
constexpr double kChartWidth = 5000;
constexpr double kChartHeight = 1100;
constexpr double kOrigin = 100;
constexpr double kTop = 1000;

QLineEdit* ValueBox(const char* name, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
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
  chart_->SetScale(kChartWidth, kChartHeight);
  chart_->setMinimumSize(420, 260);
  layout->addWidget(chart_, 1);
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
  chart_->Cls();
  CenterForm(*this);
  move(x(), y() + TwipsToPixels(200));
  // The time axis of the chart.
  chart_->Line(kOrigin, kOrigin, kOrigin, chart_->ScaleHeight(), Qt::black);
  const double w = chart_->ScaleWidth();
  const double h = chart_->ScaleHeight();
  const double x_scale = (w - kOrigin) / info.end_time;
  const double y_scale = std::fabs((h - kOrigin) / info.max_concentration);
  show();
  if (!(info.end_time > 0) || !std::isfinite(x_scale) || !std::isfinite(y_scale) || y_scale == 0) {
    // The run goes on; only the chart has no scale. The run itself tells the user about the
    // missing run time or estimate (whatever window watches it), so it is not said twice.
    x_scale_ = 0;
    y_scale_ = 0;
    return;
  }
  x_scale_ = static_cast<float>(x_scale);
  y_scale_ = static_cast<float>(y_scale);
}

void RunGraph::RecordWritten(const RunRecordInfo& record) {
  if (!isVisible()) return;
  time_->setText(ToQt(FormatPattern(record.time / 24.0, "#####,#.# days")));
  const float x = x_scale_ * record.time + static_cast<float>(kOrigin);
  const int stride = std::max(num_pollutants_, 1);
  for (int r = 0; r <= num_rooms_; ++r) {
    for (int p = 0; p < num_pollutants_; ++p) {
      const size_t i = static_cast<size_t>(r * stride + p);
      if (i >= record.concentrations.size()) break;
      const float c = record.concentrations[i];
      // Single precision, as the chart's scales are kept.
      float y = y_scale_ * c + static_cast<float>(kOrigin);
      if (y > kTop) {
        // Past the top: halve the scale for the points that follow.
        y_scale_ *= 0.5f;
        y = static_cast<float>(kTop);
      } else if (y <= kOrigin && c > 0.1f) {
        // Too flat to see: magnify for this point and the ones that follow.
        y_scale_ *= 10;
        y = y_scale_ * c + static_cast<float>(kOrigin);
      }
      chart_->PSet(x, y, StripChart::PaletteColor(r < 15 ? r : 0));
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

void RunGraph::RunEnded(RunOutcome /*outcome*/) {
  running_ = false;
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
