// A building engineer's walk through the program, from the splash to Exit, with the mouse
// and the keyboard on the real windows: open a building and its scenarios, edit cells,
// transfer, run and stop the concentration calculation, calculate the exposure, save every
// result, visit the options, the Window and Help menus and About, and leave with and
// without unsaved changes. Only the file dialogs and the message boxes are scripted. Run
// with QUARN_SCREENSHOTS set to a folder (under Xvfb for real window decorations) it saves
// a picture of every window it looks at there.

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>

#include "common/main_window_fixture.h"
#include "common/menu_input.h"
#include "model/work_file_reader.h"
#include "platform/flex_grid.h"
#include "platform/graph.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "platform/strip_chart.h"
#include "platform/user_input.h"
#include "platform/window_registry.h"
#include "text/number_read.h"
#include "text/text_reader.h"
#include "ui/building/room_flows_form.h"
#include "ui/common/about_form.h"
#include "ui/common/changes_form.h"
#include "ui/grids/scenario_grid.h"
#include "ui/main/main_window.h"
#include "ui/main/scenario_editor.h"
#include "ui/main/set_calculate.h"
#include "ui/main/set_files_form.h"
#include "ui/main/splash_form.h"
#include "ui/results/average_exposure_form.h"
#include "ui/results/bar_chart_form.h"
#include "ui/results/exposure_form.h"
#include "ui/results/plot_window.h"
#include "ui/results/results_form.h"
#include "ui/results/risk_framework.h"
#include "ui/results/run_graph.h"
#include "ui/results/summary_form.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;
namespace row = scenario_row;
using UserWalk = testing::MainWindowTest;
using testing::ChooseMenu;
using testing::ClickCell;
using testing::TypeKeys;
using testing::WaitFor;

void SavePicture(QWidget* widget, const char* name) {
  const char* dir = std::getenv("QUARN_SCREENSHOTS");
  if (dir == nullptr || widget == nullptr) return;
  QTest::qWait(10);
  widget->grab().save(QString::fromStdString((fs::path(dir) / name).string()), "PNG");
}

// With QUARN_SCREENSHOTS set, the plot printed as the program prints it without a printer:
// to a PDF file in that folder (plot_page.pdf), for pdftoppm to show.
void SavePrintedPage(MainContext& context, PlotWindow& plot) {
  const char* dir = std::getenv("QUARN_SCREENSHOTS");
  if (dir == nullptr) return;
  testing::ScriptedFileDialog pdf_name;
  pdf_name.answers = {(fs::path(dir) / "plot_page.pdf").string()};
  testing::ScriptedPrompt landscape;
  landscape.answers = {Answer::Ok};
  QtPrinterService pdf(pdf_name, landscape, false);
  MainContext printing{
      context.state,         landscape,       pdf_name, context.help, pdf, context.identity,
      context.settings_file, context.database};
  const auto shown = static_cast<size_t>(plot.PollutantIndexBox().text().toInt());
  PrintGraphPage(printing, plot.ConcGraph(),
                 "Pollutant " + context.state.Building.Scenario.Pollutants.at(shown).Name);
}

void Press(Qt::Key key) {
  QTest::keyClick(QApplication::focusWidget(), key);
  QTest::qWait(1);
}

// Every child window of the frame lies inside the frame's area, whole.
void ExpectInsideArea(MainWindow& frame, const char* when) {
  const QRect area = frame.Area()->viewport()->rect();
  for (QMdiSubWindow* sub : frame.Area()->subWindowList()) {
    if (!sub->isVisible() || sub->isMinimized() || sub->isMaximized()) continue;
    EXPECT_TRUE(area.contains(sub->geometry()))
        << when << ": " << sub->windowTitle().toStdString() << " lies outside the frame";
  }
}

