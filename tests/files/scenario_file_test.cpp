#include "files/scenario_file.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

#include <random>
#include <string>
#include "common/decimal_comma_locale.h"

#include "../common/scripted_prompt.h"
#include "files/scenario_routing.h"
#include "scenario_test_support.h"
#include "text/number_read.h"
#include "text/number_text.h"

namespace quarn {
namespace {

using namespace scenario_test;  // NOLINT
using testing::ScriptedPrompt;

// A pair line: the first number, blanks to the 14-column zone, the second number.
std::string Pair(const std::string& a, const std::string& b) {
  return a + std::string(14 - a.size(), ' ') + b;
}

// ---- golden 1: one room, one gas pollutant, every count 0 ----

Model OneRoom() {
  Model m;
  BuildingRecord& b = m.building;
  b.ID = "B";
  b.NumRooms = 1;
  ScenarioRecord& sc = b.Scenario;
  sc.Name = "Base";
  sc.ConcUnits = sc.OutdoorConcUnits = sc.InitialConcUnits = "milligrams";
  sc.OverallACH = 0.5f;
  sc.ConstantACH = "Y";
  sc.ConstantHVAC = "Y";
  sc.YearsSimulated = 1;
  sc.NumPollutants = 1;
  sc.ConstantOutdoorConc = "N";
  sc.PollutantClass = "VOC";
  sc.Pressure = 760;
  sc.Temperature = 25;
  sc.GeneralFlag = "N";
  sc.VentScheduleFlag = "0";
  sc.RunSetting1 = 0.1f;
  sc.RunSetting2 = 2;
  sc.StepSize = 0.1f;
  PollutantRecord& co = sc.Pollutants[0];
  co.Name = "CO";
  co.MolWt = 28.01f;
  co.Diffusivity = 0.1f;
  co.IrritantConc = 1e-5f;
  co.IrritantFactor = 1;
  m.building.Scenario.InitialConcInput[1][0] = 2.5f;
  sc.BuildingPenetration[0] = 1;
  sc.OutdoorConcTime[1] = 0;
  m.building.Scenario.OutdoorConcInput[1][0] = 0.25f;
  sc.OutdoorConcTime[2] = 1.5f;
  m.building.Scenario.OutdoorConcInput[2][0] = 1e6f;
  sc.NumOutdoorConcPoints = 2;
  sc.HVACHistoryCycle = "N";
  sc.HVACSupply[1] = sc.HVACReturn[1] = 10;
  sc.FilterPenetration[0][0] = 1;
  sc.NaturalToOutdoors[1] = sc.NaturalFromOutdoors[1] = 12.5f;
  sc.VentRate[1] = 0.5f;
  sc.HVACHistoryFraction[1] = 1;
  sc.ManagedFlowFlag = "N";
  sc.HVACType = 1;  // as the editor's list leaves it: the first entry
  return m;
}

std::string OneRoomText() {
  Lines l;
  l("V1.96")("B")(" 1 ");
  l("Base")("")("milligrams")(" .5 ")("Y")("Y")(" 0 ")(" 1 ")(" 1 ")("N")("VOC     ")(" 760 ")(
      " 25 ")("N")("0")(" 0 ")(" .1 ")(" 2 ")(" .1 ");
  l("CO")(" 28.01 ")(" 0 ")(" 0 ")("")(" 0 ")(" 0 ")(" .1 ")(" 1E-05 ")(" 1 ")(" 0 ")(" 0 ")(" 0 ");
  l(" 0 ")(" 2.5 ");
  l(" 1 ");
  l(Pair(" 0 ", " .25 "))(Pair(" 1.5 ", " 1000000 ")).Repeat(Pair(" 0 ", " 0 "), 48);
  l("N")(" 0 ")(" 0 ")(" 10 ")(" 10 ")(" 0 ")(" 0 ");
  l(" 0 ")(" 0 ")(" 1 ");
  l(" 12.5 ")(" 12.5 ");
  l(" 0 ")(" .5 ")(" 0 ")(" 1 ").Repeat(" 0 ", 49 * 4);
  l(" 0 ")(" 0 ");
  l(" 0 ")(" 0 ");
  for (int r = 0; r <= 1; ++r) l("")("")(" 0 ")(" 0 ")(" 0 ");
  l(" 0 ");
  return l.Text();
}

// ---- golden 2: two neighbouring rooms, two particle bins, sources, sinks, an occupant ----

Model Flat() {
  Model m;
  BuildingRecord& b = m.building;
  b.ID = "Flat, 2";
  b.NumRooms = 2;
  b.Neighbors[1][2] = b.Neighbors[2][1] = kTrue;
  ScenarioRecord& sc = b.Scenario;
  sc.Name = "Smoke test";
  sc.Comments = " two bins";
  sc.ConcUnits = sc.OutdoorConcUnits = sc.InitialConcUnits = "number";
  sc.ConstantACH = "N";
  sc.ConstantHVAC = "Y";
  sc.HVACHistoryOutdoorOnly = kTrue;
  sc.YearsSimulated = 0.25f;
  sc.NumPollutants = 2;
  sc.ConstantOutdoorConc = "Y";
  sc.PollutantClass = "pm";  // particle mode in any letter case
  sc.Pressure = 760;
  sc.Temperature = 20;
  sc.GeneralFlag = "Y";
  sc.VentScheduleFlag = "N";
  sc.LongTermOptions = 1;
  sc.RunSetting1 = 0.1f;
  sc.RunSetting2 = 20;
  sc.StepSize = 0.05f;
  PollutantRecord& fine = sc.Pollutants[0];
  fine.Name = "0.3";
  fine.Diameter = 0.3f;
  fine.Comments = "fine";
  fine.Density = 1.5f;
  fine.DepositionVelocity = 0.0001f;
  PollutantRecord& coarse = sc.Pollutants[1];
  coarse.Name = "10";
  coarse.Diameter = 10;
  coarse.Density = 1;
  coarse.DepositionVelocity = 2e-5f;
  coarse.IrritantConc = 0.15f;
  m.building.Scenario.InitialConcInput[1][0] = 1000;
  m.building.Scenario.InitialConcInput[1][1] = 50;
  sc.BuildingPenetration[0] = 0.8f;
  sc.BuildingPenetration[1] = 0.5f;
  m.building.Scenario.OutdoorConcInput[1][0] = 20;
  m.building.Scenario.OutdoorConcInput[1][1] = 5;
  sc.NumOutdoorConcPoints = 1;
  sc.HVACHistoryCycle = "N";
  sc.HVACRoomFlows[1][2] = 3.5f;
  sc.HVACRoomFlows[2][1] = -3.5f;
  sc.HVACFilterType = 9;
  sc.FilterCapacity = 100;
  sc.FilterPenetration[0][0] = 0.6f;
  sc.FilterPenetration[0][1] = 0.05f;
  sc.NaturalToOutdoors[1] = sc.NaturalFromOutdoors[1] = 15;
  sc.NaturalRoomFlows[1][2] = sc.NaturalRoomFlows[2][1] = 10;
  sc.VentRate[1] = 0.5f;
  sc.HVACHistoryFraction[1] = 1;
  sc.NumSources = {1, 1, 0};
  SourceRecord& hvac = sc.Sources[0][1];
  hvac.Name = "Filter, bypass";
  hvac.Model = 7;
  hvac.EmissionUnits = 2;
  hvac.Size = 1;
  hvac.CycleRepeats = "N";
  hvac.SourceValue = 0.5f;
  hvac.Params[0][0] = 1;
  hvac.Params[0][1] = 2;
  SourceRecord& toaster = sc.Sources[1][1];
  toaster.Name = "Toaster";
  toaster.Model = 1;
  toaster.EmissionUnits = 2;
  toaster.Size = 1.25f;
  toaster.CycleRepeats = "D";
  toaster.NumCycles = 2;
  toaster.GasVelocity = 5;
  toaster.TimeOn[1] = 7;
  toaster.TimeOff[1] = 7.5f;
  toaster.TimeOn[2] = 18;
  toaster.TimeOff[2] = 18.25f;
  toaster.Params[0][0] = 30000;
  toaster.Params[0][1] = 500;
  toaster.Params[1][0] = 0.7f;
  toaster.Params[1][1] = 1.2f;
  toaster.RawParam3[0] = 0.5f;
  sc.NumSinks = {0, 1, 0};
  SinkRecord& sofa = sc.Sinks[1][1];
  sofa.Name = "Sofa";
  sofa.Comments = "fabric";
  sofa.Area = 6;
  sofa.ka = {0.2f, 0.4f};
  sofa.kd = {0.01f, 0};
  sc.NumOccupants = 1;
  OccupantRecord& ann = sc.Occupants[1];
  ann.Name = "Ann";
  ann.CycleLength = 24;
  ann.Number = 1;
  ann.BreathingRate = 0.833f;
  ann.EfficiencyFactor = 1;
  ann.AveragingTime = 24;
  ann.Weight = 74;
  ann.EndTime = 24;
  ann.Lifetime = 75;
  ann.Population = 1;
  ann.TimeLeave[1] = 8;
  ann.LocationRoom[1] = 1;
  ann.Location[1] = "Kitchen";
  ann.TimeEnter[2] = 8;
  ann.TimeLeave[2] = 24;
  ann.Location[2] = "Outdoors";
  sc.ManagedFlowFlag = "N";
  sc.HVACType = 1;
  return m;
}

std::string FlatText() {
  Lines l;
  l("\"Flat, 2\"")(" 2 ");
  l.lines.insert(l.lines.begin(), "V1.96");
  l("Smoke test")("\" two bins\"")("number")(" 0 ")("N")("Y")("-1 ")(" .25 ")(" 2 ")("Y")(
      "pm      ")(" 760 ")(" 20 ")("Y")("N")(" 1 ")(" .1 ")(" 20 ")(" .05 ");
  l("0.3")(" .3 ")(" 0 ")(" 0 ")("fine")(" 1.5 ")(" .0001 ")(" 0 ")(" 0 ")(" 0 ")(" 0 ")(" 0 ")(
      " 0 ");
  l("10")(" 10 ")(" 0 ")(" 0 ")("")(" 1 ")(" 2E-05 ")(" 0 ")(" .15 ")(" 0 ")(" 0 ")(" 0 ")(" 0 ");
  l(" 0 ")(" 0 ")(" 1000 ")(" 50 ")(" 0 ")(" 0 ");
  l(" .8 ")(" .5 ");
  l(Pair(" 0 ", " 20 "))(Pair(" 0 ", " 5 ")).Repeat(Pair(" 0 ", " 0 "), 98);
  l("N")(" 0 ")(" 0 ").Repeat(" 0 ", 8)(" 3.5 ")("-3.5 ");
  l(" 9 ")(" 100 ")(" .6 ")(" .05 ");
  l(" 15 ")(" 15 ")(" 0 ")(" 0 ")(" 10 ")(" 10 ");
  l(" 0 ")(" .5 ")(" 0 ")(" 1 ").Repeat(" 0 ", 49 * 4);
  l(" 1 ")(" 1 ")(" 0 ");
  l("\"Filter, bypass\"")(" 7 ")(" 2 ")(" 1 ")("N")(" 0 ")(" 0 ")(" 0 ")(" .5 ")(" 1 ")(" 2 ")
      .Repeat(" 0 ", 20)(" 0 ")(" 0 ");
  l("Toaster")(" 1 ")(" 2 ")(" 1.25 ")("D")(" 2 ")(" 5 ")(" 7 ")(" 7.5 ")(" 18 ")(" 18.25 ")(" 0 ")(
      " 0 ")(" 30000 ")(" 500 ")(" .7 ")(" 1.2 ")
      .Repeat(" 0 ", 18)(" .5 ")(" 0 ");
  l(" 0 ")(" 1 ")(" 0 ");
  l("")("")(" 0 ").Repeat(" 0 ", 4);                           // room 0, slot 0
  l("")("")(" 0 ").Repeat(" 0 ", 4);                           // room 1, slot 0
  l("Sofa")("fabric")(" 6 ")(" .2 ")(" .01 ")(" .4 ")(" 0 ");  // room 1, slot 1
  l("")("")(" 0 ").Repeat(" 0 ", 4);                           // room 2, slot 0
  l(" 1 ");
  l("Ann")(" 24 ")(" 1 ")(" .833 ")(" 1 ")(" 24 ")(" 74 ")(" 0 ")(" 24 ")(" 75 ")(" 1 ");
  l(" 0 ")(" 8 ")(" 1 ")("Kitchen")(" 8 ")(" 24 ")(" 0 ")("Outdoors");
  for (int e = 3; e <= 24; ++e) l(" 0 ")(" 0 ")(" 0 ")("");
  return l.Text();
}

// ---- the line count of the layout ----

int ExpectedLineCount(const Model& m) {
  const BuildingRecord& b = m.building;
  const ScenarioRecord& sc = b.Scenario;
  const int n = b.NumRooms;
  const int np = sc.NumPollutants;
  int pairs = 0;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) pairs += i != j && b.Neighbors[i][j] != 0;
  }
  int lines = 3 + 19 + 13 * np + (n + 1) * np + np + 50 * np;
  lines += 3 + 4 * n + pairs + 2 + np + 2 * n + n * (n - 1) + 200;
  lines += n + 1;
  for (int r = 0; r <= n; ++r) {
    for (int s = 1; s <= sc.NumSources[r]; ++s) {
      lines += 7 + 2 * sc.Sources[r][s].NumCycles + 2 + 11 * np + np;
    }
  }
  lines += n + 1;
  for (int r = 0; r <= n; ++r) lines += (sc.NumSinks[r] + 1) * (3 + 2 * np);
  lines += 1 + sc.NumOccupants * (11 + 4 * 24);
  return lines;
}

