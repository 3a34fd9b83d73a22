#include "model/input_checks.h"

#include <gtest/gtest.h>

#include <limits>

#include "common/scripted_prompt.h"
#include "model/flow_setup.h"

namespace quarn {
namespace {

using testing::ScriptedPrompt;

BuildingRecord Rooms(int count, float volume) {
  BuildingRecord b;
  b.NumRooms = static_cast<int16_t>(count);
  for (int r = 1; r <= count; ++r) b.RoomList[r].Volume = volume;
  return b;
}

// --- Room volumes and pollutants -------------------------------------------------------

TEST(CheckRoomVolumes, StopsAtTheFirstRoomWithoutVolume) {
  BuildingRecord b = Rooms(3, 30);
  b.RoomList[2].Volume = 0;
  b.RoomList[3].Volume = -5;
  ScriptedPrompt prompt;
  EXPECT_FALSE(CheckRoomVolumes(b, prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);  // room 3 is not reported
  EXPECT_EQ(prompt.shown[0].text,
            "Error. Volume of room 2 is <= 0. Please correct before continuing.");
  EXPECT_EQ(prompt.shown[0].title, "");  // the program's default title
  EXPECT_EQ(prompt.shown[0].kind, "message");
  EXPECT_EQ(prompt.shown[0].icon, MessageIcon::None);

  b.RoomList[2].Volume = 10;
  b.RoomList[3].Volume = 10;
  ScriptedPrompt quiet;
  EXPECT_TRUE(CheckRoomVolumes(b, quiet));
  EXPECT_TRUE(quiet.shown.empty());
}

TEST(CheckPollutants, NoPollutants) {
  ScenarioRecord s;
  s.NumPollutants = 0;
  ScriptedPrompt prompt;
  EXPECT_FALSE(CheckPollutants(s, prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, "Error.  No pollutants specified. ");
  EXPECT_EQ(prompt.shown[0].title, "");
  EXPECT_EQ(prompt.shown[0].kind, "message");
  EXPECT_EQ(prompt.shown[0].icon, MessageIcon::None);
}

TEST(CheckPollutants, ZeroOrNegativeMolecularWeightAsksTheUser) {
  ScenarioRecord s;
  s.PollutantClass = "VOC";
  s.NumPollutants = 3;
  s.Pollutants[0].Name = "Toluene";
  s.Pollutants[0].MolWt = 92.14F;
  s.Pollutants[1].Name = "Xylene";
  s.Pollutants[1].MolWt = 0;
  s.Pollutants[2].Name = "Odd";
  s.Pollutants[2].MolWt = -1;

  ScriptedPrompt yes;  // answers Yes to everything
  EXPECT_TRUE(CheckPollutants(s, yes));
  ASSERT_EQ(yes.Count("yesno"), 2u);
  EXPECT_EQ(yes.shown[0].text,
            "Error in input.  Molecular weight of pollutant Xylene is 0.  Is this OK? ");
  EXPECT_EQ(yes.shown[1].text,
            "Error in input.  Molecular weight of pollutant Odd is 0.  Is this OK? ");
  EXPECT_EQ(yes.shown[0].title, "");
  EXPECT_EQ(yes.shown[0].icon, MessageIcon::None);

  ScriptedPrompt no;
  no.answers = {Answer::No};
  EXPECT_FALSE(CheckPollutants(s, no));
  EXPECT_EQ(no.shown.size(), 1u);  // stops at the first refusal
}

TEST(CheckPollutants, OnlyUpperCasePMIsParticleMode) {
  ScenarioRecord s;
  s.NumPollutants = 1;
  s.Pollutants[0].Name = "2.5";
  s.Pollutants[0].MolWt = 0;

  s.PollutantClass = "PM2.5";
  ScriptedPrompt particles;
  EXPECT_TRUE(CheckPollutants(s, particles));
  EXPECT_TRUE(particles.shown.empty());

  s.PollutantClass = "pm2.5";
  ScriptedPrompt lower;
  lower.answers = {Answer::No};
  EXPECT_FALSE(CheckPollutants(s, lower));
  ASSERT_EQ(lower.shown.size(), 1u);
  EXPECT_EQ(lower.shown[0].text,
            "Error in input.  Molecular weight of pollutant 2.5 is 0.  Is this OK? ");
}

// --- Flow balance ----------------------------------------------------------------------

struct Balance {
  BuildingRecord b = Rooms(2, 50);
  WorkingFlows flows;
  ScriptedPrompt prompt;
  bool Check() {
    StartWorkingFlows(b.Scenario, flows);
    return CheckFlowBalance(b, flows, prompt);
  }
  void Connect(int i, int j) {
    b.Neighbors[i][j] = kTrue;
    b.Neighbors[j][i] = kTrue;
  }
};

// The whole text, or its start when `starts` is set.
void ExpectBalanceMessage(const ScriptedPrompt::Shown& shown, const std::string& text,
                          bool starts = false) {
  EXPECT_EQ(starts ? shown.text.substr(0, text.size()) : shown.text, text);
  EXPECT_EQ(shown.title, "Flows do not balance.");
  EXPECT_EQ(shown.icon, MessageIcon::Critical);
}

TEST(CheckFlowBalance, TotalToleranceIsOnePercentOfTheInflow) {
  Balance pass;
  pass.b.NumRooms = 1;
  pass.b.Scenario.NaturalFromOutdoors[1] = 100;
  pass.b.Scenario.NaturalToOutdoors[1] = 100.9F;  // 0.9 %
  EXPECT_TRUE(pass.Check());
  EXPECT_TRUE(pass.prompt.shown.empty());

  Balance fail;
  fail.b.NumRooms = 1;
  fail.b.Scenario.NaturalFromOutdoors[1] = 100;
  fail.b.Scenario.NaturalToOutdoors[1] = 101.5F;  // 1.5 %
  EXPECT_FALSE(fail.Check());
  ASSERT_EQ(fail.prompt.shown.size(), 1u);  // the total fails first; no room messages
  ExpectBalanceMessage(fail.prompt.shown[0],
                       "Total Natural outdoor flows do not balance.  100 m\xB3/h come in from "
                       "outdoors and 101.5 m\xB3/h go out.  Please correct.");
}

// Room 1 takes 100 from outdoors and passes F to room 2, which sends 100 outdoors: the
// totals balance, the rooms only when F is within 1 % of their inflow.
TEST(CheckFlowBalance, EveryUnbalancedRoomIsReportedAndTheHVACSetIsNotChecked) {
  for (float f : {100.9F, 101.5F}) {
    Balance t;
    t.b.RoomList[1].Name = "Kitchen";
    t.Connect(1, 2);
    t.b.Scenario.NaturalFromOutdoors[1] = 100;
    t.b.Scenario.NaturalRoomFlows[1][2] = f;
    t.b.Scenario.NaturalToOutdoors[2] = 100;
    t.b.Scenario.HVACOutdoorAir[1] = 50;  // an HVAC set that does not balance at all
    const bool ok = t.Check();
    if (f < 101) {
      // Room 1: 0.9/100; room 2: 0.9/100.9. Both pass, so the HVAC total fails next.
      EXPECT_FALSE(ok);
      ASSERT_EQ(t.prompt.shown.size(), 1u);
      ExpectBalanceMessage(t.prompt.shown[0],
                           "HVAC driven total outdoor flows do not balance.  50 m\xB3/h come in "
                           "from outdoors and 0 m\xB3/h go out.  Please correct.");
    } else {
      // Room 1: 1.5/100; room 2: 1.5/101.5 = 1.48 %. Two messages, then stop.
      EXPECT_FALSE(ok);
      ASSERT_EQ(t.prompt.shown.size(), 2u);
      ExpectBalanceMessage(t.prompt.shown[0],
                           "Natural Flows for room 1 (Kitchen) do not balance.  100 m\xB3/h enter "
                           "it and 101.5 m\xB3/h leave it.  Please correct.");
      ExpectBalanceMessage(t.prompt.shown[1],
                           "Natural Flows for room 2 do not balance.  101.5 m\xB3/h enter it and "
                           "100 m\xB3/h leave it.  Please correct.");
    }
  }
}

TEST(CheckFlowBalance, UnconnectedPairsCarryNothing) {
  Balance t;
  for (int r = 1; r <= 2; ++r) {
    t.b.Scenario.NaturalFromOutdoors[r] = 50;
    t.b.Scenario.NaturalToOutdoors[r] = 50;
  }
  t.b.Scenario.NaturalRoomFlows[1][2] = 1000;  // rooms 1 and 2 are not neighbours
  EXPECT_TRUE(t.Check());
  EXPECT_TRUE(t.prompt.shown.empty());

  Balance connected = t;
  connected.prompt.shown.clear();
  connected.Connect(1, 2);
  EXPECT_FALSE(connected.Check());  // room 1: in 50, out 1050; room 2: in 1050, out 50
  EXPECT_EQ(connected.prompt.shown.size(), 2u);
}

TEST(CheckFlowBalance, HVACSetIncludesTheSystemTotalsAndMarksHVACInUse) {
  Balance t;
  t.b.NumRooms = 1;
  ScenarioRecord& s = t.b.Scenario;
  s.HVACSupply[1] = 200;
  s.HVACReturn[1] = 200;
  s.HVACMakeUpTotal = 40;      // system intake, counted as inflow
  s.HVACOutdoorAirTotal = 40;  // system exhaust, counted as outflow
  EXPECT_TRUE(t.Check());
  EXPECT_EQ(t.flows.hvac_in_use, true);

  s.HVACOutdoorAirTotal = 0;
  Balance total = t;
  total.prompt.shown.clear();
  EXPECT_FALSE(total.Check());
  ExpectBalanceMessage(total.prompt.shown.at(0), "HVAC driven total outdoor flows do not balance.",
                       true);

  s.HVACOutdoorAirTotal = 40;
  s.HVACReturn[1] = 150;  // 50 of 200 unaccounted for
  Balance room = t;
  room.prompt.shown.clear();
  EXPECT_FALSE(room.Check());
  ASSERT_EQ(room.prompt.shown.size(), 1u);
  ExpectBalanceMessage(room.prompt.shown[0],
                       "HVAC driven flows for room 1 do not balance.  200 m\xB3/h enter it and "
                       "150 m\xB3/h leave it.  Please correct.");

  // The user's fields are only read.
  EXPECT_EQ(s.HVACInUse, 0);
}

// HVACOutdoorAirTotal is what the system sends outdoors and HVACMakeUpTotal what it draws
// in, whatever their names say. Room 1 takes 40 of outdoor air straight in, supplies 200 and
// returns 240; the system lets the 40 out again: balanced only when the system's total counts
// as air leaving.
TEST(CheckFlowBalance, SystemExhaustCountsAsAirLeaving) {
  Balance t;
  t.b.NumRooms = 1;
  ScenarioRecord& s = t.b.Scenario;
  s.HVACOutdoorAir[1] = 40;
  s.HVACSupply[1] = 200;
  s.HVACReturn[1] = 240;
  s.HVACOutdoorAirTotal = 40;
  EXPECT_TRUE(t.Check());
  EXPECT_TRUE(t.prompt.shown.empty());

  s.HVACOutdoorAirTotal = 0;
  s.HVACMakeUpTotal = 40;  // a second intake instead: 80 in, nothing out
  EXPECT_FALSE(t.Check());
  ASSERT_EQ(t.prompt.shown.size(), 1u);
  ExpectBalanceMessage(t.prompt.shown[0], "HVAC driven total outdoor flows do not balance.", true);
}

TEST(CheckFlowBalance, ManagedSetOnlyWhenInUse) {
  Balance t;
  ManagedIntakeTotal(t.b.Scenario) = 100;  // managed system takes in 100 and lets out nothing
  t.b.Scenario.ManagedFlowFlag = "N";
  EXPECT_TRUE(t.Check());
  EXPECT_TRUE(t.prompt.shown.empty());

  t.b.Scenario.ManagedFlowFlag = "Y";
  EXPECT_FALSE(t.Check());
  ASSERT_EQ(t.prompt.shown.size(), 1u);
  ExpectBalanceMessage(t.prompt.shown[0], "Managed  total outdoor flows do not balance.", true);

  ManagedExhaustTotal(t.b.Scenario) = 100;
  t.b.Scenario.ManagedSupply[2] = 30;
  t.prompt.shown.clear();
  EXPECT_FALSE(t.Check());
  ASSERT_EQ(t.prompt.shown.size(), 1u);
  ExpectBalanceMessage(t.prompt.shown[0],
                       "Managed flows for room 2 do not balance.  30 m\xB3/h enter it and 0 "
                       "m\xB3/h leave it.  Please correct.");
}

TEST(CheckFlowBalance, DerivedNaturalFlowsAreChecked) {
  Balance t;
  StartWorkingFlows(t.b.Scenario, t.flows);
  t.flows.natural_from_outdoors[1] = 100;  // as if derived for the run, out of balance
  EXPECT_FALSE(CheckFlowBalance(t.b, t.flows, t.prompt));
  EXPECT_EQ(t.prompt.shown.at(0).text,
            "Total Natural outdoor flows do not balance.  100 m\xB3/h come in from outdoors and 0 "
            "m\xB3/h go out.  Please correct.");
}

// What the natural-flow windows warn of at Transfer: each room that does not balance, with
// what enters and leaves it.
TEST(CheckFlowBalance, NaturalImbalancesNameTheRoomsAndTheirFlows) {
  Balance t;
  t.Connect(1, 2);
  t.b.RoomList[2].Name = "Bath";
  PerRoom<float> in{0, 100, 0};
  PerRoom<float> out{0, 0, 80};
  RoomMatrix rooms{};
  rooms[1][2] = 100;
  EXPECT_EQ(NaturalImbalanceQuestion(t.b, NaturalFlowImbalances(t.b, in, out, rooms)),
            "Warning.  The natural flows do not balance: room 2 (Bath), 100 m\xB3/h enter and 80 "
            "m\xB3/h leave.  The run will refuse them.  Do you wish to transfer them as they are?");
  out[2] = 100.5F;
  EXPECT_TRUE(NaturalFlowImbalances(t.b, in, out, rooms).empty());
}

TEST(CheckFlowBalance, FlowsWithoutValueRefuseTheRun) {
  Balance t;
  t.b.Scenario.NaturalFromOutdoors[1] = std::numeric_limits<float>::infinity();
  t.b.Scenario.NaturalToOutdoors[1] = std::numeric_limits<float>::infinity();
  EXPECT_FALSE(t.Check());
  ASSERT_EQ(t.prompt.shown.size(), 1u);
  EXPECT_EQ(t.prompt.shown[0].text, "Error check data input");
  EXPECT_EQ(t.prompt.shown[0].title, "Error");
  EXPECT_EQ(t.prompt.shown[0].kind, "message");
}

}  // namespace
}  // namespace quarn