// A top-level dialog lies on the screen, whole.
void ExpectOnScreen(QWidget* w, const char* what) {
  ASSERT_NE(w, nullptr) << what;
  QWidget* top = w->window();
  const QRect screen = top->screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(top->frameGeometry()))
      << what << " opens off the screen: " << top->frameGeometry().x() << ","
      << top->frameGeometry().y() << " " << top->frameGeometry().width() << "x"
      << top->frameGeometry().height() << " on " << screen.width() << "x" << screen.height();
}

// The texts of a column fit it: nothing a user has to guess at.
void ExpectCellsFit(FlexGrid& grid, int c, const char* what) {
  const QFontMetrics metrics(grid.font());
  constexpr int kPadding = 6;  // the cell's margins either side
  for (int r = 0; r < grid.Rows(); ++r) {
    const QString text = QString::fromStdString(grid.TextMatrix(r, c));
    EXPECT_LE(metrics.horizontalAdvance(text) + kPadding, grid.columnWidth(c))
        << what << " row " << r << " column " << c << " \"" << text.toStdString() << "\" is cut";
  }
}

// Every row of the concentration table is a record of the work file, in order, and every
// value reads back to the record's within the four or five digits of its mask.
void ExpectTableOfWorkFile(const FlexGrid& grid, const BuildingRecord& b, char separator) {
  const int rooms = b.NumRooms;
  const int pollutants = b.Scenario.NumPollutants;
  ConcWorkFileReader reader(b.ConcWorkFile, separator, rooms, pollutants);
  ASSERT_TRUE(reader.IsOpen());
  int rows = 0;
  for (int row = 1; !grid.TextMatrix(row, 0).empty(); ++row, ++rows) {
    std::string time = grid.TextMatrix(row, 0);
    std::erase(time, ',');
    bool found = false;
    while (!found && reader.Next() == ConcWorkFileReader::Status::Record) {
      found = std::fabs(reader.Time() - LeadingNumber(time)) < 0.0005;
    }
    ASSERT_TRUE(found) << "row " << row << " time " << time;
    for (int p = 0; p < pollutants; ++p) {
      for (int r = 1; r <= rooms; ++r) {
        const float stored = reader.Conc(r, p);
        EXPECT_NEAR(LeadingNumber(grid.TextMatrix(row, p * rooms + r)), stored,
                    5e-4 * std::fabs(stored) + 1e-30)
            << "row " << row << " room " << r << " pollutant " << p;
      }
    }
  }
  EXPECT_GT(rows, 51);
}

ScenarioEditor* Editor() {
  return AppWindows().Find<ScenarioEditor>();
}

RunGraph* VisibleRunGraph() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* graph = qobject_cast<RunGraph*>(w); graph != nullptr && graph->isVisible()) {
      return graph;
    }
  }
  return nullptr;
}

