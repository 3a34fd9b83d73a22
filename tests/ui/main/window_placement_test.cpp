// Child windows open inside the frame's visible area: their title bar and every edge can be
// reached without moving or scrolling anything, whatever size the window asked for.

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "common/main_window_fixture.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "platform/user_input.h"
#include "platform/window_registry.h"
#include "ui/building/filter_definition_form.h"
#include "ui/common/tool_openers.h"
#include "ui/inputs/source_composition_form.h"
#include "ui/main/main_window.h"
#include "ui/main/scenario_editor.h"
#include "ui/tools/calculator_form.h"
#include "ui/tools/chamber_data_form.h"
#include "ui/tools/voc_database_form.h"

namespace quarn {
namespace {

using WindowPlacement = testing::MainWindowTest;

QMdiSubWindow* SubOf(QWidget* w) {
  return w == nullptr ? nullptr : qobject_cast<QMdiSubWindow*>(w->parentWidget());
}

// The visible part of the area, in the coordinates that sub-window geometries use.
QRect Visible(const MainWindow& frame) {
  return frame.Area()->viewport()->rect();
}

void ExpectInside(const MainWindow& frame, const QMdiSubWindow* sub, const char* what) {
  ASSERT_NE(sub, nullptr) << what;
  const QRect area = Visible(frame);
  EXPECT_TRUE(area.contains(sub->geometry()))
      << what << " at " << sub->x() << "," << sub->y() << " size " << sub->width() << "x"
      << sub->height() << " in an area of " << area.width() << "x" << area.height();
}

TEST_F(WindowPlacement, BuildingWindowAndScenarioEditorOpenInsideTheFrame) {
  MainWindow* frame = StartMainWindow(*context);
  ASSERT_TRUE(testing::ShowActive(*frame));
  ExpectInside(*frame, SubOf(frame->Building()), "building window");

  // The editor asks for more height than the frame gives: it opens shortened, not cut off.
  frame->Building()->RunCommand("Scenarios");
  testing::ProcessEvents();
  auto* editor = AppWindows().Find<ScenarioEditor>();
  ASSERT_NE(editor, nullptr);
  ExpectInside(*frame, SubOf(editor), "scenario editor");
  // At the top left corner; as wide as the area, it cannot keep its small left margin.
  EXPECT_EQ(SubOf(editor)->y(), TwipsToPixels(20));
  EXPECT_LE(SubOf(editor)->x(), TwipsToPixels(20));

  state->ScenarioSaved = true;
  editor->RunCommand("cancel");
  frame->close();
  testing::ProcessEvents();
}

// A tool is a window of the frame, so that it stays in front of it, and Alt+F4 closes the
// tool, not the program (it raised the frame's exit question).
TEST_F(WindowPlacement, ToolsAreOwnedByTheFrameAndCloseOnAltF4) {
  MainWindow* frame = StartMainWindow(*context);
  ASSERT_TRUE(testing::ShowActive(*frame));
  ToolsCalculator(*context);
  auto* calc = AppWindows().Find<CalculatorForm>();
  ASSERT_NE(calc, nullptr);
  EXPECT_EQ(calc->parentWidget(), frame);
  EXPECT_TRUE(calc->isWindow());
  ASSERT_TRUE(testing::ShowActive(*calc));
  QTest::keyClick(calc, Qt::Key_F4, Qt::AltModifier);
  testing::ProcessEvents();
  EXPECT_EQ(AppWindows().Find<CalculatorForm>(), nullptr) << "a closed tool is gone";
  EXPECT_TRUE(frame->isVisible());
  EXPECT_TRUE(prompt.shown.empty());

  // The chamber data window opened with no source window behind it is the frame's too.
  state->CurrentSource = 1;
  ChamberDataForm* chamber = ShowR0kCalculator(*context, 1);
  ASSERT_NE(chamber, nullptr);
  EXPECT_EQ(chamber->parentWidget(), frame);
  ASSERT_TRUE(testing::ShowActive(*chamber));
  QTest::keyClick(chamber, Qt::Key_F4, Qt::AltModifier);
  testing::ProcessEvents();
  EXPECT_EQ(AppWindows().Find<ChamberDataForm>(), nullptr);
  EXPECT_TRUE(frame->isVisible());
  EXPECT_TRUE(prompt.shown.empty());
  frame->close();
  testing::ProcessEvents();
}

// Every title of the menu bar is on the bar, none behind its extension button.
void ExpectWholeMenuBar(QMainWindow& window, const char* when) {
  QMenuBar* bar = window.menuBar();
  const auto* extension = bar->findChild<QToolButton*>("qt_menubar_ext_button");
  EXPECT_TRUE(extension == nullptr || !extension->isVisible()) << when;
}

void ExpectEveryRow(FlexGrid& grid, const char* when) {
  EXPECT_EQ(grid.verticalScrollBar()->maximum(), 0) << when;
  const QRect last = grid.visualRect(grid.model()->index(grid.Rows() - 1, 1));
  EXPECT_TRUE(grid.viewport()->rect().contains(last))
      << when << ": last row at " << last.bottom() << " in " << grid.viewport()->height();
}

TEST_F(WindowPlacement, TheScenarioEditorShowsItsWholeMenuBarAndEveryRowAlsoAfterCascade) {
  MainWindow* frame = StartMainWindow(*context);
  ASSERT_TRUE(testing::ShowActive(*frame));
  const int screen = QGuiApplication::primaryScreen()->availableGeometry().width();
  const QSize need = ScenarioEditorSize(*context);
  EXPECT_GE(frame->width(), std::min(need.width(), screen));

  frame->resize(1280, 1024);
  testing::ProcessEvents();
  frame->Building()->RunCommand("Scenarios");
  testing::ProcessEvents();
  auto* editor = AppWindows().Find<ScenarioEditor>();
  ASSERT_NE(editor, nullptr);
  ExpectInside(*frame, SubOf(editor), "scenario editor");
  ExpectWholeMenuBar(*editor, "at opening");
  ExpectEveryRow(editor->ScenarioSS(), "at opening");
  const QSize opened = SubOf(editor)->size();

  editor->RunCommand("WindowCascade");
  testing::ProcessEvents();
  EXPECT_EQ(SubOf(editor)->size(), opened);
  ExpectWholeMenuBar(*editor, "after Cascade");
  ExpectEveryRow(editor->ScenarioSS(), "after Cascade");

  state->ScenarioSaved = true;
  editor->RunCommand("cancel");
  frame->close();
  testing::ProcessEvents();
}

// Every column, and the first rows (up to five), in view, and no cell's text cut by its
// column ("Formalde" for formaldehyde, "6345598." for 6345598.25).
void ExpectEveryColumn(FlexGrid& grid, const std::string& when) {
  for (int r = grid.FixedRows(); r < grid.Rows(); ++r) {
    for (int c = 0; c < grid.Cols(); ++c) {
      const int text = grid.fontMetrics().horizontalAdvance(ToQt(grid.TextMatrix(r, c)));
      EXPECT_LE(text, grid.columnWidth(c)) << when << ": " << grid.TextMatrix(r, c);
    }
  }
  EXPECT_EQ(grid.horizontalScrollBar()->maximum(), 0) << when;
  const int row = std::min(grid.Rows() - 1, 5);
  const QRect last = grid.visualRect(grid.model()->index(row, grid.Cols() - 1));
  EXPECT_TRUE(grid.viewport()->rect().contains(last))
      << when << ": last column at " << last.right() << " in " << grid.viewport()->width()
      << ", row " << row << " at " << last.bottom() << " in " << grid.viewport()->height();
}

// The table windows open from their contents' size, on the screens users have: every
// column and the first rows show without scrolling.
TEST_F(WindowPlacement, TableWindowsOpenShowingEveryColumn) {
  ScenarioRecord& s = state->Building.Scenario;
  s.NumPollutants = 3;
  s.NumSources[1] = 1;
  for (const QSize screen : {QSize(1280, 1024), QSize(1600, 1000)}) {
    const std::string at = std::to_string(screen.width()) + "x" + std::to_string(screen.height());
    MainWindow* frame = StartMainWindow(*context);
    ASSERT_TRUE(testing::ShowActive(*frame));
    frame->resize(screen);
    testing::ProcessEvents();
    frame->Building()->RunCommand("Scenarios");
    testing::ProcessEvents();
    auto* editor = AppWindows().Find<ScenarioEditor>();
    ASSERT_NE(editor, nullptr);

    s.Pollutants[2].C0 = 6345598.25F;
    state->ProgramFolder = QUARN_SOURCE_DIR "/data";  // its list of VOCs
    VOCDatabaseForm* voc = OpenVocDatabase(*context, editor);
    testing::ProcessEvents();
    ExpectEveryColumn(voc->Grid(), "VOC database at " + at);
    voc->CloseForm();
    testing::ProcessEvents();
    SourceCompositionForm* composition = OpenSourceComposition(*context, 1, 1, editor);
    testing::ProcessEvents();
    ExpectEveryColumn(composition->Grid(), "source composition at " + at);
    composition->CloseForm();
    testing::ProcessEvents();
    FilterDefinitionForm* filters = OpenFilterDefinitionForm(*context, editor);
    testing::ProcessEvents();
    ExpectEveryColumn(filters->Grid(), "user-defined air cleaner at " + at);
    filters->CloseForm();
    testing::ProcessEvents();

    state->ScenarioSaved = true;
    editor->RunCommand("cancel");
    frame->EndProgram();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    testing::ProcessEvents();
  }
}

TEST_F(WindowPlacement, LargeOrMisplacedChildrenAreBroughtInside) {
  MainWindow* frame = StartMainWindow(*context);
  ASSERT_TRUE(testing::ShowActive(*frame));
  const QRect area = Visible(*frame);

  // Larger than the area both ways, with a minimum size it cannot keep.
  auto* big = new QLabel("big");
  big->setMinimumSize(area.width() + 300, area.height() + 200);
  QMdiSubWindow* big_sub = frame->Area()->addSubWindow(big);
  big_sub->show();
  testing::ProcessEvents();
  ExpectInside(*frame, big_sub, "large child");
  EXPECT_EQ(big_sub->size(), area.size());

  // Placed by its opener below and left of the area: moved in, its size kept.
  auto* small = new QLabel("small");
  QMdiSubWindow* small_sub = frame->Area()->addSubWindow(small);
  small_sub->setGeometry(-80, area.height() - 40, 300, 200);
  small_sub->show();
  testing::ProcessEvents();
  ExpectInside(*frame, small_sub, "misplaced child");
  EXPECT_EQ(small_sub->size(), QSize(300, 200));
  EXPECT_EQ(small_sub->pos(), QPoint(0, area.height() - 200));

  frame->close();
  testing::ProcessEvents();
}

}  // namespace
}  // namespace quarn