int TrailerLineCount(const Model& m) {
  int pairs = 0;
  for (int i = 1; i <= m.building.NumRooms; ++i) {
    for (int j = 1; j <= m.building.NumRooms; ++j) {
      pairs += i != j && m.building.Neighbors[i][j] != 0;
    }
  }
  return 11 + 6 * m.building.NumRooms + pairs;
}

// ---- reading helpers ----

// Reads `bytes` as a V1.96 file into `target`, answering Yes.
ScenarioReadResult ReadInto(const std::string& bytes, Model& target, ScriptedPrompt& prompt,
                            const TempDir& dir) {
  const std::string path = dir.File("s.SEN");
  WriteBytes(path, bytes);
  return CommitScenarioRead(NewReadScenario(target.building, path, prompt), target.building);
}

// A model for the same building whose scenario holds other values everywhere, so that a
// field the reader forgets shows.
Model JunkTarget(const Model& like) {
  Model t;
  t.building.ID = like.building.ID;
  t.building.NumRooms = like.building.NumRooms;
  t.building.Neighbors = like.building.Neighbors;
  ScenarioRecord& sc = t.building.Scenario;
  sc.Name = "old";
  sc.HVACType = 4;
  sc.ManagedFlowFlag = "Y";
  sc.ManagedValue4 = 9;
  sc.NumOutdoorConcPoints = 44;
  sc.OutdoorConcUnits = sc.InitialConcUnits = "ppm";
  for (int r = 0; r < kRoomSlots; ++r) {
    sc.ManagedSupply[r] = sc.AirCleanerEff[r] = sc.AirCleanerFlow[r] = 7;
    sc.ManagedRoomFlows[r].fill(7);
    sc.NumSources[r] = 3;
    sc.NumSinks[r] = 2;
    t.building.Scenario.InitialConcInput[r].fill(7);
  }
  for (auto& row : t.building.Scenario.OutdoorConcInput) row.fill(7);
  sc.NumPollutants = 8;
  sc.NumOccupants = 3;
  return t;
}

