#include "ui/grids/sink_grids.h"

#include <gtest/gtest.h>

#include "common/scripted_prompt.h"
#include "platform/flex_grid.h"

namespace quarn {
namespace {

using testing::ScriptedPrompt;

SinkRecord Sink(const std::string& name, float base) {
  SinkRecord s;
  s.Name = name;
  for (int p = 0; p < kMaxPollutants; ++p) {
    s.ka[p] = base + 0.001f * static_cast<float>(p + 1);
    s.kd[p] = base + 0.5f * static_cast<float>(p + 1);
    s.Mass[p] = base * 1000 + static_cast<float>(p);
  }
  s.Area = base * 10;
  s.Comments = "about " + name;
  return s;
}

// Room 1 has one sink and room 2 two; room 3 none.
BuildingRecord ThreeRooms() {
  BuildingRecord b;
  b.NumRooms = 3;
  b.RoomList[1].Name = "Living";
  b.RoomList[2].Name = "Office";
  b.RoomList[3].Name = "Store";
  ScenarioRecord& s = b.Scenario;
  s.NumPollutants = 2;
  s.NumSinks[1] = 1;
  s.NumSinks[2] = 2;
  s.Sinks[1][1] = Sink("carpet", 1);
  s.Sinks[2][1] = Sink("wall", 2);
  s.Sinks[2][2] = Sink("ceiling", 3);
  return b;
}

TEST(RoomSinkGrid, EmptyRoomGivesTwoRowsAndNoSinks) {
  BuildingRecord b = ThreeRooms();
  FlexGrid grid;
  std::string message;
  SetupRoomSinkGrid(grid, 3, b);
  grid.SetTextMatrix(1, 1, "left over");
  FillRoomSinkGrid(grid, 3, b, message);
  EXPECT_EQ(grid.Rows(), 2);
  EXPECT_EQ(grid.Cols(), 7);
  EXPECT_EQ(message, "No sinks");
  for (int c = 1; c < 7; ++c) EXPECT_EQ(grid.TextMatrix(1, c), "") << c;
  EXPECT_EQ(grid.TextMatrix(0, 6), "Comments");
}

TEST(RoomSinkGrid, MassInTheGeneralFormAndCommentsInColumnSix) {
  BuildingRecord b = ThreeRooms();
  b.Scenario.Sinks[2][2].Mass[0] = 1234.5f;
  FlexGrid grid;
  std::string message;
  SetupRoomSinkGrid(grid, 2, b);
  FillRoomSinkGrid(grid, 2, b, message);
  EXPECT_EQ(message, "");
  EXPECT_EQ(grid.Rows(), 3);
  EXPECT_EQ(grid.TextMatrix(0, 0), "Sink #");
  EXPECT_EQ(grid.TextMatrix(2, 0), "2");
  EXPECT_EQ(grid.TextMatrix(2, 1), "ceiling");
  EXPECT_EQ(grid.TextMatrix(2, 2), "3.001");
  EXPECT_EQ(grid.TextMatrix(2, 3), "3.5");
  EXPECT_EQ(grid.TextMatrix(2, 4), "1234.5");
  EXPECT_EQ(grid.TextMatrix(2, 5), "30");
  EXPECT_EQ(grid.TextMatrix(2, 6), "about ceiling");
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.Col(), 1);
}

// The room sink window stores its own edits only: a ka of 0.9 and a name stored meanwhile by
// the general sink window stay (they went back to the window's opening copy).
TEST(StoreSinkData, StoresTheRoomWindowsOwnEditsOverWhatOthersStored) {
  BuildingRecord b = ThreeRooms();
  const SinkTable loaded = b.Scenario.Sinks;
  SinkTable work = loaded;
  work[2][2].Comments = "edited";
  work[2][2].Mass[7] = 99;
  work[1][1].Name = "another room";
  work[3][1].Name = "not in use";
  b.Scenario.Sinks[2][1].ka[0] = 0.9f;  // the general sink window's Transfer
  b.Scenario.Sinks[2][1].Name = "Sofa";
  for (int room : {2, 3}) StoreSinkData(work, loaded, room, b);
  EXPECT_EQ(b.Scenario.Sinks[2][2].Comments, "edited");
  EXPECT_EQ(b.Scenario.Sinks[2][2].Mass[7], 99);
  EXPECT_EQ(b.Scenario.Sinks[2][1].ka[0], 0.9f);
  EXPECT_EQ(b.Scenario.Sinks[2][1].Name, "Sofa");
  EXPECT_EQ(b.Scenario.Sinks[1][1].Name, "carpet");
  EXPECT_EQ(b.Scenario.Sinks[3][1].Name, "");
}

struct GeneralSinkFixture : ::testing::Test {
  BuildingRecord b = ThreeRooms();
  FlexGrid grid;
  GeneralSinkRows rows;
  ScriptedPrompt prompt;
  void SetUp() override {
    SetupGeneralSinkGrid(grid);
    LoadGeneralSinkForm(grid, b, rows);
  }
};

TEST_F(GeneralSinkFixture, LayoutAndFillForPollutantZero) {
  EXPECT_EQ(grid.Rows(), 11);
  EXPECT_EQ(grid.FixedCols(), 0);
  EXPECT_EQ(grid.TextMatrix(0, 0), "sink Name");
  EXPECT_EQ(grid.TextMatrix(1, 0), "carpet");
  EXPECT_EQ(grid.TextMatrix(1, 1), "1.001");
  EXPECT_EQ(grid.TextMatrix(1, 4), "1");
  EXPECT_EQ(grid.TextMatrix(2, 4), "2");
  EXPECT_EQ(grid.TextMatrix(3, 0), "ceiling");
  EXPECT_EQ(grid.TextMatrix(3, 5), "Office");
  EXPECT_EQ(grid.TextMatrix(4, 4), "");
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.Col(), 0);
}

