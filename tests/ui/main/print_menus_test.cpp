// The Print menus of the building window and the scenario editor, chosen as a user does.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/main_window_fixture.h"
#include "common/menu_input.h"
#include "platform/flex_grid.h"
#include "platform/user_input.h"
#include "ui/grids/scenario_grid.h"
#include "ui/main/building_form.h"
#include "ui/main/scenario_editor.h"

namespace quarn {
namespace {

using testing::ChooseMenu;
using testing::Line;

class PrintMenus : public testing::MainWindowTest {
 protected:
  PrintMenus() {
    state->Building.ID = "House A";
    state->Building.RoomList[1].Name = "Kitchen";
    state->Building.Scenario.Name = "R1";
    state->Building.Scenario.NumPollutants = 1;
  }
};

TEST_F(PrintMenus, AnEditNotTransferredStaysInTheEditorAndOutOfThePrintout) {
  ScenarioEditor editor(*context);
  editor.Load();
  editor.FillGrid();
  ASSERT_TRUE(testing::ShowActive(editor));
  FlexGrid& grid = editor.ScenarioSS();
  grid.setFocus();
  grid.SetRowCol(scenario_row::kName, 1);
  testing::Type("Edited");
  testing::Enter();
  ASSERT_EQ(grid.TextMatrix(scenario_row::kName, 1), "Edited");

  ChooseMenu(editor, {"File", "PrintScenarioData", "PrintAll"});
  ASSERT_EQ(printer.documents, 1);
  const auto& page = printer.pages[0].lines;
  EXPECT_EQ(page[0], Line({{10, "Scenario data  Date 12-08-2026 Time 14:05:09"}}));
  EXPECT_EQ(page[1], Line({{10, "Building simulated"}, {38, "House A"}}));
  EXPECT_EQ(page[2], Line({{10, "Scenario Name"}, {38, "R1"}}));
  EXPECT_EQ(page[21], "") << "the 20 rows of the grid, then an empty line";
  EXPECT_TRUE(editor.isVisible());
  EXPECT_EQ(grid.TextMatrix(scenario_row::kName, 1), "Edited");
  EXPECT_EQ(state->Building.Scenario.Name, "R1");

  ChooseMenu(editor, {"File", "PrintScenarioData", "PrintSinks"});
  EXPECT_EQ(printer.documents, 2);
  EXPECT_EQ(printer.pages.back().lines[0], Line({{30, "Sink information for R1"}}));
}

TEST_F(PrintMenus, AllDataIsTheBuildingThenTheScenario) {
  BuildingForm form(*context);
  form.Load();
  ASSERT_TRUE(testing::ShowActive(form));
  ChooseMenu(form, {"file", "FilePrint", "PrintAll"});
  ASSERT_EQ(printer.documents, 2);
  EXPECT_EQ(printer.pages.front().lines[0],
            Line({{15, "Building information  Date 12-08-2026 Time  14:05:09"}}));
  EXPECT_EQ(printer.pages.back().document, 1);
  ChooseMenu(form, {"file", "FilePrint", "PrintScenario"});
  EXPECT_EQ(printer.documents, 3);
  EXPECT_EQ(printer.pages.back().lines.back(), Line({{20, "Number of occupants =  0 "}}));
}

}  // namespace
}  // namespace quarn