void ExpectSameSource(const SourceRecord& w, const SourceRecord& g, int np, const std::string& at) {
  SCOPED_TRACE(at);
  EXPECT_EQ(g.Name, w.Name);
  EXPECT_EQ(g.Model, w.Model);
  EXPECT_EQ(g.EmissionUnits, w.EmissionUnits);
  EXPECT_EQ(g.Size, w.Size);
  EXPECT_EQ(g.CycleRepeats.str(), w.CycleRepeats.str());
  EXPECT_EQ(g.NumCycles, w.NumCycles);
  EXPECT_EQ(g.GasVelocity, w.GasVelocity);
  for (int c = 1; c <= w.NumCycles; ++c) {
    EXPECT_EQ(g.TimeOn[c], w.TimeOn[c]);
    EXPECT_EQ(g.TimeOff[c], w.TimeOff[c]);
  }
  EXPECT_EQ(g.TotalMass, w.TotalMass);
  EXPECT_EQ(g.SourceValue, w.SourceValue);
  for (int k = 0; k < kNumParams; ++k) {
    for (int p = 0; p < np; ++p) EXPECT_EQ(g.Params[k][p], w.Params[k][p]) << k << "," << p;
  }
  for (int p = 0; p < np; ++p) EXPECT_EQ(g.RawParam3[p], w.RawParam3[p]);
}

void ExpectSameOccupant(const OccupantRecord& w, const OccupantRecord& g, int o) {
  SCOPED_TRACE("occupant " + std::to_string(o));
  EXPECT_EQ(g.Name, w.Name);
  EXPECT_EQ(g.CycleLength, w.CycleLength);
  EXPECT_EQ(g.Number, w.Number);
  EXPECT_EQ(g.BreathingRate, w.BreathingRate);
  EXPECT_EQ(g.EfficiencyFactor, w.EfficiencyFactor);
  EXPECT_EQ(g.AveragingTime, w.AveragingTime);
  EXPECT_EQ(g.Weight, w.Weight);
  EXPECT_EQ(g.StartTime, w.StartTime);
  EXPECT_EQ(g.EndTime, w.EndTime);
  EXPECT_EQ(g.Lifetime, w.Lifetime);
  EXPECT_EQ(g.Population, w.Population);
  for (int e = 1; e <= kMaxSchedule; ++e) {
    EXPECT_EQ(g.TimeEnter[e], w.TimeEnter[e]) << e;
    EXPECT_EQ(g.TimeLeave[e], w.TimeLeave[e]) << e;
    EXPECT_EQ(g.LocationRoom[e], w.LocationRoom[e]) << e;
    EXPECT_EQ(g.Location[e], w.Location[e]) << e;
  }
}

