#include "files/occupant_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "file_fixture.h"

namespace quarn {
namespace {

using ActivityFile = testing::FileTest;

OccupantRecord Worker() {
  OccupantRecord o;
  o.Name = "Worker";
  o.TimeEnter[1] = 0;
  o.TimeLeave[1] = 8;
  o.Location[1] = "Office";
  o.LocationRoom[1] = 1;
  o.TimeEnter[2] = 8;
  o.TimeLeave[2] = 0.833f;
  o.Location[2] = "Outdoors";
  o.LocationRoom[2] = 0;
  o.BreathingRate = 0.83f;
  o.EfficiencyFactor = 1;
  o.StartTime = 0;
  o.EndTime = 48;
  o.CycleLength = 24;
  o.Lifetime = 70;
  o.Population = 1e9f;
  o.Weight = 70;
  o.AveragingTime = 8;  // not part of the file
  return o;
}

TEST_F(ActivityFile, MatchesItsLayout) {
  const std::string path = Path("w.ACT");
  ASSERT_TRUE(WriteActivityFile(Worker(), path, prompt_));
  EXPECT_EQ(Bytes(path),
            "Worker\r\n"
            " 0 \r\n 8 \r\nOffice\r\n 1 \r\n"
            " 8 \r\n .833 \r\nOutdoors\r\n 0 \r\n"
            "DONE\r\n"
            " .83 \r\n 1 \r\n 0 \r\n 48 \r\n 24 \r\n 70 \r\n 1E+09 \r\n 70 \r\n");
}

TEST_F(ActivityFile, OneEntryScheduleHasFourteenLines) {
  OccupantRecord o = Worker();
  o.TimeEnter[2] = 0;  // ends the schedule: entry 3 is neither written nor read
  o.TimeEnter[3] = 12;
  const std::string path = Path("one.ACT");
  ASSERT_TRUE(WriteActivityFile(o, path, prompt_));
  const std::string bytes = Bytes(path);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 14);
}

TEST_F(ActivityFile, RoundTripsIntoTheOccupantAsked) {
  OccupantRecord o = Worker();
  o.Name = "Smith, John";
  o.Location[1] = "Lab, east";
  for (int e = 3; e <= kMaxSchedule; ++e) {  // a full schedule
    o.TimeEnter[e] = static_cast<float>(e);
    o.TimeLeave[e] = e + 0.5f;
    o.Location[e] = "Room " + std::to_string(e);
    o.LocationRoom[e] = 2;
  }
  const std::string path = Path("full.ACT");
  ASSERT_TRUE(WriteActivityFile(o, path, prompt_));
  ScenarioRecord s;
  s.Occupants[2].AveragingTime = 4;
  ASSERT_TRUE(ReadOccupantFile(s, 2, path, prompt_));
  const OccupantRecord& back = s.Occupants[2];
  EXPECT_EQ(back.Number, 2);
  EXPECT_EQ(back.Name, "Smith, John");
  EXPECT_EQ(back.Location[1], "Lab, east");
  EXPECT_EQ(back.TimeEnter, o.TimeEnter);
  EXPECT_EQ(back.TimeLeave, o.TimeLeave);
  EXPECT_EQ(back.Location, o.Location);
  EXPECT_EQ(back.LocationRoom, o.LocationRoom);
  EXPECT_EQ(back.BreathingRate, 0.83f);
  EXPECT_EQ(back.Population, 1e9f);
  EXPECT_EQ(back.Weight, 70.0f);
  EXPECT_EQ(back.AveragingTime, 4.0f);  // not in the file: kept
  EXPECT_EQ(Messages(), 0u);
}

TEST_F(ActivityFile, ZeroLineEndsTheScheduleAndLaterEntriesAreCleared) {
  ScenarioRecord s;
  OccupantRecord& o = s.Occupants[1];
  o.TimeEnter[2] = 5;
  o.TimeLeave[2] = 6;
  o.Location[2] = "Old";
  o.TimeEnter[3] = 7;
  const std::string path = Write("zero.ACT",
                                 "Guest\r\n 1 \r\n 2 \r\nKitchen\r\n 1 \r\n0\r\n"
                                 " .5 \r\n .9 \r\n 3 \r\n 10 \r\n 24 \r\n");
  ASSERT_TRUE(ReadOccupantFile(s, 1, path, prompt_));
  EXPECT_EQ(o.Name, "Guest");
  EXPECT_EQ(o.TimeLeave[1], 2.0f);
  EXPECT_EQ(o.TimeEnter[2], 0.0f);
  EXPECT_EQ(o.Location[2], "");
  EXPECT_EQ(o.TimeEnter[3], 0.0f);
  EXPECT_EQ(o.CycleLength, 24.0f);

  // "done" in small letters ends it as well.
  const std::string lower =
      Write("lower.ACT", "G\r\n 1 \r\n 2 \r\nK\r\n 1 \r\ndone\r\n 1 \r\n 1 \r\n 0 \r\n");
  EXPECT_TRUE(ReadOccupantFile(s, 1, lower, prompt_));
}

TEST_F(ActivityFile, OlderFileEndingAfterStartTimeKeepsTheRest) {
  ScenarioRecord s;
  s.Occupants[3] = Worker();
  const std::string path =
      Write("old.ACT", "Old\r\n 0 \r\n 24 \r\nHome\r\n 1 \r\nDONE\r\n 1.2 \r\n .5 \r\n 6 \r\n");
  ASSERT_TRUE(ReadOccupantFile(s, 3, path, prompt_));
  const OccupantRecord& o = s.Occupants[3];
  EXPECT_EQ(o.StartTime, 6.0f);
  EXPECT_EQ(o.EndTime, 48.0f);
  EXPECT_EQ(o.CycleLength, 24.0f);
  EXPECT_EQ(o.Weight, 70.0f);

  // Ending after CycleLength keeps Lifetime, Population and Weight.
  const std::string mid = Write("mid.ACT", Bytes(path) + " 12 \r\n 6 \r\n");
  ASSERT_TRUE(ReadOccupantFile(s, 3, mid, prompt_));
  EXPECT_EQ(o.EndTime, 12.0f);
  EXPECT_EQ(o.Lifetime, 70.0f);
}

TEST_F(ActivityFile, BrokenFileChangesNothing) {
  ScenarioRecord s;
  s.Occupants[1] = Worker();
  // Ends before StartTime.
  EXPECT_FALSE(ReadOccupantFile(
      s, 1, Write("short.ACT", "X\r\n 0 \r\n 8 \r\nHome\r\n 1 \r\nDONE\r\n 1 \r\n"), prompt_));
  // A 25th entry.
  std::string many = "X\r\n";
  for (int e = 1; e <= 25; ++e) many += " " + std::to_string(e) + " \r\n 1 \r\nA\r\n 0 \r\n";
  EXPECT_FALSE(
      ReadOccupantFile(s, 1, Write("many.ACT", many + "DONE\r\n 1 \r\n 1 \r\n 0 \r\n"), prompt_));
  // No file.
  EXPECT_FALSE(ReadOccupantFile(s, 1, Path("none.ACT"), prompt_));
  EXPECT_EQ(s.Occupants[1].Name, "Worker");
  EXPECT_EQ(s.Occupants[1].Number, 0);
  EXPECT_EQ(s.Occupants[1].TimeEnter[2], 8.0f);
  EXPECT_EQ(Messages(), 3u);
  // An occupant outside 1..3 is never indexed.
  EXPECT_FALSE(ReadOccupantFile(s, 4, Path("none.ACT"), prompt_));
}

}  // namespace
}  // namespace quarn
