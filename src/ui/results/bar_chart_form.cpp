#include "ui/results/bar_chart_form.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QVBoxLayout>
#include <string>
#include <string_view>

#include "model/exposure_units.h"
#include "model/unit_conversion.h"
#include "platform/graph.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "text/number_text.h"
#include "ui/common/form_helpers.h"
#include "ui/common/number_entry.h"
#include "ui/common/window_menu.h"
#include "ui/results/menu_tables.h"
#include "ui/results/plot_window.h"
#include "ui/results/pollutant_step.h"
#include "ui/results/result_errors.h"

namespace quarn {
namespace {

constexpr const char* kIrritantTitle = "Hrs spent above irritant concentration";
constexpr std::string_view kIrritantContext = " in Bar plot program.";
constexpr std::string_view kExposureContext = " in Cumulative Bar plot program.";
constexpr int kPlaceMarginTwips = 100;

using OccupantValues = PerPollutant<float> OccupantRecord::*;

void ShowChartError(BarChartForm& form, std::string_view context) {
  form.Context().prompt.Message(ResultErrorText(ResultError::IndexOutOfRange, context), "Error",
                                MessageIcon::None);
}

bool PollutantInRecord(int p) {
  return p >= 0 && p < kMaxPollutants;
}

// The bars of pollutant p under the vertical title; a count the record cannot hold stops the
// chart with what was set before it, as every failure of the chart does.
void DrawBars(BarChartForm& form, int p, const std::string& title, OccupantValues values,
              std::string_view context) {
  const ScenarioRecord& s = form.Context().state.Building.Scenario;
  GraphData data = form.BarGraph().data();
  data.kind = GraphKind::Bar;
  data.left_title = title;
  if (s.NumOccupants < 0 || s.NumOccupants > kMaxOccupants) {
    form.BarGraph().SetData(data);
    ShowChartError(form, context);
    return;
  }
  const auto pi = static_cast<size_t>(p);
  form.PollutantName().setText(ToQt(s.Pollutants[pi].Name));
  form.PollutantNumber().setText(ToQt(std::to_string(p)));
  data.sets.assign(1, GraphSet{});
  for (int o = 1; o <= s.NumOccupants; ++o) {
    const OccupantRecord& occupant = s.Occupants[static_cast<size_t>(o)];
    GraphPoint& bar = data.Point(1, o);
    bar.x = o;
    bar.y = (occupant.*values)[pi];
    bar.style = o - 1;
    bar.label = occupant.Name;
  }
  form.BarGraph().SetData(data);
}

}  // namespace

BarChartForm::BarChartForm(MainContext& context, QWidget* parent)
    : ResultsWindow(context, menus::kBarChartForm, nullptr, parent) {
  setObjectName("BariPlotForm");
  setWindowTitle("Time greater than irritant concentration");
  QWidget* central = centralWidget();
  auto* layout = new QVBoxLayout(central);
  frame_ = new QGroupBox(central);
  frame_->setObjectName("Frame1");
  auto* row = new QHBoxLayout(frame_);
  auto* pollutant_caption = new QLabel("Pollutant", frame_);
  pollutant_caption->setObjectName("Label2");
  number_ = NamedBox(frame_, "PollutantNumber");
  number_->setFixedWidth(TwipsToPixels(500));
  RestrictToNumbers(*number_);
  spinner_ = new UpDown(frame_);
  spinner_->setObjectName("UpDown1");
  name_ = new QLabel(frame_);
  name_->setObjectName("PollutantName");
  row->addWidget(pollutant_caption);
  row->addWidget(number_);
  row->addWidget(spinner_);
  row->addWidget(name_, 1);
  irritant_level_ = new QLabel(central);
  irritant_level_->setObjectName("Label1");
  graph_ = new Graph(central);
  graph_->setObjectName("barl");
  GraphData empty;
  empty.kind = GraphKind::Bar;
  graph_->SetData(empty);
  auto* top = new QHBoxLayout();
  top->addWidget(frame_);
  top->addWidget(irritant_level_, 1);
  layout->addLayout(top);
  layout->addWidget(graph_, 1);
  connect(spinner_, &UpDown::DownClick, this, [this] { StepPollutant(-1); });
  connect(spinner_, &UpDown::UpClick, this, [this] { StepPollutant(1); });
  SetCommands(
      {
          {"Filesetup", [this] { ctx_.printer.Setup(); }},
          {"FilePrint", [this] { PrintChart(); }},
          {"fileclose", [this] { Unload(); }},
      },
      "WindowsCascade", "WindowsTile");
}

void BarChartForm::StepPollutant(int step) {
  const auto p = StepPollutantBox(*number_, ctx_.state.Building.Scenario, step);
  if (!p) return;
  // The chart kind is kept nowhere but in the vertical title.
  if (graph_->data().left_title.starts_with('H')) {
    PlotIrritantBars(*this, *p);
  } else {
    PlotExposureBars(*this, *p);
  }
}

void BarChartForm::PrintChart() {
  // The chart's title and the irritant level are the window's, so the page names them.
  std::string what = FromQt(windowTitle()) + "\nPollutant " + FromQt(name_->text());
  if (!irritant_level_->text().isEmpty()) what += "   " + FromQt(irritant_level_->text());
  PrintGraphPage(ctx_, *graph_, what);
}

void BarChartForm::PlaceBeside(QWidget& building) {
  QWidget* outer = OuterFrame(this);
  if (outer == this) return;
  const int margin = TwipsToPixels(kPlaceMarginTwips);
  const QSize size = OuterFrame(&building)->size() - QSize(margin, margin);
  outer->setGeometry(QRect(QPoint(0, 0), size.expandedTo(QSize(0, 0))));
}

void PlotIrritantBars(BarChartForm& form, int p) {
  if (!PollutantInRecord(p)) return ShowChartError(form, kIrritantContext);
  const PollutantRecord& pollutant =
      form.Context().state.Building.Scenario.Pollutants[static_cast<size_t>(p)];
  const std::string& units = form.Context().state.Building.Scenario.ConcUnits;
  // Particle counts compare the level in particles; otherwise it reads as it was entered.
  form.Label1().setText(
      ToQt("Irritant Conc = " + (units == kNumber
                                     ? IrritantLevelText(units, pollutant)
                                     : FormatPattern(pollutant.IrritantConc, "##0.0## mg/m\xb3"))));
  DrawBars(form, p, kIrritantTitle, &OccupantRecord::HoursAboveIrritant, kIrritantContext);
}

void PlotExposureBars(BarChartForm& form, int p) {
  form.setWindowTitle("Total exposure");
  form.Label1().clear();
  if (!PollutantInRecord(p)) return ShowChartError(form, kExposureContext);
  const ScenarioRecord& s = form.Context().state.Building.Scenario;
  DrawBars(form, p, "Total exposure " + ExposureUnitsOf(s).cumulative,
           &OccupantRecord::TotalExposure, kExposureContext);
}

BarChartForm* ShowBarChart(MainContext& context, QMdiArea* area, QWidget* building,
                           BarChartKind kind) {
  const bool loaded = AppWindows().Find<BarChartForm>() != nullptr;
  BarChartForm* form =
      OpenResultsWindow<BarChartForm>(area, [&context] { return new BarChartForm(context); });
  if (kind == BarChartKind::Irritant) {
    PlotIrritantBars(*form, 0);
  } else {
    PlotExposureBars(*form, 0);
  }
  ShowInFront(*form);
  // The frame's area places a window as it is first shown.
  if (!loaded && building != nullptr) form->PlaceBeside(*building);
  return form;
}

}  // namespace quarn