// Every field the file holds, one by one, with the trailer's fields.
void ExpectSameScenario(const Model& want, const Model& got) {
  const ScenarioRecord& w = want.building.Scenario;
  const ScenarioRecord& g = got.building.Scenario;
  const int n = want.building.NumRooms;
  const int np = w.NumPollutants;
  const bool particles = scenario_io::IsParticleClass(w.PollutantClass);
  EXPECT_EQ(g.Name, w.Name);
  EXPECT_EQ(g.Comments, w.Comments);
  EXPECT_EQ(g.ConcUnits, w.ConcUnits);
  EXPECT_EQ(g.OverallACH, w.OverallACH);
  EXPECT_EQ(g.ConstantACH.str(), w.ConstantACH.str());
  EXPECT_EQ(g.ConstantHVAC.str(), w.ConstantHVAC.str());
  EXPECT_EQ(g.HVACHistoryOutdoorOnly, w.HVACHistoryOutdoorOnly);
  EXPECT_EQ(g.YearsSimulated, w.YearsSimulated);
  EXPECT_EQ(g.NumPollutants, w.NumPollutants);
  EXPECT_EQ(g.ConstantOutdoorConc.str(), w.ConstantOutdoorConc.str());
  EXPECT_EQ(g.PollutantClass.str(), w.PollutantClass.str());
  EXPECT_EQ(g.Pressure, w.Pressure);
  EXPECT_EQ(g.Temperature, w.Temperature);
  EXPECT_EQ(g.GeneralFlag.str(), w.GeneralFlag.str());
  EXPECT_EQ(g.VentScheduleFlag.str(), w.VentScheduleFlag.str());
  EXPECT_EQ(g.LongTermOptions, w.LongTermOptions);
  EXPECT_EQ(g.RunSetting1, w.RunSetting1);
  EXPECT_EQ(g.RunSetting2, w.RunSetting2);
  EXPECT_EQ(g.StepSize, w.StepSize);
  for (int p = 0; p < np; ++p) {
    SCOPED_TRACE("pollutant " + std::to_string(p));
    const PollutantRecord& a = w.Pollutants[p];
    const PollutantRecord& b = g.Pollutants[p];
    EXPECT_EQ(b.Name, a.Name);
    if (particles) {
      EXPECT_EQ(b.Diameter, a.Diameter);
    } else {
      EXPECT_EQ(b.MolWt, a.MolWt);
    }
    EXPECT_EQ(b.C0, a.C0);
    EXPECT_EQ(b.CancerRisk, a.CancerRisk);
    EXPECT_EQ(b.Comments, a.Comments);
    EXPECT_EQ(b.Density, a.Density);
    EXPECT_EQ(b.DepositionVelocity, a.DepositionVelocity);
    EXPECT_EQ(b.Diffusivity, a.Diffusivity);
    EXPECT_EQ(b.IrritantConc, a.IrritantConc);
    EXPECT_EQ(b.IrritantFactor, a.IrritantFactor);
    EXPECT_EQ(b.RfC, a.RfC);
    EXPECT_EQ(b.RfD, a.RfD);
    EXPECT_EQ(b.Spare, a.Spare);
    EXPECT_EQ(g.BuildingPenetration[p], w.BuildingPenetration[p]);
    EXPECT_EQ(g.FilterPenetration[0][p], w.FilterPenetration[0][p]);
    for (int r = 0; r <= n; ++r)
      EXPECT_EQ(got.building.Scenario.InitialConcInput[r][p],
                want.building.Scenario.InitialConcInput[r][p])
          << r;
    for (int t = 1; t <= kMaxHistory; ++t)
      EXPECT_EQ(got.building.Scenario.OutdoorConcInput[t][p],
                want.building.Scenario.OutdoorConcInput[t][p])
          << t;
  }
  for (int t = 1; t <= kMaxHistory; ++t) {
    EXPECT_EQ(g.OutdoorConcTime[t], w.OutdoorConcTime[t]) << t;
    EXPECT_EQ(g.VentTime[t], w.VentTime[t]) << t;
    EXPECT_EQ(g.VentRate[t], w.VentRate[t]) << t;
    EXPECT_EQ(g.HVACHistoryTime[t], w.HVACHistoryTime[t]) << t;
    EXPECT_EQ(g.HVACHistoryFraction[t], w.HVACHistoryFraction[t]) << t;
  }
  EXPECT_EQ(g.HVACHistoryCycle.str(), w.HVACHistoryCycle.str());
  EXPECT_EQ(g.HVACOutdoorAirTotal, w.HVACOutdoorAirTotal);
  EXPECT_EQ(g.HVACMakeUpTotal, w.HVACMakeUpTotal);
  EXPECT_EQ(g.HVACFilterType, w.HVACFilterType);
  EXPECT_EQ(g.FilterCapacity, w.FilterCapacity);
  for (int r = 1; r <= n; ++r) {
    SCOPED_TRACE("room " + std::to_string(r));
    EXPECT_EQ(g.HVACSupply[r], w.HVACSupply[r]);
    EXPECT_EQ(g.HVACReturn[r], w.HVACReturn[r]);
    EXPECT_EQ(g.HVACExhaust[r], w.HVACExhaust[r]);
    EXPECT_EQ(g.HVACOutdoorAir[r], w.HVACOutdoorAir[r]);
    EXPECT_EQ(g.NaturalToOutdoors[r], w.NaturalToOutdoors[r]);
    EXPECT_EQ(g.NaturalFromOutdoors[r], w.NaturalFromOutdoors[r]);
    EXPECT_EQ(g.ManagedSupply[r], w.ManagedSupply[r]);
    EXPECT_EQ(g.ManagedReturn[r], w.ManagedReturn[r]);
    EXPECT_EQ(g.ManagedFromOutdoors[r], w.ManagedFromOutdoors[r]);
    EXPECT_EQ(g.ManagedToOutdoors[r], w.ManagedToOutdoors[r]);
    EXPECT_EQ(g.AirCleanerEff[r], w.AirCleanerEff[r]);
    EXPECT_EQ(g.AirCleanerFlow[r], w.AirCleanerFlow[r]);
    for (int j = 1; j <= n; ++j) {
      if (j == r) continue;
      EXPECT_EQ(g.NaturalRoomFlows[r][j], w.NaturalRoomFlows[r][j]) << j;
      if (want.building.Neighbors[r][j] != 0) {
        EXPECT_EQ(g.HVACRoomFlows[r][j], w.HVACRoomFlows[r][j]) << j;
        EXPECT_EQ(g.ManagedRoomFlows[r][j], w.ManagedRoomFlows[r][j]) << j;
      }
    }
  }
  for (int r = 0; r <= n; ++r) {
    EXPECT_EQ(g.NumSources[r], w.NumSources[r]) << r;
    for (int s = 1; s <= w.NumSources[r]; ++s) {
      ExpectSameSource(w.Sources[r][s], g.Sources[r][s], np,
                       "source " + std::to_string(r) + "," + std::to_string(s));
    }
    EXPECT_EQ(g.NumSinks[r], w.NumSinks[r]) << r;
    for (int s = 0; s <= w.NumSinks[r]; ++s) {
      SCOPED_TRACE("sink " + std::to_string(r) + "," + std::to_string(s));
      const SinkRecord& a = w.Sinks[r][s];
      const SinkRecord& b = g.Sinks[r][s];
      EXPECT_EQ(b.Name, a.Name);
      EXPECT_EQ(b.Comments, a.Comments);
      EXPECT_EQ(b.Area, a.Area);
      for (int p = 0; p < np; ++p) {
        EXPECT_EQ(b.ka[p], a.ka[p]);
        EXPECT_EQ(b.kd[p], a.kd[p]);
      }
    }
  }
  EXPECT_EQ(g.NumOccupants, w.NumOccupants);
  for (int o = 1; o <= w.NumOccupants; ++o) ExpectSameOccupant(w.Occupants[o], g.Occupants[o], o);
  // The trailer's fields, or the values a file without it stands for.
  EXPECT_EQ(g.HVACType, w.HVACType);
  EXPECT_EQ(g.NumOutdoorConcPoints, w.NumOutdoorConcPoints);
  EXPECT_EQ(g.OutdoorConcUnits, w.OutdoorConcUnits);
  EXPECT_EQ(g.InitialConcUnits, w.InitialConcUnits);
  EXPECT_EQ(g.ManagedFlowFlag.str(), w.ManagedFlowFlag.str());
  EXPECT_EQ(g.ManagedValue1, w.ManagedValue1);
  EXPECT_EQ(g.ManagedValue2, w.ManagedValue2);
  EXPECT_EQ(g.ManagedValue3, w.ManagedValue3);
  EXPECT_EQ(g.ManagedValue4, w.ManagedValue4);
}

TEST(ScenarioFile, OneRoomGoldenFileByteForByteAndFieldByField) {
  const Model m = OneRoom();
  const std::string golden = OneRoomText();
  EXPECT_EQ(CountLines(golden), 315);
  EXPECT_EQ(ScenarioFileBytes(m.building), golden);

  TempDir dir;
  Model got = JunkTarget(m);
  ScriptedPrompt prompt;
  ASSERT_EQ(ReadInto(golden, got, prompt, dir), ScenarioReadResult::Read);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].kind, "yesno");
  EXPECT_EQ(prompt.shown[0].text,
            "This is a scenario for building B with 1 rooms. Do you want to continue?");
  ExpectSameScenario(m, got);
}

TEST(ScenarioFile, GoldenFileWithSourcesSinksAndOccupants) {
  const Model m = Flat();
  const std::string golden = FlatText();
  EXPECT_EQ(CountLines(golden), 591);
  EXPECT_EQ(CountLines(golden), ExpectedLineCount(m));
  EXPECT_EQ(ScenarioFileBytes(m.building), golden);

  TempDir dir;
  Model got = JunkTarget(m);
  got.building.Scenario.Pollutants[0].MolWt = 77;
  ScriptedPrompt prompt;
  ASSERT_EQ(ReadInto(golden, got, prompt, dir), ScenarioReadResult::Read);
  ExpectSameScenario(m, got);
  // In particle mode the second pollutant line is the diameter; the molecular weight is
  // left as the reset leaves it.
  EXPECT_EQ(got.building.Scenario.Pollutants[0].MolWt, 0);
  EXPECT_EQ(got.building.Scenario.Pollutants[0].Diameter, 0.3f);
  // What the file does not hold comes from the reset, not from the scenario before.
  EXPECT_EQ(got.building.Scenario.RunLabel, "TEMP");
  EXPECT_EQ(got.building.Scenario.Sinks[1][2].Name, "");
  EXPECT_EQ(got.building.Scenario.InitialConcInput[3][0], 0);
}

