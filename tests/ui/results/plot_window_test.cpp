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
#include "platform/user_input.h"
#include "platform/window_registry.h"
#include "results_test_support.h"
#include "ui/main/building_form.h"
#include "ui/results/graph_form.h"
#include "ui/results/plot_window.h"

namespace quarn {
namespace {

// A run of 3 rooms and the pollutants VOC1 and VOC2, in the frame beside the building window.
class PlotWindowTest : public testing::ResultsTest {
 protected:
  PlotWindowTest() {
    frame.setCentralWidget(area);
    building = new BuildingForm(*context);
    area->addSubWindow(building)->show();
    frame.resize(900, 700);
    frame.show();
    for (int i = 1; i <= 3; ++i) {
      B().Scenario.Pollutants[static_cast<size_t>(i - 1)].Name = "VOC" + std::to_string(i);
      B().RoomList[static_cast<size_t>(i)].Name = "Room" + std::to_string(i);
    }
    WriteRun(3, 2, 30, [](int k, int r, int p) { return 0.1f * k * (r + 1) + p; });
  }
  ~PlotWindowTest() override { AppWindows().Unload<PlotWindow>(); }

  // Two occupants' exposure files: the time, then a value per pollutant.
  void WriteExposure() {
    B().Scenario.NumOccupants = 2;
    for (int o = 1; o <= 2; ++o) {
      OccupantRecord& occupant = B().Scenario.Occupants[static_cast<size_t>(o)];
      occupant.CumExposureFile = Path("cum" + std::to_string(o));
      occupant.InstExposureFile = Path("inst" + std::to_string(o));
      std::ofstream cum(occupant.CumExposureFile), inst(occupant.InstExposureFile);
      for (int t = 1; t <= 40; ++t) {
        cum << t << ',' << t * o << ',' << 2 * t * o << ",\r\n";
        inst << t << ',' << o << ',' << 2 * o << ",\r\n";
      }
    }
    state->ExposureCalculated = true;
  }

  PlotWindow* Main() { return AppWindows().Find<PlotWindow>(); }
  std::vector<PlotWindow*> Open() {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::vector<PlotWindow*> all;
    for (QMdiSubWindow* sub : area->subWindowList()) {
      if (auto* w = qobject_cast<PlotWindow*>(sub->widget())) all.push_back(w);
    }
    return all;
  }

