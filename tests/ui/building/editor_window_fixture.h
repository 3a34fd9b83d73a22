#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <memory>

#include "common/main_window_fixture.h"
#include "common/menu_input.h"
#include "platform/flex_grid.h"
#include "platform/user_input.h"
#include "ui/main/scenario_editor.h"

namespace quarn::testing {

// A one-room, one-pollutant scenario and, once the test's own fields are set, its editor
// open inside the frame, from which the input windows are opened as a user opens them.
class EditorWindowTest : public MainWindowTest {
 protected:
  EditorWindowTest() {
    state->Building.NumRooms = 1;
    ScenarioRecord& s = Scenario();
    s.Name = "R1";
    s.PollutantClass = "VOC";
    s.ConcUnits = "milligrams";
    s.NumPollutants = 1;
    s.YearsSimulated = 1;
  }
  ~EditorWindowTest() override {
    frame.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  ScenarioRecord& Scenario() { return state->Building.Scenario; }
  // The editor fills its grid from the record and reads it back before opening a window,
  // so the scenario is complete by now.
  void OpenEditor() {
    frame->setCentralWidget(area);
    frame->resize(1200, 900);
    EXPECT_TRUE(ShowActive(*frame));
    editor = OpenScenarioEditor(*context, area, nullptr);
  }
  // A click on the cell, the text typed and Enter.
  static void TypeIntoCell(FlexGrid& grid, int row, int col, const char* text) {
    ClickCell(grid, row, col);
    Type(text);
    Enter();
  }

  std::unique_ptr<QMainWindow> frame = std::make_unique<QMainWindow>();
  QMdiArea* area = new QMdiArea(frame.get());
  ScenarioEditor* editor = nullptr;
};

}  // namespace quarn::testing