TEST_F(GeneralSinkFixture, RoundTripPerPollutantLeavesTheOthers) {
  const SinkTable before = b.Scenario.Sinks;
  FillGeneralSinkGrid(1, grid, b, rows);
  EXPECT_EQ(grid.TextMatrix(2, 2), "3.");  // 2 + 0.5 × 2 under "##.######"
  ASSERT_TRUE(ReadGeneralSinkGrid(1, grid, b, rows, prompt));
  for (int room = 1; room <= 2; ++room) {
    for (int s = 1; s <= b.Scenario.NumSinks[room]; ++s) {
      const SinkRecord& got = b.Scenario.Sinks[room][s];
      const SinkRecord& want = before[room][s];
      EXPECT_EQ(got.Name, want.Name);
      EXPECT_EQ(got.ka, want.ka);
      EXPECT_EQ(got.kd, want.kd);
      EXPECT_EQ(got.Mass, want.Mass);
      EXPECT_EQ(got.Area, want.Area);
      EXPECT_EQ(got.Comments, want.Comments);
    }
  }
  // Typed values reach the pollutant shown and no other.
  grid.SetTextMatrix(1, 1, "0.25");
  grid.SetTextMatrix(1, 0, "rug");
  ASSERT_TRUE(ReadGeneralSinkGrid(1, grid, b, rows, prompt));
  EXPECT_EQ(b.Scenario.Sinks[1][1].ka[1], 0.25f);
  EXPECT_EQ(b.Scenario.Sinks[1][1].ka[0], before[1][1].ka[0]);
  EXPECT_EQ(b.Scenario.Sinks[1][1].Name, "rug");
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(GeneralSinkFixture, RoomNumbersRoundHalvesToEven) {
  grid.SetTextMatrix(1, 4, "2.4");  // room 1's sink goes to room 2...
  grid.SetTextMatrix(2, 4, "2.6");  // ...and room 2's first to room 3
  ASSERT_TRUE(ReadGeneralSinkGrid(0, grid, b, rows, prompt));
  EXPECT_EQ(b.Scenario.NumSinks[1], 0);
  EXPECT_EQ(b.Scenario.NumSinks[2], 2);
  EXPECT_EQ(b.Scenario.NumSinks[3], 1);
  EXPECT_EQ(b.Scenario.Sinks[2][1].Name, "carpet");
  EXPECT_EQ(b.Scenario.Sinks[3][1].Name, "wall");
  grid.SetTextMatrix(1, 4, "2.5");
  grid.SetTextMatrix(2, 4, "1.5");
  grid.SetTextMatrix(3, 4, "0.5");  // rounds to 0: no room, the row is skipped
  ASSERT_TRUE(ReadGeneralSinkGrid(0, grid, b, rows, prompt));
  EXPECT_EQ(b.Scenario.NumSinks[2], 2);
  EXPECT_EQ(b.Scenario.NumSinks[1], 0);
  EXPECT_EQ(b.Scenario.NumSinks[3], 0);
}

TEST_F(GeneralSinkFixture, TypedValuesAreReadByTheirLeadingNumber) {
  // No cell of this grid shows grouping, so a comma ends the number: "0,5" is 0 and a
  // Room # of "1,5" is room 1, not 15.
  grid.SetTextMatrix(1, 1, "0,5");
  grid.SetTextMatrix(1, 3, "12,5 m2");
  grid.SetTextMatrix(3, 4, "1,5");
  ASSERT_TRUE(ReadGeneralSinkGrid(0, grid, b, rows, prompt)) << prompt.shown[0].text;
  EXPECT_EQ(b.Scenario.Sinks[1][1].ka[0], 0);
  EXPECT_EQ(b.Scenario.Sinks[1][1].Area, 12);
  EXPECT_EQ(b.Scenario.NumSinks[1], 2);
  EXPECT_EQ(b.Scenario.Sinks[1][2].Name, "ceiling");
}

TEST_F(GeneralSinkFixture, BadRowIsNamedAndNothingChanges) {
  const ScenarioRecord before = b.Scenario;
  for (const char* bad : {"4", "-1", "99999"}) {
    prompt.shown.clear();
    FillGeneralSinkGrid(0, grid, b, rows);
    grid.SetTextMatrix(1, 0, "renamed");
    grid.SetTextMatrix(3, 4, bad);
    EXPECT_FALSE(ReadGeneralSinkGrid(0, grid, b, rows, prompt));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_NE(prompt.shown[0].text.find("Row 3"), std::string::npos) << prompt.shown[0].text;
    EXPECT_EQ(b.Scenario.Sinks[1][1].Name, "carpet");
    EXPECT_EQ(b.Scenario.NumSinks, before.NumSinks);
  }
  // A third sink for one room.
  prompt.shown.clear();
  FillGeneralSinkGrid(0, grid, b, rows);
  grid.SetTextMatrix(5, 0, "extra");
  grid.SetTextMatrix(5, 4, "2");
  EXPECT_FALSE(ReadGeneralSinkGrid(0, grid, b, rows, prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_NE(prompt.shown[0].text.find("Row 5"), std::string::npos);
  EXPECT_EQ(prompt.shown[0].title, "Error");
  EXPECT_EQ(b.Scenario.NumSinks, before.NumSinks);
}

TEST_F(GeneralSinkFixture, MovedSinkTakesItsWholeRecord) {
  // Room 1's carpet moves to room 3: its other pollutants, masses and comments go along.
  grid.SetTextMatrix(1, 4, "3");
  ASSERT_TRUE(ReadGeneralSinkGrid(0, grid, b, rows, prompt));
  const SinkRecord moved = b.Scenario.Sinks[3][1];
  EXPECT_EQ(moved.Name, "carpet");
  EXPECT_EQ(moved.ka[5], Sink("carpet", 1).ka[5]);
  EXPECT_EQ(moved.Mass[3], 1003);
  EXPECT_EQ(moved.Comments, "about carpet");
  EXPECT_EQ(b.Scenario.NumSinks[1], 0);
  // Swapping room 2's two sinks keeps each whole.
  FillGeneralSinkGrid(0, grid, b, rows);
  EXPECT_EQ(grid.TextMatrix(1, 0), "wall");
  grid.SetTextMatrix(1, 4, "3");  // wall now follows the carpet in room 3
  ASSERT_TRUE(ReadGeneralSinkGrid(0, grid, b, rows, prompt));
  EXPECT_EQ(b.Scenario.Sinks[2][1].Name, "ceiling");
  EXPECT_EQ(b.Scenario.Sinks[2][1].Mass[0], 3000);
  EXPECT_EQ(b.Scenario.Sinks[3][1].Name, "wall");
  EXPECT_EQ(b.Scenario.Sinks[3][1].Mass[0], 2000);
  EXPECT_EQ(b.Scenario.Sinks[3][2].Name, "carpet");
  // A row typed in by the user is a new sink with nothing of an old one.
  FillGeneralSinkGrid(0, grid, b, rows);
  grid.SetTextMatrix(6, 0, "new");
  grid.SetTextMatrix(6, 4, "1");
  ASSERT_TRUE(ReadGeneralSinkGrid(0, grid, b, rows, prompt));
  EXPECT_EQ(b.Scenario.Sinks[1][1].Name, "new");
  EXPECT_EQ(b.Scenario.Sinks[1][1].Comments, "");
  EXPECT_EQ(b.Scenario.Sinks[1][1].ka[3], 0);
}

TEST_F(GeneralSinkFixture, EmptyRowsAreSkippedAndDeletedSinksStayDeleted) {
  // Emptying the Room # of row 2 drops that sink only.
  grid.SetTextMatrix(2, 4, "");
  ASSERT_TRUE(ReadGeneralSinkGrid(0, grid, b, rows, prompt));
  EXPECT_EQ(b.Scenario.NumSinks[1], 1);
  EXPECT_EQ(b.Scenario.NumSinks[2], 1);
  EXPECT_EQ(b.Scenario.Sinks[2][1].Name, "ceiling");
  // The next fill shows two rows and clears the third.
  FillGeneralSinkGrid(1, grid, b, rows);
  EXPECT_EQ(grid.TextMatrix(2, 0), "ceiling");
  for (int c = 0; c < 6; ++c) EXPECT_EQ(grid.TextMatrix(3, c), "") << c;
  ASSERT_TRUE(ReadGeneralSinkGrid(1, grid, b, rows, prompt));
  EXPECT_EQ(b.Scenario.NumSinks[2], 1);
}

}  // namespace
}  // namespace quarn