TEST(ScenarioFile, SaveWritesTheFileWithTheSelectedUnits) {
  TempDir dir;
  Model m = OneRoom();
  ScriptedPrompt prompt;
  const std::string path = dir.File("base.SEN");
  WriteBytes(path, "an older and much longer file that must not leave a tail behind" +
                       std::string(20000, 'x'));
  m.building.Scenario.ConcUnits = "ppm";
  // No button checked: the units stay; but "ppm" differs from the entered units, which the
  // trailer then keeps.
  ASSERT_TRUE(NewSaveScenario(m.building, "", path, prompt));
  EXPECT_EQ(m.building.Scenario.ConcUnits, "ppm");
  EXPECT_NE(ReadBytes(path).find(kTrailerStart), std::string::npos);
  ASSERT_TRUE(NewSaveScenario(m.building, "milligrams", path, prompt));
  EXPECT_EQ(ReadBytes(path), OneRoomText());
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_FALSE(NewSaveScenario(m.building, "", dir.File("no/x.SEN"), prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(
      prompt.shown[0].text.rfind("Error.  " + dir.File("no/x.SEN") + " could not be saved", 0), 0u);
}

// The editor stores the index of its HVAC-type list + 1, so every scenario that passed
// through it has a type of 1 to 4, and 1 is what it shows for a file without one.
TEST(ScenarioFile, TheEditorsFirstHVACTypeKeepsThePlainLayout) {
  Model m = OneRoom();
  ASSERT_EQ(m.building.Scenario.HVACType, 1);
  EXPECT_EQ(ScenarioFileBytes(m.building), OneRoomText());

  // A plain file stands for type 1, whatever the scenario before held.
  TempDir dir;
  Model got = JunkTarget(m);
  ScriptedPrompt prompt;
  ASSERT_EQ(ReadInto(OneRoomText(), got, prompt, dir), ScenarioReadResult::Read);
  EXPECT_EQ(got.building.Scenario.HVACType, 1);

  // Any other type, 0 (never chosen) among them, is kept by the trailer and reads back.
  for (int32_t type : {0, 2, 3, 4}) {
    m.building.Scenario.HVACType = type;
    const std::string bytes = ScenarioFileBytes(m.building);
    ASSERT_EQ(bytes.substr(0, OneRoomText().size()), OneRoomText());
    EXPECT_EQ(bytes.substr(OneRoomText().size(), 15 + 5),
              "Quarn extra 1\r\n " + std::to_string(type) + " \r\n");
    Model back = JunkTarget(m);
    ASSERT_EQ(ReadInto(bytes, back, prompt, dir), ScenarioReadResult::Read);
    EXPECT_EQ(back.building.Scenario.HVACType, type);
  }
}

// The trailer written out by hand from its layout, after the plain file of golden 2.
TEST(ScenarioFile, TrailerGoldenFileByteForByteAndFieldByField) {
  Model m = Flat();
  ScenarioRecord& sc = m.building.Scenario;
  sc.HVACType = 3;
  sc.ManagedFlowFlag = "Y";
  sc.ManagedValue1 = 40;
  sc.ManagedValue2 = 41;
  sc.ManagedValue3 = 1;
  sc.ManagedValue4 = 9.5f;
  sc.ManagedSupply[1] = 5;
  sc.ManagedReturn[1] = 6;
  sc.ManagedFromOutdoors[1] = 7;
  sc.ManagedToOutdoors[1] = 8;
  sc.AirCleanerEff[1] = 80;
  sc.AirCleanerFlow[1] = 2;
  sc.AirCleanerEff[2] = 12.5f;
  sc.ManagedRoomFlows[1][2] = 3;
  sc.ManagedRoomFlows[2][1] = -3;
  Lines l;
  l("Quarn extra 1")(" 3 ")(" 1 ")("number")("number")("Y");
  l(" 40 ")(" 41 ")(" 1 ")(" 9.5 ");
  l(" 5 ")(" 6 ")(" 7 ")(" 8 ")(" 80 ")(" 2 ");
  l(" 0 ")(" 0 ")(" 0 ")(" 0 ")(" 12.5 ")(" 0 ");
  l(" 3 ")("-3 ");
  l("end extra");
  const std::string golden = FlatText() + l.Text();
  EXPECT_EQ(ScenarioFileBytes(m.building), golden);

  TempDir dir;
  Model got = JunkTarget(m);
  ScriptedPrompt prompt;
  ASSERT_EQ(ReadInto(golden, got, prompt, dir), ScenarioReadResult::Read);
  ExpectSameScenario(m, got);
  EXPECT_EQ(got.building.Scenario.AirCleanerPenetration[1], 0.2f);
  EXPECT_EQ(got.building.Scenario.AirCleanerPenetration[2], 0.875f);
}

// ---- random full scenarios ----

class Filler {
 public:
  explicit Filler(unsigned seed) : rng_(seed) {}

  // A Single that a 7-digit text holds exactly (most values of at most 7 digits).
  float Value() {
    std::uniform_int_distribution<int> mantissa(-9999999, 9999999);
    std::uniform_int_distribution<int> exponent(-12, 3);
    for (;;) {
      const int m = mantissa(rng_);
      const int e = exponent(rng_);
      const auto parsed = ParseNumber(std::to_string(m) + "E" + std::to_string(e));
      const float x = static_cast<float>(*parsed);
      const auto back = ParseNumber(SignSingle(x));
      if (back && static_cast<float>(*back) == x) return x;
    }
  }
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool Coin() { return Int(0, 1) == 1; }
  std::string Text() {
    static const char* kTexts[] = {"",         "Kitchen", "a, b",    " leading",   "trailing ",
                                   "x\xB5g/h", "two  in", "R2 test", "m\xB3 sized"};
    return kTexts[Int(0, 8)];
  }
  const char* Flag() { return Coin() ? "Y" : "N"; }

 private:
  std::mt19937 rng_;
};

Model RandomModel(Filler& f, int n, int np, bool particles, bool trailer, bool full_counts) {
  Model m;
  BuildingRecord& b = m.building;
  b.ID = f.Text();
  b.NumRooms = static_cast<int16_t>(n);
  for (int i = 1; i <= n; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      if (f.Coin()) b.Neighbors[i][j] = b.Neighbors[j][i] = kTrue;
    }
  }
  ScenarioRecord& sc = b.Scenario;
  sc.Name = f.Text();
  sc.Comments = f.Text();
  sc.ConcUnits = particles ? "number" : "micrograms";
  sc.OverallACH = f.Value();
  sc.ConstantACH = f.Flag();
  sc.ConstantHVAC = f.Flag();
  sc.HVACHistoryOutdoorOnly = static_cast<int16_t>(f.Int(-1, 0));
  sc.YearsSimulated = f.Value();
  sc.NumPollutants = static_cast<int16_t>(np);
  sc.ConstantOutdoorConc = f.Flag();
  sc.PollutantClass = particles ? "PM2.5" : "VOC";
  sc.Pressure = f.Value();
  sc.Temperature = f.Value();
  sc.GeneralFlag = f.Flag();
  sc.VentScheduleFlag = f.Flag();
  sc.LongTermOptions = static_cast<int16_t>(f.Int(0, 3));
  sc.RunSetting1 = f.Value();
  sc.RunSetting2 = static_cast<int16_t>(f.Int(-32768, 32767));
  sc.StepSize = f.Value();
  for (int p = 0; p < np; ++p) {
    PollutantRecord& pol = sc.Pollutants[p];
    pol.Name = f.Text();
    (particles ? pol.Diameter : pol.MolWt) = f.Value();
    for (float* v :
         {&pol.C0, &pol.CancerRisk, &pol.Density, &pol.DepositionVelocity, &pol.Diffusivity,
          &pol.IrritantConc, &pol.IrritantFactor, &pol.RfC, &pol.RfD, &pol.Spare}) {
      *v = f.Value();
    }
    pol.Comments = f.Text();
    sc.BuildingPenetration[p] = f.Value();
    sc.FilterPenetration[0][p] = f.Value();
    for (int r = 0; r <= n; ++r) m.building.Scenario.InitialConcInput[r][p] = f.Value();
    for (int t = 1; t <= kMaxHistory; ++t) m.building.Scenario.OutdoorConcInput[t][p] = f.Value();
  }
  for (int t = 1; t <= kMaxHistory; ++t) {
    sc.OutdoorConcTime[t] = f.Value();
    for (float* v :
         {&sc.VentTime[t], &sc.VentRate[t], &sc.HVACHistoryTime[t], &sc.HVACHistoryFraction[t]}) {
      *v = f.Value();
    }
  }
  sc.HVACHistoryCycle = f.Flag();
  sc.HVACOutdoorAirTotal = f.Value();
  sc.HVACMakeUpTotal = f.Value();
  sc.HVACFilterType = static_cast<int16_t>(f.Int(0, 9));
  sc.FilterCapacity = f.Value();
  for (int r = 1; r <= n; ++r) {
    for (float* v : {&sc.HVACSupply[r], &sc.HVACReturn[r], &sc.HVACExhaust[r],
                     &sc.HVACOutdoorAir[r], &sc.NaturalToOutdoors[r], &sc.NaturalFromOutdoors[r]}) {
      *v = f.Value();
    }
    for (int j = 1; j <= n; ++j) {
      sc.HVACRoomFlows[r][j] = f.Value();
      sc.NaturalRoomFlows[r][j] = f.Value();
    }
  }
  for (int r = 0; r <= n; ++r) {
    sc.NumSources[r] = static_cast<int16_t>(full_counts ? kMaxSources : f.Int(0, kMaxSources));
    for (int s = 1; s <= sc.NumSources[r]; ++s) {
      SourceRecord& src = sc.Sources[r][s];
      src.Name = f.Text();
      src.Model = static_cast<int16_t>(f.Int(0, 10));
      src.EmissionUnits = static_cast<int16_t>(f.Int(0, 2));
      src.Size = f.Value();
      src.CycleRepeats = "NHDWMO"[f.Int(0, 5)] == 'N' ? "N" : std::string(1, "HDWMO"[f.Int(0, 4)]);
      src.NumCycles = static_cast<int16_t>(full_counts ? kMaxCycles : f.Int(0, kMaxCycles));
      src.GasVelocity = f.Value();
      for (int c = 1; c <= src.NumCycles; ++c) {
        src.TimeOn[c] = f.Value();
        src.TimeOff[c] = f.Value();
      }
      src.TotalMass = f.Value();
      src.SourceValue = f.Value();
      for (int p = 0; p < np; ++p) {
        for (int k = 0; k < kNumParams; ++k) src.Params[k][p] = f.Value();
        src.RawParam3[p] = f.Value();
      }
    }
    sc.NumSinks[r] = static_cast<int16_t>(full_counts ? kMaxSinks : f.Int(0, kMaxSinks));
    for (int s = 0; s <= sc.NumSinks[r]; ++s) {
      SinkRecord& sink = sc.Sinks[r][s];
      sink.Name = f.Text();
      sink.Comments = f.Text();
      sink.Area = f.Value();
      for (int p = 0; p < np; ++p) {
        sink.ka[p] = f.Value();
        sink.kd[p] = f.Value();
      }
    }
  }
  sc.NumOccupants = static_cast<int16_t>(full_counts ? kMaxOccupants : f.Int(0, kMaxOccupants));
  for (int o = 1; o <= sc.NumOccupants; ++o) {
    OccupantRecord& occ = sc.Occupants[o];
    occ.Name = f.Text();
    occ.Number = static_cast<int16_t>(f.Int(0, 3));
    for (float* v :
         {&occ.CycleLength, &occ.BreathingRate, &occ.EfficiencyFactor, &occ.AveragingTime,
          &occ.Weight, &occ.StartTime, &occ.EndTime, &occ.Lifetime, &occ.Population}) {
      *v = f.Value();
    }
    for (int e = 1; e <= kMaxSchedule; ++e) {
      occ.TimeEnter[e] = f.Value();
      occ.TimeLeave[e] = f.Value();
      occ.LocationRoom[e] = static_cast<float>(f.Int(0, n));
      occ.Location[e] = f.Text();
    }
  }
  if (trailer) {
    sc.HVACType = f.Int(1, 4);
    sc.NumOutdoorConcPoints = static_cast<int16_t>(f.Int(0, kMaxHistory));
    sc.OutdoorConcUnits = "milligrams";
    sc.InitialConcUnits = "ppm";
    sc.ManagedFlowFlag = "Y";
    for (float* v : {&sc.ManagedValue1, &sc.ManagedValue2, &sc.ManagedValue3, &sc.ManagedValue4}) {
      *v = f.Value();
    }
    for (int r = 1; r <= n; ++r) {
      for (float* v : {&sc.ManagedSupply[r], &sc.ManagedReturn[r], &sc.ManagedFromOutdoors[r],
                       &sc.ManagedToOutdoors[r], &sc.AirCleanerEff[r], &sc.AirCleanerFlow[r]}) {
        *v = f.Value();
      }
      for (int j = 1; j <= n; ++j) sc.ManagedRoomFlows[r][j] = f.Value();
    }
  } else {
    // The values that a file without the trailer stands for.
    sc.HVACType = 1;
    sc.ManagedFlowFlag = "N";
    sc.NumOutdoorConcPoints = OutdoorPointsFromTimes(sc.OutdoorConcTime);
    sc.OutdoorConcUnits = sc.InitialConcUnits = sc.ConcUnits;
  }
  return m;
}

TEST(ScenarioFile, FullScenarioRoundTripsInGasAndParticleModeWithAndWithoutTrailer) {
  TempDir dir;
  unsigned seed = 1;
  for (bool particles : {false, true}) {
    for (bool trailer : {false, true}) {
      SCOPED_TRACE(std::string(particles ? "particles" : "gas") +
                   (trailer ? " with trailer" : " without trailer"));
      Filler f(seed++);
      const Model m = RandomModel(f, kMaxRooms, kMaxPollutants, particles, trailer, true);
      const std::string bytes = ScenarioFileBytes(m.building);
      EXPECT_EQ(bytes.find(kTrailerStart) != std::string::npos, trailer);
      EXPECT_EQ(CountLines(bytes), ExpectedLineCount(m) + (trailer ? TrailerLineCount(m) : 0));
      Model got = JunkTarget(m);
      ScriptedPrompt prompt;
      ASSERT_EQ(ReadInto(bytes, got, prompt, dir), ScenarioReadResult::Read);
      ExpectSameScenario(m, got);
      EXPECT_EQ(ScenarioFileBytes(got.building), bytes);
      if (trailer) {
        for (int r = 1; r <= kMaxRooms; ++r) {
          EXPECT_EQ(got.building.Scenario.AirCleanerPenetration[r],
                    (100 - m.building.Scenario.AirCleanerEff[r]) / 100);
        }
      }
    }
  }
}

TEST(ScenarioFile, LineCountFollowsTheLayoutForRandomShapes) {
  Filler f(2024);
  for (int round = 0; round < 40; ++round) {
    const int n = f.Int(1, kMaxRooms);
    const int np = f.Int(1, kMaxPollutants);
    const bool trailer = f.Coin();
    Model m = RandomModel(f, n, np, f.Coin(), trailer, false);
    const std::string bytes = ScenarioFileBytes(m.building);
    EXPECT_EQ(CountLines(bytes), ExpectedLineCount(m) + (trailer ? TrailerLineCount(m) : 0))
        << "rooms " << n << " pollutants " << np;
  }
}

TEST(ScenarioFile, TextsWithCommasQuotesAndBlanksReadBackWhole) {
  TempDir dir;
  Model m = Flat();
  m.building.Scenario.Name = "Smith, kitchen \"A\"";
  m.building.Scenario.Occupants[1].Location[3] = "Hall, upstairs";
  m.building.Scenario.Sinks[1][1].Comments = "  two blanks";
  const std::string bytes = ScenarioFileBytes(m.building);
  EXPECT_NE(bytes.find("\r\n\"Smith, kitchen 'A'\"\r\n"), std::string::npos);
  Model got = JunkTarget(m);
  ScriptedPrompt prompt;
  ASSERT_EQ(ReadInto(bytes, got, prompt, dir), ScenarioReadResult::Read);
  EXPECT_EQ(got.building.Scenario.Name, "Smith, kitchen 'A'");
  EXPECT_EQ(got.building.Scenario.Occupants[1].Location[3], "Hall, upstairs");
  EXPECT_EQ(got.building.Scenario.Sinks[1][1].Comments, "  two blanks");
  m.building.Scenario.Name = "Smith, kitchen 'A'";
  ExpectSameScenario(m, got);

  // A double quote inside a text that needs no quoting stays as it is.
  m.building.Scenario.Name = "say \"hi\" now";
  const std::string inner = ScenarioFileBytes(m.building);
  EXPECT_NE(inner.find("\r\nsay \"hi\" now\r\n"), std::string::npos);
  ASSERT_EQ(ReadInto(inner, got, prompt, dir), ScenarioReadResult::Read);
  EXPECT_EQ(got.building.Scenario.Name, "say \"hi\" now");
}

// An overflowed value would be written as a text the reader refuses: the save is refused
// first, naming the field, and the user's file stays as it was.
TEST(ScenarioFile, ANonFiniteValueIsRefusedAndThePreviousFileKept) {
  TempDir dir;
  Model m = Flat();
  ScriptedPrompt prompt;
  const std::string path = dir.File("kept.SEN");
  ASSERT_TRUE(NewSaveScenario(m.building, "", path, prompt));
  const std::string before = ReadBytes(path);
  m.building.Scenario.Sinks[1][1].kd[0] = std::numeric_limits<float>::infinity();
  EXPECT_FALSE(NewSaveScenario(m.building, "", path, prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Error.  " + path + " could not be saved: the value of kd is not a number");
  EXPECT_EQ(ReadBytes(path), before);
}

// The class is typed in the editor's grid and kept at 8 characters; a comma in it would
// end the item early and put every later item out of step, and a double quote inside it is
// a character like any other.
TEST(ScenarioFile, FixedLengthFieldsWithCommasQuotesOrALeadingBlankReadBackWhole) {
  TempDir dir;
  for (const char* pollutant_class : {"VOC,alde", " PM2.5", "Oth\"r", "\"quoted"}) {
    SCOPED_TRACE(pollutant_class);
    Model m = OneRoom();
    m.building.Scenario.PollutantClass = pollutant_class;
    m.building.Scenario.GeneralFlag = ",";
    const std::string bytes = ScenarioFileBytes(m.building);
    Model got = JunkTarget(m);
    ScriptedPrompt prompt;
    ASSERT_EQ(ReadInto(bytes, got, prompt, dir), ScenarioReadResult::Read);
    if (std::string(pollutant_class) == "\"quoted") {
      // Quoted for its leading double quote, which the quotes cannot hold.
      m.building.Scenario.PollutantClass = "'quoted";
    }
    ExpectSameScenario(m, got);
  }
  Model m = OneRoom();
  m.building.Scenario.PollutantClass = "VOC,alde";
  EXPECT_NE(ScenarioFileBytes(m.building).find("\r\n\"VOC,alde\"\r\n"), std::string::npos);
  // Blank flags and classes stay bare, at their full length.
  m.building.Scenario.PollutantClass = "";
  m.building.Scenario.GeneralFlag = "";
  EXPECT_NE(
      ScenarioFileBytes(m.building).find("\r\n 1 \r\nN\r\n        \r\n 760 \r\n 25 \r\n \r\n0\r\n"),
      std::string::npos);
}

TEST(ScenarioFile, AnsweringNoChangesNothing) {
  TempDir dir;
  Model target = JunkTarget(Flat());
  const std::string before = Snapshot(target);
  ScriptedPrompt prompt;
  prompt.answers = {Answer::No};
  EXPECT_EQ(ReadInto(FlatText(), target, prompt, dir), ScenarioReadResult::Declined);
  EXPECT_TRUE(Snapshot(target) == before);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "This is a scenario for building Flat, 2 with 2 rooms. Do you want to continue?");
}

TEST(ScenarioFile, ScenarioOfAnotherRoomCountIsRefused) {
  TempDir dir;
  Model target = JunkTarget(Flat());
  target.building.NumRooms = 3;
  const std::string before = Snapshot(target);
  ScriptedPrompt prompt;
  EXPECT_EQ(ReadInto(FlatText(), target, prompt, dir), ScenarioReadResult::Failed);
  EXPECT_TRUE(Snapshot(target) == before);
  ASSERT_EQ(prompt.shown.size(), 1u);  // refused before any question
  EXPECT_EQ(prompt.shown[0].kind, "message");
  EXPECT_EQ(prompt.shown[0].text, "Error.  " + dir.File("s.SEN") +
                                      " is a scenario for a building with 2 rooms, but the "
                                      "building loaded has 3 rooms.  The scenario was not read.");
}

void ExpectDamagedAndUnchanged(const std::string& bytes, const std::string& what) {
  SCOPED_TRACE(what);
  TempDir dir;
  Model target = JunkTarget(Flat());
  const std::string before = Snapshot(target);
  ScriptedPrompt prompt;
  EXPECT_EQ(ReadInto(bytes, target, prompt, dir), ScenarioReadResult::Failed);
  EXPECT_TRUE(Snapshot(target) == before);
  ASSERT_FALSE(prompt.shown.empty());
  EXPECT_EQ(prompt.shown.back().text,
            "Error.  " + dir.File("s.SEN") + " is not a scenario file or is damaged.");
}

std::string Replace(std::string text, std::size_t line, const std::string& was,
                    const std::string& now) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < line; ++i) start = text.find("\r\n", start) + 2;
  const std::size_t end = text.find("\r\n", start);
  EXPECT_EQ(text.substr(start, end - start), was) << "line " << line;
  return text.replace(start, end - start, now);
}