TEST_F(UserWalk, FromTheSplashToExit) {
  const fs::path data = folder / "data";
  fs::create_directories(data / "Scenario");
  fs::copy_file(Sample("house.BLD"), data / "house.BLD");
  fs::copy_file(Sample("Scenario/house.SEN"), data / "Scenario" / "house.SEN");
  fs::copy_file(Sample("Scenario/particles.SEN"), data / "Scenario" / "particles.SEN");

  // The splash, and a key on it.
  auto* splash = new SplashForm(*context);
  splash->setAttribute(Qt::WA_DeleteOnClose);
  ASSERT_TRUE(testing::ShowActive(*splash));
  ExpectOnScreen(splash, "the splash");
  SavePicture(splash, "walk_01_splash.png");
  QPointer<SplashForm> splash_alive(splash);
  QTest::keyClick(splash, Qt::Key_Return);
  QTest::qWait(1);
  MainWindow* frame = splash_alive != nullptr ? splash_alive->Started() : nullptr;
  if (frame == nullptr) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* f = qobject_cast<MainWindow*>(w)) frame = f;
    }
  }
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(testing::ShowActive(*frame));
  BuildingForm* building = frame->Building();
  ASSERT_NE(building, nullptr);
  ExpectInsideArea(*frame, "start");

  // File > Open Building.
  prompt.answers = {Answer::Yes};
  dialogs.answers = {(data / "house.BLD").string()};
  ChooseMenu(*building, {"file", "fileopen"});
  ASSERT_EQ(state->Building.NumRooms, 3);
  FlexGrid& grid = building->Grid();
  EXPECT_EQ(grid.TextMatrix(3, 0), "Number of Rooms");
  EXPECT_EQ(grid.TextMatrix(3, 1), "3");
  ExpectInsideArea(*frame, "open building");
  SavePicture(frame, "walk_02_building.png");

  // A new room count typed and abandoned with Esc, then typed and kept with Enter.
  ClickCell(grid, 3, 1);
  TypeKeys("5");
  Press(Qt::Key_Escape);
  EXPECT_EQ(grid.TextMatrix(3, 1), "3");
  EXPECT_EQ(state->Building.NumRooms, 3);
  ClickCell(grid, 3, 1);
  TypeKeys("4");
  Press(Qt::Key_Return);
  Press(Qt::Key_Up);
  EXPECT_EQ(state->Building.NumRooms, 4);
  EXPECT_EQ(grid.TextMatrix(3, 1), "4");
  // The arrows walk the grid.
  ClickCell(grid, 1, 1);
  Press(Qt::Key_Down);
  EXPECT_EQ(grid.Row(), 2);
  Press(Qt::Key_Down);
  Press(Qt::Key_Up);
  EXPECT_EQ(grid.Row(), 2);
  ClickCell(grid, 3, 1);
  TypeKeys("3");
  Press(Qt::Key_Return);
  Press(Qt::Key_Up);
  EXPECT_EQ(state->Building.NumRooms, 3);
  state->BuildingSaved = true;

  // Scenarios, with house.SEN opened.
  ChooseMenu(*building, {"Scenarios"});
  ScenarioEditor* editor = nullptr;
  ASSERT_TRUE(WaitFor([&editor] { return (editor = Editor()) != nullptr; }));
  prompt.shown.clear();
  prompt.answers = {Answer::Yes, Answer::Yes};
  dialogs.answers = {(data / "Scenario" / "house.SEN").string()};
  ChooseMenu(*editor, {"File", "FileLoad"});
  ASSERT_EQ(state->Building.Scenario.Name, "Gas range");
  FlexGrid& ss = editor->ScenarioSS();
  const char* labels[20] = {"Building simulated",
                            "Scenario Name",
                            "Comments",
                            "Overall ACH",
                            "Constant ACH?",
                            "Constant HVAC?",
                            "Number of pollutants",
                            "Constant Outdoor conc?",
                            "Years simulated",
                            "Hrs simulated",
                            "Temperature C",
                            "Pressure mm/Hg",
                            "Building Penetration",
                            "Class of pollutant",
                            "Irritant concentration",
                            "Cancer Risk/\xB5g/m3",
                            "Reference dose mg/kg/day",
                            "Nr. Occupants",
                            "Long term options ",
                            "Master File"};
  ASSERT_EQ(ss.Rows(), 20);
  for (int r = 0; r < 20; ++r) EXPECT_EQ(ss.TextMatrix(r, 0), labels[r]) << "row " << r;
  EXPECT_EQ(ss.TextMatrix(row::kBuilding, 1), "Sample house");
  EXPECT_EQ(ss.TextMatrix(3, 1), " .5");
  EXPECT_EQ(ss.TextMatrix(6, 1), " 1");
  EXPECT_EQ(ss.TextMatrix(9, 1), "24. hr");
  EXPECT_EQ(ss.TextMatrix(10, 1), "20. C");
  EXPECT_EQ(ss.TextMatrix(11, 1), "760. mm/Hg");
  EXPECT_EQ(ss.TextMatrix(12, 1), "Enter using define pollutant");
  EXPECT_EQ(ss.TextMatrix(17, 1), "2");
  ExpectCellsFit(ss, 1, "house scenario grid");
  ExpectInsideArea(*frame, "house scenario");
  // Every row can be reached with the keyboard and is seen in the window.
  ClickCell(ss, 1, 1);
  for (int r = 2; r < 20; ++r) {
    Press(Qt::Key_Down);
    EXPECT_EQ(ss.Row(), r);
    EXPECT_TRUE(ss.viewport()->rect().contains(ss.visualRect(ss.model()->index(r, 1))))
        << "row " << r << " not in view";
  }
  SavePicture(frame, "walk_03_house_scenario.png");
  for (const auto& m : prompt.shown) {
    EXPECT_TRUE(m.kind == "yesno") << "unexpected message: " << m.text;
  }

  // particles.SEN.
  prompt.answers = {Answer::Yes, Answer::Yes};
  dialogs.answers = {(data / "Scenario" / "particles.SEN").string()};
  ChooseMenu(*editor, {"File", "FileLoad"});
  ExpectCellsFit(ss, 1, "particle scenario grid");
  SavePicture(frame, "walk_04_particle_scenario.png");

  // Back to house.SEN, and two years simulated typed into its row.
  prompt.answers = {Answer::Yes, Answer::Yes};
  dialogs.answers = {(data / "Scenario" / "house.SEN").string()};
  ChooseMenu(*editor, {"File", "FileLoad"});
  ClickCell(ss, row::kYears, 1);
  TypeKeys("2");
  Press(Qt::Key_Return);
  EXPECT_EQ(ss.TextMatrix(row::kHours, 1), "17,520.0 h");
  EXPECT_EQ(QApplication::focusWidget(), &ss) << "the grid keeps the keyboard";
  ClickCell(ss, row::kHours, 1);
  TypeKeys("24");
  Press(Qt::Key_Return);
  EXPECT_EQ(ss.TextMatrix(row::kYears, 1), "0.00274 yr");

  // For the pictures only: the room-to-room window of the natural flows, closed with Transfer.
  if (std::getenv("QUARN_SCREENSHOTS") != nullptr) {
    ChooseMenu(*editor, {"NaturalFlows", "NaturalRoomtoRoom"});
    if (auto* flows = AppWindows().Find<RoomFlowsForm>()) {
      SavePicture(frame, "room_to_room.png");
      ChooseMenu(*flows, {"Transfer"});
      WaitFor([] {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return AppWindows().Find<RoomFlowsForm>() == nullptr;
      });
    }
  }

  // Transfer.
  ChooseMenu(*editor, {"Transfer"});
  ASSERT_TRUE(WaitFor([] {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return Editor() == nullptr;
  }));
  EXPECT_TRUE(building->isVisible());

  // Calculate > Concentration, watched; then stopped; then run again.
  prompt.shown.clear();
  QPointer<RunGraph> seen;
  {
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&seen] {
      if (seen == nullptr && (seen = VisibleRunGraph()) != nullptr) {
        ExpectOnScreen(seen, "the progress window");
      }
    });
    watch.start(0);
    ChooseMenu(*building, {"calculate", "CalculateConcentration"});
  }
  for (const auto& m : prompt.shown) ADD_FAILURE() << "unexpected message: " << m.text;
  ASSERT_EQ(state->ConcentrationsCalculated, true);
  prompt.answers = {Answer::Yes};
  {
    QTimer stopper;
    QObject::connect(&stopper, &QTimer::timeout, [] {
      RunGraph* graph = VisibleRunGraph();
      if (graph == nullptr || !graph->Running() || graph->Chart().PointCount() < 8) return;
      SavePicture(graph, "walk_05_progress.png");
      if (auto* stop = graph->findChild<QPushButton*>("Command1")) {
        QTest::mouseClick(stop, Qt::LeftButton);
      }
    });
    stopper.start(0);
    ChooseMenu(*building, {"calculate", "CalculateConcentration"});
  }
  EXPECT_EQ(prompt.Count("yesno"), 1U) << "the recalculation question, once";
  prompt.answers = {Answer::Yes};
  prompt.shown.clear();
  ChooseMenu(*building, {"calculate", "CalculateConcentration"});
  EXPECT_EQ(prompt.Count("yesno"), 1U);
  EXPECT_EQ(prompt.Count("message"), 0U);

  // Display > Concentration: the run's table, closed again with its own menu.
  ChooseMenu(*building, {"display", "DisplayConcentration"});
  {
    auto* results = AppWindows().Find<ResultsForm>();
    ASSERT_NE(results, nullptr);
    EXPECT_TRUE(results->isVisible());
    EXPECT_EQ(results->windowTitle().toStdString(), "Calculated concentrations");
    ExpectTableOfWorkFile(results->ResultsGrid(), state->Building, state->DataSeparator);
    SavePicture(frame, "walk_05b_concentrations.png");
    SavePicture(results->parentWidget(), "concentration_grid.png");
    ChooseMenu(*results, {"File", "fileclose"});
    EXPECT_TRUE(WaitFor([] {
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      return AppWindows().Find<ResultsForm>() == nullptr;
    }));
  }

  // Calculate > Exposure.. > Inhalation exposure.
  prompt.shown.clear();
  ChooseMenu(*building, {"calculate", "CalculateExposure", "CalculateInhalation"});
  for (const auto& m : prompt.shown) ADD_FAILURE() << "unexpected message: " << m.text;
  // It shows no window of its own: the frame says that it ran.
  EXPECT_TRUE(frame->statusBar()->currentMessage().startsWith(
      "Inhalation exposure calculation finished for "))
      << frame->statusBar()->currentMessage().toStdString();

  // Display > Exposure...: occupant 1's instantaneous exposure, then the averages.
  ChooseMenu(*building, {"calculate", "CalculateExposure", "averageexposure"});
  ChooseMenu(*building, {"display", "DisplayExposure", "DisplayInst"});
  {
    auto* exposure = AppWindows().Find<ExposureForm>();
    ASSERT_NE(exposure, nullptr);
    EXPECT_TRUE(exposure->isVisible());
    EXPECT_EQ(exposure->windowTitle().toStdString(), "Exposure Results");
    EXPECT_EQ(exposure->OccupantNumber().text().toStdString(), "1");
    EXPECT_EQ(exposure->ExposureType().text().toStdString(), "I");
    EXPECT_GT(exposure->ExposureSS().Rows(), 3);
    SavePicture(frame, "walk_05c_exposure.png");
    ChooseMenu(*exposure, {"File", "fileclose"});
  }
  ChooseMenu(*building, {"display", "DisplayExposure", "DisplayAverage"});
  {
    auto* average = AppWindows().Find<AverageExposureForm>();
    ASSERT_NE(average, nullptr);
    EXPECT_TRUE(average->isVisible());
    EXPECT_EQ(average->windowTitle().toStdString(), "Average exposure");
    ChooseMenu(*average, {"File", "fileexit"});
  }
  ChooseMenu(*building, {"display", "DisplaySummary"});
  {
    auto* summary = AppWindows().Find<SummaryForm>();
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(summary->windowTitle().toStdString(), "Summary Output");
    EXPECT_EQ(summary->PollutantNumber().text().toStdString(), "0");
    EXPECT_EQ(summary->PollutantName().text().toStdString(),
              state->Building.Scenario.Pollutants[0].Name);
    // The house runs in µg/m³ and its irritant level is kept in mg/m³: the hours above it are
    // those of the gas range's peaks, counted from the crossings: about 0.67 h where the
    // adult is and 0.34 h where the child is (7.8 and 16.8 h when µg were compared with mg),
    // and the doses are in mg, the run's own integral of the air the adult breathed.
    const FlexGrid& g = summary->Grid1();
    EXPECT_EQ(g.TextMatrix(1, 1), "0.67 ");
    EXPECT_EQ(g.TextMatrix(2, 1), "0.34 ");
    EXPECT_EQ(g.TextMatrix(1, 4), "0.01124");
    // The gas range's 30 mg/h for two hours, from the first step of each hour.
    EXPECT_EQ(g.TextMatrix(3, 0), "Total emitted");
    EXPECT_EQ(g.TextMatrix(3, 1), "60,000.0 \xB5g");
    SavePicture(frame, "summary.png");
    ChooseMenu(*summary, {"File", "fileclose"});
  }
  ChooseMenu(*building, {"plot", "PlotBarirr"});
  {
    auto* bars = AppWindows().Find<BarChartForm>();
    ASSERT_NE(bars, nullptr);
    const GraphData& chart = bars->BarGraph().data();
    ASSERT_EQ(chart.NumSets(), 1);
    EXPECT_EQ(chart.sets[0].points.size(), 2U) << "a bar per occupant";
    SavePicture(frame, "walk_05d_bars.png");
    ChooseMenu(*bars, {"File", "fileclose"});
  }
  for (const auto& m : prompt.shown) ADD_FAILURE() << "unexpected message: " << m.text;

  // Plot > Concentration > All rooms single pollutant, Next, and the plot closed again.
  ChooseMenu(*building, {"plot", "PlotConcentration", "plotallrooms"});
  {
    auto* plot = AppWindows().Find<PlotWindow>();
    ASSERT_NE(plot, nullptr);
    ChooseMenu(*plot, {"Nextplot"});
    EXPECT_EQ(plot->ConcGraph().data().NumSets(), state->Building.NumRooms);
    EXPECT_TRUE(plot->windowTitle().startsWith("Concentration versus time plot for "));
    ExpectInsideArea(*frame, "plot");
    SavePicture(frame, "plot_window.png");
    SavePrintedPage(*context, *plot);
    ChooseMenu(*plot, {"file", "filereturn"});
    EXPECT_TRUE(WaitFor([] {
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      return AppWindows().Find<PlotWindow>() == nullptr;
    }));
  }
  for (const auto& m : prompt.shown) ADD_FAILURE() << "unexpected message: " << m.text;

  // File > Save Results, each item.
  prompt.shown.clear();
  dialogs.answers = {Path("walk")};
  ChooseMenu(*building, {"file", "SAveR", "FileConcen"});
  EXPECT_TRUE(fs::exists(Path("walk.CON")));
  dialogs.answers = {Path("walk")};
  ChooseMenu(*building, {"file", "SAveR", "FileExposure"});
  EXPECT_TRUE(fs::exists(Path("walk.EXP")));
  dialogs.answers = {Path("walk")};
  ChooseMenu(*building, {"file", "SAveR", "saveaverage"});
  prompt.answers = {Answer::Yes};
  dialogs.answers = {(data / "Results" / "walk").string()};
  ChooseMenu(*building, {"file", "SAveR", "FileResults"});
  EXPECT_TRUE(fs::exists(data / "Results" / "walk.con"));
  EXPECT_TRUE(fs::exists(data / "Results" / "walk.EXP"));
  for (const auto& m : prompt.shown) std::cerr << "save results said: " << m.text << "\n";

  // Save Building, and the file opens again as it was.
  dialogs.answers = {Path("walk.BLD")};
  ChooseMenu(*building, {"file", "filesave"});
  prompt.answers = {Answer::Yes};
  dialogs.answers = {Path("walk.BLD")};
  ChooseMenu(*building, {"file", "fileopen"});
  EXPECT_EQ(state->Building.ID, "Sample house");
  EXPECT_EQ(state->Building.NumRooms, 3);

  // Options.
  ChooseMenu(*building, {"options", "OptionsCalculate"});
  auto* calc = AppWindows().Find<SetCalculate>();
  ASSERT_NE(calc, nullptr);
  EXPECT_TRUE(calc->isVisible());
  ExpectOnScreen(calc, "calculation options");
  ExpectInsideArea(*frame, "calculation options");
  SavePicture(calc->window(), "walk_06_calc_options.png");
  calc->close();
  prompt.shown.clear();
  prompt.inputs = {std::string("2.5")};
  ChooseMenu(*building, {"options", "Optionsetmax"});
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Enter estimated maxium concentration mg/cu m");
  EXPECT_DOUBLE_EQ(state->MaxConcentration, 2.5);
  ChooseMenu(*building, {"options", "Filelocations"});
  auto* files = AppWindows().Find<SetFilesForm>();
  ASSERT_NE(files, nullptr);
  ExpectOnScreen(files, "file locations");
  ExpectInsideArea(*frame, "file locations");
  SavePicture(files->window(), "walk_07_file_locations.png");
  files->close();

  // Window.
  ChooseMenu(*building, {"Window", "WindowsCascade"});
  ExpectInsideArea(*frame, "cascade");
  // Every menu title is still on the bar, none folded behind its extension button.
  for (QAction* title : building->menuBar()->actions()) {
    EXPECT_LE(building->menuBar()->actionGeometry(title).right(), building->menuBar()->width())
        << title->text().toStdString() << " folded away after Cascade";
  }
  ChooseMenu(*building, {"Window", "WindowsTile"});
  ExpectInsideArea(*frame, "tile");
  SavePicture(frame, "walk_08_tiled.png");

  // Help and About.
  ChooseMenu(*building, {"help", "HelpContents"});
  ASSERT_EQ(help.shown.size(), 1U);
  ChooseMenu(*building, {"help", "HelpAbout"});
  auto* about = AppWindows().Find<AboutForm>();
  ASSERT_NE(about, nullptr);
  ExpectOnScreen(about, "about");
  SavePicture(about->window(), "walk_09_about.png");
  about->close();
  ChooseMenu(*building, {"help", "helprecent"});
  auto* changes = AppWindows().Find<ChangesForm>();
  ASSERT_NE(changes, nullptr);
  ExpectOnScreen(changes, "recent changes");
  SavePicture(changes->window(), "walk_10_changes.png");
  changes->close();

  // Exit with unsaved changes: asked once, No keeps the program.
  state->BuildingSaved = false;
  prompt.shown.clear();
  prompt.answers = {Answer::No, Answer::No};
  QPointer<MainWindow> frame_alive(frame);
  ChooseMenu(*building, {"file", "fileexit"});
  QTest::qWait(5);
  ASSERT_NE(frame_alive, nullptr);
  EXPECT_TRUE(building->isVisible());
  for (const auto& m : prompt.shown) std::cerr << "exit asked: " << m.text << "\n";
  // Saved: Exit ends.
  prompt.shown.clear();
  state->BuildingSaved = true;
  state->ScenarioSaved = true;
  prompt.answers = {Answer::Yes};
  ChooseMenu(*building, {"file", "fileexit"});
  for (const auto& m : prompt.shown) std::cerr << "exit asked: " << m.text << "\n";
  EXPECT_TRUE(WaitFor([&frame_alive] {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return frame_alive == nullptr || !frame_alive->isVisible();
  }));
}

