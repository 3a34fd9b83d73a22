// The bar charts of the building window's Plot menu, drawn from results the test puts in the
// record: one bar per occupant, the spinner keeping the kind of chart, placement and Print.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>
#include <array>
#include <string>

#include "platform/graph.h"
#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "platform/user_input.h"
#include "results_test_support.h"
#include "text/number_text.h"
#include "ui/main/building_form.h"
#include "ui/results/bar_chart_form.h"

namespace quarn {
namespace {

// Three pollutants P0 to P2 and the occupants Ann, Bob and Cy; occupant o spent o hours
// above P0's limit and 10·o + p h above pollutant p's; exposures are 100·o + p.
class BarChart : public testing::MainWindowTest {
 protected:
  BarChart() {
    frame.setCentralWidget(area);
    area->addSubWindow(building)->show();
    frame.resize(1000, 700);
    frame.show();
    ScenarioRecord& s = state->Building.Scenario;
    s.NumPollutants = 3;
    const std::array<float, 3> irritant{1.5F, 0.2F, 3};
    for (size_t p = 0; p < 3; ++p) {
      s.Pollutants[p].Name = "P" + std::to_string(p);
      s.Pollutants[p].IrritantConc = irritant[p];
    }
    s.NumOccupants = 3;
    const std::array<const char*, 3> names{"Ann", "Bob", "Cy"};
    for (size_t o = 1; o <= 3; ++o) {
      OccupantRecord& occupant = s.Occupants[o];
      occupant.Name = names[o - 1];
      const auto of = static_cast<float>(o);
      for (size_t p = 0; p < 3; ++p) {
        const auto pf = static_cast<float>(p);
        occupant.HoursAboveIrritant[p] = p == 0 ? of : 10 * of + pf;
        occupant.TotalExposure[p] = 100 * of + pf;
      }
    }
  }
  ~BarChart() override { AppWindows().Unload<BariPlotForm>(); }

  BariPlotForm* Open(const char* command) {
    building->RunCommand(command);
    return AppWindows().Find<BariPlotForm>();
  }

  QMainWindow frame;
  QMdiArea* area = new QMdiArea(&frame);
  BuildingForm* building = new BuildingForm(*context);
};

// The bars as "label=value/style" in their order.
std::string Bars(BariPlotForm& form) {
  const GraphData& data = form.barl().data();
  EXPECT_EQ(data.kind, GraphKind::Bar);
  std::string text;
  for (const GraphSet& set : data.sets) {
    for (const GraphPoint& bar : set.points) {
      text += bar.label + "=" + FormatSingle(static_cast<float>(bar.y)) + "/" +
              std::to_string(bar.style) + " ";
    }
  }
  return text;
}

std::string Text(const QLineEdit& box) {
  return FromQt(box.text());
}
std::string Text(const QLabel& label) {
  return FromQt(label.text());
}

TEST_F(BarChart, IrritantChartHasABarPerOccupantAndTheSpinnerStepsThePollutants) {
  BariPlotForm* form = Open("PlotBarirr");
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(Bars(*form), "Ann=1/0 Bob=2/1 Cy=3/2 ");
  EXPECT_EQ(form->barl().data().left_title, "Hrs spent above irritant concentration");
  EXPECT_EQ(Text(form->Label1()), "Irritant Conc = 1.5 mg/m\xb3");
  EXPECT_EQ(Text(form->PollutantNumber()), "0");
  EXPECT_EQ(Text(form->PollutantName()), "P0");
  EXPECT_EQ(FromQt(form->windowTitle()), "Time greater than irritant concentration");
  const QWidget* outer = form->parentWidget();
  EXPECT_EQ(outer->pos(), QPoint(0, 0));
  EXPECT_EQ(outer->size(), building->parentWidget()->size() - QSize(7, 7));

  // Below pollutant 0 and past the last one the spinner does nothing.
  auto* down = form->UpDown1().findChild<QToolButton*>("down");
  ASSERT_NE(down, nullptr);
  testing::Click(down, down->rect().center());
  EXPECT_EQ(Text(form->PollutantNumber()), "0");
  form->StepPollutant(1);
  EXPECT_EQ(Text(form->PollutantName()), "P1");
  EXPECT_EQ(Text(form->Label1()), "Irritant Conc = 0.2 mg/m\xb3");
  EXPECT_EQ(Bars(*form), "Ann=11/0 Bob=21/1 Cy=31/2 ");
  form->StepPollutant(1);
  form->StepPollutant(1);
  EXPECT_EQ(Text(form->PollutantNumber()), "2");
  // A number typed past the last pollutant counts as the last one.
  form->PollutantNumber().setText("9");
  form->StepPollutant(-1);
  EXPECT_EQ(Text(form->PollutantName()), "P1");
  EXPECT_TRUE(prompt.shown.empty());

  // The window stays where it is when a Plot command finds it open.
  form->parentWidget()->move(30, 40);
  EXPECT_EQ(Open("BarCum"), form);
  EXPECT_EQ(form->parentWidget()->pos(), QPoint(30, 40));
}

TEST_F(BarChart, ExposureChartKeepsItsKindThroughTheSpinner) {
  BariPlotForm* form = Open("BarCum");
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(FromQt(form->windowTitle()), "Total exposure");
  EXPECT_EQ(Text(form->Label1()), "");
  EXPECT_EQ(form->barl().data().left_title, "Total exposure mg/m\xb3-h");
  EXPECT_EQ(Bars(*form), "Ann=100/0 Bob=200/1 Cy=300/2 ");
  form->StepPollutant(1);
  EXPECT_EQ(Bars(*form), "Ann=101/0 Bob=201/1 Cy=301/2 ");
  EXPECT_EQ(Text(form->Label1()), "");

  // With no occupants the chart is empty; a count past the record's occupants stops it.
  state->Building.Scenario.NumOccupants = 0;
  form->StepPollutant(1);
  EXPECT_EQ(Bars(*form), "");
  EXPECT_TRUE(prompt.shown.empty());
  state->Building.Scenario.NumOccupants = 4;
  form->StepPollutant(-1);
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Error 9 in Cumulative Bar plot program.");
  EXPECT_EQ(prompt.shown[0].title, "Error");
}

TEST_F(BarChart, PrintAsksForLandscapeThenPrintsTheChartOnOnePage) {
  BariPlotForm* form = Open("PlotBarirr");
  ASSERT_NE(form, nullptr);
  testing::ExpectGraphAloneOnOnePage(prompt, printer, [form] { form->RunCommand("FilePrint"); });

  form->RunCommand("fileclose");
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(AppWindows().Find<BariPlotForm>(), nullptr);
}

}  // namespace
}  // namespace quarn
