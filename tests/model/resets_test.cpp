#include "model/resets.h"

#include <gtest/gtest.h>

#include <memory>

#include "common/scripted_prompt.h"
#include "model/not_implemented.h"
#include "text/number_read.h"

namespace quarn {
namespace {

std::unique_ptr<ProgramState> NewState() {
  return std::make_unique<ProgramState>();
}

// Fills room r of the scenario with the kind of data a user enters.
void FillRoom(ProgramState& st, int r) {
  ScenarioRecord& sc = st.Building.Scenario;
  st.Building.RoomList[r].Name = "Kitchen";
  st.Building.RoomList[r].Volume = 30;
  st.Building.Neighbors[r][1] = kTrue;
  sc.NumSources[r] = 2;
  SourceRecord& s = sc.Sources[r][1];
  s.Name = "Stove";
  s.Model = 4;
  s.EmissionUnits = 2;
  s.GasVelocity = 7;
  s.TotalMass = 12;
  s.RawParam3[0] = 0.4f;
  s.Params[3][1] = 2.5f;
  s.NumCycles = 2;
  s.TimeOn[1] = 1;
  s.CycleRepeats = "D";
  sc.NumSinks[r] = 1;
  sc.Sinks[r][1].Name = "Carpet";
  sc.Sinks[r][1].Area = 20;
  sc.Sinks[r][1].ka[0] = 0.3f;
  sc.HVACSupply[r] = 50;
  sc.HVACReturn[r] = 40;
  sc.NaturalRoomFlows[r][1] = 9;
  sc.NaturalRoomFlows[1][r] = 8;
  sc.ManagedSupply[r] = 3;
  sc.AirCleanerEff[r] = 60;
  sc.InitialConc[r][0] = 1.5f;
  sc.InitialConcInput[r][0] = 1500;
}

// A used model: 13 rooms, 3 pollutants, occupants with schedules, flags set.
void FillModel(ProgramState& st) {
  BuildingRecord& b = st.Building;
  ScenarioRecord& sc = b.Scenario;
  b.NumRooms = 13;
  b.ID = "House";
  b.MasterFile = "HOUSE";
  b.ScenarioNumber = 4;
  b.ConcWorkFile = "/tmp/DudeDirav/HOUSESEN.TMP";
  b.DisplayUnitCode = 1;
  for (int r = 1; r <= 13; ++r) FillRoom(st, r);
  sc.Sources[0][1].Name = "Duct";
  sc.Sources[0][1].EmissionUnits = 1;
  sc.Name = "Winter";
  sc.NumPollutants = 3;
  sc.ConcUnits = "milligrams";
  sc.PollutantClass = "VOC";
  sc.YearsSimulated = 2;
  sc.RunSetting1 = 7;
  sc.StepSize = 0.02f;
  sc.ConstantACH = "N";
  sc.ConstantHVAC = "N";
  sc.ConstantOutdoorConc = "N";
  sc.VentScheduleFlag = "N";
  sc.OutdoorConc[2][1] = 0.7f;
  sc.OutdoorConcTime[2] = 5;
  sc.OutdoorConcInput[2][1] = 700;
  for (int p = 0; p < 8; ++p) {
    sc.Pollutants[p].Name = "Toluene";
    sc.Pollutants[p].MolWt = 92;
    sc.Pollutants[p].Diameter = 2.5f;
    for (int k = 0; k < 5; ++k) sc.FilterPenetration[k][p] = 0.25f;
  }
  sc.NumOccupants = 2;
  for (int o = 0; o <= 3; ++o) {
    OccupantRecord& occ = sc.Occupants[o];
    occ.Name = "Ann";
    occ.BreathingRate = 2;
    occ.CycleLength = 48;
    occ.TimeEnter[1] = 3;
    occ.Location[1] = "Kitchen";
    occ.LocationRoom[1] = 13;
    occ.Dose[0] = 4;
    occ.AbsorbedMass = 6;
    occ.InstExposureFile = "x.EMP";
  }
  st.MaxConcentration = 300;
  SetSavedFlags(st);
  st.BuildingSaved = true;
  st.RoomsSaved = true;
}

void ExpectFreshSource(const SourceRecord& s) {
  EXPECT_EQ(s.Name, "");
  EXPECT_EQ(s.Model, 1);
  EXPECT_EQ(s.EmissionUnits, 0);
  EXPECT_EQ(s.GasVelocity, 0);
  EXPECT_EQ(s.TotalMass, 0);
  EXPECT_EQ(s.RawParam3[0], 0);
  EXPECT_EQ(s.Params[3][1], 0);
  EXPECT_EQ(s.NumCycles, 0);
  EXPECT_EQ(s.TimeOn[1], 0);
  EXPECT_EQ(s.CycleRepeats.str(), " ");
}

void ExpectEmptyRoomSlot(const ProgramState& st, int r) {
  const ScenarioRecord& sc = st.Building.Scenario;
  for (int slot = 0; slot <= kMaxSources; ++slot) ExpectFreshSource(sc.Sources[r][slot]);
  EXPECT_EQ(sc.NumSources[r], 0);
  EXPECT_EQ(sc.NumSinks[r], 0);
  EXPECT_EQ(sc.Sinks[r][1].Name, "");
  EXPECT_EQ(sc.Sinks[r][1].Area, 0);
  EXPECT_EQ(sc.Sinks[r][1].ka[0], 0);
  EXPECT_EQ(sc.HVACSupply[r], 0);
  EXPECT_EQ(sc.BaseHVACSupply[r], 0);
  EXPECT_EQ(sc.HVACReturn[r], 0);
  EXPECT_EQ(sc.NaturalRoomFlows[r][1], 0);
  EXPECT_EQ(sc.NaturalRoomFlows[1][r], 0);
  EXPECT_EQ(sc.ManagedSupply[r], 0);
  EXPECT_EQ(sc.AirCleanerEff[r], 0);
  EXPECT_EQ(sc.InitialConc[r][0], 0);
  EXPECT_EQ(sc.InitialConcInput[r][0], 0);
}

void ExpectSavedFlags(const ProgramState& st, bool v) {
  for (bool f : {st.SourcesSaved, st.SinksSaved, st.OccupantsSaved, st.RoomFlowsSaved,
                 st.VentilationSaved, st.ScenarioSaved})
    EXPECT_EQ(f, v);
}

TEST(NewBuilding, GivesAnEmptyOneRoomModelWithEveryFlagCleared) {
  auto st = NewState();
  FillModel(*st);
  NewBuilding(*st);
  const BuildingRecord& b = st->Building;
  EXPECT_EQ(b.NumRooms, 1);
  EXPECT_EQ(b.MasterFile, "Temp");
  EXPECT_EQ(b.ID, "");
  EXPECT_EQ(b.RoomList[5].HVAC, 5);
  EXPECT_EQ(b.RoomList[5].Name, "");
  EXPECT_EQ(b.RoomList[1].Volume, 0);
  EXPECT_EQ(b.SpareCount, 1);
  EXPECT_EQ(b.Scenario.StepSize, 0.1f);
  EXPECT_EQ(b.Scenario.RunSetting1, 0.1f);
  EXPECT_EQ(b.Scenario.NumOccupants, 0);
  EXPECT_EQ(st->MaxConcentration, 20);
  ExpectSavedFlags(*st, false);
  EXPECT_EQ(st->BuildingSaved, 0);
  EXPECT_EQ(st->RoomsSaved, 0);
  // Not building content: the last work file and the result display stay.
  EXPECT_EQ(b.ScenarioNumber, 4);
  EXPECT_EQ(b.ConcWorkFile, "/tmp/DudeDirav/HOUSESEN.TMP");
  EXPECT_EQ(b.DisplayUnitCode, 1);
}

TEST(NewBuilding, LeavesNothingOfTheOldBuildingInAnySlot) {
  auto st = NewState();
  FillModel(*st);
  NewBuilding(*st);
  // The user sets 13 rooms again: none of them may bring back the old data.
  st->Building.NumRooms = 13;
  const ScenarioRecord& sc = st->Building.Scenario;
  for (int r = 0; r <= 13; ++r) {
    SCOPED_TRACE(r);
    ExpectEmptyRoomSlot(*st, r);
    EXPECT_EQ(st->Building.Neighbors[r][1], 0);
  }
  for (int p = 0; p < 8; ++p) {
    EXPECT_EQ(sc.Pollutants[p].Name, "");
    EXPECT_EQ(sc.Pollutants[p].Diameter, 0);
    EXPECT_EQ(sc.BuildingPenetration[p], 1.0f);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(sc.FilterPenetration[k][p], 1.0f);  // no filter
    EXPECT_EQ(st->ParticleDiameters[p], 0);
  }
  EXPECT_EQ(sc.OutdoorConc[2][1], 0);
  EXPECT_EQ(sc.OutdoorConcInput[2][1], 0);
  EXPECT_EQ(sc.NumPollutants, 0);
  EXPECT_EQ(sc.ConcUnits, "");
  for (int o = 0; o <= 3; ++o) {
    const OccupantRecord& occ = sc.Occupants[o];
    EXPECT_EQ(occ.Number, o);
    EXPECT_EQ(occ.BreathingRate, 0.833f);
    EXPECT_EQ(occ.CycleLength, 0);
    EXPECT_EQ(occ.TimeEnter[1], 0);
    EXPECT_EQ(occ.Location[1], "");
    EXPECT_EQ(occ.InstExposureFile, "");
    EXPECT_EQ(occ.AbsorbedMass, 0);
  }
}

TEST(ScenarioEditorNew, GivesTheStartValues) {
  auto st = NewState();
  FillModel(*st);
  st->Building.NumRooms = 3;
  ClearScenario(*st);
  InitializeScenario(*st);
  const ScenarioRecord& sc = st->Building.Scenario;
  // Written by both: InitializeScenario's value stays.
  EXPECT_EQ(sc.RunSetting1, 0.1f);
  for (int o = 0; o <= 3; ++o) {
    EXPECT_EQ(sc.Occupants[o].BreathingRate, 0.833f);
    EXPECT_EQ(sc.Occupants[o].EfficiencyFactor, 1.0f);
    EXPECT_EQ(sc.Occupants[o].EndTime, 0);
    EXPECT_EQ(sc.Occupants[o].Weight, 74);
    EXPECT_EQ(sc.Occupants[o].Lifetime, 75);
    EXPECT_EQ(sc.Occupants[o].AveragingTime, 24);
    EXPECT_EQ(sc.Occupants[o].Number, o);
    EXPECT_EQ(sc.Occupants[o].Dose[0], 0);
  }
  EXPECT_EQ(sc.VentScheduleFlag.str(), "0");
  EXPECT_EQ(sc.ConstantACH.str(), "Y");
  EXPECT_EQ(sc.ConstantOutdoorConc.str(), "Y");
  EXPECT_EQ(sc.ConstantHVAC.str(), "Y");
  EXPECT_EQ(sc.StepSize, 0.1f);
  EXPECT_EQ(sc.RunSetting2, 2);
  EXPECT_EQ(sc.PenetrationDefault, 1.0f);
  EXPECT_EQ(sc.NumOccupants, 0);
  // Written only by ClearScenario.
  EXPECT_EQ(sc.YearsSimulated, 0);
  EXPECT_EQ(sc.RunLabel, "TEMP");
  for (int p = 0; p < 3; ++p) {
    for (int k = 0; k <= 3; ++k) EXPECT_EQ(sc.FilterPenetration[k][p], 1.0f);
    EXPECT_EQ(sc.FilterPenetration[4][p], 0.25f);  // position 4 is kept
  }
  EXPECT_EQ(sc.FilterPenetration[0][3], 0.25f);  // beyond NumPollutants
  for (int o = 1; o <= 3; ++o) {
    EXPECT_EQ(sc.Occupants[o].TimeEnter[1], 0);
    EXPECT_EQ(sc.Occupants[o].Location[1], "");
  }
  EXPECT_EQ(sc.Occupants[0].Location[1], "Kitchen");  // entry 0 is not cleared
  for (int r = 1; r <= 3; ++r) {
    EXPECT_EQ(sc.AirCleanerEff[r], 0);
    EXPECT_EQ(sc.HVACSupply[r], 0);
    EXPECT_EQ(sc.BaseHVACSupply[r], 0);
    EXPECT_EQ(sc.NumSources[r], 0);
    EXPECT_EQ(sc.InitialConc[r][0], 0);
    EXPECT_EQ(sc.InitialConcInput[r][0], 0);
  }
  ExpectSavedFlags(*st, false);
  EXPECT_EQ(st->BuildingSaved, true);
  EXPECT_EQ(st->RoomsSaved, true);
}

TEST(ScenarioEditorNew, KeepsWhatTheResetsKeep) {
  auto st = NewState();
  FillModel(*st);
  st->Building.NumRooms = 3;
  ClearScenario(*st);
  InitializeScenario(*st);
  const ScenarioRecord& sc = st->Building.Scenario;
  EXPECT_EQ(sc.ConcUnits, "milligrams");
  EXPECT_EQ(sc.PollutantClass.str(), "VOC     ");
  EXPECT_EQ(sc.NumPollutants, 3);
  EXPECT_EQ(sc.OutdoorConc[2][1], 0.7f);  // the history stays, only its times go
  EXPECT_EQ(sc.OutdoorConcTime[2], 0);
  EXPECT_EQ(sc.OutdoorConcInput[2][1], 0);
  EXPECT_EQ(sc.Pollutants[1].Name, "");
  EXPECT_EQ(sc.Pollutants[1].MolWt, 0);
  EXPECT_EQ(sc.Pollutants[1].Diameter, 2.5f);
  EXPECT_EQ(sc.Occupants[1].CycleLength, 48);
  EXPECT_EQ(sc.Occupants[2].InstExposureFile, "x.EMP");
  // A source slot of a room in use keeps what the user typed about the product.
  const SourceRecord& s = sc.Sources[2][1];
  EXPECT_EQ(s.Name, "");
  EXPECT_EQ(s.Model, 1);
  EXPECT_EQ(s.Params[3][1], 0);
  EXPECT_EQ(s.CycleRepeats.str(), " ");
  EXPECT_EQ(s.EmissionUnits, 2);
  EXPECT_EQ(s.GasVelocity, 7);
  EXPECT_EQ(s.TotalMass, 12);
  EXPECT_EQ(s.RawParam3[0], 0.4f);
  EXPECT_EQ(sc.Sources[0][1].EmissionUnits, 1);
  EXPECT_EQ(sc.Sources[0][1].Name, "");
  // Sinks of rooms in use stay as records; only the count goes.
  EXPECT_EQ(sc.Sinks[2][1].Name, "Carpet");
  EXPECT_EQ(sc.NumSinks[2], 0);
  // The building is not the scenario editor's business.
  EXPECT_EQ(st->Building.RoomList[2].Name, "Kitchen");
  EXPECT_EQ(st->Building.NumRooms, 3);
}

TEST(ScenarioEditorNew, ClearsEverythingOfTheRoomsAboveTheCount) {
  auto st = NewState();
  FillModel(*st);
  st->Building.NumRooms = 3;
  ClearScenario(*st);
  InitializeScenario(*st);
  for (int r = 4; r <= 13; ++r) {
    SCOPED_TRACE(r);
    ExpectEmptyRoomSlot(*st, r);
  }
  // The flow of a room in use towards a room that is gone goes too.
  EXPECT_EQ(st->Building.Scenario.NaturalRoomFlows[2][5], 0);
  EXPECT_EQ(st->Building.Scenario.NaturalRoomFlows[0][5], 0);
}

TEST(Resets, RoomCountsAtTheEdges) {
  auto st = NewState();
  ScenarioRecord& sc = st->Building.Scenario;
  sc.NumSources[1] = 3;
  sc.HVACSupply[1] = 10;
  sc.Sources[0][2].Name = "Duct";
  sc.Sources[1][2].Name = "Stove";
  InitializeRoomFlows(sc, 0);
  EXPECT_EQ(sc.NumSources[1], 3);
  EXPECT_EQ(sc.BaseHVACSupply[1], 0);
  InitializeSources(sc, 0);
  EXPECT_EQ(sc.Sources[0][2].Name, "");  // the HVAC system's sources
  EXPECT_EQ(sc.Sources[0][2].Model, 1);
  EXPECT_EQ(sc.Sources[1][2].Name, "Stove");

  InitializeRoomFlows(sc, 1);
  EXPECT_EQ(sc.NumSources[1], 0);
  EXPECT_EQ(sc.BaseHVACSupply[1], 10);  // the flows in force start from the entered ones

  // A damaged count never runs past the arrays.
  sc.Sources[13][3].Name = "Oven";
  InitializeSources(sc, 200);
  InitializeRoomFlows(sc, -5);
  EXPECT_EQ(sc.Sources[13][3].Name, "");
  st->Building.NumRooms = 99;
  sc.NumPollutants = 40;
  ClearBuilding(*st);
  EXPECT_EQ(st->Building.NumRooms, 0);
}

TEST(Resets, InitializeBuildingKeepsNeighborsAndTheScenario) {
  auto st = NewState();
  FillModel(*st);
  InitializeBuilding(st->Building);
  EXPECT_EQ(st->Building.Neighbors[4][1], kTrue);
  EXPECT_EQ(st->Building.Scenario.Name, "Winter");
  EXPECT_EQ(st->Building.RoomList[0].HVAC, 0);
  EXPECT_EQ(st->Building.RoomList[13].HVAC, 13);
  EXPECT_EQ(st->Building.ConcWorkFile, "/tmp/DudeDirav/HOUSESEN.TMP");
}

TEST(Resets, ClearBuildingEmptiesRoomsInUseOnly) {
  auto st = NewState();
  FillModel(*st);
  st->Building.NumRooms = 4;
  st->Building.RoomList[0].Name = "Outdoors";
  st->Building.RoomList[5].HVAC = 7;
  ClearBuilding(*st);
  const BuildingRecord& b = st->Building;
  EXPECT_EQ(b.NumRooms, 0);
  EXPECT_EQ(b.MasterFile, "");
  EXPECT_EQ(b.ID, "");
  EXPECT_EQ(b.RoomList[4].Name, "");
  EXPECT_EQ(b.RoomList[4].HVAC, 0);
  EXPECT_EQ(b.RoomList[4].Volume, 0);
  EXPECT_EQ(b.RoomList[0].Name, "Outdoors");
  EXPECT_EQ(b.RoomList[5].HVAC, 7);
  EXPECT_EQ(b.Neighbors[4][1], kTrue);
  EXPECT_EQ(b.Scenario.RunSetting1, 1.1f);
  EXPECT_EQ(b.Scenario.Occupants[1].EndTime, 1.0e9f);
}

TEST(Resets, SavedFlagsLeaveBuildingAndRoomFlags) {
  auto st = NewState();
  st->BuildingSaved = false;
  st->RoomsSaved = false;
  SetSavedFlags(*st);
  ExpectSavedFlags(*st, true);
  EXPECT_EQ(st->BuildingSaved, 0);
  EXPECT_EQ(st->RoomsSaved, 0);
  st->BuildingSaved = true;
  st->RoomsSaved = true;
  ClearSavedFlags(*st);
  ExpectSavedFlags(*st, false);
  EXPECT_EQ(st->BuildingSaved, true);
  EXPECT_EQ(st->RoomsSaved, true);
}

TEST(Resets, InitializeScenarioClearsTheHvacArraysAndKeepsTheSchedules) {
  auto st = NewState();
  ScenarioRecord& sc = st->Building.Scenario;
  st->Building.NumRooms = 2;
  sc.NumPollutants = 2;
  // Cleared by the arrays step over every slot 0..13, whatever the room count.
  sc.HVACRoomFlows[0][13] = 3;
  sc.FlowMatrix[13][0] = 3;
  sc.HVACExhaust[13] = 3;
  sc.HVACOutdoorAir[0] = 3;
  sc.WorkingHVACOutdoorAir[13] = 3;
  sc.HVACHistoryFraction[50] = 0.5f;
  sc.HVACFilterType = 4;
  sc.HVACMakeUpTotal = 9;
  sc.AirborneMass[7] = 2;
  sc.InitialConcUnits = "ppm";
  // Kept: the schedules, the outdoor-air total, the other run totals, the units.
  sc.HVACHistoryTime[3] = 7;
  sc.VentRate[2] = 5;
  sc.VentTime[2] = 4;
  sc.HVACOutdoorAirTotal = 9;
  sc.LeavingMass[7] = 2;
  sc.OutdoorConcUnits = "micrograms";
  sc.HoursSimulated = 48;
  InitializeScenario(*st);
  EXPECT_EQ(sc.HVACRoomFlows[0][13], 0);
  EXPECT_EQ(sc.FlowMatrix[13][0], 0);
  EXPECT_EQ(sc.HVACExhaust[13], 0);
  EXPECT_EQ(sc.HVACOutdoorAir[0], 0);
  EXPECT_EQ(sc.WorkingHVACOutdoorAir[13], 0);
  EXPECT_EQ(sc.HVACHistoryFraction[50], 0);
  EXPECT_EQ(sc.HVACFilterType, 0);
  EXPECT_EQ(sc.HVACMakeUpTotal, 0);
  EXPECT_EQ(sc.AirborneMass[7], 0);
  EXPECT_EQ(sc.InitialConcUnits, "");
  EXPECT_EQ(sc.HVACHistoryTime[3], 7);
  EXPECT_EQ(sc.VentRate[2], 5);
  EXPECT_EQ(sc.VentTime[2], 4);
  EXPECT_EQ(sc.HVACOutdoorAirTotal, 9);
  EXPECT_EQ(sc.LeavingMass[7], 2);
  EXPECT_EQ(sc.OutdoorConcUnits, "micrograms");
  EXPECT_EQ(sc.HoursSimulated, 48);
}

TEST(Resets, RoomFlowsAndConcentrationsOfRoomsInUseOnly) {
  auto st = NewState();
  ScenarioRecord& sc = st->Building.Scenario;
  sc.NumPollutants = 2;
  for (int r = 0; r <= 3; ++r) {
    sc.NaturalToOutdoors[r] = sc.WorkingHVACExhaust[r] = sc.LossCoefficient[r] = 4;
    sc.InitialConc[r][7] = 4;
    sc.InitialConcInput[r][7] = 4000;
    for (int j = 0; j <= 3; ++j) sc.NaturalRoomFlows[r][j] = 6;
    for (int p = 0; p < 8; ++p) sc.RoomPollutantWork[r][p] = 8;
  }
  InitializeRoomFlows(sc, 2);
  InitializePollutants(sc, 2);
  // Rooms 1 and 2, with each other: cleared.
  EXPECT_EQ(sc.NaturalToOutdoors[2], 0);
  EXPECT_EQ(sc.WorkingHVACExhaust[1], 0);
  EXPECT_EQ(sc.LossCoefficient[2], 0);
  EXPECT_EQ(sc.NaturalRoomFlows[1][2], 0);
  EXPECT_EQ(sc.NaturalRoomFlows[2][1], 0);
  EXPECT_EQ(sc.RoomPollutantWork[2][1], 0);
  EXPECT_EQ(sc.InitialConc[2][7], 0);  // every pollutant slot, not only those in use
  EXPECT_EQ(sc.InitialConcInput[1][7], 0);
  // Outdoors, room 3 and a room's flow to itself: kept.
  EXPECT_EQ(sc.NaturalToOutdoors[0], 4);
  EXPECT_EQ(sc.NaturalToOutdoors[3], 4);
  EXPECT_EQ(sc.NaturalRoomFlows[1][1], 6);
  EXPECT_EQ(sc.NaturalRoomFlows[0][1], 6);
  EXPECT_EQ(sc.NaturalRoomFlows[1][3], 6);
  EXPECT_EQ(sc.RoomPollutantWork[1][2], 8);  // beyond the pollutants in use
  EXPECT_EQ(sc.InitialConc[0][7], 4);
  EXPECT_EQ(sc.InitialConc[3][7], 4);
  EXPECT_EQ(sc.InitialConcInput[3][7], 4000);
}

TEST(Resets, SourceResetKeepsWhatTheUserTypedAboutTheProduct) {
  ScenarioRecord sc;
  SourceRecord& s = sc.Sources[2][3];
  s.UnitFactor = 1000;
  s.SourceUnitsCode = 2;
  s.TotalMoles = 5;
  s.ModelWork2[7] = 1;
  s.Params[10][7] = 1;
  s.TimeOff[5] = 9;
  s.ScaledMass = 1;
  s.SourceFactor = 1;
  s.SourceValue = 1;
  s.SpillArea = 1;
  s.SourceAge = 1;
  s.CurrentTime = 1;
  sc.Sources[3][1].Name = "Heater";
  InitializeSources(sc, 2);
  EXPECT_EQ(s.UnitFactor, 1000);
  EXPECT_EQ(s.SourceUnitsCode, 2);
  EXPECT_EQ(s.TotalMoles, 5);
  for (float v : {s.ModelWork2[7], s.Params[10][7], s.TimeOff[5], s.ScaledMass, s.SourceFactor,
                  s.SourceValue, s.SpillArea, s.SourceAge, s.CurrentTime})
    EXPECT_EQ(v, 0);
  EXPECT_EQ(sc.Sources[3][1].Name, "Heater");  // room 3 is not in use
}

TEST(Resets, ClearScenarioAloneLeavesWhatInitializeScenarioSets) {
  auto st = NewState();
  FillModel(*st);
  ScenarioRecord& sc = st->Building.Scenario;
  st->Building.NumRooms = 3;
  sc.HVACOutdoorAirTotal = sc.HVACTotalFlow = sc.FilterCapacity = 5;
  sc.HVACSupply[0] = 5;
  sc.NaturalRoomFlows[1][0] = 5;
  for (int p = 0; p < 8; ++p) sc.PollutantWork[p] = sc.AirCleanerMass[p] = 5;
  sc.Pollutants[1].IrritantConc = 5;
  sc.Occupants[0].EndTime = 5;
  for (int o = 0; o <= 3; ++o) {
    sc.Occupants[o].PotentialDose[0] = 5;
    sc.Occupants[o].IrritantExposure[0] = 5;
    sc.Occupants[o].IrritantExposure[3] = 5;
  }
  ClearScenario(*st);
  EXPECT_EQ(sc.RunSetting1, 1.1f);
  EXPECT_EQ(sc.ConstantACH.str(), "Y");
  EXPECT_EQ(sc.ConstantHVAC.str(), "N");  // only InitializeScenario sets it
  EXPECT_EQ(sc.VentScheduleFlag.str(), "N");
  EXPECT_EQ(sc.HVACOutdoorAirTotal, 0);
  EXPECT_EQ(sc.HVACTotalFlow, 0);
  EXPECT_EQ(sc.FilterCapacity, 0);
  EXPECT_EQ(sc.HVACSupply[0], 5);  // the HVAC system's slot is no room
  EXPECT_EQ(sc.NaturalRoomFlows[1][0], 5);
  EXPECT_EQ(sc.PollutantWork[2], 0);
  EXPECT_EQ(sc.PollutantWork[3], 5);  // beyond the pollutants in use
  EXPECT_EQ(sc.AirCleanerMass[2], 0);
  EXPECT_EQ(sc.AirCleanerMass[3], 5);
  EXPECT_EQ(sc.Pollutants[1].IrritantConc, 5);  // only pollutant 0's
  EXPECT_EQ(sc.Pollutants[0].Name, "");
  EXPECT_EQ(sc.Occupants[0].EndTime, 5);  // entry 0 is not an occupant
  EXPECT_EQ(sc.Occupants[0].IrritantExposure[0], 5);
  for (int o = 1; o <= 3; ++o) {
    EXPECT_EQ(sc.Occupants[o].EndTime, 1.0e9f);
    EXPECT_EQ(sc.Occupants[o].BreathingRate, 0);
    EXPECT_EQ(sc.Occupants[o].Number, 0);
    EXPECT_EQ(sc.Occupants[o].IrritantExposure[0], 0);
    EXPECT_EQ(sc.Occupants[o].IrritantExposure[3], 5);
    EXPECT_EQ(sc.Occupants[o].PotentialDose[0], 5);  // not among the fields it clears
  }
}

TEST(Records, ParticleClassAndTypedNumbers) {
  ScenarioRecord sc;
  sc.PollutantClass = "PM2.5";
  EXPECT_EQ(sc.PollutantClass.str(), "PM2.5   ");
  EXPECT_TRUE(IsParticleMode(sc));
  sc.PollutantClass = "VOC";
  EXPECT_FALSE(IsParticleMode(sc));
  EXPECT_EQ(RemoveCommas("1,500.5"), "1500.5");
  EXPECT_EQ(RemoveCommas(",,,"), "");
  EXPECT_EQ(RemoveCommas("12"), "12");
}

TEST(Records, NotImplementedMessage) {
  testing::ScriptedPrompt prompt;
  ShowNotImplemented(prompt);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].kind, "message");
  EXPECT_EQ(prompt.shown[0].text, "Feature not implemented in version.");
  EXPECT_EQ(prompt.shown[0].title, "Not implemented");
  EXPECT_EQ(prompt.shown[0].icon, MessageIcon::Critical);
}

}  // namespace
}  // namespace quarn
