#pragma once

#include <string>

#include "model/records.h"

namespace quarn {

// The largest scenario the program holds: 13 rooms, 8 pollutants, three sources (R0k,
// constant, two-layer mass transfer) and two sinks in every room, an HVAC system with a
// return-air filter, 0.1 h steps for the given years. The speed benchmark runs it for a year
// and the golden work-file test for a week.
inline BuildingRecord LargestScenario(float years = 1) {
  BuildingRecord b;
  b.NumRooms = kMaxRooms;
  b.MasterFile = "Bench";
  ScenarioRecord& s = b.Scenario;
  s.NumPollutants = kMaxPollutants;
  s.ConcUnits = s.OutdoorConcUnits = s.InitialConcUnits = "milligrams";
  s.ConstantACH = "Y";
  s.ConstantHVAC = "Y";
  s.ConstantOutdoorConc = "Y";
  s.NumOutdoorConcPoints = 1;
  s.HVACType = 1;
  s.HVACFilterType = 0;
  s.FilterCapacity = 1e6F;
  s.StepSize = 0.1F;
  s.YearsSimulated = years;
  for (int p = 0; p < s.NumPollutants; ++p) {
    s.Pollutants[p].Name = "VOC" + std::to_string(p);
    s.Pollutants[p].MolWt = 50.0F + 10 * p;
    s.Pollutants[p].C0 = 1000;
    s.BuildingPenetration[p] = 1;
    s.OutdoorConc[1][p] = 0.01F * (p + 1);
    for (auto& position : s.FilterPenetration) position[p] = 1;
  }
  for (int r = 1; r <= b.NumRooms; ++r) {
    b.RoomList[r].Volume = 30.0F + r;
    s.NaturalFromOutdoors[r] = s.NaturalToOutdoors[r] = 15;
    s.HVACSupply[r] = s.HVACReturn[r] = 60;
    if (r < b.NumRooms) {
      b.Neighbors[r][r + 1] = b.Neighbors[r + 1][r] = kTrue;
      s.NaturalRoomFlows[r][r + 1] = s.NaturalRoomFlows[r + 1][r] = 10;
    }
    s.NumSources[r] = 3;
    for (int k = 1; k <= 3; ++k) {
      SourceRecord& src = s.Sources[r][k];
      src.Size = 1;
      src.NumCycles = 1;
      src.TimeOn[1] = 0;
      src.TimeOff[1] = 9000;
      src.CycleRepeats = "N";
    }
    s.Sources[r][1].Model = 1;  // R0k
    s.Sources[r][2].Model = 6;  // Polyfit, constant
    s.Sources[r][3].Model = 0;  // mass transfer from two layers
    s.NumSinks[r] = 2;
    for (int p = 0; p < s.NumPollutants; ++p) {
      s.Sources[r][1].Params[0][p] = 50;
      s.Sources[r][1].Params[1][p] = 0.05F;
      s.Sources[r][2].Params[0][p] = 5;
      auto& mt = s.Sources[r][3].Params;
      mt[0][p] = 1000;
      mt[1][p] = 0.5F;
      mt[2][p] = mt[3][p] = 1000;
      mt[4][p] = 0.1F;
      mt[5][p] = mt[6][p] = 500;
      for (int k = 1; k <= 2; ++k) {
        s.Sinks[r][k].Area = 10.0F * k;
        s.Sinks[r][k].ka[p] = 0.1F;
        s.Sinks[r][k].kd[p] = 0.01F * k;
      }
    }
  }
  return b;
}

// The largest scenario whose ventilation and HVAC flows change every hour of the day, the
// same each day: 24 distinct sets of flows, which a run meets again every day.
inline BuildingRecord HourlyFlowsScenario(float years = 1) {
  BuildingRecord b = LargestScenario(years);
  ScenarioRecord& s = b.Scenario;
  s.ConstantACH = "N";
  s.VentScheduleFlag = "Y";
  s.ConstantHVAC = "N";
  s.HVACHistoryCycle = "Y";
  for (int i = 1; i <= 25; ++i) {
    const int hour = i == 25 ? 1 : i;  // the 25th point, at 24 h, begins the next day
    s.VentTime[i] = static_cast<float>(i - 1);
    s.VentRate[i] = 0.3F + 0.05F * static_cast<float>(hour);
    s.HVACHistoryTime[i] = static_cast<float>(i - 1);
    s.HVACHistoryFraction[i] = 0.5F + 0.02F * static_cast<float>(hour);
  }
  return b;
}

}  // namespace quarn