// The README's first run, then every results window open at once, a change and a second
// run: the change closes every one of them, the second run is not asked about, and the
// windows opened again show the second run (12 h where the first had 24).
TEST_F(UserWalk, FirstRunThenASecondRunAfterAChange) {
  const fs::path data = folder / "data";
  fs::create_directories(data / "Scenario");
  fs::copy_file(Sample("house.BLD"), data / "house.BLD");
  fs::copy_file(Sample("Scenario/house.SEN"), data / "Scenario" / "house.SEN");
  auto* splash = new SplashForm(*context);
  splash->setAttribute(Qt::WA_DeleteOnClose);
  ASSERT_TRUE(testing::ShowActive(*splash));
  QTest::keyClick(splash, Qt::Key_Return);
  MainWindow* frame = nullptr;
  ASSERT_TRUE(WaitFor([&frame] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* f = qobject_cast<MainWindow*>(w); f != nullptr && f->isVisible()) frame = f;
    }
    return frame != nullptr;
  }));
  frame->resize(1500, 950);
  BuildingForm* building = frame->Building();
  prompt.answers = {Answer::Yes};
  dialogs.answers = {(data / "house.BLD").string()};
  ChooseMenu(*building, {"file", "fileopen"});
  auto transfer_scenario = [&](const std::function<void(ScenarioEditor&)>& edit) {
    ChooseMenu(*building, {"Scenarios"});
    ScenarioEditor* editor = nullptr;
    ASSERT_TRUE(WaitFor([&editor] { return (editor = Editor()) != nullptr; }));
    edit(*editor);
    prompt.answers = {Answer::Yes};  // leave it unsaved
    ChooseMenu(*editor, {"Transfer"});
    ASSERT_TRUE(WaitFor([] {
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      return Editor() == nullptr;
    }));
  };
  transfer_scenario([&](ScenarioEditor& editor) {
    prompt.answers = {Answer::Yes, Answer::Yes};
    dialogs.answers = {(data / "Scenario" / "house.SEN").string()};
    ChooseMenu(editor, {"File", "FileLoad"});
  });
  ASSERT_EQ(state->Building.Scenario.Name, "Gas range");

  // Every run, then every results window, each pictured; the frame with them all last.
  std::vector<QPointer<ResultsWindow>> open;
  auto run_and_show_all = [&](const std::string& when) {
    prompt.shown.clear();
    ChooseMenu(*building, {"calculate", "CalculateConcentration"});
    for (const auto& m : prompt.shown) ADD_FAILURE() << when << ": " << m.text;
    ChooseMenu(*building, {"calculate", "CalculateExposure", "CalculateInhalation"});
    ChooseMenu(*building, {"calculate", "CalculateExposure", "averageexposure"});
    ChooseMenu(*building, {"calculate", "CalculateRisk"});
    open.clear();
    auto show = [&](std::initializer_list<const char*> path, const std::string& name) {
      ChooseMenu(*building, path);
      QMdiSubWindow* active = frame->Area()->activeSubWindow();
      ASSERT_NE(active, nullptr) << name;
      auto* shown = qobject_cast<ResultsWindow*>(active->widget());
      ASSERT_NE(shown, nullptr) << name;
      open.emplace_back(shown);
      SavePicture(active, ("walk_11_" + when + "_" + name + ".png").c_str());
    };
    show({"plot", "PlotConcentration", "plotallrooms"}, "plot");
    show({"display", "DisplayConcentration"}, "concentrations");
    show({"display", "DisplayExposure", "DisplyaCumulative"}, "exposure");
    show({"display", "DisplayExposure", "DisplayAverage"}, "average");
    show({"plot", "PlotBarirr"}, "bars");
    show({"display", "DisplayRisk", "RiskFull"}, "risk");
    show({"display", "DisplaySummary"}, "summary");
    for (const auto& m : prompt.shown) ADD_FAILURE() << when << ": " << m.text;
    SavePicture(frame, ("walk_11_" + when + "_all.png").c_str());
  };
  run_and_show_all("before");
  const std::string summary_before = AppWindows().Find<SummaryForm>()->Grid1().TextMatrix(1, 2);

  // The hours simulated from 24 to 12: every results window closes with the Transfer.
  transfer_scenario(
      [](ScenarioEditor& editor) { editor.ScenarioSS().SetTextMatrix(row::kHours, 1, "12"); });
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  for (const QPointer<ResultsWindow>& window : open) {
    if (!window.isNull()) ADD_FAILURE() << window->objectName().toStdString() << " stays open";
  }
  SavePicture(frame, "walk_11_changed.png");
  run_and_show_all("after");
  auto* table = AppWindows().Find<ResultsForm>();
  ASSERT_NE(table, nullptr);
  const FlexGrid& g = table->ResultsGrid();
  int last = 1;
  while (!g.TextMatrix(last + 1, 0).empty()) ++last;
  EXPECT_NEAR(LeadingNumber(g.TextMatrix(last, 0)), 12, 1e-3);
  EXPECT_NE(AppWindows().Find<SummaryForm>()->Grid1().TextMatrix(1, 2), summary_before);
}

}  // namespace
}  // namespace quarn
