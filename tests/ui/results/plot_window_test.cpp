// The plot window as the user works it: the building window's Plot menu, Next and Previous,
// New plot, printing one graph or all of them, and the window that no command opens.

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <fstream>
#include <vector>

#include "common/ink_bounds.h"
#include "platform/graph.h"
#include "platform/qt_text.h"
#include "platform/window_registry.h"
#include "results_test_support.h"
#include "ui/main/building_form.h"
#include "ui/results/plot_window.h"

namespace quarn {
namespace {

class PlotWindowTest : public testing::ResultsTest {
 protected:
  PlotWindowTest() {
    frame.setCentralWidget(area);
    building = new BuildingForm(*context);
    area->addSubWindow(building)->show();
    frame.resize(900, 700);
    frame.show();
    B().Scenario.Pollutants[0].Name = "VOC1";
    B().Scenario.Pollutants[1].Name = "VOC2";
    for (int r = 1; r <= 3; ++r)
      B().RoomList[static_cast<size_t>(r)].Name = "Room" + std::to_string(r);
  }
  ~PlotWindowTest() override { AppWindows().Unload<PlotConcen>(); }

  void WriteRun() {
    ResultsTest::WriteRun(3, 2, 30, [](int k, int r, int p) { return 0.1f * k * (r + 1) + p; });
  }

  // Two occupants' exposure files, every line the time and one value a pollutant.
  void WriteExposure() {
    ScenarioRecord& s = B().Scenario;
    s.NumOccupants = 2;
    for (int o = 1; o <= 2; ++o) {
      OccupantRecord& occupant = s.Occupants[static_cast<size_t>(o)];
      occupant.Name = "Occupant" + std::to_string(o);
      occupant.CumExposureFile = Path("cum" + std::to_string(o));
      occupant.InstExposureFile = Path("inst" + std::to_string(o));
      std::ofstream cum(occupant.CumExposureFile), inst(occupant.InstExposureFile);
      for (int t = 1; t <= 40; ++t) {
        cum << t << ',' << t * o << ',' << 2 * t * o << ",\r\n";
        inst << t << ',' << o << ',' << 2 * o << ",\r\n";
      }
    }
    state->ExposureCalculated = kTrue;
  }

  PlotConcen* Main() { return AppWindows().Find<PlotConcen>(); }
  std::vector<PlotConcen*> Open() {
    std::vector<PlotConcen*> all;
    for (QMdiSubWindow* sub : area->subWindowList()) {
      if (auto* w = qobject_cast<PlotConcen*>(sub->widget()); w && w->isVisible()) all.push_back(w);
    }
    return all;
  }

