// Walks the building window's whole menu tree and compares every caption, object name and
// help context number, in order, with the table of the menus as the users' help numbers them.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>

#include "common/main_window_fixture.h"
#include "platform/qt_text.h"
#include "platform/window_registry.h"
#include "ui/building/room_form.h"
#include "ui/main/building_form.h"

namespace quarn {
namespace {

struct Expected {
  int depth;
  const char* caption;  // UTF-8, as the user reads it
  const char* name;
  int help;
};

// Written out from the menu tree, independently of the program's own table.
const Expected kTree[] = {
    {0, "&File", "file", 100},
    {1, "&New Building", "FileNew", 101},
    {1, "&Open Building", "fileopen", 102},
    {1, "&Save Building", "filesave", 102},
    {1, "", "sep", 0},
    {1, "Save &Results", "SAveR", 105},
    {2, "Save &Concentration", "FileConcen", 106},
    {2, "Save &Exposure", "FileExposure", 107},
    {2, "Save &Average Exposure", "saveaverage", 109},
    {2, "Save all &Results", "FileResults", 108},
    {1, "", "sepx", 0},
    {1, "&Print...", "FilePrint", 110},
    {2, "&Printer setup", "PrintSetup", 111},
    {2, "&Building data", "PrintBuilding", 112},
    {2, "&Scenario data", "PrintScenario", 113},
    {2, "&All data", "PrintAll", 114},
    {1, "E&xit", "fileexit", 999},
    {0, "&Rooms", "Rooms", 200},
    {0, "&Scenarios", "Scenarios", 300},
    {0, "&Calculate", "calculate", 400},
    {1, "&Air flows", "CalculateAirFlows", 401},
    {1, "&Concentration", "CalculateConcentration", 402},
    {1, "&Log normal fit", "calculatelognormal", 0},
    {1, "&Exposure..", "CalculateExposure", 403},
    {2, "&Inhalation exposure", "CalculateInhalation", 403},
    {2, "&Non-inhalation exposure", "CalculateNone", 404},
    {2, "&Average exposure", "averageexposure", 405},
    {1, "&Risk", "CalculateRisk", 410},
    {0, "&Display", "display", 500},
    {1, "&Summary", "DisplaySummary", 501},
    {1, "&Concentration", "DisplayConcentration", 502},
    {1, "&Exposure...", "DisplayExposure", 503},
    {2, "&Instantaneous exposure", "DisplayInst", 504},
    {2, "&Average exposure", "DisplayAverage", 506},
    {2, "C&umulative exposure", "DisplyaCumulative", 505},
    {1, "&Risk...", "DisplayRisk", 510},
    {2, "&Full risk display", "RiskFull", 512},
    {1, "Set display &units ...", "displayunits", 0},
    {2, "&mg/m\u00B3", "mg", 0},
    {2, "&\u00B5g/m3", "micrograms", 0},
    {2, "&ppm ", "ppm", 0},
    {2, "&#/cc", "numberpercc", 0},
    {2, "#/&m\u00B3", "numberpercubicmeter", 0},
    {0, "&Plot", "plot", 600},
    {1, "&Concentration", "PlotConcentration", 601},
    {2, "&All rooms single pollutant", "plotallrooms", 0},
    {2, "All &pollutants single room", "plotallpollutants", 0},
    {1, "C&umulative exposure", "PlotCumulative", 602},
    {1, "&Instantaneous exposure", "PlotInst", 603},
    {1, "&Bar chart of irritant risk", "PlotBarirr", 611},
    {1, "Bar chart of c&umulative exposure", "BarCum", 612},
    {0, "&Options", "options", 700},
    {1, "&Calculate options", "OptionsCalculate", 702},
    {1, "&Set max concentration", "Optionsetmax", 803},
    {1, "&File options and data separator", "Filelocations", 804},
    {0, "&Window", "Window", 990},
    {1, "&Cascade", "WindowsCascade", 991},
    {1, "&Tile", "WindowsTile", 992},
    {1, "&List windows", "WindowsList", 992},
    {0, "&Help", "help", 950},
    {1, "&Recent changes", "helprecent", 904},
    {1, "&Contents", "HelpContents", 951},
    {1, "&PM Changes", "HelpPM", 920},
    {1, "&About", "HelpAbout", 980},
};

struct Seen {
  int depth;
  QString caption;
  QString name;
  int help;
  bool enabled;
  bool separator;
};

void Walk(const QList<QAction*>& actions, int depth, std::vector<Seen>& out) {
  for (QAction* a : actions) {
    out.push_back({depth, a->text(), a->objectName(), a->property("HelpContextID").toInt(),
                   a->isEnabled() && a->isVisible(), a->isSeparator()});
    if (a->menu() != nullptr) Walk(a->menu()->actions(), depth + 1, out);
  }
}

using BuildingMenuTest = testing::MainWindowTest;

TEST_F(BuildingMenuTest, EveryCaptionNameAndHelpNumberInOrder) {
  BuildingForm form(*context);
  std::vector<Seen> seen;
  Walk(form.menuBar()->actions(), 0, seen);
  ASSERT_EQ(seen.size(), std::size(kTree));
  for (size_t i = 0; i < seen.size(); ++i) {
    const Expected& e = kTree[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(seen[i].depth, e.depth);
    EXPECT_EQ(seen[i].name, QString(e.name));
    EXPECT_EQ(seen[i].help, e.help);
    EXPECT_TRUE(seen[i].enabled);
    if (seen[i].separator) {
      EXPECT_STREQ(e.caption, "");
    } else {
      EXPECT_EQ(seen[i].caption, QString::fromUtf8(e.caption));
    }
  }
  QAction* exit = form.menuBar()->findChild<QAction*>("fileexit");
  ASSERT_NE(exit, nullptr);
  EXPECT_EQ(exit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
}

TEST_F(BuildingMenuTest, ItemsRunTheirCommands) {
  BuildingForm form(*context);
  // A menu of the bar without items is a command too.
  form.menuBar()->findChild<QAction*>("Rooms")->trigger();
  auto* rooms = AppWindows().Find<RoomForm>();
  ASSERT_NE(rooms, nullptr);
  EXPECT_EQ(rooms->windowTitle(), "Fixed Room data");
  AppWindows().Unload<RoomForm>();
  form.menuBar()->findChild<QAction*>("micrograms")->trigger();
  EXPECT_EQ(state->Building.DisplayUnitCode, 1);
  form.menuBar()->findChild<QAction*>("HelpContents")->trigger();
  EXPECT_EQ(help.shown.size(), 1u);
}

}  // namespace
}  // namespace quarn
