#include "model/flow_setup.h"

#include <gtest/gtest.h>

#include "common/scripted_prompt.h"

namespace quarn {
namespace {

using testing::ScriptedPrompt;

BuildingRecord TwoRooms() {
  BuildingRecord b;
  b.NumRooms = 2;
  b.RoomList[1].Volume = 50;
  b.RoomList[2].Volume = 30;
  b.Neighbors[1][2] = kTrue;
  b.Neighbors[2][1] = kTrue;
  b.Scenario.NumPollutants = 2;
  return b;
}

TEST(WorkingFlows, AirChangeRateFlowsNeverReachTheUsersFields) {
  BuildingRecord b = TwoRooms();
  WorkingFlows flows;
  StartWorkingFlows(b.Scenario, flows);
  SetOutdoorFlowsFromACH(b, b.NumRooms, 0.5F, flows);
  // 50 m³ × 0.5/h and 30 m³ × 0.5/h, in and out.
  EXPECT_FLOAT_EQ(flows.natural_from_outdoors[1], 25);
  EXPECT_FLOAT_EQ(flows.natural_to_outdoors[1], 25);
  EXPECT_FLOAT_EQ(flows.natural_from_outdoors[2], 15);
  EXPECT_FLOAT_EQ(flows.natural_to_outdoors[2], 15);
  EXPECT_EQ(flows.natural_to_outdoors[0], 0);  // room 0 is not a room
  EXPECT_EQ(b.Scenario.NaturalFromOutdoors[1], 0);
  EXPECT_EQ(b.Scenario.NaturalToOutdoors[1], 0);

  // So a second run still derives its flows from the (possibly edited) rate.
  RoomPollutant mass{};
  EXPECT_FALSE(ClearResultArrays(mass, b));
}

TEST(WorkingFlows, SystemExhaustAndIntakeOfTheHVACModule) {
  ScenarioRecord s;
  s.HVACOutdoorAirTotal = 30;  // what the system sends outdoors: E
  s.HVACMakeUpTotal = 70;      // what it draws in: O
  WorkingFlows flows;
  StartWorkingFlows(s, flows);
  EXPECT_EQ(flows.hvac_exhaust_total, 30);
  EXPECT_EQ(flows.hvac_intake_total, 70);
}

TEST(ClearResultArrays, StopsAtTheFirstRoomWithNaturalOutflow) {
  BuildingRecord b = TwoRooms();
  RoomPollutant mass{};
  for (auto& room : mass) room.fill(7);
  b.Scenario.NaturalToOutdoors[1] = 10;
  EXPECT_TRUE(ClearResultArrays(mass, b));
  EXPECT_EQ(mass[1][0], 0);
  EXPECT_EQ(mass[1][7], 0);
  EXPECT_EQ(mass[2][0], 7);  // later rooms keep their values

  b.Scenario.NaturalToOutdoors[1] = 0;
  EXPECT_FALSE(ClearResultArrays(mass, b));
  EXPECT_EQ(mass[2][0], 0);
}

TEST(SumRoomFlows, AddsNaturalAndHVACFlowsOfConnectedRooms) {
  BuildingRecord b = TwoRooms();
  b.NumRooms = 3;
  b.RoomList[3].Volume = 10;
  ScenarioRecord& s = b.Scenario;
  s.NaturalFromOutdoors[1] = 10;
  s.NaturalToOutdoors[1] = 9;
  s.HVACOutdoorAir[1] = 5;
  s.HVACExhaust[1] = 3;
  s.NaturalRoomFlows[1][2] = 7;
  s.HVACRoomFlows[1][2] = 4;
  s.NaturalRoomFlows[1][3] = 100;  // rooms 1 and 3 are not neighbours
  WorkingFlows flows;
  StartWorkingFlows(s, flows);
  SumRoomFlows(b, flows);
  EXPECT_FLOAT_EQ(flows.total_from_outdoors[1], 15);     // 10 natural + 5 HVAC outdoor air
  EXPECT_FLOAT_EQ(flows.total_to_outdoors[1], 12);       // 9 natural + 3 HVAC exhaust
  EXPECT_FLOAT_EQ(flows.total_between_rooms[1][2], 11);  // 7 natural + 4 HVAC-driven
  EXPECT_EQ(flows.total_between_rooms[1][3], 0);
}

TEST(CopyScenarioFlows, ManagedSetReplacesTheWorkingFlows) {
  BuildingRecord b = TwoRooms();
  ScenarioRecord& s = b.Scenario;
  s.NaturalFromOutdoors[1] = 99;  // takes no part in the managed period
  s.ManagedSupply[1] = 20;
  s.ManagedReturn[1] = 18;
  s.ManagedFromOutdoors[1] = 6;
  s.ManagedToOutdoors[1] = 8;
  s.ManagedRoomFlows[2][1] = 3;
  s.ManagedRoomFlows[1][2] = 1;
  WorkingFlows flows;
  StartWorkingFlows(s, flows);
  CopyScenarioFlows(b, b.NumRooms, flows);
  EXPECT_EQ(flows.base_hvac_supply[1], 20);
  EXPECT_EQ(flows.base_hvac_return[1], 18);
  EXPECT_EQ(flows.working_hvac_outdoor_air[1], 6);
  EXPECT_EQ(flows.working_hvac_exhaust[1], 8);
  EXPECT_EQ(flows.total_from_outdoors[1], 6);
  EXPECT_EQ(flows.total_to_outdoors[1], 8);
  EXPECT_EQ(flows.flow_matrix[2][1], 3);
  EXPECT_EQ(flows.total_between_rooms[2][1], 3);
  EXPECT_EQ(flows.total_between_rooms[1][2], 1);
  EXPECT_EQ(s.HVACSupply[1], 0);  // the entered HVAC flows are untouched
}

TEST(SetInitialConcentrations, MassIsConcentrationTimesVolume) {
  BuildingRecord b = TwoRooms();
  ScenarioRecord& s = b.Scenario;
  b.RoomList[0].Volume = 1000;
  s.InitialConc[0][1] = 0.5F;
  s.InitialConc[1][0] = 2;
  s.InitialConc[2][1] = 4;
  RoomPollutant mass{}, next{}, conc{};
  SetInitialConcentrations(mass, next, conc, b, b.NumRooms);
  EXPECT_FLOAT_EQ(mass[1][0], 100);  // 2 × 50 m³
  EXPECT_FLOAT_EQ(mass[2][1], 120);  // 4 × 30 m³
  EXPECT_FLOAT_EQ(mass[0][1], 500);  // outdoors, 0.5 × its nominal volume
  EXPECT_EQ(conc[2][1], 4);
  EXPECT_EQ(next[2][1], 4);
  EXPECT_EQ(s.RoomConc[2][1], 4);
  EXPECT_EQ(s.PreviousRoomConc[1][0], 2);
}

TEST(SetupUnitsForCalculation, ConvertsEnteredValuesAndSetsSourceUnits) {
  BuildingRecord b = TwoRooms();
  ScenarioRecord& s = b.Scenario;
  s.NumPollutants = 1;
  s.ConcUnits = "milligrams";
  s.OutdoorConcUnits = "ppm";
  s.InitialConcUnits = "micrograms";
  s.Pollutants[0].Name = "Butanol";
  s.Pollutants[0].MolWt = 49;
  s.OutdoorConcInput[1][0] = 2;     // 2 ppm × 49 / 24.5 = 4 mg/m³
  s.OutdoorConcInput[50][0] = 1;    // 2 mg/m³: every history row is converted
  s.InitialConcInput[1][0] = 1500;  // µg/m³ -> 1.5 mg/m³
  s.InitialConcInput[0][0] = 1500;  // outdoors is not converted
  s.InitialConc[0][0] = 9;
  s.NumSources[1] = 1;
  SourceRecord& spill = s.Sources[1][1];
  spill.Model = 8;
  spill.EmissionUnits = 1;  // µg/h into a mg scenario: × 0.001
  spill.Params[7][0] = 98;  // mg of liquid: 98 / 49 = 2
  s.NumSources[0] = 1;
  s.Sources[0][1].EmissionUnits = 0;

  ScriptedPrompt prompt;
  ASSERT_TRUE(SetupUnitsForCalculation(b, prompt));
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_FLOAT_EQ(s.OutdoorConc[1][0], 4);
  EXPECT_FLOAT_EQ(s.OutdoorConc[50][0], 2);
  EXPECT_FLOAT_EQ(s.InitialConc[1][0], 1.5F);
  EXPECT_EQ(s.InitialConc[0][0], 9);
  EXPECT_EQ(spill.SourceUnitsCode, 0);
  EXPECT_DOUBLE_EQ(spill.UnitFactor, 0.001);
  EXPECT_FLOAT_EQ(spill.ParamPerMole[0], 2);
  EXPECT_DOUBLE_EQ(s.Sources[0][1].UnitFactor, 1.0);  // the HVAC system's sources too

  // In a microgram scenario the same mg/h-source gets 1000.
  s.ConcUnits = "micrograms";
  s.InitialConcUnits = "micrograms";
  s.OutdoorConcUnits = "micrograms";
  ASSERT_TRUE(SetupUnitsForCalculation(b, prompt));
  EXPECT_EQ(s.Sources[0][1].SourceUnitsCode, 1);
  EXPECT_DOUBLE_EQ(s.Sources[0][1].UnitFactor, 1000.0);
  EXPECT_FLOAT_EQ(s.OutdoorConc[1][0], 4);  // same units: nothing converted
}

TEST(SetupUnitsForCalculation, RefusesConversionsWithoutARule) {
  BuildingRecord b = TwoRooms();
  ScenarioRecord& s = b.Scenario;
  s.NumPollutants = 1;
  s.Pollutants[0].Name = "1";
  s.ConcUnits = "ppm";
  s.OutdoorConcUnits = "number";
  s.InitialConcUnits = "ppm";
  ScriptedPrompt prompt;
  EXPECT_FALSE(SetupUnitsForCalculation(b, prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Error.  The outdoor concentrations of pollutant 1 (1) cannot be converted from "
            "number to ppm.  A particle count and ppm have no conversion.");

  // mg to ppm divides by the molecular weight, which the user may have left at 0.
  s.OutdoorConcUnits = "ppm";
  s.InitialConcUnits = "milligrams";
  s.Pollutants[0].MolWt = 0;
  ScriptedPrompt zero;
  EXPECT_FALSE(SetupUnitsForCalculation(b, zero));
  EXPECT_EQ(zero.shown.size(), 1u);

  // A unit that is not set (a fresh scenario) leaves the values as they are.
  s.InitialConcUnits = "";
  s.InitialConc[1][0] = 3;
  ScriptedPrompt unset;
  EXPECT_TRUE(SetupUnitsForCalculation(b, unset));
  EXPECT_EQ(s.InitialConc[1][0], 3);
}

}  // namespace
}  // namespace quarn
