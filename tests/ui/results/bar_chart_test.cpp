// The bar charts of the building window's Plot menu, drawn from results the test puts in the
// record: one bar per occupant, the spinner keeping the kind of chart, placement and Print.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>

#include "platform/graph.h"
#include "platform/qt_text.h"
#include "results_test_support.h"
#include "text/number_text.h"
#include "ui/results/bar_chart_form.h"

namespace quarn {
namespace {

// Occupants Ann, Bob and Cy: occupant o spent o hours above P0's irritant concentration and
// 10·o + p above pollutant p's, and was exposed to 100·o + p.
class BarChart : public testing::ThreePollutantsTest {
 protected:
  BarChart() {
    state->ExposureCalculated = true;
    S().NumOccupants = 3;
    for (int o = 1; o <= 3; ++o) {
      OccupantRecord& occupant = S().Occupants[static_cast<size_t>(o)];
      occupant.Name = std::array{"Ann", "Bob", "Cy"}[static_cast<size_t>(o - 1)];
      for (int p = 0; p < 3; ++p) {
        occupant.HoursAboveIrritant[static_cast<size_t>(p)] =
            static_cast<float>(p == 0 ? o : 10 * o + p);
        occupant.TotalExposure[static_cast<size_t>(p)] = static_cast<float>(100 * o + p);
      }
    }
  }
  ~BarChart() override { AppWindows().Unload<BarChartForm>(); }
  BarChartForm* Open(const char* command) {
    building->RunCommand(command);
    return AppWindows().Find<BarChartForm>();
  }
};

// The bars as "label=value/style" in their order.
std::string Bars(BarChartForm& form) {
  std::string text;
  for (const GraphSet& set : form.BarGraph().data().sets) {
    for (const GraphPoint& bar : set.points) {
      text += bar.label + "=" + FormatSingle(static_cast<float>(bar.y)) + "/" +
              std::to_string(bar.style) + " ";
    }
  }
  return text;
}

TEST_F(BarChart, IrritantChartHasABarPerOccupantAndTheSpinnerStepsThePollutants) {
  BarChartForm* form = Open("PlotBarirr");
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->BarGraph().data().kind, GraphKind::Bar);
  EXPECT_EQ(Bars(*form), "Ann=1/0 Bob=2/1 Cy=3/2 ");
  EXPECT_EQ(form->BarGraph().data().left_title, "Hrs spent above irritant concentration");
  EXPECT_EQ(FromQt(form->Label1().text()), "Irritant Conc = 1.5 mg/m\xb3");
  EXPECT_EQ(FromQt(form->PollutantNumber().text()) + FromQt(form->PollutantName().text()), "0P0");
  EXPECT_EQ(form->parentWidget()->pos(), QPoint(0, 0));
  EXPECT_EQ(form->parentWidget()->size(), building->parentWidget()->size() - QSize(7, 7));

  const std::pair<int, const char*> steps[] = {{-1, "0P0"}, {1, "1P1"}, {1, "2P2"}, {1, "2P2"}};
  for (const auto& [step, shown] : steps) {
    form->StepPollutant(step);
    EXPECT_EQ(FromQt(form->PollutantNumber().text()) + FromQt(form->PollutantName().text()), shown);
  }
  // A number typed past the last pollutant counts as the last one.
  form->PollutantNumber().setText("9");
  form->StepPollutant(-1);
  EXPECT_EQ(FromQt(form->Label1().text()), "Irritant Conc = 0.2 mg/m\xb3");
  EXPECT_EQ(Bars(*form), "Ann=11/0 Bob=21/1 Cy=31/2 ");
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(BarChart, ExposureChartKeepsItsKindThroughTheSpinnerAndPrints) {
  BarChartForm* form = Open("BarCum");
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(FromQt(form->windowTitle()), "Total exposure");
  EXPECT_EQ(FromQt(form->Label1().text()), "");
  EXPECT_EQ(form->BarGraph().data().left_title, "Total exposure mg/m\xb3\xb7h");
  form->StepPollutant(1);
  EXPECT_EQ(Bars(*form), "Ann=101/0 Bob=201/1 Cy=301/2 ");
  testing::ExpectGraphAloneOnOnePage(prompt, printer, [form] { form->RunCommand("FilePrint"); });

  // With no occupants the chart is empty; a count past the record's occupants stops it.
  prompt.shown.clear();
  S().NumOccupants = 0;
  form->StepPollutant(1);
  EXPECT_EQ(Bars(*form), "");
  EXPECT_TRUE(prompt.shown.empty());
  S().NumOccupants = 4;
  form->StepPollutant(-1);
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Error 9 in Cumulative Bar plot program.");
  EXPECT_EQ(prompt.shown[0].title, "Error");
}

// Both charts show the exposure calculation's results: before it, each command says so
// and opens nothing.
TEST_F(BarChart, BothChartsSayWhenNoExposureWasCalculated) {
  state->ExposureCalculated = false;
  for (const char* command : {"PlotBarirr", "BarCum"}) {
    prompt.shown.clear();
    EXPECT_EQ(Open(command), nullptr) << command;
    ASSERT_EQ(prompt.shown.size(), 1U) << command;
    EXPECT_EQ(prompt.shown[0].text, "Exposure has not been calculated. ");
  }
}

}  // namespace
}  // namespace quarn
