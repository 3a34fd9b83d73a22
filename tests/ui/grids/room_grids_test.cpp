#include "ui/grids/room_grids.h"
#include "ui/common/window_tiling.h"

#include <gtest/gtest.h>

#include <QPoint>
#include <QSize>

#include "common/scripted_prompt.h"
#include "model/records.h"
#include "platform/flex_grid.h"
#include "text/number_read.h"
#include "ui/grids/grid_cells.h"

namespace quarn {
namespace {

BuildingRecord ThreeRooms() {
  BuildingRecord b;
  b.NumRooms = 3;
  b.RoomList[1] = {"Hall", kTrue, 1234.5f, 3.0f, 2.5f, 0.0f, 0};
  b.RoomList[2] = {"Kitchen", kFalse, 2.0f, 3.0f, 2.5f, 0.0f, 0};
  b.RoomList[3] = {"Bed", kTrue, 0.123456789f, 4.1f, 2.44f, 0.0f, 0};
  return b;
}

void Connect(BuildingRecord& b, int i, int j) {
  b.Neighbors[i][j] = kTrue;
  b.Neighbors[j][i] = kTrue;
}

TEST(RoomGrid, FillShowsHeadersMasksAndCounts) {
  BuildingRecord b = ThreeRooms();
  Connect(b, 1, 2);
  FlexGrid grid;
  FillRoomGrid(grid, b);
  EXPECT_EQ(grid.Rows(), 4);
  EXPECT_EQ(grid.Cols(), 7);
  EXPECT_EQ(grid.TextMatrix(0, 5), "Volume m3");
  EXPECT_EQ(grid.TextMatrix(0, 6), "# Neighbors");
  EXPECT_EQ(grid.TextMatrix(2, 0), "2");
  EXPECT_EQ(grid.TextMatrix(1, 2), "1,234.5");
  EXPECT_EQ(grid.TextMatrix(1, 3), "3.");  // the pattern keeps its decimal point
  EXPECT_EQ(grid.TextMatrix(2, 5), "15.");
  EXPECT_EQ(grid.TextMatrix(1, 6), " 1");
  EXPECT_EQ(grid.TextMatrix(3, 6), " 0");
  EXPECT_FLOAT_EQ(b.RoomList[2].Volume, 15.0f);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.Col(), 1);
}

TEST(RoomGrid, HeadersAndSizesInTwips) {
  // Sizes are kept in whole pixels of 15 twips, so they come back within half a pixel.
  BuildingRecord b = ThreeRooms();
  FlexGrid grid;
  FillRoomGrid(grid, b);
  const char* const headers[] = {"Room #",   "Room ID",   "Length m",   "Width m",
                                 "Height m", "Volume m3", "# Neighbors"};
  const int widths[] = {800, 1560, 1800, 1800, 1800, 1800, 900};
  for (int c = 0; c < 7; ++c) {
    EXPECT_EQ(grid.TextMatrix(0, c), headers[c]) << c;
    EXPECT_NEAR(grid.ColWidth(c), widths[c], 8) << c;
  }
  EXPECT_NEAR(grid.RowHeight(0), 512, 8);
  FlexGrid neighbours;
  FillNeighborGrid(neighbours, b, 1, nullptr);
  EXPECT_EQ(neighbours.TextMatrix(0, 0), "Room #");
  EXPECT_EQ(neighbours.TextMatrix(0, 1), "Room ID");
  EXPECT_NEAR(neighbours.ColWidth(1), 1900, 8);
  EXPECT_NEAR(neighbours.ColWidth(2), 1800, 8);
}

TEST(RoomGrid, FillThenReadGivesTheSameRooms) {
  BuildingRecord b = ThreeRooms();
  Connect(b, 2, 3);
  FlexGrid grid;
  FillRoomGrid(grid, b);
  const BuildingRecord filled = b;
  // Rooms scrambled in the record: only the grid can restore them.
  for (int r = 1; r <= 3; ++r) {
    b.RoomList[r].Name = "x";
    b.RoomList[r].Length = b.RoomList[r].Width = b.RoomList[r].Height = -1;
  }
  quarn::testing::ScriptedPrompt prompt;
  EXPECT_TRUE(ReadRoomGrid(grid, b, prompt));
  for (int r = 1; r <= 3; ++r) {
    SCOPED_TRACE(r);
    const RoomRecord& got = b.RoomList[r];
    const RoomRecord& want = filled.RoomList[r];
    EXPECT_EQ(got.Name, want.Name);
    EXPECT_EQ(got.HVAC, want.HVAC);
    // Exact: the mask shows ".12346" for the third room's length, the record keeps all.
    EXPECT_EQ(got.Length, want.Length);
    EXPECT_EQ(got.Width, want.Width);
    EXPECT_EQ(got.Height, want.Height);
    EXPECT_EQ(got.Volume, got.Length * got.Width * got.Height);
    EXPECT_EQ(got.NumNeighbors, want.NumNeighbors);
  }
  EXPECT_EQ(grid.TextMatrix(3, 2), ".12346");
}

// A size read back is the whole text as one number: a comma or a unit would change it (the
// grouping comma made "2,5" a length of 25), and a size below 0 makes no room.
TEST(RoomGrid, ReadBackOfTypedCells) {
  quarn::testing::ScriptedPrompt prompt;
  BuildingRecord b = ThreeRooms();
  b.RoomList[2].HVAC = 7;
  FlexGrid grid;
  FillRoomGrid(grid, b);
  grid.SetTextMatrix(2, 1, "");
  grid.SetTextMatrix(1, 2, "1.2345E3");
  grid.SetTextMatrix(2, 2, "2");
  grid.SetTextMatrix(2, 3, "3");
  grid.SetTextMatrix(2, 4, "2.5");
  grid.SetTextMatrix(2, 5, "999");  // the volume column is informative only
  grid.SetTextMatrix(3, 4, "");
  EXPECT_TRUE(ReadRoomGrid(grid, b, prompt));
  EXPECT_EQ(b.RoomList[2].Name, "ROOM 2");
  EXPECT_FLOAT_EQ(b.RoomList[1].Length, 1234.5f);
  EXPECT_FLOAT_EQ(b.RoomList[2].Volume, 15.0f);
  EXPECT_FLOAT_EQ(b.RoomList[3].Height, 0.0f);
  EXPECT_FLOAT_EQ(b.RoomList[3].Volume, 0.0f);
  EXPECT_EQ(b.RoomList[2].HVAC, 7);
  EXPECT_TRUE(prompt.shown.empty());

  // Each refusal says why, as a typed entry's does.
  const std::pair<const char*, const char*> refusals[] = {
      {"2,5",
       "\"2,5\" is not a number.  Decimals take a point (2.5); a comma can only separate "
       "thousands (1,500)."},
      {"3 m",
       "\"3 m\" is not a number.  A number is written with digits, a point for decimals "
       "(2.5), a sign and a power of ten (1E-05), and nothing else."},
      {"-5", "must be 0 or more, not -5."}};
  for (const auto& [refused, why] : refusals) {
    const BuildingRecord before = b;
    grid.SetTextMatrix(2, 3, refused);
    EXPECT_FALSE(ReadRoomGrid(grid, b, prompt)) << refused;
    ASSERT_FALSE(prompt.shown.empty());
    const std::string sep = refused[0] == '-' ? " " : ": ";
    EXPECT_EQ(prompt.shown.back().text,
              "Error.  The width of room 2" + sep + why + "  Reenter data.");
    EXPECT_FLOAT_EQ(b.RoomList[2].Width, before.RoomList[2].Width) << "nothing is stored";
    EXPECT_EQ(b.RoomList[2].Name, before.RoomList[2].Name);
  }
}

TEST(RoomGrid, NeighbourCountComesFromTheTableNotColumnSix) {
  BuildingRecord b = ThreeRooms();
  Connect(b, 1, 3);
  FlexGrid grid;
  FillRoomGrid(grid, b);
  grid.SetTextMatrix(1, 6, " 9");
  grid.SetTextMatrix(2, 6, "2");
  quarn::testing::ScriptedPrompt prompt;
  EXPECT_TRUE(ReadRoomGrid(grid, b, prompt));
  EXPECT_EQ(b.RoomList[1].NumNeighbors, 1);
  EXPECT_EQ(b.RoomList[2].NumNeighbors, 0);
  EXPECT_EQ(b.RoomList[3].NumNeighbors, 1);
}

TEST(RoomGrid, ShortGridLeavesUnshownRoomsAlone) {
  BuildingRecord b = ThreeRooms();
  b.NumRooms = 2;
  FlexGrid grid;
  FillRoomGrid(grid, b);
  b.NumRooms = 3;  // a room added while the window was open
  quarn::testing::ScriptedPrompt prompt;
  EXPECT_TRUE(ReadRoomGrid(grid, b, prompt));
  EXPECT_EQ(b.RoomList[3].Name, "Bed");
  EXPECT_FLOAT_EQ(b.RoomList[3].Width, 4.1f);
}

TEST(NeighborGrid, RoomTwoOfThreeListsRoomsOneAndThree) {
  BuildingRecord b = ThreeRooms();
  Connect(b, 2, 3);
  FlexGrid grid;
  FlexGrid rooms;
  FillRoomGrid(rooms, b);
  const auto label = FillNeighborGrid(grid, b, 2, &rooms);
  ASSERT_TRUE(label.has_value());
  EXPECT_EQ(*label, "#  2 Kitchen");
  EXPECT_EQ(grid.Rows(), 3);
  EXPECT_EQ(grid.Cols(), 3);
  EXPECT_EQ(grid.TextMatrix(0, 2), "Is Neighbor?");
  EXPECT_EQ(grid.TextMatrix(1, 0), "1");
  EXPECT_EQ(grid.TextMatrix(1, 1), "Hall");
  EXPECT_EQ(grid.TextMatrix(1, 2), "No");
  EXPECT_EQ(grid.TextMatrix(2, 0), "3");
  EXPECT_EQ(grid.TextMatrix(2, 1), "Bed");
  EXPECT_EQ(grid.TextMatrix(2, 2), "Yes");
  EXPECT_EQ(rooms.TextMatrix(3, 6), " 1");
}

TEST(NeighborGrid, NothingForASingleRoomOrARoomOutside) {
  BuildingRecord b = ThreeRooms();
  FlexGrid grid;
  grid.SetRows(7);
  EXPECT_FALSE(FillNeighborGrid(grid, b, 4, nullptr).has_value());
  EXPECT_FALSE(FillNeighborGrid(grid, b, 0, nullptr).has_value());
  b.NumRooms = 1;
  EXPECT_FALSE(FillNeighborGrid(grid, b, 1, nullptr).has_value());
  EXPECT_EQ(grid.Rows(), 7);
}

TEST(NeighborGrid, OnlyExactlyYesMarksANeighbour) {
  BuildingRecord b = ThreeRooms();
  b.NumRooms = 4;
  b.RoomList[4].Name = "Attic";
  Connect(b, 1, 4);
  FlexGrid grid;
  FillNeighborGrid(grid, b, 1, nullptr);
  grid.SetTextMatrix(1, 2, "yes");
  grid.SetTextMatrix(2, 2, "Yes ");
  grid.SetTextMatrix(3, 2, "YES");
  ReadNeighborGrid(grid, b, 1);
  for (int j = 2; j <= 4; ++j) {
    EXPECT_EQ(b.Neighbors[1][j], kFalse) << j;
    EXPECT_EQ(b.Neighbors[j][1], kFalse) << j;
  }
  EXPECT_EQ(b.RoomList[1].NumNeighbors, 0);
}

TEST(NeighborGrid, MarkingIsSymmetricAndCountsFollow) {
  BuildingRecord b = ThreeRooms();
  Connect(b, 2, 3);
  FlexGrid grid;
  FlexGrid rooms;
  FillRoomGrid(rooms, b);
  FillNeighborGrid(grid, b, 1, &rooms);
  grid.SetTextMatrix(2, 2, "Yes");  // room 3 in room 1's window
  ReadNeighborGrid(grid, b, 1);
  EXPECT_EQ(b.Neighbors[1][3], kTrue);
  EXPECT_EQ(b.Neighbors[3][1], kTrue);
  EXPECT_EQ(b.Neighbors[1][2], kFalse);
  EXPECT_EQ(b.RoomList[1].NumNeighbors, 1);
  CountRoomNeighbors(b, &rooms);
  EXPECT_EQ(b.RoomList[2].NumNeighbors, 1);
  EXPECT_EQ(b.RoomList[3].NumNeighbors, 2);
  EXPECT_EQ(rooms.TextMatrix(3, 6), " 2");
  EXPECT_EQ(rooms.TextMatrix(1, 6), " 1");

  // Unmarking from the other side removes the connection both ways.
  FillNeighborGrid(grid, b, 3, &rooms);
  EXPECT_EQ(grid.TextMatrix(1, 2), "Yes");
  grid.SetTextMatrix(1, 2, "No");
  ReadNeighborGrid(grid, b, 3);
  EXPECT_EQ(b.Neighbors[1][3], kFalse);
  CountRoomNeighbors(b, nullptr);
  EXPECT_EQ(b.RoomList[1].NumNeighbors, 0);
}

TEST(GridRow, WriteThenReadRoundTrips) {
  FlexGrid grid;
  grid.SetRows(5);
  grid.SetCols(3);
  const float values[][2] = {{0.0f, 0.1f}, {1.0f / 3.0f, -2.5f}, {123456789.0f, 1e-7f}};
  for (int i = 0; i < 3; ++i) WriteGridRow(grid, i + 1, values[i][0], values[i][1]);
  EXPECT_EQ(grid.TextMatrix(1, 1), "0");
  EXPECT_EQ(grid.TextMatrix(1, 2), "0.1");
  EXPECT_EQ(grid.TextMatrix(2, 1), "0.3333333");
  for (int i = 0; i < 3; ++i) {
    const GridRowValues got = ReadGridRow(grid, i + 1);
    EXPECT_EQ(got.first, values[i][0]) << i;
    EXPECT_EQ(got.second, values[i][1]) << i;
  }
  grid.SetTextMatrix(4, 1, " 2.5 h");
  grid.SetTextMatrix(4, 2, "x");
  const GridRowValues typed = ReadGridRow(grid, 4);
  EXPECT_FLOAT_EQ(typed.first, 2.5f);
  EXPECT_FLOAT_EQ(typed.second, 0.0f);
  const GridRowValues past = ReadGridRow(grid, 40);
  EXPECT_EQ(past.first, 0.0f);
  EXPECT_EQ(past.second, 0.0f);
}

TEST(GridCells, HugeNumbersSaturateToTheLargestSingle) {
  EXPECT_EQ(ToSingle(1e300), std::numeric_limits<float>::max());
  EXPECT_EQ(ToSingle(-1e300), -std::numeric_limits<float>::max());
  EXPECT_EQ(ToSingle(0.5), 0.5f);
}

TEST(CenterForm, CentresAcrossAndAboveTheMiddle) {
  // 1000 px high: 425 is the middle of the upper 85 %, minus half the window, plus 150
  // twips (10 px).
  const QPoint at = CenteredFormPosition(QSize(1500, 1000), QSize(300, 200));
  EXPECT_EQ(at.x(), 600);
  EXPECT_EQ(at.y(), 335);
}

}  // namespace
}  // namespace quarn