TEST(ScenarioFile, TruncatedFilesChangeNothing) {
  const std::string golden = FlatText();
  std::size_t pos = 0;
  int line = 0;
  while (pos < golden.size()) {
    // Cut at every line start but the first few (every tenth, to keep the test quick) and
    // in the middle of a number.
    if (line % 10 == 0 || line > 585) {
      ExpectDamagedAndUnchanged(golden.substr(0, pos), "cut before line " + std::to_string(line));
    }
    pos = golden.find("\r\n", pos) + 2;
    ++line;
  }
  ExpectDamagedAndUnchanged(golden.substr(0, golden.find(" 30000 ") + 3), "cut in a number");

  // A file cut inside the trailer is damaged; cut just before it, it is a plain file.
  Model m = Flat();
  m.building.Scenario.HVACType = 2;
  m.building.Scenario.ManagedRoomFlows[2][1] = 4;
  const std::string with_trailer = ScenarioFileBytes(m.building);
  ASSERT_EQ(with_trailer.substr(0, golden.size()), golden);
  for (std::size_t cut = golden.size() + std::string(kTrailerStart).size() + 2;
       cut < with_trailer.size(); cut = with_trailer.find("\r\n", cut) + 2) {
    ExpectDamagedAndUnchanged(with_trailer.substr(0, cut), "trailer cut at " + std::to_string(cut));
  }
  TempDir dir;
  Model got = JunkTarget(m);
  ScriptedPrompt prompt;
  ASSERT_EQ(ReadInto(with_trailer, got, prompt, dir), ScenarioReadResult::Read);
  EXPECT_EQ(got.building.Scenario.HVACType, 2);
  EXPECT_EQ(got.building.Scenario.ManagedRoomFlows[2][1], 4);
  EXPECT_EQ(got.building.Scenario.ManagedRoomFlows[1][2], 0);
}