  QMainWindow frame;
  QMdiArea* area = new QMdiArea(&frame);
  BuildingForm* building = nullptr;
};

struct Shown {
  std::string caption;
  std::string type;
  std::string index;
};

Shown Of(PlotConcen& w) {
  return {FromQt(w.windowTitle()), FromQt(w.typeofplot().text()),
          FromQt(w.currentpollutant().text())};
}

void ExpectShown(PlotConcen& w, const Shown& expected) {
  const Shown seen = Of(w);
  EXPECT_EQ(seen.caption, expected.caption);
  EXPECT_EQ(seen.type, expected.type);
  EXPECT_EQ(seen.index, expected.index);
}

TEST_F(PlotWindowTest, ConcentrationPlotsStepThroughPollutantsAndRooms) {
  building->RunCommand("plotallrooms");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Error.  Concentration not calculated.");
  EXPECT_EQ(Main(), nullptr);

  WriteRun();
  building->RunCommand("plotallrooms");
  PlotConcen* w = Main();
  ASSERT_NE(w, nullptr);
  ExpectShown(*w, {"Concentration versus time plot for VOC1", "0", "0"});
  EXPECT_EQ(w->ConcGraph().data().NumSets(), 3);
  EXPECT_NEAR(w->parentWidget()->width(), 0.9 * frame.width(), 2);
  struct Step {
    const char* command;
    const char* pollutant;
    const char* index;
  };
  for (const Step& step : {Step{"Nextplot", "VOC2", "1"}, Step{"Nextplot", "VOC2", "1"},
                           Step{"PreviousPlot", "VOC1", "0"}, Step{"PreviousPlot", "VOC1", "0"}}) {
    w->RunCommand(step.command);
    ExpectShown(
        *w, {std::string("Concentration versus time plot for ") + step.pollutant, "0", step.index});
  }
  building->RunCommand("plotallpollutants");
  EXPECT_EQ(Main(), w);
  ExpectShown(*w, {"Concentration versus time plot  Room1", "1", "1"});
  EXPECT_EQ(w->ConcGraph().data().NumSets(), 2);
  for (const char* index : {"2", "3", "3"}) {
    w->RunCommand("Nextplot");
    ExpectShown(*w,
                {std::string("Concentration versus time plot for room Room") + index, "1", index});
  }
  EXPECT_EQ(Open().size(), 1U);
  EXPECT_EQ(prompt.shown.size(), 1U);
}

TEST_F(PlotWindowTest, AFailedPlotLeavesTheOpenWindowAsItWas) {
  WriteRun();
  building->RunCommand("plotallrooms");
  PlotConcen* w = Main();
  ASSERT_NE(w, nullptr);
  const GraphData before = w->ConcGraph().data();
  building->RunCommand("PlotCumulative");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Exposure has not been calculated. ");
  EXPECT_EQ(prompt.shown[0].title, "Warning");
  // The exposure is said to be there, but its files are not.
  state->ExposureCalculated = kTrue;
  B().Scenario.NumOccupants = 1;
  building->RunCommand("PlotCumulative");
  EXPECT_EQ(prompt.shown.back().text, "Exposure not calculated");
  ASSERT_EQ(Main(), w);
  EXPECT_EQ(w->ConcGraph().data(), before);
  ExpectShown(*w, {"Concentration versus time plot for VOC1", "0", "0"});
}

TEST_F(PlotWindowTest, ExposurePlotsAndNewWindowsEachStepThemselves) {
  WriteRun();
  WriteExposure();
  building->RunCommand("PlotInst");
  PlotConcen* w = Main();
  ASSERT_NE(w, nullptr);
  ExpectShown(*w, {"Instantaneous exposure", "2", "0"});
  building->RunCommand("PlotCumulative");
  ExpectShown(*w, {"Cumulative exposure to pollutant VOC1", "3", "0"});
  EXPECT_EQ(w->ConcGraph().data().sets.at(1).legend, "Occupant2");
  const GraphData main_graph = w->ConcGraph().data();

  w->RunCommand("NewCumulative");
  ASSERT_EQ(Open().size(), 2U);
  PlotConcen* second = Open()[0] == w ? Open()[1] : Open()[0];
  ExpectShown(*second, {"Cumulative exposure", "3", "0"});
  second->RunCommand("Nextplot");
  ExpectShown(*second, {"Cumulative exposure to pollutant VOC2", "3", "1"});
  EXPECT_NE(second->ConcGraph().data(), main_graph);
  EXPECT_EQ(w->ConcGraph().data(), main_graph);
  second->RunCommand("filereturn");
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(Open().size(), 1U);
  EXPECT_EQ(Open()[0], w);

  w->RunCommand("NewConcentration");
  ASSERT_EQ(Open().size(), 2U);
  PlotConcen* empty = Open()[1];
  ExpectShown(*empty, {"Plot", "Text1", "0"});
  EXPECT_EQ(empty->ConcGraph().data(), GraphData());
  EXPECT_NEAR(empty->parentWidget()->width(), 0.8 * frame.width(), 2);
  EXPECT_TRUE(prompt.shown.empty());
}

// Ink of a picture page inside a rectangle of page units, with a little room for the edges.
QRect OnPicture(const QRectF& units, QSize picture) {
  const double sx = picture.width() / 31100.0, sy = picture.height() / 31100.0;
  return QRectF(units.x() * sx, units.y() * sy, units.width() * sx, units.height() * sy)
      .toAlignedRect()
      .adjusted(-1, -1, 1, 1);
}

TEST_F(PlotWindowTest, PrintsOneGraphOrAllGraphsOnOnePage) {
  WriteRun();
  WriteExposure();
  building->RunCommand("plotallrooms");
  PlotConcen* w = Main();
  ASSERT_NE(w, nullptr);
  prompt.answers = {Answer::Cancel, Answer::Ok};
  w->RunCommand("fileprint");
  EXPECT_TRUE(printer.pages.empty());
  w->RunCommand("fileprint");
  ASSERT_EQ(prompt.shown.size(), 2U);
  EXPECT_EQ(prompt.shown[0].kind, "okcancel");
  EXPECT_EQ(prompt.shown[0].text,
            "For best results, use setup printer to print in landscape.  If printer is not in "
            "landscape, press cancel.");
  EXPECT_EQ(prompt.shown[0].title, "");
  EXPECT_EQ(prompt.shown[0].icon, MessageIcon::Information);
  ASSERT_EQ(printer.pages.size(), 1U);
  const QImage& one = printer.pages[0].picture;
  const QRect ink = testing::InkBounds(one);
  ASSERT_FALSE(ink.isNull());
  EXPECT_TRUE(OnPicture({5, 5, 25100, 27000}, one.size()).contains(ink));

  const GraphData before = w->ConcGraph().data();
  const Shown shown = Of(*w);
  prompt.shown.clear();
  w->RunCommand("PrintAll");
  ASSERT_EQ(printer.pages.size(), 2U);
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Not implemented in this version. ");
  const QImage& all = printer.pages[1].picture;
  const double a = 12440;
  const std::vector<QRectF> drawn = {{40, 10, a, a}, {a + 40, 10, a, a}, {40, a, a, a}};
  QRect within;
  for (const QRectF& slot : drawn) {
    const QRect place = OnPicture(slot, all.size());
    EXPECT_FALSE(testing::InkBounds(all.copy(place)).isNull()) << slot.x() << "," << slot.y();
    within |= place;
  }
  EXPECT_TRUE(within.contains(testing::InkBounds(all)));
  EXPECT_TRUE(
      testing::InkBounds(all.copy(OnPicture({a + 40, a, a, a}, all.size()).adjusted(4, 4, 0, 0)))
          .isNull());
  EXPECT_EQ(w->ConcGraph().data(), before);
  ExpectShown(*w, shown);
}

TEST_F(PlotWindowTest, EditAndScaleItemsAndTheGraphWindowNoCommandOpens) {
  WriteRun();
  building->RunCommand("plotallrooms");
  PlotConcen* w = Main();
  ASSERT_NE(w, nullptr);
  for (const char* item : {"editselect", "editcopy", "editcut"}) {
    prompt.shown.clear();
    w->RunCommand(item);
    ASSERT_EQ(prompt.shown.size(), 1U) << item;
    EXPECT_EQ(prompt.shown[0].text, "Feature not implemented in version.");
    EXPECT_EQ(prompt.shown[0].title, "Not implemented");
    EXPECT_EQ(prompt.shown[0].icon, MessageIcon::Critical);
  }
  std::vector<int> indexes;
  for (QAction* a : w->menuBar()->findChildren<QAction*>("scaleoptions")) {
    indexes.push_back(a->property("Index").toInt());
  }
  EXPECT_EQ(indexes, (std::vector<int>{311, 312, 313, 314}));

  auto* form = AppWindows().Load<GraphForm>([this] { return new GraphForm(*context); });
  form->show();
  EXPECT_EQ(form->windowTitle(), "Graph of concentration versus time");
  ASSERT_NE(form->findChild<Graph*>("ConcGraph"), nullptr);
  form->findChild<QPushButton*>("Command2")->click();
  ASSERT_EQ(printer.pages.size(), 1U);
  EXPECT_FALSE(printer.pages[0].picture.isNull());
  form->findChild<QPushButton*>("Command1")->click();
  EXPECT_EQ(AppWindows().Find<GraphForm>(), nullptr);
}

}  // namespace
}  // namespace quarn
