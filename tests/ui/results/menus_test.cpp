// The menus of every results window, written out from the windows' design: each item in its
// place with its caption and name, disabled where it has nothing to do, and the help each
// help item opens.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "results_test_support.h"
#include "ui/results/average_exposure_form.h"
#include "ui/results/bar_chart_form.h"
#include "ui/results/display_all_form.h"
#include "ui/results/exposure_form.h"
#include "ui/results/plot_window.h"
#include "ui/results/results_form.h"
#include "ui/results/risk_analysis.h"
#include "ui/results/risk_framework.h"
#include "ui/results/summary_form.h"

namespace quarn {
namespace {

struct Item {
  const char* path;  // captions from the menu bar, as the user reads them (UTF-8)
  const char* name;
  bool enabled;
};

struct HelpItem {
  const char* name;
  const char* file;
  const char* keyword;
};

struct WindowMenus {
  const char* window;
  std::function<std::unique_ptr<ResultsWindow>(MainContext&)> make;
  std::vector<Item> items;
  // Help items: the help file and keyword each opens.
  std::vector<HelpItem> help;
};

std::vector<WindowMenus> AllResultsWindows() {
  return {
      {"ResultsForm",
       [](MainContext& c) { return std::make_unique<ResultsForm>(c); },
       {{"&File", "File", true},
        {"&File > &Save concentration", "filesave", true},
        {"&File > Page s&etup", "Filesetup", false},
        {"&File > &Print concentration", "FilePrintConc", true},
        {"&File > &Close and return", "fileclose", true},
        {"&Edit", "Edit", true},
        {"&Edit > Copy &All", "Editcopyall", true},
        {"&Edit > &Copy", "EditCopy", true},
        {"&Window", "Window", true},
        {"&Window > &Cascade", "WindowCascade", true},
        {"&Window > &Tile", "Tile", true},
        {"&Window > &List windows", "WindowsList", true},
        {"&Help", "help", true},
        {"&PM changes", "PMchanges", true}},
       {{"help", "RovozUzav.HLP", "Display Results"}, {"PMchanges", "RIRozid.HLP", "disply"}}},
      {"DisplayAllForm",
       [](MainContext& c) { return std::make_unique<DisplayAllForm>(c); },
       {{"&File", "File", true},
        {"&File > &Save results", "filesave", true},
        {"&File > P&rinter setup", "fileprintsetup", true},
        {"&File > &Print results", "FilePrint", true},
        {"&File > &Close and return", "fileclose", true},
        {"&Edit", "Edit", true},
        {"&Edit > Copy &All", "Editcopyall", false},
        {"&Edit > &Copy", "EditCopy", false},
        {"&Window", "Window", true},
        {"&Window > &Cascade", "WindowCascade", true},
        {"&Window > &Tile", "Tile", true},
        {"&Window > &List windows", "WindowsList", true},
        {"&Help", "help", true}},
       {{"help", "RovozUzav.HLP", "Contents"}}},
      {"PlotConcen",
       [](MainContext& c) { return std::make_unique<PlotWindow>(c); },
       {{"&File", "file", true},
        {"&File > &Setup Printer", "filesetup", true},
        {"&File > &Print graph", "fileprint", true},
        {"&File > Print &all graphs", "PrintAll", true},
        {"&File > ", "sep", true},
        {"&File > &Close", "filereturn", true},
        {"&Edit", "edit", true},
        {"&Edit > &Select graph", "editselect", true},
        {"&Edit > &Copy", "editcopy", true},
        {"&Edit > &Cut", "editcut", true},
        {"&Options", "options", true},
        {"&Options > &Scale", "scale", true},
        {"&Options > &Scale > &1.Linear x linear y", "scaleoptions", false},
        {"&Options > &Scale > &2. Log x Linear y", "scaleoptions", false},
        {"&Options > &Scale > &3. Linear x Log y", "scaleoptions", false},
        {"&Options > &Scale > &4. Log x Log y", "scaleoptions", false},
        {"&Options > &MaxMin", "maxmin", false},
        {"&New plot", "PlotNew", true},
        {"&New plot > &Concentration", "NewConcentration", true},
        {"&New plot > &Cumulative exposure", "NewCumulative", true},
        {"&New plot > &Instantenous exposure", "NewInst", true},
        {"&Window", "Window", true},
        {"&Window > &Cascade", "WindowCascade", true},
        {"&Window > &Tile", "WindowTile", true},
        {"&Window > &List windows", "WindowsList", true},
        {"&Previous", "PreviousPlot", true},
        {"Ne&xt", "Nextplot", true},
        {"&Help", "help", true}},
       {{"help", "RovozUzav.HLP", "Contents"}}},
      {"ExposureForm",
       [](MainContext& c) { return std::make_unique<ExposureForm>(c); },
       {{"&File", "File", true},
        {"&File > &Save Exposure", "filesave", true},
        {"&File > Printer s&etup", "FilePrinterSetup", true},
        {"&File > &Print", "FilePrint", true},
        {"&File > &Close and return", "fileclose", true},
        {"&Edit", "Edit", true},
        {"&Edit > Copy &All", "Editcopyall", true},
        {"&Edit > &Copy", "EditCopy", true},
        {"&Window", "Window", true},
        {"&Window > &Cascade", "WindowCascade", true},
        {"&Window > &Tile", "WindowTile", true},
        {"&Window > &List windows", "WindowsList", true},
        {"&Help", "help", true},
        {"&PM Changes", "PMchanges", true}},
       {{"help", "RovozUzav.HLP", "Contents"}, {"PMchanges", "RIRozid.HLP", "Display"}}},
      {"AverageExposureForm",
       [](MainContext& c) { return std::make_unique<AverageExposureForm>(c); },
       {{"&File", "File", true},
        {"&File > &Save average exposure", "filesave", true},
        {"&File > &Print", "FilePrint", false},
        {"&File > &Close", "fileexit", true},
        {"&Edit", "Edit", true},
        {"&Edit > Copy &All", "Editcopyall", true},
        {"&Edit > &Copy", "EditCopy", true},
        {"&Help", "Help", true},
        {"&Help > &Version 1.5 help", "helpv15", true},
        {"&Help > Version 1.&7 help", "v17help", true}},
       {{"helpv15", "RovozUzav.HLP", "Building form"}, {"v17help", "PMHELP.HLP", "Building form"}}},
      {"SummaryOutput",
       [](MainContext& c) { return std::make_unique<SummaryForm>(c); },
       {{"&File", "File", true},
        {"&File > &Save summary", "filesave", true},
        {"&File > Printer s&etup", "PrintSetup", true},
        {"&File > &Print summary", "FilePrint", true},
        {"&File > &Close and return", "fileclose", true},
        {"&Window", "Window", true},
        {"&Window > &Cascade", "WindowCascade", true},
        {"&Window > &Tile", "WindowTile", true},
        {"&Window > &List windows", "WindowsList", true},
        {"&Help", "help", true}},
       {{"help", "RovozUzav.HLP", "Contents"}}},
      {"BariPlotForm",
       [](MainContext& c) { return std::make_unique<BarChartForm>(c); },
       {{"&File", "File", true},
        {"&File > &Setup printer", "Filesetup", true},
        {"&File > &Print", "FilePrint", true},
        {"&File > &Close and return", "fileclose", true},
        {"&Window", "Window", true},
        {"&Window > &Cascade", "WindowsCascade", true},
        {"&Window > &Tile", "WindowsTile", true},
        {"&Window > &List windows", "WindowsList", true}},
       {}},
      {"RiskFramework",
       [](MainContext& c) { return std::make_unique<RiskFramework>(c); },
       {{"&File", "file", true},
        {"&File > &Save", "filesave", true},
        {"&File > S&ave as", "filesaveas", false},
        {"&File > Printer &Setup", "fileprintsetup", false},
        {"&File > &Print", "FilePrint", true},
        {"&File > &Close", "fileclose", true},
        {"&Calculate risk", "calculate", true},
        {"&Tools", "tools", true},
        {"&Tools > &Calculator", "Calculator", false},
        {"&Tools > &Units conversion", "Units", false},
        {"&Window", "Window", true},
        {"&Window > &Cascade", "WindowCascade", true},
        {"&Window > &Tile", "WindowTile", true},
        {"&Window > &List windows", "WindowsList", true},
        {"&Help", "help", true},
        {"&Help > &Contents", "HelpContents", true}},
       {{"HelpContents", "RovozUzav.HLP", "Contents"}}},
      {"RiskAnalysis",
       [](MainContext& c) { return std::make_unique<RiskAnalysis>(c); },
       {{"&File", "file", true},
        {"&File > &Save risk results", "filesave", true},
        {"&File > &Print risk results", "FilePrint", true},
        {"&File > ", "sep", true},
        {"&File > &Return to main", "filereturn", true},
        {"&Help", "help", true}},
       {{"help", "RovozUzav.HLP", "Contents"}}},
  };
}

struct Seen {
  std::string path;
  std::string name;
  bool enabled;
};

void Walk(const QList<QAction*>& actions, const std::string& parent, std::vector<Seen>& out) {
  for (QAction* a : actions) {
    const std::string text = a->text().toStdString();
    out.push_back({parent.empty() ? text : parent + " > " + text, a->objectName().toStdString(),
                   a->isEnabled()});
    // The window list holds the frame's windows of the moment, not items of the design.
    if (a->menu() != nullptr && a->objectName() != "WindowsList") {
      const std::string path = out.back().path;  // out grows while the submenu is walked
      Walk(a->menu()->actions(), path, out);
    }
  }
}

using ResultsMenus = testing::MainWindowTest;

TEST_F(ResultsMenus, EveryItemInItsPlaceWithItsNameAndHelp) {
  for (const WindowMenus& w : AllResultsWindows()) {
    SCOPED_TRACE(w.window);
    auto window = w.make(*context);
    std::vector<Seen> seen;
    Walk(window->menuBar()->actions(), "", seen);
    ASSERT_EQ(seen.size(), w.items.size());
    for (size_t i = 0; i < seen.size(); ++i) {
      EXPECT_EQ(seen[i].path, w.items[i].path) << i;
      EXPECT_EQ(seen[i].name, w.items[i].name) << i;
      EXPECT_EQ(seen[i].enabled, w.items[i].enabled) << w.items[i].path;
    }
    for (const HelpItem& h : w.help) {
      help.shown.clear();
      window->RunCommand(h.name);
      ASSERT_EQ(help.shown.size(), 1U) << h.name;
      EXPECT_EQ(help.shown[0], std::make_pair(std::string(h.file), std::string(h.keyword)));
    }
  }
}

}  // namespace
}  // namespace quarn