TEST(ScenarioFile, CountsBeyondTheirTablesChangeNothing) {
  const std::string g = FlatText();
  // Line numbers from the layout of the golden file (0-based).
  ExpectDamagedAndUnchanged(Replace(g, 11, " 2 ", " 9 "), "9 pollutants");
  ExpectDamagedAndUnchanged(Replace(g, 11, " 2 ", "-1 "), "-1 pollutants");
  ExpectDamagedAndUnchanged(Replace(g, 379, " 1 ", " 4 "), "4 sources");
  ExpectDamagedAndUnchanged(Replace(g, 420, " 2 ", " 6 "), "6 cycles");
  ExpectDamagedAndUnchanged(Replace(g, 453, " 1 ", " 3 "), "3 sinks");
  ExpectDamagedAndUnchanged(Replace(g, 483, " 1 ", " 4 "), "4 occupants");
  ExpectDamagedAndUnchanged(Replace(g, 6, " 0 ", " abc "), "a text for a number");
  ExpectDamagedAndUnchanged(Replace(g, 6, " 0 ", " 1E+39 "), "beyond a Single");
  ExpectDamagedAndUnchanged(Replace(g, 7 + 2, "-1 ", " 40000 "), "beyond an Integer");

  Model m = Flat();
  m.building.Scenario.HVACType = 2;
  const std::string t = ScenarioFileBytes(m.building);
  ExpectDamagedAndUnchanged(Replace(t, 593, " 1 ", " 51 "), "51 outdoor points");
  ExpectDamagedAndUnchanged(Replace(t, 591 + TrailerLineCount(m) - 1, "end extra", "more"),
                            "no trailer end");
}