  QMainWindow frame;
  QMdiArea* area = new QMdiArea(&frame);
  BuildingForm* building = nullptr;
};

// The caption and the two boxes, as "caption|typeofplot|currentpollutant".
std::string Shown(PlotWindow& w) {
  return FromQt(w.windowTitle()) + "|" + FromQt(w.PlotTypeBox().text()) + "|" +
         FromQt(w.PollutantIndexBox().text());
}

TEST_F(PlotWindowTest, ConcentrationPlotsStepThroughPollutantsAndRooms) {
  state->ConcentrationsCalculated = false;
  building->RunCommand("plotallrooms");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Error.  Concentration not calculated.");
  EXPECT_EQ(Main(), nullptr);

  state->ConcentrationsCalculated = true;
  building->RunCommand("plotallrooms");
  PlotWindow* w = Main();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(Shown(*w), "Concentration versus time plot for VOC1|0|0");
  EXPECT_EQ(w->ConcGraph().data().NumSets(), 3);
  EXPECT_NEAR(w->parentWidget()->width(), 0.9 * frame.width(), 2);
  const std::vector<std::pair<const char*, const char*>> steps = {
      {"Nextplot", "VOC2|0|1"},
      {"Nextplot", "VOC2|0|1"},
      {"PreviousPlot", "VOC1|0|0"},
      {"PreviousPlot", "VOC1|0|0"},
  };
  for (const auto& [command, shown] : steps) {
    w->RunCommand(command);
    EXPECT_EQ(Shown(*w), std::string("Concentration versus time plot for ") + shown);
  }
  building->RunCommand("plotallpollutants");
  EXPECT_EQ(Shown(*w), "Concentration versus time plot  Room1|1|1");
  EXPECT_EQ(w->ConcGraph().data().NumSets(), 2);
  for (const char* room : {"2", "3", "3"}) {
    w->RunCommand("Nextplot");
    EXPECT_EQ(Shown(*w),
              std::string("Concentration versus time plot for room Room") + room + "|1|" + room);
  }
  EXPECT_EQ(Open(), std::vector<PlotWindow*>{w});
  EXPECT_EQ(prompt.shown.size(), 1U);
}

TEST_F(PlotWindowTest, OpensAtAReadableSizeInAMaximisedFrame) {
  frame.showMaximized();
  testing::ProcessEvents();
  building->RunCommand("plotallrooms");
  PlotWindow* w = Main();
  ASSERT_NE(w, nullptr);
  const QSize room = area->viewport()->size();
  EXPECT_GE(3 * w->parentWidget()->width(), 2 * room.width());
  EXPECT_GE(3 * w->parentWidget()->height(), 2 * room.height());
}

TEST_F(PlotWindowTest, AFailedPlotLeavesTheOpenWindowAsItWas) {
  B().Scenario.NumOccupants = 1;
  building->RunCommand("plotallrooms");
  PlotWindow* w = Main();
  ASSERT_NE(w, nullptr);
  const GraphData before = w->ConcGraph().data();
  building->RunCommand("PlotCumulative");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Exposure has not been calculated. ");
  EXPECT_EQ(prompt.shown[0].title, "Warning");
  // Calculated, it is said, but the occupant's file is not there.
  state->ExposureCalculated = true;
  building->RunCommand("PlotCumulative");
  EXPECT_EQ(prompt.shown.back().text, "Exposure not calculated");
  EXPECT_EQ(Main(), w);
  EXPECT_EQ(w->ConcGraph().data(), before);
  EXPECT_EQ(Shown(*w), "Concentration versus time plot for VOC1|0|0");
}

TEST_F(PlotWindowTest, ExposurePlotsAndNewWindowsEachActOnThemselves) {
  WriteExposure();
  building->RunCommand("PlotInst");
  PlotWindow* w = Main();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(Shown(*w), "Instantaneous exposure|2|0");
  building->RunCommand("PlotCumulative");
  EXPECT_EQ(Shown(*w), "Cumulative exposure to pollutant VOC1|3|0");
  const GraphData main_graph = w->ConcGraph().data();

  w->RunCommand("NewCumulative");
  ASSERT_EQ(Open().size(), 2U);
  PlotWindow* second = Open()[1];
  EXPECT_EQ(Shown(*second), "Cumulative exposure|3|0");
  second->RunCommand("Nextplot");
  EXPECT_EQ(Shown(*second), "Cumulative exposure to pollutant VOC2|3|1");
  EXPECT_NE(second->ConcGraph().data(), main_graph);
  EXPECT_EQ(w->ConcGraph().data(), main_graph);
  second->RunCommand("filereturn");
  EXPECT_EQ(Open(), std::vector<PlotWindow*>{w});

  w->RunCommand("NewConcentration");
  ASSERT_EQ(Open().size(), 2U);
  EXPECT_EQ(Shown(*Open()[1]), "Plot|Text1|0");
  EXPECT_EQ(Open()[1]->ConcGraph().data(), GraphData());
  EXPECT_NEAR(Open()[1]->parentWidget()->width(), 0.8 * frame.width(), 2);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(PlotWindowTest, PrintsOneGraphOrAllGraphsOnOnePage) {
  WriteExposure();
  building->RunCommand("plotallrooms");
  PlotWindow* w = Main();
  ASSERT_NE(w, nullptr);
  testing::ExpectGraphAloneOnOnePage(prompt, printer, [w] { w->RunCommand("fileprint"); });

  const GraphData before = w->ConcGraph().data();
  const std::string shown = Shown(*w);
  prompt.shown.clear();
  w->RunCommand("PrintAll");
  ASSERT_EQ(printer.pages.size(), 2U);
  EXPECT_TRUE(prompt.shown.empty());
  const QImage& all = printer.pages[1].picture;
  const double a = 12440, top = 2000;
  QRect slots_1_to_3 = testing::OnPicture({0, 0, 31100, top}, all.size());
  EXPECT_FALSE(testing::InkBounds(all.copy(slots_1_to_3)).isNull());  // the heading
  for (const QRectF& slot :
       {QRectF(40, top, a, a), QRectF(a + 40, top, a, a), QRectF(40, top + a, a, a)}) {
    const QRect place = testing::OnPicture(slot, all.size());
    EXPECT_FALSE(testing::InkBounds(all.copy(place)).isNull()) << slot.x() << "," << slot.y();
    slots_1_to_3 |= place.adjusted(-1, -1, 1, 1);
  }
  EXPECT_TRUE(slots_1_to_3.contains(testing::InkBounds(all)));
  const QRect slot_4 = testing::OnPicture({a + 40, top + a, a, a}, all.size()).adjusted(4, 4, 0, 0);
  EXPECT_TRUE(testing::InkBounds(all.copy(slot_4)).isNull());
  EXPECT_EQ(w->ConcGraph().data(), before);
  EXPECT_EQ(Shown(*w), shown);
}

TEST_F(PlotWindowTest, EditAndScaleItemsAndTheGraphWindowNoCommandOpens) {
  building->RunCommand("plotallrooms");
  PlotWindow* w = Main();
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

  auto* graph_form = AppWindows().Load<GraphForm>([this] { return new GraphForm(*context); });
  graph_form->show();
  EXPECT_EQ(graph_form->windowTitle(), "Graph of concentration versus time");
  graph_form->findChild<QPushButton*>("Command2")->click();
  ASSERT_EQ(printer.pages.size(), 1U);
  EXPECT_FALSE(testing::InkBounds(printer.pages[0].picture).isNull());
  graph_form->findChild<QPushButton*>("Command1")->click();
  EXPECT_EQ(AppWindows().Find<GraphForm>(), nullptr);
}

}  // namespace
}  // namespace quarn
