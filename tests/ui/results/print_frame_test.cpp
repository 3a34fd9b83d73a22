#include "ui/common/print_frame.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "common/recording_printer.h"
#include "platform/flex_grid.h"

namespace quarn {
namespace {

using testing::Line;

TEST(PrintFrame, ItemValueGridUnderItsDatedTitleThenAPageBreak) {
  FlexGrid grid;
  grid.SetRows(3);
  grid.SetCols(2);
  grid.SetColWidth(0, 2490);  // advance 28
  grid.SetColWidth(1, 2200);
  grid.SetTextMatrix(0, 0, "Item");
  grid.SetTextMatrix(0, 1, "Value");
  grid.SetTextMatrix(1, 0, "Scenario Name");
  grid.SetTextMatrix(1, 1, "Test");
  grid.SetTextMatrix(2, 1, "Peak\nConc\r");  // its first cell empty
  testing::RecordingPrinter printer;
  {
    PrintCommand command(printer);
    PrintGrid(command.Job(), grid, "Results 12-08-2026  14:05:09", false);
    PrintPageBreak(command.Job(), "Data for scenario R1");
    EXPECT_EQ(printer.documents, 0) << "left open for the caller";
  }
  ASSERT_EQ(printer.pages.size(), 2U);
  EXPECT_EQ(printer.pages[0].lines,
            (std::vector<std::string>{
                Line({{10, "Results 12-08-2026  14:05:09 Date 12-08-2026 Time 14:05:09"}}),
                Line({{10, "Item"}, {38, "Value"}}), Line({{10, "Scenario Name"}, {38, "Test"}}),
                Line({{38, "Peak"}}), Line({{38, "Conc"}})}));
  EXPECT_EQ(printer.pages[1].lines, std::vector<std::string>{Line({{20, "Data for scenario R1"}})});

  // On a narrow page a long title goes on under itself, whole, its spacing kept.
  testing::RecordingPrinter narrow;
  narrow.format.chars_per_line = 50;
  PrintStampedGrid(narrow, grid, "Results for  a house with a long name");
  ASSERT_GE(narrow.pages.size(), 1U);
  const std::vector<std::string>& lines = narrow.pages[0].lines;
  ASSERT_GE(lines.size(), 2U);
  EXPECT_EQ(lines[0], Line({{10, "Results for  a house with a long name"}}));
  EXPECT_EQ(lines[1], Line({{10, "Date 12-08-2026 Time 14:05:09"}}));
}

TEST(PrintFrame, WideGridPrintsEveryColumnInBandsAndLeavesTheCursor) {
  FlexGrid grid;
  grid.SetRows(3);
  grid.SetCols(30);
  auto cell = [](int r, int c) { return "r" + std::to_string(r) + "c" + std::to_string(c); };
  for (int c = 0; c < 30; ++c) {
    grid.SetColWidth(c, 1100);  // advance 17
    for (int r = 0; r < 3; ++r) grid.SetTextMatrix(r, c, cell(r, c));
  }
  grid.SetRowCol(2, 7);
  grid.SetRowSel(1);
  grid.SetColSel(3);
  QSignalSpy moved(&grid, &FlexGrid::RowColChange);
  QSignalSpy selected(&grid, &FlexGrid::SelChange);
  testing::RecordingPrinter printer;  // 110 characters a line
  {
    PrintCommand command(printer);
    PrintGrid(command.Job(), grid, "Results ", true);
  }
  const auto lines = printer.Lines();
  ASSERT_EQ(lines.size(), 1U + 8 * 3 + 7);  // the title, 8 bands of 3 rows, 7 lines between
  for (int band = 0; band < 8; ++band) {
    for (int r = 0; r < 3; ++r) {
      std::string expected = Line({{10, cell(r, 0)}});
      for (int c = 1 + 4 * band; c <= std::min(29, 4 + 4 * band); ++c) {
        expected.resize(static_cast<size_t>(9 + 17 * (c - 4 * band)), ' ');
        expected += cell(r, c);
      }
      EXPECT_EQ(lines[1 + 4 * band + r], expected) << "band " << band << " row " << r;
    }
    EXPECT_EQ(lines[4 * band],
              band == 0 ? Line({{10, "Results  Date 12-08-2026 Time 14:05:09"}}) : "");
  }
  EXPECT_EQ(printer.documents, 1);
  EXPECT_EQ(std::make_tuple(grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()),
            std::make_tuple(2, 7, 1, 3));
  EXPECT_EQ(moved.count() + selected.count(), 0);
}

}  // namespace
}  // namespace quarn