TEST(ScenarioFile, MissingFile) {
  TempDir dir;
  Model target = JunkTarget(Flat());
  ScriptedPrompt prompt;
  EXPECT_EQ(CommitScenarioRead(NewReadScenario(target.building, dir.File("none.SEN"), prompt),
                               target.building),
            ScenarioReadResult::Failed);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, "File " + dir.File("none.SEN") + " does not exist.");
}

TEST(ScenarioFile, OutdoorPointsAreCountedAsTheOutdoorGridCountsThem) {
  History times{};
  EXPECT_EQ(OutdoorPointsFromTimes(times), 1);  // time 0 at point 1 is a point
  times[2] = 1;
  times[3] = 2;
  EXPECT_EQ(OutdoorPointsFromTimes(times), 3);
  times[3] = -1;
  EXPECT_EQ(OutdoorPointsFromTimes(times), 2);
  for (int t = 1; t <= kMaxHistory; ++t) times[t] = static_cast<float>(t);
  EXPECT_EQ(OutdoorPointsFromTimes(times), 50);
}

TEST(ScenarioFile, EnteredConcentrationsReachTheCalculationArraysAfterOpen) {
  // The file holds the entered values only; in the scenario's own units a run converts
  // nothing, so a run right after Open must find them in the calculation arrays, not the
  // previous scenario's values.
  const Model m = Flat();
  const std::string bytes = ScenarioFileBytes(m.building);
  TempDir dir;
  Model got = JunkTarget(m);
  for (auto& row : got.building.Scenario.OutdoorConc) row.fill(7);
  for (auto& row : got.building.Scenario.InitialConc) row.fill(7);
  ScriptedPrompt prompt;
  ASSERT_EQ(ReadInto(bytes, got, prompt, dir), ScenarioReadResult::Read);
  const ScenarioRecord& sc = got.building.Scenario;
  ASSERT_EQ(sc.OutdoorConcUnits, sc.ConcUnits);
  EXPECT_EQ(sc.OutdoorConc[1][0], m.building.Scenario.OutdoorConcInput[1][0]);
  EXPECT_EQ(sc.OutdoorConc[2][0], m.building.Scenario.OutdoorConcInput[2][0]);
  EXPECT_EQ(sc.OutdoorConc[3][0], 0.0f);
  EXPECT_EQ(sc.InitialConc[1][0], m.building.Scenario.InitialConcInput[1][0]);
  EXPECT_EQ(sc.InitialConc[2][1], m.building.Scenario.InitialConcInput[2][1]);
}

TEST(ScenarioFile, RoundTripUnderADecimalCommaLocale) {
  quarn::testing::DecimalCommaLocale locale;
  if (!locale.active()) GTEST_SKIP() << "localedef cannot build a decimal-comma locale";
  const Model m = Flat();
  const std::string bytes = ScenarioFileBytes(m.building);
  TempDir dir;
  Model got = JunkTarget(m);
  ScriptedPrompt prompt;
  const auto result = ReadInto(bytes, got, prompt, dir);
  EXPECT_EQ(bytes, FlatText());
  ASSERT_EQ(result, ScenarioReadResult::Read);
  ExpectSameScenario(m, got);
}

// ---- which reader a first line selects ----

TEST(ScenarioRouting, FirstItemSelectsTheReader) {
  struct Case {
    const char* first;
    int version;
    ScenarioLayout layout;
  };
  const Case cases[] = {
      {"V1.96", 196, ScenarioLayout::Current}, {"V1.97", 197, ScenarioLayout::Current},
      {"V2", 200, ScenarioLayout::Current},    {"V2.5", 250, ScenarioLayout::Current},
      {"V1.95", 195, ScenarioLayout::Older},   {"V1.92", 192, ScenarioLayout::Older},
      {"V1.9", 190, ScenarioLayout::Older},    {"V1.8", 180, ScenarioLayout::Older},
      {"NEWEST", 0, ScenarioLayout::Older},    {"New", 0, ScenarioLayout::Older},
      {"R2 test", 0, ScenarioLayout::Older},   {"x2.5", 0, ScenarioLayout::Older},
      {"v1.96", 0, ScenarioLayout::Older},     {"V1.96a", 0, ScenarioLayout::Older},
      {"V-2", 0, ScenarioLayout::Older},       {"V1.9.6", 0, ScenarioLayout::Older},
      {"V", 0, ScenarioLayout::Older},         {"", 0, ScenarioLayout::Older},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScenarioVersionNumber(c.first), c.version) << c.first;
    EXPECT_EQ(ScenarioLayoutFor(c.first), c.layout) << c.first;
  }
  TempDir dir;
  WriteBytes(dir.File("a.SEN"), FlatText());
  EXPECT_EQ(ScenarioLayoutOfFile(dir.File("a.SEN")), ScenarioLayout::Current);
  WriteBytes(dir.File("b.SEN"), "\"V1.96\",rest\r\n");
  EXPECT_EQ(ScenarioLayoutOfFile(dir.File("b.SEN")), ScenarioLayout::Current);
  WriteBytes(dir.File("c.SEN"), "R2 test\r\n");
  EXPECT_EQ(ScenarioLayoutOfFile(dir.File("c.SEN")), ScenarioLayout::Older);
  EXPECT_EQ(ScenarioLayoutOfFile(dir.File("none.SEN")), ScenarioLayout::Older);
}

}  // namespace
}  // namespace quarn
